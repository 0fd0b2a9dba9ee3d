#include "pane/layouts/SeparatorLayout.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::POINT;
using plat::RECT;

namespace {

// The preview band drawn while a drag is pending: black at alpha 0xAA.
constexpr uint32_t kPreviewColor = 0xAA000000;

} // namespace

unsigned int CSeparatorLayoutUI::ControlFlags() const {
    return IsEnabled() && m_sepSize != 0 ? static_cast<unsigned int>(kFlagSetCursor) : 0u;
}

void CSeparatorLayoutUI::SetSepSize(int size) {
    m_sepSize = size;
}

void CSeparatorLayoutUI::SetSepImmediate(bool immediate) {
    if (immediate == m_immediate) {
        return;
    }
    // A pending preview band belongs to the old mode: it must not outlive the switch.
    if (IsDragging() && !m_immediate && m_manager != nullptr) {
        m_manager->RemovePostPaint(this);
    }
    m_immediate = immediate;
}

bool CSeparatorLayoutUI::SetSeparatorAttribute(const char* name, const char* value) {
    if (std::strcmp(name, m_horizontal ? "sepwidth" : "sepheight") == 0) {
        SetSepSize(std::atoi(value));
        return true;
    }
    if (std::strcmp(name, "sepimm") == 0) {
        SetSepImmediate(std::strcmp(value, "true") == 0);
        return true;
    }
    return false;
}

RECT CSeparatorLayoutUI::SeparatorRect(bool dragged) const {
    const RECT b = dragged && IsDragging() ? m_newPos : m_rcItem;
    const int s = m_sepSize;
    if (m_horizontal) {
        return s >= 0 ? RECT{b.right - s, b.top, b.right, b.bottom}
                      : RECT{b.left, b.top, b.left - s, b.bottom};
    }
    return s >= 0 ? RECT{b.left, std::max(b.top, b.bottom - s), b.right, b.bottom}
                  : RECT{b.left, b.top, b.right, std::min(b.bottom, b.top - s)};
}

void CSeparatorLayoutUI::HandleEvent(UIEvent& event) {
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

void CSeparatorLayoutUI::DragTo(POINT pt) {
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

void CSeparatorLayoutUI::PaintOverlay(plat::HDC hDC, const RECT& rcPaint) {
    (void)rcPaint;
    if (IsDragging() && !m_immediate) {
        CUIRender::DrawColor(hDC, SeparatorRect(true), kPreviewColor);
    }
}

} // namespace Pane
