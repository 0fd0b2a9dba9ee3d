#include "platform/sys/Settings.h"
#include "platform/base/NameCompare.h"
#include "platform/sys/File.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <pwd.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace plat {

// An open key: the components below "Software" and the access it was opened with.
struct SettingsKey {
    std::vector<std::string> path;
    REGSAM access = 0;
};

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

// A settings file larger than this is not one the program wrote.
constexpr std::size_t kMaxFileSize = 1 << 20;

std::mutex g_mutex; // guards g_keys and every read-modify-write of a settings file
std::unordered_map<SettingsKey*, std::unique_ptr<SettingsKey>> g_keys;

std::string ConfigRoot() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') // relative values are to be ignored
        return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr ? pw->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/')
        return {};
    return std::string(home) + "/.config";
}

SettingsKey* Lookup(HKEY key) {
    auto it = g_keys.find(key);
    return it == g_keys.end() ? nullptr : it->second.get();
}

// Resolves root + subKey into the components below "Software". Each component becomes a
// folder name, so anything that could leave the settings folder is refused.
bool ResolvePath(HKEY root, const char* subKey, std::vector<std::string>& path) {
    std::vector<std::string> parts;
    if (root != HKEY_CURRENT_USER) {
        const SettingsKey* parent = Lookup(root);
        if (parent == nullptr)
            return false;
        path = parent->path;
    } else {
        path.clear();
    }
    std::string_view rest = subKey != nullptr ? std::string_view(subKey) : std::string_view();
    while (!rest.empty()) {
        const std::size_t cut = rest.find('\\');
        std::string_view part = rest.substr(0, cut);
        rest.remove_prefix(cut == std::string_view::npos ? rest.size() : cut + 1);
        if (part.empty())
            continue;
        if (part == "." || part == ".." || part.find('/') != std::string_view::npos)
            return false;
        parts.emplace_back(part);
    }
    std::size_t first = 0;
    if (root == HKEY_CURRENT_USER) {
        if (parts.empty() || !SameName(parts[0], "Software"))
            return false;
        first = 1;
    }
    for (std::size_t i = first; i < parts.size(); ++i)
        path.push_back(parts[i]);
    return !path.empty();
}

std::string FolderOf(const std::vector<std::string>& path) {
    std::string folder = ConfigRoot();
    if (folder.empty())
        return {};
    for (const std::string& part : path)
        folder += "/" + part;
    return folder;
}

std::string FileOf(const std::vector<std::string>& path) {
    const std::string folder = FolderOf(path);
    return folder.empty() ? std::string() : folder + "/settings.ini";
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        const std::string prefix = folder.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Escapes what the line format cannot hold: the escape character, control bytes (line ends
// among them), '=' in names and a ';' that would start a comment line.
std::string Escape(std::string_view text, bool isName) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F || (isName && (c == '=' || (c == ';' && i == 0)))) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return false;
        const int hi = HexDigit(text[i + 2]), lo = HexDigit(text[i + 3]);
        if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
            return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 3;
    }
    return true;
}

// Parses a whole settings file; false (and no values) when any line is malformed.
bool Parse(std::string_view text, Values& values) {
    values.clear();
    if (text.find('\0') != std::string_view::npos)
        return false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == ';')
            continue;
        const std::size_t eq = line.find('=');
        std::string name, value;
        if (eq == std::string_view::npos || !Unescape(line.substr(0, eq), name) ||
            !Unescape(line.substr(eq + 1), value)) {
            values.clear();
            return false;
        }
        bool seen = false;
        for (const auto& v : values)
            seen = seen || SameName(v.first, name);
        if (!seen) // the first of repeated names holds, as a lookup would find it
            values.emplace_back(std::move(name), std::move(value));
    }
    return true;
}

Values Load(const std::string& file) {
    Values values;
    std::string text;
    if (ReadFileText(file, &text, kMaxFileSize))
        Parse(text, values);
    return values;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the whole file beside its final name, flushes it and renames it into place.
bool Store(const std::string& file, const Values& values) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos || !MakeFolders(file.substr(0, slash)))
        return false;
    std::string text = "; per-user settings, one name=value a line\n";
    for (const auto& [name, value] : values)
        text += Escape(name, true) + "=" + Escape(value, false) + "\n";
    std::string temp = file + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

LONG CopyData(const std::string& value, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (type != nullptr)
        *type = REG_SZ;
    if (dataSize == nullptr)
        return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    const DWORD needed = static_cast<DWORD>(value.size() + 1);
    if (data == nullptr) {
        *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, value.data(), value.size());
    data[value.size()] = 0;
    *dataSize = needed;
    return ERROR_SUCCESS;
}

HKEY AddKey(std::vector<std::string> path, REGSAM access) {
    auto key = std::make_unique<SettingsKey>();
    key->path = std::move(path);
    key->access = access;
    HKEY handle = key.get();
    g_keys.emplace(handle, std::move(key));
    return handle;
}

} // namespace

LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD, REGSAM access, HKEY* result) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (root != HKEY_CURRENT_USER && Lookup(root) == nullptr)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> path;
    if (!ResolvePath(root, subKey, path))
        return ERROR_FILE_NOT_FOUND;
    const std::string file = FileOf(path);
    if (file.empty() || !IsRegularFile(file))
        return ERROR_FILE_NOT_FOUND;
    *result = AddKey(std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY root, const char* subKey, DWORD, char*, DWORD, REGSAM access, const void*,
                    HKEY* result, DWORD* disposition) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (root != HKEY_CURRENT_USER && Lookup(root) == nullptr)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> path;
    if (!ResolvePath(root, subKey, path))
        return ERROR_ACCESS_DENIED;
    const std::string file = FileOf(path);
    if (file.empty())
        return ERROR_ACCESS_DENIED;
    const bool exists = IsRegularFile(file);
    if (!exists && !Store(file, {}))
        return ERROR_ACCESS_DENIED;
    if (disposition != nullptr)
        *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = AddKey(std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, DWORD* type,
                  BYTE* data, DWORD* dataSize) {
    if (name == nullptr || nameSize == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(g_mutex);
    const SettingsKey* k = Lookup(key);
    if (k == nullptr)
        return ERROR_INVALID_HANDLE;
    if ((k->access & KEY_QUERY_VALUE) == 0)
        return ERROR_ACCESS_DENIED;
    const Values values = Load(FileOf(k->path));
    if (index >= values.size())
        return ERROR_NO_MORE_ITEMS;
    const auto& [valueName, value] = values[index];
    if (valueName.size() + 1 > *nameSize)
        return ERROR_MORE_DATA;
    std::memcpy(name, valueName.data(), valueName.size());
    name[valueName.size()] = '\0';
    *nameSize = static_cast<DWORD>(valueName.size());
    return CopyData(value, type, data, dataSize);
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
    std::lock_guard<std::mutex> lock(g_mutex);
    const SettingsKey* k = Lookup(key);
    if (k == nullptr)
        return ERROR_INVALID_HANDLE;
    if ((k->access & KEY_QUERY_VALUE) == 0)
        return ERROR_ACCESS_DENIED;
    const std::string_view wanted = name != nullptr ? name : "";
    for (const auto& [valueName, value] : Load(FileOf(k->path)))
        if (SameName(valueName, wanted))
            return CopyData(value, type, data, dataSize);
    return ERROR_FILE_NOT_FOUND;
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD, DWORD type, const BYTE* data,
                   DWORD dataSize) {
    if (type != REG_SZ || (data == nullptr && dataSize != 0))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(g_mutex);
    const SettingsKey* k = Lookup(key);
    if (k == nullptr)
        return ERROR_INVALID_HANDLE;
    if ((k->access & KEY_SET_VALUE) == 0)
        return ERROR_ACCESS_DENIED;
    const auto* text = reinterpret_cast<const char*>(data);
    const std::string value(text, data == nullptr ? 0 : ::strnlen(text, dataSize));
    const std::string valueName = name != nullptr ? name : "";
    const std::string file = FileOf(k->path);
    Values values = Load(file);
    bool replaced = false;
    for (auto& v : values) {
        if (SameName(v.first, valueName)) {
            v.second = value;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        values.emplace_back(valueName, value);
    return Store(file, values) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LONG RegCloseKey(HKEY key) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_keys.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace plat
