// Tree views: nodes built from markup under their parents, indentation, collapsing and
// expanding by the folder button and by double click (with nested nodes keeping their own
// state), check boxes passing down, removing a subtree, and the pixels of the tree sample.
#include "CaptionTestSupport.h"

#include "pane/controls/TreeView.h"
#include "platform/backends/Headless.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

namespace Pane::test {
namespace {

using plat::RECT;

class TreeViewTest : public CaptionTest {
protected:
    void SetUp() override {
        CaptionTest::SetUp();
        std::string markup;
        ASSERT_TRUE(plat::ReadFileText(
            std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/treeview.xml", &markup));
        CUIManager::SetResourcePath(ZELTA_SOURCE_DIR "/tools/pane-view/samples/");
        Open(markup, 300, 240);
        m_tree = Find<CTreeViewUI>("tree");
        ASSERT_NE(m_tree, nullptr);
    }
    void TearDown() override {
        CaptionTest::TearDown();
        CUIManager::SetResourcePath("");
    }
    CTreeNodeUI* Node(const char* name) {
        auto* node = Find<CTreeNodeUI>(name);
        EXPECT_NE(node, nullptr) << name;
        return node;
    }
    // The names of the rows shown, top to bottom.
    std::string Shown() {
        std::string out;
        CListBodyUI* body = m_tree->GetBody();
        for (int i = 0; i < body->GetCount(); ++i) {
            CControlUI* row = body->GetItemAt(i);
            if (row->IsVisible())
                out += (out.empty() ? "" : " ") + std::string(row->Name().GetData());
        }
        return out;
    }
    void ClickFolder(const char* name) {
        const RECT& rc = Node(name)->GetFolderButton()->Position();
        const plat::POINT at{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        Down(at);
        Up(at);
    }
    void DoubleClick(const char* name) {
        const plat::POINT at = Centre(name);
        const plat::POINT screen = Screen(at.x, at.y);
        plat::headless::DoubleClick(screen.x, screen.y);
        PumpMessages();
    }

    CTreeViewUI* m_tree = nullptr;
};

TEST_F(TreeViewTest, MarkupPlacesChildrenBelowTheirParentsIndented) {
    EXPECT_EQ(Shown(), "radio channels ch1 ch2 settings power baud files import");
    EXPECT_EQ(Node("ch1")->GetParentNode(), Node("channels"));
    EXPECT_EQ(Node("radio")->GetCountChild(), 2);
    EXPECT_EQ(Node("ch1")->GetTreeLevel(), 2);
    EXPECT_STREQ(Node("files")->GetText(), "文件");
    // One indentation step per level: the texts start further right.
    const int top = Node("radio")->GetItemButton()->Position().left;
    EXPECT_EQ(Node("channels")->GetItemButton()->Position().left, top + CTreeNodeUI::kIndentStep);
    EXPECT_EQ(Node("ch1")->GetItemButton()->Position().left, top + 2 * CTreeNodeUI::kIndentStep);
}

TEST_F(TreeViewTest, FolderButtonAndDoubleClickCollapseAndExpand) {
    ClickFolder("channels");
    EXPECT_FALSE(Node("channels")->IsExpanded());
    EXPECT_TRUE(Node("channels")->GetFolderButton()->IsSelected());
    EXPECT_EQ(Shown(), "radio channels settings power baud files import");
    // Collapsing the top hides everything under it; expanding it again restores the children
    // as they were left.
    DoubleClick("radio");
    EXPECT_EQ(Shown(), "radio files import");
    DoubleClick("radio");
    EXPECT_EQ(Shown(), "radio channels settings power baud files import");
    EXPECT_TRUE(Node("radio")->IsExpanded());
    ClickFolder("channels");
    EXPECT_EQ(Shown(), "radio channels ch1 ch2 settings power baud files import");
    EXPECT_FALSE(Node("channels")->GetFolderButton()->IsSelected());
    // A collapsed row gives its place to the rows below it.
    DoubleClick("settings");
    EXPECT_EQ(Node("files")->Position().top, Node("settings")->Position().bottom);
}

TEST_F(TreeViewTest, ChecksPassDownAndRemovingTakesTheSubtree) {
    m_tree->SetVisibleCheckBtn(true);
    Node("radio")->GetCheckBox()->Selected(true);
    EXPECT_TRUE(Node("ch2")->IsChecked());
    EXPECT_TRUE(Node("baud")->IsChecked());
    EXPECT_FALSE(Node("import")->IsChecked());

    const int rows = m_tree->GetBody()->GetCount();
    EXPECT_TRUE(m_tree->Remove(Node("channels")));
    EXPECT_EQ(m_tree->GetBody()->GetCount(), rows - 3);
    EXPECT_EQ(Node("radio")->GetCountChild(), 1);
    // A node added later goes right after its parent's subtree.
    auto* extra = new CTreeNodeUI;
    extra->SetName("extra");
    ASSERT_TRUE(Node("radio")->AddChildNode(extra));
    PumpMessages();
    EXPECT_EQ(Shown(), "radio settings power baud extra files import");
    EXPECT_EQ(extra->GetTreeLevel(), 1);
}

TEST_F(TreeViewTest, OnlyNodesWithChildrenShowAFolderButton) {
    const auto folderShown = [&](const char* name) {
        return Node(name)->GetFolderButton()->IsVisible();
    };
    EXPECT_TRUE(folderShown("channels"));
    EXPECT_FALSE(folderShown("ch1"));
    EXPECT_FALSE(folderShown("import"));
    // A leaf's text lines up with that of a sibling with children.
    EXPECT_EQ(Node("power")->GetItemButton()->Position().left,
              Node("settings")->GetItemButton()->Position().left + CTreeNodeUI::kIndentStep);
    EXPECT_EQ(Node("import")->GetItemButton()->Position().left,
              Node("ch1")->GetItemButton()->Position().left - CTreeNodeUI::kIndentStep);

    // Gaining a first child brings the button; losing the last one takes it away.
    auto* extra = new CTreeNodeUI;
    ASSERT_TRUE(Node("power")->AddChildNode(extra));
    EXPECT_TRUE(folderShown("power"));
    EXPECT_TRUE(m_tree->Remove(extra));
    EXPECT_FALSE(folderShown("power"));

    // Without folder buttons, no node keeps a blank for one.
    m_tree->SetAttribute("visiblefolderbtn", "false");
    PumpMessages();
    EXPECT_FALSE(folderShown("radio"));
    EXPECT_EQ(Node("import")->GetItemButton()->Position().left,
              Node("files")->GetItemButton()->Position().left + CTreeNodeUI::kIndentStep);
    m_tree->SetAttribute("visiblefolderbtn", "true");
    EXPECT_TRUE(folderShown("radio"));
    EXPECT_FALSE(folderShown("import"));
}

TEST_F(TreeViewTest, SampleMatchesItsReference) {
    DoubleClick("settings");
    m_window->GetManager().SetFocus(nullptr);
    EXPECT_TRUE(MatchesReference(Pixels(RECT{0, 0, 300, 240}), "treeview-collapsed"));
}

// Nodes in markup of every shape: the rows and each node's children keep the markup's order,
// and a control inside a node joins its row after the text.
TEST_F(CaptionTest, TreeNodesKeepTheMarkupOrder) {
    Open("<Window><VerticalLayout><TreeView name=\"tree\">"
         "<TreeNode name=\"a\"><TreeNode name=\"a1\"><TreeNode name=\"a1x\"/>"
         "<TreeNode name=\"a1y\"/></TreeNode><Label name=\"tag\" width=\"30\"/>"
         "<TreeNode name=\"a2\"/><TreeNode name=\"a3\"><TreeNode name=\"a3x\"/></TreeNode>"
         "</TreeNode><TreeNode name=\"b\"/><TreeNode name=\"c\"><TreeNode name=\"c1\"/>"
         "<TreeNode name=\"c2\"/><TreeNode name=\"c3\"/></TreeNode>"
         "</TreeView></VerticalLayout></Window>",
         300, 300);
    auto* tree = Find<CTreeViewUI>("tree");
    ASSERT_NE(tree, nullptr);
    std::string rows;
    for (int i = 0; i < tree->GetBody()->GetCount(); ++i)
        rows += std::string(tree->GetBody()->GetItemAt(i)->Name().GetData()) + " ";
    EXPECT_EQ(rows, "a a1 a1x a1y a2 a3 a3x b c c1 c2 c3 ");
    const auto children = [&](const char* name) {
        std::string out;
        auto* node = Find<CTreeNodeUI>(name);
        for (int i = 0; node != nullptr && i < node->GetCountChild(); ++i)
            out += std::string(node->GetChildNode(i)->Name().GetData()) + " ";
        return out;
    };
    EXPECT_EQ(children("a"), "a1 a2 a3 ");
    EXPECT_EQ(children("c"), "c1 c2 c3 ");

    CControlUI* tag = Find<CControlUI>("tag");
    ASSERT_NE(tag, nullptr);
    CTreeNodeUI* a = Find<CTreeNodeUI>("a");
    EXPECT_EQ(tag->Parent(), a->GetTreeNodeHoriznotal());
    EXPECT_EQ(tag->Position().right, a->Position().right);
    EXPECT_EQ(a->GetItemButton()->Position().right, tag->Position().left);
}

} // namespace
} // namespace Pane::test
