#pragma once
// Filling a drop-down: every entry is a list label element holding the entry's text.

#include <string>
#include <vector>

namespace Pane {
class CComboUI;
}

namespace app {

// Appends one entry holding `text`.
void AddComboEntry(Pane::CComboUI* combo, const std::string& text);

// Removes every entry (the selection goes with them), then appends one element per text.
void FillCombo(Pane::CComboUI* combo, const std::vector<std::string>& texts);

} // namespace app
