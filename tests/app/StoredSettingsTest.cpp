#include "app/StoredSettings.h"

#include "app/ListFill.h"
#include "pane/controls/Combo.h"
#include "platform/sys/Settings.h"
#include "tests/radio/Unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace {

class StoredSettings : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/stored-settings-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_root = dir;
        ::setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
        app::FillCombo(&m_port, {" COM1", " COM2", " COM3"});
        app::FillCombo(&m_baud, {" 9600", " 19200", " 38400", " 57600", " 115200"});
        m_port.SelectItem(0);
        m_baud.SelectItem(2);
    }
    void TearDown() override {
        const std::string cmd = "rm -rf '" + m_root + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    // Stores raw texts as another program (or a hand edit) might have left them.
    void Store(std::initializer_list<std::pair<const char*, const char*>> values) {
        plat::HKEY key = nullptr;
        ASSERT_EQ(plat::RegCreateKeyEx(plat::HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0,
                                       plat::KEY_SET_VALUE, nullptr, &key, nullptr),
                  plat::ERROR_SUCCESS);
        for (const auto& [name, text] : values)
            plat::RegSetValueEx(key, name, 0, plat::REG_SZ,
                                reinterpret_cast<const plat::BYTE*>(text),
                                static_cast<plat::DWORD>(std::strlen(text) + 1));
        plat::RegCloseKey(key);
    }

    std::string FileText() const {
        std::ifstream in(m_root + "/ZevovaD/settings.ini");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string m_root;
    Pane::CComboUI m_port;
    Pane::CComboUI m_baud;
};

TEST_F(StoredSettings, NothingStoredKeepsTheDefaults) {
    bool chinese = true;
    app::LoadStoredSettings(&m_port, &m_baud, chinese);
    EXPECT_EQ(m_port.GetCurSel(), 0);
    EXPECT_EQ(m_baud.GetCurSel(), 2);
    EXPECT_TRUE(chinese);
    EXPECT_FALSE(app::ReapplyStoredBaud(&m_baud));
}

TEST_F(StoredSettings, SavedValuesComeBackAtTheNextStart) {
    app::SaveStoredSettings(2, 4, false);
    // Only the text is kept, not the zero bytes that fill the written buffer.
    EXPECT_NE(FileText().find("Port=2\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find("Baud=4\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find("Chinese=0\n"), std::string::npos) << FileText();

    bool chinese = true;
    app::LoadStoredSettings(&m_port, &m_baud, chinese);
    EXPECT_EQ(m_port.GetCurSel(), 2);
    EXPECT_EQ(m_baud.GetCurSel(), 4);
    EXPECT_FALSE(chinese);

    app::SaveStoredSettings(0, 1, true);
    app::LoadStoredSettings(&m_port, &m_baud, chinese);
    EXPECT_TRUE(chinese);

    // A language switch refills the baud list; the stored entry is selected again.
    app::FillCombo(&m_baud, {" 9600", " 19200", " 38400", " 57600", " 115200"});
    m_baud.SelectItem(2);
    EXPECT_TRUE(app::ReapplyStoredBaud(&m_baud));
    EXPECT_EQ(m_baud.GetCurSel(), 1);
}

TEST_F(StoredSettings, NoSelectionIsSavedAsMinusOneAndIgnoredOnLoad) {
    app::SaveStoredSettings(-1, -1, true);
    EXPECT_NE(FileText().find("Port=-1\n"), std::string::npos) << FileText();
    bool chinese = false;
    app::LoadStoredSettings(&m_port, &m_baud, chinese);
    EXPECT_EQ(m_port.GetCurSel(), 0);
    EXPECT_EQ(m_baud.GetCurSel(), 2);
    EXPECT_TRUE(chinese);
    EXPECT_FALSE(app::ReapplyStoredBaud(&m_baud));
}

TEST_F(StoredSettings, IndexesOutsideTheListsOrNotNumbersAreIgnored) {
    struct Case {
        const char* port;
        const char* baud;
    };
    const Case cases[] = {
        {"3", "5"},                             // one past the last entry
        {"-2", "-1"},                           // negative
        {"abc", ""},                            // not a number at all
        {"1x", "2.5"},                          // a number followed by something else
        {"99999999999999999999", "4294967298"}, // beyond any int
    };
    for (const Case& c : cases) {
        Store({{"Port", c.port}, {"Baud", c.baud}});
        m_port.SelectItem(0);
        m_baud.SelectItem(2);
        bool chinese = true;
        app::LoadStoredSettings(&m_port, &m_baud, chinese);
        EXPECT_EQ(m_port.GetCurSel(), 0) << c.port;
        EXPECT_EQ(m_baud.GetCurSel(), 2) << c.baud;
        EXPECT_FALSE(app::ReapplyStoredBaud(&m_baud)) << c.baud;
    }
}

TEST_F(StoredSettings, NamesMatchExactlyAndOnlyOneSelectsTheFirstLanguage) {
    Store({{"Ports", "2"}, {"Bau", "4"}, {"Chinese1", "1"}, {"Other", "1"}});
    bool chinese = false;
    app::LoadStoredSettings(&m_port, &m_baud, chinese);
    EXPECT_EQ(m_port.GetCurSel(), 0);
    EXPECT_EQ(m_baud.GetCurSel(), 2);
    EXPECT_FALSE(chinese);

    for (const char* other : {"0", "2", "-1", "yes", "", "01x"}) {
        Store({{"Chinese", other}});
        chinese = true;
        app::LoadStoredSettings(&m_port, &m_baud, chinese);
        EXPECT_FALSE(chinese) << '"' << other << '"';
    }
    Store({{"Chinese", "01"}});
    app::LoadStoredSettings(&m_port, &m_baud, chinese);
    EXPECT_TRUE(chinese);
}

TEST_F(StoredSettings, AnOrdinaryUserSavesAndLoadsAndAnUnwritableFolderFailsSilently) {
    const std::string own = m_root + "/own";
    const std::string locked = m_root + "/locked";
    ASSERT_EQ(::mkdir(own.c_str(), 0755), 0);
    // Read-only even to its owner, so the check holds when the tests already run unprivileged.
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(m_root.c_str(), 0755), 0);
    RunUnprivileged(
        [&] {
            ::setenv("XDG_CONFIG_HOME", own.c_str(), 1);
            app::SaveStoredSettings(1, 3, false);
            Pane::CComboUI port;
            Pane::CComboUI baud;
            app::FillCombo(&port, {" COM1", " COM2"});
            app::FillCombo(&baud, {" 9600", " 19200", " 38400", " 57600"});
            bool chinese = true;
            app::LoadStoredSettings(&port, &baud, chinese);
            EXPECT_EQ(port.GetCurSel(), 1);
            EXPECT_EQ(baud.GetCurSel(), 3);
            EXPECT_FALSE(chinese);

            // Not the user's folder: nothing is written and nothing is reported.
            ::setenv("XDG_CONFIG_HOME", locked.c_str(), 1);
            app::SaveStoredSettings(1, 3, false);
            struct stat info {};
            EXPECT_NE(::stat((locked + "/ZevovaD").c_str(), &info), 0);
            chinese = true;
            app::LoadStoredSettings(&port, &baud, chinese);
            EXPECT_TRUE(chinese);
        },
        {own});
}

} // namespace
