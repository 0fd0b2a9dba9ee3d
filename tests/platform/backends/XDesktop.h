#pragma once
// What the X server tells any client about a window, asked on a connection of the test's own
// (kept apart from the tests: Xlib's macros clash with other headers).

#include <cstdint>
#include <string>

namespace plat::test {

// The icon the desktop sees on an X window (_NET_WM_ICON: width, height, then ARGB pixels);
// false when there is none.
bool ReadDesktopIcon(const std::string& display, unsigned long window, int* width, int* height,
                     uint32_t* firstPixel);

} // namespace plat::test
