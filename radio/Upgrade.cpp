#include "radio/Upgrade.h"

#include "platform/sys/ProgramFolder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// A firmware file opened, its size known and its first page read, so that a file that cannot
// be sent is refused before the radio is contacted.
struct FirmwareImage {
    File file;
    int64_t size = 0;
    uint8_t firstPage[kFirmwarePageSize] = {};
};

bool OpenFirmware(const std::string& path, FirmwareImage& image, std::string& why) {
    // Without blocking: a pipe given by mistake would otherwise wait for a writer for ever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = path + ": cannot open the firmware file: " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = path + ": not a firmware file (not a regular file)";
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    image.file.reset(::fdopen(fd, "rb"));
    if (!image.file) {
        why = path + ": cannot open the firmware file: " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    image.size = info.st_size;
    // A file of one boot block or less holds no image.
    if (image.size <= kFirmwarePagesOffset) {
        why = path + ": not a firmware file: " + std::to_string(image.size) + " bytes, more than " +
              std::to_string(kFirmwarePagesOffset) + " expected";
        return false;
    }
    errno = 0;
    if (std::fread(image.firstPage, 1, sizeof image.firstPage, image.file.get()) !=
            sizeof image.firstPage ||
        std::fseek(image.file.get(), static_cast<long>(kFirmwarePagesOffset), SEEK_SET) != 0) {
        why = path +
              ": cannot read the firmware file: " + (errno ? std::strerror(errno) : "read failed");
        return false;
    }
    return true;
}

bool SendPage(CRadioProtocol& protocol, const uint8_t* page) {
    if (!protocol.Expect("write page", "get page"))
        return false;
    std::vector<uint8_t> frame = BuildPageFrame(page);
    if (protocol.Exchange(frame.data(), static_cast<int>(frame.size())) &&
        protocol.ReplyContains("write OK"))
        return true;
    protocol.NoteBadReply("lacks \"write OK\"");
    return false;
}

bool SendImage(CRadioProtocol& protocol, FirmwareImage& image) {
    if (!protocol.OpenRadioPort(true))
        return false;
    if (!protocol.Expect("boot_start", "boot start") || !SendPage(protocol, image.firstPage))
        return false;
    int64_t pagesSent = 1;
    uint8_t page[kFirmwarePageSize];
    // A final part shorter than a page is not sent.
    while (std::fread(page, 1, sizeof page, image.file.get()) == sizeof page) {
        if (!SendPage(protocol, page))
            return false;
        ++pagesSent;
        protocol.Host().UpgradeProgress(UpgradeProgressAfter(pagesSent, image.size));
        std::this_thread::sleep_for(kPagePause);
    }
    // A read error is not the end of the image: finishing would leave the radio with part
    // of it.
    if (std::ferror(image.file.get())) {
        protocol.NoteFailure(FailureKind::File, "the firmware file could not be read to its end");
        return false;
    }
    // The boot loader does not answer its finish text.
    if (!protocol.Port().QueueWrite("ISP finish", 10)) {
        protocol.NoteFailure(FailureKind::Port,
                             protocol.PortLabel() + ": \"ISP finish\" not sent, the port closed");
        return false;
    }
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
    if (!protocol.BeginOperation(Operation::Upgrade))
        return false;
    host.UpgradeBusy(true);
    bool ok = false;
    {
        FirmwareImage image;
        std::string why;
        if (OpenFirmware(path, image, why))
            ok = SendImage(protocol, image);
        else
            protocol.NoteFailure(FailureKind::File, why);
    }
    protocol.FinishUpgrade(ok);
    host.UpgradeBusy(false);
    return ok;
}

} // namespace radio
