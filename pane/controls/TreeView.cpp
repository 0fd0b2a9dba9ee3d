#include "pane/controls/TreeView.h"

#include "pane/core/UIManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pane {

namespace {

constexpr int kNodeHeight = 18;

CTreeNodeUI* AsNode(CControlUI* control) {
    return control != nullptr ? static_cast<CTreeNodeUI*>(control->Interface("TreeNode")) : nullptr;
}

// The node a part (folder button, check box) belongs to: the row above its layout.
CTreeNodeUI* NodeOfPart(CControlUI* part) {
    for (CControlUI* c = part; c != nullptr; c = c->Parent()) {
        if (CTreeNodeUI* node = AsNode(c))
            return node;
    }
    return nullptr;
}

} // namespace

CTreeNodeUI::CTreeNodeUI()
    : m_horiz(new CHorizontalLayoutUI), m_dottedLine(new CLabelUI), m_folder(new CCheckBoxUI),
      m_check(new CCheckBoxUI), m_item(new COptionUI) {
    SetFixedHeight(kNodeHeight);
    SetFixedWidth(250);
    m_dottedLine->SetFixedWidth(2);
    m_dottedLine->SetVisible(false);
    m_folder->SetFixedWidth(kNodeHeight);
    m_check->SetFixedWidth(kNodeHeight);
    m_check->SetVisible(false);
    m_item->SetAttribute("align", "left");
    m_item->SetMouseEnabled(false);
    m_horiz->Add(m_dottedLine);
    m_horiz->Add(m_folder);
    m_horiz->Add(m_check);
    m_horiz->Add(m_item);
    CListContainerElementUI::Add(m_horiz);
    m_folder->OnNotify.Add(MakeDelegate(this, &CTreeNodeUI::OnPartNotify));
    m_check->OnNotify.Add(MakeDelegate(this, &CTreeNodeUI::OnPartNotify));
    OnNotify.Add(MakeDelegate(this, &CTreeNodeUI::OnPartNotify));
}

CTreeNodeUI::~CTreeNodeUI() {
    // Children in a list are the list's rows; outside one they are this node's.
    if (m_treeView == nullptr) {
        for (CTreeNodeUI* child : m_children)
            delete child;
    }
}

const char* CTreeNodeUI::ClassName() const {
    return "TreeNodeUI";
}

void* CTreeNodeUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "TreeNode") == 0)
        return static_cast<CTreeNodeUI*>(this);
    return CListContainerElementUI::Interface(name);
}

bool CTreeNodeUI::OnPartNotify(void* param) {
    auto* msg = static_cast<NotifyMessage*>(param);
    if (msg != nullptr && m_treeView != nullptr)
        m_treeView->Notify(*msg);
    return true;
}

void CTreeNodeUI::HandleEvent(UIEvent& event) {
    CListContainerElementUI::HandleEvent(event);
    switch (event.type) {
        case kEventDblClick:
            if (IsEnabled() && m_manager != nullptr)
                m_manager->SendNotify(this, "itemdbclick");
            break;
        case kEventMouseEnter: {
            const uint32_t color = IsSelected() && m_selItemHotTextColor != 0
                                       ? m_selItemHotTextColor
                                       : m_itemHotTextColor;
            if (color != 0)
                m_item->SetTextColor(color);
            break;
        }
        case kEventMouseLeave: {
            const uint32_t color =
                IsSelected() && m_selItemTextColor != 0 ? m_selItemTextColor : m_itemTextColor;
            if (color != 0)
                m_item->SetTextColor(color);
            break;
        }
        default:
            break;
    }
}

void CTreeNodeUI::SetAttribute(const char* name, const char* value) {
    if (std::strcmp(name, "text") == 0)
        SetText(value);
    else if (std::strcmp(name, "horizattr") == 0)
        m_horiz->ApplyAttributeList(value);
    else if (std::strcmp(name, "dotlineattr") == 0)
        m_dottedLine->ApplyAttributeList(value);
    else if (std::strcmp(name, "folderattr") == 0) {
        m_folder->ApplyAttributeList(value);
        // The list may change the button's width, which a leaf's blank space matches.
        UpdateIndent();
    } else if (std::strcmp(name, "checkboxattr") == 0)
        m_check->ApplyAttributeList(value);
    else if (std::strcmp(name, "itemattr") == 0)
        m_item->ApplyAttributeList(value);
    else if (std::strcmp(name, "itemtextcolor") == 0)
        SetItemTextColor(ParseColor(value));
    else if (std::strcmp(name, "itemhottextcolor") == 0)
        SetItemHotTextColor(ParseColor(value));
    else if (std::strcmp(name, "selitemtextcolor") == 0)
        SetSelItemTextColor(ParseColor(value));
    else if (std::strcmp(name, "selitemhottextcolor") == 0)
        SetSelItemHotTextColor(ParseColor(value));
    else
        CListContainerElementUI::SetAttribute(name, value);
}

void CTreeNodeUI::SetItemTextColor(uint32_t color) {
    m_itemTextColor = color;
    m_item->SetTextColor(color);
}

bool CTreeNodeUI::Add(CControlUI* control) {
    if (CTreeNodeUI* node = AsNode(control))
        return AddChildNode(node);
    // Other controls join the row's parts after the item text, so they are laid out beside it
    // rather than over it.
    return m_horiz->Add(control);
}

CUIString CTreeNodeUI::GetText() const {
    return m_item->GetText();
}

void CTreeNodeUI::SetText(const char* text) {
    m_item->SetText(text);
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const {
    if (index < 0 || index >= GetCountChild())
        return nullptr;
    return m_children[static_cast<size_t>(index)];
}

int CTreeNodeUI::GetTreeLevel() const {
    int level = 0;
    for (const CTreeNodeUI* p = m_parent; p != nullptr; p = p->m_parent)
        ++level;
    return level;
}

void CTreeNodeUI::CollectSubtree(std::vector<CTreeNodeUI*>& out) {
    out.push_back(this);
    for (CTreeNodeUI* child : m_children)
        child->CollectSubtree(out);
}

bool CTreeNodeUI::ShownByAncestors() const {
    for (const CTreeNodeUI* p = m_parent; p != nullptr; p = p->m_parent) {
        if (!p->m_expanded || !p->m_wantVisible)
            return false;
    }
    return true;
}

void CTreeNodeUI::SetVisible(bool visible) {
    m_wantVisible = visible;
    CListContainerElementUI::SetVisible(visible && ShownByAncestors());
    // The descendants follow: a hidden node hides its subtree.
    for (CTreeNodeUI* child : m_children)
        child->SetVisible(child->m_wantVisible);
}

void CTreeNodeUI::UpdateIndent() {
    // A node without children has nothing to show or hide: its folder button gives way to a
    // blank of the same width, so its text still lines up with its siblings'.
    const bool folders = m_treeView == nullptr || m_treeView->GetVisibleFolderBtn();
    const bool leaf = m_children.empty();
    m_folder->SetVisible(folders && !leaf);
    const int indent =
        GetTreeLevel() * kIndentStep + (folders && leaf ? m_folder->FixedWidth() : 0);
    m_dottedLine->SetFixedWidth(indent > 0 ? indent : 2);
    m_dottedLine->SetVisible(indent > 0);
    for (CTreeNodeUI* child : m_children)
        child->UpdateIndent();
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* child) {
    if (child == nullptr || child == this || child->m_parent != nullptr)
        return false;
    for (const CTreeNodeUI* p = this; p != nullptr; p = p->m_parent) {
        if (p == child)
            return false; // a node cannot go under its own descendant
    }
    if (m_treeView != nullptr) {
        std::vector<CTreeNodeUI*> rows;
        CollectSubtree(rows);
        const int at = m_treeView->GetBody()->GetItemIndex(this);
        if (at < 0 || !m_treeView->InsertSubtree(child, at + static_cast<int>(rows.size())))
            return false;
    }
    child->m_parent = this;
    m_children.push_back(child);
    UpdateIndent();
    child->SetVisible(child->m_wantVisible);
    return true;
}

void CTreeNodeUI::SetExpanded(bool expanded) {
    m_expanded = expanded;
    // The folder button shows the collapsed state; its change notification comes back here
    // with the same value and stops.
    if (m_folder->IsSelected() == expanded)
        m_folder->Selected(!expanded);
    for (CTreeNodeUI* child : m_children)
        child->SetVisible(child->m_wantVisible);
    NeedParentUpdate();
}

void CTreeNodeUI::SetChecked(bool checked) {
    if (m_check->IsSelected() != checked)
        m_check->Selected(checked);
    for (CTreeNodeUI* child : m_children)
        child->SetChecked(checked);
}

bool CTreeNodeUI::IsChecked() const {
    return m_check->IsSelected();
}

const char* CTreeViewUI::ClassName() const {
    return "TreeViewUI";
}

void* CTreeViewUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "TreeView") == 0)
        return static_cast<CTreeViewUI*>(this);
    return CListUI::Interface(name);
}

bool CTreeViewUI::InsertSubtree(CTreeNodeUI* node, int index) {
    node->SetTreeView(this);
    node->UpdateIndent();
    node->GetCheckBox()->SetVisible(m_visibleCheckBtn);
    if (!CListUI::AddAt(node, index)) {
        node->SetTreeView(nullptr);
        return false;
    }
    int next = index + 1;
    for (int i = 0; i < node->GetCountChild(); ++i) {
        CTreeNodeUI* child = node->GetChildNode(i);
        std::vector<CTreeNodeUI*> rows;
        child->CollectSubtree(rows);
        if (InsertSubtree(child, next))
            next += static_cast<int>(rows.size());
    }
    return true;
}

bool CTreeViewUI::Add(CControlUI* control) {
    if (CTreeNodeUI* node = AsNode(control))
        return InsertSubtree(node, GetBody()->GetCount());
    return CListUI::Add(control);
}

bool CTreeViewUI::AddAt(CControlUI* control, int index) {
    if (CTreeNodeUI* node = AsNode(control))
        return InsertSubtree(node, index);
    return CListUI::AddAt(control, index);
}

bool CTreeViewUI::Remove(CControlUI* control) {
    CTreeNodeUI* node = AsNode(control);
    if (node == nullptr || node->GetTreeView() != this)
        return CListUI::Remove(control);
    if (CTreeNodeUI* parent = node->GetParentNode()) {
        // Out of the parent first: the subtree is about to be destroyed.
        parent->m_children.erase(
            std::remove(parent->m_children.begin(), parent->m_children.end(), node),
            parent->m_children.end());
        parent->UpdateIndent();
    }
    std::vector<CTreeNodeUI*> rows;
    node->CollectSubtree(rows);
    // Deepest rows first, so no node outlives the list's hold on its children.
    bool removed = true;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        removed = CListUI::Remove(*it) && removed;
    return removed;
}

std::vector<CTreeNodeUI*> CTreeViewUI::Nodes() const {
    std::vector<CTreeNodeUI*> nodes;
    CListBodyUI* body = GetBody();
    for (int i = 0; i < body->GetCount(); ++i) {
        if (CTreeNodeUI* node = AsNode(body->GetItemAt(i)))
            nodes.push_back(node);
    }
    return nodes;
}

void CTreeViewUI::Notify(NotifyMessage& msg) {
    CTreeNodeUI* node = NodeOfPart(msg.sender);
    if (node == nullptr || node->GetTreeView() != this)
        return;
    if (msg.type == "selectchanged") {
        if (msg.sender == node->GetFolderButton())
            node->SetExpanded(!node->GetFolderButton()->IsSelected());
        else if (msg.sender == node->GetCheckBox())
            node->SetChecked(node->GetCheckBox()->IsSelected());
    } else if (msg.type == "itemdbclick" && msg.sender == node) {
        node->SetExpanded(!node->IsExpanded());
    }
}

void CTreeViewUI::SetVisibleFolderBtn(bool visible) {
    m_visibleFolderBtn = visible;
    for (CTreeNodeUI* node : Nodes())
        node->UpdateIndent();
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible) {
    m_visibleCheckBtn = visible;
    for (CTreeNodeUI* node : Nodes())
        node->GetCheckBox()->SetVisible(visible);
}

void CTreeViewUI::SetAttribute(const char* name, const char* value) {
    if (std::strcmp(name, "visiblefolderbtn") == 0) {
        SetVisibleFolderBtn(std::strcmp(value, "true") == 0);
    } else if (std::strcmp(name, "visiblecheckbtn") == 0) {
        SetVisibleCheckBtn(std::strcmp(value, "true") == 0);
    } else if (std::strcmp(name, "itemminwidth") == 0) {
        const int width = static_cast<int>(std::strtol(value, nullptr, 10));
        for (CTreeNodeUI* node : Nodes())
            node->SetFixedWidth(std::max(node->FixedWidth(), width));
    } else if (std::strcmp(name, "itemtextcolor") == 0) {
        for (CTreeNodeUI* node : Nodes())
            node->SetItemTextColor(ParseColor(value));
    } else if (std::strcmp(name, "itemhottextcolor") == 0) {
        for (CTreeNodeUI* node : Nodes())
            node->SetItemHotTextColor(ParseColor(value));
    } else if (std::strcmp(name, "selitemtextcolor") == 0) {
        for (CTreeNodeUI* node : Nodes())
            node->SetSelItemTextColor(ParseColor(value));
    } else if (std::strcmp(name, "selitemhottextcolor") == 0) {
        for (CTreeNodeUI* node : Nodes())
            node->SetSelItemHotTextColor(ParseColor(value));
    } else {
        CListUI::SetAttribute(name, value);
    }
}

} // namespace Pane
