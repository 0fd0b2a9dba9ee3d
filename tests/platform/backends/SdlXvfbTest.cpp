// The SDL2 backend on a real X server: a private Xvfb display, windows created through the window
// system, the pointer and keyboard driven by xdotool. Skipped when Xvfb or xdotool is missing,
// except in CI (environment variable CI set), where that is a failure.
#include "XDesktop.h"

#include "tests/support/XvfbServer.h"

#include "platform/backends/SdlBackend.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"
#include "platform/sys/Resource.h"
#include "platform/win/Tooltip.h"
#include "platform/win/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace plat;
using Clock = std::chrono::steady_clock;

constexpr auto kWaitLimit = std::chrono::seconds(10);
constexpr UINT_PTR kFarTimer = 78;

struct Rec {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Rec> g_log;
Clock::time_point g_userHandledAt;

bool Logged(UINT msg) {
    return msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP ||
           msg == WM_RBUTTONDOWN || msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR ||
           msg == WM_SYSCHAR || msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_NCHITTEST ||
           msg == WM_MOUSEWHEEL || msg == WM_SIZE || msg == WM_SYSCOMMAND || msg == WM_USER ||
           msg == WM_MOUSELEAVE;
}

// Paints its client area in the window's colour with a 20-pixel blue square at (10, 10); the
// caption band is the top 24 pixels. A pop-up closes itself when it loses the focus, and one marked
// "closeOnPress" as soon as a button goes down in it.
LRESULT TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (Logged(msg))
        g_log.push_back(Rec{hwnd, msg, wParam, lParam});
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            const auto colour = reinterpret_cast<uintptr_t>(GetProp(hwnd, "colour"));
            if (dc) {
                dc->FillRect(rc, static_cast<COLORREF>(colour));
                dc->FillRect(RECT{10, 10, 30, 30}, RGB(0, 0, 255));
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCHITTEST: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd, &pt);
            return GetProp(hwnd, "caption") && pt.y >= 0 && pt.y < 24 ? HTCAPTION : HTCLIENT;
        }
        case WM_LBUTTONDOWN:
            if (GetProp(hwnd, "closeOnPress"))
                PostMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_KILLFOCUS:
            if (GetProp(hwnd, "popup") && reinterpret_cast<HWND>(wParam) != hwnd)
                PostMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_USER:
            g_userHandledAt = Clock::now();
            return static_cast<LRESULT>(wParam) + 1;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

bool SavePng(const Bitmap& bitmap, const std::string& path) {
    std::vector<uint8_t> rgba;
    for (uint32_t px : bitmap.pixels) {
        rgba.push_back(static_cast<uint8_t>(px >> 16));
        rgba.push_back(static_cast<uint8_t>(px >> 8));
        rgba.push_back(static_cast<uint8_t>(px));
        rgba.push_back(255);
    }
    return stbi_write_png(path.c_str(), bitmap.width, bitmap.height, 4, rgba.data(),
                          bitmap.width * 4) != 0;
}

COLORREF ColourAt(const Bitmap& b, int x, int y) {
    const uint32_t px = b.At(x, y);
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

class SdlXvfbTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_xdotool = zelta::test::FindProgram("xdotool");
        zelta::test::XvfbServer::Options options;
        options.width = 800;
        options.height = 600;
        if (s_xdotool.empty() || !s_server.Start(options))
            return;
        s_server.UseForThisProcess();
        s_up = Initialise() && !IsHeadless();
        // While SDL holds its connection: a server whose last client leaves starts afresh,
        // keyboard map included.
        s_keyBound = s_up && test::BindSpareKey(s_server.Display(), "eacute");
        WNDCLASS wc;
        wc.lpfnWndProc = TestProc;
        wc.lpszClassName = "SdlXvfbTestWindow";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        s_up = s_up && RegisterClass(wc);
    }

    static void TearDownTestSuite() {
        if (s_up)
            Shutdown();
        s_server.Stop();
    }

    void SetUp() override {
        if (!zelta::test::DesktopToolsReady())
            return;
        ASSERT_TRUE(s_server.Running()) << s_server.Error();
        ASSERT_TRUE(s_up) << "the SDL2 backend did not start on " << s_server.Display();
        ASSERT_TRUE(s_keyBound) << "no spare key for the characters xdotool types";
        g_log.clear();
    }

    void TearDown() override {
        for (HWND hwnd : m_windows)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        // What the display still had to say about them must not reach the next test.
        DeliverAll();
    }

    // Brings every event the display has sent so far into the queue and dispatches the queue
    // until it is empty.
    static void DeliverAll() {
        sdl::DeliverPendingInput();
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    HWND Make(DWORD style, int x, int y, int w, int h, COLORREF colour, HWND owner = nullptr) {
        HWND hwnd = CreateWindowEx(0, "SdlXvfbTestWindow", "test", style, x, y, w, h, owner, 0,
                                   nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr);
        if (hwnd) {
            SetProp(hwnd, "colour", reinterpret_cast<void*>(static_cast<uintptr_t>(colour)));
            m_windows.push_back(hwnd);
        }
        return hwnd;
    }

    // Dispatches messages until `done` holds or the time limit passes, waiting for input in
    // between; a thread timer wakes the wait now and then, as some conditions (a child process
    // ending) come with no input. Returns whether `done` held.
    static bool Pump(const std::function<bool()>& done, Clock::duration limit = kWaitLimit) {
        const UINT_PTR pulse = SetTimer(nullptr, 0, 20);
        const auto end = Clock::now() + limit;
        bool ok = false;
        while (true) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            if (done()) {
                ok = true;
                break;
            }
            if (Clock::now() >= end)
                break;
            WaitMessage();
        }
        KillTimer(nullptr, pulse);
        return ok;
    }

    // Runs xdotool with the arguments while the queue is pumped, until it exits; then every
    // event it caused has been delivered and dispatched.
    bool XdoTool(const std::vector<std::string>& args) {
        const pid_t pid = zelta::test::SpawnProgram(s_xdotool, args);
        int status = -1;
        const bool exited = Pump([&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
        if (!exited) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return false;
        }
        // xdotool closed its display connection on the way out, which waits until the server
        // has handled all it sent: the input it made is already on its way to us.
        DeliverAll();
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    bool Click(int x, int y, int button = 1) {
        return XdoTool(
            {"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
    }

    static const Rec* Find(HWND hwnd, UINT msg) {
        for (const auto& r : g_log)
            if (r.hwnd == hwnd && r.msg == msg)
                return &r;
        return nullptr;
    }

    static int Count(HWND hwnd, UINT msg) {
        int n = 0;
        for (const auto& r : g_log)
            n += r.hwnd == hwnd && r.msg == msg;
        return n;
    }

    bool Shown(HWND hwnd, int w, int h) {
        Bitmap shown;
        return Pump([&] {
            return sdl::ReadNativePixels(hwnd, &shown) && shown.width == w && shown.height == h &&
                   ColourAt(shown, w - 1, h - 1) ==
                       static_cast<COLORREF>(reinterpret_cast<uintptr_t>(GetProp(hwnd, "colour")));
        });
    }

    std::vector<HWND> m_windows;

    static inline zelta::test::XvfbServer s_server;
    static inline std::string s_xdotool;
    static inline bool s_up = false;
    static inline bool s_keyBound = false;
};

TEST_F(SdlXvfbTest, WindowShowsItsBackBufferAndFollowsItsSize) {
    HWND main = Make(WS_OVERLAPPED, 40, 30, 220, 160, RGB(200, 40, 40));
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 220, 160));
    Bitmap shown;
    ASSERT_TRUE(sdl::ReadNativePixels(main, &shown));
    EXPECT_EQ(ColourAt(shown, 0, 0), RGB(200, 40, 40));
    EXPECT_EQ(ColourAt(shown, 15, 15), RGB(0, 0, 255));
    EXPECT_EQ(ColourAt(shown, 35, 15), RGB(200, 40, 40));
    const std::string picture = testing::TempDir() + "SdlXvfbTest-window.png";
    EXPECT_TRUE(SavePng(shown, picture));
    std::printf("window picture: %s\n", picture.c_str());

    // A new size gives the window a new surface; the whole of it must be drawn.
    MoveWindow(main, 40, 30, 300, 200, true);
    UpdateWindow(main);
    EXPECT_TRUE(Shown(main, 300, 200));
    EXPECT_GT(sdl::PresentCount(), 0);
}

TEST_F(SdlXvfbTest, ClicksAndKeysArriveInClientCoordinates) {
    HWND main = Make(WS_OVERLAPPED, 100, 80, 200, 150, RGB(40, 160, 40));
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 200, 150));
    SetFocus(main);

    ASSERT_TRUE(Click(100 + 30, 80 + 40));
    const Rec* down = Find(main, WM_LBUTTONDOWN);
    const Rec* up = Find(main, WM_LBUTTONUP);
    ASSERT_NE(down, nullptr);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(GET_X_LPARAM(down->lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(down->lParam), 40);
    EXPECT_EQ(GET_X_LPARAM(up->lParam), 30);
    EXPECT_TRUE(Find(main, WM_MOUSEMOVE) != nullptr);

    g_log.clear();
    ASSERT_TRUE(XdoTool({"mousemove", "150", "120", "click", "5"}));
    const Rec* wheel = Find(main, WM_MOUSEWHEEL);
    ASSERT_NE(wheel, nullptr);
    EXPECT_LT(GET_WHEEL_DELTA_WPARAM(wheel->wParam), 0) << "button 5 turns towards the user";
    EXPECT_EQ(GET_X_LPARAM(wheel->lParam), 150) << "wheel messages carry screen coordinates";

    g_log.clear();
    ASSERT_TRUE(XdoTool({"key", "--clearmodifiers", "a", "Return"}));
    const Rec* key = Find(main, WM_KEYDOWN);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->wParam, static_cast<WPARAM>('A'));
    const Rec* ch = Find(main, WM_CHAR);
    ASSERT_NE(ch, nullptr);
    EXPECT_EQ(ch->wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(Count(main, WM_CHAR), 2) << "Return types a carriage return";
    EXPECT_EQ(Count(main, WM_KEYUP), 2);
}

TEST_F(SdlXvfbTest, TextInputDeliversEachCodePointOnce) {
    HWND main = Make(WS_OVERLAPPED, 100, 80, 200, 150, RGB(40, 160, 40));
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 200, 150));
    SetFocus(main);
    StartTextInput(main);
    SetImeRect(main, RECT{10, 10, 12, 30});
    ASSERT_TRUE(XdoTool({"mousemove", "150", "120"}));
    g_log.clear();
    ASSERT_TRUE(XdoTool({"type", "--delay", "30", "aZ\xC3\xA9"}));
    StopTextInput(main);
    std::vector<WPARAM> chars;
    for (const auto& r : g_log)
        if (r.msg == WM_CHAR)
            chars.push_back(r.wParam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 'Z', 0xE9}));
}

TEST_F(SdlXvfbTest, PopupOpensAtScreenPositionTakesKeysAndClosesOnOutsideClick) {
    HWND main = Make(WS_OVERLAPPED, 60, 60, 300, 220, RGB(40, 160, 40));
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 300, 220));
    SetFocus(main);

    HWND popup = Make(WS_POPUP, 120, 140, 100, 80, RGB(230, 230, 60), main);
    SetProp(popup, "popup", popup);
    ShowWindow(popup, SW_SHOW);
    SetFocus(popup);
    UpdateWindow(popup);
    ASSERT_TRUE(Shown(popup, 100, 80));
    ASSERT_EQ(GetFocus(), popup);

    ASSERT_TRUE(Click(120 + 50, 140 + 20));
    const Rec* down = Find(popup, WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr) << "the pop-up lies where it was put on the screen";
    EXPECT_EQ(GET_X_LPARAM(down->lParam), 50);
    EXPECT_EQ(GET_Y_LPARAM(down->lParam), 20);
    EXPECT_EQ(Find(main, WM_LBUTTONDOWN), nullptr);
    EXPECT_EQ(GetFocus(), popup);

    // The desktop's focus stays with the owner; the keys still reach the pop-up.
    g_log.clear();
    ASSERT_TRUE(XdoTool({"key", "--clearmodifiers", "Down"}));
    const Rec* key = Find(popup, WM_KEYDOWN);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->wParam, static_cast<WPARAM>(VK_DOWN));
    EXPECT_EQ(Find(main, WM_KEYDOWN), nullptr);

    // A press elsewhere in our windows takes the focus from the pop-up, which closes itself.
    g_log.clear();
    ASSERT_TRUE(Click(60 + 250, 60 + 200));
    EXPECT_TRUE(Pump([&] { return !IsWindow(popup); }));
    EXPECT_NE(Find(popup, WM_KILLFOCUS), nullptr);
    EXPECT_NE(Find(main, WM_LBUTTONDOWN), nullptr);
}

TEST_F(SdlXvfbTest, CaptionPressAsksTheHitTestAndClosesThePopup) {
    HWND main = Make(WS_OVERLAPPED, 60, 60, 300, 220, RGB(40, 40, 160));
    SetProp(main, "caption", main);
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 300, 220));
    HWND popup = Make(WS_POPUP, 100, 150, 80, 50, RGB(230, 230, 60), main);
    SetProp(popup, "popup", popup);
    ShowWindow(popup, SW_SHOW);
    SetFocus(popup);
    ASSERT_TRUE(Shown(popup, 80, 50));

    g_log.clear();
    ASSERT_TRUE(Click(60 + 150, 60 + 10));
    // The window is asked in screen coordinates, at the press.
    bool asked = false;
    for (const auto& r : g_log)
        asked = asked || (r.hwnd == main && r.msg == WM_NCHITTEST &&
                          GET_X_LPARAM(r.lParam) == 60 + 150 && GET_Y_LPARAM(r.lParam) == 60 + 10);
    EXPECT_TRUE(asked);
    // The press went to the window manager as the start of a drag, not to the window.
    EXPECT_EQ(Find(main, WM_LBUTTONDOWN), nullptr);
    EXPECT_TRUE(Pump([&] { return !IsWindow(popup); }));
}

// A pop-up that closes while its button is still down: the release still counts, wherever the
// display addresses it, and the click after it arrives whole.
TEST_F(SdlXvfbTest, AButtonComingUpAfterItsPopupClosedIsNotLost) {
    HWND main = Make(WS_OVERLAPPED, 60, 60, 300, 220, RGB(40, 160, 40));
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 300, 220));
    const auto popUp = [&](bool closeOnPress) {
        HWND popup = Make(WS_POPUP, 120, 140, 100, 80, RGB(230, 230, 60), main);
        if (closeOnPress)
            SetProp(popup, "closeOnPress", popup);
        ShowWindow(popup, SW_SHOW);
        UpdateWindow(popup);
        EXPECT_TRUE(Shown(popup, 100, 80));
        return popup;
    };
    const auto clickArrivesWhole = [&] {
        g_log.clear();
        EXPECT_TRUE(Click(60 + 250, 60 + 200));
        EXPECT_EQ(Count(main, WM_LBUTTONDOWN), 1);
        EXPECT_EQ(Count(main, WM_LBUTTONUP), 1);
    };

    // The pop-up goes at the press; the release comes after, to the window below.
    HWND popup = popUp(true);
    ASSERT_TRUE(XdoTool({"mousemove", "170", "160", "mousedown", "1"}));
    ASSERT_TRUE(Pump([&] { return !IsWindow(popup); }));
    g_log.clear();
    ASSERT_TRUE(XdoTool({"mouseup", "1"}));
    EXPECT_EQ(Count(main, WM_LBUTTONUP), 1);
    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x8000, 0);
    clickArrivesWhole();

    // SDL has read the press; the release, addressed to the pop-up, is still on its way when
    // the pop-up goes.
    popup = popUp(false);
    int status = -1;
    zelta::test::ProgramOutput(s_xdotool, {"mousemove", "170", "160", "mousedown", "1"}, &status);
    ASSERT_EQ(status, 0);
    const auto end = Clock::now() + kWaitLimit;
    do
        SDL_PumpEvents();
    while ((SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) == 0 && Clock::now() < end);
    zelta::test::ProgramOutput(s_xdotool, {"mouseup", "1"}, &status);
    ASSERT_EQ(status, 0);
    DestroyWindow(popup);
    DeliverAll();
    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x8000, 0);
    clickArrivesWhole();
}

TEST_F(SdlXvfbTest, CrossThreadSendWakesTheWaitingLoop) {
    HWND main = Make(WS_OVERLAPPED, 60, 60, 100, 100, RGB(40, 40, 160));
    ShowWindow(main, SW_SHOW);
    ASSERT_TRUE(Shown(main, 100, 100));
    DeliverAll();

    // The UI thread waits with only a far timer due; the backend's wake must end the wait as
    // soon as the worker sends, whether the send comes just before the wait or during it.
    LRESULT answer = 0;
    Clock::time_point sentAt;
    std::atomic<bool> waiting{false};
    std::thread worker([&] {
        while (!waiting)
            std::this_thread::yield();
        sentAt = Clock::now();
        answer = SendMessage(main, WM_USER, 41, 0);
    });
    SetTimer(main, kFarTimer, 5000);
    const auto start = Clock::now();
    while (Find(main, WM_USER) == nullptr && Clock::now() - start < kWaitLimit) {
        waiting = true;
        WaitMessage();
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    KillTimer(main, kFarTimer);
    worker.join();
    EXPECT_EQ(answer, 42);
    EXPECT_LT(g_userHandledAt - sentAt, std::chrono::seconds(2))
        << "the send waited for an unrelated timer";
}

TEST_F(SdlXvfbTest, ClipboardTextRoundTrips) {
    HWND main = Make(WS_OVERLAPPED, 60, 60, 100, 100, RGB(40, 40, 160));
    ShowWindow(main, SW_SHOW);
    ASSERT_TRUE(Shown(main, 100, 100));
    ASSERT_TRUE(SetClipboardText("430.12500 \xE9\xA2\x91\xE7\x8E\x87"));
    EXPECT_EQ(GetClipboardText(), "430.12500 \xE9\xA2\x91\xE7\x8E\x87");
}

TEST_F(SdlXvfbTest, TooltipShowsBesideThePointerAndThePointerPassesThroughIt) {
    HWND main = Make(WS_OVERLAPPED, 60, 60, 300, 220, RGB(40, 160, 40));
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ASSERT_TRUE(Shown(main, 300, 220));
    SetFocus(main);
    HWND tip = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main, 0,
                              nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    m_windows.push_back(tip);
    TOOLINFO tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = main;
    tool.uId = reinterpret_cast<UINT_PTR>(main);
    tool.rect = RECT{0, 0, 300, 220};
    tool.lpszText = "Channel 1\n430.12500 MHz";
    SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));

    ASSERT_TRUE(XdoTool({"mousemove", "120", "100"}));
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = main;
    ASSERT_TRUE(TrackMouseEvent(&tme));
    SendMessage(tip, TTM_TRACKACTIVATE, 1, reinterpret_cast<LPARAM>(&tool));
    RECT r;
    ASSERT_TRUE(GetWindowRect(tip, &r));
    EXPECT_EQ(r.left, 120);
    EXPECT_GT(r.top, 100);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    Bitmap shown;
    ASSERT_TRUE(Pump([&] {
        return sdl::ReadNativePixels(tip, &shown) && shown.width == w && shown.height == h &&
               ColourAt(shown, 3, 3) == RGB(255, 255, 225);
    }));
    const std::string picture = testing::TempDir() + "SdlXvfbTest-tooltip.png";
    EXPECT_TRUE(SavePng(shown, picture));
    std::printf("tooltip picture: %s\n", picture.c_str());
    EXPECT_EQ(GetFocus(), main) << "the tip takes no focus";

    // Onto the tip: the window below gets the move and the click, and no leave.
    g_log.clear();
    const int x = r.left + w / 2;
    const int y = r.top + h / 2;
    ASSERT_TRUE(XdoTool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"}));
    EXPECT_EQ(Find(main, WM_MOUSELEAVE), nullptr);
    const Rec* down = Find(main, WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(GET_X_LPARAM(down->lParam), x - 60);
    EXPECT_EQ(GET_Y_LPARAM(down->lParam), y - 60);
    EXPECT_EQ(Find(tip, WM_LBUTTONDOWN), nullptr);
    EXPECT_TRUE(IsWindowVisible(tip));

    // Off our windows altogether the leave does come, so its absence above meant something.
    ASSERT_TRUE(XdoTool({"mousemove", "700", "550"}));
    EXPECT_TRUE(Pump([&] { return Find(main, WM_MOUSELEAVE) != nullptr; }));
}

TEST_F(SdlXvfbTest, MainWindowCarriesTheProgramIcon) {
    Bitmap picture(24, 24, 0xFF2060A0);
    const std::string path = testing::TempDir() + "SdlXvfbTest-icon.png";
    std::vector<uint8_t> png;
    ASSERT_TRUE(WritePngFile(path, picture));
    ASSERT_TRUE(ReadFileBytes(path, &png));
    const ResourceEntry table[] = {{kIconResource, kIconResourceType, png.data(), png.size()}};
    RegisterResources(table, 1);
    HWND main = Make(WS_OVERLAPPED, 60, 60, 100, 100, RGB(40, 40, 160));
    UnregisterResources(table);
    ShowWindow(main, SW_SHOW);
    ASSERT_TRUE(Shown(main, 100, 100));
    const unsigned long id = sdl::NativeWindowId(main);
    ASSERT_NE(id, 0u);
    DeliverAll();
    int width = 0, height = 0;
    uint32_t pixel = 0;
    ASSERT_TRUE(test::ReadDesktopIcon(s_server.Display(), id, &width, &height, &pixel));
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 24);
    EXPECT_EQ(pixel, 0xFF2060A0u);
}

} // namespace
