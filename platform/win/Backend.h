#pragma once
// The seam between the window system and the display it runs on. The window system owns every
// window, the message queue, focus, capture, timers and painting; a backend only gives top-level
// and popup windows a native counterpart, shows their back buffers, waits for input and hands
// that input back through the Input* calls below. Two backends exist: SDL2 (the desktop) and
// headless (memory only, for tests and screenshots).
//
// Everything here runs on the UI thread, except Backend::Wake, which any thread may call.

#include "platform/gfx/Bitmap.h"
#include "platform/win/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

constexpr DWORD kWaitForever = 0xFFFFFFFF;

// What a backend needs to know to make the native window of a top-level or popup window.
// A popup with WS_EX_TRANSPARENT (the tooltip) never takes the pointer: the window system passes
// the pointer through it, and the backend must not report the pointer leaving the window below.
struct NativeWindowInfo {
    HWND owner = nullptr; // the owner of a popup (or of an owned top-level window), else null
    bool popup = false;   // WS_POPUP: borderless, at screen coordinates, never activated by the WM
    RECT rect;            // screen coordinates; the client area is the whole window
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
};

struct MonitorDesc {
    RECT monitor; // the whole display
    RECT work;    // without panels and task bars
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual const char* Name() const = 0;
    // Called once by Initialise; false when the display cannot be used.
    virtual bool Start() = 0;
    // Called once by Shutdown after every window is gone.
    virtual void Stop() = 0;

    // Native windows. `hwnd` identifies the window in every later call and in the Input* calls.
    virtual bool CreateNative(HWND hwnd, const NativeWindowInfo& info) = 0;
    virtual void DestroyNative(HWND hwnd) = 0;
    // `activate` false: show without taking the keyboard focus (pop-ups, SW_SHOWNOACTIVATE).
    virtual void ShowNative(HWND hwnd, bool show, bool activate) = 0;
    virtual void MoveNative(HWND hwnd, const RECT& screenRect) = 0;
    virtual void SetTitle(HWND hwnd, const std::string& title) = 0;
    // Raise and give the keyboard focus to a shown top-level window.
    virtual void Activate(HWND hwnd) = 0;
    virtual void Minimise(HWND hwnd, bool minimised) = 0;
    // Layered-window alpha, 255 opaque.
    virtual void SetOpacity(HWND hwnd, BYTE alpha) = 0;
    // Rounded rectangle in client coordinates (ellipse ex × ey); an empty rectangle clears it.
    virtual void SetRegion(HWND hwnd, const RECT& rect, int ex, int ey) = 0;
    // Show `rect` (client coordinates, already clipped to the buffer) of the window's back
    // buffer, which is premultiplied B,G,R,A of the window's client size.
    virtual void Present(HWND hwnd, const Bitmap& buffer, const RECT& rect) = 0;

    // Waits until input arrived (and has been handed over through Input*), Wake was called, or
    // `timeoutMs` passed (kWaitForever: no limit). Returns at once after delivering pending
    // input. The window system calls it when its queue is empty.
    virtual void WaitEvents(DWORD timeoutMs) = 0;
    // Any thread: makes a running or the next WaitEvents return.
    virtual void Wake() = 0;
    // Milliseconds since some fixed point; GetTickCount and the timers read it. Any thread.
    virtual DWORD Now() = 0;

    // The pointer leaves the native windows while the capture is held; false if it cannot.
    virtual void SetMouseCapture(bool captured) = 0;
    virtual void SetCursorShape(HCURSOR cursor) = 0;
    virtual POINT CursorPos() = 0; // screen coordinates
    // Text input (IME) runs while `on`; the caret rectangle is in screen coordinates.
    virtual void SetTextInput(bool on) = 0;
    virtual void SetImeRect(const RECT& screenRect) = 0;

    // Hands a link to the desktop's URL handler. Any thread.
    virtual bool OpenURL(const std::string& url) = 0;

    virtual bool SetClipboardText(const std::string& utf8) = 0;
    virtual std::string GetClipboardText() = 0;
    // The displays in screen coordinates, the primary one first; never empty.
    virtual std::vector<MonitorDesc> Monitors() = 0;
    // The picture the desktop shows for the window (task bar, switcher); empty for none.
    virtual void SetIcon(HWND hwnd, const Bitmap& picture) = 0;
};

// The backends (platform/backends): one file each makes its backend; Initialise there picks one
// and hands it to InitialiseWith, which makes the calling thread the UI thread. True at once
// when the window system already runs.
std::unique_ptr<Backend> MakeSdlBackend();
std::unique_ptr<Backend> MakeHeadlessBackend();
bool InitialiseWith(std::unique_ptr<Backend> backend);

// The running backend (null before Initialise, after Shutdown and on other threads).
Backend* CurrentBackend();

// Input from the backend, in screen coordinates. The window system turns it into messages for
// the window its own model says should get it (capture, hit test of children, disabled and
// modal owners), so a backend never needs to route. `over` is the native window the event came
// from when the backend knows it (null: the window system hit-tests its own windows).
enum class MouseButton { Left, Right, Middle };

void InputMouseMove(HWND over, POINT screen);
void InputMouseButton(HWND over, POINT screen, MouseButton button, bool down);
// `delta` as WM_MOUSEWHEEL carries it: WHEEL_DELTA (120) a notch, positive away from the user.
void InputMouseWheel(HWND over, POINT screen, int delta);
// The pointer left every native window (hover tracking ends, WM_MOUSELEAVE).
void InputMouseLeft(HWND window);
// Virtual keys (VK_*, 'A'..'Z', '0'..'9'); VK_SHIFT, VK_CONTROL, VK_MENU for either side.
// Keys go to the focused window; with Alt down as WM_SYSKEYDOWN.
void InputKey(int vk, bool down);
// One Unicode code point typed (WM_CHAR, WM_SYSCHAR with Alt down).
void InputChar(char32_t ch);
// Committed IME or keyboard text, UTF-8: one WM_CHAR per code point to the focused window.
void InputText(const std::string& utf8);
// The window manager asks to close the window: WM_SYSCOMMAND with SC_CLOSE.
void InputCloseRequest(HWND window);
// The native window must be shown again: presents the whole back buffer.
void InputExpose(HWND window);
// The native window gained or lost the keyboard focus of the desktop. Report only changes
// between the desktop and our windows: a pop-up of ours that takes the desktop's focus for a
// moment (a bare X server gives it to override-redirect windows) is the backend's to undo.
void InputFocusChanged(HWND window, bool focused);
// The window manager moved, resized or (un)minimised the native window.
void InputMoved(HWND window, POINT screenTopLeft);
void InputResized(HWND window, int width, int height);
void InputMinimised(HWND window, bool minimised);
// Asks the window what the point is (WM_NCHITTEST): HTCAPTION lets the user drag the window.
LRESULT InputHitTest(HWND window, POINT screen);

} // namespace plat
