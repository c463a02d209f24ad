#include "UIListContainerElement.h"

#include <cwchar>

#include "RenderClip.h"
#include "UIList.h"
#include "UIListHeader.h"
#include "UIManager.h"

namespace HiveUI {

CControlUI* CreateListContainerElementControl() { return new CListContainerElementUI; }

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

LPVOID CListContainerElementUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListContainerElement") == 0) return static_cast<CListContainerElementUI*>(this);
    return CListRowBase::GetInterface(name);
}

void CListContainerElementUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        PassToOwner(event);
        return;
    }
    if (DoRowMouseEvent(event) || DoActivateEvent(event)) return;
    if (event.Type == UIEVENT_TIMER) {
        if (m_manager != nullptr) m_manager->SendNotify(this, L"timer", event.wParam, event.lParam, false);
        return;
    }
    if (event.Type == UIEVENT_CONTEXTMENU && IsContextMenuUsed()) {
        if (m_manager != nullptr) m_manager->SendNotify(this, L"menu", event.wParam, event.lParam, false);
        return;
    }
    PassToOwner(event);
}

RECT CListContainerElementUI::GridPlace(RECT rect) const {
    const int width = GetFixedWidth();
    if (m_owner->GetListType() != UILIST_LIST || width <= 0) return rect;
    const int perLine = (rect.right - rect.left) / width;
    if (perLine <= 0) return rect;
    const int height = rect.bottom - rect.top;
    rect.left += width * (m_index % perLine);
    rect.right = rect.left + width;
    rect.top -= (m_index - m_index / perLine) * height;
    rect.bottom = rect.top + height;
    return rect;
}

void CListContainerElementUI::SetPos(RECT rect, bool needInvalidate) {
    if (m_owner == nullptr) return;
    CHorizontalLayoutUI::SetPos(GridPlace(rect), needInvalidate);
    FollowHeaderColumns();
}

// Children of a list's row stand under the header's columns, one child per column.
void CListContainerElementUI::FollowHeaderColumns() {
    const int type = m_owner->GetListType();
    if (type != UILIST_LIST && type != UILIST_TREE) return;
    auto* list = static_cast<CListUI*>(m_ownerControl->GetInterface(L"List"));
    if (list == nullptr) return;
    CListHeaderUI* header = list->GetHeader();
    if (header == nullptr || !header->IsVisible()) return;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* column = header->GetItemAt(i);
        if (column == nullptr) break;
        const RECT& head = column->GetPos();
        if (head.left == 0 && head.right == 0) continue;
        CControlUI* child = GetItemAt(i);
        RECT place = child->GetPos();
        place.left = head.left;
        place.right = head.right;
        child->SetPos(place, false);
    }
}

bool CListContainerElementUI::DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!::IntersectRect(&area, &paint, &m_item)) return true;
    CRenderClip clip;
    CRenderClip::GenerateClip(hdc, area, clip);
    DrawItemBk(hdc, m_item);
    return m_items.IsEmpty() || PaintChildren(hdc, paint, stopControl, clip);
}

void CListContainerElementUI::DrawItemText(HDC, const RECT&) {}

}  // namespace HiveUI
