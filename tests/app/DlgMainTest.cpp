// The main window's behaviour without a radio: the menu bar, the frequency checks, the
// link-rate rule, the operation message, closing, and the settings kept between two runs.

#include "tests/app/MainWindowFixture.h"

#include "app/Composites.h"
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

#include <string>
#include <vector>

namespace app::test {
namespace {

std::string Text(const Pane::CControlUI* control) {
    return control->GetText().GetData();
}

bool QuitPosted() {
    plat::MSG msg;
    return plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_NOREMOVE) &&
           msg.message == plat::WM_QUIT;
}

std::vector<std::string> Entries(Pane::CComboBoxUI* combo) {
    std::vector<std::string> entries;
    for (int i = 0; i < combo->GetCount(); ++i)
        entries.push_back(Text(combo->GetItemAt(i)));
    return entries;
}

TEST_F(MainWindowTest, OpensAtItsOwnSizeWithTheFirstLanguageAndDefaultBaud) {
    DlgMain& w = OpenWindow();
    plat::RECT rc{};
    plat::GetWindowRect(w.GetHWND(), &rc);
    EXPECT_EQ(rc.right - rc.left, kMainWidth);
    EXPECT_EQ(rc.bottom - rc.top, kMainHeight);
    EXPECT_EQ(plat::GetWindowTextString(w.GetHWND()), kMainWindowSpec.title);
    EXPECT_TRUE(plat::IsWindowVisible(w.GetHWND()));
    EXPECT_TRUE(w.IsChinese());
    EXPECT_EQ(Text(w.Controls().itemExit), "退出");
    EXPECT_EQ(w.Controls().baud.combo->GetCurSel(), 2);
    EXPECT_TRUE(w.Worker().Started());
}

TEST_F(MainWindowTest, MenuBarOpensOnAPressAndFollowsThePointer) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    Do("click menuFile");
    EXPECT_TRUE(w.IsMenuOpen());
    Do("move menuHelp");
    EXPECT_EQ(w.OpenMenu(), kMenuHelp);
    EXPECT_TRUE(c.panels[kMenuHelp]->IsVisible());
    EXPECT_STREQ(c.menus[kMenuHelp]->NormalImage().GetData(),
                 "res='184' restype='png' corner='2,2,2,2'");
    Do("move menuFile");
    EXPECT_EQ(w.OpenMenu(), kMenuFile);
    EXPECT_TRUE(c.panels[kMenuFile]->IsVisible());
    EXPECT_FALSE(c.panels[kMenuHelp]->IsVisible());
    EXPECT_TRUE(c.menus[kMenuHelp]->NormalImage().IsEmpty());
    // Moving over anything else leaves the open menu as it is.
    Do("move btnRead");
    EXPECT_TRUE(c.panels[kMenuFile]->IsVisible());

    // Another control taking the focus closes the menus.
    Do("click src");
    EXPECT_FALSE(w.IsMenuOpen());
    EXPECT_EQ(w.OpenMenu(), -1);
    for (int i = 0; i < kMenuCount; ++i) {
        EXPECT_FALSE(c.panels[i]->IsVisible());
        EXPECT_STREQ(c.menus[i]->HotImage().GetData(), "res='175' restype='png' corner='3,3,3,3'");
    }

    // So does the window losing the focus, which hands the focus to the minimise button.
    Do("click menuLanguage");
    Do("move menuHelp");
    ASSERT_TRUE(c.panels[kMenuHelp]->IsVisible());
    plat::headless::FocusChanged(w.GetHWND(), false);
    Pane::PumpMessages();
    EXPECT_FALSE(c.panels[kMenuHelp]->IsVisible());
    EXPECT_TRUE(c.btnMin->IsFocused());
    EXPECT_EQ(w.OpenMenu(), -1);
}

TEST_F(MainWindowTest, AnOutOfBandFrequencyIsRefusedWhenAnotherFieldTakesTheFocus) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    Do("click tx3");
    Do("type 500");
    Do("click src");
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], w.Host().Text(radio::TextId::MsgLaunchCh) + "3" +
                            w.Host().Text(radio::TextId::MsgInvalid));
    EXPECT_TRUE(c.tx[3].edit->IsFocused());
    EXPECT_EQ(Text(c.tx[3].edit), "500");
    EXPECT_FALSE(w.IsFrequencyDirty(3, true));

    // The focus goes back and forth no more: the refused edit keeps it without a second box.
    Pane::PumpMessages();
    EXPECT_EQ(boxes.size(), 1U);
}

TEST_F(MainWindowTest, AFrequencyInTheBandIsRewrittenWithFiveDecimals) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    Do("click rx2");
    Do("type 433.125");
    Do("click dst");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Text(c.rx[2].edit), "433.12500");
    EXPECT_TRUE(c.dst.edit->IsFocused());

    // A list about to open checks the edit just left too.
    Do("click tx5");
    Do("type 470");
    Do("click bandwidth");
    EXPECT_EQ(Text(c.tx[5].edit), "470.00000");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, ProtocolAndBandwidthChoicesApplyTheLinkRateRule) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    c.protocol.combo->SelectItem(3); // " TRIMMK3"
    Pane::PumpMessages();
    EXPECT_EQ(Entries(c.linkBaud.combo), (std::vector<std::string>{" 4800", " 19200"}));

    c.bandwidth.combo->SelectItem(1); // " 25.0"
    Pane::PumpMessages();
    EXPECT_EQ(c.linkBaud.combo->GetCurSel(), 1);
    EXPECT_FALSE(c.linkBaud.combo->IsMouseEnabled());

    c.protocol.combo->SelectItem(2); // " HUACE" may choose at 25.0
    Pane::PumpMessages();
    EXPECT_EQ(Entries(c.linkBaud.combo), (std::vector<std::string>{" 4800", " 9600", " 19200"}));
    EXPECT_TRUE(c.linkBaud.combo->IsMouseEnabled());

    c.bandwidth.combo->SelectItem(0); // " 12.5" forces 4800 whatever the protocol
    Pane::PumpMessages();
    EXPECT_EQ(c.linkBaud.combo->GetCurSel(), 0);
    EXPECT_FALSE(c.linkBaud.combo->IsMouseEnabled());
}

TEST_F(MainWindowTest, PortSettingLabelsShareAWidthThatHoldsTheirTextsInBothLanguages) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    for (bool first : {true, false}) {
        ASSERT_EQ(w.IsChinese(), first);
        EXPECT_EQ(c.port.label->FixedWidth(), c.baud.label->FixedWidth());
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
    const std::vector<Pane::CControlUI*> commands = {
        c.btnConnect,  c.btnDisconnect,  c.btnRead,  c.btnWrite,
        c.itemConnect, c.itemDisconnect, c.itemRead, c.itemWrite};

    EXPECT_EQ(w.SendMessage(kMsgOperation, 1, kKindLock), 0);
    for (Pane::CControlUI* control : commands)
        EXPECT_FALSE(control->IsEnabled()) << control->Name().GetData();
    EXPECT_TRUE(c.btnImport->IsEnabled());
    EXPECT_EQ(w.SendMessage(kMsgOperation, 0, kKindLock), 0);
    for (Pane::CControlUI* control : commands)
        EXPECT_TRUE(control->IsEnabled()) << control->Name().GetData();

    w.SendMessage(kMsgOperation, 7500, kKindProgress);
    EXPECT_EQ(Text(c.status), "");
    EXPECT_EQ(c.status->BkColor(), radio::kProgressColour);
    EXPECT_EQ(c.status->Padding().right, 2500 * 216 / 10000);
    // Values past either end draw a full or an empty bar, never one outside the line.
    w.SendMessage(kMsgOperation, 20000, kKindProgress);
    EXPECT_EQ(c.status->Padding().right, 0);
    w.SendMessage(kMsgOperation, static_cast<plat::WPARAM>(-5), kKindProgress);
    EXPECT_EQ(c.status->Padding().right, 216);

    const auto upgrade = reinterpret_cast<plat::WPARAM>(c.itemUpgrade);
    w.SendMessage(kMsgOperation, upgrade, kKindFailure);
    EXPECT_EQ(Text(c.status), Text(c.itemUpgrade) + w.Host().Text(radio::TextId::MsgError));
    EXPECT_EQ(c.status->BkColor(), radio::kFailureColour);
    EXPECT_EQ(c.status->Padding().right, 0);
    w.SendMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(c.btnExport), kKindSuccess);
    EXPECT_EQ(Text(c.status), Text(c.btnExport) + w.Host().Text(radio::TextId::MsgSuccess));
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);

    // Kinds without a meaning, and controls the window does not know, change nothing.
    int junk = 0;
    EXPECT_EQ(w.SendMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(&junk), kKindFailure), 0);
    EXPECT_EQ(w.SendMessage(kMsgOperation, upgrade, 4), 0);
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);

    // Giving up the focus leaves the control as enabled as it was.
    w.SendMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(c.btnDefaultTx), kKindDropFocus);
    EXPECT_TRUE(c.btnDefaultTx->IsEnabled());
    c.btnImport->SetEnabled(false);
    w.SendMessage(kMsgOperation, reinterpret_cast<plat::WPARAM>(c.btnImport), kKindDropFocus);
    EXPECT_FALSE(c.btnImport->IsEnabled());
}

TEST_F(MainWindowTest, UnlockAndDefaultValueButtons) {
    DlgMain& w = OpenWindow();
    MainControls& c = w.Controls();
    Do("click btnUnlockSn");
    EXPECT_TRUE(c.serialNumber.row->IsEnabled());
    EXPECT_TRUE(w.Settings().SerialNumberUnlocked);
    EXPECT_FALSE(c.hardwareVersion.row->IsEnabled());

    Do("click btnDefaultRx");
    for (int slot = 1; slot <= radio::ChannelCount; ++slot)
        EXPECT_EQ(Text(c.rx[slot].edit),
                  radio::FormatFrequency(w.Settings().DefaultFrequencies[slot], 9, false));
    EXPECT_EQ(Text(c.tx[1].edit), "");
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgramWithoutDestroyingIt) {
    DlgMain& w = OpenWindow();
    // Escape asks the window to close, as the window manager's close does.
    w.SendMessage(plat::WM_CLOSE, 1, 0);
    EXPECT_TRUE(plat::IsWindow(w.GetHWND()));
    EXPECT_TRUE(QuitPosted());
}

TEST_F(MainWindowTest, TheCloseButtonAndExitEndTheProgram) {
    OpenWindow();
    Do("click btnClose");
    EXPECT_TRUE(QuitPosted());
}

class LanguageTest : public MainWindowTest {
protected:
    void ChooseLanguageEntry() {
        Do("click menuLanguage");
        Do("move menuHelp");
        Do("move menuLanguage");
        Do("click itemLanguage");
    }
};

TEST_F(LanguageTest, PortBaudAndLanguageSurviveARestart) {
    DlgMain& first = OpenWindow();
    ChooseLanguageEntry();
    ASSERT_FALSE(first.IsChinese());
    EXPECT_EQ(Text(first.Controls().itemExit), "Exit");
    // The entry gave up the focus, so it can be chosen again.
    EXPECT_FALSE(first.Controls().itemLanguage->IsFocused());
    const std::string readCaption = Text(first.Controls().btnRead);
    first.Controls().baud.combo->SelectItem(4);
    CloseWindow();

    DlgMain& second = OpenWindow();
    EXPECT_FALSE(second.IsChinese());
    EXPECT_EQ(Text(second.Controls().btnRead), readCaption);
    EXPECT_EQ(second.Controls().baud.combo->GetCurSel(), 4);
    ChooseLanguageEntry();
    EXPECT_TRUE(second.IsChinese());
    CloseWindow();

    DlgMain& third = OpenWindow();
    EXPECT_TRUE(third.IsChinese());
    EXPECT_EQ(Text(third.Controls().itemExit), "退出");
}

} // namespace
} // namespace app::test
