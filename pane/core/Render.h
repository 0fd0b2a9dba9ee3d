#pragma once
// CUIRender: the framework's stateless drawing operations on a device context, used by every
// control's paint steps — images by description and nine-patch, colour fills and gradients,
// lines and frames, plain and formatted text, colour adjustment. UI thread only (the host's
// tables are not locked).

#include "platform/Bitmap.h"
#include "platform/WinTypes.h"

#include <cstdint>

namespace plat {
class Canvas;
using HDC = Canvas*;
} // namespace plat

namespace Pane {

class IRenderHost;
class CUIString;
struct ImageInfo;

class CUIRender {
public:
    // Colours are ARGB; the platform takes 0x00BBGGRR, so red and blue swap and alpha drops.
    static plat::COLORREF ToColorRef(uint32_t argb) {
        return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
    }

    // Returns the colour with its hue turned by (hue - 180) degrees and saturation and lightness
    // scaled by saturation / 100 and lightness / 100; 180, 100, 100 returns it unchanged.
    static uint32_t AdjustColor(uint32_t color, short hue, short saturation, short lightness);
};

} // namespace Pane
