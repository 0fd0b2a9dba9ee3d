#include "pane/dialogs/FileDialog.h"

#include "pane/controls/List.h"
#include "pane/dialogs/MessageBox.h"
#include "platform/backends/Headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Pane::test {
namespace {

// A temporary tree: folders "b", "Alpha", "中文目录" (holding "信道.cfg"), "locked"; files
// "z.cfg", "Y.CFG", "a.txt" and the hidden ".hidden.cfg".
class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/pane-filedialog-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        root = templ;
        for (const char* folder : {"b", "Alpha", "中文目录", "locked"})
            ASSERT_EQ(::mkdir((root + "/" + folder).c_str(), 0755), 0);
        for (const char* file : {"z.cfg", "Y.CFG", "a.txt", ".hidden.cfg", "中文目录/信道.cfg"})
            std::ofstream(root + "/" + file) << "x";
        ::chmod(root.c_str(), 0755);
        ::chmod((root + "/locked").c_str(), 0);
        ::setenv("PANE_BACKEND", "headless", 1);
        ASSERT_TRUE(plat::Initialise());
    }
    void TearDown() override {
        plat::Shutdown();
        ::chmod((root + "/locked").c_str(), 0755);
        std::system(("rm -rf '" + root + "'").c_str());
    }

    std::vector<std::string> Names(const FolderListing& listing) {
        std::vector<std::string> names;
        for (const FolderEntry& entry : listing.entries)
            names.push_back(entry.folder ? entry.name + "/" : entry.name);
        return names;
    }

    std::string root;
};

TEST_F(FileDialogTest, ListsFoldersThenMatchingFilesByNameIgnoringCaseWithoutHiddenOnes) {
    const FolderListing cfg = ReadFolder(root, "*.cfg");
    EXPECT_TRUE(cfg.error.empty());
    EXPECT_EQ(Names(cfg),
              (std::vector<std::string>{"Alpha/", "b/", "locked/", "中文目录/", "Y.CFG", "z.cfg"}));
    const FolderListing two = ReadFolder(root, "*.txt; *.CFG");
    EXPECT_EQ(two.entries.size(), 7u);
    EXPECT_EQ(ReadFolder(root, "").entries.size(), 7u);
    EXPECT_TRUE(MatchesPattern("channel.cfg", "*.c?g"));
    EXPECT_FALSE(MatchesPattern("channel.cfgx", "*.cfg"));
}

TEST_F(FileDialogTest, AnUnreadableFolderIsListedEmptyWithTheReason) {
    // Root reads every folder; the check runs as an unprivileged user.
    const std::string folder = root + "/locked";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                std::_Exit(3);
        }
        const FolderListing listing = ReadFolder(folder, "*.cfg");
        std::_Exit(listing.entries.empty() && listing.error.find("ermission") != std::string::npos
                       ? 0
                       : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(FileDialogTest, PathsResolveAndSaveNamesGetTheDefaultExtension) {
    EXPECT_EQ(JoinPath("/a/b", "../c/./d"), "/a/c/d");
    EXPECT_EQ(JoinPath("/a/b", "/x//y/"), "/x/y");
    EXPECT_EQ(ParentFolder("/a/b"), "/a");
    EXPECT_EQ(ParentFolder("/a"), "/");
    EXPECT_EQ(ParentFolder("/"), "/");
    FileDialogOptions save;
    save.save = true;
    save.defaultExtension = ".cfg";
    EXPECT_EQ(FinalPath(save, "/d", "radio"), "/d/radio.cfg");
    EXPECT_EQ(FinalPath(save, "/d", "radio."), "/d/radio.cfg");
    EXPECT_EQ(FinalPath(save, "/d", "radio.bin"), "/d/radio.bin");
    FileDialogOptions open;
    open.defaultExtension = ".cfg";
    EXPECT_EQ(FinalPath(open, "/d", "radio"), "/d/radio");
}

// Runs the dialog modally; `act` runs once it waits for input. The message boxes it asks are
// answered by `answer` (a key posted to the active window) when they wait.
struct DialogRun {
    bool chosen = false;
    std::string path;
};

DialogRun RunDialog(const FileDialogOptions& options,
                    const std::function<void(CFileDialogWnd&)>& act, bool closeAfter = true) {
    CFileDialogWnd dialog(options);
    DialogRun run;
    if (!dialog.CreateDialog(nullptr))
        return run;
    plat::headless::SetIdleHook([&] {
        plat::headless::SetIdleHook(nullptr);
        act(dialog);
        // Acts that leave more to do install their own hook and close the dialog at the end.
        if (closeAfter && plat::IsWindow(dialog.GetHWND()))
            dialog.Close(kMessageCancel);
    });
    dialog.ShowModal();
    run.chosen = dialog.HasChosen();
    run.path = dialog.Chosen();
    return run;
}

// Answers the next message box with the key when it waits.
void AnswerNextBox(int key) {
    plat::headless::SetIdleHook([key] {
        plat::headless::SetIdleHook(nullptr);
        const plat::HWND box = plat::GetActiveWindow();
        plat::PostMessage(box, plat::WM_KEYDOWN, static_cast<plat::WPARAM>(key), 0);
    });
}

void TypeName(CFileDialogWnd& dialog, const char* name) {
    dialog.GetManager().FindControl("name")->SetText(name);
}

TEST_F(FileDialogTest, NavigatesIntoFoldersUpAndThroughATypedPathAndChoosesAChineseName) {
    FileDialogOptions options;
    options.pattern = "*.cfg";
    options.initialFolder = root;
    const DialogRun run = RunDialog(options, [&](CFileDialogWnd& dialog) {
        EXPECT_EQ(dialog.Listing().folder, root);
        auto* list = static_cast<CListUI*>(dialog.GetManager().FindControl("files"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->GetRowCount(), 6);
        // An unreadable folder shows why; the dialog goes on.
        dialog.Navigate(root + "/locked");
        if (::geteuid() != 0) {
            EXPECT_TRUE(dialog.GetManager().FindControl("error")->IsVisible());
        }
        // A typed folder name enters it; the list holds the Chinese file.
        dialog.Navigate(root);
        TypeName(dialog, "中文目录");
        EXPECT_FALSE(dialog.Accept());
        EXPECT_EQ(dialog.Listing().folder, root + "/中文目录");
        ASSERT_EQ(list->GetRowCount(), 1);
        EXPECT_STREQ(list->GetRowAt(0)->GetText().GetData(), "信道.cfg");
        list->SelectItem(0);
        EXPECT_STREQ(dialog.GetManager().FindControl("name")->GetText().GetData(), "信道.cfg");
        EXPECT_TRUE(dialog.Accept());
    });
    EXPECT_TRUE(run.chosen);
    EXPECT_EQ(run.path, root + "/中文目录/信道.cfg");
    EXPECT_EQ(LastFolder(false), root + "/中文目录");
}

// Keys and the mouse reach the dialog through its own modal loop, as the desktop delivers them.
TEST_F(FileDialogTest, ReturnAndDoubleClickEnterAFolderAndBackspaceGoesUp) {
    FileDialogOptions options;
    options.pattern = "*.cfg";
    options.initialFolder = root;
    std::vector<std::string> visited;
    CFileDialogWnd* seen = nullptr;
    CListUI* list = nullptr; // outlives the act, which the nested hooks outlive
    const auto record = [&] { visited.push_back(seen->Listing().folder); };
    const auto post = [&](plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
        plat::PostMessage(seen->GetHWND(), msg, wParam, lParam);
    };
    RunDialog(
        options,
        [&](CFileDialogWnd& dialog) {
            seen = &dialog;
            list = static_cast<CListUI*>(dialog.GetManager().FindControl("files"));
            ASSERT_NE(list, nullptr);
            list->SelectItem(1, true); // "b"
            post(plat::WM_KEYDOWN, plat::VK_RETURN, 0);
            plat::headless::SetIdleHook([&] {
                record(); // inside "b"
                post(plat::WM_KEYDOWN, plat::VK_BACK, 0);
                plat::headless::SetIdleHook([&] {
                    record(); // back at the root
                    // Double click on the fourth row, "中文目录".
                    const plat::RECT& rc = list->GetRowAt(3)->Position();
                    const plat::LPARAM at =
                        plat::MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
                    post(plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, at);
                    post(plat::WM_LBUTTONUP, 0, at);
                    post(plat::WM_LBUTTONDBLCLK, plat::MK_LBUTTON, at);
                    post(plat::WM_LBUTTONUP, 0, at);
                    plat::headless::SetIdleHook([&] {
                        plat::headless::SetIdleHook(nullptr);
                        record();
                        seen->Close(kMessageCancel);
                    });
                });
            });
        },
        false);
    EXPECT_EQ(visited, (std::vector<std::string>{root + "/b", root, root + "/中文目录"}));
}

TEST_F(FileDialogTest, AMissingFileIsRefusedWhenItMustExist) {
    FileDialogOptions options;
    options.initialFolder = root;
    options.fileMustExist = true;
    const DialogRun run = RunDialog(options, [&](CFileDialogWnd& dialog) {
        TypeName(dialog, "missing.cfg");
        AnswerNextBox(plat::VK_RETURN);
        EXPECT_FALSE(dialog.Accept());
        EXPECT_EQ(dialog.LastQuestion().rfind(root + "/missing.cfg\n", 0), 0u);
        EXPECT_EQ(dialog.Listing().folder, root);
    });
    EXPECT_FALSE(run.chosen);
}

TEST_F(FileDialogTest, TheOverwriteQuestionNamesTheFinalFileAndNoKeepsTheDialogOpen) {
    FileDialogOptions options;
    options.save = true;
    options.initialFolder = root;
    options.overwritePrompt = true;
    options.defaultExtension = ".cfg";
    const DialogRun kept = RunDialog(options, [&](CFileDialogWnd& dialog) {
        TypeName(dialog, "z");
        AnswerNextBox(plat::VK_ESCAPE);
        EXPECT_FALSE(dialog.Accept());
        EXPECT_EQ(dialog.LastQuestion().rfind(root + "/z.cfg already exists", 0), 0u)
            << dialog.LastQuestion();
    });
    EXPECT_FALSE(kept.chosen);
}

} // namespace
} // namespace Pane::test
