#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = testing::TempDir() + "file_test_" + std::to_string(::getpid());
        FILE* f = std::fopen(m_path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(kText, 1, sizeof kText - 1, f);
        std::fclose(f);
    }
    void TearDown() override { std::remove(m_path.c_str()); }

    static constexpr char kText[] = "line one\nline\0two\n";
    std::string m_path;
};

TEST_F(FileTest, ReadsTheWholeFileUpToTheCap) {
    const std::size_t size = sizeof kText - 1;
    std::string text;
    ASSERT_TRUE(plat::ReadFileText(m_path, &text));
    EXPECT_EQ(text, std::string(kText, size));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(plat::ReadFileBytes(m_path, &bytes, size));
    EXPECT_EQ(bytes.size(), size);
    // One byte over the cap fails and leaves nothing behind.
    EXPECT_FALSE(plat::ReadFileBytes(m_path, &bytes, size - 1));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(plat::ReadFileText(m_path, &text, 0));
    EXPECT_TRUE(text.empty());
}

TEST_F(FileTest, OnlyRegularFilesAreRead) {
    std::string text = "stale";
    EXPECT_FALSE(plat::ReadFileText(m_path + ".missing", &text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(plat::ReadFileText(testing::TempDir(), &text)); // a folder
    // A pipe without a writer would block a plain open and read for ever.
    const std::string fifo = m_path + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(plat::ReadFileText(fifo, &text));
    std::remove(fifo.c_str());
    EXPECT_FALSE(plat::ReadFileText("/dev/zero", &text));
    EXPECT_FALSE(plat::ReadFileText(m_path, nullptr));
}

} // namespace
