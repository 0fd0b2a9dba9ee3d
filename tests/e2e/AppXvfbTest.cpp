// The real zelta-rct window on a private Xvfb display, used with xdotool as a person would: the
// radio's line is chosen from the port list, Read is clicked, the window is dragged by its
// caption, minimised and closed. Where to click comes from the dump the program writes after
// each paint (PANE_DUMP). Skipped when Xvfb or xdotool is missing, failed then in CI (CI set).

#include "tests/e2e/AppProcess.h"
#include "tests/e2e/WindowMover.h"
#include "tests/support/XvfbServer.h"

#include "platform/base/WinTypes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <poll.h>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
using zelta::test::FindProgram;
using zelta::test::ProgramOutput;

// A control as the dump lists it, with the screen box of the window it is in.
struct Placed {
    plat::RECT window;
    plat::RECT control;
    std::string line;
};

bool ParseRect(const std::string& text, plat::RECT* box) {
    return std::sscanf(text.c_str(), "%d,%d,%d,%d", &box->left, &box->top, &box->right,
                       &box->bottom) == 4;
}

// The first control of the dump whose line holds `needle` (`"NAME"` or `text="TEXT"`); in the
// windows after the first only, when `inPopup` is set.
bool FindInDump(const std::string& dump, const std::string& needle, bool inPopup, Placed* found) {
    std::istringstream in(dump);
    plat::RECT window{};
    int windows = 0;
    for (std::string line; std::getline(in, line);) {
        const std::size_t close = line.find("\" ", line.find('"') + 1);
        if (close == std::string::npos)
            continue;
        plat::RECT box{};
        if (!ParseRect(line.substr(close + 2), &box))
            continue;
        if (line.rfind("window ", 0) == 0) {
            window = box;
            ++windows;
        } else if (line.find(needle) != std::string::npos && (!inPopup || windows > 1)) {
            *found = Placed{window, box, line};
            return true;
        }
    }
    return false;
}

bool WaitUntil(const std::function<bool()>& done,
               std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= deadline)
            return false;
        ::poll(nullptr, 0, 20);
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class AppXvfbTest : public ::testing::Test {
protected:
    std::string Dump() const { return ReadFile(home.File("dump.txt")); }

    // Waits until the dump shows a control whose line holds all of `parts` (the first is the
    // one searched for).
    bool WaitForDump(const std::vector<std::string>& parts, bool inPopup, Placed* found) {
        return WaitUntil([&] {
            if (!FindInDump(Dump(), parts.front(), inPopup, found))
                return false;
            for (const std::string& part : parts)
                if (found->line.find(part) == std::string::npos)
                    return false;
            return true;
        });
    }

    // Clicks the middle of a control, its window at `origin` on the screen.
    void Click(const Placed& at, int originX, int originY) {
        const int x = originX + (at.control.left + at.control.right) / 2;
        const int y = originY + (at.control.top + at.control.bottom) / 2;
        Xdotool({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1"});
    }
    void Click(const Placed& at) { Click(at, at.window.left, at.window.top); }

    std::string Xdotool(const std::vector<std::string>& args) {
        return ProgramOutput(xdotool, args);
    }

    // The window's place on the screen as the X server has it.
    bool WindowPlace(const std::string& window, int* x, int* y) {
        const std::string shell = Xdotool({"getwindowgeometry", "--shell", window});
        return std::sscanf(shell.substr(shell.find("X=")).c_str(), "X=%d\nY=%d", x, y) == 2;
    }

    std::string Status(const char* buttonKey) {
        return "text=\"" + LanguageText(true, buttonKey) + " " +
               LanguageText(true, "IDS_MSG_SUCCESS") + "\"";
    }

    TestHome home;
    std::string xdotool = FindProgram("xdotool");
};

TEST_F(AppXvfbTest, ReadDragMinimiseAndCloseTheWindow) {
    if (!zelta::test::DesktopToolsReady())
        return;
    zelta::test::XvfbServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    server.UseForThisProcess();
    WindowMover mover;
    ASSERT_TRUE(mover.Start(server.Display()));
    auto radio = StartRadio();
    const std::string port = radio->Path();
    ASSERT_FALSE(port.empty());

    AppProcess app(home, OnPorts({port}), {"PANE_DUMP=" + home.File("dump.txt")});
    std::string window;
    ASSERT_TRUE(WaitUntil([&] {
        window = Xdotool({"search", "--onlyvisible", "--name", "Z001"});
        return !window.empty() || !app.Running();
    }));
    ASSERT_FALSE(window.empty()) << "the window did not appear: " << app.Wait().errors;
    window = window.substr(0, window.find('\n'));

    // The radio's line is chosen from the port list's pop-up.
    Placed at;
    ASSERT_TRUE(WaitForDump({"\"port\""}, false, &at));
    Click(at);
    ASSERT_TRUE(WaitForDump({"text=\" " + port + "\""}, true, &at)) << Dump();
    Click(at);
    ASSERT_TRUE(WaitForDump({"\"port\"", "text=\" " + port + "\""}, false, &at)) << Dump();
    // Taking the row closes the pop-up, often before the button comes up; the click after it
    // must still reach the window whole.
    ASSERT_TRUE(WaitUntil([&] {
        const std::string dump = Dump();
        return dump.find("\nwindow ") == std::string::npos;
    })) << Dump();

    ASSERT_TRUE(WaitForDump({"\"btnConnect\""}, false, &at));
    Click(at);
    ASSERT_TRUE(WaitForDump({"\"status\"", Status("IDS_BUTTON_CONNECT")}, false, &at)) << Dump();
    ASSERT_TRUE(WaitForDump({"\"btnRead\""}, false, &at));
    Click(at);
    ASSERT_TRUE(WaitForDump({"\"status\"", "bk=#FF99FF99", Status("IDS_BUTTON_READ")}, false, &at))
        << Dump();
    ASSERT_TRUE(WaitForDump({"\"tx1\"", "text=\"430.00000\""}, false, &at)) << Dump();

    // Dragged by the caption band, right of the title, the window follows the pointer.
    int x = 0;
    int y = 0;
    ASSERT_TRUE(WindowPlace(window, &x, &y));
    const int grabX = x + 500;
    const int grabY = y + 15;
    Xdotool(
        {"mousemove", "--sync", std::to_string(grabX), std::to_string(grabY), "mousedown", "1"});
    ASSERT_TRUE(WaitUntil([&] { return mover.MovesBegun() == 1; })) << "no move was asked for";
    Xdotool({"mousemove", "--sync", std::to_string(grabX - 70), std::to_string(grabY + 45)});
    int movedX = 0;
    int movedY = 0;
    EXPECT_TRUE(WaitUntil([&] {
        return WindowPlace(window, &movedX, &movedY) && movedX == x - 70 && movedY == y + 45;
    })) << "the window is at "
        << movedX << "," << movedY << ", was at " << x << "," << y;
    Xdotool({"mouseup", "1"});
    ASSERT_TRUE(WaitUntil([&] { return mover.MovesEnded() == 1; }));

    // The program knows where it went: a click at the new place reaches Disconnect.
    ASSERT_TRUE(WaitForDump({"\"btnDisconnect\""}, false, &at));
    Click(at, movedX, movedY);
    ASSERT_TRUE(WaitForDump({"\"status\"", Status("IDS_BUTTON_DISCONNECT")}, false, &at)) << Dump();

    // Minimise asks for an icon; shown again, the close button ends the program.
    ASSERT_TRUE(WaitForDump({"\"btnMin\""}, false, &at));
    Click(at, movedX, movedY);
    ASSERT_TRUE(WaitUntil([&] { return mover.Iconified() == 1; })) << "minimise was not asked for";
    EXPECT_TRUE(WaitUntil([&] {
        return Xdotool({"search", "--onlyvisible", "--name", "Z001"}).empty();
    }));
    Xdotool({"windowmap", "--sync", window});
    ASSERT_TRUE(WaitForDump({"\"btnClose\""}, false, &at));
    Click(at, movedX, movedY);
    const AppRun run = app.Wait();
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(home.HasStoredSettings());
}

} // namespace
} // namespace e2e
