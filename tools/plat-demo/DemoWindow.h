#pragma once
// The demonstration window of the platform layer: a top-level window with a painted caption
// band that drags it, an "Edit" child, a drop-down field that opens a pop-up list under itself,
// a clock on a timer, a worker thread that reports progress with SendMessage and a tooltip on
// the button that starts it. Everything here
// runs on the UI thread except DemoWorker's thread, which only calls SendMessage.

#include "platform/gfx/Font.h"
#include "platform/win/Window.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace demo {

// Sent by the worker: wParam = percent done (0..100). Returns 1 when the window took it.
constexpr plat::UINT kMsgProgress = plat::WM_APP + 1;
// Sent by the pop-up to its owner: wParam = the picked entry.
constexpr plat::UINT kMsgPicked = plat::WM_APP + 2;

constexpr int kWidth = 480;
constexpr int kHeight = 300;
constexpr int kCaptionHeight = 32;
constexpr plat::UINT_PTR kClockTimer = 1;
constexpr plat::UINT_PTR kQuitTimer = 2;
constexpr plat::UINT kClockMs = 500;

// Parts of the window, client coordinates.
plat::RECT MinimiseBox();
plat::RECT CloseBox();
plat::RECT EditRect();
plat::RECT DropRect();
plat::RECT WorkButton();
plat::RECT ProgressBar();
// One entry of the pop-up list, in the pop-up's client coordinates.
plat::RECT PopupEntryRect(int index);

const std::vector<std::string>& DropEntries();

// The worker: counts to 100 in steps, sending each step to the window; stops early when asked
// or when the window no longer takes the message.
class DemoWorker {
public:
    ~DemoWorker();
    bool Start(plat::HWND target, int stepMs);
    bool Running() const { return m_running; }
    // Asks the thread to stop and waits for it. Call with no send pending on this thread's
    // queue, or after Shutdown (which fails pending sends).
    void Stop();

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
};

// What the window shows, readable by the scripted session.
struct DemoState {
    plat::HWND hwnd = nullptr;
    plat::HWND edit = nullptr;
    plat::HWND popup = nullptr;
    plat::HWND tooltip = nullptr; // describes the work button
    bool tracking = false;        // hover and leave tracking asked for the window
    plat::HFONT font = nullptr;
    plat::HFONT captionFont = nullptr;
    int selected = 3;
    int ticks = 0;
    int progress = 0;
    int popupsOpened = 0;
    bool workDone = false;
    std::string status = "Ready";
    int workStepMs = 20;
    std::string shotPath; // desktop: picture of the window taken when the quit timer fires
    bool shotSaved = false;
    DemoWorker worker;
};

bool RegisterDemoClasses();
// Creates and shows the demo window at (x, y) on the caller's state, which must outlive it;
// the window closes itself after quitAfterMs (0 = never).
plat::HWND CreateDemoWindow(DemoState& state, int x, int y, plat::UINT quitAfterMs);
DemoState* GetDemoState(plat::HWND hwnd);
// Opens the pop-up list under the drop-down field (no effect while one is open).
bool OpenDropDown(DemoState& state);

} // namespace demo
