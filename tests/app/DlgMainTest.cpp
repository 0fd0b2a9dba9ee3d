// The main window without a radio: the menu bar, the frequency checks, the operation message,
// closing, and the settings kept between two runs.

#include "tests/app/MainWindowFixture.h"

#include "pane/controls/Button.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Edit.h"
#include "pane/controls/Label.h"
#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/backends/Headless.h"
#include "platform/gfx/Text.h"
#include "platform/win/Window.h"
#include "radio/Upgrade.h"

namespace app::test {
namespace {

TEST_F(MainWindowTest, MenuBarOpensOnAPressFollowsThePointerAndClosesWhenTheFocusGoes) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    Do("click menuFile");
    EXPECT_TRUE(w.IsMenuOpen());
    Do("move menuHelp");
    EXPECT_TRUE(c.panels[kMenuHelp]->IsVisible());
    EXPECT_STREQ(c.menus[kMenuHelp]->NormalImage().GetData(),
                 "res='184' restype='png' corner='2,2,2,2'");
    Do("move menuFile");
    EXPECT_EQ(w.OpenMenu(), kMenuFile);
    EXPECT_TRUE(c.panels[kMenuFile]->IsVisible());
    EXPECT_FALSE(c.panels[kMenuHelp]->IsVisible());
    EXPECT_TRUE(c.menus[kMenuHelp]->NormalImage().IsEmpty());

    Do("click src");
    EXPECT_FALSE(w.IsMenuOpen());
    EXPECT_EQ(w.OpenMenu(), -1);
    EXPECT_FALSE(c.panels[kMenuFile]->IsVisible());

    // The window losing the focus closes them too and hands the focus to the minimise button.
    Do("click menuLanguage");
    Do("move menuHelp");
    plat::headless::FocusChanged(w.GetHWND(), false);
    Pane::PumpMessages();
    EXPECT_FALSE(c.panels[kMenuHelp]->IsVisible());
    EXPECT_TRUE(c.btnMin->IsFocused());
}

TEST_F(MainWindowTest, AFrequencyLeftIsRewrittenWhenInTheBandAndRefusedWhenOutside) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    Do("click rx2");
    Do("type 433.125");
    Do("click dst");
    EXPECT_EQ(Text(c.rx[2].edit), "433.12500");
    EXPECT_TRUE(boxes.empty());

    Do("click tx3");
    Do("type 500");
    Do("click src");
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], w.Host().Text(radio::TextId::MsgLaunchCh) + "3" +
                            w.Host().Text(radio::TextId::MsgInvalid));
    EXPECT_TRUE(c.tx[3].edit->IsFocused());
    EXPECT_EQ(Text(c.tx[3].edit), "500");
}

TEST_F(MainWindowTest, PortSettingLabelsHoldTheirTextsInBothLanguages) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    for (bool first : {true, false}) {
        ASSERT_EQ(w.IsChinese(), first);
        for (Pane::CLabelUI* label : {c.port.label, c.baud.label}) {
            Pane::CUIManager* pm = label->Manager();
            plat::RECT rc{0, 0, 1000, 100};
            Pane::CUIRender::DrawText(pm->GetPaintDC(), pm, rc, label->GetText().GetData(), 0,
                                      label->Font(), plat::DT_CALCRECT | plat::DT_SINGLELINE);
            // The text and its right padding of 2 pixels fit, so nothing is cut.
            EXPECT_LE(rc.right - rc.left + 2, label->FixedWidth()) << Text(label);
        }
        Do("click menuLanguage");
        Do("move menuLanguage");
        Do("click itemLanguage");
    }
}

TEST_F(MainWindowTest, OperationMessageLocksReportsAndDrawsProgress) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    EXPECT_EQ(w.SendMessage(kMsgOperation, 1, kKindLock), 0);
    for (Pane::CControlUI* command : {c.btnConnect, c.btnWrite, c.itemRead, c.itemDisconnect})
        EXPECT_FALSE(command->IsEnabled());
    w.SendMessage(kMsgOperation, 0, kKindLock);
    EXPECT_TRUE(c.btnConnect->IsEnabled() && c.itemDisconnect->IsEnabled());

    w.SendMessage(kMsgOperation, 7500, kKindProgress);
    EXPECT_EQ(c.status->BkColor(), radio::kProgressColour);
    EXPECT_EQ(c.status->Padding().right, 2500 * 216 / 10000);
    // Values past either end draw a full or an empty bar, never one outside the line.
    w.SendMessage(kMsgOperation, 20000, kKindProgress);
    EXPECT_EQ(c.status->Padding().right, 0);
    w.SendMessage(kMsgOperation, static_cast<plat::WPARAM>(-5), kKindProgress);
    EXPECT_EQ(c.status->Padding().right, 216);

    w.SendMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(c.itemUpgrade), kKindFailure);
    EXPECT_EQ(Text(c.status), Text(c.itemUpgrade) + w.Host().Text(radio::TextId::MsgError));
    EXPECT_EQ(c.status->BkColor(), radio::kFailureColour);
    EXPECT_EQ(c.status->Padding().right, 0);

    // Kinds without a meaning, and controls the window does not know, change nothing.
    int junk = 0;
    EXPECT_EQ(w.SendMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(&junk), kKindSuccess), 0);
    EXPECT_EQ(w.SendMessage(kMsgOperation, 1, 4), 0);
    EXPECT_EQ(c.status->BkColor(), radio::kFailureColour);
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgramAndLeavesTheWindowForTheSettings) {
    DlgMain& w = OpenWindow();
    w.SendMessage(plat::WM_CLOSE, 1, 0); // what Escape and the window manager send
    EXPECT_TRUE(plat::IsWindow(w.GetHWND()));
    plat::MSG msg;
    EXPECT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_NOREMOVE));
    EXPECT_EQ(msg.message, plat::WM_QUIT);
}

TEST_F(MainWindowTest, PortBaudAndLanguageSurviveARestart) {
    DlgMain& first = OpenWindow();
    ChooseMenuEntry("menuLanguage", "itemLanguage");
    ASSERT_FALSE(first.IsChinese());
    const std::string exit = Text(first.Controls().itemExit);
    first.Controls().baud.combo->SelectItem(4);
    CloseWindow();

    DlgMain& second = OpenWindow();
    EXPECT_FALSE(second.IsChinese());
    EXPECT_EQ(Text(second.Controls().itemExit), exit);
    EXPECT_EQ(second.Controls().baud.combo->GetCurSel(), 4);
    ChooseMenuEntry("menuLanguage", "itemLanguage");
    CloseWindow();

    EXPECT_TRUE(OpenWindow().IsChinese());
}

} // namespace
} // namespace app::test
