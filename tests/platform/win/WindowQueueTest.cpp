// The message queue: ordering of posted and sent messages, SendMessage from worker threads
// (blocked until the UI thread runs the call, also inside nested loops, failed after
// shutdown), quit inside nested loops, and timers on the virtual clock.

#include "WindowTestSupport.h"

#include <atomic>
#include <thread>

namespace plat::test {
namespace {

constexpr UINT kWork = WM_APP + 1;
constexpr UINT kNested = WM_APP + 2;
constexpr UINT kFromWorker = WM_APP + 3;

using QueueTest = WindowTest;

std::vector<UINT> AppMessages(const std::vector<Logged>& log) {
    std::vector<UINT> out;
    for (const Logged& l : log)
        if (l.msg >= WM_APP)
            out.push_back(l.msg);
    return out;
}

TEST_F(QueueTest, SentMessagesRunAtOncePostedOnesInOrderQuitAfterThem) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(PostMessage(w, WM_APP + 10, 0, 0));
    PostQuitMessage(3);
    EXPECT_TRUE(PostMessage(w, WM_APP + 11, 0, 0));
    EXPECT_EQ(SendMessage(w, WM_APP + 12, 0, 0), 0);
    EXPECT_EQ(AppMessages(m_log), (std::vector<UINT>{WM_APP + 12}));

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        DispatchMessage(&msg);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    // The quit waits until the posted messages, even the later one, have been handled.
    EXPECT_EQ(AppMessages(m_log), (std::vector<UINT>{WM_APP + 12, WM_APP + 10, WM_APP + 11}));
}

TEST_F(QueueTest, MessagesToDestroyedWindowsAreRefusedOrDropped) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    EXPECT_TRUE(PostMessage(w, WM_APP + 20, 0, 0));
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(PostMessage(w, WM_APP + 21, 0, 0));
    EXPECT_EQ(SendMessage(w, WM_APP + 22, 0, 0), 0);
    headless::PumpMessages();
    EXPECT_TRUE(AppMessages(m_log).empty());
    // A stale handle is never mistaken for a newer window.
    HWND again = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    EXPECT_NE(again, w);
}

TEST_F(QueueTest, WorkerSendBlocksUntilTheUiThreadRunsIt) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    std::atomic<bool> returned{false};
    std::atomic<LRESULT> result{0};
    const auto uiThread = std::this_thread::get_id();
    bool ranOnUiThread = false;
    bool workerWasWaiting = false;
    m_handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (msg != kFromWorker)
            return std::nullopt;
        ranOnUiThread = std::this_thread::get_id() == uiThread;
        workerWasWaiting = !returned.load();
        PostQuitMessage(0);
        return static_cast<LRESULT>(wParam * 2);
    };
    std::thread worker([&] {
        result = SendMessage(w, kFromWorker, 21, 0);
        returned = true;
    });
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        DispatchMessage(&msg);
    worker.join();
    EXPECT_TRUE(ranOnUiThread);
    EXPECT_TRUE(workerWasWaiting);
    EXPECT_EQ(result.load(), 42);
}

TEST_F(QueueTest, WorkerSendIsServedInsideANestedLoopAndQuitEndsBothLoops) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    std::thread worker;
    std::atomic<LRESULT> result{0};
    int nestedQuitCode = -1;
    bool innerEndedFirst = false;
    bool innerDone = false;
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == kNested) {
            // A modal loop: the worker starts only now, so its call can only be served here.
            worker = std::thread([&] { result = SendMessage(w, kFromWorker, 0, 0); });
            MSG inner;
            while (GetMessage(&inner, nullptr, 0, 0) > 0)
                DispatchMessage(&inner);
            nestedQuitCode = static_cast<int>(inner.wParam);
            innerDone = true;
            PostQuitMessage(static_cast<int>(inner.wParam)); // handed on to the outer loop
            return 0;
        }
        if (msg == kFromWorker) {
            PostQuitMessage(9);
            return 77;
        }
        return std::nullopt;
    };
    PostMessage(w, kNested, 0, 0);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        DispatchMessage(&msg);
    innerEndedFirst = innerDone;
    worker.join();
    EXPECT_EQ(result.load(), 77);
    EXPECT_EQ(nestedQuitCode, 9);
    EXPECT_TRUE(innerEndedFirst);
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(QueueTest, WorkerPostWakesAWaitingLoop) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == kWork)
            PostQuitMessage(0);
        return std::nullopt;
    };
    std::thread worker([&] { EXPECT_TRUE(PostMessage(w, kWork, 5, 6)); });
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        DispatchMessage(&msg);
    worker.join();
    ASSERT_EQ(Of(kWork).size(), 1u);
    EXPECT_EQ(Of(kWork)[0].wParam, 5u);
    EXPECT_EQ(Of(kWork)[0].lParam, 6);
}

TEST_F(QueueTest, WorkerSendFailsAtShutdownInsteadOfHanging) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    std::atomic<LRESULT> result{-1};
    // Whether the call is still queued or comes after the end, it must fail and return.
    std::thread worker([&] { result = SendMessage(w, kFromWorker, 0, 0); });
    Shutdown();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_TRUE(Of(kFromWorker).empty());
    EXPECT_EQ(SendMessage(w, kFromWorker, 0, 0), 0);
    ASSERT_TRUE(Initialise()); // for TearDown
}

// Off the UI thread a window call must not touch the window system's state: it fails as for a
// stale handle (a debug build stops at the call instead). Posting, sending and IsWindow are the
// calls other threads may make.
TEST_F(QueueTest, WindowCallsFromAnotherThreadFailInsteadOfRacing) {
    HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{10, 20, 110, 120});
    const auto offThread = [&] {
        RECT r;
        POINT pt;
        MONITORINFO info;
        info.cbSize = sizeof info;
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "FromAWorker";
        const bool anySucceeded =
            GetWindowRect(w, &r) || GetClientRect(w, &r) || ClientToScreen(w, &pt) ||
            SetWindowText(w, "worker") || ShowWindow(w, SW_HIDE) ||
            SetWindowPos(w, nullptr, 0, 0, 5, 5, 0) || GetDC(w) != nullptr || IsWindowVisible(w) ||
            IsZoomed(w) || GetParent(w) != nullptr || SetProp(w, "x", &r) || RegisterClass(wc) ||
            GetMonitorInfo(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &info) ||
            CreateWindowEx(0, kClass, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, 0, nullptr,
                           nullptr) != nullptr ||
            DestroyWindow(w) || SetFocus(w) != nullptr || InvalidateRect(w, nullptr, true);
        return !anySucceeded && IsWindow(w) && PostMessage(w, kWork, 1, 2);
    };
#ifdef NDEBUG
    bool failedCleanly = false;
    std::thread worker([&] { failedCleanly = offThread(); });
    worker.join();
    EXPECT_TRUE(failedCleanly);
    headless::PumpMessages();
    EXPECT_EQ(Of(kWork).size(), 1u);
    EXPECT_EQ(GetWindowTextString(w), "");
    RECT r;
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.right, 110);
    EXPECT_TRUE(IsWindowVisible(w));
#else
    EXPECT_DEATH(
        {
            std::thread worker(offThread);
            worker.join();
        },
        "off the UI thread");
#endif
}

TEST_F(QueueTest, TimersFireOnTheVirtualClockUntilKilled) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    const DWORD start = GetTickCount();
    EXPECT_EQ(SetTimer(w, 7, 100), 7u);
    headless::AdvanceClock(99);
    EXPECT_TRUE(Of(WM_TIMER).empty());
    headless::AdvanceClock(1);
    ASSERT_EQ(Of(WM_TIMER).size(), 1u);
    EXPECT_EQ(Of(WM_TIMER)[0].wParam, 7u);
    headless::AdvanceClock(350); // due at 200, 300 and 400
    EXPECT_EQ(Of(WM_TIMER).size(), 4u);
    EXPECT_EQ(GetTickCount() - start, 450u);

    // Setting it again restarts the interval.
    SetTimer(w, 7, 100);
    headless::AdvanceClock(60);
    EXPECT_EQ(Of(WM_TIMER).size(), 4u);
    headless::AdvanceClock(40);
    EXPECT_EQ(Of(WM_TIMER).size(), 5u);

    EXPECT_TRUE(KillTimer(w, 7));
    EXPECT_FALSE(KillTimer(w, 7));
    headless::AdvanceClock(1000);
    EXPECT_EQ(Of(WM_TIMER).size(), 5u);
}

TEST_F(QueueTest, TimersOfADestroyedWindowStop) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, w);
    SetTimer(child, 1, 50);
    SetTimer(w, 2, 50);
    DestroyWindow(w);
    ClearLog();
    headless::AdvanceClock(500);
    EXPECT_TRUE(Of(WM_TIMER).empty());
}

TEST_F(QueueTest, AutoAdvanceTakesAWaitingLoopToEachTimerDeadline) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 100, 100});
    SetTimer(w, 1, 10);
    headless::SetAutoAdvance(true);
    int ticks = 0;
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_TIMER && ++ticks == 3)
            PostQuitMessage(0);
        return std::nullopt;
    };
    // With auto-advance a waiting loop jumps to each deadline.
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        DispatchMessage(&msg);
    EXPECT_EQ(ticks, 3);
}

} // namespace
} // namespace plat::test
