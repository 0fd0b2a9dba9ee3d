#include "app/MainHost.h"

#include "app/Language.h"
#include "pane/controls/Button.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Label.h"
#include "pane/dialogs/FileDialog.h"
#include "pane/dialogs/MessageBox.h"
#include "platform/win/Window.h"
#include "radio/Protocol.h"

namespace app {

namespace {

Pane::MessageIcon PaneIcon(radio::MessageIcon icon) {
    switch (icon) {
        case radio::MessageIcon::Error:
            return Pane::MessageIcon::Error;
        case radio::MessageIcon::Warning:
            return Pane::MessageIcon::Warning;
        case radio::MessageIcon::Information:
            break;
    }
    return Pane::MessageIcon::Information;
}

Pane::FileDialogOptions PaneDialogOptions(const radio::FileDialogOptions& options) {
    Pane::FileDialogOptions pane;
    pane.save = options.save;
    pane.title = options.title;
    pane.filterName = options.filterName;
    pane.pattern = options.pattern;
    pane.initialFolder = options.initialFolder;
    pane.overwritePrompt = options.overwritePrompt;
    pane.fileMustExist = options.fileMustExist;
    pane.defaultExtension = options.defaultExtension;
    return pane;
}

std::string SelectedEntry(const ComboRow& row) {
    if (row.combo == nullptr)
        return {};
    Pane::CControlUI* item = row.combo->GetItemAt(row.combo->GetCurSel());
    return item != nullptr ? std::string(item->GetText().GetData()) : std::string();
}

} // namespace

CMainHost::CMainHost(MainControls& controls, const CLanguage& language)
    : m_controls(controls), m_language(language), m_windowThread(std::this_thread::get_id()) {}

bool CMainHost::OnWindow(const std::function<void()>& call) const {
    if (OnWindowThread()) {
        call();
        return true;
    }
    const plat::HWND window = m_window;
    if (window == nullptr || m_refusing)
        return false;
    plat::WPARAM id = 0;
    {
        std::lock_guard<std::mutex> lock(m_callsLock);
        id = m_nextCall++;
        m_calls[id] = &call;
    }
    plat::SendMessage(window, kMsgRunOnWindow, id, 0);
    // The call is gone from the table once it has run; still there, it was never delivered.
    std::lock_guard<std::mutex> lock(m_callsLock);
    return m_calls.erase(id) == 0;
}

void CMainHost::RunCall(plat::WPARAM id) {
    const std::function<void()>* call = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_callsLock);
        auto found = m_calls.find(id);
        if (found == m_calls.end())
            return;
        call = found->second;
        m_calls.erase(found);
    }
    if (!m_refusing)
        (*call)();
}

std::string CMainHost::Text(radio::TextId id) const {
    std::string text;
    OnWindow([&] { text = m_language.StatusText(id, m_chinese); });
    return text;
}

void CMainHost::MessageBox(const std::string& text, const std::string& caption,
                           radio::MessageIcon icon) {
    OnWindow([&] {
        Pane::CMessageBoxWnd::Show(m_window, text.c_str(), caption.c_str(), PaneIcon(icon));
    });
}

bool CMainHost::ChooseFile(const radio::FileDialogOptions& options, std::string& path) {
    bool chosen = false;
    OnWindow(
        [&] { chosen = Pane::CFileDialogWnd::Choose(m_window, PaneDialogOptions(options), path); });
    return chosen;
}

Pane::CControlUI* CMainHost::OperationControl(radio::Operation operation) const {
    switch (operation) {
        case radio::Operation::Connect:
            return m_controls.btnConnect;
        case radio::Operation::Disconnect:
            return m_controls.btnDisconnect;
        case radio::Operation::Read:
            return m_controls.btnRead;
        case radio::Operation::Write:
            return m_controls.btnWrite;
        case radio::Operation::Import:
            return m_controls.btnImport;
        case radio::Operation::Export:
            return m_controls.btnExport;
        case radio::Operation::Upgrade:
            return m_controls.itemUpgrade;
    }
    return nullptr;
}

std::string CMainHost::Caption(radio::Operation operation) const {
    std::string caption;
    OnWindow([&] {
        if (Pane::CControlUI* control = OperationControl(operation))
            caption = control->GetText().GetData();
    });
    return caption;
}

void CMainHost::SetStatusLine(const std::string& text, int paddingRight, radio::Colour background) {
    OnWindow([&] {
        Pane::CLabelUI* status = m_controls.status;
        if (status == nullptr)
            return;
        std::string cause;
        {
            std::lock_guard<std::mutex> lock(m_failureLock);
            cause.swap(m_failure);
        }
        status->SetPadding(plat::RECT{0, 0, paddingRight, 0});
        status->SetText(text.c_str());
        status->SetBkColor(background);
        // The cause goes beside a failure, never in place of it; anything else clears it.
        status->SetToolTip(background == radio::kFailureColour ? cause.c_str() : "");
    });
}

std::string CMainHost::SelectedPortEntry() const {
    std::string entry;
    OnWindow([&] { entry = SelectedEntry(m_controls.port); });
    return entry;
}

std::string CMainHost::SelectedBaudEntry() const {
    std::string entry;
    OnWindow([&] { entry = SelectedEntry(m_controls.baud); });
    return entry;
}

void CMainHost::ReportFailure(const radio::Failure& failure) {
    std::lock_guard<std::mutex> lock(m_failureLock);
    m_failure = failure.detail;
}

void CMainHost::SendOperation(plat::WPARAM wParam, OperationKind kind) const {
    const plat::HWND window = m_window;
    if (window != nullptr)
        plat::SendMessage(window, kMsgOperation, wParam, kind);
}

void CMainHost::UpgradeBusy(bool busy) {
    SendOperation(busy ? 1 : 0, kKindLock);
}

void CMainHost::UpgradeProgress(int progress) {
    SendOperation(static_cast<plat::WPARAM>(progress), kKindProgress);
}

void CMainHost::UpgradeFinished(bool success) {
    SendOperation(reinterpret_cast<plat::WPARAM>(m_controls.itemUpgrade),
                  success ? kKindSuccess : kKindFailure);
}

} // namespace app
