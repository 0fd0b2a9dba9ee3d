#include "pane/controls/Button.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/gfx/Text.h"

#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

CButtonUI::CButtonUI() {
    m_textStyle = plat::DT_CENTER | plat::DT_VCENTER | plat::DT_SINGLELINE;
}

const char* CButtonUI::ClassName() const {
    return "ButtonUI";
}

void* CButtonUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "Button") == 0) {
        return static_cast<CButtonUI*>(this);
    }
    return CLabelUI::Interface(name);
}

unsigned int CButtonUI::ControlFlags() const {
    if (!IsEnabled()) {
        return 0;
    }
    return kFlagSetCursor | (IsKeyboardEnabled() ? kFlagTabStop : 0u);
}

bool CButtonUI::Trigger() {
    if (!CLabelUI::Trigger()) {
        return false;
    }
    Notify("click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_state = 0;
    }
}

void CButtonUI::HandleEvent(UIEvent& event) {
    if (PassOnDisabledMouse(event)) {
        return;
    }
    switch (event.type) {
        case kEventSetFocus:
        case kEventKillFocus:
            Invalidate();
            break;
        case kEventKeyDown:
            if (IsKeyboardEnabled() && (event.key == ' ' || event.key == '\r')) {
                Trigger();
                return;
            }
            break;
        case kEventButtonDown:
        case kEventDblClick:
            if (plat::PtInRect(m_rcItem, event.mouse) && IsEnabled()) {
                m_state |= kStateCaptured | kStatePushed;
                Invalidate();
            }
            return;
        case kEventMouseMove:
            if ((m_state & kStateCaptured) != 0) {
                if (plat::PtInRect(m_rcItem, event.mouse)) {
                    m_state |= kStatePushed;
                } else {
                    m_state &= ~kStatePushed;
                }
                Invalidate();
            }
            return;
        case kEventButtonUp:
            if ((m_state & kStateCaptured) != 0) {
                // Released over the button only; dragging out and letting go cancels.
                if (plat::PtInRect(m_rcItem, event.mouse)) {
                    Trigger();
                }
                m_state &= ~(kStateCaptured | kStatePushed);
                Invalidate();
            }
            return;
        case kEventContextMenu:
            if (IsContextMenuUsed()) {
                Notify("menu", event.wParam, event.lParam);
            }
            return;
        case kEventMouseEnter:
            if (IsEnabled()) {
                m_state |= kStateHot;
                Invalidate();
            }
            break;
        case kEventMouseLeave:
            if (IsEnabled()) {
                m_state &= ~kStateHot;
                Invalidate();
            }
            break;
        case kEventSetCursor:
            plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_HAND));
            return;
        default:
            break;
    }
    CLabelUI::HandleEvent(event);
}

void CButtonUI::SetNormalImage(const char* image) {
    m_normalImage = image;
    Invalidate();
}

void CButtonUI::SetHotImage(const char* image) {
    m_hotImage = image;
    Invalidate();
}

void CButtonUI::SetPushedImage(const char* image) {
    m_pushedImage = image;
    Invalidate();
}

void CButtonUI::SetFocusedImage(const char* image) {
    m_focusedImage = image;
    Invalidate();
}

void CButtonUI::SetDisabledImage(const char* image) {
    m_disabledImage = image;
    Invalidate();
}

void CButtonUI::SetHotForeImage(const char* image) {
    m_hotForeImage = image;
    Invalidate();
}

void CButtonUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    if (std::strcmp(name, "normalimage") == 0) {
        SetNormalImage(value);
    } else if (std::strcmp(name, "hotimage") == 0) {
        SetHotImage(value);
    } else if (std::strcmp(name, "hotforeimage") == 0) {
        SetHotForeImage(value);
    } else if (std::strcmp(name, "pushedimage") == 0) {
        SetPushedImage(value);
    } else if (std::strcmp(name, "focusedimage") == 0) {
        SetFocusedImage(value);
    } else if (std::strcmp(name, "disabledimage") == 0) {
        SetDisabledImage(value);
    } else if (std::strcmp(name, "foreimage") == 0) {
        SetForeImage(value);
    } else if (std::strcmp(name, "hotbkcolor") == 0) {
        SetHotBkColor(ParseColor(value));
    } else if (std::strcmp(name, "hottextcolor") == 0) {
        SetHotTextColor(ParseColor(value));
    } else if (std::strcmp(name, "pushedtextcolor") == 0) {
        SetPushedTextColor(ParseColor(value));
    } else if (std::strcmp(name, "focusedtextcolor") == 0) {
        SetFocusedTextColor(ParseColor(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

SIZE CButtonUI::MeasureSize(SIZE) {
    if (m_fixedSize.cy != 0 || m_manager == nullptr) {
        return m_fixedSize;
    }
    const FontInfo* info = m_manager->GetFontInfo(m_font);
    return SIZE{m_fixedSize.cx, (info != nullptr ? info->tm.tmHeight : 0) + 8};
}

bool CButtonUI::DrawStateImage(plat::HDC hDC, CUIString& image) {
    if (image.IsEmpty()) {
        return false;
    }
    if (!DrawImage(hDC, image)) {
        image.Empty();
        return false;
    }
    return true;
}

void CButtonUI::FillStateColor(plat::HDC hDC, uint32_t color) {
    CUIRender::DrawColor(hDC, m_rcPaint, PaintColor(color));
}

void CButtonUI::SyncFocusAndEnabled() {
    m_state = IsFocused() ? m_state | kStateFocused : m_state & ~kStateFocused;
    m_state = IsEnabled() ? m_state & ~kStateDisabled : m_state | kStateDisabled;
}

void CButtonUI::PaintStatusImage(plat::HDC hDC) {
    SyncFocusAndEnabled();

    // Each branch either falls back to the normal image or goes straight to the fore image.
    bool normal = true;
    if ((m_state & kStateDisabled) != 0) {
        normal = !DrawStateImage(hDC, m_disabledImage);
    } else if ((m_state & kStatePushed) != 0) {
        if (!m_pushedImage.IsEmpty()) {
            DrawStateImage(hDC, m_pushedImage);
            normal = false;
        }
    } else if ((m_state & kStateHot) != 0) {
        if (!m_hotImage.IsEmpty()) {
            DrawStateImage(hDC, m_hotImage);
            if (!m_hotForeImage.IsEmpty()) {
                DrawStateImage(hDC, m_hotForeImage);
                return;
            }
            normal = false;
        } else if (m_hotBkColor != 0) {
            FillStateColor(hDC, m_hotBkColor);
            return;
        }
    } else if ((m_state & kStateFocused) != 0) {
        normal = !DrawStateImage(hDC, m_focusedImage);
    }
    if (normal) {
        DrawStateImage(hDC, m_normalImage);
    }
    DrawStateImage(hDC, m_foreImage);
}

void CButtonUI::DrawCaption(plat::HDC hDC, uint32_t color) {
    RECT rc = TextRect();
    if (m_showHtml) {
        int linkCount = 0;
        CUIRender::DrawHtmlText(hDC, m_manager, rc, m_text, color, nullptr, nullptr, linkCount,
                                m_textStyle);
    } else {
        CUIRender::DrawText(hDC, m_manager, rc, m_text, color, m_font, m_textStyle);
    }
}

void CButtonUI::PaintText(plat::HDC hDC) {
    SyncFocusAndEnabled();
    DefaultColors();
    if (m_text.IsEmpty()) {
        return;
    }
    uint32_t color = 0;
    if ((m_state & kStatePushed) != 0 && m_pushedTextColor != 0) {
        color = m_pushedTextColor;
    } else if ((m_state & kStateHot) != 0 && m_hotTextColor != 0) {
        color = m_hotTextColor;
    } else {
        color = IsEnabled() ? m_textColor : m_disabledTextColor;
        if ((m_state & kStateFocused) != 0 && m_focusedTextColor != 0) {
            color = m_focusedTextColor;
        }
    }
    DrawCaption(hDC, color);
}

} // namespace Pane
