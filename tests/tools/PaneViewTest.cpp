// pane-view end to end: usage, markup errors, the dump, scripts (and their failures), the
// notifications printed with --events, PANE_DUMP, the picture, and the demonstration markup.
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ViewRun {
    int code = -1;
    std::string out;
    std::string err;
};

class PaneViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/pane-view-test-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    // Runs pane-view with the arguments (already quoted as needed) and `env` before it.
    ViewRun View(const std::string& args, const std::string& env = "") {
        const std::string err = m_dir + "/stderr";
        // `timeout` keeps a hung session from hanging the test.
        const std::string command = env + " timeout 60 '" + std::string(ZELTA_BIN_DIR) +
                                    "/pane-view' " + args + " 2>'" + err + "'";
        ViewRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr)
            return run;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            run.out += buffer;
        const int status = ::pclose(pipe);
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        plat::ReadFileText(err, &run.err);
        return run;
    }

    std::string m_dir;
};

const char* const kMarkup =
    "<Window size=\"240,120\"><Container name=\"main\" bkcolor=\"#FF336699\">"
    "<Control name=\"a\" float=\"true\" pos=\"10,10,60,40\" bkcolor=\"#FFFF0000\" text=\"A\"/>"
    "<Control name=\"b\" float=\"true\" pos=\"70,10,120,40\" text=\"Press me\"/>"
    "</Container></Window>";

const char* const kDump = "window \"pane-view\" 0,0,240,120 active\n"
                          "  ContainerUI \"main\" 0,0,240,120 bk=#FF336699\n"
                          "    ControlUI \"a\" 10,10,60,40 float bk=#FFFF0000 text=\"A\"\n"
                          "    ControlUI \"b\" 70,10,120,40 float text=\"Press me\"\n";

TEST_F(PaneViewTest, UsageHelpAndErrors) {
    const ViewRun help = View("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage: pane-view MARKUP"), std::string::npos);
    for (const char* bad : {"", "--bogus x.xml", "a.xml b.xml", "x.xml --size 10", "x.xml --size",
                            "x.xml --size=0,5", "x.xml --dump="}) {
        const ViewRun run = View(bad);
        EXPECT_EQ(run.code, 2) << bad;
        EXPECT_NE(run.err.find("try pane-view --help"), std::string::npos) << bad;
    }
}

TEST_F(PaneViewTest, MarkupErrorsPrintTheParsersMessageAndExitOne) {
    const std::string broken = Write("broken.xml", "<Window><Control name=\"x\"</Window>");
    ViewRun run = View("'" + broken + "' --dump -");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Error while parsing attributes at \"</Window>\""), std::string::npos)
        << run.err;
    run = View("'" + m_dir + "/missing.xml' --dump -");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Error opening file"), std::string::npos) << run.err;
    // Well-formed but without a single control: the window cannot be built.
    run = View("'<Window/>' --dump -");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Pane: 加载资源文件失败"), std::string::npos) << run.err;
}

TEST_F(PaneViewTest, DumpToStandardOutputAndSizeOption) {
    const std::string markup = Write("view.xml", kMarkup);
    ViewRun run = View("'" + markup + "' --dump -");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, kDump);
    // Markup text, at another size.
    run = View(std::string("--size=300,150 --dump - -- '") + kMarkup + "'");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("window \"pane-view\" 0,0,300,150 active\n"
                           "  ContainerUI \"main\" 0,0,300,150"),
              std::string::npos)
        << run.out;
}

TEST_F(PaneViewTest, ScriptDrivesTheWindowAndEventsArePrinted) {
    const std::string markup = Write("view.xml", kMarkup);
    const std::string dump = m_dir + "/script-dump.txt";
    const std::string script = Write("ok.txt", "# press the second control\n"
                                               "click @Press me\n"
                                               "expect b focused true\n"
                                               "key Tab\n"
                                               "wait 100\n"
                                               "dump " +
                                                   dump + "\n");
    const ViewRun run = View("'" + markup + "' --events --script '" + script + "'");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "NOTIFY windowinit \"main\" 0 0\n"
                       "NOTIFY setfocus \"b\" 0 0\n");
    std::string text;
    ASSERT_TRUE(plat::ReadFileText(dump, &text));
    EXPECT_NE(text.find("ControlUI \"b\" 70,10,120,40 float focused"), std::string::npos) << text;
}

TEST_F(PaneViewTest, AFailingScriptLineExitsThreeWithItsLineNumber) {
    const std::string markup = Write("view.xml", kMarkup);
    const std::string script = Write("bad.txt", "click a\n\n# the next line fails\n"
                                                "expect a text B\nclick b\n");
    const ViewRun run = View("'" + markup + "' --script '" + script + "'");
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err, script + ":4: a text is \"A\", expected \"B\"\n");
    const ViewRun missing = View("'" + markup + "' --script '" + m_dir + "/none.txt'");
    EXPECT_EQ(missing.code, 3);
}

TEST_F(PaneViewTest, PaneDumpIsRewrittenAfterPaintsThatChangedSomething) {
    const std::string markup = Write("view.xml", kMarkup);
    const std::string dump = m_dir + "/live.txt";
    const std::string script = Write("focus.txt", "click a\nquit\nclick b\n");
    const ViewRun run =
        View("'" + markup + "' --script '" + script + "'", "PANE_DUMP='" + dump + "'");
    EXPECT_EQ(run.code, 0) << run.err;
    std::string text;
    ASSERT_TRUE(plat::ReadFileText(dump, &text));
    EXPECT_NE(text.find("ControlUI \"a\" 10,10,60,40 float focused"), std::string::npos) << text;
    EXPECT_EQ(text.find("\"b\" 70,10,120,40 float focused"), std::string::npos) << text;
}

TEST_F(PaneViewTest, ShotSavesTheWindowsPicture) {
    const std::string markup = Write("view.xml", kMarkup);
    const std::string shot = m_dir + "/view.png";
    const ViewRun run = View("'" + markup + "' --shot '" + shot + "'");
    EXPECT_EQ(run.code, 0) << run.err;
    plat::Bitmap image;
    ASSERT_TRUE(plat::LoadImageFile(shot, &image));
    EXPECT_EQ(image.width, 240);
    EXPECT_EQ(image.height, 120);
    EXPECT_EQ(image.At(30, 20) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.At(200, 100) & 0xFFFFFF, 0x336699u);
}

TEST_F(PaneViewTest, DemonstrationMarkupBuildsWithItsIncludesImagesAndDefaults) {
    const std::string shot = m_dir + "/demo.png";
    const ViewRun run = View("'" + std::string(ZELTA_SOURCE_DIR) +
                             "/tools/pane-view/samples/demo.xml' --dump - --shot '" + shot + "'");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("window \"pane-view\" 0,0,600,400 active"), std::string::npos);
    // Three included layers in one container, one in the other, and the included badge.
    std::size_t layers = 0;
    for (std::size_t at = run.out.find("\"layer\""); at != std::string::npos;
         at = run.out.find("\"layer\"", at + 1))
        ++layers;
    EXPECT_EQ(layers, 4u);
    EXPECT_NE(run.out.find("ContainerUI \"badge\" 514,330,574,370 float"), std::string::npos);
    plat::Bitmap image;
    ASSERT_TRUE(plat::LoadImageFile(shot, &image));
    EXPECT_EQ(image.width, 600);
    // Three translucent layers show darker than one.
    EXPECT_LT((image.At(212, 302) >> 16) & 0xFF, (image.At(76, 302) >> 16) & 0xFF);
}

// The button sample played by a script: clicks, grouped and ungrouped selection, Space on the
// focused check box, and a disabled button that neither clicks nor keeps the focus.
TEST_F(PaneViewTest, ButtonSampleClicksAndSelectsAsScripted) {
    const std::string script = Write("buttons.txt", "click ok\n"
                                                    "click opt-b\n"
                                                    "click opt-b\n"
                                                    "click toggle\n"
                                                    "click check-1\n"
                                                    "expect check-1 checked true\n"
                                                    "expect opt-a checked false\n"
                                                    "expect opt-b checked true\n"
                                                    "key Space\n"
                                                    "expect check-1 checked false\n"
                                                    "click off\n"
                                                    "key Return\n");
    const ViewRun run =
        View("'" + std::string(ZELTA_SOURCE_DIR) +
             "/tools/pane-view/samples/buttons.xml' --events --script '" + script + "'");
    EXPECT_EQ(run.code, 0) << run.err;
    std::string controls; // the controls' own notifications, in order
    std::size_t start = 0;
    while (start < run.out.size()) {
        const std::size_t end = run.out.find('\n', start);
        const std::string line = run.out.substr(start, end - start);
        if (line.rfind("NOTIFY click ", 0) == 0 || line.rfind("NOTIFY selectchanged ", 0) == 0)
            controls += line + "\n";
        start = end == std::string::npos ? run.out.size() : end + 1;
    }
    EXPECT_EQ(controls, "NOTIFY click \"ok\" 0 0\n"
                        "NOTIFY click \"opt-b\" 0 0\n"
                        "NOTIFY selectchanged \"opt-b\" 0 0\n"
                        "NOTIFY click \"opt-b\" 0 0\n"
                        "NOTIFY click \"toggle\" 0 0\n"
                        "NOTIFY selectchanged \"toggle\" 0 0\n"
                        "NOTIFY click \"check-1\" 0 0\n"
                        "NOTIFY selectchanged \"check-1\" 0 0\n"
                        "NOTIFY click \"check-1\" 0 0\n"
                        "NOTIFY selectchanged \"check-1\" 0 0\n");
}

} // namespace
