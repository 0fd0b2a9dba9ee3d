#pragma once
// The rasterising side of fonts, shared by the extent functions and the text output: glyph
// images by (font, character), cached for the life of the process. Every call here must be made
// while holding the lock returned by LockFonts().

#include "platform/gfx/Font.h"

#include <cstdint>
#include <mutex>

namespace plat::font {

// One rendered glyph: an 8-bit coverage image placed relative to the pen position on the
// baseline (left = x offset, top = distance from the baseline up to the first row).
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;                   // whole pixels
    const uint8_t* coverage = nullptr; // width * height bytes, null when empty
};

std::unique_lock<std::recursive_mutex> LockFonts();

// The glyph that draws `codepoint` in the font, taken from the first face of the font's chain
// that has the character (the first face's missing-glyph box when none has it). Never null.
const Glyph* GetGlyph(HFONT font, uint32_t codepoint, bool antiAlias = true);

// Underline placement below the baseline and its thickness, in pixels.
struct LineMetrics {
    int ascent = 0;
    int height = 0;
    int externalLeading = 0;
    int underlineOffset = 1;
    int underlineThickness = 1;
    int aveCharWidth = 0;
};
LineMetrics GetLineMetrics(HFONT font);

// The font to use for a handle that may be null (the default GUI font).
HFONT Resolve(HFONT font);

} // namespace plat::font
