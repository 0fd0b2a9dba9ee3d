#pragma once
// A 32-bit image in memory: B,G,R,A bytes per pixel (one uint32_t 0xAARRGGBB on little-endian),
// premultiplied alpha, rows top-down with no padding. Windows keep their back buffers in one;
// the canvas draws into one; images decode into one. Not thread-safe: the owner's thread only.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // width * height, row-major, top row first

    Bitmap() = default;
    Bitmap(int w, int h, uint32_t fill = 0)
        : width(w > 0 ? w : 0), height(h > 0 ? h : 0),
          pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    bool Empty() const { return width == 0 || height == 0; }
    uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
    uint32_t& At(int x, int y) { return Row(y)[x]; }
    uint32_t At(int x, int y) const { return Row(y)[x]; }
    void Resize(int w, int h, uint32_t fill = 0) { *this = Bitmap(w, h, fill); }
};

// One premultiplied pixel (0xAARRGGBB) with its colour channels divided back by alpha, rounded:
// the straight-alpha form files and desktops want.
inline uint32_t Unpremultiply(uint32_t px) {
    const uint32_t a = px >> 24;
    if (a == 0 || a == 255)
        return px;
    const auto channel = [a](uint32_t c) {
        const uint32_t v = (c * 255 + a / 2) / a;
        return v > 255 ? 255u : v;
    };
    return (a << 24) | (channel((px >> 16) & 0xFF) << 16) | (channel((px >> 8) & 0xFF) << 8) |
           channel(px & 0xFF);
}

} // namespace plat
