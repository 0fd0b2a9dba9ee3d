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

std::string Text(const Pane::CControlUI* control) {
    return control->GetText().GetData();
}

std::string Place(const Pane::CControlUI* control) {
    const plat::RECT rc = control->Position();
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
           "," + std::to_string(rc.bottom);
}

class Language : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/language-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
        app::BuildMainTree(&m_main, m_controls);
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + m_dir + "'").c_str()), 0); }

    std::string Write(const char* name, const std::string& text) {
        std::ofstream(m_dir + "/" + name) << text;
        return m_dir + "/" + name;
    }

    // What the main window does at start-up and from the Language entry.
    void Apply(CLanguage& language) {
        language.Apply(m_chinese, m_controls,
                       [&] { app::FillMainLists(m_controls, language.ChannelNames(m_chinese)); });
    }

    std::string m_dir;
    Pane::CVerticalLayoutUI m_main;
    app::MainControls m_controls;
    bool m_chinese = false; // inverted by the first application, as at start-up
};

TEST_F(Language, ReadingKeepsToTheBufferWithoutSplittingACharacter) {
    const std::string file =
        Write("cut.ini", "[String]\nASCII=" + std::string(60, 'v') + "\nWIDE=频道一二三四\n");
    EXPECT_EQ(app::ReadLanguageKey(file, "ASCII", 50), std::string(49, 'v'));
    // Eleven bytes hold three of these three-byte characters, not three and two thirds.
    EXPECT_EQ(app::ReadLanguageKey(file, "WIDE", 12), "频道一");
    EXPECT_EQ(app::ReadLanguageKey(file, "WIDE", 13), "频道一二");
    EXPECT_EQ(app::ReadLanguageKey(m_dir + "/missing.ini", "ASCII", 50), "");
}

TEST_F(Language, TableTiesEachControlToItsKeyInTableOrder) {
    const app::MainControls& c = m_controls;
    // Each value names its key and is longer than any buffer, so an entry shows which key it
    // was read from and with how many bytes.
    struct Expected {
        size_t index;
        Pane::CControlUI* control;
        std::string key;
        size_t bytes;
    };
    const Expected expected[] = {
        {0, c.btnConnect, "IDS_BUTTON_CONNECT", 12},
        {8, c.menus[app::kMenuHelp], "IDS_MENU_HELP", 20},
        {16, c.itemExport, "IDS_MENU_FILE_EXPORTCFG", 20},
        {20, c.title, "IDS_NAME_VERSION", 50},
        {26, c.workMode.label, "IDS_LABLE_REPEATER", 30},
        {36, c.baud.label, "IDS_LABLE_BUAD", 18},
        {37, c.tx[0].label, "IDS_CHANNEL_0", 16},
        {38, c.rx[0].label, "IDS_CHANNEL_0", 16},
        {56, c.rx[9].label, "IDS_CHANNEL_9", 16},
        {57, c.itemUpgrade, "IDS_MENU_FILE_UPGRADE", 20},
    };
    std::string file = "[String]\n";
    for (const Expected& e : expected)
        file += e.key + "=" + e.key + std::string(60, '.') + "\n";
    CLanguage language(Write("a.ini", file + "[Setting]\nLanguage=English\n"),
                       Write("b.ini", "[Setting]\nLanguage=中文\n"));
    language.LoadTable(m_controls);

    const auto& table = language.Table();
    ASSERT_EQ(table.size(), 58u);
    std::set<Pane::CControlUI*> controls;
    for (const auto& entry : table)
        controls.insert(entry.control);
    EXPECT_EQ(controls.size(), table.size()) << "a control is missing or appears twice";
    for (const Expected& e : expected) {
        EXPECT_EQ(table[e.index].control, e.control) << e.key;
        EXPECT_EQ(table[e.index].first, (e.key + std::string(60, '.')).substr(0, e.bytes - 1));
        EXPECT_EQ(table[e.index].second, "") << e.key;
    }
    EXPECT_EQ(table[17].control, c.itemExit);
    EXPECT_EQ(table[17].first + table[17].second, "退出Exit");
    EXPECT_EQ(table[18].first + table[18].second, "English中文");
}

TEST_F(Language, SwitchingSetsTextsWidthsAndPanelsAndKeepsSelections) {
    const app::MainControls& c = m_controls;
    CLanguage language(std::string(ZELTA_SOURCE_DIR) + "/resources/Multi_RUS1251.ini",
                       std::string(ZELTA_SOURCE_DIR) + "/resources/Multi_ENG1251.ini");
    language.LoadTable(m_controls);
    Apply(language);
    ASSERT_TRUE(m_chinese);
    EXPECT_EQ(Text(c.btnConnect) + Text(c.itemExit) + Text(c.btnUnlockSn), "连接退出解锁");
    EXPECT_EQ(Text(c.groupPort->TitleLabel()), "端口设置");
    EXPECT_EQ(language.StatusText(radio::TextId::MsgSuccess, true), " 成功");
    EXPECT_EQ(Text(c.workMode.combo->GetItemAt(0)), " 仅发射");
    EXPECT_EQ(Text(c.channel.combo->GetItemAt(7)), " 频道8");
    EXPECT_EQ(c.rx[9].label->FixedWidth(), 58);
    EXPECT_EQ(c.protocol.label->FixedWidth(), 123);
    EXPECT_EQ(c.serialNumber.label->FixedWidth(), 90); // the identity step comes later
    EXPECT_EQ(c.baud.label->FixedWidth(), 32);
    EXPECT_EQ(c.btnUnlockHw->FixedWidth(), 26);
    EXPECT_EQ(c.menus[app::kMenuHelp]->FixedWidth(), 72);
    EXPECT_EQ(Place(c.panels[app::kMenuFile]), "10,63,130,226");
    EXPECT_EQ(Place(c.panels[app::kMenuLanguage]), "52,63,142,85");

    c.protocol.combo->SelectItem(4);
    c.channel.combo->SelectItem(5);
    c.workMode.combo->SelectItem(2);
    c.baud.combo->SelectItem(4);
    Apply(language);
    ASSERT_FALSE(m_chinese);
    EXPECT_EQ(Text(c.btnConnect) + Text(c.itemExit) + Text(c.itemUpgrade),
              "ConnectExitUpgrade Firmware");
    EXPECT_EQ(language.StatusText(radio::TextId::MsgError, false), " Error");
    EXPECT_EQ(c.protocol.label->FixedWidth(), 100);
    EXPECT_EQ(c.hardwareVersion.label->FixedWidth(), 60);
    EXPECT_EQ(c.menus[app::kMenuLanguage]->FixedWidth(), 72);
    EXPECT_EQ(Place(c.panels[app::kMenuHelp]), "124,63,194,85");
    // The values shown survive the refill of the lists.
    EXPECT_EQ(c.protocol.combo->GetCurSel(), 4);
    EXPECT_EQ(Text(c.channel.combo->GetItemAt(c.channel.combo->GetCurSel())), " Channel 6");
    EXPECT_EQ(Text(c.workMode.combo->GetItemAt(c.workMode.combo->GetCurSel())), " repeater");
    EXPECT_EQ(c.baud.combo->GetCurSel(), 4);
    EXPECT_EQ(c.linkBaud.combo->GetCurSel(), -1);
}

TEST_F(Language, MissingFilesGiveEmptyTextsAndTheFirstLanguagesTitleHasLessRoom) {
    const app::MainControls& c = m_controls;
    CLanguage missing(m_dir + "/none1.ini", m_dir + "/none2.ini");
    missing.LoadTable(m_controls);
    Apply(missing);
    for (const auto& entry : missing.Table())
        EXPECT_EQ(Text(entry.control), entry.control == c.itemExit ? "退出" : "");
    EXPECT_EQ(missing.StatusText(radio::TextId::MsgSuccess, true), " ");

    const std::string title = "[String]\nIDS_GROUPBOX_PORTSET=" + std::string(19, 'p') + "\n";
    CLanguage language(Write("a.ini", title), Write("b.ini", title));
    Apply(language);
    EXPECT_EQ(Text(c.groupPort->TitleLabel()), std::string(19, 'p'));
    Apply(language);
    EXPECT_EQ(Text(c.groupPort->TitleLabel()), std::string(17, 'p'));
}

} // namespace
