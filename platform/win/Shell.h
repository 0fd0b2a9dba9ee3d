#pragma once
// Opening a link with the desktop's URL handler. Safe on any thread.

#include <string>

namespace plat {

// Hands `url` to the desktop's URL handler through the running backend. Returns false when the
// URL is refused (empty, containing control characters, or starting with '-'), no backend runs,
// or the handler cannot be started. Under PANE_BACKEND=headless nothing is launched: the URL
// is only recorded and true returned.
bool OpenURL(const std::string& url);

// The last URL accepted by OpenURL in this process (empty if none); for tests.
std::string LastOpenedURL();

} // namespace plat
