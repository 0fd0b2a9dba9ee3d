#pragma once
// Text output on a canvas: DrawText with the Windows DT_* flags, TextOut, and the gradient-brush
// text that labels use for their effect mode. Text is UTF-8; bytes that do not form a character
// are drawn as U+FFFD. The font is the canvas's selected font (the default GUI font when none).

#include "platform/base/WinTypes.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Font.h"

#include <cstdint>

namespace plat {

constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_TABSTOP = 0x80;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_EXTERNALLEADING = 0x200;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_INTERNAL = 0x1000;
constexpr UINT DT_EDITCONTROL = 0x2000;
constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr UINT DT_MODIFYSTRING = 0x10000;
constexpr UINT DT_RTLREADING = 0x20000;
constexpr UINT DT_WORD_ELLIPSIS = 0x40000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x80000;
constexpr UINT DT_HIDEPREFIX = 0x100000;
constexpr UINT DT_PREFIXONLY = 0x200000;

// Draws (or with DT_CALCRECT measures) UTF-8 text in the rectangle (logical coordinates).
// len < 0: up to the terminating zero. Without DT_NOPREFIX an '&' underlines the next character
// and "&&" draws one '&'. With DT_CALCRECT nothing is drawn: the rectangle's right and bottom
// are set to the text's extent (its width is kept as the wrapping width with DT_WORDBREAK).
// Returns the height of the text, 0 on failure.
int DrawText(HDC dc, const char* utf8, int len, RECT* rc, UINT format);

// Draws one line of text with its top-left at (x, y); with the OPAQUE background mode the
// text's cell is filled with the background colour first.
BOOL TextOut(HDC dc, int x, int y, const char* utf8, int len);

// Gradient-brush text (the label's effect mode).
struct RectF {
    float x = 0, y = 0, width = 0, height = 0;
};

enum class StringAlignment { Near = 0, Center = 1, Far = 2 };

// A linear gradient brush: colour `argbFrom` at point `from`, `argbTo` at `to` (0xAARRGGBB, not
// premultiplied), repeated (tiled) beyond the two points along their direction.
struct LinearGradientBrush {
    POINT from;
    POINT to;
    uint32_t argbFrom = 0xFF000000;
    uint32_t argbTo = 0xFF000000;
};

struct StringFormat {
    StringAlignment alignment = StringAlignment::Near;     // horizontal
    StringAlignment lineAlignment = StringAlignment::Near; // vertical
};

// Draws UTF-8 text inside the layout rectangle with the brush: lines wrap at word boundaries
// to the rectangle's width, the block is aligned both ways and clipped to the rectangle.
// `antiAlias` false draws hard-edged glyphs. Returns false when there is nothing to draw with.
bool DrawStringGradient(HDC dc, const char* utf8, int len, HFONT font, const RectF& layout,
                        const StringFormat& format, const LinearGradientBrush& brush,
                        bool antiAlias = true);

// The colour of the brush at a point (pixel centres are at +0.5), 0xAARRGGBB.
uint32_t BrushColourAt(const LinearGradientBrush& brush, float x, float y);

} // namespace plat
