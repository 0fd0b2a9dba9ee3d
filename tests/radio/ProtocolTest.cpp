// The command protocol: the reply assembler on its own, then every operation end to end
// against zelta-radiosim on its pseudo-terminal, with plain fields and a recording host.

#include "radio/Protocol.h"
#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "radio/Replies.h"
#include "radio/ReplyAssembler.h"
#include "tests/radio/RecordingHost.h"
#include "tests/radio/SimProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using radio::CReplyAssembler;
using radio::test::CRecordingHost;
using radio::test::CSimProcess;

std::string Feed(CReplyAssembler& reply, const std::string& bytes, size_t* completedAt = nullptr) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (reply.Feed(static_cast<uint8_t>(bytes[i])) && completedAt)
            *completedAt = i;
    }
    return reply.Buffer();
}

TEST(ReplyAssembler, KeepsTheFirstNonEmptyLineAfterACarriageReturn) {
    CReplyAssembler reply;
    size_t at = 0;
    EXPECT_EQ(Feed(reply, "\r\nOK\r\n", &at), "\rOK");
    EXPECT_TRUE(reply.Complete());
    EXPECT_EQ(at, 4u); // the second carriage return
    EXPECT_EQ(reply.Text(), "OK");

    // Bytes before the first carriage return, empty lines and line feeds never reach it; the
    // bytes after a complete reply neither.
    reply.Clear();
    EXPECT_EQ(Feed(reply, "noise\n\r\r\n\r\r\nin\nto config\r\r\nmore\r"), "\rinto config");
    EXPECT_EQ(reply.Text(), "into config");

    // A line end written as CR CR LF ends the reply at its first CR.
    reply.Clear();
    EXPECT_EQ(Feed(reply, "\r\r\n25.0\r\r\n"), "\r25.0");
    EXPECT_TRUE(reply.Complete());

    reply.Clear();
    Feed(reply, "garbage only");
    EXPECT_EQ(reply.Buffer(), "");
    EXPECT_FALSE(reply.Complete());
}

TEST(ReplyAssembler, ReplyEndingInAckCompletesWithoutCarriageReturn) {
    CReplyAssembler reply;
    size_t at = 0;
    EXPECT_EQ(Feed(reply, "\r\nwrite OKACK", &at), "\rwrite OKACK");
    EXPECT_TRUE(reply.Complete());
    EXPECT_EQ(at, 12u);
    // "ACK" only counts at the end of the reply, and a lone K does not.
    reply.Clear();
    Feed(reply, "\rK");
    EXPECT_FALSE(reply.Complete());
    Feed(reply, "ACX");
    EXPECT_FALSE(reply.Complete());
}

TEST(ReplyAssembler, NoiseWithoutLineEndsStaysBounded) {
    CReplyAssembler reply;
    Feed(reply, "\r");
    std::string noise(100000, 'x');
    Feed(reply, noise);
    EXPECT_EQ(reply.Buffer().size(), CReplyAssembler::kMaxReply);
    EXPECT_FALSE(reply.Complete());
    // The line end still completes it.
    Feed(reply, "\r");
    EXPECT_TRUE(reply.Complete());
}

TEST(Replies, OrderOfTheTokenSearches) {
    // The short names are tried right after TRIMTALK's, before every later name.
    EXPECT_EQ(radio::ProtocolIndexOf("\rHUACE SOTH"), 4);
    EXPECT_EQ(radio::ProtocolIndexOf("\rTT450S"), 8);
    // Of 4800, 9600 and 19200 the last one found wins.
    EXPECT_EQ(radio::LinkRateTextOf("\r4800 9600"), " 9600");
    EXPECT_EQ(radio::PortRateIndexOf("\r4800"), -1);
    // A cut never splits a character.
    EXPECT_EQ(radio::CutText("H1\xE4\xB8\xAD", 4), "H1");
}

// Fields set as a user would before a write.
void PrepareWrite(radio::CPlainFields& f) {
    for (int slot = 1; slot <= 8; ++slot) {
        f.channel[size_t(slot)].setText("440.12500");
        f.rxChannel[size_t(slot)].setText("450.25000");
    }
    f.protocolType.select(5); // HI-TARGET
    f.bandwidth.select(0);
    f.bandwidth.select(1); // 25.0: HI-TARGET's second entry, " 19200"
    f.currentChannel.select(3);
    f.portBaudRate.select(2);
    f.workMode.select(2);
    f.src.setText("300");
    f.dst.setText("");
    f.highPower.select(1);
    f.lowPower.select(2);
}

// A simulator, plain fields bound to a record, a recording host on the simulator's line and
// the protocol over them.
class ProtocolTest : public testing::Test {
protected:
    void Start(std::vector<std::string> args = {}) {
        sim = std::make_unique<CSimProcess>(std::move(args));
        ASSERT_FALSE(sim->Path().empty()) << "zelta-radiosim did not start";
        host.portEntry = " " + sim->Path();
    }
    void Connect() {
        ASSERT_TRUE(protocol.ConnectRadio());
        commandsBefore = sim->Commands().size();
    }
    // The commands the simulator received since Connect().
    std::vector<std::string> Sent() const {
        std::vector<std::string> all = sim->Commands();
        return std::vector<std::string>(all.begin() + long(std::min(commandsBefore, all.size())),
                                        all.end());
    }
    const CRecordingHost::Status& LastStatus() const { return host.statuses.back(); }
    bool ReadThenStatus(bool expected, const char* text) {
        bool result = protocol.ReadAll();
        EXPECT_EQ(result, expected);
        EXPECT_EQ(LastStatus().text, text);
        EXPECT_EQ(LastStatus().background,
                  expected ? radio::kSuccessColour : radio::kFailureColour);
        EXPECT_FALSE(protocol.Port().IsOpen());
        return result;
    }

    std::unique_ptr<CSimProcess> sim;
    CRecordingHost host;
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol{host, fields.settings};
    size_t commandsBefore = 0;
};

TEST_F(ProtocolTest, ConnectReadsEveryParameterAndDisconnects) {
    Start();
    Connect();
    EXPECT_EQ(LastStatus().text, "Connect OK");
    EXPECT_EQ(LastStatus().paddingRight, 0);
    EXPECT_EQ(LastStatus().background, radio::kSuccessColour);
    EXPECT_FALSE(protocol.Port().IsOpen());
    EXPECT_EQ(protocol.OpenPortName(), sim->Path());
    EXPECT_EQ(protocol.OpenBaudRate(), 38400);

    ReadThenStatus(true, "Read OK");
    EXPECT_EQ(fields.currentChannel.selected(), 0);
    EXPECT_EQ(fields.protocolType.displayText(), " TRIMTALK");
    EXPECT_EQ(fields.portBaudRate.selectedText(), " 38400");
    EXPECT_EQ(fields.bandwidth.selectedText(), " 25.0");
    EXPECT_EQ(fields.linkBaudRate.selectedText(), " 9600");
    EXPECT_EQ(fields.workMode.selected(), 1);
    EXPECT_EQ(fields.highPower.selected(), 0);
    EXPECT_EQ(fields.lowPower.selected(), 0);
    EXPECT_EQ(fields.firmwareVersion.text(), "V2.10");
    EXPECT_EQ(fields.hardwareVersion.text(), "H1.0");
    EXPECT_EQ(fields.serialNumber.text(), "ZR2600001");
    EXPECT_EQ(fields.subFirmwareVersion.text(), "S1.03");
    EXPECT_EQ(fields.channel[1].text(), "430.00000");
    EXPECT_EQ(fields.channel[8].text(), "433.50000");
    EXPECT_EQ(fields.rxChannel[3].text(), "431.00000");
    EXPECT_EQ(fields.channel[0].text(), "");
    EXPECT_EQ(fields.channel[9].text(), "");
    EXPECT_EQ(fields.src.text(), "1");
    EXPECT_EQ(fields.dst.text(), "255");
    EXPECT_EQ(Sent().size(), 30u);

    ASSERT_TRUE(protocol.DisconnectRadio());
    EXPECT_EQ(LastStatus().text, "Disconnect OK");
    // Outside configuration mode the radio gives no useful answer.
    ReadThenStatus(false, "Read Error");
}

TEST_F(ProtocolTest, ReadOutsideConfigurationModeFailsAndSkipsToTheTolerantSteps) {
    Start();
    ReadThenStatus(false, "Read Error");
    // The channel query goes unanswered; the link-rate step's tolerance lets the read go on
    // to the powers, whose query fails too.
    std::vector<std::string> expected = {"cfg_ch_n\\r", "cfg_pwrh\\r"};
    EXPECT_EQ(sim->Commands(), expected);
    EXPECT_EQ(fields.linkBaudRate.entries(), std::vector<std::string>{"UNKNOW"});
    EXPECT_EQ(fields.linkBaudRate.selected(), -1);
}

TEST_F(ProtocolTest, UnansweredStepFailsTheReadEvenWhenLaterStepsSucceed) {
    Start({"--fault", "noreply@cfg_sbau"});
    Connect();
    ReadThenStatus(false, "Read Error");
    // The fields filled before the failure keep their values, and so do those of the steps
    // the tolerance let run.
    EXPECT_EQ(fields.currentChannel.selected(), 0);
    EXPECT_EQ(fields.protocolType.selected(), 0);
    EXPECT_EQ(fields.portBaudRate.selected(), -1); // untouched: nothing is preselected
    EXPECT_EQ(fields.channel[8].text(), "433.50000");
    EXPECT_EQ(fields.dst.text(), "255");
    std::vector<std::string> sent = Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "cfg_bw\\r"), 0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "cfg_baud\\r"), 0);
}

TEST_F(ProtocolTest, ToleratedAnswersLetTheReadSucceed) {
    {
        Start({"--fault", "unknown-protocol"});
        Connect();
        ReadThenStatus(true, "Read OK");
        EXPECT_EQ(fields.protocolType.displayText(), " UNKNOW");
        EXPECT_EQ(fields.channel[8].text(), "433.50000");
    }
    {
        Start({"--fault", "no-link-rate"});
        Connect();
        ReadThenStatus(true, "Read OK");
        EXPECT_EQ(fields.linkBaudRate.entries(), std::vector<std::string>{"UNKNOW"});
        EXPECT_EQ(fields.dst.text(), "255");
    }
}

TEST_F(ProtocolTest, FramingFaultsStillGiveTheValues) {
    for (const char* fault : {"garbage=12", "crcrlf"}) {
        SCOPED_TRACE(fault);
        Start({"--fault", fault});
        Connect();
        fields.channel[4].setText("");
        ReadThenStatus(true, "Read OK");
        EXPECT_EQ(fields.channel[4].text(), "431.50000");
        EXPECT_EQ(fields.serialNumber.text(), "ZR2600001");
        EXPECT_EQ(fields.dst.text(), "255");
    }
    // Replies ending in ACK complete without a line end; the ACK is part of the reply text.
    Start({"--fault", "ack"});
    ASSERT_TRUE(protocol.ConnectRadio());
    PrepareWrite(fields);
    ASSERT_TRUE(protocol.WriteAll());
}

TEST_F(ProtocolTest, LateOrDroppedAnswersFailTheCommand) {
    Start({"--fault", "delay=150@cfg_bw"});
    Connect();
    ReadThenStatus(true, "Read OK");

    Start({"--fault", "delay=900@cfg_bw"});
    Connect();
    ReadThenStatus(false, "Read Error");
    EXPECT_EQ(fields.bandwidth.selected(), 1); // kept from the earlier read

    Start({"--fault", "drop=3@cfg_ch_*"});
    Connect();
    PrepareWrite(fields);
    EXPECT_FALSE(protocol.WriteAll());
    EXPECT_EQ(LastStatus().text, "Write Error");
    // The third channel command went unanswered: nothing was sent after it.
    std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].rfind("cfg_ch_3 ", 0), 0u);
}

TEST_F(ProtocolTest, PortThatCannotBeOpenedFailsWithItsReason) {
    host.portEntry = " /dev/zelta-no-such-port";
    EXPECT_FALSE(protocol.ConnectRadio());
    EXPECT_EQ(LastStatus().text, "Connect Error");
    EXPECT_EQ(LastStatus().background, radio::kFailureColour);
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].kind, radio::FailureKind::Port);
    EXPECT_NE(host.failures[0].detail.find("/dev/zelta-no-such-port"), std::string::npos);

    host.portEntry = "";
    EXPECT_FALSE(protocol.ReadAll());
    EXPECT_EQ(LastStatus().text, "Read Error");
    // Without an open port nothing waits for a reply.
    EXPECT_FALSE(protocol.SendCommand("control\r"));
}

TEST_F(ProtocolTest, WriteSendsEveryParameterInItsRadioCode) {
    Start();
    Connect();
    PrepareWrite(fields);
    fields.serialNumberLabel.setText("SN:");
    fields.serialNumber.setText("ZR9");
    fields.settings.SerialNumberUnlocked = true;
    ASSERT_TRUE(protocol.WriteAll());
    EXPECT_EQ(LastStatus().text, "Write OK");
    EXPECT_TRUE(host.messages.empty());

    std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 16u + 11u);
    EXPECT_EQ(sent[0], "cfg_ch_1 440.12500\\r");
    EXPECT_EQ(sent[15], "cfg_rx_ch_8 450.25000\\r");
    std::vector<std::string> rest(sent.begin() + 16, sent.end());
    std::vector<std::string> expected = {
        "cfg_ch_n 4\\r",        "cfg_sbau 3\\r",   "cfg_baud 3\\r",   "cfg_bw 25.0\\r",
        "cfg_mode repeater\\r", "cfg_srcx 254\\r", "cfg_dstx 255\\r", "cfg_prtl 6\\r",
        "cfg_pwrh 2\\r",        "cfg_pwrl 3\\r",   "cfg_sern ZR9\\r"};
    EXPECT_EQ(rest, expected);
    // The addresses were brought into range, the unlock ended with the write.
    EXPECT_EQ(fields.src.text(), "254");
    EXPECT_EQ(fields.dst.text(), "255");
    EXPECT_FALSE(fields.settings.SerialNumberUnlocked);
    EXPECT_FALSE(fields.serialNumber.isEnabled());
    EXPECT_FALSE(fields.hardwareVersion.isEnabled());

    // What was written reads back.
    fields.channel[2].setText("");
    ReadThenStatus(true, "Read OK");
    EXPECT_EQ(fields.channel[2].text(), "440.12500");
    EXPECT_EQ(fields.protocolType.displayText(), " HI-TARGET");
    EXPECT_EQ(fields.serialNumber.text(), "ZR9");
    EXPECT_EQ(fields.currentChannel.selected(), 3);
}

TEST_F(ProtocolTest, TT450SIsSentWithTrimtalksCode) {
    Start();
    Connect();
    PrepareWrite(fields);
    fields.protocolType.select(radio::kProtocolTT450S);
    ASSERT_TRUE(protocol.WriteAll());
    std::vector<std::string> sent = Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "cfg_prtl 1\\r"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "cfg_baud 2\\r"), 1); // TT450S 25.0: 9600
}

TEST_F(ProtocolTest, PresenceChecksBeforeAnyCommand) {
    Start();
    Connect();
    PrepareWrite(fields);
    fields.lowPower.select(-1);
    EXPECT_FALSE(protocol.WriteAll());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Low Power: Invalid!");
    EXPECT_EQ(host.messages[0].caption, " Error");
    EXPECT_EQ(LastStatus().text, "Write Error");
    EXPECT_TRUE(Sent().empty());
    // The addresses are normalised all the same.
    EXPECT_EQ(fields.src.text(), "254");

    // An empty protocol only shows its message: the write goes on without its command.
    host.messages.clear();
    PrepareWrite(fields);
    fields.protocolType.select(-1);
    EXPECT_TRUE(protocol.WriteAll());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Protocol Type: Invalid!");
    std::vector<std::string> sent = Sent();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const std::string& c) { return c.rfind("cfg_prtl", 0) == 0; }),
              0);
    EXPECT_EQ(sent.back(), "cfg_pwrl 3\\r");

    // An unlocked but empty serial number stops the write before the port opens.
    host.messages.clear();
    size_t before = sim->Commands().size();
    PrepareWrite(fields);
    fields.serialNumber.setText("");
    fields.settings.SerialNumberUnlocked = true;
    EXPECT_FALSE(protocol.WriteAll());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "SN: Invalid!");
    EXPECT_EQ(sim->Commands().size(), before);
    EXPECT_FALSE(fields.settings.SerialNumberUnlocked);
}

TEST_F(ProtocolTest, InvalidFrequencyStopsTheWriteWithItsMessage) {
    Start();
    Connect();
    PrepareWrite(fields);
    fields.rxChannel[5].setText("abc");
    EXPECT_FALSE(protocol.WriteAll());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Channel5: Invalid!");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ProtocolTest, ValueWithALineEndIsNeverSent) {
    Start();
    Connect();
    PrepareWrite(fields);
    // Passes the frequency check (its number is in the band) but would smuggle a second
    // command onto the line.
    fields.channel[2].setText("440.125\rcfg_sern EVIL");
    EXPECT_FALSE(protocol.WriteAll());
    EXPECT_EQ(LastStatus().text, "Write Error");
    // Found before the port opened: not even the commands before it went out.
    EXPECT_TRUE(Sent().empty());
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_NE(host.failures[0].detail.find("Channel2: holds the control byte \\r"),
              std::string::npos);
}

TEST_F(ProtocolTest, DeviceThatDisappearsFailsTheWriteAndSendsNothingMore) {
    Start({"--fault", "vanish=4@cfg_*"});
    Connect();
    PrepareWrite(fields);
    EXPECT_FALSE(protocol.WriteAll());
    EXPECT_EQ(LastStatus().text, "Write Error");
    EXPECT_FALSE(protocol.Port().IsOpen());
    // The connection succeeds no more.
    EXPECT_FALSE(protocol.ConnectRadio());
}

TEST_F(ProtocolTest, SecondProgramOnThePortIsRefusedAtOnceAndTheFirstReadGoesOn) {
    Start({"--fault", "delay=40@cfg_*"});
    Connect();
    bool firstRead = false;
    std::thread reader([&] { firstRead = protocol.ReadAll(); });
    // Another program (here: another protocol with its own host) wants the same port while
    // the read has it.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Sent().empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    CRecordingHost otherHost;
    otherHost.portEntry = host.portEntry;
    radio::CPlainFields otherFields;
    radio::CRadioProtocol other(otherHost, otherFields.settings);
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(other.ConnectRadio());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    reader.join();

    EXPECT_TRUE(firstRead);
    ASSERT_EQ(otherHost.failures.size(), 1u);
    EXPECT_EQ(otherHost.failures[0].kind, radio::FailureKind::Port);
    EXPECT_EQ(otherHost.failures[0].detail,
              sim->Path() + ": busy: another program holds the port; close it and try again");
    EXPECT_EQ(otherHost.statuses.back().text, "Connect Error");
    std::vector<std::string> sent = Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "control\\r"), 0);
}

TEST_F(ProtocolTest, FileWithoutALineSendsNothingForIt) {
    Start();
    Connect();
    std::string text;
    for (int slot = 1; slot <= 8; ++slot)
        text += "Channel" + std::to_string(slot) + ",440.12500\r\nRXChannel" +
                std::to_string(slot) + ",450.25000\r\n";
    text += "ProtocolType,0\r\nLowPower,1\r\n"; // no PortBaudRate, no CurrentChannel
    radio::CPlainFields file;
    radio::CRadioProtocol writer(host, file.settings);
    radio::ImportConfigText(file.settings, text);
    EXPECT_TRUE(writer.WriteAll());
    std::vector<std::string> sent = Sent();
    for (const char* absent : {"cfg_sbau", "cfg_ch_n ", "cfg_mode", "cfg_pwrh"})
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                [&](const std::string& c) { return c.rfind(absent, 0) == 0; }),
                  0)
            << absent;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "cfg_prtl 1\\r"), 1);
    // The radio keeps its serial rate.
    ReadThenStatus(true, "Read OK");
    EXPECT_EQ(fields.portBaudRate.selectedText(), " 38400");
}

TEST_F(ProtocolTest, LateLinkRateReplyIsNotTakenForTheNextAnswer) {
    // The link rate comes after the read stopped waiting for it; the next command is the
    // high-power query, whose answer "1" must not become "9600".
    Start({"--fault", "delay=600@cfg_baud"});
    Connect();
    ReadThenStatus(true, "Read OK");
    EXPECT_EQ(fields.linkBaudRate.entries(), std::vector<std::string>{"UNKNOW"});
    EXPECT_EQ(fields.highPower.selected(), 0);
    EXPECT_EQ(fields.lowPower.selected(), 0);
    EXPECT_EQ(fields.firmwareVersion.text(), "V2.10");
    EXPECT_EQ(fields.dst.text(), "255");
}

TEST_F(ProtocolTest, FailureNamesThePortTheCommandAndTheCause) {
    Start({"--fault", "noreply@control"});
    EXPECT_FALSE(protocol.ConnectRadio());
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].kind, radio::FailureKind::Radio);
    EXPECT_EQ(host.failures[0].detail,
              sim->Path() + ": command \"control\": no reply within 465 ms");
    EXPECT_EQ(LastStatus().text, "Connect Error");

    // A value the radio would refuse is named, and nothing is sent.
    host.failures.clear();
    PrepareWrite(fields);
    fields.channel[3].setText("500");
    fields.rxChannel[7].setText("4\x01");
    size_t before = sim->Commands().size();
    EXPECT_FALSE(protocol.WriteAll());
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].detail,
              "write refused, nothing sent; Channel3: 500 is outside 410–470 MHz; RXChannel7: "
              "holds the control byte \\x01");
    EXPECT_EQ(sim->Commands().size(), before);
}

// A radio with fixed answers on a pseudo-terminal, for replies the simulator never gives.
// Each command (up to its carriage return) is answered "\r\n" + answer + "\r\n"; commands
// without an answer get none.
class CScriptedRadio {
public:
    explicit CScriptedRadio(std::map<std::string, std::string> answers)
        : m_answers(std::move(answers)) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        if (const char* name = ptsname(m_master))
            m_path = name;
        m_thread = std::thread([this] { Serve(); });
    }
    ~CScriptedRadio() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            close(m_master);
    }
    const std::string& Path() const { return m_path; }
    std::vector<std::string> Commands() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_commands;
    }

private:
    void Serve() {
        std::string line;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
                continue;
            char c = 0;
            if (read(m_master, &c, 1) != 1)
                continue;
            if (c != '\r') {
                line.push_back(c);
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_commands.push_back(line);
            }
            auto answer = m_answers.find(line);
            if (answer != m_answers.end()) {
                std::string reply = "\r\n" + answer->second + "\r\n";
                ssize_t written = write(m_master, reply.data(), reply.size());
                (void)written;
            }
            line.clear();
        }
    }

    std::map<std::string, std::string> m_answers;
    int m_master = -1;
    std::string m_path;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_commands;
};

std::map<std::string, std::string> FullAnswers() {
    std::map<std::string, std::string> answers = {{"cfg_ch_n", "current channel 0"},
                                                  {"cfg_prtl", "SOTH"},
                                                  {"cfg_sbau", "115200"},
                                                  {"cfg_bw", "12.5"},
                                                  {"cfg_baud", "4800"},
                                                  {"cfg_pwrh", "3"},
                                                  {"cfg_pwrl", "2"},
                                                  {"cfg_firm", "F1"},
                                                  {"cfg_hard", "H1.0ab"},
                                                  {"cfg_sern", "ZR2600001234"},
                                                  {"SREV", "S7"},
                                                  {"cfg_mode", "tx"},
                                                  {"cfg_srcx", "5"},
                                                  {"cfg_dstx", "6"}};
    for (int slot = 1; slot <= 8; ++slot) {
        std::string n = std::to_string(slot);
        answers["cfg_ch_" + n] = "ch " + n + " 44" + n + ".00000";
        answers["cfg_rx_ch_" + n] = "rx " + n + " 45" + n + ".00000";
    }
    return answers;
}

TEST(ScriptedRadio, ReplyWithoutTheTokenIsNamedInTheFailure) {
    CScriptedRadio radio(std::map<std::string, std::string>{{"control", "hello"}});
    ASSERT_FALSE(radio.Path().empty());
    CRecordingHost host;
    host.portEntry = " " + radio.Path();
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);
    EXPECT_FALSE(protocol.ConnectRadio());
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].detail,
              radio.Path() + ": command \"control\": the reply \"hello\" lacks \"into config\"");
}

TEST(ScriptedRadio, ReadTakesEveryReplyFormAndCutsTheIdentityTexts) {
    CScriptedRadio radio(FullAnswers());
    ASSERT_FALSE(radio.Path().empty());
    CRecordingHost host;
    host.portEntry = " " + radio.Path();
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);
    fields.currentChannel.select(4);

    EXPECT_TRUE(protocol.ReadAll());
    EXPECT_EQ(host.statuses.back().text, "Read OK");
    EXPECT_EQ(fields.currentChannel.selected(), -1); // channel 0: no selection
    EXPECT_EQ(fields.protocolType.displayText(), " SOUTH");
    EXPECT_EQ(fields.portBaudRate.selectedText(), " 115200");
    EXPECT_EQ(fields.bandwidth.selectedText(), " 12.5");
    EXPECT_EQ(fields.linkBaudRate.selectedText(), " 4800");
    EXPECT_EQ(fields.highPower.selected(), 2);
    EXPECT_EQ(fields.lowPower.selected(), 1);
    EXPECT_EQ(fields.serialNumber.text(), "ZR2600001");
    EXPECT_EQ(fields.hardwareVersion.text(), "H1.0");
    EXPECT_EQ(fields.subFirmwareVersion.text(), "S7");
    EXPECT_EQ(fields.channel[6].text(), "446.00000");
    EXPECT_EQ(fields.rxChannel[8].text(), "458.00000");
    EXPECT_EQ(fields.workMode.selected(), 0);
    EXPECT_EQ(fields.src.text(), "5");
    EXPECT_EQ(fields.dst.text(), "6");
}

TEST(ScriptedRadio, PowerOutOfRangeSelectsTheLastEntryAndFailsTheRead) {
    std::map<std::string, std::string> answers = FullAnswers();
    answers["cfg_pwrh"] = "4";
    CScriptedRadio radio(answers);
    CRecordingHost host;
    host.portEntry = " " + radio.Path();
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);
    EXPECT_FALSE(protocol.ReadAll());
    EXPECT_EQ(host.statuses.back().text, "Read Error");
    EXPECT_EQ(fields.highPower.selected(), 2);
    std::vector<std::string> commands = radio.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "cfg_pwrh");
}

// A frequency reply without its slot digit and a space ends the frequency loop.
TEST(ScriptedRadio, FrequencyReplyWithoutItsSlotStopsBeforeTheNextSlot) {
    std::map<std::string, std::string> answers = FullAnswers();
    answers["cfg_ch_3"] = "ch 3:441.00000";
    CScriptedRadio radio(answers);
    CRecordingHost host;
    host.portEntry = " " + radio.Path();
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);
    EXPECT_FALSE(protocol.ReadAll());
    EXPECT_EQ(fields.channel[2].text(), "442.00000");
    EXPECT_EQ(fields.channel[3].text(), "");
    std::vector<std::string> commands = radio.Commands();
    EXPECT_EQ(commands.back(), "cfg_ch_3");
}

} // namespace
