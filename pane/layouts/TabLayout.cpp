#include "pane/layouts/TabLayout.h"

#include "pane/core/UIManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

const char* CTabLayoutUI::ClassName() const {
    return "TabLayoutUI";
}

void* CTabLayoutUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "TabLayout") == 0) {
        return this;
    }
    return CContainerUI::Interface(name);
}

void CTabLayoutUI::SetAttribute(const char* name, const char* value) {
    if (name != nullptr && value != nullptr && std::strcmp(name, "selectedid") == 0) {
        SelectPage(std::atoi(value));
    }
    CContainerUI::SetAttribute(name, value);
}

bool CTabLayoutUI::Add(CControlUI* control) {
    // The base Add goes through the virtual AddAt, whose bookkeeping differs.
    if (!CContainerUI::AddAt(control, GetCount())) {
        return false;
    }
    if (m_curSel == -1 && control->IsVisible()) {
        m_curSel = GetItemIndex(control);
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) {
        return false;
    }
    if (m_curSel == -1 && control->IsVisible()) {
        m_curSel = GetItemIndex(control);
    } else if (m_curSel != -1 && index <= m_curSel) {
        // The current page moved up by one; the new page keeps its visibility.
        ++m_curSel;
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    if (control == nullptr) {
        return false;
    }
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control)) {
        return false;
    }
    if (m_curSel == index) {
        if (GetCount() > 0) {
            m_curSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_curSel = -1;
        }
        NeedParentUpdate();
    } else if (m_curSel > index) {
        --m_curSel;
    }
    // The container's removal by index comes here too, so the current index never points past
    // the pages or at another page than the one shown.
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_curSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

bool CTabLayoutUI::SelectPage(int index) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    if (index == m_curSel) {
        return true;
    }
    const int old = m_curSel;
    m_curSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (i == index) {
            child->SetVisible(true);
            child->SetFocus();
            SetPosition(m_rcItem);
        } else {
            child->SetVisible(false);
        }
    }
    NeedParentUpdate();
    if (m_manager != nullptr) {
        m_manager->SetNextTabControl();
        m_manager->SendNotify(this, "tabselect", static_cast<plat::WPARAM>(m_curSel),
                              static_cast<plat::LPARAM>(old));
    }
    return true;
}

void CTabLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    rc = RECT{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
              m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) {
            continue;
        }
        if (child->IsFloat()) {
            SetFloatPosition(i);
            continue;
        }
        if (i != m_curSel) {
            continue;
        }
        const RECT padding = child->Padding();
        const RECT page{rc.left + padding.left, rc.top + padding.top, rc.right - padding.right,
                        rc.bottom - padding.bottom};
        const SIZE available{page.right - page.left, page.bottom - page.top};
        SIZE size = child->MeasureSize(available);
        if (size.cx == 0) {
            size.cx = std::max(0, available.cx);
        }
        size.cx = std::min(std::max(size.cx, child->MinWidth()), child->MaxWidth());
        if (size.cy == 0) {
            size.cy = std::max(0, available.cy);
        }
        size.cy = std::min(std::max(size.cy, child->MinHeight()), child->MaxHeight());
        child->SetPosition(RECT{page.left, page.top, page.left + size.cx, page.top + size.cy});
    }
}

} // namespace Pane
