// plat-demo's scripted session on the headless backend: every step must hold, and the picture it
// saves must show the window with its pop-up open.

#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct DemoRun {
    int code = -1;
    std::string output;
};

DemoRun RunDemo(const std::string& args) {
    // `timeout` keeps a hung session from hanging the test.
    const std::string command = "PANE_BACKEND=headless timeout 120 " + std::string(ZELTA_BIN_DIR) +
                                "/plat-demo " + args + " 2>&1";
    DemoRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

uint32_t Rgb(const plat::Bitmap& b, int x, int y) {
    return b.At(x, y) & 0xFFFFFF;
}

TEST(PlatDemoTest, ScriptedSessionPassesAndSavesThePicture) {
    const std::string picture =
        testing::TempDir() + "plat-demo-" + std::to_string(::getpid()) + ".png";
    const DemoRun run = RunDemo("--shot " + picture);
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output.find("FAIL"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("ok   the worker's progress reaches the window"), std::string::npos)
        << run.output;

    plat::Bitmap image;
    ASSERT_TRUE(plat::LoadImageFile(picture, &image));
    std::remove(picture.c_str());
    ASSERT_EQ(image.width, 480);
    ASSERT_EQ(image.height, 300);
    // The caption band is a blue gradient, the body light.
    const uint32_t caption = Rgb(image, 200, 4);
    EXPECT_GT(caption & 0xFF, (caption >> 16) & 0xFF);
    EXPECT_EQ(Rgb(image, 20, 190), 0xE8F0F6u);
    // The pop-up lies under the drop-down field, its fifth entry lit under the pointer, and the
    // finished progress bar shows green right of it.
    EXPECT_EQ(Rgb(image, 150, 120 + 1 + 4 * 22 + 11), 0xBAE4FFu);
    EXPECT_EQ(Rgb(image, 150, 120 + 1 + 2 * 22 + 11), 0xFFFFFFu);
    const uint32_t bar = Rgb(image, 440, 154);
    EXPECT_GT((bar >> 8) & 0xFF, (bar >> 16) & 0xFF);
}

TEST(PlatDemoTest, RefusesUnknownArguments) {
    EXPECT_EQ(RunDemo("--bogus").code, 2);
    EXPECT_EQ(RunDemo("--quit-after 0").code, 2);
    EXPECT_EQ(RunDemo("--quit-after 12x").code, 2);
}

} // namespace
