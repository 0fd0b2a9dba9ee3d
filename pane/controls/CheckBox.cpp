#include "pane/controls/CheckBox.h"

namespace Pane {

const char* CCheckBoxUI::ClassName() const {
    return "CheckBoxUI";
}

} // namespace Pane
