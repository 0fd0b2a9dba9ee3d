#include "platform/gfx/Image.h"

#include "platform/sys/File.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

// The decoder is compiled here only, limited to PNG: the limits below keep the decoder's known
// overflow and endless-loop faults on hostile input out of reach.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 4096
#define STBI_NO_FAILURE_STRINGS
#include "stb_image.h"

// The encoder, for screenshots of windows; static so that tools with their own copy still link.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace plat {

namespace {

bool Fail(std::string* error, const char* message) {
    if (error)
        *error = message;
    return false;
}

uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool IsChunk(const uint8_t* chunk, const char* type) {
    return std::memcmp(chunk + 4, type, 4) == 0;
}

// Walks the chunks up to the end chunk before the decoder sees them. A chunk that claims more
// bytes than the file holds makes the decoder reserve that much memory (up to gigabytes) before
// it finds the data missing, so such files are refused here. The decoder also copies an empty
// image-data chunk from a null buffer; such chunks carry nothing, so when there are any a copy
// of the file without them goes to the decoder (`fixed`, left empty otherwise).
bool CheckChunks(const uint8_t* data, std::size_t size, std::vector<uint8_t>* fixed) {
    constexpr std::size_t kSignature = 8;
    if (size < kSignature)
        return true; // the decoder refuses it
    bool emptyData = false;
    std::size_t pos = kSignature;
    for (;;) {
        if (size - pos < 12)
            return false;
        const uint32_t length = ReadBE32(data + pos);
        if (length > size - pos - 12)
            return false;
        emptyData |= length == 0 && IsChunk(data + pos, "IDAT");
        const bool last = IsChunk(data + pos, "IEND");
        pos += 12 + length;
        if (last)
            break;
    }
    if (!emptyData)
        return true;
    fixed->assign(data, data + kSignature);
    for (std::size_t at = kSignature; at < pos;) {
        const uint32_t length = ReadBE32(data + at);
        if (!(length == 0 && IsChunk(data + at, "IDAT")))
            fixed->insert(fixed->end(), data + at, data + at + 12 + length);
        at += 12 + length;
    }
    return true;
}

} // namespace

bool DecodePngRgba(const void* data, std::size_t size, RgbaImage* out, std::string* error) {
    if (!out)
        return Fail(error, "no output");
    *out = RgbaImage{};
    if (!data || size == 0)
        return Fail(error, "no data");
    if (size > static_cast<std::size_t>(INT_MAX))
        return Fail(error, "data too large");
    const auto* bytes = static_cast<const stbi_uc*>(data);
    std::vector<uint8_t> fixed;
    if (!CheckChunks(bytes, size, &fixed))
        return Fail(error, "truncated PNG data");
    if (!fixed.empty()) {
        bytes = fixed.data();
        size = fixed.size();
    }
    const int len = static_cast<int>(size);
    int w = 0, h = 0, comp = 0;
    // Check the header first, so no pixel buffer is allocated for an image we would refuse.
    if (!stbi_info_from_memory(bytes, len, &w, &h, &comp))
        return Fail(error, "not a PNG image");
    if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide)
        return Fail(error, "image dimensions out of range");
    if (stbi_is_16_bit_from_memory(bytes, len))
        return Fail(error, "16-bit images are not supported");
    int dw = 0, dh = 0, dcomp = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(bytes, len, &dw, &dh, &dcomp, 4), stbi_image_free);
    if (!pixels)
        return Fail(error, "corrupt PNG data");
    if (dw != w || dh != h)
        return Fail(error, "inconsistent PNG header");
    out->width = w;
    out->height = h;
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    out->rgba.assign(pixels.get(), pixels.get() + n);
    return true;
}

bool DecodePng(const void* data, std::size_t size, Bitmap* out, bool* hasAlpha, std::string* error,
               uint32_t mask) {
    if (hasAlpha)
        *hasAlpha = false;
    if (!out)
        return Fail(error, "no output");
    RgbaImage img;
    if (!DecodePngRgba(data, size, &img, error)) {
        *out = Bitmap{};
        return false;
    }
    Bitmap bmp(img.width, img.height);
    bool alpha = false;
    const uint8_t* p = img.rgba.data();
    for (uint32_t& px : bmp.pixels) {
        uint32_t r = p[0], g = p[1], b = p[2], a = p[3];
        p += 4;
        if (a < 255) {
            alpha = true;
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
        }
        px = (a << 24) | (r << 16) | (g << 8) | b;
        if (mask != 0 && px == mask) {
            px = 0;
            alpha = true;
        }
    }
    *out = std::move(bmp);
    if (hasAlpha)
        *hasAlpha = alpha;
    return true;
}

bool LoadImageFile(const std::string& path, Bitmap* out, bool* hasAlpha, std::string* error,
                   uint32_t mask) {
    if (hasAlpha)
        *hasAlpha = false;
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, &bytes))
        return Fail(error, "cannot read file");
    return DecodePng(bytes.data(), bytes.size(), out, hasAlpha, error, mask);
}

bool WritePngFile(const std::string& path, const Bitmap& bitmap) {
    if (bitmap.Empty() || path.empty())
        return false;
    std::vector<uint8_t> rgba(static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
    uint8_t* out = rgba.data();
    for (uint32_t premultiplied : bitmap.pixels) {
        const uint32_t p = Unpremultiply(premultiplied);
        *out++ = static_cast<uint8_t>(p >> 16);
        *out++ = static_cast<uint8_t>(p >> 8);
        *out++ = static_cast<uint8_t>(p);
        *out++ = static_cast<uint8_t>(p >> 24);
    }
    return stbi_write_png(path.c_str(), bitmap.width, bitmap.height, 4, rgba.data(),
                          bitmap.width * 4) != 0;
}

} // namespace plat
