// The cost of painting a main-window-sized scene with the render engine: 40 nine-patch
// images, 60 filled rectangles and 120 short Chinese and Latin text runs at 12 px.
#include "pane/core/Render.h"
#include "pane/core/RenderResources.h"
#include "pane/core/ResourcePath.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kWidth = 779;
constexpr int kHeight = 509;

// The program's own button pictures (embedded resources): normal, hot, pushed, disabled.
const char* const kButtons[] = {
    "res='160' restype='png' corner='2,2,2,2'", "res='161' restype='png' corner='2,2,2,2'",
    "res='162' restype='png' corner='2,2,2,2'", "res='169' restype='png' corner='2,2,2,2'"};

struct Scene {
    plat::Bitmap bitmap{kWidth, kHeight};
    plat::Canvas canvas{bitmap};
    Pane::CRenderResources host;

    Scene() { host.SetDefaultFont("微软雅黑", 12, false, false, false); }

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
            if (!Pane::CUIRender::DrawImageString(&canvas, &host, item, all, kButtons[i % 4])) {
                std::abort(); // the resources are not linked in: nothing would be measured
            }
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
    // Every font and glyph the scene met, after the first paint filled the cache.
    state.counters["glyph_cache_KiB"] = static_cast<double>(plat::GetGlyphCacheBytes()) / 1024.0;
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

// A cached 12-pixel run of 20 characters, Chinese and Latin mixed, through the engine's plain
// text call (font by index, no-prefix added, transparent background).
void BM_CachedTextRun20(benchmark::State& state) {
    Scene scene;
    const char* text = "串口设置 Port 38400 波特率"; // 20 characters
    const plat::RECT area{4, 4, 400, 24};
    plat::RECT first = area;
    Pane::CUIRender::DrawText(&scene.canvas, &scene.host, first, text, 0xFF000000, -1,
                              plat::DT_SINGLELINE | plat::DT_VCENTER); // fills the glyph cache
    for (auto _ : state) {
        plat::RECT rc = area;
        Pane::CUIRender::DrawText(&scene.canvas, &scene.host, rc, text, 0xFF000000, -1,
                                  plat::DT_SINGLELINE | plat::DT_VCENTER);
        benchmark::DoNotOptimize(scene.bitmap.pixels.data());
    }
    state.counters["glyph_cache_KiB"] = static_cast<double>(plat::GetGlyphCacheBytes()) / 1024.0;
}
BENCHMARK(BM_CachedTextRun20)->Unit(benchmark::kMicrosecond);

// Painting an image whose file is there but does not decode (64 KiB of noise): the failed
// load is remembered, so later paints neither read nor decode the file again.
void BM_BrokenImagePaint(benchmark::State& state) {
    char dir[] = "/tmp/render-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(dir) + "/broken.png";
    {
        std::ofstream file(path, std::ios::binary);
        for (int i = 0; i < 65536; ++i) {
            file.put(static_cast<char>(i * 7919 >> 3));
        }
    }
    Pane::SetResourcePath(dir);
    Scene scene;
    const plat::RECT item{0, 0, 80, 24};
    for (auto _ : state) {
        benchmark::DoNotOptimize(Pane::CUIRender::DrawImageString(
            &scene.canvas, &scene.host, item, item, "file='broken.png' corner='2,2,2,2'"));
    }
    Pane::SetResourcePath("");
    std::remove(path.c_str());
    ::rmdir(dir);
}
BENCHMARK(BM_BrokenImagePaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
