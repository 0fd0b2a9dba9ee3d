// Input and the keyboard and mouse model: activation, focus, capture, cursor, hover tracking,
// key state, and the backend's input turned into queued messages for the window that should
// get them. The window system decides the target itself (capture, children, disabled owners),
// so every backend routes alike.

#include "platform/base/TextUtf8.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <cstdlib>

namespace plat {

namespace detail {

namespace {

constexpr DWORD kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 2; // pixels either way
constexpr int kHoverSlop = 2;

LPARAM ClientPoint(HWND hwnd, POINT screen) {
    ScreenToClient(hwnd, &screen);
    return MAKELPARAM(screen.x, screen.y);
}

// The deepest shown child of w under a point in w's client coordinates; the last child is on
// top, so it is asked first.
WindowData* ChildAt(WindowData* w, POINT local) {
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        WindowData* c = Find(*it);
        if (c == nullptr || !c->Visible() || !PtInRect(c->rect, local))
            continue;
        return ChildAt(c, POINT{local.x - c->rect.left, local.y - c->rect.top});
    }
    return w;
}

// The top-level or popup window under a point, looking through windows that pass the pointer
// on (the tooltip), so the window below keeps the hover.
WindowData* TopAt(POINT screen, HWND over) {
    const auto takes = [screen](const WindowData* w) {
        return w != nullptr && w->native && !w->PassesPointer() && ReallyVisible(w) &&
               PtInRect(w->rect, screen);
    };
    WindowData* hint = Find(over);
    if (takes(hint))
        return hint;
    for (HWND h : S().zOrder) {
        WindowData* w = Find(h);
        if (takes(w))
            return w;
    }
    return nullptr;
}

WindowData* MouseTarget(POINT screen, HWND over) {
    if (WindowData* c = Find(S().capture))
        return c;
    WindowData* top = TopAt(screen, over);
    if (top == nullptr)
        return nullptr;
    WindowData* w = ChildAt(top, POINT{screen.x - top->rect.left, screen.y - top->rect.top});
    // A disabled child passes the mouse to its nearest enabled ancestor.
    while (w != top && !w->Enabled())
        w = Find(w->parent);
    return w;
}

void EndLeaveTracking(HWND now) {
    HoverTrack& t = S().track;
    if (t.hwnd == nullptr || t.hwnd == now)
        return;
    const HWND left = t.hwnd;
    const bool leave = t.leave;
    t = HoverTrack{};
    if (leave)
        PostInput(left, WM_MOUSELEAVE, 0, 0);
}

void RestartHover(POINT screen) {
    HoverTrack& t = S().track;
    if (t.hwnd == nullptr || !t.hover)
        return;
    if (std::abs(screen.x - t.hoverOrigin.x) > kHoverSlop ||
        std::abs(screen.y - t.hoverOrigin.y) > kHoverSlop) {
        t.hoverOrigin = screen;
        t.hoverDue = S().backend->Now() + t.hoverTime;
    }
}

// The window keyboard input goes to: the focus, else the active window (as the original sends
// keys to the active window when nothing has the focus).
WindowData* KeyTarget() {
    WindowData* w = Find(S().focus);
    if (w == nullptr)
        w = Find(S().active);
    if (w == nullptr || !ReallyEnabled(w) || !ReallyEnabled(TopOf(w)))
        return nullptr;
    return w;
}

void SetKey(int vk, bool down) {
    if (vk < 0 || vk > 255)
        return;
    S().keys[vk] = down ? 1 : 0;
}

int ButtonKey(MouseButton b) {
    switch (b) {
        case MouseButton::Right:
            return VK_RBUTTON;
        case MouseButton::Middle:
            return VK_MBUTTON;
        case MouseButton::Left:
        default:
            return VK_LBUTTON;
    }
}

UINT ButtonMessage(MouseButton b, bool down, bool dbl) {
    switch (b) {
        case MouseButton::Right:
            return down ? (dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
        case MouseButton::Middle:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        case MouseButton::Left:
        default:
            return down ? (dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
    }
}

bool IsDoubleClick(WindowData* w, MouseButton button, POINT screen, bool caption) {
    State& s = S();
    const DWORD now = s.backend->Now();
    ClickMemory& last = s.lastClick;
    const bool dbl = last.valid && last.hwnd == w->handle && last.button == button &&
                     now - last.time <= kDoubleClickMs &&
                     std::abs(screen.x - last.pt.x) <= kDoubleClickSlop &&
                     std::abs(screen.y - last.pt.y) <= kDoubleClickSlop &&
                     (caption || (w->classStyle & CS_DBLCLKS) != 0);
    if (dbl)
        last = ClickMemory{};
    else
        last = ClickMemory{w->handle, button, now, screen, true};
    return dbl;
}

} // namespace

WPARAM KeyFlags() {
    const State& s = S();
    WPARAM keys = 0;
    if (s.keys[VK_LBUTTON] != 0)
        keys |= MK_LBUTTON;
    if (s.keys[VK_RBUTTON] != 0)
        keys |= MK_RBUTTON;
    if (s.keys[VK_MBUTTON] != 0)
        keys |= MK_MBUTTON;
    if (s.keys[VK_SHIFT] != 0)
        keys |= MK_SHIFT;
    if (s.keys[VK_CONTROL] != 0)
        keys |= MK_CONTROL;
    return keys;
}

void MoveToFront(HWND top) {
    auto& z = S().zOrder;
    WindowData* w = Find(top);
    if (w == nullptr || !w->native || !w->Visible())
        return;
    z.erase(std::remove(z.begin(), z.end(), top), z.end());
    z.insert(z.begin(), top);
    // Owned windows stay above their owner, and always-on-top windows above the rest.
    std::vector<HWND> owned;
    for (HWND h : z) {
        WindowData* o = Find(h);
        if (o != nullptr && o->owner == top)
            owned.push_back(h);
    }
    for (HWND h : owned) {
        z.erase(std::remove(z.begin(), z.end(), h), z.end());
        z.insert(z.begin(), h);
    }
    std::stable_partition(z.begin(), z.end(), [](HWND h) {
        WindowData* o = Find(h);
        return o != nullptr && (o->exStyle & WS_EX_TOPMOST) != 0;
    });
}

void Activate(HWND top, bool byClick) {
    State& s = S();
    if (s.active == top || Find(top) == nullptr)
        return;
    const HWND old = s.active;
    s.active = top;
    if (Find(old) != nullptr) {
        CallProc(old, WM_NCACTIVATE, 0, 0);
        CallProc(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(top));
    }
    if (s.active != top || Find(top) == nullptr)
        return;
    MoveToFront(top);
    s.backend->Activate(top);
    CallProc(top, WM_NCACTIVATE, 1, 0);
    CallProc(top, WM_ACTIVATE, byClick ? WA_CLICKACTIVE : WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    // The focus never stays in a window that is no longer active.
    if (s.active == top && s.focus != nullptr && TopOf(Find(s.focus)) != Find(top))
        SetFocus(nullptr);
}

void DeactivateAll() {
    State& s = S();
    const HWND old = s.active;
    s.active = nullptr;
    if (Find(old) != nullptr) {
        CallProc(old, WM_NCACTIVATE, 0, 0);
        CallProc(old, WM_ACTIVATE, WA_INACTIVE, 0);
    }
    if (s.focus != nullptr && s.active == nullptr)
        SetFocus(nullptr);
}

} // namespace detail

using namespace detail;

HWND SetFocus(HWND hwnd) {
    if (!CheckUiThread())
        return nullptr;
    State& s = S();
    const HWND before = s.focus;
    if (hwnd == nullptr) {
        if (before != nullptr) {
            s.focus = nullptr;
            CallProc(before, WM_KILLFOCUS, 0, 0);
        }
        return before;
    }
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return nullptr;
    if (hwnd == before)
        return before;
    WindowData* top = TopOf(w);
    if (top != nullptr && top->handle != s.active) {
        Activate(top->handle, false);
        if (s.focus == hwnd || Find(hwnd) == nullptr)
            return before;
    }
    const HWND old = s.focus;
    s.focus = hwnd;
    if (Find(old) != nullptr)
        CallProc(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (s.focus == hwnd && Find(hwnd) != nullptr)
        CallProc(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return before;
}

HWND GetFocus() {
    return CheckUiThread() ? S().focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
    if (!CheckUiThread())
        return nullptr;
    const HWND old = S().active;
    WindowData* top = TopOf(Find(hwnd));
    if (top != nullptr)
        Activate(top->handle, false);
    return old;
}

HWND GetActiveWindow() {
    return CheckUiThread() ? S().active : nullptr;
}

HWND SetCapture(HWND hwnd) {
    if (!CheckUiThread())
        return nullptr;
    State& s = S();
    const HWND old = s.capture;
    if (Find(hwnd) == nullptr)
        return old;
    s.capture = hwnd;
    s.backend->SetMouseCapture(true);
    if (old != nullptr && old != hwnd)
        CallProc(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

bool ReleaseCapture() {
    if (!CheckUiThread())
        return false;
    State& s = S();
    const HWND old = s.capture;
    s.capture = nullptr;
    s.backend->SetMouseCapture(false);
    if (old != nullptr)
        CallProc(old, WM_CAPTURECHANGED, 0, 0);
    return true;
}

HWND GetCapture() {
    return CheckUiThread() ? S().capture : nullptr;
}

HCURSOR LoadCursor(HINSTANCE, int id) {
    switch (id) {
        case IDC_ARROW:
        case IDC_IBEAM:
        case IDC_WAIT:
        case IDC_CROSS:
        case IDC_SIZENWSE:
        case IDC_SIZENESW:
        case IDC_SIZEWE:
        case IDC_SIZENS:
        case IDC_SIZEALL:
        case IDC_NO:
        case IDC_HAND:
            return id;
        default:
            return 0;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    if (!CheckUiThread())
        return 0;
    State& s = S();
    const HCURSOR old = s.cursor;
    s.cursor = cursor;
    if (cursor != old)
        s.backend->SetCursorShape(cursor);
    return old;
}

HCURSOR GetCursor() {
    return CheckUiThread() ? S().cursor : 0;
}

bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    if (tme == nullptr || !CheckUiThread())
        return false;
    State& s = S();
    HoverTrack& t = s.track;
    if ((tme->dwFlags & TME_CANCEL) != 0) {
        if (t.hwnd == tme->hwndTrack) {
            if ((tme->dwFlags & TME_HOVER) != 0)
                t.hover = false;
            if ((tme->dwFlags & TME_LEAVE) != 0)
                t.leave = false;
            if (!t.hover && !t.leave)
                t = HoverTrack{};
        }
        return true;
    }
    if (Find(tme->hwndTrack) == nullptr)
        return false;
    if (s.mouseOver != tme->hwndTrack) {
        // The pointer is elsewhere already: the leave comes at once.
        if ((tme->dwFlags & TME_LEAVE) != 0)
            PostInput(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
        return true;
    }
    if (t.hwnd != tme->hwndTrack) {
        t = HoverTrack{};
        t.hwnd = tme->hwndTrack;
    }
    if ((tme->dwFlags & TME_HOVER) != 0) {
        t.hover = true;
        t.hoverTime = tme->dwHoverTime == HOVER_DEFAULT ? kDefaultHoverMs : tme->dwHoverTime;
        t.hoverDue = s.backend->Now() + t.hoverTime;
        t.hoverOrigin = s.mouse;
    }
    if ((tme->dwFlags & TME_LEAVE) != 0)
        t.leave = true;
    return true;
}

bool GetCursorPos(POINT* pt) {
    if (pt == nullptr || !CheckUiThread())
        return false;
    *pt = S().mouseKnown ? S().mouse : S().backend->CursorPos();
    return true;
}

short GetKeyState(int vk) {
    if (!CheckUiThread() || vk < 0 || vk > 255)
        return 0;
    return S().keys[vk] != 0 ? static_cast<short>(-32768) : 0;
}

short GetAsyncKeyState(int vk) {
    return GetKeyState(vk);
}

bool SetClipboardText(const std::string& text) {
    return CheckUiThread() && S().backend->SetClipboardText(text);
}

std::string GetClipboardText() {
    return CheckUiThread() ? S().backend->GetClipboardText() : std::string();
}

void SetImeRect(HWND hwnd, const RECT& caretClient) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return;
    const POINT o = ScreenOrigin(w);
    S().backend->SetImeRect(RECT{caretClient.left + o.x, caretClient.top + o.y,
                                 caretClient.right + o.x, caretClient.bottom + o.y});
}

void StartTextInput(HWND hwnd) {
    if (Find(hwnd) == nullptr)
        return;
    auto& on = S().textInput;
    const bool was = !on.empty();
    on.insert(hwnd);
    if (!was)
        S().backend->SetTextInput(true);
}

void StopTextInput(HWND hwnd) {
    if (!CheckUiThread())
        return;
    auto& on = S().textInput;
    if (on.erase(hwnd) != 0 && on.empty())
        S().backend->SetTextInput(false);
}

// Input from the backend.

void InputMouseMove(HWND over, POINT screen) {
    if (!CheckUiThread())
        return;
    State& s = S();
    s.mouse = screen;
    s.mouseKnown = true;
    if (WindowData* d = Find(s.dragging)) {
        SetWindowPos(d->handle, nullptr, s.dragRect.left + screen.x - s.dragStart.x,
                     s.dragRect.top + screen.y - s.dragStart.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    WindowData* w = MouseTarget(screen, over);
    const HWND target = w != nullptr ? w->handle : nullptr;
    EndLeaveTracking(target);
    RestartHover(screen);
    s.mouseOver = target;
    if (w == nullptr || !ReallyEnabled(TopOf(w)))
        return;
    if (s.capture == nullptr) {
        const LRESULT hit = CallProc(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (Find(target) == nullptr)
            return;
        CallProc(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                 MAKELPARAM(static_cast<int>(hit), static_cast<int>(WM_MOUSEMOVE)));
        if (Find(target) == nullptr)
            return;
    }
    PostInput(target, WM_MOUSEMOVE, KeyFlags(), ClientPoint(target, screen));
}

void InputMouseButton(HWND over, POINT screen, MouseButton button, bool down) {
    if (!CheckUiThread())
        return;
    State& s = S();
    s.mouse = screen;
    s.mouseKnown = true;
    SetKey(ButtonKey(button), down);
    if (s.dragging != nullptr) {
        if (button == MouseButton::Left && !down)
            s.dragging = nullptr;
        return;
    }
    WindowData* w = MouseTarget(screen, over);
    if (w == nullptr)
        return;
    WindowData* top = TopOf(w);
    // While a modal window runs its owner is disabled and hears nothing.
    if (top == nullptr || !ReallyEnabled(top))
        return;
    HWND target = w->handle;
    if (down && s.capture == nullptr && top->handle != s.active) {
        Activate(top->handle, true);
        if (Find(target) == nullptr)
            return;
    }
    w = Find(target);
    if (down && button == MouseButton::Left && s.capture == nullptr) {
        const LRESULT hit = CallProc(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if ((w = Find(target)) == nullptr)
            return;
        if (hit == HTCAPTION) {
            const bool dbl = IsDoubleClick(w, button, screen, true);
            PostInput(target, dbl ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN,
                      static_cast<WPARAM>(HTCAPTION), MAKELPARAM(screen.x, screen.y));
            return;
        }
    }
    const bool dbl = down && IsDoubleClick(w, button, screen, false);
    PostInput(target, ButtonMessage(button, down, dbl), KeyFlags(), ClientPoint(target, screen));
}

void InputMouseWheel(HWND over, POINT screen, int delta) {
    if (!CheckUiThread())
        return;
    State& s = S();
    s.mouse = screen;
    s.mouseKnown = true;
    WindowData* w = MouseTarget(screen, over);
    if (w == nullptr)
        w = KeyTarget();
    if (w == nullptr || !ReallyEnabled(TopOf(w)))
        return;
    PostInput(w->handle, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(KeyFlags()), delta),
              MAKELPARAM(screen.x, screen.y));
}

void InputMouseLeft(HWND window) {
    if (!CheckUiThread())
        return;
    State& s = S();
    if (s.capture != nullptr)
        return;
    // A late leave of a window the pointer left earlier must not end tracking that began in
    // another; a window the pointer passes through was only ever over the tracked one.
    WindowData* tracked = Find(s.track.hwnd);
    WindowData* left = Find(window);
    if (tracked == nullptr || window == nullptr || TopOf(tracked) == left ||
        (left != nullptr && left->PassesPointer()))
        EndLeaveTracking(nullptr);
    s.mouseOver = nullptr;
}

void InputKey(int vk, bool down) {
    if (!CheckUiThread() || vk <= 0 || vk > 255)
        return;
    State& s = S();
    // Either side's modifier also counts as the generic key.
    int generic = 0;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT)
        generic = VK_SHIFT;
    else if (vk == VK_LCONTROL || vk == VK_RCONTROL)
        generic = VK_CONTROL;
    else if (vk == VK_LMENU || vk == VK_RMENU)
        generic = VK_MENU;
    if (generic != 0) {
        SetKey(generic, down);
        vk = generic;
    }
    const bool wasDown = s.keys[vk] != 0;
    SetKey(vk, down);
    WindowData* w = KeyTarget();
    if (w == nullptr)
        return;
    const bool alt = s.keys[VK_MENU] != 0 || (vk == VK_MENU && !down);
    const bool sys = alt || vk == VK_F10;
    const UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1;
    if (alt)
        lParam |= LPARAM{1} << 29;
    if (wasDown)
        lParam |= LPARAM{1} << 30;
    if (!down)
        lParam |= LPARAM{1} << 31;
    PostInput(w->handle, msg, static_cast<WPARAM>(vk), lParam);
}

void InputChar(char32_t ch) {
    if (!CheckUiThread() || ch == 0)
        return;
    WindowData* w = KeyTarget();
    if (w == nullptr)
        return;
    PostInput(w->handle, S().keys[VK_MENU] != 0 ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(ch), 1);
}

void InputText(const std::string& utf8) {
    if (!CheckUiThread())
        return;
    WindowData* w = KeyTarget();
    if (w == nullptr)
        return;
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p < end) {
        const uint32_t cp = Utf8Decode(p, end);
        if (cp != 0)
            PostInput(w->handle, WM_CHAR, static_cast<WPARAM>(cp), 1);
    }
}

void InputCloseRequest(HWND window) {
    if (!CheckUiThread())
        return;
    WindowData* w = Find(window);
    // A window disabled by a modal one cannot be closed behind its back.
    if (w == nullptr || !w->Enabled())
        return;
    PostInput(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void InputExpose(HWND window) {
    if (!CheckUiThread())
        return;
    WindowData* w = Find(window);
    if (w == nullptr || !w->native || w->buffer.Empty())
        return;
    S().backend->Present(window, w->buffer, RECT{0, 0, w->buffer.width, w->buffer.height});
}

void InputFocusChanged(HWND window, bool focused) {
    if (!CheckUiThread())
        return;
    State& s = S();
    WindowData* w = Find(window);
    if (w == nullptr)
        return;
    WindowData* active = Find(s.active);
    const bool ours = active != nullptr && (active == w || active->owner == window);
    if (!focused) {
        if (ours)
            DeactivateAll();
        return;
    }
    if (ours)
        return; // a pop-up of this window keeps the keyboard in our model
    if (!w->Enabled()) {
        // The desktop focused a window disabled by a modal one: the modal window takes it.
        for (auto& [handle, other] : s.windows)
            if (other->owner == window && other->native && ReallyVisible(other.get()) &&
                other->Enabled()) {
                Activate(handle, false);
                return;
            }
        return;
    }
    Activate(window, false);
}

void InputMoved(HWND window, POINT screenTopLeft) {
    if (!CheckUiThread())
        return;
    WindowData* w = Find(window);
    if (w == nullptr || !w->native)
        return;
    const int width = w->Width();
    const int height = w->Height();
    if (w->rect.left != screenTopLeft.x || w->rect.top != screenTopLeft.y) {
        w->rect = RECT{screenTopLeft.x, screenTopLeft.y, screenTopLeft.x + width,
                       screenTopLeft.y + height};
        CallProc(window, WM_MOVE, 0, MAKELPARAM(screenTopLeft.x, screenTopLeft.y));
    }
    // A pop-up does not follow its owner: it loses the keyboard, which closes the framework's.
    WindowData* active = Find(S().active);
    if (active != nullptr && active->owner == window && Find(window) != nullptr)
        SetFocus(window);
}

void InputResized(HWND window, int width, int height) {
    if (!CheckUiThread())
        return;
    WindowData* w = Find(window);
    if (w == nullptr || !w->native)
        return;
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == w->Width() && height == w->Height())
        return;
    // The user sized the window: SetWindowPos keeps it within the window's limits and tells
    // the window (and the display, when the limits changed the size).
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InputMinimised(HWND window, bool minimised) {
    if (!CheckUiThread())
        return;
    WindowData* w = Find(window);
    if (w == nullptr || !w->native || w->minimised == minimised)
        return;
    ShowWindow(window, minimised ? SW_MINIMIZE : SW_RESTORE);
}

LRESULT InputHitTest(HWND window, POINT screen) {
    if (!CheckUiThread())
        return HTCLIENT;
    WindowData* w = Find(window);
    if (w == nullptr || !ReallyEnabled(w))
        return HTCLIENT;
    return CallProc(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

} // namespace plat
