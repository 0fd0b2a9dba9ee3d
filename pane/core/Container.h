#pragma once
// CContainerUI: a control that owns an ordered list of children, gives each the inner rectangle
// (the layouts derive from it and arrange them otherwise), paints them clipped to it, routes hit
// tests and keyboard/wheel scrolling, and may carry a vertical and a horizontal scroll bar. It
// destroys its children (at once, or through the manager's delayed clean-up). UI thread only.

#include "pane/core/Control.h"
#include "pane/utils/PtrArray.h"

namespace Pane {

class CContainerUI;

// Child management, answered for the interface name "IContainer".
class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// What a container needs of a scroll bar, answered by the scroll bar control for the interface
// name "IScrollBar". Scroll bars are made through the control factory (tag "ScrollBar"); a
// container works without them when no factory or no such class exists.
class IScrollBarUI {
public:
    virtual void SetOwner(CContainerUI* owner) = 0;
    virtual void SetHorizontal(bool horizontal) = 0;
    virtual int ScrollRange() const = 0;
    virtual void SetScrollRange(int range) = 0;
    virtual int ScrollPos() const = 0;
    // Clamps to 0..range.
    virtual void SetScrollPos(int pos) = 0;

protected:
    ~IScrollBarUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    // Destroys every child at once (delayed destruction switched off first), then the scroll
    // bars.
    ~CContainerUI() override;

    const char* ClassName() const override;
    void* Interface(const char* name) override;

    // IContainerUI.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // CControlUI overrides.
    void HandleEvent(UIEvent& event) override;
    void SetVisible(bool visible = true) override;
    void SetInnerVisible(bool visible = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    void SetPosition(plat::RECT rc) override;
    void Paint(plat::HDC hDC, const plat::RECT& rcPaint) override;
    void SetAttribute(const char* name, const char* value) override;
    void SetManager(CUIManager* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(FindControlProc proc, void* data, uint32_t flags) override;

    // Added operations, in slot order.
    virtual plat::RECT Inset() const;
    virtual void SetInset(plat::RECT inset);
    virtual int ChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enabled = true);
    // For list-like owners: the index of a visible, enabled "ListItem" from index on (forward)
    // or at or before it (backward); -1 when none.
    virtual int FindSelectable(int index, bool forward = true) const;
    // (horizontal, vertical); 0 for a missing or hidden scroll bar.
    virtual plat::SIZE ScrollPosition() const;
    virtual plat::SIZE ScrollRange() const;
    virtual void SetScrollPosition(plat::SIZE pos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool vertical = true, bool horizontal = false);
    virtual CControlUI* VerticalScrollBar() const;
    virtual CControlUI* HorizontalScrollBar() const;
    virtual void SetFloatPosition(int index);
    // The scroll-range update layouts call after measuring: rc is the inner rectangle, cxNeeded
    // and cyNeeded the size the content asks for.
    virtual void ProcessScrollBar(plat::RECT rc, int cxNeeded, int cyNeeded);

    // The item rectangle less the inset and the visible scroll bars.
    plat::RECT InnerRect() const;

protected:
    // Destroys a removed child as the auto-destroy and delayed-destroy flags say.
    void DestroyChild(CControlUI* control);
    static IScrollBarUI* ScrollBarPart(CControlUI* bar);
    void DestroyScrollBar(CControlUI*& bar);
    CControlUI* MakeScrollBar(bool horizontal);
    void ScrollBy(int dx, int dy);
    int LineHeight() const;
    int PageHeight() const;
    int PageWidth() const;

    CUIPtrArray m_items;
    plat::RECT m_rcInset;
    int m_childPadding = 0;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    bool m_mouseChildEnabled = true;
    bool m_scrollProcess = false;
    CControlUI* m_verticalScrollBar = nullptr;
    CControlUI* m_horizontalScrollBar = nullptr;
};

} // namespace Pane
