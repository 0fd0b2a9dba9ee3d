// A combo on a real X server: the combo sample in a framework window on a private Xvfb display,
// its pop-up opened, moved through and chosen from with xdotool's pointer and keys. Skipped when
// Xvfb or xdotool is missing, except in CI (environment variable CI set), where that fails.
#include "../core/FrameworkTestSupport.h"
#include "tests/support/XvfbServer.h"

#include "pane/controls/Combo.h"
#include "pane/core/UIManager.h"
#include "platform/backends/SdlBackend.h"
#include "platform/base/Messages.h"
#include "platform/win/Window.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Pane::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kWaitLimit = std::chrono::seconds(10);
const std::string kSamples = std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/";

class ComboXvfbTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_xdotool = zelta::test::FindProgram("xdotool");
        zelta::test::XvfbServer::Options options;
        options.width = 800;
        options.height = 600;
        if (s_xdotool.empty() || !s_server.Start(options))
            return;
        s_server.UseForThisProcess();
        s_up = plat::Initialise() && !plat::IsHeadless();
    }

    static void TearDownTestSuite() {
        if (s_up)
            plat::Shutdown();
        s_server.Stop();
    }

    void SetUp() override {
        if (!zelta::test::DesktopToolsReady())
            return;
        ASSERT_TRUE(s_server.Running()) << s_server.Error();
        ASSERT_TRUE(s_up) << "the SDL2 backend did not start on " << s_server.Display();
        CUIManager::SetResourcePath(kSamples.c_str());
    }

    // Dispatches messages until `done` holds or the time limit passes, waiting for input in
    // between; a thread timer wakes the wait now and then for conditions that come with no
    // input (a child process ending). Returns whether `done` held.
    static bool Pump(const std::function<bool()>& done) {
        const plat::UINT_PTR pulse = plat::SetTimer(nullptr, 0, 20);
        const auto end = Clock::now() + kWaitLimit;
        bool ok = false;
        while (true) {
            plat::MSG msg;
            while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
                if (!CUIManager::TranslateMessage(&msg)) {
                    plat::TranslateMessage(&msg);
                    plat::DispatchMessage(&msg);
                }
            }
            if (done()) {
                ok = true;
                break;
            }
            if (Clock::now() >= end)
                break;
            plat::WaitMessage();
        }
        plat::KillTimer(nullptr, pulse);
        return ok;
    }

    // Runs xdotool while the queue is pumped, until it exits, then delivers what it caused.
    bool XdoTool(const std::vector<std::string>& args) {
        const pid_t pid = zelta::test::SpawnProgram(s_xdotool, args);
        int status = -1;
        if (!Pump([&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return false;
        }
        plat::sdl::DeliverPendingInput();
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // The screen point of a client point of the window.
    static plat::POINT Screen(plat::HWND hwnd, int x, int y) {
        plat::POINT pt{x, y};
        plat::ClientToScreen(hwnd, &pt);
        return pt;
    }

    // Whether the X server shows the native window of hwnd: our model shows a pop-up at once,
    // the server maps it a little later, and a click before that lands on what lies beneath.
    bool Viewable(plat::HWND hwnd) {
        const unsigned long id = plat::sdl::NativeWindowId(hwnd);
        if (id == 0)
            return false;
        const std::string out = zelta::test::ProgramOutput(
            s_xdotool, {"search", "--onlyvisible", "--pid", std::to_string(::getpid())});
        return ("\n" + out).find("\n" + std::to_string(id) + "\n") != std::string::npos;
    }

    bool Click(plat::POINT pt) {
        return XdoTool({"mousemove", std::to_string(pt.x), std::to_string(pt.y), "click", "1"});
    }

    static inline zelta::test::XvfbServer s_server;
    static inline std::string s_xdotool;
    static inline bool s_up = false;
};

TEST_F(ComboXvfbTest, PopupOpensByClickTakesKeysAndAClickOnARowChoosesIt) {
    MarkupWindow window("combo.xml");
    ASSERT_NE(window.Create(nullptr, "combo", plat::WS_OVERLAPPEDWINDOW, 0, 40, 40, 420, 300),
              nullptr);
    window.ShowWindow(true);
    const plat::HWND host = window.GetHWND();
    CComboUI* combo =
        static_cast<CComboUI*>(window.GetManager().FindControl("five")->Interface("Combo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(Pump([&] { return plat::IsWindowVisible(host) && combo->Width() > 0; }));

    // A click on the combo opens the pop-up below it, with the keyboard focus.
    ASSERT_TRUE(Click(Screen(host, 100, 28)));
    ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() != nullptr; }));
    const plat::HWND popup = combo->DropDownWindow()->GetHWND();
    ASSERT_TRUE(Pump([&] { return plat::GetFocus() == popup; }));
    plat::RECT rc{};
    ASSERT_TRUE(plat::GetWindowRect(popup, &rc));
    EXPECT_EQ(rc.top, Screen(host, 16, 40).y);
    EXPECT_EQ(rc.bottom - rc.top, 104);

    // Down in the open pop-up chooses the first row and closes it; the combo has the focus.
    ASSERT_TRUE(XdoTool({"key", "--clearmodifiers", "Down"}));
    ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() == nullptr && combo->IsFocused(); }));
    EXPECT_EQ(combo->GetCurSel(), 0);

    // Opened again (F4), the third row is chosen with the pointer.
    ASSERT_TRUE(XdoTool({"key", "--clearmodifiers", "F4"}));
    ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() != nullptr; }));
    const plat::HWND again = combo->DropDownWindow()->GetHWND();
    ASSERT_TRUE(Pump([&] { return plat::IsWindowVisible(again) && Viewable(again); }));
    plat::POINT row{0, 0};
    plat::ClientToScreen(again, &row);
    ASSERT_TRUE(Click(plat::POINT{row.x + 40, row.y + 1 + 2 * 20 + 10}));
    ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() == nullptr; }));
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetText(), CUIString("Item 2"));

    // A click outside the open pop-up closes it without a change.
    ASSERT_TRUE(XdoTool({"key", "--clearmodifiers", "F4"}));
    ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() != nullptr; }));
    ASSERT_TRUE(Click(Screen(host, 300, 200)));
    ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() == nullptr; }));
    EXPECT_EQ(combo->GetCurSel(), 2);
    plat::DestroyWindow(host);
    Pump([] { return true; });
}

// The pop-up closes as the button comes up on its row; the click that follows on the main window
// must arrive whole, however the pop-up's end and the pointer's events interleave on the display.
TEST_F(ComboXvfbTest, AClickAfterChoosingARowReachesTheMainWindow) {
    MarkupWindow window(R"(<Window size="320,200"><Container bkcolor="#FFF2F5F8">
        <Combo name="port" float="true" pos="16,16,200,40" bkcolor="#FFFFFFFF">
          <ListLabelElement text="Row 0" height="20" />
          <ListLabelElement text="Row 1" height="20" />
          <ListLabelElement text="Row 2" height="20" />
        </Combo>
        <Button name="read" float="true" pos="16,120,200,150" text="Read" bkcolor="#FFDDDDDD" />
        </Container></Window>)");
    ASSERT_NE(window.Create(nullptr, "choose", plat::WS_OVERLAPPEDWINDOW, 0, 40, 40, 320, 200),
              nullptr);
    window.ShowWindow(true);
    const plat::HWND host = window.GetHWND();
    CComboUI* combo =
        static_cast<CComboUI*>(window.GetManager().FindControl("port")->Interface("Combo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(Pump([&] { return plat::IsWindowVisible(host) && combo->Width() > 0; }));
    const auto clicks = [&] {
        return std::count(window.notifications.begin(), window.notifications.end(), "click read");
    };

    // Whether the pop-up is gone before the button comes up depends on timing: the cycle runs
    // many times so that both orders occur in one run.
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(Click(Screen(host, 100, 28)));
        ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() != nullptr; }));
        const plat::HWND popup = combo->DropDownWindow()->GetHWND();
        ASSERT_TRUE(Pump([&] { return plat::IsWindowVisible(popup) && Viewable(popup); }));
        plat::POINT row{0, 0};
        plat::ClientToScreen(popup, &row);
        const int chosen = round % 3;
        ASSERT_TRUE(Click(plat::POINT{row.x + 40, row.y + 1 + chosen * 20 + 10}));
        ASSERT_TRUE(Pump([&] { return combo->DropDownWindow() == nullptr; }));
        EXPECT_EQ(combo->GetCurSel(), chosen);

        const auto before = clicks();
        ASSERT_TRUE(Click(Screen(host, 100, 135)));
        ASSERT_TRUE(Pump([&] { return clicks() == before + 1; }))
            << "the click on the button after the pop-up closed was lost";
    }
    plat::DestroyWindow(host);
    Pump([] { return true; });
}

} // namespace
} // namespace Pane::test
