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

// Binds the keysym (by name, "eacute") to a keycode that has none, for good. xdotool types a
// character missing from the keyboard map by binding it for a moment and unbinding it right
// after; a program slower than that finds the binding gone when it reads the key. With the
// character in the map from the start, xdotool just presses its key.
bool BindSpareKey(const std::string& display, const char* keysymName);

} // namespace plat::test
