// The shipped language files, and the files an installation puts in place.

#include "platform/sys/Profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const std::string kSource = ZELTA_SOURCE_DIR;
const std::string kBin = ZELTA_BIN_DIR;
const char* const kFiles[] = {"Multi_RUS1251.ini", "Multi_ENG1251.ini"};

struct Key {
    std::string section;
    std::string name;
    int bytes; // the buffer the program reads it with, terminator included
};

// Every key the program reads, with its buffer size.
std::vector<Key> AllKeys() {
    std::vector<Key> keys = {
        {"String", "IDS_BUTTON_CONNECT", 12},
        {"String", "IDS_BUTTON_DISCONNECT", 12},
        {"String", "IDS_BUTTON_READ", 12},
        {"String", "IDS_BUTTON_WRITE", 12},
        {"String", "IDS_BUTTON_IMPORTCFG", 20},
        {"String", "IDS_BUTTON_EXPORTCFG", 20},
        {"String", "IDS_MENU_FILE", 12},
        {"String", "IDS_MENU_LANGUAGE", 12},
        {"String", "IDS_MENU_HELP", 20},
        {"String", "IDS_BUTTON_DFTTXVAL", 16},
        {"String", "IDS_BUTTON_DFTRXVAL", 16},
        {"String", "IDS_MENU_FILE_CONNECT", 12},
        {"String", "IDS_MENU_FILE_DISCONNECT", 12},
        {"String", "IDS_MENU_FILE_READ", 12},
        {"String", "IDS_MENU_FILE_WRITE", 12},
        {"String", "IDS_MENU_FILE_IMPORTCFG", 20},
        {"String", "IDS_MENU_FILE_EXPORTCFG", 20},
        {"Setting", "Language", 16},
        {"String", "IDS_MENU_HELP_ABOUT", 16},
        {"String", "IDS_NAME_VERSION", 50},
        {"String", "IDS_LABLE_PROTOCOLTYPE", 20},
        {"String", "IDS_LABLE_CURRENTCHANNEL", 20},
        {"String", "IDS_LABLE_PORTBAUDRATE", 24},
        {"String", "IDS_LABLE_LINKBUADRATE", 24},
        {"String", "IDS_LABLE_BANDWIDTH", 24},
        {"String", "IDS_LABLE_REPEATER", 30},
        {"String", "IDS_LABLE_SRC", 30},
        {"String", "IDS_LABLE_DST", 20},
        {"String", "IDS_LABLE_HIGHPOWER", 20},
        {"String", "IDS_LABLE_LOWPOWER", 20},
        {"String", "IDS_LABLE_SN", 20},
        {"String", "IDS_LABLE_HARDWARE", 20},
        {"String", "IDS_LABLE_FIRMWARE", 20},
        {"String", "IDS_LABLE_SUBFIRMWARE", 24},
        {"String", "IDS_LABLE_PORT", 18},
        {"String", "IDS_LABLE_BUAD", 18},
        {"String", "IDS_MENU_FILE_UPGRADE", 20},
        {"String", "IDS_MSG_ERROR", 18},
        {"String", "IDS_MSG_SUCCESS", 18},
        {"String", "IDS_MSG_INVALID", 18},
        {"String", "IDS_MSG_LAUNCH_CH", 18},
        {"String", "IDS_MSG_RECEIVE_CH", 18},
        {"String", "IDS_BUTTON_UNLOCKSN", 18},
        {"String", "IDS_BUTTON_UNLOCKHARDWARE", 18},
        // Read with 20 bytes from the second file but 18 from the first: 18 must do for both.
        {"String", "IDS_GROUPBOX_PORTSET", 18},
        {"String", "IDS_GROUPBOX_TX", 18},
        {"String", "IDS_GROUPBOX_RX", 18},
        {"String", "IDS_VECSTRING_WORKMODE1", 18},
        {"String", "IDS_VECSTRING_WORKMODE2", 18},
        {"String", "IDS_VECSTRING_WORKMODE3", 18},
    };
    for (int slot = 0; slot <= 9; ++slot)
        keys.push_back({"String", "IDS_CHANNEL_" + std::to_string(slot), 16});
    for (int channel = 1; channel <= 8; ++channel)
        keys.push_back({"String", "IDS_CHANNEL" + std::to_string(channel) + "_TEXT", 12});
    return keys;
}

// The whole value, however long.
std::string Value(const std::string& file, const Key& key) {
    char buffer[4096];
    const uint32_t length = plat::GetPrivateProfileString(key.section.c_str(), key.name.c_str(), "",
                                                          buffer, sizeof buffer, file.c_str());
    return std::string(buffer, length);
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TEST(LanguageFiles, EveryKeyIsPresentInBothFilesAndFitsItsBuffer) {
    for (const char* name : kFiles) {
        const std::string file = kSource + "/resources/" + name;
        ASSERT_TRUE(Exists(file)) << file;
        for (const Key& key : AllKeys()) {
            const std::string value = Value(file, key);
            EXPECT_FALSE(value.empty()) << name << ": " << key.name << " missing";
            EXPECT_LE(value.size(), static_cast<size_t>(key.bytes - 1))
                << name << ": " << key.name << " = \"" << value << "\" would be cut";
        }
    }
}

TEST(LanguageFiles, EachFileNamesTheOtherLanguageAndHasItsOwnTexts) {
    const std::string first = kSource + "/resources/" + kFiles[0];
    const std::string second = kSource + "/resources/" + kFiles[1];
    const Key language{"Setting", "Language", 16};
    EXPECT_EQ(Value(first, language), "English");
    EXPECT_EQ(Value(second, language), "中文");
    const Key connect{"String", "IDS_BUTTON_CONNECT", 12};
    EXPECT_EQ(Value(first, connect), "连接");
    EXPECT_EQ(Value(second, connect), "Connect");
}

TEST(LanguageFiles, TheBuildPutsCopiesBesideThePrograms) {
    for (const char* name : kFiles) {
        const std::string copy = kBin + "/" + name;
        ASSERT_TRUE(Exists(copy)) << copy;
        EXPECT_EQ(Contents(copy), Contents(kSource + "/resources/" + name)) << copy << " is stale";
    }
}

TEST(LanguageFiles, InstallingPutsProgramFilesIconsAndDesktopEntryInPlace) {
    char dir[] = "/tmp/install-test-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string prefix = dir;
    // The build folder is the one holding bin/.
    const std::string build = kBin.substr(0, kBin.rfind('/'));
    const std::string command = std::string("'") + ZELTA_CMAKE_COMMAND + "' --install '" + build +
                                "' --prefix '" + prefix + "' > '" + prefix + "/log' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << Contents(prefix + "/log");

    for (const char* name : kFiles)
        EXPECT_EQ(Contents(prefix + "/bin/" + name), Contents(kSource + "/resources/" + name))
            << name;
    if (Exists(kBin + "/zelta-rct")) {
        EXPECT_TRUE(Exists(prefix + "/bin/zelta-rct"));
    }

    const std::string desktop = Contents(prefix + "/share/applications/zelta-rct.desktop");
    for (const char* line :
         {"[Desktop Entry]\n", "\nType=Application\n", "\nName=", "\nExec=zelta-rct\n",
          "\nIcon=zelta-rct\n", "\nTerminal=false\n", "\nCategories="})
        EXPECT_NE(desktop.find(line), std::string::npos) << "no " << line << " in\n" << desktop;

    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string edge = std::to_string(size);
        const std::string icon =
            prefix + "/share/icons/hicolor/" + edge + "x" + edge + "/apps/zelta-rct.png";
        const std::string png = Contents(icon);
        ASSERT_GE(png.size(), 24u) << icon;
        // The PNG header's width and height, big-endian at offsets 16 and 20.
        const auto read32 = [&png](size_t at) {
            return (static_cast<uint32_t>(static_cast<unsigned char>(png[at])) << 24) |
                   (static_cast<uint32_t>(static_cast<unsigned char>(png[at + 1])) << 16) |
                   (static_cast<uint32_t>(static_cast<unsigned char>(png[at + 2])) << 8) |
                   static_cast<uint32_t>(static_cast<unsigned char>(png[at + 3]));
        };
        EXPECT_EQ(png.substr(1, 3), "PNG") << icon;
        EXPECT_EQ(read32(16), static_cast<uint32_t>(size)) << icon;
        EXPECT_EQ(read32(20), static_cast<uint32_t>(size)) << icon;
    }
    EXPECT_EQ(std::system(("rm -rf '" + prefix + "'").c_str()), 0);
}

} // namespace
