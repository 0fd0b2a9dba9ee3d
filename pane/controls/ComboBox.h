#pragma once
// CComboBoxUI: a combo that draws a five-state arrow (normal, hot, pushed, focused, disabled)
// from the cells of one image strip at its right edge, and keeps its text clear of it.

#include "pane/controls/Combo.h"

namespace Pane {

class CComboBoxUI : public CComboUI {
public:
    const char* ClassName() const override;
    void SetAttribute(const char* name, const char* value) override;
    void PaintStatusImage(plat::HDC hDC) override;
    void PaintText(plat::HDC hDC) override;

    const CUIString& ArrowImage() const { return m_arrowImage; }
    // The width of one arrow cell, as found by the last paint.
    int ArrowWidth() const { return m_arrowWidth; }

private:
    CUIString m_arrowImage;
    int m_arrowWidth = 0;
};

// The strip cell of the state (0 normal, 1 hot, 2 pushed, 3 focused, 4 disabled) and the
// modifier that draws it at the right edge of a control of the given size and border. False
// when the image has no quoted source rectangle. Exposed for the arrow tests.
bool ComboArrowModifier(const char* image, int state, plat::SIZE size, int border, int* cellWidth,
                        CUIString* modifier);

} // namespace Pane
