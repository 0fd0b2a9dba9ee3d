#include "platform/Shell.h"

#include <SDL.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace plat {

namespace {

std::mutex g_urlMutex;
std::string g_lastUrl; // guarded by g_urlMutex

bool IsHeadless() {
    const char* backend = std::getenv("PANE_BACKEND");
    return backend != nullptr && std::strcmp(backend, "headless") == 0;
}

// The handler receives the URL as its argument: a leading '-' would read as an option, and
// control characters have no place in a link.
bool IsAcceptable(const std::string& url) {
    if (url.empty() || url.front() == '-')
        return false;
    for (unsigned char c : url)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

} // namespace

std::string GetProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string folder(path, static_cast<std::size_t>(n));
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    folder.resize(slash);
    return folder;
}

bool OpenURL(const std::string& url) {
    if (!IsAcceptable(url))
        return false;
    {
        std::lock_guard<std::mutex> lock(g_urlMutex);
        g_lastUrl = url;
    }
    if (IsHeadless())
        return true;
    return SDL_OpenURL(url.c_str()) == 0;
}

std::string LastOpenedURL() {
    std::lock_guard<std::mutex> lock(g_urlMutex);
    return g_lastUrl;
}

} // namespace plat
