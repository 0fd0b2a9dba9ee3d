#include "platform/gfx/Text.h"

#include "platform/base/TextUtf8.h"
#include "platform/gfx/CanvasPixels.h"
#include "platform/gfx/FontCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace plat {

namespace {

struct Item {
    uint32_t cp = 0;
    const font::Glyph* glyph = nullptr; // null: nothing to draw (space-like or control)
    int advance = 0;
    bool underline = false; // marked by a '&' prefix
    bool space = false;     // a break opportunity after it, dropped at a line end
    bool breakBefore = false;
    bool hardBreak = false; // a line feed (or carriage return) ends the line here
};

struct Line {
    std::size_t begin = 0, end = 0; // items [begin, end)
    int width = 0;
};

// Ideographs and other wide characters may break a line on either side, as there are no spaces
// between words in Chinese text.
bool IsWide(uint32_t cp) {
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) ||
           (cp >= 0xFF00 && cp <= 0xFFEF) || (cp >= 0x20000 && cp <= 0x3FFFF);
}

struct Layout {
    std::vector<Item> items;
    std::vector<Line> lines;
    int maxWidth = 0;
};

int Width(const Layout& layout, std::size_t begin, std::size_t end) {
    int w = 0;
    for (std::size_t i = begin; i < end; ++i)
        w += layout.items[i].advance;
    return w;
}

// Lock held. Turns text into items: prefix handling, line breaks, tabs, glyphs.
void MakeItems(HFONT font, const char* text, std::size_t n, UINT format, bool antiAlias,
               const font::LineMetrics& lm, std::vector<Item>& items) {
    const bool prefix = !(format & DT_NOPREFIX);
    const bool single = (format & DT_SINGLELINE) != 0;
    const char* p = text;
    const char* end = text + n;
    bool underlineNext = false;
    items.reserve(n);
    while (p < end) {
        uint32_t cp = Utf8Decode(p, end);
        if (prefix && cp == '&') {
            if (p < end && *p == '&') {
                ++p; // "&&" is one ampersand
            } else {
                underlineNext = !(format & DT_HIDEPREFIX);
                continue;
            }
        }
        Item it;
        it.cp = cp;
        it.underline = underlineNext;
        underlineNext = false;
        if (cp == '\r' || cp == '\n') {
            if (single)
                continue;
            if (cp == '\r' && p < end && *p == '\n')
                ++p;
            it.hardBreak = true;
            items.push_back(it);
            continue;
        }
        if (cp == '\t') {
            it.space = true;
            it.advance =
                (format & DT_EXPANDTABS) ? -1 : font::GetGlyph(font, ' ', antiAlias)->advance;
            items.push_back(it);
            continue;
        }
        if (cp < 0x20 || cp == 0x7F)
            continue;
        const font::Glyph* g = font::GetGlyph(font, cp, antiAlias);
        it.glyph = g;
        it.advance = g->advance;
        it.space = cp == ' ' || cp == 0x3000;
        it.breakBefore = IsWide(cp);
        if (it.breakBefore)
            it.space = false;
        items.push_back(it);
    }
    // Tabs stop every eight average characters from the start of their line.
    const int tabStop = std::max(1, 8 * lm.aveCharWidth);
    int x = 0;
    for (Item& it : items) {
        if (it.hardBreak) {
            x = 0;
            continue;
        }
        if (it.advance < 0)
            it.advance = tabStop - (x % tabStop);
        x += it.advance;
    }
}

// Splits items into lines; wraps at maxWidth when wrap is on.
void BreakLines(Layout& layout, bool wrap, int maxWidth) {
    auto& items = layout.items;
    std::size_t i = 0;
    const std::size_t n = items.size();
    while (i <= n) {
        Line line;
        line.begin = i;
        int x = 0;
        std::size_t lastBreak = i; // end of the line if broken at the last opportunity
        bool broke = false;
        while (i < n && !items[i].hardBreak) {
            const Item& it = items[i];
            if (it.breakBefore && i > line.begin)
                lastBreak = i;
            if (wrap && !it.space && i > line.begin && x + it.advance > maxWidth) {
                std::size_t cut = lastBreak > line.begin ? lastBreak : i;
                line.end = cut;
                i = cut;
                broke = true;
                break;
            }
            x += it.advance;
            ++i;
            if (it.space)
                lastBreak = i;
        }
        if (!broke) {
            line.end = i;
            ++i; // past the hard break (or the end)
        }
        // Trailing spaces take no room at a line end; leading ones after a wrap are dropped.
        std::size_t e = line.end;
        while (e > line.begin && items[e - 1].space)
            --e;
        line.end = e;
        if (broke)
            while (i < n && items[i].space)
                ++i;
        line.width = Width(layout, line.begin, line.end);
        layout.lines.push_back(line);
        if (!broke && i > n)
            break;
    }
}

// Cuts lines wider than maxWidth and puts "..." behind what fits.
void ApplyEllipsis(Layout& layout, HFONT font, bool antiAlias, int maxWidth) {
    const font::Glyph* dot = font::GetGlyph(font, '.', antiAlias);
    const int dotsWidth = 3 * dot->advance;
    for (Line& line : layout.lines) {
        if (line.width <= maxWidth)
            continue;
        std::size_t e = line.end;
        int w = line.width;
        while (e > line.begin && w + dotsWidth > maxWidth) {
            --e;
            w -= layout.items[e].advance;
        }
        std::vector<Item> dots(3);
        for (Item& d : dots) {
            d.cp = '.';
            d.glyph = dot;
            d.advance = dot->advance;
        }
        // The cut items are replaced in place so the following lines keep their indices.
        auto& items = layout.items;
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(e),
                    items.begin() + static_cast<std::ptrdiff_t>(line.end));
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(e), dots.begin(), dots.end());
        const std::ptrdiff_t shift =
            static_cast<std::ptrdiff_t>(e + 3) - static_cast<std::ptrdiff_t>(line.end);
        line.end = e + 3;
        line.width = w + dotsWidth;
        for (Line& later : layout.lines) {
            if (later.begin > line.begin) {
                later.begin =
                    static_cast<std::size_t>(static_cast<std::ptrdiff_t>(later.begin) + shift);
                later.end =
                    static_cast<std::size_t>(static_cast<std::ptrdiff_t>(later.end) + shift);
            }
        }
    }
}

// Draws one line's glyphs with its left end at x and its top at y (logical coordinates).
template <typename Put>
void DrawLine(const Layout& layout, const Line& line, int x, int baseline, Put&& put) {
    for (std::size_t i = line.begin; i < line.end; ++i) {
        const Item& it = layout.items[i];
        if (it.glyph && it.glyph->coverage)
            put(*it.glyph, x + it.glyph->left, baseline - it.glyph->top);
        x += it.advance;
    }
}

void DrawUnderlines(HDC dc, const Layout& layout, const Line& line, int x, int baseline,
                    const font::LineMetrics& lm, bool all, COLORREF colour) {
    int runStart = -1;
    int pos = x;
    for (std::size_t i = line.begin; i <= line.end; ++i) {
        bool on = i < line.end && (all || layout.items[i].underline);
        if (on && runStart < 0)
            runStart = pos;
        if (!on && runStart >= 0) {
            dc->FillRect(RECT{runStart, baseline + lm.underlineOffset, pos,
                              baseline + lm.underlineOffset + lm.underlineThickness},
                         colour);
            runStart = -1;
        }
        if (i < line.end)
            pos += layout.items[i].advance;
    }
}

std::size_t LengthOf(const char* text, int len) {
    return len < 0 ? std::strlen(text) : static_cast<std::size_t>(len);
}

} // namespace

int DrawText(HDC dc, const char* utf8, int len, RECT* rc, UINT format) {
    if (!dc || !rc)
        return 0;
    if (!utf8)
        utf8 = "";
    HFONT font = font::Resolve(dc->GetFont());
    if (!font)
        return 0;
    auto lock = font::LockFonts();
    const font::LineMetrics lm = font::GetLineMetrics(font);
    FontSpec spec;
    GetFontSpec(font, &spec);
    const int boxWidth = std::max(0, static_cast<int>(rc->right - rc->left));
    Layout layout;
    MakeItems(font, utf8, LengthOf(utf8, len), format, true, lm, layout.items);
    const bool single = (format & DT_SINGLELINE) != 0;
    BreakLines(layout, !single && (format & DT_WORDBREAK), boxWidth);
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
        ApplyEllipsis(layout, font, true, boxWidth);
    if (layout.items.empty())
        layout.lines.clear(); // an empty text has no line at all
    const int lineHeight = lm.height + ((format & DT_EXTERNALLEADING) ? lm.externalLeading : 0);
    for (const Line& l : layout.lines)
        layout.maxWidth = std::max(layout.maxWidth, l.width);
    const int total = lineHeight * static_cast<int>(layout.lines.size());

    if (format & DT_CALCRECT) {
        rc->right = rc->left + layout.maxWidth;
        rc->bottom = rc->top + total;
        return total;
    }
    if (layout.lines.empty())
        return 0;
    int y = rc->top;
    if (single) {
        // Vertical placement applies to single lines only.
        if (format & DT_BOTTOM)
            y = rc->bottom - lineHeight;
        else if (format & DT_VCENTER)
            y = rc->top + (rc->bottom - rc->top - lineHeight) / 2;
    }
    Canvas::ClipSaver saver(*dc);
    if (!(format & DT_NOCLIP) && !dc->IntersectClip(*rc))
        return y - rc->top + total;
    const COLORREF colour = dc->GetTextColor();
    const uint32_t px = PixelOf(colour);
    for (const Line& line : layout.lines) {
        int x = rc->left;
        if (format & DT_CENTER)
            x = rc->left + (boxWidth - line.width) / 2;
        else if (format & DT_RIGHT)
            x = rc->right - line.width;
        if (dc->GetBkMode() == OPAQUE && line.width > 0)
            dc->FillRect(RECT{x, y, x + line.width, y + lineHeight}, dc->GetBkColor());
        const int baseline = y + lm.ascent;
        DrawLine(layout, line, x, baseline, [&](const font::Glyph& g, int gx, int gy) {
            dc->BlendMask(gx, gy, g.coverage, g.width, g.height, g.width, px);
        });
        if (spec.underline || !(format & DT_NOPREFIX))
            DrawUnderlines(dc, layout, line, x, baseline, lm, spec.underline, colour);
        y += lineHeight;
    }
    return y - rc->top;
}

BOOL TextOut(HDC dc, int x, int y, const char* utf8, int len) {
    if (!dc || !utf8)
        return 0;
    TEXTMETRIC tm;
    if (!GetTextMetrics(dc, &tm))
        return 0;
    SIZE size;
    GetTextExtentPoint32(dc, utf8, len, &size);
    RECT rc{x, y, x + size.cx, y + tm.tmHeight};
    DrawText(dc, utf8, len, &rc, DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    return 1;
}

uint32_t BrushColourAt(const LinearGradientBrush& brush, float x, float y) {
    const double dx = brush.to.x - brush.from.x, dy = brush.to.y - brush.from.y;
    const double d2 = dx * dx + dy * dy;
    double t = 0;
    if (d2 > 0) {
        t = ((x - brush.from.x) * dx + (y - brush.from.y) * dy) / d2;
        t -= std::floor(t); // tiled: the gradient repeats beyond its end point
    }
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double a = (brush.argbFrom >> shift) & 0xFF, b = (brush.argbTo >> shift) & 0xFF;
        const long c = std::lround(a + (b - a) * t);
        out |= static_cast<uint32_t>(std::clamp(c, 0L, 255L)) << shift;
    }
    return out;
}

bool DrawStringGradient(HDC dc, const char* utf8, int len, HFONT font, const RectF& layoutRect,
                        const StringFormat& format, const LinearGradientBrush& brush,
                        bool antiAlias) {
    if (!dc || !utf8)
        return false;
    if (brush.from.x == brush.to.x && brush.from.y == brush.to.y)
        return false; // a brush without a direction cannot be made
    font = font::Resolve(font);
    if (!font)
        return false;
    auto lock = font::LockFonts();
    const font::LineMetrics lm = font::GetLineMetrics(font);
    FontSpec spec;
    GetFontSpec(font, &spec);
    Layout layout;
    MakeItems(font, utf8, LengthOf(utf8, len), DT_NOPREFIX, antiAlias, lm, layout.items);
    const int wrapWidth = static_cast<int>(std::floor(layoutRect.width));
    BreakLines(layout, wrapWidth > 0, wrapWidth);
    if (layout.items.empty())
        return true;
    const int lineHeight = lm.height + lm.externalLeading;
    const float blockHeight =
        static_cast<float>(lineHeight * static_cast<int>(layout.lines.size()));
    auto offset = [](StringAlignment a, float room) {
        return a == StringAlignment::Center ? room / 2 : a == StringAlignment::Far ? room : 0.0f;
    };
    float top = layoutRect.y;
    if (layoutRect.height > 0)
        top += offset(format.lineAlignment, layoutRect.height - blockHeight);
    Canvas::ClipSaver saver(*dc);
    if (layoutRect.width > 0 && layoutRect.height > 0) {
        RECT clip{static_cast<LONG>(std::floor(layoutRect.x)),
                  static_cast<LONG>(std::floor(layoutRect.y)),
                  static_cast<LONG>(std::ceil(layoutRect.x + layoutRect.width)),
                  static_cast<LONG>(std::ceil(layoutRect.y + layoutRect.height))};
        if (!dc->IntersectClip(clip))
            return true;
    }
    Bitmap& target = dc->Target();
    const POINT origin = dc->GetOrigin();
    int y = static_cast<int>(std::lround(top));
    for (const Line& line : layout.lines) {
        float left = layoutRect.x;
        if (layoutRect.width > 0)
            left += offset(format.alignment, layoutRect.width - static_cast<float>(line.width));
        const int x = static_cast<int>(std::lround(left));
        const int baseline = y + lm.ascent;
        DrawLine(layout, line, x, baseline, [&](const font::Glyph& g, int gx, int gy) {
            const RECT dev =
                dc->ClipDeviceRect(dc->ToDevice(RECT{gx, gy, gx + g.width, gy + g.height}));
            for (int row = dev.top; row < dev.bottom; ++row) {
                auto span = dc->RowSpan(row);
                const int x0 = std::max(span.first, static_cast<int>(dev.left));
                const int x1 = std::min(span.second, static_cast<int>(dev.right));
                const uint8_t* m = g.coverage +
                                   static_cast<std::ptrdiff_t>(row - (gy + origin.y)) * g.width -
                                   (gx + origin.x);
                uint32_t* out = target.Row(row);
                for (int col = x0; col < x1; ++col) {
                    if (m[col] == 0)
                        continue;
                    const uint32_t c = Premultiply(
                        BrushColourAt(brush, col - origin.x + 0.5f, row - origin.y + 0.5f));
                    out[col] = pixels::Over(pixels::MulChannels(c, m[col]), out[col]);
                }
            }
        });
        if (spec.underline) {
            // The underline takes the brush's colour at its middle.
            const uint32_t c = Premultiply(
                BrushColourAt(brush, x + line.width / 2.0f, baseline + lm.underlineOffset + 0.5f));
            dc->BlendRect(RECT{x, baseline + lm.underlineOffset, x + line.width,
                               baseline + lm.underlineOffset + lm.underlineThickness},
                          c);
        }
        y += lineHeight;
    }
    return true;
}

} // namespace plat
