#pragma once
// CProgressUI: a label that draws its fore image over the part of the control the current value
// fills — from the left when horizontal, from the bottom when vertical — either stretched into
// that part or cut from the image at the same place. The text and the other images are the
// label's. UI thread only.

#include "pane/controls/Label.h"

namespace Pane {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    const char* ClassName() const override;
    void* Interface(const char* name) override;

    // Each stores the value and invalidates.
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    bool IsStretchForeImage() const { return m_stretchForeImage; }
    void SetStretchForeImage(bool stretch = true);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int min);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int max);
    int GetValue() const { return m_value; }
    // Ignored when equal to the current value or outside [min, max].
    void SetValue(int value);
    const char* GetForeImage() const { return m_foreImage; }
    // Ignored when unchanged.
    void SetForeImage(const char* image);

    void SetAttribute(const char* name, const char* value) override;
    void PaintStatusImage(plat::HDC hDC) override;

    // The filled part in control coordinates (the top left corner is 0,0). Repairs an empty
    // range (max becomes min + 1) and clamps the value into it first, as painting does.
    plat::RECT FilledRect();

private:
    bool m_horizontal = true;
    bool m_stretchForeImage = true;
    int m_max = 100;
    int m_min = 0;
    int m_value = 0;
    CUIString m_foreImage;
    CUIString m_imageModify;
};

} // namespace Pane
