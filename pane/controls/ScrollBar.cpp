#include "pane/controls/ScrollBar.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::POINT;
using plat::RECT;
using plat::SIZE;

namespace {

// The repeat timer's key and period; a held press starts repeating after this many ticks.
constexpr plat::UINT kRepeatTimer = 10;
constexpr plat::UINT kRepeatMs = 50;
constexpr int kRepeatDelayTicks = 5;
constexpr int kDefaultThickness = 16;
// Outline of a part that has no image: light blue, 2 pixels.
constexpr uint32_t kOutlineColor = 0x0085E4FF;

// The rectangle with its axes exchanged: a horizontal bar is laid out as a vertical one.
RECT Transpose(const RECT& r) {
    return RECT{r.top, r.left, r.bottom, r.right};
}

bool IsZero(const RECT& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

// a * b / c without overflowing on long ranges; c is not 0.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(static_cast<int64_t>(a) * b / c);
}

} // namespace

CScrollBarUI::CScrollBarUI() {
    m_fixedSize.cx = kDefaultThickness;
}

const char* CScrollBarUI::ClassName() const {
    return "ScrollBarUI";
}

void* CScrollBarUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "ScrollBar") == 0) {
        return this;
    }
    if (name != nullptr && std::strcmp(name, "IScrollBar") == 0) {
        return static_cast<IScrollBarUI*>(this);
    }
    return CControlUI::Interface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal) {
        return;
    }
    m_horizontal = horizontal;
    if (horizontal && m_fixedSize.cy == 0) {
        m_fixedSize = SIZE{0, kDefaultThickness};
    } else if (!horizontal && m_fixedSize.cx == 0) {
        m_fixedSize = SIZE{kDefaultThickness, 0};
    }
    if (m_owner != nullptr) {
        m_owner->NeedUpdate();
    } else {
        NeedParentUpdate();
    }
}

void CScrollBarUI::SetScrollRange(int range) {
    if (m_range == range) {
        return;
    }
    m_range = std::max(0, range);
    m_pos = std::min(m_pos, m_range);
    SetPosition(m_rcItem);
}

void CScrollBarUI::SetScrollPos(int pos) {
    if (m_pos == pos) {
        return;
    }
    m_pos = std::min(std::max(0, pos), m_range);
    SetPosition(m_rcItem);
}

void CScrollBarUI::SetVisible(bool visible) {
    if (m_visible == visible) {
        return;
    }
    // The owner lays itself out around its bars; no parent update here.
    m_visible = visible;
    m_focused = false;
}

void CScrollBarUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_button1State = 0;
        m_button2State = 0;
        m_thumbState = 0;
    }
}

void CScrollBarUI::SetFocus() {
    if (m_owner != nullptr) {
        m_owner->SetFocus();
    } else if (m_manager != nullptr) {
        m_manager->SetFocus(this);
    }
}

void CScrollBarUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    // Laid out as a vertical bar; a horizontal one is transposed in and out.
    const RECT r = m_horizontal ? Transpose(m_rcItem) : m_rcItem;
    const int t = Thickness();
    const int length = r.bottom - r.top;
    const int track = length - (m_showButton1 ? t : 0) - (m_showButton2 ? t : 0);
    RECT b1{r.left, r.top, r.left, r.top};
    RECT b2{r.left, r.bottom, r.left, r.bottom};
    RECT thumb;
    if (t < track) {
        if (m_showButton1) {
            b1 = RECT{r.left, r.top, r.left + t, r.top + t};
        }
        if (m_showButton2) {
            b2 = RECT{r.left, r.bottom - t, r.left + t, r.bottom};
        }
        thumb.left = r.left;
        thumb.right = r.left + t;
        if (m_range < 1) {
            thumb.top = b1.bottom;
            thumb.bottom = b2.top;
        } else {
            const int thumbLength = std::max(t, MulDiv(length, track, length + m_range));
            thumb.top = MulDiv(track - thumbLength, m_pos, m_range) + b1.bottom;
            thumb.bottom = thumb.top + thumbLength;
            if (thumb.bottom > b2.top) {
                thumb.bottom = b2.top;
                thumb.top = thumb.bottom - thumbLength;
            }
        }
    } else {
        // No room for a thumb: the buttons share the length.
        const int s = std::min(t, length / 2);
        if (m_showButton1) {
            b1 = RECT{r.left, r.top, r.left + t, r.top + s};
        }
        if (m_showButton2) {
            b2 = RECT{r.left, r.bottom - s, r.left + t, r.bottom};
        }
    }
    m_rcButton1 = m_horizontal ? Transpose(b1) : b1;
    m_rcButton2 = m_horizontal ? Transpose(b2) : b2;
    m_rcThumb = m_horizontal && !IsZero(thumb) ? Transpose(thumb) : thumb;
}

void CScrollBarUI::LineBack() {
    if (m_owner == nullptr) {
        SetScrollPos(m_pos - m_lineSize);
    } else if (m_horizontal) {
        m_owner->LineLeft();
    } else {
        m_owner->LineUp();
    }
}

void CScrollBarUI::LineForward() {
    if (m_owner == nullptr) {
        SetScrollPos(m_pos + m_lineSize);
    } else if (m_horizontal) {
        m_owner->LineRight();
    } else {
        m_owner->LineDown();
    }
}

void CScrollBarUI::PageBack() {
    if (m_owner == nullptr) {
        SetScrollPos(m_pos - (m_horizontal ? Width() : Height()));
    } else if (m_horizontal) {
        m_owner->PageLeft();
    } else {
        m_owner->PageUp();
    }
}

void CScrollBarUI::PageForward() {
    if (m_owner == nullptr) {
        SetScrollPos(m_pos + (m_horizontal ? Width() : Height()));
    } else if (m_horizontal) {
        m_owner->PageRight();
    } else {
        m_owner->PageDown();
    }
}

void CScrollBarUI::PageTowards(POINT pt) {
    // Exactly on the thumb's edge nothing happens.
    const int p = m_horizontal ? pt.x : pt.y;
    const int start = m_horizontal ? m_rcThumb.left : m_rcThumb.top;
    const int end = m_horizontal ? m_rcThumb.right : m_rcThumb.bottom;
    if (p < start) {
        PageBack();
    } else if (p > end) {
        PageForward();
    }
}

void CScrollBarUI::NotifyScroll() {
    // An owned bar speaks through its owner's scrolling; only a standalone bar notifies.
    if (m_owner == nullptr && m_manager != nullptr) {
        Notify("scroll");
    }
}

void CScrollBarUI::HandleEvent(UIEvent& event) {
    if (!IsMouseEnabled() && event.type > kEventMouseBegin && event.type < kEventMouseEnd) {
        if (m_owner != nullptr) {
            m_owner->HandleEvent(event);
        } else {
            CControlUI::HandleEvent(event);
        }
        return;
    }
    switch (event.type) {
        case kEventSetFocus:
        case kEventKillFocus:
        case kEventContextMenu:
            return;
        case kEventButtonDown:
        case kEventDblClick:
            if (!IsEnabled()) {
                return;
            }
            m_repeatCount = 0;
            m_dragOffset = 0;
            if (m_manager != nullptr) {
                m_manager->SetTimer(this, kRepeatTimer, kRepeatMs);
            }
            if (plat::PtInRect(m_rcButton1, event.mouse)) {
                m_button1State |= kStatePushed;
                LineBack();
            } else if (plat::PtInRect(m_rcButton2, event.mouse)) {
                m_button2State |= kStatePushed;
                LineForward();
            } else if (plat::PtInRect(m_rcThumb, event.mouse)) {
                m_thumbState |= kStateCaptured | kStatePushed;
                m_lastMouse = event.mouse;
                m_dragStartPos = m_pos;
            } else {
                PageTowards(event.mouse);
            }
            NotifyScroll();
            return;
        case kEventButtonUp:
            m_repeatCount = 0;
            m_dragOffset = 0;
            if (m_manager != nullptr) {
                m_manager->KillTimer(this, kRepeatTimer);
            }
            if ((m_thumbState & kStateCaptured) != 0) {
                m_thumbState &= ~(kStateCaptured | kStatePushed);
            } else if ((m_button1State & kStatePushed) != 0) {
                m_button1State &= ~kStatePushed;
            } else if ((m_button2State & kStatePushed) != 0) {
                m_button2State &= ~kStatePushed;
            } else {
                return;
            }
            Invalidate();
            return;
        case kEventMouseMove:
            if ((m_thumbState & kStateCaptured) != 0) {
                const int t = Thickness();
                const int length = m_horizontal ? Width() : Height();
                const int thumbLength = m_horizontal ? m_rcThumb.right - m_rcThumb.left
                                                     : m_rcThumb.bottom - m_rcThumb.top;
                const int freeTrack = length - 2 * t - thumbLength;
                if (freeTrack != 0) {
                    const int moved = m_horizontal ? event.mouse.x - m_lastMouse.x
                                                   : event.mouse.y - m_lastMouse.y;
                    // The position follows at the next timer tick.
                    m_dragOffset = MulDiv(moved, m_range, freeTrack);
                }
            } else if ((m_thumbState & kStateHot) != 0 && !plat::PtInRect(m_rcThumb, event.mouse)) {
                m_thumbState &= ~kStateHot;
                Invalidate();
            } else if (IsEnabled() && (m_thumbState & kStateHot) == 0 &&
                       plat::PtInRect(m_rcThumb, event.mouse)) {
                m_thumbState |= kStateHot;
                Invalidate();
            }
            return;
        case kEventTimer:
            if (event.wParam != kRepeatTimer) {
                break;
            }
            ++m_repeatCount;
            if ((m_thumbState & kStateCaptured) != 0) {
                const int pos = m_dragStartPos + m_dragOffset;
                if (m_owner != nullptr) {
                    const SIZE current = m_owner->ScrollPosition();
                    m_owner->SetScrollPosition(m_horizontal ? SIZE{pos, current.cy}
                                                            : SIZE{current.cx, pos});
                } else {
                    SetScrollPos(pos);
                }
                Invalidate();
                NotifyScroll();
                return;
            }
            if (m_repeatCount <= kRepeatDelayTicks) {
                return;
            }
            if ((m_button1State & kStatePushed) != 0) {
                LineBack();
            } else if ((m_button2State & kStatePushed) != 0) {
                LineForward();
            } else if (m_manager != nullptr) {
                POINT pt;
                plat::GetCursorPos(&pt);
                plat::ScreenToClient(m_manager->GetPaintWindow(), &pt);
                PageTowards(pt);
            }
            NotifyScroll();
            return;
        case kEventMouseEnter:
            if (IsEnabled()) {
                m_button1State |= kStateHot;
                m_button2State |= kStateHot;
                if (plat::PtInRect(m_rcThumb, event.mouse)) {
                    m_thumbState |= kStateHot;
                }
                Invalidate();
            }
            return;
        case kEventMouseLeave:
            if (IsEnabled()) {
                m_button1State &= ~kStateHot;
                m_button2State &= ~kStateHot;
                m_thumbState &= ~kStateHot;
                Invalidate();
            }
            return;
        default:
            break;
    }
    if (m_owner != nullptr) {
        m_owner->HandleEvent(event);
    } else {
        CControlUI::HandleEvent(event);
    }
}

void CScrollBarUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    struct ImageAttribute {
        const char* part;
        PartImages CScrollBarUI::*images;
    };
    static const ImageAttribute kParts[] = {
        {"bk", &CScrollBarUI::m_bkImages},           {"button1", &CScrollBarUI::m_button1Images},
        {"button2", &CScrollBarUI::m_button2Images}, {"thumb", &CScrollBarUI::m_thumbImages},
        {"rail", &CScrollBarUI::m_railImages},
    };
    // "<part><state>image", the state one of normal, hot, pushed, disabled.
    for (const ImageAttribute& part : kParts) {
        const size_t prefix = std::strlen(part.part);
        if (std::strncmp(name, part.part, prefix) != 0) {
            continue;
        }
        PartImages& images = this->*part.images;
        const char* state = name + prefix;
        CUIString* target = nullptr;
        if (std::strcmp(state, "normalimage") == 0) {
            target = &images.normal;
        } else if (std::strcmp(state, "hotimage") == 0) {
            target = &images.hot;
        } else if (std::strcmp(state, "pushedimage") == 0) {
            target = &images.pushed;
        } else if (std::strcmp(state, "disabledimage") == 0) {
            target = &images.disabled;
        }
        if (target != nullptr) {
            *target = value;
            Invalidate();
            return;
        }
    }
    if (std::strcmp(name, "hor") == 0) {
        SetHorizontal(ParseBool(value));
    } else if (std::strcmp(name, "linesize") == 0) {
        SetLineSize(std::atoi(value));
    } else if (std::strcmp(name, "range") == 0) {
        SetScrollRange(std::atoi(value));
    } else if (std::strcmp(name, "value") == 0) {
        SetScrollPos(std::atoi(value));
    } else if (std::strcmp(name, "showbutton1") == 0) {
        m_showButton1 = ParseBool(value);
        SetPosition(m_rcItem);
    } else if (std::strcmp(name, "showbutton2") == 0) {
        m_showButton2 = ParseBool(value);
        SetPosition(m_rcItem);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

CUIString* CScrollBarUI::PartImages::ForState(uint32_t state) {
    if ((state & kStateDisabled) != 0) {
        return &disabled;
    }
    if ((state & kStatePushed) != 0) {
        return &pushed;
    }
    if ((state & kStateHot) != 0) {
        return &hot;
    }
    return nullptr;
}

void CScrollBarUI::RecomputeDisabled(uint32_t& state) const {
    if (IsEnabled()) {
        state &= ~kStateDisabled;
    } else {
        state |= kStateDisabled;
    }
}

bool CScrollBarUI::DrawImageAt(plat::HDC hDC, CUIString& image, const RECT* rc) {
    if (image.IsEmpty()) {
        return false;
    }
    if (rc == nullptr) {
        if (DrawImage(hDC, image)) {
            return true;
        }
        image.Empty();
        return false;
    }
    m_imageModify.Format("dest='%d,%d,%d,%d'", rc->left - m_rcItem.left, rc->top - m_rcItem.top,
                         rc->right - m_rcItem.left, rc->bottom - m_rcItem.top);
    if (DrawImage(hDC, image, m_imageModify)) {
        return true;
    }
    image.Empty();
    return false;
}

bool CScrollBarUI::DrawPart(plat::HDC hDC, PartImages& images, uint32_t state, const RECT* rc) {
    CUIString* stateImage = images.ForState(state);
    if (stateImage != nullptr && DrawImageAt(hDC, *stateImage, rc)) {
        return true;
    }
    return DrawImageAt(hDC, images.normal, rc);
}

void CScrollBarUI::Paint(plat::HDC hDC, const RECT& rcPaint) {
    m_rcPaint = plat::IntersectRect(rcPaint, m_rcItem);
    if (plat::IsRectEmpty(m_rcPaint)) {
        return;
    }
    // The background follows the thumb's state and covers the whole bar.
    RecomputeDisabled(m_thumbState);
    DrawPart(hDC, m_bkImages, m_thumbState, nullptr);

    struct Part {
        bool shown;
        uint32_t* state;
        PartImages* images;
        const RECT* rc;
    };
    const Part parts[] = {
        {m_showButton1, &m_button1State, &m_button1Images, &m_rcButton1},
        {m_showButton2, &m_button2State, &m_button2Images, &m_rcButton2},
        {!IsZero(m_rcThumb), &m_thumbState, &m_thumbImages, &m_rcThumb},
    };
    for (const Part& part : parts) {
        if (!part.shown) {
            continue;
        }
        RecomputeDisabled(*part.state);
        if (!DrawPart(hDC, *part.images, *part.state, part.rc)) {
            CUIRender::DrawRect(hDC, *part.rc, 2, kOutlineColor);
        }
    }

    if (IsZero(m_rcThumb)) {
        return;
    }
    // The rail: a square of the bar's thickness centred on the thumb.
    const int t = Thickness();
    RECT rail = m_rcThumb;
    if (m_horizontal) {
        rail.left = (m_rcThumb.left + m_rcThumb.right) / 2 - t / 2;
        rail.right = rail.left + t;
    } else {
        rail.top = (m_rcThumb.top + m_rcThumb.bottom) / 2 - t / 2;
        rail.bottom = rail.top + t;
    }
    DrawPart(hDC, m_railImages, m_thumbState, &rail);
}

} // namespace Pane
