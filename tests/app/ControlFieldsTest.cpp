#include "MainTreeHost.h"

#include "app/ControlFields.h"
#include "pane/controls/Combo.h"

#include <string>
#include <vector>

namespace app::test {
namespace {

class ControlFieldsTest : public MainTreeTest {
protected:
    void SetUp() override {
        MainTreeTest::SetUp();
        FillMainLists(window->controls, {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8"});
        window->notifications.clear();
    }

    // The notifications sent by one combo, in order.
    std::vector<std::string> SentBy(const char* name) const {
        std::vector<std::string> sent;
        for (const std::string& n : window->notifications)
            if (n.ends_with(std::string(" ") + name))
                sent.push_back(n);
        return sent;
    }
};

TEST_F(ControlFieldsTest, SelectorKeepsTheDropDownsSelectionRules) {
    CComboSelector selector(window->controls.protocol.combo);
    std::vector<std::string> log; // what the window had been told when the handler ran
    std::vector<int> changes;
    selector.setChangeHandler([&](int index) {
        changes.push_back(index);
        log = SentBy("protocol");
    });

    selector.select(3);
    EXPECT_EQ(selector.selected(), 3);
    EXPECT_EQ(changes, std::vector<int>{3});
    EXPECT_EQ(log, std::vector<std::string>{"itemselect protocol"});

    selector.select(3); // the same index does nothing
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(SentBy("protocol").size(), 1u);

    selector.select(100); // past the end: the last entry
    EXPECT_EQ(selector.selected(), 8);
    EXPECT_EQ(selector.selectedText(), " TT450S");
    EXPECT_EQ(changes.back(), 8);

    selector.select(-1); // cleared without a word
    EXPECT_EQ(selector.selected(), -1);
    EXPECT_EQ(changes.size(), 2u);
    EXPECT_EQ(SentBy("protocol").size(), 2u);

    selector.clear();
    selector.select(0); // nothing to select
    EXPECT_EQ(selector.selected(), -1);
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(ControlFieldsTest, UnknownShowsUntilTheSelectionOrTheEntriesChange) {
    CComboSelector selector(window->controls.protocol.combo);
    selector.select(2);
    selector.showUnknown();
    EXPECT_EQ(selector.displayText(), " UNKNOW");
    EXPECT_EQ(selector.selected(), 2);
    selector.select(2); // not a change
    EXPECT_EQ(selector.displayText(), " UNKNOW");
    selector.select(4);
    EXPECT_EQ(selector.displayText(), " SOUTH");

    selector.showUnknown();
    selector.add(" EXTRA");
    EXPECT_EQ(selector.displayText(), " SOUTH");
    selector.showUnknown();
    selector.clear();
    EXPECT_EQ(selector.displayText(), "");
}

// The record drives the window's own controls: the link-rate rule reaches the right combo and
// label, and fields reach their edits and rows.
TEST_F(ControlFieldsTest, BoundRecordWorksOnTheWindowsControls) {
    MainControls& c = window->controls;
    radio::RadioSettings settings;
    CMainFields fields(c);
    fields.Bind(settings);
    settings.ConnectSelectionRules();

    settings.Bandwidth->select(1);
    settings.ProtocolType->select(radio::kProtocolHuace);
    EXPECT_EQ(c.linkBaud.combo->GetCount(), 3);
    EXPECT_TRUE(c.linkBaud.combo->IsMouseEnabled());
    EXPECT_EQ(c.linkBaud.label->TextColor(), radio::kLinkRateLabelColour);

    // The default colour (0) gives the items their own colours back.
    EXPECT_EQ(c.linkBaud.combo->GetItemAppearance()->selectedTextColor,
              Pane::ItemAppearance().selectedTextColor);

    settings.ProtocolType->select(5); // HI-TARGET at 25.0 kHz: fixed at 19200
    EXPECT_FALSE(c.linkBaud.combo->IsMouseEnabled());
    EXPECT_STREQ(c.linkBaud.combo->GetText().GetData(), " 19200");
    EXPECT_EQ(c.linkBaud.label->TextColor(), radio::kLinkRateGrey);
    EXPECT_EQ(c.linkBaud.combo->GetItemAppearance()->textColor, radio::kLinkRateGrey);
    EXPECT_EQ(settings.LinkBaudRate->textColour(), radio::kLinkRateGrey);

    // Slot 0's rows live outside the tree and still take text.
    settings.FillDefaults(true);
    EXPECT_EQ(settings.Channel[0]->text(), c.tx[0].edit->GetText().GetData());
    EXPECT_FALSE(settings.Channel[0]->text().empty());
    EXPECT_EQ(c.tx[9].edit->GetText().GetLength(), 0);
    settings.RXChannel[8]->setText("440.00000");
    EXPECT_STREQ(c.rx[8].edit->GetText().GetData(), "440.00000");
    settings.SerialNumber->setEnabled(false);
    EXPECT_FALSE(c.serialNumber.label->IsEnabled());
    EXPECT_FALSE(settings.SerialNumber->isEnabled());
    settings.HighPower->select(1);
    EXPECT_EQ(c.powerHigh.combo->GetCurSel(), 1);
    settings.PortBaudRate->select(4);
    EXPECT_EQ(c.radioBaud.combo->GetCurSel(), 4);
    EXPECT_EQ(c.baud.combo->GetCurSel(), 2); // the program's own port rate is not the radio's
    EXPECT_EQ(settings.HardwareVersionLabel->text(), "硬件版本:");
}

} // namespace
} // namespace app::test
