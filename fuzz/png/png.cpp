// Feeds arbitrary bytes to the PNG decoder: it must refuse or decode without faults, and a
// decoded image must be within the size limits with premultiplied pixels.
#include "platform/gfx/Image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::Bitmap bmp;
    bool alpha = false;
    if (plat::DecodePng(data, size, &bmp, &alpha)) {
        if (bmp.width <= 0 || bmp.height <= 0 || bmp.width > plat::kMaxImageSide ||
            bmp.height > plat::kMaxImageSide ||
            bmp.pixels.size() != static_cast<size_t>(bmp.width) * bmp.height)
            std::abort();
        for (uint32_t px : bmp.pixels) {
            const uint32_t a = px >> 24;
            if (((px >> 16) & 0xFF) > a || ((px >> 8) & 0xFF) > a || (px & 0xFF) > a)
                std::abort();
            if (a < 255 && !alpha)
                std::abort();
        }
    }
    return 0;
}
