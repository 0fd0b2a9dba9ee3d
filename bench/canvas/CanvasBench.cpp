// How fast the canvas fills, blends and draws text, at the main window's size (779 x 509).
// Run: bin/canvas_bench   (the glyph cache's memory is reported as a counter)
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace plat;

namespace {

constexpr int kWidth = 779;
constexpr int kHeight = 509;

const char* const kRuns[] = {
    "串口号:", "波特率:", " 38400",     "协议类型:", " TRIMTALK", "当前频道:",         "434.12500",
    "Connect", "读取",    "Write 写入", "工作模式:", " duplex",   "TX Frequency(MHZ)", "端口设置"};

// A cached 12-pixel run of 20 characters, Chinese and Latin mixed.
void BM_TextRun20(benchmark::State& state) {
    Bitmap bmp(kWidth, 40, 0xFFFFFFFF);
    Canvas canvas(bmp);
    HFONT font = CreateFont({"微软雅黑", 12});
    canvas.SelectFont(font);
    canvas.SetBkMode(TRANSPARENT);
    const char* text = "串口设置 Port 38400 波特率"; // 20 characters
    RECT rc{4, 4, 400, 24};
    DrawText(&canvas, text, -1, &rc, DT_SINGLELINE | DT_VCENTER); // fills the cache
    for (auto _ : state) {
        RECT r = rc;
        benchmark::DoNotOptimize(DrawText(&canvas, text, -1, &r, DT_SINGLELINE | DT_VCENTER));
    }
    state.counters["glyph_cache_KiB"] = static_cast<double>(GetGlyphCacheBytes()) / 1024.0;
    DeleteFont(font);
}
BENCHMARK(BM_TextRun20)->Unit(benchmark::kMicrosecond);

void BM_MeasureRun20(benchmark::State& state) {
    HFONT font = CreateFont({"微软雅黑", 12});
    const char* text = "串口设置 Port 38400 波特率";
    SIZE size;
    for (auto _ : state)
        benchmark::DoNotOptimize(GetTextExtentPoint32(font, text, -1, &size));
    DeleteFont(font);
}
BENCHMARK(BM_MeasureRun20)->Unit(benchmark::kMicrosecond);

// The window's frame without its images: a gradient background, 60 filled rectangles (a third
// of them translucent) and 120 short text runs in three fonts, through clip changes as the
// controls paint.
void BM_WindowFrame(benchmark::State& state) {
    Bitmap bmp(kWidth, kHeight);
    Canvas canvas(bmp);
    HFONT fonts[3] = {CreateFont({"微软雅黑", 12}), CreateFont({"微软雅黑", 13, true}),
                      CreateFont({"微软雅黑", 11})};
    canvas.SetBkMode(TRANSPARENT);
    auto frame = [&] {
        canvas.ResetClip();
        canvas.GradientFillV(RECT{0, 0, kWidth, kHeight}, 0xFFD1E8F5, 0xFFC6E0F1);
        for (int i = 0; i < 60; ++i) {
            const int x = (i * 97) % (kWidth - 120), y = (i * 53) % (kHeight - 30);
            RECT r{x, y, x + 40 + (i % 5) * 20, y + 20};
            if (i % 3 == 0)
                canvas.BlendRect(r, Premultiply(0xEEEEEEEE));
            else
                canvas.FillRect(r, RGB(0xFF, 0xFF, 0xFF));
        }
        for (int i = 0; i < 120; ++i) {
            const int x = (i * 61) % (kWidth - 150), y = (i * 37) % (kHeight - 24);
            RECT r{x, y, x + 140, y + 22};
            Canvas::ClipSaver saver(canvas);
            canvas.IntersectClip(r);
            canvas.SelectFont(fonts[i % 3]);
            canvas.SetTextColor(RGB(0x38, 0x63, 0x82));
            const char* text = kRuns[i % (sizeof kRuns / sizeof kRuns[0])];
            DrawText(&canvas, text, -1, &r,
                     DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (i % 2 ? DT_RIGHT : DT_LEFT));
        }
    };
    frame();
    for (auto _ : state) {
        frame();
        benchmark::DoNotOptimize(bmp.pixels.data());
    }
    state.counters["glyph_cache_KiB"] = static_cast<double>(GetGlyphCacheBytes()) / 1024.0;
    for (HFONT f : fonts)
        DeleteFont(f);
}
BENCHMARK(BM_WindowFrame)->Unit(benchmark::kMicrosecond);

// One opaque fill and one alpha blend of the whole window.
void BM_FillWindow(benchmark::State& state) {
    Bitmap bmp(kWidth, kHeight);
    Canvas canvas(bmp);
    for (auto _ : state) {
        canvas.FillRect(RECT{0, 0, kWidth, kHeight}, RGB(0xD1, 0xE8, 0xF5));
        benchmark::DoNotOptimize(bmp.pixels.data());
    }
}
BENCHMARK(BM_FillWindow)->Unit(benchmark::kMicrosecond);

void BM_AlphaBlendWindow(benchmark::State& state) {
    Bitmap bmp(kWidth, kHeight, 0xFFFFFFFF);
    Bitmap src(kWidth, kHeight, Premultiply(0x80447AA1));
    Canvas canvas(bmp);
    for (auto _ : state) {
        canvas.AlphaBlend(RECT{0, 0, kWidth, kHeight}, src, RECT{0, 0, kWidth, kHeight}, 200);
        benchmark::DoNotOptimize(bmp.pixels.data());
    }
}
BENCHMARK(BM_AlphaBlendWindow)->Unit(benchmark::kMicrosecond);

// A nine-patch middle: a 5 x 29 button picture stretched to a 150 x 25 button.
void BM_StretchButton(benchmark::State& state) {
    Bitmap bmp(kWidth, kHeight, 0xFFFFFFFF);
    Bitmap src(5, 29);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 5; ++x)
            src.At(x, y) = 0xFF000000u | static_cast<uint32_t>(y * 8);
    Canvas canvas(bmp);
    for (auto _ : state) {
        canvas.StretchBlt(RECT{10, 10, 160, 35}, src, RECT{2, 2, 3, 27});
        benchmark::DoNotOptimize(bmp.pixels.data());
    }
}
BENCHMARK(BM_StretchButton)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
