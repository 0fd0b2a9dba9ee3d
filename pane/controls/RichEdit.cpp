#include "pane/controls/RichEdit.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Messages.h"
#include "platform/base/TextUtf8.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Pane {

using plat::DWORD;
using plat::LPARAM;
using plat::LRESULT;
using plat::RECT;
using plat::UINT;
using plat::WPARAM;

namespace {

// The style bits the edit window takes from the control's style word (WS_HSCROLL only to keep
// several lines from wrapping: the edit draws no scroll bars of its own).
constexpr DWORD kEditStyleBits = plat::ES_MULTILINE | plat::ES_AUTOVSCROLL | plat::ES_AUTOHSCROLL |
                                 plat::ES_READONLY | plat::ES_PASSWORD | plat::ES_CENTER |
                                 plat::ES_RIGHT | plat::WS_HSCROLL;
constexpr DWORD kAlignBits = 0x3;
// Lines scrolled by one turn of the wheel.
constexpr int kWheelLines = 3;

bool KeyHeld(int vk) {
    return plat::GetKeyState(vk) < 0;
}

} // namespace

const char* CTxtWinHost::GetWindowClassName() const {
    return "TxtWinHost";
}

const char* CTxtWinHost::GetSuperClassName() const {
    return "Edit";
}

bool CTxtWinHost::Init(CRichEditUI* owner) {
    CUIManager* manager = owner != nullptr ? owner->Manager() : nullptr;
    if (manager == nullptr || manager->GetPaintWindow() == nullptr)
        return false;
    m_owner = owner;
    DWORD style = plat::WS_CHILD | (owner->m_style & kEditStyleBits);
    // One line scrolls sideways as it is typed; several lines wrap at the edge of the area
    // unless sideways scrolling is asked for.
    if ((style & plat::ES_MULTILINE) == 0)
        style |= plat::ES_AUTOHSCROLL;
    if (Create(manager->GetPaintWindow(), "", style, 0, owner->TextArea()) == nullptr) {
        m_owner = nullptr;
        return false;
    }
    SendMessage(plat::WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner->m_font)), 0);
    SendMessage(plat::EM_LIMITTEXT, static_cast<WPARAM>(owner->m_maxChar));
    if ((owner->m_style & plat::ES_PASSWORD) != 0)
        SendMessage(plat::EM_SETPASSWORDCHAR, '*');
    plat::SetWindowText(m_hWnd, owner->m_text.GetData());
    SendMessage(plat::EM_SETMODIFY, 0);
    SendMessage(plat::EM_EMPTYUNDOBUFFER);
    SendMessage(plat::EM_SETREADONLY, owner->m_readOnly ? 1 : 0);
    plat::EnableWindow(m_hWnd, owner->IsEnabled());
    m_init = true;
    return true;
}

bool CTxtWinHost::OnKeyDown(WPARAM key) {
    if (m_owner == nullptr)
        return false;
    if (key == static_cast<WPARAM>(plat::VK_RETURN)) {
        const bool ctrl = KeyHeld(plat::VK_CONTROL);
        if (!m_owner->m_wantReturn || (ctrl && !m_owner->m_wantCtrlReturn)) {
            if (m_owner->Manager() != nullptr)
                m_owner->Manager()->SendNotify(m_owner, "return");
            return true;
        }
        // The edit itself breaks the line on a plain Return only.
        if (ctrl) {
            if (!m_owner->m_readOnly && (m_owner->m_style & plat::ES_MULTILINE) != 0)
                m_owner->ReplaceSel("\n");
            return true;
        }
        return false;
    }
    if (key == static_cast<WPARAM>(plat::VK_TAB)) {
        // The manager's message loop moves the focus on Tab before it gets here unless the
        // control wants the key; a Tab that came another way moves it here.
        if (!m_owner->m_wantTab) {
            if (m_owner->Manager() != nullptr)
                m_owner->Manager()->SetNextTabControl(!KeyHeld(plat::VK_SHIFT));
        } else if (!m_owner->m_readOnly) {
            m_owner->ReplaceSel("\t");
        }
        return true;
    }
    return false;
}

LRESULT CTxtWinHost::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case plat::WM_KEYDOWN:
            if (OnKeyDown(wParam))
                return 0;
            break;
        case plat::WM_SETFOCUS: {
            const LRESULT result = CallDefault(msg, wParam, lParam);
            // A click into the text: the control becomes the manager's focus as well.
            if (m_owner != nullptr && m_owner->Manager() != nullptr &&
                m_owner->Manager()->GetFocus() != m_owner)
                m_owner->SetFocus();
            return result;
        }
        case plat::OCM__BASE + plat::WM_COMMAND: {
            const plat::WORD code = plat::HIWORD(wParam);
            if (!m_init || m_owner == nullptr)
                return 0;
            // New text may be taller or shorter; scrolling moves the view: the bar follows.
            if (code == plat::EN_CHANGE || code == plat::EN_VSCROLL)
                m_owner->SyncScrollBar();
            if (code == plat::EN_CHANGE && m_owner->Manager() != nullptr)
                m_owner->Manager()->SendNotify(m_owner, "textchanged");
            return 0;
        }
        case plat::OCM__BASE + plat::WM_CTLCOLOREDIT:
        case plat::OCM__BASE + plat::WM_CTLCOLORSTATIC:
            return OnControlColor(wParam);
        default:
            break;
    }
    return CallDefault(msg, wParam, lParam);
}

LRESULT CTxtWinHost::OnControlColor(WPARAM wParam) {
    if (m_owner == nullptr)
        return 0;
    auto* dc = reinterpret_cast<plat::HDC>(wParam);
    uint32_t text = m_owner->m_textColor;
    if (text == 0 && m_owner->Manager() != nullptr)
        text = m_owner->Manager()->GetDefaultFontColor();
    plat::SetTextColor(dc, CUIRender::ToColorRef(text));
    // The control's own background colour, opaque white without one.
    const uint32_t back = m_owner->BkColor() != 0 ? m_owner->BkColor() : 0xFFFFFFFF;
    if (m_hBkBrush != nullptr)
        plat::DeleteObject(m_hBkBrush);
    m_hBkBrush = plat::CreateSolidBrush(CUIRender::ToColorRef(back));
    return reinterpret_cast<LRESULT>(m_hBkBrush);
}

void CTxtWinHost::OnFinalMessage(plat::HWND) {
    if (m_owner != nullptr)
        m_owner->m_host = nullptr;
    if (m_hBkBrush != nullptr)
        plat::DeleteObject(m_hBkBrush);
    delete this;
}

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
    if (m_host != nullptr) {
        CTxtWinHost* host = m_host;
        m_host = nullptr;
        host->Detach();
        plat::DestroyWindow(host->GetHWND()); // the host deletes itself with its window
    }
}

const char* CRichEditUI::ClassName() const {
    return "RichEditUI";
}

void* CRichEditUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "RichEdit") == 0)
        return static_cast<CRichEditUI*>(this);
    if (name != nullptr && std::strcmp(name, "WantTab") == 0)
        return m_wantTab ? static_cast<CRichEditUI*>(this) : nullptr;
    return CContainerUI::Interface(name);
}

unsigned int CRichEditUI::ControlFlags() const {
    return IsEnabled() ? unsigned{kFlagTabStop} : 0u;
}

void CRichEditUI::SetWinStyle(DWORD style) {
    m_style = style;
    const bool vertical = (m_style & plat::WS_VSCROLL) != 0;
    if (vertical != (m_verticalScrollBar != nullptr)) {
        EnableScrollBar(vertical, m_horizontalScrollBar != nullptr);
        if (m_verticalScrollBar != nullptr)
            m_verticalScrollBar->SetVisible((m_style & plat::ES_DISABLENOSCROLL) != 0);
    }
    ApplyStyle();
    ShowHost();
}

void CRichEditUI::ApplyStyle() {
    if (m_host == nullptr)
        return;
    const plat::HWND hwnd = m_host->GetHWND();
    const auto current = static_cast<DWORD>(plat::GetWindowLongPtr(hwnd, plat::GWL_STYLE));
    plat::SetWindowLongPtr(
        hwnd, plat::GWL_STYLE,
        static_cast<plat::LONG_PTR>((current & ~kEditStyleBits) | (m_style & kEditStyleBits)));
    plat::SendMessage(hwnd, plat::EM_SETPASSWORDCHAR, (m_style & plat::ES_PASSWORD) != 0 ? '*' : 0,
                      0);
    plat::SendMessage(hwnd, plat::EM_SETREADONLY, m_readOnly ? 1 : 0, 0);
}

void CRichEditUI::SyncScrollBar() {
    if (m_verticalScrollBar == nullptr || m_host == nullptr || m_syncingBar)
        return;
    IScrollBarUI* bar = ScrollBarPart(m_verticalScrollBar);
    plat::EditScrollInfo info;
    if (bar == nullptr || !plat::GetEditScrollInfo(m_host->GetHWND(), &info))
        return;
    m_syncingBar = true;
    int range = std::max(0, info.content.cy - info.view.cy);
    // Without ES_DISABLENOSCROLL the bar shows only while the text is taller than the view.
    // Showing it narrows the text, which can only make it taller (and hiding it the reverse),
    // so one more look settles it.
    const bool shown = (m_style & plat::ES_DISABLENOSCROLL) != 0 || range > 0;
    if (shown != m_verticalScrollBar->IsVisible()) {
        m_verticalScrollBar->SetVisible(shown);
        ShowHost();
        if (plat::GetEditScrollInfo(m_host->GetHWND(), &info))
            range = std::max(0, info.content.cy - info.view.cy);
    }
    bar->SetScrollRange(range);
    bar->SetScrollPos(info.position.y);
    m_verticalScrollBar->SetEnabled(IsEnabled() && range > 0);
    m_verticalScrollBar->Invalidate();
    m_syncingBar = false;
}

void CRichEditUI::SetScrollPosition(plat::SIZE pos) {
    if (m_host == nullptr) {
        CContainerUI::SetScrollPosition(pos);
        return;
    }
    plat::POINT at{0, 0};
    plat::SendMessage(m_host->GetHWND(), plat::EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    at.y = pos.cy;
    plat::SendMessage(m_host->GetHWND(), plat::EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
}

void CRichEditUI::LineUp() {
    ScrollLines(-1);
}

void CRichEditUI::LineDown() {
    ScrollLines(1);
}

bool CRichEditUI::ScrollLines(int lines) {
    if (m_host == nullptr || (m_style & plat::ES_MULTILINE) == 0)
        return false;
    const plat::HWND hwnd = m_host->GetHWND();
    plat::POINT before{0, 0}, after{0, 0};
    plat::SendMessage(hwnd, plat::EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&before));
    plat::SendMessage(hwnd, plat::EM_LINESCROLL, 0, lines);
    plat::SendMessage(hwnd, plat::EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&after));
    return after.y != before.y;
}

void CRichEditUI::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_style = readOnly ? (m_style | plat::ES_READONLY) : (m_style & ~plat::ES_READONLY);
    ApplyStyle();
    Invalidate();
}

void CRichEditUI::SetFont(int index) {
    m_font = index;
    if (m_host != nullptr && m_manager != nullptr) {
        plat::SendMessage(m_host->GetHWND(), plat::WM_SETFONT,
                          reinterpret_cast<WPARAM>(m_manager->GetFont(index)), 1);
        SyncScrollBar();
    }
}

void CRichEditUI::SetTextColor(uint32_t color) {
    m_textColor = color;
    if (m_host != nullptr)
        plat::InvalidateRect(m_host->GetHWND(), nullptr, false);
}

void CRichEditUI::SetLimitText(int characters) {
    m_maxChar = characters;
    if (m_host != nullptr)
        plat::SendMessage(m_host->GetHWND(), plat::EM_LIMITTEXT,
                          static_cast<WPARAM>(characters > 0 ? characters : 0), 0);
}

CUIString CRichEditUI::GetText() const {
    if (m_host == nullptr)
        return m_text;
    return CUIString(plat::GetWindowTextString(m_host->GetHWND()).c_str());
}

void CRichEditUI::SetText(const char* text) {
    m_text = text != nullptr ? text : "";
    if (m_host != nullptr) {
        plat::SetWindowText(m_host->GetHWND(), m_text.GetData());
        plat::SendMessage(m_host->GetHWND(), plat::EM_EMPTYUNDOBUFFER, 0, 0);
    }
    Invalidate();
}

void CRichEditUI::SetSel(long start, long end) {
    if (m_host != nullptr)
        plat::SendMessage(m_host->GetHWND(), plat::EM_SETSEL, static_cast<WPARAM>(start),
                          static_cast<LPARAM>(end));
}

void CRichEditUI::GetSel(long& start, long& end) const {
    start = end = 0;
    if (m_host == nullptr)
        return;
    plat::DWORD s = 0, e = 0;
    plat::SendMessage(m_host->GetHWND(), plat::EM_GETSEL, reinterpret_cast<WPARAM>(&s),
                      reinterpret_cast<LPARAM>(&e));
    start = static_cast<long>(s);
    end = static_cast<long>(e);
}

void CRichEditUI::ReplaceSel(const char* text, bool canUndo) {
    if (m_host != nullptr)
        plat::SendMessage(m_host->GetHWND(), plat::EM_REPLACESEL, canUndo ? 1 : 0,
                          reinterpret_cast<LPARAM>(text != nullptr ? text : ""));
}

int CRichEditUI::GetLineCount() const {
    if (m_host == nullptr)
        return 0;
    return static_cast<int>(plat::SendMessage(m_host->GetHWND(), plat::EM_GETLINECOUNT, 0, 0));
}

plat::HWND CRichEditUI::GetHostWindow() const {
    return m_host != nullptr ? m_host->GetHWND() : nullptr;
}

void CRichEditUI::Init() {
    CContainerUI::Init();
    if (m_host != nullptr || m_manager == nullptr)
        return;
    auto* host = new CTxtWinHost;
    if (!host->Init(this)) {
        delete host;
        return;
    }
    m_host = host;
    ShowHost();
    SyncScrollBar();
}

RECT CRichEditUI::TextArea() const {
    RECT rc = InnerRect();
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    return rc;
}

void CRichEditUI::ShowHost() {
    const RECT rc = TextArea();
    // The scroll bar at the right of the inner area, beside the text.
    if (m_verticalScrollBar != nullptr)
        m_verticalScrollBar->SetPosition(
            RECT{rc.right, rc.top, rc.right + m_verticalScrollBar->FixedWidth(), rc.bottom});
    if (m_host == nullptr)
        return;
    const plat::HWND hwnd = m_host->GetHWND();
    plat::SetWindowPos(hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
    const bool shown = IsVisible() && rc.right > rc.left && rc.bottom > rc.top;
    plat::ShowWindow(hwnd, shown ? plat::SW_SHOWNOACTIVATE : plat::SW_HIDE);
}

void CRichEditUI::SetPosition(RECT rc) {
    CContainerUI::SetPosition(rc);
    ShowHost();
    SyncScrollBar();
}

void CRichEditUI::SetVisible(bool visible) {
    CContainerUI::SetVisible(visible);
    ShowHost();
}

void CRichEditUI::SetInnerVisible(bool visible) {
    CContainerUI::SetInnerVisible(visible);
    ShowHost();
}

void CRichEditUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (m_host != nullptr)
        plat::EnableWindow(m_host->GetHWND(), enabled);
    SyncScrollBar();
}

void CRichEditUI::HandleEvent(UIEvent& event) {
    switch (event.type) {
        case kEventSetFocus:
            m_focused = true;
            if (m_host != nullptr && plat::GetFocus() != m_host->GetHWND())
                plat::SetFocus(m_host->GetHWND());
            Invalidate();
            return;
        case kEventKillFocus:
            m_focused = false;
            Invalidate();
            return;
        case kEventTimer:
            if (m_host != nullptr)
                plat::SendMessage(m_host->GetHWND(), plat::WM_TIMER, event.wParam, event.lParam);
            return;
        case kEventScrollWheel:
            if ((event.keyState & plat::MK_CONTROL) != 0)
                return;
            // The text scrolls while it can; at its ends the turn goes on to the parent.
            if (ScrollLines(event.wParam == 0 ? -kWheelLines : kWheelLines))
                return;
            CControlUI::HandleEvent(event);
            return;
        case kEventButtonDown:
        case kEventDblClick:
        case kEventMouseMove:
        case kEventButtonUp:
        case kEventMouseEnter:
        case kEventMouseLeave:
        case kEventKeyDown:
        case kEventKeyUp:
        case kEventChar:
        case kEventSysKey:
            return;
        default:
            break;
    }
    CContainerUI::HandleEvent(event);
}

void CRichEditUI::SetAttribute(const char* name, const char* value) {
    const bool on = std::strcmp(value, "true") == 0;
    if (std::strcmp(name, "vscrollbar") == 0) {
        if (on)
            SetWinStyle(m_style | plat::WS_VSCROLL | plat::ES_DISABLENOSCROLL);
    } else if (std::strcmp(name, "autovscroll") == 0) {
        if (on)
            SetWinStyle(m_style | plat::ES_AUTOVSCROLL);
    } else if (std::strcmp(name, "hscrollbar") == 0) {
        if (on)
            SetWinStyle(m_style | plat::WS_HSCROLL | plat::ES_DISABLENOSCROLL);
    } else if (std::strcmp(name, "autohscroll") == 0) {
        if (on)
            SetWinStyle(m_style | plat::ES_AUTOHSCROLL);
    } else if (std::strcmp(name, "wanttab") == 0) {
        SetWantTab(on);
    } else if (std::strcmp(name, "wantreturn") == 0) {
        SetWantReturn(on);
    } else if (std::strcmp(name, "wantctrlreturn") == 0) {
        SetWantCtrlReturn(on);
    } else if (std::strcmp(name, "rich") == 0) {
        SetRich(on);
    } else if (std::strcmp(name, "multiline") == 0) {
        if (std::strcmp(value, "false") == 0)
            SetWinStyle(m_style & ~plat::ES_MULTILINE);
    } else if (std::strcmp(name, "readonly") == 0) {
        if (on)
            SetReadOnly(true);
    } else if (std::strcmp(name, "password") == 0) {
        if (on)
            SetWinStyle(m_style | plat::ES_PASSWORD);
    } else if (std::strcmp(name, "align") == 0) {
        if (std::strstr(value, "left") != nullptr)
            SetWinStyle(m_style & ~kAlignBits);
        if (std::strstr(value, "center") != nullptr)
            SetWinStyle((m_style & ~kAlignBits) | 1);
        if (std::strstr(value, "right") != nullptr)
            SetWinStyle((m_style & ~kAlignBits) | 2);
    } else if (std::strcmp(name, "font") == 0) {
        SetFont(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (std::strcmp(name, "textcolor") == 0) {
        while (*value == ' ' || *value == '#')
            ++value;
        SetTextColor(static_cast<uint32_t>(std::strtoul(value, nullptr, 16)));
    } else if (std::strcmp(name, "maxchar") == 0) {
        SetLimitText(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

} // namespace Pane
