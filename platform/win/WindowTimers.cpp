// Timers and the clock. A timer's WM_TIMER is made when the queue has nothing more urgent, at
// most one per timer however late the queue is read, and the next one is due a whole interval
// after it was taken.

#include "platform/win/WindowState.h"

#include <algorithm>

namespace plat {

namespace detail {

namespace {

// The shortest interval the interface allows; shorter requests are raised to it.
constexpr DWORD kMinimumInterval = 10;

bool Due(DWORD due, DWORD now) {
    return static_cast<int32_t>(now - due) >= 0;
}

} // namespace

DWORD NextDeadline() {
    State& s = S();
    bool any = false;
    DWORD best = 0;
    const DWORD now = s.backend->Now();
    auto consider = [&](DWORD due) {
        if (!any || static_cast<int32_t>(due - best) < 0)
            best = due;
        any = true;
    };
    for (const Timer& t : s.timers)
        consider(t.due);
    if (s.track.hwnd != nullptr && s.track.hover)
        consider(s.track.hoverDue);
    if (!any)
        return kWaitForever;
    // A deadline that has passed means "now"; kWaitForever itself is never a deadline.
    if (Due(best, now))
        best = now;
    return best == kWaitForever ? best - 1 : best;
}

bool TakeDueTimer(HWND filter, MSG* out, bool remove) {
    State& s = S();
    const DWORD now = s.backend->Now();
    Timer* chosen = nullptr;
    for (Timer& t : s.timers) {
        if (!Due(t.due, now))
            continue;
        if (filter != nullptr && t.hwnd != filter)
            continue;
        if (chosen == nullptr || static_cast<int32_t>(t.due - chosen->due) < 0)
            chosen = &t;
    }
    if (chosen == nullptr)
        return false;
    *out = MSG{};
    out->hwnd = chosen->hwnd;
    out->message = WM_TIMER;
    out->wParam = chosen->id;
    if (remove)
        chosen->due = now + chosen->interval;
    return true;
}

void KillTimersOf(HWND hwnd) {
    auto& timers = S().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                 timers.end());
}

void CheckHover() {
    State& s = S();
    HoverTrack& t = s.track;
    if (t.hwnd == nullptr || !t.hover || !Due(t.hoverDue, s.backend->Now()))
        return;
    t.hover = false;
    POINT pt = s.mouse;
    ScreenToClient(t.hwnd, &pt);
    const WPARAM keys = KeyFlags();
    const HWND hwnd = t.hwnd;
    if (!t.leave)
        t.hwnd = nullptr;
    PostInput(hwnd, WM_MOUSEHOVER, keys, MAKELPARAM(pt.x, pt.y));
}

} // namespace detail

using namespace detail;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void*) {
    if (!CheckUiThread())
        return 0;
    if (hwnd != nullptr && Find(hwnd) == nullptr)
        return 0;
    State& s = S();
    const DWORD interval = std::max<DWORD>(elapseMs, kMinimumInterval);
    if (hwnd == nullptr) {
        // A timer without a window gets a fresh number of its own.
        id = s.nextThreadTimer++;
    }
    const DWORD due = s.backend->Now() + interval;
    for (Timer& t : s.timers)
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = interval;
            t.due = due;
            return id != 0 ? id : 1;
        }
    s.timers.push_back(Timer{hwnd, id, interval, due});
    return id != 0 ? id : 1;
}

bool KillTimer(HWND hwnd, UINT_PTR id) {
    if (!CheckUiThread())
        return false;
    auto& timers = S().timers;
    const auto before = timers.size();
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }),
                 timers.end());
    return timers.size() != before;
}

DWORD GetTickCount() {
    if (IsUiThread())
        return S().backend->Now();
    // Other threads read the backend through the queue's pointer.
    std::lock_guard<std::mutex> lock(Q().mutex);
    return Q().backend != nullptr ? Q().backend->Now() : 0;
}

} // namespace plat
