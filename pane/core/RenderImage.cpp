// Image loading of the render engine: embedded resources or files, decoded to premultiplied
// pixels, with the mask colour cleared.
#include "pane/core/Render.h"

#include "pane/core/ResourcePath.h"
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"
#include "platform/sys/Resource.h"

#include <string>
#include <vector>

namespace Pane {

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
    // Files larger than the default cap are not images the framework draws; the cap also keeps
    // devices and endless streams named as "files" from being read.
    std::vector<uint8_t> bytes;
    if (!plat::ReadFileBytes(std::string(GetResourcePath().GetData()) + name, &bytes) &&
        !plat::ReadFileBytes(name, &bytes)) {
        return nullptr;
    }
    return LoadImageFromMemory(bytes.data(), bytes.size(), mask);
}

std::unique_ptr<ImageInfo> CUIRender::LoadImageFromMemory(const uint8_t* data, size_t size,
                                                          uint32_t mask) {
    if (data == nullptr || size == 0) {
        return nullptr;
    }
    auto image = std::make_unique<ImageInfo>();
    if (!plat::DecodePng(data, size, &image->bitmap, &image->alphaChannel, nullptr, mask)) {
        return nullptr;
    }
    image->width = image->bitmap.width;
    image->height = image->bitmap.height;
    image->mask = mask;
    return image;
}

} // namespace Pane
