#pragma once
// For tests that need a real X server: a private Xvfb on a display it picks itself, started and
// awaited with a deadline and stopped again, plus the few process helpers such tests share
// (finding a program on PATH, starting one, running one for its output). Header-only; any test
// area includes it as "tests/support/XvfbServer.h". One thread at a time per object.
//
//     XvfbServer server;
//     if (!DesktopToolsReady()) return;            // skipped here, failed in CI
//     ASSERT_TRUE(server.Start()) << server.Error();
//     server.UseForThisProcess();                  // DISPLAY and SDL's driver point at it

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zelta::test {

// The full path of `name` on PATH; empty when it is not there.
inline std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
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

// Starts `program` with `args`, its standard descriptors on /dev/null except that `fd` (when not
// -1) becomes its descriptor `as`. The child is killed when the thread that started it ends, so
// a crashing test leaves no server or viewer behind. Returns the child's pid, -1 on failure.
inline pid_t SpawnProgram(const std::string& program, const std::vector<std::string>& args,
                          int fd = -1, int as = 1) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = ::open("/dev/null", O_RDWR);
        for (int target = 0; target <= 2; ++target) {
            if (target != as || fd < 0)
                ::dup2(null, target);
        }
        if (fd >= 0)
            ::dup2(fd, as);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

// Runs `program` to its end and returns its standard output; `status` (when given) gets the
// wait status, -1 when it could not be started.
inline std::string ProgramOutput(const std::string& program, const std::vector<std::string>& args,
                                 int* status = nullptr) {
    if (status != nullptr)
        *status = -1;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = SpawnProgram(program, args, fds[1], 1);
    ::close(fds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);)
        out.append(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
    ::close(fds[0]);
    int waited = -1;
    if (pid > 0 && ::waitpid(pid, &waited, 0) == pid && status != nullptr)
        *status = waited;
    return out;
}

// In a test: true when Xvfb and xdotool are installed. Otherwise the test is marked skipped (or
// failed when CI is set, since the project's setup installs both) and false comes back, so the
// test returns.
inline bool DesktopToolsReady() {
    std::string missing;
    for (const char* tool : {"Xvfb", "xdotool"}) {
        if (FindProgram(tool).empty())
            missing += std::string(missing.empty() ? "" : " and ") + tool;
    }
    if (missing.empty())
        return true;
    // The lambdas record a fatal failure or a skip for the running test; from SetUp either one
    // keeps the test body from running.
    const char* ci = std::getenv("CI");
    if (ci != nullptr && *ci != '\0')
        [&] { FAIL() << missing << " not installed (scripts/setup installs them)"; }();
    else
        [&] { GTEST_SKIP() << missing << " not installed"; }();
    return false;
}

// A private Xvfb server. Start picks a free display (Xvfb chooses it and reports it on a pipe
// once it accepts clients); the destructor stops it.
class XvfbServer {
public:
    struct Options {
        int width = 1024;
        int height = 768;
        std::chrono::milliseconds startLimit{20000};
    };

    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { Stop(); }

    // False when Xvfb is missing, exits, or names no display within the time limit; Error()
    // then says which.
    bool Start() { return Start(Options{}); }
    bool Start(const Options& options) {
        Stop();
        m_error.clear();
        const std::string program = FindProgram("Xvfb");
        if (program.empty())
            return Fail("Xvfb is not installed");
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return Fail("no pipe for the display number");
        const std::string screen =
            std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
        // -noreset: otherwise the server starts afresh whenever its last client leaves (every
        // xdotool run is such a client), and a client connecting meanwhile is refused.
        m_pid = SpawnProgram(
            program, {"-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
            fds[1], 3);
        ::close(fds[1]);
        std::string number;
        bool ended = false;
        const auto deadline = std::chrono::steady_clock::now() + options.startLimit;
        while (m_pid > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd pfd{fds[0], POLLIN, 0};
            const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR)
                continue;
            char c = 0;
            if (ready != 1 || ::read(fds[0], &c, 1) != 1) {
                ended = ready == 1; // the pipe closed: the server is gone
                break;
            }
            if (c == '\n')
                break;
            number += c;
        }
        ::close(fds[0]);
        if (m_pid <= 0)
            return Fail("Xvfb could not be started");
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
            Stop();
            return Fail(ended ? "Xvfb ended before it named a display"
                              : "Xvfb named no display in time");
        }
        m_display = ":" + number;
        return true;
    }

    // Ends the server and waits for it (killing it when it does not end within 5 s).
    void Stop() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        if (!Reaped(std::chrono::seconds(5))) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
        m_display.clear();
    }

    bool Running() const { return m_pid > 0; }
    // ":N" while running, else empty.
    const std::string& Display() const { return m_display; }
    const std::string& Error() const { return m_error; }
    pid_t Pid() const { return m_pid; }

    // Points this process, and the programs it starts from now on, at the server: DISPLAY is
    // set, SDL uses its X11 driver, and neither Wayland nor the headless backend is chosen.
    void UseForThisProcess() const {
        ::setenv("DISPLAY", m_display.c_str(), 1);
        ::setenv("SDL_VIDEODRIVER", "x11", 1);
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("PANE_BACKEND");
    }

private:
    bool Fail(const char* why) {
        m_error = why;
        return false;
    }

    // Waits for the server to end, at most `limit`; false when it is still running.
    bool Reaped(std::chrono::milliseconds limit) {
        // A pidfd turns the wait into a poll with a time limit; without one the server is
        // waited for after SIGKILL by the caller.
        const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, m_pid, 0));
        if (pidfd < 0)
            return false;
        pollfd pfd{pidfd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&pfd, 1, static_cast<int>(limit.count()));
        } while (ready < 0 && errno == EINTR);
        ::close(pidfd);
        return ready == 1 && ::waitpid(m_pid, nullptr, 0) == m_pid;
    }

    pid_t m_pid = -1;
    std::string m_display;
    std::string m_error;
};

} // namespace zelta::test
