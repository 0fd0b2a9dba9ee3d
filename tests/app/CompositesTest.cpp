#include "app/Composites.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
    for (int spacer : {0, 2, 4}) {
        EXPECT_STREQ(content->GetItemAt(spacer)->ClassName(), "ControlUI");
        EXPECT_EQ(content->GetItemAt(spacer)->FixedHeight(), 0);
    }
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
    EXPECT_STREQ(editLabel->GetText().GetData(), "SRC:");
    EXPECT_EQ(editLabel->FixedWidth(), 70);
    auto* comboLabel = static_cast<Pane::CLabelUI*>(comboRow.GetItemAt(0));

    editRow.SetEnabled(false);
    comboRow.SetEnabled(false);
    EXPECT_FALSE(editRow.IsEnabled());
    EXPECT_FALSE(editLabel->IsEnabled());
    EXPECT_FALSE(edit->IsEnabled());
    EXPECT_FALSE(comboLabel->IsEnabled());
    EXPECT_FALSE(combo->IsEnabled());

    editRow.SetEnabled(true);
    comboRow.SetEnabled(true);
    EXPECT_TRUE(editLabel->IsEnabled());
    EXPECT_TRUE(edit->IsEnabled());
    EXPECT_TRUE(comboLabel->IsEnabled());
    EXPECT_TRUE(combo->IsEnabled());
}

} // namespace
} // namespace app
