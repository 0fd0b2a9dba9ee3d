#pragma once
// CCheckBoxUI: an option under its own class name; it answers the option's and the button's
// interface names.

#include "pane/controls/Option.h"

namespace Pane {

class CCheckBoxUI : public COptionUI {
public:
    const char* ClassName() const override;
};

} // namespace Pane
