// The tree of windows: start-up and shutdown, classes, creation and destruction, window data,
// geometry, showing, enabling, window text and the default window procedure.

#include "platform/base/TextUtf8.h"
#include "platform/gfx/Image.h"
#include "platform/sys/Resource.h"
#include "platform/win/Edit.h"
#include "platform/win/Tooltip.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace detail {

namespace {

State* g_state = nullptr;
Queue g_queue;

std::string Lower(const char* name) {
    std::string out = name != nullptr ? name : "";
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

State& S() {
    return *g_state;
}

Queue& Q() {
    return g_queue;
}

WindowData* Find(HWND hwnd) {
    if (hwnd == nullptr || !CheckUiThread())
        return nullptr;
    auto it = g_state->windows.find(hwnd);
    return it != g_state->windows.end() ? it->second.get() : nullptr;
}

WindowData* TopOf(WindowData* w) {
    while (w != nullptr && w->IsChild())
        w = Find(w->parent);
    return w;
}

POINT OffsetInTop(const WindowData* w) {
    POINT p;
    while (w != nullptr && w->IsChild()) {
        p.x += w->rect.left;
        p.y += w->rect.top;
        w = Find(w->parent);
    }
    return p;
}

POINT ScreenOrigin(const WindowData* w) {
    POINT p;
    while (w != nullptr) {
        p.x += w->rect.left;
        p.y += w->rect.top;
        w = w->IsChild() ? Find(w->parent) : nullptr;
    }
    return p;
}

bool ReallyVisible(const WindowData* w) {
    while (w != nullptr) {
        if (!w->Visible() || (w->native && w->minimised))
            return false;
        if (!w->IsChild())
            return true;
        w = Find(w->parent);
    }
    return false;
}

bool ReallyEnabled(const WindowData* w) {
    while (w != nullptr) {
        if (!w->Enabled())
            return false;
        w = w->IsChild() ? Find(w->parent) : nullptr;
    }
    return true;
}

bool IsUiThread() {
    // The thread check comes first: other threads must not look at the state at all.
    return std::this_thread::get_id() == g_queue.uiThread.load() && g_state != nullptr;
}

bool CheckUiThread() {
    if (IsUiThread())
        return true;
    // Before Initialise and after Shutdown a call simply finds nothing; while a UI thread runs,
    // a call from another thread is the caller's fault.
    assert(g_queue.uiThread.load() == std::thread::id() && "window call off the UI thread");
    return false;
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || w->proc == nullptr)
        return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

} // namespace detail

using namespace detail;

namespace {

constexpr int kDefaultX = 100;
constexpr int kDefaultY = 100;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

void SendSize(WindowData* w) {
    WPARAM kind = SIZE_RESTORED;
    if (w->native && w->minimised)
        kind = SIZE_MINIMIZED;
    else if (w->native && w->maximised)
        kind = SIZE_MAXIMIZED;
    CallProc(w->handle, WM_SIZE, kind, MAKELPARAM(w->Width(), w->Height()));
}

void SendMove(WindowData* w) {
    CallProc(w->handle, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
}

// Tells the window its new rectangle. The window has no frame: its client area stays the whole
// window whatever it answers (the answer tells it how to redraw).
void SendNcCalcSize(WindowData* w, const RECT& oldRect) {
    WINDOWPOS pos;
    pos.hwnd = w->handle;
    pos.x = w->rect.left;
    pos.y = w->rect.top;
    pos.cx = w->Width();
    pos.cy = w->Height();
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = w->rect;
    params.rgrc[1] = oldRect;
    params.rgrc[2] = oldRect;
    params.lppos = &pos;
    CallProc(w->handle, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
}

// The size a sizable window may take: within the track sizes its WM_GETMINMAXINFO answer gives.
void ClampToTrackSize(HWND hwnd, int* width, int* height) {
    const MINMAXINFO limits = QueryMinMax(hwnd);
    *width = std::max<int>(*width, limits.ptMinTrackSize.x);
    *height = std::max<int>(*height, limits.ptMinTrackSize.y);
    if (limits.ptMaxTrackSize.x > 0)
        *width = std::min<int>(*width, limits.ptMaxTrackSize.x);
    if (limits.ptMaxTrackSize.y > 0)
        *height = std::min<int>(*height, limits.ptMaxTrackSize.y);
}

bool Sizable(const WindowData* w) {
    return w->native && (w->style & WS_THICKFRAME) != 0;
}

void SetIcons(WindowData* w, HICON big, HICON small) {
    w->iconBig = big;
    w->iconSmall = small;
    HICON shown = big != nullptr ? big : small;
    S().backend->SetIcon(w->handle, shown != nullptr ? shown->picture : Bitmap{});
}

// The distance from a point to a rectangle (0 inside), for the nearest monitor.
long long DistanceSquared(const RECT& r, POINT p) {
    const long long dx = p.x < r.left ? r.left - p.x : (p.x >= r.right ? p.x - r.right + 1 : 0);
    const long long dy = p.y < r.top ? r.top - p.y : (p.y >= r.bottom ? p.y - r.bottom + 1 : 0);
    return dx * dx + dy * dy;
}

// Monitor handles are the index in the backend's list plus one.
HMONITOR MonitorHandle(std::size_t index) {
    return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(index + 1));
}

HMONITOR Fallback(const std::vector<MonitorDesc>& monitors, POINT near, bool nearKnown,
                  DWORD flags) {
    if (monitors.empty() || flags == MONITOR_DEFAULTTONULL)
        return nullptr;
    std::size_t best = 0;
    if (flags == MONITOR_DEFAULTTONEAREST && nearKnown)
        for (std::size_t i = 1; i < monitors.size(); ++i)
            if (DistanceSquared(monitors[i].monitor, near) <
                DistanceSquared(monitors[best].monitor, near))
                best = i;
    return MonitorHandle(best);
}

// Destroys owned windows, then sends WM_DESTROY down the tree (parent first) and WM_NCDESTROY
// back up (children first), as the windows a window holds must still exist while it hears of
// its own end.
void SendDestroy(HWND hwnd) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return;
    CallProc(hwnd, WM_DESTROY, 0, 0);
    w = Find(hwnd);
    if (w == nullptr)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND child : children) {
        WindowData* c = Find(child);
        if (c != nullptr && !c->destroying) {
            c->destroying = true;
            SendDestroy(child);
        }
    }
}

void SendNcDestroy(HWND hwnd) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND child : children)
        SendNcDestroy(child);
    CallProc(hwnd, WM_NCDESTROY, 0, 0);
}

void CollectSubtree(HWND hwnd, std::vector<HWND>& out) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return;
    out.push_back(hwnd);
    for (HWND child : w->children)
        CollectSubtree(child, out);
}

bool InSubtree(HWND root, HWND hwnd) {
    for (WindowData* w = Find(hwnd); w != nullptr; w = w->IsChild() ? Find(w->parent) : nullptr)
        if (w->handle == root)
            return true;
    return false;
}

void ShowNativeWindow(WindowData* w, bool show, bool activate) {
    if (show) {
        MoveToFront(w->handle);
        S().backend->ShowNative(w->handle, true, activate);
        InvalidateTree(w, RECT{0, 0, w->Width(), w->Height()}, true);
    } else {
        auto& z = S().zOrder;
        z.erase(std::remove(z.begin(), z.end(), w->handle), z.end());
        S().backend->ShowNative(w->handle, false, false);
    }
}

// Hiding or disabling a window takes the focus from it and its children; hiding the active
// window hands activation back to its owner, as a closing pop-up or dialog does.
void LoseFocusInside(HWND hwnd) {
    if (S().focus != nullptr && InSubtree(hwnd, S().focus))
        SetFocus(nullptr);
    if (S().capture != nullptr && InSubtree(hwnd, S().capture))
        ReleaseCapture();
}

void HandBackActivation(WindowData* w) {
    if (S().active != w->handle)
        return;
    WindowData* owner = Find(w->owner);
    if (owner != nullptr && ReallyVisible(owner) && owner->Enabled())
        Activate(owner->handle, false);
    else
        DeactivateAll();
}

} // namespace

bool InitialiseWith(std::unique_ptr<Backend> backend) {
    if (g_state != nullptr)
        return true;
    auto state = std::make_unique<State>();
    state->headless = backend != nullptr && std::strcmp(backend->Name(), "headless") == 0;
    state->backend = std::move(backend);
    if (state->backend == nullptr || !state->backend->Start())
        return false;
    g_state = state.release();
    {
        std::lock_guard<std::mutex> lock(g_queue.mutex);
        g_queue.posted.clear();
        g_queue.sent.clear();
        g_queue.live.clear();
        g_queue.quit = false;
        g_queue.running = true;
        g_queue.uiThread = std::this_thread::get_id();
        g_queue.backend = g_state->backend.get();
    }
    RegisterEditClass();
    RegisterTooltipClass();
    return true;
}

void Shutdown() {
    if (g_state == nullptr)
        return;
    {
        // Callers still waiting in SendMessage fail now; new ones fail at once.
        std::lock_guard<std::mutex> lock(g_queue.mutex);
        g_queue.running = false;
        for (auto& call : g_queue.sent) {
            call->result = 0;
            call->done = true;
        }
        g_queue.sent.clear();
        g_queue.sentDone.notify_all();
    }
    std::vector<HWND> roots;
    for (auto& [handle, w] : g_state->windows)
        if (!w->IsChild())
            roots.push_back(handle);
    for (HWND hwnd : roots)
        DestroyWindow(hwnd);
    {
        std::lock_guard<std::mutex> lock(g_queue.mutex);
        g_queue.posted.clear();
        g_queue.live.clear();
        g_queue.backend = nullptr;
        g_queue.quit = false;
        g_queue.uiThread = std::thread::id();
    }
    g_state->backend->Stop();
    delete g_state;
    g_state = nullptr;
}

Backend* CurrentBackend() {
    return IsUiThread() ? S().backend.get() : nullptr;
}

bool IsHeadless() {
    return g_state != nullptr && g_state->headless;
}

bool RegisterClass(const WNDCLASS& wc) {
    if (!CheckUiThread() || wc.lpszClassName.empty() || wc.lpfnWndProc == nullptr)
        return false;
    S().classes.try_emplace(Lower(wc.lpszClassName.c_str()), ClassData{wc});
    return true;
}

bool GetClassInfo(HINSTANCE, const char* className, WNDCLASS* out) {
    if (!CheckUiThread() || className == nullptr)
        return false;
    auto it = S().classes.find(Lower(className));
    if (it == S().classes.end())
        return false;
    if (out != nullptr)
        *out = it->second.wc;
    return true;
}

bool UnregisterClass(const char* className, HINSTANCE) {
    if (!CheckUiThread() || className == nullptr)
        return false;
    const std::string key = Lower(className);
    for (auto& [handle, w] : S().windows)
        if (Lower(w->className.c_str()) == key)
            return false; // still in use
    return S().classes.erase(key) != 0;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
    if (!CheckUiThread() || className == nullptr)
        return nullptr;
    auto cls = S().classes.find(Lower(className));
    if (cls == S().classes.end())
        return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    WindowData* parentData = Find(parent);
    if (child && parentData == nullptr)
        return nullptr;
    if (parent != nullptr && parentData == nullptr)
        return nullptr;
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : kDefaultX;
        y = child ? 0 : kDefaultY;
    }
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : kDefaultWidth;
        height = child ? 0 : kDefaultHeight;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (IsTooltipClass(className))
        exStyle |= kTooltipExStyle;

    auto owned = std::make_unique<WindowData>();
    WindowData* w = owned.get();
    HWND hwnd = reinterpret_cast<HWND>(S().nextHandle++ << 4);
    w->handle = hwnd;
    w->className = cls->second.wc.lpszClassName;
    w->proc = cls->second.wc.lpfnWndProc;
    w->classStyle = cls->second.wc.style;
    w->classCursor = cls->second.wc.hCursor;
    // Visibility comes with ShowWindow below, so that showing sends what it should.
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->rect = RECT{x, y, x + width, y + height};
    if (child) {
        w->parent = parent;
        w->id = static_cast<LONG_PTR>(menu);
    } else {
        // The owner of a top-level or popup window is always a top-level or popup window.
        WindowData* top = TopOf(parentData);
        w->owner = top != nullptr ? top->handle : nullptr;
        w->native = true;
    }
    S().windows[hwnd] = std::move(owned);
    if (child)
        parentData->children.push_back(hwnd);
    {
        std::lock_guard<std::mutex> lock(Q().mutex);
        Q().live.insert(hwnd);
    }
    if (w->native) {
        ResizeBuffer(w);
        NativeWindowInfo info;
        info.owner = w->owner;
        info.popup = (style & WS_POPUP) != 0;
        info.rect = w->rect;
        info.title = windowName != nullptr ? windowName : "";
        info.style = style;
        info.exStyle = exStyle;
        if (!S().backend->CreateNative(hwnd, info)) {
            ForgetWindow(hwnd);
            S().windows.erase(hwnd);
            return nullptr;
        }
        // A main window shows the program's icon; pop-ups show none.
        if (w->owner == nullptr || (style & WS_POPUP) == 0)
            SetIcons(w, LoadIcon(nullptr, kIconResource), LoadIcon(nullptr, kIconResource));
    }

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = style;
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    // The order of the desktop: limits first (before the window knows its creation
    // parameter), then creation, the client area, and the rest of creation.
    if (w->native)
        QueryMinMax(hwnd);
    bool created =
        Find(hwnd) != nullptr && CallProc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) != 0;
    if (created && (w = Find(hwnd)) != nullptr) {
        RECT client = w->rect;
        CallProc(hwnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&client));
    }
    if (!created || Find(hwnd) == nullptr ||
        CallProc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    w = Find(hwnd);
    if (w == nullptr)
        return nullptr; // destroyed itself during creation
    SendSize(w);
    if ((w = Find(hwnd)) != nullptr)
        SendMove(w);
    if ((w = Find(hwnd)) != nullptr && (style & WS_VISIBLE) != 0)
        ShowWindow(hwnd, SW_SHOW);
    return Find(hwnd) != nullptr ? hwnd : nullptr;
}

bool DestroyWindow(HWND hwnd) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || !IsUiThread())
        return false;
    if (w->destroying)
        return true;
    w->destroying = true;
    const bool wasActive = S().active == hwnd;
    const HWND owner = w->owner;

    // Owned windows go first, as a closing window takes its pop-ups with it.
    std::vector<HWND> ownedWindows;
    for (auto& [handle, other] : S().windows)
        if (other->owner == hwnd && !other->destroying)
            ownedWindows.push_back(handle);
    for (HWND o : ownedWindows)
        DestroyWindow(o);

    if ((w = Find(hwnd)) == nullptr)
        return true;
    if (w->Visible()) {
        if (w->native)
            ShowNativeWindow(w, false, false);
        else if (WindowData* p = Find(w->parent))
            InvalidateTree(p, w->rect, true);
    }
    w->style &= ~WS_VISIBLE;
    LoseFocusInside(hwnd);
    SendDestroy(hwnd);
    SendNcDestroy(hwnd);

    std::vector<HWND> subtree;
    CollectSubtree(hwnd, subtree);
    if ((w = Find(hwnd)) != nullptr && w->IsChild())
        if (WindowData* p = Find(w->parent))
            p->children.erase(std::remove(p->children.begin(), p->children.end(), hwnd),
                              p->children.end());
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        WindowData* d = Find(*it);
        if (d == nullptr)
            continue;
        ForgetWindow(*it);
        if (d->native)
            S().backend->DestroyNative(*it);
        S().windows.erase(*it);
    }
    if (wasActive) {
        WindowData* o = Find(owner);
        if (o != nullptr && ReallyVisible(o) && o->Enabled())
            Activate(owner, false);
        else if (S().active == nullptr || Find(S().active) == nullptr)
            DeactivateAll();
    }
    return true;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc != nullptr ? proc(hwnd, msg, wParam, lParam) : 0;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return 0;
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w->proc);
            if (value != 0)
                w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_USERDATA:
            old = w->userData;
            w->userData = value;
            break;
        case GWLP_ID:
            old = w->id;
            w->id = value;
            break;
        case GWL_STYLE: {
            old = static_cast<LONG_PTR>(w->style);
            // The kind of a window (child or not) is fixed at creation.
            const DWORD kind = w->style & (WS_CHILD | WS_POPUP);
            w->style = (static_cast<DWORD>(value) & ~(WS_CHILD | WS_POPUP)) | kind;
            STYLESTRUCT change{static_cast<DWORD>(old), w->style};
            if (change.styleOld != change.styleNew)
                CallProc(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE),
                         reinterpret_cast<LPARAM>(&change));
            break;
        }
        case GWL_EXSTYLE: {
            old = static_cast<LONG_PTR>(w->exStyle);
            w->exStyle = static_cast<DWORD>(value);
            STYLESTRUCT change{static_cast<DWORD>(old), w->exStyle};
            if (change.styleOld != change.styleNew)
                CallProc(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(GWL_EXSTYLE),
                         reinterpret_cast<LPARAM>(&change));
            break;
        }
        default:
            return 0;
    }
    return old;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return 0;
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_ID:
            return w->id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w->exStyle);
        default:
            return 0;
    }
}

bool SetProp(HWND hwnd, const char* name, void* value) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || name == nullptr)
        return false;
    w->props[name] = value;
    return true;
}

void* GetProp(HWND hwnd, const char* name) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || name == nullptr)
        return nullptr;
    auto it = w->props.find(name);
    return it != w->props.end() ? it->second : nullptr;
}

void* RemoveProp(HWND hwnd, const char* name) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || name == nullptr)
        return nullptr;
    auto it = w->props.find(name);
    if (it == w->props.end())
        return nullptr;
    void* value = it->second;
    w->props.erase(it);
    return value;
}

bool GetClassName(HWND hwnd, std::string* out) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return false;
    if (out != nullptr)
        *out = w->className;
    return true;
}

namespace {

// Moves and sizes a top-level window; WM_SIZE comes even when the size stays, as a change
// between maximised and restored is news of its own.
void PlaceAndTellSize(HWND hwnd, const RECT& rect) {
    WindowData* w = Find(hwnd);
    const int width = w->Width();
    const int height = w->Height();
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if ((w = Find(hwnd)) != nullptr && w->Width() == width && w->Height() == height)
        SendSize(w);
}

// Fills the maximised rectangle the window's limits give on its monitor.
void Maximise(HWND hwnd) {
    const MINMAXINFO limits = QueryMinMax(hwnd);
    WindowData* w = Find(hwnd);
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (w == nullptr ||
        !GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    int width = std::max<int>(limits.ptMaxSize.x, limits.ptMinTrackSize.x);
    int height = std::max<int>(limits.ptMaxSize.y, limits.ptMinTrackSize.y);
    if (limits.ptMaxTrackSize.x > 0)
        width = std::min<int>(width, limits.ptMaxTrackSize.x);
    if (limits.ptMaxTrackSize.y > 0)
        height = std::min<int>(height, limits.ptMaxTrackSize.y);
    const int x = monitor.rcMonitor.left + limits.ptMaxPosition.x;
    const int y = monitor.rcMonitor.top + limits.ptMaxPosition.y;
    w->restoreRect = w->rect;
    w->maximised = true;
    w->style |= WS_MAXIMIZE;
    PlaceAndTellSize(hwnd, RECT{x, y, x + width, y + height});
}

} // namespace

bool ShowWindow(HWND hwnd, int cmd) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return false;
    const bool wasVisible = w->Visible();
    const bool show = cmd != SW_HIDE;
    if (w->native && (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE)) {
        if (!wasVisible) {
            w->style |= WS_VISIBLE;
            CallProc(hwnd, WM_SHOWWINDOW, 1, 0);
            if ((w = Find(hwnd)) == nullptr)
                return wasVisible;
            ShowNativeWindow(w, true, false);
        }
        if (!w->minimised) {
            // A minimised window, and the pop-ups it owns, give up the keyboard.
            WindowData* active = Find(S().active);
            if (active != nullptr && (active == w || active->owner == hwnd))
                DeactivateAll();
            if ((w = Find(hwnd)) == nullptr)
                return wasVisible;
            w->minimised = true;
            w->style |= WS_MINIMIZE;
            S().backend->Minimise(hwnd, true);
            SendSize(w);
        }
        return wasVisible;
    }
    if (w->native && cmd == SW_MAXIMIZE) {
        if (w->minimised) {
            w->minimised = false;
            w->style &= ~WS_MINIMIZE;
            S().backend->Minimise(hwnd, false);
        }
        if (!w->maximised)
            Maximise(hwnd);
        if ((w = Find(hwnd)) == nullptr)
            return wasVisible;
        cmd = SW_SHOW;
    } else if (w->native && cmd == SW_RESTORE && w->minimised) {
        // Back to the state before minimising, maximised or not.
        w->minimised = false;
        w->style &= ~WS_MINIMIZE;
        S().backend->Minimise(hwnd, false);
        SendSize(w);
        if ((w = Find(hwnd)) == nullptr)
            return wasVisible;
    } else if (w->native && cmd == SW_RESTORE && w->maximised) {
        w->maximised = false;
        w->style &= ~WS_MAXIMIZE;
        PlaceAndTellSize(hwnd, w->restoreRect);
        if ((w = Find(hwnd)) == nullptr)
            return wasVisible;
    }
    if (show == wasVisible) {
        if (show && w->native && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWNA)
            Activate(hwnd, false);
        return wasVisible;
    }
    CallProc(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if ((w = Find(hwnd)) == nullptr)
        return wasVisible;
    if (show) {
        w->style |= WS_VISIBLE;
        if (w->native) {
            const bool activate = cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWNA;
            ShowNativeWindow(w, true, activate);
            if (activate)
                Activate(hwnd, false);
        } else {
            InvalidateTree(w, RECT{0, 0, w->Width(), w->Height()}, true);
        }
    } else {
        LoseFocusInside(hwnd);
        if ((w = Find(hwnd)) == nullptr)
            return wasVisible;
        w->style &= ~WS_VISIBLE;
        if (w->native) {
            ShowNativeWindow(w, false, false);
            HandBackActivation(w);
        } else if (WindowData* p = Find(w->parent)) {
            InvalidateTree(p, w->rect, true);
        }
    }
    return wasVisible;
}

bool IsWindowVisible(HWND hwnd) {
    WindowData* w = Find(hwnd);
    return w != nullptr && ReallyVisible(w);
}

bool IsWindow(HWND hwnd) {
    if (IsUiThread())
        return Find(hwnd) != nullptr;
    std::lock_guard<std::mutex> lock(Q().mutex);
    return Q().live.count(hwnd) != 0;
}

bool IsIconic(HWND hwnd) {
    WindowData* w = Find(hwnd);
    return w != nullptr && w->native && w->minimised;
}

bool IsZoomed(HWND hwnd) {
    WindowData* w = Find(hwnd);
    return w != nullptr && w->native && w->maximised;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return false;
    const RECT old = w->rect;
    RECT next = old;
    if ((flags & SWP_NOMOVE) == 0) {
        next.left = x;
        next.top = y;
    }
    int width = (flags & SWP_NOSIZE) == 0 ? std::max(cx, 0) : old.right - old.left;
    int height = (flags & SWP_NOSIZE) == 0 ? std::max(cy, 0) : old.bottom - old.top;
    if ((flags & SWP_NOSIZE) == 0 && Sizable(w)) {
        ClampToTrackSize(hwnd, &width, &height);
        if ((w = Find(hwnd)) == nullptr)
            return false;
    }
    next.right = next.left + width;
    next.bottom = next.top + height;
    const bool moved = next.left != old.left || next.top != old.top;
    const bool sized = width != old.right - old.left || height != old.bottom - old.top;
    w->rect = next;
    if (w->native) {
        if (sized)
            ResizeBuffer(w);
        if (moved || sized)
            S().backend->MoveNative(hwnd, next);
        if (sized && w->Visible())
            InvalidateTree(w, RECT{0, 0, width, height}, true);
    } else if ((moved || sized) && w->Visible() && (flags & SWP_NOREDRAW) == 0) {
        if (WindowData* p = Find(w->parent)) {
            InvalidateTree(p, old, true);
            InvalidateTree(p, next, true);
        }
    }
    if (moved || sized)
        RefreshHeldDCs(w);
    if (moved || sized || (flags & SWP_FRAMECHANGED) != 0)
        SendNcCalcSize(w, old);
    if (moved && (w = Find(hwnd)) != nullptr)
        SendMove(w);
    if (sized && (w = Find(hwnd)) != nullptr)
        SendSize(w);
    if ((w = Find(hwnd)) == nullptr)
        return true;
    if ((flags & SWP_NOZORDER) == 0 && w->native && w->Visible())
        MoveToFront(hwnd);
    if ((flags & SWP_SHOWWINDOW) != 0)
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
    else if ((flags & SWP_HIDEWINDOW) != 0)
        ShowWindow(hwnd, SW_HIDE);
    return true;
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || rect == nullptr)
        return false;
    const POINT o = ScreenOrigin(w);
    *rect = RECT{o.x, o.y, o.x + w->Width(), o.y + w->Height()};
    return true;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || rect == nullptr)
        return false;
    *rect = RECT{0, 0, w->Width(), w->Height()};
    return true;
}

bool ClientToScreen(HWND hwnd, POINT* pt) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || pt == nullptr)
        return false;
    const POINT o = ScreenOrigin(w);
    pt->x += o.x;
    pt->y += o.y;
    return true;
}

bool ScreenToClient(HWND hwnd, POINT* pt) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || pt == nullptr)
        return false;
    const POINT o = ScreenOrigin(w);
    pt->x -= o.x;
    pt->y -= o.y;
    return true;
}

HWND GetParent(HWND hwnd) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return nullptr;
    return w->IsChild() ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT relation) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return nullptr;
    if (relation == GW_OWNER)
        return w->IsChild() ? nullptr : w->owner;
    if (relation == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.back();
    WindowData* p = w->IsChild() ? Find(w->parent) : nullptr;
    if (p == nullptr)
        return nullptr;
    // Siblings from the top (the last child) down, as the interface orders them.
    const auto& c = p->children;
    const auto pos = std::find(c.begin(), c.end(), hwnd);
    switch (relation) {
        case GW_HWNDFIRST:
            return c.back();
        case GW_HWNDLAST:
            return c.front();
        case GW_HWNDNEXT:
            return pos != c.begin() ? *(pos - 1) : nullptr;
        case GW_HWNDPREV:
            return pos + 1 != c.end() ? *(pos + 1) : nullptr;
        default:
            return nullptr;
    }
}

HWND GetAncestorTopLevel(HWND hwnd) {
    WindowData* top = TopOf(Find(hwnd));
    return top != nullptr ? top->handle : nullptr;
}

bool EnableWindow(HWND hwnd, bool enable) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return false;
    const bool wasDisabled = !w->Enabled();
    if (wasDisabled == !enable)
        return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        LoseFocusInside(hwnd);
    }
    if ((w = Find(hwnd)) != nullptr)
        CallProc(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
    WindowData* w = Find(hwnd);
    return w != nullptr && w->Enabled();
}

bool SetWindowText(HWND hwnd, const char* text) {
    if (Find(hwnd) == nullptr)
        return false;
    return SendMessage(hwnd, WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
    if (buffer == nullptr || size <= 0)
        return 0;
    buffer[0] = '\0';
    if (Find(hwnd) == nullptr)
        return 0;
    return static_cast<int>(
        SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

std::string GetWindowTextString(HWND hwnd) {
    if (Find(hwnd) == nullptr)
        return {};
    const auto length = SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowText(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

bool SetLayeredWindowAttributes(HWND hwnd, COLORREF, BYTE alpha, DWORD flags) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || !w->native)
        return false;
    if ((flags & LWA_ALPHA) != 0) {
        w->opacity = alpha;
        S().backend->SetOpacity(hwnd, alpha);
    }
    return true;
}

BYTE GetWindowOpacity(HWND hwnd) {
    WindowData* w = Find(hwnd);
    return w != nullptr ? w->opacity : 255;
}

bool SetWindowRgn(HWND hwnd, const RECT& rect, int ex, int ey, bool) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || !w->native)
        return false;
    w->region = IsRectEmpty(rect) ? RECT{} : rect;
    w->regionEx = IsRectEmpty(rect) ? 0 : std::max(ex, 0);
    w->regionEy = IsRectEmpty(rect) ? 0 : std::max(ey, 0);
    S().backend->SetRegion(hwnd, w->region, w->regionEx, w->regionEy);
    return true;
}

bool GetWindowRgn(HWND hwnd, RECT* rect, int* ex, int* ey) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || IsRectEmpty(w->region))
        return false;
    if (rect != nullptr)
        *rect = w->region;
    if (ex != nullptr)
        *ex = w->regionEx;
    if (ey != nullptr)
        *ey = w->regionEy;
    return true;
}

namespace detail {

std::vector<MonitorDesc> AllMonitors() {
    std::vector<MonitorDesc> monitors = S().backend->Monitors();
    if (monitors.empty())
        monitors.push_back(MonitorDesc{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}});
    return monitors;
}

MINMAXINFO QueryMinMax(HWND hwnd) {
    MINMAXINFO limits;
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        // Maximised, a window covers the work area of its monitor unless it says otherwise.
        limits.ptMaxSize = POINT{monitor.rcWork.right - monitor.rcWork.left,
                                 monitor.rcWork.bottom - monitor.rcWork.top};
        limits.ptMaxPosition = POINT{monitor.rcWork.left - monitor.rcMonitor.left,
                                     monitor.rcWork.top - monitor.rcMonitor.top};
    }
    // Sizing may reach across every monitor, and no further.
    RECT desktop;
    for (const MonitorDesc& m : AllMonitors())
        desktop = UnionRect(desktop, m.monitor);
    limits.ptMaxTrackSize = POINT{desktop.right - desktop.left, desktop.bottom - desktop.top};
    CallProc(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    return limits;
}

} // namespace detail

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) {
    if (!CheckUiThread())
        return nullptr;
    const std::vector<MonitorDesc> monitors = AllMonitors();
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (PtInRect(monitors[i].monitor, pt))
            return MonitorHandle(i);
    return Fallback(monitors, pt, true, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    if (!CheckUiThread())
        return nullptr;
    const std::vector<MonitorDesc> monitors = AllMonitors();
    RECT wr;
    if (!GetWindowRect(hwnd, &wr))
        return Fallback(monitors, POINT{}, false, flags); // no window: the primary, or null
    long long bestArea = 0;
    std::size_t best = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const RECT part = IntersectRect(wr, monitors[i].monitor);
        const long long area = static_cast<long long>(part.right - part.left) *
                               static_cast<long long>(part.bottom - part.top);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (bestArea > 0)
        return MonitorHandle(best);
    const POINT centre{(wr.left + wr.right) / 2, (wr.top + wr.bottom) / 2};
    return Fallback(monitors, centre, true, flags);
}

bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    if (!CheckUiThread() || info == nullptr || info->cbSize < sizeof(MONITORINFO))
        return false;
    const std::vector<MonitorDesc> monitors = AllMonitors();
    const auto index = reinterpret_cast<uintptr_t>(monitor);
    if (index == 0 || index > monitors.size())
        return false;
    info->rcMonitor = monitors[index - 1].monitor;
    info->rcWork = monitors[index - 1].work;
    info->dwFlags = index == 1 ? MONITORINFOF_PRIMARY : 0;
    return true;
}

bool GetMonitorWorkArea(HWND hwnd, RECT* rect) {
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (rect == nullptr ||
        !GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return false;
    *rect = monitor.rcWork;
    return true;
}

HICON LoadIcon(HINSTANCE, int number) {
    if (!CheckUiThread())
        return nullptr;
    // Decoded once and kept; a missing resource is looked up again next time, as resource
    // tables may be registered later.
    static std::map<int, std::unique_ptr<IconObject>> icons;
    if (auto it = icons.find(number); it != icons.end())
        return it->second.get();
    const ResourceData data = FindResource(number, kIconResourceType);
    Bitmap picture;
    if (data.Empty() || !DecodePng(data.data, data.size, &picture))
        return nullptr;
    auto& icon = icons[number];
    icon = std::make_unique<IconObject>(IconObject{std::move(picture)});
    return icon.get();
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return 0;
    switch (msg) {
        case WM_NCCREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
            if (cs != nullptr && cs->lpszName != nullptr)
                w->text = cs->lpszName;
            return 1;
        }
        case WM_SETTEXT:
            w->text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
            if (w->native)
                S().backend->SetTitle(hwnd, w->text);
            return 1;
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lParam);
            if (out == nullptr || wParam == 0)
                return 0;
            // A full buffer ends before the character that would not fit whole.
            const std::size_t n = Utf8PrefixLength(w->text.data(), w->text.size(), wParam - 1);
            std::memcpy(out, w->text.data(), n);
            out[n] = '\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SETICON: {
            if (!w->native)
                return 0;
            const HICON old = wParam == ICON_SMALL ? w->iconSmall : w->iconBig;
            const HICON icon = reinterpret_cast<HICON>(lParam);
            if (wParam == ICON_SMALL)
                SetIcons(w, w->iconBig, icon);
            else
                SetIcons(w, icon, w->iconSmall);
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(wParam == ICON_SMALL ? w->iconSmall : w->iconBig);
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(hwnd, WM_CLOSE, 0, 0);
                    return 0;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    return 0;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    return 0;
                case SC_MAXIMIZE:
                    ShowWindow(hwnd, SW_MAXIMIZE);
                    return 0;
                default:
                    return 0;
            }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !(w->native && w->minimised))
                SetFocus(hwnd);
            return 0;
        case WM_NCACTIVATE:
            return 1;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_SETCURSOR: {
            // The parent decides first; otherwise the class cursor over the client area.
            HWND parent = w->IsChild() ? w->parent : nullptr;
            if (parent != nullptr && SendMessage(parent, WM_SETCURSOR, wParam, lParam) != 0)
                return 1;
            if ((w = Find(hwnd)) == nullptr)
                return 0;
            const auto hit = static_cast<int16_t>(LOWORD(lParam));
            if (hit == HTCLIENT && w->classCursor != 0)
                SetCursor(w->classCursor);
            else if (hit != HTCLIENT && hit != HTERROR)
                SetCursor(IDC_ARROW); // caption and borders
            return 0;
        }
        case WM_MOUSEWHEEL: {
            // Unhandled wheel turns travel up to the parent.
            HWND parent = w->IsChild() ? w->parent : nullptr;
            return parent != nullptr ? SendMessage(parent, msg, wParam, lParam) : 0;
        }
        case WM_RBUTTONUP: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &pt);
            SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                        MAKELPARAM(pt.x, pt.y));
            return 0;
        }
        case WM_CONTEXTMENU: {
            HWND parent = w->IsChild() ? w->parent : nullptr;
            return parent != nullptr ? SendMessage(parent, msg, wParam, lParam) : 0;
        }
        case WM_NCLBUTTONDOWN:
            if (wParam == static_cast<WPARAM>(HTCAPTION) && !w->IsChild() &&
                !(w->native && w->minimised)) {
                // The window follows the pointer until the button comes up.
                S().dragging = hwnd;
                S().dragStart = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                S().dragRect = w->rect;
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 0;
        default:
            return 0;
    }
}

} // namespace plat
