// The main window's pixels after a read, in both languages, against the pictures kept in
// tests/e2e/references. Exact to the pixel: the text is drawn with the face the project installs
// (fonts-wqy-microhei), so the same build draws the same pixels on every machine. A difference
// leaves the picture taken and a map of the differing pixels beside the reference.

#include "tests/e2e/AppProcess.h"

#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace e2e {
namespace {

const std::string kReferences = std::string(ZELTA_SOURCE_DIR) + "/tests/e2e/references/";

void ExpectLikeReference(const std::string& shot, const std::string& name) {
    plat::Bitmap actual;
    ASSERT_TRUE(plat::LoadImageFile(shot, &actual)) << shot;
    const std::string reference = kReferences + name + ".png";
    plat::Bitmap expected;
    const bool loaded = plat::LoadImageFile(reference, &expected);
    const bool sameSize =
        loaded && expected.width == actual.width && expected.height == actual.height;
    int differing = 0;
    plat::Bitmap diff(actual.width, actual.height, 0xFF808080);
    for (int y = 0; sameSize && y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.At(x, y) != expected.At(x, y)) {
                diff.At(x, y) = 0xFFFF0000;
                ++differing;
            }
        }
    }
    if (!sameSize || differing > 0) {
        plat::WritePngFile(kReferences + name + ".actual.png", actual);
        plat::WritePngFile(kReferences + name + ".diff.png", diff);
    }
    ASSERT_TRUE(loaded) << "missing reference " << reference;
    EXPECT_TRUE(sameSize) << name << ": " << actual.width << "x" << actual.height << ", expected "
                          << expected.width << "x" << expected.height;
    EXPECT_EQ(differing, 0) << name << ": pixels differ, see " << name << ".diff.png";
}

TEST(AppPicturesTest, MainWindowAfterAReadInBothLanguages) {
    TestHome home;
    auto radio = StartRadio();
    ASSERT_FALSE(radio->Path().empty());
    // The port list shows the line's name: a link with a fixed name keeps it the same each run.
    ASSERT_EQ(::symlink(radio->Path().c_str(), home.File("radio").c_str()), 0);

    std::string script;
    for (const char* shot : {"first", "second"}) {
        if (std::string(shot) == "second")
            script += "click menuLanguage\nmove menuLanguage\nclick itemLanguage\n";
        script += "click port\nclick @ ./radio\nclick btnConnect\nexpect status bk #FF99FF99\n"
                  "click btnRead\nexpect status bk #FF99FF99\nshot " +
                  home.File(shot) + ".png\n";
    }
    const AppRun run = RunScript(home, script, OnPorts({"./radio"}));
    ASSERT_EQ(run.status, 0) << run.errors;
    ExpectLikeReference(home.File("first.png"), "main-first-language");
    ExpectLikeReference(home.File("second.png"), "main-second-language");
}

} // namespace
} // namespace e2e
