#pragma once
// PNG decoding into pixels, from memory or from a file. Hostile input is refused cleanly:
// images above 4096 pixels a side, 16-bit images and truncated or malformed data give false.
// Safe on any thread.

#include "platform/gfx/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

constexpr int kMaxImageSide = 4096;

// Straight (not premultiplied) 8-bit R,G,B,A bytes, rows top-down.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width * height * 4
};

bool DecodePngRgba(const void* data, std::size_t size, RgbaImage* out,
                   std::string* error = nullptr);

// Decodes into a premultiplied Bitmap: channels with alpha below 255 become channel * alpha /
// 255 (integer). A non-zero `mask` names a colour as the decoded pixel holds it (0xAARRGGBB,
// premultiplied): every pixel equal to it becomes fully transparent. hasAlpha (optional) tells
// whether any pixel has alpha below 255 after masking.
bool DecodePng(const void* data, std::size_t size, Bitmap* out, bool* hasAlpha = nullptr,
               std::string* error = nullptr, uint32_t mask = 0);

// The file read whole (at most 64 MiB, regular files only) and decoded as DecodePng does.
bool LoadImageFile(const std::string& path, Bitmap* out, bool* hasAlpha = nullptr,
                   std::string* error = nullptr, uint32_t mask = 0);

// Writes a premultiplied bitmap as an 8-bit RGBA PNG file (alpha undone). False when the
// bitmap is empty or the file cannot be written.
bool WritePngFile(const std::string& path, const Bitmap& bitmap);

} // namespace plat
