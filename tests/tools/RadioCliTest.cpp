// The command-line tool end to end against the simulated radio on a pseudo-terminal, as root
// and as an unprivileged user.

#include "radio/PortList.h"
#include "tests/radio/SimProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <map>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <variant>
#include <vector>

extern char** environ;

namespace {

using radio::test::ReadWholeFile;
using radio::test::TempPath;
using radio::test::WriteWholeFile;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Generous: the machine is shared and the sanitizer builds are slow.
constexpr int kRunTimeoutMs = 60000;

const std::vector<std::string> kAsNobody = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup",
                                            "--clear-groups"};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A simulated radio, stopped with SIGTERM when the object goes; `prefix` runs it through
// another program (setpriv).
class Radio : public radiosim::SimProcess {
public:
    explicit Radio(std::vector<std::string> options = {},
                   const std::vector<std::string>& prefix = {})
        : radiosim::SimProcess(Program(prefix), Arguments(prefix, std::move(options))) {}

private:
    static std::string Program(const std::vector<std::string>& prefix) {
        return prefix.empty() ? SimPath() : prefix.front();
    }
    static std::vector<std::string> Arguments(const std::vector<std::string>& prefix,
                                              std::vector<std::string> options) {
        if (prefix.empty())
            return options;
        std::vector<std::string> args(prefix.begin() + 1, prefix.end());
        args.push_back(SimPath());
        args.insert(args.end(), options.begin(), options.end());
        return args;
    }
    static std::string SimPath() { return std::string(ZELTA_BIN_DIR) + "/zelta-radiosim"; }
};

// How often the radio received `command` (as its log shows it, "cfg_ch_n\\r").
int Count(const radio::test::CSimProcess& radio, const std::string& command) {
    int n = 0;
    for (const std::string& c : radio.Commands())
        n += c == command;
    return n;
}

struct CliRun {
    int status = -1; // exit status, -1 when the tool did not end normally in time
    std::string out;
    std::string err;
    int64_t ms = 0; // how long it ran
};

struct RunOptions {
    std::vector<std::string> env;
    std::vector<std::string> prefix; // kAsNobody to run as an unprivileged user
    std::string stdoutPath;          // standard output into this file instead of a pipe
};

RunOptions WithEnv(std::vector<std::string> env) {
    RunOptions options;
    options.env = std::move(env);
    return options;
}
RunOptions AsNobody() {
    RunOptions options;
    options.prefix = kAsNobody;
    return options;
}
RunOptions StdoutTo(const std::string& path) {
    RunOptions options;
    options.stdoutPath = path;
    return options;
}

// zelta-rct-cli running with `args`; Wait collects both output streams and the status.
class CliProcess {
public:
    CliProcess(std::vector<std::string> args, const RunOptions& options = {}) {
        if (pipe(m_out) != 0 || pipe(m_err) != 0)
            return;
        args.insert(args.begin(), std::string(ZELTA_BIN_DIR) + "/zelta-rct-cli");
        args.insert(args.begin(), options.prefix.begin(), options.prefix.end());
        int out = m_out[1];
        if (!options.stdoutPath.empty())
            out = open(options.stdoutPath.c_str(), O_WRONLY | O_CLOEXEC);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out, 1);
        posix_spawn_file_actions_adddup2(&actions, m_err[1], 2);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envStrings = options.env;
        std::vector<char*> env;
        for (std::string& e : envStrings)
            env.push_back(e.data());
        for (char** e = environ; *e; ++e)
            env.push_back(*e);
        env.push_back(nullptr);
        m_start = Clock::now();
        if (posix_spawn(&m_pid, args[0].c_str(), &actions, nullptr, argv.data(), env.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (out != m_out[1])
            close(out);
        close(m_out[1]);
        close(m_err[1]);
    }

    CliRun Wait() {
        CliRun run;
        auto deadline = Clock::now() + std::chrono::milliseconds(kRunTimeoutMs);
        bool open[2] = {true, true};
        int fds[2] = {m_out[0], m_err[0]};
        while ((open[0] || open[1]) && Clock::now() < deadline) {
            pollfd p[2] = {{open[0] ? fds[0] : -1, POLLIN, 0}, {open[1] ? fds[1] : -1, POLLIN, 0}};
            if (poll(p, 2, 100) <= 0)
                continue;
            char buffer[4096];
            for (int i = 0; i < 2; ++i) {
                if (!(p[i].revents & (POLLIN | POLLHUP)))
                    continue;
                ssize_t n = read(fds[i], buffer, sizeof buffer);
                if (n <= 0)
                    open[i] = false;
                else
                    (i == 0 ? run.out : run.err).append(buffer, static_cast<size_t>(n));
            }
        }
        close(fds[0]);
        close(fds[1]);
        if (m_pid <= 0)
            return run;
        if (open[0] || open[1])
            kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
        return run;
    }

private:
    pid_t m_pid = -1;
    int m_out[2] = {-1, -1};
    int m_err[2] = {-1, -1};
    Clock::time_point m_start;
};

CliRun Cli(std::vector<std::string> args, const RunOptions& options = {}) {
    return CliProcess(std::move(args), options).Wait();
}

// Waits until `done` holds, at most `timeoutMs`.
template <typename Condition>
bool WaitFor(Condition done, int timeoutMs = 20000) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        poll(nullptr, 0, 5);
    }
    return true;
}

// A JSON value, parsed strictly enough to catch what a script's parser would refuse.
struct Json {
    std::variant<std::nullptr_t, bool, double, std::string, std::vector<Json>,
                 std::map<std::string, Json>>
        value;
    const Json& operator[](const std::string& key) const {
        static const Json missing{std::string("<missing>")};
        const auto* object = std::get_if<std::map<std::string, Json>>(&value);
        auto it = object ? object->find(key) : decltype(object->find(key)){};
        return object && it != object->end() ? it->second : missing;
    }
};

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : m_text(text) {}

    // False unless the whole text is one value.
    bool Parse(Json& json) {
        bool ok = Value(json);
        Space();
        return ok && m_at == m_text.size();
    }

private:
    void Space() {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
    }
    bool Take(char c) {
        Space();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        size_t n = std::strlen(word);
        if (m_text.compare(m_at, n, word) != 0)
            return false;
        m_at += n;
        return true;
    }
    bool String(std::string& out) {
        if (!Take('"'))
            return false;
        while (m_at < m_text.size()) {
            unsigned char c = static_cast<unsigned char>(m_text[m_at++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_at >= m_text.size())
                return false;
            char e = m_text[m_at++];
            const std::string simple = "\"\\/bfnrt";
            const std::string meaning = "\"\\/\b\f\n\r\t";
            if (size_t k = simple.find(e); k != std::string::npos) {
                out += meaning[k];
            } else if (e == 'u' && m_at + 4 <= m_text.size()) {
                out += static_cast<char>(std::stoi(m_text.substr(m_at, 4), nullptr, 16));
                m_at += 4;
            } else {
                return false;
            }
        }
        return false;
    }
    bool Value(Json& json) {
        Space();
        if (m_at >= m_text.size())
            return false;
        char c = m_text[m_at];
        if (c == '{') {
            ++m_at;
            std::map<std::string, Json> object;
            if (!Take('}')) {
                do {
                    std::string key;
                    Json member;
                    if (!String(key) || !Take(':') || !Value(member))
                        return false;
                    object[key] = member;
                } while (Take(','));
                if (!Take('}'))
                    return false;
            }
            json.value = object;
            return true;
        }
        if (c == '[') {
            ++m_at;
            std::vector<Json> array;
            if (!Take(']')) {
                do {
                    Json item;
                    if (!Value(item))
                        return false;
                    array.push_back(item);
                } while (Take(','));
                if (!Take(']'))
                    return false;
            }
            json.value = array;
            return true;
        }
        if (c == '"') {
            std::string text;
            if (!String(text))
                return false;
            json.value = text;
            return true;
        }
        if (Word("null")) {
            json.value = nullptr;
            return true;
        }
        if (Word("true") || Word("false")) {
            json.value = m_text[m_at - 1] == 'e' && m_text[m_at - 2] == 'u';
            return true;
        }
        size_t end = m_at;
        while (end < m_text.size() && std::strchr("+-.0123456789eE", m_text[end]))
            ++end;
        if (end == m_at)
            return false;
        json.value = std::stod(m_text.substr(m_at, end - m_at));
        m_at = end;
        return true;
    }

    const std::string& m_text;
    size_t m_at = 0;
};

TEST(RadioCli, HelpVersionAndUsageErrors) {
    CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* part : {"usage: zelta-rct-cli", "ports", "connect", "disconnect", "read",
                             "write FILE", "diff FILE", "upgrade FILE", "--trace[=FILE]",
                             "--no-backup", "--no-verify", "--dry-run", "--format", "exit status"})
        EXPECT_TRUE(Contains(help.out, part)) << part;

    CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("zelta-rct-cli ", 0), 0u) << version.out;

    const std::vector<std::vector<std::string>> bad = {
        {},
        {"fly"},
        {"--baud", "1200", "connect"},
        {"--baud=1200", "connect"},
        {"--port"},
        {"--port=", "connect"},
        {"write"},
        {"connect", "extra"},
        {"read", "--bandwidth", "25.0"},
        {"read", "--format", "xml"},
        {"write", "x.cfg", "--bandwidth=20"},
        {"write", "x.cfg", "--serial-number", "1234567890"},
        {"write", "x.cfg", "--hardware-version", "H1.00"},
        {"write", "x.cfg", "--dry-run=yes"},
        {"connect", "-o", "file"},
        {"diff", "x.cfg", "--no-verify"},
        {"--frobnicate", "ports"},
        {"connect", "--", "--port"},
    };
    for (const auto& args : bad) {
        CliRun run = Cli(args);
        std::string joined;
        for (const std::string& a : args)
            joined += a + " ";
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_EQ(Lines(run.err).size(), 1u) << joined << run.err;
        EXPECT_TRUE(Contains(run.err, "try 'zelta-rct-cli --help'")) << joined << run.err;
        EXPECT_EQ(run.out, "") << joined;
    }

    // Standard output that cannot be written fails the command.
    CliRun full = Cli({"--help"}, StdoutTo("/dev/full"));
    EXPECT_EQ(full.status, 4);
    EXPECT_TRUE(Contains(full.err, "standard output: No space left on device")) << full.err;
}

// The example of the README: connect, then read, twice in a row; then disconnect.
void RunReadmeExample(const std::string& port, const RunOptions& options) {
    for (int round = 0; round < 2; ++round) {
        CliRun connectRun = Cli({"--port", port, "connect"}, options);
        EXPECT_EQ(connectRun.status, 0) << connectRun.err;
        EXPECT_EQ(connectRun.err, "Connect OK\n");
        CliRun readRun = Cli({"--port", port, "read"}, options);
        EXPECT_EQ(readRun.status, 0) << readRun.err;
        EXPECT_TRUE(Contains(readRun.out, "Protocol: TRIMTALK\n")) << readRun.out;
    }
    EXPECT_EQ(Cli({"--port", port, "disconnect"}, options).status, 0);
}

TEST(RadioCli, ReadmeExampleTwiceInARowAsRootAndAsAUser) {
    {
        Radio radio;
        ASSERT_FALSE(radio.Path().empty());
        RunReadmeExample(radio.Path(), {});
    }
    {
        // The simulator runs as the same user, so its terminal belongs to that user.
        Radio radio({}, kAsNobody);
        ASSERT_FALSE(radio.Path().empty());
        RunReadmeExample(radio.Path(), AsNobody());
    }
    {
        // Root's terminal: the user may not open it, and is told the cure.
        Radio radio;
        ASSERT_FALSE(radio.Path().empty());
        CliRun denied = Cli({"--port", radio.Path(), "connect"}, AsNobody());
        EXPECT_EQ(denied.status, 3);
        EXPECT_TRUE(Contains(denied.err, "Connect Error: " + radio.Path())) << denied.err;
        struct stat info {};
        ASSERT_EQ(stat(radio.Path().c_str(), &info), 0);
        const group* owner = getgrgid(info.st_gid);
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(
            Contains(denied.err, "sudo usermod -aG " + std::string(owner->gr_name) + " $USER"))
            << denied.err;
    }
}

TEST(RadioCli, WhatIsNoSerialPortIsRefusedAndLeftAlone) {
    std::string file = TempPath("radio.cfg");
    const std::string contents = "Channel1,430.12500\r\n";
    WriteWholeFile(file, contents);
    std::string folder = TempPath("folder");
    fs::create_directories(folder);
    for (const std::string& port :
         {file, folder, std::string("/dev/null"), std::string("/dev/zero"), TempPath("absent")}) {
        CliRun run = Cli({"--port", port, "connect"});
        EXPECT_EQ(run.status, 3) << port << run.err;
        EXPECT_TRUE(Contains(run.err, "Connect Error: " + port + ": ")) << run.err;
        EXPECT_LT(run.ms, 5000) << port;
    }
    EXPECT_EQ(ReadWholeFile(file), contents);
    fs::remove(file);
    fs::remove(folder);
}

TEST(RadioCli, SecondProgramOnAPortIsRefusedAtOnceAndTheFirstFinishes) {
    std::string image = TempPath("busy-image.bin");
    radio::test::CSimProcess radio({"--firmware-out", image});
    ASSERT_FALSE(radio.Path().empty());
    std::string firmware(4096 + 24 * 256, '\0');
    std::mt19937 random(3);
    for (char& c : firmware)
        c = static_cast<char>(random());
    std::string path = TempPath("busy.dwn");
    WriteWholeFile(path, firmware);

    CliProcess upgrade({"--port", radio.Path(), "upgrade", path});
    ASSERT_TRUE(WaitFor([&] { return Count(radio, "write page") >= 2; }));
    CliRun second = Cli({"--port", radio.Path(), "connect"});
    EXPECT_EQ(second.status, 3) << second.err;
    EXPECT_TRUE(Contains(second.err, "another program holds the port")) << second.err;
    EXPECT_LT(second.ms, 2000);

    CliRun first = upgrade.Wait();
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(Contains(first.err, "Upgrade OK")) << first.err;
    EXPECT_EQ(ReadWholeFile(image), firmware.substr(0, 256) + firmware.substr(4096));
    EXPECT_EQ(Count(radio, "control\\r"), 0);
    fs::remove(path);
    fs::remove(image);
}

// "2026-12-08 13:40:47.343 -> …": a date, a time to the millisecond, a direction.
bool IsTraceLine(const std::string& line) {
    const std::string shape = "dddd-dd-dd dd:dd:dd.ddd ";
    if (line.size() < shape.size() + 3)
        return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        bool digit = line[i] >= '0' && line[i] <= '9';
        if (shape[i] == 'd' ? !digit : line[i] != shape[i])
            return false;
    }
    std::string direction = line.substr(shape.size(), 3);
    return direction == "-> " || direction == "<- " || direction == "-- ";
}

// A .cfg file that a write accepts.
std::string CompleteCfg() {
    std::string text;
    for (const char* key : {"Channel", "RXChannel"}) {
        for (int slot = 1; slot <= 8; ++slot)
            text += key + std::to_string(slot) + ",440.00000\r\n";
    }
    return text + "ProtocolType,0\r\nCurrentChannel,0\r\nPortBaudRate,2\r\nLinkBaudRate,1\r\n"
                  "workMode,1\r\nSRC,1\r\nDST,255\r\nHighPower,0\r\nLowPower,0\r\n";
}

// A .cfg file as `read --format cfg -o` saved it, with one line replaced.
std::string Edited(const std::string& cfg, const std::string& key, const std::string& value) {
    std::string out;
    for (const std::string& line : Lines(cfg))
        out += (line.rfind(key + ",", 0) == 0 ? key + "," + value + "\r" : line) + "\n";
    return out;
}

TEST(RadioCli, WriteIsBackedUpCheckedTracedAndCanBeTriedDry) {
    radio::test::CSimProcess radio;
    ASSERT_FALSE(radio.Path().empty());
    const std::string port = radio.Path();
    std::string data = TempPath("data");
    RunOptions env = WithEnv({"XDG_DATA_HOME=" + data});
    ASSERT_EQ(Cli({"--port", port, "connect"}).status, 0);
    std::string original = TempPath("original");
    ASSERT_EQ(Cli({"--port", port, "read", "--format=cfg", "-o", original}).status, 0);
    std::string before = ReadWholeFile(original + ".cfg");
    const size_t readQueries = radio.Commands().size() - 1; // after the connect
    ASSERT_TRUE(Contains(before, "Channel1,430.00000\r\n"));

    // The radio keeps five decimals: the extra digits cannot stick.
    std::string edited = TempPath("edited.cfg");
    WriteWholeFile(edited,
                   Edited(Edited(before, "Channel1", "430.1234567"), "Channel3", "465.12500"));

    size_t received = radio.Commands().size();
    CliRun dry = Cli({"write", "--dry-run", edited}, env);
    EXPECT_EQ(dry.status, 0) << dry.err;
    std::vector<std::string> planned = Lines(dry.out);
    ASSERT_GE(planned.size(), 16u);
    EXPECT_EQ(planned[0], "cfg_ch_1 430.1234567");
    EXPECT_EQ(planned[2], "cfg_ch_3 465.12500");
    EXPECT_EQ(planned[8], "cfg_rx_ch_1 430.00000");
    EXPECT_EQ(radio.Commands().size(), received);
    EXPECT_FALSE(fs::exists(data));

    CliRun diff = Cli({"--port", port, "diff", edited});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_EQ(diff.out, "Channel1: file 430.1234567, radio 430.00000\n"
                        "Channel3: file 465.12500, radio 431.00000\n");

    std::string trace = TempPath("trace.log");
    received = radio.Commands().size();
    CliRun write = Cli({"--port", port, "--trace=" + trace, "write", edited}, env);
    EXPECT_EQ(write.status, 1) << write.err;
    EXPECT_TRUE(Contains(write.err, "Write OK\n")) << write.err;
    EXPECT_TRUE(
        Contains(write.err, "Verify: Channel1: wrote 430.1234567, the radio holds 430.12346\n"))
        << write.err;
    EXPECT_FALSE(Contains(write.err, "Channel3: wrote")) << write.err;

    // The backup holds the radio as it was before the write, named with its serial number.
    std::vector<fs::path> backups;
    for (const auto& entry : fs::directory_iterator(data + "/zelta-rct/backups"))
        backups.push_back(entry.path());
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_TRUE(Contains(backups[0].filename().string(), "_ZR2600001.cfg")) << backups[0];
    EXPECT_EQ(ReadWholeFile(backups[0].string()), before);
    EXPECT_TRUE(Contains(write.err, "Backup saved: " + backups[0].string())) << write.err;

    // Backup and check cost one read each around the write, and nothing more.
    std::vector<std::string> commands = radio.Commands();
    commands.erase(commands.begin(), commands.begin() + static_cast<long>(received));
    size_t writes = 0, queries = 0;
    for (const std::string& c : commands)
        (Contains(c, " ") ? writes : queries) += 1;
    EXPECT_EQ(Count(radio, "cfg_ch_n\\r"), 4) << "connect-era reads, diff, backup, check";
    EXPECT_EQ(writes, planned.size());
    EXPECT_EQ(queries, 2 * readQueries);

    // Every line sent and received is in the trace, with a time stamp and direction.
    std::string traced = ReadWholeFile(trace);
    EXPECT_TRUE(Contains(traced, "-> " + port + " cfg_ch_3 465.12500\\r")) << traced;
    EXPECT_TRUE(Contains(traced, "<- " + port)) << traced;
    for (const std::string& line : Lines(traced))
        EXPECT_TRUE(IsTraceLine(line)) << line;

    // The radio now matches a file that asks for what it holds.
    std::string matching = TempPath("matching.cfg");
    WriteWholeFile(matching,
                   Edited(Edited(before, "Channel1", "430.12346"), "Channel3", "465.12500"));
    CliRun same = Cli({"--port", port, "diff", matching});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    // Without the nets: no new backup, and only the write reaches the radio.
    received = radio.Commands().size();
    CliRun bare = Cli({"--port", port, "write", "--no-backup", "--no-verify", matching}, env);
    EXPECT_EQ(bare.status, 0) << bare.err;
    EXPECT_EQ(radio.Commands().size() - received, planned.size());
    EXPECT_EQ(std::distance(fs::directory_iterator(data + "/zelta-rct/backups"),
                            fs::directory_iterator()),
              1);

    for (const std::string& p : {original + ".cfg", edited, trace, matching})
        fs::remove(p);
    fs::remove_all(data);
}

TEST(RadioCli, WriteRefusesBadFilesBeforeSending) {
    radio::test::CSimProcess radio;
    ASSERT_FALSE(radio.Path().empty());
    const std::string port = radio.Path();
    ASSERT_EQ(Cli({"--port", port, "connect"}).status, 0);

    std::string absent = TempPath("absent.cfg");
    CliRun missing = Cli({"--port", port, "write", absent});
    EXPECT_EQ(missing.status, 4);
    EXPECT_TRUE(Contains(missing.err, absent)) << missing.err;

    std::string path = TempPath("bad.cfg");
    WriteWholeFile(path, "Channel1,430\r\nChannel2,500\r\nLowPower,1\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--port", port, "write", path},
          std::vector<std::string>{"write", "--dry-run", path}}) {
        CliRun bad = Cli(args);
        EXPECT_EQ(bad.status, 1);
        EXPECT_TRUE(Contains(bad.err, path + ": Channel2: 500")) << bad.err;
        EXPECT_EQ(bad.out, "");
    }
    // Only the connect reached the radio.
    EXPECT_EQ(radio.Commands(), std::vector<std::string>{"control\\r"});
    fs::remove(path);
}

TEST(RadioCli, PortRateIsSentOnlyFromTheFileAndTheCheckFollowsIt) {
    // The radio hears only its own serial rate, as a real line does.
    radio::test::CSimProcess radio({"--fault", "own-rate"});
    ASSERT_FALSE(radio.Path().empty());
    const std::string port = radio.Path();
    ASSERT_EQ(Cli({"--port", port, "connect"}).status, 0);

    std::string cfg = TempPath("rate.cfg");
    std::string withoutRate = CompleteCfg();
    withoutRate.erase(withoutRate.find("PortBaudRate,2\r\n"), 16);
    WriteWholeFile(cfg, withoutRate);
    CliRun dry = Cli({"write", "--dry-run", cfg});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_FALSE(Contains(dry.out, "cfg_sbau")) << dry.out;
    CliRun kept = Cli({"--port", port, "write", "--no-backup", cfg});
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(Count(radio, "cfg_sbau\\r"), 1) << "the check's query only";

    // A radio told a new rate answers at it: the check reads at the new rate.
    Radio plain;
    ASSERT_FALSE(plain.Path().empty());
    ASSERT_EQ(Cli({"--port", plain.Path(), "connect"}).status, 0);
    WriteWholeFile(cfg, Edited(CompleteCfg(), "PortBaudRate", "0"));
    std::string trace = TempPath("rate.trace");
    CliRun moved = Cli({"--port", plain.Path(), "--trace=" + trace, "write", "--no-backup", cfg});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_TRUE(Contains(moved.err, "use --baud 9600")) << moved.err;
    EXPECT_TRUE(Contains(moved.err, "Verify OK")) << moved.err;
    std::vector<std::string> opened;
    for (const std::string& line : Lines(ReadWholeFile(trace)))
        if (Contains(line, "-- opened "))
            opened.push_back(line.substr(line.rfind(' ') + 1));
    EXPECT_EQ(opened, (std::vector<std::string>{"38400", "9600"}));
    fs::remove(trace);
    fs::remove(cfg);
}

TEST(RadioCli, ReadPrintsReadableCfgAndJson) {
    Radio radio;
    ASSERT_FALSE(radio.Path().empty());
    const std::string port = radio.Path();
    ASSERT_EQ(Cli({"--port", port, "connect"}).status, 0);
    // A serial number with the characters JSON must escape.
    std::string cfg = TempPath("json");
    ASSERT_EQ(Cli({"--port", port, "read", "-o", cfg}).status, 0);
    ASSERT_EQ(
        Cli({"--port", port, "write", "--no-backup", cfg + ".cfg", "--serial-number", "Z\"R\\7"})
            .status,
        0);

    CliRun readable = Cli({"--port", port, "read"});
    ASSERT_EQ(readable.status, 0) << readable.err;
    std::vector<std::string> lines = Lines(readable.out);
    ASSERT_EQ(lines.size(), 22u) << readable.out;
    EXPECT_EQ(lines[0], "Protocol: TRIMTALK");
    EXPECT_EQ(lines[2], "Radio baud rate: 38400");
    EXPECT_EQ(lines[4], "Bandwidth: 25.0 kHz");
    EXPECT_EQ(lines[10], "Channel 1: TX 430.00000 MHz, RX 430.00000 MHz");
    EXPECT_EQ(lines[18], "Serial number: Z\"R\\7");

    CliRun cfgRun = Cli({"--port", port, "read", "--format", "cfg"});
    ASSERT_EQ(cfgRun.status, 0);
    lines = Lines(cfgRun.out);
    ASSERT_EQ(lines.size(), 34u);
    EXPECT_EQ(lines[0], "Channel0,");
    EXPECT_EQ(lines[20], "ProtocolType,0");
    EXPECT_EQ(lines[29], "Bandwidth,1");
    EXPECT_EQ(lines[30], "SerialNumber,Z\"R\\7");
    std::string saved;
    for (size_t i = 0; i < 29; ++i)
        saved += lines[i] + "\r\n";
    EXPECT_EQ(ReadWholeFile(cfg + ".cfg"), saved);

    CliRun jsonRun = Cli({"--port", port, "read", "--format=json"});
    ASSERT_EQ(jsonRun.status, 0);
    Json json;
    ASSERT_TRUE(JsonParser(jsonRun.out).Parse(json)) << jsonRun.out;
    EXPECT_EQ(std::get<std::string>(json["protocol"].value), "TRIMTALK");
    EXPECT_EQ(std::get<double>(json["radioBaudRate"].value), 38400);
    EXPECT_EQ(std::get<double>(json["bandwidthKHz"].value), 25.0);
    EXPECT_EQ(std::get<double>(json["currentChannel"].value), 1);
    EXPECT_EQ(std::get<std::string>(json["serialNumber"].value), "Z\"R\\7");
    const auto& channels = std::get<std::vector<Json>>(json["channels"].value);
    ASSERT_EQ(channels.size(), 8u);
    EXPECT_EQ(std::get<double>(channels[7]["channel"].value), 8);
    EXPECT_EQ(std::get<std::string>(channels[7]["rxMHz"].value), "433.50000");
    fs::remove(cfg + ".cfg");
}

TEST(RadioCli, FailuresNameTheCauseAndGiveTheirExitStatus) {
    Radio silent({"--fault", "noreply@control"});
    ASSERT_FALSE(silent.Path().empty());
    CliRun connectRun = Cli({"--port", silent.Path(), "connect"});
    EXPECT_EQ(connectRun.status, 1);
    EXPECT_EQ(connectRun.err, "Connect Error: " + silent.Path() +
                                  ": command \"control\": no reply within 465 ms\n"
                                  "hint: check the cable, that the radio is on, and its serial "
                                  "rate (--baud, now 38400)\n");

    Radio noRate({"--fault", "noreply@cfg_sbau"});
    ASSERT_FALSE(noRate.Path().empty());
    ASSERT_EQ(Cli({"--port", noRate.Path(), "connect"}).status, 0);
    std::string output = TempPath("never");
    CliRun readRun = Cli({"--port", noRate.Path(), "read", "-o", output});
    EXPECT_EQ(readRun.status, 1);
    EXPECT_TRUE(Contains(readRun.err, "Read Error: " + noRate.Path() + ": command \"cfg_sbau\""))
        << readRun.err;
    EXPECT_TRUE(Contains(readRun.err, "only in configuration mode")) << readRun.err;
    EXPECT_EQ(readRun.out, "");
    EXPECT_FALSE(fs::exists(output + ".cfg"));

    // A backup that cannot be made stops the write before anything is sent.
    std::string cfg = TempPath("nobackup.cfg");
    WriteWholeFile(cfg, CompleteCfg());
    CliRun noBackup = Cli({"--port", noRate.Path(), "write", cfg});
    EXPECT_EQ(noBackup.status, 1);
    EXPECT_TRUE(Contains(noBackup.err, "Backup: Read Error")) << noBackup.err;
    EXPECT_TRUE(Contains(noBackup.err, "nothing was written")) << noBackup.err;
    fs::remove(cfg);

    Radio vanishing({"--fault", "vanish=3"});
    ASSERT_FALSE(vanishing.Path().empty());
    ASSERT_EQ(Cli({"--port", vanishing.Path(), "connect"}).status, 0);
    CliRun gone = Cli({"--port", vanishing.Path(), "read"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(Contains(gone.err, "Read Error: " + vanishing.Path())) << gone.err;
}

TEST(RadioCli, WithoutPortTheOnlyCandidateIsTakenOtherwiseTheToolAsks) {
    if (!radio::AutomaticPortCandidates(
             radio::ListSerialPorts("/sys/class/tty", "/dev/serial/by-id", nullptr))
             .empty())
        GTEST_SKIP() << "a USB serial adapter is plugged in";
    Radio radio;
    ASSERT_FALSE(radio.Path().empty());
    CliRun one = Cli({"connect"}, WithEnv({"ZELTA_RCT_EXTRA_PORTS=" + radio.Path()}));
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_TRUE(Contains(one.err, "using " + radio.Path())) << one.err;

    CliRun two =
        Cli({"connect"}, WithEnv({"ZELTA_RCT_EXTRA_PORTS=" + radio.Path() + ":/dev/zelta-none"}));
    EXPECT_EQ(two.status, 2);
    EXPECT_TRUE(Contains(two.err, "name one with --port")) << two.err;
    EXPECT_TRUE(Contains(two.err, "  /dev/zelta-none")) << two.err;

    CliRun none = Cli({"connect"}, WithEnv({"ZELTA_RCT_EXTRA_PORTS="}));
    EXPECT_EQ(none.status, 3);
    EXPECT_TRUE(Contains(none.err, "no USB serial adapter found")) << none.err;

    CliRun listed = Cli({"ports"}, WithEnv({"ZELTA_RCT_EXTRA_PORTS=" + radio.Path()}));
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(Lines(listed.out).back(), radio.Path() + "  from ZELTA_RCT_EXTRA_PORTS");
}

TEST(RadioCli, UpgradeChecksTheFileFirstAndShowsItsProgress) {
    std::string image = TempPath("image.bin");
    radio::test::CSimProcess radio({"--firmware-out", image});
    ASSERT_FALSE(radio.Path().empty());

    // First page, a gap the boot loader never sees, then eight pages and a short tail.
    std::string firmware(4096 + 8 * 256 + 100, '\0');
    std::mt19937 random(7);
    for (char& c : firmware)
        c = static_cast<char>(random());
    std::string path = TempPath("firmware.dwn");
    WriteWholeFile(path, firmware);

    CliRun run = Cli({"--port", radio.Path(), "upgrade", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "Upgrade OK")) << run.err;
    EXPECT_TRUE(Contains(run.err, "Upgrade 100 %  page 9 of 9")) << run.err;
    EXPECT_TRUE(Contains(run.err, "bytes/s")) << run.err;
    EXPECT_EQ(ReadWholeFile(image), firmware.substr(0, 256) + firmware.substr(4096, 8 * 256));

    size_t received = radio.Commands().size();
    WriteWholeFile(path, std::string(4096, 'x')); // too small to be firmware
    CliRun small = Cli({"--port", radio.Path(), "upgrade", path});
    EXPECT_EQ(small.status, 4);
    EXPECT_TRUE(Contains(small.err, path + ": 4096 bytes")) << small.err;
    CliRun folder = Cli({"--port", radio.Path(), "upgrade", testing::TempDir()});
    EXPECT_EQ(folder.status, 4);
    EXPECT_TRUE(Contains(folder.err, "is a folder")) << folder.err;
    // Unreadable for the user who runs the tool.
    WriteWholeFile(path, firmware);
    chmod(path.c_str(), 0600);
    CliRun locked = Cli({"--port", "/dev/zelta-none", "upgrade", path}, AsNobody());
    EXPECT_EQ(locked.status, 4);
    EXPECT_TRUE(Contains(locked.err, "Permission denied")) << locked.err;
    EXPECT_EQ(radio.Commands().size(), received);

    radio::test::CSimProcess refusing({"--fault", "bad-sum=2"});
    ASSERT_FALSE(refusing.Path().empty());
    CliRun refused = Cli({"--port", refusing.Path(), "upgrade", path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.err, "Upgrade Error: " + refusing.Path())) << refused.err;
    EXPECT_TRUE(Contains(refused.err, "running the upgrade again restarts")) << refused.err;
    fs::remove(path);
    fs::remove(image);
}

} // namespace
