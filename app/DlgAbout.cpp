#include "app/DlgAbout.h"

#include "app/Language.h"
#include "pane/controls/Button.h"
#include "pane/controls/Label.h"
#include "pane/core/Container.h"
#include "pane/layouts/HorizontalLayout.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/gfx/Text.h"
#include "platform/win/Shell.h"

namespace app {

const char* const kMakerWeb = "http://www.zelta-radio.com";
const char* const kMakerMail = "sales@zelta-radio.com";

namespace {

constexpr int kWidth = 275;
constexpr int kHeight = 184;
// Same styles as the main window: an overlapped, visible window on the task bar.
constexpr plat::DWORD kStyle = 0x10CF0000;
constexpr plat::DWORD kExStyle = 0x00060000;
// The close message the window's own buttons send, so it can be told from other closes.
constexpr plat::WPARAM kCloseFromButton = 2;

constexpr const char* kProductLine = "ZELTA_RCT(Z001.01.06)";
constexpr const char* kYearsLine = "Copyright 2014-2016";

const char* const kButtonImages[] = {
    "res='160' restype='png' corner='2,2,2,2'",
    "res='161' restype='png' corner='2,2,2,2'",
    "res='162' restype='png' corner='2,2,2,2'",
};

// A line of the text column: small font, vertically centred.
template <class Control>
Control* TextLine(const std::string& text) {
    auto* line = new Control;
    line->SetFixedHeight(18);
    line->SetFont(2);
    line->SetTextStyle(plat::DT_VCENTER);
    line->SetText(text.c_str());
    return line;
}

Pane::CButtonUI* Link(const char* name, const std::string& shown) {
    auto* link = TextLine<Pane::CButtonUI>("{u}{a}" + shown + "{/a}{/u}");
    link->SetName(name);
    link->SetShowHtml(true);
    return link;
}

} // namespace

DlgAbout::DlgAbout(plat::HWND owner, bool chinese)
    : WindowImplBase(kWidth, kHeight), m_chinese(chinese) {
    const CLanguage files = CLanguage::BesideProgram();
    m_titles[0] = ReadLanguageKey(files.FirstFile(), "IDS_MENU_HELP_ABOUT", 16);
    m_titles[1] = ReadLanguageKey(files.SecondFile(), "IDS_MENU_HELP_ABOUT", 16);
    // The built-in skeleton's size attribute gives the window its real size.
    if (Create(owner, Pick(chinese, "关于...", "About..."), kStyle, kExStyle, 0, 0, 0, 0) ==
        nullptr)
        return;
    CenterWindow();
    ShowWindow(true);
    ShowModal();
}

DlgAbout::~DlgAbout() = default;

void DlgAbout::InitWindow() {
    Pane::CControlUI* main = m_pm.FindControl("main");
    auto* root =
        main != nullptr ? static_cast<Pane::IContainerUI*>(main->Interface("IContainer")) : nullptr;
    if (root == nullptr)
        return;

    auto* titleBar = new Pane::CHorizontalLayoutUI;
    titleBar->SetFixedHeight(33);
    titleBar->SetInset({3, 2, 3, 2});
    titleBar->SetBkColor(0xFFD1E8F5);
    titleBar->SetBkColor2(0xFFC9E3F4);
    root->Add(titleBar);

    auto* iconHolder = new Pane::CVerticalLayoutUI;
    iconHolder->SetFixedWidth(26);
    iconHolder->SetInset({0, 5, 5, 0});
    titleBar->Add(iconHolder);
    auto* icon = new Pane::CControlUI;
    icon->SetBkImage("res='174' restype='png'");
    iconHolder->Add(icon);

    auto* title = new Pane::CLabelUI;
    title->SetFixedWidth(88);
    title->SetTextStyle(plat::DT_VCENTER);
    title->SetFont(1);
    title->SetTextColor(0xFF447AA1);
    title->SetText(m_titles[m_chinese ? 0 : 1].c_str());
    titleBar->Add(title);
    titleBar->Add(new Pane::CControlUI);

    m_close = new Pane::CButtonUI;
    m_close->SetName("aboutClose");
    m_close->SetFixedHeight(17);
    m_close->SetFixedWidth(45);
    m_close->SetNormalImage("res='185' restype='png'");
    m_close->SetHotImage("res='186' restype='png'");
    m_close->SetPushedImage("res='187' restype='png'");
    titleBar->Add(m_close);

    auto* body = new Pane::CHorizontalLayoutUI;
    body->SetChildPadding(10);
    body->SetPadding({10, 10, 10, 4});
    body->SetInset({10, 10, 10, 10});
    body->SetBorderColor(0xFF666666);
    body->SetBorderSize(1);
    root->Add(body);

    auto* texts = new Pane::CVerticalLayoutUI;
    texts->SetFixedWidth(150);
    texts->SetChildPadding(10);
    body->Add(texts);
    texts->Add(TextLine<Pane::CLabelUI>(kProductLine));
    texts->Add(TextLine<Pane::CLabelUI>(kYearsLine));
    m_web = Link("aboutWeb", kMakerWeb);
    texts->Add(m_web);
    m_mail = Link("aboutMail", std::string("email:") + kMakerMail);
    texts->Add(m_mail);

    auto* buttons = new Pane::CVerticalLayoutUI;
    buttons->SetFixedWidth(70);
    body->Add(buttons);
    buttons->Add(new Pane::CControlUI);
    m_ok = new Pane::CButtonUI;
    m_ok->SetName("aboutOk");
    m_ok->SetFixedHeight(22);
    m_ok->SetText(Pick(m_chinese, "确定", "OK"));
    m_ok->SetNormalImage(kButtonImages[0]);
    m_ok->SetHotImage(kButtonImages[1]);
    m_ok->SetPushedImage(kButtonImages[2]);
    buttons->Add(m_ok);
    buttons->Add(new Pane::CControlUI);
}

void DlgAbout::Notify(Pane::NotifyMessage& msg) {
    if (msg.type == "click") {
        if (msg.sender == m_close || msg.sender == m_ok)
            SendMessage(plat::WM_CLOSE, kCloseFromButton);
        else if (msg.sender == m_web)
            plat::OpenURL(kMakerWeb);
        else if (msg.sender == m_mail)
            plat::OpenURL(std::string("mailto:") + kMakerMail);
    }
    WindowImplBase::Notify(msg);
}

plat::LRESULT DlgAbout::OnClose(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    // Destroying the window ends the modal loop; the owner is enabled again there.
    plat::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    handled = true;
    return 0;
}

plat::LRESULT DlgAbout::OnSysCommand(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                     bool& handled) {
    if (wParam == plat::SC_CLOSE) {
        SendMessage(plat::WM_CLOSE);
        handled = true;
        return 0;
    }
    return WindowImplBase::OnSysCommand(msg, wParam, lParam, handled);
}

} // namespace app
