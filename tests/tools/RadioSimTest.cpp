// The simulated radio, driven as a client would: over its pseudo-terminal with plain termios.

#include "tools/zelta-radiosim/SimProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Generous: the machine is shared and the sanitizer builds are slow.
constexpr int kAnswerTimeoutMs = 3000;
// Long enough that a radio which answers would have answered (a reply takes a few ms).
constexpr int kSilenceMs = 300;

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "radiosim_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One simulator process, started from the build's bin folder.
class SimProcess : public radiosim::SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args)
        : radiosim::SimProcess(std::string(ZELTA_BIN_DIR) + "/zelta-radiosim", std::move(args)) {}
};

// The client's end: raw 8N1 at a chosen rate, purge before each write, reply framing as the
// program assembles it (first non-empty line after a carriage return, or ending in ACK).
class Client {
public:
    Client(const std::string& path, speed_t speed) {
        m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        termios tio{};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    ~Client() {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool IsOpen() const { return m_fd >= 0; }

    // Sends bytes and returns the assembled reply text, or nothing within the time limit.
    std::optional<std::string> Exchange(const std::string& bytes,
                                        int timeoutMs = kAnswerTimeoutMs) {
        // Let the tail of the previous reply (its closing LF, or CR LF) arrive and go, so that
        // the checks of the raw bytes below see this reply only.
        for (char c = 0;;) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || read(m_fd, &c, 1) <= 0)
                break;
        }
        tcflush(m_fd, TCIOFLUSH);
        m_raw.clear();
        if (write(m_fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            return std::nullopt;
        std::string buffer;
        bool started = false;
        auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0)
                continue;
            if (p.revents & (POLLHUP | POLLERR)) {
                m_hungUp = true;
                return std::nullopt;
            }
            char c = 0;
            ssize_t n = read(m_fd, &c, 1);
            if (n <= 0) {
                m_hungUp = n == 0 || errno == EIO;
                if (m_hungUp)
                    return std::nullopt;
                continue;
            }
            m_raw.push_back(c);
            if (c == '\n')
                continue;
            if (c == '\r') {
                if (started && !buffer.empty())
                    return buffer;
                started = true;
                continue;
            }
            if (!started)
                continue;
            buffer.push_back(c);
            if (buffer.size() >= 3 && buffer.compare(buffer.size() - 3, 3, "ACK") == 0)
                return buffer;
        }
        return std::nullopt;
    }

    // Every byte received during the last exchange, framing included.
    const std::string& Raw() const { return m_raw; }
    bool HungUp() const { return m_hungUp; }

private:
    int m_fd = -1;
    std::string m_raw;
    bool m_hungUp = false;
};

std::string Page(uint8_t fill, bool goodSum) {
    std::string frame(256, static_cast<char>(fill));
    unsigned sum = 256u * fill + (goodSum ? 0 : 1);
    frame.push_back(static_cast<char>(sum >> 8));
    frame.push_back(static_cast<char>(sum & 0xFF));
    return frame;
}

TEST(RadioSim, ConfigurationModeGatesParameterCommands) {
    SimProcess sim({});
    ASSERT_FALSE(sim.Path().empty());
    Client client(sim.Path(), B115200);
    ASSERT_TRUE(client.IsOpen());

    EXPECT_EQ(client.Exchange("cfg_ch_n\r", kSilenceMs), std::nullopt);
    EXPECT_EQ(client.Exchange("cfg_ch_1 431\r", kSilenceMs), std::nullopt);
    auto into = client.Exchange("control\r");
    ASSERT_TRUE(into);
    EXPECT_NE(into->find("into config"), std::string::npos);
    // Replies are framed as CR LF, text, CR LF (the client stops reading at the CR).
    EXPECT_EQ(client.Raw(), "\r\n" + *into + "\r");
    auto channel = client.Exchange("cfg_ch_n\r");
    ASSERT_TRUE(channel);
    EXPECT_NE(channel->find("current channel"), std::string::npos);
    EXPECT_EQ(channel->back(), '1');

    auto out = client.Exchange("exitcnt\r");
    ASSERT_TRUE(out);
    EXPECT_NE(out->find("exit config"), std::string::npos);
    EXPECT_EQ(client.Exchange("cfg_prtl\r", kSilenceMs), std::nullopt);
}

TEST(RadioSim, SetsAreValidatedAndReadBack) {
    SimProcess sim({});
    Client client(sim.Path(), B115200);
    ASSERT_TRUE(client.Exchange("control\r"));

    // Accepted values come back in the radio's own form.
    EXPECT_EQ(client.Exchange("cfg_ch_3 431.125\r"), "OK");
    auto tx = client.Exchange("cfg_ch_3\r");
    ASSERT_TRUE(tx);
    EXPECT_EQ(tx->substr(tx->find("3 ") + 2), "431.12500");
    EXPECT_EQ(client.Exchange("cfg_rx_ch_8 470\r"), "OK");
    auto rx = client.Exchange("cfg_rx_ch_8\r");
    ASSERT_TRUE(rx);
    EXPECT_EQ(rx->substr(rx->find("8 ") + 2), "470.00000");
    EXPECT_EQ(client.Exchange("cfg_prtl 6\r"), "OK");
    EXPECT_EQ(client.Exchange("cfg_prtl\r"), "HI-TARGET");
    EXPECT_EQ(client.Exchange("cfg_sbau 5\r"), "OK");
    EXPECT_EQ(client.Exchange("cfg_sbau\r"), "115200");
    EXPECT_EQ(client.Exchange("cfg_mode repeater\r"), "OK");
    EXPECT_EQ(client.Exchange("cfg_mode\r"), "repeater");
    EXPECT_EQ(client.Exchange("cfg_pwrl 3\r"), "OK");
    EXPECT_EQ(client.Exchange("cfg_pwrl\r"), "3");
    EXPECT_EQ(client.Exchange("cfg_dstx 255\r"), "OK");

    const char* refused[] = {
        "cfg_ch_3 470.00001\r", "cfg_ch_3 abc\r", "cfg_ch_9 430\r",        "cfg_pwrh 4\r",
        "cfg_pwrh 0\r",         "cfg_prtl 9\r",   "cfg_srcx 255\r",        "cfg_dstx -1\r",
        "cfg_bw 20.0\r",        "cfg_mode rx\r",  "cfg_sern 1234567890\r", "cfg_hard ABCDE\r",
        "cfg_firm V9\r",        "cfg_nothing\r",
    };
    for (const char* command : refused) {
        auto reply = client.Exchange(command);
        ASSERT_TRUE(reply) << command;
        EXPECT_EQ(reply->find("OK"), std::string::npos) << command << " -> " << *reply;
    }
    // A refused value leaves the old one.
    EXPECT_EQ(client.Exchange("cfg_pwrh\r"), "1");
    EXPECT_EQ(client.Exchange("cfg_ch_3\r"), tx);

    // Line noise without a carriage return is bounded and answered once; the line recovers.
    auto noise = client.Exchange(std::string(5000, 'x') + "\r");
    ASSERT_TRUE(noise);
    EXPECT_EQ(noise->find("OK"), std::string::npos);
    EXPECT_EQ(client.Exchange("cfg_mode\r"), "repeater");
}

TEST(RadioSim, StateSurvivesReopenAndRestart) {
    std::string state = TempPath("state.txt");
    std::remove(state.c_str());
    {
        SimProcess sim({"--state", state});
        {
            Client client(sim.Path(), B38400);
            ASSERT_TRUE(client.Exchange("control\r"));
            EXPECT_EQ(client.Exchange("cfg_srcx 17\r"), "OK");
            EXPECT_EQ(client.Exchange("cfg_sern ZR7\r"), "OK");
        }
        // A new client finds the radio still in configuration mode with its values.
        Client again(sim.Path(), B9600);
        ASSERT_TRUE(again.IsOpen());
        EXPECT_EQ(again.Exchange("cfg_srcx\r"), "17");
        EXPECT_EQ(sim.Stop(), 0);
    }
    SimProcess restarted({"--state", state});
    Client client(restarted.Path(), B38400);
    ASSERT_TRUE(client.Exchange("control\r"));
    EXPECT_EQ(client.Exchange("cfg_srcx\r"), "17");
    EXPECT_EQ(client.Exchange("cfg_sern\r"), "ZR7");
    std::remove(state.c_str());
}

TEST(RadioSim, RepliesTakeAtLeastTheirWireTime) {
    SimProcess sim({});
    Client client(sim.Path(), B9600);
    ASSERT_TRUE(client.Exchange("control\r"));
    std::string command = "cfg_ch_5\r";
    auto start = Clock::now();
    auto reply = client.Exchange(command);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_TRUE(reply);
    // Command, opening CR LF, text and the closing CR that completes the reply.
    double wire = (command.size() + 2 + reply->size() + 1) * 10.0 / 9600;
    EXPECT_GE(seconds, wire * 0.9) << "wire time " << wire;
}

TEST(RadioSim, FaultsShapeTheReplies) {
    SimProcess sim({"--fault", "ack@cfg_firm", "--fault", "crcrlf@cfg_hard", "--fault",
                    "garbage=5@cfg_sern", "--fault", "unknown-protocol", "--fault", "no-link-rate",
                    "--fault", "drop=2@cfg_ch_*", "--fault", "delay=400@SREV"});
    Client client(sim.Path(), B115200);
    ASSERT_TRUE(client.Exchange("control\r"));

    EXPECT_EQ(client.Exchange("cfg_firm\r"), "V2.10ACK");
    EXPECT_EQ(client.Raw().find('\r', 1), std::string::npos);
    EXPECT_EQ(client.Exchange("cfg_hard\r"), "H1.0");
    EXPECT_EQ(client.Raw().substr(0, 3), "\r\r\n");
    EXPECT_EQ(client.Exchange("cfg_sern\r"), "ZR2600001");
    EXPECT_EQ(client.Raw().find('\r'), 5u);
    EXPECT_EQ(client.Exchange("cfg_prtl\r"), "UNKNOW");
    EXPECT_EQ(client.Exchange("cfg_baud\r", kSilenceMs), std::nullopt);
    // Sets of the link rate still answer; only the query is silent.
    EXPECT_EQ(client.Exchange("cfg_baud 1\r"), "OK");

    EXPECT_TRUE(client.Exchange("cfg_ch_1\r"));
    EXPECT_EQ(client.Exchange("cfg_ch_2\r", kSilenceMs), std::nullopt);
    EXPECT_TRUE(client.Exchange("cfg_ch_3\r"));
    EXPECT_EQ(client.Exchange("cfg_ch_4\r", kSilenceMs), std::nullopt);
    EXPECT_TRUE(client.Exchange("cfg_mode\r"));

    auto start = Clock::now();
    EXPECT_EQ(client.Exchange("SREV\r"), "S1.03");
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(400));
}

TEST(RadioSim, VanishingDeviceClosesTheLine) {
    std::string log = TempPath("vanish.log");
    std::remove(log.c_str());
    SimProcess sim({"--fault", "vanish=2@cfg_*", "--log", log});
    Client client(sim.Path(), B115200);
    ASSERT_TRUE(client.Exchange("control\r"));
    ASSERT_TRUE(client.Exchange("cfg_ch_n\r"));
    EXPECT_EQ(client.Exchange("cfg_prtl\r"), std::nullopt);
    EXPECT_TRUE(sim.WaitExit(kAnswerTimeoutMs));
    EXPECT_EQ(sim.Stop(), 0);
    std::string text = ReadWholeFile(log);
    EXPECT_NE(text.find("Z control\\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Z cfg_prtl\\r\n"), std::string::npos) << text;
    std::remove(log.c_str());
}

TEST(RadioSim, LogHoldsEveryByteReceivedStrayLineEndsIncluded) {
    std::string log = TempPath("raw.log");
    std::remove(log.c_str());
    SimProcess sim({"--log", log});
    Client client(sim.Path(), B115200);
    ASSERT_TRUE(client.Exchange("\ncontrol\r"));
    ASSERT_TRUE(client.Exchange("cfg_ch_n\r\n"));
    ASSERT_TRUE(client.Exchange("cfg_prtl\r"));
    EXPECT_EQ(client.Exchange("half", kSilenceMs), std::nullopt);
    EXPECT_EQ(sim.Stop(), 0);
    std::string text = ReadWholeFile(log);
    EXPECT_NE(text.find("Z \\ncontrol\\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Z cfg_ch_n\\r\n"), std::string::npos) << text;
    // The line feed after a command comes before the next one.
    EXPECT_NE(text.find("Z \\ncfg_prtl\\r\n"), std::string::npos) << text;
    // Bytes that completed no command are logged when the simulator stops.
    EXPECT_NE(text.find("Z half\n"), std::string::npos) << text;
    std::remove(log.c_str());
}

TEST(RadioSim, OwnRateFaultHearsOnlyTheRadiosSerialRate) {
    SimProcess sim({"--fault", "own-rate"});
    ASSERT_FALSE(sim.Path().empty());
    {
        Client wrong(sim.Path(), B9600);
        EXPECT_EQ(wrong.Exchange("control\r", kSilenceMs), std::nullopt);
    }
    {
        Client right(sim.Path(), B38400);
        ASSERT_TRUE(right.Exchange("control\r"));
        // The radio moves to 9600: the answer still comes at the old rate, then silence.
        EXPECT_EQ(right.Exchange("cfg_sbau 1\r"), "OK");
        EXPECT_EQ(right.Exchange("cfg_sbau\r", kSilenceMs), std::nullopt);
    }
    Client moved(sim.Path(), B9600);
    EXPECT_EQ(moved.Exchange("cfg_sbau\r"), "9600");
}

TEST(RadioSim, BootLoaderChecksEachFrameAndKeepsTheImage) {
    std::string image = TempPath("image.bin");
    std::remove(image.c_str());
    SimProcess sim({"--firmware-out", image, "--fault", "bad-sum=3"});
    Client client(sim.Path(), B115200);
    ASSERT_TRUE(client.IsOpen());

    EXPECT_EQ(client.Exchange("boot_start"), "boot start");
    EXPECT_EQ(client.Exchange("write page"), "get page");
    EXPECT_EQ(client.Exchange(Page(0xFF, true)), "write OK");
    EXPECT_EQ(client.Exchange("write page"), "get page");
    auto refused = client.Exchange(Page(0x11, false));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->find("write OK"), std::string::npos);
    // The third frame is good but the fault refuses it.
    EXPECT_EQ(client.Exchange("write page"), "get page");
    auto forced = client.Exchange(Page(0x22, true));
    ASSERT_TRUE(forced);
    EXPECT_EQ(forced->find("write OK"), std::string::npos);
    EXPECT_EQ(client.Exchange("write page"), "get page");
    EXPECT_EQ(client.Exchange(Page(0x33, true)), "write OK");
    EXPECT_EQ(client.Exchange("ISP finish", kSilenceMs), std::nullopt);

    EXPECT_EQ(ReadWholeFile(image), std::string(256, '\xFF') + std::string(256, '\x33'));
    // Back from the boot loader, the radio answers commands again.
    EXPECT_TRUE(client.Exchange("control\r"));
    std::remove(image.c_str());
}

} // namespace
