#include "UIListEx.h"

#include <cwchar>

#include "DpiScale.h"
#include "UIComboBox.h"
#include "UIListBody.h"
#include "UIListContainerHeaderItem.h"
#include "UIListHeader.h"
#include "UIListTextExtElement.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UIRichEdit.h"

namespace HiveUI {

namespace {

CListTextExtElementUI* AsExtRow(CControlUI* control) {
    return control != nullptr ? static_cast<CListTextExtElementUI*>(control->GetInterface(L"ListTextExElement"))
                              : nullptr;
}

}  // namespace

CControlUI* CreateListExControl() { return new CListExUI; }

CListExUI::~CListExUI() {
    if (m_manager == nullptr) return;
    m_manager->RemoveMessageFilter(this);
    m_manager->RemoveNotifier(this);
}

const wchar_t* CListExUI::GetClass() const { return L"XListUI"; }

LPVOID CListExUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListEx") == 0) return static_cast<CListExUI*>(this);
    return CListUI::GetInterface(name);
}

// The list hears presses before the manager moves the focus, so that a press on the list
// closes an open editor before the editor's losing the focus could write it back.
void CListExUI::DoInit() {
    CListUI::DoInit();
    if (m_manager != nullptr) m_manager->AddMessageFilter(this);
}

LRESULT CListExUI::MessageHandler(UINT msg, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;
    if (msg != WM_LBUTTONDOWN || m_editRow < 0 || !IsVisible()) return 0;
    const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    for (CControlUI* editor : {static_cast<CControlUI*>(m_edit), static_cast<CControlUI*>(m_combo)}) {
        if (editor == nullptr) continue;
        const RECT rect = editor->GetPos();
        if (::PtInRect(&rect, pt)) return 0;
    }
    if (::PtInRect(&m_item, pt)) HideInlineEditors();
    return 0;
}

void CListExUI::DoEvent(TEventInfo& event) {
    if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_SCROLLWHEEL) HideInlineEditors();
    CListUI::DoEvent(event);
}

// ---- Columns

CListContainerHeaderItemUI* CListExUI::HeadAt(int column) const {
    CControlUI* head = m_header != nullptr ? m_header->GetItemAt(column) : nullptr;
    return head != nullptr ? static_cast<CListContainerHeaderItemUI*>(head->GetInterface(L"ListContainerHeaderItem"))
                           : nullptr;
}

bool CListExUI::IsColumnEditable(int column) {
    const CListContainerHeaderItemUI* head = HeadAt(column);
    return head != nullptr && head->IsColumnEditable();
}

bool CListExUI::IsColumnChoosable(int column) {
    const CListContainerHeaderItemUI* head = HeadAt(column);
    return head != nullptr && head->IsColumnChoosable();
}

bool CListExUI::IsColumnCheckable(int column) {
    const CListContainerHeaderItemUI* head = HeadAt(column);
    return head != nullptr && head->IsColumnCheckable();
}

IListComboFillerUI* CListExUI::GetComboFiller() { return m_comboFiller; }
void CListExUI::SetComboFiller(IListComboFillerUI* filler) { m_comboFiller = filler; }

// ---- Editors

CRichEditUI* CListExUI::GetInlineEdit() {
    if (m_edit == nullptr) {
        m_edit = new CRichEditUI;
        m_edit->SetName(L"ListEx_Edit");
        if (m_manager != nullptr) {
            if (const wchar_t* defaults = m_manager->GetDefaultAttributeList(L"RichEdit")) m_edit->ApplyAttributeList(defaults);
        }
        m_edit->SetBkColor(0xFFFFFFFF);
        m_edit->SetRich(false);
        m_edit->SetMultiLine(false);
        m_edit->SetWantReturn(true);
        m_edit->SetFloat(true);
        m_edit->SetAttribute(L"autohscroll", L"true");
        Add(m_edit);
    }
    if (m_combo != nullptr) CollapseEditor(m_combo);
    return m_edit;
}

CComboBoxUI* CListExUI::GetInlineCombo() {
    if (m_combo == nullptr) {
        m_combo = new CComboBoxUI;
        m_combo->SetName(L"ListEx_Combo");
        if (m_manager != nullptr) {
            if (const wchar_t* defaults = m_manager->GetDefaultAttributeList(L"Combo")) m_combo->ApplyAttributeList(defaults);
        }
        // Floating, so that it lies over the rows instead of taking a place beside them.
        m_combo->SetFloat(true);
        CollapseEditor(m_combo);
        Add(m_combo);
    }
    if (m_edit != nullptr) CollapseEditor(m_edit);
    return m_combo;
}

void CListExUI::PlaceEditor(CControlUI* editor, const RECT& cell) {
    // Fixed sizes are read through the DPI scale; the cell is in pixels already.
    const CDpiScale* dpi = m_manager != nullptr ? m_manager->GetDpiScale() : nullptr;
    auto unscaled = [dpi](int n) { return dpi != nullptr ? dpi->ScaleBack(n) : n; };
    editor->SetFixedXY(SIZE{unscaled(cell.left), unscaled(cell.top)});
    editor->SetFixedWidth(unscaled(cell.right - cell.left));
    editor->SetFixedHeight(unscaled(cell.bottom - cell.top));
    editor->SetPos(RECT{m_item.left + cell.left, m_item.top + cell.top, m_item.left + cell.right, m_item.top + cell.bottom});
    editor->SetVisible(true);
}

void CListExUI::CollapseEditor(CControlUI* editor) {
    const RECT at = editor->GetPos();
    // Presses and the wheel collapse the editors whether they are open or not.
    if (editor->GetFixedWidth() == 0 && editor->GetFixedHeight() == 0 && ::IsRectEmpty(&at)) return;
    editor->SetFixedWidth(0);
    editor->SetFixedHeight(0);
    editor->SetPos(RECT{at.left, at.top, at.left, at.top});
}

void CListExUI::ShowInlineEditor(int row, int column, RECT cell, const wchar_t* text) {
    // Whatever was open closes first: its text belongs to another cell.
    HideInlineEditors();
    if (column < 0) return;
    if (IsColumnEditable(column)) {
        if (CRichEditUI* edit = GetInlineEdit()) {
            m_editRow = row;
            m_editColumn = column;
            PlaceEditor(edit, cell);
            const SIZE line = m_manager != nullptr
                                  ? CUIRender::GetTextSize(m_manager->GetPaintDC(), m_manager, L"TTT", m_listStyle.nFont)
                                  : SIZE{0, 0};
            edit->SetTextPadding(RECT{2, (cell.bottom - cell.top - line.cy) / 2, 2, 0});
            edit->SetText(text != nullptr ? text : L"");
            edit->SetFocus();
            return;
        }
    }
    if (IsColumnChoosable(column)) {
        if (CComboBoxUI* combo = GetInlineCombo()) {
            combo->RemoveAll();
            m_editRow = row;
            m_editColumn = column;
            combo->SetText(text != nullptr ? text : L"");
            if (m_comboFiller != nullptr) {
                m_filling = true;
                m_comboFiller->FillComboItems(combo, row, column);
                m_filling = false;
            }
            PlaceEditor(combo, cell);
        }
    }
}

void CListExUI::HideInlineEditors() {
    // Forgotten first: hiding the edit takes its focus, and that must not write it back.
    m_editRow = -1;
    m_editColumn = -1;
    if (m_edit != nullptr) {
        CollapseEditor(m_edit);
        m_edit->SetVisible(false);
    }
    if (m_combo != nullptr) CollapseEditor(m_combo);
}

void CListExUI::WriteBack(const CUIString& text) {
    const int row = m_editRow;
    const int column = m_editColumn;
    m_editRow = -1;
    m_editColumn = -1;
    if (CListTextExtElementUI* ext = AsExtRow(GetItemAt(row))) ext->SetText(column, text);
}

// ---- Rows moving under an open editor

bool CListExUI::AddAt(CControlUI* control, int index) {
    if (!CListUI::AddAt(control, index)) return false;
    if (m_editRow >= 0 && index <= m_editRow && m_list->GetItemIndex(control) >= 0) ++m_editRow;
    return true;
}

bool CListExUI::SetItemIndex(CControlUI* control, int index) {
    const int old = m_list->GetItemIndex(control);
    if (!CListUI::SetItemIndex(control, index)) return false;
    if (old >= 0 && old != index && m_editRow >= 0) HideInlineEditors();
    return true;
}

bool CListExUI::RemoveAt(int index) {
    if (!CListUI::RemoveAt(index)) return false;
    if (index == m_editRow) {
        HideInlineEditors();
    } else if (index < m_editRow) {
        --m_editRow;
    }
    return true;
}

void CListExUI::RemoveAll() {
    HideInlineEditors();
    CListUI::RemoveAll();
}

// ---- Notifications

bool CListExUI::AllRowsChecked() const {
    for (int i = 0; i < m_list->GetCount(); ++i) {
        const CListTextExtElementUI* row = AsExtRow(m_list->GetItemAt(i));
        if (row != nullptr && !row->GetCheck()) return false;
    }
    return true;
}

void CListExUI::CheckAllRows(bool check) {
    for (int i = 0; i < m_list->GetCount(); ++i) {
        if (CListTextExtElementUI* row = AsExtRow(m_list->GetItemAt(i))) row->SetCheck(check);
    }
}

void CListExUI::Notify(TNotifyInfo& msg) {
    CControlUI* sender = msg.pSender;
    if (sender == nullptr) return;
    if (msg.sType == L"listheaditemchecked") {
        if (m_header != nullptr && m_header->GetItemIndex(sender) >= 0) CheckAllRows(msg.lParam != 0);
    } else if (msg.sType == L"listitemchecked") {
        if (m_list->GetItemIndex(sender) < 0) return;
        if (CListContainerHeaderItemUI* head = HeadAt(HIWORD(msg.wParam)))
            head->SetCheck(msg.lParam != 0 && AllRowsChecked());
    } else if (sender == m_edit) {
        if (msg.sType == L"killfocus" && m_editRow >= 0 && m_editColumn >= 0) {
            WriteBack(m_edit->GetText());
            CollapseEditor(m_edit);
            m_edit->SetVisible(false);
        }
    } else if (sender == m_combo) {
        // The combo reports a choice as "itemselect" with the new index; a cleared
        // selection is no choice.
        if (msg.sType == L"itemselect" && static_cast<int>(msg.wParam) >= 0 && !m_filling && m_editRow >= 0 &&
            m_editColumn >= 0) {
            WriteBack(m_combo->GetText());
            CollapseEditor(m_combo);
        }
    } else if (msg.sType == L"scroll") {
        if ((m_edit != nullptr || m_combo != nullptr) && m_editRow >= 0 && m_editColumn >= 0) HideInlineEditors();
    }
}

}  // namespace HiveUI
