#pragma once
// CSeparatorLayoutUI: what the horizontal and vertical layouts share besides their placing
// pass — an optional drag band on one edge of the layout's own rectangle with which the user
// resizes the layout. While dragging, the layout either re-lays out its parent on every step
// (immediate) or only draws a dark band where the edge would go and applies the size on release.
// UI thread only.

#include "pane/core/Container.h"

namespace Pane {

class CSeparatorLayoutUI : public CContainerUI {
public:
    // Enabled with a non-zero separator: the layout sets its own cursor over the band.
    unsigned int ControlFlags() const override;
    void HandleEvent(UIEvent& event) override;
    void PaintOverlay(plat::HDC hDC, const plat::RECT& rcPaint) override;

    // Thickness of the band; positive puts it on the right (bottom) edge, negative on the left
    // (top) edge, 0 removes it.
    int SepSize() const { return m_sepSize; }
    void SetSepSize(int size);
    bool IsSepImmediate() const { return m_immediate; }
    void SetSepImmediate(bool immediate);
    bool IsDragging() const { return (m_buttonState & kDragging) != 0; }

    // The grab band of the current position, or of the dragged position while a drag is on and
    // dragged is true. Not clipped to the layout.
    plat::RECT SeparatorRect(bool dragged = false) const;

protected:
    explicit CSeparatorLayoutUI(bool horizontal) : m_horizontal(horizontal) {}

    // A child's size clamped to its minimum, then to its maximum (a maximum below the minimum
    // wins).
    static int Clamp(int value, int low, int high) {
        return value < low ? (low > high ? high : low) : (value > high ? high : value);
    }

    // Handles "sepimm" and the separator size under its axis' name; false for anything else.
    bool SetSeparatorAttribute(const char* name, const char* value);

private:
    static constexpr unsigned int kDragging = 0x40;

    // One drag step to the pointer; returns without change when the step is refused.
    void DragTo(plat::POINT pt);

    const bool m_horizontal;
    int m_sepSize = 0;
    unsigned int m_buttonState = 0;
    bool m_immediate = false;
    plat::POINT m_lastMouse;
    plat::RECT m_newPos;
};

} // namespace Pane
