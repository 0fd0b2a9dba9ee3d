#pragma once
// DlgMain: the main window and the owner of the program's state — the control tree built in
// code on the skeleton's root, the radio fields bound to its controls, the protocol with its
// serial port, the language table, the menu bar emulated with buttons and floating panels, the
// frequency edits' pending checks and the worker thread that runs the firmware upgrade. Lives
// for the whole run; constructing it creates, centres and shows the window, destroying it saves
// the settings and stops the worker. Everything runs on the window's thread except the
// upgrade, which reaches the window only through its private messages (MainHost.h).

#include "app/AppShell.h"
#include "app/ControlFields.h"
#include "app/Language.h"
#include "app/MainControls.h"
#include "app/MainHost.h"
#include "pane/utils/WindowImplBase.h"
#include "radio/Protocol.h"
#include "radio/RadioSettings.h"

#include <array>
#include <memory>
#include <string>

namespace app {

// The title, styles and first size of the main window; its skeleton makes it 779 by 509.
extern const AppWindowOptions kMainWindowOptions;
constexpr int kMainWidth = 779;
constexpr int kMainHeight = 509;

class DlgMain : public Pane::WindowImplBase, public IAppWindow {
public:
    // Creates, centres and shows the window; GetHWND() is null when it could not be created.
    DlgMain();
    // Saves the settings first, then stops the worker (an upgrade under way is cut short by
    // closing its port), then lets the window go.
    ~DlgMain() override;

    void Notify(Pane::NotifyMessage& msg) override;

    // IAppWindow.
    bool CreateAppWindow(const AppWindowOptions& options) override;
    void CentreAppWindow() override;
    void ShowAppWindow() override;
    void PostQuit(int code) override;
    void RunMessageLoop() override;

    // Runs the message loop until quit.
    void Run() { m_shell.Run(); }

    MainControls& Controls() { return m_controls; }
    radio::RadioSettings& Settings() { return m_settings; }
    radio::CRadioProtocol& Protocol() { return m_protocol; }
    CMainHost& Host() { return m_host; }
    const CUpgradeWorker& Worker() const { return m_shell.Worker(); }

    bool IsChinese() const { return m_chinese; }
    // Asks the worker for the firmware upgrade (the File menu's upgrade entry).
    void RequestUpgrade() { m_shell.RequestUpgrade(); }
    bool IsMenuOpen() const { return m_menuOpen; }
    // -1 for none, else kMenuFile, kMenuLanguage or kMenuHelp.
    int OpenMenu() const { return m_openMenu; }
    // The pending frequency checks of the edits the user has left.
    bool IsFrequencyDirty(int slot, bool transmit) const;

protected:
    const char* GetWindowClassName() const override { return "ZeltaRctMain"; }
    void InitWindow() override;
    plat::LRESULT OnClose(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                          bool& handled) override;
    plat::LRESULT OnKillFocus(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                              bool& handled) override;
    plat::LRESULT OnMouseMove(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                              bool& handled) override;
    plat::LRESULT HandleCustomMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                      bool& handled) override;

private:
    void OnClick(Pane::CControlUI* sender);
    void OnItemSelect(Pane::CControlUI* sender);
    // False when the notification stops here.
    bool OnKillFocusNotify(Pane::CControlUI* sender);
    void OnSetFocus(Pane::CControlUI* sender);
    void RunMenuEntry(Pane::CControlUI* entry);
    void ShowAbout();
    // The operation message; always handled.
    void OnOperationMessage(plat::WPARAM wParam, plat::LPARAM kind);

    // Validates the first edit the user has left whose check is pending and that is not the
    // control taking the focus; true when there was none or it passed.
    bool CheckPendingFrequency(Pane::CControlUI* receivingFocus);
    void CloseMenus();
    bool MenuButtonFocused() const;
    void ShowMenu(int index);
    void ApplyLanguage();
    void RefillLists();
    void SetCommandsLocked(bool locked);
    void ReportControlResult(Pane::CControlUI* control, bool success);
    // True for a control of this window's tree that the program keeps.
    bool IsKnownControl(const Pane::CControlUI* control) const;
    void SaveSettings();
    void RunUpgrade();
    // Run while the worker is being stopped.
    void HastenWorkerEnd();

    MainControls m_controls;
    CLanguage m_language;
    CMainHost m_host;
    radio::RadioSettings m_settings;
    std::unique_ptr<CMainFields> m_fields;
    radio::CRadioProtocol m_protocol;

    bool m_chinese = true;
    bool m_menuOpen = false;
    int m_openMenu = -1;
    std::array<bool, kFrequencySlots> m_txDirty{};
    std::array<bool, kFrequencySlots> m_rxDirty{};
    bool m_built = false;

    // Last: stopped first, while everything the worker uses still exists.
    CAppShell m_shell;
};

} // namespace app
