#pragma once
// A drawing context on one Bitmap: the stand-in for a device context. It keeps an origin (added
// to every coordinate, like a viewport origin), a clip (a rectangle narrowed further by
// rounded-rectangle clips) and the text state (selected font, text colour, background mode).
// Every operation writes only inside both the clip and the bitmap. The canvas does not own the
// bitmap, which must outlive it. One thread at a time.

#include "platform/base/WinTypes.h"
#include "platform/gfx/Bitmap.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace plat {

struct FontObject;
using HFONT = FontObject*;

// Pen styles of Line, with the values of the Windows pen styles.
enum PenStyle : int {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
};

// Background modes of text output.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

class Canvas;
using HDC = Canvas*;

// The clip of a canvas, in bitmap (device) coordinates: a rectangle, optionally narrowed row by
// row (spans[i] is the allowed [left, right) of row box.top + i) after rounded clips.
struct ClipState {
    RECT box;
    std::vector<std::pair<int, int>> spans; // empty: the whole box
};

class Canvas {
public:
    explicit Canvas(Bitmap& target);

    Bitmap& Target() { return m_target; }
    const Bitmap& Target() const { return m_target; }
    int Width() const { return m_target.width; }
    int Height() const { return m_target.height; }

    // Origin: the device position of logical (0, 0). Returns the previous origin.
    POINT SetOrigin(POINT origin);
    POINT SetOrigin(int x, int y) { return SetOrigin(POINT{x, y}); }
    POINT GetOrigin() const { return m_origin; }

    // Clip, in logical coordinates. IntersectClip narrows the clip to the rectangle and returns
    // false when nothing is left. IntersectRoundClip narrows it to a rounded rectangle whose
    // corners are quarter ellipses of the given width and height (pixels whose centre lies
    // inside are kept). ResetClip opens it to the whole bitmap.
    bool IntersectClip(const RECT& rc);
    bool IntersectRoundClip(const RECT& rc, int ellipseWidth, int ellipseHeight);
    void ResetClip();
    RECT GetClipBox() const; // logical; empty when nothing is drawable
    bool ClipIsEmpty() const;
    ClipState SaveClip() const { return m_clip; }
    void RestoreClip(const ClipState& state) { m_clip = state; }
    const ClipState& DeviceClip() const { return m_clip; }

    // Restores the clip it found when it goes out of scope.
    class ClipSaver {
    public:
        explicit ClipSaver(Canvas& canvas) : m_canvas(canvas), m_saved(canvas.SaveClip()) {}
        ~ClipSaver() { m_canvas.RestoreClip(m_saved); }
        ClipSaver(const ClipSaver&) = delete;
        ClipSaver& operator=(const ClipSaver&) = delete;

    private:
        Canvas& m_canvas;
        ClipState m_saved;
    };

    // Opaque fill: every pixel becomes the colour with alpha 255.
    void FillRect(const RECT& rc, COLORREF colour);
    // Copies a w x h block of the source starting at (sx, sy) to (x, y), all four channels.
    void BitBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy);
    // Copies the source part stretched over the destination (bilinear when the size differs).
    void StretchBlt(const RECT& dest, const Bitmap& src, const RECT& srcPart);
    // Blends the source part (premultiplied, per-pixel alpha) over the destination, scaled by
    // the constant opacity (255 = as is), stretched bilinearly when the sizes differ.
    void AlphaBlend(const RECT& dest, const Bitmap& src, const RECT& srcPart, BYTE opacity);
    // Vertical gradient from top to bottom. Colours are 0xAARRGGBB; all four channels are
    // interpolated and the result is stored premultiplied (opaque colours give opaque pixels).
    void GradientFillV(const RECT& rc, uint32_t topArgb, uint32_t bottomArgb);
    // Blends a premultiplied 0xAARRGGBB colour over the rectangle.
    void BlendRect(const RECT& rc, uint32_t premultipliedArgb);

    // A line of the given width from `from` towards `to` (the end point is not drawn, as with a
    // pen in GDI). Widths above 1 are drawn as square-ended strokes centred on the line.
    void Line(POINT from, POINT to, int width, COLORREF colour, int penStyle = PS_SOLID);
    // Outlines that stay inside the rectangle: `width` pixels thick.
    void FrameRect(const RECT& rc, int width, COLORREF colour);
    void RoundFrameRect(const RECT& rc, int width, int ellipseWidth, int ellipseHeight,
                        COLORREF colour);

    // Blends a coverage mask (0..255 per pixel, `stride` bytes a row) whose top-left is at the
    // logical point (x, y) in a premultiplied colour. Text is drawn with it.
    void BlendMask(int x, int y, const uint8_t* mask, int w, int h, int stride,
                   uint32_t premultipliedArgb);

    // Text state, used by DrawText, TextOut and the extent functions.
    HFONT SelectFont(HFONT font); // returns the previous font; null selects the default font
    HFONT GetFont() const { return m_font; }
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_bkColour; }
    int SetBkMode(int mode); // TRANSPARENT or OPAQUE; returns the previous mode
    int GetBkMode() const { return m_bkMode; }

    // Device rectangle of a logical one (origin added), not clipped.
    RECT ToDevice(const RECT& rc) const;
    // The part of a device rectangle that lies inside the clip box and the bitmap.
    RECT ClipDeviceRect(const RECT& deviceRect) const;
    // The allowed [left, right) of device row y inside the clip (left >= right when none).
    std::pair<int, int> RowSpan(int y) const;

private:
    template <typename RowFn>
    void ForEachSpan(const RECT& deviceRect, RowFn&& fn);
    void BlendSameSize(const RECT& dest, const Bitmap& src, const RECT& srcPart, BYTE opacity);
    template <typename PixelFn>
    void Stretch(const RECT& dest, const Bitmap& src, const RECT& srcPart, PixelFn&& put);

    Bitmap& m_target;
    POINT m_origin;
    ClipState m_clip;
    HFONT m_font = nullptr;
    COLORREF m_textColour = 0;
    COLORREF m_bkColour = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
};

// Windows-shaped helpers for code written against a device context.
inline HFONT SelectFont(HDC dc, HFONT font) {
    return dc ? dc->SelectFont(font) : nullptr;
}
inline COLORREF SetTextColor(HDC dc, COLORREF colour) {
    return dc ? dc->SetTextColor(colour) : 0;
}
inline COLORREF SetBkColor(HDC dc, COLORREF colour) {
    return dc ? dc->SetBkColor(colour) : 0;
}
inline int SetBkMode(HDC dc, int mode) {
    return dc ? dc->SetBkMode(mode) : 0;
}

// 0xAARRGGBB -> premultiplied 0xAARRGGBB (channel * alpha / 255, rounded).
uint32_t Premultiply(uint32_t argb);
// An opaque premultiplied pixel of a COLORREF (0x00BBGGRR).
constexpr uint32_t PixelOf(COLORREF c) {
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

} // namespace plat
