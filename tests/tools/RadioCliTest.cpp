// The command-line tool end to end against the simulated radio on a pseudo-terminal.

#include "tools/zelta-radiosim/SimProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Generous: the machine is shared and the sanitizer builds are slow.
constexpr int kRunTimeoutMs = 60000;

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "radiocli_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

pid_t Spawn(std::vector<std::string> args, int out, int err,
            const std::vector<std::string>& extraEnv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    if (err >= 0)
        posix_spawn_file_actions_adddup2(&actions, err, 2);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = extraEnv;
    std::vector<char*> env;
    for (std::string& e : envStrings)
        env.push_back(e.data());
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), env.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// One simulated radio, stopped with SIGTERM when the object goes.
class Radio : public radiosim::SimProcess {
public:
    explicit Radio(std::vector<std::string> options = {})
        : radiosim::SimProcess(std::string(ZELTA_BIN_DIR) + "/zelta-radiosim", std::move(options)) {
    }
};

struct CliRun {
    int status = -1; // exit status, -1 when the tool did not end normally in time
    std::string out;
    std::string err;
};

// Runs zelta-rct-cli with `args`, collecting both output streams.
CliRun Cli(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
    CliRun run;
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return run;
    args.insert(args.begin(), std::string(ZELTA_BIN_DIR) + "/zelta-rct-cli");
    pid_t pid = Spawn(args, out[1], err[1], env);
    close(out[1]);
    close(err[1]);
    auto deadline = Clock::now() + std::chrono::milliseconds(kRunTimeoutMs);
    bool outOpen = true, errOpen = true;
    while ((outOpen || errOpen) && Clock::now() < deadline) {
        pollfd p[2] = {{outOpen ? out[0] : -1, POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}};
        if (poll(p, 2, 100) <= 0)
            continue;
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP)))
                continue;
            ssize_t n = read(p[i].fd, buffer, sizeof buffer);
            if (n <= 0)
                (i == 0 ? outOpen : errOpen) = false;
            else
                (i == 0 ? run.out : run.err).append(buffer, static_cast<size_t>(n));
        }
    }
    close(out[0]);
    close(err[0]);
    if (pid <= 0)
        return run;
    if (outOpen || errOpen)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The value of `key` in Key,value output; "<missing>" when there is no such line.
std::string ValueOf(const std::string& output, const std::string& key) {
    for (const std::string& line : Lines(output)) {
        if (line.compare(0, key.size() + 1, key + ",") == 0)
            return line.substr(key.size() + 1);
    }
    return "<missing>";
}

TEST(RadioCli, UsageErrorsExitTwo) {
    CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: zelta-rct-cli"), std::string::npos);

    const std::vector<std::vector<std::string>> bad = {
        {},
        {"fly"},
        {"--baud", "1200", "connect"},
        {"--port"},
        {"write"},
        {"connect", "extra"},
        {"read", "--bandwidth", "25.0"},
        {"write", "x.cfg", "--bandwidth", "20"},
        {"write", "x.cfg", "--serial-number", "1234567890"},
        {"write", "x.cfg", "--hardware-version", "H1.00"},
        {"connect", "-o", "file"},
        {"--frobnicate", "1", "ports"},
    };
    for (const auto& args : bad) {
        CliRun run = Cli(args);
        std::string joined;
        for (const std::string& a : args)
            joined += a + " ";
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << joined;
    }
}

TEST(RadioCli, PortsListsTheExtraPortsLast) {
    Radio radio;
    ASSERT_FALSE(radio.Path().empty());
    CliRun run = Cli({"ports"}, {"ZELTA_RCT_EXTRA_PORTS=" + radio.Path() + ":/dev/zelta-none"});
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], radio.Path());
    EXPECT_EQ(lines.back(), "/dev/zelta-none");
}

TEST(RadioCli, ConnectReadExportWriteAndReadBack) {
    Radio radio;
    ASSERT_FALSE(radio.Path().empty());
    const std::string port = radio.Path();

    // Outside configuration mode the radio gives no useful answers.
    CliRun early = Cli({"--port", port, "read"});
    EXPECT_EQ(early.status, 1);
    EXPECT_NE(early.err.find("Read Error"), std::string::npos);
    EXPECT_EQ(early.out, "");

    CliRun connectRun = Cli({"--port", port, "connect"});
    EXPECT_EQ(connectRun.status, 0) << connectRun.err;
    EXPECT_NE(connectRun.err.find("Connect OK"), std::string::npos);

    std::string saved = TempPath("radio");
    CliRun readRun = Cli({"--port", port, "--baud", "38400", "read", "-o", saved});
    ASSERT_EQ(readRun.status, 0) << readRun.err;
    EXPECT_NE(readRun.err.find("Read OK"), std::string::npos);
    EXPECT_NE(readRun.err.find("Export OK"), std::string::npos);
    std::vector<std::string> lines = Lines(readRun.out);
    ASSERT_EQ(lines.size(), 34u);
    EXPECT_EQ(lines[0], "Channel0,");
    EXPECT_EQ(lines[20].substr(0, 13), "ProtocolType,");
    EXPECT_EQ(lines[28].substr(0, 9), "LowPower,");
    EXPECT_EQ(lines[29].substr(0, 10), "Bandwidth,");
    EXPECT_EQ(lines[33].substr(0, 19), "SubFirmwareVersion,");
    EXPECT_NE(ValueOf(readRun.out, "FirmwareVersion"), "");

    // The saved file holds the first 29 lines, with CR LF.
    std::string expected;
    for (size_t i = 0; i < 29; ++i)
        expected += lines[i] + "\r\n";
    EXPECT_EQ(ReadWholeFile(saved + ".cfg"), expected);

    // Edit the file: HI-TARGET, a new frequency, narrow bandwidth forces the lowest rate.
    std::string edited;
    for (size_t i = 0; i < 29; ++i) {
        std::string line = lines[i];
        if (line.rfind("Channel3,", 0) == 0)
            line = "Channel3,465.12500";
        else if (line.rfind("ProtocolType,", 0) == 0)
            line = "ProtocolType,5";
        else if (line.rfind("SRC,", 0) == 0)
            line = "SRC,300";
        edited += line + "\r\n";
    }
    std::string editedPath = TempPath("edited.cfg");
    WriteWholeFile(editedPath, edited);
    CliRun writeRun = Cli({"--port", port, "write", editedPath, "--bandwidth", "12.5",
                           "--serial-number", "ZR2699999", "--hardware-version", "H3.1"});
    EXPECT_EQ(writeRun.status, 0) << writeRun.err;
    EXPECT_NE(writeRun.err.find("Import OK"), std::string::npos);
    EXPECT_NE(writeRun.err.find("Write OK"), std::string::npos);

    CliRun back = Cli({"--port", port, "read"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(ValueOf(back.out, "Channel3"), "465.12500");
    EXPECT_EQ(ValueOf(back.out, "ProtocolType"), "5");
    EXPECT_EQ(ValueOf(back.out, "LinkBaudRate"), "0");
    EXPECT_EQ(ValueOf(back.out, "Bandwidth"), "0");
    EXPECT_EQ(ValueOf(back.out, "SRC"), "254");
    EXPECT_EQ(ValueOf(back.out, "SerialNumber"), "ZR2699999");
    EXPECT_EQ(ValueOf(back.out, "HardwareVersion"), "H3.1");

    // Without the unlocking options the identity texts are not sent.
    CliRun plain = Cli({"--port", port, "write", editedPath});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(ValueOf(Cli({"--port", port, "read"}).out, "SerialNumber"), "ZR2699999");

    CliRun disconnectRun = Cli({"--port", port, "disconnect"});
    EXPECT_EQ(disconnectRun.status, 0);
    EXPECT_NE(disconnectRun.err.find("Disconnect OK"), std::string::npos);

    std::remove((saved + ".cfg").c_str());
    std::remove(editedPath.c_str());
}

TEST(RadioCli, WriteRefusesBadFilesBeforeSending) {
    Radio radio({"--log", TempPath("refuse.log")});
    ASSERT_FALSE(radio.Path().empty());
    const std::string port = radio.Path();
    ASSERT_EQ(Cli({"--port", port, "connect"}).status, 0);

    CliRun missing = Cli({"--port", port, "write", TempPath("absent.cfg")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Import Error"), std::string::npos);

    std::string path = TempPath("bad.cfg");
    WriteWholeFile(path, "Channel1,430\r\nChannel2,500\r\nLowPower,1\r\n");
    CliRun bad = Cli({"--port", port, "write", path});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("Channel1: Invalid!"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("Write Error"), std::string::npos);
    // Only the connect reached the radio.
    std::string log = ReadWholeFile(TempPath("refuse.log"));
    EXPECT_NE(log.find("control"), std::string::npos) << log;
    EXPECT_EQ(log.find("cfg_"), std::string::npos) << log;
    std::remove(path.c_str());
    std::remove(TempPath("refuse.log").c_str());
}

TEST(RadioCli, FailuresGiveExitOneAndAMessage) {
    CliRun noPort = Cli({"--port", "/dev/zelta-no-such-port", "connect"});
    EXPECT_EQ(noPort.status, 1);
    EXPECT_NE(noPort.err.find("/dev/zelta-no-such-port"), std::string::npos);
    EXPECT_NE(noPort.err.find("Connect Error"), std::string::npos);

    Radio silent({"--fault", "noreply@control"});
    ASSERT_FALSE(silent.Path().empty());
    CliRun connectRun = Cli({"--port", silent.Path(), "connect"});
    EXPECT_EQ(connectRun.status, 1);
    EXPECT_NE(connectRun.err.find("Connect Error"), std::string::npos);

    Radio noRate({"--fault", "noreply@cfg_sbau"});
    ASSERT_FALSE(noRate.Path().empty());
    ASSERT_EQ(Cli({"--port", noRate.Path(), "connect"}).status, 0);
    std::string output = TempPath("never");
    CliRun readRun = Cli({"--port", noRate.Path(), "read", "-o", output});
    EXPECT_EQ(readRun.status, 1);
    EXPECT_NE(readRun.err.find("Read Error"), std::string::npos);
    EXPECT_EQ(readRun.out, "");
    EXPECT_NE(access((output + ".cfg").c_str(), F_OK), 0);

    Radio vanishing({"--fault", "vanish=3"});
    ASSERT_FALSE(vanishing.Path().empty());
    ASSERT_EQ(Cli({"--port", vanishing.Path(), "connect"}).status, 0);
    CliRun gone = Cli({"--port", vanishing.Path(), "read"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.err.find("Read Error"), std::string::npos);
}

TEST(RadioCli, UpgradeSendsEveryPageWithProgress) {
    std::string image = TempPath("image.bin");
    Radio radio({"--firmware-out", image});
    ASSERT_FALSE(radio.Path().empty());

    // First page, a gap the boot loader never sees, then eight pages.
    std::string firmware(4096 + 8 * 256, '\0');
    std::mt19937 random(7);
    for (char& c : firmware)
        c = static_cast<char>(random());
    std::string path = TempPath("firmware.dwn");
    WriteWholeFile(path, firmware);

    CliRun run = Cli({"--port", radio.Path(), "upgrade", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Upgrade OK"), std::string::npos);
    EXPECT_NE(run.err.find("100%"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(image), firmware.substr(0, 256) + firmware.substr(4096));

    WriteWholeFile(path, std::string(4096, 'x')); // too small to be firmware
    CliRun small = Cli({"--port", radio.Path(), "upgrade", path});
    EXPECT_EQ(small.status, 1);
    EXPECT_NE(small.err.find("Upgrade Error"), std::string::npos);

    Radio refusing({"--fault", "bad-sum=2"});
    ASSERT_FALSE(refusing.Path().empty());
    WriteWholeFile(path, firmware);
    CliRun refused = Cli({"--port", refusing.Path(), "upgrade", path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Upgrade Error"), std::string::npos);
    std::remove(path.c_str());
    std::remove(image.c_str());
}

} // namespace
