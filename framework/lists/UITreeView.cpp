#include "UITreeView.h"

#include "ControlLook.h"
#include "UICheckBox.h"
#include "UIListHeader.h"
#include "UITreeNode.h"

namespace HiveUI {

namespace {

CTreeNodeUI* AsTreeNode(CControlUI* control) {
    return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

// The node whose row holds the control: its row layout's parent.
CTreeNodeUI* NodeOfPart(CControlUI* part) {
    CControlUI* row = part != nullptr ? part->GetParent() : nullptr;
    return AsTreeNode(row != nullptr ? row->GetParent() : nullptr);
}

}  // namespace

CControlUI* CreateTreeViewControl() { return new CTreeViewUI; }

CTreeViewUI::CTreeViewUI() {
    if (CListHeaderUI* header = GetHeader()) header->SetVisible(false);
}

const wchar_t* CTreeViewUI::GetClass() const { return L"TreeViewUI"; }

LPVOID CTreeViewUI::GetInterface(const wchar_t* name) {
    if (IsKey(name, L"TreeView")) return this;
    return CListUI::GetInterface(name);
}

int CTreeViewUI::GetListType() { return UILIST_TREE; }

void CTreeViewUI::Notify(TNotifyInfo&) {}

bool CTreeViewUI::Add(CControlUI* control) {
    if (CTreeNodeUI* node = AsTreeNode(control)) return Add(node);
    return CListUI::Add(control);
}

bool CTreeViewUI::AddAt(CControlUI* control, int index) {
    if (CTreeNodeUI* node = AsTreeNode(control)) return AddAt(node, index) >= 0;
    return CListUI::AddAt(control, index);
}

bool CTreeViewUI::Remove(CControlUI* control) {
    if (CTreeNodeUI* node = AsTreeNode(control)) return Remove(node);
    return CListUI::Remove(control);
}

bool CTreeViewUI::RemoveAt(int index) {
    if (CTreeNodeUI* node = NodeAt(index)) return Remove(node);
    return CListUI::RemoveAt(index);
}

void CTreeViewUI::Adopt(CTreeNodeUI* node) {
    node->OnNotify += MakeDelegate(this, &CTreeViewUI::OnDBClickItem);
    node->GetFolderButton()->OnNotify += MakeDelegate(this, &CTreeViewUI::OnFolderChanged);
    node->GetCheckBox()->OnNotify += MakeDelegate(this, &CTreeViewUI::OnCheckBoxChanged);
    node->SetVisibleFolderBtn(m_visibleFolderBtn);
    node->SetVisibleCheckBtn(m_visibleCheckBtn);
    if (m_itemMinWidth > 0) node->SetMinWidth(m_itemMinWidth);
    node->SetTreeView(this);
}

bool CTreeViewUI::Add(CTreeNodeUI* node) {
    if (AsTreeNode(node) == nullptr) return false;
    Adopt(node);
    if (!CListUI::Add(node)) return false;
    for (int i = 0; i < node->GetCountChild(); ++i) Add(node->GetChildNodeAt(i));
    return true;
}

bool CTreeViewUI::AddAt(CTreeNodeUI* node, CTreeNodeUI* before) {
    if (node == nullptr || before == nullptr) return false;
    const int index = GetItemIndex(before);
    return index >= 0 && AddAt(node, index) >= 0;
}

// The whole subtree follows the node, depth first, so that every descendant keeps its
// row under its parent.
int CTreeViewUI::AddAt(CTreeNodeUI* node, int index) {
    if (AsTreeNode(node) == nullptr) return -1;
    Adopt(node);
    if (!CListUI::AddAt(node, index)) return -1;
    int next = index + 1;
    for (int i = 0; i < node->GetCountChild() && next >= 0; ++i) next = AddAt(node->GetChildNodeAt(i), next);
    return next;
}

// The node leaves its parent's child nodes too: a parent that still listed it would
// reach a deleted row when it is collapsed or removed later.
bool CTreeViewUI::Remove(CTreeNodeUI* node) {
    if (node == nullptr) return false;
    for (int i = node->GetCountChild() - 1; i >= 0; --i) node->Remove(node->GetChildNodeAt(i));
    if (CTreeNodeUI* parent = node->GetParentNode()) parent->ForgetChildNode(node);
    const int index = GetItemIndex(node);
    return index >= 0 && CListUI::RemoveAt(index);
}

bool CTreeViewUI::OnCheckBoxChanged(void* param) {
    auto* msg = static_cast<TNotifyInfo*>(param);
    if (msg->sType != L"selectchanged") return true;
    auto* checkBox = static_cast<CCheckBoxUI*>(msg->pSender);
    if (CTreeNodeUI* node = NodeOfPart(checkBox)) CheckDescendants(checkBox->GetCheck(), node);
    return true;
}

bool CTreeViewUI::OnFolderChanged(void* param) {
    auto* msg = static_cast<TNotifyInfo*>(param);
    if (msg->sType != L"selectchanged") return true;
    auto* folder = static_cast<CCheckBoxUI*>(msg->pSender);
    if (CTreeNodeUI* node = NodeOfPart(folder)) SetExpanded(node, !folder->IsSelected());
    return true;
}

bool CTreeViewUI::OnDBClickItem(void* param) {
    auto* msg = static_cast<TNotifyInfo*>(param);
    if (msg->sType != L"treeitemdbclick") return false;
    CTreeNodeUI* node = AsTreeNode(msg->pSender);
    if (node == nullptr) return true;
    CCheckBoxUI* folder = node->GetFolderButton();
    folder->Selected(!folder->IsSelected(), true);
    SetExpanded(node, !folder->IsSelected());
    return true;
}

void CTreeViewUI::SetExpanded(CTreeNodeUI* node, bool expanded) {
    node->SetExpandFlag(expanded);
    ExpandDescendants(expanded, node);
}

bool CTreeViewUI::CheckDescendants(bool checked, CTreeNodeUI* node) {
    const CUIPtrArray children = node != nullptr ? node->GetChildNodes() : RootNodes();
    for (int i = 0; i < children.GetSize(); ++i) {
        auto* child = static_cast<CTreeNodeUI*>(children[i]);
        child->GetCheckBox()->Selected(checked, true);
        if (child->HasChildNodes()) CheckDescendants(checked, child);
    }
    return true;
}

// A collapsed child keeps its own descendants as they are: they show again only when
// that child is expanded.
bool CTreeViewUI::ExpandDescendants(bool expanded, CTreeNodeUI* node) {
    const CUIPtrArray children = node != nullptr ? node->GetChildNodes() : RootNodes();
    for (int i = 0; i < children.GetSize(); ++i) {
        auto* child = static_cast<CTreeNodeUI*>(children[i]);
        child->SetVisible(expanded);
        if (child->HasChildNodes() && !child->GetFolderButton()->IsSelected()) ExpandDescendants(expanded, child);
    }
    return true;
}

CTreeNodeUI* CTreeViewUI::NodeAt(int index) const { return AsTreeNode(GetItemAt(index)); }

CUIPtrArray CTreeViewUI::RootNodes() const {
    CUIPtrArray roots;
    for (int i = 0; i < GetCount(); ++i) {
        CTreeNodeUI* node = NodeAt(i);
        if (node != nullptr && node->GetParentNode() == nullptr) roots.Add(node);
    }
    return roots;
}

void CTreeViewUI::SetVisibleFolderBtn(bool visible) {
    m_visibleFolderBtn = visible;
    for (int i = 0; i < GetCount(); ++i)
        if (CTreeNodeUI* node = NodeAt(i)) node->SetVisibleFolderBtn(visible);
}

bool CTreeViewUI::GetVisibleFolderBtn() const { return m_visibleFolderBtn; }

void CTreeViewUI::SetVisibleCheckBtn(bool visible) {
    m_visibleCheckBtn = visible;
    for (int i = 0; i < GetCount(); ++i)
        if (CTreeNodeUI* node = NodeAt(i)) node->SetVisibleCheckBtn(visible);
}

bool CTreeViewUI::GetVisibleCheckBtn() const { return m_visibleCheckBtn; }

void CTreeViewUI::SetItemMinWidth(UINT width) {
    m_itemMinWidth = width;
    for (int i = 0; i < GetCount(); ++i)
        if (CTreeNodeUI* node = NodeAt(i)) node->SetMinWidth(width);
    Invalidate();
}

UINT CTreeViewUI::GetItemMinWidth() const { return m_itemMinWidth; }

void CTreeViewUI::ForEachNode(void (CTreeNodeUI::*set)(DWORD), DWORD value) {
    for (int i = 0; i < GetCount(); ++i)
        if (CTreeNodeUI* node = NodeAt(i)) (node->*set)(value);
}

void CTreeViewUI::SetItemTextColor(DWORD color) { ForEachNode(&CTreeNodeUI::SetItemTextColor, color); }
void CTreeViewUI::SetItemHotTextColor(DWORD color) { ForEachNode(&CTreeNodeUI::SetItemHotTextColor, color); }
void CTreeViewUI::SetSelItemTextColor(DWORD color) { ForEachNode(&CTreeNodeUI::SetSelItemTextColor, color); }
void CTreeViewUI::SetSelItemHotTextColor(DWORD color) { ForEachNode(&CTreeNodeUI::SetSelItemHotTextColor, color); }

void CTreeViewUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    struct TColor {
        const wchar_t* key;
        void (CTreeViewUI::*set)(DWORD);
    };
    const TColor colors[] = {{L"itemtextcolor", &CTreeViewUI::SetItemTextColor},
                             {L"itemhottextcolor", &CTreeViewUI::SetItemHotTextColor},
                             {L"selitemtextcolor", &CTreeViewUI::SetSelItemTextColor},
                             {L"selitemhottextcolor", &CTreeViewUI::SetSelItemHotTextColor}};
    if (IsKey(name, L"visiblefolderbtn")) return SetVisibleFolderBtn(IsKey(value, L"TRUE"));
    if (IsKey(name, L"visiblecheckbtn")) return SetVisibleCheckBtn(IsKey(value, L"TRUE"));
    if (IsKey(name, L"itemminwidth")) return SetItemMinWidth(static_cast<UINT>(ReadSkinNumber(value)));
    for (const TColor& color : colors)
        if (IsKey(name, color.key)) return (this->*color.set)(ReadSkinColor(value, false));
    CListUI::SetAttribute(name, value);
}

}  // namespace HiveUI
