// The message queue of the UI thread: posting from any thread, sending within and across
// threads, retrieval in the order sent calls, posted messages and input, quit, paint, timers.

#include "platform/win/WindowState.h"

#include <algorithm>

namespace plat {

namespace detail {

namespace {

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
    if (filter != nullptr) {
        bool inside = false;
        for (WindowData* w = Find(m.hwnd); w != nullptr;
             w = w->IsChild() ? Find(w->parent) : nullptr)
            if (w->handle == filter) {
                inside = true;
                break;
            }
        if (!inside)
            return false;
    }
    if (min == 0 && max == 0)
        return true;
    return m.message >= min && m.message <= max;
}

// Runs the calls other threads are waiting for. Each caller is released as soon as its call
// has run, even when the procedure sends or waits further.
void ProcessSent() {
    for (;;) {
        std::shared_ptr<SentCall> call;
        {
            std::lock_guard<std::mutex> lock(Q().mutex);
            if (Q().sent.empty())
                return;
            call = Q().sent.front();
            Q().sent.pop_front();
        }
        const LRESULT result = CallProc(call->hwnd, call->msg, call->wParam, call->lParam);
        {
            std::lock_guard<std::mutex> lock(Q().mutex);
            call->result = result;
            call->done = true;
        }
        Q().sentDone.notify_all();
    }
}

void Stamp(MSG* out) {
    out->time = S().backend->Now();
    out->pt = S().mouse;
}

bool Next(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
    ProcessSent();
    CheckHover();
    {
        std::lock_guard<std::mutex> lock(Q().mutex);
        auto& posted = Q().posted;
        for (auto it = posted.begin(); it != posted.end(); ++it) {
            if (!Matches(*it, filter, min, max))
                continue;
            *out = *it;
            if (remove)
                posted.erase(it);
            if (out->time == 0)
                out->time = S().backend->Now();
            if (remove)
                S().messageTime = out->time;
            return true;
        }
        if (Q().quit) {
            *out = MSG{};
            out->message = WM_QUIT;
            out->wParam = static_cast<WPARAM>(Q().quitCode);
            if (remove)
                Q().quit = false;
            Stamp(out);
            return true;
        }
    }
    if (TakePaint(filter, out)) {
        Stamp(out);
        return true;
    }
    FlushPresents();
    if (TakeDueTimer(filter, out, remove)) {
        Stamp(out);
        if (remove)
            S().messageTime = out->time;
        return true;
    }
    return false;
}

void Wait() {
    const DWORD deadline = NextDeadline();
    DWORD timeout = kWaitForever;
    if (deadline != kWaitForever) {
        const auto left = static_cast<int32_t>(deadline - S().backend->Now());
        timeout = left > 0 ? static_cast<DWORD>(left) : 0;
    }
    S().backend->WaitEvents(timeout);
}

} // namespace

void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = S().backend->Now();
    m.pt = S().mouse;
    std::lock_guard<std::mutex> lock(Q().mutex);
    auto& posted = Q().posted;
    // Moves pile up while the UI thread is busy: only the newest position matters.
    if (msg == WM_MOUSEMOVE && !posted.empty() && posted.back().message == WM_MOUSEMOVE &&
        posted.back().hwnd == hwnd) {
        posted.back() = m;
        return;
    }
    posted.push_back(m);
}

void ForgetWindow(HWND hwnd) {
    {
        std::lock_guard<std::mutex> lock(Q().mutex);
        Q().live.erase(hwnd);
        auto& posted = Q().posted;
        posted.erase(std::remove_if(posted.begin(), posted.end(),
                                    [hwnd](const MSG& m) { return m.hwnd == hwnd; }),
                     posted.end());
    }
    State& s = S();
    KillTimersOf(hwnd);
    if (s.focus == hwnd)
        s.focus = nullptr;
    if (s.active == hwnd)
        s.active = nullptr;
    if (s.capture == hwnd) {
        s.capture = nullptr;
        s.backend->SetMouseCapture(false);
    }
    if (s.mouseOver == hwnd)
        s.mouseOver = nullptr;
    if (s.track.hwnd == hwnd)
        s.track = HoverTrack{};
    if (s.lastClick.hwnd == hwnd)
        s.lastClick = ClickMemory{};
    if (s.dragging == hwnd)
        s.dragging = nullptr;
    if (s.textInput.erase(hwnd) != 0 && s.textInput.empty())
        s.backend->SetTextInput(false);
    s.zOrder.erase(std::remove(s.zOrder.begin(), s.zOrder.end(), hwnd), s.zOrder.end());
}

} // namespace detail

using namespace detail;

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (msg == nullptr || !CheckUiThread())
        return -1;
    for (;;) {
        if (Next(msg, hwnd, filterMin, filterMax, true))
            return msg->message == WM_QUIT ? 0 : 1;
        Wait();
    }
}

bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
    if (msg == nullptr || !CheckUiThread())
        return false;
    return Next(msg, hwnd, filterMin, filterMax, (remove & PM_REMOVE) != 0);
}

bool WaitMessage() {
    if (!CheckUiThread())
        return false;
    MSG m;
    while (!Next(&m, nullptr, 0, 0, false))
        Wait();
    return true;
}

bool TranslateMessage(const MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return false;
    // Characters of printable keys come from the keyboard layout as text; the keys below have
    // no text of their own, so their control characters are made here, as the original does.
    const int vk = static_cast<int>(msg->wParam);
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool alt = msg->message == WM_SYSKEYDOWN;
    char32_t ch = 0;
    if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)
        ch = static_cast<char32_t>(vk);
    else if (ctrl && !alt && vk >= 'A' && vk <= 'Z')
        ch = static_cast<char32_t>(vk - 'A' + 1);
    else if (alt && !ctrl && ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))) {
        // A display gives no text while Alt is held, yet the menu shortcuts of a window read
        // the letter from WM_SYSCHAR: small unless Shift is down, as a keyboard layout gives it.
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        ch = static_cast<char32_t>(vk >= 'A' && !shift ? vk - 'A' + 'a' : vk);
    }
    if (ch == 0)
        return false;
    MSG m = *msg;
    m.message = alt ? WM_SYSCHAR : WM_CHAR;
    m.wParam = static_cast<WPARAM>(ch);
    std::lock_guard<std::mutex> lock(Q().mutex);
    Q().posted.push_front(m);
    return true;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr || !CheckUiThread())
        return 0;
    WindowData* w = Find(msg->hwnd);
    if (w == nullptr)
        return 0;
    if (msg->message != WM_PAINT)
        return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    w->beganPaint = false;
    const LRESULT result = CallProc(msg->hwnd, WM_PAINT, 0, 0);
    // A procedure that answers WM_PAINT without painting would be asked again for ever.
    if ((w = Find(msg->hwnd)) != nullptr && !w->beganPaint) {
        w->update = RECT{};
        w->updateErase = false;
    }
    return result;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    std::lock_guard<std::mutex> lock(Q().mutex);
    if (!Q().running || (hwnd != nullptr && Q().live.count(hwnd) == 0))
        return false;
    Q().posted.push_back(m);
    if (Q().backend != nullptr && std::this_thread::get_id() != Q().uiThread)
        Q().backend->Wake();
    return true;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (IsUiThread())
        return CallProc(hwnd, msg, wParam, lParam);
    auto call = std::make_shared<SentCall>();
    call->hwnd = hwnd;
    call->msg = msg;
    call->wParam = wParam;
    call->lParam = lParam;
    std::unique_lock<std::mutex> lock(Q().mutex);
    if (!Q().running || Q().live.count(hwnd) == 0)
        return 0;
    Q().sent.push_back(call);
    if (Q().backend != nullptr)
        Q().backend->Wake();
    Q().sentDone.wait(lock, [&call] { return call->done; });
    return call->result;
}

void PostQuitMessage(int exitCode) {
    std::lock_guard<std::mutex> lock(Q().mutex);
    Q().quit = true;
    Q().quitCode = exitCode;
}

DWORD GetMessageTime() {
    return CheckUiThread() ? S().messageTime : 0;
}

} // namespace plat
