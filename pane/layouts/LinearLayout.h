#pragma once
// CLinearLayoutUI: the horizontal and vertical layouts, one code with the axes exchanged. The
// visible, non-floating children are placed one after the other along the main axis; those that
// estimate a main size of 0 stretch and share what the fixed ones leave, the last of them taking
// the remainder. The layout may carry a drag band on one edge of its own rectangle with which the
// user resizes it: while dragging it either re-lays out its parent on every step (immediate) or
// only draws a dark band where the edge would go and applies the size on release. UI thread only.

#include "pane/core/Container.h"

namespace Pane {

class CLinearLayoutUI : public CContainerUI {
public:
    // Enabled with a non-zero separator: the layout sets its own cursor over the band.
    unsigned int ControlFlags() const override;
    void SetPosition(plat::RECT rc) override;
    // "sepwidth" (horizontal) or "sepheight" (vertical), "sepimm"; the rest to the container.
    void SetAttribute(const char* name, const char* value) override;
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
    explicit CLinearLayoutUI(bool horizontal) : m_horizontal(horizontal) {}

    // A child's size clamped to its minimum, then to its maximum (a maximum below the minimum
    // wins).
    static int Clamp(int value, int low, int high) {
        return value < low ? (low > high ? high : low) : (value > high ? high : value);
    }

private:
    static constexpr unsigned int kDragging = 0x40;

    // The placing pass inside the inner rectangle rc (inset taken off, scroll bars not yet).
    void LayOutChildren(plat::RECT rc);
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
