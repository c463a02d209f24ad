#include <UICheckBox.h>
#include <UILabel.h>
#include <UIOption.h>
#include <UITreeNode.h>
#include <UITreeView.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "../../controls/ControlWindow.h"

using namespace HiveUI;

namespace {

constexpr int kRow = 18;

// A node that knows which of its kind are alive, so that a test can tell a leak from a
// dangling pointer without touching freed memory.
class CountedNode : public CTreeNodeUI {
public:
    explicit CountedNode(const wchar_t* name) {
        SetName(name);
        live.insert(this);
    }
    ~CountedNode() override { live.erase(this); }
    static std::set<const void*> live;
};
std::set<const void*> CountedNode::live;

class TreeWindow : public ControlWindow {
protected:
    CTreeViewUI* BuildTree(const std::wstring& attributes, const std::wstring& nodes) {
        Build(L"<TreeView name=\"tree\" float=\"true\" pos=\"0,0,320,200\" " + attributes + L">" + nodes +
              L"</TreeView>");
        return Find<CTreeViewUI>(L"tree");
    }
    CTreeNodeUI* Node(const wchar_t* name) { return Find<CTreeNodeUI>(name); }
    // The names of the rows that show, top to bottom.
    std::vector<std::wstring> ShownRows(CTreeViewUI* tree) {
        UpdateWindow(hwnd());
        std::vector<std::wstring> shown;
        for (int i = 0; i < tree->GetCount(); ++i)
            if (tree->GetItemAt(i)->IsVisible()) shown.push_back(tree->GetItemAt(i)->GetName().GetData());
        return shown;
    }
    void DoubleClick(int x, int y) {
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
        Release(x, y);
    }
    // Clicks the folder button of a shown node.
    void ClickFolder(CTreeNodeUI* node) {
        UpdateWindow(hwnd());
        const RECT& folder = node->GetFolderButton()->GetPos();
        Click((folder.left + folder.right) / 2, (folder.top + folder.bottom) / 2);
    }
};

// a { b { b1 b2 } c { c1 } d }
const wchar_t* const kTree =
    L"<TreeNode name=\"a\" text=\"a\"><TreeNode name=\"b\" text=\"b\"><TreeNode name=\"b1\" text=\"b1\"/>"
    L"<TreeNode name=\"b2\" text=\"b2\"/></TreeNode><TreeNode name=\"c\" text=\"c\"><TreeNode name=\"c1\" "
    L"text=\"c1\"/></TreeNode><TreeNode name=\"d\" text=\"d\"/></TreeNode>";

// Built from a layout (children first) or in code (parents first), a node three deep is
// indented by two steps of 16 from the 2 of a root.
TEST_F(TreeWindow, ANodeThreeDeepIsIndentedThirtyFourWhicheverWayItWasBuilt) {
    CTreeViewUI* tree = BuildTree(L"", L"<TreeNode name=\"a\"><TreeNode name=\"b\"><TreeNode name=\"c\"/>"
                                       L"</TreeNode></TreeNode>");
    ASSERT_EQ(3, tree->GetCount());
    UpdateWindow(hwnd());
    CTreeNodeUI* built = Node(L"c");
    EXPECT_EQ(34, built->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(34, built->GetFolderButton()->GetPos().left - built->GetPos().left);
    EXPECT_EQ(2 * kRow, built->GetPos().top);

    auto* root = new CTreeNodeUI;
    auto* middle = new CTreeNodeUI(root);
    auto* deep = new CTreeNodeUI(middle);
    EXPECT_EQ(34, deep->GetDottedLine()->GetFixedWidth());
    delete deep;
    delete middle;
    delete root;

    // Parents first, inside the view.
    auto* top = new CTreeNodeUI;
    ASSERT_TRUE(tree->Add(top));
    auto* second = new CTreeNodeUI;
    ASSERT_TRUE(top->Add(second));
    auto* third = new CTreeNodeUI;
    ASSERT_TRUE(second->Add(third));
    EXPECT_EQ(34, third->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(6, tree->GetCount());
}

// Collapsing hides every descendant; expanding shows them again except those below a
// child that was collapsed on its own. A double click toggles as the folder button does.
TEST_F(TreeWindow, CollapseAndExpandKeepACollapsedChildCollapsed) {
    CTreeViewUI* tree = BuildTree(L"", kTree);
    const std::vector<std::wstring> all = {L"a", L"b", L"b1", L"b2", L"c", L"c1", L"d"};
    ASSERT_EQ(all, ShownRows(tree));

    ClickFolder(Node(L"c"));
    const std::vector<std::wstring> withoutC1 = {L"a", L"b", L"b1", L"b2", L"c", L"d"};
    EXPECT_EQ(withoutC1, ShownRows(tree));
    EXPECT_FALSE(Node(L"c")->GetExpandFlag());

    ClickFolder(Node(L"a"));
    EXPECT_EQ(std::vector<std::wstring>{L"a"}, ShownRows(tree));
    ClickFolder(Node(L"a"));
    EXPECT_EQ(withoutC1, ShownRows(tree));
    EXPECT_TRUE(Node(L"a")->GetExpandFlag());

    notes.clear();
    DoubleClick(200, kRow / 2);
    EXPECT_EQ(1u, std::count(notes.begin(), notes.end(), Note{L"a", L"treeitemdbclick", 0}));
    EXPECT_TRUE(Node(L"a")->GetFolderButton()->IsSelected());
    EXPECT_EQ(std::vector<std::wstring>{L"a"}, ShownRows(tree));
    DoubleClick(200, kRow / 2);
    EXPECT_EQ(withoutC1, ShownRows(tree));
    ClickFolder(Node(L"c"));
    EXPECT_EQ(all, ShownRows(tree));
}

TEST_F(TreeWindow, CheckingANodeChecksItsDescendantsOnly) {
    BuildTree(L"visiblecheckbtn=\"true\"", kTree);
    UpdateWindow(hwnd());
    const RECT& box = Node(L"b")->GetCheckBox()->GetPos();
    Click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    for (const wchar_t* name : {L"b", L"b1", L"b2"}) EXPECT_TRUE(Node(name)->GetCheckBox()->GetCheck()) << name;
    for (const wchar_t* name : {L"a", L"c", L"c1", L"d"}) EXPECT_FALSE(Node(name)->GetCheckBox()->GetCheck()) << name;
    Click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    for (const wchar_t* name : {L"b", L"b1", L"b2"}) EXPECT_FALSE(Node(name)->GetCheckBox()->GetCheck()) << name;
}

TEST_F(TreeWindow, FolderAndCheckButtonsShowForTrueInAnyCase) {
    struct Case {
        const wchar_t* attributes;
        bool folder;
        bool check;
    } cases[] = {
        {L"", true, false},
        {L"visiblefolderbtn=\"false\" visiblecheckbtn=\"true\"", false, true},
        {L"visiblefolderbtn=\"true\" visiblecheckbtn=\"TRUE\"", true, true},
        {L"VISIBLEFOLDERBTN=\"TRUE\" visiblecheckbtn=\"yes\"", true, false},
    };
    for (const Case& c : cases) {
        CTreeViewUI* tree = BuildTree(c.attributes, kTree);
        EXPECT_EQ(c.folder, tree->GetVisibleFolderBtn()) << c.attributes;
        EXPECT_EQ(c.check, tree->GetVisibleCheckBtn()) << c.attributes;
        for (const wchar_t* name : {L"a", L"c1"}) {
            EXPECT_EQ(c.folder, Node(name)->GetFolderButton()->IsVisible()) << c.attributes << name;
            EXPECT_EQ(c.check, Node(name)->GetCheckBox()->IsVisible()) << c.attributes << name;
        }
    }
}

// A node outside a tree is owned by nothing, so the layout drops it; other controls
// under a node join its row. The view's item colours reach the nodes, not the list style.
TEST_F(TreeWindow, LayoutsAttachNodesToTreesAndOtherControlsToTheNodeRow) {
    Build(L"<VerticalLayout name=\"v\"><TreeNode name=\"stray\"><TreeNode name=\"inner\"/></TreeNode>"
          L"</VerticalLayout><TreeView name=\"tree\" itemtextcolor=\"#FF123456\"><TreeNode name=\"n\">"
          L"<Button name=\"btn\"/></TreeNode></TreeView>");
    EXPECT_EQ(0, Find<CContainerUI>(L"v")->GetCount());
    EXPECT_EQ(nullptr, Find<CControlUI>(L"stray"));
    CTreeNodeUI* node = Node(L"n");
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(node->GetRowLayout(), Find<CControlUI>(L"btn")->GetParent());
    EXPECT_EQ(0xFF123456, node->GetItemButton()->GetTextColor());
    EXPECT_EQ(0xFF000000, Find<CTreeViewUI>(L"tree")->GetListStyle()->dwTextColor);
}

// r { a { a1 { a11 } a2 } x { x1 x2 } b } s { s1 } built in code, x with its children
// inserted as a whole.
TEST_F(TreeWindow, RemovingNodesAtEveryDepthLeavesNoLeakAndNoDanglingChild) {
    CountedNode::live.clear();
    CTreeViewUI* tree = BuildTree(L"", L"");
    auto* r = new CountedNode(L"r");
    ASSERT_TRUE(tree->Add(r));
    auto* a = new CountedNode(L"a");
    ASSERT_TRUE(r->Add(a));
    auto* a1 = new CountedNode(L"a1");
    ASSERT_TRUE(a->Add(a1));
    ASSERT_TRUE(a1->Add(new CountedNode(L"a11")));
    ASSERT_TRUE(a->Add(new CountedNode(L"a2")));
    ASSERT_TRUE(r->Add(new CountedNode(L"b")));
    auto* x = new CountedNode(L"x");
    x->Add(new CountedNode(L"x1"));
    x->Add(new CountedNode(L"x2"));
    ASSERT_TRUE(r->AddAt(x, 1));
    auto* s = new CountedNode(L"s");
    s->Add(new CountedNode(L"s1"));
    ASSERT_TRUE(tree->Add(s));

    const auto rows = [&] {
        std::wstring names;
        for (int i = 0; i < tree->GetCount(); ++i) names += tree->GetItemAt(i)->GetName().GetData() + std::wstring(L" ");
        return names;
    };
    EXPECT_EQ(L"r a a1 a11 a2 x x1 x2 b s s1 ", rows());
    // Every node a parent lists is alive, and each lists only its own children.
    const auto childrenLive = [&] {
        for (int i = 0; i < tree->GetCount(); ++i) {
            auto* node = static_cast<CTreeNodeUI*>(tree->GetItemAt(i));
            for (int k = 0; k < node->GetCountChild(); ++k) {
                if (CountedNode::live.count(node->GetChildNodeAt(k)) == 0) return false;
                if (node->GetChildNodeAt(k)->GetParentNode() != node) return false;
            }
        }
        return true;
    };

    struct Step {
        const wchar_t* what;
        bool (*remove)(CTreeViewUI*);
        const wchar_t* rowsAfter;
    } steps[] = {
        {L"a leaf four deep by index", [](CTreeViewUI* t) { return t->RemoveAt(3); }, L"r a a1 a2 x x1 x2 b s s1 "},
        {L"a leaf three deep through the view",
         [](CTreeViewUI* t) { return t->Remove(static_cast<CTreeNodeUI*>(t->GetItemAt(3))); },
         L"r a a1 x x1 x2 b s s1 "},
        {L"a subtree two deep through its parent",
         [](CTreeViewUI* t) {
             auto* root = static_cast<CTreeNodeUI*>(t->GetItemAt(0));
             return root->Remove(root->GetChildNodeAt(0));
         },
         L"r x x1 x2 b s s1 "},
        {L"a leaf three deep by index", [](CTreeViewUI* t) { return t->RemoveAt(2); }, L"r x x2 b s s1 "},
        {L"a root and its child by index", [](CTreeViewUI* t) { return t->RemoveAt(4); }, L"r x x2 b "},
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(step.remove(tree)) << step.what;
        Pump();
        EXPECT_EQ(step.rowsAfter, rows()) << step.what;
        EXPECT_EQ(static_cast<size_t>(tree->GetCount()), CountedNode::live.size()) << step.what;
        EXPECT_TRUE(childrenLive()) << step.what;
    }

    ClickFolder(r);
    EXPECT_EQ(std::vector<std::wstring>{L"r"}, ShownRows(tree));
    ASSERT_TRUE(Find<CContainerUI>(L"root")->Remove(tree));
    Pump();
    EXPECT_TRUE(CountedNode::live.empty());
}

TEST_F(TreeWindow, ADetachedSubtreeGoesWithItsRoot) {
    CountedNode::live.clear();
    auto* root = new CountedNode(L"root");
    auto* child = new CountedNode(L"child");
    root->Add(child);
    child->Add(new CountedNode(L"grandchild"));
    EXPECT_TRUE(root->Remove(child));
    EXPECT_EQ(1u, CountedNode::live.size());
    root->Add(new CountedNode(L"again"));
    delete root;
    EXPECT_TRUE(CountedNode::live.empty());
}

}  // namespace
