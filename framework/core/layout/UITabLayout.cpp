#include "UITabLayout.h"

#include <algorithm>

#include "UIManager.h"

namespace HiveUI {

CTabLayoutUI::CTabLayoutUI() = default;

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

// The page's own visibility decides, read before the container hands it the layout's:
// a tab filled while hidden must still select its first page.
bool CTabLayoutUI::Add(CControlUI* control) {
    const bool visible = control != nullptr && control->IsVisible();
    if (!CContainerUI::Add(control)) return false;
    if (m_curSel == -1 && visible) {
        m_curSel = GetItemIndex(control);
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    const bool visible = control != nullptr && control->IsVisible();
    if (!CContainerUI::AddAt(control, index)) return false;
    if (m_curSel == -1 && visible) {
        m_curSel = GetItemIndex(control);
        return true;
    }
    // A page inserted at or before the selection moves it on by one; either way only the
    // selected page may show.
    if (m_curSel != -1 && GetItemIndex(control) <= m_curSel) ++m_curSel;
    control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    if (control == nullptr) return false;
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control)) return false;
    if (index == m_curSel) {
        if (GetCount() > 0) {
            m_curSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_curSel = -1;
        }
        NeedParentLayout();
    } else if (index >= 0 && index < m_curSel) {
        --m_curSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_curSel = -1;
    CContainerUI::RemoveAll();
    NeedParentLayout();
}

bool CTabLayoutUI::SelectItem(CControlUI* control) {
    const int index = GetItemIndex(control);
    return index >= 0 && SelectItem(index);
}

void CTabLayoutUI::ShowOnly(int index) {
    for (int it = 0; it < GetCount(); ++it) {
        CControlUI* page = GetItemAt(it);
        if (it != index) {
            page->SetVisible(false);
            continue;
        }
        page->SetVisible(true);
        page->SetFocus();
    }
}

void CTabLayoutUI::NotifySelection(int oldSel) {
    if (m_manager == nullptr) return;
    m_manager->SetNextTabControl();
    m_manager->SendNotify(this, L"tabselect", m_curSel, oldSel);
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == m_curSel) return true;
    const int oldSel = m_curSel;
    m_curSel = index;
    ShowOnly(index);
    SetPos(m_item, true);
    NeedParentLayout();
    NotifySelection(oldSel);
    return true;
}

void CTabLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    RECT rc = {m_item.left + m_inset.left, m_item.top + m_inset.top, m_item.right - m_inset.right,
               m_item.bottom - m_inset.bottom};
    for (int it = 0; it < GetCount(); ++it) {
        CControlUI* child = GetItemAt(it);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(it);
            continue;
        }
        if (it != m_curSel) continue;
        const RECT pad = child->GetPadding();
        rc = {rc.left + pad.left, rc.top + pad.top, rc.right - pad.right, rc.bottom - pad.bottom};
        SIZE size = child->EstimateSize({rc.right - rc.left, rc.bottom - rc.top});
        if (size.cx == 0) {
            size.cx = std::max<LONG>(0, rc.right - rc.left);
            size.cx = std::min<LONG>(std::max<LONG>(size.cx, child->GetMinWidth()), child->GetMaxWidth());
        }
        if (size.cy == 0) {
            size.cy = std::max<LONG>(0, rc.bottom - rc.top);
            size.cy = std::min<LONG>(std::max<LONG>(size.cy, child->GetMinHeight()), child->GetMaxHeight());
        }
        child->SetPos({rc.left, rc.top, rc.left + size.cx, rc.top + size.cy}, true);
    }
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"selectedid") == 0) SelectItem(_wtoi(value));
    CContainerUI::SetAttribute(name, value);
}

CControlUI* CreateTabLayoutControl() { return new CTabLayoutUI; }

}  // namespace HiveUI
