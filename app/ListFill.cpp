#include "app/ListFill.h"

#include "pane/controls/Combo.h"
#include "pane/controls/List.h"

namespace app {

void AddComboEntry(Pane::CComboUI* combo, const std::string& text) {
    auto* element = new Pane::CListLabelElementUI;
    element->SetText(text.c_str());
    combo->Add(element);
}

void FillCombo(Pane::CComboUI* combo, const std::vector<std::string>& texts) {
    combo->RemoveAll();
    for (const std::string& text : texts)
        AddComboEntry(combo, text);
}

} // namespace app
