// pane-view's open dialog on a private Xvfb display, used with xdotool as a person would: the
// name typed into the file-name field and Return choose the file, which pane-view prints.
// Skipped when Xvfb or xdotool is missing, except in CI (environment variable CI set).
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

using zelta::test::ProgramOutput;
using zelta::test::SpawnProgram;

// Reads a line from `fd` until the deadline.
std::string ReadLine(int fd, Clock::time_point deadline) {
    std::string line;
    while (Clock::now() < deadline) {
        pollfd pfd{fd, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&pfd, 1, static_cast<int>(left.count()) + 1) != 1)
            continue;
        char c;
        if (::read(fd, &c, 1) != 1 || c == '\n')
            break;
        line += c;
    }
    return line;
}

TEST(FileDialogXvfbTest, AFileIsPickedByTypingItsNameAndReturn) {
    if (!zelta::test::DesktopToolsReady())
        return;
    const std::string xdotool = zelta::test::FindProgram("xdotool");
    char folderTemplate[] = "/tmp/pane-xvfb-dialog-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    const std::string folder = folderTemplate;
    ::mkdir((folder + "/中文目录").c_str(), 0755);
    std::ofstream(folder + "/中文目录/radio.cfg") << "x";
    std::ofstream(folder + "/other.cfg") << "x";

    zelta::test::XvfbServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    server.UseForThisProcess();

    int outFds[2];
    ASSERT_EQ(::pipe(outFds), 0);
    const std::string sample = "<FileDialog title=\"PickMe\" pattern=\"*.cfg\" folder=\"" + folder +
                               "/中文目录" + "\" mustexist=\"true\"/>";
    const pid_t viewer =
        SpawnProgram(std::string(ZELTA_BIN_DIR) + "/pane-view", {sample}, outFds[1]);
    ::close(outFds[1]);

    // Wait for the dialog's window to be mapped, then type into it.
    std::string window;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    bool viewerEnded = false;
    while (window.empty() && !viewerEnded && Clock::now() < deadline) {
        window = ProgramOutput(xdotool, {"search", "--onlyvisible", "--name", "PickMe"});
        viewerEnded = ::waitpid(viewer, nullptr, WNOHANG) == viewer;
    }
    ASSERT_FALSE(viewerEnded) << "pane-view ended before its dialog appeared";
    ASSERT_FALSE(window.empty()) << "the dialog did not appear";
    window = window.substr(0, window.find('\n'));
    // Keys go to the window with the input focus: wait until the dialog has it.
    while (Clock::now() < deadline &&
           ProgramOutput(xdotool, {"getwindowfocus"}).rfind(window, 0) != 0) {
        ProgramOutput(xdotool, {"windowactivate", "--sync", window});
        ProgramOutput(xdotool, {"windowfocus", "--sync", window});
    }
    // The dialog starts in a folder named outside ASCII; the name typed is the file's.
    ProgramOutput(xdotool, {"type", "--window", window, "--delay", "15", "radio.cfg"});
    ProgramOutput(xdotool, {"key", "--window", window, "Return"});

    const std::string chosen = ReadLine(outFds[0], Clock::now() + std::chrono::seconds(20));
    ::close(outFds[0]);
    EXPECT_EQ(chosen, folder + "/中文目录/radio.cfg");

    ::kill(viewer, SIGTERM);
    ::waitpid(viewer, nullptr, 0);
    std::system(("rm -rf '" + folder + "'").c_str());
}

} // namespace
