#pragma once
// The window system's own state, shared by its source files (tree, queue, timers, input,
// painting) and the headless backend; nothing outside platform/ includes it. Everything belongs
// to the UI thread except the members of Queue, which other threads reach under its mutex.

#include "platform/base/Rect.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/win/Backend.h"
#include "platform/win/Window.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace plat {

struct IconObject {
    Bitmap picture;
};

} // namespace plat

namespace plat::detail {

struct WindowData {
    HWND handle = nullptr;
    std::string className;
    WNDPROC proc = nullptr;
    UINT classStyle = 0;
    HCURSOR classCursor = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::map<std::string, void*> props;
    std::string text;

    HWND parent = nullptr;      // child windows only
    HWND owner = nullptr;       // popup and owned top-level windows
    std::vector<HWND> children; // bottom first: later children paint later, hit-test first
    RECT rect; // child: in the parent's client coordinates; otherwise screen coordinates

    bool native = false; // a top-level or popup window: has a back buffer and a native window
    bool minimised = false;
    bool maximised = false;
    RECT restoreRect; // where a maximised window goes back to (screen coordinates)
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    bool destroying = false;
    BYTE opacity = 255;
    RECT region;
    int regionEx = 0;
    int regionEy = 0;

    // Painting: the part of the client area waiting for WM_PAINT.
    RECT update;
    bool updateErase = false;
    bool painting = false;   // between BeginPaint and EndPaint
    bool beganPaint = false; // BeginPaint ran during the current WM_PAINT dispatch
    std::vector<std::unique_ptr<Canvas>> canvases; // one per BeginPaint not yet ended
    std::vector<std::unique_ptr<Canvas>> held;     // one per GetDC not yet released
    Bitmap buffer;   // native windows: the back buffer of the whole client area
    RECT presentDue; // native windows: painted but not yet presented

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    // Takes no pointer input: hit tests look through it (the tooltip).
    bool PassesPointer() const { return (exStyle & WS_EX_TRANSPARENT) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

struct ClassData {
    WNDCLASS wc;
};

// A SendMessage from another thread, waiting for the UI thread to run it.
struct SentCall {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
};

// The part of the state other threads touch: posted messages, sent calls, live handles.
struct Queue {
    std::mutex mutex;
    std::condition_variable sentDone;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentCall>> sent;
    std::unordered_set<HWND> live;
    bool running = false;
    bool quit = false;
    int quitCode = 0;
    std::atomic<std::thread::id> uiThread{};
    Backend* backend = nullptr; // for Wake from other threads
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    DWORD interval = 0;
    DWORD due = 0;
};

struct HoverTrack {
    HWND hwnd = nullptr;
    bool hover = false;
    bool leave = false;
    DWORD hoverTime = kDefaultHoverMs;
    DWORD hoverDue = 0;
    POINT hoverOrigin; // screen
};

struct ClickMemory {
    HWND hwnd = nullptr;
    MouseButton button = MouseButton::Left;
    DWORD time = 0;
    POINT pt; // screen
    bool valid = false;
};

struct State {
    std::unique_ptr<Backend> backend;
    bool headless = false;
    std::unordered_map<std::string, ClassData> classes; // by lower-case name
    std::unordered_map<HWND, std::unique_ptr<WindowData>> windows;
    std::vector<HWND> zOrder; // shown native windows, front first
    uintptr_t nextHandle = 1;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HCURSOR cursor = IDC_ARROW;
    std::unordered_set<HWND> textInput;
    HoverTrack track;
    ClickMemory lastClick;
    HWND mouseOver = nullptr; // the window the last mouse event went to
    POINT mouse;              // screen
    bool mouseKnown = false;
    uint8_t keys[256] = {};

    // A caption drag in progress (the window follows the pointer until the button is released).
    HWND dragging = nullptr;
    POINT dragStart;
    RECT dragRect;

    std::vector<Timer> timers;
    UINT_PTR nextThreadTimer = 1;
    DWORD messageTime = 0;
};

State& S();
Queue& Q();

// The window of a handle; null for a stale handle and off the UI thread.
WindowData* Find(HWND hwnd);
// The top-level or popup window holding hwnd (itself when it is one).
WindowData* TopOf(WindowData* w);
// Offset of a window's client corner inside its top-level window's back buffer.
POINT OffsetInTop(const WindowData* w);
POINT ScreenOrigin(const WindowData* w);
// Visible with every ancestor visible, and (for native windows) not minimised.
bool ReallyVisible(const WindowData* w);
// Enabled with every ancestor enabled.
bool ReallyEnabled(const WindowData* w);
// True on the UI thread of a running window system. Every window call begins with it (Find
// does): the state belongs to that thread alone, so elsewhere the call fails, and a debug build
// stops at the fault.
bool IsUiThread();
bool CheckUiThread();

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The MK_* flags of the buttons and modifier keys held now.
WPARAM KeyFlags();
// Drops the handle from every piece of state that refers to it (focus, capture, timers...).
void ForgetWindow(HWND hwnd);

// Timers and hover: the earliest deadline (kWaitForever when none), and the next due timer.
DWORD NextDeadline();
bool TakeDueTimer(HWND filter, MSG* out, bool remove);
void CheckHover();
void KillTimersOf(HWND hwnd);

// Focus and activation.
void Activate(HWND top, bool byClick);
void DeactivateAll();
void MoveToFront(HWND top);

// Painting.
void InvalidateTree(WindowData* w, const RECT& clientRect, bool erase);
bool TakePaint(HWND filter, MSG* out);
void FlushPresents();
void ResizeBuffer(WindowData* w);
// After w's size or place changed: the held device contexts of w and every window inside it
// cover their client areas anew.
void RefreshHeldDCs(WindowData* w);

// The window's limits, from WM_GETMINMAXINFO over the defaults of its monitor.
MINMAXINFO QueryMinMax(HWND hwnd);
// The monitors of the backend, the primary one first (a single stand-in display when the
// backend reports none).
std::vector<MonitorDesc> AllMonitors();

} // namespace plat::detail
