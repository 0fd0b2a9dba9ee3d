#include "app/Composites.h"

#include "app/Attributes.h"
#include "platform/base/TextUtf8.h"

#include <cstring>

namespace app {

namespace {

constexpr Attribute kVerticalLine[] = {{"width", "1"}, {"bkcolor", "#FF888888"}};
constexpr Attribute kHorizontalLine[] = {{"height", "1"}, {"bkcolor", "#FF888888"}};

// Puts a row's label (with its text and width) and field into the row and hands them out.
template <class Field>
void AssembleRow(Pane::CHorizontalLayoutUI* row, Pane::CLabelUI* label, Field* field,
                 const char* labelText, int labelWidth, Field** fieldOut,
                 Pane::CLabelUI** labelOut) {
    label->SetText(labelText);
    label->SetFixedWidth(labelWidth);
    row->Add(label);
    row->Add(field);
    if (fieldOut != nullptr)
        *fieldOut = field;
    if (labelOut != nullptr)
        *labelOut = label;
}

} // namespace

int TextWidth(const char* text, double perByte) {
    const std::size_t bytes = text != nullptr ? plat::CodePageLength(text, std::strlen(text)) : 0;
    return static_cast<int>(static_cast<double>(bytes) * perByte + 2);
}

// ---- CGroupBoxUI -------------------------------------------------------------------------------

CGroupBoxUI::CGroupBoxUI(const char* title) {
    auto* frame = new Pane::CVerticalLayoutUI;

    // Top row: the left corner, the title, then the line that runs on to the right corner.
    auto* top = Make<Pane::CHorizontalLayoutUI>({{"height", "12"}});
    auto* corner = Make<Pane::CHorizontalLayoutUI>({{"width", "11"}, {"inset", "0,6,0,0"}});
    corner->Add(Make<Pane::CControlUI>(kVerticalLine));
    corner->Add(Make<Pane::CControlUI>(kHorizontalLine));
    top->Add(corner);
    if (title != nullptr && title[0] != '\0') {
        m_title = Make<Pane::CLabelUI>({{"textstyle", "5"}, {"textpadding", "1,0,0,0"}});
        m_title->SetText(title);
        m_title->SetFixedWidth(TextWidth(title, 6.3));
        top->Add(m_title);
    }
    auto* rest = Make<Pane::CHorizontalLayoutUI>({{"inset", "0,6,0,0"}});
    rest->Add(Make<Pane::CControlUI>(kHorizontalLine));
    rest->Add(Make<Pane::CControlUI>(kVerticalLine));
    top->Add(rest);
    frame->Add(top);

    auto* middle = new Pane::CHorizontalLayoutUI;
    middle->Add(Make<Pane::CControlUI>(kVerticalLine));
    m_content = Make<Pane::CVerticalLayoutUI>({{"inset", "12,0,12,0"}});
    middle->Add(m_content);
    middle->Add(Make<Pane::CControlUI>(kVerticalLine));
    frame->Add(middle);

    frame->Add(Make<Pane::CControlUI>(kHorizontalLine));
    CContainerUI::Add(frame);

    if (m_spacing)
        m_content->Add(new Pane::CControlUI);
}

const char* CGroupBoxUI::ClassName() const {
    return "GroupBoxUI";
}

bool CGroupBoxUI::Add(Pane::CControlUI* control) {
    if (!m_content->Add(control))
        return false;
    if (m_spacing)
        m_content->Add(new Pane::CControlUI);
    return true;
}

void CGroupBoxUI::SetTitle(const char* title) {
    if (m_title == nullptr)
        return;
    m_title->SetText(title);
    m_title->SetFixedWidth(TextWidth(title, 6.7));
}

Pane::CLabelUI* CGroupBoxUI::TitleLabel() const {
    return m_title;
}

Pane::CVerticalLayoutUI* CGroupBoxUI::Content() const {
    return m_content;
}

// ---- CLabelAndEditUI ---------------------------------------------------------------------------

CLabelAndEditUI::CLabelAndEditUI(const char* labelText, int labelWidth, Pane::CEditUI** edit,
                                 Pane::CLabelUI** label)
    : m_label(Make<Pane::CLabelUI>({{"textstyle", "6"}, {"textpadding", "0,0,2,0"}})),
      m_edit(Make<Pane::CEditUI>({
          {"normalimage", "res='164' restype='png' corner='2,4,2,4'"},
          {"disabledimage", "res='170' restype='png' corner='2,4,2,4'"},
      })) {
    SetFixedHeight(23);
    AssembleRow(this, m_label, m_edit, labelText, labelWidth, edit, label);
}

const char* CLabelAndEditUI::ClassName() const {
    return "LabelAndEditUI";
}

void CLabelAndEditUI::SetEnabled(bool enabled) {
    CHorizontalLayoutUI::SetEnabled(enabled);
    m_label->SetEnabled(enabled);
    m_edit->SetEnabled(enabled);
}

// ---- CLabelAndComboUI --------------------------------------------------------------------------

CLabelAndComboUI::CLabelAndComboUI(const char* labelText, int labelWidth, Pane::CComboBoxUI** combo,
                                   Pane::CLabelUI** label)
    : m_label(Make<Pane::CLabelUI>({{"textstyle", "2"}, {"textpadding", "0,2,2,0"}})),
      m_combo(Make<Pane::CComboBoxUI>({
          {"normalimage", "res='180' restype='png' corner='2,2,21,2'"},
          {"hotimage", "res='181' restype='png' corner='2,2,21,2'"},
          {"disabledimage", "res='183' restype='png' corner='2,2,21,2'"},
      })) {
    SetFixedHeight(22);
    SetInset(plat::RECT{0, 1, 0, 1});
    AssembleRow(this, m_label, m_combo, labelText, labelWidth, combo, label);
}

const char* CLabelAndComboUI::ClassName() const {
    return "LabelAndComboUI";
}

void CLabelAndComboUI::SetEnabled(bool enabled) {
    CHorizontalLayoutUI::SetEnabled(enabled);
    m_label->SetEnabled(enabled);
    m_combo->SetEnabled(enabled);
}

} // namespace app
