#pragma once
// CFileDialogWnd: the framework's open and save dialogs. A window built from the built-in
// skeleton markup with the folder path (editable: a typed path and Return goes there), an Up
// button, places (home, the program's folder, the last folder this kind of dialog used), the
// folder's list (folders, then files matching the filter), the file-name field, the filter's
// name, OK and Cancel. Return or a double click on a folder enters it, Backspace in the list
// goes up, on a file they choose it. "File must exist" and the overwrite question (naming the
// final file, extension included) are asked with the message box. A folder that cannot be read
// shows why in the dialog. Modal with its owner disabled. UI thread only.

#include "pane/dialogs/FileFolder.h"
#include "pane/utils/WindowImplBase.h"

#include <string>

namespace Pane {

class CListUI;

class CFileDialogWnd : public WindowImplBase {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 420;

    explicit CFileDialogWnd(FileDialogOptions options);

    // Shows the dialog modal over `owner`; true with the chosen path when the user chose one.
    static bool Choose(plat::HWND owner, const FileDialogOptions& options, std::string& path);

    // Creates the native window (hidden), builds the tree and lists the starting folder.
    bool CreateDialog(plat::HWND owner);
    // Lists `folder`; an unreadable one is listed empty with the reason shown.
    void Navigate(const std::string& folder);
    // What OK does with the name field: enters a folder, or checks and chooses a file (asking
    // the message box questions). True when the dialog closed with a choice.
    bool Accept();

    const FolderListing& Listing() const { return m_listing; }
    const std::string& Chosen() const { return m_chosen; }
    bool HasChosen() const { return !m_chosen.empty(); }
    // The text of the last question or refusal shown in a message box.
    const std::string& LastQuestion() const { return m_lastQuestion; }

    void Notify(NotifyMessage& msg) override;
    plat::LRESULT MessageHandler(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                 bool& handled) override;

protected:
    const char* GetWindowClassName() const override { return "PaneFileDialog"; }
    void InitWindow() override;
    plat::LRESULT HandleCustomMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                      bool& handled) override;

private:
    // Shows a refusal (OK) or a question (Yes/No) in the message box; returns the answer.
    plat::UINT Ask(const std::string& text, bool yesNo);
    void ActivateRow(int index);

    FileDialogOptions m_options;
    FolderListing m_listing;
    std::string m_chosen;
    std::string m_lastQuestion;
    CListUI* m_list = nullptr;
    // Posted by "itemactivate" with the row's index.
    static constexpr plat::UINT kActivateRow = plat::WM_USER + 0x32;
};

} // namespace Pane
