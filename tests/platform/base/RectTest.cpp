#include "platform/base/Rect.h"
#include "platform/base/TextUtf8.h"

#include <gtest/gtest.h>

#include <string>

namespace plat {

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(a, b);
}

namespace {

TEST(Rect, IntersectionOfDisjointOrTouchingRectanglesIsEmptiedAndFalse) {
    const RECT a{0, 0, 10, 10};
    RECT out{1, 2, 3, 4};
    const RECT b{5, 5, 20, 20};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_EQ(out, (RECT{5, 5, 10, 10}));
    const RECT touching{10, 0, 20, 10}; // right edges are outside
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    EXPECT_EQ(out, RECT{});
    EXPECT_FALSE(IntersectRect(&out, &a, nullptr));
    // The result may be one of the inputs.
    RECT c{-5, -5, 3, 3};
    EXPECT_TRUE(IntersectRect(&c, &c, &a));
    EXPECT_EQ(c, (RECT{0, 0, 3, 3}));
}

TEST(Rect, UnionLeavesEmptyRectanglesOut) {
    const RECT a{0, 0, 10, 10};
    const RECT far{100, 100, 110, 120};
    const RECT empty{-50, -50, -50, 200}; // no width: ignored whatever its corners
    RECT out;
    EXPECT_TRUE(UnionRect(&out, &a, &far));
    EXPECT_EQ(out, (RECT{0, 0, 110, 120}));
    EXPECT_TRUE(UnionRect(&out, &empty, &a));
    EXPECT_EQ(out, a);
    EXPECT_FALSE(UnionRect(&out, &empty, &empty));
    EXPECT_EQ(out, RECT{});
}

TEST(Rect, PointsOnTheRightAndBottomEdgesAreOutside) {
    const RECT r{0, 0, 10, 5};
    EXPECT_TRUE(PtInRect(&r, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&r, POINT{9, 4}));
    EXPECT_FALSE(PtInRect(&r, POINT{10, 4}));
    EXPECT_FALSE(PtInRect(&r, POINT{9, 5}));
    EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
    EXPECT_TRUE(IsRectEmpty(RECT{3, 3, 3, 9}));
    EXPECT_TRUE(IsRectEmpty(RECT{5, 0, 2, 9}));
    EXPECT_TRUE(IsRectEmpty(static_cast<const RECT*>(nullptr)));
    RECT moved = r;
    EXPECT_TRUE(OffsetRect(&moved, -3, 7));
    EXPECT_EQ(moved, (RECT{-3, 7, 7, 12}));
    EXPECT_TRUE(InflateRect(&moved, 1, -2));
    EXPECT_EQ(moved, (RECT{-4, 9, 8, 10}));
}

// A byte limit cuts before a well-formed character it would split, but treats each malformed
// byte as a character of its own, as the decoder (and so the text drawn) does.
TEST(Utf8, CutsFollowTheDecoderOnMalformedBytes) {
    const std::string strays = "\x80\x80\x80\x80\x80\x80"; // continuation bytes only
    EXPECT_EQ(Utf8PrefixLength(strays.data(), strays.size(), 4), 4u);
    const std::string truncated = "ab\xE4\xB8"; // the last character lacks its third byte
    EXPECT_EQ(Utf8PrefixLength(truncated.data(), truncated.size(), 3), 3u);
    const std::string straddling = "ab\xE4\xB8\xAD"; // 中 over the limit
    EXPECT_EQ(Utf8PrefixLength(straddling.data(), straddling.size(), 4), 2u);
    EXPECT_EQ(Utf8CharLength(straddling.data() + 2, straddling.data() + straddling.size()), 3u);
    EXPECT_EQ(Utf8CharLength(strays.data(), strays.data() + strays.size()), 1u);
}

} // namespace
} // namespace plat
