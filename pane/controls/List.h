#pragma once
// The list family: selectable rows drawn from one appearance record their owner keeps.
// CListUI is a vertical layout of an optional column header (CListHeaderUI of CListHeaderItemUI
// columns) above a scrolling body (CListBodyUI) of rows. Rows implement IListItemUI and ask their
// owner (IListOwnerUI: the list, or a combo) for the ItemAppearance: CListLabelElementUI (one
// line of text), CListTextElementUI (one text per column, with links) and
// CListContainerElementUI (a row that is itself a container). UI thread only.
//
// Notifications: a row sends "itemclick" when pressed and "itemactivate" when triggered (double
// click, Return); the owner sends "itemselect" (wParam new selection, lParam old one) when its
// selection changes. Header items send "headerclick"; text elements send "link" (wParam link).

#include "pane/core/Automation.h"
#include "pane/layouts/HorizontalLayout.h"
#include "pane/layouts/VerticalLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Pane {

inline constexpr int kMaxListColumns = 32;
inline constexpr int kMaxListLinks = 8;

// How an owner's rows look; read by every row when it measures and paints.
struct ItemAppearance {
    int columns = 0;
    plat::RECT columnRects[kMaxListColumns] = {};
    int font = -1;              // -1: the manager's default font
    plat::UINT textStyle = 0x4; // DT_VCENTER
    plat::RECT textPadding;
    uint32_t textColor = 0xFF000000;
    uint32_t bkColor = 0;
    CUIString bkImage;
    bool alternateBk = false;
    uint32_t selectedTextColor = 0xFF000000;
    uint32_t selectedBkColor = 0xFFC1E3FF;
    CUIString selectedImage;
    uint32_t hotTextColor = 0xFF000000;
    uint32_t hotBkColor = 0xFFE9F5FF;
    CUIString hotImage;
    uint32_t disabledTextColor = 0xFFCCCCCC;
    uint32_t disabledBkColor = 0xFFFFFFFF;
    CUIString disabledImage;
    uint32_t lineColor = 0;
    bool showHtml = false;
    bool multiExpandable = false;
};

// Applies one of the shared "item..." attributes (font, align, padding, colours, images,
// alternate background, show HTML) to an appearance record. Returns what changed so the owner can
// invalidate or re-lay itself out; kNone when the name is not an item attribute.
enum class ItemAttributeChange { kNone, kRedraw, kRelayout, kUnchanged };
ItemAttributeChange ApplyItemAttribute(ItemAppearance& appearance, const char* name,
                                       const char* value);

// The owner of rows: a list or a combo.
class IListOwnerUI {
public:
    virtual ItemAppearance* GetItemAppearance() = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    // Events a row does not handle itself (arrow keys, the wheel, ...) reach the owner here.
    virtual void HandleOwnerEvent(UIEvent& event) = 0;

protected:
    ~IListOwnerUI() = default;
};

// Supplies the text of a column of a row when a list has one.
class IListTextProviderUI {
public:
    virtual const char* GetItemText(CControlUI* row, int index, int column) = 0;

protected:
    ~IListTextProviderUI() = default;
};

class CListHeaderUI;
class CListBodyUI;

class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CListBodyUI* GetBody() const = 0;
    virtual IListTextProviderUI* GetTextProvider() const = 0;
    virtual void SetTextProvider(IListTextProviderUI* provider) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListUI() = default;
};

class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() const = 0;
    // Takes the owner's "IListOwner" interface (null when it has none).
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(plat::HDC hDC, const plat::RECT& rcItem) = 0;

protected:
    ~IListItemUI() = default;
};

// Finds a control's IListItemUI through its "ListItem" interface; null when it has none.
IListItemUI* AsListItem(CControlUI* control);

// What every kind of row keeps about itself in its owner.
struct ListRowState {
    static constexpr unsigned int kHot = 0x08;

    int index = -1;
    bool selected = false;
    unsigned int state = 0; // kHot
    IListOwnerUI* owner = nullptr;

    bool IsHot() const { return (state & kHot) != 0; }
};

// The rows of a list: a vertical layout that forwards unhandled events to the list, keeps rows
// at least as wide as the header and moves rows (and header items) when it scrolls.
class CListBodyUI : public CVerticalLayoutUI {
public:
    explicit CListBodyUI(class CListUI* owner);

    const char* ClassName() const override;
    void SetPosition(plat::RECT rc) override;
    void HandleEvent(UIEvent& event) override;
    void SetScrollPosition(plat::SIZE pos) override;
    // The horizontal bar (when enabled) shows while the header is wider than the body.
    void ProcessScrollBar(plat::RECT rc, int cxNeeded, int cyNeeded) override;

private:
    int HeaderWidth();

    class CListUI* m_owner;
    bool m_relayingOut = false;
};

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
};

class CListHeaderItemUI : public CControlUI {
public:
    CListHeaderItemUI();

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    unsigned int ControlFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void PaintText(plat::HDC hDC) override;
    void PaintStatusImage(plat::HDC hDC) override;

    bool IsDragable() const { return m_dragable; }
    void SetDragable(bool dragable);
    int SepWidth() const { return m_sepWidth; }
    void SetSepWidth(int width) { m_sepWidth = width; }
    plat::UINT TextStyle() const { return m_textStyle; }
    void SetTextStyle(plat::UINT style);
    // The separator band at the item's right (positive width) or left (negative) edge.
    plat::RECT SeparatorRect() const;
    unsigned int State() const { return m_state; }

private:
    plat::RECT HitSeparatorRect() const;

    plat::POINT m_lastMouse;
    bool m_dragable = true;
    unsigned int m_state = 0;
    int m_sepWidth = 4;
    uint32_t m_textColor = 0;
    int m_font = -1;
    plat::UINT m_textStyle = 37; // DT_CENTER | DT_VCENTER | DT_SINGLELINE
    bool m_showHtml = false;
    plat::RECT m_textPadding{2, 0, 2, 0};
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_sepImage;
    std::string m_sepImageModify;
};

// The list: header, body, selection, keyboard navigation and the item appearance.
// The container operations Add/AddAt/Remove/RemoveAt/RemoveAll route rows to the body (and
// headers and header items to the header); GetItemAt/GetCount still enumerate the list's own
// two children, so rows are reached through GetRowAt/GetRowCount/GetRowIndex.
class CListUI : public CVerticalLayoutUI, public IListUI, public IAutomationStateUI {
public:
    CListUI();

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    unsigned int ControlFlags() const override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    CControlUI* GetRowAt(int index) const;
    int GetRowCount() const;
    int GetRowIndex(CControlUI* row) const;
    bool SetRowIndex(CControlUI* row, int index);

    // IListOwnerUI / IListUI
    ItemAppearance* GetItemAppearance() override { return &m_appearance; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index, bool takeFocus = false) override;
    void HandleOwnerEvent(UIEvent& event) override { HandleEvent(event); }
    CListHeaderUI* GetHeader() const override { return m_header; }
    CListBodyUI* GetBody() const override { return m_body; }
    IListTextProviderUI* GetTextProvider() const override { return m_textProvider; }
    void SetTextProvider(IListTextProviderUI* provider) override { m_textProvider = provider; }
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override { return m_expandedItem; }

    // Automation: "sel=N".
    bool HasSelection() const override { return true; }
    int CurrentSelection() const override { return m_curSel; }

    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool value) { m_scrollSelect = value; }
    bool IsMultiExpandable() const { return m_appearance.multiExpandable; }
    void SetMultiExpandable(bool value) { m_appearance.multiExpandable = value; }
    int ColumnCount() const { return m_appearance.columns; }

    // Brings the selected row fully into the body's visible part.
    void EnsureSelectionVisible();

    void SetPosition(plat::RECT rc) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;

    plat::SIZE ScrollPosition() const override;
    plat::SIZE ScrollRange() const override;
    void SetScrollPosition(plat::SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool vertical = true, bool horizontal = false) override;
    CControlUI* VerticalScrollBar() const override;
    CControlUI* HorizontalScrollBar() const override;

private:
    void UpdateColumnCount();
    void RenumberRows(int from);
    // Moves the selection to the row that stands where a removed row stood.
    void AfterRowRemoved(int removedIndex);
    void SelectStep(int from, bool forward);

    int m_curSel = -1;
    int m_expandedItem = -1;
    CListBodyUI* m_body = nullptr;
    CListHeaderUI* m_header = nullptr;
    ItemAppearance m_appearance;
    bool m_scrollSelect = false;
    IListTextProviderUI* m_textProvider = nullptr;
};

// The row behaviour every kind of row shares (selection, hot state, "itemclick",
// "itemactivate", hiding while selected, events passed on to the owner), over the control class
// the row is made of.
template <class Base>
class CListRowUI : public Base, public IListItemUI {
public:
    unsigned int ControlFlags() const override;
    bool Trigger() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    // "selected" selects the row whatever its value.
    void SetAttribute(const char* name, const char* value) override;
    void HandleEvent(UIEvent& event) override;

    int GetIndex() const override { return m_row.index; }
    void SetIndex(int index) override { m_row.index = index; }
    IListOwnerUI* GetOwner() const override { return m_row.owner; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return m_row.selected; }
    bool Select(bool select = true) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool) override { return false; }

    bool IsHot() const { return m_row.IsHot(); }
    // Invalidates the row clipped to its ancestors; nothing when hidden.
    void InvalidateRow();

protected:
    // The background from the owner's appearance: state colour and image, line.
    void DrawItemBk(plat::HDC hDC);

    ListRowState m_row;
};

extern template class CListRowUI<CControlUI>;
extern template class CListRowUI<CContainerUI>;

// The common part of the non-container rows.
class CListElementUI : public CListRowUI<CControlUI> {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;

protected:
    uint32_t ItemTextColor(const ItemAppearance& appearance) const;
};

class CListLabelElementUI : public CListElementUI {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void Paint(plat::HDC hDC, const plat::RECT& rcPaint) override;
    void DrawItemText(plat::HDC hDC, const plat::RECT& rcItem) override;
};

class CListTextElementUI : public CListLabelElementUI {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;
    unsigned int ControlFlags() const override;
    void SetOwner(CControlUI* owner) override;
    void HandleEvent(UIEvent& event) override;
    // "text0" to "text31" set the text of that column; the rest as for the label element.
    void SetAttribute(const char* name, const char* value) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void DrawItemText(plat::HDC hDC, const plat::RECT& rcItem) override;

    // Column texts; reading a column never set gives "".
    const char* GetText(int column) const;
    void SetText(int column, const char* text);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;
    int LinkCount() const { return m_linkCount; }
    int HoverLink() const { return m_hoverLink; }

private:
    int LinkAt(plat::POINT pt) const;

    int m_linkCount = 0;
    plat::RECT m_links[kMaxListLinks];
    CUIString m_linkTexts[kMaxListLinks];
    int m_hoverLink = -1;
    IListUI* m_list = nullptr;
    std::vector<std::string> m_columnTexts;
};

class CListContainerElementUI : public CListRowUI<CContainerUI> {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;
    void Paint(plat::HDC hDC, const plat::RECT& rcPaint) override;
    // A container row draws its children, no text of its own.
    void DrawItemText(plat::HDC, const plat::RECT&) override {}
};

} // namespace Pane
