// Lists and their rows on the headless backend: row sizes from the owner's appearance, which
// notifications a click, a double click and Return send and in what order, keyboard
// navigation over disabled rows, hiding and removing the selected row, header columns, and the
// pixels of alternate, hot and selected rows.
#include "CaptionTestSupport.h"

#include "pane/controls/List.h"
#include "pane/core/Automation.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Pane::test {
namespace {

using plat::RECT;

// The list notifications with both parameters, in the order they were sent.
struct ItemRecord {
    std::string type;
    std::string sender;
    plat::WPARAM wParam = 0;
    plat::LPARAM lParam = 0;
    bool operator==(const ItemRecord&) const = default;
};
using ItemRecords = std::vector<ItemRecord>;

class ItemRecorder : public INotifyUI {
public:
    void Notify(NotifyMessage& msg) override {
        const std::string type = msg.type.GetData();
        if (type.rfind("item", 0) == 0 || type == "headerclick" || type == "link") {
            m_records.push_back({type, msg.sender->Name().GetData(), msg.wParam, msg.lParam});
        }
    }
    ItemRecords Take() { return std::exchange(m_records, {}); }

private:
    ItemRecords m_records;
};

const char* const kMarkup =
    "<Window><Font name=\"微软雅黑\" size=\"12\" default=\"true\"/>"
    "<Container bkcolor=\"#FFFFFFFF\">"
    "<List name=\"list\" float=\"true\" pos=\"0,0,120,100\" header=\"hidden\" "
    "itemaltbk=\"true\" itembkcolor=\"#FFFF0000\" itemhotbkcolor=\"#FF00FF00\" "
    "itemselectedbkcolor=\"#FF0000FF\" itemdisabledbkcolor=\"#FF808080\" vscrollbar=\"true\">"
    "<ListLabelElement name=\"r0\" text=\"zero\"/>"
    "<ListLabelElement name=\"r1\" text=\"one\"/>"
    "<ListLabelElement name=\"r2\" text=\"two\" enabled=\"false\"/>"
    "<ListLabelElement name=\"r3\" text=\"three\"/>"
    "<ListLabelElement name=\"r4\" text=\"four\"/>"
    "<ListLabelElement name=\"r5\" text=\"five\"/>"
    "<ListLabelElement name=\"r6\" text=\"six\" enabled=\"false\"/>"
    "</List>"
    "<List name=\"table\" float=\"true\" pos=\"130,0,330,100\" itemtextpadding=\"2,1,2,3\">"
    "<ListHeader><ListHeaderItem name=\"h0\" text=\"A\" width=\"60\"/>"
    "<ListHeaderItem name=\"h1\" text=\"B\" width=\"80\"/></ListHeader>"
    "<ListTextElement name=\"t0\" text0=\"left\" text1=\"right\"/>"
    "<ListTextElement name=\"t1\" text0=\"second\" selected=\"false\"/>"
    "</List>"
    "</Container></Window>";

class ListTest : public CaptionTest {
protected:
    void SetUp() override {
        CaptionTest::SetUp();
        Open(kMarkup, 340, 110);
        m_window->GetManager().AddNotifier(&m_recorder);
        m_list = Find<CListUI>("list");
        ASSERT_NE(m_list, nullptr);
        m_recorder.Take();
    }
    void TearDown() override {
        m_window->GetManager().RemoveNotifier(&m_recorder);
        CaptionTest::TearDown();
    }
    int FontHeight() { return m_window->GetManager().GetDefaultFontInfo()->tm.tmHeight; }
    void DoubleClick(plat::POINT client) {
        const plat::POINT pt = Screen(client.x, client.y);
        plat::headless::DoubleClick(pt.x, pt.y);
        PumpMessages();
    }
    std::string Automation(const std::string& line) {
        CScriptPlayer player;
        player.LoadText(line);
        while (player.Step()) {
            PumpMessages();
        }
        return player.Error();
    }

    ItemRecorder m_recorder;
    CListUI* m_list = nullptr;
};

TEST_F(ListTest, RowsMeasureTheOwnersFontAndPadding) {
    // Label rows: the font height plus 8, nothing of their own text.
    CControlUI* r0 = Find<CControlUI>("r0");
    EXPECT_EQ(r0->Height(), FontHeight() + 8);
    // Seven rows overflow the body, so the vertical bar takes its width off every row.
    ASSERT_TRUE(m_list->VerticalScrollBar()->IsVisible());
    EXPECT_EQ(r0->Width(), 120 - m_list->VerticalScrollBar()->FixedWidth());
    // The width estimate is the text's width plus the horizontal padding.
    const plat::SIZE plain = r0->MeasureSize(plat::SIZE{500, 500});
    m_list->SetAttribute("itemtextpadding", "5,2,7,4");
    const plat::SIZE padded = r0->MeasureSize(plat::SIZE{500, 500});
    EXPECT_GT(plain.cx, 10);
    EXPECT_EQ(padded.cx, plain.cx + 12);
    EXPECT_EQ(padded.cy, FontHeight() + 2 + 4 + 8);
    // A fixed height wins; a row without an owner measures nothing.
    r0->SetFixedHeight(40);
    EXPECT_EQ(r0->MeasureSize(plat::SIZE{500, 500}).cy, 40);
    CListLabelElementUI orphan;
    orphan.SetText("orphan");
    EXPECT_EQ(orphan.MeasureSize(plat::SIZE{500, 500}).cx, 0);
    EXPECT_EQ(orphan.MeasureSize(plat::SIZE{500, 500}).cy, 0);
    // Text rows in a list with a header take their padding from the same record.
    EXPECT_EQ(Find<CControlUI>("t0")->Height(), FontHeight() + 1 + 3 + 8);
}

TEST_F(ListTest, ClickSendsItemClickThenItemSelectAndActivationNeedsDoubleClickOrReturn) {
    Down(Centre("r1"));
    Up(Centre("r1"));
    EXPECT_EQ(m_recorder.Take(),
              (ItemRecords{{"itemclick", "r1", 0, 0}, {"itemselect", "list", 1, -1}}));
    EXPECT_EQ(m_list->GetCurSel(), 1);
    // Selecting the selected row again sends nothing.
    EXPECT_TRUE(m_list->SelectItem(1));
    EXPECT_TRUE(m_recorder.Take().empty());
    // Another row: the old selection travels in lParam.
    Down(Centre("r3"));
    Up(Centre("r3"));
    EXPECT_EQ(m_recorder.Take(),
              (ItemRecords{{"itemclick", "r3", 0, 0}, {"itemselect", "list", 3, 1}}));
    EXPECT_FALSE(Find<CListLabelElementUI>("r1")->IsSelected());
    // A disabled row ignores the pointer.
    Down(Centre("r2"));
    Up(Centre("r2"));
    EXPECT_TRUE(m_recorder.Take().empty());
    EXPECT_EQ(m_list->GetCurSel(), 3);

    DoubleClick(Centre("r4"));
    const ItemRecords records = m_recorder.Take();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back(), (ItemRecord{"itemactivate", "r4", 0, 0}));
    Key(plat::VK_RETURN);
    EXPECT_EQ(m_recorder.Take(), (ItemRecords{{"itemactivate", "r4", 0, 0}}));
    EXPECT_EQ(Automation("expect list sel 4"), "");
}

TEST_F(ListTest, ArrowsHomeAndEndSkipDisabledRowsAndStopAtTheEnds) {
    Down(Centre("r1"));
    Up(Centre("r1"));
    m_recorder.Take();
    Key(plat::VK_DOWN); // over the disabled r2
    EXPECT_EQ(m_list->GetCurSel(), 3);
    Key(plat::VK_UP);
    EXPECT_EQ(m_list->GetCurSel(), 1);
    EXPECT_EQ(m_recorder.Take(),
              (ItemRecords{{"itemselect", "list", 3, 1}, {"itemselect", "list", 1, 3}}));
    Key(plat::VK_END); // the last row is disabled: the one before it
    EXPECT_EQ(m_list->GetCurSel(), 5);
    // Down with only a disabled row below keeps the selection.
    Key(plat::VK_DOWN);
    EXPECT_EQ(m_list->GetCurSel(), 5);
    Key(plat::VK_HOME);
    EXPECT_EQ(m_list->GetCurSel(), 0);
    Key(plat::VK_UP);
    EXPECT_EQ(m_list->GetCurSel(), 0);
    // Keys move the focus with the selection, so Return reaches the selected row.
    EXPECT_EQ(m_window->GetManager().GetFocus(), Find<CControlUI>("r0"));
}

TEST_F(ListTest, SelectingARowBelowTheBodyScrollsItIntoView) {
    CControlUI* r5 = Find<CControlUI>("r5");
    ASSERT_GT(r5->Position().bottom, 100);
    EXPECT_TRUE(m_list->SelectItem(5));
    EXPECT_EQ(r5->Position().bottom, 100);
    EXPECT_GT(m_list->ScrollPosition().cy, 0);
    EXPECT_TRUE(m_list->SelectItem(0));
    EXPECT_EQ(Find<CControlUI>("r0")->Position().top, 0);
    EXPECT_EQ(m_list->ScrollPosition().cy, 0);
    // Rows that cannot be selected leave nothing selected.
    EXPECT_FALSE(m_list->SelectItem(2));
    EXPECT_EQ(m_list->GetCurSel(), -1);
    EXPECT_FALSE(m_list->SelectItem(99));
    ASSERT_TRUE(m_list->SelectItem(4));
    EXPECT_FALSE(m_list->SelectItem(-1));
    EXPECT_EQ(m_list->GetCurSel(), -1);
    EXPECT_FALSE(Find<CListLabelElementUI>("r4")->IsSelected());
}

TEST_F(ListTest, HidingOrRemovingTheSelectedRowMovesTheSelection) {
    ASSERT_TRUE(m_list->SelectItem(3));
    m_recorder.Take();
    Find<CControlUI>("r3")->SetVisible(false);
    EXPECT_EQ(m_list->GetCurSel(), -1);
    EXPECT_FALSE(Find<CListLabelElementUI>("r3")->IsSelected());
    Find<CControlUI>("r3")->SetVisible(true);

    // Removing the selected row selects the nearest selectable row before it.
    ASSERT_TRUE(m_list->SelectItem(3));
    m_recorder.Take();
    ASSERT_TRUE(m_list->RemoveAt(3));
    EXPECT_EQ(m_list->GetCurSel(), 1); // r2 is disabled
    EXPECT_EQ(m_recorder.Take(), (ItemRecords{{"itemselect", "list", 1, -1}}));
    // Rows after the removed one are renumbered; a removal before the selection shifts it.
    auto* r4 = Find<CListLabelElementUI>("r4");
    EXPECT_EQ(r4->GetIndex(), 3);
    ASSERT_TRUE(m_list->SelectItem(3));
    ASSERT_TRUE(m_list->Remove(Find<CControlUI>("r0")));
    EXPECT_EQ(m_list->GetCurSel(), 2);
    EXPECT_EQ(r4->GetIndex(), 2);
    // Inserting before the selection shifts it the other way.
    auto* added = new CListLabelElementUI;
    added->SetText("new");
    ASSERT_TRUE(m_list->AddAt(added, 0));
    EXPECT_EQ(added->GetIndex(), 0);
    EXPECT_EQ(r4->GetIndex(), 3);
    EXPECT_EQ(m_list->GetCurSel(), 3);
    EXPECT_EQ(added->GetOwner(), static_cast<IListOwnerUI*>(m_list));
    m_list->RemoveAll();
    EXPECT_EQ(m_list->GetCurSel(), -1);
    EXPECT_EQ(m_list->GetRowCount(), 0);
}

TEST_F(ListTest, TheSelectedAttributeSelectsWhateverItsValue) {
    auto* table = Find<CListUI>("table");
    EXPECT_EQ(table->GetCurSel(), 1);
    EXPECT_TRUE(Find<CListTextElementUI>("t1")->IsSelected());
    EXPECT_FALSE(Find<CListTextElementUI>("t0")->IsSelected());
}

TEST_F(ListTest, HeaderItemsBecomeColumnsUpToThirtyTwo) {
    auto* table = Find<CListUI>("table");
    EXPECT_EQ(table->ColumnCount(), 2);
    const ItemAppearance& a = *table->GetItemAppearance();
    EXPECT_EQ(a.columnRects[0].left, 130);
    EXPECT_EQ(a.columnRects[0].right, 190);
    EXPECT_EQ(a.columnRects[1].right, 270);
    // Rows sit below the header.
    EXPECT_EQ(Find<CControlUI>("t0")->Position().top, table->GetHeader()->Position().bottom);
    for (int i = 0; i < 31; ++i) {
        auto* item = new CListHeaderItemUI;
        item->SetFixedWidth(20);
        ASSERT_TRUE(table->Add(item));
    }
    EXPECT_EQ(table->GetHeader()->GetCount(), 33);
    EXPECT_EQ(table->ColumnCount(), 32);
    // Header items are not rows.
    EXPECT_EQ(table->GetRowCount(), 2);
    // The rows are at least as wide as the header.
    table->SetPosition(table->Position());
    EXPECT_GE(Find<CControlUI>("t0")->Width(), 60 + 80 + 31 * 20);
    // Column texts out of range are empty and ignored.
    auto* t0 = Find<CListTextElementUI>("t0");
    EXPECT_STREQ(t0->GetText(1), "right");
    EXPECT_STREQ(t0->GetText(7), "");
    t0->SetText(99, "ignored");
    EXPECT_STREQ(t0->GetText(99), "");
}

TEST_F(ListTest, AlternateHotSelectedAndDisabledRowsLookAsReferenced) {
    // Rows 0 and 4 carry the background colour, 1, 3 and 5 none; r2 is disabled.
    const auto at = [&](const char* name) {
        const RECT& rc = Find<CControlUI>(name)->Position();
        return Pixels(RECT{rc.right - 4, rc.top + 2, rc.right - 3, rc.top + 3}).At(0, 0);
    };
    EXPECT_EQ(at("r0"), 0xFFFF0000u);
    EXPECT_EQ(at("r1"), 0xFFFFFFFFu);
    EXPECT_EQ(at("r2"), 0xFF808080u);
    EXPECT_EQ(at("r3"), 0xFFFFFFFFu);
    EXPECT_EQ(at("r4"), 0xFFFF0000u);
    ASSERT_TRUE(m_list->SelectItem(1));
    MoveTo(Centre("r3"));
    EXPECT_EQ(at("r1"), 0xFF0000FFu);
    EXPECT_EQ(at("r3"), 0xFF00FF00u);
    EXPECT_TRUE(MatchesReference(Pixels(RECT{0, 0, 330, 100}), "list-states"));
}

} // namespace
} // namespace Pane::test
