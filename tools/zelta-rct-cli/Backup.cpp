#include "tools/zelta-rct-cli/Backup.h"

#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "radio/Protocol.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace cli {

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

} // namespace

std::string BackupFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base = data && data[0] == '/' ? data : HomeFolder() + "/.local/share";
    return base + "/zelta-rct/backups";
}

std::string BackupFileName(std::time_t when, const std::string& serialNumber) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    std::string serial;
    for (char c : serialNumber) {
        bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                     c == '-' || c == '.';
        serial += plain ? c : '_';
    }
    return std::string(stamp) + "_" + (serial.empty() ? "unknown" : serial) + ".cfg";
}

int BackUpRadio(CCliHost& host) {
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);
    host.SetStep("Backup");
    if (!protocol.ReadAll()) {
        std::fprintf(stderr, "Backup Error: the radio could not be read, so nothing was "
                             "written (--no-backup writes without a backup)\n");
        return host.FailureExitStatus();
    }
    namespace fs = std::filesystem;
    std::string folder = BackupFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr,
                     "Backup Error: %s: cannot create the folder: %s; nothing was "
                     "written\n",
                     folder.c_str(), error.message().c_str());
        return 4;
    }
    std::string name = BackupFileName(std::time(nullptr), fields.serialNumber.text());
    std::string path = folder + "/" + name;
    // Two writes within a second keep both backups.
    for (int n = 2; fs::exists(path, error) && n < 100; ++n)
        path = folder + "/" + name.substr(0, name.size() - 4) + "_" + std::to_string(n) + ".cfg";
    std::string why;
    if (!radio::ExportConfigFile(fields.settings, path, &why)) {
        std::fprintf(stderr, "Backup Error: %s; nothing was written\n", why.c_str());
        return 4;
    }
    std::fprintf(stderr, "Backup saved: %s\n", path.c_str());
    return 0;
}

} // namespace cli
