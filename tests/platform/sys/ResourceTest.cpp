#include "platform/sys/Resource.h"

#include <gtest/gtest.h>

using namespace plat;

namespace {
const uint8_t kA[] = {1, 2, 3};
const uint8_t kB[] = {4};
const uint8_t kC[] = {5, 6};
const ResourceEntry kTable[] = {
    {174, "PNG", kA, sizeof kA},
    {175, "png", kB, sizeof kB},
    {174, "ICON", kC, sizeof kC},
    {176, "PNG", kB, 0},
};
const ResourceEntry kOverride[] = {{174, "Png", kB, sizeof kB}};
} // namespace

TEST(Resource, FoundByNumberAndTypeIgnoringCase) {
    RegisterResources(kTable, std::size(kTable));
    EXPECT_EQ(FindResource(174, "PNG").data, kA);
    EXPECT_EQ(FindResource(174, "png").size, 3u);
    EXPECT_EQ(FindResource(175, "PNG").data, kB);
    EXPECT_EQ(FindResource(174, "icon").data, kC);
    EXPECT_TRUE(FindResource(174, "PNGX").Empty());
    EXPECT_TRUE(FindResource(177, "PNG").Empty());
    EXPECT_TRUE(FindResource(176, "PNG").Empty()); // no bytes counts as missing
    EXPECT_TRUE(FindResource(174, nullptr).Empty());
    // A later table is searched first; removing it brings back the earlier one.
    RegisterResources(kOverride, std::size(kOverride));
    EXPECT_EQ(FindResource(174, "png").data, kB);
    UnregisterResources(kOverride);
    EXPECT_EQ(FindResource(174, "png").data, kA);
    UnregisterResources(kTable);
    EXPECT_TRUE(FindResource(175, "PNG").Empty());
}
