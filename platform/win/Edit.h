#pragma once
// The native edit control: window class "Edit", a single-line or (ES_MULTILINE) multi-line text
// field painted with the font given by WM_SETFONT. Several lines wrap at the edge unless
// ES_AUTOHSCROLL or WS_HSCROLL asks for sideways scrolling. It keeps its text as UTF-8 with
// limits in characters, answers the edit messages (EM_*, and the rich edit's EM_GETSCROLLPOS and
// EM_SETSCROLLPOS in pixels), tells its parent about changes with WM_COMMAND (EN_CHANGE,
// EN_UPDATE, EN_SETFOCUS, EN_KILLFOCUS, EN_MAXTEXT, and EN_VSCROLL or EN_HSCROLL whenever the
// text has scrolled, for any reason) and asks it for colours with
// WM_CTLCOLOREDIT, or WM_CTLCOLORSTATIC while read-only or disabled. Editing keys arrive as
// WM_KEYDOWN (Backspace, Delete, arrows, Home/End, Ctrl+A/C/X/V/Z/Y, Shift+Delete,
// Ctrl/Shift+Insert, Return in a multi-line edit); WM_CHAR and WM_IME_CHAR carry the characters
// to insert (control characters among them are ignored). Lives on the UI thread.

#include "platform/base/WinTypes.h"
#include "platform/gfx/Canvas.h"
#include "platform/win/Window.h"

namespace plat {

// A solid brush is its colour in a handle: nothing to allocate, nothing to leak. DeleteObject
// accepts it for the sake of code written against the real thing.
struct BrushTag;
using HBRUSH = BrushTag*;

HBRUSH CreateSolidBrush(COLORREF colour);
bool DeleteObject(HBRUSH brush);
// False for a null or foreign handle.
bool GetBrushColor(HBRUSH brush, COLORREF* colour);

// The system colours the edit falls back on when its parent gives no brush.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_GRAYTEXT = 17;
COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

// EM_SETMARGINS with this value takes margins from the font.
constexpr WORD EC_USEFONTINFO = 0xFFFF;

// Blink period of the caret, in milliseconds.
constexpr UINT kCaretBlinkMs = 530;

// Registers the class "Edit" (once; later calls return true). Call after Initialise.
bool RegisterEditClass();

// The window procedure of the class, for superclasses that chain to it.
LRESULT EditWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The extent of an edit's text and the part of it in view, in pixels, for scroll bars kept
// outside the edit: the text's size (the widest line plus a pixel for the caret, all lines),
// the view's size and the scroll position. False when hwnd is no edit.
struct EditScrollInfo {
    SIZE content;
    SIZE view;
    POINT position;
};
bool GetEditScrollInfo(HWND hwnd, EditScrollInfo* info);

// State a test or a superclass may want to see without painting: whether the caret is shown
// now and where (client coordinates, its top). False when hwnd is no edit.
bool GetEditCaret(HWND hwnd, POINT* position, bool* visible);

} // namespace plat
