// The layout and scroll bar samples through pane-view: their pictures against references
// (exact), a hovered scroll bar, and which bars notify "scroll" when a script drives them.
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kSamples = std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/";

class PaneViewLayoutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/pane-view-layouts-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    // Runs pane-view on the sample with the extra arguments; returns standard output, and the
    // exit status through `code`.
    std::string View(const std::string& sample, const std::string& args, int* code) {
        const std::string command = "timeout 60 '" + std::string(ZELTA_BIN_DIR) + "/pane-view' '" +
                                    kSamples + sample + "' " + args + " 2>'" + m_dir + "/stderr'";
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

TEST_F(PaneViewLayoutsTest, TheLayoutSamplePlacesEveryChildAsReferenced) {
    int code = -1;
    const std::string shot = m_dir + "/layouts.png";
    const std::string dump = View("layouts.xml", "--dump - --shot '" + shot + "'", &code);
    ASSERT_EQ(code, 0);
    // Inner 576 wide less 8 inset and 4 gaps: fixed 100, padded 50, capped 60, the stretch
    // children the rest, the second one no narrower than its minimum.
    for (const char* line :
         {"HorizontalLayoutUI \"row\" 8,8,592,56", "ControlUI \"fixed\" 12,12,112,52",
          "ControlUI \"stretch1\" 118,12,287,52", "ControlUI \"stretch2\" 293,12,450,52",
          "ControlUI \"padded\" 460,18,510,50", "ControlUI \"capped\" 516,12,576,32",
          "TabLayoutUI \"tabs\"", "ControlUI \"page1\" 312,80,568,168",
          "ControlUI \"page0\" 0,0,0,0 hidden", "ScrollBarUI \"\" 574,194,590,374"}) {
        EXPECT_NE(dump.find(line), std::string::npos) << line << "\n" << dump;
    }
    ExpectLikeReference(shot, "layouts/refs/layouts.png");
}

TEST_F(PaneViewLayoutsTest, ScrollBarsInEveryStateLookAsReferenced) {
    int code = -1;
    const std::string shot = m_dir + "/scrollbar.png";
    View("scrollbar.xml", "--shot '" + shot + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(shot, "controls/refs/scrollbar.png");

    // Hovering a bar makes its buttons hot, and its thumb when the pointer is on it.
    const std::string hot = m_dir + "/hot.png";
    View("scrollbar.xml", "--script '" + Script("move vimages\nshot " + hot + "\n") + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(hot, "controls/refs/scrollbar-hot.png");
}

TEST_F(PaneViewLayoutsTest, OnlyStandaloneBarsNotifyScroll) {
    int code = -1;
    const std::string out =
        View("scrollbar.xml",
             "--events --script '" +
                 Script("wheel owner 1\nclick short\nclick hplain\nclick vdisabled\n") + "'",
             &code);
    ASSERT_EQ(code, 0);
    EXPECT_NE(out.find("NOTIFY scroll \"short\""), std::string::npos) << out;
    EXPECT_NE(out.find("NOTIFY scroll \"hplain\""), std::string::npos) << out;
    // A disabled bar ignores the press; the owner's bar has no name and never notifies.
    EXPECT_EQ(out.find("NOTIFY scroll \"vdisabled\""), std::string::npos) << out;
    EXPECT_EQ(out.find("NOTIFY scroll \"\""), std::string::npos) << out;
}

} // namespace
