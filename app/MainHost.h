#pragma once
// CMainHost: what the radio operations see of the main window — its language's texts, message
// boxes, the file dialog, the captions of the command controls, the status line and the port
// settings. The operations started by the user run on the window's thread and reach the
// controls directly; the firmware upgrade runs on the worker thread, and every call it makes
// reaches the window as a synchronous message: the private operation message (busy, progress,
// result, not busy) or the run-on-window message for everything else, so the controls are only
// ever touched on the window's thread. A call that cannot be delivered (the window is gone)
// answers as a cancelled or empty one.

#include "app/MainControls.h"
#include "platform/base/WinTypes.h"
#include "radio/RadioHost.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace app {

class CLanguage;

// The main window's private message: lParam is the kind, wParam its argument.
constexpr plat::UINT kMsgOperation = plat::WM_USER + 3001;
enum OperationKind : plat::LPARAM {
    kKindLock = 1,      // wParam 1 locks the radio commands, any other value unlocks them
    kKindSuccess = 2,   // wParam: the control whose operation succeeded
    kKindFailure = 3,   // wParam: the control whose operation failed
    kKindDropFocus = 5, // wParam: the control that gives up the focus
    kKindProgress = 6,  // wParam: progress in ten-thousandths
};

// Runs a call of another thread on the window's thread; wParam names the call.
constexpr plat::UINT kMsgRunOnWindow = plat::WM_USER + 3002;

class CMainHost : public radio::IRadioHost {
public:
    // Made on the window's thread, which is the one the controls belong to.
    CMainHost(MainControls& controls, const CLanguage& language);

    // The window that messages go to; null until it exists and after it has gone.
    void SetWindow(plat::HWND window) { m_window = window; }
    void SetChinese(bool chinese) { m_chinese = chinese; }
    bool OnWindowThread() const { return std::this_thread::get_id() == m_windowThread; }

    // Runs the call that kMsgRunOnWindow names (window's thread); an unknown name does nothing.
    void RunCall(plat::WPARAM id);
    // From now on calls of other threads are answered as undeliverable (the window is
    // closing: no file dialog or message box opens for the worker any more).
    void RefuseOtherThreads() { m_refusing = true; }

    std::string Text(radio::TextId id) const override;
    bool IsChinese() const override { return m_chinese; }
    void MessageBox(const std::string& text, const std::string& caption,
                    radio::MessageIcon icon) override;
    bool ChooseFile(const radio::FileDialogOptions& options, std::string& path) override;
    std::string Caption(radio::Operation operation) const override;
    // A failure puts the cause last reported beside the status as its tooltip; any other
    // status clears it.
    void SetStatusLine(const std::string& text, int paddingRight,
                       radio::Colour background) override;
    std::string SelectedPortEntry() const override;
    std::string SelectedBaudEntry() const override;
    void ReportFailure(const radio::Failure& failure) override;
    void UpgradeBusy(bool busy) override;
    void UpgradeProgress(int progress) override;
    void UpgradeFinished(bool success) override;

    // The control that heads the status line of an operation.
    Pane::CControlUI* OperationControl(radio::Operation operation) const;

private:
    // Runs `call` on the window's thread and waits for it; false when it could not be
    // delivered.
    bool OnWindow(const std::function<void()>& call) const;
    void SendOperation(plat::WPARAM wParam, OperationKind kind) const;

    MainControls& m_controls;
    const CLanguage& m_language;
    const std::thread::id m_windowThread;
    std::atomic<plat::HWND> m_window{nullptr};
    std::atomic<bool> m_chinese{true};
    std::atomic<bool> m_refusing{false};

    mutable std::mutex m_callsLock;
    mutable std::map<plat::WPARAM, const std::function<void()>*> m_calls;
    mutable plat::WPARAM m_nextCall = 1;

    std::mutex m_failureLock;
    std::string m_failure; // the cause of the failure about to be shown
};

} // namespace app
