// The combo and combo box driven against the combo sample on the headless backend: where and
// how high the pop-up opens, the items moving into it and back, the keys of the open pop-up,
// closing on focus loss, the selection rules with their notifications, and the arrow cells.
#include "../core/FrameworkTestSupport.h"
#include "CaptionTestSupport.h"

#include "pane/controls/Combo.h"
#include "pane/controls/ComboBox.h"
#include "pane/core/Automation.h"
#include "pane/core/UIManager.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/backends/Headless.h"
#include "platform/base/Messages.h"
#include "platform/gfx/Image.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace Pane::test {
namespace {

const std::string kSamples = std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/";

// Every notification of the combos with its parameters: "type sender wParam lParam".
class Recorder : public INotifyUI {
public:
    void Notify(NotifyMessage& msg) override {
        if (msg.sender == nullptr || msg.sender->Interface("Combo") == nullptr ||
            (msg.type != "dropdown" && msg.type != "itemselect"))
            return;
        seen.push_back(std::string(msg.type.GetData()) + " " + msg.sender->Name().GetData() + " " +
                       std::to_string(static_cast<long>(msg.wParam)) + " " +
                       std::to_string(static_cast<long>(msg.lParam)));
    }
    std::vector<std::string> seen;
};

// The window's picture against tests/pane/controls/refs/NAME.png, exactly.
::testing::AssertionResult WindowMatches(plat::HWND hwnd, const std::string& name) {
    const plat::Bitmap* actual = plat::headless::Pixels(hwnd);
    if (actual == nullptr)
        return ::testing::AssertionFailure() << "no pixels for the window";
    return MatchesReference(*actual, name);
}

class ComboTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        plat::headless::SetWorkArea(plat::RECT{0, 0, 1280, 1024});
        CUIManager::SetResourcePath(kSamples.c_str());
        m_window = std::make_unique<MarkupWindow>("combo.xml");
        ASSERT_TRUE(m_window->Open(420, 300));
        Manager().AddNotifier(&m_recorder);
    }
    void TearDown() override {
        if (m_window != nullptr && plat::IsWindow(m_window->GetHWND()))
            Manager().RemoveNotifier(&m_recorder);
        m_window.reset();
        PumpMessages();
        CUIManager::SetResourcePath("");
        FrameworkTest::TearDown();
    }

    CUIManager& Manager() { return m_window->GetManager(); }
    CComboUI* Combo(const char* name) {
        CControlUI* control = Manager().FindControl(name);
        return control != nullptr ? static_cast<CComboUI*>(control->Interface("Combo")) : nullptr;
    }
    plat::HWND Popup(const char* name) {
        CComboWnd* window = Combo(name)->DropDownWindow();
        return window != nullptr ? window->GetHWND() : nullptr;
    }
    // The pop-up's rectangle in the host window's client coordinates, as "l,t,r,b".
    std::string PopupRect(const char* name) {
        plat::RECT rc{};
        plat::GetWindowRect(Popup(name), &rc);
        plat::POINT topLeft{rc.left, rc.top};
        plat::POINT bottomRight{rc.right, rc.bottom};
        plat::ScreenToClient(m_window->GetHWND(), &topLeft);
        plat::ScreenToClient(m_window->GetHWND(), &bottomRight);
        return std::to_string(topLeft.x) + "," + std::to_string(topLeft.y) + "," +
               std::to_string(bottomRight.x) + "," + std::to_string(bottomRight.y);
    }
    void Key(const char* name, int vk) {
        plat::PostMessage(Popup(name), plat::WM_KEYDOWN, static_cast<plat::WPARAM>(vk), 0);
    }
    std::string Run(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            std::string why;
            CScriptPlayer::LineStatus status;
            do {
                status = m_player.RunLine(line, &why);
                PumpMessages();
            } while (status == CScriptPlayer::LineStatus::Pending);
            if (status == CScriptPlayer::LineStatus::Failed)
                return std::string(line) + ": " + why;
        }
        return "";
    }

    std::unique_ptr<MarkupWindow> m_window;
    CScriptPlayer m_player;
    Recorder m_recorder;
};

TEST_F(ComboTest, PopupFitsFewItemsStopsAtTheDropBoxHeightAndReturnsTheItems) {
    CComboUI* five = Combo("five");
    CControlUI* first = five->GetItemAt(0);
    ASSERT_EQ(Run({"click five"}), "");
    ASSERT_NE(Popup("five"), nullptr);
    // Five rows of 20 and the layout's inset of 1 on each side, just below the combo.
    EXPECT_EQ(PopupRect("five"), "16,40,200,144");
    // The same objects now live in the pop-up's layout, under its manager.
    CComboWnd* window = five->DropDownWindow();
    EXPECT_EQ(first->Manager(), &window->GetManager());
    EXPECT_EQ(first->Parent(), window->Layout());
    EXPECT_EQ(first->Height(), 20);
    EXPECT_EQ(m_recorder.seen, std::vector<std::string>{"dropdown five 0 0"});

    // Focus leaving the pop-up for its owner closes it and hands the items back.
    plat::SetFocus(m_window->GetHWND());
    PumpMessages();
    EXPECT_EQ(five->DropDownWindow(), nullptr);
    EXPECT_EQ(first->Manager(), &Manager());
    EXPECT_EQ(first->Parent(), five);
    EXPECT_EQ(first->Height(), 0);
    EXPECT_EQ(five->State() & CComboUI::kStatePushed, 0u);

    ASSERT_EQ(Run({"click many"}), "");
    ASSERT_NE(Popup("many"), nullptr);
    EXPECT_EQ(PopupRect("many"), "216,40,404,190");
    CControlUI* bar = Combo("many")->DropDownWindow()->Layout()->VerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
}

TEST_F(ComboTest, DropBoxSizeAndAttributesShapeThePopupAndTheBottomComboOpensUpwards) {
    ASSERT_EQ(Run({"click wide"}), "");
    ASSERT_NE(Popup("wide"), nullptr);
    // Four rows of 22 fit in the drop box's 100; its width is the drop box's, not the combo's.
    EXPECT_EQ(PopupRect("wide"), "16,80,256,172");
    EXPECT_EQ(Combo("wide")->DropDownWindow()->Layout()->BkColor(), 0xFFFFF6D5u);
    plat::SetFocus(m_window->GetHWND());
    PumpMessages();

    // The work area ends a little below the bottom combo: its pop-up ends at its top edge.
    plat::POINT origin{0, 0};
    plat::ClientToScreen(m_window->GetHWND(), &origin);
    plat::headless::SetWorkArea(plat::RECT{0, 0, 1280, origin.y + 300});
    ASSERT_EQ(Run({"click bottom"}), "");
    ASSERT_NE(Popup("bottom"), nullptr);
    EXPECT_EQ(PopupRect("bottom"), "16,200,200,264");
}

TEST_F(ComboTest, DownSelectsAndClosesEscapeRestoresTheSelectionAtOpening) {
    CComboUI* many = Combo("many");
    ASSERT_TRUE(many->SelectItem(2));
    m_recorder.seen.clear();

    ASSERT_EQ(Run({"click many"}), "");
    Key("many", plat::VK_DOWN);
    PumpMessages();
    EXPECT_EQ(many->GetCurSel(), 3);
    EXPECT_EQ(many->DropDownWindow(), nullptr);
    EXPECT_EQ(many->GetText(), CUIString("Channel 4"));
    EXPECT_EQ(Run({"expect many sel 3"}), "");

    // Down and Escape queued together: the selection moves and comes back before the close.
    // (A second click this soon would be a double click, which does not open the combo.)
    ASSERT_TRUE(many->Trigger());
    Key("many", plat::VK_DOWN);
    Key("many", plat::VK_ESCAPE);
    PumpMessages();
    EXPECT_EQ(many->GetCurSel(), 3);
    EXPECT_EQ(many->DropDownWindow(), nullptr);
    EXPECT_TRUE(many->IsFocused());
    EXPECT_EQ(m_recorder.seen, (std::vector<std::string>{"dropdown many 0 0", "itemselect many 3 2",
                                                         "dropdown many 0 0", "itemselect many 4 3",
                                                         "itemselect many 3 4"}));

    // Up at the first row stays there without a notification; F4 on the closed combo opens it.
    m_recorder.seen.clear();
    ASSERT_TRUE(many->SelectItem(0));
    UIEvent up;
    up.type = kEventKeyDown;
    up.wParam = plat::VK_UP;
    many->HandleEvent(up);
    EXPECT_EQ(many->GetCurSel(), 0);
    UIEvent f4;
    f4.type = kEventKeyDown;
    f4.wParam = plat::VK_F4;
    many->HandleEvent(f4);
    EXPECT_NE(many->DropDownWindow(), nullptr);
    Key("many", plat::VK_RETURN);
    PumpMessages();
    EXPECT_EQ(many->DropDownWindow(), nullptr);
    EXPECT_EQ(m_recorder.seen,
              (std::vector<std::string>{"itemselect many 0 3", "dropdown many 0 0"}));
}

TEST_F(ComboTest, SelectionRulesAndChildBookkeepingKeepTheSelectionOnItsItem) {
    CComboUI* five = Combo("five");
    ASSERT_TRUE(five->SelectItem(2));
    m_recorder.seen.clear();
    // The current item again: true and silent.
    EXPECT_TRUE(five->SelectItem(2));
    EXPECT_TRUE(m_recorder.seen.empty());
    // Past the end means the last item.
    EXPECT_TRUE(five->SelectItem(99));
    EXPECT_EQ(five->GetCurSel(), 4);
    // A disabled item cannot be chosen; the old one is deselected all the same.
    five->GetItemAt(1)->SetEnabled(false);
    EXPECT_FALSE(five->SelectItem(1));
    EXPECT_EQ(five->GetCurSel(), -1);
    EXPECT_EQ(five->GetText(), CUIString());
    five->GetItemAt(1)->SetEnabled(true);

    ASSERT_TRUE(five->SelectItem(3));
    CControlUI* selected = five->GetItemAt(3);
    // Inserting before and moving keep the selection on the same object; indices follow.
    auto* inserted = static_cast<CControlUI*>(CreateControlByTag("ListLabelElement"));
    ASSERT_NE(inserted, nullptr);
    inserted->SetText("New");
    ASSERT_TRUE(five->AddAt(inserted, 0));
    EXPECT_EQ(five->GetItemAt(five->GetCurSel()), selected);
    ASSERT_TRUE(five->SetItemIndex(selected, 1));
    EXPECT_EQ(five->GetCurSel(), 1);
    ASSERT_TRUE(five->SetItemIndex(inserted, 5));
    EXPECT_EQ(five->GetItemAt(five->GetCurSel()), selected);
    for (int i = 0; i < five->GetCount(); ++i) {
        auto* item = static_cast<IListItemUI*>(five->GetItemAt(i)->Interface("ListItem"));
        EXPECT_EQ(item->GetIndex(), i);
    }

    // Removing the selected item selects the nearest one before it and says so.
    m_recorder.seen.clear();
    const int at = five->GetCurSel();
    ASSERT_EQ(at, 0);
    ASSERT_TRUE(five->SelectItem(3));
    m_recorder.seen.clear();
    ASSERT_TRUE(five->RemoveAt(3));
    EXPECT_EQ(five->GetCurSel(), 2);
    EXPECT_EQ(m_recorder.seen, std::vector<std::string>{"itemselect five 2 -1"});
    five->RemoveAll();
    EXPECT_EQ(five->GetCurSel(), -1);
    EXPECT_FALSE(five->SelectItem(0));
}

TEST_F(ComboTest, ItemsLeavingOrTheComboGoingWhileOpenLeaveNothingDangling) {
    CComboUI* many = Combo("many");
    ASSERT_TRUE(many->SelectItem(5));
    ASSERT_EQ(Run({"click many"}), "");
    ASSERT_NE(Popup("many"), nullptr);
    ASSERT_TRUE(many->RemoveAt(5));
    PumpMessages();
    EXPECT_EQ(many->GetCurSel(), 4);
    EXPECT_EQ(many->DropDownWindow(), nullptr);

    // The wheel in the open pop-up moves the selection (towards the user: down) and closes it.
    ASSERT_TRUE(many->Trigger());
    plat::PostMessage(Popup("many"), plat::WM_MOUSEWHEEL, plat::MAKEWPARAM(0, -120), 0);
    PumpMessages();
    EXPECT_EQ(many->GetCurSel(), 5);
    EXPECT_EQ(many->DropDownWindow(), nullptr);

    ASSERT_TRUE(many->Trigger());
    const plat::HWND popup = Popup("many");
    ASSERT_NE(popup, nullptr);
    static_cast<IContainerUI*>(Manager().FindControl("main")->Interface("IContainer"))
        ->Remove(many);
    PumpMessages();
    EXPECT_FALSE(plat::IsWindow(popup));
}

TEST_F(ComboTest, ClosingTheHostWindowWithThePopupOpenFreesBoth) {
    ASSERT_TRUE(Combo("five")->Trigger());
    const plat::HWND popup = Popup("five");
    ASSERT_NE(popup, nullptr);
    Manager().RemoveNotifier(&m_recorder);
    plat::DestroyWindow(m_window->GetHWND());
    PumpMessages();
    EXPECT_FALSE(plat::IsWindow(popup));
    m_window.reset();
}

TEST_F(ComboTest, ArrowCellsFollowTheStateAndThePictureMatches) {
    int width = 0;
    CUIString modifier;
    ASSERT_TRUE(ComboArrowModifier("file='a.png' source='0,0,100,20' fade='200'", 2,
                                   plat::SIZE{188, 24}, 1, &width, &modifier));
    EXPECT_EQ(width, 20);
    EXPECT_EQ(modifier,
              CUIString("file='a.png' source='40,0,60,20' dest='167,1,187,23' fade='200'"));
    EXPECT_FALSE(ComboArrowModifier("file='a.png'", 0, plat::SIZE{10, 10}, 0, &width, &modifier));
    EXPECT_FALSE(ComboArrowModifier("file='a.png' source='0,0", 0, plat::SIZE{10, 10}, 0, &width,
                                    &modifier));

    Combo("many")->SelectItem(3);
    Combo("five")->SelectItem(0);
    PumpMessages();
    EXPECT_TRUE(WindowMatches(m_window->GetHWND(), "combo-closed"));
    ASSERT_EQ(Run({"click many"}), "");
    EXPECT_TRUE(WindowMatches(m_window->GetHWND(), "combo-pushed"));
    EXPECT_TRUE(WindowMatches(Popup("many"), "combo-popup"));
}

} // namespace
} // namespace Pane::test
