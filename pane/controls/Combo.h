#pragma once
// CComboUI: a drop-down choice field. Its children are list items it never lays out or paints
// in its own rectangle; it shows the current item's text and, when triggered, opens CComboWnd,
// a pop-up window with its own manager into whose vertical layout the same item objects are
// moved while it is open, and from which they return when it closes. The combo is the items'
// list owner: it keeps the selection and the item appearance the items draw with. UI thread only.

#include "pane/controls/List.h"
#include "pane/core/Automation.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"

namespace Pane {

class CComboUI;
class CVerticalLayoutUI;

// The pop-up of an open combo. Deletes itself after its window is gone.
class CComboWnd : public CWindowWnd {
public:
    // Creates and shows the pop-up below the owner (above it when it would reach past the
    // bottom of the primary monitor's work area). False when the window cannot be made.
    bool Init(CComboUI* owner);

    CUIManager& GetManager() { return m_manager; }
    CVerticalLayoutUI* Layout() const { return m_layout; }
    // Scrolls the layout so that the owner's selected item is wholly shown.
    void EnsureVisible(int index);
    // For an item leaving the owner while the pop-up is open: out of the layout, forgotten by
    // the pop-up's manager, back under the owner's manager.
    void Release(CControlUI* control);
    // For an owner being destroyed while the pop-up is open: lets go of the items and of the
    // owner, and destroys the window.
    void Abandon();

protected:
    const char* GetWindowClassName() const override;
    plat::UINT GetClassStyle() const override;
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
    void OnFinalMessage(plat::HWND hWnd) override;

private:
    plat::LRESULT OnCreate();
    // Gives the children back to the owner, collapses them and focuses the owner.
    void ReturnChildren();

    CUIManager m_manager;
    CComboUI* m_owner = nullptr;
    CVerticalLayoutUI* m_layout = nullptr;
    int m_oldSel = -1;
    bool m_returned = false;
};

class CComboUI : public CContainerUI, public IListOwnerUI, public IAutomationStateUI {
    friend class CComboWnd;

public:
    enum : uint32_t {
        kStateFocused = 0x01,
        kStateDisabled = 0x04,
        kStateHot = 0x08,
        kStatePushed = 0x10,
        kStateCaptured = 0x40,
    };

    CComboUI();
    ~CComboUI() override;

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    unsigned int ControlFlags() const override;
    bool Trigger() override;

    CUIString GetText() const override;
    void SetEnabled(bool enabled = true) override;

    // Children: every list item keeps its index equal to its position, and the selection stays
    // on the same item.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // IListOwnerUI.
    ItemAppearance* GetItemAppearance() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    void HandleOwnerEvent(UIEvent& event) override;

    // IAutomationStateUI: the current selection.
    bool HasSelection() const override { return true; }
    int CurrentSelection() const override { return m_curSel; }

    CComboWnd* DropDownWindow() const { return m_window; }
    uint32_t State() const { return m_state; }
    plat::RECT TextPadding() const { return m_textPadding; }
    void SetTextPadding(plat::RECT rc);
    const CUIString& DropBoxAttributeList() const { return m_dropBoxAttributes; }
    void SetDropBoxAttributeList(const char* list);
    plat::SIZE DropBoxSize() const { return m_dropBoxSize; }
    void SetDropBoxSize(plat::SIZE size);
    // A text shown in place of the current item (a value none of the items names). It lasts
    // until the selection or the items change; an empty text shows the current item again.
    void SetStandInText(const char* text);
    const CUIString& StandInText() const { return m_standInText; }

    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    void SetPosition(plat::RECT rc) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void Paint(plat::HDC hDC, const plat::RECT& rcPaint) override;
    void PaintStatusImage(plat::HDC hDC) override;
    void PaintText(plat::HDC hDC) override;

protected:
    // The current item's text into rcText: a list item draws it itself; another control is
    // painted there for the moment.
    void PaintItemText(plat::HDC hDC, plat::RECT rcText);
    // Recomputes the focused and disabled bits from the control.
    void SyncState();
    // Draws an image of the combo; a failed draw empties the string.
    bool DrawStateImage(plat::HDC hDC, CUIString& image, const char* modify = nullptr);
    // Renumbers the list items from `from` on.
    void Renumber(int from);
    // After removing index i: renumber and move or reselect the selection.
    void AfterRemove(int index);

    CComboWnd* m_window = nullptr;
    int m_curSel = -1;
    plat::RECT m_textPadding;
    CUIString m_dropBoxAttributes;
    CUIString m_standInText;
    plat::SIZE m_dropBoxSize{0, 150};
    uint32_t m_state = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    ItemAppearance m_appearance;
};

} // namespace Pane
