#include "tools/plat-demo/DemoScript.h"

#include "platform/backends/Headless.h"
#include "platform/gfx/Image.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace demo {

using namespace plat;

namespace {

int g_failures = 0;

void Check(bool ok, const char* step) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", step);
    if (!ok) {
        std::fprintf(stderr, "plat-demo: step failed: %s\n", step);
        ++g_failures;
    }
}

POINT ScreenOf(HWND hwnd, const RECT& rc) {
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ClientToScreen(hwnd, &pt);
    return pt;
}

void ClickAt(HWND hwnd, const RECT& rc) {
    POINT pt = ScreenOf(hwnd, rc);
    headless::MouseMove(pt.x, pt.y);
    headless::Click(pt.x, pt.y);
}

// The main window's pixels with the pop-up's drawn over them where it lies on the screen.
Bitmap Composite(const DemoState& s) {
    Bitmap out;
    if (const Bitmap* main = headless::Pixels(s.hwnd))
        out = *main;
    if (!s.popup)
        return out;
    const Bitmap* popup = headless::Pixels(s.popup);
    RECT mainRect, popupRect;
    if (!popup || !GetWindowRect(s.hwnd, &mainRect) || !GetWindowRect(s.popup, &popupRect))
        return out;
    const int dx = popupRect.left - mainRect.left;
    const int dy = popupRect.top - mainRect.top;
    for (int y = 0; y < popup->height; ++y)
        for (int x = 0; x < popup->width; ++x)
            if (x + dx >= 0 && x + dx < out.width && y + dy >= 0 && y + dy < out.height)
                out.At(x + dx, y + dy) = popup->At(x, y);
    return out;
}

} // namespace

bool SaveBitmapPng(const Bitmap& bitmap, const std::string& path) {
    return WritePngFile(path, bitmap);
}

int RunScript(DemoState& s, const std::string& pngPath) {
    g_failures = 0;
    HWND hwnd = s.hwnd;
    headless::PumpMessages();
    Check(IsWindowVisible(hwnd), "the window is shown");

    ClickAt(hwnd, EditRect());
    Check(GetFocus() == s.edit, "a click in the edit gives it the focus");
    headless::KeyPress('A', {VK_CONTROL});
    headless::Text("COM7");
    Check(GetWindowTextString(s.edit) == "COM7", "typed text replaces the selected text");
    Check(s.status == "Name: COM7", "the window hears of every change of the edit");

    ClickAt(hwnd, DropRect());
    Check(s.popup != nullptr && IsWindowVisible(s.popup), "a click on the field opens the pop-up");
    if (s.popup) {
        RECT popupRect, drop = DropRect();
        GetWindowRect(s.popup, &popupRect);
        POINT under{drop.left, drop.bottom};
        ClientToScreen(hwnd, &under);
        Check(popupRect.left == under.x && popupRect.top == under.y,
              "the pop-up opens right under the field");
        ClickAt(s.popup, PopupEntryRect(1));
    }
    Check(s.selected == 1 && s.popup == nullptr, "a click on an entry picks it and closes");

    ClickAt(hwnd, DropRect());
    ClickAt(hwnd, RECT{360, 200, 380, 220});
    Check(s.popup == nullptr && s.selected == 1 && s.popupsOpened == 2,
          "a click outside closes the pop-up and keeps the choice");

    ClickAt(hwnd, DropRect());
    headless::FocusChanged(hwnd, false);
    headless::PumpMessages();
    Check(s.popup == nullptr, "the pop-up closes when its owner loses the focus");
    headless::FocusChanged(hwnd, true);
    headless::PumpMessages();

    const int ticks = s.ticks;
    headless::AdvanceClock(2000);
    Check(s.ticks - ticks == 4, "the clock ticks every half second");

    // Resting on the button for the tooltip's initial delay shows its tooltip beside the
    // pointer; moving off the button hides it.
    // Near the button's top, so the tip's first rows still lie over the button.
    const RECT button = WorkButton();
    POINT overButton = ScreenOf(hwnd, RECT{button.left, button.top, button.right, button.top + 2});
    headless::MouseMove(overButton.x, overButton.y);
    headless::AdvanceClock(
        static_cast<DWORD>(SendMessage(s.tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0)));
    RECT tipRect{};
    GetWindowRect(s.tooltip, &tipRect);
    Check(IsWindowVisible(s.tooltip) && tipRect.left == overButton.x && tipRect.top > overButton.y,
          "resting on the button shows its tooltip under the pointer");
    headless::MouseMove(tipRect.left + 2, tipRect.top + 2);
    Check(IsWindowVisible(s.tooltip), "the pointer passes through the tooltip to the button");
    POINT away = ScreenOf(hwnd, EditRect());
    headless::MouseMove(away.x, away.y);
    Check(!IsWindowVisible(s.tooltip), "leaving the button hides the tooltip");

    ClickAt(hwnd, WorkButton());
    Check(s.worker.Running() || s.workDone, "the button starts the worker");
    // The worker runs in real time; its SendMessage calls are handled while the queue pumps.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!s.workDone && std::chrono::steady_clock::now() < deadline) {
        headless::PumpMessages();
        // Sleeps until the worker's next send wakes the queue.
        if (!s.workDone)
            WaitMessage();
    }
    Check(s.workDone && s.progress == 100, "the worker's progress reaches the window");

    ClickAt(hwnd, DropRect());
    if (s.popup) {
        POINT pt = ScreenOf(s.popup, PopupEntryRect(4));
        headless::MouseMove(pt.x, pt.y);
    }
    headless::PumpMessages();
    const bool saved = SaveBitmapPng(Composite(s), pngPath);
    Check(saved, "the picture is saved");
    if (saved)
        std::printf("picture: %s\n", pngPath.c_str());

    ClickAt(hwnd, CloseBox());
    Check(!IsWindow(hwnd), "the close box closes the window");
    MSG msg;
    bool quit = false;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    Check(quit, "closing the window ends the program's loop");
    return g_failures == 0 ? 0 : 1;
}

} // namespace demo
