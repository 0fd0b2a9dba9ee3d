#include "app/StoredSettings.h"

#include "pane/controls/Combo.h"
#include "platform/sys/Settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace app {

namespace {

constexpr const char* kSettingsKey = "Software\\ZevovaD";
constexpr const char* kPortValue = "Port";
constexpr const char* kBaudValue = "Baud";
constexpr const char* kChineseValue = "Chinese";
// Names and data are read, and values written, with buffers of this size.
constexpr plat::DWORD kValueBytes = 256;

// The whole text as a decimal number, or nothing: a stored value such as "abc" or "2x" is
// not taken for 0 or 2, it is ignored.
std::optional<long> ParseDecimal(const char* text) {
    if (text[0] == '\0')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0')
        return std::nullopt;
    return value;
}

// Selects entry `index` of `combo` when it is one of its entries.
bool SelectIfInRange(Pane::CComboUI* combo, long index) {
    if (combo == nullptr || index < 0 || index >= combo->GetCount())
        return false;
    combo->SelectItem(static_cast<int>(index));
    return true;
}

// Calls `use` with the name and data of every value of the settings key; false when the key
// cannot be opened.
template <class Use>
bool ForEachStoredValue(Use use) {
    plat::HKEY key = nullptr;
    if (plat::RegOpenKeyEx(plat::HKEY_CURRENT_USER, kSettingsKey, 0, plat::KEY_READ, &key) !=
        plat::ERROR_SUCCESS)
        return false;
    for (plat::DWORD index = 0;; ++index) {
        char name[kValueBytes] = {};
        char data[kValueBytes + 1] = {}; // one more byte so the text always ends
        plat::DWORD nameSize = kValueBytes;
        plat::DWORD dataSize = kValueBytes;
        plat::DWORD type = plat::REG_NONE;
        const plat::LONG result =
            plat::RegEnumValue(key, index, name, &nameSize, nullptr, &type,
                               reinterpret_cast<plat::BYTE*>(data), &dataSize);
        if (result == plat::ERROR_NO_MORE_ITEMS)
            break;
        // A value too long for the buffers is none of ours; the next one may be.
        if (result == plat::ERROR_MORE_DATA)
            continue;
        if (result != plat::ERROR_SUCCESS)
            break;
        if (type == plat::REG_SZ)
            use(name, data);
    }
    plat::RegCloseKey(key);
    return true;
}

std::optional<long> StoredIndex(const char* valueName) {
    std::optional<long> index;
    ForEachStoredValue([&](const char* name, const char* data) {
        if (std::strcmp(name, valueName) == 0)
            index = ParseDecimal(data);
    });
    return index;
}

} // namespace

void LoadStoredSettings(Pane::CComboUI* port, Pane::CComboUI* baud, bool& chinese) {
    ForEachStoredValue([&](const char* name, const char* data) {
        const std::optional<long> number = ParseDecimal(data);
        if (std::strcmp(name, kBaudValue) == 0) {
            if (number)
                SelectIfInRange(baud, *number);
        } else if (std::strcmp(name, kPortValue) == 0) {
            if (number)
                SelectIfInRange(port, *number);
        } else if (std::strcmp(name, kChineseValue) == 0) {
            chinese = number == 1L;
        }
    });
}

bool ReapplyStoredBaud(Pane::CComboUI* baud) {
    const std::optional<long> index = StoredIndex(kBaudValue);
    return index && SelectIfInRange(baud, *index);
}

void SaveStoredSettings(int portIndex, int baudIndex, bool chinese) {
    plat::HKEY key = nullptr;
    if (plat::RegCreateKeyEx(plat::HKEY_CURRENT_USER, kSettingsKey, 0, nullptr,
                             plat::REG_OPTION_NON_VOLATILE,
                             plat::KEY_CREATE_SUB_KEY | plat::KEY_SET_VALUE, nullptr, &key,
                             nullptr) != plat::ERROR_SUCCESS)
        return;
    const auto write = [key](const char* name, int value) {
        // The text followed by zero bytes up to the full buffer, written whole.
        char buffer[kValueBytes] = {};
        std::snprintf(buffer, sizeof buffer, "%d", value);
        plat::RegSetValueEx(key, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(buffer),
                            kValueBytes);
    };
    // A list without a selection reports -1, which is stored as it is.
    write(kPortValue, portIndex);
    write(kBaudValue, baudIndex);
    write(kChineseValue, chinese ? 1 : 0);
    plat::RegCloseKey(key);
}

} // namespace app
