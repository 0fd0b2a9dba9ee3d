#include "app/AppShell.h"

#include <utility>

namespace app {

namespace {

// How often Stop lets the window's thread answer the worker while it waits.
constexpr std::chrono::milliseconds kStopStep{5};

} // namespace

CUpgradeWorker::CUpgradeWorker(Job job, std::chrono::milliseconds poll)
    : m_job(std::move(job)), m_poll(poll) {}

CUpgradeWorker::~CUpgradeWorker() {
    Stop();
}

void CUpgradeWorker::Start() {
    if (m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_stop)
            return;
    }
    m_thread = std::thread([this] { Run(); });
}

void CUpgradeWorker::Run() {
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop) {
        ++m_polls;
        if (m_requested) {
            m_busy = true;
            lock.unlock();
            if (m_job)
                m_job();
            m_requested = false;
            lock.lock();
            m_busy = false;
            continue;
        }
        m_wake.wait_for(lock, m_poll, [this] { return m_stop; });
    }
    m_finished = true;
    m_wake.notify_all();
}

void CUpgradeWorker::Stop(const std::function<void()>& whileWaiting) {
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_stop = true;
        m_wake.notify_all();
        if (!m_thread.joinable())
            return;
        while (!m_finished) {
            if (whileWaiting) {
                lock.unlock();
                whileWaiting();
                lock.lock();
            }
            m_wake.wait_for(lock, kStopStep, [this] { return m_finished; });
        }
    }
    m_thread.join();
}

CAppShell::CAppShell(IAppWindow& window, Hooks hooks)
    : m_window(window), m_hooks(std::move(hooks)), m_worker(m_hooks.upgrade) {}

CAppShell::~CAppShell() {
    Close();
}

bool CAppShell::Open(const AppWindowOptions& options) {
    if (!m_window.CreateAppWindow(options))
        return false;
    m_window.CentreAppWindow();
    m_window.ShowAppWindow();
    return true;
}

void CAppShell::Close() {
    if (m_closed)
        return;
    m_closed = true;
    if (m_hooks.saveSettings)
        m_hooks.saveSettings();
    m_worker.Stop(m_hooks.whileStopping);
}

} // namespace app
