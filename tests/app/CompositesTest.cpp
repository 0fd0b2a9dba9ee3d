#include "app/Composites.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace app {
namespace {

TEST(CompositesTest, TitleWidthCountsCharactersOutsideAsciiAsTwoBytes) {
    EXPECT_EQ(TextWidth("0123456789", 6.3), 65);
    EXPECT_EQ(TextWidth("0123456789", 6.7), 69);
    EXPECT_EQ(TextWidth("端口设置", 6.3), 52); // 8 bytes, not the 12 of its UTF-8 form
    EXPECT_EQ(TextWidth("", 6.7), 2);

    CGroupBoxUI group("0123456789");
    ASSERT_NE(group.TitleLabel(), nullptr);
    EXPECT_EQ(group.TitleLabel()->FixedWidth(), 65);
    group.SetTitle("端口设置");
    EXPECT_EQ(group.TitleLabel()->FixedWidth(), 55);
    EXPECT_STREQ(group.TitleLabel()->GetText().GetData(), "端口设置");

    CGroupBoxUI untitled("");
    EXPECT_EQ(untitled.TitleLabel(), nullptr);
    untitled.SetTitle("ignored"); // no label to take it
    EXPECT_EQ(untitled.TitleLabel(), nullptr);
}

TEST(CompositesTest, GroupChildrenAlternateWithEmptySpacers) {
    CGroupBoxUI group("Group");
    auto* first = new Pane::CLabelUI;
    auto* second = new Pane::CLabelUI;
    ASSERT_TRUE(group.Add(first));
    ASSERT_TRUE(group.Add(second));
    Pane::CVerticalLayoutUI* content = group.Content();
    ASSERT_EQ(content->GetCount(), 5);
    EXPECT_EQ(content->GetItemAt(1), first);
    EXPECT_EQ(content->GetItemAt(3), second);
    for (int spacer : {0, 2, 4})
        EXPECT_STREQ(content->GetItemAt(spacer)->ClassName(), "ControlUI");
}

TEST(CompositesTest, RowsEnableAndDisableTheirLabelAndField) {
    Pane::CEditUI* edit = nullptr;
    Pane::CLabelUI* editLabel = nullptr;
    CLabelAndEditUI editRow("SRC:", 70, &edit, &editLabel);
    Pane::CComboBoxUI* combo = nullptr;
    CLabelAndComboUI comboRow("Baud:", 42, &combo); // the label is optional
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(editLabel, nullptr);
    ASSERT_NE(combo, nullptr);
    auto* comboLabel = static_cast<Pane::CLabelUI*>(comboRow.GetItemAt(0));

    editRow.SetEnabled(false);
    comboRow.SetEnabled(false);
    const std::vector<Pane::CControlUI*> parts = {editLabel, edit, comboLabel, combo};
    for (Pane::CControlUI* part : parts)
        EXPECT_FALSE(part->IsEnabled()) << part->ClassName();
    editRow.SetEnabled(true);
    comboRow.SetEnabled(true);
    for (Pane::CControlUI* part : parts)
        EXPECT_TRUE(part->IsEnabled()) << part->ClassName();
}

} // namespace
} // namespace app
