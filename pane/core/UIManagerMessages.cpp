// The UI manager's native message handling: input to control events, the layout and paint
// pass, hover and the tooltip, and the pre-message keys (tab order, shortcuts).

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <cctype>
#include <cstring>

namespace Pane {

using plat::HWND;
using plat::LPARAM;
using plat::LRESULT;
using plat::POINT;
using plat::RECT;
using plat::UINT;
using plat::WPARAM;

namespace {

// The colour that outlines painted rectangles in "showdirty" mode: RGB(220, 0, 0).
constexpr uint32_t kDirtyOutline = 0xFFDC0000;

CControlUI* FindControlFromUpdate(CControlUI* control, void*) {
    return control->IsUpdateNeeded() ? control : nullptr;
}

struct ShortcutSearch {
    char ch = 0;
    bool pickNext = false;
};

CControlUI* FindControlFromShortcut(CControlUI* control, void* data) {
    if (!control->IsVisible()) {
        return nullptr;
    }
    auto* search = static_cast<ShortcutSearch*>(data);
    if (search->ch == std::toupper(static_cast<unsigned char>(control->Shortcut()))) {
        search->pickNext = true;
    }
    // A label names the control after it.
    if (std::strstr(control->ClassName(), "LabelUI") != nullptr) {
        return nullptr;
    }
    return search->pickNext ? control : nullptr;
}

POINT PointOf(LPARAM lParam) {
    return POINT{plat::GET_X_LPARAM(lParam), plat::GET_Y_LPARAM(lParam)};
}

// Offers the message to each filter in turn; true (with the filter's result) once one handles it.
bool RunFilters(const CUIPtrArray& filters, UINT msg, WPARAM wParam, LPARAM lParam,
                LRESULT& result) {
    for (int i = 0; i < filters.GetSize(); ++i) {
        bool handled = false;
        const LRESULT answer = static_cast<IMessageFilterUI*>(filters[i])
                                   ->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }
    return false;
}

} // namespace

bool CUIManager::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (RunFilters(m_preMessageFilters, msg, wParam, lParam, result)) {
        return true;
    }
    switch (msg) {
        case plat::WM_KEYDOWN:
            if (wParam != plat::VK_TAB) {
                return false;
            }
            // A rich edit that wants tabs answers "WantTab" and gets the key itself.
            if (m_focus != nullptr && m_focus->IsVisible() && m_focus->IsEnabled() &&
                std::strstr(m_focus->ClassName(), "RichEditUI") != nullptr &&
                m_focus->Interface("WantTab") != nullptr) {
                return false;
            }
            SetNextTabControl(plat::GetKeyState(plat::VK_SHIFT) >= 0);
            return true;
        case plat::WM_SYSKEYDOWN:
            if (m_focus != nullptr) {
                SendEvent(m_focus, kEventSysKey, m_focus, wParam, lParam, KeyStateFromKeyboard(),
                          static_cast<char>(wParam));
            }
            return false;
        case plat::WM_SYSCHAR: {
            if (m_root == nullptr || wParam > 0x7F) {
                return false;
            }
            ShortcutSearch search;
            search.ch = static_cast<char>(std::toupper(static_cast<int>(wParam)));
            CControlUI* control = m_root->FindControl(FindControlFromShortcut, &search,
                                                      kFindEnabled | kFindMeFirst | kFindTopFirst);
            if (control == nullptr) {
                return false;
            }
            control->SetFocus();
            control->Trigger();
            return true;
        }
        default:
            return false;
    }
}

bool CUIManager::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (m_hWnd == nullptr) {
        return false;
    }
    if (RunFilters(m_messageFilters, msg, wParam, lParam, result)) {
        return true;
    }
    switch (msg) {
        case kMsgDelayedCleanup:
            RunDelayedCleanup();
            result = 0;
            return true;
        case plat::WM_CLOSE: {
            // Whatever is under way with the mouse ends before the window goes.
            if (m_eventHover != nullptr) {
                CControlUI* hover = m_eventHover;
                SendEvent(hover, kEventMouseLeave, hover);
            }
            if (m_eventClick != nullptr) {
                CControlUI* click = m_eventClick;
                SendEvent(click, kEventButtonUp, click);
            }
            SetFocus(nullptr);
            const HWND owner = plat::GetWindow(m_hWnd, plat::GW_OWNER);
            if (owner != nullptr) {
                plat::SetFocus(owner);
            }
            return false;
        }
        case plat::WM_ERASEBKGND:
            result = 1;
            return true;
        case plat::WM_PAINT:
            return HandlePaint(result);
        case plat::WM_SIZE:
            if (m_focus != nullptr) {
                SendEvent(m_focus, kEventWindowSize, m_focus);
            }
            if (m_root != nullptr) {
                m_root->NeedUpdate();
            }
            result = 0;
            return true;
        case plat::WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<plat::MINMAXINFO*>(lParam);
            if (info == nullptr) {
                return false;
            }
            if (m_minInfo.cx > 0) {
                info->ptMinTrackSize.x = m_minInfo.cx;
            }
            if (m_minInfo.cy > 0) {
                info->ptMinTrackSize.y = m_minInfo.cy;
            }
            if (m_maxInfo.cx > 0) {
                info->ptMaxTrackSize.x = m_maxInfo.cx;
            }
            if (m_maxInfo.cy > 0) {
                info->ptMaxTrackSize.y = m_maxInfo.cy;
            }
            return false;
        }
        case plat::WM_SETCURSOR: {
            if (plat::LOWORD(static_cast<uintptr_t>(lParam)) != plat::HTCLIENT) {
                return false;
            }
            if (m_mouseCapture) {
                result = 1;
                return true;
            }
            POINT pt;
            plat::GetCursorPos(&pt);
            plat::ScreenToClient(m_hWnd, &pt);
            CControlUI* control = FindControl(pt);
            if (control == nullptr || (control->ControlFlags() & kFlagSetCursor) == 0) {
                return false;
            }
            // The event carries the point the control was found at: the cursor is asked for
            // before the move itself arrives, so the last mouse position is still the old one.
            UIEvent event;
            event.type = kEventSetCursor;
            event.sender = control;
            event.timestamp = plat::GetTickCount();
            event.mouse = pt;
            event.keyState = KeyStateFromKeyboard();
            event.wParam = wParam;
            event.lParam = lParam;
            control->DispatchEvent(event);
            result = 1;
            return true;
        }
        case plat::WM_COMMAND:
        case plat::WM_CTLCOLOREDIT:
        case plat::WM_CTLCOLORSTATIC: {
            // Reflected to the child window that sent it, which handles its own.
            const auto child = reinterpret_cast<HWND>(lParam);
            if (child == nullptr || !plat::IsWindow(child)) {
                return false;
            }
            result = plat::SendMessage(child, msg + plat::OCM__BASE, wParam, lParam);
            return true;
        }
        case plat::WM_KEYDOWN: {
            if (m_focus == nullptr) {
                return false;
            }
            m_eventKey = m_focus;
            SendEvent(m_focus, kEventKeyDown, m_focus, wParam, lParam, KeyStateFromKeyboard(),
                      static_cast<char>(wParam));
            return false;
        }
        case plat::WM_KEYUP: {
            if (m_eventKey == nullptr) {
                return false;
            }
            CControlUI* control = m_eventKey;
            m_eventKey = nullptr;
            SendEvent(control, kEventKeyUp, control, wParam, lParam, KeyStateFromKeyboard(),
                      static_cast<char>(wParam));
            return false;
        }
        case plat::WM_CHAR:
            // The key byte holds ASCII; wParam keeps the whole code point.
            if (m_focus != nullptr) {
                SendEvent(m_focus, kEventChar, m_focus, wParam, lParam, KeyStateFromKeyboard(),
                          static_cast<char>(wParam));
            }
            return false;
        case plat::WM_TIMER:
            for (const auto& timer : m_timers) {
                if (timer->hWnd == m_hWnd && timer->id == wParam && !timer->killed) {
                    // The handler may set or kill timers: the record is not touched after it.
                    CControlUI* control = timer->control;
                    const UINT key = timer->key;
                    SendEvent(control, kEventTimer, control, key, lParam);
                    break;
                }
            }
            return false;
        case plat::WM_MOUSEMOVE:
            HandleMouseMove(PointOf(lParam));
            return false;
        case plat::WM_MOUSEHOVER:
            m_mouseTracking = false;
            return HandleMouseHover();
        case plat::WM_MOUSELEAVE:
            HideTooltip();
            // The hover message ends tracking, yet the pointer may leave without another move
            // inside (a fast exit): a hovered control must still hear that it was left.
            if (m_mouseTracking || m_eventHover != nullptr) {
                plat::SendMessage(m_hWnd, plat::WM_MOUSEMOVE, 0, plat::MAKELPARAM(-1, -1));
            }
            m_mouseTracking = false;
            return false;
        case plat::WM_LBUTTONDOWN:
        case plat::WM_RBUTTONDOWN:
        case plat::WM_LBUTTONDBLCLK: {
            plat::SetFocus(m_hWnd);
            m_lastMouse = PointOf(lParam);
            CControlUI* control = FindControl(m_lastMouse);
            if (control == nullptr || control->Manager() != this) {
                return false;
            }
            m_eventClick = control;
            SetCapture();
            if (msg == plat::WM_LBUTTONDBLCLK) {
                SendEvent(control, kEventDblClick, control, wParam, lParam,
                          static_cast<uint16_t>(wParam));
                return false;
            }
            control->SetFocus();
            SendEvent(control, msg == plat::WM_LBUTTONDOWN ? kEventButtonDown : kEventRButtonDown,
                      control, wParam, lParam, static_cast<uint16_t>(wParam));
            return false;
        }
        case plat::WM_LBUTTONUP: {
            m_lastMouse = PointOf(lParam);
            if (m_eventClick == nullptr) {
                return false;
            }
            ReleaseCapture();
            CControlUI* control = m_eventClick;
            SendEvent(control, kEventButtonUp, control, wParam, lParam,
                      static_cast<uint16_t>(wParam));
            m_eventClick = nullptr;
            return false;
        }
        case plat::WM_CONTEXTMENU: {
            if (m_eventClick == nullptr) {
                return false;
            }
            ReleaseCapture();
            CControlUI* control = m_eventClick;
            SendEvent(control, kEventContextMenu, control, reinterpret_cast<WPARAM>(control),
                      lParam, KeyStateFromKeyboard());
            m_eventClick = nullptr;
            return false;
        }
        case plat::WM_MOUSEWHEEL: {
            // The wheel reports the pointer in screen coordinates.
            POINT pt = PointOf(lParam);
            plat::ScreenToClient(m_hWnd, &pt);
            m_lastMouse = pt;
            CControlUI* control = FindControl(pt);
            if (control == nullptr || control->Manager() != this) {
                return false;
            }
            const int delta = plat::GET_WHEEL_DELTA_WPARAM(wParam);
            SendEvent(control, kEventScrollWheel, control, delta < 0 ? 1 : 0, lParam,
                      KeyStateFromKeyboard());
            // Content may have moved under the pointer.
            plat::SendMessage(m_hWnd, plat::WM_MOUSEMOVE, 0,
                              plat::MAKELPARAM(m_lastMouse.x, m_lastMouse.y));
            return false;
        }
        default:
            return false;
    }
}

void CUIManager::HandleMouseMove(POINT pt) {
    if (!m_mouseTracking) {
        plat::TRACKMOUSEEVENT tme;
        tme.dwFlags = plat::TME_HOVER | plat::TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = m_hwndTooltip != nullptr
                              ? static_cast<plat::DWORD>(plat::SendMessage(
                                    m_hwndTooltip, plat::TTM_GETDELAYTIME, plat::TTDT_INITIAL, 0))
                              : plat::kDefaultHoverMs;
        m_mouseTracking = plat::TrackMouseEvent(&tme);
    }
    m_lastMouse = pt;
    CControlUI* newHover = FindControl(pt);
    if (newHover != nullptr && newHover->Manager() != this) {
        return;
    }
    if (newHover != m_eventHover && m_eventHover != nullptr) {
        CControlUI* old = m_eventHover;
        m_eventHover = nullptr;
        SendEvent(old, kEventMouseLeave, old, 0, 0, KeyStateFromKeyboard());
        HideTooltip();
    }
    if (newHover != m_eventHover && newHover != nullptr) {
        m_eventHover = newHover;
        SendEvent(newHover, kEventMouseEnter, newHover, 0, 0, KeyStateFromKeyboard());
    }
    // The enter or leave handlers may have destroyed controls: only what is still referenced
    // gets the move.
    if (m_eventClick != nullptr) {
        SendEvent(m_eventClick, kEventMouseMove, m_eventClick, 0, 0, KeyStateFromKeyboard());
    } else if (m_eventHover != nullptr && m_eventHover == newHover) {
        SendEvent(newHover, kEventMouseMove, newHover, 0, 0, KeyStateFromKeyboard());
    }
}

bool CUIManager::HandleMouseHover() {
    CControlUI* control = FindControl(m_lastMouse);
    if (control == nullptr) {
        return false;
    }
    if (m_eventHover != nullptr) {
        SendEvent(m_eventHover, kEventMouseHover, m_eventHover, 0, 0, KeyStateFromKeyboard());
    }
    // The hover handler may have removed the control: look again.
    control = FindControl(m_lastMouse);
    if (control != nullptr && !control->ToolTip().IsEmpty()) {
        ShowTooltip(control);
    }
    return true;
}

void CUIManager::ShowTooltip(CControlUI* control) {
    // The tooltip shows one text with '\n' breaks; the control keeps "\r\n".
    m_tooltipText = control->ToolTip();
    m_tooltipText.Replace("\r\n", "\n");
    m_toolInfo = plat::TOOLINFO{};
    m_toolInfo.uFlags = plat::TTF_IDISHWND;
    m_toolInfo.hwnd = m_hWnd;
    m_toolInfo.uId = reinterpret_cast<plat::UINT_PTR>(m_hWnd);
    m_toolInfo.rect = control->Position();
    m_toolInfo.hinst = GetInstance();
    m_toolInfo.lpszText = m_tooltipText.GetData();
    const auto info = reinterpret_cast<LPARAM>(&m_toolInfo);
    if (m_hwndTooltip == nullptr) {
        m_hwndTooltip =
            plat::CreateWindowEx(0, plat::TOOLTIPS_CLASS, nullptr,
                                 plat::WS_POPUP | plat::TTS_NOPREFIX | plat::TTS_ALWAYSTIP,
                                 plat::CW_USEDEFAULT, plat::CW_USEDEFAULT, plat::CW_USEDEFAULT,
                                 plat::CW_USEDEFAULT, m_hWnd, 0, GetInstance(), nullptr);
        if (m_hwndTooltip == nullptr) {
            return;
        }
        plat::SendMessage(m_hwndTooltip, plat::TTM_ADDTOOL, 0, info);
        // Tips read in the window's own default font.
        plat::SendMessage(m_hwndTooltip, plat::WM_SETFONT,
                          reinterpret_cast<WPARAM>(GetDefaultFontInfo()->hFont), 0);
    }
    plat::SendMessage(m_hwndTooltip, plat::TTM_SETMAXTIPWIDTH, 0, control->ToolTipWidth());
    plat::SendMessage(m_hwndTooltip, plat::TTM_SETTOOLINFO, 0, info);
    plat::SendMessage(m_hwndTooltip, plat::TTM_TRACKACTIVATE, 1, info);
}

void CUIManager::HideTooltip() {
    if (m_hwndTooltip != nullptr) {
        plat::SendMessage(m_hwndTooltip, plat::TTM_TRACKACTIVATE, 0,
                          reinterpret_cast<LPARAM>(&m_toolInfo));
    }
}

void CUIManager::LayoutPass() {
    m_updateNeeded = false;
    RECT client;
    plat::GetClientRect(m_hWnd, &client);
    if (plat::IsRectEmpty(client)) {
        return;
    }
    if (m_root->IsUpdateNeeded()) {
        m_root->SetPosition(client);
        // New size, new bitmaps.
        m_offscreenDc.reset();
        m_offscreen = plat::Bitmap();
        m_background = plat::Bitmap();
        m_backgroundValid = false;
    } else {
        // A control that asks for layout again from its own SetPosition would keep this loop
        // going forever: after that many rounds the rest waits for a later layout.
        constexpr int kMaxRounds = 1000;
        CControlUI* control = nullptr;
        for (int round = 0; round < kMaxRounds &&
                            (control = m_root->FindControl(FindControlFromUpdate, nullptr,
                                                           kFindVisible | kFindMeFirst)) != nullptr;
             ++round) {
            control->SetPosition(control->Position());
        }
    }
    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotify(m_root, "windowinit");
    }
}

bool CUIManager::HandlePaint(LRESULT& result) {
    result = 0;
    RECT update;
    if (!plat::GetUpdateRect(m_hWnd, &update, false)) {
        return true;
    }
    plat::PAINTSTRUCT ps;
    if (m_root == nullptr) {
        plat::BeginPaint(m_hWnd, &ps);
        plat::EndPaint(m_hWnd, &ps);
        return true;
    }
    if (m_updateNeeded) {
        LayoutPass();
    }
    if (m_focusNeeded) {
        SetNextTabControl();
    }
    const plat::SIZE size = GetClientSize();
    if (m_offscreenPaint && m_offscreenDc == nullptr && size.cx > 0 && size.cy > 0) {
        m_offscreen = plat::Bitmap(size.cx, size.cy);
        m_offscreenDc = std::make_unique<plat::Canvas>(m_offscreen);
    }
    plat::BeginPaint(m_hWnd, &ps);
    const RECT& rcPaint = ps.rcPaint;
    if (ps.hdc != nullptr && !plat::IsRectEmpty(rcPaint)) {
        if (m_offscreenPaint && m_offscreenDc != nullptr) {
            plat::Canvas& dc = *m_offscreenDc;
            const plat::ClipState saved = dc.SaveClip();
            dc.ResetClip();
            dc.IntersectClip(rcPaint);
            if (m_bkTrans) {
                if (!m_backgroundValid) {
                    // What the window showed before the first paint becomes the background.
                    POINT offset;
                    const plat::Bitmap* window = plat::GetWindowBuffer(m_hWnd, &offset);
                    m_background = plat::Bitmap(size.cx, size.cy);
                    if (window != nullptr) {
                        plat::Canvas copy(m_background);
                        copy.BitBlt(0, 0, size.cx, size.cy, *window, offset.x, offset.y);
                    }
                    m_backgroundValid = true;
                }
                dc.BitBlt(rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                          rcPaint.bottom - rcPaint.top, m_background, rcPaint.left, rcPaint.top);
            }
            m_root->Paint(&dc, rcPaint);
            for (int i = 0; i < m_postPaintControls.GetSize(); ++i) {
                static_cast<CControlUI*>(m_postPaintControls[i])->PaintOverlay(&dc, rcPaint);
            }
            dc.RestoreClip(saved);
            // Only the update rectangle goes to the window.
            ps.hdc->BitBlt(rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                           rcPaint.bottom - rcPaint.top, m_offscreen, rcPaint.left, rcPaint.top);
        } else {
            m_root->Paint(ps.hdc, rcPaint);
            for (int i = 0; i < m_postPaintControls.GetSize(); ++i) {
                static_cast<CControlUI*>(m_postPaintControls[i])->PaintOverlay(ps.hdc, rcPaint);
            }
        }
        if (m_showUpdateRect) {
            CUIRender::DrawRect(ps.hdc, rcPaint, 1, kDirtyOutline);
        }
    }
    plat::EndPaint(m_hWnd, &ps);
    if (m_updateNeeded) {
        Invalidate();
    }
    RunPaintHook(this);
    return true;
}

} // namespace Pane
