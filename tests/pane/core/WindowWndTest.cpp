#include "pane/core/WindowWnd.h"

#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/base/Rect.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace Pane::test {
namespace {

using plat::HWND;
using plat::RECT;

// Records the messages it handles and when its window is gone.
class Recorder : public CWindowWnd {
public:
    explicit Recorder(const char* superclass = nullptr) : m_superclass(superclass) {}
    std::vector<plat::UINT> messages;
    int finals = 0;
    HWND finalHandle = nullptr;

protected:
    const char* GetWindowClassName() const override {
        return m_superclass != nullptr ? "PaneTestSuperEdit" : "PaneTestWindow";
    }
    const char* GetSuperClassName() const override { return m_superclass; }
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override {
        messages.push_back(msg);
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void OnFinalMessage(HWND hWnd) override {
        ++finals;
        finalHandle = hWnd;
    }

private:
    const char* m_superclass;
};

class WindowWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PANE_BACKEND", "headless", 1);
        ASSERT_TRUE(plat::Initialise());
        plat::headless::SetWorkArea(RECT{0, 0, 800, 600});
    }
    void TearDown() override { plat::Shutdown(); }

    static RECT WindowRect(HWND hWnd) {
        RECT rc;
        plat::GetWindowRect(hWnd, &rc);
        return rc;
    }
};

TEST_F(WindowWndTest, CreateRoutesMessagesAndEndsWithTheFinalMessage) {
    Recorder window;
    Recorder again;
    const HWND hWnd = window.Create(nullptr, "one", plat::WS_POPUP, 0, 10, 10, 100, 50);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(window.GetHWND(), hWnd);
    // A second object registers the same class again without failing.
    ASSERT_NE(again.Create(nullptr, "two", plat::WS_POPUP, 0, 0, 0, 10, 10), nullptr);
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), plat::WM_NCCREATE);
    plat::DestroyWindow(hWnd);
    EXPECT_EQ(window.finals, 1);
    EXPECT_EQ(window.finalHandle, hWnd);
    EXPECT_EQ(window.GetHWND(), nullptr);
    EXPECT_EQ(again.finals, 0);
    // `again` goes before its window, which the shutdown destroys afterwards: the window no
    // longer reaches the object.
}

TEST_F(WindowWndTest, ASuperclassChainsToTheBaseClassProcedure) {
    Recorder edit("Edit");
    Recorder owner;
    ASSERT_NE(owner.Create(nullptr, "owner", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, 200, 100),
              nullptr);
    const HWND hWnd = edit.Create(owner, "", plat::WS_CHILD | plat::WS_VISIBLE, 0, 10, 10, 100, 20);
    ASSERT_NE(hWnd, nullptr);
    plat::SetWindowText(hWnd, "typed");
    EXPECT_EQ(plat::GetWindowTextString(hWnd), "typed");
    EXPECT_NE(std::find(edit.messages.begin(), edit.messages.end(), plat::WM_SETTEXT),
              edit.messages.end());
    plat::DestroyWindow(hWnd);
    EXPECT_EQ(edit.finals, 1);
    EXPECT_EQ(plat::GetProp(hWnd, "WndX"), nullptr);
}

TEST_F(WindowWndTest, CentringStaysInsideTheWorkArea) {
    Recorder window;
    ASSERT_NE(window.Create(nullptr, "c", plat::WS_POPUP, 0, 0, 0, 200, 100), nullptr);
    window.CenterWindow();
    RECT rc = WindowRect(window);
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 250);
    EXPECT_EQ(rc.right - rc.left, 200);

    // Centred on an owner near the corner, then pushed back inside.
    Recorder owner;
    ASSERT_NE(owner.Create(nullptr, "o", plat::WS_POPUP, 0, 650, 520, 200, 100), nullptr);
    Recorder dialog;
    ASSERT_NE(dialog.Create(owner, "d", plat::WS_POPUP, 0, 0, 0, 300, 200), nullptr);
    dialog.CenterWindow();
    rc = WindowRect(dialog);
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
}

TEST_F(WindowWndTest, AModalWindowDisablesItsOwnerAndReturnsTheCloseResult) {
    Recorder owner;
    ASSERT_NE(owner.Create(nullptr, "owner", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, 300, 200),
              nullptr);
    Recorder dialog;
    ASSERT_NE(dialog.Create(owner, "dialog", plat::WS_POPUP, 0, 50, 50, 100, 80), nullptr);
    bool ownerDisabled = false;
    plat::headless::SetIdleHook([&] {
        ownerDisabled = !plat::IsWindowEnabled(owner);
        dialog.Close(7);
        plat::headless::SetIdleHook(nullptr);
    });
    EXPECT_EQ(dialog.ShowModal(), 7u);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(plat::IsWindowEnabled(owner));
    EXPECT_EQ(dialog.GetHWND(), nullptr);
    EXPECT_EQ(plat::GetFocus(), owner.GetHWND());
}

TEST_F(WindowWndTest, AQuitDuringAModalLoopReachesTheOuterLoop) {
    Recorder owner;
    ASSERT_NE(owner.Create(nullptr, "owner", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, 300, 200),
              nullptr);
    Recorder dialog;
    ASSERT_NE(dialog.Create(owner, "dialog", plat::WS_POPUP, 0, 50, 50, 100, 80), nullptr);
    plat::headless::SetIdleHook([] {
        plat::PostQuitMessage(3);
        plat::headless::SetIdleHook(nullptr);
    });
    dialog.ShowModal();
    plat::MSG msg;
    ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE));
    EXPECT_EQ(msg.message, plat::WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(plat::IsWindowEnabled(owner));
}

} // namespace
} // namespace Pane::test
