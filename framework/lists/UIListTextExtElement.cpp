#include "UIListTextExtElement.h"

#include <cwchar>

#include "UIListEx.h"
#include "UIManager.h"

namespace HiveUI {

CControlUI* CreateListTextExtElementControl() { return new CListTextExtElementUI; }

const wchar_t* CListTextExtElementUI::GetClass() const { return L"ListTextExElementUI"; }

LPVOID CListTextExtElementUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListTextExElement") == 0) return static_cast<CListTextExtElementUI*>(this);
    return CListTextElementUI::GetInterface(name);
}

void CListTextExtElementUI::SetOwner(CControlUI* owner) {
    CListTextElementUI::SetOwner(owner);
    m_listEx = owner != nullptr ? static_cast<CListExUI*>(owner->GetInterface(L"ListEx")) : nullptr;
}

void CListTextExtElementUI::SetText(int column, const wchar_t* text) {
    if (m_list == nullptr || column < 0 || column >= m_list->GetListStyle()->nColumns) return;
    const int columns = m_list->GetListStyle()->nColumns;
    if (static_cast<int>(m_columnTexts.size()) < columns) m_columnTexts.resize(columns);
    const wchar_t* now = text != nullptr ? text : L"";
    if (m_columnTexts[column] == now) return;
    m_columnTexts[column] = now;
    InvalidateClipped();
}

void CListTextExtElementUI::SetCheck(bool check) {
    if (m_checkBox.SetCheck(check)) InvalidateClipped();
}

void CListTextExtElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (!m_checkBox.SetAttribute(name, value)) CListTextElementUI::SetAttribute(name, value);
}

bool CListTextExtElementUI::HasCheckableColumn() const {
    if (m_listEx == nullptr) return false;
    for (int i = 0; i < m_listEx->GetListStyle()->nColumns; ++i)
        if (m_listEx->IsColumnCheckable(i)) return true;
    return false;
}

int CListTextExtElementUI::ColumnAt(POINT pt) const {
    const TListStyle& style = *m_list->GetListStyle();
    for (int i = 0; i < style.nColumns; ++i) {
        const RECT cell = {style.rcColumn[i].left + style.rcTextPadding.left, m_item.top + style.rcTextPadding.top,
                           style.rcColumn[i].right - style.rcTextPadding.right,
                           m_item.bottom - style.rcTextPadding.bottom};
        if (::PtInRect(&cell, pt)) return i;
    }
    return -1;
}

// The editor sits one pixel inside the column and row borders, placed relative to the
// list, which it floats in.
void CListTextExtElementUI::OpenEditorAt(POINT pt) {
    const int column = ColumnAt(pt);
    if (column < 0) {
        m_listEx->ShowInlineEditor(m_index, -1, RECT{0, 0, 0, 0}, nullptr);
        return;
    }
    const RECT& bounds = m_list->GetListStyle()->rcColumn[column];
    const RECT list = m_listEx->GetPos();
    RECT cell = {bounds.left + 1, m_item.top + 1, bounds.right - 1, m_item.bottom - 1};
    ::OffsetRect(&cell, -list.left, -list.top);
    m_listEx->ShowInlineEditor(m_index, column, cell, GetText(column));
}

void CListTextExtElementUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CListTextElementUI::DoEvent(event);
        return;
    }
    if (DoLinkEvent(event)) return;
    if (event.Type == UIEVENT_BUTTONUP && m_listEx != nullptr && m_listEx->IsFocused()) OpenEditorAt(event.ptMouse);
    if (HasCheckableColumn()) {
        const CListCheckBox::TResult result = m_checkBox.DoEvent(event, m_checkBox.Rect(m_item));
        if (result.toggled && m_manager != nullptr) {
            m_manager->SendNotify(this, L"listitemchecked", static_cast<WPARAM>(LOWORD(m_index)),
                                  m_checkBox.GetCheck(), false);
        }
        if (result.repaint) InvalidateClipped();
    }
    CListLabelElementUI::DoEvent(event);
}

bool CListTextExtElementUI::DoPaint(HDC hdc, const RECT& paint, CControlUI*) {
    RECT meet;
    if (!::IntersectRect(&meet, &paint, &m_item)) return true;
    DrawItemBk(hdc, m_item);
    if (m_listEx != nullptr) {
        for (int i = 0; i < m_listEx->GetListStyle()->nColumns; ++i)
            if (m_listEx->IsColumnCheckable(i)) m_checkBox.Paint(hdc, *this, m_checkBox.Rect(m_item));
    }
    DrawItemText(hdc, m_item);
    return true;
}

void CListTextExtElementUI::AdjustCell(int column, RECT& cell, UINT& format) const {
    format |= DT_SINGLELINE;
    if (m_listEx != nullptr && m_listEx->IsColumnCheckable(column)) cell.left += m_checkBox.GetWidth();
}

}  // namespace HiveUI
