#include "pane/layouts/LinearLayout.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::POINT;
using plat::RECT;
using plat::SIZE;

namespace {

// The preview band drawn while a drag is pending: black at alpha 0xAA.
constexpr uint32_t kPreviewColor = 0xAA000000;

} // namespace

unsigned int CLinearLayoutUI::ControlFlags() const {
    return IsEnabled() && m_sepSize != 0 ? static_cast<unsigned int>(kFlagSetCursor) : 0u;
}

void CLinearLayoutUI::SetSepSize(int size) {
    m_sepSize = size;
}

void CLinearLayoutUI::SetSepImmediate(bool immediate) {
    if (immediate == m_immediate) {
        return;
    }
    // A pending preview band belongs to the old mode: it must not outlive the switch.
    if (IsDragging() && !m_immediate && m_manager != nullptr) {
        m_manager->RemovePostPaint(this);
    }
    m_immediate = immediate;
}

void CLinearLayoutUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    if (std::strcmp(name, m_horizontal ? "sepwidth" : "sepheight") == 0) {
        SetSepSize(std::atoi(value));
    } else if (std::strcmp(name, "sepimm") == 0) {
        SetSepImmediate(std::strcmp(value, "true") == 0);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CLinearLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    LayOutChildren(RECT{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
                        m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom});
}

void CLinearLayoutUI::LayOutChildren(RECT rc) {
    // An empty horizontal layout reports the rectangle with the scroll bars' room, an empty
    // vertical one without it.
    if (m_horizontal && m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    IScrollBarUI* vBar = m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible()
                             ? ScrollBarPart(m_verticalScrollBar)
                             : nullptr;
    IScrollBarUI* hBar = m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible()
                             ? ScrollBarPart(m_horizontalScrollBar)
                             : nullptr;
    if (vBar != nullptr) {
        rc.right -= m_verticalScrollBar->FixedWidth();
    }
    if (hBar != nullptr) {
        rc.bottom -= m_horizontalScrollBar->FixedHeight();
    }
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    if (hBar != nullptr) {
        available.cx += hBar->ScrollRange();
    }

    // Main axis and cross axis accessors: x and width for a horizontal layout, y and height for
    // a vertical one.
    const bool h = m_horizontal;
    auto mainOf = [h](SIZE sz) { return h ? sz.cx : sz.cy; };
    auto before = [h](const RECT& r) { return h ? r.left : r.top; };
    auto after = [h](const RECT& r) { return h ? r.right : r.bottom; };
    auto crossBefore = [h](const RECT& r) { return h ? r.top : r.left; };
    auto crossAfter = [h](const RECT& r) { return h ? r.bottom : r.right; };
    auto clampMain = [h](const CControlUI* c, int v) {
        return h ? Clamp(v, c->MinWidth(), c->MaxWidth())
                 : Clamp(v, c->MinHeight(), c->MaxHeight());
    };
    auto clampCross = [h](const CControlUI* c, int v) {
        return h ? Clamp(v, c->MinHeight(), c->MaxHeight())
                 : Clamp(v, c->MinWidth(), c->MaxWidth());
    };

    // Measuring pass: the fixed sizes with their paddings, and how many children stretch.
    int stretchCount = 0;
    int fixedTotal = 0;
    int measured = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) {
            continue;
        }
        int size = mainOf(child->MeasureSize(available));
        if (size == 0) {
            ++stretchCount;
        } else {
            size = clampMain(child, size);
        }
        const RECT padding = child->Padding();
        fixedTotal += size + before(padding) + after(padding);
        ++measured;
    }
    // Gaps between the measured children (none when no child was measured).
    const int gaps = m_childPadding * std::max(0, measured - 1);
    fixedTotal += gaps;
    const int expand =
        stretchCount > 0 ? std::max(0, (mainOf(available) - fixedTotal) / stretchCount) : 0;

    // Placing pass. The last stretch child takes what is left of `remaining`, which has lost the
    // paddings and gaps already placed, less `fixedRemaining`, which still holds them: those
    // paddings and gaps are taken from it twice.
    const int hPos = hBar != nullptr ? hBar->ScrollPos() : 0;
    const int vPos = vBar != nullptr ? vBar->ScrollPos() : 0;
    int pos = h ? rc.left - hPos : rc.top - vPos;
    // A horizontal layout does not apply the vertical position to its children.
    const int crossOrigin = h ? rc.top : rc.left - hPos;
    const int crossAvailable = h ? rc.bottom - rc.top : available.cx;
    int remaining = mainOf(available);
    int fixedRemaining = fixedTotal;
    int stretchSeen = 0;
    int needed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) {
            continue;
        }
        if (child->IsFloat()) {
            SetFloatPosition(i);
            continue;
        }
        const RECT padding = child->Padding();
        remaining -= before(padding);
        const SIZE room = h ? SIZE{remaining, available.cy} : SIZE{available.cx, remaining};
        int size = mainOf(child->MeasureSize(room));
        if (size == 0) {
            ++stretchSeen;
            size = expand;
            if (stretchSeen == stretchCount) {
                size = std::max(0, remaining - after(padding) - fixedRemaining);
            }
            size = clampMain(child, size);
        } else {
            size = clampMain(child, size);
            fixedRemaining -= size;
        }
        int cross = h ? child->FixedHeight() : child->FixedWidth();
        if (cross == 0) {
            cross = crossAvailable - crossBefore(padding) - crossAfter(padding);
        }
        cross = clampCross(child, std::max(0, cross));
        // The padding after the child lies inside its rectangle.
        const int mainStart = pos + before(padding);
        const int mainEnd = mainStart + size + after(padding);
        const int crossStart = crossOrigin + crossBefore(padding);
        child->SetPosition(h ? RECT{mainStart, crossStart, mainEnd, crossStart + cross}
                             : RECT{crossStart, mainStart, crossStart + cross, mainEnd});
        pos += size + m_childPadding + before(padding) + after(padding);
        needed += size + before(padding) + after(padding);
        remaining -= size + m_childPadding + after(padding);
    }
    if (h) {
        ProcessScrollBar(rc, needed + gaps, 0);
    } else {
        ProcessScrollBar(rc, 0, needed + gaps);
    }
}

RECT CLinearLayoutUI::SeparatorRect(bool dragged) const {
    const RECT b = dragged && IsDragging() ? m_newPos : m_rcItem;
    const int s = m_sepSize;
    if (m_horizontal) {
        return s >= 0 ? RECT{b.right - s, b.top, b.right, b.bottom}
                      : RECT{b.left, b.top, b.left - s, b.bottom};
    }
    return s >= 0 ? RECT{b.left, std::max(b.top, b.bottom - s), b.right, b.bottom}
                  : RECT{b.left, b.top, b.right, std::min(b.bottom, b.top - s)};
}

void CLinearLayoutUI::HandleEvent(UIEvent& event) {
    if (m_sepSize == 0) {
        CContainerUI::HandleEvent(event);
        return;
    }
    if (event.type == kEventButtonDown && IsEnabled() &&
        plat::PtInRect(SeparatorRect(), event.mouse)) {
        m_buttonState |= kDragging;
        m_lastMouse = event.mouse;
        m_newPos = m_rcItem;
        if (!m_immediate && m_manager != nullptr) {
            m_manager->AddPostPaint(this);
        }
        return;
    }
    if (event.type == kEventButtonUp && IsDragging()) {
        m_rcItem = m_newPos;
        m_buttonState &= ~kDragging;
        if (!m_immediate && m_manager != nullptr) {
            m_manager->RemovePostPaint(this);
        }
        NeedParentUpdate();
        return;
    }
    if (event.type == kEventMouseMove && IsDragging()) {
        DragTo(event.mouse);
        return;
    }
    if (event.type == kEventSetCursor && IsEnabled() &&
        plat::PtInRect(SeparatorRect(), event.mouse)) {
        plat::SetCursor(
            plat::LoadCursor(nullptr, m_horizontal ? plat::IDC_SIZEWE : plat::IDC_SIZENS));
        return;
    }
    CContainerUI::HandleEvent(event);
}

void CLinearLayoutUI::DragTo(POINT pt) {
    const int s = m_sepSize;
    const int delta = m_horizontal ? pt.x - m_lastMouse.x : pt.y - m_lastMouse.y;
    m_lastMouse = pt;
    RECT n = m_newPos;
    // The dragged edge, in the old and the new rectangle; a move away from the band in the
    // direction opposite to the drag is ignored, so the edge never runs ahead of the pointer.
    // The band lies inside the rectangle on both sides and both axes, so the vertical tests
    // mirror the horizontal ones.
    int* edge = nullptr;
    const int p = m_horizontal ? pt.x : pt.y;
    if (s >= 0) {
        const int end = m_horizontal ? m_newPos.right : m_newPos.bottom;
        if ((delta > 0 && p < end - s) || (delta < 0 && p > end)) {
            return;
        }
        edge = m_horizontal ? &n.right : &n.bottom;
    } else {
        const int start = m_horizontal ? m_newPos.left : m_newPos.top;
        if ((delta > 0 && p < start) || (delta < 0 && p > start - s)) {
            return;
        }
        edge = m_horizontal ? &n.left : &n.top;
    }
    *edge += delta;

    auto extent = [this](const RECT& r) {
        return m_horizontal ? r.right - r.left : r.bottom - r.top;
    };
    // Moves the dragged edge so that the extent becomes `target`, the other edge staying.
    auto setExtent = [&](int target) { *edge += (s >= 0 ? 1 : -1) * (target - extent(n)); };
    const int minExtent = m_horizontal ? m_minSize.cx : m_minSize.cy;
    const int maxExtent = m_horizontal ? m_maxSize.cx : m_maxSize.cy;
    if (extent(n) <= minExtent) {
        if (extent(m_newPos) <= minExtent) {
            return;
        }
        setExtent(minExtent);
    }
    if (extent(n) >= maxExtent) {
        if (extent(m_newPos) >= maxExtent) {
            return;
        }
        setExtent(maxExtent);
    }

    RECT invalid = SeparatorRect(true);
    m_newPos = n;
    // The size set directly: the parent is laid out again below, or on release.
    (m_horizontal ? m_fixedSize.cx : m_fixedSize.cy) = extent(n);
    if (m_immediate) {
        m_rcItem = n;
        NeedParentUpdate();
        return;
    }
    invalid = plat::UnionRect(invalid, SeparatorRect(true));
    invalid = plat::UnionRect(invalid, SeparatorRect(false));
    if (m_manager != nullptr) {
        plat::InvalidateRect(m_manager->GetPaintWindow(), &invalid, false);
    }
}

void CLinearLayoutUI::PaintOverlay(plat::HDC hDC, const RECT& rcPaint) {
    (void)rcPaint;
    if (IsDragging() && !m_immediate) {
        CUIRender::DrawColor(hDC, SeparatorRect(true), kPreviewColor);
    }
}

} // namespace Pane
