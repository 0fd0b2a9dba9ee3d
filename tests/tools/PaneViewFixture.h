#pragma once
// The fixture of the tests that run pane-view: a temporary folder, pane-view run on a sample
// with extra arguments, a script written to a file, and a shot compared with a reference.
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace pane_view_test {

inline const std::string kSamples = std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/";

class PaneViewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/pane-view-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    // Runs pane-view on the sample with the extra arguments; returns standard output, and the
    // exit status through `code`.
    std::string View(const std::string& sample, const std::string& args, int* code) {
        return ViewMarkup(kSamples + sample, args, code);
    }
    // The same for any markup: a file's path, or markup text (without single quotes).
    std::string ViewMarkup(const std::string& markup, const std::string& args, int* code) {
        const std::string command = "timeout 60 '" + std::string(ZELTA_BIN_DIR) + "/pane-view' '" +
                                    markup + "' " + args + " 2>'" + m_dir + "/stderr'";
        std::string out;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr)
            return out;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        const int status = ::pclose(pipe);
        *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return out;
    }

    std::string Script(const std::string& text) {
        const std::string path = m_dir + "/script.txt";
        std::ofstream(path) << text;
        return path;
    }

    // Compares a shot with the reference exactly; on a difference writes the shot and a diff
    // (differing pixels red on grey) beside the reference.
    void ExpectLikeReference(const std::string& shot, const std::string& reference) {
        plat::Bitmap actual;
        plat::Bitmap expected;
        ASSERT_TRUE(plat::LoadImageFile(shot, &actual)) << shot;
        const std::string refPath = std::string(ZELTA_SOURCE_DIR) + "/tests/pane/" + reference;
        const std::string stem = refPath.substr(0, refPath.size() - 4);
        const bool loaded = plat::LoadImageFile(refPath, &expected);
        int differing = 0;
        plat::Bitmap diff(actual.width, actual.height, 0xFF808080);
        if (loaded && expected.width == actual.width && expected.height == actual.height) {
            for (int y = 0; y < actual.height; ++y) {
                for (int x = 0; x < actual.width; ++x) {
                    if (actual.At(x, y) != expected.At(x, y)) {
                        diff.At(x, y) = 0xFFFF0000;
                        ++differing;
                    }
                }
            }
        }
        if (!loaded || differing > 0 || expected.width != actual.width ||
            expected.height != actual.height) {
            plat::WritePngFile(stem + ".actual.png", actual);
            plat::WritePngFile(stem + ".diff.png", diff);
        }
        EXPECT_TRUE(loaded) << "missing reference " << refPath;
        EXPECT_EQ(expected.width, actual.width);
        EXPECT_EQ(expected.height, actual.height);
        EXPECT_EQ(differing, 0) << reference;
    }

    std::string m_dir;
};

} // namespace pane_view_test
