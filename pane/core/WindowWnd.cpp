#include "pane/core/WindowWnd.h"

#include "pane/core/UIManager.h"
#include "platform/base/Messages.h"

namespace Pane {

using plat::HWND;
using plat::LPARAM;
using plat::LRESULT;
using plat::UINT;
using plat::WPARAM;

namespace {

// The window property that holds the object of a superclassed or subclassed window.
constexpr const char* kObjectProp = "WndX";

} // namespace

CWindowWnd::CWindowWnd() : m_oldWndProc(plat::DefWindowProc) {}

CWindowWnd::~CWindowWnd() {
    // An object that goes before its window lets go of it, so that the window's later
    // messages (its destruction at shutdown among them) no longer reach freed memory.
    if (m_hWnd == nullptr || !plat::IsWindow(m_hWnd)) {
        return;
    }
    Forget();
}

const char* CWindowWnd::GetSuperClassName() const {
    return nullptr;
}

UINT CWindowWnd::GetClassStyle() const {
    return 0;
}

bool CWindowWnd::RegisterWindowClass() {
    plat::WNDCLASS wc;
    wc.style = GetClassStyle();
    wc.lpfnWndProc = WndProc;
    wc.hInstance = CUIManager::GetInstance();
    wc.hCursor = plat::LoadCursor(nullptr, plat::IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    // Every window object registers its class: one that exists already is fine.
    return plat::RegisterClass(wc) ||
           plat::GetClassInfo(wc.hInstance, wc.lpszClassName.c_str(), nullptr);
}

bool CWindowWnd::RegisterSuperclass() {
    plat::WNDCLASS wc;
    const char* base = GetSuperClassName();
    // System classes first, then the program's own.
    if (!plat::GetClassInfo(nullptr, base, &wc) &&
        !plat::GetClassInfo(CUIManager::GetInstance(), base, &wc)) {
        return false;
    }
    m_oldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = ControlProc;
    wc.hInstance = CUIManager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    return plat::RegisterClass(wc) ||
           plat::GetClassInfo(wc.hInstance, wc.lpszClassName.c_str(), nullptr);
}

HWND CWindowWnd::Create(HWND parent, const char* name, plat::DWORD style, plat::DWORD exStyle,
                        const plat::RECT& rc, plat::HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, const char* name, plat::DWORD style, plat::DWORD exStyle,
                        int x, int y, int cx, int cy, plat::HMENU menu) {
    const bool registered =
        GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) {
        return nullptr;
    }
    m_hWnd = plat::CreateWindowEx(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent,
                                  menu, CUIManager::GetInstance(), this);
    return m_hWnd;
}

HWND CWindowWnd::Subclass(HWND hWnd) {
    if (!plat::IsWindow(hWnd)) {
        return nullptr;
    }
    auto previous = reinterpret_cast<plat::WNDPROC>(plat::SetWindowLongPtr(
        hWnd, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(ControlProc)));
    if (previous == nullptr) {
        return nullptr;
    }
    m_oldWndProc = previous;
    m_subclassed = true;
    m_hWnd = hWnd;
    plat::SetProp(hWnd, kObjectProp, this);
    return m_hWnd;
}

void CWindowWnd::Unsubclass() {
    if (!m_subclassed || !plat::IsWindow(m_hWnd)) {
        return;
    }
    plat::SetWindowLongPtr(m_hWnd, plat::GWLP_WNDPROC,
                           reinterpret_cast<plat::LONG_PTR>(m_oldWndProc));
    m_oldWndProc = plat::DefWindowProc;
    m_subclassed = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!plat::IsWindow(m_hWnd)) {
        return;
    }
    plat::ShowWindow(m_hWnd, show ? (takeFocus ? plat::SW_SHOWNORMAL : plat::SW_SHOWNOACTIVATE)
                                  : plat::SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    if (!plat::IsWindow(m_hWnd)) {
        return 0;
    }
    const HWND owner = plat::GetWindow(m_hWnd, plat::GW_OWNER);
    plat::ShowWindow(m_hWnd, plat::SW_SHOWNORMAL);
    if (owner != nullptr) {
        plat::EnableWindow(owner, false);
    }
    UINT result = 0;
    plat::MSG msg;
    bool quit = false;
    while (plat::IsWindow(m_hWnd)) {
        if (plat::GetMessage(&msg, nullptr, 0, 0) == 0) {
            quit = true;
            break;
        }
        if (msg.message == plat::WM_CLOSE && msg.hwnd == m_hWnd) {
            result = static_cast<UINT>(msg.wParam);
            // The owner comes back before this window goes, so the focus lands on it.
            if (owner != nullptr) {
                plat::EnableWindow(owner, true);
                plat::SetFocus(owner);
            }
        }
        if (!CUIManager::TranslateMessage(&msg)) {
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
    }
    if (owner != nullptr) {
        plat::EnableWindow(owner, true);
        plat::SetFocus(owner);
    }
    if (quit) {
        // The outer loop must see the quit as well.
        plat::PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return result;
}

void CWindowWnd::Close(UINT result) {
    if (plat::IsWindow(m_hWnd)) {
        plat::PostMessage(m_hWnd, plat::WM_CLOSE, result, 0);
    }
}

void CWindowWnd::CenterWindow() {
    if (!plat::IsWindow(m_hWnd)) {
        return;
    }
    plat::RECT rcDlg;
    plat::GetWindowRect(m_hWnd, &rcDlg);
    const HWND owner = plat::GetWindow(m_hWnd, plat::GW_OWNER);
    plat::MONITORINFO monitor;
    monitor.cbSize = sizeof(monitor);
    if (!plat::GetMonitorInfo(plat::MonitorFromWindow(owner != nullptr ? owner : m_hWnd,
                                                      plat::MONITOR_DEFAULTTONEAREST),
                              &monitor)) {
        return;
    }
    const plat::RECT area = monitor.rcWork;
    plat::RECT center = area;
    if (owner != nullptr) {
        plat::GetWindowRect(owner, &center);
    }
    const int width = rcDlg.right - rcDlg.left;
    const int height = rcDlg.bottom - rcDlg.top;
    int x = (center.left + center.right) / 2 - width / 2;
    int y = (center.top + center.bottom) / 2 - height / 2;
    if (x < area.left) {
        x = area.left;
    } else if (x + width > area.right) {
        x = area.right - width;
    }
    if (y < area.top) {
        y = area.top;
    } else if (y + height > area.bottom) {
        y = area.bottom - height;
    }
    plat::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1,
                       plat::SWP_NOSIZE | plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    plat::RECT client;
    plat::RECT window;
    if (!plat::GetClientRect(m_hWnd, &client) || !plat::GetWindowRect(m_hWnd, &window)) {
        return;
    }
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    const int width = (cx >= 0 ? cx : client.right) + frameX;
    const int height = (cy >= 0 ? cy : client.bottom) + frameY;
    plat::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height,
                       plat::SWP_NOMOVE | plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return plat::SendMessage(m_hWnd, msg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return plat::PostMessage(m_hWnd, msg, wParam, lParam) ? 1 : 0;
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallDefault(msg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CWindowWnd::CallDefault(UINT msg, WPARAM wParam, LPARAM lParam) {
    return plat::CallWindowProc(m_oldWndProc, m_hWnd, msg, wParam, lParam);
}

LRESULT CWindowWnd::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Route(hWnd, msg, wParam, lParam, false);
}

LRESULT CWindowWnd::ControlProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Route(hWnd, msg, wParam, lParam, true);
}

LRESULT CWindowWnd::Route(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, bool inProperty) {
    CWindowWnd* self = nullptr;
    if (msg == plat::WM_NCCREATE) {
        self =
            static_cast<CWindowWnd*>(reinterpret_cast<plat::CREATESTRUCT*>(lParam)->lpCreateParams);
        self->m_hWnd = hWnd;
        if (inProperty) {
            plat::SetProp(hWnd, kObjectProp, self);
        } else {
            plat::SetWindowLongPtr(hWnd, plat::GWLP_USERDATA,
                                   reinterpret_cast<plat::LONG_PTR>(self));
        }
    } else if (inProperty) {
        self = static_cast<CWindowWnd*>(plat::GetProp(hWnd, kObjectProp));
    } else {
        self = reinterpret_cast<CWindowWnd*>(plat::GetWindowLongPtr(hWnd, plat::GWLP_USERDATA));
    }
    if (self == nullptr) {
        return plat::DefWindowProc(hWnd, msg, wParam, lParam);
    }
    if (msg == plat::WM_NCDESTROY) {
        // The previous procedure sees the last message first, then the object lets go.
        const LRESULT result = self->CallDefault(msg, wParam, lParam);
        self->Forget();
        self->m_hWnd = nullptr;
        self->OnFinalMessage(hWnd);
        return result;
    }
    return self->HandleMessage(msg, wParam, lParam);
}

void CWindowWnd::Forget() {
    if (m_subclassed) {
        Unsubclass();
    }
    if (plat::GetWindowLongPtr(m_hWnd, plat::GWLP_USERDATA) ==
        reinterpret_cast<plat::LONG_PTR>(this)) {
        plat::SetWindowLongPtr(m_hWnd, plat::GWLP_USERDATA, 0);
    }
    if (plat::GetProp(m_hWnd, kObjectProp) == this) {
        plat::RemoveProp(m_hWnd, kObjectProp);
    }
}

} // namespace Pane
