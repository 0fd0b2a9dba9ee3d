// Buttons, options and check boxes driven by pointer and keys: when "click" and "selectchanged"
// are sent, the state word through press, drag and release, groups, the image fallbacks, and the
// pixels of every state.
#include "CaptionTestSupport.h"

#include "pane/controls/CheckBox.h"
#include "pane/core/Automation.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

namespace Pane::test {
namespace {

using plat::RECT;
using Records = std::vector<NotifyRecord>;

const char* const kMarkup =
    "<Window><Font name=\"微软雅黑\" size=\"12\" default=\"true\"/>"
    "<Container bkcolor=\"#FFFFFFFF\">"
    "<Button name=\"b\" float=\"true\" pos=\"10,10,90,40\" text=\"OK\"/>"
    "<Button name=\"other\" float=\"true\" pos=\"100,10,180,40\" text=\"Other\"/>"
    "<Option name=\"a\" float=\"true\" pos=\"10,50,60,70\" group=\"g\" selected=\"true\"/>"
    "<Option name=\"o-b\" float=\"true\" pos=\"70,50,120,70\" group=\"g\" shortcut=\"B\"/>"
    "<Option name=\"toggle\" float=\"true\" pos=\"130,50,180,70\"/>"
    "<CheckBox name=\"check\" float=\"true\" pos=\"10,80,60,100\"/>"
    "<Button name=\"fill\" float=\"true\" pos=\"10,110,50,130\" hotbkcolor=\"#FF00FF00\" "
    "normalimage=\"file='check-off.png'\" foreimage=\"file='check-on.png'\"/>"
    "<Button name=\"broken\" float=\"true\" pos=\"60,110,100,130\" enabled=\"false\" "
    "normalimage=\"file='check-off.png'\" disabledimage=\"file='missing.png'\"/>"
    "</Container></Window>";

class ButtonTest : public CaptionTest {
protected:
    void SetUp() override {
        CaptionTest::SetUp();
        CUIManager::SetResourcePath(ZELTA_SOURCE_DIR "/tools/pane-view/samples/");
        Open(kMarkup, 200, 140);
    }
};

TEST_F(ButtonTest, ClickIsSentOnlyWhenReleasedOverTheButton) {
    CButtonUI* button = Find<CButtonUI>("b");
    const plat::POINT inside = Centre("b");
    const plat::POINT outside{150, 100};
    Down(inside);
    EXPECT_EQ(button->State() & (kStateCaptured | kStatePushed), kStateCaptured | kStatePushed);
    MoveTo(outside);
    EXPECT_EQ(button->State() & kStatePushed, 0u);
    EXPECT_NE(button->State() & kStateCaptured, 0u);
    Up(outside);
    EXPECT_EQ(button->State() & (kStateCaptured | kStatePushed), 0u);
    EXPECT_TRUE(m_window->Take().empty());
    // Out and back in again: released inside, so it clicks.
    Down(inside);
    MoveTo(outside);
    MoveTo(inside);
    EXPECT_NE(button->State() & kStatePushed, 0u);
    Up(inside);
    EXPECT_EQ(m_window->Take(), (Records{{"click", "b", 0}}));
}

TEST_F(ButtonTest, SpaceAndReturnClickTheFocusedButtonOnKeyDown) {
    CButtonUI* button = Find<CButtonUI>("b");
    button->SetFocus();
    PumpMessages();
    Key(plat::VK_SPACE);
    Key(plat::VK_RETURN);
    EXPECT_EQ(m_window->Take(), (Records{{"click", "b", 0}, {"click", "b", 0}}));
    button->SetKeyboardEnabled(false);
    Key(plat::VK_SPACE);
    EXPECT_TRUE(m_window->Take().empty());
    // Trigger is what shortcuts use; a hidden or disabled button does nothing.
    EXPECT_TRUE(Find<CButtonUI>("other")->Trigger());
    Find<CButtonUI>("other")->SetEnabled(false);
    EXPECT_FALSE(Find<CButtonUI>("other")->Trigger());
    EXPECT_EQ(m_window->Take(), (Records{{"click", "other", 0}}));
}

TEST_F(ButtonTest, GroupedOptionsSelectOneAndNotifyOnlyTheNewlySelected) {
    COptionUI* a = Find<COptionUI>("a");
    COptionUI* b = Find<COptionUI>("o-b");
    ASSERT_TRUE(a->IsSelected());
    Down(Centre("o-b"));
    Up(Centre("o-b"));
    EXPECT_EQ(m_window->Take(), (Records{{"click", "o-b", 0}, {"selectchanged", "o-b", 0}}));
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(a->State() & kStateSelected, 0u);
    // Clicking the selected one again only clicks.
    Down(Centre("o-b"));
    Up(Centre("o-b"));
    EXPECT_EQ(m_window->Take(), (Records{{"click", "o-b", 0}}));
    // Alt and the shortcut letter, as the message loop hands them to the manager, focus and
    // trigger an option like a click.
    Find<COptionUI>("a")->Selected(true);
    m_window->Take();
    plat::MSG alt;
    alt.hwnd = m_window->GetHWND();
    alt.message = plat::WM_SYSCHAR;
    alt.wParam = 'b';
    EXPECT_TRUE(CUIManager::TranslateMessage(&alt));
    EXPECT_EQ(m_window->Take(), (Records{{"click", "o-b", 0}, {"selectchanged", "o-b", 0}}));
    EXPECT_TRUE(b->IsFocused());
    // The script sees the checked state.
    CScriptPlayer player;
    std::string why;
    EXPECT_EQ(player.RunLine("expect o-b checked true", &why), CScriptPlayer::LineStatus::Done)
        << why;
    EXPECT_EQ(player.RunLine("expect a checked false", &why), CScriptPlayer::LineStatus::Done)
        << why;
    EXPECT_EQ(player.RunLine("expect a checked true", &why), CScriptPlayer::LineStatus::Failed);
}

TEST_F(ButtonTest, UngroupedOptionsAndCheckBoxesToggleOnEveryClick) {
    for (const char* name : {"toggle", "check"}) {
        COptionUI* option = Find<COptionUI>(name);
        for (bool expected : {true, false, true}) {
            Down(Centre(name));
            Up(Centre(name));
            EXPECT_EQ(option->IsSelected(), expected) << name;
            EXPECT_EQ(m_window->Take(), (Records{{"click", name, 0}, {"selectchanged", name, 0}}));
        }
    }
    CCheckBoxUI* check = Find<CCheckBoxUI>("check");
    EXPECT_STREQ(check->ClassName(), "CheckBoxUI");
    EXPECT_EQ(check->Interface("Option"), static_cast<COptionUI*>(check));
    EXPECT_EQ(check->Interface("Button"), static_cast<CButtonUI*>(check));
    EXPECT_EQ(check->Interface("CheckBox"), nullptr);
}

TEST_F(ButtonTest, GroupsFollowTheOptionThroughRenameAndDestruction) {
    CUIManager& manager = m_window->GetManager();
    COptionUI* b = Find<COptionUI>("o-b");
    b->SetGroup("h");
    EXPECT_EQ(manager.GetOptionGroup("g")->GetSize(), 1);
    EXPECT_EQ(manager.GetOptionGroup("h")->GetSize(), 1);
    // Selecting b in its new group leaves a alone.
    b->Selected(true);
    EXPECT_TRUE(Find<COptionUI>("a")->IsSelected());
    b->SetGroup(nullptr);
    EXPECT_EQ(manager.GetOptionGroup("h"), nullptr);
    {
        COptionUI loose;
        loose.SetGroup("g");
        loose.SetManager(&manager, nullptr, true);
        EXPECT_EQ(manager.GetOptionGroup("g")->GetSize(), 2);
    }
    EXPECT_EQ(manager.GetOptionGroup("g")->GetSize(), 1);
}

TEST_F(ButtonTest, DisablingClearsTheStateButKeepsTheSelection) {
    COptionUI* a = Find<COptionUI>("a");
    MoveTo(Centre("a"));
    EXPECT_NE(a->State() & kStateHot, 0u);
    a->SetEnabled(false);
    EXPECT_EQ(a->State(), unsigned{kStateSelected});
    CButtonUI* button = Find<CButtonUI>("b");
    MoveTo(Centre("b"));
    button->SetEnabled(false);
    EXPECT_EQ(button->State(), 0u);
    EXPECT_EQ(button->ControlFlags(), 0u);
    button->SetEnabled(true);
    EXPECT_EQ(button->ControlFlags(), unsigned{kFlagSetCursor | kFlagTabStop});
}

TEST_F(ButtonTest, MeasuresByFontHeight) {
    const int fontHeight = m_window->GetManager().GetFontInfo(-1)->tm.tmHeight;
    CButtonUI button;
    button.SetManager(&m_window->GetManager(), nullptr, false);
    EXPECT_EQ(button.MeasureSize({100, 100}).cy, fontHeight + 8);
    button.SetFixedHeight(33);
    EXPECT_EQ(button.MeasureSize({100, 100}).cy, 33);
}

TEST_F(ButtonTest, HotColourHidesTheImagesAndAFailedDisabledImageFallsBack) {
    const RECT fill = Find<CButtonUI>("fill")->Position();
    MoveTo(Centre("fill"));
    const plat::Bitmap hot = Pixels(fill);
    for (uint32_t px : hot.pixels)
        ASSERT_EQ(px, 0xFF00FF00u); // neither the normal nor the fore image
    MoveTo(plat::POINT{190, 135});
    EXPECT_NE(Pixels(fill).At(0, 0), 0xFF00FF00u);

    CButtonUI* broken = Find<CButtonUI>("broken");
    EXPECT_STREQ(broken->DisabledImage(), "");
    // The normal image stands in: the same pixels as the normal "fill" button's.
    EXPECT_TRUE(MatchesReference(Pixels(broken->Position()), "check-off-40x20"));
}

// Every state of a button with images and colours, of a grouped option and of a check box.
TEST_F(ButtonTest, SampleStatesMatchTheirReferences) {
    m_window.reset();
    std::string markup;
    ASSERT_TRUE(plat::ReadFileText(
        std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/buttons.xml", &markup));
    Open(markup, 420, 260);
    const RECT all{0, 0, 420, 260};
    EXPECT_TRUE(MatchesReference(Pixels(all), "buttons-normal"));

    struct Step {
        const char* name;
        const char* reference;
    };
    // Hot: the pointer over each kind in turn.
    for (const Step& step :
         {Step{"ok", "button-hot"}, Step{"close", "image-hot"}, Step{"fore", "fore-hot"},
          Step{"opt-b", "option-hot"}, Step{"opt-a", "option-selected-hot"},
          Step{"check-1", "check-hot"}, Step{"check-2", "check-selected-hot"}}) {
        MoveTo(Centre(step.name));
        EXPECT_TRUE(MatchesReference(
            Pixels(m_window->GetManager().FindControl(step.name)->Position()), step.reference))
            << step.name;
    }
    // Pushed: held down over the button.
    for (const Step& step : {Step{"ok", "button-pushed"}, Step{"close", "image-pushed"}}) {
        MoveTo(Centre(step.name));
        Down(Centre(step.name));
        EXPECT_TRUE(MatchesReference(
            Pixels(m_window->GetManager().FindControl(step.name)->Position()), step.reference))
            << step.name;
        MoveTo(plat::POINT{415, 255});
        Up(plat::POINT{415, 255});
    }
    // The group and check boxes after clicks, and the focused image.
    for (const char* name : {"opt-c", "check-1", "toggle"}) {
        Down(Centre(name));
        Up(Centre(name));
    }
    MoveTo(plat::POINT{415, 255});
    EXPECT_TRUE(MatchesReference(Pixels(all), "buttons-clicked"));
    Find<CButtonUI>("cancel")->SetFocus();
    EXPECT_TRUE(MatchesReference(Pixels(Find<CButtonUI>("cancel")->Position()), "button-focused"));
}

} // namespace
} // namespace Pane::test
