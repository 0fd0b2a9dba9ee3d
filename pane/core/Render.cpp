// Images, nine-patch drawing, colour fills, gradients, lines and frames of the render engine.
#include "pane/core/Render.h"

#include "pane/core/RenderImageDesc.h"
#include "platform/base/Rect.h"

#include <algorithm>

namespace Pane {

using plat::IntersectRect;
using plat::IsRectEmpty;
using plat::RECT;

namespace {

// One piece of a nine-patch: the whole of dst from src, blended or copied.
void Blit(plat::HDC hDC, const plat::Bitmap& bitmap, const RECT& dst, const RECT& src, bool blend,
          uint8_t fade) {
    // A source outside the bitmap (corners wider than the part) has nothing to draw.
    if (IsRectEmpty(dst) || IsRectEmpty(src) || src.left < 0 || src.top < 0 ||
        src.right > bitmap.width || src.bottom > bitmap.height) {
        return;
    }
    if (blend) {
        hDC->AlphaBlend(dst, bitmap, src, fade);
    } else if (dst.right - dst.left == src.right - src.left &&
               dst.bottom - dst.top == src.bottom - src.top) {
        hDC->BitBlt(dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, bitmap, src.left,
                    src.top);
    } else {
        hDC->StretchBlt(dst, bitmap, src);
    }
}

// The pieces of the middle part along one axis, from `from` to `to`: one piece of the whole
// length (drawn from the whole source length `tile`) when not tiled, else tiles of `tile`
// pixels with the last one cut short, source and destination alike. Only tiles reaching into
// [visibleFrom, visibleTo) are visited; the first is found by division, so a long run of tiles
// outside the paint rectangle costs nothing.
template <typename Fn>
void ForEachTile(bool tiled, int from, int to, int tile, int visibleFrom, int visibleTo, Fn&& fn) {
    if (!tiled) {
        fn(from, to - from, tile);
        return;
    }
    long long pos = from;
    if (visibleFrom > from) {
        pos += (static_cast<long long>(visibleFrom) - from) / tile * tile;
    }
    const long long end = std::min(to, visibleTo);
    for (; pos < end; pos += tile) {
        const int length = static_cast<int>(std::min<long long>(tile, to - pos));
        fn(static_cast<int>(pos), length, length);
    }
}

} // namespace

void CUIRender::DrawImage(plat::HDC hDC, const plat::Bitmap& bitmap, const RECT& rc,
                          const RECT& rcPaint, const RECT& rcBmpPart, const RECT& rcCorners,
                          bool alphaChannel, uint8_t fade, bool hole, bool xTiled, bool yTiled) {
    if (hDC == nullptr || bitmap.Empty() || fade == 0) {
        return;
    }
    const RECT paint = IntersectRect(rc, rcPaint);
    if (IsRectEmpty(paint)) {
        return;
    }
    const bool blend = alphaChannel || fade < 255;
    const RECT s = IntersectRect(rcBmpPart, RECT{0, 0, bitmap.width, bitmap.height});
    if (IsRectEmpty(s)) {
        return;
    }
    const RECT& c = rcCorners;
    plat::Canvas::ClipSaver clipSaver(*hDC);
    hDC->IntersectClip(paint);

    // Middle part, the destination shrunk by the corners.
    RECT mid{rc.left + c.left, rc.top + c.top, rc.right - c.right, rc.bottom - c.bottom};
    RECT srcMid{s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
    if (!hole && !IsRectEmpty(IntersectRect(mid, paint)) && !IsRectEmpty(srcMid)) {
        const int tileW = srcMid.right - srcMid.left;
        const int tileH = srcMid.bottom - srcMid.top;
        // Rows, then the pieces of each row; an axis that is not tiled is one piece stretched
        // from the whole source middle.
        ForEachTile(yTiled, mid.top, mid.bottom, tileH, paint.top, paint.bottom,
                    [&](int y, int h, int srcH) {
                        ForEachTile(xTiled, mid.left, mid.right, tileW, paint.left, paint.right,
                                    [&](int x, int w, int srcW) {
                                        Blit(hDC, bitmap, RECT{x, y, x + w, y + h},
                                             RECT{srcMid.left, srcMid.top, srcMid.left + srcW,
                                                  srcMid.top + srcH},
                                             blend, fade);
                                    });
                    });
    }

    // Borders: corners at their size, edges stretched along their length.
    struct Piece {
        bool present;
        RECT dst;
        RECT src;
    };
    const Piece pieces[] = {
        {c.left > 0 && c.top > 0,
         {rc.left, rc.top, rc.left + c.left, rc.top + c.top},
         {s.left, s.top, s.left + c.left, s.top + c.top}},
        {c.top > 0,
         {rc.left + c.left, rc.top, rc.right - c.right, rc.top + c.top},
         {s.left + c.left, s.top, s.right - c.right, s.top + c.top}},
        {c.right > 0 && c.top > 0,
         {rc.right - c.right, rc.top, rc.right, rc.top + c.top},
         {s.right - c.right, s.top, s.right, s.top + c.top}},
        {c.left > 0,
         {rc.left, rc.top + c.top, rc.left + c.left, rc.bottom - c.bottom},
         {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom}},
        {c.right > 0,
         {rc.right - c.right, rc.top + c.top, rc.right, rc.bottom - c.bottom},
         {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom}},
        {c.left > 0 && c.bottom > 0,
         {rc.left, rc.bottom - c.bottom, rc.left + c.left, rc.bottom},
         {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom}},
        {c.bottom > 0,
         {rc.left + c.left, rc.bottom - c.bottom, rc.right - c.right, rc.bottom},
         {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom}},
        {c.right > 0 && c.bottom > 0,
         {rc.right - c.right, rc.bottom - c.bottom, rc.right, rc.bottom},
         {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom}},
    };
    for (const Piece& piece : pieces) {
        if (piece.present && !IsRectEmpty(IntersectRect(piece.dst, paint))) {
            Blit(hDC, bitmap, piece.dst, piece.src, blend, fade);
        }
    }
}

bool CUIRender::DrawImageString(plat::HDC hDC, IRenderHost* host, const RECT& rcItem,
                                const RECT& rcPaint, const char* image, const char* modify) {
    if (hDC == nullptr || host == nullptr || image == nullptr) {
        return false;
    }
    bool ok = true;
    auto draw = [&](const ImageDrawParams& p) {
        if (p.name.empty()) {
            return;
        }
        const ImageInfo* info = host->GetImageEx(
            p.name.c_str(), p.resType.empty() ? nullptr : p.resType.c_str(), p.mask);
        if (info == nullptr) {
            ok = false;
            return;
        }
        RECT source = p.source;
        if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) {
            source = RECT{0, 0, info->width, info->height};
        }
        source.right = std::min(source.right, info->width);
        source.bottom = std::min(source.bottom, info->height);
        // Only where the destination meets both the control and the paint rectangle.
        const RECT visible = IntersectRect(IntersectRect(p.dest, rcItem), rcPaint);
        if (IsRectEmpty(visible)) {
            return;
        }
        DrawImage(hDC, info->bitmap, p.dest, visible, source, p.corners, info->alphaChannel, p.fade,
                  p.hole, p.xTiled, p.yTiled);
    };
    ImageDrawParams params;
    CImageDescParser::SetDefaults(params, image, rcItem);
    CImageDescParser::Parse(image, rcItem, params, draw);
    CImageDescParser::Parse(modify, rcItem, params, draw);
    draw(params);
    return ok;
}

void CUIRender::DrawColor(plat::HDC hDC, const RECT& rc, uint32_t color) {
    const uint32_t alpha = color >> 24;
    if (hDC == nullptr || alpha == 0 || IsRectEmpty(rc)) {
        return;
    }
    if (alpha == 255) {
        hDC->FillRect(rc, ToColorRef(color));
        return;
    }
    // A translucent colour is a 1x1 image stretched over the rectangle. The blend takes
    // premultiplied pixels, so the colour is premultiplied first.
    auto premultiply = [alpha](uint32_t channel) { return channel * alpha / 255; };
    const uint32_t pixel = (alpha << 24) | (premultiply((color >> 16) & 0xFF) << 16) |
                           (premultiply((color >> 8) & 0xFF) << 8) | premultiply(color & 0xFF);
    plat::Bitmap dot(1, 1, pixel);
    DrawImage(hDC, dot, rc, rc, RECT{0, 0, 1, 1}, RECT{}, true, 255);
}

void CUIRender::DrawGradient(plat::HDC hDC, const RECT& rc, uint32_t first, uint32_t second,
                             bool vertical, int steps) {
    // The platform fills two-colour gradients top to bottom, whatever the direction asked.
    (void)vertical;
    (void)steps;
    const uint32_t opacity = ((first >> 24) + (second >> 24)) / 2;
    if (hDC == nullptr || opacity == 0 || IsRectEmpty(rc)) {
        return;
    }
    const uint32_t top = first | 0xFF000000u;
    const uint32_t bottom = second | 0xFF000000u;
    if (opacity == 255) {
        hDC->GradientFillV(rc, top, bottom);
        return;
    }
    // The off-screen bitmap covers only what can be seen: the gradient still spans the whole
    // rectangle, drawn through an origin that puts the visible part at the bitmap's corner.
    const RECT visible = IntersectRect(rc, hDC->GetClipBox());
    if (IsRectEmpty(visible)) {
        return;
    }
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;
    plat::Bitmap offscreen(width, height);
    plat::Canvas canvas(offscreen);
    canvas.SetOrigin(-visible.left, -visible.top);
    canvas.GradientFillV(rc, top, bottom);
    hDC->AlphaBlend(visible, offscreen, RECT{0, 0, width, height}, static_cast<uint8_t>(opacity));
}

void CUIRender::DrawLine(plat::HDC hDC, const RECT& rc, int size, uint32_t color, int style) {
    if (hDC == nullptr) {
        return;
    }
    hDC->Line(plat::POINT{rc.left, rc.top}, plat::POINT{rc.right, rc.bottom}, size,
              ToColorRef(color), style);
}

void CUIRender::DrawRect(plat::HDC hDC, const RECT& rc, int size, uint32_t color) {
    if (hDC == nullptr) {
        return;
    }
    hDC->FrameRect(rc, size, ToColorRef(color));
}

void CUIRender::DrawRoundRect(plat::HDC hDC, const RECT& rc, int width, int ellipseWidth,
                              int ellipseHeight, uint32_t color) {
    if (hDC == nullptr) {
        return;
    }
    hDC->RoundFrameRect(rc, width, ellipseWidth, ellipseHeight, ToColorRef(color));
}

CRenderClip::CRenderClip(plat::HDC hDC, const RECT& rc) : m_hDC(hDC) {
    if (m_hDC != nullptr) {
        m_saved = m_hDC->SaveClip();
        m_hDC->IntersectClip(rc);
    }
}

CRenderClip::CRenderClip(plat::HDC hDC, const RECT& rc, const RECT& rcControl, int ellipseWidth,
                         int ellipseHeight)
    : m_hDC(hDC) {
    if (m_hDC != nullptr) {
        m_saved = m_hDC->SaveClip();
        m_hDC->IntersectClip(rc);
        // The rounded region covers the control's rectangle including its right and bottom.
        RECT round{rcControl.left, rcControl.top, rcControl.right + 1, rcControl.bottom + 1};
        m_hDC->IntersectRoundClip(round, ellipseWidth, ellipseHeight);
    }
}

CRenderClip::~CRenderClip() {
    if (m_hDC != nullptr) {
        m_hDC->RestoreClip(m_saved);
    }
}

} // namespace Pane
