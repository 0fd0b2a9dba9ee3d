#pragma once
// The desktop backend on SDL2: one SDL window for each top-level or popup window, the window's
// back buffer copied into the window surface in software, SDL input handed to the window system
// in screen coordinates. Pop-ups are override-redirect windows that never hold the desktop's
// keyboard focus; the window system's own focus model decides where keys go, and the backend
// turns the owner losing the focus, moving or being minimised, and presses in our other windows,
// into the pop-up losing its focus. UI thread only, except Wake.

#include "platform/gfx/Bitmap.h"
#include "platform/win/Backend.h"

namespace plat::sdl {

// The virtual key (VK_*, 'A'..'Z', '0'..'9') of an SDL key code; 0 when there is none.
int VirtualKeyOf(int sdlKeycode);

// The character a key produces while text input is off (letters with Shift or Caps Lock
// upper-cased, digits, space), as far as it does not depend on the keyboard layout; 0 for
// every other key (control characters are TranslateMessage's work).
char32_t CharacterOf(int sdlKeycode, bool shift, bool capsLock);

// Copies what the native window of hwnd's top-level or popup window shows now (its window
// surface) into `out` as opaque B,G,R,A. False when the SDL backend is not running or the
// window has no native window.
bool ReadNativePixels(HWND hwnd, Bitmap* out);

// How many times the backend copied a rectangle to the screen, over every window.
int PresentCount();

// Makes a round trip to the display and hands every event it sent before the call to the window
// system (queued as messages, not yet dispatched). After a program that drove the display has
// exited (its own connection closed, which waits for the server), its input is then queued.
// False when the SDL backend is not running.
bool DeliverPendingInput();

// The X window of a top-level or popup window (0 when there is none or the display is not
// X11), for tests that ask the X server what the desktop sees.
unsigned long NativeWindowId(HWND hwnd);

} // namespace plat::sdl
