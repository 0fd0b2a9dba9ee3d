// Checks the pictures embedded into the program: every picture the windows name is present,
// decodes, and has the size its nine-patch settings were made for.
#include "platform/gfx/Image.h"
#include "platform/sys/Resource.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace plat;

namespace {

Bitmap Decode(int number, const char* type = "png") {
    ResourceData res = FindResource(number, type);
    Bitmap bmp;
    EXPECT_FALSE(res.Empty()) << number;
    EXPECT_TRUE(DecodePng(res.data, res.size, &bmp)) << number;
    return bmp;
}

} // namespace

TEST(ResourceEmbedded, EveryPictureOfTheWindowsHasItsSize) {
    struct Expected {
        int number, width, height;
    };
    const Expected pictures[] = {
        {144, 45, 17},  {145, 45, 17}, {146, 45, 17}, {150, 26, 17},  {151, 26, 17}, {152, 26, 17},
        {159, 70, 177}, {160, 5, 29},  {161, 5, 31},  {162, 5, 30},   {164, 5, 11},  {169, 5, 29},
        {170, 5, 9},    {174, 21, 20}, {175, 9, 20},  {179, 123, 24}, {180, 24, 18}, {181, 24, 18},
        {183, 24, 18},  {184, 5, 20},  {185, 45, 17}, {186, 45, 17},  {187, 45, 17},
    };
    for (const Expected& e : pictures) {
        Bitmap bmp = Decode(e.number, e.number % 2 ? "PNG" : "png");
        EXPECT_EQ(bmp.width, e.width) << e.number;
        EXPECT_EQ(bmp.height, e.height) << e.number;
    }
    Bitmap icon = Decode(kIconResource, kIconResourceType);
    EXPECT_GT(icon.width, 0);
    EXPECT_TRUE(FindResource(999, "png").Empty());
}

TEST(ResourceEmbedded, ScrollBarSheetHasOpaqueCellsOnTheMaskColour) {
    const Bitmap sheet = Decode(159);
    ASSERT_EQ(sheet.width, 70);
    const uint32_t mask = 0xFFFF00FF;
    // The 16-pixel cells of the vertical bar start at rows 90..162 and columns 0..54; the two
    // pixels between cells are the mask colour, and no pixel anywhere is translucent (a
    // translucent fringe would not match the mask and show as a pink halo).
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 4; ++col) {
            const int x = col * 18, y = 90 + row * 18;
            bool anyInk = false;
            // The sheet is 177 rows high, so the last row of cells has only 15 of its rows.
            for (int cy = 0; cy < std::min(16, sheet.height - y); ++cy)
                for (int cx = 0; cx < 16; ++cx)
                    anyInk |= sheet.At(x + cx, y + cy) != mask;
            EXPECT_TRUE(anyInk) << row << "," << col;
            if (col < 3 && y + 8 < sheet.height) {
                EXPECT_EQ(sheet.At(x + 16, y + 8), mask) << row << "," << col;
            }
        }
    }
    for (uint32_t px : sheet.pixels)
        ASSERT_EQ(px >> 24, 0xFFu);
}
