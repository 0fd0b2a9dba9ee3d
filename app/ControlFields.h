#pragma once
// The radio code's view of the main window's controls: text fields on edits, selectors on
// drop-downs and labels on labels, bound into one RadioSettings record. The radio operations
// run on the window's thread and call these directly.

#include "app/MainControls.h"
#include "radio/Fields.h"
#include "radio/RadioSettings.h"

#include <array>
#include <memory>
#include <string>

namespace Pane {
class CComboUI;
}

namespace app {

// A text field on an edit; enabling applies to the row that holds it (label included).
class CEditField : public radio::ITextField {
public:
    CEditField(Pane::CEditUI* edit, Pane::CControlUI* row);
    std::string text() const override;
    void setText(const std::string& text) override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void setFocus() override;

private:
    Pane::CEditUI* m_edit;
    Pane::CControlUI* m_row;
};

// A selector on a drop-down. Selecting goes through the drop-down's own selection rules, which
// send "itemselect" to the window synchronously; the change handler, when one is set, runs
// after that.
class CComboSelector : public radio::ISelector {
public:
    explicit CComboSelector(Pane::CComboUI* combo);
    void clear() override;
    void add(const std::string& text) override;
    int count() const override;
    std::string entryText(int index) const override;
    int selected() const override;
    void select(int index) override;
    void setChangeHandler(ChangeHandler handler) override;
    void showUnknown() override;
    std::string displayText() const override;
    void setTextColour(radio::Colour colour) override;
    radio::Colour textColour() const override;
    void setMouseEnabled(bool enabled) override;
    bool isMouseEnabled() const override;

private:
    Pane::CComboUI* m_combo;
    ChangeHandler m_onChange;
    radio::Colour m_colour = 0;
};

class CLabelText : public radio::ILabel {
public:
    explicit CLabelText(Pane::CLabelUI* label);
    std::string text() const override;
    void setText(const std::string& text) override;
    void setTextColour(radio::Colour colour) override;
    radio::Colour textColour() const override;

private:
    Pane::CLabelUI* m_label;
};

// Every field of the main window, bound into `settings` (which must outlive nothing more than
// this object: unbind by destroying the record first).
class CMainFields {
public:
    explicit CMainFields(MainControls& controls);
    ~CMainFields();
    CMainFields(const CMainFields&) = delete;
    CMainFields& operator=(const CMainFields&) = delete;

    void Bind(radio::RadioSettings& settings);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace app
