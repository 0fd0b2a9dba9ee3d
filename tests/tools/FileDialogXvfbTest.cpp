// pane-view's open dialog on a private Xvfb display, used with xdotool as a person would: the
// name typed into the file-name field and Return choose the file, which pane-view prints.
// Skipped when Xvfb or xdotool is missing, except in CI (environment variable CI set).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// Starts `program` with `args`; `outFd` (when not -1) becomes descriptor `target` of the child.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int outFd = -1,
            int target = 1) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (outFd >= 0)
            ::dup2(outFd, target);
        const int null = ::open("/dev/null", O_WRONLY);
        if (target != 2)
            ::dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        std::_Exit(127);
    }
    return pid;
}

// Runs a command to its end and returns its standard output.
std::string Output(const std::string& program, const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = Spawn(program, args, fds[1]);
    ::close(fds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return out;
}

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
    const std::string xvfb = FindProgram("Xvfb");
    const std::string xdotool = FindProgram("xdotool");
    if (xvfb.empty() || xdotool.empty()) {
        const char* ci = std::getenv("CI");
        if (ci != nullptr && *ci != '\0')
            FAIL() << "Xvfb or xdotool is not installed (scripts/setup installs them)";
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    char folderTemplate[] = "/tmp/pane-xvfb-dialog-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    const std::string folder = folderTemplate;
    ::mkdir((folder + "/中文目录").c_str(), 0755);
    std::ofstream(folder + "/中文目录/radio.cfg") << "x";
    std::ofstream(folder + "/other.cfg") << "x";

    int displayFds[2];
    ASSERT_EQ(::pipe(displayFds), 0);
    // -noreset: without it the server resets whenever its last client leaves, and each
    // xdotool search below is such a client; a viewer connecting during a reset is refused.
    const pid_t server = Spawn(
        xvfb, {"-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
        displayFds[1], 3);
    ::close(displayFds[1]);
    const std::string number = ReadLine(displayFds[0], Clock::now() + std::chrono::seconds(20));
    ::close(displayFds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    ::unsetenv("PANE_BACKEND");
    ::unsetenv("WAYLAND_DISPLAY");

    int outFds[2];
    ASSERT_EQ(::pipe(outFds), 0);
    const std::string sample = "<FileDialog title=\"PickMe\" pattern=\"*.cfg\" folder=\"" + folder +
                               "/中文目录" + "\" mustexist=\"true\"/>";
    const pid_t viewer = Spawn(std::string(ZELTA_BIN_DIR) + "/pane-view", {sample}, outFds[1]);
    ::close(outFds[1]);

    // Wait for the dialog's window to be mapped, then type into it.
    std::string window;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    bool viewerEnded = false;
    while (window.empty() && !viewerEnded && Clock::now() < deadline) {
        window = Output(xdotool, {"search", "--onlyvisible", "--name", "PickMe"});
        viewerEnded = ::waitpid(viewer, nullptr, WNOHANG) == viewer;
    }
    ASSERT_FALSE(viewerEnded) << "pane-view ended before its dialog appeared";
    ASSERT_FALSE(window.empty()) << "the dialog did not appear";
    window = window.substr(0, window.find('\n'));
    // Keys go to the window with the input focus: wait until the dialog has it.
    while (Clock::now() < deadline && Output(xdotool, {"getwindowfocus"}).rfind(window, 0) != 0) {
        Output(xdotool, {"windowactivate", "--sync", window});
        Output(xdotool, {"windowfocus", "--sync", window});
    }
    // The dialog starts in a folder named outside ASCII; the name typed is the file's.
    Output(xdotool, {"type", "--window", window, "--delay", "15", "radio.cfg"});
    Output(xdotool, {"key", "--window", window, "Return"});

    const std::string chosen = ReadLine(outFds[0], Clock::now() + std::chrono::seconds(20));
    ::close(outFds[0]);
    EXPECT_EQ(chosen, folder + "/中文目录/radio.cfg");

    ::kill(viewer, SIGTERM);
    ::waitpid(viewer, nullptr, 0);
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    std::system(("rm -rf '" + folder + "'").c_str());
}

} // namespace
