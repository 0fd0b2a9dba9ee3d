// Automation: the dump's exact lines and every kind of script line, played in-process against a
// framework window on the headless backend.
#include "FrameworkTestSupport.h"

#include "pane/core/Automation.h"
#include "pane/core/Container.h"
#include "platform/backends/Headless.h"
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace Pane::test {
namespace {

const char* const kMarkup =
    "<Window><Container name=\"main\" bkcolor=\"#FF102030\">"
    "<Probe name=\"first\" float=\"true\" pos=\"10,10,60,40\" text=\"Say &quot;hi&quot;\"/>"
    "<Probe name=\"second\" float=\"true\" pos=\"70,10,120,40\" text=\"two words\" "
    "tooltip=\"port gone: try again\"/>"
    "<Probe name=\"off\" float=\"true\" pos=\"10,50,60,80\" enabled=\"false\"/>"
    "<Probe name=\"gone\" visible=\"false\"/>"
    "</Container></Window>";

class AutomationTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        m_window = std::make_unique<MarkupWindow>(kMarkup);
        ASSERT_TRUE(m_window->Open(200, 100));
    }
    void TearDown() override {
        m_window.reset();
        FrameworkTest::TearDown();
    }

    ProbeControl* Probe(const char* name) {
        return static_cast<ProbeControl*>(m_window->GetManager().FindControl(name));
    }
    // Runs a line to its end, handling what it queued after each turn as a message loop would.
    std::string Run(const std::string& line) {
        std::string why;
        CScriptPlayer::LineStatus status;
        do {
            status = m_player.RunLine(line, &why);
            PumpMessages();
        } while (status == CScriptPlayer::LineStatus::Pending);
        return status == CScriptPlayer::LineStatus::Failed ? why : std::string();
    }
    std::string TempFile(const char* name) {
        return testing::TempDir() + "automation-" + std::to_string(::getpid()) + "-" + name;
    }

    std::unique_ptr<MarkupWindow> m_window;
    CScriptPlayer m_player;
};

TEST_F(AutomationTest, DumpListsWindowsAndControlsWithTheirFlagsInOrder) {
    m_window->GetManager().SetFocus(Probe("second"));
    EXPECT_EQ(DumpWindows(),
              "window \"test window\" 0,0,200,100 active\n"
              "  ContainerUI \"main\" 0,0,200,100 bk=#FF102030\n"
              "    ProbeUI \"first\" 10,10,60,40 float text=\"Say \\\"hi\\\"\"\n"
              "    ProbeUI \"second\" 70,10,120,40 float focused text=\"two words\"\n"
              "    ProbeUI \"off\" 10,50,60,80 disabled float\n"
              "    ProbeUI \"gone\" 0,0,0,0 hidden\n");
    EXPECT_EQ(EscapeDumpText("a\\b\r\n\t\x01z"), "a\\\\b\\r\\n\\x09\\x01z");
}

TEST_F(AutomationTest, EachScrollBarIsListedOnceBeforeItsContainersChildren) {
    // A list answers for its body's scroll bars; the bars belong to the body alone. A bar
    // enabled on a container already in the window counts as its own too.
    MarkupWindow window("<Window><VerticalLayout name=\"v\" hscrollbar=\"true\">"
                        "<List name=\"l\" vscrollbar=\"true\" header=\"hidden\">"
                        "<ListLabelElement name=\"a\"/></List></VerticalLayout></Window>");
    ASSERT_TRUE(window.Open(200, 100));
    auto* outer =
        static_cast<CContainerUI*>(window.GetManager().FindControl("v")->Interface("Container"));
    outer->EnableScrollBar(true, true);
    PumpMessages();
    std::string dump;
    DumpControl(dump, outer, 0);
    std::string shape; // class names only, indented as dumped
    for (std::size_t at = 0; at < dump.size();) {
        const std::size_t end = dump.find('\n', at);
        const std::string line = dump.substr(at, end - at);
        shape += line.substr(0, line.find(' ', line.find_first_not_of(' '))) + "\n";
        at = end + 1;
    }
    EXPECT_EQ(shape, "VerticalLayoutUI\n"
                     "  ScrollBarUI\n"
                     "  ScrollBarUI\n"
                     "  ListUI\n"
                     "    ListHeaderUI\n"
                     "    ListBodyUI\n"
                     "      ScrollBarUI\n"
                     "      ListLabelElementUI\n")
        << dump;
}

TEST_F(AutomationTest, CheckedAndSelectionComeFromControlsThatHaveThem) {
    CUIBuilder builder;
    auto* state = static_cast<StateProbe*>(
        builder.Create("<Window><State name=\"opt\" bkcolor=\"#FF000001\" text=\"x\"/></Window>",
                       nullptr, m_window.get()));
    ASSERT_NE(state, nullptr);
    auto* main = static_cast<CContainerUI*>(
        m_window->GetManager().FindControl("main")->Interface("Container"));
    ASSERT_TRUE(main->Add(state));
    PumpMessages();
    m_window->GetManager().SetFocus(state);
    state->checked = true;
    state->selection = 2;
    std::string line;
    DumpControl(line, state, 0);
    EXPECT_EQ(line, "StateUI \"opt\" 0,0,200,100 focused checked sel=2 bk=#FF000001 text=\"x\"\n");
    EXPECT_EQ(Run("expect opt checked true"), "");
    EXPECT_EQ(Run("expect opt sel 2"), "");
    state->checked = false;
    state->selection = -1;
    DumpControl(line = "", state, 0);
    EXPECT_EQ(line, "StateUI \"opt\" 0,0,200,100 focused sel=-1 bk=#FF000001 text=\"x\"\n");
    EXPECT_EQ(Run("expect opt checked false"), "");
}

TEST_F(AutomationTest, PointerLinesReachTheNamedControl) {
    EXPECT_EQ(Run("click first"), "");
    EXPECT_TRUE(Probe("first")->IsFocused());
    EXPECT_EQ(Run("move second"), "");
    EXPECT_EQ(Run("dblclick @two words"), ""); // the rest of the line, spaces included
    EXPECT_EQ(Run("rclick second"), "");
    EXPECT_EQ(Run("wheel second -2"), "");
    const std::vector<int>& first = Probe("first")->events;
    EXPECT_NE(std::find(first.begin(), first.end(), kEventButtonDown), first.end());
    EXPECT_NE(std::find(first.begin(), first.end(), kEventButtonUp), first.end());
    const std::vector<int>& second = Probe("second")->events;
    for (int type : {kEventMouseEnter, kEventDblClick, kEventRButtonDown, kEventScrollWheel})
        EXPECT_NE(std::find(second.begin(), second.end(), type), second.end()) << type;
    // Two notches towards the user: a downward turn.
    const auto& records = Probe("second")->records;
    const auto wheel = std::find_if(records.begin(), records.end(),
                                    [](const UIEvent& e) { return e.type == kEventScrollWheel; });
    ASSERT_NE(wheel, records.end());
    EXPECT_EQ(wheel->wParam, 1u);

    EXPECT_EQ(Run("click nothing"), "no control nothing");
    EXPECT_EQ(Run("click gone"), "control is not visible");
    EXPECT_EQ(Run("wheel second lots"), "wheel needs a number of notches");
}

TEST_F(AutomationTest, KeyAndTypeLinesGoThroughTheFrameworksTranslation) {
    m_window->GetManager().SetFocus(Probe("first"));
    EXPECT_EQ(Run("key Tab"), ""); // focus moves, as the message loop does it
    EXPECT_TRUE(Probe("second")->IsFocused());
    EXPECT_EQ(Run("key Shift+Tab"), "");
    EXPECT_TRUE(Probe("first")->IsFocused());

    Probe("first")->records.clear();
    EXPECT_EQ(Run("key Ctrl+Shift+q"), "");
    const auto& keys = Probe("first")->records;
    const auto down = std::find_if(keys.begin(), keys.end(), [](const UIEvent& e) {
        return e.type == kEventKeyDown && e.key == 'Q';
    });
    ASSERT_NE(down, keys.end());
    EXPECT_EQ(down->keyState & (kKeyStateShift | kKeyStateControl),
              kKeyStateShift | kKeyStateControl);

    Probe("first")->records.clear();
    EXPECT_EQ(Run("type a b"), "");
    std::string typed;
    for (const UIEvent& e : Probe("first")->records)
        if (e.type == kEventChar)
            typed += static_cast<char>(e.wParam);
    EXPECT_EQ(typed, "a b");

    for (const char* key : {"F12", "PageDown", "Backspace", "7", "Alt+Delete"})
        EXPECT_EQ(Run(std::string("key ") + key), "") << key;
    EXPECT_EQ(Run("key F13"), "unknown key \"F13\"");
    EXPECT_EQ(Run("key Hyper+A"), "unknown key \"Hyper+A\"");

    EXPECT_EQ(Run("key Escape"), ""); // the window closes
    EXPECT_EQ(m_window->closes, (std::vector<plat::WPARAM>{1}));
}

TEST_F(AutomationTest, ExpectComparesEveryPropertyAndSaysWhatItFound) {
    m_window->GetManager().SetFocus(Probe("first"));
    EXPECT_EQ(Run("expect first text Say \"hi\""), "");
    EXPECT_EQ(Run("expect @two words text two words"), "no control @two");
    EXPECT_EQ(Run("expect first visible true"), "");
    EXPECT_EQ(Run("expect gone visible false"), "");
    EXPECT_EQ(Run("expect off enabled false"), "");
    EXPECT_EQ(Run("expect first focused true"), "");
    EXPECT_EQ(Run("expect main bk #FF102030"), "");
    EXPECT_EQ(Run("expect second tooltip port gone: try again"), "");
    EXPECT_EQ(Run("waitfor first tooltip "), "");
    EXPECT_EQ(Run("expect first tooltip port gone"),
              "first tooltip is \"\", expected \"port gone\"");
    EXPECT_EQ(Run("expect second focused true"), "second focused is \"false\", expected \"true\"");
    EXPECT_EQ(Run("expect second checked true"), "control second has no property checked");
    EXPECT_EQ(Run("expect second sel 0"), "control second has no property sel");
    EXPECT_EQ(Run("expect second colour red"), "control second has no property colour");
    EXPECT_EQ(Run("expect second"), "expect needs a control, a property and a value");
}

TEST_F(AutomationTest, WaitMovesTheVirtualClockAndWaitforSeesOtherThreadsWork) {
    const plat::DWORD before = plat::GetTickCount();
    EXPECT_EQ(Run("wait 1500"), "");
    EXPECT_EQ(plat::GetTickCount() - before, 1500u);
    EXPECT_EQ(Run("wait soon"), "wait needs milliseconds");

    // Another thread asks the window to change a text; waitfor lets the message in.
    const plat::HWND hwnd = m_window->GetHWND();
    class Renamer : public IMessageFilterUI {
    public:
        explicit Renamer(CControlUI* target) : m_target(target) {}
        plat::LRESULT MessageHandler(plat::UINT msg, plat::WPARAM, plat::LPARAM,
                                     bool& handled) override {
            if (msg == plat::WM_APP + 7) {
                m_target->SetText("done");
                handled = true;
            }
            return 0;
        }

    private:
        CControlUI* m_target;
    } renamer(Probe("second"));
    m_window->GetManager().AddMessageFilter(&renamer);
    std::thread worker([hwnd] { plat::PostMessage(hwnd, plat::WM_APP + 7, 0, 0); });
    EXPECT_EQ(Run("waitfor second text done"), "");
    worker.join();
    EXPECT_EQ(Run("waitfor second visible false 30"),
              "second visible is \"true\", expected \"false\"");
    EXPECT_EQ(Run("waitfor second visible false soon"),
              "waitfor's time limit must be milliseconds");
    m_window->GetManager().RemoveMessageFilter(&renamer);
}

TEST_F(AutomationTest, DumpAndShotLinesWriteTheirFiles) {
    const std::string dump = TempFile("dump.txt");
    const std::string shot = TempFile("shot.png");
    EXPECT_EQ(Run("dump " + dump), "");
    std::string text;
    ASSERT_TRUE(plat::ReadFileText(dump, &text));
    EXPECT_EQ(text, DumpWindows());
    EXPECT_EQ(Run("shot " + shot), "");
    plat::Bitmap image;
    ASSERT_TRUE(plat::LoadImageFile(shot, &image));
    EXPECT_EQ(image.width, 200);
    EXPECT_EQ(image.height, 100);
    EXPECT_EQ(image.At(150, 80) & 0xFFFFFF, 0x102030u); // the container's background
    std::remove(dump.c_str());
    std::remove(shot.c_str());
    // A link (like a device or a pipe) is written through, not replaced by a file.
    const std::string target = TempFile("target.txt");
    const std::string link = TempFile("link.txt");
    std::remove(link.c_str());
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(Run("dump " + link), "");
    struct stat info;
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_TRUE(plat::ReadFileText(target, &text));
    EXPECT_EQ(text, DumpWindows());
    std::remove(link.c_str());
    std::remove(target.c_str());
    EXPECT_EQ(Run("dump /no/such/folder/x"), "cannot write /no/such/folder/x");
    EXPECT_EQ(Run("dump"), "dump needs a file");
}

TEST_F(AutomationTest, ScriptsSkipCommentsStopAtQuitAndNameTheFailingLine) {
    m_player.LoadText("# a comment\n\n  click first\nexpect first focused true\r\nquit\nclick x\n",
                      "s.txt");
    EXPECT_TRUE(m_player.Step());  // click
    PumpMessages();                // the program handles the click
    EXPECT_TRUE(m_player.Step());  // expect
    EXPECT_FALSE(m_player.Step()); // quit
    EXPECT_TRUE(m_player.QuitRequested());
    EXPECT_FALSE(m_player.Failed());

    m_player.LoadText("click first\n# fine so far\nexpect second focused true\nclick first\n",
                      "s.txt");
    EXPECT_TRUE(m_player.Step());
    PumpMessages();
    EXPECT_FALSE(m_player.Step());
    EXPECT_TRUE(m_player.Failed());
    EXPECT_EQ(m_player.Error(), "s.txt:3: second focused is \"false\", expected \"true\"");

    m_player.LoadText("frobnicate now", "t");
    EXPECT_FALSE(m_player.Step());
    EXPECT_EQ(m_player.Error(), "t:1: unknown command \"frobnicate\"");

    m_player.LoadText("click first", "u");
    EXPECT_TRUE(m_player.Step());
    EXPECT_FALSE(m_player.Step()); // the end
    EXPECT_TRUE(m_player.AtEnd());
    EXPECT_FALSE(m_player.Failed());
}

// A program run with PANE_SCRIPT: the script answers a modal window from inside its message loop
// and goes on in the main loop once the modal window has closed.
using AutomationScriptTest = FrameworkTest;

TEST_F(AutomationScriptTest, ScriptDrivesAModalWindowAndThenTheMainLoop) {
    const std::string script = testing::TempDir() + "modal-" + std::to_string(::getpid()) + ".txt";
    std::FILE* file = std::fopen(script.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("click inside\n"
               "expect inside focused true\n"
               "key Escape\n"
               "expect behind visible true\n",
               file);
    std::fclose(file);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("PANE_SCRIPT", script.c_str(), 1);
            MarkupWindow main("<Window><Container><Probe name=\"behind\"/></Container></Window>");
            main.Open();
            MarkupWindow dialog("<Window><Container><Probe name=\"inside\"/></Container></Window>");
            dialog.Create(main.GetHWND(), "dialog", plat::WS_POPUP, 0, 20, 20, 100, 80);
            const plat::UINT result = dialog.ShowModal();
            std::fprintf(stderr, "modal result %u\n", result);
            CUIManager::MessageLoop(); // the rest of the script, then its end quits
            std::_Exit(result == 1 ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "modal result 1");
    std::remove(script.c_str());
}

} // namespace
} // namespace Pane::test
