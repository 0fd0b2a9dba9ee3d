#include "pane/layouts/HorizontalLayout.h"

#include <cstring>

namespace Pane {

const char* CHorizontalLayoutUI::ClassName() const {
    return "HorizontalLayoutUI";
}

void* CHorizontalLayoutUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "HorizontalLayout") == 0) {
        return this;
    }
    return CContainerUI::Interface(name);
}

} // namespace Pane
