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

// Every key the program reads, with its buffer size, by size.
std::vector<Key> AllKeys() {
    std::vector<Key> keys = {{"Setting", "Language", 16}};
    const std::pair<int, std::vector<const char*>> bySize[] = {
        {12,
         {"IDS_BUTTON_CONNECT", "IDS_BUTTON_DISCONNECT", "IDS_BUTTON_READ", "IDS_BUTTON_WRITE",
          "IDS_MENU_FILE", "IDS_MENU_LANGUAGE", "IDS_MENU_FILE_CONNECT", "IDS_MENU_FILE_DISCONNECT",
          "IDS_MENU_FILE_READ", "IDS_MENU_FILE_WRITE"}},
        {16, {"IDS_BUTTON_DFTTXVAL", "IDS_BUTTON_DFTRXVAL", "IDS_MENU_HELP_ABOUT"}},
        {18,
         {"IDS_LABLE_PORT", "IDS_LABLE_BUAD", "IDS_MSG_ERROR", "IDS_MSG_SUCCESS", "IDS_MSG_INVALID",
          "IDS_MSG_LAUNCH_CH", "IDS_MSG_RECEIVE_CH", "IDS_BUTTON_UNLOCKSN",
          "IDS_BUTTON_UNLOCKHARDWARE", "IDS_GROUPBOX_TX", "IDS_GROUPBOX_RX",
          // Read with 20 bytes from the second file but 18 from the first.
          "IDS_GROUPBOX_PORTSET", "IDS_VECSTRING_WORKMODE1", "IDS_VECSTRING_WORKMODE2",
          "IDS_VECSTRING_WORKMODE3"}},
        {20,
         {"IDS_BUTTON_IMPORTCFG", "IDS_BUTTON_EXPORTCFG", "IDS_MENU_HELP",
          "IDS_MENU_FILE_IMPORTCFG", "IDS_MENU_FILE_EXPORTCFG", "IDS_MENU_FILE_UPGRADE",
          "IDS_LABLE_PROTOCOLTYPE", "IDS_LABLE_CURRENTCHANNEL", "IDS_LABLE_DST",
          "IDS_LABLE_HIGHPOWER", "IDS_LABLE_LOWPOWER", "IDS_LABLE_SN", "IDS_LABLE_HARDWARE",
          "IDS_LABLE_FIRMWARE"}},
        {24,
         {"IDS_LABLE_PORTBAUDRATE", "IDS_LABLE_LINKBUADRATE", "IDS_LABLE_BANDWIDTH",
          "IDS_LABLE_SUBFIRMWARE"}},
        {30, {"IDS_LABLE_REPEATER", "IDS_LABLE_SRC"}},
        {50, {"IDS_NAME_VERSION"}},
    };
    for (const auto& [bytes, names] : bySize)
        for (const char* name : names)
            keys.push_back({"String", name, bytes});
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
    // Each file's language entry names the other language.
    const Key language{"Setting", "Language", 16};
    EXPECT_EQ(Value(kSource + "/resources/" + kFiles[0], language), "English");
    EXPECT_EQ(Value(kSource + "/resources/" + kFiles[1], language), "中文");
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
    EXPECT_TRUE(Exists(prefix + "/bin/zelta-rct"));

    const std::string desktop = Contents(prefix + "/share/applications/zelta-rct.desktop");
    for (const char* line :
         {"[Desktop Entry]\n", "\nType=Application\n", "\nName=", "\nExec=zelta-rct\n",
          "\nIcon=zelta-rct\n", "\nTerminal=false\n", "\nCategories="})
        EXPECT_NE(desktop.find(line), std::string::npos) << "no " << line << " in\n" << desktop;

    for (const char* size : {"16", "32", "48", "64", "128", "256"}) {
        const std::string icon =
            Contents(prefix + "/share/icons/hicolor/" + size + "x" + size + "/apps/zelta-rct.png");
        EXPECT_FALSE(icon.empty()) << size;
        EXPECT_EQ(icon, Contents(kSource + "/resources/icons/" + size + "/zelta-rct.png")) << size;
    }
    EXPECT_EQ(std::system(("rm -rf '" + prefix + "'").c_str()), 0);
}

} // namespace
