#pragma once
// Pointers to every control of the main window that the program touches after building it.
// The controls belong to the window's control tree; these are borrowed and live as long as
// the window does. Filled by BuildMainTree, used by the main window, the language tables and
// the radio fields. UI thread only.

#include "pane/core/Control.h"

#include <array>
#include <memory>
#include <vector>

namespace Pane {
class CButtonUI;
class CComboBoxUI;
class CContainerUI;
class CControlUI;
class CEditUI;
class CLabelUI;
class CVerticalLayoutUI;
} // namespace Pane

namespace app {

class CGroupBoxUI;
class CLabelAndEditUI;
class CLabelAndComboUI;

// A labelled edit row (a channel's frequency, an address, an identity field).
struct EditRow {
    CLabelAndEditUI* row = nullptr;
    Pane::CLabelUI* label = nullptr;
    Pane::CEditUI* edit = nullptr;
};

// A labelled drop-down row.
struct ComboRow {
    CLabelAndComboUI* row = nullptr;
    Pane::CLabelUI* label = nullptr;
    Pane::CComboBoxUI* combo = nullptr;
};

// The menus, indexed File 0, Language 1, Help 2.
constexpr int kMenuFile = 0;
constexpr int kMenuLanguage = 1;
constexpr int kMenuHelp = 2;
constexpr int kMenuCount = 3;

// Channel slots shown by the frequency groups are 1 to 8; slots 0 and 9 exist but are never
// added to the tree.
constexpr int kFrequencySlots = 10;

struct MainControls {
    // Title bar.
    Pane::CLabelUI* title = nullptr; // "title"
    Pane::CButtonUI* btnMin = nullptr;
    Pane::CButtonUI* btnClose = nullptr;

    // Menu bar and its drop-down panels ("menuFile", "panelFile", ...).
    std::array<Pane::CButtonUI*, kMenuCount> menus{};
    std::array<Pane::CVerticalLayoutUI*, kMenuCount> panels{};

    // Menu entries. itemUpgrade sits in the File panel between the two adjacent separators.
    Pane::CButtonUI* itemConnect = nullptr;
    Pane::CButtonUI* itemRead = nullptr;
    Pane::CButtonUI* itemWrite = nullptr;
    Pane::CButtonUI* itemDisconnect = nullptr;
    Pane::CButtonUI* itemImport = nullptr;
    Pane::CButtonUI* itemExport = nullptr;
    Pane::CButtonUI* itemUpgrade = nullptr;
    Pane::CButtonUI* itemExit = nullptr;
    Pane::CButtonUI* itemLanguage = nullptr;
    Pane::CButtonUI* itemAbout = nullptr;

    // Group boxes: transmit, receive, port settings.
    CGroupBoxUI* groupTx = nullptr;
    CGroupBoxUI* groupRx = nullptr;
    CGroupBoxUI* groupPort = nullptr;

    // Frequency rows by slot ("tx0".."tx9", "rx0".."rx9" name the edits).
    std::array<EditRow, kFrequencySlots> tx{};
    std::array<EditRow, kFrequencySlots> rx{};
    Pane::CButtonUI* btnDefaultTx = nullptr;
    Pane::CButtonUI* btnDefaultRx = nullptr;

    // Parameter panel, in its order. The names go on the combo or edit.
    ComboRow protocol;       // "protocol"
    ComboRow channel;        // "channel"
    ComboRow radioBaud;      // "radioBaud"
    ComboRow linkBaud;       // "linkBaud"
    ComboRow bandwidth;      // "bandwidth"
    ComboRow workMode;       // "workMode"
    EditRow src;             // "src"
    EditRow dst;             // "dst"
    ComboRow powerHigh;      // "powerHigh"
    ComboRow powerLow;       // "powerLow"
    EditRow serialNumber;    // "serialNumber"
    EditRow hardwareVersion; // "hardwareVersion"
    EditRow firmware;        // "firmware"
    EditRow subFirmware;     // "subFirmware"
    Pane::CButtonUI* btnUnlockSn = nullptr;
    Pane::CButtonUI* btnUnlockHw = nullptr;

    Pane::CLabelUI* status = nullptr;

    // Port settings and commands.
    ComboRow port; // "port"
    ComboRow baud; // "baud"
    Pane::CButtonUI* btnConnect = nullptr;
    Pane::CButtonUI* btnRead = nullptr;
    Pane::CButtonUI* btnWrite = nullptr;
    Pane::CButtonUI* btnDisconnect = nullptr;
    Pane::CButtonUI* btnImport = nullptr;
    Pane::CButtonUI* btnExport = nullptr;

    // Controls made but kept out of the tree (the rows of slots 0 and 9): owned here, since no
    // parent owns them.
    std::vector<std::unique_ptr<Pane::CControlUI>> detached;
};

} // namespace app
