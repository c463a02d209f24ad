#include "UITreeNode.h"

#include "ControlLook.h"
#include "UICheckBox.h"
#include "UILabel.h"
#include "UIManager.h"
#include "UIOption.h"
#include "UITreeView.h"

namespace HiveUI {

namespace {

// How much deeper each level of the tree is indented.
constexpr int kIndentStep = 16;
constexpr int kRowHeight = 18;

CTreeNodeUI* AsTreeNode(CControlUI* control) {
    return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

}  // namespace

CControlUI* CreateTreeNodeControl() { return new CTreeNodeUI; }

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parent)
    : m_rowLayout(new CHorizontalLayoutUI),
      m_folderButton(new CCheckBoxUI),
      m_dottedLine(new CLabelUI),
      m_checkBox(new CCheckBoxUI),
      m_itemButton(new COptionUI) {
    SetFixedHeight(kRowHeight);
    SetFixedWidth(250);
    m_folderButton->SetFixedWidth(GetFixedHeight());
    m_dottedLine->SetFixedWidth(2);
    m_checkBox->SetFixedWidth(kRowHeight);
    m_itemButton->SetAttribute(L"align", L"left");
    m_dottedLine->SetVisible(false);
    m_checkBox->SetVisible(false);
    m_itemButton->SetMouseEnabled(false);
    if (parent != nullptr && AsTreeNode(parent) != nullptr) {
        m_dottedLine->SetVisible(parent->IsVisible());
        m_dottedLine->SetFixedWidth(parent->m_dottedLine->GetFixedWidth() + kIndentStep);
        m_parentNode = parent;
    }
    m_rowLayout->SetChildVAlign(DT_VCENTER);
    m_rowLayout->Add(m_dottedLine);
    m_rowLayout->Add(m_folderButton);
    m_rowLayout->Add(m_checkBox);
    m_rowLayout->Add(m_itemButton);
    CListContainerElementUI::Add(m_rowLayout);
}

// Outside a tree view nobody else holds the child nodes: a subtree built before it
// joined a view (or never did) goes with its root.
CTreeNodeUI::~CTreeNodeUI() {
    if (m_treeView != nullptr) return;
    for (int i = 0; i < m_childNodes.GetSize(); ++i) delete GetChildNodeAt(i);
}

const wchar_t* CTreeNodeUI::GetClass() const { return L"TreeNodeUI"; }

LPVOID CTreeNodeUI::GetInterface(const wchar_t* name) {
    if (IsKey(name, L"TreeNode")) return this;
    return CListContainerElementUI::GetInterface(name);
}

void CTreeNodeUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        PassToOwner(event);
        return;
    }
    CListContainerElementUI::DoEvent(event);
    switch (event.Type) {
        case UIEVENT_DBLCLICK:
            if (!IsEnabled()) return;
            if (m_manager != nullptr) m_manager->SendNotify(this, L"treeitemdbclick", 0, 0, false);
            InvalidateClipped();
            return;
        case UIEVENT_MOUSEENTER:
            ShowHotColor();
            return;
        case UIEVENT_MOUSELEAVE:
            ShowLeftColor();
            return;
        default:
            return;
    }
}

void CTreeNodeUI::ShowHotColor() {
    if (!IsEnabled()) return ShowItemColor(m_itemButton->GetDisabledTextColor());
    const bool selectedHot = IsSelected() && m_selItemHotTextColor != 0;
    ShowItemColor(selectedHot ? m_selItemHotTextColor : m_itemHotTextColor);
}

void CTreeNodeUI::ShowLeftColor() {
    if (!IsEnabled()) return ShowItemColor(m_itemButton->GetDisabledTextColor());
    if (!IsSelected()) return ShowItemColor(m_itemTextColor);
    if (m_selItemTextColor != 0) ShowItemColor(m_selItemTextColor);
}

void CTreeNodeUI::ShowItemColor(DWORD color) { m_itemButton->SetTextColor(color); }

void CTreeNodeUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    struct TPart {
        const wchar_t* key;
        CControlUI* part;
    };
    const TPart parts[] = {{L"horizattr", m_rowLayout},     {L"dotlineattr", m_dottedLine},
                           {L"folderattr", m_folderButton}, {L"checkboxattr", m_checkBox},
                           {L"itemattr", m_itemButton}};
    struct TColor {
        const wchar_t* key;
        void (CTreeNodeUI::*set)(DWORD);
    };
    const TColor colors[] = {{L"itemtextcolor", &CTreeNodeUI::SetItemTextColor},
                             {L"itemhottextcolor", &CTreeNodeUI::SetItemHotTextColor},
                             {L"selitemtextcolor", &CTreeNodeUI::SetSelItemTextColor},
                             {L"selitemhottextcolor", &CTreeNodeUI::SetSelItemHotTextColor}};
    if (IsKey(name, L"text")) return m_itemButton->SetText(value);
    for (const TPart& part : parts)
        if (IsKey(name, part.key)) return part.part->ApplyAttributeList(value);
    for (const TColor& color : colors)
        if (IsKey(name, color.key)) return (this->*color.set)(ReadSkinColor(value, false));
    CListContainerElementUI::SetAttribute(name, value);
}

bool CTreeNodeUI::Select(bool select) {
    const bool done = CListContainerElementUI::Select(select);
    ShowItemColor(IsSelected() ? m_selItemTextColor : m_itemTextColor);
    return done;
}

bool CTreeNodeUI::SelectMulti(bool select) {
    const bool done = CListContainerElementUI::SelectMulti(select);
    ShowItemColor(IsSelected() ? m_selItemTextColor : m_itemTextColor);
    return done;
}

bool CTreeNodeUI::Add(CControlUI* control) {
    if (CTreeNodeUI* node = AsTreeNode(control)) return AddChildNode(node);
    return CListContainerElementUI::Add(control);
}

// A node inserted among the children takes the row of the child it goes before; past
// the last child it follows this node's last descendant, as an added one does.
bool CTreeNodeUI::AddAt(CControlUI* control, int index) {
    CTreeNodeUI* node = AsTreeNode(control);
    if (node == nullptr) return false;
    CTreeNodeUI* before = GetChildNodeAt(index);
    if (before == nullptr) return AddChildNode(node);
    if (!m_childNodes.InsertAt(index, node)) return false;
    PlaceUnder(node);
    return m_treeView == nullptr || m_treeView->AddAt(node, before);
}

bool CTreeNodeUI::Remove(CControlUI* control) {
    CTreeNodeUI* node = AsTreeNode(control);
    return node != nullptr && RemoveChildNode(node);
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* node) {
    if (node == nullptr || AsTreeNode(node) == nullptr) return false;
    PlaceUnder(node);
    if (m_treeView != nullptr) {
        const int after = GetLastDescendant()->GetRowIndex();
        if (m_treeView->AddAt(node, after + 1) < 0) return false;
    }
    return m_childNodes.Add(node);
}

bool CTreeNodeUI::RemoveChildNode(CTreeNodeUI* node) {
    if (m_childNodes.Find(node) < 0) return false;
    while (node->HasChildNodes()) node->RemoveChildNode(node->GetChildNodeAt(0));
    ForgetChildNode(node);
    // In a view the list owns the row; a detached subtree's children are this node's.
    if (m_treeView != nullptr) {
        m_treeView->Remove(node);
    } else {
        delete node;
    }
    return true;
}

void CTreeNodeUI::ForgetChildNode(CTreeNodeUI* node) {
    const int index = m_childNodes.Find(node);
    if (index >= 0) m_childNodes.Remove(index);
}

void CTreeNodeUI::PlaceUnder(CTreeNodeUI* node) {
    node->m_dottedLine->SetVisible(true);
    node->m_dottedLine->SetFixedWidth(m_dottedLine->GetFixedWidth() + kIndentStep);
    node->m_parentNode = this;
    node->m_itemButton->SetGroup(m_itemButton->GetGroup());
    node->m_treeView = m_treeView;
    node->IndentChildren();
}

void CTreeNodeUI::IndentChildren() {
    for (int i = 0; i < m_childNodes.GetSize(); ++i) {
        CTreeNodeUI* child = GetChildNodeAt(i);
        child->m_dottedLine->SetFixedWidth(m_dottedLine->GetFixedWidth() + kIndentStep);
        child->IndentChildren();
    }
}

int CTreeNodeUI::GetRowIndex() {
    return m_treeView != nullptr ? m_treeView->GetItemIndex(this) : -1;
}

CTreeNodeUI* CTreeNodeUI::GetLastDescendant() {
    for (int i = m_childNodes.GetSize() - 1; i >= 0; --i)
        if (CTreeNodeUI* child = GetChildNodeAt(i)) return child->GetLastDescendant();
    return this;
}

CTreeNodeUI* CTreeNodeUI::GetChildNodeAt(int index) const {
    return static_cast<CTreeNodeUI*>(m_childNodes.GetAt(index));
}

void CTreeNodeUI::SetVisibleFolderBtn(bool visible) { m_folderButton->SetVisible(visible); }
bool CTreeNodeUI::GetVisibleFolderBtn() const { return m_folderButton->IsVisible(); }
void CTreeNodeUI::SetVisibleCheckBtn(bool visible) { m_checkBox->SetVisible(visible); }
bool CTreeNodeUI::GetVisibleCheckBtn() const { return m_checkBox->IsVisible(); }

void CTreeNodeUI::SetItemTextColor(DWORD color) {
    m_itemTextColor = color;
    ShowItemColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color) {
    m_itemHotTextColor = color;
    InvalidateClipped();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color) {
    m_selItemTextColor = color;
    InvalidateClipped();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color) {
    m_selItemHotTextColor = color;
    InvalidateClipped();
}

}  // namespace HiveUI
