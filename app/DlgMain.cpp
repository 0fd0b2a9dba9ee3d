#include "app/DlgMain.h"

#include "app/Composites.h"
#include "app/DlgAbout.h"
#include "app/MainTree.h"
#include "app/StoredSettings.h"
#include "pane/controls/Button.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Edit.h"
#include "pane/controls/Label.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/win/Window.h"
#include "radio/ConfigFile.h"
#include "radio/SerialPort.h"
#include "radio/Upgrade.h"

#include <algorithm>
#include <initializer_list>

namespace app {

const AppWindowOptions kMainWindowOptions = {
    "Zelta外置电台配置工具-Z001.01.06",
    plat::WS_VISIBLE | plat::WS_OVERLAPPEDWINDOW,
    plat::WS_EX_APPWINDOW | plat::WS_EX_STATICEDGE,
    0,
    0,
    670,
    444,
};

namespace {

// The menu buttons' pictures: the open menu's button, and the hover of a closed menu.
constexpr const char* kOpenMenuImage = "res='184' restype='png' corner='2,2,2,2'";
constexpr const char* kMenuHotImage = "res='175' restype='png' corner='3,3,3,3'";

bool IsOneOf(const Pane::CControlUI* control,
             std::initializer_list<const Pane::CControlUI*> controls) {
    return control != nullptr &&
           std::find(controls.begin(), controls.end(), control) != controls.end();
}

} // namespace

DlgMain::DlgMain()
    : WindowImplBase(kMainWidth, kMainHeight), m_language(CLanguage::BesideProgram()),
      m_host(m_controls, m_language), m_protocol(m_host, m_settings),
      m_shell(*this, CAppShell::Hooks{[this] { SaveSettings(); }, [this] { RunUpgrade(); },
                                      [this] { HastenWorkerEnd(); }}) {
    m_settings.DefaultFrequencies = radio::LoadDefaultFrequencies(radio::DefaultProfilePath());
    m_shell.Open(kMainWindowOptions);
}

DlgMain::~DlgMain() {
    m_shell.Close();
    m_host.SetWindow(nullptr);
}

bool DlgMain::CreateAppWindow(const AppWindowOptions& options) {
    return Create(nullptr, options.title, options.style, options.exStyle, options.x, options.y,
                  options.width, options.height) != nullptr;
}

void DlgMain::CentreAppWindow() {
    CenterWindow();
}

void DlgMain::ShowAppWindow() {
    ShowWindow(true);
}

void DlgMain::PostQuit(int code) {
    plat::PostQuitMessage(code);
}

void DlgMain::RunMessageLoop() {
    Pane::CUIManager::MessageLoop();
}

void DlgMain::InitWindow() {
    m_host.SetWindow(m_hWnd);
    auto* main = static_cast<Pane::CContainerUI*>(m_pm.FindControl("main"));
    if (main == nullptr)
        return;
    BuildMainTree(main, m_controls);
    m_fields = std::make_unique<CMainFields>(m_controls);
    m_fields->Bind(m_settings);
    m_built = true;

    m_language.LoadTable(m_controls);
    if (!FillPortList(m_controls, radio::EnumerateSerialPorts())) {
        for (Pane::CControlUI* button : {m_controls.btnConnect, m_controls.btnDisconnect,
                                         m_controls.btnRead, m_controls.btnWrite})
            button->SetEnabled(false);
    }
    FillMainLists(m_controls, m_language.ChannelNames(m_chinese));
    PrepareFieldsOnce(m_controls);
    LoadStoredSettings(m_controls.port.combo, m_controls.baud.combo, m_chinese);
    // Applying a language switches to the other one first: invert, so the stored one is
    // applied. It refills the lists, so the stored baud entry is selected once more.
    m_chinese = !m_chinese;
    ApplyLanguage();
    ReapplyStoredBaud(m_controls.baud.combo);
    m_shell.StartWorker();
}

void DlgMain::SaveSettings() {
    if (!m_built)
        return;
    SaveStoredSettings(m_controls.port.combo->GetCurSel(), m_controls.baud.combo->GetCurSel(),
                       m_chinese);
}

void DlgMain::RunUpgrade() {
    radio::UpgradeFirmware(m_protocol);
}

void DlgMain::HastenWorkerEnd() {
    // Without its port an upgrade under way fails at its next exchange instead of sending the
    // rest of the file, and one that is still to ask for its file finds the dialog cancelled;
    // the messages it sends the window meanwhile are answered here.
    m_host.RefuseOtherThreads();
    m_protocol.Port().Close();
    plat::MSG msg;
    plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_NOREMOVE);
}

void DlgMain::ApplyLanguage() {
    m_language.Apply(m_chinese, m_controls, [this] { RefillLists(); });
    m_host.SetChinese(m_chinese);
}

void DlgMain::RefillLists() {
    FillMainLists(m_controls, m_language.ChannelNames(m_chinese));
}

bool DlgMain::IsFrequencyDirty(int slot, bool transmit) const {
    if (slot < 0 || slot >= kFrequencySlots)
        return false;
    return transmit ? m_txDirty[slot] : m_rxDirty[slot];
}

void DlgMain::Notify(Pane::NotifyMessage& msg) {
    Pane::CControlUI* sender = msg.sender;
    if (m_built && sender != nullptr) {
        if (msg.type == "click")
            OnClick(sender);
        else if (msg.type == "itemselect")
            OnItemSelect(sender);
        else if (msg.type == "killfocus" && !OnKillFocusNotify(sender))
            return;
        else if (msg.type == "setfocus")
            OnSetFocus(sender);
        else if (msg.type == "dropdown")
            CheckPendingFrequency(sender);
    }
    WindowImplBase::Notify(msg);
}

void DlgMain::OnClick(Pane::CControlUI* sender) {
    MainControls& c = m_controls;
    if (sender == c.btnClose) {
        PostQuit(0);
    } else if (sender == c.btnMin) {
        SendMessage(plat::WM_SYSCOMMAND, plat::SC_MINIMIZE, 0);
    } else if (sender == c.btnDefaultTx || sender == c.btnDefaultRx) {
        m_settings.FillDefaults(sender == c.btnDefaultTx);
    } else if (sender == c.btnExport) {
        radio::ExportConfig(m_settings, m_host, [this](bool success) {
            m_protocol.ReportResult(success, radio::Operation::Export);
        });
    } else if (sender == c.btnImport) {
        radio::ImportConfig(m_settings, m_host, [this](bool success) {
            m_protocol.ReportResult(success, radio::Operation::Import);
        });
    } else if (sender == c.btnConnect) {
        m_protocol.ConnectRadio();
    } else if (sender == c.btnDisconnect) {
        m_protocol.DisconnectRadio();
    } else if (sender == c.btnRead) {
        m_protocol.ReadAll();
    } else if (sender == c.btnWrite) {
        m_protocol.WriteAll();
    } else if (sender == c.btnUnlockSn) {
        c.serialNumber.row->SetEnabled(true);
        m_settings.SerialNumberUnlocked = true;
    } else if (sender == c.btnUnlockHw) {
        c.hardwareVersion.row->SetEnabled(true);
        m_settings.HardwareUnlocked = true;
    }
}

void DlgMain::OnItemSelect(Pane::CControlUI* sender) {
    if (sender == m_controls.protocol.combo) {
        // A cleared selection names no protocol, so there is no list to offer.
        const int protocol = m_controls.protocol.combo->GetCurSel();
        if (protocol >= 0)
            m_settings.SelectProtocol(protocol);
    } else if (sender == m_controls.bandwidth.combo) {
        m_settings.ApplyLinkRateRule();
    }
}

bool DlgMain::OnKillFocusNotify(Pane::CControlUI* sender) {
    for (int slot = 0; slot < kFrequencySlots; ++slot) {
        for (bool transmit : {true, false}) {
            const EditRow& row = transmit ? m_controls.tx[slot] : m_controls.rx[slot];
            if (sender != row.edit)
                continue;
            std::array<bool, kFrequencySlots>& dirty = transmit ? m_txDirty : m_rxDirty;
            // While a check is pending, the edit that loses the focus to the refused one is
            // not marked: marking it would send the focus back and forth between two boxes.
            if (std::find(dirty.begin(), dirty.end(), true) != dirty.end())
                return false;
            dirty[slot] = true;
            return true;
        }
    }
    return true;
}

bool DlgMain::CheckPendingFrequency(Pane::CControlUI* receivingFocus) {
    for (int slot = 0; slot < kFrequencySlots; ++slot) {
        for (bool transmit : {true, false}) {
            std::array<bool, kFrequencySlots>& dirty = transmit ? m_txDirty : m_rxDirty;
            const EditRow& row = transmit ? m_controls.tx[slot] : m_controls.rx[slot];
            if (!dirty[slot] || row.edit == receivingFocus)
                continue;
            const bool valid = m_settings.ValidateFrequencyField(m_host, slot, transmit);
            dirty[slot] = false;
            return valid;
        }
    }
    return true;
}

void DlgMain::OnSetFocus(Pane::CControlUI* sender) {
    const MainControls& c = m_controls;
    // Lists, the default-values buttons and the radio commands take the focus without
    // checking an edit the user has just left.
    const bool skipsCheck =
        IsOneOf(sender, {c.btnClose, c.btnMin, c.protocol.combo, c.channel.combo, c.radioBaud.combo,
                         c.linkBaud.combo, c.workMode.combo, c.powerHigh.combo, c.powerLow.combo,
                         c.port.combo, c.baud.combo, c.btnDefaultTx, c.btnDefaultRx, c.btnConnect,
                         c.btnDisconnect, c.btnRead, c.btnWrite});
    if (!skipsCheck && !CheckPendingFrequency(sender))
        return;
    CloseMenus();
    if (!IsOneOf(sender, {c.itemConnect, c.itemRead, c.itemWrite, c.itemDisconnect, c.itemImport,
                          c.itemExport, c.itemUpgrade, c.itemExit, c.itemLanguage, c.itemAbout}))
        return;
    RunMenuEntry(sender);
    // The entry gives up the focus, so that choosing it again raises "setfocus" again.
    PostMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(sender), kKindDropFocus);
}

void DlgMain::RunMenuEntry(Pane::CControlUI* entry) {
    MainControls& c = m_controls;
    if (entry == c.itemExit)
        PostQuit(0);
    else if (entry == c.itemConnect)
        OnClick(c.btnConnect);
    else if (entry == c.itemDisconnect)
        OnClick(c.btnDisconnect);
    else if (entry == c.itemRead)
        OnClick(c.btnRead);
    else if (entry == c.itemWrite)
        OnClick(c.btnWrite);
    else if (entry == c.itemImport)
        OnClick(c.btnImport);
    else if (entry == c.itemExport)
        OnClick(c.btnExport);
    else if (entry == c.itemUpgrade)
        RequestUpgrade();
    else if (entry == c.itemLanguage)
        ApplyLanguage();
    else if (entry == c.itemAbout)
        ShowAbout();
}

void DlgMain::ShowAbout() {
    // Runs modally over this window and returns once it has closed.
    DlgAbout about(m_hWnd, m_chinese);
}

bool DlgMain::MenuButtonFocused() const {
    return std::any_of(m_controls.menus.begin(), m_controls.menus.end(),
                       [](const Pane::CButtonUI* menu) { return menu->IsFocused(); });
}

void DlgMain::CloseMenus() {
    m_menuOpen = MenuButtonFocused();
    if (m_menuOpen)
        return;
    for (int i = 0; i < kMenuCount; ++i) {
        m_controls.panels[i]->SetVisible(false);
        m_controls.menus[i]->SetHotImage(kMenuHotImage);
        m_controls.menus[i]->SetNormalImage("");
    }
    m_openMenu = -1;
}

void DlgMain::ShowMenu(int index) {
    for (int i = 0; i < kMenuCount; ++i)
        m_controls.panels[i]->SetVisible(i == index);
    if (index == m_openMenu)
        return;
    m_openMenu = index;
    for (int i = 0; i < kMenuCount; ++i) {
        const char* image = i == index ? kOpenMenuImage : "";
        m_controls.menus[i]->SetNormalImage(image);
        m_controls.menus[i]->SetHotImage(image);
    }
}

plat::LRESULT DlgMain::OnMouseMove(plat::UINT, plat::WPARAM, plat::LPARAM lParam, bool& handled) {
    handled = false;
    if (!m_built || !m_menuOpen)
        return 0;
    const plat::POINT pt{plat::GET_X_LPARAM(lParam), plat::GET_Y_LPARAM(lParam)};
    const Pane::CControlUI* hit = m_pm.FindControl(pt);
    for (int i = 0; i < kMenuCount; ++i)
        if (hit == m_controls.menus[i])
            ShowMenu(i);
    return 0;
}

plat::LRESULT DlgMain::OnKillFocus(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    handled = false;
    if (m_built && MenuButtonFocused()) {
        m_controls.btnMin->SetFocus();
        CloseMenus();
    }
    return 0;
}

plat::LRESULT DlgMain::OnClose(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    // Closing the main window ends the program the way Exit does; the window itself stays
    // until the settings have been saved from its controls.
    handled = true;
    PostQuit(0);
    return 0;
}

plat::LRESULT DlgMain::HandleCustomMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                           bool& handled) {
    if (msg == kMsgOperation) {
        handled = true;
        if (m_built)
            OnOperationMessage(wParam, lParam);
        return 0;
    }
    if (msg == kMsgRunOnWindow) {
        handled = true;
        m_host.RunCall(wParam);
        return 0;
    }
    handled = false;
    return 0;
}

void DlgMain::OnOperationMessage(plat::WPARAM wParam, plat::LPARAM kind) {
    auto* control = reinterpret_cast<Pane::CControlUI*>(wParam);
    switch (kind) {
        case kKindLock:
            SetCommandsLocked(wParam == 1);
            break;
        case kKindSuccess:
        case kKindFailure:
            if (IsKnownControl(control))
                ReportControlResult(control, kind == kKindSuccess);
            break;
        case kKindDropFocus:
            if (IsKnownControl(control)) {
                control->SetEnabled(!control->IsEnabled());
                control->SetEnabled(!control->IsEnabled());
            }
            break;
        case kKindProgress: {
            // A value outside the scale would push the bar past either end of the line.
            const auto progress =
                std::clamp(static_cast<long long>(static_cast<plat::LPARAM>(wParam)), 0LL,
                           static_cast<long long>(radio::kProgressFull));
            m_host.SetStatusLine("", radio::UpgradeProgressPadding(static_cast<int>(progress)),
                                 radio::kProgressColour);
            break;
        }
        default:
            break;
    }
}

void DlgMain::SetCommandsLocked(bool locked) {
    const MainControls& c = m_controls;
    for (Pane::CButtonUI* command : {c.btnConnect, c.btnDisconnect, c.btnRead, c.btnWrite,
                                     c.itemConnect, c.itemDisconnect, c.itemRead, c.itemWrite})
        command->SetEnabled(!locked);
}

void DlgMain::ReportControlResult(Pane::CControlUI* control, bool success) {
    for (radio::Operation operation :
         {radio::Operation::Connect, radio::Operation::Disconnect, radio::Operation::Read,
          radio::Operation::Write, radio::Operation::Import, radio::Operation::Export,
          radio::Operation::Upgrade}) {
        if (m_host.OperationControl(operation) == control) {
            m_protocol.ReportResult(success, operation);
            return;
        }
    }
    // A control that starts no operation holds no port: only the status line changes.
    const std::string text =
        std::string(control->GetText().GetData()) +
        m_host.Text(success ? radio::TextId::MsgSuccess : radio::TextId::MsgError);
    m_host.SetStatusLine(text, 0, success ? radio::kSuccessColour : radio::kFailureColour);
}

bool DlgMain::IsKnownControl(const Pane::CControlUI* control) const {
    if (control == nullptr)
        return false;
    const MainControls& c = m_controls;
    if (IsOneOf(control,
                {c.title,       c.btnMin,         c.btnClose,   c.itemConnect,  c.itemRead,
                 c.itemWrite,   c.itemDisconnect, c.itemImport, c.itemExport,   c.itemUpgrade,
                 c.itemExit,    c.itemLanguage,   c.itemAbout,  c.btnDefaultTx, c.btnDefaultRx,
                 c.btnUnlockSn, c.btnUnlockHw,    c.status,     c.btnConnect,   c.btnRead,
                 c.btnWrite,    c.btnDisconnect,  c.btnImport,  c.btnExport}))
        return true;
    return std::find(c.menus.begin(), c.menus.end(), control) != c.menus.end();
}

} // namespace app
