#pragma once
// CVerticalLayoutUI: places its visible, non-floating children top to bottom, the height
// counterpart of the horizontal layout (stretch children share the rest, the last one takes
// the remainder). UI thread only.

#include "pane/layouts/SeparatorLayout.h"

namespace Pane {

class CVerticalLayoutUI : public CSeparatorLayoutUI {
public:
    CVerticalLayoutUI() : CSeparatorLayoutUI(false) {}

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    void SetPosition(plat::RECT rc) override;
    void SetAttribute(const char* name, const char* value) override;
};

} // namespace Pane
