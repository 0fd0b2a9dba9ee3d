#pragma once
// The rectangle calls of the desktop interface, with its rules: a rectangle holds the points
// with left <= x < right and top <= y < bottom, and one with right <= left or bottom <= top is
// empty. Empty rectangles take no part in a union; an intersection that is empty comes back
// as (0, 0, 0, 0). The pointer forms answer as the desktop does (false for a null argument or
// an empty result); the value forms serve code that has no use for the flag.

#include "platform/base/WinTypes.h"

#include <algorithm>

namespace plat {

inline bool IsRectEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
inline bool IsRectEmpty(const RECT* r) {
    return r == nullptr || IsRectEmpty(*r);
}

inline bool PtInRect(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool PtInRect(const RECT* r, POINT p) {
    return r != nullptr && PtInRect(*r, p);
}

inline bool EqualRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline RECT IntersectRect(const RECT& a, const RECT& b) {
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return IsRectEmpty(r) ? RECT{} : r;
}
// dst may be a or b.
inline bool IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    if (dst == nullptr)
        return false;
    *dst = (a == nullptr || b == nullptr) ? RECT{} : IntersectRect(*a, *b);
    return !IsRectEmpty(*dst);
}

inline RECT UnionRect(const RECT& a, const RECT& b) {
    if (IsRectEmpty(a))
        return IsRectEmpty(b) ? RECT{} : b;
    if (IsRectEmpty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
// dst may be a or b. False (and dst emptied) when both are empty.
inline bool UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    if (dst == nullptr)
        return false;
    *dst = (a == nullptr || b == nullptr) ? RECT{} : UnionRect(*a, *b);
    return !IsRectEmpty(*dst);
}

inline RECT OffsetRect(RECT r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
inline bool OffsetRect(RECT* r, int dx, int dy) {
    if (r == nullptr)
        return false;
    *r = OffsetRect(*r, dx, dy);
    return true;
}

// Grows the rectangle by dx on the left and right and dy at the top and bottom (shrinks it for
// negative values).
inline bool InflateRect(RECT* r, int dx, int dy) {
    if (r == nullptr)
        return false;
    *r = RECT{r->left - dx, r->top - dy, r->right + dx, r->bottom + dy};
    return true;
}

inline bool CopyRect(RECT* dst, const RECT* src) {
    if (dst == nullptr || src == nullptr)
        return false;
    *dst = *src;
    return true;
}

inline bool SetRectEmpty(RECT* r) {
    if (r == nullptr)
        return false;
    *r = RECT{};
    return true;
}

} // namespace plat
