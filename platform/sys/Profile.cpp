#include "platform/sys/Profile.h"

#include "platform/base/NameCompare.h"
#include "platform/base/TextUtf8.h"
#include "platform/sys/File.h"

#include <cstring>
#include <string>
#include <vector>

namespace plat {

namespace {

// A profile file larger than this is not a profile file.
constexpr std::size_t kMaxProfileBytes = std::size_t{16} << 20;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::size_t CutLength(std::string_view s, std::size_t maxBytes) {
    return Utf8PrefixLength(s.data(), s.size(), maxBytes);
}

uint32_t CopyCut(std::string_view s, char* buffer, uint32_t bufferSize) {
    if (buffer == nullptr || bufferSize == 0)
        return 0;
    const std::size_t n = CutLength(s, bufferSize - 1);
    if (n > 0)
        std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
    return static_cast<uint32_t>(n);
}

// Names each followed by a terminator, then one more terminator; cut to fit.
uint32_t CopyList(const std::vector<std::string_view>& names, char* buffer, uint32_t bufferSize) {
    if (buffer == nullptr || bufferSize == 0)
        return 0;
    if (bufferSize == 1) {
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t room = bufferSize - 1; // the final terminator is always kept
    std::size_t used = 0;
    for (std::string_view name : names) {
        if (used + name.size() + 1 <= room) {
            if (!name.empty())
                std::memcpy(buffer + used, name.data(), name.size());
            used += name.size();
            buffer[used++] = '\0';
            continue;
        }
        // A cut list counts neither of its two closing terminators, as the size-minus-two
        // result of a full buffer says.
        if (used == room) { // the previous name ended exactly at the final terminator
            buffer[used] = '\0';
            return static_cast<uint32_t>(used - 1);
        }
        const std::size_t n = CutLength(name, room - used - 1);
        if (n > 0)
            std::memcpy(buffer + used, name.data(), n);
        buffer[used + n] = '\0';
        buffer[used + n + 1] = '\0';
        return static_cast<uint32_t>(used + n);
    }
    buffer[used] = '\0';
    if (used == 0)
        buffer[1] = '\0';
    return static_cast<uint32_t>(used);
}

// One pass over the text: calls onSection(name) for each section header and
// onKey(section, key, value) for each key line inside a section.
template <typename OnSection, typename OnKey>
void Scan(std::string_view text, OnSection onSection, OnKey onKey) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    bool inSection = false;
    std::string_view section;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // A terminator inside a line ends what a C string could carry.
        line = line.substr(0, line.find('\0'));
        line = Trim(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            std::string_view name = line.substr(1);
            name = Trim(name.substr(0, name.find(']')));
            section = name;
            inSection = true;
            onSection(name);
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t eq = line.find('=');
        std::string_view name = Trim(line.substr(0, eq));
        std::string_view value;
        if (eq != std::string_view::npos)
            value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (!name.empty())
            onKey(section, name, value);
    }
}

void AddUnique(std::vector<std::string_view>& names, std::string_view name) {
    for (std::string_view n : names)
        if (SameName(n, name))
            return;
    names.push_back(name);
}

uint32_t CopyDefault(const char* defaultValue, char* buffer, uint32_t bufferSize) {
    std::string_view d = defaultValue ? std::string_view(defaultValue) : std::string_view();
    while (!d.empty() && IsBlank(d.back()))
        d.remove_suffix(1);
    return CopyCut(d, buffer, bufferSize);
}

} // namespace

uint32_t GetProfileStringFromText(std::string_view text, const char* section, const char* key,
                                  const char* defaultValue, char* buffer, uint32_t bufferSize) {
    if (buffer == nullptr || bufferSize == 0)
        return 0;
    std::vector<std::string_view> names;
    if (section == nullptr) {
        Scan(
            text, [&](std::string_view name) { AddUnique(names, name); },
            [](std::string_view, std::string_view, std::string_view) {});
        return CopyList(names, buffer, bufferSize);
    }
    const std::string_view wanted = Trim(section);
    if (key == nullptr) {
        Scan(
            text, [](std::string_view) {},
            [&](std::string_view sec, std::string_view name, std::string_view) {
                if (SameName(sec, wanted))
                    AddUnique(names, name);
            });
        return CopyList(names, buffer, bufferSize);
    }
    const std::string_view wantedKey = Trim(key);
    bool found = false;
    std::string_view result;
    Scan(
        text, [](std::string_view) {},
        [&](std::string_view sec, std::string_view name, std::string_view value) {
            if (!found && SameName(sec, wanted) && SameName(name, wantedKey)) {
                found = true;
                result = value;
            }
        });
    if (!found)
        return CopyDefault(defaultValue, buffer, bufferSize);
    return CopyCut(result, buffer, bufferSize);
}

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t bufferSize, const char* path) {
    if (buffer == nullptr || bufferSize == 0)
        return 0;
    std::string text;
    if (path == nullptr || !ReadFileText(path, &text, kMaxProfileBytes)) {
        if (section == nullptr || key == nullptr)
            return CopyList({}, buffer, bufferSize);
        return CopyDefault(defaultValue, buffer, bufferSize);
    }
    return GetProfileStringFromText(text, section, key, defaultValue, buffer, bufferSize);
}

} // namespace plat
