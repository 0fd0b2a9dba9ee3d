// The framework's dialogs as pane-view paints them headless, against references (exact): the
// error message box with two lines of text, the Yes/No question, and the open dialog on a folder
// tree made for the test.
#include "PaneViewFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PaneViewDialogsTest : public pane_view_test::PaneViewFixture {};

TEST_F(PaneViewDialogsTest, MessageBoxesLookAsReferenced) {
    int code = -1;
    const std::string error = m_dir + "/error.png";
    ViewMarkup("<MessageBox caption=\"Zelta RCT\" icon=\"error\" buttons=\"ok\" "
               "text=\"Cannot open the port ttyUSB0.\\nPermission denied.\"/>",
               "--shot '" + error + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(error, "dialogs/refs/messagebox-error.png");

    const std::string question = m_dir + "/question.png";
    View("messagebox.xml", "--shot '" + question + "'", &code);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(question, "dialogs/refs/messagebox-question.png");
}

TEST_F(PaneViewDialogsTest, TheOpenDialogOnAFolderTreeLooksAsReferenced) {
    // The dialog shows the folder's path, so the tree lives at a fixed place; a lock keeps two
    // runs at once (test suites of several checkouts) from sharing it.
    const std::string folder = "/tmp/zelta-open-dialog-reference";
    const int lock = ::open((folder + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    std::system(("rm -rf '" + folder + "'").c_str());
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    for (const char* sub : {"/backups", "/中文目录", "/backups/2026"})
        ASSERT_EQ(::mkdir((folder + sub).c_str(), 0755), 0);
    for (const char* file : {"/radio.cfg", "/old settings.cfg", "/notes.txt", "/backups/a.cfg"})
        std::ofstream(folder + file) << "x";

    int code = -1;
    const std::string shot = m_dir + "/open.png";
    ViewMarkup("<FileDialog title=\"Import\" filter=\"Config File(*.cfg)\" pattern=\"*.cfg\" "
               "folder=\"" +
                   folder + "\" mustexist=\"true\"/>",
               "--shot '" + shot + "'", &code);
    std::system(("rm -rf '" + folder + "'").c_str());
    ::close(lock);
    ASSERT_EQ(code, 0);
    ExpectLikeReference(shot, "dialogs/refs/opendialog.png");
}

} // namespace
