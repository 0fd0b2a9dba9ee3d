#include "pane/dialogs/MessageBox.h"

#include "pane/core/Automation.h"
#include "pane/core/Control.h"
#include "platform/backends/Headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace Pane::test {
namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("PANE_BACKEND", "headless", 1);
        ASSERT_TRUE(plat::Initialise());
    }
    void TearDown() override { plat::Shutdown(); }
};

// A plain window to own the box.
class Owner : public CWindowWnd {
protected:
    const char* GetWindowClassName() const override { return "MessageBoxTestOwner"; }
};

struct Outcome {
    plat::UINT answer = 0;
    bool ownerDisabledWhileShown = false;
    bool shown = false;
    plat::RECT box{};
};

// Shows a box owned by a visible window, runs `act` once the box waits for input, and reports
// what happened.
Outcome RunBox(const char* text, MessageButtons buttons,
               const std::function<void(CMessageBoxWnd&)>& act, plat::HWND* ownerOut = nullptr) {
    Owner owner;
    owner.Create(nullptr, "owner", plat::WS_POPUP | plat::WS_VISIBLE, 0, 100, 80, 600, 400);
    if (ownerOut != nullptr)
        *ownerOut = owner.GetHWND();
    CMessageBoxWnd box(text, "Zelta", MessageIcon::Warning, buttons);
    Outcome outcome;
    if (!box.CreateBox(owner.GetHWND()))
        return outcome;
    plat::headless::SetIdleHook([&] {
        plat::headless::SetIdleHook(nullptr);
        outcome.ownerDisabledWhileShown = !plat::IsWindowEnabled(owner.GetHWND());
        outcome.shown = plat::IsWindowVisible(box.GetHWND());
        plat::GetWindowRect(box.GetHWND(), &outcome.box);
        act(box);
    });
    box.ShowModal();
    outcome.answer = box.Answer();
    EXPECT_TRUE(plat::IsWindowEnabled(owner.GetHWND()));
    EXPECT_EQ(box.GetHWND(), nullptr);
    return outcome;
}

// Keys go through the box's own modal loop, as the desktop delivers them.
void PostKey(CMessageBoxWnd& box, int key) {
    plat::PostMessage(box.GetHWND(), plat::WM_KEYDOWN, static_cast<plat::WPARAM>(key), 0);
    plat::PostMessage(box.GetHWND(), plat::WM_KEYUP, static_cast<plat::WPARAM>(key), 0);
}

// Moves the focus to the button and presses Space, as a keyboard user would.
void PressButton(CMessageBoxWnd& box, const char* name) {
    CControlUI* button = box.GetManager().FindControl(name);
    if (button == nullptr) {
        ADD_FAILURE() << "no button " << name;
        box.Close();
        return;
    }
    button->SetFocus();
    PostKey(box, plat::VK_SPACE);
}

TEST_F(MessageBoxTest, IsModalCentredOnItsOwnerAndAnswersWithTheButtonPressed) {
    const Outcome yes = RunBox("Overwrite a.csv?", MessageButtons::YesNo,
                               [](CMessageBoxWnd& box) { PressButton(box, "yes"); });
    EXPECT_TRUE(yes.shown);
    EXPECT_TRUE(yes.ownerDisabledWhileShown);
    EXPECT_EQ(yes.answer, kMessageYes);
    // Owner spans 100..700 x 80..480.
    EXPECT_EQ((yes.box.left + yes.box.right) / 2, 400);
    EXPECT_NEAR((yes.box.top + yes.box.bottom) / 2, 280, 1);
    EXPECT_EQ(yes.box.right - yes.box.left, CMessageBoxWnd::kWidth);

    const Outcome no = RunBox("Overwrite a.csv?", MessageButtons::YesNo,
                              [](CMessageBoxWnd& box) { PressButton(box, "no"); });
    EXPECT_EQ(no.answer, kMessageNo);
}

TEST_F(MessageBoxTest, ReturnPressesTheDefaultButtonAndEscapeNeverSaysYes) {
    const auto pressReturn = [](CMessageBoxWnd& box) { PostKey(box, plat::VK_RETURN); };
    const auto pressEscape = [](CMessageBoxWnd& box) { PostKey(box, plat::VK_ESCAPE); };
    EXPECT_EQ(RunBox("Saved.", MessageButtons::Ok, pressReturn).answer, kMessageOk);
    EXPECT_EQ(RunBox("Saved.", MessageButtons::Ok, pressEscape).answer, kMessageOk);
    EXPECT_EQ(RunBox("Replace?", MessageButtons::YesNo, pressReturn).answer, kMessageNo);
    EXPECT_EQ(RunBox("Replace?", MessageButtons::YesNo, pressEscape).answer, kMessageNo);
    EXPECT_EQ(RunBox("Go on?", MessageButtons::OkCancel, pressEscape).answer, kMessageCancel);
}

TEST_F(MessageBoxTest, TheTextIsShownAsWrittenAndSetsTheHeight) {
    std::string shownText;
    const Outcome one = RunBox("<b>one & line</b>", MessageButtons::Ok, [&](CMessageBoxWnd& box) {
        shownText = box.GetManager().FindControl("text")->GetText().GetData();
        box.Close();
    });
    EXPECT_EQ(shownText, "<b>one & line</b>");
    const Outcome many = RunBox("1\n2\n3\n4\n5\n6\n无效的频率", MessageButtons::Ok,
                                [](CMessageBoxWnd& box) { box.Close(); });
    EXPECT_GT(many.box.bottom - many.box.top, one.box.bottom - one.box.top + 40);
}

} // namespace
} // namespace Pane::test
