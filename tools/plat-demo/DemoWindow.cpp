#include "tools/plat-demo/DemoWindow.h"

#include "platform/backends/SdlBackend.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"
#include "platform/win/Edit.h"
#include "platform/win/Tooltip.h"
#include "tools/plat-demo/DemoScript.h"

#include <chrono>
#include <cstdio>

namespace demo {

using namespace plat;

namespace {

constexpr const char* kMainClass = "PlatDemoWindow";
constexpr const char* kPopupClass = "PlatDemoPopup";
constexpr int kEntryHeight = 22;
constexpr int kEditId = 100;

constexpr COLORREF kBackground = RGB(0xE8, 0xF0, 0xF6);
constexpr COLORREF kFrame = RGB(0x76, 0x8D, 0x9B);
constexpr COLORREF kText = RGB(0x20, 0x30, 0x40);
constexpr COLORREF kHot = RGB(0xBA, 0xE4, 0xFF);

bool Contains(const RECT& rc, int x, int y) {
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

POINT ClientPointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void DrawLabel(HDC dc, const char* text, RECT rc, UINT format) {
    DrawText(dc, text, -1, &rc, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void PaintMain(DemoState& s, HDC dc) {
    RECT client;
    GetClientRect(s.hwnd, &client);
    dc->FillRect(client, kBackground);
    dc->FrameRect(client, 1, kFrame);

    // The caption band: dragging anywhere on it except the two boxes moves the window.
    RECT band{1, 1, client.right - 1, kCaptionHeight};
    dc->GradientFillV(band, 0xFF3A6EA5, 0xFF244A75);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SelectFont(dc, s.captionFont);
    DrawLabel(dc, "Platform demonstration", RECT{12, 0, client.right - 80, kCaptionHeight},
              DT_LEFT);
    RECT minBox = MinimiseBox();
    RECT closeBox = CloseBox();
    const int midY = (minBox.top + minBox.bottom) / 2;
    dc->Line(POINT{minBox.left + 7, midY + 4}, POINT{minBox.right - 7, midY + 4}, 2,
             RGB(255, 255, 255));
    dc->Line(POINT{closeBox.left + 7, closeBox.top + 7},
             POINT{closeBox.right - 7, closeBox.bottom - 7}, 2, RGB(255, 255, 255));
    dc->Line(POINT{closeBox.right - 7, closeBox.top + 7},
             POINT{closeBox.left + 7, closeBox.bottom - 7}, 2, RGB(255, 255, 255));

    SelectFont(dc, s.font);
    SetTextColor(dc, kText);
    RECT edit = EditRect();
    DrawLabel(dc, "Name:", RECT{20, edit.top, edit.left - 8, edit.bottom}, DT_RIGHT);
    RECT editFrame{edit.left - 1, edit.top - 1, edit.right + 1, edit.bottom + 1};
    dc->FrameRect(editFrame, 1, kFrame);

    RECT drop = DropRect();
    DrawLabel(dc, "Baud:", RECT{20, drop.top, drop.left - 8, drop.bottom}, DT_RIGHT);
    dc->FillRect(drop, RGB(255, 255, 255));
    dc->FrameRect(drop, 1, kFrame);
    const auto& entries = DropEntries();
    if (s.selected >= 0 && s.selected < static_cast<int>(entries.size()))
        DrawLabel(dc, entries[s.selected].c_str(),
                  RECT{drop.left + 6, drop.top, drop.right - 24, drop.bottom}, DT_LEFT);
    // The drop-down arrow.
    const int ax = drop.right - 14;
    const int ay = (drop.top + drop.bottom) / 2 - 2;
    for (int i = 0; i < 4; ++i)
        dc->FillRect(RECT{ax - 4 + i, ay + i, ax + 5 - i, ay + i + 1}, kText);

    RECT work = WorkButton();
    dc->GradientFillV(work, s.worker.Running() ? 0xFFB8C8D8 : 0xFFFFFFFF, 0xFFD6E2EE);
    dc->FrameRect(work, 1, kFrame);
    DrawLabel(dc, s.worker.Running() ? "Working..." : "Start work", work, DT_CENTER);

    RECT bar = ProgressBar();
    dc->FillRect(bar, RGB(255, 255, 255));
    RECT done = bar;
    done.right = bar.left + (bar.right - bar.left) * s.progress / 100;
    dc->GradientFillV(done, 0xFF7CD67C, 0xFF2E9E3E);
    dc->FrameRect(bar, 1, kFrame);
    char percent[16];
    std::snprintf(percent, sizeof percent, "%d%%", s.progress);
    DrawLabel(dc, percent, bar, DT_CENTER);

    char clock[48];
    std::snprintf(clock, sizeof clock, "Clock: %d.%d s", s.ticks * kClockMs / 1000,
                  (s.ticks * kClockMs % 1000) / 100);
    DrawLabel(dc, clock, RECT{20, 206, 220, 230}, DT_LEFT);

    RECT statusLine{1, client.bottom - 28, client.right - 1, client.bottom - 1};
    dc->FillRect(statusLine, RGB(0xD1, 0xE8, 0xF5));
    DrawLabel(dc, s.status.c_str(), RECT{12, statusLine.top, client.right - 12, statusLine.bottom},
              DT_LEFT | DT_END_ELLIPSIS);
}

void SetStatus(DemoState& s, std::string text) {
    s.status = std::move(text);
    std::printf("%s\n", s.status.c_str());
    std::fflush(stdout);
    InvalidateRect(s.hwnd, nullptr, false);
}

struct PopupState {
    DemoState* owner = nullptr;
    int hot = -1;
};

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* p = reinterpret_cast<PopupState*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
            SetWindowLongPtr(hwnd, GWLP_USERDATA,
                             reinterpret_cast<LONG_PTR>(
                                 new PopupState{static_cast<DemoState*>(cs->lpCreateParams), -1}));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            dc->FillRect(client, RGB(255, 255, 255));
            SelectFont(dc, p->owner->font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kText);
            const auto& entries = DropEntries();
            for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
                RECT rc = PopupEntryRect(i);
                if (i == p->hot)
                    dc->FillRect(rc, kHot);
                DrawLabel(dc, entries[i].c_str(), RECT{rc.left + 6, rc.top, rc.right, rc.bottom},
                          DT_LEFT);
            }
            dc->FrameRect(client, 1, kFrame);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_MOUSEMOVE: {
            POINT pt = ClientPointOf(lParam);
            int hot = -1;
            for (int i = 0; i < static_cast<int>(DropEntries().size()); ++i)
                if (Contains(PopupEntryRect(i), pt.x, pt.y))
                    hot = i;
            if (hot != p->hot) {
                p->hot = hot;
                InvalidateRect(hwnd, nullptr, false);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            POINT pt = ClientPointOf(lParam);
            for (int i = 0; i < static_cast<int>(DropEntries().size()); ++i)
                if (Contains(PopupEntryRect(i), pt.x, pt.y))
                    SendMessage(GetParent(hwnd), kMsgPicked, static_cast<WPARAM>(i), 0);
            PostMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE || wParam == VK_RETURN)
                PostMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_KILLFOCUS:
            // A pop-up closes itself when the focus goes anywhere else: a click outside, the
            // owner losing the focus, moving or being minimised all end here.
            if (reinterpret_cast<HWND>(wParam) != hwnd)
                PostMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE: {
            HWND owner = GetParent(hwnd);
            DestroyWindow(hwnd);
            if (IsWindow(owner) && GetActiveWindow() == nullptr)
                SetFocus(owner);
            return 0;
        }
        case WM_NCDESTROY:
            if (p) {
                if (p->owner->popup == hwnd) {
                    p->owner->popup = nullptr;
                    SetStatus(*p->owner, "Pop-up closed");
                }
                delete p;
                SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
            }
            return 0;
        default:
            break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The tooltip's one tool: the work button.
TOOLINFO WorkTool(HWND hwnd) {
    TOOLINFO tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
    tool.rect = WorkButton();
    tool.lpszText = "Counts to 100 on a worker thread,\nwhich sends each step to this window.";
    return tool;
}

LRESULT MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* s = GetDemoState(hwnd);
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
            SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            static_cast<DemoState*>(cs->lpCreateParams)->hwnd = hwnd;
            return 1;
        }
        case WM_CREATE: {
            s->font = CreateFont(FontSpec{"", 13});
            s->captionFont = CreateFont(FontSpec{"", 14, true});
            RECT rc = EditRect();
            s->edit = CreateWindowEx(0, "Edit", "COM1", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                     rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hwnd,
                                     static_cast<HMENU>(kEditId), nullptr, nullptr);
            if (!s->edit)
                return -1;
            SendMessage(s->edit, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), 0);
            s->tooltip = CreateWindowEx(
                0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, 0, nullptr, nullptr);
            if (s->tooltip) {
                TOOLINFO tool = WorkTool(hwnd);
                SendMessage(s->tooltip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));
                SendMessage(s->tooltip, TTM_SETMAXTIPWIDTH, 0, 260);
                SendMessage(s->tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), 0);
            }
            SetTimer(hwnd, kClockTimer, kClockMs);
            return 0;
        }
        case WM_MOUSEMOVE: {
            // Hover and leave tracking, with the tooltip's initial delay as the hover time;
            // moving off the button takes its tooltip away.
            if (!s->tracking && s->tooltip) {
                TRACKMOUSEEVENT tme;
                tme.dwFlags = TME_HOVER | TME_LEAVE;
                tme.hwndTrack = hwnd;
                tme.dwHoverTime =
                    static_cast<DWORD>(SendMessage(s->tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
                s->tracking = TrackMouseEvent(&tme);
            }
            const POINT pt = ClientPointOf(lParam);
            if (!Contains(WorkButton(), pt.x, pt.y) && s->tooltip) {
                TOOLINFO tool = WorkTool(hwnd);
                SendMessage(s->tooltip, TTM_TRACKACTIVATE, 0, reinterpret_cast<LPARAM>(&tool));
            }
            return 0;
        }
        case WM_MOUSEHOVER: {
            s->tracking = false;
            const POINT pt = ClientPointOf(lParam);
            if (Contains(WorkButton(), pt.x, pt.y) && s->tooltip) {
                TOOLINFO tool = WorkTool(hwnd);
                SendMessage(s->tooltip, TTM_TRACKACTIVATE, 1, reinterpret_cast<LPARAM>(&tool));
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            s->tracking = false;
            if (s->tooltip) {
                TOOLINFO tool = WorkTool(hwnd);
                SendMessage(s->tooltip, TTM_TRACKACTIVATE, 0, reinterpret_cast<LPARAM>(&tool));
            }
            return 0;
        case WM_NCHITTEST: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd, &pt);
            if (pt.y >= 0 && pt.y < kCaptionHeight && !Contains(MinimiseBox(), pt.x, pt.y) &&
                !Contains(CloseBox(), pt.x, pt.y))
                return HTCAPTION;
            return HTCLIENT;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc)
                PaintMain(*s, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN: {
            POINT pt = ClientPointOf(lParam);
            SetFocus(hwnd);
            if (Contains(DropRect(), pt.x, pt.y))
                OpenDropDown(*s);
            return 0;
        }
        case WM_LBUTTONUP: {
            POINT pt = ClientPointOf(lParam);
            if (Contains(CloseBox(), pt.x, pt.y))
                SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            else if (Contains(MinimiseBox(), pt.x, pt.y))
                SendMessage(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            else if (Contains(WorkButton(), pt.x, pt.y) && !s->worker.Running()) {
                s->progress = 0;
                s->workDone = false;
                if (s->worker.Start(hwnd, s->workStepMs))
                    SetStatus(*s, "Work started");
            }
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                DestroyWindow(hwnd);
                return 0;
            }
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                ShowWindow(hwnd, SW_MINIMIZE);
                return 0;
            }
            break;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_TIMER:
            if (wParam == kClockTimer) {
                ++s->ticks;
                InvalidateRect(hwnd, nullptr, false);
            } else if (wParam == kQuitTimer) {
                KillTimer(hwnd, kQuitTimer);
                SetStatus(*s, "Time is up");
                if (!s->shotPath.empty()) {
                    UpdateWindow(hwnd);
                    Bitmap shown;
                    s->shotSaved =
                        sdl::ReadNativePixels(hwnd, &shown) && SaveBitmapPng(shown, s->shotPath);
                }
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE)
                SetStatus(*s, "Name: " + GetWindowTextString(s->edit));
            return 0;
        case kMsgProgress:
            s->progress = static_cast<int>(wParam);
            if (s->progress >= 100 && !s->workDone) {
                s->workDone = true;
                SetStatus(*s, "Work finished");
            }
            InvalidateRect(hwnd, nullptr, false);
            return 1;
        case kMsgPicked:
            s->selected = static_cast<int>(wParam);
            SetStatus(*s, "Picked" + DropEntries()[s->selected]);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kClockTimer);
            KillTimer(hwnd, kQuitTimer);
            if (s->popup)
                DestroyWindow(s->popup);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            DeleteFont(s->font);
            DeleteFont(s->captionFont);
            s->font = s->captionFont = nullptr;
            s->hwnd = s->edit = s->tooltip = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

RECT MinimiseBox() {
    return RECT{kWidth - 68, 2, kWidth - 36, kCaptionHeight - 2};
}

RECT CloseBox() {
    return RECT{kWidth - 34, 2, kWidth - 2, kCaptionHeight - 2};
}

RECT EditRect() {
    return RECT{100, 56, 300, 80};
}

RECT DropRect() {
    return RECT{100, 96, 300, 120};
}

RECT WorkButton() {
    return RECT{100, 140, 200, 168};
}

RECT ProgressBar() {
    return RECT{212, 140, 460, 168};
}

RECT PopupEntryRect(int index) {
    return RECT{1, 1 + index * kEntryHeight, DropRect().right - DropRect().left - 1,
                1 + (index + 1) * kEntryHeight};
}

const std::vector<std::string>& DropEntries() {
    static const std::vector<std::string> entries{" 1200", " 2400",  " 4800",
                                                  " 9600", " 19200", " 38400"};
    return entries;
}

DemoWorker::~DemoWorker() {
    Stop();
}

bool DemoWorker::Start(HWND target, int stepMs) {
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_stop = false;
    m_running = true;
    m_thread = std::thread([this, target, stepMs] {
        for (int percent = 0; percent <= 100 && !m_stop; percent += 5) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
            // A send that fails means the window or the UI thread is gone.
            if (SendMessage(target, kMsgProgress, static_cast<WPARAM>(percent), 0) != 1)
                break;
        }
        m_running = false;
    });
    return true;
}

void DemoWorker::Stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool RegisterDemoClasses() {
    WNDCLASS main;
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = MainProc;
    main.hCursor = LoadCursor(nullptr, IDC_ARROW);
    main.lpszClassName = kMainClass;
    WNDCLASS popup;
    popup.style = CS_DROPSHADOW;
    popup.lpfnWndProc = PopupProc;
    popup.hCursor = LoadCursor(nullptr, IDC_HAND);
    popup.lpszClassName = kPopupClass;
    return RegisterClass(main) && RegisterClass(popup);
}

HWND CreateDemoWindow(DemoState& state, int x, int y, UINT quitAfterMs) {
    // No caption style: the window draws its own caption band.
    HWND hwnd =
        CreateWindowEx(0, kMainClass, "Platform demonstration", WS_OVERLAPPED | WS_MINIMIZEBOX, x,
                       y, kWidth, kHeight, nullptr, 0, nullptr, &state);
    if (!hwnd)
        return nullptr;
    if (quitAfterMs > 0)
        SetTimer(hwnd, kQuitTimer, quitAfterMs);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    return hwnd;
}

DemoState* GetDemoState(HWND hwnd) {
    return reinterpret_cast<DemoState*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
}

bool OpenDropDown(DemoState& s) {
    if (s.popup)
        return false;
    RECT drop = DropRect();
    POINT corner{drop.left, drop.bottom};
    ClientToScreen(s.hwnd, &corner);
    const int height = static_cast<int>(DropEntries().size()) * kEntryHeight + 2;
    s.popup = CreateWindowEx(WS_EX_TOOLWINDOW, kPopupClass, "", WS_POPUP, corner.x, corner.y,
                             drop.right - drop.left, height, s.hwnd, 0, nullptr, &s);
    if (!s.popup)
        return false;
    ShowWindow(s.popup, SW_SHOW);
    SetFocus(s.popup);
    ++s.popupsOpened;
    SetStatus(s, "Pop-up opened");
    return true;
}

} // namespace demo
