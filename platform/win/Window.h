#pragma once
// The window system the framework is written against: classes and procedures, a tree of
// top-level, popup and child windows, one message queue per UI thread, timers, focus, capture,
// hover tracking, painting, sizing, monitors, icons, clipboard text. Every call except
// PostMessage, SendMessage, IsWindow and GetTickCount belongs to the UI thread that called
// Initialise: made on another thread it fails as for a stale handle (null, false, 0) instead of
// racing with the UI thread, and asserts in debug builds.

#include "platform/base/Messages.h"
#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"
#include "platform/gfx/Bitmap.h"

#include <string>

namespace plat {

class Canvas;
using HDC = Canvas*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using HCURSOR = int; // one of the IDC_* shapes; 0 means none
using HMENU = uintptr_t;

// A window class: its name, procedure and class styles. Superclassing copies a class found with
// GetClassInfo, keeps its procedure for CallWindowProc and registers it under a new name.
struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HCURSOR hCursor = 0;
    std::string lpszClassName;
};

// Passed with WM_NCCREATE and WM_CREATE in lParam.
struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = 0;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    DWORD style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

// BeginPaint fills it: a canvas on the window's back buffer (origin at the window's client
// corner, clipped to the update rectangle) and the update rectangle in client coordinates.
struct PAINTSTRUCT {
    HDC hdc = nullptr;
    RECT rcPaint;
    BOOL fErase = 0;
};

// Sent with WM_STYLECHANGED (wParam GWL_STYLE or GWL_EXSTYLE) after SetWindowLongPtr changed
// the styles.
struct STYLESTRUCT {
    DWORD styleOld = 0;
    DWORD styleNew = 0;
};

// WM_GETMINMAXINFO: the maximised size and position (relative to the monitor's corner) and the
// smallest and largest size a window may be given by sizing. The window system fills in its
// defaults before asking the window.
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

// WM_NCCALCSIZE with wParam TRUE: rgrc[0] the window's new rectangle (the proposed client area on
// return), rgrc[1] its old rectangle, rgrc[2] its old client rectangle, in the parent's
// coordinates (screen coordinates for top-level and popup windows). With wParam FALSE lParam
// points at a single RECT, the same as rgrc[0].
struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos = nullptr;
};

// Monitors: a handle names one display of the backend; GetMonitorInfo fills in its whole
// rectangle, its work area (without panels and task bars) and whether it is the primary one.
struct MonitorObject;
using HMONITOR = MonitorObject*;
struct MONITORINFO {
    DWORD cbSize = 0;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags = 0;
};

// A window icon: a picture kept for the life of the program.
struct IconObject;
using HICON = IconObject*;

struct TRACKMOUSEEVENT {
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = HOVER_DEFAULT;
};

constexpr HWND HWND_TOP = nullptr;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr DWORD kDefaultHoverMs = 400;

// Start-up: picks the backend from PANE_BACKEND ("headless", otherwise SDL2) and makes the
// calling thread the UI thread (defined with the backends, which the window system itself does
// not know). Returns false when no backend can start. Shutdown destroys every
// window and makes pending cross-thread SendMessage calls fail.
bool Initialise();
void Shutdown();
bool IsHeadless();

// Classes. Registering a name that already exists succeeds and keeps the class registered first
// (the framework registers its classes once per window object).
bool RegisterClass(const WNDCLASS& wc);
bool GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* out);
bool UnregisterClass(const char* className, HINSTANCE instance);

// Windows.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param);
bool DestroyWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
bool SetProp(HWND hwnd, const char* name, void* value);
void* GetProp(HWND hwnd, const char* name);
void* RemoveProp(HWND hwnd, const char* name);
bool GetClassName(HWND hwnd, std::string* out);

bool ShowWindow(HWND hwnd, int cmd);
bool IsWindowVisible(HWND hwnd);
bool IsWindow(HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd); // maximised (SW_MAXIMIZE) and not yet restored
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
bool GetWindowRect(HWND hwnd, RECT* rect); // screen coordinates
bool GetClientRect(HWND hwnd, RECT* rect); // (0, 0, width, height)
bool ClientToScreen(HWND hwnd, POINT* pt);
bool ScreenToClient(HWND hwnd, POINT* pt);
HWND GetParent(HWND hwnd); // the parent of a child, the owner of a popup
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetAncestorTopLevel(HWND hwnd); // the top-level or popup window holding hwnd
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
bool SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);
std::string GetWindowTextString(HWND hwnd);
bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BYTE GetWindowOpacity(HWND hwnd);
// Records a rounded-rectangle window region (ellipse size ex × ey); a zero rectangle clears it.
bool SetWindowRgn(HWND hwnd, const RECT& rect, int ex, int ey, bool redraw);
bool GetWindowRgn(HWND hwnd, RECT* rect, int* ex, int* ey);

// Focus, capture, cursor, hover.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
HCURSOR LoadCursor(HINSTANCE instance, int id);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
bool GetCursorPos(POINT* pt);

// Timers.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* unused = nullptr);
bool KillTimer(HWND hwnd, UINT_PTR id);

// Painting.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase);
bool UpdateWindow(HWND hwnd);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A canvas on hwnd's client area outside the paint pass (measuring text, drawing at once), until
// ReleaseDC; what is drawn is shown with the next presentation. While held it follows the window:
// after a resize or a move of a child its origin and clip cover the client area anew (a clip the
// holder narrowed is opened again). Null for no window.
HDC GetDC(HWND hwnd);
bool ReleaseDC(HWND hwnd, HDC dc);
// The back buffer of the top-level or popup window holding hwnd, and hwnd's offset in it.
Bitmap* GetWindowBuffer(HWND hwnd, POINT* offset);

// The message queue.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
bool WaitMessage();

// Input state, time, screen.
short GetKeyState(int vk); // high bit set while down
short GetAsyncKeyState(int vk);
DWORD GetTickCount();
DWORD GetMessageTime();
bool GetMonitorWorkArea(HWND hwnd, RECT* rect); // of the monitor MonitorFromWindow picks (nearest)

// The monitor that holds most of the window (MonitorFromWindow) or the point. Neither on a
// monitor, nor a live window: the primary monitor (MONITOR_DEFAULTTOPRIMARY), the nearest one
// (MONITOR_DEFAULTTONEAREST; for a window that is not, the primary) or null.
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

// The picture of the embedded resource `number` of type "ICON" (kIconResource is the program's
// icon); null when the program has none. Top-level windows start with the program's icon;
// WM_SETICON gives a window another one (null: none) and answers the previous one.
HICON LoadIcon(HINSTANCE instance, int number);

// Clipboard text (UTF-8).
bool SetClipboardText(const std::string& text);
std::string GetClipboardText();

// IME: the focused editor tells where its caret is; composed text reaches it as WM_CHAR per code
// point. Text input runs while at least one window asks for it.
void SetImeRect(HWND hwnd, const RECT& caretClient);
void StartTextInput(HWND hwnd);
void StopTextInput(HWND hwnd);

} // namespace plat
