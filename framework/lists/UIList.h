// CListUI: rows under an optional column header. The list keeps the selection (single or
// multiple), the current and the expanded row and the list style its rows paint with,
// and moves the selection with the keyboard and the wheel. Its container operations
// reach the rows in its body; headers and column heads go to their own places.
#pragma once

#include <vector>

#include "ListInterfaces.h"
#include "ListStyle.h"
#include "UIVerticalLayout.h"

namespace HiveUI {

class CComboBoxUI;
class CListBodyUI;
class CListHeaderUI;
class CRichEditUI;

class CListUI : public CVerticalLayoutUI, public IListUI {
public:
    CListUI();
    ~CListUI() override;

    const wchar_t* GetClass() const override;
    UINT GetControlFlags() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    // IListOwnerUI
    int GetListType() override;
    TListStyle* GetListStyle() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    bool SelectMultiItem(int index, bool takeFocus = false) override;
    bool UnSelectItem(int index, bool others = false) override;
    void DoEvent(TEventInfo& event) override;

    // IListUI
    CListHeaderUI* GetHeader() const override;
    CContainerUI* GetList() const override;
    IListTextCallbackUI* GetTextCallback() const override;
    void SetTextCallback(IListTextCallbackUI* callback) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;
    void SetMultiSelect(bool multiSelect) override;
    bool IsMultiSelect() const override;
    void SelectAllItems() override;
    void UnSelectAllItems() override;
    int GetSelectItemCount() const override;
    int GetNextSelItem(int index) const override;

    // IContainerUI, over the rows in the body.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // Scrolling is the body's; the step size stays the list's.
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;
    bool IsDelayedDestroy() const override;
    void SetDelayedDestroy(bool delayed) override;
    void SetScrollStepSize(int size) override;
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos, bool notify = true) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // What the extended list answers for its columns; a plain list has no cell editors.
    virtual bool IsColumnEditable(int column);
    virtual CRichEditUI* GetInlineEdit();
    virtual bool IsColumnChoosable(int column);
    virtual CComboBoxUI* GetInlineCombo();

    void ScrollRowIntoView(int index);
    void ScrollBy(int dx, int dy);
    bool IsFixedScrollbar() const { return m_fixedScrollbar; }
    void SetFixedScrollbar(bool fixed);
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_scrollSelect = scrollSelect; }
    // Shows or hides the column heads of a hidden header as if by their parent, so that
    // they get real widths while the columns are measured.
    void SetHeaderItemsShown(bool shown);

protected:
    bool IsHeaderItem(CControlUI* control) const;
    // The row in the body at the index with its row interface, or null.
    IListItemUI* RowAt(int index) const;
    bool IsSelectedIndex(int index) const;
    void AddSelectedIndex(int index);
    // Keeps the selected, current and expanded indexes on their rows when a row leaves
    // (removed >= 0) or arrives (inserted >= 0) or both (a move).
    void RenumberIndexes(int removed, int inserted);
    void RenumberRows(int from, int to);
    void RefreshColumns();
    bool DoKeyDown(TEventInfo& event);
    bool DoWheel(TEventInfo& event);

    bool m_fixedScrollbar;
    bool m_scrollSelect;
    int m_curSel;
    bool m_multiSelect;
    std::vector<int> m_selected;
    int m_expandedItem;
    IListTextCallbackUI* m_callback;
    CListBodyUI* m_list;
    CListHeaderUI* m_header;
    TListStyle m_listStyle;

private:
    // Set while the list calls into its rows: a row answering with a call back into the
    // list's selection finds the list already doing the bookkeeping.
    int m_rowCalls;
    friend class CRowCall;
};

CControlUI* CreateListControl();

}  // namespace HiveUI
