#include "pane/dialogs/FileFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Pane {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchOne(const char* name, const char* pattern, const char* patternEnd) {
    // Iterative wildcard match with one backtrack point for the last '*'.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (pattern < patternEnd &&
            (*pattern == '?' || LowerAscii(*pattern) == LowerAscii(*name))) {
            ++pattern;
            ++name;
        } else if (pattern < patternEnd && *pattern == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (starPattern != nullptr) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (pattern < patternEnd && *pattern == '*')
        ++pattern;
    return pattern == patternEnd;
}

bool LessIgnoringCase(const FolderEntry& a, const FolderEntry& b) {
    const std::size_t n = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = LowerAscii(a.name[i]);
        const char y = LowerAscii(b.name[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.name.size() != b.name.size())
        return a.name.size() < b.name.size();
    return a.name < b.name;
}

std::string g_lastFolder[2];

} // namespace

bool MatchesPattern(const std::string& name, const std::string& patterns) {
    std::size_t start = 0;
    bool any = false;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string::npos)
            end = patterns.size();
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && patterns[first] == ' ')
            ++first;
        while (last > first && patterns[last - 1] == ' ')
            --last;
        if (last > first) {
            any = true;
            if (MatchOne(name.c_str(), patterns.data() + first, patterns.data() + last))
                return true;
        }
        start = end + 1;
    }
    return !any;
}

FolderListing ReadFolder(const std::string& folder, const std::string& patterns) {
    FolderListing listing;
    listing.folder = folder;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        listing.error = std::strerror(errno);
        return listing;
    }
    std::vector<FolderEntry> folders;
    std::vector<FolderEntry> files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue; // ".", ".." and hidden entries
        const std::string path = JoinPath(folder, name);
        struct stat info {};
        // A link is shown as what it points to; a broken one as a file.
        const bool isFolder = ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        if (isFolder)
            folders.push_back({name, true});
        else if (MatchesPattern(name, patterns))
            files.push_back({name, false});
    }
    ::closedir(dir);
    std::sort(folders.begin(), folders.end(), LessIgnoringCase);
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    listing.entries = std::move(folders);
    listing.entries.insert(listing.entries.end(), files.begin(), files.end());
    return listing;
}

std::string ParentFolder(const std::string& folder) {
    const std::size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return folder.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string joined;
    if (name == "~" || name.rfind("~/", 0) == 0)
        joined = HomeFolder() + name.substr(1);
    else if (!name.empty() && name[0] == '/')
        joined = name;
    else
        joined = folder + "/" + name;
    // Resolve "." and ".." and repeated slashes.
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}

std::string FinalPath(const FileDialogOptions& options, const std::string& folder,
                      const std::string& name) {
    std::string path = JoinPath(folder, name);
    if (options.save && !options.defaultExtension.empty()) {
        const std::size_t slash = path.find_last_of('/');
        const std::string base = path.substr(slash + 1);
        if (!base.empty() && (base.find('.') == std::string::npos || base.back() == '.')) {
            if (base.back() == '.')
                path.pop_back();
            path += options.defaultExtension[0] == '.' ? options.defaultExtension
                                                       : "." + options.defaultExtension;
        }
    }
    return path;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return "/";
}

const std::string& LastFolder(bool save) {
    return g_lastFolder[save ? 1 : 0];
}

void SetLastFolder(bool save, const std::string& folder) {
    g_lastFolder[save ? 1 : 0] = folder;
}

} // namespace Pane
