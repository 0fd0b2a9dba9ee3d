#include "pane/layouts/HorizontalLayout.h"

#include "pane/core/Container.h"

#include <algorithm>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

const char* CHorizontalLayoutUI::ClassName() const {
    return "HorizontalLayoutUI";
}

void* CHorizontalLayoutUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "HorizontalLayout") == 0) {
        return this;
    }
    return CContainerUI::Interface(name);
}

void CHorizontalLayoutUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr || !SetSeparatorAttribute(name, value)) {
        CContainerUI::SetAttribute(name, value);
    }
}

void CHorizontalLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    rc = RECT{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
              m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    const bool vBar = m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible();
    const bool hBar = m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible();
    if (vBar) {
        rc.right -= m_verticalScrollBar->FixedWidth();
    }
    if (hBar) {
        rc.bottom -= m_horizontalScrollBar->FixedHeight();
    }
    SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    if (hBar) {
        available.cx += ScrollBarPart(m_horizontalScrollBar)->ScrollRange();
    }

    // Measuring pass: the fixed widths with their paddings, and how many children stretch.
    int stretchCount = 0;
    int fixedTotal = 0;
    int measured = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) {
            continue;
        }
        int width = child->MeasureSize(available).cx;
        if (width == 0) {
            ++stretchCount;
        } else {
            width = Clamp(width, child->MinWidth(), child->MaxWidth());
        }
        const RECT padding = child->Padding();
        fixedTotal += width + padding.left + padding.right;
        ++measured;
    }
    // Gaps between the measured children (none when no child was measured).
    const int gaps = m_childPadding * std::max(0, measured - 1);
    fixedTotal += gaps;
    const int expand =
        stretchCount > 0 ? std::max(0, (available.cx - fixedTotal) / stretchCount) : 0;

    // Placing pass. The last stretch child takes what is left of `remaining`, which has lost
    // the paddings already placed, less the fixed widths still to come.
    int x = rc.left - (hBar ? ScrollBarPart(m_horizontalScrollBar)->ScrollPos() : 0);
    int remaining = available.cx;
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
        remaining -= padding.left;
        const SIZE estimate = child->MeasureSize(SIZE{remaining, available.cy});
        int width = estimate.cx;
        if (width == 0) {
            ++stretchSeen;
            width = expand;
            if (stretchSeen == stretchCount) {
                width = std::max(0, remaining - padding.right - fixedRemaining);
            }
            width = Clamp(width, child->MinWidth(), child->MaxWidth());
        } else {
            width = Clamp(width, child->MinWidth(), child->MaxWidth());
            fixedRemaining -= width;
        }
        int height = child->FixedHeight();
        if (height == 0) {
            height = rc.bottom - padding.bottom - padding.top - rc.top;
        }
        height = Clamp(std::max(0, height), child->MinHeight(), child->MaxHeight());
        child->SetPosition(RECT{x + padding.left, rc.top + padding.top,
                                x + padding.left + width + padding.right,
                                rc.top + padding.top + height});
        x += width + m_childPadding + padding.left + padding.right;
        needed += width + padding.left + padding.right;
        remaining -= width + m_childPadding + padding.right;
    }
    ProcessScrollBar(rc, needed + gaps, 0);
}

} // namespace Pane
