#include "radio/Upgrade.h"

#include "platform/sys/ProgramFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace radio {

namespace {

// Pauses of the boot loader dialogue: after every page but the first, and after the final
// text before the port is closed.
constexpr std::chrono::milliseconds kPagePause{50};
constexpr std::chrono::milliseconds kFinishPause{100};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The file's size, or -1 when it cannot be told.
int64_t SizeOf(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    return size;
}

bool SendPage(CRadioProtocol& protocol, const uint8_t* page) {
    std::vector<uint8_t> frame = BuildPageFrame(page);
    return protocol.SendCommand("write page") && protocol.ReplyContains("get page") &&
           protocol.Exchange(frame.data(), static_cast<int>(frame.size())) &&
           protocol.ReplyContains("write OK");
}

bool SendImage(CRadioProtocol& protocol, std::FILE* file, int64_t fileSize) {
    if (!protocol.OpenRadioPort(true))
        return false;
    if (!protocol.SendCommand("boot_start") || !protocol.ReplyContains("boot start"))
        return false;
    uint8_t page[kFirmwarePageSize];
    if (std::fread(page, 1, sizeof page, file) != sizeof page || !SendPage(protocol, page))
        return false;
    if (std::fseek(file, static_cast<long>(kFirmwarePagesOffset), SEEK_SET) != 0)
        return false;
    int64_t pagesSent = 1;
    // A final part shorter than a page is not sent.
    while (std::fread(page, 1, sizeof page, file) == sizeof page) {
        if (!SendPage(protocol, page))
            return false;
        ++pagesSent;
        protocol.Host().UpgradeProgress(UpgradeProgressAfter(pagesSent, fileSize));
        std::this_thread::sleep_for(kPagePause);
    }
    // A read error is not the end of the image: finishing would leave the radio with part
    // of it.
    if (std::ferror(file))
        return false;
    // The boot loader does not answer its finish text.
    if (!protocol.Port().QueueWrite("ISP finish", 10))
        return false;
    std::this_thread::sleep_for(kFinishPause);
    return true;
}

} // namespace

std::vector<uint8_t> BuildPageFrame(const uint8_t* page) {
    std::vector<uint8_t> frame(page, page + kFirmwarePageSize);
    unsigned sum = 0;
    for (int64_t i = 0; i < kFirmwarePageSize; ++i)
        sum += page[i];
    frame.push_back(static_cast<uint8_t>(sum >> 8));
    frame.push_back(static_cast<uint8_t>(sum & 0xFF));
    return frame;
}

int UpgradeProgressAfter(int64_t pagesSent, int64_t fileSize) {
    int64_t divisor = fileSize - kFirmwareSkippedBytes;
    if (divisor <= 0)
        return 0;
    // 64-bit: the accumulator of page bytes times 10000 passes 2^31 after 839 pages.
    int64_t progress = pagesSent * kFirmwarePageSize * kProgressFull / divisor;
    return static_cast<int>(std::min<int64_t>(progress, kProgressFull));
}

int UpgradeProgressPadding(int progress) {
    return (kProgressFull - progress) * kProgressBarWidth / kProgressFull;
}

FileDialogOptions FirmwareDialogOptions(bool chinese) {
    FileDialogOptions options;
    options.save = false;
    options.title = chinese ? "选择文件" : "Select File";
    options.filterName = chinese ? "程序文件(*.dwn)" : "Firmware File(*.dwn)";
    options.pattern = "*.dwn";
    options.initialFolder = plat::GetProgramFolder();
    options.fileMustExist = true;
    return options;
}

bool UpgradeFirmware(CRadioProtocol& protocol) {
    std::string path;
    if (!protocol.Host().ChooseFile(FirmwareDialogOptions(protocol.Host().IsChinese()), path))
        return false;
    return UpgradeFirmwareFile(protocol, path);
}

bool UpgradeFirmwareFile(CRadioProtocol& protocol, const std::string& path) {
    IRadioHost& host = protocol.Host();
    host.UpgradeBusy(true);
    bool ok = false;
    {
        File file(std::fopen(path.c_str(), "rb"));
        // A file of one boot block or less holds no image: refused before the radio is
        // contacted.
        int64_t size = file ? SizeOf(file.get()) : -1;
        if (size > kFirmwarePagesOffset)
            ok = SendImage(protocol, file.get(), size);
    }
    protocol.ReportResult(ok, Operation::Upgrade);
    host.UpgradeBusy(false);
    return ok;
}

} // namespace radio
