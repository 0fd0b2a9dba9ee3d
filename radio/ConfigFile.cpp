#include "radio/ConfigFile.h"

#include "platform/sys/ProgramFolder.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace radio {

namespace {

// Keys in the order the importer looks for them. Every transmit key also occurs inside the
// receive key of its slot, so the receive keys come first.
struct KeyInfo {
    const char* key;
    enum Kind { Receive, Transmit, Text, Index } kind;
    int slot;
};

const std::vector<KeyInfo>& SearchOrder() {
    static const std::vector<KeyInfo> keys = [] {
        static const char* const rx[] = {"RXChannel0", "RXChannel1", "RXChannel2", "RXChannel3",
                                         "RXChannel4", "RXChannel5", "RXChannel6", "RXChannel7",
                                         "RXChannel8", "RXChannel9"};
        static const char* const tx[] = {"Channel0", "Channel1", "Channel2", "Channel3",
                                         "Channel4", "Channel5", "Channel6", "Channel7",
                                         "Channel8", "Channel9"};
        std::vector<KeyInfo> list;
        for (int slot = 0; slot < kSlotCount; ++slot)
            list.push_back({rx[slot], KeyInfo::Receive, slot});
        for (int slot = 0; slot < kSlotCount; ++slot)
            list.push_back({tx[slot], KeyInfo::Transmit, slot});
        for (const char* key :
             {"ProtocolType", "CurrentChannel", "PortBaudRate", "LinkBaudRate", "workMode"})
            list.push_back({key, KeyInfo::Index, -1});
        list.push_back({"SRC", KeyInfo::Text, -1});
        list.push_back({"DST", KeyInfo::Text, -1});
        list.push_back({"HighPower", KeyInfo::Index, -1});
        list.push_back({"LowPower", KeyInfo::Index, -1});
        return list;
    }();
    return keys;
}

ISelector* SelectorOf(RadioSettings& settings, std::string_view key) {
    if (key == "ProtocolType")
        return settings.ProtocolType;
    if (key == "CurrentChannel")
        return settings.CurrentChannel;
    if (key == "PortBaudRate")
        return settings.PortBaudRate;
    if (key == "LinkBaudRate")
        return settings.LinkBaudRate;
    if (key == "workMode")
        return settings.workMode;
    if (key == "HighPower")
        return settings.HighPower;
    return settings.LowPower;
}

// Feeds the lines of a byte source to ApplyConfigLine: each line cut at kMaxConfigLine bytes
// (the rest of a longer line up to its line feed is skipped, never read as a line of its
// own), its line feed and the carriage returns before it removed. `next` returns the next
// byte or EOF.
template <class NextByte>
void ReadLines(RadioSettings& settings, NextByte next) {
    std::string line;
    bool overlong = false;
    bool any = false;
    for (;;) {
        int c = next();
        if (c == EOF || c == '\n') {
            if (c == EOF && !any)
                break;
            while (!line.empty() && line.back() == '\r')
                line.pop_back();
            ApplyConfigLine(settings, line);
            line.clear();
            overlong = false;
            any = false;
            if (c == EOF)
                break;
            continue;
        }
        any = true;
        if (overlong)
            continue;
        if (line.size() == kMaxConfigLine) {
            overlong = true;
            continue;
        }
        line.push_back(static_cast<char>(c));
    }
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Creates a new, empty temporary file in the folder of `path`; the name goes to `tempPath`.
int CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath =
            path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SetWhy(std::string* why, const std::string& text) {
    if (why)
        *why = text;
}

std::string SystemError(const std::string& path, const char* step) {
    return path + ": " + step + ": " + std::strerror(errno);
}

// Opens a file to import; a folder or other non-file counts as not opened.
std::FILE* OpenForImport(const std::string& path, std::string* why) {
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (!file) {
        SetWhy(why, SystemError(path, "cannot open"));
        return nullptr;
    }
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        SetWhy(why, path + ": cannot open: a folder");
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// Reads every line into the fields; false when reading stopped on an error, so that a file
// that could not be read to its end is not reported as imported.
bool ReadAndClose(RadioSettings& settings, std::FILE* file) {
    ReadLines(settings, [file]() { return std::getc(file); });
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

} // namespace

std::vector<std::pair<std::string, std::string>> ConfigEntries(const RadioSettings& settings) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (int slot = 0; slot < kSlotCount; ++slot)
        entries.emplace_back("Channel" + std::to_string(slot),
                             settings.Channel[static_cast<size_t>(slot)]->text());
    for (int slot = 0; slot < kSlotCount; ++slot)
        entries.emplace_back("RXChannel" + std::to_string(slot),
                             settings.RXChannel[static_cast<size_t>(slot)]->text());
    auto index = [&](const char* key, const ISelector* selector) {
        entries.emplace_back(key, std::to_string(selector->selected()));
    };
    index("ProtocolType", settings.ProtocolType);
    index("CurrentChannel", settings.CurrentChannel);
    index("PortBaudRate", settings.PortBaudRate);
    index("LinkBaudRate", settings.LinkBaudRate);
    index("workMode", settings.workMode);
    entries.emplace_back("SRC", settings.SRC->text());
    entries.emplace_back("DST", settings.DST->text());
    index("HighPower", settings.HighPower);
    index("LowPower", settings.LowPower);
    return entries;
}

std::string FormatConfig(const RadioSettings& settings) {
    std::string text;
    for (const auto& [key, value] : ConfigEntries(settings))
        text += key + "," + value + "\r\n";
    return text;
}

std::string ExportFileName(const std::string& chosen) {
    bool hasExtension = chosen.size() >= 5 && chosen.compare(chosen.size() - 4, 4, ".cfg") == 0;
    if (!hasExtension && chosen.size() < 250)
        return chosen + ".cfg";
    return chosen;
}

bool ExportConfigFile(const RadioSettings& settings, const std::string& path, std::string* why) {
    if (path.empty()) {
        SetWhy(why, "no file name given");
        return false;
    }
    // Write through a link to the file it names, and never replace a device or folder.
    std::string target = path;
    struct stat existing {};
    bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) {
            SetWhy(why, path + ": cannot write: not a regular file");
            return false;
        }
        // Replacing goes through the folder; the file's own permission decides, as writing
        // into it would have.
        if (::access(path.c_str(), W_OK) != 0) {
            SetWhy(why, SystemError(path, "cannot write"));
            return false;
        }
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }

    std::string tempPath;
    int fd = CreateTemporaryBeside(target, tempPath);
    if (fd < 0) {
        SetWhy(why, SystemError(path, "cannot create"));
        return false;
    }
    bool ok = true;
    const char* step = "cannot write";
    // Keep the permissions of the file being replaced.
    if (exists)
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, FormatConfig(settings));
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        step = "cannot replace";
        ok = ::rename(tempPath.c_str(), target.c_str()) == 0;
    }
    if (!ok) {
        SetWhy(why, SystemError(path, step));
        ::unlink(tempPath.c_str());
    }
    return ok;
}

bool ExportConfigTo(const std::string& path, const RadioSettings& settings, IRadioHost& host) {
    std::string why;
    if (ExportConfigFile(settings, path, &why))
        return true;
    host.ReportFailure({FailureKind::File, why});
    return false;
}

void ApplyConfigLine(RadioSettings& settings, std::string_view line) {
    // The file is text: a line ends at its first zero byte.
    line = line.substr(0, line.find('\0'));
    size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        return;
    std::string_view keyPart = line.substr(0, comma);
    std::string_view rest = line.substr(comma + 1);
    std::string value(rest.substr(0, rest.find(',')));

    for (const KeyInfo& info : SearchOrder()) {
        if (keyPart.find(info.key) == std::string_view::npos)
            continue;
        switch (info.kind) {
            case KeyInfo::Receive:
                settings.RXChannel[static_cast<size_t>(info.slot)]->setText(value);
                break;
            case KeyInfo::Transmit:
                settings.Channel[static_cast<size_t>(info.slot)]->setText(value);
                break;
            case KeyInfo::Text:
                (std::string_view(info.key) == "SRC" ? settings.SRC : settings.DST)->setText(value);
                break;
            case KeyInfo::Index:
                SelectorOf(settings, info.key)->select(ReadInteger(value));
                break;
        }
        return;
    }
}

void ImportConfigText(RadioSettings& settings, std::string_view text) {
    size_t pos = 0;
    ReadLines(settings, [&]() -> int {
        if (pos >= text.size())
            return EOF;
        return static_cast<unsigned char>(text[pos++]);
    });
}

bool ImportConfigFile(RadioSettings& settings, const std::string& path, std::string* why) {
    std::FILE* file = OpenForImport(path, why);
    if (!file)
        return false;
    if (ReadAndClose(settings, file))
        return true;
    SetWhy(why, path + ": read failed before the end of the file");
    return false;
}

FileDialogOptions ConfigDialogOptions(bool save, bool chinese) {
    FileDialogOptions options;
    options.save = save;
    if (save)
        options.title = chinese ? "导出配置" : "Export Config";
    else
        options.title = chinese ? "导入配置" : "Import Config";
    options.filterName = "Config File(*.cfg)";
    options.pattern = "*.cfg";
    options.initialFolder = plat::GetProgramFolder();
    options.overwritePrompt = save;
    options.fileMustExist = !save;
    if (save)
        options.defaultExtension = ".cfg";
    return options;
}

void ExportConfig(const RadioSettings& settings, IRadioHost& host, const ReportFunction& report) {
    std::string chosen;
    if (!host.ChooseFile(ConfigDialogOptions(true, host.IsChinese()), chosen))
        return;
    bool ok = ExportConfigTo(ExportFileName(chosen), settings, host);
    if (report)
        report(ok);
}

void ImportConfig(RadioSettings& settings, IRadioHost& host, const ReportFunction& report) {
    std::string chosen;
    if (!host.ChooseFile(ConfigDialogOptions(false, host.IsChinese()), chosen))
        return;
    // The outcome is whether the file could be read; its contents are not judged.
    std::string why;
    bool ok = ImportConfigFile(settings, chosen, &why);
    if (!ok)
        host.ReportFailure({FailureKind::File, why});
    if (report)
        report(ok);
}

} // namespace radio
