#pragma once
// Control settings written as attribute name/value lists, so that one list describes a kind of
// control (a menu entry, a command button) and every control of that kind is made from it.
// "textstyle" (DT_ flags in decimal) goes to a label's text style, which has no attribute of its
// own; every other name goes to the control's SetAttribute.

#include "pane/controls/Label.h"
#include "pane/core/Control.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <span>

namespace app {

struct Attribute {
    const char* name;
    const char* value;
};

using Attributes = std::span<const Attribute>;

inline void ApplyAttributes(Pane::CControlUI* control, Attributes attributes) {
    for (const Attribute& a : attributes) {
        if (std::strcmp(a.name, "textstyle") == 0) {
            if (auto* label = static_cast<Pane::CLabelUI*>(control->Interface("Label")))
                label->SetTextStyle(static_cast<plat::UINT>(std::strtoul(a.value, nullptr, 10)));
        } else {
            control->SetAttribute(a.name, a.value);
        }
    }
}

inline void ApplyAttributes(Pane::CControlUI* control,
                            std::initializer_list<Attribute> attributes) {
    ApplyAttributes(control, Attributes(attributes.begin(), attributes.size()));
}

// A new control of type T with the settings of a kind of control, then its own (which win).
template <class T>
T* Make(Attributes kind, std::initializer_list<Attribute> own = {}) {
    auto* control = new T;
    ApplyAttributes(control, kind);
    ApplyAttributes(control, own);
    return control;
}

template <class T>
T* Make(std::initializer_list<Attribute> own) {
    return Make<T>(Attributes(), own);
}

} // namespace app
