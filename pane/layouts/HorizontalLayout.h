#pragma once
// CHorizontalLayoutUI: places its visible, non-floating children left to right (see the linear
// layout). UI thread only.

#include "pane/layouts/LinearLayout.h"

namespace Pane {

class CHorizontalLayoutUI : public CLinearLayoutUI {
public:
    CHorizontalLayoutUI() : CLinearLayoutUI(true) {}

    const char* ClassName() const override;
    void* Interface(const char* name) override;
};

} // namespace Pane
