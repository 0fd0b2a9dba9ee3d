#include "platform/backends/SdlBackend.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

// A pop-up shown on a bare X server takes the keyboard focus, and we hand it straight back to
// its owner; the owner's focus loss in between must not count as the program losing the focus.
// A loss is believed only when none of our windows has regained the focus this long after it.
constexpr Uint32 kFocusSettleMs = 150;

// Without a display connection to watch (before the first window, or on a display other than
// X11), a wait looks at SDL's queue at least this often.
constexpr int kUnwatchedPollMs = 50;

// Positions and sizes we asked for ourselves come back later as window events; those echoes
// are not the window manager moving the window. Echoes older than this are forgotten.
constexpr Uint32 kEchoMs = 1000;

struct Echo {
    int x = 0;
    int y = 0;
    Uint32 at = 0;
};

struct NativeWindow {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    SDL_Window* window = nullptr;
    Uint32 id = 0;
    bool popup = false;       // an owned pop-up: override-redirect, never focused by the desktop
    bool passThrough = false; // the pointer goes through it to the window below (tooltip)
    bool shown = false;
    bool minimised = false;
    bool focused = false; // holds the desktop's keyboard focus
    int width = 0;
    int height = 0;
    SDL_Surface* surface = nullptr; // fetched again after every size change
    std::vector<Echo> moveEchoes;
    std::vector<Echo> sizeEchoes;
};

bool TakeEcho(std::vector<Echo>& echoes, int x, int y, Uint32 now) {
    echoes.erase(std::remove_if(echoes.begin(), echoes.end(),
                                [now](const Echo& e) { return now - e.at > kEchoMs; }),
                 echoes.end());
    for (auto it = echoes.begin(); it != echoes.end(); ++it) {
        if (it->x == x && it->y == y) {
            echoes.erase(echoes.begin(), it + 1);
            return true;
        }
    }
    return false;
}

class SdlBackend;
std::mutex g_runningMutex;
SdlBackend* g_running = nullptr; // guarded by g_runningMutex for Wake; otherwise UI thread

class SdlBackend final : public Backend {
public:
    const char* Name() const override { return "sdl2"; }

    bool Start() override {
        // The software path keeps the X window as created; the accelerated default goes through
        // OpenGL, recreates the window and is far slower for a window this size.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // Capture follows the window system's own model, not SDL's.
        SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wakeFd < 0)
            return false;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            ::close(m_wakeFd);
            m_wakeFd = -1;
            return false;
        }
        // SDL starts with text input on; it runs only while an editor has the focus.
        SDL_StopTextInput();
        std::lock_guard<std::mutex> lock(g_runningMutex);
        g_running = this;
        return true;
    }

    void Stop() override {
        {
            std::lock_guard<std::mutex> lock(g_runningMutex);
            g_running = nullptr;
        }
        for (auto& [hwnd, n] : m_windows)
            if (n.window)
                SDL_DestroyWindow(n.window);
        m_windows.clear();
        m_byId.clear();
        for (const Retired& r : m_retired)
            SDL_DestroyWindow(r.window);
        m_retired.clear();
        for (auto& [id, cursor] : m_cursors)
            SDL_FreeCursor(cursor);
        m_cursors.clear();
        if (m_sdlCapture)
            SDL_CaptureMouse(SDL_FALSE);
        m_sdlCapture = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        m_display = nullptr;
        m_displayFd = -1;
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }

    bool CreateNative(HWND hwnd, const NativeWindowInfo& info) override {
        const int width = std::max(1, static_cast<int>(info.rect.right - info.rect.left));
        const int height = std::max(1, static_cast<int>(info.rect.bottom - info.rect.top));
        NativeWindow n;
        n.hwnd = hwnd;
        n.owner = info.owner;
        // Only an owned pop-up becomes an override-redirect window: an unowned WS_POPUP window
        // is a program's main window and must be able to take the keyboard focus.
        n.popup = info.popup && info.owner != nullptr;
        Uint32 flags = SDL_WINDOW_HIDDEN;
        n.passThrough = (info.exStyle & WS_EX_TRANSPARENT) != 0;
        if (n.popup)
            flags |= (n.passThrough ? SDL_WINDOW_TOOLTIP : SDL_WINDOW_POPUP_MENU) |
                     SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
        else if ((info.style & WS_CAPTION) != WS_CAPTION)
            flags |= SDL_WINDOW_BORDERLESS; // the window draws its own caption
        if (info.exStyle & WS_EX_TOOLWINDOW)
            flags |= SDL_WINDOW_SKIP_TASKBAR;
        if (!n.popup && (info.style & WS_THICKFRAME))
            flags |= SDL_WINDOW_RESIZABLE;
        n.window = SDL_CreateWindow(info.title.c_str(), info.rect.left, info.rect.top, width,
                                    height, flags);
        if (!n.window)
            return false;
        n.id = SDL_GetWindowID(n.window);
        n.width = width;
        n.height = height;
        SDL_SetWindowData(n.window, "plat.hwnd", hwnd);
        if (!n.popup)
            SDL_SetWindowHitTest(n.window, &SdlBackend::HitTest, this);
        m_byId[n.id] = hwnd;
        m_windows[hwnd] = n;
        WatchDisplayOf(n.window);
        return true;
    }

    void DestroyNative(HWND hwnd) override {
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end())
            return;
        m_byId.erase(it->second.id);
        // A window closed while a button is down (a pop-up that closes on the press) may still
        // be where the display sends the release: SDL drops events for windows it no longer
        // knows, and a lost release leaves SDL believing the button down, so it drops the next
        // press as no change. Such a window is only hidden, and destroyed once the buttons are up.
        if (ButtonsDown()) {
            SDL_HideWindow(it->second.window);
            m_retired.push_back(Retired{it->second.window, it->second.id});
        } else {
            SDL_DestroyWindow(it->second.window);
        }
        m_windows.erase(it);
        if (m_active == hwnd)
            m_active = nullptr;
    }

    void ShowNative(HWND hwnd, bool show, bool activate) override {
        NativeWindow* n = Find(hwnd);
        if (!n || n->shown == show)
            return;
        n->shown = show;
        if (!show) {
            SDL_HideWindow(n->window);
            return;
        }
        SDL_ShowWindow(n->window);
        if (n->popup) {
            // A bare X server gives a newly mapped override-redirect window the focus; the
            // owner takes it back, keys keep arriving there and our own model routes them.
            if (NativeWindow* owner = NativeOf(n->owner); owner && owner->shown)
                SDL_SetWindowInputFocus(owner->window);
        } else if (activate) {
            SDL_RaiseWindow(n->window);
        }
    }

    void MoveNative(HWND hwnd, const RECT& screenRect) override {
        NativeWindow* n = Find(hwnd);
        if (!n)
            return;
        const Uint32 now = SDL_GetTicks();
        const int w = std::max(1, static_cast<int>(screenRect.right - screenRect.left));
        const int h = std::max(1, static_cast<int>(screenRect.bottom - screenRect.top));
        int x = 0, y = 0;
        SDL_GetWindowPosition(n->window, &x, &y);
        if (x != screenRect.left || y != screenRect.top) {
            n->moveEchoes.push_back(Echo{screenRect.left, screenRect.top, now});
            SDL_SetWindowPosition(n->window, screenRect.left, screenRect.top);
        }
        if (w != n->width || h != n->height) {
            n->sizeEchoes.push_back(Echo{w, h, now});
            n->width = w;
            n->height = h;
            n->surface = nullptr;
            SDL_SetWindowSize(n->window, w, h);
        }
    }

    void SetTitle(HWND hwnd, const std::string& title) override {
        if (NativeWindow* n = Find(hwnd))
            SDL_SetWindowTitle(n->window, title.c_str());
    }

    void Activate(HWND hwnd) override {
        NativeWindow* n = Find(hwnd);
        if (!n || !n->shown || n->popup)
            return;
        SDL_RaiseWindow(n->window);
        SDL_SetWindowInputFocus(n->window);
    }

    void Minimise(HWND hwnd, bool minimised) override {
        NativeWindow* n = Find(hwnd);
        if (!n || n->minimised == minimised)
            return;
        n->minimised = minimised;
        if (minimised)
            SDL_MinimizeWindow(n->window);
        else
            SDL_RestoreWindow(n->window);
    }

    void SetOpacity(HWND hwnd, BYTE alpha) override {
        // Honoured by a compositing desktop; elsewhere the window system still records it.
        if (NativeWindow* n = Find(hwnd))
            SDL_SetWindowOpacity(n->window, static_cast<float>(alpha) / 255.0f);
    }

    void SetRegion(HWND, const RECT&, int, int) override {
        // SDL shapes only windows created as shaped windows, which cannot use the plain window
        // surface; the rounded region stays a recorded property of the window.
    }

    void Present(HWND hwnd, const Bitmap& buffer, const RECT& rect) override {
        NativeWindow* n = Find(hwnd);
        if (!n || buffer.Empty())
            return;
        if (!n->surface) {
            n->surface = SDL_GetWindowSurface(n->window);
            if (!n->surface)
                return;
        }
        SDL_Surface* dst = n->surface;
        // Clip to the buffer and to the surface: the window may not have its new size yet.
        const int right = std::min({static_cast<int>(rect.right), buffer.width, dst->w});
        const int bottom = std::min({static_cast<int>(rect.bottom), buffer.height, dst->h});
        const int left = std::max(0, static_cast<int>(rect.left));
        const int top = std::max(0, static_cast<int>(rect.top));
        if (left >= right || top >= bottom)
            return;
        SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(buffer.pixels.data()), buffer.width, buffer.height, 32,
            buffer.width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!src)
            return;
        // The back buffer is premultiplied; a window shows its colour channels as they are.
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
        SDL_Rect area{left, top, right - left, bottom - top};
        SDL_Rect to = area;
        SDL_BlitSurface(src, &area, dst, &to);
        SDL_FreeSurface(src);
        SDL_UpdateWindowSurfaceRects(n->window, &area, 1);
        ++m_presents;
    }

    // SDL's own waiting functions are never used. While SDL_WaitEvent* waits, every event SDL
    // queues (its own, on this thread, too) makes it send an X ClientMessage on a second display
    // connection to its newest window, as a wake-up. A pop-up closed right after is destroyed on
    // the main connection, and the X server may handle that first: the wake-up then fails with
    // BadWindow, an error Xlib only reads when SDL closes that connection at shutdown, where
    // its default handler ends the process. So this waits itself, on the display connection
    // and on a descriptor that Wake signals, and takes events from SDL only by polling.
    void WaitEvents(DWORD timeoutMs) override {
        Uint32 wait = timeoutMs;
        if (m_focusCheckAt != 0) {
            const Uint32 now = SDL_GetTicks();
            const Uint32 left = SDL_TICKS_PASSED(now, m_focusCheckAt) ? 0 : m_focusCheckAt - now;
            wait = std::min(wait, left);
        }
        if (!DeliverPending() && wait != 0 && Block(wait))
            DeliverPending();
        SettleFocus();
    }

    void Wake() override {
        // Any thread: Stop clears g_running under the same lock before the descriptor closes.
        std::lock_guard<std::mutex> lock(g_runningMutex);
        if (g_running != this)
            return;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }

    DWORD Now() override { return SDL_GetTicks(); }

    void SetMouseCapture(bool captured) override {
        m_modelCapture = captured;
        UpdateCapture();
    }

    void SetCursorShape(HCURSOR cursor) override {
        if (cursor == 0) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_ShowCursor(SDL_ENABLE);
        auto it = m_cursors.find(cursor);
        if (it == m_cursors.end()) {
            SDL_Cursor* made = SDL_CreateSystemCursor(SystemCursorOf(cursor));
            if (!made)
                return;
            it = m_cursors.emplace(cursor, made).first;
        }
        SDL_SetCursor(it->second);
    }

    POINT CursorPos() override {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        return POINT{x, y};
    }

    void SetTextInput(bool on) override {
        if (on)
            SDL_StartTextInput();
        else
            SDL_StopTextInput();
    }

    void SetImeRect(const RECT& screenRect) override {
        // SDL wants the rectangle relative to the window with the keyboard focus.
        SDL_Window* focus = SDL_GetKeyboardFocus();
        int x = 0, y = 0;
        if (focus)
            SDL_GetWindowPosition(focus, &x, &y);
        SDL_Rect rc{screenRect.left - x, screenRect.top - y,
                    std::max(1, static_cast<int>(screenRect.right - screenRect.left)),
                    std::max(1, static_cast<int>(screenRect.bottom - screenRect.top))};
        SDL_SetTextInputRect(&rc);
    }

    bool OpenURL(const std::string& url) override { return SDL_OpenURL(url.c_str()) == 0; }

    bool SetClipboardText(const std::string& utf8) override {
        return SDL_SetClipboardText(utf8.c_str()) == 0;
    }

    std::string GetClipboardText() override {
        char* text = SDL_GetClipboardText();
        std::string result = text ? text : "";
        SDL_free(text);
        return result;
    }

    // SDL lists the primary display first.
    std::vector<MonitorDesc> Monitors() override {
        std::vector<MonitorDesc> monitors;
        const auto toRect = [](const SDL_Rect& r) { return RECT{r.x, r.y, r.x + r.w, r.y + r.h}; };
        const int count = SDL_GetNumVideoDisplays();
        for (int i = 0; i < count; ++i) {
            SDL_Rect bounds{0, 0, 0, 0};
            if (SDL_GetDisplayBounds(i, &bounds) != 0)
                continue;
            SDL_Rect usable = bounds;
            if (SDL_GetDisplayUsableBounds(i, &usable) != 0)
                usable = bounds;
            monitors.push_back(MonitorDesc{toRect(bounds), toRect(usable)});
        }
        return monitors;
    }

    void SetIcon(HWND hwnd, const Bitmap& picture) override {
        NativeWindow* n = Find(hwnd);
        if (!n || picture.Empty())
            return; // SDL keeps the last icon: a window never loses one it was given
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 32,
                                                           SDL_PIXELFORMAT_ARGB8888);
        if (!icon)
            return;
        // The desktop wants straight alpha; the picture is premultiplied.
        for (int y = 0; y < picture.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(icon->pixels) +
                                                    static_cast<std::ptrdiff_t>(y) * icon->pitch);
            for (int x = 0; x < picture.width; ++x)
                row[x] = Unpremultiply(picture.At(x, y));
        }
        SDL_SetWindowIcon(n->window, icon);
        SDL_FreeSurface(icon);
    }

    bool ReadPixels(HWND hwnd, Bitmap* out) {
        NativeWindow* n = NativeOf(GetAncestorTopLevel(hwnd));
        if (!n)
            return false;
        SDL_Surface* surface = n->surface ? n->surface : SDL_GetWindowSurface(n->window);
        if (!surface)
            return false;
        n->surface = surface;
        out->Resize(surface->w, surface->h);
        if (SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels,
                              surface->pitch, SDL_PIXELFORMAT_ARGB8888, out->pixels.data(),
                              out->width * 4) != 0)
            return false;
        for (uint32_t& px : out->pixels)
            px |= 0xFF000000u;
        return true;
    }

    int Presents() const { return m_presents; }

    void SyncAndDeliver() {
        // XSync waits for the server's answer, and the server sends every event it queued for
        // us before that answer.
        if (m_display != nullptr)
            XSync(m_display, False);
        DeliverPending();
        SettleFocus();
    }

    SDL_Window* SdlWindowOf(HWND hwnd) {
        NativeWindow* n = Find(hwnd);
        return n ? n->window : nullptr;
    }

private:
    // Hands every event SDL has (reading the display first) to the window system.
    bool DeliverPending() {
        bool any = false;
        SDL_Event event;
        while (SDL_PollEvent(&event) == 1) {
            Handle(event);
            any = true;
        }
        DestroyRetired();
        return any;
    }

    // Whether a button is down for us or for SDL (which may have read a press that is not yet
    // handed over).
    bool ButtonsDown() const {
        return m_buttonsHeld != 0 || SDL_GetMouseState(nullptr, nullptr) != 0;
    }

    // The windows kept for a release are destroyed once every button is up: by then SDL has read
    // whatever the display sent them before they were hidden.
    void DestroyRetired() {
        if (m_retired.empty() || ButtonsDown())
            return;
        for (const Retired& r : m_retired)
            SDL_DestroyWindow(r.window);
        m_retired.clear();
    }

    // Waits until the display connection has input, Wake was called or `wait` passed; false
    // when it did not wait because events were already queued.
    bool Block(Uint32 wait) {
        // Handling events may have queued more, in SDL or in Xlib, without the connection
        // showing new input: those are delivered first.
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) ||
            (m_display != nullptr && QLength(m_display) > 0))
            return false;
        int timeout = wait == kWaitForever ? -1 : static_cast<int>(std::min<Uint32>(wait, INT_MAX));
        if (m_displayFd < 0 && (timeout < 0 || timeout > kUnwatchedPollMs))
            timeout = kUnwatchedPollMs;
        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_displayFd, POLLIN, 0}};
        ::poll(fds, m_displayFd >= 0 ? 2 : 1, timeout);
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
        return true;
    }

    // The X display connection behind SDL's windows, watched by Block; the same for every
    // window, so the first one tells.
    void WatchDisplayOf(SDL_Window* window) {
        if (m_display != nullptr)
            return;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11 &&
            info.info.x11.display != nullptr) {
            m_display = info.info.x11.display;
            m_displayFd = ConnectionNumber(m_display);
        }
    }

    NativeWindow* Find(HWND hwnd) {
        auto it = m_windows.find(hwnd);
        return it == m_windows.end() ? nullptr : &it->second;
    }
    NativeWindow* NativeOf(HWND hwnd) { return hwnd ? Find(hwnd) : nullptr; }
    NativeWindow* FindById(Uint32 id) {
        auto it = m_byId.find(id);
        return it == m_byId.end() ? nullptr : Find(it->second);
    }

    static SDL_SystemCursor SystemCursorOf(HCURSOR cursor) {
        switch (cursor) {
            case IDC_IBEAM:
                return SDL_SYSTEM_CURSOR_IBEAM;
            case IDC_WAIT:
                return SDL_SYSTEM_CURSOR_WAIT;
            case IDC_CROSS:
                return SDL_SYSTEM_CURSOR_CROSSHAIR;
            case IDC_SIZENWSE:
                return SDL_SYSTEM_CURSOR_SIZENWSE;
            case IDC_SIZENESW:
                return SDL_SYSTEM_CURSOR_SIZENESW;
            case IDC_SIZEWE:
                return SDL_SYSTEM_CURSOR_SIZEWE;
            case IDC_SIZENS:
                return SDL_SYSTEM_CURSOR_SIZENS;
            case IDC_SIZEALL:
                return SDL_SYSTEM_CURSOR_SIZEALL;
            case IDC_NO:
                return SDL_SYSTEM_CURSOR_NO;
            case IDC_HAND:
                return SDL_SYSTEM_CURSOR_HAND;
            default:
                return SDL_SYSTEM_CURSOR_ARROW;
        }
    }

    // Called by SDL while it reads events on the UI thread, for presses (and on some desktops
    // pointer moves) in the window: the window itself says where its caption is.
    static SDL_HitTestResult HitTest(SDL_Window* window, const SDL_Point* area, void* data) {
        auto* self = static_cast<SdlBackend*>(data);
        auto* hwnd = static_cast<HWND>(SDL_GetWindowData(window, "plat.hwnd"));
        if (!self->Find(hwnd))
            return SDL_HITTEST_NORMAL;
        int x = 0, y = 0;
        SDL_GetWindowPosition(window, &x, &y);
        switch (InputHitTest(hwnd, POINT{x + area->x, y + area->y})) {
            case HTCAPTION:
                return SDL_HITTEST_DRAGGABLE;
            case HTLEFT:
                return SDL_HITTEST_RESIZE_LEFT;
            case HTRIGHT:
                return SDL_HITTEST_RESIZE_RIGHT;
            case HTTOP:
                return SDL_HITTEST_RESIZE_TOP;
            case HTBOTTOM:
                return SDL_HITTEST_RESIZE_BOTTOM;
            case HTTOPLEFT:
                return SDL_HITTEST_RESIZE_TOPLEFT;
            case HTTOPRIGHT:
                return SDL_HITTEST_RESIZE_TOPRIGHT;
            case HTBOTTOMLEFT:
                return SDL_HITTEST_RESIZE_BOTTOMLEFT;
            case HTBOTTOMRIGHT:
                return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
            default:
                return SDL_HITTEST_NORMAL;
        }
    }

    static POINT ScreenPoint(SDL_Window* window, int x, int y) {
        int wx = 0, wy = 0;
        SDL_GetWindowPosition(window, &wx, &wy);
        return POINT{wx + x, wy + y};
    }

    // The pop-up holding the focus, if the focus is in one.
    NativeWindow* FocusedPopup() {
        HWND focus = GetFocus();
        NativeWindow* n = focus ? NativeOf(GetAncestorTopLevel(focus)) : nullptr;
        return n && n->popup ? n : nullptr;
    }

    // A pop-up keeps the focus only while nothing else happens to its owner or in our other
    // windows; otherwise the focus goes to `to` (null: nowhere), and the pop-up, told with
    // WM_KILLFOCUS, closes itself.
    void TakeFocusFromPopup(HWND except, HWND to) {
        NativeWindow* popup = FocusedPopup();
        if (!popup || popup->hwnd == except)
            return;
        SetFocus(to);
    }

    // The pointer is held by SDL while the window system captures it and while any button is
    // down: a release outside our windows is otherwise lost, and SDL, still believing the button
    // down, would then drop the next press. (SDL captures for the window with the keyboard
    // focus, which is why events are placed by their screen position, not by their window.)
    void UpdateCapture() {
        const bool want = m_modelCapture || m_buttonsHeld != 0;
        if (want == m_sdlCapture)
            return;
        if (SDL_CaptureMouse(want ? SDL_TRUE : SDL_FALSE) == 0)
            m_sdlCapture = want;
        else if (!want)
            m_sdlCapture = false;
    }

    static bool Inside(const NativeWindow& n, POINT screen) {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(n.window, &x, &y);
        SDL_GetWindowSize(n.window, &w, &h);
        return screen.x >= x && screen.x < x + w && screen.y >= y && screen.y < y + h;
    }

    bool PointerInAnotherWindow(const NativeWindow& from) {
        // Where the pointer is now, asked of the X server: SDL's global position may be one
        // it kept from before.
        int x = 0, y = 0;
        ::Window root = 0, child = 0;
        int wx = 0, wy = 0;
        unsigned int mask = 0;
        if (m_display == nullptr || !XQueryPointer(m_display, DefaultRootWindow(m_display), &root,
                                                   &child, &x, &y, &wx, &wy, &mask))
            SDL_GetGlobalMouseState(&x, &y);
        for (auto& [hwnd, n] : m_windows)
            if (&n != &from && n.shown && !n.minimised && Inside(n, POINT{x, y}))
                return true;
        return false;
    }

    // The native window under a screen point: the one the event came from (when known) if the
    // point lies in it, else a shown pop-up (always on top), else another shown window; null
    // outside all.
    HWND OverAt(const NativeWindow* from, POINT screen) {
        if (from && Inside(*from, screen))
            return from->hwnd;
        for (int pass = 0; pass < 2; ++pass)
            for (auto& [hwnd, n] : m_windows)
                if (n.shown && !n.minimised && n.popup == (pass == 0) && Inside(n, screen))
                    return hwnd;
        return nullptr;
    }

    // Where a mouse event happened, in screen coordinates, and the native window there. An event
    // of a window closed meanwhile is placed by that window's last position while it is kept for
    // a release; SDL gives no window at all when the window under the pointer went away, and
    // its coordinates then belong to that lost window: the pointer's position now stands in.
    // False for an event of a window no longer known whose place cannot be told.
    bool Place(Uint32 windowId, int x, int y, bool placeLost, POINT* screen, HWND* over) {
        if (NativeWindow* n = FindById(windowId)) {
            *screen = ScreenPoint(n->window, x, y);
            *over = OverAt(n, *screen);
            return true;
        }
        if (SDL_Window* retired = RetiredById(windowId))
            *screen = ScreenPoint(retired, x, y);
        else if (placeLost)
            *screen = CursorPos();
        else
            return false;
        *over = OverAt(nullptr, *screen);
        return true;
    }

    SDL_Window* RetiredById(Uint32 id) const {
        for (const Retired& r : m_retired)
            if (r.id == id)
                return r.window;
        return nullptr;
    }

    void OnMotion(const SDL_MouseMotionEvent& e) {
        POINT screen{};
        HWND over = nullptr;
        if (Place(e.windowID, e.x, e.y, false, &screen, &over))
            InputMouseMove(over, screen);
    }

    // A press or release is never dropped: the window system's button state and capture, and
    // the pointer hold below, depend on seeing each one.
    void OnButton(const SDL_MouseButtonEvent& e) {
        MouseButton button = MouseButton::Left;
        if (e.button == SDL_BUTTON_RIGHT)
            button = MouseButton::Right;
        else if (e.button == SDL_BUTTON_MIDDLE)
            button = MouseButton::Middle;
        else if (e.button != SDL_BUTTON_LEFT)
            return;
        const bool down = e.state == SDL_PRESSED;
        POINT screen{};
        HWND over = nullptr;
        Place(e.windowID, e.x, e.y, true, &screen, &over);
        const unsigned bit = 1u << static_cast<int>(button);
        m_buttonsHeld = down ? m_buttonsHeld | bit : m_buttonsHeld & ~bit;
        UpdateCapture();
        if (down && over && IsWindowEnabled(over))
            TakeFocusFromPopup(over, over);
        InputMouseButton(over, screen, button, down);
    }

    void OnKey(const SDL_KeyboardEvent& e) {
        const bool down = e.state == SDL_PRESSED;
        const int vk = sdl::VirtualKeyOf(e.keysym.sym);
        if (vk != 0)
            InputKey(vk, down);
        if (!down)
            return;
        const Uint16 mod = e.keysym.mod;
        const bool altGr = (mod & (KMOD_RALT | KMOD_MODE)) != 0;
        const bool alt = (mod & KMOD_LALT) != 0 && !altGr;
        const bool ctrl = (mod & KMOD_CTRL) != 0 && !altGr;
        if (ctrl && !alt)
            return; // Ctrl+key is a command, never text
        const char32_t ch =
            sdl::CharacterOf(e.keysym.sym, (mod & KMOD_SHIFT) != 0, (mod & KMOD_CAPS) != 0);
        if (ch == 0)
            return;
        // With text input on, characters come as text (the keyboard layout and the input
        // method make them); Alt shortcuts never do. Control characters of Backspace, Tab,
        // Return and Escape are made from the key by TranslateMessage.
        if (SDL_IsTextInputActive() && !alt)
            return;
        InputChar(ch);
    }

    void OnText(const char* text) {
        const Uint16 mod = SDL_GetModState();
        const bool altGr = (mod & (KMOD_RALT | KMOD_MODE)) != 0;
        // Alt+letter is a shortcut, already sent as a character with Alt held.
        if ((mod & KMOD_LALT) != 0 && !altGr)
            return;
        InputText(text);
    }

    void OnWindowEvent(const SDL_WindowEvent& e) {
        NativeWindow* n = FindById(e.windowID);
        if (!n)
            return;
        HWND hwnd = n->hwnd;
        const Uint32 now = SDL_GetTicks();
        switch (e.event) {
            case SDL_WINDOWEVENT_EXPOSED:
                InputExpose(hwnd);
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                n->surface = nullptr;
                if (!TakeEcho(n->sizeEchoes, e.data1, e.data2, now)) {
                    n->width = e.data1;
                    n->height = e.data2;
                    InputResized(hwnd, e.data1, e.data2);
                }
                break;
            case SDL_WINDOWEVENT_MOVED:
                if (!TakeEcho(n->moveEchoes, e.data1, e.data2, now)) {
                    InputMoved(hwnd, POINT{e.data1, e.data2});
                    TakeFocusFromPopup(hwnd, hwnd);
                }
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                if (!n->minimised) {
                    n->minimised = true;
                    InputMinimised(hwnd, true);
                }
                TakeFocusFromPopup(nullptr, nullptr);
                break;
            case SDL_WINDOWEVENT_RESTORED:
                if (n->minimised) {
                    n->minimised = false;
                    InputMinimised(hwnd, false);
                }
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                n->focused = true;
                if (n->popup) {
                    if (NativeWindow* owner = NativeOf(n->owner); owner && owner->shown)
                        SDL_SetWindowInputFocus(owner->window);
                } else if (m_active != hwnd || !m_appFocused) {
                    m_active = hwnd;
                    m_appFocused = true;
                    InputFocusChanged(hwnd, true);
                }
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                n->focused = false;
                m_focusCheckAt = now + kFocusSettleMs;
                if (m_focusCheckAt == 0)
                    m_focusCheckAt = 1;
                break;
            case SDL_WINDOWEVENT_LEAVE:
                // Onto another window of ours (a tooltip the pointer passes through, a pop-up):
                // the motion reported there decides where the pointer is.
                if (!PointerInAnotherWindow(*n))
                    InputMouseLeft(hwnd);
                break;
            case SDL_WINDOWEVENT_CLOSE:
                InputCloseRequest(hwnd);
                break;
            case SDL_WINDOWEVENT_HIT_TEST:
                // The press landed in the caption and went to the window manager to drag the
                // window: it still counts as a press in this window.
                if (IsWindowEnabled(hwnd))
                    TakeFocusFromPopup(hwnd, hwnd);
                break;
            default:
                break;
        }
    }

    // After the focus left one of our windows: if none has it again, the program lost it.
    void SettleFocus() {
        if (m_focusCheckAt == 0 || !SDL_TICKS_PASSED(SDL_GetTicks(), m_focusCheckAt))
            return;
        m_focusCheckAt = 0;
        for (auto& [hwnd, n] : m_windows)
            if (n.focused)
                return;
        if (!m_appFocused)
            return;
        m_appFocused = false;
        if (m_active && Find(m_active))
            InputFocusChanged(m_active, false);
        TakeFocusFromPopup(nullptr, nullptr);
    }

    void Handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_MOUSEMOTION:
                OnMotion(event.motion);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                OnButton(event.button);
                break;
            case SDL_MOUSEWHEEL:
                if (NativeWindow* n = FindById(event.wheel.windowID)) {
                    int notches = event.wheel.y;
                    if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
                        notches = -notches;
                    const POINT screen =
                        ScreenPoint(n->window, event.wheel.mouseX, event.wheel.mouseY);
                    if (notches != 0)
                        InputMouseWheel(OverAt(n, screen), screen, notches * WHEEL_DELTA);
                }
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                OnKey(event.key);
                break;
            case SDL_TEXTINPUT:
                OnText(event.text.text);
                break;
            case SDL_WINDOWEVENT:
                OnWindowEvent(event.window);
                break;
            case SDL_QUIT:
                // The session asks the program to end (SDL sends this only after the last
                // window's close request, which each window already received).
                break;
            default:
                break;
        }
    }

    // A closed window's native window, hidden and kept until the buttons are up.
    struct Retired {
        SDL_Window* window = nullptr;
        Uint32 id = 0;
    };

    std::map<HWND, NativeWindow> m_windows;
    std::map<Uint32, HWND> m_byId;
    std::vector<Retired> m_retired;
    std::map<HCURSOR, SDL_Cursor*> m_cursors;
    int m_wakeFd = -1;            // an eventfd: Wake makes it readable
    Display* m_display = nullptr; // SDL's X display connection, once a window tells it
    int m_displayFd = -1;
    bool m_modelCapture = false; // the window system holds the capture
    bool m_sdlCapture = false;   // SDL holds the pointer
    unsigned m_buttonsHeld = 0;  // bit per MouseButton
    HWND m_active = nullptr;     // the top-level window that last had the desktop's focus
    bool m_appFocused = false;   // one of our windows holds the desktop's focus
    Uint32 m_focusCheckAt = 0;   // when to check a focus loss; 0 = none pending
    int m_presents = 0;
};

SdlBackend* Running() {
    Backend* b = CurrentBackend();
    return b && std::strcmp(b->Name(), "sdl2") == 0 ? static_cast<SdlBackend*>(b) : nullptr;
}

} // namespace

std::unique_ptr<Backend> MakeSdlBackend() {
    return std::make_unique<SdlBackend>();
}

namespace sdl {

int VirtualKeyOf(int key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_LGUI:
            return VK_LWIN;
        case SDLK_RGUI:
            return VK_RWIN;
        case SDLK_APPLICATION:
            return VK_APPS;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_NUMLOCKCLEAR:
            return VK_NUMLOCK;
        case SDLK_SCROLLLOCK:
            return VK_SCROLL;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
            return VK_DECIMAL;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        // The punctuation keys of a US layout, with the values of their OEM virtual keys.
        case SDLK_SEMICOLON:
            return 0xBA;
        case SDLK_EQUALS:
            return 0xBB;
        case SDLK_COMMA:
            return 0xBC;
        case SDLK_MINUS:
            return 0xBD;
        case SDLK_PERIOD:
            return 0xBE;
        case SDLK_SLASH:
            return 0xBF;
        case SDLK_BACKQUOTE:
            return 0xC0;
        case SDLK_LEFTBRACKET:
            return 0xDB;
        case SDLK_BACKSLASH:
            return 0xDC;
        case SDLK_RIGHTBRACKET:
            return 0xDD;
        case SDLK_QUOTE:
            return 0xDE;
        default:
            return 0;
    }
}

char32_t CharacterOf(int key, bool shift, bool capsLock) {
    if (key >= SDLK_a && key <= SDLK_z) {
        const char32_t lower = U'a' + static_cast<char32_t>(key - SDLK_a);
        return shift != capsLock ? lower - U'a' + U'A' : lower;
    }
    if (key >= SDLK_0 && key <= SDLK_9)
        return shift ? 0 : U'0' + static_cast<char32_t>(key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return U'1' + static_cast<char32_t>(key - SDLK_KP_1);
    switch (key) {
        case SDLK_KP_0:
            return U'0';
        case SDLK_SPACE:
            return U' ';
        default:
            return 0;
    }
}

bool ReadNativePixels(HWND hwnd, Bitmap* out) {
    SdlBackend* backend = Running();
    return backend && out && backend->ReadPixels(hwnd, out);
}

int PresentCount() {
    SdlBackend* backend = Running();
    return backend ? backend->Presents() : 0;
}

bool DeliverPendingInput() {
    SdlBackend* backend = Running();
    if (!backend)
        return false;
    backend->SyncAndDeliver();
    return true;
}

unsigned long NativeWindowId(HWND hwnd) {
    SdlBackend* backend = Running();
    SDL_Window* window = backend ? backend->SdlWindowOf(hwnd) : nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11)
        return 0;
    return static_cast<unsigned long>(info.info.x11.window);
}

} // namespace sdl

} // namespace plat
