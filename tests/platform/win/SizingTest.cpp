// Sizing messages, maximise and restore, monitors, and a held device context across resizes,
// on the headless backend with two displays side by side.

#include "WindowTestSupport.h"

#include "platform/gfx/Canvas.h"

namespace plat {

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(a, b);
}

namespace test {
namespace {

// The primary display, then one to its right with a 60-pixel panel along its top.
const MonitorDesc kPrimary{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}};
const MonitorDesc kSecond{RECT{1920, 0, 3200, 1024}, RECT{1920, 60, 3200, 1024}};

class SizingTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        headless::SetMonitors({kPrimary, kSecond});
    }
};

TEST_F(SizingTest, CreationAsksForLimitsAndTheClientAreaInTheDesktopsOrder) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{10, 20, 110, 70});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, top);
    EXPECT_EQ(Sequence({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}),
              (std::vector<std::pair<HWND, UINT>>{{top, WM_GETMINMAXINFO},
                                                  {top, WM_NCCREATE},
                                                  {top, WM_NCCALCSIZE},
                                                  {top, WM_CREATE},
                                                  {child, WM_NCCREATE},
                                                  {child, WM_NCCALCSIZE},
                                                  {child, WM_CREATE}}));
    // Without a frame the proposed client area is the window.
    EXPECT_EQ(Of(WM_NCCALCSIZE, top)[0].wParam, 0u);
}

TEST_F(SizingTest, DefaultLimitsMaximiseOntoTheWorkAreaOfTheWindowsMonitor) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{2000, 100, 2300, 300});
    MINMAXINFO seen;
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_GETMINMAXINFO)
            seen = *reinterpret_cast<MINMAXINFO*>(lParam);
        return std::nullopt;
    };
    ClearLog();
    EXPECT_FALSE(IsZoomed(top));
    ShowWindow(top, SW_MAXIMIZE);
    EXPECT_EQ(seen.ptMaxSize.x, 1280);
    EXPECT_EQ(seen.ptMaxSize.y, 964);
    EXPECT_EQ(seen.ptMaxPosition.y, 60) << "relative to the monitor's corner";
    EXPECT_TRUE(IsZoomed(top));
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r, kSecond.work);
    ASSERT_FALSE(Of(WM_SIZE, top).empty());
    EXPECT_EQ(Of(WM_SIZE, top).back().wParam, SIZE_MAXIMIZED);
    headless::NativeState native;
    headless::GetNativeState(top, &native);
    EXPECT_EQ(native.rect, kSecond.work) << "the display shows the new place";

    ShowWindow(top, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(top));
    GetWindowRect(top, &r);
    EXPECT_EQ(r, (RECT{2000, 100, 2300, 300}));
    EXPECT_EQ(Of(WM_SIZE, top).back().wParam, SIZE_RESTORED);

    // The system menu's maximise does the same.
    SendMessage(top, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(top));
}

// The window's own answer decides: here it keeps a 300 × 200 minimum and asks for the work area
// as the framework's window base does, and the client-area message sees the new rectangle.
TEST_F(SizingTest, TheWindowsAnswerSetsTheMaximisedPlaceAndTheTrackSizes) {
    HWND top = Make(WS_POPUP | WS_THICKFRAME | WS_VISIBLE, RECT{100, 100, 500, 400});
    std::vector<RECT> proposed;
    m_handler = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_GETMINMAXINFO) {
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
            MONITORINFO info;
            info.cbSize = sizeof info;
            GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
            mmi->ptMaxPosition =
                POINT{info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
            mmi->ptMaxSize = POINT{info.rcWork.right - info.rcWork.left - 100,
                                   info.rcWork.bottom - info.rcWork.top};
            mmi->ptMinTrackSize = POINT{300, 200};
            mmi->ptMaxTrackSize = POINT{1600, 900};
            return 0;
        }
        if (msg == WM_NCCALCSIZE && wParam != 0) {
            proposed.push_back(reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
            return WVR_REDRAW;
        }
        return std::nullopt;
    };
    SetWindowPos(top, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r, (RECT{100, 100, 400, 300})) << "no smaller than the minimum";
    ASSERT_EQ(proposed.size(), 1u);
    EXPECT_EQ(proposed[0], r);

    // The user drags the frame beyond the maximum: the window and the display keep the limit.
    InputResized(top, 2000, 950);
    GetWindowRect(top, &r);
    EXPECT_EQ(r, (RECT{100, 100, 1700, 1000}));
    headless::NativeState native;
    headless::GetNativeState(top, &native);
    EXPECT_EQ(native.rect, r);

    ShowWindow(top, SW_MAXIMIZE);
    GetWindowRect(top, &r);
    EXPECT_EQ(r, (RECT{0, 0, 1600, 900})) << "the maximised size within the track sizes";
    EXPECT_EQ(proposed.back(), r);
}

TEST_F(SizingTest, MonitorsAreFoundByPointAndWindowWithTheirDefaults) {
    MONITORINFO info;
    info.cbSize = sizeof info;
    HMONITOR primary = MonitorFromPoint(POINT{5, 5}, MONITOR_DEFAULTTONULL);
    HMONITOR second = MonitorFromPoint(POINT{1920, 0}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(primary, second);
    ASSERT_TRUE(GetMonitorInfo(second, &info));
    EXPECT_EQ(info.rcMonitor, kSecond.monitor);
    EXPECT_EQ(info.rcWork, kSecond.work);
    EXPECT_EQ(info.dwFlags, 0u);
    ASSERT_TRUE(GetMonitorInfo(primary, &info));
    EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);

    // Off every display.
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTOPRIMARY), primary);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONEAREST), second);
    EXPECT_EQ(MonitorFromPoint(POINT{-50, 2000}, MONITOR_DEFAULTTONEAREST), primary);

    // A window belongs to the display holding most of it; a window that does not exist yet (a
    // pop-up asked about before it is made) to the primary one when asked so.
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{1800, 0, 2100, 100});
    EXPECT_EQ(MonitorFromWindow(top, MONITOR_DEFAULTTONULL), second);
    EXPECT_EQ(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), primary);
    EXPECT_EQ(MonitorFromWindow(nullptr, MONITOR_DEFAULTTONULL), nullptr);
    RECT work;
    ASSERT_TRUE(GetMonitorWorkArea(top, &work));
    EXPECT_EQ(work, kSecond.work);

    MONITORINFO small;
    small.cbSize = 4;
    EXPECT_FALSE(GetMonitorInfo(primary, &small));
    EXPECT_FALSE(GetMonitorInfo(reinterpret_cast<HMONITOR>(uintptr_t{9}), &info));
}

// A device context held across size changes draws on the whole new client area, and a child's
// follows the child when it moves.
TEST_F(SizingTest, AHeldDeviceContextFollowsTheWindow) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 40, 30});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, top);
    headless::PumpMessages();
    HDC dc = GetDC(top);
    HDC childDc = GetDC(child);
    ASSERT_NE(dc, nullptr);
    MoveWindow(top, 0, 0, 120, 90, true);
    MoveWindow(child, 50, 40, 10, 10, true);
    headless::PumpMessages();
    EXPECT_EQ(dc->GetClipBox(), (RECT{0, 0, 120, 90}));
    dc->FillRect(RECT{0, 0, 200, 200}, RGB(255, 0, 0));
    childDc->FillRect(RECT{0, 0, 200, 200}, RGB(0, 0, 255));
    const Bitmap* px = headless::Pixels(top);
    EXPECT_EQ(px->At(119, 89), 0xFFFF0000u);
    EXPECT_EQ(px->At(55, 45), 0xFF0000FFu);
    EXPECT_EQ(px->At(61, 45), 0xFFFF0000u) << "the child's context stays inside the child";
    EXPECT_EQ(px->At(5, 5), 0xFFFF0000u) << "nor where the child was";
    EXPECT_TRUE(ReleaseDC(child, childDc));
    EXPECT_TRUE(ReleaseDC(top, dc));
}

} // namespace
} // namespace test
} // namespace plat
