// The headless backend: native windows are records of what a display would show, time is a
// virtual clock, and waiting means waiting for another thread (or for the script's idle hook).

#include "platform/backends/Headless.h"

#include "platform/gfx/Image.h"
#include "platform/win/WindowState.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

namespace plat {

namespace {

// The clock starts well away from zero so that differences of tick counts never look odd.
constexpr DWORD kClockStart = 100000;

class HeadlessBackend final : public Backend {
public:
    const char* Name() const override { return "headless"; }
    bool Start() override { return true; }
    void Stop() override { m_windows.clear(); }

    bool CreateNative(HWND hwnd, const NativeWindowInfo& info) override {
        headless::NativeState& n = m_windows[hwnd];
        n = headless::NativeState{};
        n.rect = info.rect;
        n.title = info.title;
        return true;
    }
    void DestroyNative(HWND hwnd) override { m_windows.erase(hwnd); }
    void ShowNative(HWND hwnd, bool show, bool) override {
        if (auto* n = Get(hwnd))
            n->shown = show;
    }
    void MoveNative(HWND hwnd, const RECT& screenRect) override {
        if (auto* n = Get(hwnd))
            n->rect = screenRect;
    }
    void SetTitle(HWND hwnd, const std::string& title) override {
        if (auto* n = Get(hwnd))
            n->title = title;
    }
    void Activate(HWND hwnd) override {
        for (auto& [h, n] : m_windows)
            n.active = h == hwnd;
    }
    void Minimise(HWND hwnd, bool minimised) override {
        if (auto* n = Get(hwnd))
            n->minimised = minimised;
    }
    void SetOpacity(HWND hwnd, BYTE alpha) override {
        if (auto* n = Get(hwnd))
            n->opacity = alpha;
    }
    void SetRegion(HWND hwnd, const RECT& rect, int ex, int ey) override {
        if (auto* n = Get(hwnd)) {
            n->region = rect;
            n->regionEx = ex;
            n->regionEy = ey;
        }
    }
    void Present(HWND hwnd, const Bitmap&, const RECT&) override {
        if (auto* n = Get(hwnd))
            ++n->presents;
    }

    void WaitEvents(DWORD timeoutMs) override {
        if (m_idleHook) {
            // The script drives the session from here (also inside nested message loops, so it
            // can answer a modal window); it is asked again at the next wait.
            auto hook = m_idleHook;
            hook();
            return;
        }
        if (m_autoAdvance && timeoutMs != kWaitForever) {
            m_clock.fetch_add(timeoutMs);
            return;
        }
        std::unique_lock<std::mutex> lock(m_wakeMutex);
        m_wakeCv.wait(lock, [this] { return m_woken; });
        m_woken = false;
    }
    void Wake() override {
        {
            std::lock_guard<std::mutex> lock(m_wakeMutex);
            m_woken = true;
        }
        m_wakeCv.notify_all();
    }
    DWORD Now() override { return m_clock.load(); }

    void SetMouseCapture(bool captured) override { m_captured = captured; }
    void SetCursorShape(HCURSOR cursor) override { m_cursor = cursor; }
    POINT CursorPos() override { return m_pointer; }
    void SetTextInput(bool on) override { m_textInput = on; }
    void SetImeRect(const RECT& screenRect) override { m_imeRect = screenRect; }
    // Nothing is launched in memory: the link counts as opened.
    bool OpenURL(const std::string&) override { return true; }

    bool SetClipboardText(const std::string& utf8) override {
        m_clipboard = utf8;
        return true;
    }
    std::string GetClipboardText() override { return m_clipboard; }
    std::vector<MonitorDesc> Monitors() override { return m_monitors; }
    void SetIcon(HWND hwnd, const Bitmap& picture) override {
        if (auto* n = Get(hwnd))
            n->icon = picture;
    }

    headless::NativeState* Get(HWND hwnd) {
        auto it = m_windows.find(hwnd);
        return it != m_windows.end() ? &it->second : nullptr;
    }

    void Advance(DWORD ms) { m_clock.fetch_add(ms); }

    std::unordered_map<HWND, headless::NativeState> m_windows;
    std::function<void()> m_idleHook;
    bool m_autoAdvance = false;
    bool m_captured = false;
    bool m_textInput = false;
    HCURSOR m_cursor = IDC_ARROW;
    POINT m_pointer;
    RECT m_imeRect;
    // One 1920 × 1080 display with a 40-pixel panel at the bottom, until a test says otherwise.
    std::vector<MonitorDesc> m_monitors{{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}}};
    std::string m_clipboard;

private:
    std::atomic<DWORD> m_clock{kClockStart};
    std::mutex m_wakeMutex;
    std::condition_variable m_wakeCv;
    bool m_woken = false; // guarded by m_wakeMutex
};

HeadlessBackend* Current() {
    if (!detail::IsUiThread() || !detail::S().headless)
        return nullptr;
    return static_cast<HeadlessBackend*>(detail::S().backend.get());
}

} // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

namespace headless {

bool Active() {
    return Current() != nullptr;
}

DWORD Clock() {
    HeadlessBackend* b = Current();
    return b != nullptr ? b->Now() : 0;
}

void AdvanceClock(DWORD ms) {
    HeadlessBackend* b = Current();
    if (b == nullptr)
        return;
    const DWORD target = b->Now() + ms;
    PumpMessages();
    // Stop at every deadline on the way, so a long step fires a repeating timer as often as
    // real time would.
    for (;;) {
        const DWORD next = detail::NextDeadline();
        if (next == kWaitForever || static_cast<int32_t>(target - next) < 0)
            break;
        if (static_cast<int32_t>(next - b->Now()) > 0)
            b->Advance(next - b->Now());
        if (PumpMessages() == 0 && next == b->Now() && detail::NextDeadline() == next)
            break; // a deadline nothing takes (its window filtered out): do not spin
    }
    if (static_cast<int32_t>(target - b->Now()) > 0)
        b->Advance(target - b->Now());
    PumpMessages();
}

int PumpMessages() {
    if (Current() == nullptr)
        return 0;
    int count = 0;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            // Left for the script's own message loop to see.
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        TranslateMessage(&m);
        DispatchMessage(&m);
        ++count;
    }
    return count;
}

void SetIdleHook(std::function<void()> hook) {
    if (HeadlessBackend* b = Current())
        b->m_idleHook = std::move(hook);
}

void SetAutoAdvance(bool on) {
    if (HeadlessBackend* b = Current())
        b->m_autoAdvance = on;
}

void MouseMove(int x, int y) {
    HeadlessBackend* b = Current();
    if (b == nullptr)
        return;
    b->m_pointer = POINT{x, y};
    InputMouseMove(nullptr, POINT{x, y});
    PumpMessages();
}

void MouseDown(int x, int y, MouseButton button) {
    HeadlessBackend* b = Current();
    if (b == nullptr)
        return;
    b->m_pointer = POINT{x, y};
    InputMouseButton(nullptr, POINT{x, y}, button, true);
    PumpMessages();
}

void MouseUp(int x, int y, MouseButton button) {
    HeadlessBackend* b = Current();
    if (b == nullptr)
        return;
    b->m_pointer = POINT{x, y};
    InputMouseButton(nullptr, POINT{x, y}, button, false);
    PumpMessages();
}

void Click(int x, int y, MouseButton button) {
    MouseMove(x, y);
    MouseDown(x, y, button);
    MouseUp(x, y, button);
}

void DoubleClick(int x, int y) {
    Click(x, y);
    Click(x, y);
}

void Wheel(int x, int y, int delta) {
    if (Current() == nullptr)
        return;
    InputMouseWheel(nullptr, POINT{x, y}, delta);
    PumpMessages();
}

void KeyDown(int vk) {
    if (Current() == nullptr)
        return;
    InputKey(vk, true);
    PumpMessages();
}

void KeyUp(int vk) {
    if (Current() == nullptr)
        return;
    InputKey(vk, false);
    PumpMessages();
}

void KeyPress(int vk, std::initializer_list<int> modifiers) {
    for (int m : modifiers)
        KeyDown(m);
    KeyDown(vk);
    KeyUp(vk);
    for (auto it = modifiers.end(); it != modifiers.begin();)
        KeyUp(*--it);
}

void Char(char32_t ch) {
    if (Current() == nullptr)
        return;
    InputChar(ch);
    PumpMessages();
}

void Text(const std::string& utf8) {
    if (Current() == nullptr)
        return;
    InputText(utf8);
    PumpMessages();
}

void CloseRequest(HWND hwnd) {
    if (Current() == nullptr)
        return;
    InputCloseRequest(hwnd);
    PumpMessages();
}

void FocusChanged(HWND hwnd, bool focused) {
    if (Current() == nullptr)
        return;
    InputFocusChanged(hwnd, focused);
    PumpMessages();
}

bool GetNativeState(HWND hwnd, NativeState* out) {
    HeadlessBackend* b = Current();
    NativeState* n = b != nullptr ? b->Get(hwnd) : nullptr;
    if (n == nullptr)
        return false;
    if (out != nullptr)
        *out = *n;
    return true;
}

HCURSOR Cursor() {
    HeadlessBackend* b = Current();
    return b != nullptr ? b->m_cursor : 0;
}

bool TextInputOn() {
    HeadlessBackend* b = Current();
    return b != nullptr && b->m_textInput;
}

RECT ImeRect() {
    HeadlessBackend* b = Current();
    return b != nullptr ? b->m_imeRect : RECT{};
}

bool MouseCaptured() {
    HeadlessBackend* b = Current();
    return b != nullptr && b->m_captured;
}

void SetWorkArea(const RECT& rect) {
    if (HeadlessBackend* b = Current())
        b->m_monitors.front().work = rect;
}

void SetMonitors(const std::vector<MonitorDesc>& monitors) {
    HeadlessBackend* b = Current();
    if (b != nullptr && !monitors.empty())
        b->m_monitors = monitors;
}

const Bitmap* Pixels(HWND hwnd) {
    if (Current() == nullptr)
        return nullptr;
    return GetWindowBuffer(GetAncestorTopLevel(hwnd), nullptr);
}

bool SavePng(HWND hwnd, const std::string& path) {
    const Bitmap* pixels = Pixels(hwnd);
    return pixels != nullptr && WritePngFile(path, *pixels);
}

} // namespace headless
} // namespace plat
