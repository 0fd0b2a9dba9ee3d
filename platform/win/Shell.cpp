#include "platform/win/Shell.h"

#include "platform/win/WindowState.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace plat {

namespace {

std::mutex g_urlMutex;
std::string g_lastUrl; // guarded by g_urlMutex

bool HeadlessChosen() {
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

bool OpenURL(const std::string& url) {
    if (!IsAcceptable(url))
        return false;
    {
        std::lock_guard<std::mutex> lock(g_urlMutex);
        g_lastUrl = url;
    }
    if (HeadlessChosen())
        return true;
    // Held across the call so that Shutdown cannot free the backend underneath it.
    std::lock_guard<std::mutex> lock(detail::Q().mutex);
    return detail::Q().backend != nullptr && detail::Q().backend->OpenURL(url);
}

std::string LastOpenedURL() {
    std::lock_guard<std::mutex> lock(g_urlMutex);
    return g_lastUrl;
}

} // namespace plat
