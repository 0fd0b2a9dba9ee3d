#include "pane/layouts/VerticalLayout.h"

#include "pane/core/Container.h"

#include <algorithm>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

const char* CVerticalLayoutUI::ClassName() const {
    return "VerticalLayoutUI";
}

void* CVerticalLayoutUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "VerticalLayout") == 0) {
        return this;
    }
    return CContainerUI::Interface(name);
}

void CVerticalLayoutUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr || !SetSeparatorAttribute(name, value)) {
        CContainerUI::SetAttribute(name, value);
    }
}

void CVerticalLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    rc = RECT{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
              m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
    const bool vBar = m_verticalScrollBar != nullptr && m_verticalScrollBar->IsVisible();
    const bool hBar = m_horizontalScrollBar != nullptr && m_horizontalScrollBar->IsVisible();
    if (vBar) {
        rc.right -= m_verticalScrollBar->FixedWidth();
    }
    if (hBar) {
        rc.bottom -= m_horizontalScrollBar->FixedHeight();
    }
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    if (hBar) {
        available.cx += ScrollBarPart(m_horizontalScrollBar)->ScrollRange();
    }

    // Measuring pass: the fixed heights with their paddings, and how many children stretch.
    int stretchCount = 0;
    int fixedTotal = 0;
    int measured = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) {
            continue;
        }
        int height = child->MeasureSize(available).cy;
        if (height == 0) {
            ++stretchCount;
        } else {
            height = Clamp(height, child->MinHeight(), child->MaxHeight());
        }
        const RECT padding = child->Padding();
        fixedTotal += height + padding.top + padding.bottom;
        ++measured;
    }
    // Gaps between the measured children (none when no child was measured).
    const int gaps = m_childPadding * std::max(0, measured - 1);
    fixedTotal += gaps;
    const int expand =
        stretchCount > 0 ? std::max(0, (available.cy - fixedTotal) / stretchCount) : 0;

    // Placing pass; the last stretch child's remainder as in the horizontal layout.
    int y = rc.top - (vBar ? ScrollBarPart(m_verticalScrollBar)->ScrollPos() : 0);
    const int x0 = rc.left - (hBar ? ScrollBarPart(m_horizontalScrollBar)->ScrollPos() : 0);
    int remaining = available.cy;
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
        remaining -= padding.top;
        int height = child->MeasureSize(SIZE{available.cx, remaining}).cy;
        if (height == 0) {
            ++stretchSeen;
            height = expand;
            if (stretchSeen == stretchCount) {
                height = std::max(0, remaining - padding.bottom - fixedRemaining);
            }
            height = Clamp(height, child->MinHeight(), child->MaxHeight());
        } else {
            height = Clamp(height, child->MinHeight(), child->MaxHeight());
            fixedRemaining -= height;
        }
        int width = child->FixedWidth();
        if (width == 0) {
            width = available.cx - padding.left - padding.right;
        }
        width = Clamp(std::max(0, width), child->MinWidth(), child->MaxWidth());
        child->SetPosition(RECT{x0 + padding.left, y + padding.top, x0 + padding.left + width,
                                y + padding.top + height + padding.bottom});
        y += height + m_childPadding + padding.top + padding.bottom;
        needed += height + padding.top + padding.bottom;
        remaining -= height + m_childPadding + padding.bottom;
    }
    ProcessScrollBar(rc, 0, needed + gaps);
}

} // namespace Pane
