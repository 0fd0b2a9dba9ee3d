// The cost of painting a main-window-sized scene with the render engine: 40 nine-patch
// images, 60 filled rectangles and 120 short Chinese and Latin text runs at 12 px.
#include "pane/core/Render.h"
#include "pane/core/RenderResources.h"
#include "platform/Canvas.h"
#include "platform/Text.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kWidth = 779;
constexpr int kHeight = 509;

// A 45 x 17 button picture with a 1-pixel dark border, a lighter inside and soft corners.
std::unique_ptr<Pane::ImageInfo> MakeButton() {
    auto image = std::make_unique<Pane::ImageInfo>();
    image->width = 45;
    image->height = 17;
    image->bitmap = plat::Bitmap(45, 17);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 45; ++x) {
            const bool border = x == 0 || y == 0 || x == 44 || y == 16;
            const bool corner = (x == 0 || x == 44) && (y == 0 || y == 16);
            uint32_t pixel = border ? 0xFF3A5F8Fu : 0xFFDCE8F5u - static_cast<uint32_t>(y);
            if (corner) {
                pixel = 0x801D2F47u; // half transparent, premultiplied
            }
            image->bitmap.At(x, y) = pixel;
        }
    }
    image->alphaChannel = true;
    return image;
}

struct Scene {
    plat::Bitmap bitmap{kWidth, kHeight};
    plat::Canvas canvas{bitmap};
    Pane::CRenderResources host;

    Scene() {
        host.AddImage("button", MakeButton());
        host.SetDefaultFont("微软雅黑", 12, false, false, false);
    }

    void Paint() {
        const plat::RECT all{0, 0, kWidth, kHeight};
        Pane::CUIRender::DrawColor(&canvas, all, 0xFFF0F4F8);
        for (int i = 0; i < 60; ++i) {
            const int x = 10 + (i % 10) * 76;
            const int y = 10 + (i / 10) * 80;
            const uint32_t color = (i % 3 == 0) ? 0x80306090u : 0xFFE0E8F0u + i;
            Pane::CUIRender::DrawColor(&canvas, plat::RECT{x, y, x + 70, y + 30}, color);
        }
        for (int i = 0; i < 40; ++i) {
            const int x = 12 + (i % 8) * 95;
            const int y = 50 + (i / 8) * 90;
            const plat::RECT item{x, y, x + 80, y + 24};
            Pane::CUIRender::DrawImageString(&canvas, &host, item, all,
                                             "file='button' corner='3,3,3,3'");
        }
        static const char* const kTexts[] = {"端口设置", "Baud rate", "发射频率", "Connect",
                                             "读取参数", "Write",     "信道 1",   "430.125 MHz"};
        for (int i = 0; i < 120; ++i) {
            const int x = 8 + (i % 12) * 64;
            const int y = 20 + (i / 12) * 48;
            plat::RECT rc{x, y, x + 62, y + 18};
            Pane::CUIRender::DrawText(&canvas, &host, rc, kTexts[i % 8], 0xFF202020, -1,
                                      plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_CENTER);
        }
    }
};

void BM_PaintMainWindowScene(benchmark::State& state) {
    Scene scene;
    scene.Paint(); // the glyph and image caches are warm, as after the window's first paint
    for (auto _ : state) {
        scene.Paint();
        benchmark::DoNotOptimize(scene.bitmap.pixels.data());
    }
}
BENCHMARK(BM_PaintMainWindowScene)->Unit(benchmark::kMillisecond);

void BM_FormattedTextLine(benchmark::State& state) {
    Scene scene;
    plat::RECT links[8] = {};
    Pane::CUIString names[8];
    for (auto _ : state) {
        plat::RECT rc{10, 10, 400, 40};
        int count = 8;
        Pane::CUIRender::DrawHtmlText(
            &scene.canvas, &scene.host, rc,
            "状态 <b>OK</b> {c #FF008000}写入成功{/c} <a more>Details</a>", 0xFF000000, links,
            names, count, plat::DT_SINGLELINE);
    }
}
BENCHMARK(BM_FormattedTextLine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
