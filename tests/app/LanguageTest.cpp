#include "app/Language.h"

#include "app/Composites.h"
#include "app/MainTree.h"
#include "pane/controls/Button.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Label.h"
#include "pane/layouts/VerticalLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

namespace {

using app::CLanguage;
using app::MainControls;

std::string Text(const Pane::CControlUI* control) {
    return control->GetText().GetData();
}

std::string Place(const Pane::CControlUI* control) {
    const plat::RECT rc = control->Position();
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
           "," + std::to_string(rc.bottom);
}

std::string Selected(Pane::CComboBoxUI* combo) {
    const int index = combo->GetCurSel();
    return index < 0 ? std::string() : Text(combo->GetItemAt(index));
}

class Language : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/language-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
        app::BuildMainTree(&m_main, m_controls);
    }
    void TearDown() override {
        const std::string cmd = "rm -rf '" + m_dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    std::string Write(const char* name, const std::string& text) {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    // The shipped files, as the program finds them beside itself.
    static CLanguage Shipped() {
        return CLanguage(std::string(ZELTA_SOURCE_DIR) + "/resources/Multi_RUS1251.ini",
                         std::string(ZELTA_SOURCE_DIR) + "/resources/Multi_ENG1251.ini");
    }

    // What the main window does at start-up and from the Language entry.
    void Apply(CLanguage& language) {
        language.Apply(m_chinese, m_controls,
                       [&] { app::FillMainLists(m_controls, language.ChannelNames(m_chinese)); });
    }

    std::string m_dir;
    Pane::CVerticalLayoutUI m_main;
    MainControls m_controls;
    bool m_chinese = false; // inverted by the first application, as at start-up
};

TEST_F(Language, ReadingKeepsToTheBufferWithoutSplittingACharacter) {
    const std::string file = Write("cut.ini", "[String]\n"
                                              "ASCII=" +
                                                  std::string(60, 'v') +
                                                  "\n"
                                                  "WIDE=频道一二三四\n"
                                                  "[Setting]\nLanguage=English\n");
    EXPECT_EQ(app::ReadLanguageKey(file, "ASCII", 50), std::string(49, 'v'));
    // Eleven bytes of room hold three of these three-byte characters, not three and two thirds.
    EXPECT_EQ(app::ReadLanguageKey(file, "WIDE", 12), "频道一");
    EXPECT_EQ(app::ReadLanguageKey(file, "WIDE", 13), "频道一二");
    EXPECT_EQ(app::ReadLanguageKey(file, "Language", 16, "Setting"), "English");
    EXPECT_EQ(app::ReadLanguageKey(file, "Language", 16), "");
    EXPECT_EQ(app::ReadLanguageKey(m_dir + "/missing.ini", "ASCII", 50), "");
}

TEST_F(Language, TableTiesEachControlToItsKeyInTableOrder) {
    // Every value names its key and file, padded past any buffer, so each entry shows which key
    // it was read from and with how many bytes.
    std::string first = "[String]\n";
    std::string second = "[String]\n";
    const char* keys[] = {
        "IDS_BUTTON_CONNECT",      "IDS_MENU_HELP",       "IDS_BUTTON_DFTRXVAL",
        "IDS_MENU_FILE_EXPORTCFG", "IDS_MENU_HELP_ABOUT", "IDS_NAME_VERSION",
        "IDS_LABLE_PROTOCOLTYPE",  "IDS_LABLE_REPEATER",  "IDS_LABLE_BUAD",
        "IDS_CHANNEL_0",           "IDS_CHANNEL_9",       "IDS_MENU_FILE_UPGRADE"};
    for (const char* key : keys) {
        first += std::string(key) + "=1" + key + std::string(60, '.') + "\n";
        second += std::string(key) + "=2" + key + std::string(60, '.') + "\n";
    }
    first += "[Setting]\nLanguage=English\n";
    second += "[Setting]\nLanguage=中文\n";
    CLanguage language(Write("first.ini", first), Write("second.ini", second));
    language.LoadTable(m_controls);

    const auto& table = language.Table();
    ASSERT_EQ(table.size(), 58u);
    std::set<Pane::CControlUI*> controls;
    for (const auto& entry : table) {
        EXPECT_NE(entry.control, nullptr);
        controls.insert(entry.control);
    }
    EXPECT_EQ(controls.size(), table.size()) << "a control appears twice";

    struct Expected {
        size_t index;
        Pane::CControlUI* control;
        const char* key;
        size_t bytes;
    };
    const MainControls& c = m_controls;
    const Expected expected[] = {
        {0, c.btnConnect, "IDS_BUTTON_CONNECT", 12},
        {8, c.menus[app::kMenuHelp], "IDS_MENU_HELP", 20},
        {10, c.btnDefaultRx, "IDS_BUTTON_DFTRXVAL", 16},
        {16, c.itemExport, "IDS_MENU_FILE_EXPORTCFG", 20},
        {19, c.itemAbout, "IDS_MENU_HELP_ABOUT", 16},
        {20, c.title, "IDS_NAME_VERSION", 50},
        {21, c.protocol.label, "IDS_LABLE_PROTOCOLTYPE", 20},
        {26, c.workMode.label, "IDS_LABLE_REPEATER", 30},
        {36, c.baud.label, "IDS_LABLE_BUAD", 18},
        {37, c.tx[0].label, "IDS_CHANNEL_0", 16},
        {38, c.rx[0].label, "IDS_CHANNEL_0", 16},
        {55, c.tx[9].label, "IDS_CHANNEL_9", 16},
        {56, c.rx[9].label, "IDS_CHANNEL_9", 16},
        {57, c.itemUpgrade, "IDS_MENU_FILE_UPGRADE", 20},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.key);
        EXPECT_EQ(table[e.index].control, e.control);
        EXPECT_EQ(table[e.index].first,
                  ("1" + std::string(e.key) + std::string(60, '.')).substr(0, e.bytes - 1));
        EXPECT_EQ(table[e.index].second,
                  ("2" + std::string(e.key) + std::string(60, '.')).substr(0, e.bytes - 1));
    }
    EXPECT_EQ(table[17].control, c.itemExit);
    EXPECT_EQ(table[17].first, "退出");
    EXPECT_EQ(table[17].second, "Exit");
    EXPECT_EQ(table[18].control, c.itemLanguage);
    EXPECT_EQ(table[18].first, "English");
    EXPECT_EQ(table[18].second, "中文");
    // Keys absent from the files give empty texts.
    EXPECT_EQ(table[1].first, "");
}

TEST_F(Language, ApplyingSwitchesEveryTextWidthAndPanelBetweenTheLanguages) {
    CLanguage language = Shipped();
    language.LoadTable(m_controls);
    const MainControls& c = m_controls;

    Apply(language);
    ASSERT_TRUE(m_chinese);
    EXPECT_EQ(Text(c.btnConnect), "连接");
    EXPECT_EQ(Text(c.itemExit), "退出");
    EXPECT_EQ(Text(c.itemLanguage), "English");
    EXPECT_EQ(Text(c.protocol.label), "协议类型:");
    EXPECT_EQ(Text(c.btnUnlockSn), "解锁");
    EXPECT_EQ(Text(c.groupPort->TitleLabel()), "端口设置");
    EXPECT_EQ(language.StatusText(radio::TextId::MsgSuccess, true), " 成功");
    EXPECT_EQ(language.StatusText(radio::TextId::MsgError, false), " Error");
    EXPECT_EQ(Text(c.workMode.combo->GetItemAt(0)), " 仅发射");
    EXPECT_EQ(Text(c.channel.combo->GetItemAt(7)), " 频道8");
    EXPECT_EQ(Selected(c.baud.combo), " 38400");

    EXPECT_EQ(c.tx[9].label->FixedWidth(), 58);
    EXPECT_EQ(c.rx[0].label->FixedWidth(), 58);
    EXPECT_EQ(c.protocol.label->FixedWidth(), 123);
    EXPECT_EQ(c.subFirmware.label->FixedWidth(), 123);
    EXPECT_EQ(c.serialNumber.label->FixedWidth(), 90); // the identity step comes later
    EXPECT_EQ(c.port.label->FixedWidth(), 55);
    EXPECT_EQ(c.baud.label->FixedWidth(), 32);
    EXPECT_EQ(c.btnUnlockHw->FixedWidth(), 26);
    EXPECT_EQ(c.menus[app::kMenuLanguage]->FixedWidth(), 42);
    EXPECT_EQ(c.menus[app::kMenuHelp]->FixedWidth(), 72);
    EXPECT_EQ(Place(c.panels[app::kMenuFile]), "10,63,130,226");
    EXPECT_EQ(c.panels[app::kMenuLanguage]->Position().right, 142);
    EXPECT_EQ(c.panels[app::kMenuHelp]->Position().left, 94);

    Apply(language);
    ASSERT_FALSE(m_chinese);
    EXPECT_EQ(Text(c.btnConnect), "Connect");
    EXPECT_EQ(Text(c.itemExit), "Exit");
    EXPECT_EQ(Text(c.itemLanguage), "中文");
    EXPECT_EQ(Text(c.itemUpgrade), "Upgrade Firmware");
    EXPECT_EQ(Text(c.tx[3].label), "CH3:");
    EXPECT_EQ(Text(c.groupTx->TitleLabel()), "TX Frequency(MHZ)");
    EXPECT_EQ(Text(c.workMode.combo->GetItemAt(2)), " repeater");
    EXPECT_EQ(Text(c.channel.combo->GetItemAt(0)), " Channel 1");
    EXPECT_EQ(c.protocol.label->FixedWidth(), 100);
    EXPECT_EQ(c.hardwareVersion.label->FixedWidth(), 60);
    EXPECT_EQ(c.btnUnlockSn->FixedWidth(), 40);
    EXPECT_EQ(c.menus[app::kMenuLanguage]->FixedWidth(), 72);
    EXPECT_EQ(c.menus[app::kMenuHelp]->FixedWidth(), 42);
    EXPECT_EQ(c.panels[app::kMenuLanguage]->Position().right, 122);
    EXPECT_EQ(c.panels[app::kMenuHelp]->Position().left, 124);
    EXPECT_EQ(c.panels[app::kMenuFile]->Position().bottom, 226);
}

TEST_F(Language, SelectionsShownSurviveASwitch) {
    CLanguage language = Shipped();
    language.LoadTable(m_controls);
    Apply(language);
    const MainControls& c = m_controls;
    c.protocol.combo->SelectItem(4);
    c.channel.combo->SelectItem(5);
    c.radioBaud.combo->SelectItem(3);
    c.bandwidth.combo->SelectItem(1);
    c.workMode.combo->SelectItem(2);
    c.powerHigh.combo->SelectItem(1);
    c.powerLow.combo->SelectItem(2);
    c.baud.combo->SelectItem(4);

    Apply(language);
    EXPECT_EQ(c.protocol.combo->GetCurSel(), 4);
    EXPECT_EQ(Selected(c.channel.combo), " Channel 6");
    EXPECT_EQ(c.radioBaud.combo->GetCurSel(), 3);
    EXPECT_EQ(c.bandwidth.combo->GetCurSel(), 1);
    EXPECT_EQ(Selected(c.workMode.combo), " repeater");
    EXPECT_EQ(c.powerHigh.combo->GetCurSel(), 1);
    EXPECT_EQ(c.powerLow.combo->GetCurSel(), 2);
    EXPECT_EQ(Selected(c.baud.combo), " 115200");
    // Lists that had no selection keep none.
    EXPECT_EQ(c.linkBaud.combo->GetCurSel(), -1);
}

TEST_F(Language, MissingFilesLeaveTableTextsEmptyButBuiltInPairsShown) {
    CLanguage language(m_dir + "/none1.ini", m_dir + "/none2.ini");
    language.LoadTable(m_controls);
    Apply(language);
    for (const auto& entry : language.Table()) {
        if (entry.control != m_controls.itemExit) {
            EXPECT_EQ(Text(entry.control), "");
        }
    }
    EXPECT_EQ(Text(m_controls.itemExit), "退出");
    EXPECT_EQ(language.StatusText(radio::TextId::MsgSuccess, true), " ");
    EXPECT_EQ(Text(m_controls.channel.combo->GetItemAt(0)), " ");
    Apply(language);
    EXPECT_EQ(Text(m_controls.itemExit), "Exit");
}

TEST_F(Language, PortSettingsTitleHasLessRoomInTheFirstLanguage) {
    const std::string title =
        "[String]\nIDS_GROUPBOX_PORTSET=" + std::string(19, 'p') + "\nIDS_MSG_SUCCESS=Fine\n";
    CLanguage language(Write("a.ini", title), Write("b.ini", title));
    language.LoadTable(m_controls);
    Apply(language);
    EXPECT_EQ(Text(m_controls.groupPort->TitleLabel()), std::string(17, 'p'));
    // Status keys are read afresh at each application: an edit shows at the next switch.
    EXPECT_EQ(language.StatusText(radio::TextId::MsgSuccess, true), " Fine");
    Write("a.ini", title + "IDS_MSG_ERROR=Bad\n");
    Apply(language);
    EXPECT_EQ(Text(m_controls.groupPort->TitleLabel()), std::string(19, 'p'));
    EXPECT_EQ(language.StatusText(radio::TextId::MsgError, true), " Bad");
}

} // namespace
