#pragma once
// CHorizontalLayoutUI: places its visible, non-floating children left to right. Children that
// estimate a width of 0 stretch: they share what the fixed children leave, the last of them
// taking the rounding remainder. UI thread only.

#include "pane/layouts/SeparatorLayout.h"

namespace Pane {

class CHorizontalLayoutUI : public CSeparatorLayoutUI {
public:
    CHorizontalLayoutUI() : CSeparatorLayoutUI(true) {}

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    void SetPosition(plat::RECT rc) override;
    void SetAttribute(const char* name, const char* value) override;
};

} // namespace Pane
