// Fuzzes the image description language: the bytes up to the first newline are the
// description, the rest its modifier; both are drawn into a small bitmap from an in-memory
// image table (nothing is read from disk).
#include "pane/core/Render.h"
#include "pane/core/RenderResources.h"
#include "platform/gfx/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

class TableOnlyHost : public Pane::CRenderResources {
public:
    TableOnlyHost() {
        for (const char* name : {"a", "174", "b.png"}) {
            auto image = std::make_unique<Pane::ImageInfo>();
            image->bitmap = plat::Bitmap(7, 5, 0x80402010);
            image->width = 7;
            image->height = 5;
            image->alphaChannel = true;
            AddImage(name, std::move(image));
        }
    }
    const Pane::ImageInfo* GetImageEx(const char* name, const char*, uint32_t) override {
        return GetImage(name);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TableOnlyHost host;
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string modify;
    const size_t newline = input.find('\n');
    if (newline != std::string::npos) {
        modify = input.substr(newline + 1);
        input.resize(newline);
    }
    plat::Bitmap bitmap(16, 12, 0xFF000000);
    plat::Canvas canvas(bitmap);
    const plat::RECT item{2, 1, 14, 11};
    const plat::RECT paint{0, 0, 16, 12};
    Pane::CUIRender::DrawImageString(&canvas, &host, item, paint, input.c_str(),
                                     modify.empty() ? nullptr : modify.c_str());
    return 0;
}
