#include "app/DlgAbout.h"

#include "pane/core/Automation.h"
#include "pane/core/Control.h"
#include "platform/backends/Headless.h"
#include "platform/win/Shell.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

class DlgAboutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("PANE_BACKEND", "headless", 1);
        ASSERT_TRUE(plat::Initialise());
        m_owner.Create(nullptr, "owner", plat::WS_POPUP | plat::WS_VISIBLE, 0, 100, 80, 779, 509);
        ASSERT_NE(m_owner.GetHWND(), nullptr);
    }
    void TearDown() override {
        plat::headless::SetIdleHook(nullptr);
        plat::DestroyWindow(m_owner.GetHWND());
        plat::Shutdown();
    }

    struct Seen {
        std::string nativeTitle;
        std::string titleLabel;
        std::string okText;
        bool ownerDisabled = false;
        plat::RECT rect{};
        int idleTurns = 0;
    };

    // Opens the window and, once it waits for input, records what it shows and runs `act` on
    // it (which should end it); gives up after a number of idle turns so a window that does not
    // close fails the test instead of hanging it.
    Seen Run(bool chinese, const std::function<void(plat::HWND about)>& act) {
        Seen seen;
        bool acted = false;
        plat::headless::SetIdleHook([&] {
            if (++seen.idleTurns > 50) {
                plat::headless::SetIdleHook(nullptr);
                ADD_FAILURE() << "the About window did not close";
                if (plat::HWND about = plat::GetActiveWindow())
                    plat::DestroyWindow(about);
                return;
            }
            if (acted)
                return;
            acted = true;
            const plat::HWND about = plat::GetActiveWindow();
            plat::headless::NativeState state;
            if (about != nullptr && plat::headless::GetNativeState(about, &state)) {
                seen.nativeTitle = state.title;
                seen.rect = state.rect;
            }
            seen.ownerDisabled = !plat::IsWindowEnabled(m_owner.GetHWND());
            if (Pane::CControlUI* ok = Pane::FindAutomationControl("aboutOk"))
                seen.okText = ok->GetText().GetData();
            // The title bar's label shows the same words as the native title.
            if (Pane::FindAutomationControl("@" + seen.nativeTitle) != nullptr)
                seen.titleLabel = seen.nativeTitle;
            act(about);
            // Input made here is handled inside the loop's wait; a message wakes the loop so it
            // sees whether the window is gone.
            plat::PostMessage(m_owner.GetHWND(), plat::WM_NULL, 0, 0);
        });
        app::DlgAbout about(m_owner.GetHWND(), chinese);
        plat::headless::SetIdleHook(nullptr);
        EXPECT_EQ(about.GetHWND(), nullptr) << "the window still exists";
        EXPECT_TRUE(plat::IsWindowEnabled(m_owner.GetHWND())) << "the owner stays disabled";
        return seen;
    }

    // A click at the middle of a control, through the backend's mouse.
    static void ClickControl(plat::HWND about, const char* name) {
        Pane::CControlUI* control = Pane::FindAutomationControl(name);
        ASSERT_NE(control, nullptr) << name;
        const plat::RECT rc = control->Position();
        plat::POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        plat::ClientToScreen(about, &pt);
        plat::headless::Click(pt.x, pt.y);
    }

    class Owner : public Pane::CWindowWnd {
    protected:
        const char* GetWindowClassName() const override { return "DlgAboutTestOwner"; }
    };
    Owner m_owner;
};

TEST_F(DlgAboutTest, OkEndsTheModalLoopInTheFirstLanguage) {
    // ZELTA_ABOUT_SHOT=FILE.png keeps a picture of the window to look at.
    const char* keep = std::getenv("ZELTA_ABOUT_SHOT");
    uint32_t frame = 0;
    const Seen seen = Run(true, [&](plat::HWND about) {
        // The body's left border line, drawn in its own grey.
        const plat::RECT body =
            Pane::FindAutomationControl("aboutOk")->Parent()->Parent()->Position();
        if (const plat::Bitmap* pixels = plat::headless::Pixels(about))
            frame = pixels->At(body.left, (body.top + body.bottom) / 2) & 0x00FFFFFF;
        if (keep != nullptr)
            plat::headless::SavePng(about, keep);
        ClickControl(about, "aboutOk");
    });
    EXPECT_EQ(seen.nativeTitle + seen.titleLabel + seen.okText, "关于...关于...确定");
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_EQ(seen.rect.right - seen.rect.left, 275);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 184);
    EXPECT_EQ(frame, 0x666666u);
}

TEST_F(DlgAboutTest, LinksOpenTheMakersAddressesAndCloseEndsItInTheSecondLanguage) {
    std::string opened;
    const Seen seen = Run(false, [&](plat::HWND about) {
        ClickControl(about, "aboutWeb");
        opened = plat::LastOpenedURL() + " ";
        ClickControl(about, "aboutMail");
        opened += plat::LastOpenedURL();
        ClickControl(about, "aboutClose");
    });
    EXPECT_EQ(seen.nativeTitle + seen.titleLabel + seen.okText, "About...About...OK");
    EXPECT_EQ(opened, std::string(app::kMakerWeb) + " mailto:" + app::kMakerMail);
}

TEST_F(DlgAboutTest, WindowManagerCloseEndsOnlyTheAboutWindow) {
    Run(true, [](plat::HWND about) { plat::headless::CloseRequest(about); });
    plat::MSG msg;
    bool quit = false;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        quit = quit || msg.message == plat::WM_QUIT;
    EXPECT_FALSE(quit) << "closing the About window ended the program";
}

} // namespace
