#pragma once
// CButtonUI: a label that reacts to the mouse and the keyboard. It tracks the hot, pushed,
// focused and disabled states in its state word, draws a state image and a state text colour
// for each, and sends "click" when released over it, on Space or Return, or through Trigger
// (shortcut keys). UI thread only.

#include "pane/controls/Label.h"

#include <cstdint>

namespace Pane {

// Bits of the state word of buttons, options and check boxes.
enum UIButtonState : uint32_t {
    kStateFocused = 0x01,
    kStateSelected = 0x02,
    kStateDisabled = 0x04,
    kStateHot = 0x08,
    kStatePushed = 0x10,
    kStateCaptured = 0x40,
};

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    // Cursor-shape events while enabled, plus tab stop when keyboard-enabled.
    unsigned int ControlFlags() const override;
    // Sends "click" when visible and enabled.
    bool Trigger() override;
    // Disabling clears every state bit.
    void SetEnabled(bool enabled = true) override;

    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void PaintStatusImage(plat::HDC hDC) override;
    void PaintText(plat::HDC hDC) override;

    uint32_t State() const { return m_state; }

    // Each stores the description and invalidates.
    void SetNormalImage(const char* image);
    const CUIString& NormalImage() const { return m_normalImage; }
    void SetHotImage(const char* image);
    const CUIString& HotImage() const { return m_hotImage; }
    void SetPushedImage(const char* image);
    const CUIString& PushedImage() const { return m_pushedImage; }
    void SetFocusedImage(const char* image);
    const CUIString& FocusedImage() const { return m_focusedImage; }
    void SetDisabledImage(const char* image);
    const CUIString& DisabledImage() const { return m_disabledImage; }
    void SetHotForeImage(const char* image);
    const CUIString& HotForeImage() const { return m_hotForeImage; }

    uint32_t HotBkColor() const { return m_hotBkColor; }
    void SetHotBkColor(uint32_t color) { m_hotBkColor = color; }
    uint32_t HotTextColor() const { return m_hotTextColor; }
    void SetHotTextColor(uint32_t color) { m_hotTextColor = color; }
    uint32_t PushedTextColor() const { return m_pushedTextColor; }
    void SetPushedTextColor(uint32_t color) { m_pushedTextColor = color; }
    uint32_t FocusedTextColor() const { return m_focusedTextColor; }
    void SetFocusedTextColor(uint32_t color) { m_focusedTextColor = color; }

protected:
    // The focused and disabled bits follow the control's flags (at each paint).
    void SyncFocusAndEnabled();
    // Draws an image description over the control; a description that fails is emptied so it
    // is not tried again. False when nothing was drawn.
    bool DrawStateImage(plat::HDC hDC, CUIString& image);
    // Fills the paint rectangle with a state background colour (HSL-adjusted when asked).
    void FillStateColor(plat::HDC hDC, uint32_t color);
    // Draws the text in a colour with the label's style, inline tags or plain.
    void DrawCaption(plat::HDC hDC, uint32_t color);

    uint32_t m_state = 0;
    uint32_t m_hotBkColor = 0;
    uint32_t m_hotTextColor = 0;
    uint32_t m_pushedTextColor = 0;
    uint32_t m_focusedTextColor = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_hotForeImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
};

} // namespace Pane
