#pragma once
// CVerticalLayoutUI: places its visible, non-floating children top to bottom (see the linear
// layout). UI thread only.

#include "pane/layouts/LinearLayout.h"

namespace Pane {

class CVerticalLayoutUI : public CLinearLayoutUI {
public:
    CVerticalLayoutUI() : CLinearLayoutUI(false) {}

    const char* ClassName() const override;
    void* Interface(const char* name) override;
};

} // namespace Pane
