#pragma once
// CUIRender: the framework's stateless drawing operations on a device context, used by every
// control's paint steps — images by description and nine-patch, colour fills and gradients,
// lines and frames, plain and formatted text, colour adjustment. UI thread only (the host's
// tables are not locked).

#include "pane/core/RenderHost.h"
#include "platform/base/WinTypes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Pane {

class CUIRender {
public:
    // Colours are ARGB; the platform takes 0x00BBGGRR, so red and blue swap and alpha drops.
    static plat::COLORREF ToColorRef(uint32_t argb) {
        return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
    }

    // Loads an image: with a resource type, resource number name (decimal, 16 bits) from the
    // program's embedded resources; without, the file under the resource path, then the name
    // itself as a path. Null when nothing can be read or decoded.
    static std::unique_ptr<ImageInfo> LoadImage(const char* name, const char* type = nullptr,
                                                uint32_t mask = 0);
    // Decodes PNG bytes into a premultiplied image, clearing pixels equal to mask.
    static std::unique_ptr<ImageInfo> LoadImageFromMemory(const uint8_t* data, size_t size,
                                                          uint32_t mask = 0);

    // The nine-patch primitive: draws rcBmpPart of bitmap into rc, only inside rcPaint, with
    // fixed borders rcCorners; the middle is stretched, tiled, or left out (hole).
    static void DrawImage(plat::HDC hDC, const plat::Bitmap& bitmap, const plat::RECT& rc,
                          const plat::RECT& rcPaint, const plat::RECT& rcBmpPart,
                          const plat::RECT& rcCorners, bool alphaChannel, uint8_t fade = 255,
                          bool hole = false, bool xTiled = false, bool yTiled = false);

    // Draws the image(s) an image description names, modified by a second description. False
    // when the arguments are missing or an image cannot be had.
    static bool DrawImageString(plat::HDC hDC, IRenderHost* host, const plat::RECT& rcItem,
                                const plat::RECT& rcPaint, const char* image,
                                const char* modify = nullptr);

    static void DrawColor(plat::HDC hDC, const plat::RECT& rc, uint32_t color);
    // Top-to-bottom gradient; the opacity is the mean of both colours' alpha.
    static void DrawGradient(plat::HDC hDC, const plat::RECT& rc, uint32_t first, uint32_t second,
                             bool vertical, int steps);

    // A line from the rectangle's left/top to its right/bottom.
    static void DrawLine(plat::HDC hDC, const plat::RECT& rc, int size, uint32_t color,
                         int style = plat::PS_SOLID);
    static void DrawRect(plat::HDC hDC, const plat::RECT& rc, int size, uint32_t color);
    static void DrawRoundRect(plat::HDC hDC, const plat::RECT& rc, int width, int ellipseWidth,
                              int ellipseHeight, uint32_t color);

    // Plain text in the host's font of that index; DT_NOPREFIX is always added.
    static void DrawText(plat::HDC hDC, IRenderHost* host, plat::RECT& rc, const char* text,
                         uint32_t color, int font, plat::UINT style);
    // Text with inline tags ("<b>", "{c #FFFF0000}", "<a name>", ...). Links found are stored
    // in links / linkNames, at most linkCount of them; linkCount returns how many.
    static void DrawHtmlText(plat::HDC hDC, IRenderHost* host, plat::RECT& rc, const char* text,
                             uint32_t color, plat::RECT* links, CUIString* linkNames,
                             int& linkCount, plat::UINT style);

    // Returns the colour with its hue turned by (hue - 180) degrees and saturation and lightness
    // scaled by saturation / 100 and lightness / 100; 180, 100, 100 returns it unchanged.
    static uint32_t AdjustColor(uint32_t color, short hue, short saturation, short lightness);
};

// A clip scope on the caller's stack: narrows the context's clip to a rectangle (optionally
// with round corners from the control's rectangle) until it ends.
class CRenderClip {
public:
    CRenderClip(plat::HDC hDC, const plat::RECT& rc);
    CRenderClip(plat::HDC hDC, const plat::RECT& rc, const plat::RECT& rcControl, int ellipseWidth,
                int ellipseHeight);
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

private:
    plat::HDC m_hDC;
    plat::ClipState m_saved;
};

} // namespace Pane
