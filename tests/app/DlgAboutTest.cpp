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
            if (Pane::CControlUI* title = Pane::FindAutomationControl("@关于..."))
                seen.titleLabel = title->GetText().GetData();
            else if (Pane::CControlUI* title = Pane::FindAutomationControl("@About..."))
                seen.titleLabel = title->GetText().GetData();
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
    const Seen seen = Run(true, [](plat::HWND about) { ClickControl(about, "aboutOk"); });
    EXPECT_EQ(seen.nativeTitle, "关于...");
    EXPECT_EQ(seen.titleLabel, "关于...");
    EXPECT_EQ(seen.okText, "确定");
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_EQ(seen.rect.right - seen.rect.left, 275);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 184);
}

TEST_F(DlgAboutTest, CloseButtonEndsItInTheSecondLanguage) {
    const Seen seen = Run(false, [](plat::HWND about) { ClickControl(about, "aboutClose"); });
    EXPECT_EQ(seen.nativeTitle, "About...");
    EXPECT_EQ(seen.titleLabel, "About...");
    EXPECT_EQ(seen.okText, "OK");
    EXPECT_TRUE(seen.ownerDisabled);
}

TEST_F(DlgAboutTest, LinksOpenTheMakersAddresses) {
    std::string web;
    std::string mail;
    Run(false, [&](plat::HWND about) {
        ClickControl(about, "aboutWeb");
        web = plat::LastOpenedURL();
        ClickControl(about, "aboutMail");
        mail = plat::LastOpenedURL();
        // The links leave the window open.
        EXPECT_TRUE(plat::IsWindow(about));
        ClickControl(about, "aboutOk");
    });
    EXPECT_EQ(web, app::kMakerWeb);
    EXPECT_EQ(mail, std::string("mailto:") + app::kMakerMail);
}

TEST_F(DlgAboutTest, WindowManagerCloseEndsOnlyTheAboutWindow) {
    Run(true, [](plat::HWND about) { plat::headless::CloseRequest(about); });
    plat::MSG msg;
    bool quit = false;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        quit = quit || msg.message == plat::WM_QUIT;
    EXPECT_FALSE(quit) << "closing the About window ended the program";
    EXPECT_TRUE(plat::IsWindow(m_owner.GetHWND()));
}

TEST_F(DlgAboutTest, PaintsItsTitleBandAndBodyFrame) {
    // ZELTA_ABOUT_SHOT=FILE.png keeps a picture of the window to look at.
    const char* keep = std::getenv("ZELTA_ABOUT_SHOT");
    uint32_t band = 0;
    uint32_t frame = 0;
    bool saved = true;
    Run(true, [&](plat::HWND about) {
        plat::headless::PumpMessages();
        if (const plat::Bitmap* pixels = plat::headless::Pixels(about)) {
            // Far right of the title bar's filler, and the body's left border line.
            band = pixels->At(200, 2) & 0x00FFFFFF;
            Pane::CControlUI* ok = Pane::FindAutomationControl("aboutOk");
            const plat::RECT body = ok->Parent()->Parent()->Position();
            frame = pixels->At(body.left, (body.top + body.bottom) / 2) & 0x00FFFFFF;
        }
        if (keep != nullptr)
            saved = plat::headless::SavePng(about, keep);
        ClickControl(about, "aboutOk");
    });
    EXPECT_EQ(band, 0xD1E8F5u);
    EXPECT_EQ(frame, 0x666666u);
    EXPECT_TRUE(saved);
}

} // namespace
