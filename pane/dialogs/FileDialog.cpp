#include "pane/dialogs/FileDialog.h"

#include "pane/controls/List.h"
#include "pane/core/Builder.h"
#include "pane/dialogs/MessageBox.h"
#include "platform/sys/ProgramFolder.h"

#include <utility>

namespace Pane {
namespace {

constexpr const char* kBody =
    "<Window><VerticalLayout>"
    "<Label name=\"title\" height=\"36\" textpadding=\"12,0,12,0\" font=\"1\"/>"
    "<HorizontalLayout height=\"34\" inset=\"10,4,10,6\" childpadding=\"6\">"
    "<Button name=\"up\" text=\"Up\" width=\"48\" bkcolor=\"#FFF4F9FC\" bordersize=\"1\" "
    "bordercolor=\"#FF768D9B\"/>"
    "<Edit name=\"path\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF768D9B\" "
    "textpadding=\"4,0,4,0\"/>"
    "</HorizontalLayout>"
    "<HorizontalLayout inset=\"10,0,10,0\" childpadding=\"8\">"
    "<VerticalLayout width=\"110\" childpadding=\"4\">"
    "<Button name=\"home\" text=\"Home\" height=\"26\" bkcolor=\"#FFF4F9FC\" bordersize=\"1\" "
    "bordercolor=\"#FF768D9B\"/>"
    "<Button name=\"program\" text=\"Program folder\" height=\"26\" bkcolor=\"#FFF4F9FC\" "
    "bordersize=\"1\" bordercolor=\"#FF768D9B\"/>"
    "<Button name=\"last\" text=\"Last folder\" height=\"26\" bkcolor=\"#FFF4F9FC\" "
    "bordersize=\"1\" bordercolor=\"#FF768D9B\"/>"
    "</VerticalLayout>"
    "<VerticalLayout>"
    "<Text name=\"error\" height=\"40\" textcolor=\"#FFB02020\" visible=\"false\"/>"
    "<List name=\"files\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF768D9B\" "
    "itemselectedbkcolor=\"#FFBFDDF5\" itemhotbkcolor=\"#FFE4F1FB\" vscrollbar=\"true\" "
    "header=\"hidden\" "
    "itemtextpadding=\"6,0,6,0\"/>"
    "</VerticalLayout>"
    "</HorizontalLayout>"
    "<HorizontalLayout height=\"34\" inset=\"10,6,10,2\" childpadding=\"6\">"
    "<Label text=\"File name:\" width=\"110\"/>"
    "<Edit name=\"name\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF768D9B\" "
    "textpadding=\"4,0,4,0\"/>"
    "</HorizontalLayout>"
    "<HorizontalLayout height=\"44\" inset=\"10,6,10,12\" childpadding=\"8\">"
    "<Label name=\"filter\" textcolor=\"#FF506070\"/>"
    "<Button name=\"ok\" width=\"84\" bkcolor=\"#FFF4F9FC\" bordersize=\"1\" "
    "bordercolor=\"#FF768D9B\"/>"
    "<Button name=\"cancel\" text=\"Cancel\" width=\"84\" bkcolor=\"#FFF4F9FC\" "
    "bordersize=\"1\" bordercolor=\"#FF768D9B\"/>"
    "</HorizontalLayout>"
    "</VerticalLayout></Window>";

// The caller's title, or what the dialog does.
const char* TitleOf(const FileDialogOptions& options) {
    return !options.title.empty() ? options.title.c_str() : options.save ? "Save" : "Open";
}

} // namespace

CFileDialogWnd::CFileDialogWnd(FileDialogOptions options)
    : WindowImplBase(kWidth, kHeight), m_options(std::move(options)) {}

bool CFileDialogWnd::CreateDialog(plat::HWND owner) {
    return Create(owner, TitleOf(m_options), plat::WS_POPUP, 0, 0, 0, kWidth, kHeight) != nullptr;
}

void CFileDialogWnd::InitWindow() {
    CControlUI* main = m_pm.FindControl("main");
    CUIBuilder builder;
    if (main == nullptr || builder.Create(kBody, nullptr, this, &m_pm, main) == nullptr)
        return;
    m_list = static_cast<CListUI*>(m_pm.FindControl("files"));
    m_pm.FindControl("title")->SetText(TitleOf(m_options));
    m_pm.FindControl("ok")->SetText(m_options.save ? "Save" : "Open");
    m_pm.FindControl("filter")->SetText(
        !m_options.filterName.empty()
            ? m_options.filterName.c_str()
            : (m_options.pattern.empty() ? "All files (*)" : m_options.pattern.c_str()));
    m_pm.FindControl("last")->SetEnabled(!LastFolder(m_options.save).empty());

    std::string start = m_options.initialFolder;
    if (start.empty() || !IsFolder(start))
        start = LastFolder(m_options.save);
    if (start.empty() || !IsFolder(start))
        start = HomeFolder();
    Navigate(JoinPath("/", start));
    CenterWindow();
    m_pm.FindControl("name")->SetFocus();
}

void CFileDialogWnd::Navigate(const std::string& folder) {
    m_listing = ReadFolder(folder, m_options.pattern);
    m_pm.FindControl("path")->SetText(m_listing.folder.c_str());
    CControlUI* error = m_pm.FindControl("error");
    if (!m_listing.error.empty()) {
        const std::string text = "This folder cannot be read: " + m_listing.error;
        error->SetText(text.c_str());
    }
    error->SetVisible(!m_listing.error.empty());
    if (m_list == nullptr)
        return;
    m_list->RemoveAll();
    for (const FolderEntry& entry : m_listing.entries) {
        auto* row = new CListLabelElementUI;
        const std::string text = entry.folder ? "[" + entry.name + "]" : entry.name;
        row->SetText(text.c_str());
        m_list->Add(row);
    }
}

plat::UINT CFileDialogWnd::Ask(const std::string& text, bool yesNo) {
    m_lastQuestion = text;
    return CMessageBoxWnd::Show(m_hWnd, text.c_str(), m_pm.FindControl("title")->GetText(),
                                yesNo ? MessageIcon::Warning : MessageIcon::Error,
                                yesNo ? MessageButtons::YesNo : MessageButtons::Ok);
}

bool CFileDialogWnd::Accept() {
    const std::string name = m_pm.FindControl("name")->GetText().GetData();
    if (name.empty()) {
        const int sel = m_list != nullptr ? m_list->GetCurSel() : -1;
        if (sel >= 0 && sel < static_cast<int>(m_listing.entries.size()) &&
            m_listing.entries[static_cast<std::size_t>(sel)].folder)
            ActivateRow(sel);
        return false;
    }
    const std::string typed = JoinPath(m_listing.folder, name);
    if (IsFolder(typed)) {
        m_pm.FindControl("name")->SetText("");
        Navigate(typed);
        return false;
    }
    const std::string path = FinalPath(m_options, m_listing.folder, name);
    if (IsFolder(path)) {
        m_pm.FindControl("name")->SetText("");
        Navigate(path);
        return false;
    }
    if (!m_options.save && m_options.fileMustExist && !FileExists(path)) {
        Ask(path + "\nThe file does not exist. Check the name and try again.", false);
        return false;
    }
    if (m_options.save && !IsFolder(ParentFolder(path))) {
        Ask(ParentFolder(path) + "\nThe folder does not exist.", false);
        return false;
    }
    if (m_options.save && m_options.overwritePrompt && FileExists(path) &&
        Ask(path + " already exists.\nDo you want to replace it?", true) != kMessageYes)
        return false;
    m_chosen = path;
    SetLastFolder(m_options.save, ParentFolder(path));
    Close(kMessageOk);
    return true;
}

void CFileDialogWnd::ActivateRow(int index) {
    if (index < 0 || index >= static_cast<int>(m_listing.entries.size()))
        return;
    const FolderEntry& entry = m_listing.entries[static_cast<std::size_t>(index)];
    if (entry.folder) {
        Navigate(JoinPath(m_listing.folder, entry.name));
        if (m_list != nullptr)
            m_list->SetFocus();
        return;
    }
    m_pm.FindControl("name")->SetText(entry.name.c_str());
    Accept();
}

void CFileDialogWnd::Notify(NotifyMessage& msg) {
    const CUIString name = msg.sender != nullptr ? msg.sender->Name() : CUIString();
    if (msg.type == "click") {
        if (name == "ok")
            Accept();
        else if (name == "cancel")
            Close(kMessageCancel);
        else if (name == "up")
            Navigate(ParentFolder(m_listing.folder));
        else if (name == "home")
            Navigate(HomeFolder());
        else if (name == "program")
            Navigate(JoinPath("/", plat::GetProgramFolder()));
        else if (name == "last" && !LastFolder(m_options.save).empty())
            Navigate(LastFolder(m_options.save));
    } else if (msg.type == "return") {
        if (name == "path")
            Navigate(JoinPath(m_listing.folder, msg.sender->GetText().GetData()));
        else if (name == "name")
            Accept();
    } else if (msg.type == "itemselect" && name == "files") {
        const int sel = static_cast<int>(msg.wParam);
        if (sel >= 0 && sel < static_cast<int>(m_listing.entries.size()) &&
            !m_listing.entries[static_cast<std::size_t>(sel)].folder)
            m_pm.FindControl("name")->SetText(
                m_listing.entries[static_cast<std::size_t>(sel)].name.c_str());
    } else if (msg.type == "itemactivate" && m_list != nullptr) {
        // The row sending this is still handling its event; listing a folder deletes the rows,
        // so the activation runs once the event is over.
        PostMessage(kActivateRow, static_cast<plat::WPARAM>(m_list->GetCurSel()));
    }
    WindowImplBase::Notify(msg);
}

plat::LRESULT CFileDialogWnd::MessageHandler(plat::UINT msg, plat::WPARAM wParam,
                                             plat::LPARAM lParam, bool& handled) {
    // Backspace in the list (not in a text field) goes up a folder.
    if (msg == plat::WM_KEYDOWN && wParam == plat::VK_BACK && m_list != nullptr) {
        for (CControlUI* focus = m_pm.GetFocus(); focus != nullptr; focus = focus->Parent()) {
            if (focus == m_list) {
                Navigate(ParentFolder(m_listing.folder));
                m_list->SetFocus();
                handled = true;
                return 0;
            }
        }
    }
    return WindowImplBase::MessageHandler(msg, wParam, lParam, handled);
}

plat::LRESULT CFileDialogWnd::HandleCustomMessage(plat::UINT msg, plat::WPARAM wParam,
                                                  plat::LPARAM lParam, bool& handled) {
    if (msg == kActivateRow) {
        ActivateRow(static_cast<int>(wParam));
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
}

bool CFileDialogWnd::Choose(plat::HWND owner, const FileDialogOptions& options, std::string& path) {
    CFileDialogWnd dialog(options);
    if (!dialog.CreateDialog(owner))
        return false;
    dialog.ShowModal();
    if (!dialog.HasChosen())
        return false;
    path = dialog.Chosen();
    return true;
}

} // namespace Pane
