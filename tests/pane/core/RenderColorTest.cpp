#include "pane/core/Render.h"

#include <gtest/gtest.h>

#include <cstdlib>

using Pane::CUIRender;

namespace {

int Channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

} // namespace

TEST(RenderColor, NeutralAdjustmentReturnsTheColourBitForBit) {
    for (uint32_t c : {0x00000000u, 0x7F123456u, 0xFFFFFFFFu, 0x01FE02FDu}) {
        EXPECT_EQ(CUIRender::AdjustColor(c, 180, 100, 100), c);
    }
}

TEST(RenderColor, HueTurnsAndTurnsBack) {
    // Red turned by 120 degrees is green, by 240 blue; the alpha byte stays.
    EXPECT_EQ(CUIRender::AdjustColor(0x80FF0000u, 300, 100, 100), 0x8000FF00u);
    EXPECT_EQ(CUIRender::AdjustColor(0x80FF0000u, 60, 100, 100), 0x800000FFu);
    for (uint32_t c : {0xFF3C78B4u, 0xFFC81E64u, 0xFF10E020u}) {
        uint32_t turned = CUIRender::AdjustColor(c, 180 + 45, 100, 100);
        uint32_t back = CUIRender::AdjustColor(turned, 180 - 45, 100, 100);
        for (int shift : {0, 8, 16}) {
            EXPECT_LE(std::abs(Channel(back, shift) - Channel(c, shift)), 1) << std::hex << c;
        }
        EXPECT_EQ(back >> 24, c >> 24);
    }
}

TEST(RenderColor, SaturationAndLightnessScaleAndSaturate) {
    EXPECT_EQ(CUIRender::AdjustColor(0xFF3C78B4u, 180, 0, 100) & 0xFFFFFF, 0x787878u);
    EXPECT_EQ(CUIRender::AdjustColor(0xFF808080u, 180, 100, 0), 0xFF000000u);
    // Doubling the lightness of a light colour ends at white, never wraps past it.
    EXPECT_EQ(CUIRender::AdjustColor(0xFFC0D0E0u, 180, 200, 200), 0xFFFFFFFFu);
}

TEST(RenderColor, ArgbToPlatformSwapsRedAndBlueAndDropsAlpha) {
    EXPECT_EQ(CUIRender::ToColorRef(0x80112233u), 0x00332211u);
}
