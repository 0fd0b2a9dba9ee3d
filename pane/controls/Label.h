#pragma once
// CLabelUI: the control that shows one caption — a font of the manager's table, colours for the
// enabled and disabled state, a text padding and DT_* text-format flags, optionally through the
// inline-tag text drawing. In effect mode it draws its text with gradient brushes instead: an
// optional one-pixel outline, an optional drop shadow and a two-colour text fill. Buttons,
// options and edits derive from it. UI thread only.

#include "pane/core/Control.h"

#include <cstdint>
#include <exception>

namespace Pane {

// A point in floating-point coordinates (the shadow offset).
struct PointF {
    float x = 0;
    float y = 0;
};

// Thrown by the label's effect accessors when their body fails; what() names the operation
// ("CLabelUI::SetText").
class CLabelError : public std::exception {
public:
    explicit CLabelError(const char* operation) : m_operation(operation) {}
    const char* what() const noexcept override { return m_operation; }

private:
    const char* m_operation; // a string literal
};

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    const char* ClassName() const override;
    void* Interface(const char* name) override;

    // In effect mode the text goes to (and comes from) the effect text only, without
    // invalidation; effect mode must be on before the text is set.
    CUIString GetText() const override;
    void SetText(const char* text) override;

    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void PaintText(plat::HDC hDC) override;

    // Each stores the value and invalidates.
    void SetTextStyle(plat::UINT style);
    plat::UINT TextStyle() const { return m_textStyle; }
    void SetTextColor(uint32_t color);
    uint32_t TextColor() const { return m_textColor; }
    void SetDisabledTextColor(uint32_t color);
    uint32_t DisabledTextColor() const { return m_disabledTextColor; }
    void SetFont(int index);
    int Font() const { return m_font; }
    void SetTextPadding(plat::RECT padding);
    plat::RECT TextPadding() const { return m_textPadding; }
    // Invalidates only when the value changes.
    void SetShowHtml(bool show = true);
    bool IsShowHtml() const { return m_showHtml; }

    // Effect accessors: they store or return the value without invalidating.
    void SetEnabledEffect(bool enabled);
    bool GetEnabledEffect() const;
    // Values outside 0-5 are stored as 0; 1 and 2 draw hard-edged glyphs.
    void SetTextRenderingHintAntiAlias(int hint);
    int GetTextRenderingHintAntiAlias() const;
    void SetTransShadow(int alpha);
    int GetTransShadow() const;
    void SetTransShadow1(int alpha);
    int GetTransShadow1() const;
    void SetTransText(int alpha);
    int GetTransText() const;
    void SetTransText1(int alpha);
    int GetTransText1() const;
    void SetTransStroke(int alpha);
    int GetTransStroke() const;
    void SetGradientAngle(int angle);
    int GetGradientAngle() const;
    void SetGradientLength(int length);
    int GetGradientLength() const;
    void SetEnabledStroke(bool enabled);
    bool GetEnabledStroke() const;
    void SetEnabledShadow(bool enabled);
    bool GetEnabledShadow() const;
    void SetTextColor1(uint32_t color);
    uint32_t GetTextColor1() const;
    void SetTextShadowColorA(uint32_t color);
    uint32_t GetTextShadowColorA() const;
    void SetTextShadowColorB(uint32_t color);
    uint32_t GetTextShadowColorB() const;
    void SetStrokeColor(uint32_t color);
    uint32_t GetStrokeColor() const;
    // Nothing unless -180 <= angle <= 180. The offset is taken from the current position's top
    // (X) and left (Y), so before the first layout it is a pure offset of -distance, 0 or
    // +distance.
    void SetShadowOffset(int distance, int angle);
    PointF GetShadowOffset() const;

protected:
    // A mouse event while the control is not mouse-enabled goes to the parent (to the label's own
    // handler without one); true when the event was passed on so.
    bool PassOnDisabledMouse(UIEvent& event);
    // Replaces a zero text or disabled text colour by the manager's defaults, for good.
    void DefaultColors();
    // The control rectangle shrunk by the text padding.
    plat::RECT TextRect() const;
    void PaintEffectText(plat::HDC hDC);

    uint32_t m_textColor = 0;
    uint32_t m_disabledTextColor = 0;
    int m_font = -1;
    plat::UINT m_textStyle = 0x4; // DT_VCENTER
    plat::RECT m_textPadding;
    bool m_showHtml = false;

    int m_stringAlignment = 0; // near
    int m_lineAlignment = 1;   // center
    int m_transShadow = 60;
    int m_transShadow1 = 60;
    int m_transText = 168;
    int m_transText1 = 168;
    int m_transStroke = 255;
    int m_gradientLength = 0;
    int m_gradientAngle = 0;
    bool m_enabledEffect = false;
    bool m_enabledStroke = false;
    bool m_enabledShadow = false;
    uint32_t m_textColor1 = 0xFFFFFFFF;
    uint32_t m_textShadowColorA = 0xFF000000;
    uint32_t m_textShadowColorB = 0xFFFFFFFF;
    uint32_t m_strokeColor = 0;
    PointF m_shadowOffset;
    CUIString m_effectText;
    int m_textRenderingHint = 0;
};

} // namespace Pane
