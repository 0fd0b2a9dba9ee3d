#pragma once
// The headless backend (PANE_BACKEND=headless): windows live in memory only, time is a virtual
// clock that only moves when told, and input is synthesised in screen coordinates. Tests and
// scripted sessions drive the UI through these calls and read back each window's pixels and the
// state a display would have shown (opacity, region, cursor, minimised, text input). UI thread
// only, after Initialise with the headless backend.

#include "platform/gfx/Bitmap.h"
#include "platform/win/Backend.h"
#include "platform/win/Window.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace plat::headless {

// Whether the running backend is the headless one (every call below does nothing otherwise).
bool Active();

// Virtual time. AdvanceClock moves the clock forward by `ms`, stopping at every timer deadline
// on the way to let the due timers fire and the queue drain.
DWORD Clock();
void AdvanceClock(DWORD ms);

// Dispatches every queued message, sent call, due timer and pending paint until nothing is
// left; returns how many messages were dispatched. Never waits.
int PumpMessages();

// Called each time GetMessage finds nothing to do and would wait (also inside nested loops): a
// script synthesises input or advances the clock there, and clears the hook when it is done.
// Without a hook GetMessage waits for another thread to post or send, or, with auto-advance on,
// jumps the clock to the next timer deadline.
void SetIdleHook(std::function<void()> hook);
void SetAutoAdvance(bool on);

// Synthetic input at screen coordinates; each call also pumps the queue afterwards.
void MouseMove(int x, int y);
void MouseDown(int x, int y, MouseButton button = MouseButton::Left);
void MouseUp(int x, int y, MouseButton button = MouseButton::Left);
void Click(int x, int y, MouseButton button = MouseButton::Left);
void DoubleClick(int x, int y);
void Wheel(int x, int y, int delta);
void KeyDown(int vk);
void KeyUp(int vk);
// Down and up, with the modifiers given held around it (e.g. KeyPress('A', {VK_CONTROL})).
void KeyPress(int vk, std::initializer_list<int> modifiers = {});
void Char(char32_t ch);
void Text(const std::string& utf8);
void CloseRequest(HWND hwnd);
void FocusChanged(HWND hwnd, bool focused);

// What the display would show for a top-level or popup window.
struct NativeState {
    bool shown = false;
    bool minimised = false;
    bool active = false;
    BYTE opacity = 255;
    RECT rect;   // screen
    RECT region; // client; empty when none
    int regionEx = 0;
    int regionEy = 0;
    std::string title;
    int presents = 0; // how many times a part of the back buffer was presented
    Bitmap icon;      // the picture shown for the window; empty when none
};
bool GetNativeState(HWND hwnd, NativeState* out);

HCURSOR Cursor();
bool TextInputOn();
RECT ImeRect(); // screen
bool MouseCaptured();
// The displays (the primary one first); SetWorkArea changes the primary one's work area.
void SetWorkArea(const RECT& rect);
void SetMonitors(const std::vector<MonitorDesc>& monitors);

// The back buffer of the top-level or popup window holding hwnd (null when none), and as PNG.
const Bitmap* Pixels(HWND hwnd);
bool SavePng(HWND hwnd, const std::string& path);

} // namespace plat::headless
