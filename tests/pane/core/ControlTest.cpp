#include "TreeTestSupport.h"

#include "pane/core/Control.h"
#include "platform/gfx/Canvas.h"

#include <gtest/gtest.h>

namespace Pane::test {
namespace {

using plat::RECT;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;

// Paints one control on a white bitmap through a canvas with no clip beyond the bitmap.
plat::Bitmap PaintAlone(CControlUI& control, const RECT& dirty, int w = 40, int h = 30) {
    plat::Bitmap bitmap(w, h, kWhite);
    plat::Canvas canvas(bitmap);
    control.Paint(&canvas, dirty);
    return bitmap;
}

TEST(ControlAttributes, PosWithNegativeCornersAnchorsToTheRightAndBottom) {
    CControlUI control;
    control.SetAttribute("pos", "-100,10,-10,40");
    EXPECT_EQ(control.FixedXY().cx, -10);
    EXPECT_EQ(control.FixedXY().cy, 10);
    EXPECT_EQ(control.FixedWidth(), 90);
    EXPECT_EQ(control.FixedHeight(), 30);
}

TEST(ControlAttributes, PosAtTheEndsOfTheNumberRangeClampsTheSize) {
    CControlUI control;
    control.SetAttribute("pos", "-2147483648,-2147483648,2147483647,0");
    // Sizes and positions keep to 2^20 pixels, so a layout's sums of them never overflow.
    EXPECT_EQ(control.FixedWidth(), 1 << 20);
    EXPECT_EQ(control.FixedHeight(), 1 << 20);
    EXPECT_EQ(control.FixedXY().cx, 1 << 20); // a negative left takes the right edge
    control.SetAttribute("padding", "-2147483648,0,2147483647,5");
    EXPECT_EQ(control.Padding().left, -(1 << 20));
    EXPECT_EQ(control.Padding().right, 1 << 20);
    EXPECT_EQ(control.Padding().bottom, 5);
    // The other way round the width is negative, which a control does not take.
    CControlUI reversed;
    reversed.SetAttribute("pos", "2147483647,0,-2147483648,0");
    EXPECT_EQ(reversed.FixedWidth(), 0);
}

TEST(ControlAttributes, ValuesFollowTheirWrittenForms) {
    CControlUI control;
    control.SetAttribute("tooltip", "a<n>b");
    EXPECT_STREQ(control.ToolTip(), "a\r\nb");
    control.SetAttribute("bkcolor", "  #80112233");
    EXPECT_EQ(control.BkColor(), 0x80112233u);
    control.SetAttribute("bkcolor2", "FF00FF00");
    EXPECT_EQ(control.BkColor2(), 0xFF00FF00u);
    // Only the exact text "true" is true.
    control.SetAttribute("visible", "TRUE");
    EXPECT_FALSE(control.IsVisible());
    control.SetAttribute("visible", "true");
    EXPECT_TRUE(control.IsVisible());
    control.SetAttribute("shortcut", "Save");
    EXPECT_EQ(control.Shortcut(), 'S');
    control.SetAttribute("borderround", "4,6");
    EXPECT_EQ(control.BorderRound().cx, 4);
    EXPECT_EQ(control.BorderRound().cy, 6);
    control.SetAttribute("relativepos", "50,0,25,100");
    EXPECT_TRUE(control.IsRelative());
    EXPECT_EQ(control.RelativePos().moveX, 50);
    EXPECT_EQ(control.RelativePos().zoomY, 100);
    // Negative sizes and unknown names change nothing.
    control.SetAttribute("width", "30");
    control.SetAttribute("width", "-5");
    control.SetAttribute("colour", "#FFFFFFFF");
    EXPECT_EQ(control.FixedWidth(), 30);
}

TEST(ControlAttributes, BorderSizeWithCommasSetsTheSidesOnly) {
    CControlUI control;
    control.SetAttribute("bordersize", "3");
    control.SetAttribute("bordersize", "1,0,0,2");
    EXPECT_EQ(control.BorderSize(), 3);
    EXPECT_EQ(control.BorderSides().left, 1);
    EXPECT_EQ(control.BorderSides().bottom, 2);
    control.SetAttribute("bordersize", "2");
    EXPECT_EQ(control.BorderSize(), 2);
    EXPECT_EQ(control.BorderSides().left, 0);
    EXPECT_EQ(control.BorderSides().bottom, 0);
}

TEST(ControlAttributes, AttributeListStopsAtTheFirstMalformedPair) {
    CControlUI control;
    control.ApplyAttributeList("name=\"ok\" text=\"a b\" width=30 height=\"40\"");
    EXPECT_STREQ(control.Name(), "ok");
    EXPECT_STREQ(control.GetText(), "a b");
    EXPECT_EQ(control.FixedWidth(), 0);
    EXPECT_EQ(control.FixedHeight(), 0);
    // Two spaces between pairs are malformed as well.
    control.ApplyAttributeList("width=\"5\"  height=\"6\"");
    EXPECT_EQ(control.FixedWidth(), 5);
    EXPECT_EQ(control.FixedHeight(), 0);
    control.ApplyAttributeList("text=\"unterminated");
    EXPECT_STREQ(control.GetText(), "a b");
}

TEST(ControlPosition, RightBelowLeftGivesAZeroWidth) {
    CControlUI control;
    control.SetPosition(RECT{50, 10, 20, 5});
    EXPECT_EQ(control.Position().left, 50);
    EXPECT_EQ(control.Width(), 0);
    EXPECT_EQ(control.Height(), 0);
}

TEST(ControlPaint, TranslucentColourCoversTheWholeControlOpaqueOnlyTheDirtyPart) {
    CControlUI control;
    control.SetPosition(RECT{0, 0, 20, 20});
    control.SetBkColor(0xFFFF0000);
    plat::Bitmap opaque = PaintAlone(control, RECT{0, 0, 10, 10});
    EXPECT_EQ(opaque.At(5, 5), kRed);
    EXPECT_EQ(opaque.At(15, 15), kWhite);

    control.SetBkColor(0x80FF0000);
    plat::Bitmap translucent = PaintAlone(control, RECT{0, 0, 10, 10});
    EXPECT_NE(translucent.At(15, 15), kWhite);
    EXPECT_EQ(translucent.At(15, 15), translucent.At(5, 5));
    EXPECT_EQ(translucent.At(25, 25), kWhite);
}

TEST(ControlPaint, PerSideBordersDrawOnlyTheirSides) {
    CControlUI control;
    control.SetPosition(RECT{5, 5, 25, 25});
    control.SetAttribute("bordercolor", "#FF0000FF");
    control.SetAttribute("bordersize", "1,0,0,2");
    const plat::Bitmap b = PaintAlone(control, RECT{0, 0, 40, 30});
    EXPECT_EQ(b.At(5, 10), kBlue); // left, one pixel
    EXPECT_EQ(b.At(6, 10), kWhite);
    EXPECT_EQ(b.At(15, 24), kBlue); // bottom, two pixels
    EXPECT_EQ(b.At(15, 23), kBlue);
    EXPECT_EQ(b.At(15, 22), kWhite);
    EXPECT_EQ(b.At(15, 5), kWhite);  // no top
    EXPECT_EQ(b.At(24, 10), kWhite); // no right
}

TEST(ControlPaint, FocusColourFramesAFocusedControlAndNothingElse) {
    CControlUI control;
    control.SetPosition(RECT{0, 0, 20, 20});
    control.SetAttribute("focusbordercolor", "#FFFF0000");
    control.SetAttribute("bordersize", "1");
    // Unfocused with no border colour: no frame at all.
    EXPECT_EQ(PaintAlone(control, RECT{0, 0, 20, 20}).At(0, 10), kWhite);
    UIEvent focus;
    focus.type = kEventSetFocus;
    control.DispatchEvent(focus);
    EXPECT_EQ(PaintAlone(control, RECT{0, 0, 20, 20}).At(0, 10), kRed);
}

TEST(ControlPaint, RoundCornersClipTheBackground) {
    CControlUI control;
    control.SetPosition(RECT{0, 0, 30, 30});
    control.SetBkColor(0xFFFF0000);
    control.SetAttribute("borderround", "12,12");
    const plat::Bitmap b = PaintAlone(control, RECT{0, 0, 30, 30});
    EXPECT_EQ(b.At(0, 0), kWhite);
    EXPECT_EQ(b.At(15, 15), kRed);
    EXPECT_EQ(b.At(15, 0), kRed);
}

TEST(ControlPaint, ThreeColoursMeetAtTheMiddle) {
    CControlUI control;
    control.SetPosition(RECT{0, 0, 10, 20});
    control.SetBkColor(0xFFFF0000);
    control.SetBkColor2(0xFF00FF00);
    control.SetBkColor3(0xFF0000FF);
    const plat::Bitmap b = PaintAlone(control, RECT{0, 0, 10, 20});
    EXPECT_EQ(b.At(5, 0), kRed);
    EXPECT_EQ(b.At(5, 10) & 0xFFFFFF, 0x00FF00u);
    EXPECT_GT(b.At(5, 19) & 0xFF, 0xC0u);
    EXPECT_LT((b.At(5, 19) >> 16) & 0xFF, 0x20u);
}

TEST(ControlEvents, AVetoingDelegateKeepsTheEventFromTheControl) {
    std::vector<std::string> log;
    LoggingControl control("c", &log);
    struct Veto {
        bool answer = false;
        int calls = 0;
        bool OnEvent(void*) {
            ++calls;
            return answer;
        }
    } veto;
    control.OnEvent += MakeDelegate(&veto, &Veto::OnEvent);
    UIEvent event;
    event.type = kEventButtonDown;
    control.DispatchEvent(event);
    EXPECT_EQ(veto.calls, 1);
    EXPECT_TRUE(log.empty());
    veto.answer = true;
    control.DispatchEvent(event);
    EXPECT_EQ(log, std::vector<std::string>{"c:down"});
}

class ControlTree : public TreeTest {};

// Records the events that reach its handler.
class LoggingContainer : public CContainerUI {
public:
    void HandleEvent(UIEvent& event) override {
        types.push_back(event.type);
        CContainerUI::HandleEvent(event);
    }
    std::vector<int> types;
};

TEST_F(ControlTree, EventsBubbleToTheParentsHandler) {
    auto* root = new CContainerUI;
    auto* parent = new LoggingContainer;
    root->Add(parent);
    auto* child = new CControlUI;
    parent->Add(child);
    Attach(root);
    struct Seen {
        int calls = 0;
        bool OnEvent(void*) {
            ++calls;
            return true;
        }
    } seen;
    parent->OnEvent += MakeDelegate(&seen, &Seen::OnEvent);
    parent->types.clear();
    Click(child);
    // The child's unhandled presses reach the parent's handler, not its delegates.
    EXPECT_EQ(parent->types, (std::vector<int>{kEventMouseEnter, kEventMouseMove, kEventButtonDown,
                                               kEventButtonUp}));
    EXPECT_EQ(seen.calls, 0);
    // A timer is handled by the control itself: it becomes a notification.
    parent->types.clear();
    UIEvent timer;
    timer.type = kEventTimer;
    timer.wParam = 7;
    child->DispatchEvent(timer);
    EXPECT_TRUE(parent->types.empty());
    ASSERT_FALSE(m_notes.records.empty());
    EXPECT_STREQ(m_notes.records.back().type, "timer");
    EXPECT_EQ(m_notes.records.back().sender, child);
    EXPECT_EQ(m_notes.records.back().wParam, 7u);
}

TEST_F(ControlTree, ContextMenuNotifiesOnlyWhenTheMenuIsUsed) {
    auto* root = new CContainerUI;
    auto* child = new CControlUI;
    child->SetName("c");
    root->Add(child);
    Attach(root);
    UIEvent menu;
    menu.type = kEventContextMenu;
    child->DispatchEvent(menu);
    EXPECT_TRUE(m_notes.entries.empty() || m_notes.entries.back() != "menu:c");
    child->SetAttribute("menu", "true");
    child->DispatchEvent(menu);
    ASSERT_FALSE(m_notes.entries.empty());
    EXPECT_EQ(m_notes.entries.back(), "menu:c");
}

TEST_F(ControlTree, HidingTheFocusedControlClearsTheFocus) {
    std::vector<std::string> log;
    auto* root = new CContainerUI;
    auto* a = new LoggingControl("a", &log, true);
    root->Add(a);
    Attach(root);
    a->SetFocus();
    ASSERT_EQ(m_manager->GetFocus(), a);
    a->SetVisible(false);
    EXPECT_EQ(m_manager->GetFocus(), nullptr);
    EXPECT_FALSE(a->IsFocused());
    EXPECT_EQ(m_notes.entries.back(), "killfocus:a");
}

TEST_F(ControlTree, SizeHintsAskTheParentForALayout) {
    auto* root = new CContainerUI;
    auto* box = new CContainerUI;
    auto* child = new CControlUI;
    root->Add(box);
    box->Add(child);
    Attach(root);
    ASSERT_FALSE(box->IsUpdateNeeded());
    child->SetMinWidth(10);
    EXPECT_TRUE(box->IsUpdateNeeded());
    EXPECT_FALSE(root->IsUpdateNeeded());
    Pump();
    EXPECT_FALSE(box->IsUpdateNeeded());
    // Unchanged or negative limits ask for nothing.
    child->SetMinWidth(10);
    child->SetMaxWidth(-1);
    EXPECT_FALSE(box->IsUpdateNeeded());
}

TEST_F(ControlTree, ABackgroundImageThatCannotBeDrawnIsDropped) {
    auto* root = new CContainerUI;
    root->SetBkColor(0xFF00FF00);
    root->SetBkImage("file='no-such-image.png'");
    Attach(root);
    EXPECT_TRUE(root->BkImage().IsEmpty());
    EXPECT_EQ(Pixel(10, 10), 0xFF00FF00u);
}

TEST_F(ControlTree, TheBorderGoesOverTheBackgroundInsideTheRoundClip) {
    auto* root = new CContainerUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* box = new CControlUI;
    box->ApplyAttributeList("float=\"true\" pos=\"20,20,120,80\" bkcolor=\"#FFFF0000\" "
                            "bkcolor2=\"#FFFFFF00\" bordercolor=\"#FF0000FF\" "
                            "bordersize=\"2\" borderround=\"16,16\"");
    root->Add(box);
    Attach(root, 140, 100);
    Shot("ControlRoundBorder");
    EXPECT_EQ(Pixel(20, 20), 0xFFFFFFFFu); // cut by the round corner
    EXPECT_EQ(Pixel(70, 20), 0xFF0000FFu); // border over the gradient
    // A red to yellow gradient inside: red throughout, green growing downwards.
    EXPECT_EQ(Pixel(70, 22) & 0xFF00FF, 0xFF0000u);
    EXPECT_EQ(Pixel(70, 50) & 0xFF00FF, 0xFF0000u);
    EXPECT_GT(Pixel(70, 76) & 0xFF00, Pixel(70, 30) & 0xFF00); // towards yellow
}

} // namespace
} // namespace Pane::test
