// The list sample through pane-view: its picture against a reference (exact), and the
// notifications a script's clicks, double click and keys send, in order.
#include "PaneViewFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PaneViewListTest : public pane_view_test::PaneViewFixture {};

TEST_F(PaneViewListTest, TheListSampleLooksAsReferenced) {
    const std::string shot = m_dir + "/list.png";
    int code = -1;
    View("list.xml", "--shot '" + shot + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(shot, "controls/refs/list-sample.png");
}

TEST_F(PaneViewListTest, ClicksKeysAndDoubleClicksNotifyInOrder) {
    int code = -1;
    const std::string out =
        View("list.xml",
             "--events --script '" +
                 Script("click ch5\nexpect channels sel 4\nkey Down\nexpect channels sel 5\n"
                        "key Down\nkey Up\nexpect channels sel 5\ndblclick ch7\nkey Return\n"
                        "click r2\nkey End\nexpect table sel 3\n") +
                 "'",
             &code);
    EXPECT_EQ(code, 0) << out;
    std::string items;
    std::size_t at = 0;
    while ((at = out.find("NOTIFY item", at)) != std::string::npos) {
        const std::size_t end = out.find('\n', at);
        items += out.substr(at + 7, end - at - 7) + "\n";
        at = end;
    }
    // Down and Up move one row at a time; the double click selects, then activates, and
    // Return on the focused row activates it once more.
    EXPECT_EQ(items, "itemclick \"ch5\" 0 0\n"
                     "itemselect \"channels\" 4 2\n"
                     "itemselect \"channels\" 5 4\n"
                     "itemselect \"channels\" 6 5\n"
                     "itemselect \"channels\" 5 6\n"
                     "itemclick \"ch7\" 0 0\n"
                     "itemselect \"channels\" 6 5\n"
                     "itemactivate \"ch7\" 0 0\n"
                     "itemactivate \"ch7\" 0 0\n"
                     "itemclick \"r2\" 0 0\n"
                     "itemselect \"table\" 1 2\n"
                     "itemselect \"table\" 3 1\n");
}

TEST_F(PaneViewListTest, UpOverADisabledRowSkipsIt) {
    int code = -1;
    const std::string out = View(
        "list.xml",
        "--script '" +
            Script("click ch5\nkey Up\nexpect channels sel 2\nkey Down\nexpect channels sel 4\n") +
            "'",
        &code);
    EXPECT_EQ(code, 0) << out;
}

} // namespace
