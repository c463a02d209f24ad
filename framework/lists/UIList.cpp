#include "UIList.h"

#include <algorithm>
#include <cwchar>

#include "SkinValue.h"
#include "UIListBody.h"
#include "UIListHeader.h"
#include "UIManager.h"
#include "UIScrollBar.h"

namespace HiveUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

// Where an index ends up when the row at `removed` leaves and a row arrives at
// `inserted` (either may be -1); -1 for the row that left without arriving again.
int Renumbered(int index, int removed, int inserted) {
    if (index == removed) return inserted;
    if (removed >= 0 && index > removed) --index;
    if (inserted >= 0 && index >= inserted) ++index;
    return index;
}

}  // namespace

// Marks the list as calling into one of its rows for the call's duration.
class CRowCall {
public:
    explicit CRowCall(CListUI& list) : m_list(list) { ++m_list.m_rowCalls; }
    ~CRowCall() { --m_list.m_rowCalls; }
    CRowCall(const CRowCall&) = delete;
    CRowCall& operator=(const CRowCall&) = delete;

private:
    CListUI& m_list;
};

CControlUI* CreateListControl() { return new CListUI; }

CListUI::CListUI()
    : m_fixedScrollbar(false),
      m_scrollSelect(false),
      m_curSel(-1),
      m_multiSelect(false),
      m_expandedItem(-1),
      m_callback(nullptr),
      m_list(new CListBodyUI(this)),
      m_header(new CListHeaderUI),
      m_rowCalls(0) {
    Add(m_header);
    CVerticalLayoutUI::Add(m_list);
}

CListUI::~CListUI() = default;

const wchar_t* CListUI::GetClass() const { return L"ListUI"; }

UINT CListUI::GetControlFlags() const { return UIFLAG_TABSTOP; }

LPVOID CListUI::GetInterface(const wchar_t* name) {
    if (Is(name, L"List")) return static_cast<CListUI*>(this);
    if (Is(name, L"IList")) return static_cast<IListUI*>(this);
    if (Is(name, L"IListOwner")) return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

int CListUI::GetListType() { return UILIST_LIST; }
TListStyle* CListUI::GetListStyle() { return &m_listStyle; }
CListHeaderUI* CListUI::GetHeader() const { return m_header; }
CContainerUI* CListUI::GetList() const { return m_list; }
IListTextCallbackUI* CListUI::GetTextCallback() const { return m_callback; }
void CListUI::SetTextCallback(IListTextCallbackUI* callback) { m_callback = callback; }
int CListUI::GetExpandedItem() const { return m_expandedItem; }
bool CListUI::IsMultiSelect() const { return m_multiSelect; }
int CListUI::GetSelectItemCount() const { return static_cast<int>(m_selected.size()); }
int CListUI::GetCurSel() const { return m_selected.empty() ? -1 : m_selected.front(); }

bool CListUI::IsColumnEditable(int) { return false; }
CRichEditUI* CListUI::GetInlineEdit() { return nullptr; }
bool CListUI::IsColumnChoosable(int) { return false; }
CComboBoxUI* CListUI::GetInlineCombo() { return nullptr; }

// ---- Selection

IListItemUI* CListUI::RowAt(int index) const {
    CControlUI* row = m_list->GetItemAt(index);
    return row != nullptr ? static_cast<IListItemUI*>(row->GetInterface(L"ListItem")) : nullptr;
}

bool CListUI::IsSelectedIndex(int index) const {
    return std::find(m_selected.begin(), m_selected.end(), index) != m_selected.end();
}

void CListUI::AddSelectedIndex(int index) {
    if (!IsSelectedIndex(index)) m_selected.push_back(index);
}

bool CListUI::SelectItem(int index, bool takeFocus) {
    if (m_rowCalls > 0) return true;
    UnSelectAllItems();
    IListItemUI* row = index >= 0 ? RowAt(index) : nullptr;
    if (row == nullptr) return false;
    {
        CRowCall call(*this);
        if (!row->Select(true)) return false;
    }
    // The current index has just passed through -1, so selecting the same row again
    // reports it again.
    const int old = m_curSel;
    m_curSel = index;
    AddSelectedIndex(index);
    ScrollRowIntoView(index);
    if (takeFocus) m_list->GetItemAt(index)->SetFocus();
    if (m_manager != nullptr && m_curSel != old)
        m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), 0, false);
    return true;
}

bool CListUI::SelectMultiItem(int index, bool takeFocus) {
    if (!m_multiSelect) return SelectItem(index, takeFocus);
    if (m_rowCalls > 0) return true;
    IListItemUI* row = index >= 0 ? RowAt(index) : nullptr;
    if (row == nullptr || IsSelectedIndex(index)) return false;
    {
        CRowCall call(*this);
        if (!row->SelectMulti(true)) return false;
    }
    m_curSel = index;
    AddSelectedIndex(index);
    ScrollRowIntoView(index);
    if (takeFocus) m_list->GetItemAt(index)->SetFocus();
    if (m_manager != nullptr) m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), 0, false);
    return true;
}

bool CListUI::UnSelectItem(int index, bool others) {
    if (!m_multiSelect) return false;
    if (m_rowCalls > 0) return true;
    CRowCall call(*this);
    if (others) {
        for (int i = static_cast<int>(m_selected.size()) - 1; i >= 0; --i) {
            const int selected = m_selected[i];
            if (selected == index) continue;
            CControlUI* control = m_list->GetItemAt(selected);
            IListItemUI* row = RowAt(selected);
            if (row == nullptr || !control->IsEnabled() || !row->SelectMulti(false)) continue;
            m_selected.erase(m_selected.begin() + i);
        }
        return true;
    }
    CControlUI* control = m_list->GetItemAt(index);
    IListItemUI* row = index >= 0 ? RowAt(index) : nullptr;
    if (row == nullptr || !control->IsEnabled() || !IsSelectedIndex(index) || !row->SelectMulti(false)) return false;
    if (m_curSel == index) m_curSel = -1;
    m_selected.erase(std::find(m_selected.begin(), m_selected.end(), index));
    return true;
}

void CListUI::SelectAllItems() {
    CRowCall call(*this);
    for (int i = 0; i < m_list->GetCount(); ++i) {
        CControlUI* control = m_list->GetItemAt(i);
        IListItemUI* row = RowAt(i);
        if (row == nullptr || !control->IsVisible() || !control->IsEnabled() || !row->SelectMulti(true)) continue;
        AddSelectedIndex(i);
        m_curSel = i;
    }
}

void CListUI::UnSelectAllItems() {
    {
        CRowCall call(*this);
        for (int index : m_selected) {
            CControlUI* control = m_list->GetItemAt(index);
            IListItemUI* row = RowAt(index);
            if (row != nullptr && control->IsEnabled()) row->SelectMulti(false);
        }
    }
    m_selected.clear();
    m_curSel = -1;
}

void CListUI::SetMultiSelect(bool multiSelect) {
    m_multiSelect = multiSelect;
    if (!multiSelect) UnSelectAllItems();
}

int CListUI::GetNextSelItem(int index) const {
    if (m_selected.empty()) return -1;
    if (index < 0) return m_selected.front();
    auto it = std::find(m_selected.begin(), m_selected.end(), index);
    if (it == m_selected.end() || it + 1 == m_selected.end()) return -1;
    return *(it + 1);
}

bool CListUI::ExpandItem(int index, bool expand) {
    if (m_expandedItem >= 0 && !m_listStyle.bMultiExpandable) {
        if (IListItemUI* row = RowAt(m_expandedItem)) row->Expand(false);
        m_expandedItem = -1;
    }
    if (expand) {
        CControlUI* control = m_list->GetItemAt(index);
        IListItemUI* row = RowAt(index);
        if (row == nullptr || !control->IsVisible()) return false;
        m_expandedItem = index;
        if (!row->Expand(true)) {
            m_expandedItem = -1;
            return false;
        }
    }
    NeedLayout();
    return true;
}

// ---- Rows and heads

bool CListUI::IsHeaderItem(CControlUI* control) const { return wcsstr(control->GetClass(), L"ListHeaderItemUI") != nullptr; }

void CListUI::RefreshColumns() {
    if (m_header != nullptr) m_listStyle.SetColumnCount(m_header->GetCount());
}

void CListUI::RenumberRows(int from, int to) {
    for (int i = std::max(from, 0); i <= to && i < m_list->GetCount(); ++i) {
        if (IListItemUI* row = RowAt(i)) row->SetIndex(i);
    }
}

void CListUI::RenumberIndexes(int removed, int inserted) {
    std::vector<int> kept;
    for (int index : m_selected) {
        const int now = Renumbered(index, removed, inserted);
        if (now >= 0) kept.push_back(now);
    }
    m_selected.swap(kept);
    if (m_expandedItem >= 0) m_expandedItem = Renumbered(m_expandedItem, removed, inserted);
}

CControlUI* CListUI::GetItemAt(int index) const { return m_list->GetItemAt(index); }
int CListUI::GetCount() const { return m_list->GetCount(); }

int CListUI::GetItemIndex(CControlUI* control) const {
    if (control == nullptr) return -1;
    if (control->GetInterface(L"ListHeader") != nullptr) return CVerticalLayoutUI::GetItemIndex(control);
    if (IsHeaderItem(control)) return m_header != nullptr ? m_header->GetItemIndex(control) : -1;
    return m_list->GetItemIndex(control);
}

bool CListUI::Add(CControlUI* control) {
    if (control == nullptr) return false;
    if (auto* header = static_cast<CListHeaderUI*>(control->GetInterface(L"ListHeader"))) {
        // A header of the skin's own takes the place of the empty one the list made.
        if (header != m_header && (m_header == nullptr || m_header->GetCount() == 0)) {
            if (m_header != nullptr) CVerticalLayoutUI::Remove(m_header);
            m_header = header;
        }
        RefreshColumns();
        return CVerticalLayoutUI::AddAt(control, 0);
    }
    if (IsHeaderItem(control)) {
        const bool added = m_header != nullptr && m_header->Add(control);
        RefreshColumns();
        return added;
    }
    if (auto* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"))) {
        row->SetOwner(this);
        row->SetIndex(m_list->GetCount());
        return m_list->Add(control);
    }
    return CVerticalLayoutUI::Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr) return false;
    if (control->GetInterface(L"ListHeader") != nullptr) return Add(control);
    if (IsHeaderItem(control)) {
        const bool added = m_header != nullptr && m_header->AddAt(control, index);
        RefreshColumns();
        return added;
    }
    if (!m_list->AddAt(control, index)) return false;
    if (auto* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"))) {
        row->SetOwner(this);
        row->SetIndex(index);
    }
    RenumberRows(index + 1, m_list->GetCount() - 1);
    if (m_curSel >= index) ++m_curSel;
    RenumberIndexes(-1, index);
    return true;
}

bool CListUI::SetItemIndex(CControlUI* control, int index) {
    if (control == nullptr) return false;
    if (control->GetInterface(L"ListHeader") != nullptr) return CVerticalLayoutUI::SetItemIndex(control, index);
    if (IsHeaderItem(control)) return m_header != nullptr && m_header->SetItemIndex(control, index);
    const int old = m_list->GetItemIndex(control);
    if (old < 0) return false;
    if (old == index) return true;
    CControlUI* current = m_list->GetItemAt(m_curSel);
    if (!m_list->SetItemIndex(control, index)) return false;
    RenumberRows(std::min(old, index), std::max(old, index));
    m_curSel = current != nullptr ? m_list->GetItemIndex(current) : -1;
    RenumberIndexes(old, index);
    return true;
}

bool CListUI::Remove(CControlUI* control) {
    if (control == nullptr) return false;
    if (control->GetInterface(L"ListHeader") != nullptr) {
        // A list without its header goes on without columns rather than keep a dead one.
        if (control == m_header) m_header = nullptr;
        return CVerticalLayoutUI::Remove(control);
    }
    if (IsHeaderItem(control)) return m_header != nullptr && m_header->Remove(control);
    const int index = m_list->GetItemIndex(control);
    return index >= 0 && RemoveAt(index);
}

bool CListUI::RemoveAt(int index) {
    if (!m_list->RemoveAt(index)) return false;
    RenumberRows(index, m_list->GetCount() - 1);
    RenumberIndexes(index, -1);
    if (index == m_curSel) {
        m_curSel = -1;
        SelectItem(m_list->FindSelectable(index, false), false);
    } else if (index < m_curSel) {
        --m_curSel;
    }
    return true;
}

void CListUI::RemoveAll() {
    m_curSel = -1;
    m_expandedItem = -1;
    m_selected.clear();
    m_list->RemoveAll();
}

// ---- Scrolling, forwarded to the body

int CListUI::GetChildPadding() const { return m_list->GetChildPadding(); }
void CListUI::SetChildPadding(int padding) { m_list->SetChildPadding(padding); }
bool CListUI::IsDelayedDestroy() const { return m_list->IsDelayedDestroy(); }
void CListUI::SetDelayedDestroy(bool delayed) { m_list->SetDelayedDestroy(delayed); }

void CListUI::SetScrollStepSize(int size) {
    CVerticalLayoutUI::SetScrollStepSize(size);
    m_list->SetScrollStepSize(size);
}

SIZE CListUI::GetScrollPos() const { return m_list->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return m_list->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE pos, bool notify) { m_list->SetScrollPos(pos, notify); }
void CListUI::LineUp() { m_list->LineUp(); }
void CListUI::LineDown() { m_list->LineDown(); }
void CListUI::PageUp() { m_list->PageUp(); }
void CListUI::PageDown() { m_list->PageDown(); }
void CListUI::HomeUp() { m_list->HomeUp(); }
void CListUI::EndDown() { m_list->EndDown(); }
void CListUI::LineLeft() { m_list->LineLeft(); }
void CListUI::LineRight() { m_list->LineRight(); }
void CListUI::PageLeft() { m_list->PageLeft(); }
void CListUI::PageRight() { m_list->PageRight(); }
void CListUI::HomeLeft() { m_list->HomeLeft(); }
void CListUI::EndRight() { m_list->EndRight(); }
void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    m_list->EnableScrollBar(enableVertical, enableHorizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_list->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_list->GetHorizontalScrollBar(); }

void CListUI::ScrollRowIntoView(int index) {
    if (m_curSel < 0) return;
    CControlUI* row = m_list->GetItemAt(index);
    if (row == nullptr) return;
    const RECT item = row->GetPos();
    RECT body = m_list->GetPos();
    const RECT inset = m_list->GetInset();
    body.left += inset.left;
    body.top += inset.top;
    body.right -= inset.right;
    body.bottom -= inset.bottom;
    const CScrollBarUI* bar = m_list->GetHorizontalScrollBar();
    if (bar != nullptr && bar->IsVisible()) body.bottom -= bar->GetFixedHeight();
    if (item.top >= body.top && item.bottom < body.bottom) return;
    int dy = 0;
    if (item.top < body.top) dy = item.top - body.top;
    if (item.bottom > body.bottom) dy = item.bottom - body.bottom;
    ScrollBy(0, dy);
}

void CListUI::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    SIZE pos = m_list->GetScrollPos();
    m_list->SetScrollPos({pos.cx + dx, pos.cy + dy});
}

void CListUI::SetFixedScrollbar(bool fixed) {
    m_fixedScrollbar = fixed;
    Invalidate();
}

// ---- Layout

void CListUI::SetHeaderItemsShown(bool shown) {
    for (int i = 0; i < m_header->GetCount(); ++i) m_header->GetItemAt(i)->SetVisibleByParent(shown);
}

void CListUI::SetPos(RECT rect, bool needInvalidate) {
    CVerticalLayoutUI::SetPos(rect, needInvalidate);
    if (m_header == nullptr) return;
    RefreshColumns();
    // A hidden header is still laid out, so that rows keep their columns.
    const bool hidden = !m_header->IsVisible();
    if (hidden) {
        SetHeaderItemsShown(true);
        m_header->SetPos({m_item.left, 0, m_item.right, 0}, false);
    }
    for (int i = 0; i < m_listStyle.nColumns; ++i) {
        CControlUI* head = m_header->GetItemAt(i);
        if (head->IsVisible() && !head->IsFloat()) m_listStyle.rcColumn[i] = head->GetPos();
    }
    if (hidden) SetHeaderItemsShown(false);
    m_list->SetPos(m_list->GetPos(), needInvalidate);
}

void CListUI::Move(SIZE offset, bool needInvalidate) {
    CVerticalLayoutUI::Move(offset, needInvalidate);
    if (m_header != nullptr && !m_header->IsVisible()) m_header->Move(offset, false);
}

void CListUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"header")) {
        if (m_header != nullptr) m_header->SetVisible(!Is(value, L"hidden"));
    } else if (Is(name, L"headerbkimage")) {
        if (m_header != nullptr) m_header->SetBkImage(value);
    } else if (Is(name, L"scrollselect")) {
        SetScrollSelect(ReadSkinBool(value));
    } else if (Is(name, L"fixedscrollbar")) {
        SetFixedScrollbar(ReadSkinBool(value));
    } else if (Is(name, L"multiexpanding")) {
        m_listStyle.bMultiExpandable = ReadSkinBool(value);
    } else if (wcscmp(name, L"multiselect") == 0) {
        SetMultiSelect(wcscmp(value, L"true") == 0);
    } else if (Is(name, L"vscrollbar") || Is(name, L"vscrollbarstyle") || Is(name, L"hscrollbar") ||
               Is(name, L"hscrollbarstyle")) {
        // The bars are the body's: the body reads their keys against its own bars.
        m_list->SetAttribute(name, value);
    } else {
        switch (SetListStyleAttribute(m_listStyle, name, value)) {
            case ListStyleChange::kUnknownKey:
                CVerticalLayoutUI::SetAttribute(name, value);
                break;
            case ListStyleChange::kRepaint:
                Invalidate();
                break;
            case ListStyleChange::kRelayout:
                NeedLayout();
                break;
            case ListStyleChange::kNothing:
                break;
        }
    }
}

// ---- Events

bool CListUI::DoKeyDown(TEventInfo& event) {
    switch (event.chKey) {
        case VK_RETURN:
            if (m_curSel != -1) {
                if (CControlUI* row = m_list->GetItemAt(m_curSel)) row->Activate();
            }
            return true;
        case VK_PRIOR:
            PageUp();
            return true;
        case VK_NEXT:
            PageDown();
            return true;
        case VK_HOME:
            SelectItem(m_list->FindSelectable(0, false), true);
            return true;
        case VK_END:
            // Backwards from the last row finds the last selectable one.
            SelectItem(m_list->FindSelectable(m_list->GetCount() - 1, false), true);
            return true;
        case VK_UP: {
            if (m_selected.empty()) return true;
            const int up = *std::min_element(m_selected.begin(), m_selected.end()) - 1;
            UnSelectAllItems();
            SelectItem(up > 0 ? up : 0, true);
            return true;
        }
        case VK_DOWN: {
            if (m_selected.empty()) return true;
            const int down = *std::max_element(m_selected.begin(), m_selected.end()) + 1;
            UnSelectAllItems();
            SelectItem(down + 1 > m_list->GetCount() ? m_list->GetCount() - 1 : down, true);
            return true;
        }
        case 'A':
            if (!m_multiSelect || ::GetKeyState(VK_CONTROL) >= 0) return false;
            SelectAllItems();
            return true;
        default:
            return false;
    }
}

bool CListUI::DoWheel(TEventInfo& event) {
    const bool selects = m_scrollSelect && !m_multiSelect;
    switch (LOWORD(event.wParam)) {
        case SB_LINEUP:
            if (selects) {
                SelectItem(m_list->FindSelectable(m_curSel - 1, false), true);
            } else {
                LineUp();
            }
            return true;
        case SB_LINEDOWN:
            if (selects) {
                SelectItem(m_list->FindSelectable(m_curSel + 1, true), true);
            } else {
                LineDown();
            }
            return true;
        default:
            return false;
    }
}

void CListUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_parent != nullptr) {
            m_parent->DoEvent(event);
        } else {
            CVerticalLayoutUI::DoEvent(event);
        }
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS) {
        m_focused = event.Type == UIEVENT_SETFOCUS;
        return;
    }
    if (event.Type == UIEVENT_KEYDOWN && DoKeyDown(event)) return;
    if (event.Type == UIEVENT_SCROLLWHEEL && DoWheel(event)) return;
    CVerticalLayoutUI::DoEvent(event);
}

}  // namespace HiveUI
