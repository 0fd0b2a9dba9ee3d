#include "pane/controls/Edit.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Messages.h"
#include "platform/base/TextUtf8.h"
#include "platform/gfx/Text.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace Pane {

using plat::LPARAM;
using plat::LRESULT;
using plat::RECT;
using plat::UINT;
using plat::WPARAM;

namespace {

// The text-metric height of the manager's font of that index (its default font for -1 or an
// index it does not hold); 0 without a manager.
int FontHeight(CUIManager* manager, int font) {
    if (manager == nullptr)
        return 0;
    const FontInfo* info = manager->GetFontInfo(font);
    return info != nullptr ? info->tm.tmHeight : 0;
}

RECT Shrink(RECT rc, const RECT& by) {
    rc.left += by.left;
    rc.top += by.top;
    rc.right -= by.right;
    rc.bottom -= by.bottom;
    return rc;
}

} // namespace

const char* CEditWnd::GetWindowClassName() const {
    return "EditWnd";
}

const char* CEditWnd::GetSuperClassName() const {
    return "Edit";
}

RECT CEditWnd::CalPos() const {
    if (m_owner == nullptr)
        return RECT{};
    RECT rc = Shrink(m_owner->Position(), m_owner->m_textPadding);
    const int height = FontHeight(m_owner->Manager(), m_owner->m_font);
    if (height < rc.bottom - rc.top) {
        rc.top += (rc.bottom - rc.top - height) / 2;
        rc.bottom = rc.top + height;
    }
    return rc;
}

bool CEditWnd::Init(CEditUI* owner) {
    CUIManager* manager = owner != nullptr ? owner->Manager() : nullptr;
    if (manager == nullptr || manager->GetPaintWindow() == nullptr)
        return false;
    m_owner = owner;
    const RECT rc = CalPos();
    plat::DWORD style = plat::WS_CHILD | plat::ES_AUTOHSCROLL;
    if (owner->IsPasswordMode())
        style |= plat::ES_PASSWORD;
    if (Create(manager->GetPaintWindow(), "", style, 0, rc) == nullptr) {
        m_owner = nullptr;
        return false;
    }
    SendMessage(plat::WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner->m_font)), 1);
    SendMessage(plat::EM_LIMITTEXT, static_cast<WPARAM>(owner->GetMaxChar()));
    if (owner->IsPasswordMode())
        SendMessage(plat::EM_SETPASSWORDCHAR, static_cast<unsigned char>(owner->GetPasswordChar()));
    plat::SetWindowText(m_hWnd, owner->m_text.GetData());
    SendMessage(plat::EM_SETMODIFY, 0);
    SendMessage(plat::EM_SETMARGINS, plat::EC_LEFTMARGIN | plat::EC_RIGHTMARGIN, 0);
    plat::EnableWindow(m_hWnd, owner->IsEnabled());
    SendMessage(plat::EM_SETREADONLY, owner->IsReadOnly() ? 1 : 0);
    const auto current = plat::GetWindowLongPtr(m_hWnd, plat::GWL_STYLE);
    plat::SetWindowLongPtr(m_hWnd, plat::GWL_STYLE,
                           current | static_cast<plat::LONG_PTR>(owner->GetWindowStyles()));
    plat::ShowWindow(m_hWnd, plat::SW_SHOWNOACTIVATE);
    plat::SetFocus(m_hWnd);
    m_init = true;
    return true;
}

LRESULT CEditWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case plat::WM_KILLFOCUS: {
            const LRESULT result = CallDefault(msg, wParam, lParam);
            // Closed through the queue: the focus change that got us here is still under way.
            PostMessage(plat::WM_CLOSE);
            return result;
        }
        case plat::WM_CLOSE:
            // The focus came back before the posted close ran (a click on the owner beside this
            // window takes the focus to the host window first): the editor stays.
            if (plat::GetFocus() == m_hWnd)
                return 0;
            break;
        case plat::WM_KEYDOWN:
            if (wParam == static_cast<WPARAM>(plat::VK_RETURN)) {
                if (m_owner != nullptr && m_owner->Manager() != nullptr)
                    m_owner->Manager()->SendNotify(m_owner, "return");
                return 0;
            }
            break;
        case plat::OCM__BASE + plat::WM_COMMAND:
            return OnEditChanged(wParam);
        case plat::OCM__BASE + plat::WM_CTLCOLOREDIT:
        case plat::OCM__BASE + plat::WM_CTLCOLORSTATIC:
            return OnControlColor(wParam);
        default:
            break;
    }
    return CallDefault(msg, wParam, lParam);
}

LRESULT CEditWnd::OnEditChanged(WPARAM wParam) {
    const auto code = static_cast<plat::WORD>(plat::HIWORD(wParam));
    if (code == plat::EN_CHANGE) {
        // Changes made while the window is being filled from the owner are the owner's own.
        if (!m_init || m_owner == nullptr)
            return 0;
        // Stored without SetText: that would write the text back into this window.
        m_owner->m_text = plat::GetWindowTextString(m_hWnd).c_str();
        if (m_owner->Manager() != nullptr)
            m_owner->Manager()->SendNotify(m_owner, "textchanged");
    } else if (code == plat::EN_UPDATE) {
        plat::InvalidateRect(m_hWnd, nullptr, false);
    }
    return 0;
}

LRESULT CEditWnd::OnControlColor(WPARAM wParam) {
    if (m_owner == nullptr || m_owner->GetNativeEditBkColor() == 0xFFFFFFFF)
        return 0;
    auto* dc = reinterpret_cast<plat::HDC>(wParam);
    plat::SetBkMode(dc, plat::TRANSPARENT);
    plat::SetTextColor(dc, CUIRender::ToColorRef(m_owner->m_textColor));
    if (m_hBkBrush == nullptr)
        m_hBkBrush = plat::CreateSolidBrush(CUIRender::ToColorRef(m_owner->GetNativeEditBkColor()));
    return reinterpret_cast<LRESULT>(m_hBkBrush);
}

void CEditWnd::OnFinalMessage(plat::HWND) {
    if (m_owner != nullptr) {
        m_owner->Invalidate();
        m_owner->m_window = nullptr;
    }
    if (m_hBkBrush != nullptr)
        plat::DeleteObject(m_hBkBrush);
    // The window is gone and nothing else refers to this object: it ends with it.
    delete this;
}

CEditUI::CEditUI() {
    m_textPadding = RECT{4, 3, 4, 3};
    SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI() {
    // An editor still open must not reach back into a control that is gone.
    if (m_window != nullptr) {
        CEditWnd* window = m_window;
        m_window = nullptr;
        window->Detach();
        plat::DestroyWindow(window->GetHWND());
    }
}

const char* CEditUI::ClassName() const {
    return "EditUI";
}

void* CEditUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "Edit") == 0)
        return this;
    return CLabelUI::Interface(name);
}

unsigned int CEditUI::ControlFlags() const {
    return IsEnabled() ? (kFlagSetCursor | kFlagTabStop) : 0;
}

bool CEditUI::OpenEditor() {
    auto* window = new CEditWnd;
    if (!window->Init(this)) {
        delete window;
        return false;
    }
    m_window = window;
    return true;
}

void CEditUI::HandleEvent(UIEvent& event) {
    const int type = event.type;
    if (!IsMouseEnabled() && type > kEventMouseBegin && type < kEventMouseEnd) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CLabelUI::HandleEvent(event);
        return;
    }
    if (type == kEventSetCursor && IsEnabled()) {
        plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_IBEAM));
        return;
    }
    if (type == kEventWindowSize && m_window != nullptr && m_manager != nullptr)
        m_manager->SetFocusNeeded(this);
    if (type == kEventScrollWheel && m_window != nullptr)
        return;
    if (type == kEventSetFocus && IsEnabled()) {
        if (m_window != nullptr)
            return;
        OpenEditor();
        Invalidate();
    }
    if (type == kEventKillFocus && IsEnabled())
        Invalidate();
    if (type == kEventButtonDown || type == kEventDblClick || type == kEventRButtonDown) {
        if (!IsEnabled())
            return;
        if (m_manager != nullptr)
            m_manager->ReleaseCapture();
        if (IsFocused() && m_window == nullptr) {
            OpenEditor();
            if (!plat::PtInRect(&m_rcItem, event.mouse))
                return;
        }
        if (m_window == nullptr)
            return;
        // The manager gave the focus to its host window on this press, which closes an editor;
        // the editor keeps it when the press was meant for this control.
        plat::SetFocus(m_window->GetHWND());
        // The length in bytes: the editor counts characters and stops at its end.
        auto length = m_window->SendMessage(plat::WM_GETTEXTLENGTH);
        if (length == 0)
            length = 1;
        m_window->SendMessage(plat::EM_SETSEL, 0, length);
        return;
    }
    if (type == kEventMouseMove || type == kEventButtonUp || type == kEventContextMenu)
        return;
    if (type == kEventMouseEnter && IsEnabled()) {
        m_state |= kStateHot;
        Invalidate();
        return;
    }
    if (type == kEventMouseLeave && IsEnabled()) {
        m_state &= ~kStateHot;
        Invalidate();
        return;
    }
    CLabelUI::HandleEvent(event);
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_state = 0;
}

void CEditUI::SetText(const char* text) {
    m_text = text;
    if (m_window != nullptr)
        plat::SetWindowText(m_window->GetHWND(), m_text.GetData());
    Invalidate();
}

void CEditUI::SetPosition(RECT rc) {
    CLabelUI::SetPosition(rc);
    if (m_window != nullptr) {
        const RECT pos = m_window->CalPos();
        plat::SetWindowPos(m_window->GetHWND(), nullptr, pos.left, pos.top, pos.right - pos.left,
                           pos.bottom - pos.top, plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
    }
}

void CEditUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible() && m_window != nullptr && m_manager != nullptr)
        m_manager->SetFocus(nullptr);
}

void CEditUI::SetInnerVisible(bool visible) {
    // The base records the hidden ancestor too: without it an edit in a hidden container would
    // still count as visible to hit tests and the tab order.
    CLabelUI::SetInnerVisible(visible);
    if (!IsVisible() && m_window != nullptr && m_manager != nullptr)
        m_manager->SetFocus(nullptr);
}

void CEditUI::SetMaxChar(int max) {
    m_maxChar = max;
    if (m_window != nullptr)
        m_window->SendMessage(plat::EM_LIMITTEXT, static_cast<WPARAM>(m_maxChar));
}

void CEditUI::SetReadOnly(bool readOnly) {
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    if (m_window != nullptr)
        m_window->SendMessage(plat::EM_SETREADONLY, m_readOnly ? 1 : 0);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    if (numberOnly)
        m_windowStyles |= plat::ES_NUMBER;
    else
        m_windowStyles &= ~plat::ES_NUMBER;
}

void CEditUI::SetPasswordMode(bool password) {
    if (m_password == password)
        return;
    m_password = password;
    Invalidate();
}

void CEditUI::SetPasswordChar(char ch) {
    if (m_passwordChar == ch)
        return;
    m_passwordChar = ch;
    if (m_window != nullptr)
        m_window->SendMessage(plat::EM_SETPASSWORDCHAR, static_cast<unsigned char>(ch));
    Invalidate();
}

void CEditUI::SetNormalImage(const char* image) {
    m_normalImage = image;
    Invalidate();
}

void CEditUI::SetHotImage(const char* image) {
    m_hotImage = image;
    Invalidate();
}

void CEditUI::SetFocusedImage(const char* image) {
    m_focusedImage = image;
    Invalidate();
}

void CEditUI::SetDisabledImage(const char* image) {
    m_disabledImage = image;
    Invalidate();
}

void CEditUI::SetAttribute(const char* name, const char* value) {
    if (std::strcmp(name, "readonly") == 0)
        SetReadOnly(ParseBool(value));
    else if (std::strcmp(name, "numberonly") == 0)
        SetNumberOnly(ParseBool(value));
    else if (std::strcmp(name, "password") == 0)
        SetPasswordMode(ParseBool(value));
    else if (std::strcmp(name, "maxchar") == 0)
        SetMaxChar(static_cast<int>(std::strtol(value, nullptr, 10)));
    else if (std::strcmp(name, "normalimage") == 0)
        SetNormalImage(value);
    else if (std::strcmp(name, "hotimage") == 0)
        SetHotImage(value);
    else if (std::strcmp(name, "focusedimage") == 0)
        SetFocusedImage(value);
    else if (std::strcmp(name, "disabledimage") == 0)
        SetDisabledImage(value);
    else if (std::strcmp(name, "nativebkcolor") == 0)
        SetNativeEditBkColor(ParseColor(value));
    else
        CLabelUI::SetAttribute(name, value);
}

plat::SIZE CEditUI::MeasureSize(plat::SIZE) {
    const int height = m_fixedSize.cy != 0 ? m_fixedSize.cy : FontHeight(m_manager, m_font) + 6;
    return plat::SIZE{m_fixedSize.cx, height};
}

bool CEditUI::DrawStateImage(plat::HDC hDC, CUIString& image) {
    if (image.IsEmpty())
        return false;
    if (DrawImage(hDC, image.GetData()))
        return true;
    image.Empty();
    return false;
}

void CEditUI::PaintStatusImage(plat::HDC hDC) {
    if (IsFocused())
        m_state |= kStateFocused;
    else
        m_state &= ~kStateFocused;
    if (!IsEnabled())
        m_state |= kStateDisabled;
    else
        m_state &= ~kStateDisabled;

    if ((m_state & kStateDisabled) != 0) {
        if (DrawStateImage(hDC, m_disabledImage))
            return;
    } else if ((m_state & kStateFocused) != 0) {
        if (DrawStateImage(hDC, m_focusedImage))
            return;
    } else if ((m_state & kStateHot) != 0) {
        if (DrawStateImage(hDC, m_hotImage))
            return;
    }
    DrawStateImage(hDC, m_normalImage);
}

void CEditUI::PaintText(plat::HDC hDC) {
    if (m_manager == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_manager->GetDefaultFontColor();
    if (m_disabledTextColor == 0)
        m_disabledTextColor = m_manager->GetDefaultDisabledColor();
    if (m_text.IsEmpty())
        return;

    std::string shown;
    if (m_password) {
        // One mask character per character, however many bytes it takes.
        const char* p = m_text.GetData();
        const char* end = p + m_text.GetLength();
        while (p < end) {
            p += plat::Utf8CharLength(p, end);
            shown.push_back(m_passwordChar);
        }
    } else {
        shown = m_text.GetData();
    }
    RECT rc = Shrink(m_rcItem, m_textPadding);
    CUIRender::DrawText(hDC, m_manager, rc, shown.c_str(),
                        IsEnabled() ? m_textColor : m_disabledTextColor, m_font,
                        m_textStyle | plat::DT_SINGLELINE);
}

} // namespace Pane
