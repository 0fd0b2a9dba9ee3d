// The scroll bar: the parts' arithmetic, clamping, pressing, holding and dragging on the
// headless backend's virtual clock, owned and standalone behaviour, and its outline fallback.
#include "../core/TreeTestSupport.h"
#include "../layouts/RectText.h"

#include "pane/controls/ScrollBar.h"
#include "pane/core/Builder.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/base/Rect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace Pane::test {
namespace {

using plat::RECT;

TEST(ScrollBarParts, ThumbLengthAndPlaceFollowRangeAndPosition) {
    CScrollBarUI bar;
    EXPECT_EQ(bar.FixedWidth(), 16);
    bar.SetPosition(RECT{10, 0, 26, 200});
    EXPECT_EQ(Str(bar.Button1Rect()), "10,0,26,16");
    EXPECT_EQ(Str(bar.Button2Rect()), "10,184,26,200");
    // Track 168, thumb 200 * 168 / 300 = 112.
    EXPECT_EQ(Str(bar.ThumbRect()), "10,16,26,128");
    bar.SetScrollPos(100);
    EXPECT_EQ(Str(bar.ThumbRect()), "10,72,26,184");
    bar.SetScrollPos(150);
    EXPECT_EQ(bar.ScrollPos(), 100);
    bar.SetScrollRange(50);
    EXPECT_EQ(bar.ScrollPos(), 50);
    bar.SetScrollRange(0);
    EXPECT_EQ(Str(bar.ThumbRect()), "10,16,26,184");
    // A long range keeps the thumb at its minimum length without overflowing.
    bar.SetScrollRange(2000000000);
    bar.SetScrollPos(1000000000);
    EXPECT_EQ(Str(bar.ThumbRect()), "10,92,26,108");

    // Without the first button the track starts at the top.
    bar.SetAttribute("showbutton1", "false");
    bar.SetScrollRange(100);
    bar.SetScrollPos(0);
    EXPECT_EQ(Str(bar.Button1Rect()), "10,0,10,0");
    EXPECT_EQ(bar.ThumbRect().top, 0);

    // Too short for a thumb: the buttons share the length, no thumb.
    CScrollBarUI shortBar;
    shortBar.SetPosition(RECT{0, 0, 16, 20});
    EXPECT_EQ(Str(shortBar.Button1Rect()), "0,0,16,10");
    EXPECT_EQ(Str(shortBar.Button2Rect()), "0,10,16,20");
    EXPECT_EQ(Str(shortBar.ThumbRect()), "0,0,0,0");
}

TEST(ScrollBarParts, AHorizontalBarIsTheVerticalOneTurned) {
    CScrollBarUI bar;
    bar.SetAttribute("hor", "true");
    EXPECT_TRUE(bar.IsHorizontal());
    EXPECT_EQ(bar.FixedWidth(), 0);
    EXPECT_EQ(bar.FixedHeight(), 16);
    bar.SetAttribute("range", "100");
    bar.SetAttribute("value", "100");
    bar.SetPosition(RECT{0, 5, 200, 21});
    EXPECT_EQ(Str(bar.Button1Rect()), "0,5,16,21");
    EXPECT_EQ(Str(bar.Button2Rect()), "184,5,200,21");
    EXPECT_EQ(Str(bar.ThumbRect()), "72,5,184,21");
    // Back to vertical the thickness is a width again; a bar given its own width keeps it.
    bar.SetHorizontal(false);
    EXPECT_EQ(bar.FixedWidth(), 16);
    EXPECT_EQ(bar.FixedHeight(), 0);
    bar.SetFixedHeight(10);
    bar.SetHorizontal(true);
    EXPECT_EQ(bar.FixedHeight(), 10);
    EXPECT_EQ(bar.FixedWidth(), 16);
}

class ScrollBarTree : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        SetControlFactory(&CreateControlOfClass);
    }
    void TearDown() override {
        TreeTest::TearDown();
        SetControlFactory(nullptr);
    }

    // A standalone vertical bar 200 long at (10, 0) in a white container.
    CScrollBarUI* Standalone(const char* attributes = "") {
        auto* root = new CContainerUI;
        root->SetBkColor(0xFFFFFFFF);
        auto* bar = new CScrollBarUI;
        bar->SetName("bar");
        bar->ApplyAttributeList("float=\"true\" pos=\"10,0,26,200\"");
        bar->ApplyAttributeList(attributes);
        root->Add(bar);
        Attach(root, 100, 220);
        return bar;
    }

    int Scrolls() const {
        return static_cast<int>(
            std::count(m_notes.entries.begin(), m_notes.entries.end(), "scroll:bar"));
    }

    // Advances the virtual clock by one repeat period.
    static void Tick() {
        plat::headless::AdvanceClock(50);
        Pump();
    }
};

TEST_F(ScrollBarTree, HoldingAButtonStepsAtOnceThenRepeatsAfterTheDelay) {
    CScrollBarUI* bar = Standalone();
    plat::headless::MouseMove(18, 192);
    plat::headless::MouseDown(18, 192);
    Pump();
    EXPECT_EQ(bar->ScrollPos(), 8);
    EXPECT_EQ(Scrolls(), 1);
    EXPECT_NE(bar->Button2State() & CScrollBarUI::kStatePushed, 0u);
    for (int tick = 1; tick <= 5; ++tick) {
        Tick();
    }
    EXPECT_EQ(bar->ScrollPos(), 8);
    EXPECT_EQ(Scrolls(), 1);
    for (int tick = 6; tick <= 8; ++tick) {
        Tick();
        EXPECT_EQ(bar->ScrollPos(), 8 * (tick - 4));
        EXPECT_EQ(Scrolls(), tick - 4);
    }
    plat::headless::MouseUp(18, 192);
    Tick();
    Tick();
    EXPECT_EQ(bar->ScrollPos(), 32);
    EXPECT_EQ(bar->Button2State() & CScrollBarUI::kStatePushed, 0u);

    // Button 1 steps back by the line size.
    bar->SetAttribute("linesize", "20");
    Click(bar);
    plat::headless::MouseMove(18, 5);
    plat::headless::MouseDown(18, 5);
    plat::headless::MouseUp(18, 5);
    Pump();
    EXPECT_EQ(bar->ScrollPos(), 12);
}

TEST_F(ScrollBarTree, TheTrackPagesAndTheThumbDrags) {
    CScrollBarUI* bar = Standalone();
    // Thumb 16..128: a press below it pages by the bar's height, clamped to the range.
    plat::headless::MouseMove(18, 150);
    plat::headless::MouseDown(18, 150);
    plat::headless::MouseUp(18, 150);
    Pump();
    EXPECT_EQ(bar->ScrollPos(), 100);
    EXPECT_EQ(Str(bar->ThumbRect()), "10,72,26,184");
    // Above it, back to 0.
    plat::headless::MouseMove(18, 40);
    plat::headless::MouseDown(18, 40);
    plat::headless::MouseUp(18, 40);
    Pump();
    EXPECT_EQ(bar->ScrollPos(), 0);

    // Free track 200 - 32 - 112 = 56 pixels for a range of 100: 28 pixels are half of it, and
    // the position follows at the next tick.
    const int before = Scrolls();
    plat::headless::MouseMove(18, 60);
    plat::headless::MouseDown(18, 60);
    EXPECT_EQ(bar->ThumbState() & CScrollBarUI::kStateCaptured, CScrollBarUI::kStateCaptured);
    plat::headless::MouseMove(18, 88);
    Pump();
    EXPECT_EQ(bar->ScrollPos(), 0);
    Tick();
    EXPECT_EQ(bar->ScrollPos(), 50);
    EXPECT_EQ(Scrolls(), before + 2);
    plat::headless::MouseUp(18, 88);
    Pump();
    EXPECT_EQ(bar->ThumbState() & (CScrollBarUI::kStateCaptured | CScrollBarUI::kStatePushed), 0u);

    // A disabled bar ignores presses and forgets its states.
    bar->SetEnabled(false);
    plat::headless::MouseMove(18, 192);
    plat::headless::MouseDown(18, 192);
    plat::headless::MouseUp(18, 192);
    Pump();
    EXPECT_EQ(bar->ScrollPos(), 50);
}

TEST_F(ScrollBarTree, AnOwnedBarScrollsItsContainerAndNeverNotifies) {
    auto* column = new CVerticalLayoutUI;
    column->SetAttribute("vscrollbar", "true");
    for (int i = 0; i < 10; ++i) {
        auto* row = new CControlUI;
        row->SetFixedHeight(30);
        column->Add(row);
    }
    Attach(column, 200, 100);
    auto* bar = static_cast<CScrollBarUI*>(column->VerticalScrollBar());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Owner(), column);
    m_notes.entries.clear();
    plat::headless::MouseMove(192, 95);
    plat::headless::MouseDown(192, 95);
    plat::headless::MouseUp(192, 95);
    Pump();
    // One line of the container: the default font's line height and some air.
    const int line = column->ScrollPosition().cy;
    EXPECT_GT(line, 0);
    EXPECT_EQ(column->GetItemAt(0)->Position().top, -line);
    // Dragging the thumb sets the container's position through its own scrolling.
    const RECT thumb = bar->ThumbRect();
    plat::headless::MouseMove(192, thumb.top + 2);
    plat::headless::MouseDown(192, thumb.top + 2);
    plat::headless::MouseMove(192, 99);
    Tick();
    plat::headless::MouseUp(192, 99);
    Pump();
    EXPECT_EQ(column->ScrollPosition().cy, 200);
    EXPECT_EQ(column->GetItemAt(9)->Position().bottom, 100);
    for (const std::string& entry : m_notes.entries) {
        EXPECT_EQ(entry.rfind("scroll:", 0), std::string::npos) << entry;
    }
}

TEST_F(ScrollBarTree, WithoutImagesThePartsAreOutlined) {
    Standalone();
    const uint32_t outline = 0xFF85E4FF;
    // Button 1 (10,0)-(26,16), button 2 (10,184)-(26,200), thumb (10,16)-(26,128).
    EXPECT_EQ(Pixel(10, 5), outline);
    EXPECT_EQ(Pixel(11, 5), outline);
    EXPECT_EQ(Pixel(12, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(25, 190), outline);
    EXPECT_EQ(Pixel(18, 16), outline);
    EXPECT_EQ(Pixel(18, 127), outline);
    EXPECT_EQ(Pixel(18, 60), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(18, 150), 0xFFFFFFFFu);
}

TEST_F(ScrollBarTree, AnImageThatCannotBeDrawnFallsBackToTheOutline) {
    // The drawn images themselves are in the sample's reference pictures.
    CScrollBarUI* bar =
        Standalone("button1normalimage=\"nosuch.png\" button2hotimage=\"nosuch.png\"");
    EXPECT_EQ(Pixel(10, 5), 0xFF85E4FFu);
    MoveTo(bar);
    Pump();
    EXPECT_NE(bar->Button2State() & CScrollBarUI::kStateHot, 0u);
    EXPECT_EQ(Pixel(25, 190), 0xFF85E4FFu);
}

} // namespace
} // namespace Pane::test
