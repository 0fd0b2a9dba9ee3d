#pragma once
// CTreeViewUI and CTreeNodeUI: a list whose rows are nodes. A node is a row holding, left to
// right, an indentation strip (the dot line), a folder button that shows and toggles whether
// the node's children are shown, a check box (hidden unless asked for) and the item text. A
// node's children are rows of the same list placed right below it and indented one step more;
// collapsing a node hides all of them. UI thread only.

#include "pane/controls/CheckBox.h"
#include "pane/controls/Label.h"
#include "pane/controls/List.h"
#include "pane/controls/Option.h"
#include "pane/core/UIManager.h"
#include "pane/layouts/HorizontalLayout.h"

#include <vector>

namespace Pane {

class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
    friend class CTreeViewUI;

public:
    static constexpr int kIndentStep = 16;

    CTreeNodeUI();
    ~CTreeNodeUI() override;

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    // A node given to a node becomes its child; anything else goes into the row's horizontal
    // layout, after the item text.
    bool Add(CControlUI* control) override;
    void SetVisible(bool visible = true) override;

    CUIString GetText() const override;
    void SetText(const char* text) override;

    // The child goes under this node, after its other children (and into the list right
    // below them when this node is in one).
    bool AddChildNode(CTreeNodeUI* child);
    int GetCountChild() const { return static_cast<int>(m_children.size()); }
    CTreeNodeUI* GetChildNode(int index) const;
    CTreeNodeUI* GetParentNode() const { return m_parent; }
    // Depth below the top: 0 for a top node.
    int GetTreeLevel() const;
    // The node and all its descendants, in row order.
    void CollectSubtree(std::vector<CTreeNodeUI*>& out);

    // Shows or hides the children (and theirs as their own state says); the folder button is
    // selected while the node is collapsed.
    void SetExpanded(bool expanded);
    bool IsExpanded() const override { return m_expanded; }
    // Checks or unchecks the check box, of this node and every descendant.
    void SetChecked(bool checked);
    bool IsChecked() const;

    CTreeViewUI* GetTreeView() const { return m_treeView; }
    void SetTreeView(CTreeViewUI* view) { m_treeView = view; }

    CHorizontalLayoutUI* GetTreeNodeHoriznotal() const { return m_horiz; }
    CLabelUI* GetDottedLine() const { return m_dottedLine; }
    CCheckBoxUI* GetFolderButton() const { return m_folder; }
    CCheckBoxUI* GetCheckBox() const { return m_check; }
    COptionUI* GetItemButton() const { return m_item; }

    void SetItemTextColor(uint32_t color);
    void SetItemHotTextColor(uint32_t color) { m_itemHotTextColor = color; }
    void SetSelItemTextColor(uint32_t color) { m_selItemTextColor = color; }
    void SetSelItemHotTextColor(uint32_t color) { m_selItemHotTextColor = color; }

private:
    bool OnPartNotify(void* param);
    // Hidden rows: a node whose ancestors are not all expanded.
    bool ShownByAncestors() const;
    // The indentation strip and the folder button, by depth and by whether the node has
    // children; for the whole subtree.
    void UpdateIndent();

    CHorizontalLayoutUI* m_horiz;
    CLabelUI* m_dottedLine;
    CCheckBoxUI* m_folder;
    CCheckBoxUI* m_check;
    COptionUI* m_item;
    uint32_t m_itemTextColor = 0;
    uint32_t m_itemHotTextColor = 0;
    uint32_t m_selItemTextColor = 0;
    uint32_t m_selItemHotTextColor = 0;
    bool m_expanded = true;
    bool m_wantVisible = true;
    CTreeNodeUI* m_parent = nullptr;
    CTreeViewUI* m_treeView = nullptr;
    std::vector<CTreeNodeUI*> m_children;
};

class CTreeViewUI : public CListUI, public INotifyUI {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;

    // A node comes with its descendants, placed right after it.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // A node goes with its descendants (all destroyed) and leaves its parent node.
    bool Remove(CControlUI* control) override;

    // The folder buttons, check boxes and double clicks of the nodes.
    void Notify(NotifyMessage& msg) override;
    void SetAttribute(const char* name, const char* value) override;

    void SetVisibleFolderBtn(bool visible);
    bool GetVisibleFolderBtn() const { return m_visibleFolderBtn; }
    void SetVisibleCheckBtn(bool visible);
    bool GetVisibleCheckBtn() const { return m_visibleCheckBtn; }

private:
    friend class CTreeNodeUI;
    // Puts a node and its descendants into the rows from `index` on; false when the list
    // refused the node.
    bool InsertSubtree(CTreeNodeUI* node, int index);
    // Every node of the list.
    std::vector<CTreeNodeUI*> Nodes() const;

    bool m_visibleFolderBtn = true;
    bool m_visibleCheckBtn = false;
};

} // namespace Pane
