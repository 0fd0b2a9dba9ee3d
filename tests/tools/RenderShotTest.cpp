// Runs render-shot on its sample scene and on small scripts, and checks the PNG it writes.
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Shot {
    int status = -1;
    std::string errors;
    plat::RgbaImage image;
    bool decoded = false;

    // Straight R,G,B,A of one pixel as 0xAARRGGBB.
    uint32_t At(int x, int y) const {
        const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
        return (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
};

class RenderShotTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/render-shot-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override {
        for (const std::string& file : m_files) {
            std::remove(file.c_str());
        }
        ::rmdir(m_dir.c_str());
    }

    std::string Path(const std::string& name) {
        m_files.push_back(m_dir + "/" + name);
        return m_files.back();
    }

    Shot Run(const std::string& scenePath) {
        Shot shot;
        const std::string png = Path("out.png");
        const std::string log = Path("stderr.txt");
        std::remove(png.c_str());
        const std::string command = std::string("'") + ZELTA_BIN_DIR + "/render-shot' '" +
                                    scenePath + "' '" + png + "' 2>'" + log + "'";
        const int rc = std::system(command.c_str());
        shot.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        std::ifstream err(log);
        shot.errors.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
        std::vector<uint8_t> bytes;
        if (plat::ReadFileBytes(png, &bytes)) {
            shot.decoded = plat::DecodePngRgba(bytes.data(), bytes.size(), &shot.image);
        }
        return shot;
    }

    Shot RunScript(const std::string& script) {
        const std::string scene = Path("scene.txt");
        std::ofstream(scene) << script;
        return Run(scene);
    }

private:
    std::string m_dir;
    std::vector<std::string> m_files;
};

// Pixels of the area that differ from the pixel of their own row in column refX (backdrops
// may be gradients, so each row has its own background).
int Inked(const Shot& shot, int left, int top, int right, int bottom, int refX) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += shot.At(x, y) != shot.At(refX, y) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST_F(RenderShotTest, TheSampleSceneIsWrittenWithItsFillsImagesAndText) {
    Shot shot = Run(std::string(ZELTA_SOURCE_DIR) + "/tools/render-shot/samples/main-window.txt");
    ASSERT_EQ(shot.status, 0) << shot.errors;
    ASSERT_TRUE(shot.decoded);
    EXPECT_EQ(shot.image.width, 420);
    EXPECT_EQ(shot.image.height, 300);
    // The status fills, opaque, with white text in their middle only.
    EXPECT_EQ(shot.At(20, 212), 0xFF00A000u);
    EXPECT_EQ(shot.At(408, 230), 0xFFD00000u);
    EXPECT_GT(Inked(shot, 60, 212, 160, 230, 20), 20);
    // The white background between the groups, and the frame of the parameter panel.
    EXPECT_EQ(shot.At(176, 150), 0xFFFFFFFFu);
    EXPECT_EQ(shot.At(300, 75), 0xFF888888u);
    // The title's text and the nine-patch buttons put something other than their backdrop
    // where they stand.
    EXPECT_GT(Inked(shot, 30, 8, 200, 26, 300), 50);
    EXPECT_NE(shot.At(19, 257), 0xFFFFFFFFu);
    EXPECT_GT(Inked(shot, 40, 248, 90, 268, 22), 20);
}

TEST_F(RenderShotTest, EverySamplePlaysWithoutError) {
    const std::string folder = std::string(ZELTA_SOURCE_DIR) + "/tools/render-shot/samples";
    int played = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt") {
            continue;
        }
        Shot shot = Run(entry.path().string());
        EXPECT_EQ(shot.status, 0) << entry.path() << ": " << shot.errors;
        EXPECT_TRUE(shot.decoded) << entry.path();
        ++played;
    }
    EXPECT_GE(played, 2);
}

TEST_F(RenderShotTest, BadScriptsFailNamingTheLineAndWriteNothing) {
    Shot unknown = RunScript("canvas 10 10 #FFFFFFFF\nwiggle 0,0,5,5\n");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.errors.find("line 2"), std::string::npos) << unknown.errors;
    EXPECT_FALSE(unknown.decoded);

    Shot noCanvas = RunScript("fill 0,0,5,5 #FF000000\n");
    EXPECT_EQ(noCanvas.status, 1);
    EXPECT_FALSE(noCanvas.decoded);

    Shot missing = RunScript("canvas 10 10 #FFFFFFFF\nimage 0,0,5,5 \"file='no such.png'\"\n");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("no such.png"), std::string::npos) << missing.errors;
}

TEST_F(RenderShotTest, TranslucentPixelsAreWrittenUnpremultiplied) {
    Shot shot = RunScript("canvas 4 2 #00000000\nfill 0,0,2,2 #80FF0000\nfill 2,0,4,2 #FF0000FF\n");
    ASSERT_EQ(shot.status, 0) << shot.errors;
    ASSERT_TRUE(shot.decoded);
    const uint32_t half = shot.At(0, 0);
    EXPECT_EQ(half >> 24, 0x80u);
    EXPECT_GE((half >> 16) & 0xFF, 0xFEu); // full red again, not the stored 0x80
    EXPECT_EQ(half & 0xFFFF, 0u);
    EXPECT_EQ(shot.At(3, 1), 0xFF0000FFu);
}
