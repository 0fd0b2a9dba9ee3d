#pragma once
// The framework's two rectangle operations on the platform's rectangles.

#include "platform/base/WinTypes.h"

#include <algorithm>

namespace Pane {

// Copies src into dst; false when either is null.
inline bool CopyRect(plat::RECT* dst, const plat::RECT* src) {
    if (dst == nullptr || src == nullptr) {
        return false;
    }
    *dst = *src;
    return true;
}

// dst = the smallest rectangle holding a and b: left and top the smaller, right and bottom the
// larger of the two. dst may be a or b. False when any argument is null.
inline bool UnionRect(plat::RECT* dst, const plat::RECT* a, const plat::RECT* b) {
    if (dst == nullptr || a == nullptr || b == nullptr) {
        return false;
    }
    const plat::RECT result{std::min(a->left, b->left), std::min(a->top, b->top),
                            std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    *dst = result;
    return true;
}

} // namespace Pane
