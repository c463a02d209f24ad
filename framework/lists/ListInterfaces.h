// The interfaces through which controls that show rows (lists, combo boxes, tree views,
// menus) and their rows reach each other without knowing each other's classes. A row
// asks its owner for "IListOwner" (and "IList"); an owner asks a row for "ListItem".
#pragma once

#include <windows.h>

#include "UIEvent.h"

namespace HiveUI {

class CContainerUI;
class CControlUI;
class CListHeaderUI;
struct TListStyle;

// The control flag every row answers: a row activates itself on Return.
constexpr UINT UIFLAG_WANTRETURN = 0x00000004;

// Kinds of row owners, as GetListType tells them.
enum ListType : int {
    UILIST_LIST = 0,
    UILIST_COMBO = 1,
    UILIST_TREE = 2,
    UILIST_MENU = 3,
};

class IListOwnerUI {
public:
    virtual int GetListType() = 0;
    virtual TListStyle* GetListStyle() = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    virtual bool SelectMultiItem(int index, bool takeFocus = false) = 0;
    virtual bool UnSelectItem(int index, bool others = false) = 0;
    virtual void DoEvent(TEventInfo& event) = 0;

protected:
    ~IListOwnerUI() = default;
};

// Supplies the cell texts of multi-column text rows.
class IListTextCallbackUI {
public:
    virtual const wchar_t* GetItemText(CControlUI* control, int index, int subItem) = 0;

protected:
    ~IListTextCallbackUI() = default;
};

class CComboBoxUI;

// Fills the extended list's inline combo box with the choices of one cell before it opens.
class IListComboFillerUI {
public:
    virtual void FillComboItems(CComboBoxUI* combo, int row, int column) = 0;

protected:
    ~IListComboFillerUI() = default;
};

class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CContainerUI* GetList() const = 0;
    virtual IListTextCallbackUI* GetTextCallback() const = 0;
    virtual void SetTextCallback(IListTextCallbackUI* callback) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    virtual int GetExpandedItem() const = 0;
    virtual void SetMultiSelect(bool multiSelect) = 0;
    virtual bool IsMultiSelect() const = 0;
    virtual void SelectAllItems() = 0;
    virtual void UnSelectAllItems() = 0;
    virtual int GetSelectItemCount() const = 0;
    virtual int GetNextSelItem(int index) const = 0;

protected:
    ~IListUI() = default;
};

class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true) = 0;
    virtual bool SelectMulti(bool select = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(HDC hdc, const RECT& rect) = 0;

protected:
    ~IListItemUI() = default;
};

}  // namespace HiveUI
