#include "platform/sys/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace plat;

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/settings-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_root = dir;
        ::setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + m_root + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    std::string File() const { return m_root + "/ZevovaD/settings.ini"; }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        DIR* d = ::opendir((m_root + "/ZevovaD").c_str());
        if (d == nullptr)
            return names;
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        ::closedir(d);
        return names;
    }

    // Saves the way the program does: decimal text zero-filled to 256 bytes.
    static void Save(HKEY key, const char* name, int number) {
        BYTE buffer[256] = {};
        std::snprintf(reinterpret_cast<char*>(buffer), sizeof buffer, "%d", number);
        ASSERT_EQ(RegSetValueEx(key, name, 0, REG_SZ, buffer, sizeof buffer), ERROR_SUCCESS);
    }

    std::string m_root;
};

TEST_F(Settings, RoundTripThroughEnumerationAsTheProgramReadsIt) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0,
                             KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    Save(key, "Port", 2);
    Save(key, "Baud", -1);
    Save(key, "Chinese", 1);
    Save(key, "Port", 3); // replaces, keeps its place
    // A key opened for writing only cannot be read.
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Port", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\ZevovaD", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    std::vector<std::pair<std::string, std::string>> seen;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[256];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        const LONG rc = RegEnumValue(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(nameSize, std::strlen(name));
        EXPECT_EQ(dataSize, std::strlen(reinterpret_cast<char*>(data)) + 1);
        seen.emplace_back(name, reinterpret_cast<char*>(data));
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Port", "3"}, {"Baud", "-1"}, {"Chinese", "1"}};
    EXPECT_EQ(seen, expected);

    // Too small buffers report the size needed.
    char name[4];
    DWORD nameSize = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    BYTE data[2];
    DWORD dataSize = sizeof data;
    EXPECT_EQ(RegQueryValueEx(key, "baud", nullptr, nullptr, data, &dataSize), ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 3u);
    EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, nullptr, data, &dataSize),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    // Reopening for creation finds the existing key.
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0, KEY_SET_VALUE,
                             nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Settings, TextWithAnyByteButNulSurvives) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string awkward;
    for (int c = 1; c < 256; ++c)
        awkward += static_cast<char>(c);
    awkward += "\\x41\\\\";
    const std::string names[] = {"a=b", ";semi", "line\nbreak", "", "\\"};
    for (const std::string& n : names)
        ASSERT_EQ(RegSetValueEx(key, n.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(awkward.c_str()),
                                static_cast<DWORD>(awkward.size() + 1)),
                  ERROR_SUCCESS)
            << n;
    for (const std::string& n : names) {
        BYTE data[512];
        DWORD size = sizeof data;
        ASSERT_EQ(RegQueryValueEx(key, n.c_str(), nullptr, nullptr, data, &size), ERROR_SUCCESS)
            << n;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), awkward) << n;
    }
    EXPECT_EQ(RegSetValueEx(key, "Port", 0, 4 /* a number type */, nullptr, 0),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Settings, MalformedFileReadsAsNoValuesAndIsReplacedOnSave) {
    ASSERT_EQ(::mkdir((m_root + "/ZevovaD").c_str(), 0700), 0);
    const std::string broken[] = {
        "Port=1\nno equals sign\n",   "Port=1\nBaud=bad\\q\n", "Port=\\x0\n", "Port=\\x00\n",
        std::string("Port=1\0\n", 8),
    };
    for (const std::string& text : broken) {
        std::ofstream(File(), std::ios::binary) << text;
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        char name[256];
        DWORD nameSize = sizeof name;
        EXPECT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
                  ERROR_NO_MORE_ITEMS)
            << text;
        Save(key, "Baud", 4);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        std::stringstream written;
        written << std::ifstream(File()).rdbuf();
        EXPECT_EQ(written.str().find("Port"), std::string::npos);
        EXPECT_NE(written.str().find("Baud=4\n"), std::string::npos);
    }
}

TEST_F(Settings, WritesLeaveOnlyTheSettingsFile) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0, KEY_SET_VALUE,
                             nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (int i = 0; i < 5; ++i)
        Save(key, "Port", i);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"settings.ini"});
    struct stat st {};
    ASSERT_EQ(::stat(File().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u); // private to the user
}

TEST_F(Settings, FailedWriteIsReportedAndLeavesNoTemporaryFile) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // A folder where the file belongs makes the final rename fail, whoever runs the test.
    ASSERT_EQ(::unlink(File().c_str()), 0);
    ASSERT_EQ(::mkdir(File().c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((File() + "/inside").c_str(), 0700), 0);
    BYTE data[] = "2";
    EXPECT_EQ(RegSetValueEx(key, "Port", 0, REG_SZ, data, sizeof data), ERROR_WRITE_FAULT);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"settings.ini"});
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Settings, KeysOutsideTheSettingsFolderAreRefused) {
    HKEY key = nullptr;
    const char* bad[] = {"Software", "Software\\..", "Software\\a/b", "Hardware\\DeviceMap",
                         "Software\\.\\x"};
    for (const char* path : bad) {
        EXPECT_NE(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        EXPECT_EQ(key, nullptr);
    }
    // A sub-key of an open key nests below it.
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\ZevovaD", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        RegCreateKeyEx(parent, "Recent", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    struct stat st {};
    EXPECT_EQ(::stat((m_root + "/ZevovaD/Recent/settings.ini").c_str(), &st), 0);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(parent, "Recent", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
}

} // namespace
