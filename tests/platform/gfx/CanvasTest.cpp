#include "platform/gfx/Canvas.h"

#include <gtest/gtest.h>

#include <functional>

using namespace plat;

namespace {

constexpr uint32_t kSentinel = 0xFF123456;

// Checks every pixel: `expected(x, y)` for each position.
void ExpectPixels(const Bitmap& bmp, const std::function<uint32_t(int, int)>& expected) {
    int failures = 0;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            if (bmp.At(x, y) != expected(x, y) && ++failures <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << bmp.At(x, y)
                              << " not " << expected(x, y);
    EXPECT_EQ(failures, 0);
}

bool Inside(int x, int y, RECT r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

TEST(Canvas, FillRect_ClippedAtEveryEdgeAndToTheBitmap) {
    const RECT clip{3, 2, 9, 7};
    // Rectangles sticking out of the clip on each side, and one over the whole bitmap.
    const RECT fills[] = {
        {0, 3, 5, 5}, {7, 3, 20, 5}, {4, -4, 6, 4}, {4, 6, 6, 40}, {-9, -9, 99, 99}};
    for (const RECT& fill : fills) {
        Bitmap bmp(12, 10, kSentinel);
        Canvas c(bmp);
        c.IntersectClip(clip);
        c.FillRect(fill, RGB(1, 2, 3));
        ExpectPixels(bmp, [&](int x, int y) {
            return Inside(x, y, clip) && Inside(x, y, fill) ? 0xFF010203u : kSentinel;
        });
    }
}

TEST(Canvas, Origin_ShiftsDrawingAndClipButNotTheSavedDeviceClip) {
    Bitmap bmp(10, 10, kSentinel);
    Canvas c(bmp);
    c.SetOrigin(4, 3);
    c.IntersectClip(RECT{0, 0, 3, 3}); // device 4..7, 3..6
    RECT box = c.GetClipBox();
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 3);
    EXPECT_EQ(box.bottom, 3);
    c.FillRect(RECT{-1, -1, 2, 2}, RGB(255, 0, 0));
    ExpectPixels(bmp, [&](int x, int y) {
        return Inside(x, y, RECT{4, 3, 6, 5}) ? 0xFFFF0000u : kSentinel;
    });
}

TEST(Canvas, ClipSaver_RestoresTheClipAndEmptyClipDrawsNothing) {
    Bitmap bmp(8, 8, kSentinel);
    Canvas c(bmp);
    c.IntersectClip(RECT{1, 1, 7, 7});
    {
        Canvas::ClipSaver saver(c);
        EXPECT_FALSE(c.IntersectClip(RECT{20, 20, 30, 30}));
        EXPECT_TRUE(c.ClipIsEmpty());
        c.FillRect(RECT{0, 0, 8, 8}, RGB(9, 9, 9));
    }
    for (uint32_t px : bmp.pixels)
        ASSERT_EQ(px, kSentinel);
    c.FillRect(RECT{0, 0, 8, 8}, RGB(9, 9, 9));
    ExpectPixels(bmp, [](int x, int y) {
        return Inside(x, y, RECT{1, 1, 7, 7}) ? 0xFF090909u : kSentinel;
    });
}

TEST(Canvas, RoundClip_CutsCornersSymmetricallyAndCombinesWithRectangles) {
    Bitmap bmp(20, 20, kSentinel);
    Canvas c(bmp);
    c.IntersectRoundClip(RECT{0, 0, 20, 20}, 10, 10);
    c.FillRect(RECT{0, 0, 20, 20}, RGB(0, 0, 0));
    EXPECT_EQ(bmp.At(0, 0), kSentinel);
    EXPECT_EQ(bmp.At(19, 0), kSentinel);
    EXPECT_EQ(bmp.At(0, 19), kSentinel);
    EXPECT_EQ(bmp.At(19, 19), kSentinel);
    EXPECT_EQ(bmp.At(10, 0), 0xFF000000u);
    EXPECT_EQ(bmp.At(0, 10), 0xFF000000u);
    EXPECT_EQ(bmp.At(5, 5), 0xFF000000u);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(bmp.At(x, y), bmp.At(19 - x, y)) << x << "," << y;
            ASSERT_EQ(bmp.At(x, y), bmp.At(x, 19 - y)) << x << "," << y;
        }
    // A later rectangle clip keeps the cut corners.
    Bitmap second(20, 20, kSentinel);
    Canvas d(second);
    d.IntersectRoundClip(RECT{0, 0, 20, 20}, 10, 10);
    d.IntersectClip(RECT{0, 0, 10, 10});
    d.FillRect(RECT{0, 0, 20, 20}, RGB(0, 0, 0));
    ExpectPixels(second, [&](int x, int y) { return x < 10 && y < 10 ? bmp.At(x, y) : kSentinel; });
}

TEST(Canvas, BitBlt_CopiesOnlyWhatExistsInTheSourceAndInsideTheClip) {
    Bitmap src(4, 4);
    for (int i = 0; i < 16; ++i)
        src.pixels[i] = 0xFF000000u | static_cast<uint32_t>(i);
    Bitmap bmp(8, 8, kSentinel);
    Canvas c(bmp);
    c.IntersectClip(RECT{0, 0, 7, 8});
    // The block starts one pixel left of the source and runs past its right edge.
    c.BitBlt(3, 2, 6, 3, src, -1, 1);
    ExpectPixels(bmp, [&](int x, int y) {
        int sx = x - 3 - 1, sy = y - 2 + 1;
        if (x >= 7 || y < 2 || y >= 5 || sx < 0 || sx >= 4)
            return kSentinel;
        return src.At(sx, sy);
    });
}

TEST(Canvas, BitBlt_WithinOneBitmapReadsTheOriginalPixels) {
    Bitmap bmp(6, 1);
    for (int i = 0; i < 6; ++i)
        bmp.pixels[i] = static_cast<uint32_t>(i);
    Canvas c(bmp);
    c.BitBlt(1, 0, 5, 1, bmp, 0, 0);
    EXPECT_EQ(bmp.pixels, (std::vector<uint32_t>{0, 0, 1, 2, 3, 4}));
}

TEST(Canvas, StretchBlt_FillsExactlyTheDestinationAndNeverSamplesOutsideThePart) {
    // A 3x1 source: red | green | blue. Stretching only the green pixel must give pure green.
    Bitmap src(3, 1);
    src.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    Bitmap bmp(12, 9, kSentinel);
    Canvas c(bmp);
    c.StretchBlt(RECT{2, 1, 9, 8}, src, RECT{1, 0, 2, 1});
    ExpectPixels(bmp, [&](int x, int y) {
        return Inside(x, y, RECT{2, 1, 9, 8}) ? 0xFF00FF00u : kSentinel;
    });
    // The whole strip stretched 4x: ends keep their colours, the middle blends smoothly.
    Bitmap wide(12, 1, kSentinel);
    Canvas w(wide);
    w.StretchBlt(RECT{0, 0, 12, 1}, src, RECT{0, 0, 3, 1});
    EXPECT_EQ(wide.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(wide.At(11, 0), 0xFF0000FFu);
    const uint32_t mid = wide.At(4, 0); // between red and green
    EXPECT_GT((mid >> 16) & 0xFF, 0u);
    EXPECT_GT((mid >> 8) & 0xFF, 0u);
    EXPECT_EQ(mid & 0xFF, 0u);
}

TEST(Canvas, StretchBlt_SourcePartBeyondTheImageDoesNotReadOutOfBounds) {
    Bitmap src(2, 2, 0xFF0A0B0C);
    Bitmap bmp(10, 10, kSentinel);
    Canvas c(bmp);
    c.StretchBlt(RECT{0, 0, 10, 10}, src, RECT{-5, -5, 50, 50});
    c.AlphaBlend(RECT{0, 0, 10, 10}, src, RECT{1, 1, 40, 3}, 255);
    for (uint32_t px : bmp.pixels)
        ASSERT_TRUE(px == 0xFF0A0B0C || px == kSentinel);
}

TEST(Canvas, AlphaBlend_PremultipliedSourceOverDestinationWithOpacity) {
    Bitmap src(2, 1);
    src.pixels = {0x80000080u, 0x00000000u}; // half-transparent blue, fully transparent
    Bitmap bmp(2, 1, 0xFFFFFFFF);
    Canvas c(bmp);
    c.AlphaBlend(RECT{0, 0, 2, 1}, src, RECT{0, 0, 2, 1}, 255);
    // 0x80 + 0xFF * (255 - 128) / 255 = 0x80 + 127 for blue; the others 0xFF * 127 / 255.
    EXPECT_EQ(bmp.At(0, 0), 0xFF7F7FFFu);
    EXPECT_EQ(bmp.At(1, 0), 0xFFFFFFFFu);

    Bitmap opaque(1, 1, 0xFF0000FF);
    Bitmap dest(1, 1, 0xFFFF0000);
    Canvas d(dest);
    d.AlphaBlend(RECT{0, 0, 1, 1}, opaque, RECT{0, 0, 1, 1}, 0);
    EXPECT_EQ(dest.At(0, 0), 0xFFFF0000u);
    d.AlphaBlend(RECT{0, 0, 1, 1}, opaque, RECT{0, 0, 1, 1}, 51); // one fifth
    EXPECT_EQ(dest.At(0, 0), 0xFFCC0033u);
}

TEST(Canvas, BlendRect_TranslucentColourOverTransparentAndOpaque) {
    Bitmap bmp(2, 1);
    bmp.pixels = {0x00000000u, 0xFF000000u};
    Canvas c(bmp);
    c.BlendRect(RECT{0, 0, 2, 1}, Premultiply(0x80FF0000u));
    EXPECT_EQ(bmp.At(0, 0), 0x80800000u);
    EXPECT_EQ(bmp.At(1, 0), 0xFF800000u);
    EXPECT_EQ(Premultiply(0xFF123456u), 0xFF123456u);
    EXPECT_EQ(Premultiply(0x00FFFFFFu), 0u);
}

TEST(Canvas, GradientFillV_RowsInterpolateFromTopToBottomEdge) {
    Bitmap bmp(3, 6, kSentinel);
    Canvas c(bmp);
    c.IntersectClip(RECT{0, 0, 2, 6});
    c.GradientFillV(RECT{0, 1, 3, 5}, 0xFF000000u, 0xFF0000FFu);
    for (int y = 0; y < 6; ++y) {
        const uint32_t want =
            y >= 1 && y < 5 ? 0xFF000000u | static_cast<uint32_t>(255 * (y - 1) / 4) : kSentinel;
        EXPECT_EQ(bmp.At(0, y), want) << y;
        EXPECT_EQ(bmp.At(2, y), kSentinel) << y;
    }
    // Alpha is interpolated too and the colour stored premultiplied.
    Bitmap t(1, 2, 0);
    Canvas tc(t);
    tc.GradientFillV(RECT{0, 0, 1, 2}, 0xFFFFFFFFu, 0x00FFFFFFu);
    EXPECT_EQ(t.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(t.At(0, 1), 0x80808080u);
}

TEST(Canvas, Line_ThinLinesExcludeTheEndPointAndDashesLeaveGaps) {
    Bitmap bmp(40, 3, kSentinel);
    Canvas c(bmp);
    c.Line(POINT{0, 1}, POINT{30, 1}, 1, RGB(0, 0, 0));
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(bmp.At(x, 1), x < 30 ? 0xFF000000u : kSentinel) << x;
    Bitmap dashed(40, 1, kSentinel);
    Canvas d(dashed);
    d.Line(POINT{0, 0}, POINT{40, 0}, 1, RGB(0, 0, 0), PS_DOT);
    int on = 0, transitions = 0;
    for (int x = 0; x < 40; ++x) {
        on += dashed.At(x, 0) != kSentinel;
        transitions += x > 0 && dashed.At(x, 0) != dashed.At(x - 1, 0);
    }
    EXPECT_GT(on, 10);
    EXPECT_LT(on, 30);
    EXPECT_GE(transitions, 10);
    // A diagonal visits one pixel per step.
    Bitmap diag(5, 5, kSentinel);
    Canvas g(diag);
    g.Line(POINT{0, 0}, POINT{5, 5}, 1, RGB(0, 0, 0));
    ExpectPixels(diag, [](int x, int y) { return x == y ? 0xFF000000u : kSentinel; });
}

TEST(Canvas, Line_WideLinesAreCentredAndClipped) {
    Bitmap bmp(12, 10, kSentinel);
    Canvas c(bmp);
    c.IntersectClip(RECT{0, 0, 12, 5});
    c.Line(POINT{2, 4}, POINT{8, 4}, 3, RGB(0, 0, 0));
    ExpectPixels(bmp, [](int x, int y) {
        return x >= 2 && x < 8 && y >= 3 && y <= 4 ? 0xFF000000u : kSentinel;
    });
    Bitmap v(10, 10, kSentinel);
    Canvas vc(v);
    vc.Line(POINT{5, 1}, POINT{5, 9}, 2, RGB(0, 0, 0));
    ExpectPixels(v, [](int x, int y) {
        return (x == 4 || x == 5) && y >= 1 && y < 9 ? 0xFF000000u : kSentinel;
    });
}

TEST(Canvas, FrameRect_StaysInsideTheRectangle) {
    Bitmap bmp(10, 8, kSentinel);
    Canvas c(bmp);
    const RECT r{1, 1, 9, 7};
    c.FrameRect(r, 2, RGB(0, 0, 0));
    ExpectPixels(bmp, [&](int x, int y) {
        bool ring = Inside(x, y, r) && !Inside(x, y, RECT{3, 3, 7, 5});
        return ring ? 0xFF000000u : kSentinel;
    });
    // A frame wider than half the rectangle fills it.
    Bitmap s(4, 4, kSentinel);
    Canvas sc(s);
    sc.FrameRect(RECT{0, 0, 4, 4}, 2, RGB(0, 0, 0));
    for (uint32_t px : s.pixels)
        EXPECT_EQ(px, 0xFF000000u);
}

TEST(Canvas, RoundFrameRect_OutlineInsideWithOpenCornersAndHollowMiddle) {
    Bitmap bmp(16, 12, kSentinel);
    Canvas c(bmp);
    const RECT r{0, 0, 16, 12};
    c.RoundFrameRect(r, 1, 6, 6, RGB(0, 0, 0));
    EXPECT_EQ(bmp.At(0, 0), kSentinel);
    EXPECT_EQ(bmp.At(8, 0), 0xFF000000u);
    EXPECT_EQ(bmp.At(8, 11), 0xFF000000u);
    EXPECT_EQ(bmp.At(0, 6), 0xFF000000u);
    EXPECT_EQ(bmp.At(15, 6), 0xFF000000u);
    EXPECT_EQ(bmp.At(8, 6), kSentinel);
    EXPECT_EQ(bmp.At(1, 6), kSentinel);
    // Every row and column of the straight parts carries exactly one frame pixel per side.
    for (int y = 3; y < 9; ++y) {
        int n = 0;
        for (int x = 0; x < 16; ++x)
            n += bmp.At(x, y) != kSentinel;
        EXPECT_EQ(n, 2) << y;
    }
}

TEST(Canvas, BlendMask_CoverageScalesTheColourAndIsClipped) {
    const uint8_t mask[2 * 3] = {255, 0, 128, 255, 255, 255};
    Bitmap bmp(3, 3, 0xFF000000);
    Canvas c(bmp);
    c.IntersectClip(RECT{0, 0, 3, 2});
    c.BlendMask(1, 0, mask, 2, 3, 2, 0xFFFFFFFF);
    EXPECT_EQ(bmp.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(bmp.At(2, 0), 0xFF000000u);
    EXPECT_EQ(bmp.At(1, 1), 0xFF808080u);
    EXPECT_EQ(bmp.At(1, 2), 0xFF000000u); // below the clip
    EXPECT_EQ(bmp.At(0, 0), 0xFF000000u);
}

TEST(Canvas, OperationsOnAnEmptyBitmapOrRectangleDoNothing) {
    Bitmap empty;
    Canvas c(empty);
    EXPECT_TRUE(c.ClipIsEmpty());
    c.FillRect(RECT{0, 0, 10, 10}, 0);
    c.GradientFillV(RECT{0, 0, 10, 10}, 0xFFFFFFFF, 0xFF000000);
    c.Line(POINT{0, 0}, POINT{10, 10}, 3, 0);
    Bitmap src(2, 2, 0xFFFFFFFF);
    c.StretchBlt(RECT{0, 0, 10, 10}, src, RECT{0, 0, 2, 2});
    Bitmap bmp(4, 4, kSentinel);
    Canvas d(bmp);
    d.FillRect(RECT{3, 3, 1, 1}, 0);
    d.StretchBlt(RECT{0, 0, 4, 4}, src, RECT{1, 1, 1, 1});
    d.AlphaBlend(RECT{2, 2, 2, 4}, src, RECT{0, 0, 2, 2}, 255);
    for (uint32_t px : bmp.pixels)
        EXPECT_EQ(px, kSentinel);
}

TEST(Canvas, AlphaBlend_RowsOfAnyLengthMatchThePerChannelFormula) {
    // Premultiplied pixels of every kind (opaque, clear, translucent), blended in rows whose
    // lengths are not multiples of four, against round(s * k / 255) + round(d * (255 - a) / 255).
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    auto randomPixel = [&] {
        uint32_t a = next() % 4 == 0 ? 255 : next() % 4 == 0 ? 0 : next() & 0xFF;
        uint32_t px = a << 24;
        for (int shift = 0; shift < 24; shift += 8)
            px |= (a ? next() % (a + 1) : 0) << shift;
        return px;
    };
    auto div255 = [](uint32_t v) { return (v + 127) / 255; };
    for (int opacity : {255, 200, 77, 1}) {
        Bitmap src(37, 3), dst(37, 3);
        for (uint32_t& px : src.pixels)
            px = randomPixel();
        for (uint32_t& px : dst.pixels)
            px = randomPixel();
        Bitmap want = dst;
        for (std::size_t i = 0; i < want.pixels.size(); ++i) {
            uint32_t s = src.pixels[i], d = dst.pixels[i], out = 0;
            uint32_t sa = div255((s >> 24) * static_cast<uint32_t>(opacity));
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sc = div255(((s >> shift) & 0xFF) * static_cast<uint32_t>(opacity));
                uint32_t c = sc + div255(((d >> shift) & 0xFF) * (255 - sa));
                out |= c << shift;
            }
            want.pixels[i] = out;
        }
        Canvas c(dst);
        c.AlphaBlend(RECT{0, 0, 37, 3}, src, RECT{0, 0, 37, 3}, static_cast<BYTE>(opacity));
        ExpectPixels(dst, [&](int x, int y) { return want.At(x, y); });
    }
}
