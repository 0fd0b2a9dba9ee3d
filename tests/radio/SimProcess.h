#pragma once
// A zelta-radiosim process for the radio tests: started with the given options and a command
// log, stopped with SIGTERM when the object goes. Path() is the line to open.

#include "tools/zelta-radiosim/SimProcess.h"

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

class CSimProcess : public radiosim::SimProcess {
public:
    explicit CSimProcess(std::vector<std::string> args = {})
        : CSimProcess(WithLog(std::move(args), TempPath("sim.log"))) {}
    ~CSimProcess() {
        Stop();
        std::remove(m_log.c_str());
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
    struct Logged {
        std::vector<std::string> args;
        std::string log;
    };
    static Logged WithLog(std::vector<std::string> args, std::string log) {
        std::remove(log.c_str());
        args.push_back("--log");
        args.push_back(log);
        return {std::move(args), std::move(log)};
    }
    explicit CSimProcess(Logged logged)
        : radiosim::SimProcess(std::string(ZELTA_BIN_DIR) + "/zelta-radiosim",
                               std::move(logged.args)),
          m_log(std::move(logged.log)) {}

    std::string m_log;
};

} // namespace radio::test
