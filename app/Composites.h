#pragma once
// The main window's composite controls: a titled group box with drawn lines, and the two
// labelled rows (label + edit, label + drop-down). Enabling or disabling a row applies the same
// state to its label and its field.

#include "pane/controls/ComboBox.h"
#include "pane/controls/Edit.h"
#include "pane/controls/Label.h"
#include "pane/core/Container.h"
#include "pane/layouts/HorizontalLayout.h"
#include "pane/layouts/VerticalLayout.h"

#include <string>

namespace app {

class CGroupBoxUI : public Pane::CContainerUI {
public:
    // An empty title builds the group without a title label; later title changes are then
    // ignored.
    explicit CGroupBoxUI(const char* title);

    const char* ClassName() const override; // "GroupBoxUI"
    // Children go into the content layout, each followed by an empty control that shares out
    // the leftover height.
    bool Add(Pane::CControlUI* control) override;

    void SetTitle(const char* title);
    Pane::CLabelUI* TitleLabel() const; // null without a title
    Pane::CVerticalLayoutUI* Content() const;

private:
    Pane::CLabelUI* m_title = nullptr;
    Pane::CVerticalLayoutUI* m_content = nullptr;
    // Each child is followed by an empty control, so the leftover height is shared out.
    bool m_spacing = true;
};

// The width a title or label of `text` takes: its length in bytes on the original code page
// (a character outside ASCII counts two) times `perByte`, plus 2, truncated.
int TextWidth(const char* text, double perByte);

class CLabelAndEditUI : public Pane::CHorizontalLayoutUI {
public:
    // Stores the edit (and the label, when asked) where the caller says.
    CLabelAndEditUI(const char* labelText, int labelWidth, Pane::CEditUI** edit,
                    Pane::CLabelUI** label = nullptr);
    const char* ClassName() const override; // "LabelAndEditUI"
    void SetEnabled(bool enabled = true) override;

private:
    Pane::CLabelUI* m_label;
    Pane::CEditUI* m_edit;
};

class CLabelAndComboUI : public Pane::CHorizontalLayoutUI {
public:
    CLabelAndComboUI(const char* labelText, int labelWidth, Pane::CComboBoxUI** combo,
                     Pane::CLabelUI** label = nullptr);
    const char* ClassName() const override; // "LabelAndComboUI"
    void SetEnabled(bool enabled = true) override;

private:
    Pane::CLabelUI* m_label;
    Pane::CComboBoxUI* m_combo;
};

} // namespace app
