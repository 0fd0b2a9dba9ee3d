#pragma once
// Fonts by (face, pixel size, bold, underline, italic), found through fontconfig and rasterised
// with FreeType. A face name that is not installed (a Windows name such as "微软雅黑" or "Tahoma")
// falls back to a Linux family and then to a Chinese-capable sans face; a character missing from
// the face is drawn from the next face that has it. Font files are opened once and shared.
// Handles are created and deleted on the UI thread; the shared font tables are guarded, so
// measuring from another thread is safe.

#include "platform/base/WinTypes.h"
#include "platform/gfx/Canvas.h"

#include <cstddef>
#include <string>

namespace plat {

struct FontSpec {
    std::string face; // family name; empty means the default face
    int size = 12;    // em height in pixels (Windows: height = -size)
    bool bold = false;
    bool underline = false;
    bool italic = false;

    bool operator==(const FontSpec&) const = default;
};

// Text metrics with the Windows meanings: height = ascent + descent, internal leading =
// height - em size, external leading = the face's recommended line gap.
struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 400;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
};

// A font object: never null for a valid spec while any face is installed. Returns null only when
// no face at all can be loaded.
HFONT CreateFont(const FontSpec& spec);
void DeleteFont(HFONT font);
// The description a font was created from (false for a null handle).
bool GetFontSpec(HFONT font, FontSpec* spec);
// The desktop's default GUI font description (used as the base of every framework font) and a
// shared font made from it, never deleted.
FontSpec GetDefaultGuiFontSpec();
HFONT GetDefaultGuiFont();

bool GetTextMetrics(HFONT font, TEXTMETRIC* metrics);
// Extent of UTF-8 text (len < 0: up to the terminating zero) on one line: cx = advance width,
// cy = font height. Measured through the same path the text is drawn with.
bool GetTextExtentPoint32(HFONT font, const char* utf8, int len, SIZE* size);

// The same on a canvas's selected font (the default GUI font when none is selected).
bool GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
bool GetTextExtentPoint32(HDC dc, const char* utf8, int len, SIZE* size);

// Path and collection index of the file that draws the spec's face (for tests and diagnostics).
bool GetFontFile(HFONT font, std::string* path, int* index);
// Bytes held by the glyph cache of every font (bitmaps and records).
std::size_t GetGlyphCacheBytes();

} // namespace plat
