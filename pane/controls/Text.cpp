#include "pane/controls/Text.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/gfx/Text.h"

#include <algorithm>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

CTextUI::CTextUI() {
    m_textPadding.left = 2;
    m_textPadding.right = 2;
    m_textStyle = plat::DT_WORDBREAK;
}

const char* CTextUI::ClassName() const {
    return "TextUI";
}

void* CTextUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "Text") == 0) {
        return static_cast<CTextUI*>(this);
    }
    return CLabelUI::Interface(name);
}

unsigned int CTextUI::ControlFlags() const {
    return IsEnabled() && m_linkCount > 0 ? unsigned{kFlagSetCursor} : 0u;
}

int CTextUI::LinkAt(plat::POINT point) const {
    for (int i = 0; i < m_linkCount; ++i) {
        if (plat::PtInRect(m_links[i], point)) {
            return i;
        }
    }
    return -1;
}

void CTextUI::HandleEvent(UIEvent& event) {
    if (PassOnDisabledMouse(event)) {
        return;
    }
    switch (event.type) {
        case kEventSetCursor:
            if (LinkAt(event.mouse) >= 0) {
                plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_HAND));
                return;
            }
            break;
        case kEventButtonDown:
        case kEventDblClick:
            if (event.type == kEventButtonDown || IsEnabled()) {
                if (LinkAt(event.mouse) >= 0) {
                    Invalidate();
                    return;
                }
            }
            break;
        case kEventButtonUp:
            if (IsEnabled()) {
                if (const int link = LinkAt(event.mouse); link >= 0) {
                    Notify("link", static_cast<plat::WPARAM>(link), 0);
                    return;
                }
            }
            break;
        case kEventContextMenu:
            return;
        case kEventMouseMove:
            if (m_linkCount > 0 && IsEnabled()) {
                const int link = LinkAt(event.mouse);
                if (link != m_hoverLink) {
                    m_hoverLink = link;
                    Invalidate();
                    return;
                }
            }
            break;
        case kEventMouseLeave:
            if (m_linkCount > 0 && IsEnabled() && m_hoverLink != -1) {
                m_hoverLink = -1;
                Invalidate();
                return;
            }
            break;
        default:
            break;
    }
    CLabelUI::HandleEvent(event);
}

SIZE CTextUI::MeasureSize(SIZE available) {
    RECT rc{m_textPadding.left, 0, std::max(m_fixedSize.cx, available.cx) - m_textPadding.right,
            9999};
    plat::HDC dc = m_manager != nullptr ? m_manager->GetPaintDC() : nullptr;
    if (dc == nullptr) {
        // Nothing to measure with before the window exists: no room for text yet.
        rc.right = rc.left;
        rc.bottom = rc.top;
    } else {
        const plat::UINT style = m_textStyle | plat::DT_CALCRECT;
        if (m_showHtml) {
            int linkCount = 0;
            CUIRender::DrawHtmlText(dc, m_manager, rc, m_text, m_textColor, nullptr, nullptr,
                                    linkCount, style);
        } else {
            CUIRender::DrawText(dc, m_manager, rc, m_text, m_textColor, m_font, style);
        }
    }
    SIZE size{rc.right - rc.left + m_textPadding.left + m_textPadding.right,
              rc.bottom - rc.top + m_textPadding.top + m_textPadding.bottom};
    if (m_fixedSize.cy != 0) {
        size.cy = m_fixedSize.cy;
    }
    return size;
}

void CTextUI::PaintText(plat::HDC hDC) {
    if (m_text.IsEmpty()) {
        m_linkCount = 0;
        return;
    }
    DefaultColors();
    RECT rc = TextRect();
    m_linkCount = kMaxLinks;
    const uint32_t color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (m_showHtml) {
        CUIRender::DrawHtmlText(hDC, m_manager, rc, m_text, color, m_links, m_linkTargets,
                                m_linkCount, m_textStyle);
    } else {
        CUIRender::DrawText(hDC, m_manager, rc, m_text, color, m_font, m_textStyle);
    }
}

} // namespace Pane
