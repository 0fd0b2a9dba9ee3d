#pragma once
// Pixel arithmetic on premultiplied 0xAARRGGBB values, shared by the canvas and the text code.

#include "platform/WinTypes.h"

#include <cstdint>
#include <utility>

namespace plat {
// The [left, right) of row y covered by a rounded rectangle whose corners are quarter ellipses
// of the given size (pixels whose centre is inside); {0, 0} when the row is not covered.
std::pair<int, int> RoundRectRowSpan(const RECT& rc, int ellipseWidth, int ellipseHeight, int y);
} // namespace plat

namespace plat::pixels {

// Every channel (alpha included) multiplied by k / 255, rounded.
inline uint32_t MulChannels(uint32_t p, uint32_t k) {
    uint32_t rb = (p & 0x00FF00FFu) * k + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * k + 0x00800080u;
    ag = ((ag + ((ag >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    return rb | (ag << 8);
}

// Source over destination, both premultiplied.
inline uint32_t Over(uint32_t src, uint32_t dst) {
    const uint32_t a = src >> 24;
    if (a == 255)
        return src;
    if (src == 0)
        return dst;
    return src + MulChannels(dst, 255 - a);
}

} // namespace plat::pixels
