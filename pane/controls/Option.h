#pragma once
// COptionUI: a button with a selected state. Options sharing a group name (registered in the
// manager's option groups) are exclusive; an option without a group toggles. "selectchanged"
// follows "click" when the selection changes. UI thread only.

#include "pane/controls/Button.h"
#include "pane/core/Automation.h"

namespace Pane {

class COptionUI : public CButtonUI, public IAutomationStateUI {
public:
    COptionUI() = default;
    // Leaves its group.
    ~COptionUI() override;

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    // Clicks, then selects (grouped) or toggles (ungrouped).
    bool Trigger() override;
    // Joins the manager's option group when initialised with a group.
    void SetManager(CUIManager* manager, CControlUI* parent, bool init = true) override;
    // Disabling keeps only the selected bit.
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(const char* name, const char* value) override;
    void PaintStatusImage(plat::HDC hDC) override;
    void PaintText(plat::HDC hDC) override;

    bool IsSelected() const { return m_selected; }
    // A change sends "selectchanged": always without a group; with a group only on selection,
    // after the other options of the group were deselected silently.
    virtual void Selected(bool selected);

    const CUIString& Group() const { return m_group; }
    // Moves the option to another group; null or empty leaves every group.
    void SetGroup(const char* name);

    void SetSelectedImage(const char* image);
    const CUIString& SelectedImage() const { return m_selectedImage; }
    void SetSelectedHotImage(const char* image);
    const CUIString& SelectedHotImage() const { return m_selectedHotImage; }
    // The option's own fore image, drawn over every state.
    void SetOptionForeImage(const char* image);
    const CUIString& OptionForeImage() const { return m_optionForeImage; }
    uint32_t SelectedBkColor() const { return m_selectedBkColor; }
    void SetSelectedBkColor(uint32_t color) { m_selectedBkColor = color; }
    uint32_t SelectedTextColor() const { return m_selectedTextColor; }
    void SetSelectedTextColor(uint32_t color) { m_selectedTextColor = color; }

    bool HasCheckedState() const override { return true; }
    bool IsCheckedState() const override { return m_selected; }

private:
    bool m_selected = false;
    CUIString m_group;
    uint32_t m_selectedBkColor = 0;
    uint32_t m_selectedTextColor = 0;
    CUIString m_selectedImage;
    CUIString m_selectedHotImage;
    CUIString m_optionForeImage;
};

} // namespace Pane
