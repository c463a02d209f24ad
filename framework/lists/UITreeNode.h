// CTreeNodeUI: one row of a tree view. The row shows an indenting dotted line, a folder
// button (selected = collapsed), a check box and an option with the node's text; the
// node also keeps its child nodes, whose rows the tree view's list owns.
#pragma once

#include "UIListContainerElement.h"
#include "UIPtrArray.h"

namespace HiveUI {

class CCheckBoxUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
public:
    explicit CTreeNodeUI(CTreeNodeUI* parent = nullptr);
    ~CTreeNodeUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool Select(bool select = true) override;
    bool SelectMulti(bool select = true) override;

    // Tree nodes become child nodes; other controls join the node itself.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;

    bool AddChildNode(CTreeNodeUI* node);
    bool RemoveChildNode(CTreeNodeUI* node);
    // Takes the node out of the child nodes only; its row is the caller's business.
    void ForgetChildNode(CTreeNodeUI* node);

    int GetRowIndex();
    CTreeNodeUI* GetLastDescendant();
    bool HasChildNodes() const { return !m_childNodes.IsEmpty(); }
    int GetCountChild() const { return m_childNodes.GetSize(); }
    CTreeNodeUI* GetChildNodeAt(int index) const;
    CUIPtrArray GetChildNodes() const { return m_childNodes; }
    CTreeNodeUI* GetParentNode() const { return m_parentNode; }
    void SetParentNode(CTreeNodeUI* parent) { m_parentNode = parent; }
    CTreeViewUI* GetTreeView() const { return m_treeView; }
    void SetTreeView(CTreeViewUI* treeView) { m_treeView = treeView; }
    bool GetExpandFlag() const { return m_expanded; }
    void SetExpandFlag(bool expanded) { m_expanded = expanded; }

    void SetVisibleFolderBtn(bool visible);
    bool GetVisibleFolderBtn() const;
    void SetVisibleCheckBtn(bool visible);
    bool GetVisibleCheckBtn() const;
    void SetItemTextColor(DWORD color);
    DWORD GetItemTextColor() const { return m_itemTextColor; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return m_itemHotTextColor; }
    void SetSelItemTextColor(DWORD color);
    DWORD GetSelItemTextColor() const { return m_selItemTextColor; }
    void SetSelItemHotTextColor(DWORD color);
    DWORD GetSelItemHotTextColor() const { return m_selItemHotTextColor; }

    CHorizontalLayoutUI* GetRowLayout() const { return m_rowLayout; }
    CCheckBoxUI* GetFolderButton() const { return m_folderButton; }
    CLabelUI* GetDottedLine() const { return m_dottedLine; }
    CCheckBoxUI* GetCheckBox() const { return m_checkBox; }
    COptionUI* GetItemButton() const { return m_itemButton; }

private:
    void PlaceUnder(CTreeNodeUI* node);
    // A node moved under another takes its depth along: its descendants indent from it.
    void IndentChildren();
    void ShowItemColor(DWORD color);
    void ShowHotColor();
    void ShowLeftColor();

    bool m_expanded = true;
    DWORD m_itemTextColor = 0;
    DWORD m_itemHotTextColor = 0;
    DWORD m_selItemTextColor = 0;
    DWORD m_selItemHotTextColor = 0;
    CTreeViewUI* m_treeView = nullptr;
    CHorizontalLayoutUI* m_rowLayout;
    CCheckBoxUI* m_folderButton;
    CLabelUI* m_dottedLine;
    CCheckBoxUI* m_checkBox;
    COptionUI* m_itemButton;
    CTreeNodeUI* m_parentNode = nullptr;
    CUIPtrArray m_childNodes;
};

CControlUI* CreateTreeNodeControl();

}  // namespace HiveUI
