#include "pane/dialogs/MessageBox.h"

#include "pane/core/Builder.h"
#include "pane/core/Render.h"
#include "platform/gfx/Text.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Pane {
namespace {

// Markup is built from its root's children, hence the "Window" wrapper. Body below the skeleton's
// caption band: the title, the icon beside the text, the buttons. The texts are set after building,
// so nothing the caller wrote is read as markup.
constexpr const char* kBody =
    "<Window><VerticalLayout>"
    "<Label name=\"title\" height=\"36\" textpadding=\"12,0,12,0\" font=\"1\"/>"
    "<HorizontalLayout inset=\"16,8,16,8\" childpadding=\"12\">"
    "<VerticalLayout width=\"36\"><Label name=\"icon\" width=\"36\" height=\"36\" "
    "borderround=\"36,36\" font=\"1\" align=\"center\" textcolor=\"#FFFFFFFF\"/></VerticalLayout>"
    "<Text name=\"text\" textcolor=\"#FF1E2A33\"/>"
    "</HorizontalLayout>"
    "<HorizontalLayout name=\"buttons\" height=\"44\" inset=\"12,6,12,12\" childpadding=\"8\">"
    "<Control/></HorizontalLayout>"
    "</VerticalLayout></Window>";

constexpr const char* kButtonAttributes =
    "width=\"84\" bkcolor=\"#FFF4F9FC\" bordersize=\"1\" bordercolor=\"#FF768D9B\" "
    "focusbordercolor=\"#FF1F6FB2\" textcolor=\"#FF1E2A33\" hottextcolor=\"#FF1F6FB2\"";

constexpr int kTitleHeight = 36;
constexpr int kButtonsHeight = 44;
constexpr int kBodyInsetY = 16;
constexpr int kTextLeft = 16 + 36 + 12; // inset, icon, gap
constexpr int kTextRight = 16 + 4;      // inset, skeleton border
constexpr int kMinTextHeight = 36;
constexpr int kMaxHeight = 600;

struct IconLook {
    const char* glyph;
    uint32_t colour;
};

IconLook LookOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return {"\xC3\x97", 0xFFD23B3Bu}; // ×
        case MessageIcon::Warning:
            return {"!", 0xFFE09A1Cu};
        case MessageIcon::Information:
            return {"i", 0xFF2C7BC4u};
        case MessageIcon::None:
            break;
    }
    return {"", 0};
}

} // namespace

CMessageBoxWnd::CMessageBoxWnd(std::string text, std::string caption, MessageIcon icon,
                               MessageButtons buttons)
    : WindowImplBase(kWidth, 160), m_text(std::move(text)), m_caption(std::move(caption)),
      m_icon(icon), m_buttons(buttons) {}

bool CMessageBoxWnd::CreateBox(plat::HWND owner) {
    return Create(owner, m_caption.c_str(), plat::WS_POPUP, 0, 0, 0, kWidth, 160) != nullptr;
}

plat::UINT CMessageBoxWnd::Answer() const {
    if (m_answer != 0)
        return m_answer;
    switch (m_buttons) {
        case MessageButtons::YesNo:
            return kMessageNo;
        case MessageButtons::OkCancel:
            return kMessageCancel;
        case MessageButtons::Ok:
            break;
    }
    return kMessageOk;
}

void CMessageBoxWnd::InitWindow() {
    CControlUI* main = m_pm.FindControl("main");
    CUIBuilder builder;
    if (main == nullptr || builder.Create(kBody, nullptr, this, &m_pm, main) == nullptr)
        return;
    m_pm.FindControl("title")->SetText(m_caption.c_str());
    m_pm.FindControl("text")->SetText(m_text.c_str());

    const IconLook look = LookOf(m_icon);
    CControlUI* icon = m_pm.FindControl("icon");
    icon->SetText(look.glyph);
    icon->SetBkColor(look.colour);
    icon->SetVisible(m_icon != MessageIcon::None);

    struct Choice {
        const char* name;
        const char* label;
    };
    Choice choices[2] = {{"ok", "OK"}, {nullptr, nullptr}};
    if (m_buttons == MessageButtons::YesNo)
        choices[0] = {"yes", "Yes"}, choices[1] = {"no", "No"};
    else if (m_buttons == MessageButtons::OkCancel)
        choices[1] = {"cancel", "Cancel"};
    CControlUI* buttons = m_pm.FindControl("buttons");
    CControlUI* last = nullptr;
    for (const Choice& choice : choices) {
        if (choice.name == nullptr)
            continue;
        const std::string markup = std::string("<Window><Button name=\"") + choice.name +
                                   "\" text=\"" + choice.label + "\" " + kButtonAttributes +
                                   "/></Window>";
        last = builder.Create(markup.c_str(), nullptr, this, &m_pm, buttons);
    }

    // The text's height at the box's width sets the window's height.
    plat::RECT measure{0, 0, kWidth - kTextLeft - kTextRight, kMaxHeight};
    CUIRender::DrawText(m_pm.GetPaintDC(), &m_pm, measure, m_text.c_str(), 0, 0,
                        plat::DT_CALCRECT | plat::DT_WORDBREAK);
    const int textHeight = std::max(kMinTextHeight, static_cast<int>(measure.bottom - measure.top));
    const int height =
        std::min(kMaxHeight, kTitleHeight + kBodyInsetY + textHeight + kButtonsHeight + 4);
    m_pm.SetInitSize(kWidth, height);
    ResizeClient(kWidth, height);
    CenterWindow();
    // The last button is the default: OK, Cancel or No, so a stray Return never says yes. The
    // manager moves the focus at the first paint, onto this button.
    if (last != nullptr)
        m_pm.SetFocusNeeded(last);
}

void CMessageBoxWnd::Notify(NotifyMessage& msg) {
    if (msg.type == "click" && msg.sender != nullptr) {
        const CUIString& name = msg.sender->Name();
        plat::UINT answer = 0;
        if (name == "ok")
            answer = kMessageOk;
        else if (name == "cancel")
            answer = kMessageCancel;
        else if (name == "yes")
            answer = kMessageYes;
        else if (name == "no")
            answer = kMessageNo;
        if (answer != 0) {
            m_answer = answer;
            Close(answer);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

plat::UINT CMessageBoxWnd::Show(plat::HWND owner, const char* text, const char* caption,
                                MessageIcon icon, MessageButtons buttons) {
    CMessageBoxWnd box(text != nullptr ? text : "", caption != nullptr ? caption : "", icon,
                       buttons);
    if (!box.CreateBox(owner))
        return box.Answer();
    box.ShowModal();
    return box.Answer();
}

} // namespace Pane
