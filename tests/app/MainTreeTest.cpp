#include "MainTreeHost.h"

#include "app/ControlFields.h"
#include "pane/controls/Button.h"
#include "pane/core/UIManager.h"
#include "platform/gfx/Bitmap.h"

#include <cstring>
#include <string>
#include <vector>

namespace app::test {
namespace {

using Pane::CControlUI;

const std::vector<std::string> kChannelNames = {" CH1", " CH2", " CH3", " CH4",
                                                " CH5", " CH6", " CH7", " CH8"};

std::vector<CControlUI*> Children(Pane::CContainerUI* container) {
    std::vector<CControlUI*> children;
    for (int i = 0; i < container->GetCount(); ++i)
        children.push_back(container->GetItemAt(i));
    return children;
}

std::vector<ComboRow*> ParameterLists(MainControls& c) {
    return {&c.protocol, &c.channel,   &c.radioBaud, &c.linkBaud, &c.bandwidth,
            &c.workMode, &c.powerHigh, &c.powerLow,  &c.port,     &c.baud};
}

TEST_F(MainTreeTest, EveryNamedControlIsInTheTreeOnceWithItsClass) {
    struct Expected {
        std::string name;
        const char* className;
    };
    std::vector<Expected> expected = {
        {"title", "LabelUI"},
        {"btnMin", "ButtonUI"},
        {"btnClose", "ButtonUI"},
        {"panelFile", "VerticalLayoutUI"},
        {"btnDefaultTx", "ButtonUI"},
        {"btnDefaultRx", "ButtonUI"},
        {"src", "EditUI"},
        {"dst", "EditUI"},
        {"serialNumber", "EditUI"},
        {"hardwareVersion", "EditUI"},
        {"firmware", "EditUI"},
        {"subFirmware", "EditUI"},
        {"btnUnlockSn", "ButtonUI"},
        {"btnUnlockHw", "ButtonUI"},
        {"status", "LabelUI"},
        {"panelLanguage", "VerticalLayoutUI"},
        {"panelHelp", "VerticalLayoutUI"},
    };
    for (const char* name : {"menuFile", "menuLanguage", "menuHelp", "itemConnect", "itemRead",
                             "itemWrite", "itemDisconnect", "itemImport", "itemExport",
                             "itemUpgrade", "itemExit", "itemLanguage", "itemAbout", "btnConnect",
                             "btnRead", "btnWrite", "btnDisconnect", "btnImport", "btnExport"})
        expected.push_back({name, "ButtonUI"});
    for (const char* name : {"protocol", "channel", "radioBaud", "linkBaud", "bandwidth",
                             "workMode", "powerHigh", "powerLow", "port", "baud"})
        expected.push_back({name, "ComboBoxUI"});
    for (int slot = 1; slot <= 8; ++slot) {
        expected.push_back({"tx" + std::to_string(slot), "EditUI"});
        expected.push_back({"rx" + std::to_string(slot), "EditUI"});
    }
    const std::string dump = Pane::DumpWindows();
    for (const Expected& e : expected) {
        const std::string line = std::string(e.className) + " \"" + e.name + "\" ";
        const size_t at = dump.find(line);
        EXPECT_NE(at, std::string::npos) << e.name;
        EXPECT_EQ(dump.find(line, at + 1), std::string::npos) << e.name << " twice";
    }
}

TEST_F(MainTreeTest, FrequencyGroupsShowSlotsOneToEightThenTheirDefaultsButton) {
    Settle();
    MainControls& c = window->controls;
    for (auto [group, rows, defaults] : {std::tuple{c.groupTx, &c.tx, c.btnDefaultTx},
                                         std::tuple{c.groupRx, &c.rx, c.btnDefaultRx}}) {
        std::vector<CControlUI*> shown;
        for (CControlUI* child : Children(group->Content()))
            if (std::strcmp(child->ClassName(), "ControlUI") != 0)
                shown.push_back(child);
        ASSERT_EQ(shown.size(), 9u);
        for (int slot = 1; slot <= 8; ++slot) {
            CControlUI* row = (*rows)[static_cast<size_t>(slot)].row;
            EXPECT_EQ(shown[static_cast<size_t>(slot - 1)], row);
            EXPECT_EQ(row->Height(), 23);
            // Rows stack downwards without overlapping.
            if (slot > 1) {
                EXPECT_GE(row->Position().top,
                          (*rows)[static_cast<size_t>(slot - 1)].row->Position().bottom);
            }
        }
        EXPECT_EQ(shown[8], defaults);
        EXPECT_EQ(defaults->Height(), 22);
        for (int slot : {0, 9}) {
            const EditRow& row = (*rows)[static_cast<size_t>(slot)];
            EXPECT_EQ(row.row->Parent(), nullptr);
            EXPECT_EQ(row.row->Manager(), nullptr);
        }
        // The whole group fits the window: its last row ends above the defaults button.
        EXPECT_LE(defaults->Position().bottom, group->Position().bottom);
    }
    EXPECT_EQ(c.tx[3].edit->GetMaxChar(), 9);
    EXPECT_EQ(std::string(c.rx[8].edit->ToolTip().GetData()), "410.00000MHZ～470.00000MHZ");
}

TEST_F(MainTreeTest, GroupTitlesTakeTheirWidthFromTheirCodePageLength) {
    Settle();
    MainControls& c = window->controls;
    EXPECT_EQ(c.groupTx->TitleLabel()->Width(), 109);  // 17 bytes x 6.3 + 2
    EXPECT_EQ(c.groupPort->TitleLabel()->Width(), 52); // 4 characters of 2 bytes
    c.groupPort->SetTitle("Port Settings");
    Settle();
    EXPECT_EQ(c.groupPort->TitleLabel()->Width(), 89); // 13 x 6.7 + 2
}

TEST_F(MainTreeTest, FileMenuHasTheUpgradeEntryBetweenItsAdjacentSeparators) {
    MainControls& c = window->controls;
    const std::vector<CControlUI*> file = Children(c.panels[kMenuFile]);
    const std::vector<CControlUI*> expected = {
        c.itemConnect, c.itemRead,   c.itemWrite,  c.itemDisconnect, file[4],   c.itemUpgrade,
        file[6],       c.itemImport, c.itemExport, file[9],          c.itemExit};
    EXPECT_EQ(file, expected);
    for (size_t separator : {4u, 6u, 9u}) {
        EXPECT_STREQ(file[separator]->ClassName(), "ControlUI");
        EXPECT_EQ(file[separator]->BkColor(), 0xFFFFC700u);
        EXPECT_EQ(file[separator]->FixedHeight(), 1);
    }
    for (CControlUI* panel : c.panels) {
        EXPECT_TRUE(panel->IsFloat());
        EXPECT_FALSE(panel->IsVisible());
    }
    EXPECT_EQ(c.itemUpgrade->FixedHeight(), 20);
    EXPECT_EQ(Children(c.panels[kMenuHelp]), std::vector<CControlUI*>{c.itemAbout});
}

TEST_F(MainTreeTest, LinkRateRowStartsGreyAndDeafToTheMouse) {
    MainControls& c = window->controls;
    EXPECT_FALSE(c.linkBaud.combo->IsMouseEnabled());
    EXPECT_EQ(c.linkBaud.label->TextColor(), 0x00A7A6B7u);
    EXPECT_EQ(c.linkBaud.combo->GetItemAppearance()->textColor, 0x00A7A6B7u);
    EXPECT_EQ(c.linkBaud.combo->GetItemAppearance()->selectedTextColor, 0x00A7A6B7u);
    EXPECT_TRUE(c.protocol.combo->IsMouseEnabled());
}

TEST_F(MainTreeTest, FillingTheListsSelectsOnlyThePortBaudRateAndClearsUnusedSlots) {
    MainControls& c = window->controls;
    c.tx[0].edit->SetText("430.00000");
    c.rx[9].edit->SetText("431.00000");
    FillMainLists(c, kChannelNames);
    // A second filling (a language switch) drops every selection made meanwhile.
    c.protocol.combo->SelectItem(4);
    c.baud.combo->SelectItem(0);
    FillMainLists(c, kChannelNames);

    for (ComboRow* row : ParameterLists(c)) {
        if (row == &c.port)
            continue;
        EXPECT_GT(row->combo->GetCount(), 0) << row->combo->Name().GetData();
        EXPECT_EQ(row->combo->GetCurSel(), row == &c.baud ? 2 : -1) << row->combo->Name().GetData();
    }
    EXPECT_STREQ(c.baud.combo->GetText().GetData(), " 38400");
    EXPECT_EQ(c.protocol.combo->GetCount(), 9);
    EXPECT_STREQ(c.protocol.combo->GetItemAt(8)->GetText().GetData(), " TT450S");
    EXPECT_STREQ(c.channel.combo->GetItemAt(7)->GetText().GetData(), " CH8");
    EXPECT_EQ(c.linkBaud.combo->GetCount(), 3);
    EXPECT_STREQ(c.workMode.combo->GetItemAt(0)->GetText().GetData(), " TX only");
    EXPECT_STREQ(c.powerLow.combo->GetItemAt(2)->GetText().GetData(), " 5W");
    for (ComboRow* row : {&c.protocol, &c.linkBaud, &c.radioBaud})
        EXPECT_TRUE(row->row->IsEnabled());

    for (auto* rows : {&c.tx, &c.rx}) {
        for (int slot = 0; slot < kFrequencySlots; ++slot) {
            const EditRow& row = (*rows)[static_cast<size_t>(slot)];
            const bool used = slot >= 1 && slot <= 8;
            EXPECT_EQ(row.edit->IsEnabled(), used) << slot;
            EXPECT_EQ(row.label->IsEnabled(), used) << slot;
            if (!used) {
                EXPECT_STREQ(row.edit->GetText().GetData(), "") << slot;
            }
        }
    }

    PrepareFieldsOnce(c);
    EXPECT_TRUE(c.src.edit->IsNumberOnly());
    EXPECT_TRUE(c.dst.edit->IsNumberOnly());
    EXPECT_EQ(c.serialNumber.edit->GetMaxChar(), 9);
    EXPECT_EQ(c.hardwareVersion.edit->GetMaxChar(), 4);
    for (EditRow* row : {&c.firmware, &c.subFirmware, &c.hardwareVersion, &c.serialNumber}) {
        EXPECT_FALSE(row->edit->IsEnabled());
        EXPECT_FALSE(row->label->IsEnabled());
    }
    EXPECT_TRUE(c.src.row->IsEnabled());
}

TEST_F(MainTreeTest, PortListTakesEveryPortAndSelectsTheFirst) {
    MainControls& c = window->controls;
    EXPECT_FALSE(FillPortList(c, {}));
    EXPECT_EQ(c.port.combo->GetCount(), 0);
    EXPECT_TRUE(FillPortList(c, {"/dev/ttyUSB0", "/dev/ttyS0"}));
    EXPECT_EQ(c.port.combo->GetCurSel(), 0);
    EXPECT_STREQ(c.port.combo->GetText().GetData(), " /dev/ttyUSB0");
    EXPECT_STREQ(c.port.combo->GetItemAt(1)->GetText().GetData(), " /dev/ttyS0");
}

// The whole window with values filled in, saved for a look and checked at a few places.
TEST_F(MainTreeTest, FilledWindowDrawsItsBarsGroupsAndButtons) {
    MainControls& c = window->controls;
    FillMainLists(c, kChannelNames);
    FillPortList(c, {"/dev/ttyUSB0"});
    PrepareFieldsOnce(c);
    c.title->SetText("Zelta RCT 1.0");
    for (int slot = 1; slot <= 8; ++slot) {
        c.tx[static_cast<size_t>(slot)].label->SetText(("CH" + std::to_string(slot)).c_str());
        c.rx[static_cast<size_t>(slot)].label->SetText(("CH" + std::to_string(slot)).c_str());
        c.tx[static_cast<size_t>(slot)].edit->SetText("430.12500");
        c.rx[static_cast<size_t>(slot)].edit->SetText("440.00000");
    }
    for (auto [button, text] : {std::pair{c.btnConnect, "Connect"},
                                {c.btnRead, "Read"},
                                {c.btnWrite, "Write"},
                                {c.btnDisconnect, "Disconnect"},
                                {c.btnImport, "Import"},
                                {c.btnExport, "Export"},
                                {c.btnDefaultTx, "Default"},
                                {c.btnDefaultRx, "Default"},
                                {c.menus[kMenuFile], "File"},
                                {c.menus[kMenuLanguage], "Language"},
                                {c.menus[kMenuHelp], "Help"}})
        button->SetText(text);
    // The widths the second language gives the unlock row and the menu buttons.
    for (Pane::CButtonUI* unlock : {c.btnUnlockSn, c.btnUnlockHw}) {
        unlock->SetFixedWidth(40);
        unlock->SetText("Unlock");
    }
    c.serialNumber.label->SetFixedWidth(60);
    c.hardwareVersion.label->SetFixedWidth(60);
    c.menus[kMenuLanguage]->SetFixedWidth(72);
    c.protocol.combo->SelectItem(2);
    c.channel.combo->SelectItem(0);
    c.status->SetText("Read OK");
    c.status->SetBkColor(0xFF3CB371);
    Settle();

    const plat::Bitmap* pixels = plat::headless::Pixels(window->GetHWND());
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(pixels->width, 779);
    ASSERT_EQ(pixels->height, 509);
    const std::string shot = std::string(ZELTA_BIN_DIR) + "/main-tree.png";
    EXPECT_TRUE(plat::headless::SavePng(window->GetHWND(), shot));

    auto at = [&](int x, int y) { return pixels->At(x, y) & 0xFFFFFFu; };
    // The group frames' lines, the parameter panel's border and the status background.
    const plat::RECT tx = c.groupTx->Position();
    EXPECT_EQ(at(tx.left, (tx.top + tx.bottom) / 2), 0x888888u);
    EXPECT_EQ(at((tx.left + tx.right) / 2, tx.bottom - 1), 0x888888u);
    const plat::RECT status = c.status->Position();
    EXPECT_EQ(at(status.left + 2, (status.top + status.bottom) / 2), 0x3CB371u);
    // Every command button lies inside the window, below the port group, in order.
    int previous = c.groupPort->Position().bottom;
    for (CControlUI* button :
         {c.btnConnect, c.btnRead, c.btnWrite, c.btnDisconnect, c.btnImport, c.btnExport}) {
        EXPECT_EQ(button->Height(), 25);
        EXPECT_GE(button->Position().top, previous + 16);
        previous = button->Position().bottom;
    }
    EXPECT_LE(previous, 509);
}

} // namespace
} // namespace app::test
