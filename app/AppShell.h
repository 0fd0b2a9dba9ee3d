#pragma once
// The program's skeleton, apart from any window: the few operations of the main window that
// start-up and shutdown use (IAppWindow), the order they run in (CAppShell), and the worker
// thread that waits for an upgrade request. DlgMain implements IAppWindow on its native window;
// tests put a recording window in its place. CAppShell's calls are made on the window's thread;
// the worker runs its job on its own thread.

#include "platform/base/WinTypes.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace app {

// How the main window is created: title, styles, position and size before its skeleton
// resizes it.
struct AppWindowOptions {
    const char* title;
    plat::DWORD style;
    plat::DWORD exStyle;
    int x;
    int y;
    int width;
    int height;
};

// The main window as the program's start-up and shutdown see it.
class IAppWindow {
public:
    virtual ~IAppWindow() = default;
    // Creates the native window; the window's initialisation runs inside. False when no window
    // could be made.
    virtual bool CreateAppWindow(const AppWindowOptions& options) = 0;
    virtual void CentreAppWindow() = 0;
    virtual void ShowAppWindow() = 0;
    // Asks the message loop to end with `code`.
    virtual void PostQuit(int code) = 0;
    // Runs the message loop until the quit message.
    virtual void RunMessageLoop() = 0;
};

// Polls an upgrade request every interval and runs the job on its own thread when one is set;
// the request is cleared once the job has returned, so a request made while the job runs is
// absorbed by it. Request and Stop are called on the window's thread.
class CUpgradeWorker {
public:
    using Job = std::function<void()>;
    static constexpr std::chrono::milliseconds kPollInterval{50};

    explicit CUpgradeWorker(Job job, std::chrono::milliseconds poll = kPollInterval);
    ~CUpgradeWorker();
    CUpgradeWorker(const CUpgradeWorker&) = delete;
    CUpgradeWorker& operator=(const CUpgradeWorker&) = delete;

    // Starts the thread; a second call does nothing.
    void Start();
    bool Started() const { return m_thread.joinable(); }

    void Request() { m_requested = true; }
    bool Requested() const { return m_requested; }
    // True while the job runs.
    bool Busy() const { return m_busy; }
    // How many times the thread has looked at the request so far.
    long Polls() const { return m_polls; }

    // Ends the thread and joins it. A job under way is not interrupted: `whileWaiting` runs
    // every few milliseconds until it has returned, so the window's thread can answer the
    // messages the job sends it (and hasten its end). No job starts after Stop was called.
    void Stop(const std::function<void()>& whileWaiting = {});

private:
    void Run();

    Job m_job;
    std::chrono::milliseconds m_poll;
    std::atomic<bool> m_requested{false};
    std::atomic<bool> m_busy{false};
    std::atomic<long> m_polls{0};
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;     // guarded by m_lock
    bool m_finished = false; // guarded by m_lock
    std::thread m_thread;
};

// The life of the main window: opened (created, centred, shown), the worker started from its
// initialisation, the loop run until quit, then closed: the settings saved first, while every
// control still holds what the user left, then the worker stopped.
class CAppShell {
public:
    struct Hooks {
        std::function<void()> saveSettings;
        // The worker's job: the firmware upgrade.
        CUpgradeWorker::Job upgrade;
        // Run on the window's thread while the worker is being stopped.
        std::function<void()> whileStopping;
    };

    CAppShell(IAppWindow& window, Hooks hooks);
    // Closes, when Close has not run.
    ~CAppShell();
    CAppShell(const CAppShell&) = delete;
    CAppShell& operator=(const CAppShell&) = delete;

    // Creates, centres and shows the window; false, with nothing shown, when it cannot be
    // created.
    bool Open(const AppWindowOptions& options);
    void StartWorker() { m_worker.Start(); }
    void RequestUpgrade() { m_worker.Request(); }
    const CUpgradeWorker& Worker() const { return m_worker; }

    void Quit() { m_window.PostQuit(0); }
    void Run() { m_window.RunMessageLoop(); }
    // Saves the settings, then stops the worker. Once only.
    void Close();

private:
    IAppWindow& m_window;
    Hooks m_hooks;
    CUpgradeWorker m_worker;
    bool m_closed = false;
};

} // namespace app
