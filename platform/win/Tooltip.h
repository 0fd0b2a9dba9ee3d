#pragma once
// The tooltip window: class "tooltips_class32", a pop-up owned by the window whose controls it
// describes. It holds tools (TTM_ADDTOOL with TOOLINFO) and shows one tracking tool's text
// (TTM_TRACKACTIVATE) beside the pointer, or at TTM_TRACKPOSITION, until deactivated: on a pale
// background with a frame, in the window's font (WM_SETFONT; the default GUI font otherwise),
// line breaks kept, lines wrapped at the maximum width (TTM_SETMAXTIPWIDTH). The delays
// (TTM_SETDELAYTIME) are the owner's to wait: the initial delay is the hover time before it
// activates the tool. The window never takes the pointer: hit tests look through it, so the
// window below keeps its hover and gets no mouse-leave. UI thread only, like every window.

#include "platform/win/Window.h"

namespace plat {

constexpr const char* TOOLTIPS_CLASS = "tooltips_class32";

// A tool: the window and id that name it, its rectangle in that window's client coordinates
// and its text (UTF-8, '\n' breaks a line; copied by the tooltip).
struct TOOLINFO {
    UINT cbSize = sizeof(TOOLINFO);
    UINT uFlags = 0;
    HWND hwnd = nullptr;
    UINT_PTR uId = 0;
    RECT rect;
    HINSTANCE hinst = nullptr;
    const char* lpszText = nullptr;
    LPARAM lParam = 0;
};

// Default delays in milliseconds, as the desktop derives them from its double-click time.
constexpr DWORD kTooltipInitialMs = 500;
constexpr DWORD kTooltipAutoPopMs = 5000;
constexpr DWORD kTooltipReshowMs = 100;

// A tooltip is a tool window above every other that the pointer passes through.
constexpr DWORD kTooltipExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT;
bool IsTooltipClass(const char* className);

// Registers the class (once; later calls return true). Called by Initialise.
bool RegisterTooltipClass();

// The tooltip's window procedure, for superclasses that chain to it.
LRESULT TooltipWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace plat
