#include "TreeTestSupport.h"

#include "pane/core/Container.h"
#include "platform/base/Rect.h"

#include <gtest/gtest.h>

namespace Pane::test {
namespace {

using plat::POINT;
using plat::RECT;
using plat::SIZE;

// Stacks its children from the top at their fixed heights and hands the scroll range to the
// scroll bar, as the vertical layout does.
class StackUI : public CContainerUI {
public:
    void SetPosition(RECT rc) override {
        CControlUI::SetPosition(rc);
        RECT inner = InnerRect();
        const int scroll = ScrollPosition().cy;
        int y = inner.top - scroll;
        int needed = 0;
        for (int i = 0; i < GetCount(); ++i) {
            CControlUI* child = GetItemAt(i);
            child->SetPosition(RECT{inner.left, y, inner.right, y + child->FixedHeight()});
            y += child->FixedHeight();
            needed += child->FixedHeight();
        }
        ProcessScrollBar(inner, 0, needed);
    }
};

CControlUI* Fixed(int height, const char* name = "") {
    auto* control = new CControlUI;
    control->SetFixedHeight(height);
    control->SetName(name);
    return control;
}

CControlUI* HitTest(CContainerUI& container, POINT pt) {
    return container.FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            return plat::PtInRect(c->Position(), *static_cast<POINT*>(data)) ? c : nullptr;
        },
        &pt, kFindVisible | kFindHitTest | kFindTopFirst);
}

TEST(Container, ChildrenOfAHiddenContainerStayHiddenUntilItIsShown) {
    CContainerUI container;
    container.SetVisible(false);
    auto* child = new CControlUI;
    ASSERT_TRUE(container.Add(child));
    EXPECT_FALSE(child->IsVisible());
    container.SetVisible(true);
    EXPECT_TRUE(child->IsVisible());
}

TEST(Container, AddAtPlacesAndRefusesBeyondTheEnd) {
    CContainerUI container;
    auto* a = new CControlUI;
    auto* b = new CControlUI;
    auto* c = new CControlUI;
    EXPECT_FALSE(container.Add(nullptr));
    ASSERT_TRUE(container.Add(a));
    ASSERT_TRUE(container.AddAt(b, 0));
    EXPECT_FALSE(container.AddAt(c, 3));
    ASSERT_TRUE(container.AddAt(c, 2));
    EXPECT_EQ(container.GetItemAt(0), b);
    EXPECT_EQ(container.GetItemIndex(c), 2);
    EXPECT_TRUE(container.SetItemIndex(c, 0));
    EXPECT_EQ(container.GetItemAt(0), c);
    EXPECT_FALSE(container.SetItemIndex(c, 3));
    EXPECT_EQ(container.GetItemAt(-1), nullptr);
}

TEST(Container, HitTestsFindChildrenInTheInnerAreaAndTheContainerInItsInset) {
    CContainerUI container;
    container.SetAttribute("inset", "10,10,10,10");
    auto* child = new CControlUI;
    container.Add(child);
    container.SetPosition(RECT{0, 0, 100, 100});
    EXPECT_EQ(HitTest(container, POINT{50, 50}), child);
    EXPECT_EQ(HitTest(container, POINT{5, 50}), &container);
    EXPECT_EQ(HitTest(container, POINT{150, 50}), nullptr);
    container.SetMouseChildEnabled(false);
    EXPECT_EQ(HitTest(container, POINT{50, 50}), &container);
    // An invisible or mouse-disabled child is passed over.
    container.SetMouseChildEnabled(true);
    child->SetMouseEnabled(false);
    EXPECT_EQ(HitTest(container, POINT{50, 50}), &container);
}

TEST(Container, FindOrderFollowsTheFlags) {
    CContainerUI container;
    auto* a = new CControlUI;
    auto* b = new CControlUI;
    a->SetName("a");
    b->SetName("b");
    container.SetName("box");
    container.Add(a);
    container.Add(b);
    b->SetEnabled(false);
    auto order = [&container](uint32_t flags) {
        std::string seen;
        container.FindControl(
            [](CControlUI* c, void* data) -> CControlUI* {
                *static_cast<std::string*>(data) += std::string(c->Name().GetData()) + " ";
                return nullptr;
            },
            &seen, flags);
        return seen;
    };
    EXPECT_EQ(order(kFindAll), "a b box ");
    EXPECT_EQ(order(kFindMeFirst), "box a b ");
    EXPECT_EQ(order(kFindTopFirst), "b a box ");
    EXPECT_EQ(order(kFindEnabled), "a box ");
    container.SetVisible(false);
    EXPECT_EQ(order(kFindVisible), "");
}

TEST(Container, FloatingChildrenArePlacedFromEitherEdge) {
    CContainerUI container;
    auto* right = new CControlUI;
    right->SetAttribute("float", "true");
    // Fixed x -20 (the right edge of "pos" when its left is negative), width 50.
    right->SetAttribute("pos", "-70,5,-20,25");
    container.Add(right);
    container.SetPosition(RECT{0, 0, 300, 100});
    EXPECT_EQ(right->Position().left, 230);
    EXPECT_EQ(right->Position().right, 280);
    EXPECT_EQ(right->Position().top, 5);
    EXPECT_EQ(right->Position().bottom, 25);
}

TEST(Container, RelativeFloatsFollowTheirParentsGrowth) {
    CContainerUI container;
    auto* child = new CControlUI;
    child->SetAttribute("float", "true");
    child->SetAttribute("pos", "10,10,60,30");
    child->SetAttribute("relativepos", "50,0,50,100");
    container.Add(child);
    container.SetPosition(RECT{0, 0, 200, 100});
    EXPECT_EQ(child->Position().left, 10);
    EXPECT_EQ(child->RelativePos().parentSize.cx, 200);
    // 100 wider and 20 taller: half the growth moves it, half widens it; all of the height.
    container.SetPosition(RECT{0, 0, 300, 120});
    EXPECT_EQ(child->Position().left, 60);
    EXPECT_EQ(child->Position().right, 160);
    EXPECT_EQ(child->Position().top, 10);
    EXPECT_EQ(child->Position().bottom, 50);
}

TEST(ContainerScroll, OverflowShowsTheBarAndShrinkingHidesIt) {
    ScrollBarFactoryScope factory;
    StackUI stack;
    stack.SetAttribute("vscrollbar", "true");
    ASSERT_NE(stack.VerticalScrollBar(), nullptr);
    for (int i = 0; i < 5; ++i) {
        stack.Add(Fixed(40));
    }
    stack.SetPosition(RECT{0, 0, 100, 100});
    CControlUI* bar = stack.VerticalScrollBar();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(stack.ScrollRange().cy, 100);
    EXPECT_EQ(stack.GetItemAt(0)->Width(), 90);
    EXPECT_EQ(bar->Position().left, 90);

    // Without a manager a line is 8 pixels.
    stack.LineDown();
    EXPECT_EQ(stack.ScrollPosition().cy, 8);
    EXPECT_EQ(stack.GetItemAt(0)->Position().top, -8);
    stack.EndDown();
    EXPECT_EQ(stack.ScrollPosition().cy, 100);
    stack.PageUp();
    EXPECT_EQ(stack.ScrollPosition().cy, 0);

    while (stack.GetCount() > 2) {
        stack.RemoveAt(0);
    }
    stack.SetPosition(RECT{0, 0, 100, 100});
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(stack.ScrollRange().cy, 0);
    EXPECT_EQ(stack.GetItemAt(0)->Width(), 100);
}

TEST(ContainerScroll, KeysAndWheelScrollAVisibleBar) {
    ScrollBarFactoryScope factory;
    StackUI stack;
    stack.EnableScrollBar(true, false);
    for (int i = 0; i < 10; ++i) {
        stack.Add(Fixed(50));
    }
    stack.SetPosition(RECT{0, 0, 100, 100});
    UIEvent key;
    key.type = kEventKeyDown;
    key.key = static_cast<char>(plat::VK_NEXT);
    stack.HandleEvent(key);
    EXPECT_EQ(stack.ScrollPosition().cy, 100);
    key.key = static_cast<char>(plat::VK_END);
    stack.HandleEvent(key);
    EXPECT_EQ(stack.ScrollPosition().cy, 400);
    UIEvent wheel;
    wheel.type = kEventScrollWheel;
    wheel.wParam = 0;
    stack.HandleEvent(wheel);
    EXPECT_EQ(stack.ScrollPosition().cy, 392);
    key.key = static_cast<char>(plat::VK_HOME);
    stack.HandleEvent(key);
    EXPECT_EQ(stack.ScrollPosition().cy, 0);
}

TEST(ContainerScroll, WithoutAScrollBarClassTheContainerGoesOn) {
    StackUI stack;
    stack.SetAttribute("vscrollbar", "true");
    stack.SetAttribute("hscrollbarstyle", "width=\"5\"");
    EXPECT_EQ(stack.VerticalScrollBar(), nullptr);
    EXPECT_EQ(stack.HorizontalScrollBar(), nullptr);
    for (int i = 0; i < 5; ++i) {
        stack.Add(Fixed(40));
    }
    stack.SetPosition(RECT{0, 0, 100, 100});
    stack.LineDown();
    EXPECT_EQ(stack.ScrollPosition().cy, 0);
    EXPECT_EQ(stack.GetItemAt(0)->Width(), 100);
}

class ContainerTree : public TreeTest {};

TEST_F(ContainerTree, ScrollBarsTakeTheirDefaultAttributesAndTheFontLine) {
    ScrollBarFactoryScope factory;
    auto* stack = new StackUI;
    for (int i = 0; i < 20; ++i) {
        stack->Add(Fixed(30));
    }
    Attach(stack, 200, 100);
    m_manager->AddDefaultAttributeList("VScrollBar", "width=\"14\" name=\"vbar\"");
    stack->EnableScrollBar(true, false);
    Pump();
    ASSERT_NE(stack->VerticalScrollBar(), nullptr);
    EXPECT_EQ(stack->VerticalScrollBar()->Width(), 14);
    EXPECT_EQ(stack->GetItemAt(0)->Width(), 186);
    stack->LineDown();
    EXPECT_EQ(stack->ScrollPosition().cy, m_manager->GetDefaultFontInfo()->tm.tmHeight + 8);

    // The same position again changes nothing and asks for no paint.
    Pump();
    stack->SetScrollPosition(stack->ScrollPosition());
    RECT update;
    EXPECT_FALSE(plat::GetUpdateRect(m_host->GetHWND(), &update, false));
    stack->LineDown();
    EXPECT_TRUE(plat::GetUpdateRect(m_host->GetHWND(), &update, false));
}

TEST_F(ContainerTree, ANewSizeForAFloatingChildTakesEffect) {
    auto* root = new CContainerUI;
    auto* badge = new CControlUI;
    badge->ApplyAttributeList("float=\"true\" pos=\"-40,10,-10,30\"");
    root->Add(badge);
    Attach(root, 200, 100);
    ASSERT_EQ(badge->Position().left, 160);
    // Laying out the badge alone would keep its old rectangle and write it back into its fixed
    // size; the parent places it anew.
    badge->SetFixedWidth(80);
    badge->SetFixedXY(plat::SIZE{-20, 5});
    Pump();
    EXPECT_EQ(badge->Position().left, 100);
    EXPECT_EQ(badge->Position().right, 180);
    EXPECT_EQ(badge->Position().top, 5);
    EXPECT_EQ(badge->FixedWidth(), 80);
}

TEST_F(ContainerTree, RemovedChildrenAreFreedAfterTheCurrentMessage) {
    auto* root = new CContainerUI;
    auto* child = new CControlUI;
    child->SetName("child");
    root->Add(child);
    Attach(root);
    DestroyWatch watch(*child);
    ASSERT_TRUE(root->Remove(child));
    EXPECT_FALSE(watch.destroyed);
    EXPECT_EQ(root->GetCount(), 0);
    Pump();
    EXPECT_TRUE(watch.destroyed);
    EXPECT_EQ(m_manager->FindControl("child"), nullptr);
}

TEST_F(ContainerTree, ChildrenPaintInsideTheInsetFloatsOverIt) {
    auto* root = new CContainerUI;
    root->SetBkColor(0xFFFFFFFF);
    root->SetAttribute("inset", "10,10,10,10");
    auto* child = new CControlUI;
    child->SetBkColor(0xFF0000FF);
    root->Add(child);
    auto* badge = new CControlUI;
    badge->SetAttribute("float", "true");
    badge->SetAttribute("pos", "0,0,20,20");
    badge->SetBkColor(0xFFFF0000);
    root->Add(badge);
    Attach(root, 100, 80);
    Shot("ContainerInsetAndFloat");
    EXPECT_EQ(Pixel(5, 50), 0xFFFFFFFFu);  // inset
    EXPECT_EQ(Pixel(50, 40), 0xFF0000FFu); // child
    EXPECT_EQ(Pixel(95, 75), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(2, 2), 0xFFFF0000u);   // float over the inset
    EXPECT_EQ(Pixel(15, 15), 0xFFFF0000u); // and over the child painted before it
}

TEST_F(ContainerTree, ScrolledOutChildrenAreNotHit) {
    ScrollBarFactoryScope factory;
    auto* root = new CContainerUI;
    auto* stack = new StackUI;
    stack->SetAttribute("inset", "0,20,0,0");
    stack->EnableScrollBar(true, false);
    for (int i = 0; i < 6; ++i) {
        stack->Add(Fixed(30, i == 0 ? "first" : ""));
    }
    root->Add(stack);
    Attach(root, 100, 100);
    stack->SetScrollPosition(SIZE{0, 25});
    // The first child now reaches up into the inset; the point there finds the stack.
    CControlUI* first = m_manager->FindControl("first");
    ASSERT_EQ(first->Position().top, -5);
    EXPECT_EQ(m_manager->FindControl(POINT{30, 10}), stack);
    EXPECT_EQ(m_manager->FindControl(POINT{30, 22}), first);
}

} // namespace
} // namespace Pane::test
