#pragma once
// The main window's control tree, built in code: the title bar, the menu bar and the body
// appended to the skeleton's root layout "main", then the three drop-down menu panels as
// floating children of "main". Every control the program touches later is recorded in
// MainControls and named for automation.

#include "app/MainControls.h"

#include <string>
#include <vector>

namespace Pane {
class CContainerUI;
}

namespace app {

// Appends the tree to `main` (the skeleton's root) and records the controls.
void BuildMainTree(Pane::CContainerUI* main, MainControls& controls);

// Fills every list of the parameter panel and the port-settings baud list, in the window's
// order: protocols; the current channel list from `channelNames` (texts as shown, with their
// leading space); the transmit and receive rows of unused slots (0, and above the channel
// count) disabled and emptied; powers; both baud lists with " 38400" selected in the port-settings
// one; link rates, bandwidths, work modes; both unlock buttons shown; the protocol, link-rate and
// radio-baud rows enabled when their list has entries. Every other refilled list ends with no
// selection.
void FillMainLists(MainControls& controls, const std::vector<std::string>& channelNames);

// After the first filling only: addresses digits-only, serial number at most 9 characters and
// hardware version at most 4, the identity rows (firmware, sub-firmware, hardware, serial
// number) disabled.
void PrepareFieldsOnce(MainControls& controls);

// Fills the serial port list with " " + port name per port (in the order given) and selects
// the first; false when there is none.
bool FillPortList(MainControls& controls, const std::vector<std::string>& portNames);

} // namespace app
