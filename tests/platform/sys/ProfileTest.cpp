#include "platform/sys/Profile.h"
#include "platform/sys/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char* const kIni = "\xEF\xBB\xBF"
                         "; leading comment\r\n"
                         "stray=before any section\r\n"
                         "[String]\r\n"
                         "IDS_OK = OK  \r\n"
                         "  Spaced Key\t=\t  padded value\t \r\n"
                         "Quoted=\"  kept blanks  \"\r\n"
                         "Single='x'\r\n"
                         "Mismatched=\"half'\r\n"
                         "Empty=\r\n"
                         ";IDS_HIDDEN=commented out\r\n"
                         "Inline=a ; not a comment\r\n"
                         "Twice=first\r\n"
                         "twice=second\r\n"
                         "Chinese=协议类型:\r\n"
                         "[ Setting ]\n"
                         "Language=English\n"
                         "[string]\n"
                         "Later=from a repeated section\n"
                         "IDS_OK=shadowed\n";

struct Case {
    const char* section;
    const char* key;
    const char* defaultValue;
    const char* expected;
};

TEST(Profile, ValueRules) {
    const Case cases[] = {
        {"String", "IDS_OK", "", "OK"},
        {"STRING", "ids_ok", "", "OK"},
        {"String", "Spaced Key", "", "padded value"},
        {"String", "Quoted", "", "  kept blanks  "},
        {"String", "Single", "", "x"},
        {"String", "Mismatched", "", "\"half'"},
        {"String", "Empty", "dflt", ""},
        {"String", "IDS_HIDDEN", "dflt", "dflt"},
        {"String", "Inline", "", "a ; not a comment"},
        {"String", "Twice", "", "first"},
        {"String", "Chinese", "", "协议类型:"},
        {"Setting", "Language", "", "English"},
        {"String", "Later", "", "from a repeated section"},
        {"String", "stray", "none", "none"},
        {"String", "Missing", "default  ", "default"},
        {"Missing", "IDS_OK", nullptr, ""},
    };
    for (const Case& c : cases) {
        char buffer[64];
        std::memset(buffer, 'Z', sizeof buffer);
        const uint32_t n = plat::GetProfileStringFromText(kIni, c.section, c.key, c.defaultValue,
                                                          buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.expected) << c.section << "/" << c.key;
        EXPECT_EQ(n, std::strlen(c.expected)) << c.section << "/" << c.key;
    }
}

TEST(Profile, TruncatesAtBufferSizeWithoutSplittingCharacters) {
    const char* text = "[S]\nascii=abcdefghij\nwide=ab协议\nfour=a\xF0\x9F\x98\x80z\n";
    struct Cut {
        const char* key;
        uint32_t size;
        const char* expected;
    } cuts[] = {
        {"ascii", 5, "abcd"}, // size minus one bytes
        {"ascii", 11, "abcdefghij"},
        {"ascii", 1, ""},
        {"wide", 3, "ab"}, // 协 would be cut after its first byte
        {"wide", 5, "ab"}, // ... or after its second byte
        {"wide", 6, "ab协"},
        {"wide", 8, "ab协"},
        {"four", 5, "a"}, // a four-byte character cut after three bytes
        {"four", 6, "a\xF0\x9F\x98\x80"},
    };
    for (const Cut& c : cuts) {
        char buffer[32];
        const uint32_t n = plat::GetProfileStringFromText(text, "S", c.key, "", buffer, c.size);
        EXPECT_STREQ(buffer, c.expected) << c.key << " size " << c.size;
        EXPECT_EQ(n, std::strlen(c.expected)) << c.key << " size " << c.size;
    }
    // Stray continuation bytes are not characters: they are cut like any byte.
    char buffer[4];
    EXPECT_EQ(plat::GetProfileStringFromText("[S]\nk=\x80\x80\x80\x80\x80", "S", "k", "", buffer,
                                             sizeof buffer),
              3u);
    // The default obeys the same limit.
    EXPECT_EQ(plat::GetProfileStringFromText(text, "S", "none", "协议", buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "协");
}

TEST(Profile, ListsSectionAndKeyNames) {
    char buffer[64];
    uint32_t n = plat::GetProfileStringFromText(kIni, nullptr, nullptr, "", buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n + 1), std::string("String\0Setting\0\0", 16));
    EXPECT_EQ(buffer[n], '\0');

    n = plat::GetProfileStringFromText("[a]\nOne=1\ntwo=2\nONE=3\n", "A", nullptr, "", buffer,
                                       sizeof buffer);
    EXPECT_EQ(std::string(buffer, n + 1), std::string("One\0two\0\0", 9));

    // Cut lists still end with two terminators.
    n = plat::GetProfileStringFromText("[a]\nOne=1\ntwo=2\n", "a", nullptr, "", buffer, 7);
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(std::string(buffer, 7), std::string("One\0t\0\0", 7));
    // "One\0" fills all but the final terminator; the dropped name still marks the cut.
    n = plat::GetProfileStringFromText("[a]\nOne=1\ntwo=2\n", "a", nullptr, "", buffer, 5);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(std::string(buffer, 5), std::string("One\0\0", 5));
    n = plat::GetProfileStringFromText("[a]\nOne=1\n", "a", nullptr, "", buffer, 2);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(std::string(buffer, 2), std::string("\0\0", 2));
}

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/profile-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
        m_path = m_dir + "/Multi_ENG1251.ini";
        std::ofstream(m_path) << "[String]\nIDS_BUTTON_READ=Read\n";
    }
    void TearDown() override {
        ::unlink(m_path.c_str());
        ::rmdir(m_dir.c_str());
    }
    std::string m_dir;
    std::string m_path;
};

TEST_F(ProfileFile, ReadsFileAndFallsBackWhenMissing) {
    char buffer[12];
    EXPECT_EQ(plat::GetPrivateProfileString("String", "IDS_BUTTON_READ", "", buffer, sizeof buffer,
                                            m_path.c_str()),
              4u);
    EXPECT_STREQ(buffer, "Read");
    const std::string missing = m_dir + "/absent.ini";
    EXPECT_EQ(plat::GetPrivateProfileString("String", "IDS_BUTTON_READ", "d", buffer, sizeof buffer,
                                            missing.c_str()),
              1u);
    EXPECT_STREQ(buffer, "d");
    // A folder is not a profile file.
    EXPECT_EQ(plat::GetPrivateProfileString("String", "IDS_BUTTON_READ", "", buffer, sizeof buffer,
                                            m_dir.c_str()),
              0u);
    EXPECT_STREQ(buffer, "");
    // A zero-sized buffer is never written.
    buffer[0] = 'x';
    EXPECT_EQ(
        plat::GetPrivateProfileString("String", "IDS_BUTTON_READ", "", buffer, 0, m_path.c_str()),
        0u);
    EXPECT_EQ(buffer[0], 'x');
}

TEST(ProgramFolder, HoldsThisTest) {
    const std::string folder = plat::GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(::access((folder + "/ProfileTest").c_str(), X_OK), 0);
}

} // namespace
