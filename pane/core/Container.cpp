#include "pane/core/Container.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::POINT;
using plat::RECT;
using plat::SIZE;

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // The window may be going: children are freed now, not through the delayed clean-up.
    m_delayedDestroy = false;
    const int count = m_items.GetSize();
    for (int i = 0; i < count; ++i) {
        CControlUI* child = static_cast<CControlUI*>(m_items[i]);
        if (m_autoDestroy) {
            delete child;
        }
    }
    m_items.Empty();
    DestroyScrollBar(m_verticalScrollBar);
    DestroyScrollBar(m_horizontalScrollBar);
}

const char* CContainerUI::ClassName() const {
    return "ContainerUI";
}

void* CContainerUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "IContainer") == 0) {
        return static_cast<IContainerUI*>(this);
    }
    if (name != nullptr && std::strcmp(name, "Container") == 0) {
        return this;
    }
    return CControlUI::Interface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    return static_cast<CControlUI*>(m_items.GetAt(index));
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    return m_items.Find(control);
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
    const int old = m_items.Find(control);
    if (old < 0 || index < 0 || index >= m_items.GetSize()) {
        return false;
    }
    NeedUpdate();
    m_items.Remove(old);
    return m_items.InsertAt(index, control);
}

int CContainerUI::GetCount() const {
    return m_items.GetSize();
}

bool CContainerUI::Add(CControlUI* control) {
    return AddAt(control, m_items.GetSize());
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr || index < 0 || index > m_items.GetSize()) {
        return false;
    }
    if (m_manager != nullptr) {
        m_manager->InitControls(control, this);
    }
    if (IsVisible()) {
        NeedUpdate();
    } else {
        control->SetInnerVisible(false);
    }
    return index == m_items.GetSize() ? m_items.Add(control) : m_items.InsertAt(index, control);
}

bool CContainerUI::Remove(CControlUI* control) {
    const int index = m_items.Find(control);
    if (index < 0) {
        return false;
    }
    m_items.Remove(index);
    NeedUpdate();
    if (m_autoDestroy) {
        DestroyChild(control);
    }
    return true;
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    return control != nullptr && Remove(control);
}

void CContainerUI::RemoveAll() {
    // Emptied first, so that nothing met while destroying finds a half-freed list.
    CUIPtrArray items(m_items);
    m_items.Empty();
    if (m_autoDestroy) {
        for (int i = 0; i < items.GetSize(); ++i) {
            DestroyChild(static_cast<CControlUI*>(items[i]));
        }
    }
    NeedUpdate();
}

void CContainerUI::DestroyChild(CControlUI* control) {
    if (m_delayedDestroy && m_manager != nullptr) {
        m_manager->AddDelayedCleanup(control);
    } else {
        delete control;
    }
}

void CContainerUI::HandleEvent(UIEvent& event) {
    if (!m_mouseEnabled && event.type > kEventMouseBegin && event.type < kEventMouseEnd) {
        if (m_parent != nullptr) {
            m_parent->HandleEvent(event);
        } else {
            CControlUI::HandleEvent(event);
        }
        return;
    }
    if (event.type == kEventSetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == kEventKillFocus) {
        m_focused = false;
        return;
    }
    const bool vertical = m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible() &&
                          m_verticalScrollBar->IsEnabled();
    const bool horizontal = !vertical && m_horizontalScrollBar != nullptr &&
                            m_horizontalScrollBar->IsVisible() &&
                            m_horizontalScrollBar->IsEnabled();
    if (vertical || horizontal) {
        if (event.type == kEventKeyDown) {
            switch (static_cast<unsigned char>(event.key)) {
                case plat::VK_PRIOR:
                    vertical ? PageUp() : PageLeft();
                    return;
                case plat::VK_NEXT:
                    vertical ? PageDown() : PageRight();
                    return;
                case plat::VK_END:
                    vertical ? EndDown() : EndRight();
                    return;
                case plat::VK_HOME:
                    vertical ? HomeUp() : HomeLeft();
                    return;
                case plat::VK_UP:
                    vertical ? LineUp() : LineLeft();
                    return;
                case plat::VK_DOWN:
                    vertical ? LineDown() : LineRight();
                    return;
                default:
                    break;
            }
        } else if (event.type == kEventScrollWheel) {
            if (event.wParam == 0) {
                vertical ? LineUp() : LineLeft();
            } else {
                vertical ? LineDown() : LineRight();
            }
            return;
        }
    }
    CControlUI::HandleEvent(event);
}

void CContainerUI::SetVisible(bool visible) {
    if (m_visible == visible) {
        return;
    }
    CControlUI::SetVisible(visible);
    const bool shown = IsVisible();
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GetItemAt(i)->SetInnerVisible(shown);
    }
}

void CContainerUI::SetInnerVisible(bool visible) {
    CControlUI::SetInnerVisible(visible);
    const bool shown = IsVisible();
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GetItemAt(i)->SetInnerVisible(shown);
    }
}

void CContainerUI::SetMouseEnabled(bool enabled) {
    if (m_verticalScrollBar != nullptr) {
        m_verticalScrollBar->SetMouseEnabled(enabled);
    }
    if (m_horizontalScrollBar != nullptr) {
        m_horizontalScrollBar->SetMouseEnabled(enabled);
    }
    CControlUI::SetMouseEnabled(enabled);
}

void CContainerUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    if (m_items.IsEmpty()) {
        return;
    }
    const RECT inner{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
                     m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) {
            continue;
        }
        if (child->IsFloat()) {
            SetFloatPosition(i);
        } else {
            child->SetPosition(inner);
        }
    }
}

RECT CContainerUI::InnerRect() const {
    RECT rc{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
            m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        rc.right -= m_verticalScrollBar->FixedWidth();
    }
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        rc.bottom -= m_horizontalScrollBar->FixedHeight();
    }
    return rc;
}

void CContainerUI::Paint(plat::HDC hDC, const RECT& rcPaint) {
    const RECT rcTemp = plat::IntersectRect(rcPaint, m_rcItem);
    if (plat::IsRectEmpty(rcTemp)) {
        return;
    }
    CRenderClip clip(hDC, rcTemp);
    CControlUI::Paint(hDC, rcPaint);

    if (!m_items.IsEmpty()) {
        const RECT inner = InnerRect();
        const RECT innerDirty = plat::IntersectRect(rcPaint, inner);
        auto meets = [](const RECT& a, const RECT& b) {
            return !plat::IsRectEmpty(plat::IntersectRect(a, b));
        };
        if (!plat::IsRectEmpty(innerDirty)) {
            const plat::ClipState outer = hDC != nullptr ? hDC->SaveClip() : plat::ClipState{};
            CRenderClip childClip(hDC, innerDirty);
            const plat::ClipState innerClip = hDC != nullptr ? hDC->SaveClip() : plat::ClipState{};
            for (int i = 0; i < m_items.GetSize(); ++i) {
                CControlUI* child = GetItemAt(i);
                if (!child->IsVisible() || !meets(rcPaint, child->Position())) {
                    continue;
                }
                if (child->IsFloat()) {
                    if (!meets(m_rcItem, child->Position())) {
                        continue;
                    }
                    // A floating child may draw over the inset and the scroll bars.
                    if (hDC != nullptr) {
                        hDC->RestoreClip(outer);
                    }
                    child->Paint(hDC, rcPaint);
                    if (hDC != nullptr) {
                        hDC->RestoreClip(innerClip);
                    }
                } else {
                    if (!meets(inner, child->Position())) {
                        continue;
                    }
                    child->Paint(hDC, rcPaint);
                }
            }
        } else {
            for (int i = 0; i < m_items.GetSize(); ++i) {
                CControlUI* child = GetItemAt(i);
                if (child->IsVisible() && child->IsFloat() && meets(rcPaint, child->Position()) &&
                    meets(m_rcItem, child->Position())) {
                    child->Paint(hDC, rcPaint);
                }
            }
        }
    }
    for (CControlUI* bar : {m_verticalScrollBar, m_horizontalScrollBar}) {
        if (bar != nullptr && bar->IsVisible() &&
            !plat::IsRectEmpty(plat::IntersectRect(rcPaint, bar->Position()))) {
            bar->Paint(hDC, rcPaint);
        }
    }
}

void CContainerUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
    if (is("inset")) {
        int v[4];
        ParseInts(value, v, 4);
        SetInset(RECT{v[0], v[1], v[2], v[3]});
    } else if (is("mousechild")) {
        SetMouseChildEnabled(ParseBool(value));
    } else if (is("vscrollbar")) {
        EnableScrollBar(ParseBool(value), m_horizontalScrollBar != nullptr);
    } else if (is("vscrollbarstyle")) {
        EnableScrollBar(true, m_horizontalScrollBar != nullptr);
        if (m_verticalScrollBar != nullptr) {
            m_verticalScrollBar->ApplyAttributeList(value);
        }
    } else if (is("hscrollbar")) {
        EnableScrollBar(m_verticalScrollBar != nullptr, ParseBool(value));
    } else if (is("hscrollbarstyle")) {
        EnableScrollBar(m_verticalScrollBar != nullptr, true);
        if (m_horizontalScrollBar != nullptr) {
            m_horizontalScrollBar->ApplyAttributeList(value);
        }
    } else if (is("childpadding")) {
        SetChildPadding(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CContainerUI::SetManager(CUIManager* manager, CControlUI* parent, bool init) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GetItemAt(i)->SetManager(manager, this, init);
    }
    if (m_verticalScrollBar != nullptr) {
        m_verticalScrollBar->SetManager(manager, this, init);
    }
    if (m_horizontalScrollBar != nullptr) {
        m_horizontalScrollBar->SetManager(manager, this, init);
    }
    CControlUI::SetManager(manager, parent, init);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, uint32_t flags) {
    if ((flags & kFindVisible) != 0 && !IsVisible()) {
        return nullptr;
    }
    if ((flags & kFindEnabled) != 0 && !IsEnabled()) {
        return nullptr;
    }
    const bool hitTest = (flags & kFindHitTest) != 0;
    POINT pt;
    if (hitTest) {
        pt = *static_cast<const POINT*>(data);
        if (!plat::PtInRect(m_rcItem, pt)) {
            return nullptr;
        }
    }
    CControlUI* result = nullptr;
    for (CControlUI* bar : {m_verticalScrollBar, m_horizontalScrollBar}) {
        if (bar != nullptr && (result = bar->FindControl(proc, data, flags)) != nullptr) {
            return result;
        }
    }
    if (hitTest && !m_mouseChildEnabled) {
        return CControlUI::FindControl(proc, data, flags);
    }
    const bool meFirst = (flags & kFindMeFirst) != 0;
    if (meFirst && (result = CControlUI::FindControl(proc, data, flags)) != nullptr) {
        return result;
    }
    const RECT inner = hitTest ? InnerRect() : RECT{};
    const int count = m_items.GetSize();
    const bool topFirst = (flags & kFindTopFirst) != 0;
    for (int n = 0; n < count; ++n) {
        CControlUI* child = GetItemAt(topFirst ? count - 1 - n : n);
        result = child->FindControl(proc, data, flags);
        if (result == nullptr) {
            continue;
        }
        // Children scrolled out of the inner area are not under the pointer.
        if (!hitTest || result->IsFloat() || plat::PtInRect(inner, pt)) {
            return result;
        }
    }
    return meFirst ? nullptr : CControlUI::FindControl(proc, data, flags);
}

RECT CContainerUI::Inset() const {
    return m_rcInset;
}

void CContainerUI::SetInset(RECT inset) {
    m_rcInset = inset;
    NeedUpdate();
}

int CContainerUI::ChildPadding() const {
    return m_childPadding;
}

void CContainerUI::SetChildPadding(int padding) {
    m_childPadding = padding;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const {
    return m_autoDestroy;
}

void CContainerUI::SetAutoDestroy(bool autoDestroy) {
    m_autoDestroy = autoDestroy;
}

bool CContainerUI::IsDelayedDestroy() const {
    return m_delayedDestroy;
}

void CContainerUI::SetDelayedDestroy(bool delayed) {
    m_delayedDestroy = delayed;
}

bool CContainerUI::IsMouseChildEnabled() const {
    return m_mouseChildEnabled;
}

void CContainerUI::SetMouseChildEnabled(bool enabled) {
    m_mouseChildEnabled = enabled;
}

int CContainerUI::FindSelectable(int index, bool forward) const {
    const int count = m_items.GetSize();
    if (count == 0) {
        return -1;
    }
    index = index < 0 ? 0 : (index >= count ? count - 1 : index);
    auto selectable = [this](int i) {
        CControlUI* c = GetItemAt(i);
        return c->Interface("ListItem") != nullptr && c->IsVisible() && c->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i) {
            if (selectable(i)) {
                return i;
            }
        }
        return -1;
    }
    for (int i = index; i >= 0; --i) {
        if (selectable(i)) {
            return i;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (selectable(i)) {
            return i;
        }
    }
    return -1;
}

IScrollBarUI* CContainerUI::ScrollBarPart(CControlUI* bar) {
    return bar != nullptr ? static_cast<IScrollBarUI*>(bar->Interface("IScrollBar")) : nullptr;
}

SIZE CContainerUI::ScrollPosition() const {
    SIZE pos;
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        pos.cx = ScrollBarPart(m_horizontalScrollBar)->ScrollPos();
    }
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        pos.cy = ScrollBarPart(m_verticalScrollBar)->ScrollPos();
    }
    return pos;
}

SIZE CContainerUI::ScrollRange() const {
    SIZE range;
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        range.cx = ScrollBarPart(m_horizontalScrollBar)->ScrollRange();
    }
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        range.cy = ScrollBarPart(m_verticalScrollBar)->ScrollRange();
    }
    return range;
}

void CContainerUI::SetScrollPosition(SIZE pos) {
    int dx = 0;
    int dy = 0;
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()) {
        IScrollBarUI* bar = ScrollBarPart(m_verticalScrollBar);
        const int old = bar->ScrollPos();
        bar->SetScrollPos(pos.cy);
        dy = bar->ScrollPos() - old;
    }
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        IScrollBarUI* bar = ScrollBarPart(m_horizontalScrollBar);
        const int old = bar->ScrollPos();
        bar->SetScrollPos(pos.cx);
        dx = bar->ScrollPos() - old;
    }
    if (dx == 0 && dy == 0) {
        return;
    }
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child->IsVisible() && !child->IsFloat()) {
            child->SetPosition(plat::OffsetRect(child->Position(), -dx, -dy));
        }
    }
    Invalidate();
}

namespace {

int VisibleFixedWidth(const CControlUI* bar) {
    return bar != nullptr && bar->IsVisible() ? bar->FixedWidth() : 0;
}

int VisibleFixedHeight(const CControlUI* bar) {
    return bar != nullptr && bar->IsVisible() ? bar->FixedHeight() : 0;
}

} // namespace

void CContainerUI::ScrollBy(int dx, int dy) {
    const SIZE pos = ScrollPosition();
    SetScrollPosition(SIZE{pos.cx + dx, pos.cy + dy});
}

int CContainerUI::LineHeight() const {
    // A line of text in the default font plus some air; 8 pixels without a manager.
    return m_manager != nullptr ? m_manager->GetDefaultFontInfo()->tm.tmHeight + 8 : 8;
}

int CContainerUI::PageHeight() const {
    return Height() - m_rcInset.top - m_rcInset.bottom - VisibleFixedHeight(m_horizontalScrollBar);
}

int CContainerUI::PageWidth() const {
    return Width() - m_rcInset.left - m_rcInset.right - VisibleFixedWidth(m_verticalScrollBar);
}

void CContainerUI::LineUp() {
    ScrollBy(0, -LineHeight());
}

void CContainerUI::LineDown() {
    ScrollBy(0, LineHeight());
}

void CContainerUI::PageUp() {
    ScrollBy(0, -PageHeight());
}

void CContainerUI::PageDown() {
    ScrollBy(0, PageHeight());
}

void CContainerUI::HomeUp() {
    SetScrollPosition(SIZE{ScrollPosition().cx, 0});
}

void CContainerUI::EndDown() {
    SetScrollPosition(SIZE{ScrollPosition().cx, ScrollRange().cy});
}

void CContainerUI::LineLeft() {
    ScrollBy(-8, 0);
}

void CContainerUI::LineRight() {
    ScrollBy(8, 0);
}

void CContainerUI::PageLeft() {
    ScrollBy(-PageWidth(), 0);
}

void CContainerUI::PageRight() {
    ScrollBy(PageWidth(), 0);
}

void CContainerUI::HomeLeft() {
    SetScrollPosition(SIZE{0, ScrollPosition().cy});
}

void CContainerUI::EndRight() {
    SetScrollPosition(SIZE{ScrollRange().cx, ScrollPosition().cy});
}

CControlUI* CContainerUI::MakeScrollBar(bool horizontal) {
    CControlUI* bar = CreateControlByTag("ScrollBar");
    IScrollBarUI* part = ScrollBarPart(bar);
    if (part == nullptr) {
        // No scroll bar class is known: the container goes on without one.
        delete bar;
        return nullptr;
    }
    part->SetOwner(this);
    part->SetHorizontal(horizontal);
    bar->SetManager(m_manager, this, false);
    if (m_manager != nullptr) {
        const char* list =
            m_manager->GetDefaultAttributeList(horizontal ? "HScrollBar" : "VScrollBar");
        if (list != nullptr) {
            bar->ApplyAttributeList(list);
        }
    }
    return bar;
}

void CContainerUI::DestroyScrollBar(CControlUI*& bar) {
    delete bar;
    bar = nullptr;
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
    if (vertical && m_verticalScrollBar == nullptr) {
        m_verticalScrollBar = MakeScrollBar(false);
    } else if (!vertical && m_verticalScrollBar != nullptr) {
        DestroyScrollBar(m_verticalScrollBar);
    }
    if (horizontal && m_horizontalScrollBar == nullptr) {
        m_horizontalScrollBar = MakeScrollBar(true);
    } else if (!horizontal && m_horizontalScrollBar != nullptr) {
        DestroyScrollBar(m_horizontalScrollBar);
    }
    NeedUpdate();
}

CControlUI* CContainerUI::VerticalScrollBar() const {
    return m_verticalScrollBar;
}

CControlUI* CContainerUI::HorizontalScrollBar() const {
    return m_horizontalScrollBar;
}

void CContainerUI::SetFloatPosition(int index) {
    CControlUI* child = GetItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat()) {
        return;
    }
    const SIZE xy = child->FixedXY();
    const int w = child->FixedWidth();
    const int h = child->FixedHeight();
    RECT rc;
    if (xy.cx >= 0) {
        rc.left = m_rcItem.left + xy.cx;
        rc.right = rc.left + w;
    } else {
        rc.right = m_rcItem.right + xy.cx;
        rc.left = rc.right - w;
    }
    if (xy.cy >= 0) {
        rc.top = m_rcItem.top + xy.cy;
        rc.bottom = rc.top + h;
    } else {
        rc.bottom = m_rcItem.bottom + xy.cy;
        rc.top = rc.bottom - h;
    }
    const RelativePosUI rel = child->RelativePos();
    if (rel.relative) {
        if (rel.parentSize.cx != 0) {
            const int dW = Width() - rel.parentSize.cx;
            const int dH = Height() - rel.parentSize.cy;
            rc.left += dW * rel.moveX / 100;
            rc.top += dH * rel.moveY / 100;
            rc.right = rc.left + dW * rel.zoomX / 100 + w;
            rc.bottom = rc.top + dH * rel.zoomY / 100 + h;
        }
        child->SetRelativeParentSize(SIZE{Width(), Height()});
    }
    child->SetPosition(rc);
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxNeeded, int cyNeeded) {
    (void)cxNeeded; // the horizontal range is the layouts' own business
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()) {
        m_horizontalScrollBar->SetPosition(
            RECT{rc.left, rc.bottom, rc.right, rc.bottom + m_horizontalScrollBar->FixedHeight()});
    }
    if (m_verticalScrollBar == nullptr) {
        return;
    }
    IScrollBarUI* bar = ScrollBarPart(m_verticalScrollBar);
    const int height = rc.bottom - rc.top;
    const int overflow = cyNeeded - height;
    if (height < cyNeeded && !m_verticalScrollBar->IsVisible()) {
        m_verticalScrollBar->SetVisible(true);
        bar->SetScrollRange(overflow);
        bar->SetScrollPos(0);
        // Lay out again with the scroll bar's width taken off.
        m_scrollProcess = true;
        SetPosition(m_rcItem);
        m_scrollProcess = false;
        return;
    }
    if (!m_verticalScrollBar->IsVisible()) {
        return;
    }
    if (overflow > 0 || m_scrollProcess) {
        m_verticalScrollBar->SetPosition(
            RECT{rc.right, rc.top, rc.right + m_verticalScrollBar->FixedWidth(), rc.bottom});
        if (bar->ScrollRange() == overflow) {
            return;
        }
        const int oldPos = bar->ScrollPos();
        bar->SetScrollRange(overflow >= 0 ? overflow : height - cyNeeded);
        if (bar->ScrollRange() == 0) {
            m_verticalScrollBar->SetVisible(false);
            bar->SetScrollPos(0);
        }
        if (bar->ScrollPos() < oldPos) {
            SetPosition(m_rcItem);
        }
        return;
    }
    m_verticalScrollBar->SetVisible(false);
    bar->SetScrollPos(0);
    bar->SetScrollRange(0);
    SetPosition(m_rcItem);
}

} // namespace Pane
