// The trace of the exchange: what is written for a connection and a read, line by line (the
// serial thread writes what arrives, the operation's thread what is sent).

#include "radio/Trace.h"
#include "tests/radio/SimRig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using radio::test::CSimProcess;
using radio::test::CSimRig;
using radio::test::ReadWholeFile;
using radio::test::TempPath;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Trace, EscapesControlBytes) {
    EXPECT_EQ(radio::EscapeBytes(std::string("a\r\n\t\\\x06\xe4z", 8)),
              "a\\r\\n\\t\\\\\\x06\\xE4z");
}

TEST(Trace, RecordsEveryLineSentAndReceivedWithTimeAndDirection) {
    CSimRig rig;
    ASSERT_FALSE(rig.sim.Path().empty());
    const CSimProcess& sim = rig.sim;
    radio::CRadioProtocol& protocol = rig.protocol;
    std::string path = TempPath("trace.txt");
    std::string error;
    ASSERT_TRUE(radio::StartTrace(path, &error)) << error;
    EXPECT_TRUE(protocol.ConnectRadio());
    EXPECT_TRUE(protocol.ReadAll());
    radio::StopTrace();
    EXPECT_FALSE(radio::TraceActive());

    std::vector<std::string> lines = Lines(ReadWholeFile(path));
    std::regex form(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (->|<-|--) .*)");
    std::string received;
    size_t sent = 0;
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, form)) << line;
        if (line.compare(24, 3 + sim.Path().size() + 1, "-> " + sim.Path() + " ") == 0)
            ++sent;
        if (line.compare(24, 3 + sim.Path().size() + 1, "<- " + sim.Path() + " ") == 0)
            received += line.substr(24 + 3 + sim.Path().size() + 1);
    }
    EXPECT_EQ(lines.front().substr(24), "-- opened " + sim.Path() + " at 38400");
    EXPECT_EQ(lines[1].substr(24), "-> " + sim.Path() + " control\\r");
    // Connect, then the read's 30 commands.
    EXPECT_EQ(sent, 31u);
    // A reply's final line feed may come after the next command flushed the input.
    EXPECT_NE(received.find("\\r\\ninto config\\r"), std::string::npos);
    EXPECT_NE(received.find("ZR2600001"), std::string::npos);
    std::remove(path.c_str());

    // A file that cannot be opened says so.
    EXPECT_FALSE(radio::StartTrace(TempPath("no/such/folder/trace.txt"), &error));
    EXPECT_NE(error.find("cannot open the trace file"), std::string::npos);
}

// Run by the test below in a process of its own, where the variable is set from the start.
TEST(Trace, ChildOpensThePortNamedInItsEnvironment) {
    const char* slave = std::getenv("ZELTA_TRACE_TEST_PORT");
    if (!slave)
        GTEST_SKIP() << "runs only as the child of EnvironmentStartsItOnTheFirstPortOpened";
    radio::test::CRecordingHost host;
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);
    ASSERT_TRUE(protocol.Port().Open(slave, 9600));
    ASSERT_TRUE(protocol.Port().QueueWrite("exitcnt\r", 8));
    protocol.Port().Close();
}

TEST(Trace, EnvironmentStartsItOnTheFirstPortOpened) {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::string slave = ptsname(master);
    std::string path = TempPath("env-trace.txt");
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string command = "ZELTA_RCT_TRACE='" + path + "' ZELTA_TRACE_TEST_PORT='" + slave + "' '" +
                          self +
                          "' --gtest_filter=Trace.ChildOpensThePortNamedInItsEnvironment "
                          ">/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> lines = Lines(ReadWholeFile(path));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(24), "-- opened " + slave + " at 9600");
    EXPECT_EQ(lines[1].substr(24), "-> " + slave + " exitcnt\\r");
    EXPECT_EQ(lines[2].substr(24), "-- closed " + slave);
    close(master);
    std::remove(path.c_str());
}

} // namespace
