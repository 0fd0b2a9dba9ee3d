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
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + m_root + "'").c_str()), 0); }

    // Loads into the lists at their defaults (first port, " 38400") and the first language.
    void Load() {
        m_port.SelectItem(0);
        m_baud.SelectItem(2);
        m_chinese = true;
        app::LoadStoredSettings(&m_port, &m_baud, m_chinese);
    }

    // Raw texts, as a hand edit might leave them.
    void Store(const char* name, const char* text) {
        plat::HKEY key = nullptr;
        ASSERT_EQ(plat::RegCreateKeyEx(plat::HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0,
                                       plat::KEY_SET_VALUE, nullptr, &key, nullptr),
                  plat::ERROR_SUCCESS);
        plat::RegSetValueEx(key, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(text),
                            static_cast<plat::DWORD>(std::strlen(text) + 1));
        plat::RegCloseKey(key);
    }

    std::string FileText() const {
        std::stringstream text;
        text << std::ifstream(m_root + "/ZevovaD/settings.ini").rdbuf();
        return text.str();
    }

    std::string m_root;
    Pane::CComboUI m_port;
    Pane::CComboUI m_baud;
    bool m_chinese = true;
};

TEST_F(StoredSettings, SavedValuesComeBackAndNoSelectionIsMinusOne) {
    Load();
    EXPECT_FALSE(app::ReapplyStoredBaud(&m_baud)); // nothing stored yet

    app::SaveStoredSettings(2, 4, false);
    // Only the text is kept, not the zero bytes that fill the written buffer.
    EXPECT_NE(FileText().find("Port=2\nBaud=4\nChinese=0\n"), std::string::npos) << FileText();
    Load();
    EXPECT_EQ(m_port.GetCurSel(), 2);
    EXPECT_EQ(m_baud.GetCurSel(), 4);
    EXPECT_FALSE(m_chinese);
    m_baud.SelectItem(2); // as a refill of the list does
    EXPECT_TRUE(app::ReapplyStoredBaud(&m_baud));
    EXPECT_EQ(m_baud.GetCurSel(), 4);

    app::SaveStoredSettings(-1, -1, true);
    EXPECT_NE(FileText().find("Port=-1\n"), std::string::npos) << FileText();
    Load();
    EXPECT_EQ(m_port.GetCurSel(), 0);
    EXPECT_EQ(m_baud.GetCurSel(), 2);
    EXPECT_TRUE(m_chinese);
}

TEST_F(StoredSettings, OutOfRangeMalformedOrMisnamedValuesAreIgnored) {
    // One past the end, negative, not numbers, numbers with a tail, beyond any int.
    for (const char* bad : {"3", "-2", "", "abc", "1x", "2.5", "99999999999999999999"}) {
        Store("Port", bad);
        Store("Baud", bad[0] == '3' ? "5" : bad);
        Load();
        EXPECT_EQ(m_port.GetCurSel(), 0) << bad;
        EXPECT_EQ(m_baud.GetCurSel(), 2) << bad;
        EXPECT_FALSE(app::ReapplyStoredBaud(&m_baud)) << bad;
    }
    Store("Ports", "2");
    Store("Chinese1", "0");
    Load();
    EXPECT_EQ(m_port.GetCurSel(), 0);
    EXPECT_TRUE(m_chinese);
    // Only the number 1 selects the first language.
    for (const char* other : {"0", "2", "-1", "yes", "", "1x"}) {
        Store("Chinese", other);
        Load();
        EXPECT_FALSE(m_chinese) << '"' << other << '"';
    }
}

TEST_F(StoredSettings, AnOrdinaryUserSavesAndAnUnwritableFolderFailsSilently) {
    const std::string own = m_root + "/own";
    const std::string locked = m_root + "/locked";
    ASSERT_EQ(::chmod(m_root.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(own.c_str(), 0755), 0);
    // Read-only even to its owner, so the check holds when the tests already run unprivileged.
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    RunUnprivileged(
        [&] {
            ::setenv("XDG_CONFIG_HOME", own.c_str(), 1);
            app::SaveStoredSettings(1, 3, false);
            Load();
            EXPECT_EQ(m_port.GetCurSel(), 1);
            EXPECT_EQ(m_baud.GetCurSel(), 3);

            ::setenv("XDG_CONFIG_HOME", locked.c_str(), 1);
            app::SaveStoredSettings(1, 3, false);
            struct stat info {};
            EXPECT_NE(::stat((locked + "/ZevovaD").c_str(), &info), 0);
            Load();
            EXPECT_TRUE(m_chinese);
        },
        {own});
}

} // namespace
