#include "platform/win/Tooltip.h"

#include "platform/base/NameCompare.h"
#include "platform/base/Rect.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace plat {

namespace {

constexpr const char* kStateProp = "plat.Tooltip.state";
constexpr COLORREF kBackground = RGB(255, 255, 225);
constexpr COLORREF kFrame = RGB(118, 118, 118);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr int kPaddingX = 4; // inside the frame, beside the text
constexpr int kPaddingY = 2;
// Below the pointer's hot spot by about the height of the arrow, so the tip never hides what
// the pointer points at.
constexpr int kBelowPointer = 20;

struct Tool {
    TOOLINFO info;
    std::string text;
};

struct TooltipState {
    std::vector<Tool> tools;
    int tracking = -1; // index of the tool shown, -1 when hidden
    bool enabled = true;
    bool positioned = false; // TTM_TRACKPOSITION given since the tool was activated
    POINT position;          // screen
    int maxWidth = -1;       // text width limit; -1 none
    DWORD initial = kTooltipInitialMs;
    DWORD autoPop = kTooltipAutoPopMs;
    DWORD reshow = kTooltipReshowMs;
    HFONT font = nullptr; // not owned; null is the default GUI font
};

TooltipState* StateOf(HWND hwnd) {
    return static_cast<TooltipState*>(GetProp(hwnd, kStateProp));
}

int FindTool(const TooltipState& s, const TOOLINFO* info) {
    if (info == nullptr)
        return -1;
    for (std::size_t i = 0; i < s.tools.size(); ++i)
        if (s.tools[i].info.hwnd == info->hwnd && s.tools[i].info.uId == info->uId)
            return static_cast<int>(i);
    return -1;
}

void Store(Tool& tool, const TOOLINFO& info) {
    tool.info = info;
    tool.text = info.lpszText != nullptr ? info.lpszText : "";
    tool.info.lpszText = tool.text.c_str();
}

UINT TextFormat(HWND hwnd, const TooltipState& s) {
    UINT format = DT_LEFT | DT_TOP | DT_EXPANDTABS;
    if ((GetWindowLongPtr(hwnd, GWL_STYLE) & TTS_NOPREFIX) != 0)
        format |= DT_NOPREFIX;
    if (s.maxWidth >= 0)
        format |= DT_WORDBREAK;
    return format;
}

// The text's extent in the tooltip's font, wrapped at the maximum width.
SIZE MeasureText(HWND hwnd, const TooltipState& s, const std::string& text) {
    Bitmap scratch(1, 1);
    Canvas dc(scratch);
    dc.SelectFont(s.font);
    RECT rc{0, 0, s.maxWidth >= 0 ? s.maxWidth : 0x7FFF, 0};
    DrawText(&dc, text.c_str(), static_cast<int>(text.size()), &rc,
             TextFormat(hwnd, s) | DT_CALCRECT);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// Sizes the tooltip to the shown tool's text and places it at the track position or below
// the pointer, inside the work area of the monitor there.
void Layout(HWND hwnd, TooltipState& s) {
    const Tool& tool = s.tools[static_cast<std::size_t>(s.tracking)];
    const SIZE text = MeasureText(hwnd, s, tool.text);
    const int width = text.cx + 2 * (kPaddingX + 1);
    const int height = text.cy + 2 * (kPaddingY + 1);
    POINT at = s.position;
    POINT pointer;
    GetCursorPos(&pointer);
    if (!s.positioned)
        at = POINT{pointer.x, pointer.y + kBelowPointer};
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfo(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (at.x + width > work.right)
            at.x = work.right - width;
        if (at.y + height > work.bottom)
            at.y = s.positioned ? work.bottom - height : pointer.y - height - 2;
        at.x = std::max(at.x, work.left);
        at.y = std::max(at.y, work.top);
    }
    SetWindowPos(hwnd, nullptr, at.x, at.y, width, height, SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, true);
}

void Show(HWND hwnd, TooltipState& s) {
    if (s.tracking < 0 || !s.enabled)
        return;
    Layout(hwnd, s);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

void Hide(HWND hwnd, TooltipState& s) {
    s.tracking = -1;
    s.positioned = false;
    ShowWindow(hwnd, SW_HIDE);
}

void Paint(HWND hwnd, const TooltipState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc != nullptr) {
        RECT client;
        GetClientRect(hwnd, &client);
        dc->FillRect(client, kBackground);
        dc->FrameRect(client, 1, kFrame);
        if (s.tracking >= 0) {
            const std::string& text = s.tools[static_cast<std::size_t>(s.tracking)].text;
            dc->SelectFont(s.font);
            dc->SetTextColor(kTextColour);
            dc->SetBkMode(TRANSPARENT);
            RECT rc{client.left + 1 + kPaddingX, client.top + 1 + kPaddingY,
                    client.right - 1 - kPaddingX, client.bottom - 1 - kPaddingY};
            DrawText(dc, text.c_str(), static_cast<int>(text.size()), &rc, TextFormat(hwnd, s));
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT SetDelay(TooltipState& s, WPARAM kind, LPARAM lParam) {
    // A negative time restores the default.
    const int ms = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    const auto pick = [ms](DWORD fallback) { return ms < 0 ? fallback : static_cast<DWORD>(ms); };
    switch (kind) {
        case TTDT_AUTOMATIC:
            s.initial = pick(kTooltipInitialMs);
            s.autoPop = ms < 0 ? kTooltipAutoPopMs : s.initial * 10;
            s.reshow = ms < 0 ? kTooltipReshowMs : s.initial / 5;
            break;
        case TTDT_INITIAL:
            s.initial = pick(kTooltipInitialMs);
            break;
        case TTDT_AUTOPOP:
            s.autoPop = pick(kTooltipAutoPopMs);
            break;
        case TTDT_RESHOW:
            s.reshow = pick(kTooltipReshowMs);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT GetDelay(const TooltipState& s, WPARAM kind) {
    switch (kind) {
        case TTDT_INITIAL:
            return s.initial;
        case TTDT_AUTOPOP:
            return s.autoPop;
        case TTDT_RESHOW:
            return s.reshow;
        default:
            return 0;
    }
}

} // namespace

bool IsTooltipClass(const char* className) {
    return className != nullptr && SameName(className, TOOLTIPS_CLASS);
}

LRESULT TooltipWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto state = std::make_unique<TooltipState>();
        // The property owns the state until WM_NCDESTROY takes it back.
        if (!SetProp(hwnd, kStateProp, state.get()))
            return 0;
        state.release();
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    TooltipState* state = StateOf(hwnd);
    if (state == nullptr)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    TooltipState& s = *state;
    const auto* info = reinterpret_cast<const TOOLINFO*>(lParam);

    switch (msg) {
        case WM_NCDESTROY:
            delete static_cast<TooltipState*>(RemoveProp(hwnd, kStateProp));
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return 3; // MA_NOACTIVATE
        case WM_PAINT:
            Paint(hwnd, s);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            s.font = reinterpret_cast<HFONT>(wParam);
            if (s.tracking >= 0 && LOWORD(static_cast<uintptr_t>(lParam)) != 0)
                Show(hwnd, s);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);
        case TTM_ADDTOOL: {
            if (info == nullptr)
                return 0;
            const int at = FindTool(s, info);
            if (at >= 0) {
                Store(s.tools[static_cast<std::size_t>(at)], *info);
            } else {
                s.tools.emplace_back();
                Store(s.tools.back(), *info);
            }
            return 1;
        }
        case TTM_DELTOOL: {
            const int at = FindTool(s, info);
            if (at < 0)
                return 0;
            if (at == s.tracking)
                Hide(hwnd, s);
            else if (at < s.tracking)
                --s.tracking;
            s.tools.erase(s.tools.begin() + at);
            return 0;
        }
        case TTM_SETTOOLINFO:
        case TTM_UPDATETIPTEXT:
        case TTM_NEWTOOLRECT: {
            const int at = FindTool(s, info);
            if (at < 0)
                return 0;
            Tool& tool = s.tools[static_cast<std::size_t>(at)];
            if (msg == TTM_SETTOOLINFO) {
                Store(tool, *info);
            } else if (msg == TTM_UPDATETIPTEXT) {
                tool.text = info->lpszText != nullptr ? info->lpszText : "";
                tool.info.lpszText = tool.text.c_str();
            } else {
                tool.info.rect = info->rect;
            }
            if (at == s.tracking && IsWindowVisible(hwnd))
                Show(hwnd, s);
            return 0;
        }
        case TTM_GETTOOLINFO: {
            const int at = FindTool(s, info);
            if (at < 0)
                return 0;
            // The text stays the tooltip's: valid until the tool changes.
            *reinterpret_cast<TOOLINFO*>(lParam) = s.tools[static_cast<std::size_t>(at)].info;
            return 1;
        }
        case TTM_GETTOOLCOUNT:
            return static_cast<LRESULT>(s.tools.size());
        case TTM_TRACKACTIVATE: {
            if (wParam == 0) {
                Hide(hwnd, s);
                return 0;
            }
            const int at = FindTool(s, info);
            if (at < 0)
                return 0;
            if (at != s.tracking)
                s.positioned = false;
            s.tracking = at;
            Show(hwnd, s);
            return 0;
        }
        case TTM_TRACKPOSITION:
            s.positioned = true;
            s.position = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (s.tracking >= 0 && IsWindowVisible(hwnd))
                Layout(hwnd, s);
            return 0;
        case TTM_ACTIVATE:
            s.enabled = wParam != 0;
            if (!s.enabled)
                ShowWindow(hwnd, SW_HIDE);
            return 0;
        case TTM_POP:
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        case TTM_UPDATE:
            InvalidateRect(hwnd, nullptr, true);
            return 0;
        case TTM_SETMAXTIPWIDTH: {
            const int old = s.maxWidth;
            s.maxWidth = static_cast<int>(lParam) < 0 ? -1 : static_cast<int>(lParam);
            if (s.tracking >= 0 && IsWindowVisible(hwnd))
                Layout(hwnd, s);
            return old;
        }
        case TTM_GETMAXTIPWIDTH:
            return s.maxWidth;
        case TTM_SETDELAYTIME:
            return SetDelay(s, wParam, lParam);
        case TTM_GETDELAYTIME:
            return GetDelay(s, wParam);
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

bool RegisterTooltipClass() {
    WNDCLASS existing;
    if (GetClassInfo(nullptr, TOOLTIPS_CLASS, &existing))
        return true;
    WNDCLASS wc;
    wc.lpfnWndProc = TooltipWindowProc;
    wc.hCursor = IDC_ARROW;
    wc.lpszClassName = TOOLTIPS_CLASS;
    return RegisterClass(wc);
}

} // namespace plat
