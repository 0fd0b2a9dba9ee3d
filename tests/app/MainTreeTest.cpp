#include "MainTreeHost.h"

#include "pane/controls/Button.h"
#include "platform/gfx/Bitmap.h"

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

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

TEST_F(MainTreeTest, EveryAutomationNameIsInTheTreeExactlyOnce) {
    std::vector<std::string> names;
    std::istringstream list(
        "title btnMin btnClose menuFile menuLanguage menuHelp panelFile panelLanguage panelHelp "
        "itemConnect itemRead itemWrite itemDisconnect itemImport itemExport itemUpgrade itemExit "
        "itemLanguage itemAbout btnDefaultTx btnDefaultRx protocol channel radioBaud linkBaud "
        "bandwidth workMode src dst powerHigh powerLow serialNumber hardwareVersion firmware "
        "subFirmware btnUnlockSn btnUnlockHw status port baud btnConnect btnRead btnWrite "
        "btnDisconnect btnImport btnExport");
    for (std::string name; list >> name;)
        names.push_back(name);
    for (int slot = 1; slot <= 8; ++slot) {
        names.push_back("tx" + std::to_string(slot));
        names.push_back("rx" + std::to_string(slot));
    }
    const std::string dump = Pane::DumpWindows();
    for (const std::string& name : names) {
        const std::string quoted = " \"" + name + "\" ";
        const size_t at = dump.find(quoted);
        EXPECT_NE(at, std::string::npos) << name;
        EXPECT_EQ(dump.find(quoted, at + 1), std::string::npos) << name << " twice";
    }
}

TEST_F(MainTreeTest, GroupsShowSlotsOneToEightAndTheFileMenuItsUpgradeEntry) {
    Settle();
    MainControls& c = window->controls;
    for (auto [group, rows, defaults] : {std::tuple{c.groupTx, &c.tx, c.btnDefaultTx},
                                         std::tuple{c.groupRx, &c.rx, c.btnDefaultRx}}) {
        std::vector<CControlUI*> shown;
        for (CControlUI* child : Children(group->Content()))
            if (std::strcmp(child->ClassName(), "ControlUI") != 0)
                shown.push_back(child);
        std::vector<CControlUI*> expected;
        for (int slot = 1; slot <= 8; ++slot)
            expected.push_back((*rows)[static_cast<size_t>(slot)].row);
        expected.push_back(defaults);
        EXPECT_EQ(shown, expected);
        EXPECT_EQ((*rows)[0].row->Manager(), nullptr);
        EXPECT_EQ((*rows)[9].row->Manager(), nullptr);
        // All eight rows and the button fit inside the frame.
        EXPECT_EQ((*rows)[1].row->Height(), 23);
        EXPECT_LT(defaults->Position().bottom, group->Position().bottom);
    }

    const std::vector<CControlUI*> file = Children(c.panels[kMenuFile]);
    const std::vector<CControlUI*> expected = {
        c.itemConnect, c.itemRead,   c.itemWrite,  c.itemDisconnect, file[4],   c.itemUpgrade,
        file[6],       c.itemImport, c.itemExport, file[9],          c.itemExit};
    EXPECT_EQ(file, expected);
    for (size_t separator : {4u, 6u, 9u})
        EXPECT_EQ(file[separator]->BkColor(), 0xFFFFC700u);
    for (CControlUI* panel : c.panels)
        EXPECT_TRUE(panel->IsFloat() && !panel->IsVisible());

    EXPECT_FALSE(c.linkBaud.combo->IsMouseEnabled());
    EXPECT_EQ(c.linkBaud.label->TextColor(), 0x00A7A6B7u);
    EXPECT_EQ(c.linkBaud.combo->GetItemAppearance()->selectedTextColor, 0x00A7A6B7u);
}

TEST_F(MainTreeTest, FillingSelectsOnlyThePortBaudRateAndEmptiesUnusedSlots) {
    MainControls& c = window->controls;
    c.tx[0].edit->SetText("430.00000");
    c.rx[9].edit->SetText("431.00000");
    FillMainLists(c, kChannelNames);
    // A second filling (a language switch) drops the selections made meanwhile.
    c.protocol.combo->SelectItem(4);
    c.baud.combo->SelectItem(0);
    FillMainLists(c, kChannelNames);

    for (ComboRow* row : {&c.protocol, &c.channel, &c.radioBaud, &c.linkBaud, &c.bandwidth,
                          &c.workMode, &c.powerHigh, &c.powerLow, &c.baud}) {
        EXPECT_GT(row->combo->GetCount(), 0) << row->combo->Name().GetData();
        EXPECT_EQ(row->combo->GetCurSel(), row == &c.baud ? 2 : -1) << row->combo->Name().GetData();
    }
    EXPECT_STREQ(c.baud.combo->GetText().GetData(), " 38400");
    EXPECT_STREQ(c.channel.combo->GetItemAt(7)->GetText().GetData(), " CH8");
    EXPECT_TRUE(c.protocol.row->IsEnabled() && c.linkBaud.row->IsEnabled());
    for (auto* rows : {&c.tx, &c.rx}) {
        for (int slot : {0, 9}) {
            EXPECT_FALSE((*rows)[static_cast<size_t>(slot)].label->IsEnabled());
            EXPECT_STREQ((*rows)[static_cast<size_t>(slot)].edit->GetText().GetData(), "");
        }
        EXPECT_TRUE((*rows)[8].edit->IsEnabled());
    }

    PrepareFieldsOnce(c);
    EXPECT_TRUE(c.src.edit->IsNumberOnly() && c.dst.edit->IsNumberOnly());
    EXPECT_EQ(c.serialNumber.edit->GetMaxChar(), 9);
    EXPECT_EQ(c.hardwareVersion.edit->GetMaxChar(), 4);
    for (EditRow* row : {&c.firmware, &c.subFirmware, &c.hardwareVersion, &c.serialNumber})
        EXPECT_FALSE(row->label->IsEnabled() || row->edit->IsEnabled());

    EXPECT_FALSE(FillPortList(c, {}));
    EXPECT_TRUE(FillPortList(c, {"/dev/ttyUSB0", "/dev/ttyS0"}));
    EXPECT_STREQ(c.port.combo->GetText().GetData(), " /dev/ttyUSB0");
    EXPECT_EQ(c.port.combo->GetCount(), 2);
}

// The whole window with values filled in, saved as main-tree-<user id>.png in the temporary
// folder for a look, and checked at a few places.
TEST_F(MainTreeTest, FilledWindowDrawsItsGroupsStatusAndButtons) {
    MainControls& c = window->controls;
    FillMainLists(c, kChannelNames);
    FillPortList(c, {"/dev/ttyUSB0"});
    PrepareFieldsOnce(c);
    c.title->SetText("Zelta RCT 1.0");
    for (int slot = 1; slot <= 8; ++slot) {
        for (EditRow* row : {&c.tx[static_cast<size_t>(slot)], &c.rx[static_cast<size_t>(slot)]}) {
            row->label->SetText(("CH" + std::to_string(slot)).c_str());
            row->edit->SetText(row == &c.tx[static_cast<size_t>(slot)] ? "430.12500" : "440.00000");
        }
    }
    const std::vector<Pane::CButtonUI*> commands = {c.btnConnect,    c.btnRead,   c.btnWrite,
                                                    c.btnDisconnect, c.btnImport, c.btnExport};
    for (Pane::CButtonUI* button : commands)
        button->SetText(button->Name().GetData() + 3);
    c.btnUnlockSn->SetFixedWidth(40); // as the second language sets it
    c.btnUnlockHw->SetFixedWidth(40);
    for (auto [button, text] : {std::pair{c.menus[kMenuFile], "File"},
                                {c.menus[kMenuHelp], "Help"},
                                {c.btnDefaultTx, "Default"},
                                {c.btnDefaultRx, "Default"}})
        button->SetText(text);
    c.protocol.combo->SelectItem(2);
    c.status->SetText("Read OK");
    c.status->SetBkColor(0xFF3CB371);
    Settle();

    const std::string shot =
        ::testing::TempDir() + "main-tree-" + std::to_string(::getuid()) + ".png";
    EXPECT_TRUE(plat::headless::SavePng(window->GetHWND(), shot));
    const plat::Bitmap* pixels = plat::headless::Pixels(window->GetHWND());
    ASSERT_TRUE(pixels != nullptr && pixels->width == 779 && pixels->height == 509);
    auto at = [&](int x, int y) { return pixels->At(x, y) & 0xFFFFFFu; };
    const plat::RECT tx = c.groupTx->Position();
    EXPECT_EQ(at(tx.left, (tx.top + tx.bottom) / 2), 0x888888u);
    EXPECT_EQ(at((tx.left + tx.right) / 2, tx.bottom - 1), 0x888888u);
    const plat::RECT status = c.status->Position();
    EXPECT_EQ(at(status.left + 2, (status.top + status.bottom) / 2), 0x3CB371u);
    // The command buttons stack below the port group, 16 pixels apart, inside the window.
    int previous = c.groupPort->Position().bottom;
    for (Pane::CButtonUI* button : commands) {
        EXPECT_EQ(button->Height(), 25);
        EXPECT_GE(button->Position().top, previous + 16);
        previous = button->Position().bottom;
    }
    EXPECT_LE(previous, 509);
}

} // namespace
} // namespace app::test
