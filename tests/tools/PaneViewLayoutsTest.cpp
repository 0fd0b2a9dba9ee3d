// The layout and scroll bar samples through pane-view: their pictures against references
// (exact), a hovered scroll bar, and which bars notify "scroll" when a script drives them.
#include "PaneViewFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PaneViewLayoutsTest : public pane_view_test::PaneViewFixture {};

TEST_F(PaneViewLayoutsTest, TheLayoutSamplePlacesEveryChildAsReferenced) {
    int code = -1;
    const std::string shot = m_dir + "/layouts.png";
    const std::string dump = View("layouts.xml", "--dump - --shot '" + shot + "'", &code);
    ASSERT_EQ(code, 0);
    // Inner 576 wide less 8 inset and 4 gaps: fixed 100, padded 50, capped 60, the stretch
    // children the rest, the second one no narrower than its minimum.
    for (const char* line :
         {"HorizontalLayoutUI \"row\" 8,8,592,56", "ControlUI \"fixed\" 12,12,112,52",
          "ControlUI \"stretch1\" 118,12,287,52", "ControlUI \"stretch2\" 293,12,450,52",
          "ControlUI \"padded\" 460,18,510,50", "ControlUI \"capped\" 516,12,576,32",
          "TabLayoutUI \"tabs\"", "ControlUI \"page1\" 312,80,568,168",
          "ControlUI \"page0\" 0,0,0,0 hidden", "ScrollBarUI \"\" 574,194,590,374"}) {
        EXPECT_NE(dump.find(line), std::string::npos) << line << "\n" << dump;
    }
    ExpectLikeReference(shot, "layouts/refs/layouts.png");
}

TEST_F(PaneViewLayoutsTest, ScrollBarsInEveryStateLookAsReferenced) {
    int code = -1;
    const std::string shot = m_dir + "/scrollbar.png";
    View("scrollbar.xml", "--shot '" + shot + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(shot, "controls/refs/scrollbar.png");

    // Hovering a bar makes its buttons hot, and its thumb when the pointer is on it.
    const std::string hot = m_dir + "/hot.png";
    View("scrollbar.xml", "--script '" + Script("move vimages\nshot " + hot + "\n") + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(hot, "controls/refs/scrollbar-hot.png");
}

TEST_F(PaneViewLayoutsTest, OnlyStandaloneBarsNotifyScroll) {
    int code = -1;
    const std::string out =
        View("scrollbar.xml",
             "--events --script '" +
                 Script("wheel owner 1\nclick short\nclick hplain\nclick vdisabled\n") + "'",
             &code);
    ASSERT_EQ(code, 0);
    EXPECT_NE(out.find("NOTIFY scroll \"short\""), std::string::npos) << out;
    EXPECT_NE(out.find("NOTIFY scroll \"hplain\""), std::string::npos) << out;
    // A disabled bar ignores the press; the owner's bar has no name and never notifies.
    EXPECT_EQ(out.find("NOTIFY scroll \"vdisabled\""), std::string::npos) << out;
    EXPECT_EQ(out.find("NOTIFY scroll \"\""), std::string::npos) << out;
}

} // namespace
