#pragma once
// The few shell services the program uses: the folder it runs from and opening a link with
// the desktop's URL handler. Safe on any thread.

#include <string>

namespace plat {

// The folder holding the running executable, without a trailing slash ("/" for the root).
// Empty when it cannot be found.
std::string GetProgramFolder();

// Hands `url` to the desktop's URL handler. Returns false when the URL is refused (empty,
// containing control characters, or starting with '-') or the handler cannot be started.
// Under PANE_BACKEND=headless nothing is launched: the URL is only recorded and true returned.
bool OpenURL(const std::string& url);

// The last URL accepted by OpenURL in this process (empty if none); for tests.
std::string LastOpenedURL();

} // namespace plat
