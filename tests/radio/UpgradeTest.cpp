// The firmware upgrade against the simulated radio's boot loader.

#include "radio/Upgrade.h"
#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "tests/radio/RecordingHost.h"
#include "tests/radio/SimProcess.h"
#include "tests/radio/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using radio::test::CRecordingHost;
using radio::test::CSimProcess;
using radio::test::ReadWholeFile;
using radio::test::TempPath;
using radio::test::WriteWholeFile;

// A firmware file whose every byte tells its offset apart from its neighbours'.
std::string FirmwareOf(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + (i >> 8)) & 0xFF);
    return data;
}

// The image a boot loader should end up with: the first page, then the whole pages from 4096.
std::string ImageOf(const std::string& file) {
    std::string image = file.substr(0, 256);
    for (size_t offset = 4096; offset + 256 <= file.size(); offset += 256)
        image += file.substr(offset, 256);
    return image;
}

class UpgradeTest : public testing::Test {
protected:
    void TearDown() override {
        for (const std::string& path : m_files)
            std::remove(path.c_str());
    }

    void Start(std::vector<std::string> args = {}) {
        image = TempPath("image.bin");
        m_files.push_back(image);
        args.push_back("--firmware-out");
        args.push_back(image);
        sim = std::make_unique<CSimProcess>(std::move(args));
        ASSERT_FALSE(sim->Path().empty()) << "zelta-radiosim did not start";
        host.portEntry = " " + sim->Path();
        host.baudEntry = " 9600"; // the boot loader's rate is used whatever the settings say
    }
    std::string File(size_t size) {
        std::string path = TempPath("firmware.dwn");
        m_files.push_back(path);
        WriteWholeFile(path, FirmwareOf(size));
        return path;
    }
    // The simulator writes the image when "ISP finish" arrives; wait for it.
    std::string ReceivedImage(size_t expectedSize) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string data;
        while (std::chrono::steady_clock::now() < deadline) {
            data = ReadWholeFile(image);
            if (data.size() >= expectedSize)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return data;
    }
    // The result comes as one host call between busy and not busy, with the cause of a
    // failure just before it; the upgrade itself never touches the status line.
    void ExpectResult(bool success) {
        EXPECT_EQ(host.finished, std::vector<bool>{success});
        EXPECT_EQ(host.failures.size(), success ? 0u : 1u);
        EXPECT_TRUE(host.statuses.empty());
        EXPECT_EQ(host.busyCalls, (std::vector<bool>{true, false}));
        EXPECT_FALSE(protocol.Port().IsOpen());
        host.finished.clear();
        host.failures.clear();
        host.busyCalls.clear();
        host.events.clear();
    }
    long Count(const std::string& command) const {
        std::vector<std::string> sent = sim->Commands();
        return std::count_if(sent.begin(), sent.end(), [&](const std::string& c) {
            return c.compare(0, command.size(), command) == 0;
        });
    }

    std::unique_ptr<CSimProcess> sim;
    std::string image;
    CRecordingHost host;
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol{host, fields.settings};

private:
    std::vector<std::string> m_files;
};

TEST(PageFrame, CarriesTheSumHighByteFirst) {
    std::vector<uint8_t> page(256, 0xFF);
    std::vector<uint8_t> frame = radio::BuildPageFrame(page.data());
    ASSERT_EQ(frame.size(), 258u);
    EXPECT_EQ(frame[256], 0xFF);
    EXPECT_EQ(frame[257], 0x00);
}

TEST(UpgradeProgress, NeverOverflowsOnLargeImages) {
    // Page bytes times 10000 no longer fit 32 bits after 839 pages.
    int64_t size = 4096 + 256 * 40000;
    EXPECT_EQ(radio::UpgradeProgressAfter(20001, size), 5000);
    EXPECT_EQ(radio::UpgradeProgressAfter(40001, size), 10000);
    EXPECT_EQ(radio::UpgradeProgressPadding(5000), 108);
}

TEST_F(UpgradeTest, SendsTheFirstPageAndTheWholePagesFromTheBootBlockOn) {
    Start();
    // Three whole pages after the boot block, then 100 bytes that are not sent.
    std::string path = File(4096 + 256 * 3 + 100);
    host.fileAnswers.push_back(path);
    ASSERT_TRUE(radio::UpgradeFirmware(protocol));
    ExpectResult(true);
    EXPECT_EQ(protocol.OpenBaudRate(), radio::kBootRate);
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].pattern, "*.dwn");

    std::string expected = ImageOf(FirmwareOf(4096 + 256 * 3 + 100));
    ASSERT_EQ(expected.size(), 4u * 256);
    EXPECT_EQ(ReceivedImage(expected.size()), expected);
    EXPECT_EQ(Count("boot_start"), 1);
    EXPECT_EQ(Count("write page"), 4);
    EXPECT_EQ(Count("ISP finish"), 1);
    // Progress after each page but the first, against the bytes a whole-page file sends.
    int divisor = 256 * 3 + 100 + 256;
    EXPECT_EQ(host.progressCalls, (std::vector<int>{512 * 10000 / divisor, 768 * 10000 / divisor,
                                                    1024 * 10000 / divisor}));
}

TEST_F(UpgradeTest, ProgressReachesFullOnAWholePageFile) {
    Start();
    host.fileAnswers.push_back(File(4096 + 256 * 3));
    ASSERT_TRUE(radio::UpgradeFirmware(protocol));
    EXPECT_EQ(host.progressCalls, (std::vector<int>{5000, 7500, 10000}));
}

TEST_F(UpgradeTest, FileOfOneByteMoreThanTheBootBlockSendsOnlyTheFirstPage) {
    Start();
    host.fileAnswers.push_back(File(4097));
    ASSERT_TRUE(radio::UpgradeFirmware(protocol));
    ExpectResult(true);
    EXPECT_EQ(ReceivedImage(256), FirmwareOf(256));
    EXPECT_EQ(Count("write page"), 1);
    EXPECT_TRUE(host.progressCalls.empty());
}

TEST_F(UpgradeTest, FilesThatCannotBeSentAreRefusedWithoutContactingTheRadio) {
    Start();
    std::string folder = TempPath("firmware-folder");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    std::string fifo = TempPath("firmware-fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string small = File(4096);
    struct Case {
        std::string path;
        std::string detail;
    } cases[] = {
        {small, small + ": not a firmware file: 4096 bytes, more than 4096 expected"},
        {TempPath("absent.dwn"), ": cannot open the firmware file: No such file or directory"},
        {folder, folder + ": not a firmware file (not a regular file)"},
        // A pipe would block a plain open until some writer came.
        {fifo, fifo + ": not a firmware file (not a regular file)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        host.fileAnswers.push_back(c.path);
        EXPECT_FALSE(radio::UpgradeFirmware(protocol));
        ASSERT_EQ(host.failures.size(), 1u);
        EXPECT_EQ(host.failures[0].kind, radio::FailureKind::File);
        EXPECT_NE(host.failures[0].detail.find(c.detail), std::string::npos)
            << host.failures[0].detail;
        EXPECT_EQ(host.events,
                  (std::vector<std::string>{"busy", "failure", "finished failed", "not busy"}));
        ExpectResult(false);
    }
    // Not one byte reached the radio.
    EXPECT_TRUE(sim->Commands().empty());
    ::rmdir(folder.c_str());
    std::remove(fifo.c_str());
}

TEST_F(UpgradeTest, UnreadableFileNeverReachesTheRadio) {
    Start();
    std::string path = File(4096 + 256 * 2);
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    host.fileAnswers.push_back(path);
    RunUnprivileged([&] {
        EXPECT_FALSE(radio::UpgradeFirmware(protocol));
        ASSERT_EQ(host.failures.size(), 1u);
        EXPECT_EQ(host.failures[0].detail,
                  path + ": cannot open the firmware file: Permission denied");
        ExpectResult(false);
    });
    EXPECT_TRUE(sim->Commands().empty());
}

// A host whose progress can be watched from another thread while the upgrade runs.
class CWatchedHost : public CRecordingHost {
public:
    void UpgradeProgress(int progress) override {
        CRecordingHost::UpgradeProgress(progress);
        pages.fetch_add(1);
    }
    std::atomic<int> pages{0};
};

TEST(UpgradeBeside, FileOperationsRunAndRadioOperationsAreRefusedWhileItRuns) {
    CSimProcess sim({"--firmware-out", TempPath("beside-image.bin")});
    ASSERT_FALSE(sim.Path().empty());
    CWatchedHost host;
    host.portEntry = " " + sim.Path();
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol{host, fields.settings};
    std::string firmware = TempPath("beside.dwn");
    WriteWholeFile(firmware, FirmwareOf(4096 + 256 * 12));

    bool upgraded = false;
    std::thread worker([&] { upgraded = radio::UpgradeFirmwareFile(protocol, firmware); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (host.pages.load() < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_GE(host.pages.load(), 1) << "the upgrade did not start";

    // The window's thread meanwhile: an export and its status, then a radio command.
    std::string exported = TempPath("beside.cfg");
    bool saved = radio::ExportConfigFile(fields.settings, exported);
    protocol.ReportResult(saved, radio::Operation::Export);
    EXPECT_TRUE(protocol.Port().IsOpen()); // the export left the upgrade's port alone
    EXPECT_FALSE(protocol.ConnectRadio());
    worker.join();

    EXPECT_TRUE(saved);
    EXPECT_TRUE(upgraded);
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].kind, radio::FailureKind::Port);
    EXPECT_EQ(host.failures[0].detail,
              sim.Path() +
                  ": busy: the firmware upgrade running in this program holds the port; try "
                  "again when it has finished");
    ASSERT_EQ(host.statuses.size(), 2u);
    EXPECT_EQ(host.statuses[0].text, "Export OK");
    EXPECT_EQ(host.statuses[1].text, "Connect Error");
    EXPECT_EQ(host.finished, std::vector<bool>{true});
    EXPECT_EQ(host.pages.load(), 12);
    // Nothing but the upgrade's own commands reached the radio.
    for (const std::string& command : sim.Commands())
        EXPECT_EQ(command.find("control"), std::string::npos) << command;
    std::remove(firmware.c_str());
    std::remove(exported.c_str());
}

TEST_F(UpgradeTest, CancelledDialogDoesNothing) {
    Start();
    host.fileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(radio::UpgradeFirmware(protocol));
    EXPECT_TRUE(host.busyCalls.empty());
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_TRUE(sim->Commands().empty());
}

TEST_F(UpgradeTest, RefusedPageStopsTheUpgrade) {
    Start({"--fault", "bad-sum=2"});
    host.fileAnswers.push_back(File(4096 + 256 * 4));
    EXPECT_FALSE(radio::UpgradeFirmware(protocol));
    ExpectResult(false);
    // Nothing is sent after the refused second page: no further page, no finish.
    EXPECT_EQ(Count("write page"), 2);
    EXPECT_EQ(Count("ISP finish"), 0);
    EXPECT_EQ(host.progressCalls, std::vector<int>{});
}

TEST_F(UpgradeTest, SilentBootLoaderFailsAtOnce) {
    Start({"--fault", "noreply@boot_start"});
    host.fileAnswers.push_back(File(4096 + 256));
    EXPECT_FALSE(radio::UpgradeFirmware(protocol));
    ExpectResult(false);
    EXPECT_EQ(Count("write page"), 0);
}

TEST_F(UpgradeTest, RunsOnAnotherThreadThanTheOneThatMadeTheProtocol) {
    Start();
    host.fileAnswers.push_back(File(4096 + 256 * 2));
    bool result = false;
    std::thread worker([&] { result = radio::UpgradeFirmware(protocol); });
    worker.join();
    EXPECT_TRUE(result);
    ExpectResult(true);
}

} // namespace
