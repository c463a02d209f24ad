// CTreeViewUI: a list whose rows are tree nodes. A node's children follow it, depth
// first; collapsing a node hides its descendants' rows. The view hears of its nodes'
// folder buttons, check boxes and double clicks through delegates on their events.
#pragma once

#include "NotifyUI.h"
#include "UIList.h"

namespace HiveUI {

class CTreeNodeUI;

class CTreeViewUI : public CListUI, public INotifyUI {
public:
    CTreeViewUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    int GetListType() override;
    void Notify(TNotifyInfo& msg) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // Container operations: nodes take their subtrees along.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;

    virtual bool Add(CTreeNodeUI* node);
    // Inserts the node before the row of another; false when that one is not a row.
    virtual bool AddAt(CTreeNodeUI* node, CTreeNodeUI* before);
    // Inserts the node and its descendants from the index on; the row after the last
    // of them, or -1.
    virtual int AddAt(CTreeNodeUI* node, int index);
    virtual bool Remove(CTreeNodeUI* node);
    virtual bool OnCheckBoxChanged(void* param);
    virtual bool OnFolderChanged(void* param);
    virtual bool OnDBClickItem(void* param);
    virtual bool CheckDescendants(bool checked, CTreeNodeUI* node);
    virtual bool ExpandDescendants(bool expanded, CTreeNodeUI* node);
    virtual void SetVisibleFolderBtn(bool visible);
    virtual bool GetVisibleFolderBtn() const;
    virtual void SetVisibleCheckBtn(bool visible);
    virtual bool GetVisibleCheckBtn() const;
    virtual void SetItemMinWidth(UINT width);
    virtual UINT GetItemMinWidth() const;
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelItemTextColor(DWORD color);
    virtual void SetSelItemHotTextColor(DWORD color);

private:
    // Subscribes the view to the node's events and gives it the view's settings.
    void Adopt(CTreeNodeUI* node);
    CTreeNodeUI* NodeAt(int index) const;
    // The nodes a walk over the whole tree starts from: the rows without a parent node.
    CUIPtrArray RootNodes() const;
    void ForEachNode(void (CTreeNodeUI::*set)(DWORD), DWORD value);
    void SetExpanded(CTreeNodeUI* node, bool expanded);

    UINT m_itemMinWidth = 0;
    bool m_visibleFolderBtn = true;
    bool m_visibleCheckBtn = false;
};

CControlUI* CreateTreeViewControl();

}  // namespace HiveUI
