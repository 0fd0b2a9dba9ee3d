#include "pane/layouts/VerticalLayout.h"

#include <cstring>

namespace Pane {

const char* CVerticalLayoutUI::ClassName() const {
    return "VerticalLayoutUI";
}

void* CVerticalLayoutUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "VerticalLayout") == 0) {
        return this;
    }
    return CContainerUI::Interface(name);
}

} // namespace Pane
