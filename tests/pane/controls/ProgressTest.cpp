// Progress bars: the filled part for horizontal and vertical bars, repaired ranges, values the
// bar refuses, ranges as wide as 32 bits allow, and the pixels of the progress sample.
#include "CaptionTestSupport.h"

#include "pane/controls/Progress.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <climits>

namespace Pane::test {
namespace {

using plat::RECT;

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
    if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a.left << "," << a.top << "," << a.right << "," << a.bottom << ") != ("
           << b.left << "," << b.top << "," << b.right << "," << b.bottom << ")";
}

// A bar laid out at an offset: the filled part is in the control's own coordinates.
void Place(CProgressUI& bar, int width, int height) {
    bar.SetPosition(RECT{30, 40, 30 + width, 40 + height});
}

TEST(Progress, FilledPartFollowsValueAndDirection) {
    CProgressUI bar;
    EXPECT_STREQ(bar.ClassName(), "ProgressUI");
    EXPECT_EQ(bar.Interface("Progress"), &bar);
    EXPECT_EQ(bar.TextStyle(), 33u);
    Place(bar, 200, 12);
    bar.SetAttribute("value", "25");
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 50, 12}));
    bar.SetAttribute("min", "-100");
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 125, 12}));
    // Vertical bars fill from the bottom; integer arithmetic rounds towards the top.
    bar.SetAttribute("hor", "false");
    Place(bar, 12, 7);
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 2, 12, 7})); // 7 * 75 / 200 = 2
    bar.SetAttribute("hor", "TRUE");                            // only "true" exactly
    EXPECT_FALSE(bar.IsHorizontal());
}

TEST(Progress, RefusedValuesAndRepairedRanges) {
    CProgressUI bar;
    Place(bar, 200, 10);
    bar.SetAttribute("value", "40");
    bar.SetAttribute("value", "150"); // above max: ignored
    bar.SetAttribute("value", "-1");  // below min: ignored
    EXPECT_EQ(bar.GetValue(), 40);
    // An empty range paints as one step wide, and the fields keep the repair.
    bar.SetAttribute("min", "50");
    bar.SetAttribute("max", "50");
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 0, 10}));
    EXPECT_EQ(bar.GetMaxValue(), 51);
    EXPECT_EQ(bar.GetValue(), 50); // clamped up from 40
    bar.SetValue(51);
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 200, 10}));
    bar.SetMaxValue(20); // below min: repaired again, the value clamped into it
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 200, 10}));
    EXPECT_EQ(bar.GetMaxValue(), 51);
    // A range at the top of 32 bits has no room for min + 1.
    bar.SetMinValue(INT_MAX);
    bar.SetMaxValue(INT_MAX);
    const RECT top = bar.FilledRect();
    EXPECT_LT(bar.GetMinValue(), bar.GetMaxValue());
    EXPECT_EQ(bar.GetValue(), INT_MAX - 1);
    EXPECT_TRUE(SameRect(top, RECT{0, 0, 0, 10}));
}

TEST(Progress, WholeRangeOfThirtyTwoBits) {
    // Width times value and the range itself overflow 32 bits here.
    CProgressUI bar;
    Place(bar, 200, 10);
    bar.SetMinValue(INT_MIN);
    bar.SetMaxValue(INT_MAX);
    bar.SetValue(0);
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 100, 10}));
    bar.SetValue(INT_MAX);
    EXPECT_TRUE(SameRect(bar.FilledRect(), RECT{0, 0, 200, 10}));
}

class ProgressWindowTest : public CaptionTest {};

TEST_F(ProgressWindowTest, SampleMatchesItsReference) {
    std::string markup;
    ASSERT_TRUE(plat::ReadFileText(
        std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/progress.xml", &markup));
    CUIManager::SetResourcePath(ZELTA_SOURCE_DIR "/tools/pane-view/samples/");
    Open(markup, 420, 240);
    EXPECT_TRUE(MatchesReference(Pixels(RECT{0, 0, 420, 240}), "progress"));
    // The fore image drew, so it is kept; one that cannot be loaded is dropped when painted.
    auto* bar = Find<CProgressUI>("quarter");
    ASSERT_NE(bar, nullptr);
    EXPECT_STREQ(bar->GetForeImage(), "progress-fore.png");
    bar->SetForeImage("missing.png");
    bar->SetValue(60);
    PumpMessages();
    EXPECT_STREQ(bar->GetForeImage(), "");
    CUIManager::SetResourcePath("");
}

} // namespace
} // namespace Pane::test
