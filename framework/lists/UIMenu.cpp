#include "UIMenu.h"

#include <algorithm>
#include <cwchar>

#include "DpiScale.h"
#include "UIListHeader.h"
#include "UIManager.h"

namespace HiveUI {

bool IsMenuElement(CControlUI* control) {
    return control != nullptr && control->GetInterface(L"MenuElement") != nullptr;
}

bool IsVisibleControl(CControlUI* control) { return control != nullptr && control->IsVisible(); }

SIZE EstimateStacked(const IContainerUI& items, SIZE available, bool (*counts)(CControlUI*)) {
    SIZE total = {0, 0};
    for (int i = 0; i < items.GetCount(); ++i) {
        CControlUI* item = items.GetItemAt(i);
        if (!counts(item)) continue;
        const SIZE size = item->EstimateSize(available);
        total.cx = std::max(total.cx, size.cx);
        total.cy += size.cy;
    }
    return total;
}

CControlUI* CreateMenuControl() { return new CMenuUI; }

CMenuUI::CMenuUI() {
    if (GetHeader() != nullptr) GetHeader()->SetVisible(false);
}

const wchar_t* CMenuUI::GetClass() const { return L"MenuUI"; }

LPVOID CMenuUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Menu") == 0) return static_cast<CMenuUI*>(this);
    return CListUI::GetInterface(name);
}

int CMenuUI::GetListType() { return UILIST_MENU; }

CControlUI* CMenuUI::AcceptedItem(CControlUI* control) {
    if (!IsMenuElement(control)) return nullptr;
    auto* item = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
    for (int i = 0; item != nullptr && i < item->GetCount(); ++i) {
        if (IsMenuElement(item->GetItemAt(i))) item->GetItemAt(i)->SetVisibleByParent(false);
    }
    return control;
}

bool CMenuUI::Add(CControlUI* control) {
    return AcceptedItem(control) != nullptr && CListUI::Add(control);
}

bool CMenuUI::AddAt(CControlUI* control, int index) {
    return AcceptedItem(control) != nullptr && CListUI::AddAt(control, index);
}

int CMenuUI::GetItemIndex(CControlUI* control) const {
    return IsMenuElement(control) ? CListUI::GetItemIndex(control) : -1;
}

bool CMenuUI::SetItemIndex(CControlUI* control, int index) {
    return IsMenuElement(control) && CListUI::SetItemIndex(control, index);
}

bool CMenuUI::Remove(CControlUI* control) { return IsMenuElement(control) && CListUI::Remove(control); }

SIZE CMenuUI::EstimateSize(SIZE available) {
    const SIZE total = EstimateStacked(*this, available, IsVisibleControl);
    const int width = m_manager != nullptr ? m_manager->GetDpiScale()->ScaleBack(total.cx) : total.cx;
    // Layout measures again after every change of a fixed size: set only what differs.
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* item = GetItemAt(i);
        if (item->IsVisible() && item->GetFixedWidth() != total.cx) item->SetFixedWidth(width);
    }
    return total;
}

}  // namespace HiveUI
