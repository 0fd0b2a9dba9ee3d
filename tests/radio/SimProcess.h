#pragma once
// A zelta-radiosim process for the radio tests: started with the given options and a command
// log, stopped with SIGTERM when the object goes. Path() is the line to open.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace radio::test {

inline std::string TempPath(const std::string& name) {
    static int counter = 0;
    return testing::TempDir() + "radio_" + std::to_string(getpid()) + "_" +
           std::to_string(++counter) + "_" + name;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

class CSimProcess {
public:
    explicit CSimProcess(std::vector<std::string> args = {}) : m_log(TempPath("sim.log")) {
        std::remove(m_log.c_str());
        args.push_back("--log");
        args.push_back(m_log);
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string program = std::string(ZELTA_BIN_DIR) + "/zelta-radiosim";
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // The first line is the path of the line to open.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{out[0], POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            if (read(out[0], &c, 1) != 1 || c == '\n')
                break;
            m_path.push_back(c);
        }
        close(out[0]);
    }
    ~CSimProcess() {
        Stop();
        std::remove(m_log.c_str());
    }
    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    const std::string& Path() const { return m_path; }

    // SIGTERM and wait: the simulator saves its files on the way out.
    void Stop() {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    // The commands received so far, one per entry, as the simulator logs them (control
    // characters escaped, "cfg_ch_n\\r"), time stamps removed.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        std::istringstream in(ReadWholeFile(m_log));
        std::string line;
        while (std::getline(in, line)) {
            size_t space = line.find(' ');
            if (space != std::string::npos)
                commands.push_back(line.substr(space + 1));
        }
        return commands;
    }

private:
    pid_t m_pid = -1;
    std::string m_path;
    std::string m_log;
};

} // namespace radio::test
