// Image loading of the render engine: embedded resources or files, decoded to premultiplied
// pixels, with the mask colour cleared.
#include "pane/core/Render.h"

#include "pane/core/ResourcePath.h"
#include "platform/gfx/Image.h"
#include "platform/sys/Resource.h"

#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace Pane {

namespace {

// Larger files are not images the framework draws; refusing them also keeps devices and
// endless streams named as "files" from being read.
constexpr long long kMaxImageFileBytes = 64LL * 1024 * 1024;

bool ReadImageFile(const std::string& path, std::vector<uint8_t>& bytes) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size <= 0 || info.st_size > kMaxImageFileBytes) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.resize(static_cast<size_t>(info.st_size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return !bytes.empty();
}

} // namespace

std::unique_ptr<ImageInfo> CUIRender::LoadImage(const char* name, const char* type, uint32_t mask) {
    if (name == nullptr || *name == '\0') {
        return nullptr;
    }
    const bool resource = type != nullptr && *type != '\0';
    if (resource) {
        // A resource name is a decimal number, kept to 16 bits.
        if (*name < '0' || *name > '9') {
            return nullptr;
        }
        unsigned number = 0;
        for (const char* p = name; *p >= '0' && *p <= '9'; ++p) {
            number = (number * 10 + static_cast<unsigned>(*p - '0')) & 0xFFFF;
        }
        // Embedded resources live as long as the program: decoded in place, not copied.
        const plat::ResourceData data = plat::FindResource(static_cast<int>(number), type);
        if (data.Empty()) {
            return nullptr;
        }
        auto image = LoadImageFromMemory(data.data, data.size, mask);
        if (image != nullptr) {
            image->resType = type;
        }
        return image;
    }
    std::vector<uint8_t> bytes;
    if (!ReadImageFile(std::string(GetResourcePath().GetData()) + name, bytes) &&
        !ReadImageFile(name, bytes)) {
        return nullptr;
    }
    return LoadImageFromMemory(bytes.data(), bytes.size(), mask);
}

std::unique_ptr<ImageInfo> CUIRender::LoadImageFromMemory(const uint8_t* data, size_t size,
                                                          uint32_t mask) {
    if (data == nullptr || size == 0) {
        return nullptr;
    }
    plat::RgbaImage decoded;
    if (!plat::DecodePngRgba(data, size, &decoded)) {
        return nullptr;
    }
    const int width = decoded.width;
    const int height = decoded.height;
    const uint8_t* rgba = decoded.rgba.data();
    auto image = std::make_unique<ImageInfo>();
    image->width = width;
    image->height = height;
    image->mask = mask;
    image->bitmap = plat::Bitmap(width, height);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    bool alpha = false;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t r = rgba[i * 4 + 0];
        const uint32_t g = rgba[i * 4 + 1];
        const uint32_t b = rgba[i * 4 + 2];
        const uint32_t a = rgba[i * 4 + 3];
        uint32_t pixel = 0;
        if (a == 255) {
            pixel = 0xFF000000u | (r << 16) | (g << 8) | b;
        } else {
            pixel = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
            alpha = true;
        }
        // The mask compares the stored pixel, so it names a colour as the image holds it.
        if (mask != 0 && pixel == mask) {
            pixel = 0;
            alpha = true;
        }
        image->bitmap.pixels[i] = pixel;
    }
    image->alphaChannel = alpha;
    return image;
}

} // namespace Pane
