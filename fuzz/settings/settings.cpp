// Writes arbitrary bytes as the settings file, reads every value back through the settings
// calls, then stores each value again and checks that it reads back unchanged.
#include "platform/sys/Settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

const std::string& Root() {
    static const std::string root = [] {
        char dir[] = "/tmp/fuzz-settings-XXXXXX";
        if (::mkdtemp(dir) == nullptr)
            std::abort();
        ::setenv("XDG_CONFIG_HOME", dir, 1);
        ::mkdir((std::string(dir) + "/ZevovaD").c_str(), 0700);
        return std::string(dir);
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = Root() + "/ZevovaD/settings.ini";
    FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    plat::HKEY key = nullptr;
    Check(plat::RegOpenKeyEx(plat::HKEY_CURRENT_USER, "Software\\ZevovaD", 0, plat::KEY_ALL_ACCESS,
                             &key) == plat::ERROR_SUCCESS);
    std::vector<std::pair<std::string, std::string>> values;
    for (plat::DWORD i = 0;; ++i) {
        char name[300];
        std::vector<plat::BYTE> value(size + 2);
        plat::DWORD nameSize = sizeof name;
        plat::DWORD valueSize = static_cast<plat::DWORD>(value.size());
        const plat::LONG rc =
            plat::RegEnumValue(key, i, name, &nameSize, nullptr, nullptr, value.data(), &valueSize);
        if (rc == plat::ERROR_NO_MORE_ITEMS)
            break;
        if (rc == plat::ERROR_MORE_DATA)
            continue; // a name longer than the buffer
        Check(rc == plat::ERROR_SUCCESS);
        Check(std::strlen(name) == nameSize);
        Check(valueSize >= 1 && value[valueSize - 1] == 0);
        values.emplace_back(name, reinterpret_cast<const char*>(value.data()));
    }
    for (const auto& [name, value] : values)
        Check(plat::RegSetValueEx(key, name.c_str(), 0, plat::REG_SZ,
                                  reinterpret_cast<const plat::BYTE*>(value.c_str()),
                                  static_cast<plat::DWORD>(value.size() + 1)) ==
              plat::ERROR_SUCCESS);
    for (const auto& [name, value] : values) {
        std::vector<plat::BYTE> back(value.size() + 1);
        plat::DWORD backSize = static_cast<plat::DWORD>(back.size());
        Check(plat::RegQueryValueEx(key, name.c_str(), nullptr, nullptr, back.data(), &backSize) ==
              plat::ERROR_SUCCESS);
        Check(value == reinterpret_cast<const char*>(back.data()));
    }
    Check(plat::RegCloseKey(key) == plat::ERROR_SUCCESS);
    return 0;
}
