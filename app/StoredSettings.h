#pragma once
// The three settings kept between runs under the user's key "Software\ZevovaD": the index of
// the selected serial port ("Port"), of the selected port baud rate ("Baud") and the language
// ("Chinese", "1" for the first language). Missing or malformed values keep the defaults.

namespace Pane {
class CComboUI;
}

namespace app {

// Selects the stored port and baud entries when they are within their lists and sets
// `chinese` from the stored language; leaves everything as it is when nothing is stored.
void LoadStoredSettings(Pane::CComboUI* port, Pane::CComboUI* baud, bool& chinese);

// Selects the stored "Baud" entry again (after a language switch reset the list); false when
// none is stored or it is out of range.
bool ReapplyStoredBaud(Pane::CComboUI* baud);

// Writes the three values (a list without a selection is saved as -1). Silent on failure.
void SaveStoredSettings(int portIndex, int baudIndex, bool chinese);

} // namespace app
