#pragma once
// Starts zelta-radiosim as a child process for the tests and benchmarks that talk to it: the
// first line it prints is the path of the line to open. Its standard output stays open for the
// life of the process, so the simulator never writes into a closed pipe. Stopped with SIGTERM
// when the object goes (the simulator saves its state and image files on the way out).

#include <chrono>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace radiosim {

class SimProcess {
public:
    // `program` is the simulator's path; `args` its options.
    SimProcess(const std::string& program, std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_stdout = out[0];
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_stdout, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            if (read(m_stdout, &c, 1) != 1 || c == '\n')
                break;
            m_path.push_back(c);
        }
    }
    ~SimProcess() {
        Stop();
        if (m_stdout >= 0)
            close(m_stdout);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The line to open; empty when the simulator did not start.
    const std::string& Path() const { return m_path; }

    // SIGTERM, then the exit status (-1 if the process did not end normally).
    int Stop() {
        if (m_pid <= 0)
            return m_status;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }

    // Waits up to `timeoutMs` for the process to end by itself.
    bool WaitExit(int timeoutMs) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            }
            poll(nullptr, 0, 10);
        }
        return m_pid <= 0;
    }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    int m_status = -1;
    std::string m_path;
};

} // namespace radiosim
