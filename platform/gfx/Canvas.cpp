#include "platform/gfx/Canvas.h"

#include "platform/base/Rect.h"
#include "platform/gfx/CanvasPixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {

namespace {

// Dash patterns of styled pens, as on-off run lengths in pixels for a one-pixel pen.
struct DashPattern {
    int runs[6];
    int count;
};

const DashPattern* PatternOf(int penStyle) {
    static const DashPattern kDash{{18, 6, 0, 0, 0, 0}, 2};
    static const DashPattern kDot{{3, 3, 0, 0, 0, 0}, 2};
    static const DashPattern kDashDot{{9, 6, 3, 6, 0, 0}, 4};
    static const DashPattern kDashDotDot{{9, 3, 3, 3, 3, 3}, 6};
    switch (penStyle) {
        case PS_DASH:
            return &kDash;
        case PS_DOT:
            return &kDot;
        case PS_DASHDOT:
            return &kDashDot;
        case PS_DASHDOTDOT:
            return &kDashDotDot;
        default:
            return nullptr;
    }
}

// Whether position `t` (in pixels along the line) falls on a drawn run of the pattern, with
// each run scaled by `scale` (the pen width, so wide dashes keep their proportions).
bool PatternOn(const DashPattern* pattern, double t, int scale) {
    if (!pattern)
        return true;
    int period = 0;
    for (int i = 0; i < pattern->count; ++i)
        period += pattern->runs[i] * scale;
    double pos = std::fmod(t, static_cast<double>(period));
    if (pos < 0)
        pos += period;
    for (int i = 0; i < pattern->count; ++i) {
        int run = pattern->runs[i] * scale;
        if (pos < run)
            return (i % 2) == 0;
        pos -= run;
    }
    return true;
}

} // namespace

std::pair<int, int> RoundRectRowSpan(const RECT& rc, int ellipseWidth, int ellipseHeight, int y) {
    if (y < rc.top || y >= rc.bottom || rc.left >= rc.right)
        return {0, 0};
    double rx = std::min(ellipseWidth, static_cast<int>(rc.right - rc.left)) / 2.0;
    double ry = std::min(ellipseHeight, static_cast<int>(rc.bottom - rc.top)) / 2.0;
    if (rx <= 0 || ry <= 0)
        return {rc.left, rc.right};
    double cy = y + 0.5;
    double dy = 0;
    if (cy < rc.top + ry)
        dy = rc.top + ry - cy;
    else if (cy > rc.bottom - ry)
        dy = cy - (rc.bottom - ry);
    if (dy <= 0)
        return {rc.left, rc.right};
    double q = 1.0 - (dy / ry) * (dy / ry);
    if (q <= 0)
        return {0, 0};
    double dx = rx * std::sqrt(q);
    // Pixel x is inside when its centre x + 0.5 lies in [left + rx - dx, right - rx + dx].
    int x0 = static_cast<int>(std::ceil(rc.left + rx - dx - 0.5));
    int x1 = static_cast<int>(std::floor(rc.right - rx + dx - 0.5)) + 1;
    x0 = std::max(x0, static_cast<int>(rc.left));
    x1 = std::min(x1, static_cast<int>(rc.right));
    if (x0 >= x1)
        return {0, 0};
    return {x0, x1};
}

uint32_t Premultiply(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a == 255)
        return argb;
    return (a << 24) | (pixels::MulChannels(argb, a) & 0x00FFFFFFu);
}

Canvas::Canvas(Bitmap& target) : m_target(target) {
    ResetClip();
}

POINT Canvas::SetOrigin(POINT origin) {
    POINT old = m_origin;
    m_origin = origin;
    return old;
}

RECT Canvas::ToDevice(const RECT& rc) const {
    return RECT{rc.left + m_origin.x, rc.top + m_origin.y, rc.right + m_origin.x,
                rc.bottom + m_origin.y};
}

void Canvas::ResetClip() {
    m_clip.box = RECT{0, 0, m_target.width, m_target.height};
    if (IsRectEmpty(m_clip.box))
        m_clip.box = RECT{};
    m_clip.spans.clear();
}

bool Canvas::ClipIsEmpty() const {
    if (IsRectEmpty(m_clip.box))
        return true;
    if (m_clip.spans.empty())
        return false;
    for (const auto& s : m_clip.spans)
        if (s.first < s.second)
            return false;
    return true;
}

RECT Canvas::GetClipBox() const {
    if (ClipIsEmpty())
        return RECT{};
    RECT box = m_clip.box;
    if (!m_clip.spans.empty()) {
        // Tighten to the rows and columns that are really open.
        int top = box.bottom, bottom = box.top, left = box.right, right = box.left;
        for (int i = 0; i < static_cast<int>(m_clip.spans.size()); ++i) {
            const auto& s = m_clip.spans[i];
            if (s.first >= s.second)
                continue;
            top = std::min(top, static_cast<int>(box.top) + i);
            bottom = std::max(bottom, static_cast<int>(box.top) + i + 1);
            left = std::min(left, s.first);
            right = std::max(right, s.second);
        }
        box = RECT{left, top, right, bottom};
    }
    return RECT{box.left - m_origin.x, box.top - m_origin.y, box.right - m_origin.x,
                box.bottom - m_origin.y};
}

bool Canvas::IntersectClip(const RECT& rc) {
    RECT box = IntersectRect(m_clip.box, ToDevice(rc));
    if (!m_clip.spans.empty()) {
        std::vector<std::pair<int, int>> spans;
        if (!IsRectEmpty(box)) {
            spans.reserve(box.bottom - box.top);
            for (int y = box.top; y < box.bottom; ++y) {
                auto s = m_clip.spans[y - m_clip.box.top];
                s.first = std::max(s.first, static_cast<int>(box.left));
                s.second = std::min(s.second, static_cast<int>(box.right));
                spans.push_back(s);
            }
        }
        m_clip.spans = std::move(spans);
    }
    m_clip.box = box;
    return !ClipIsEmpty();
}

bool Canvas::IntersectRoundClip(const RECT& rc, int ellipseWidth, int ellipseHeight) {
    if (!IntersectClip(rc))
        return false;
    if (ellipseWidth <= 0 || ellipseHeight <= 0)
        return true;
    RECT dev = ToDevice(rc);
    const RECT& box = m_clip.box;
    std::vector<std::pair<int, int>> spans;
    spans.reserve(box.bottom - box.top);
    for (int y = box.top; y < box.bottom; ++y) {
        auto s = RowSpan(y);
        auto r = RoundRectRowSpan(dev, ellipseWidth, ellipseHeight, y);
        s.first = std::max(s.first, r.first);
        s.second = std::min(s.second, r.second);
        if (s.first >= s.second)
            s = {0, 0};
        spans.push_back(s);
    }
    m_clip.spans = std::move(spans);
    return !ClipIsEmpty();
}

std::pair<int, int> Canvas::RowSpan(int y) const {
    const RECT& box = m_clip.box;
    if (y < box.top || y >= box.bottom)
        return {0, 0};
    if (m_clip.spans.empty())
        return {box.left, box.right};
    return m_clip.spans[y - box.top];
}

RECT Canvas::ClipDeviceRect(const RECT& deviceRect) const {
    return IntersectRect(deviceRect, m_clip.box);
}

template <typename RowFn>
void Canvas::ForEachSpan(const RECT& deviceRect, RowFn&& fn) {
    RECT r = ClipDeviceRect(deviceRect);
    if (IsRectEmpty(r))
        return;
    for (int y = r.top; y < r.bottom; ++y) {
        auto s = RowSpan(y);
        int x0 = std::max(s.first, static_cast<int>(r.left));
        int x1 = std::min(s.second, static_cast<int>(r.right));
        if (x0 < x1)
            fn(y, x0, x1);
    }
}

void Canvas::FillRect(const RECT& rc, COLORREF colour) {
    const uint32_t px = PixelOf(colour);
    ForEachSpan(ToDevice(rc), [&](int y, int x0, int x1) {
        std::fill(m_target.Row(y) + x0, m_target.Row(y) + x1, px);
    });
}

void Canvas::BlendRect(const RECT& rc, uint32_t premultipliedArgb) {
    uint32_t a = premultipliedArgb >> 24;
    if (a == 0 && (premultipliedArgb & 0xFFFFFF) == 0)
        return;
    if (a == 255) {
        ForEachSpan(ToDevice(rc), [&](int y, int x0, int x1) {
            std::fill(m_target.Row(y) + x0, m_target.Row(y) + x1, premultipliedArgb);
        });
        return;
    }
    ForEachSpan(ToDevice(rc), [&](int y, int x0, int x1) {
        uint32_t* row = m_target.Row(y);
        for (int x = x0; x < x1; ++x)
            row[x] = pixels::Over(premultipliedArgb, row[x]);
    });
}

void Canvas::BitBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy) {
    if (w <= 0 || h <= 0)
        return;
    // Only the part of the block that exists in the source is copied.
    int left = std::max(0, -sx), top = std::max(0, -sy);
    int right = std::min(w, src.width - sx), bottom = std::min(h, src.height - sy);
    if (left >= right || top >= bottom)
        return;
    const Bitmap* from = &src;
    Bitmap copy;
    if (&src == &m_target) {
        copy = src; // overlapping copies within one bitmap read the original pixels
        from = &copy;
    }
    RECT dev = ToDevice(RECT{x + left, y + top, x + right, y + bottom});
    const int dx = sx - (x + m_origin.x), dy = sy - (y + m_origin.y);
    ForEachSpan(dev, [&](int row, int x0, int x1) {
        std::memcpy(m_target.Row(row) + x0, from->Row(row + dy) + x0 + dx,
                    static_cast<std::size_t>(x1 - x0) * sizeof(uint32_t));
    });
}

namespace {

// Bilinear sampling set-up along one axis: for each destination pixel the two source indices
// and the weight of the second (0..256). Samples never leave [lo, hi), so a stretched part
// never picks up its neighbours in the source (which matters for nine-patch pieces).
struct AxisMap {
    std::vector<int> i0, i1;
    std::vector<uint32_t> w;
};

AxisMap MapAxis(int destStart, int destLen, int from, int to, int partStart, int partLen, int srcLo,
                int srcHi) {
    AxisMap m;
    const int n = to - from;
    m.i0.resize(n);
    m.i1.resize(n);
    m.w.resize(n);
    const double scale = static_cast<double>(partLen) / destLen;
    for (int k = 0; k < n; ++k) {
        int d = from + k - destStart;
        double s = partStart + (d + 0.5) * scale - 0.5;
        if (s <= srcLo) {
            m.i0[k] = m.i1[k] = srcLo;
            m.w[k] = 0;
            continue;
        }
        if (s >= srcHi - 1) {
            m.i0[k] = m.i1[k] = srcHi - 1;
            m.w[k] = 0;
            continue;
        }
        int i = static_cast<int>(s);
        m.i0[k] = i;
        m.i1[k] = i + 1;
        m.w[k] = static_cast<uint32_t>((s - i) * 256.0 + 0.5);
        if (m.w[k] >= 256) {
            m.i0[k] = i + 1;
            m.w[k] = 0;
        }
    }
    return m;
}

inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t w) {
    if (w == 0 || a == b)
        return a;
    const uint32_t iw = 256 - w;
    uint32_t rb = ((a & 0x00FF00FF) * iw + (b & 0x00FF00FF) * w + 0x00800080) >> 8;
    uint32_t ag = (((a >> 8) & 0x00FF00FF) * iw + ((b >> 8) & 0x00FF00FF) * w + 0x00800080) >> 8;
    return (rb & 0x00FF00FF) | ((ag & 0x00FF00FF) << 8);
}

} // namespace

template <typename PixelFn>
void Canvas::Stretch(const RECT& dest, const Bitmap& src, const RECT& srcPart, PixelFn&& put) {
    RECT part = srcPart;
    const int partW = part.right - part.left, partH = part.bottom - part.top;
    RECT dev = ToDevice(dest);
    const int dw = dev.right - dev.left, dh = dev.bottom - dev.top;
    if (dw <= 0 || dh <= 0 || partW <= 0 || partH <= 0 || src.Empty())
        return;
    // The source is read only where it exists.
    RECT inside = IntersectRect(part, RECT{0, 0, src.width, src.height});
    if (IsRectEmpty(inside))
        return;
    RECT r = ClipDeviceRect(dev);
    if (IsRectEmpty(r))
        return;
    AxisMap xm =
        MapAxis(dev.left, dw, r.left, r.right, part.left, partW, inside.left, inside.right);
    // Without a size change the mapping is exact, so the sample positions are shifted by the
    // part's own offset rather than scaled.
    if (partW == dw) {
        for (int k = 0; k < r.right - r.left; ++k) {
            int sx = part.left + (r.left + k - dev.left);
            sx = std::clamp(sx, static_cast<int>(inside.left), static_cast<int>(inside.right) - 1);
            xm.i0[k] = xm.i1[k] = sx;
            xm.w[k] = 0;
        }
    }
    AxisMap ym = MapAxis(dev.top, dh, r.top, r.bottom, part.top, partH, inside.top, inside.bottom);
    if (partH == dh) {
        for (int k = 0; k < r.bottom - r.top; ++k) {
            int sy = part.top + (r.top + k - dev.top);
            sy = std::clamp(sy, static_cast<int>(inside.top), static_cast<int>(inside.bottom) - 1);
            ym.i0[k] = ym.i1[k] = sy;
            ym.w[k] = 0;
        }
    }
    for (int y = r.top; y < r.bottom; ++y) {
        auto s = RowSpan(y);
        int x0 = std::max(s.first, static_cast<int>(r.left));
        int x1 = std::min(s.second, static_cast<int>(r.right));
        if (x0 >= x1)
            continue;
        const int ky = y - r.top;
        const uint32_t* row0 = src.Row(ym.i0[ky]);
        const uint32_t* row1 = src.Row(ym.i1[ky]);
        const uint32_t wy = ym.w[ky];
        uint32_t* out = m_target.Row(y);
        for (int x = x0; x < x1; ++x) {
            const int kx = x - r.left;
            const uint32_t wx = xm.w[kx];
            uint32_t top = Lerp(row0[xm.i0[kx]], row0[xm.i1[kx]], wx);
            uint32_t px = top;
            if (wy != 0) {
                uint32_t bottom = Lerp(row1[xm.i0[kx]], row1[xm.i1[kx]], wx);
                px = Lerp(top, bottom, wy);
            }
            put(out[x], px);
        }
    }
}

void Canvas::StretchBlt(const RECT& dest, const Bitmap& src, const RECT& srcPart) {
    if (&src == &m_target) {
        Bitmap copy = src;
        StretchBlt(dest, copy, srcPart);
        return;
    }
    if (dest.right - dest.left == srcPart.right - srcPart.left &&
        dest.bottom - dest.top == srcPart.bottom - srcPart.top) {
        BitBlt(dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src,
               srcPart.left, srcPart.top);
        return;
    }
    Stretch(dest, src, srcPart, [](uint32_t& d, uint32_t s) { d = s; });
}

void Canvas::AlphaBlend(const RECT& dest, const Bitmap& src, const RECT& srcPart, BYTE opacity) {
    if (opacity == 0)
        return;
    if (&src == &m_target) {
        Bitmap copy = src;
        AlphaBlend(dest, copy, srcPart, opacity);
        return;
    }
    if (dest.right - dest.left == srcPart.right - srcPart.left &&
        dest.bottom - dest.top == srcPart.bottom - srcPart.top) {
        BlendSameSize(dest, src, srcPart, opacity);
        return;
    }
    if (opacity == 255) {
        Stretch(dest, src, srcPart, [](uint32_t& d, uint32_t s) { d = pixels::Over(s, d); });
    } else {
        const uint32_t k = opacity;
        Stretch(dest, src, srcPart,
                [k](uint32_t& d, uint32_t s) { d = pixels::Over(pixels::MulChannels(s, k), d); });
    }
}

void Canvas::BlendSameSize(const RECT& dest, const Bitmap& src, const RECT& srcPart, BYTE opacity) {
    // Only the part of the source that exists is blended.
    RECT part = IntersectRect(srcPart, RECT{0, 0, src.width, src.height});
    if (IsRectEmpty(part))
        return;
    RECT logical{dest.left + (part.left - srcPart.left), dest.top + (part.top - srcPart.top),
                 dest.left + (part.right - srcPart.left), dest.top + (part.bottom - srcPart.top)};
    RECT dev = ToDevice(logical);
    const int dx = part.left - dev.left, dy = part.top - dev.top;
    const uint32_t k = opacity;
    ForEachSpan(dev, [&](int y, int x0, int x1) {
        pixels::BlendRow(m_target.Row(y) + x0, src.Row(y + dy) + dx + x0, x1 - x0, k);
    });
}

void Canvas::GradientFillV(const RECT& rc, uint32_t topArgb, uint32_t bottomArgb) {
    RECT dev = ToDevice(rc);
    const int h = dev.bottom - dev.top;
    if (h <= 0 || dev.right <= dev.left)
        return;
    // Row i of h takes top + (bottom - top) * i / h, per channel, as a two-vertex gradient
    // whose second colour sits on the (exclusive) bottom edge.
    ForEachSpan(dev, [&](int y, int x0, int x1) {
        const int i = y - dev.top;
        uint32_t px = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            int a = (topArgb >> shift) & 0xFF, b = (bottomArgb >> shift) & 0xFF;
            int c = a + (b - a) * i / h;
            px |= static_cast<uint32_t>(c) << shift;
        }
        px = Premultiply(px);
        std::fill(m_target.Row(y) + x0, m_target.Row(y) + x1, px);
    });
}

void Canvas::Line(POINT from, POINT to, int width, COLORREF colour, int penStyle) {
    if (penStyle == PS_NULL)
        return;
    const uint32_t px = PixelOf(colour);
    const DashPattern* pattern = PatternOf(penStyle);
    POINT a{from.x + m_origin.x, from.y + m_origin.y};
    POINT b{to.x + m_origin.x, to.y + m_origin.y};
    auto plot = [&](int x, int y) {
        auto s = RowSpan(y);
        if (x >= s.first && x < s.second)
            m_target.At(x, y) = px;
    };
    if (width <= 1) {
        // Bresenham, end point excluded.
        int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
        int stepX = a.x < b.x ? 1 : -1, stepY = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        int x = a.x, y = a.y;
        for (int n = 0; !(x == b.x && y == b.y); ++n) {
            if (PatternOn(pattern, n, 1))
                plot(x, y);
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += stepX;
            }
            if (e2 <= dx) {
                err += dx;
                y += stepY;
            }
        }
        return;
    }
    // Wide line: the pixels whose centres lie in the rectangle of the given width around the
    // segment through the pixel centres of the two end points (flat ends, end excluded).
    const double ax = a.x + 0.5, ay = a.y + 0.5, bx = b.x + 0.5, by = b.y + 0.5;
    const double len = std::hypot(bx - ax, by - ay);
    if (len == 0)
        return;
    const double ux = (bx - ax) / len, uy = (by - ay) / len;
    const double half = width / 2.0;
    // The normal always points down (or right), so an even width puts its extra row above (or
    // column left of) the line whichever way the line runs.
    double nx = -uy, ny = ux;
    if (ny < 0 || (ny == 0 && nx < 0)) {
        nx = -nx;
        ny = -ny;
    }
    const double cx[4] = {ax - uy * half, ax + uy * half, bx + uy * half, bx - uy * half};
    const double cy[4] = {ay + ux * half, ay - ux * half, by - ux * half, by + ux * half};
    RECT bounds{static_cast<LONG>(std::floor(*std::min_element(cx, cx + 4))) - 1,
                static_cast<LONG>(std::floor(*std::min_element(cy, cy + 4))) - 1,
                static_cast<LONG>(std::ceil(*std::max_element(cx, cx + 4))) + 1,
                static_cast<LONG>(std::ceil(*std::max_element(cy, cy + 4))) + 1};
    ForEachSpan(bounds, [&](int y, int x0, int x1) {
        uint32_t* row = m_target.Row(y);
        for (int x = x0; x < x1; ++x) {
            const double px0 = x + 0.5 - ax, py0 = y + 0.5 - ay;
            const double along = px0 * ux + py0 * uy;
            const double across = px0 * nx + py0 * ny;
            // Half-open on both axes so that adjacent strokes never overlap.
            if (along < 0 || along >= len || across < -half || across >= half)
                continue;
            if (PatternOn(pattern, along, width))
                row[x] = px;
        }
    });
}

void Canvas::FrameRect(const RECT& rc, int width, COLORREF colour) {
    if (width <= 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (2 * width >= rc.right - rc.left || 2 * width >= rc.bottom - rc.top) {
        FillRect(rc, colour);
        return;
    }
    FillRect(RECT{rc.left, rc.top, rc.right, rc.top + width}, colour);
    FillRect(RECT{rc.left, rc.bottom - width, rc.right, rc.bottom}, colour);
    FillRect(RECT{rc.left, rc.top + width, rc.left + width, rc.bottom - width}, colour);
    FillRect(RECT{rc.right - width, rc.top + width, rc.right, rc.bottom - width}, colour);
}

void Canvas::RoundFrameRect(const RECT& rc, int width, int ellipseWidth, int ellipseHeight,
                            COLORREF colour) {
    if (width <= 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (ellipseWidth <= 0 || ellipseHeight <= 0) {
        FrameRect(rc, width, colour);
        return;
    }
    const uint32_t px = PixelOf(colour);
    RECT outer = ToDevice(rc);
    RECT inner{outer.left + width, outer.top + width, outer.right - width, outer.bottom - width};
    const int innerW = std::max(0, ellipseWidth - 2 * width);
    const int innerH = std::max(0, ellipseHeight - 2 * width);
    ForEachSpan(outer, [&](int y, int x0, int x1) {
        auto o = RoundRectRowSpan(outer, ellipseWidth, ellipseHeight, y);
        auto i = (inner.left < inner.right && inner.top < inner.bottom)
                     ? RoundRectRowSpan(inner, innerW, innerH, y)
                     : std::pair<int, int>{0, 0};
        uint32_t* row = m_target.Row(y);
        for (int x = std::max(x0, o.first); x < std::min(x1, o.second); ++x)
            if (x < i.first || x >= i.second)
                row[x] = px;
    });
}

void Canvas::BlendMask(int x, int y, const uint8_t* mask, int w, int h, int stride,
                       uint32_t premultipliedArgb) {
    if (!mask || w <= 0 || h <= 0)
        return;
    const int left = x + m_origin.x, top = y + m_origin.y;
    ForEachSpan(RECT{left, top, left + w, top + h}, [&](int row, int x0, int x1) {
        const uint8_t* m = mask + static_cast<std::ptrdiff_t>(row - top) * stride - left;
        uint32_t* out = m_target.Row(row);
        for (int px = x0; px < x1; ++px) {
            const uint32_t c = m[px];
            if (c == 0)
                continue;
            const uint32_t s =
                c == 255 ? premultipliedArgb : pixels::MulChannels(premultipliedArgb, c);
            out[px] = pixels::Over(s, out[px]);
        }
    });
}

HFONT Canvas::SelectFont(HFONT font) {
    HFONT old = m_font;
    m_font = font;
    return old;
}

COLORREF Canvas::SetTextColor(COLORREF colour) {
    COLORREF old = m_textColour;
    m_textColour = colour;
    return old;
}

COLORREF Canvas::SetBkColor(COLORREF colour) {
    COLORREF old = m_bkColour;
    m_bkColour = colour;
    return old;
}

int Canvas::SetBkMode(int mode) {
    int old = m_bkMode;
    if (mode == TRANSPARENT || mode == OPAQUE)
        m_bkMode = mode;
    return old;
}

} // namespace plat
