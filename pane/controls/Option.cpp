#include "pane/controls/Option.h"

#include "pane/core/UIManager.h"
#include "pane/utils/PtrArray.h"

#include <cstring>

namespace Pane {

COptionUI::~COptionUI() {
    if (m_manager != nullptr && !m_group.IsEmpty()) {
        m_manager->RemoveOptionGroup(m_group, this);
    }
}

const char* COptionUI::ClassName() const {
    return "OptionUI";
}

void* COptionUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "Option") == 0) {
        return static_cast<COptionUI*>(this);
    }
    if (name != nullptr && std::strcmp(name, kAutomationStateInterface) == 0) {
        return static_cast<IAutomationStateUI*>(this);
    }
    return CButtonUI::Interface(name);
}

bool COptionUI::Trigger() {
    if (!CButtonUI::Trigger()) {
        return false;
    }
    Selected(m_group.IsEmpty() ? !m_selected : true);
    return true;
}

void COptionUI::SetManager(CUIManager* manager, CControlUI* parent, bool init) {
    // Moving to another manager must not leave this option in the old one's groups.
    if (m_manager != nullptr && m_manager != manager && !m_group.IsEmpty()) {
        m_manager->RemoveOptionGroup(m_group, this);
    }
    CButtonUI::SetManager(manager, parent, init);
    if (init && m_manager != nullptr && !m_group.IsEmpty()) {
        m_manager->AddOptionGroup(m_group, this);
    }
}

void COptionUI::SetEnabled(bool enabled) {
    CButtonUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_state = m_selected ? uint32_t{kStateSelected} : 0u;
    }
}

void COptionUI::Selected(bool selected) {
    if (m_selected == selected) {
        return;
    }
    m_selected = selected;
    m_state = selected ? m_state | kStateSelected : m_state & ~kStateSelected;
    if (m_manager != nullptr) {
        if (m_group.IsEmpty()) {
            Notify("selectchanged");
        } else if (selected) {
            if (CUIPtrArray* group = m_manager->GetOptionGroup(m_group)) {
                for (int i = 0; i < group->GetSize(); ++i) {
                    auto* control = static_cast<CControlUI*>(group->GetAt(i));
                    auto* other = static_cast<COptionUI*>(control->Interface("Option"));
                    if (other != nullptr && other != this) {
                        other->Selected(false);
                    }
                }
            }
            Notify("selectchanged");
        }
    }
    Invalidate();
}

void COptionUI::SetGroup(const char* name) {
    const char* next = name != nullptr ? name : "";
    if (m_group == next) {
        return;
    }
    if (m_manager != nullptr && !m_group.IsEmpty()) {
        m_manager->RemoveOptionGroup(m_group, this);
    }
    m_group = next;
    if (m_manager != nullptr && !m_group.IsEmpty()) {
        m_manager->AddOptionGroup(m_group, this);
    }
}

void COptionUI::SetSelectedImage(const char* image) {
    m_selectedImage = image;
    Invalidate();
}

void COptionUI::SetSelectedHotImage(const char* image) {
    m_selectedHotImage = image;
    Invalidate();
}

void COptionUI::SetOptionForeImage(const char* image) {
    m_optionForeImage = image;
    Invalidate();
}

void COptionUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    if (std::strcmp(name, "group") == 0) {
        SetGroup(value);
    } else if (std::strcmp(name, "selected") == 0) {
        Selected(ParseBool(value));
    } else if (std::strcmp(name, "selectedimage") == 0) {
        SetSelectedImage(value);
    } else if (std::strcmp(name, "selectedhotimage") == 0) {
        SetSelectedHotImage(value);
    } else if (std::strcmp(name, "foreimage") == 0) {
        SetOptionForeImage(value);
    } else if (std::strcmp(name, "selectedbkcolor") == 0) {
        SetSelectedBkColor(ParseColor(value));
    } else if (std::strcmp(name, "selectedtextcolor") == 0) {
        SetSelectedTextColor(ParseColor(value));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

void COptionUI::PaintStatusImage(plat::HDC hDC) {
    // Options never show the pushed image.
    m_state &= ~kStatePushed;
    const bool hot = (m_state & kStateHot) != 0;
    const bool selected = (m_state & kStateSelected) != 0;
    if (hot && selected && !m_selectedHotImage.IsEmpty()) {
        if (!DrawStateImage(hDC, m_selectedHotImage)) {
            CButtonUI::PaintStatusImage(hDC);
        }
    } else if (selected) {
        if (!m_selectedImage.IsEmpty()) {
            if (!DrawStateImage(hDC, m_selectedImage)) {
                CButtonUI::PaintStatusImage(hDC);
            }
        } else if (m_selectedBkColor != 0) {
            FillStateColor(hDC, m_selectedBkColor);
            return;
        } else {
            CButtonUI::PaintStatusImage(hDC);
        }
    } else {
        CButtonUI::PaintStatusImage(hDC);
    }
    DrawStateImage(hDC, m_optionForeImage);
}

void COptionUI::PaintText(plat::HDC hDC) {
    if ((m_state & kStateSelected) == 0) {
        CButtonUI::PaintText(hDC);
        return;
    }
    // The selected text colour stands in for this paint only.
    const uint32_t stored = m_textColor;
    if (m_selectedTextColor != 0) {
        m_textColor = m_selectedTextColor;
    }
    DefaultColors();
    if (!m_text.IsEmpty()) {
        DrawCaption(hDC, IsEnabled() ? m_textColor : m_disabledTextColor);
    }
    if (m_selectedTextColor != 0) {
        m_textColor = stored;
    }
}

} // namespace Pane
