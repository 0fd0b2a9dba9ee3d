// The radio dialogue against zelta-radiosim at 9600, 38400 and 115200 bit/s: a full read and a
// full write of the radio's parameters, and a firmware upgrade of a 64 KiB image at 115200.
// Reported: measured time, wire time (bytes both ways x 10 / rate) and the overhead per command
// (goal: below 2 ms); for the upgrade, the budget of 105 % of wire time plus 50 ms a page.
//
// The client here is a plain termios one that waits on poll() for the reply, sending the
// commands of a full read and a full write in their order.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The reply limit of the protocol.
constexpr int kReplyLimitMs = 465;

class Simulator {
public:
    Simulator() {
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string program = std::string(ZELTA_BIN_DIR) + "/zelta-radiosim";
        char* argv[] = {program.data(), nullptr};
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char c = 0;
        pollfd p{out[0], POLLIN, 0};
        while (poll(&p, 1, 10000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
            m_path.push_back(c);
        close(out[0]);
    }
    ~Simulator() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& Path() const { return m_path; }

private:
    pid_t m_pid = -1;
    std::string m_path;
};

speed_t SpeedOf(int rate) {
    switch (rate) {
        case 9600:
            return B9600;
        case 38400:
            return B38400;
        default:
            return B115200;
    }
}

class Line {
public:
    Line(const std::string& path, int rate) {
        m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        termios tio{};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&tio, SpeedOf(rate));
        cfsetospeed(&tio, SpeedOf(rate));
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    ~Line() {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool IsOpen() const { return m_fd >= 0; }

    // Purge, send, and wait for a reply framed as the program assembles it. Counts the bytes
    // both ways up to the CR that completes the reply.
    bool Exchange(const std::string& bytes, const char* token) {
        tcflush(m_fd, TCIOFLUSH);
        if (write(m_fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            return false;
        m_wireBytes += bytes.size();
        ++m_commands;
        std::string reply;
        bool started = false;
        auto deadline = Clock::now() + std::chrono::milliseconds(kReplyLimitMs);
        for (;;) {
            int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count());
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, left) <= 0)
                return false;
            char buffer[64];
            ssize_t n = read(m_fd, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                char c = buffer[i];
                // Bytes before the reply's opening CR are the tail of the previous reply.
                if (c != '\r' && !started)
                    continue;
                ++m_wireBytes;
                if (c == '\n')
                    continue;
                if (c == '\r') {
                    if (started && !reply.empty()) {
                        return reply.find(token) != std::string::npos;
                    }
                    started = true;
                } else if (started) {
                    reply.push_back(c);
                }
            }
        }
    }
    void Send(const std::string& bytes) {
        tcflush(m_fd, TCIOFLUSH);
        if (write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()))
            m_wireBytes += bytes.size();
    }

    void ResetCounts() {
        m_wireBytes = 0;
        m_commands = 0;
    }
    size_t WireBytes() const { return m_wireBytes; }
    int Commands() const { return m_commands; }

private:
    int m_fd = -1;
    size_t m_wireBytes = 0;
    int m_commands = 0;
};

bool ReadAll(Line& line) {
    const char* queries[] = {"cfg_ch_n", "cfg_prtl", "cfg_sbau", "cfg_bw",   "cfg_baud", "cfg_pwrh",
                             "cfg_pwrl", "cfg_firm", "cfg_hard", "cfg_sern", "SREV"};
    bool ok = true;
    for (const char* q : queries)
        ok = line.Exchange(std::string(q) + "\r", "") && ok;
    for (const char* prefix : {"cfg_ch_", "cfg_rx_ch_"}) {
        for (int slot = 1; slot <= 8; ++slot)
            ok = line.Exchange(prefix + std::to_string(slot) + "\r", " ") && ok;
    }
    for (const char* q : {"cfg_mode", "cfg_srcx", "cfg_dstx"})
        ok = line.Exchange(std::string(q) + "\r", "") && ok;
    return ok;
}

bool WriteAll(Line& line) {
    bool ok = true;
    for (const char* prefix : {"cfg_ch_", "cfg_rx_ch_"}) {
        for (int slot = 1; slot <= 8; ++slot) {
            char frequency[16];
            std::snprintf(frequency, sizeof frequency, "%09.5f", 431.0 + slot * 0.125);
            ok = ok && line.Exchange(prefix + std::to_string(slot) + " " + frequency + "\r", "OK");
        }
    }
    const char* sets[] = {"cfg_ch_n 2",      "cfg_sbau 3", "cfg_baud 2",         "cfg_bw 25.0",
                          "cfg_mode duplex", "cfg_srcx 1", "cfg_dstx 255",       "cfg_prtl 1",
                          "cfg_pwrh 1",      "cfg_pwrl 2", "cfg_sern ZR2600001", "cfg_hard H1.0"};
    for (const char* s : sets)
        ok = ok && line.Exchange(std::string(s) + "\r", "OK");
    return ok;
}

void ReportLine(benchmark::State& state, double seconds, size_t wireBytes, int commands, int rate) {
    double wire = wireBytes * 10.0 / rate;
    state.counters["measured_ms"] = seconds * 1000;
    state.counters["wire_ms"] = wire * 1000;
    state.counters["commands"] = commands;
    state.counters["overhead_ms_per_cmd"] = commands ? (seconds - wire) * 1000 / commands : 0;
}

template <bool (*Operation)(Line&)>
void BM_Dialogue(benchmark::State& state) {
    int rate = static_cast<int>(state.range(0));
    Simulator sim;
    Line line(sim.Path(), rate);
    if (!line.IsOpen() || !line.Exchange("control\r", "into config")) {
        state.SkipWithError("simulated radio not reachable");
        return;
    }
    double total = 0;
    size_t bytes = 0;
    int commands = 0;
    for (auto _ : state) {
        line.ResetCounts();
        auto start = Clock::now();
        bool ok = Operation(line);
        total += std::chrono::duration<double>(Clock::now() - start).count();
        bytes += line.WireBytes();
        commands += line.Commands();
        if (!ok) {
            state.SkipWithError("a command failed");
            return;
        }
    }
    int n = static_cast<int>(state.iterations());
    ReportLine(state, total / n, bytes / n, commands / n, rate);
}

void BM_Upgrade64K(benchmark::State& state) {
    constexpr int kRate = 115200;
    constexpr size_t kImage = 64 * 1024;
    Simulator sim;
    Line line(sim.Path(), kRate);
    if (!line.IsOpen()) {
        state.SkipWithError("simulated radio not reachable");
        return;
    }
    std::vector<uint8_t> image(kImage);
    for (size_t i = 0; i < kImage; ++i)
        image[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    auto frame = [&](size_t offset) {
        std::string f(image.begin() + offset, image.begin() + offset + 256);
        unsigned sum = 0;
        for (unsigned char c : f)
            sum += c;
        f.push_back(static_cast<char>(sum >> 8));
        f.push_back(static_cast<char>(sum & 0xFF));
        return f;
    };
    for (auto _ : state) {
        line.ResetCounts();
        int pages = 0;
        auto start = Clock::now();
        bool ok = line.Exchange("boot_start", "boot start") &&
                  line.Exchange("write page", "get page") && line.Exchange(frame(0), "write OK");
        pages = ok ? 1 : 0;
        for (size_t offset = 4096; ok && offset + 256 <= kImage; offset += 256) {
            ok =
                line.Exchange("write page", "get page") && line.Exchange(frame(offset), "write OK");
            ++pages;
            // The protocol's pause after every page.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        line.Send("ISP finish");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok) {
            state.SkipWithError("the upgrade failed");
            return;
        }
        double wire = line.WireBytes() * 10.0 / kRate;
        // The paused time of the protocol: 50 ms after each page but the first, 100 ms at the end.
        double pauses = (pages - 1) * 0.050 + 0.100;
        // The goal: 5 % over wire time plus 50 ms a page, with the final 100 ms pause after
        // "ISP finish" counted as part of the protocol too.
        double budget = wire * 1.05 + pages * 0.050 + 0.100;
        state.counters["measured_ms"] = seconds * 1000;
        state.counters["wire_ms"] = wire * 1000;
        state.counters["pauses_ms"] = pauses * 1000;
        state.counters["budget_ms"] = budget * 1000;
        state.counters["pages"] = pages;
        state.counters["within_budget"] = seconds <= budget ? 1 : 0;
    }
}

BENCHMARK_TEMPLATE(BM_Dialogue, ReadAll)
    ->Name("ReadAll")
    ->Arg(9600)
    ->Arg(38400)
    ->Arg(115200)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Dialogue, WriteAll)
    ->Name("WriteAll")
    ->Arg(9600)
    ->Arg(38400)
    ->Arg(115200)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Upgrade64K)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
