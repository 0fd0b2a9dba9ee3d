#include "pane/core/Render.h"
#include "pane/core/RenderResources.h"
#include "pane/core/ResourcePath.h"
#include "platform/gfx/Canvas.h"
#include "platform/sys/Resource.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using Pane::CUIRender;
using Pane::ImageInfo;
using plat::RECT;

namespace {

constexpr uint32_t kBack = 0xFF000000;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// An opaque image from rows of pixels given as ARGB.
std::unique_ptr<ImageInfo> MakeImage(int w, int h, const std::vector<uint32_t>& pixels,
                                     bool alpha = false) {
    auto image = std::make_unique<ImageInfo>();
    image->bitmap = plat::Bitmap(w, h);
    image->bitmap.pixels = pixels;
    image->width = w;
    image->height = h;
    image->alphaChannel = alpha;
    return image;
}

// A 6x6 nine-patch with 2-pixel borders: each of the nine zones has its own colour, and the
// middle 2x2 has two columns (red, green) so tiles are visible.
std::unique_ptr<ImageInfo> MakeNinePatch() {
    const uint32_t zone[3][3] = {{0xFF010101, 0xFF020202, 0xFF030303},
                                 {0xFF040404, 0, 0xFF060606},
                                 {0xFF070707, 0xFF080808, 0xFF090909}};
    std::vector<uint32_t> px(36);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            uint32_t c = zone[y / 2][x / 2];
            if (c == 0) {
                c = (x == 2) ? kRed : kGreen;
            }
            px[static_cast<size_t>(y * 6 + x)] = c;
        }
    }
    return MakeImage(6, 6, px);
}

struct Surface {
    plat::Bitmap bitmap;
    plat::Canvas canvas;
    explicit Surface(int w, int h, uint32_t fill = kBack) : bitmap(w, h, fill), canvas(bitmap) {}
    uint32_t At(int x, int y) const { return bitmap.At(x, y); }
};

int Channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

} // namespace

TEST(RenderNinePatch, CornersAreCopiedAndEdgesStretched) {
    auto image = MakeNinePatch();
    Surface s(12, 10);
    CUIRender::DrawImage(&s.canvas, image->bitmap, RECT{1, 1, 11, 9}, RECT{0, 0, 12, 10},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false);
    EXPECT_EQ(s.At(0, 0), kBack); // outside the destination
    EXPECT_EQ(s.At(11, 9), kBack);
    EXPECT_EQ(s.At(1, 1), 0xFF010101u);
    EXPECT_EQ(s.At(2, 2), 0xFF010101u);
    EXPECT_EQ(s.At(10, 1), 0xFF030303u);
    EXPECT_EQ(s.At(1, 8), 0xFF070707u);
    EXPECT_EQ(s.At(10, 8), 0xFF090909u);
    for (int x = 3; x <= 8; ++x) { // top and bottom edges stretched to 6 pixels
        EXPECT_EQ(s.At(x, 1), 0xFF020202u) << x;
        EXPECT_EQ(s.At(x, 8), 0xFF080808u) << x;
    }
    for (int y = 3; y <= 6; ++y) { // left and right edges stretched to 4 pixels
        EXPECT_EQ(s.At(1, y), 0xFF040404u) << y;
        EXPECT_EQ(s.At(10, y), 0xFF060606u) << y;
    }
    EXPECT_EQ(s.At(3, 4), kRed);   // the middle's left column stretched
    EXPECT_EQ(s.At(8, 4), kGreen); // and its right column
}

TEST(RenderNinePatch, HoleLeavesTheMiddleAndPaintRectangleLimitsEverything) {
    auto image = MakeNinePatch();
    Surface s(10, 10);
    CUIRender::DrawImage(&s.canvas, image->bitmap, RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false, 255, true);
    EXPECT_EQ(s.At(5, 5), kBack);
    EXPECT_EQ(s.At(5, 0), 0xFF020202u);

    // A partial paint gives the same pixels as the whole drawing inside the paint rectangle
    // (stretches are not recomputed for the smaller area) and nothing outside it.
    Surface whole(10, 10);
    CUIRender::DrawImage(&whole.canvas, image->bitmap, RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false);
    Surface p(10, 10);
    CUIRender::DrawImage(&p.canvas, image->bitmap, RECT{0, 0, 10, 10}, RECT{1, 1, 5, 3},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(p.At(x, y), inside ? whole.At(x, y) : kBack) << x << "," << y;
        }
    }
}

TEST(RenderNinePatch, TilesAreCutAtTheRightAndBottomEdges) {
    auto image = MakeNinePatch();
    // Middle 5 wide: red, green, red, green, red (the last tile cut to one column).
    Surface x(9, 8);
    CUIRender::DrawImage(&x.canvas, image->bitmap, RECT{0, 0, 9, 8}, RECT{0, 0, 9, 8},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false, 255, false, true, false);
    const uint32_t expected[] = {kRed, kGreen, kRed, kGreen, kRed};
    for (int i = 0; i < 5; ++i) {
        for (int y = 2; y < 6; ++y) {
            EXPECT_EQ(x.At(2 + i, y), expected[i]) << i << "," << y;
        }
    }
    EXPECT_EQ(x.At(7, 3), 0xFF060606u); // right edge right behind the cut tile

    // Both ways over a middle of 3 x 3: columns red, green, red in every row.
    Surface b(7, 7);
    CUIRender::DrawImage(&b.canvas, image->bitmap, RECT{0, 0, 7, 7}, RECT{0, 0, 7, 7},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false, 255, false, true, true);
    for (int y = 2; y < 5; ++y) {
        EXPECT_EQ(b.At(2, y), kRed);
        EXPECT_EQ(b.At(3, y), kGreen);
        EXPECT_EQ(b.At(4, y), kRed);
    }
    EXPECT_EQ(b.At(3, 5), 0xFF080808u);
}

TEST(RenderNinePatch, TilesFarFromTheDestinationStartKeepTheirPhase) {
    auto image = MakeNinePatch();
    // The middle starts 10^9 + 2 pixels left of the paint rectangle: the tiles there are found
    // at once, red on even offsets from the middle's start, green on odd ones.
    Surface s(10, 6);
    const int left = -1000000000;
    CUIRender::DrawImage(&s.canvas, image->bitmap, RECT{left, 0, 10, 6}, RECT{0, 0, 10, 6},
                         RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, false, 255, false, true, false);
    for (int x = 0; x < 8; ++x) {
        const long long offset = static_cast<long long>(x) - (left + 2);
        EXPECT_EQ(s.At(x, 3), offset % 2 == 0 ? kRed : kGreen) << x;
    }
    EXPECT_EQ(s.At(8, 3), 0xFF060606u);
}

TEST(RenderNinePatch, OversizedCornersAndInvertedSourcesDrawNothingBroken) {
    auto image = MakeNinePatch();
    Surface s(8, 8);
    // Corners wider than the image and the destination, a source turned inside out: no crash,
    // no write outside the destination.
    CUIRender::DrawImage(&s.canvas, image->bitmap, RECT{2, 2, 5, 5}, RECT{0, 0, 8, 8},
                         RECT{0, 0, 6, 6}, RECT{9, 9, 9, 9}, true);
    CUIRender::DrawImage(&s.canvas, image->bitmap, RECT{2, 2, 5, 5}, RECT{0, 0, 8, 8},
                         RECT{5, 5, 1, 1}, RECT{}, false);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (x < 2 || x >= 5 || y < 2 || y >= 5) {
                EXPECT_EQ(s.At(x, y), kBack) << x << "," << y;
            }
        }
    }
}

TEST(RenderNinePatch, FadeBlendsWithConstantOpacity) {
    auto image = MakeImage(1, 1, {kWhite});
    Surface s(4, 4);
    CUIRender::DrawImage(&s.canvas, image->bitmap, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4},
                         RECT{0, 0, 1, 1}, RECT{}, false, 51);
    EXPECT_NEAR(Channel(s.At(2, 2), 0), 51, 1);
    EXPECT_NEAR(Channel(s.At(2, 2), 16), 51, 1);
    EXPECT_EQ(s.At(2, 2) >> 24, 0xFFu);
}

TEST(RenderColorFill, AlphaDecidesHowTheRectangleIsFilled) {
    Surface s(6, 2, kWhite);
    CUIRender::DrawColor(&s.canvas, RECT{0, 0, 2, 2}, 0x00FF0000); // alpha 0: nothing
    CUIRender::DrawColor(&s.canvas, RECT{2, 0, 4, 2}, 0xFF000000); // opaque black
    CUIRender::DrawColor(&s.canvas, RECT{4, 0, 6, 2}, 0x80FF0000); // half red over white
    EXPECT_EQ(s.At(1, 1), kWhite);
    EXPECT_EQ(s.At(3, 1), 0xFF000000u);
    const uint32_t half = s.At(5, 1);
    EXPECT_EQ(half >> 24, 0xFFu);
    EXPECT_EQ(Channel(half, 16), 255);
    EXPECT_NEAR(Channel(half, 8), 127, 1);
    EXPECT_NEAR(Channel(half, 0), 127, 1);
    EXPECT_EQ(s.At(4, 0), half); // the one pixel is stretched evenly
    // Over black only the colour's own share shows: the pixel is blended premultiplied.
    Surface b(2, 2, kBack);
    CUIRender::DrawColor(&b.canvas, RECT{0, 0, 2, 2}, 0x80FF0000);
    EXPECT_NEAR(Channel(b.At(1, 1), 16), 128, 1);
    EXPECT_EQ(Channel(b.At(1, 1), 8), 0);
}

TEST(RenderGradient, OpacityIsTheMeanAlphaAndRunsTopToBottom) {
    Surface s(3, 101);
    CUIRender::DrawGradient(&s.canvas, RECT{0, 0, 3, 101}, 0xFFFF0000, 0xFF0000FF, false, 8);
    EXPECT_EQ(s.At(1, 0), kRed); // vertical whatever the flag says
    EXPECT_NEAR(Channel(s.At(1, 100), 0), 255, 3);
    EXPECT_NEAR(Channel(s.At(1, 50), 16), 128, 4);

    Surface t(2, 2, kWhite);
    CUIRender::DrawGradient(&t.canvas, RECT{0, 0, 2, 2}, 0xFF000000, 0x00000000, true, 8);
    EXPECT_NEAR(Channel(t.At(0, 0), 8), 255 - 127, 1); // black at opacity 127 over white

    Surface u(2, 2, kWhite);
    CUIRender::DrawGradient(&u.canvas, RECT{0, 0, 2, 2}, 0x01000000, 0x00000000, true, 8);
    EXPECT_EQ(u.At(0, 0), kWhite); // mean alpha 0 draws nothing
}

TEST(RenderGradient, ATranslucentGradientUnderAClipMatchesTheWholeDrawing) {
    Surface whole(3, 100, kWhite);
    CUIRender::DrawGradient(&whole.canvas, RECT{0, 0, 3, 100}, 0x80FF0000, 0x800000FF, true, 8);
    Surface part(3, 100, kWhite);
    {
        Pane::CRenderClip clip(&part.canvas, RECT{0, 40, 3, 60});
        CUIRender::DrawGradient(&part.canvas, RECT{0, 0, 3, 100}, 0x80FF0000, 0x800000FF, true, 8);
    }
    for (int y = 0; y < 100; ++y) {
        EXPECT_EQ(part.At(1, y), y >= 40 && y < 60 ? whole.At(1, y) : kWhite) << y;
    }
    EXPECT_NE(whole.At(1, 10), whole.At(1, 90));
    // The clip scope ended: the whole canvas is drawable again.
    CUIRender::DrawColor(&part.canvas, RECT{0, 0, 3, 100}, kRed);
    EXPECT_EQ(part.At(0, 0), kRed);
}

TEST(RenderImageString, DescriptionsFindImagesSourcesAndDestinations) {
    Pane::CRenderResources host;
    host.AddImage("plain name.png", MakeImage(2, 1, {kRed, kGreen}));
    host.AddImage("strip", MakeImage(4, 1, {kRed, kGreen, kBlue, kWhite}));
    Surface s(8, 4);
    const RECT item{0, 0, 8, 4};
    // No "=": the whole string names the image; the whole image is stretched over the control.
    EXPECT_TRUE(CUIRender::DrawImageString(&s.canvas, &host, item, item, "plain name.png"));
    EXPECT_EQ(s.At(0, 0), kRed);
    EXPECT_EQ(s.At(7, 3), kGreen);
    // A source wider than the image is cut to it: pixels 2..3 of "strip", one pixel each.
    EXPECT_TRUE(CUIRender::DrawImageString(&s.canvas, &host, item, item,
                                           "file='strip' source='2,0,40,1' dest='0,0,2,1'"));
    EXPECT_EQ(s.At(0, 0), kBlue);
    EXPECT_EQ(s.At(1, 0), kWhite);
    // Two images in one string, the second placed by the modifier.
    EXPECT_TRUE(CUIRender::DrawImageString(&s.canvas, &host, item, item,
                                           "file='strip' source='0,0,1,1' dest='0,3,1,4' "
                                           "file='strip'",
                                           "source='1,0,2,1' dest='7,3,8,4'"));
    EXPECT_EQ(s.At(0, 3), kRed);
    EXPECT_EQ(s.At(7, 3), kGreen);
    // A missing image fails; an empty name or a destination outside the control draws nothing.
    EXPECT_FALSE(CUIRender::DrawImageString(&s.canvas, &host, item, item, "file='missing.png'"));
    EXPECT_FALSE(CUIRender::DrawImageString(&s.canvas, nullptr, item, item, "strip"));
    Surface e(8, 4);
    EXPECT_TRUE(CUIRender::DrawImageString(&e.canvas, &host, item, RECT{0, 0, 8, 4}, ""));
    EXPECT_TRUE(CUIRender::DrawImageString(&e.canvas, &host, RECT{0, 0, 4, 4}, RECT{0, 0, 8, 4},
                                           "file='strip' dest='5,0,8,4'"));
    EXPECT_EQ(e.At(6, 1), kBack);
}

TEST(RenderImageString, AModifierNamingTheImageAgainDrawsOnlyItsCell) {
    // A strip of five 2 x 2 cells, drawn the way a combo draws its arrow: the modifier is the
    // description again with the source narrowed to one cell and a destination at the right.
    const uint32_t cells[] = {kRed, kGreen, kBlue, kWhite, 0xFF808080};
    std::vector<uint32_t> pixels(20);
    for (int i = 0; i < 20; ++i) {
        pixels[static_cast<size_t>(i)] = cells[(i % 10) / 2];
    }
    Pane::CRenderResources host;
    host.AddImage("arrow", MakeImage(10, 2, pixels));
    Surface s(20, 4);
    const RECT item{0, 0, 20, 4};
    EXPECT_TRUE(CUIRender::DrawImageString(&s.canvas, &host, item, item,
                                           "file='arrow' source='0,0,10,2'",
                                           "file='arrow' source='4,0,6,2' dest='16,0,20,4'"));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(s.At(x, y), x >= 16 ? kBlue : kBack) << x << "," << y;
        }
    }
}

TEST(RenderLoadImage, PremultipliesAndMasks) {
    // 3 x 1: opaque magenta, half-transparent white, opaque blue; written as straight RGBA.
    const unsigned char rgba[] = {255, 0, 255, 255, 255, 255, 255, 128, 0, 0, 255, 255};
    int size = 0;
    unsigned char* png = stbi_write_png_to_mem(rgba, 12, 3, 1, 4, &size);
    ASSERT_NE(png, nullptr);
    auto plain = CUIRender::LoadImageFromMemory(png, static_cast<size_t>(size), 0);
    auto masked = CUIRender::LoadImageFromMemory(png, static_cast<size_t>(size), 0xFFFF00FF);
    auto opaque = CUIRender::LoadImageFromMemory(png, 0, 0);
    STBIW_FREE(png);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(opaque, nullptr);
    EXPECT_EQ(plain->width, 3);
    EXPECT_EQ(plain->height, 1);
    EXPECT_TRUE(plain->alphaChannel);
    EXPECT_EQ(plain->bitmap.At(0, 0), 0xFFFF00FFu);
    EXPECT_EQ(plain->bitmap.At(1, 0), 0x80808080u); // 255 * 128 / 255
    EXPECT_EQ(plain->bitmap.At(2, 0), 0xFF0000FFu);
    EXPECT_EQ(masked->bitmap.At(0, 0), 0u);
    EXPECT_EQ(masked->mask, 0xFFFF00FFu);
    EXPECT_TRUE(masked->alphaChannel);
}

TEST(RenderLoadImage, MaskAloneTurnsOnPerPixelAlpha) {
    const unsigned char rgba[] = {255, 0, 255, 255, 0, 0, 255, 255};
    int size = 0;
    unsigned char* png = stbi_write_png_to_mem(rgba, 8, 2, 1, 4, &size);
    ASSERT_NE(png, nullptr);
    auto plain = CUIRender::LoadImageFromMemory(png, static_cast<size_t>(size), 0);
    auto masked = CUIRender::LoadImageFromMemory(png, static_cast<size_t>(size), 0xFFFF00FF);
    STBIW_FREE(png);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(masked, nullptr);
    EXPECT_FALSE(plain->alphaChannel);
    EXPECT_TRUE(masked->alphaChannel);
    // Drawn over white, the masked pixel shows the background.
    Surface s(2, 1, kWhite);
    CUIRender::DrawImage(&s.canvas, masked->bitmap, RECT{0, 0, 2, 1}, RECT{0, 0, 2, 1},
                         RECT{0, 0, 2, 1}, RECT{}, masked->alphaChannel);
    EXPECT_EQ(s.At(0, 0), kWhite);
    EXPECT_EQ(s.At(1, 0), kBlue);
}

TEST(RenderLoadImage, ResourcesByNumberAndFilesUnderTheResourcePath) {
    const unsigned char rgba[] = {10, 20, 30, 255};
    int size = 0;
    unsigned char* png = stbi_write_png_to_mem(rgba, 4, 1, 1, 4, &size);
    ASSERT_NE(png, nullptr);
    const std::vector<uint8_t> bytes(png, png + size);
    STBIW_FREE(png);

    // The name is read as a decimal number cut to 16 bits: 65543 is resource 7.
    const plat::ResourceEntry table[] = {{7, "PNG", bytes.data(), bytes.size()}};
    plat::RegisterResources(table, 1);
    auto image = CUIRender::LoadImage("65543", "png");
    auto trailing = CUIRender::LoadImage("7.png", "png"); // digits up to the first other byte
    auto wrongType = CUIRender::LoadImage("7", "bmp");
    plat::UnregisterResources(table);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitmap.At(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(image->resType, "png");
    EXPECT_FALSE(image->alphaChannel);
    EXPECT_NE(trailing, nullptr);
    EXPECT_EQ(wrongType, nullptr);
    EXPECT_EQ(CUIRender::LoadImage("abc", "png"), nullptr);
    EXPECT_EQ(CUIRender::LoadImage(nullptr), nullptr);

    // A file is looked for under the resource path first, then as the name itself.
    char dir[] = "/tmp/render-load-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/pic.png";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    Pane::SetResourcePath(dir);
    auto underPath = CUIRender::LoadImage("pic.png");
    Pane::SetResourcePath("/nonexistent");
    auto asPath = CUIRender::LoadImage(path.c_str());
    auto missing = CUIRender::LoadImage("pic.png");
    auto folder = CUIRender::LoadImage(dir); // a folder is no image file
    Pane::SetResourcePath("");
    std::remove(path.c_str());
    ::rmdir(dir);
    ASSERT_NE(underPath, nullptr);
    EXPECT_TRUE(underPath->resType.IsEmpty());
    EXPECT_EQ(underPath->bitmap.At(0, 0), 0xFF0A141Eu);
    EXPECT_NE(asPath, nullptr);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(folder, nullptr);
}

TEST(RenderFrames, LinesAndFramesKeepTheColourAndStayInside) {
    constexpr uint32_t kColour = 0xFF112233; // red and blue differ, so a swap would show
    Surface s(12, 12, kWhite);
    CUIRender::DrawRect(&s.canvas, RECT{2, 2, 10, 10}, 2, kColour);
    EXPECT_EQ(s.At(2, 2), kColour);
    EXPECT_EQ(s.At(3, 6), kColour);
    EXPECT_EQ(s.At(9, 9), kColour);
    EXPECT_EQ(s.At(4, 4), kWhite); // inside the two-pixel frame
    EXPECT_EQ(s.At(10, 10), kWhite);
    EXPECT_EQ(s.At(1, 1), kWhite);

    Surface l(12, 3, kWhite);
    CUIRender::DrawLine(&l.canvas, RECT{1, 1, 8, 1}, 1, kColour);
    EXPECT_EQ(l.At(0, 1), kWhite);
    for (int x = 1; x < 8; ++x) {
        EXPECT_EQ(l.At(x, 1), kColour) << x;
    }
    EXPECT_EQ(l.At(8, 1), kWhite); // the end point is not drawn
    EXPECT_EQ(l.At(4, 0), kWhite);

    Surface r(20, 20, kWhite);
    CUIRender::DrawRoundRect(&r.canvas, RECT{0, 0, 20, 20}, 1, 10, 10, kColour);
    EXPECT_EQ(r.At(10, 0), kColour);
    EXPECT_EQ(r.At(0, 10), kColour);
    EXPECT_EQ(r.At(0, 0), kWhite); // the corner is rounded off
    EXPECT_EQ(r.At(10, 10), kWhite);
}

TEST(RenderClip, RoundedScopesNarrowAndRestoreTheClip) {
    Surface s(20, 20);
    {
        Pane::CRenderClip outer(&s.canvas, RECT{0, 0, 20, 20}, RECT{0, 0, 19, 19}, 8, 8);
        {
            Pane::CRenderClip inner(&s.canvas, RECT{0, 0, 10, 20});
            CUIRender::DrawColor(&s.canvas, RECT{0, 0, 20, 20}, kRed);
        }
        CUIRender::DrawColor(&s.canvas, RECT{10, 0, 20, 20}, kGreen);
    }
    EXPECT_EQ(s.At(0, 0), kBack); // outside the round corner
    EXPECT_EQ(s.At(19, 19), kBack);
    EXPECT_EQ(s.At(5, 10), kRed);
    EXPECT_EQ(s.At(0, 10), kRed);    // the straight edge is inside
    EXPECT_EQ(s.At(19, 10), kGreen); // right and bottom are inside too (the region is one larger)
    EXPECT_EQ(s.At(10, 19), kGreen);
    CUIRender::DrawColor(&s.canvas, RECT{0, 0, 1, 1}, kBlue); // both scopes ended
    EXPECT_EQ(s.At(0, 0), kBlue);
}
