#pragma once
// CScrollBarUI: a self-drawn scroll bar of five parts — background, an arrow button at each end,
// a thumb and a rail (a grip centred on the thumb). Owned by a container it turns every press
// into the container's line, page and position scrolling; standalone it keeps its own position
// and reports each change with "scroll". Holding a button or the track repeats from a 50 ms
// timer after a short delay. UI thread only.

#include "pane/core/Container.h"

#include <cstdint>

namespace Pane {

class CScrollBarUI : public CControlUI, public IScrollBarUI {
public:
    // Part state bits (buttons and thumb).
    static constexpr uint32_t kStateDisabled = 0x04;
    static constexpr uint32_t kStateHot = 0x08;
    static constexpr uint32_t kStatePushed = 0x10;
    static constexpr uint32_t kStateCaptured = 0x40;

    CScrollBarUI();

    const char* ClassName() const override;
    void* Interface(const char* name) override;

    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetFocus() override;
    void SetPosition(plat::RECT rc) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    void Paint(plat::HDC hDC, const plat::RECT& rcPaint) override;

    // IScrollBarUI.
    void SetOwner(CContainerUI* owner) override { m_owner = owner; }
    void SetHorizontal(bool horizontal = true) override;
    int ScrollRange() const override { return m_range; }
    void SetScrollRange(int range) override;
    int ScrollPos() const override { return m_pos; }
    void SetScrollPos(int pos) override;

    CContainerUI* Owner() const { return m_owner; }
    bool IsHorizontal() const { return m_horizontal; }
    int LineSize() const { return m_lineSize; }
    void SetLineSize(int size) { m_lineSize = size; }

    const plat::RECT& Button1Rect() const { return m_rcButton1; }
    const plat::RECT& Button2Rect() const { return m_rcButton2; }
    // All zero when the bar is too short for a thumb.
    const plat::RECT& ThumbRect() const { return m_rcThumb; }
    uint32_t Button1State() const { return m_button1State; }
    uint32_t Button2State() const { return m_button2State; }
    uint32_t ThumbState() const { return m_thumbState; }

private:
    // The images of one part, by state: normal, hot, pushed, disabled.
    struct PartImages {
        CUIString normal;
        CUIString hot;
        CUIString pushed;
        CUIString disabled;
        // The image of the state word's strongest state (disabled, pushed, hot), or null.
        CUIString* ForState(uint32_t state);
    };

    // Scroll steps, to the owner or to the bar's own position.
    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    // Pages towards the point when it lies in the track before or after the thumb.
    void PageTowards(plat::POINT pt);
    void NotifyScroll();
    // Draws a part's state image, else its normal image, at `rc` within the bar (over the whole
    // bar when null); false when neither could be drawn. A failing image is emptied.
    bool DrawPart(plat::HDC hDC, PartImages& images, uint32_t state, const plat::RECT* rc);
    bool DrawImageAt(plat::HDC hDC, CUIString& image, const plat::RECT* rc);
    // The thickness of the bar: its fixed width when vertical, its fixed height when horizontal.
    int Thickness() const { return m_horizontal ? m_fixedSize.cy : m_fixedSize.cx; }
    void RecomputeDisabled(uint32_t& state) const;

    bool m_horizontal = false;
    int m_range = 100;
    int m_pos = 0;
    int m_lineSize = 8;
    CContainerUI* m_owner = nullptr;
    plat::POINT m_lastMouse;
    int m_dragStartPos = 0;
    int m_dragOffset = 0;
    int m_repeatCount = 0;

    PartImages m_bkImages;
    bool m_showButton1 = true;
    uint32_t m_button1State = 0;
    PartImages m_button1Images;
    plat::RECT m_rcButton1;
    bool m_showButton2 = true;
    uint32_t m_button2State = 0;
    PartImages m_button2Images;
    plat::RECT m_rcButton2;
    plat::RECT m_rcThumb;
    uint32_t m_thumbState = 0;
    PartImages m_thumbImages;
    PartImages m_railImages;
    CUIString m_imageModify;
};

} // namespace Pane
