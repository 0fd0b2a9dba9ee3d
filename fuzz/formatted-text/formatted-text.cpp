// Fuzzes the formatted-text tags and layout: the input is drawn, measured and drawn centred
// into a small bitmap, with links recorded, from an in-memory image table.
#include "pane/core/Render.h"
#include "pane/core/RenderResources.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Text.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

class TableOnlyHost : public Pane::CRenderResources {
public:
    TableOnlyHost() {
        auto image = std::make_unique<Pane::ImageInfo>();
        image->bitmap = plat::Bitmap(12, 6, 0xFF204080);
        image->width = 12;
        image->height = 6;
        AddImage("img", std::move(image));
    }
    const Pane::ImageInfo* GetImageEx(const char* name, const char*, uint32_t) override {
        return GetImage(name);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) {
        return 0;
    }
    // A new host each run keeps the font table from growing across inputs.
    TableOnlyHost host;
    std::string text(reinterpret_cast<const char*>(data), size);
    plat::Bitmap bitmap(64, 40, 0xFFFFFFFF);
    plat::Canvas canvas(bitmap);
    plat::RECT links[4] = {};
    Pane::CUIString names[4];
    const plat::UINT styles[] = {plat::DT_WORDBREAK, plat::DT_CALCRECT | plat::DT_WORDBREAK,
                                 plat::DT_CENTER | plat::DT_VCENTER | plat::DT_SINGLELINE,
                                 plat::DT_END_ELLIPSIS | plat::DT_BOTTOM | plat::DT_RIGHT};
    for (plat::UINT style : styles) {
        plat::RECT rc{3, 2, 60, 38};
        int count = 4;
        host.SetMousePos(plat::POINT{links[0].left, links[0].top});
        Pane::CUIRender::DrawHtmlText(&canvas, &host, rc, text.c_str(), 0xFF000000, links, names,
                                      count, style);
        if (count < 0 || count > 4) {
            __builtin_trap();
        }
    }
    return 0;
}
