// Activation, focus, capture, hover tracking, the caption, double clicks and a disabled owner
// while a modal window runs, driven through synthetic input on the headless backend.

#include "WindowTestSupport.h"

namespace plat::test {
namespace {

using InputTest = WindowTest;

TEST_F(InputTest, FocusMovesBetweenTopLevelAndChildWithKillBeforeSet) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 100, 300, 200});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 10, 90, 30}, top);
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetFocus(), top); // an activated window takes the focus itself
    ClearLog();

    EXPECT_EQ(SetFocus(child), top);
    EXPECT_EQ(GetFocus(), child);
    const auto seq = Sequence({WM_SETFOCUS, WM_KILLFOCUS});
    ASSERT_EQ(seq.size(), 2u);
    EXPECT_EQ(seq[0], std::make_pair(top, WM_KILLFOCUS));
    EXPECT_EQ(seq[1], std::make_pair(child, WM_SETFOCUS));
    EXPECT_EQ(Of(WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(child));
    EXPECT_EQ(Of(WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(top));

    ClearLog();
    SetFocus(top);
    EXPECT_EQ(Sequence({WM_SETFOCUS, WM_KILLFOCUS}),
              (std::vector<std::pair<HWND, UINT>>{{child, WM_KILLFOCUS}, {top, WM_SETFOCUS}}));

    // Focusing the window that has it sends nothing; hiding the focused child clears it.
    SetFocus(child);
    ClearLog();
    SetFocus(child);
    EXPECT_TRUE(Sequence({WM_SETFOCUS, WM_KILLFOCUS}).empty());
    ShowWindow(child, SW_HIDE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(Of(WM_KILLFOCUS, child).size(), 1u);
}

TEST_F(InputTest, KeysGoToTheFocusedWindowAndCarryTheirState) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 200, 100});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20}, top);
    SetFocus(child);
    bool shiftSeen = false;
    m_handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_KEYDOWN && wParam == 'A')
            shiftSeen = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        return std::nullopt;
    };
    headless::KeyPress('A', {VK_SHIFT});
    headless::Char(U'A');
    headless::KeyPress(VK_RETURN);
    const auto downs = Of(WM_KEYDOWN, child);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>('A'));
    EXPECT_TRUE(shiftSeen);
    const auto chars = Of(WM_CHAR, child);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(U'A'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(VK_RETURN)); // made from the key
    EXPECT_TRUE(Of(WM_KEYDOWN, top).empty());
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);

    // With Alt held keys are system keys, and a letter or digit brings its character as a
    // system character (no text arrives while Alt is down), which shortcuts read.
    headless::KeyPress('F', {VK_MENU});
    headless::KeyPress('G', {VK_MENU, VK_SHIFT});
    headless::KeyPress('7', {VK_MENU});
    headless::KeyPress(VK_LEFT, {VK_MENU});
    EXPECT_FALSE(Of(WM_SYSKEYDOWN, child).empty());
    std::vector<WPARAM> sysChars;
    for (const Logged& logged : Of(WM_SYSCHAR, child))
        sysChars.push_back(logged.wParam);
    EXPECT_EQ(sysChars, (std::vector<WPARAM>{'f', 'G', '7'}));
    EXPECT_EQ(Of(WM_CHAR, child).size(), 2u);
}

TEST_F(InputTest, MouseGoesToTheChildUnderItInClientCoordinatesAndToTheCapture) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 100, 300, 200});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{20, 30, 80, 60}, top);
    headless::MouseMove(125, 135);
    ASSERT_EQ(Of(WM_MOUSEMOVE, child).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Of(WM_MOUSEMOVE, child)[0].lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(Of(WM_MOUSEMOVE, child)[0].lParam), 5);
    headless::MouseMove(110, 110);
    EXPECT_EQ(Of(WM_MOUSEMOVE, top).size(), 1u);

    // Captured, the child hears the mouse everywhere, even off the window.
    EXPECT_EQ(SetCapture(child), nullptr);
    EXPECT_TRUE(headless::MouseCaptured());
    headless::MouseMove(50, 400);
    ASSERT_EQ(Of(WM_MOUSEMOVE, child).size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(Of(WM_MOUSEMOVE, child)[1].lParam), 50 - 120);
    EXPECT_EQ(GET_Y_LPARAM(Of(WM_MOUSEMOVE, child)[1].lParam), 400 - 130);
    headless::MouseUp(50, 400);
    EXPECT_EQ(Of(WM_LBUTTONUP, child).size(), 1u);

    EXPECT_TRUE(ReleaseCapture());
    EXPECT_FALSE(headless::MouseCaptured());
    ASSERT_EQ(Of(WM_CAPTURECHANGED, child).size(), 1u);
    EXPECT_EQ(Of(WM_CAPTURECHANGED, child)[0].lParam, 0);
    headless::MouseMove(50, 400);
    EXPECT_EQ(Of(WM_MOUSEMOVE, child).size(), 2u); // nobody is under the pointer now
}

TEST_F(InputTest, MovesWaitingInTheQueueCollapseIntoTheNewest) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 200, 100});
    headless::PumpMessages();
    InputMouseMove(nullptr, POINT{10, 10});
    InputMouseMove(nullptr, POINT{20, 10});
    InputMouseButton(nullptr, POINT{20, 10}, MouseButton::Left, true);
    InputMouseMove(nullptr, POINT{30, 10});
    InputMouseMove(nullptr, POINT{40, 10});
    headless::PumpMessages();
    const auto moves = Of(WM_MOUSEMOVE, top);
    ASSERT_EQ(moves.size(), 2u); // a press between them keeps the order of events
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 20);
    EXPECT_EQ(GET_X_LPARAM(moves[1].lParam), 40);
    EXPECT_EQ(moves[1].wParam & MK_LBUTTON, MK_LBUTTON);
}

TEST_F(InputTest, HoverAfterRestingAndLeaveWhenThePointerGoes) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 200, 100});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{50, 0, 100, 50}, top);
    m_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_MOUSEMOVE && hwnd == child) {
            TRACKMOUSEEVENT tme;
            tme.dwFlags = TME_HOVER | TME_LEAVE;
            tme.hwndTrack = hwnd;
            TrackMouseEvent(&tme);
        }
        return std::nullopt;
    };
    headless::MouseMove(60, 10);
    headless::AdvanceClock(kDefaultHoverMs - 1);
    EXPECT_TRUE(Of(WM_MOUSEHOVER).empty());
    headless::AdvanceClock(1);
    ASSERT_EQ(Of(WM_MOUSEHOVER, child).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Of(WM_MOUSEHOVER, child)[0].lParam), 10);
    headless::AdvanceClock(2000);
    EXPECT_EQ(Of(WM_MOUSEHOVER, child).size(), 1u); // once per tracking request

    EXPECT_TRUE(Of(WM_MOUSELEAVE).empty());
    headless::MouseMove(20, 10); // onto the parent
    EXPECT_EQ(Of(WM_MOUSELEAVE, child).size(), 1u);
    headless::MouseMove(25, 10);
    EXPECT_EQ(Of(WM_MOUSELEAVE, child).size(), 1u);

    // Asking to track a window the pointer is not over reports the leave at once.
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = child;
    EXPECT_TRUE(TrackMouseEvent(&tme));
    headless::PumpMessages();
    EXPECT_EQ(Of(WM_MOUSELEAVE, child).size(), 2u);
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTimeAndPlace) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 200, 100});
    headless::Click(50, 50);
    headless::Click(51, 50);
    EXPECT_EQ(Of(WM_LBUTTONDOWN, top).size(), 1u);
    EXPECT_EQ(Of(WM_LBUTTONDBLCLK, top).size(), 1u);
    headless::Click(50, 50);
    headless::AdvanceClock(600);
    headless::Click(50, 50);
    headless::Click(90, 50);
    EXPECT_EQ(Of(WM_LBUTTONDOWN, top).size(), 4u);
    EXPECT_EQ(Of(WM_LBUTTONDBLCLK, top).size(), 1u);
}

TEST_F(InputTest, RightButtonUpBringsAContextMenuRequestAtScreenCoordinates) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 100, 300, 200});
    headless::Click(150, 160, MouseButton::Right);
    ASSERT_EQ(Of(WM_CONTEXTMENU, top).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Of(WM_CONTEXTMENU, top)[0].lParam), 150);
    EXPECT_EQ(GET_Y_LPARAM(Of(WM_CONTEXTMENU, top)[0].lParam), 160);
}

TEST_F(InputTest, CaptionDragMovesTheWindowAndCloseRequestBecomesSysCommand) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 100, 300, 200});
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_NCHITTEST) {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(top, &pt);
            return pt.y < 20 ? HTCAPTION : HTCLIENT;
        }
        return std::nullopt;
    };
    headless::MouseMove(150, 105);
    headless::MouseDown(150, 105);
    headless::MouseMove(180, 145);
    headless::MouseUp(180, 145);
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 130);
    EXPECT_EQ(r.top, 140);
    EXPECT_EQ(r.right - r.left, 200);
    headless::NativeState native;
    ASSERT_TRUE(headless::GetNativeState(top, &native));
    EXPECT_EQ(native.rect.left, 130);
    EXPECT_TRUE(Of(WM_LBUTTONDOWN).empty()); // the press belonged to the caption

    headless::CloseRequest(top);
    ASSERT_EQ(Of(WM_SYSCOMMAND, top).size(), 1u);
    EXPECT_EQ(Of(WM_SYSCOMMAND, top)[0].wParam, SC_CLOSE);
    EXPECT_FALSE(IsWindow(top)); // the default handling closes it
}

TEST_F(InputTest, ClickOnTheOwnerTakesTheFocusFromItsPopup) {
    HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 300, 200});
    HWND popup = Make(WS_POPUP, RECT{20, 50, 120, 150}, owner, WS_EX_TOOLWINDOW);
    m_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_KILLFOCUS && hwnd == popup)
            PostMessage(popup, WM_CLOSE, 0, 0);
        return std::nullopt;
    };
    ShowWindow(popup, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), popup);
    EXPECT_EQ(GetFocus(), popup);
    headless::Click(50, 60); // inside the pop-up: it stays
    EXPECT_TRUE(IsWindow(popup));
    EXPECT_EQ(Of(WM_LBUTTONDOWN, popup).size(), 1u);
    headless::Click(250, 180); // on the owner
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);
    EXPECT_EQ(Of(WM_LBUTTONDOWN, owner).size(), 1u);
}

TEST_F(InputTest, PopupClosesWhenItsOwnerLosesTheDesktopFocusOrMoves) {
    HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 300, 200});
    auto open = [&] {
        HWND p = Make(WS_POPUP, RECT{20, 50, 120, 150}, owner);
        ShowWindow(p, SW_SHOW);
        return p;
    };
    m_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_KILLFOCUS && hwnd != owner)
            PostMessage(hwnd, WM_CLOSE, 0, 0);
        return std::nullopt;
    };
    HWND popup = open();
    headless::FocusChanged(popup, true); // the pop-up keeps the keyboard in our model
    EXPECT_TRUE(IsWindow(popup));
    headless::FocusChanged(owner, false);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetActiveWindow(), nullptr);

    headless::FocusChanged(owner, true);
    EXPECT_EQ(GetActiveWindow(), owner);
    popup = open();
    InputMoved(owner, POINT{40, 40});
    headless::PumpMessages();
    EXPECT_FALSE(IsWindow(popup));
    RECT r;
    GetWindowRect(owner, &r);
    EXPECT_EQ(r.left, 40);
}

TEST_F(InputTest, DisabledOwnerHearsNothingWhileAModalWindowRuns) {
    HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 300, 200});
    HWND modal = nullptr;
    int step = 0;
    std::vector<std::string> seen;
    // The script runs inside the modal loop each time it would wait.
    headless::SetIdleHook([&] {
        switch (step++) {
            case 0:
                headless::Click(250, 180); // on the disabled owner
                headless::KeyPress('X');
                headless::CloseRequest(owner);
                seen.push_back(IsWindow(owner) ? "owner alive" : "owner gone");
                break;
            case 1:
                headless::Click(60, 60); // on the modal window
                headless::KeyPress(VK_ESCAPE);
                break;
            default:
                headless::SetIdleHook({});
                PostQuitMessage(1); // never reached when the modal loop ends by itself
                break;
        }
    });
    m_handler = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == modal && msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
            EnableWindow(owner, true);
            SetFocus(owner);
            DestroyWindow(modal);
            return 0;
        }
        return std::nullopt;
    };
    modal = Make(WS_POPUP | WS_VISIBLE, RECT{50, 50, 150, 150}, owner);
    EnableWindow(owner, false);
    ClearLog();
    MSG msg;
    while (IsWindow(modal) && GetMessage(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    headless::SetIdleHook({});
    EXPECT_EQ(seen, (std::vector<std::string>{"owner alive"}));
    EXPECT_TRUE(Of(WM_LBUTTONDOWN, owner).empty());
    EXPECT_TRUE(Of(WM_SYSCOMMAND, owner).empty());
    EXPECT_EQ(Of(WM_LBUTTONDOWN, modal).size(), 1u);
    EXPECT_EQ(Of(WM_KEYDOWN, modal).size(), 2u); // 'X' and Escape went to the modal window
    EXPECT_FALSE(IsWindow(modal));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetFocus(), owner);
    headless::Click(250, 180);
    EXPECT_EQ(Of(WM_LBUTTONDOWN, owner).size(), 1u);
}

TEST_F(InputTest, DestroyingTheActivePopupHandsActivationBackToItsOwner) {
    HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 300, 200});
    HWND popup = Make(WS_POPUP | WS_VISIBLE, RECT{20, 50, 120, 150}, owner);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, popup);
    SetFocus(inner);
    SetCapture(inner);
    EXPECT_EQ(GetActiveWindow(), popup);
    ClearLog();
    DestroyWindow(popup);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);
    // The window hears of its end before its children; the last word goes to the children.
    EXPECT_EQ(Sequence({WM_DESTROY, WM_NCDESTROY}),
              (std::vector<std::pair<HWND, UINT>>{{popup, WM_DESTROY},
                                                  {inner, WM_DESTROY},
                                                  {inner, WM_NCDESTROY},
                                                  {popup, WM_NCDESTROY}}));
}

TEST_F(InputTest, MinimiseIsRecordedAndTakesTheKeyboard) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 300, 200});
    SendMessage(top, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(top));
    headless::NativeState native;
    ASSERT_TRUE(headless::GetNativeState(top, &native));
    EXPECT_TRUE(native.minimised);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    ASSERT_FALSE(Of(WM_SIZE, top).empty());
    EXPECT_EQ(Of(WM_SIZE, top).back().wParam, SIZE_MINIMIZED);
    ShowWindow(top, SW_RESTORE);
    EXPECT_FALSE(IsIconic(top));
    EXPECT_EQ(GetActiveWindow(), top);
}

TEST_F(InputTest, WheelGoesToTheWindowUnderThePointerAndUpToItsParent) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 100, 300, 200});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, top);
    headless::Wheel(110, 110, -WHEEL_DELTA);
    ASSERT_EQ(Of(WM_MOUSEWHEEL, child).size(), 1u);
    ASSERT_EQ(Of(WM_MOUSEWHEEL, top).size(), 1u); // the child left it to its parent
    const Logged w = Of(WM_MOUSEWHEEL, top)[0];
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(w.wParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_X_LPARAM(w.lParam), 110); // screen coordinates
}

TEST_F(InputTest, CursorComesFromTheClassUnlessTheWindowSetsOne) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 300, 200});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 100}, top);
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    headless::MouseMove(10, 10);
    EXPECT_EQ(headless::Cursor(), IDC_ARROW);
    m_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_SETCURSOR && hwnd == child) {
            SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
            return 1;
        }
        return std::nullopt;
    };
    headless::MouseMove(20, 10);
    EXPECT_EQ(headless::Cursor(), IDC_SIZEWE);
}

} // namespace
} // namespace plat::test
