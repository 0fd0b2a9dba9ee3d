// The firmware upgrade against the simulated radio's boot loader.

#include "radio/Upgrade.h"
#include "radio/PlainFields.h"
#include "tests/radio/RecordingHost.h"
#include "tests/radio/SimProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
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

TEST_F(UpgradeTest, FilesTooSmallOrMissingAreRefusedWithoutContactingTheRadio) {
    Start();
    host.fileAnswers.push_back(File(4096));
    EXPECT_FALSE(radio::UpgradeFirmware(protocol));
    ExpectResult(false);

    host.fileAnswers.push_back(TempPath("absent.dwn"));
    EXPECT_FALSE(radio::UpgradeFirmware(protocol));
    ExpectResult(false);
    EXPECT_TRUE(sim->Commands().empty());
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
