// The layouts' arithmetic (stretch shares and remainders, paddings inside rectangles, clamps,
// scrolling), the tab layout's page bookkeeping, and separator drags on the headless backend.
#include "../core/TreeTestSupport.h"
#include "RectText.h"

#include "pane/core/Builder.h"
#include "pane/layouts/HorizontalLayout.h"
#include "pane/layouts/TabLayout.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/base/Rect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace Pane::test {
namespace {

using plat::RECT;

CControlUI* AddChild(CContainerUI& parent, const char* attributes = "") {
    auto* child = new CControlUI;
    child->ApplyAttributeList(attributes);
    parent.Add(child);
    return child;
}

// The rectangles of the children, in order.
std::vector<std::string> Places(const CContainerUI& layout) {
    std::vector<std::string> out;
    for (int i = 0; i < layout.GetCount(); ++i) {
        out.push_back(Str(layout.GetItemAt(i)->Position()));
    }
    return out;
}

using Rects = std::vector<std::string>;

TEST(HorizontalLayout, StretchChildrenShareAndTheLastTakesTheRemainder) {
    CHorizontalLayoutUI three;
    for (int i = 0; i < 3; ++i) {
        AddChild(three);
    }
    three.SetPosition(RECT{0, 0, 100, 20});
    EXPECT_EQ(Places(three), (Rects{"0,0,33,20", "33,0,66,20", "66,0,100,20"}));

    // Expand would be 390; the last stretch child loses the child padding twice.
    CHorizontalLayoutUI mixed;
    mixed.SetAttribute("childpadding", "10");
    AddChild(mixed, "width=\"100\"");
    AddChild(mixed);
    mixed.SetPosition(RECT{0, 0, 500, 20});
    EXPECT_EQ(Places(mixed), (Rects{"0,0,100,20", "110,0,490,20"}));

    // Paddings of a fixed child placed before the last stretch child count twice as well:
    // 200 - 60 would be 140, the child gets 130. The right padding lies inside the rectangle.
    CHorizontalLayoutUI padded;
    AddChild(padded, "width=\"50\" padding=\"5,2,5,3\"");
    AddChild(padded);
    padded.SetPosition(RECT{0, 0, 200, 20});
    EXPECT_EQ(Places(padded), (Rects{"5,2,60,17", "60,0,190,20"}));
}

TEST(HorizontalLayout, ClampsInsetAndSizesAcross) {
    // A minimum above the share overflows the layout; a maximum below the estimate wins.
    CHorizontalLayoutUI layout;
    layout.SetAttribute("inset", "4,6,4,6");
    AddChild(layout, "minwidth=\"150\"");
    AddChild(layout, "width=\"80\" maxwidth=\"30\" height=\"10\"");
    AddChild(layout, "width=\"20\" maxheight=\"5\"");
    AddChild(layout, "visible=\"false\" width=\"40\"");
    layout.SetPosition(RECT{0, 0, 100, 40});
    EXPECT_EQ(Places(layout)[0], "4,6,154,34");
    EXPECT_EQ(Places(layout)[1], "154,6,184,16");
    EXPECT_EQ(Places(layout)[2], "184,6,204,11");

    // Two stretch children, the first held at its minimum: the last takes what is left.
    CHorizontalLayoutUI pair;
    AddChild(pair, "minwidth=\"80\"");
    AddChild(pair);
    pair.SetPosition(RECT{0, 0, 100, 10});
    EXPECT_EQ(Places(pair), (Rects{"0,0,80,10", "80,0,100,10"}));
}

TEST(VerticalLayout, MirrorsTheHorizontalArithmetic) {
    CVerticalLayoutUI three;
    for (int i = 0; i < 3; ++i) {
        AddChild(three);
    }
    three.SetPosition(RECT{0, 0, 20, 100});
    EXPECT_EQ(Places(three), (Rects{"0,0,20,33", "0,33,20,66", "0,66,20,100"}));

    CVerticalLayoutUI column;
    column.SetAttribute("childpadding", "10");
    column.SetAttribute("inset", "2,3,4,5");
    AddChild(column, "height=\"100\" padding=\"1,0,3,5\"");
    AddChild(column, "width=\"30\"");
    AddChild(column, "height=\"50\" minheight=\"60\" maxwidth=\"12\"");
    column.SetPosition(RECT{0, 0, 50, 500});
    // Inner 44 x 492; fixed total 105 + 60 + 20 = 185; the bottom padding lies inside the first
    // child; the stretch child gets 492 - 5 - 10 - 10 - 60 - ... as the remainder rule says.
    EXPECT_EQ(Places(column)[0], "3,3,43,108");
    const int stretchTop = 3 + 105 + 10;
    const int stretchHeight = (492 - 105 - 10) - (185 - 100) - 0;
    EXPECT_EQ(Places(column)[1], Str(RECT{2, stretchTop, 32, stretchTop + stretchHeight}));
    const int lastTop = stretchTop + stretchHeight + 10;
    EXPECT_EQ(Places(column)[2], Str(RECT{2, lastTop, 14, lastTop + 60}));
}

class LayoutTree : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        // Scroll bars come from the builder's class table.
        SetControlFactory(&CreateControlOfClass);
    }
    void TearDown() override {
        TreeTest::TearDown();
        SetControlFactory(nullptr);
    }

    // A left button press, moves along the points and a release, on the host window.
    void Drag(std::initializer_list<plat::POINT> points, bool release = true) {
        const plat::POINT first = *points.begin();
        plat::headless::MouseMove(first.x, first.y);
        plat::headless::MouseDown(first.x, first.y);
        plat::POINT last = first;
        for (const plat::POINT& pt : points) {
            plat::headless::MouseMove(pt.x, pt.y);
            last = pt;
        }
        if (release) {
            plat::headless::MouseUp(last.x, last.y);
        }
        Pump();
    }
};

TEST_F(LayoutTree, ATallColumnGetsAScrollBarAndScrollsItsChildren) {
    auto* column = new CVerticalLayoutUI;
    column->SetAttribute("vscrollbar", "true");
    for (int i = 0; i < 10; ++i) {
        AddChild(*column, "height=\"30\"");
    }
    Attach(column, 200, 100);
    CControlUI* bar = column->VerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(Str(bar->Position()), "184,0,200,100");
    EXPECT_EQ(column->ScrollRange().cy, 200);
    // The children leave room for the bar.
    EXPECT_EQ(Str(column->GetItemAt(0)->Position()), "0,0,184,30");
    column->SetScrollPosition(plat::SIZE{0, 45});
    EXPECT_EQ(Str(column->GetItemAt(1)->Position()), "0,-15,184,15");
    // A new layout keeps the position.
    column->SetPosition(column->Position());
    EXPECT_EQ(Str(column->GetItemAt(1)->Position()), "0,-15,184,15");
}

class TabTree : public LayoutTree {
protected:
    int TabSelects() const {
        return static_cast<int>(
            std::count(m_notes.entries.begin(), m_notes.entries.end(), "tabselect:tabs"));
    }
};

TEST_F(TabTree, PagesFollowAddRemoveAndSelect) {
    auto* tabs = new CTabLayoutUI;
    tabs->SetName("tabs");
    tabs->SetAttribute("inset", "5,5,5,5");
    CControlUI* pages[3];
    for (int i = 0; i < 3; ++i) {
        pages[i] = AddChild(*tabs, "padding=\"2,3,4,5\"");
    }
    Attach(tabs, 200, 100);
    EXPECT_EQ(tabs->CurSel(), 0);
    EXPECT_TRUE(pages[0]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    EXPECT_EQ(Str(pages[0]->Position()), "7,8,191,90");

    m_notes.entries.clear();
    m_notes.records.clear();
    EXPECT_TRUE(tabs->SelectPage(2));
    ASSERT_EQ(TabSelects(), 1);
    EXPECT_EQ(m_notes.entries.back(), "tabselect:tabs");
    EXPECT_EQ(m_notes.records.back().wParam, 2u);
    EXPECT_EQ(m_notes.records.back().lParam, 0);
    EXPECT_TRUE(pages[2]->IsVisible());
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_EQ(Str(pages[2]->Position()), "7,8,191,90");
    // The same page again, or an index outside, says nothing.
    EXPECT_TRUE(tabs->SelectPage(2));
    EXPECT_FALSE(tabs->SelectPage(-1));
    EXPECT_FALSE(tabs->SelectPage(3));
    EXPECT_EQ(TabSelects(), 1);

    // Inserting before the current page moves the index along.
    CControlUI* inserted = new CControlUI;
    EXPECT_TRUE(tabs->AddAt(inserted, 0));
    EXPECT_EQ(tabs->CurSel(), 3);
    // Removing a page before the current one, then the current one.
    EXPECT_TRUE(tabs->Remove(pages[0]));
    EXPECT_EQ(tabs->CurSel(), 2);
    EXPECT_TRUE(tabs->Remove(pages[2]));
    EXPECT_EQ(tabs->CurSel(), 0);
    EXPECT_TRUE(inserted->IsVisible());
    EXPECT_EQ(TabSelects(), 1);
    // Removal by index keeps the index on the pages.
    EXPECT_TRUE(tabs->RemoveAt(0));
    EXPECT_EQ(tabs->CurSel(), 0);
    EXPECT_TRUE(pages[1]->IsVisible());
    tabs->RemoveAll();
    EXPECT_EQ(tabs->CurSel(), -1);
    EXPECT_FALSE(tabs->Remove(nullptr));
}

// Two panes side by side: the left one resizable by a band at its right edge.
class SeparatorTree : public LayoutTree {
protected:
    void Build(const char* sepAttributes, bool vertical = false) {
        auto* root = vertical ? static_cast<CContainerUI*>(new CVerticalLayoutUI)
                              : static_cast<CContainerUI*>(new CHorizontalLayoutUI);
        if (vertical) {
            m_pane = new CVerticalLayoutUI;
            m_pane->ApplyAttributeList("height=\"100\" minheight=\"40\" maxheight=\"160\"");
        } else {
            m_pane = new CHorizontalLayoutUI;
            m_pane->ApplyAttributeList("width=\"100\" minwidth=\"40\" maxwidth=\"160\"");
        }
        m_pane->ApplyAttributeList(sepAttributes);
        root->SetBkColor(0xFFFFFFFF);
        root->Add(m_pane);
        m_rest = AddChild(*root);
        Attach(root, 300, 200);
    }
    CContainerUI* m_pane = nullptr;
    CControlUI* m_rest = nullptr;
};

TEST_F(SeparatorTree, ImmediateDragResizesAtEveryStepWithinMinAndMax) {
    Build("sepwidth=\"6\" sepimm=\"true\"");
    EXPECT_EQ(m_pane->ControlFlags(), static_cast<unsigned>(kFlagSetCursor));
    Drag({{97, 50}, {120, 50}, {140, 50}}, false);
    EXPECT_EQ(Str(m_pane->Position()), "0,0,143,200");
    EXPECT_EQ(Str(m_rest->Position()), "143,0,300,200");
    EXPECT_EQ(m_manager->GetPostPaintCount(), 0);
    // Past the maximum the edge stops there; the move back is ignored until the pointer is
    // back on the band.
    plat::headless::MouseMove(250, 50);
    Pump();
    EXPECT_EQ(m_pane->Width(), 160);
    plat::headless::MouseMove(200, 50);
    Pump();
    EXPECT_EQ(m_pane->Width(), 160);
    plat::headless::MouseMove(10, 50);
    plat::headless::MouseUp(10, 50);
    Pump();
    EXPECT_EQ(m_pane->Width(), 40);
    EXPECT_EQ(m_pane->FixedWidth(), 40);
    // Outside the band a press is the container's.
    Drag({{20, 50}, {60, 50}});
    EXPECT_EQ(m_pane->Width(), 40);
}

TEST_F(SeparatorTree, PreviewDragDrawsABandAndAppliesOnRelease) {
    Build("sepwidth=\"6\"");
    Drag({{97, 50}, {130, 50}}, false);
    // The layout keeps its place; a dark band shows where the edge goes.
    EXPECT_EQ(m_pane->Width(), 100);
    EXPECT_EQ(m_manager->GetPostPaintCount(), 1);
    // Black at alpha 0xAA over white, from 127 to 133.
    EXPECT_EQ(Pixel(127, 50), 0xFF555555u);
    EXPECT_EQ(Pixel(132, 50), 0xFF555555u);
    EXPECT_EQ(Pixel(126, 50), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(133, 50), 0xFFFFFFFFu);
    plat::headless::MouseUp(130, 50);
    Pump();
    EXPECT_EQ(m_pane->Width(), 133);
    EXPECT_EQ(m_manager->GetPostPaintCount(), 0);
    EXPECT_EQ(Str(m_rest->Position()), "133,0,300,200");

    // Switching to immediate during a preview drag takes the band off at once.
    Drag({{130, 50}, {110, 50}}, false);
    EXPECT_EQ(m_manager->GetPostPaintCount(), 1);
    m_pane->SetAttribute("sepimm", "true");
    EXPECT_EQ(m_manager->GetPostPaintCount(), 0);
    plat::headless::MouseMove(100, 50);
    Pump();
    EXPECT_EQ(m_pane->Width(), 103);
    plat::headless::MouseUp(100, 50);
    Pump();
    EXPECT_EQ(m_manager->GetPostPaintCount(), 0);
}

TEST_F(SeparatorTree, BandsOnTheLeftAndTopEdgesAndTheSizeCursors) {
    // A band on the left edge of the right-hand pane: dragging left grows it.
    auto* root = new CHorizontalLayoutUI;
    CControlUI* rest = AddChild(*root);
    auto* pane = new CHorizontalLayoutUI;
    pane->ApplyAttributeList("width=\"100\" sepwidth=\"-4\" sepimm=\"true\"");
    root->Add(pane);
    Attach(root, 300, 200);
    EXPECT_EQ(Str(pane->SeparatorRect()), "200,0,204,200");
    plat::headless::MouseMove(201, 50);
    EXPECT_NE(plat::SendMessage(m_host->GetHWND(), plat::WM_SETCURSOR,
                                reinterpret_cast<plat::WPARAM>(m_host->GetHWND()), plat::HTCLIENT),
              0);
    EXPECT_EQ(plat::headless::Cursor(), plat::IDC_SIZEWE);
    Drag({{201, 50}, {171, 50}});
    EXPECT_EQ(pane->Width(), 130);
    EXPECT_EQ(Str(rest->Position()), "0,0,170,200");

    // A "sepimm" that differs only in case is not immediate.
    pane->SetAttribute("sepimm", "True");
    EXPECT_FALSE(pane->IsSepImmediate());
}

TEST_F(SeparatorTree, AVerticalBandFollowsThePointerBothWays) {
    Build("sepheight=\"6\" sepimm=\"true\"", true);
    plat::headless::MouseMove(50, 97);
    plat::SendMessage(m_host->GetHWND(), plat::WM_SETCURSOR,
                      reinterpret_cast<plat::WPARAM>(m_host->GetHWND()), plat::HTCLIENT);
    EXPECT_EQ(plat::headless::Cursor(), plat::IDC_SIZENS);
    Drag({{50, 97}, {50, 98}, {50, 110}, {50, 130}}, false);
    EXPECT_EQ(m_pane->Height(), 133);
    plat::headless::MouseMove(50, 120);
    plat::headless::MouseUp(50, 120);
    Pump();
    EXPECT_EQ(m_pane->Height(), 123);
    EXPECT_EQ(Str(m_rest->Position()), "0,123,300,200");

    // A negative band sits at the top edge.
    m_pane->SetAttribute("sepheight", "-5");
    EXPECT_EQ(Str(static_cast<CVerticalLayoutUI*>(m_pane)->SeparatorRect()), "0,0,300,5");
}

} // namespace
} // namespace Pane::test
