#include "ListRowBase.h"

#include <cwchar>

#include "UIHorizontalLayout.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

template <class Base>
LPVOID CListRowBase<Base>::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    return Base::GetInterface(name);
}

template <class Base>
UINT CListRowBase<Base>::GetControlFlags() const {
    return UIFLAG_WANTRETURN;
}

template <class Base>
bool CListRowBase<Base>::Activate() {
    if (!Base::Activate()) return false;
    if (this->m_manager != nullptr) this->m_manager->SendNotify(this, L"itemactivate", 0, 0, false);
    return true;
}

template <class Base>
void CListRowBase<Base>::SetVisible(bool visible) {
    if (!visible && m_selected) {
        m_selected = false;
        if (m_owner != nullptr) m_owner->SelectItem(-1, false);
    }
    Base::SetVisible(visible);
}

template <class Base>
void CListRowBase<Base>::SetEnabled(bool enable) {
    if (!enable) m_buttonState = 0;
    Base::SetEnabled(enable);
}

// "selected" selects whatever its value says.
template <class Base>
void CListRowBase<Base>::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"selected") == 0) {
        Select(true);
    } else {
        Base::SetAttribute(name, value);
    }
}

template <class Base>
int CListRowBase<Base>::GetIndex() const {
    return m_index;
}

template <class Base>
void CListRowBase<Base>::SetIndex(int index) {
    m_index = index;
}

template <class Base>
IListOwnerUI* CListRowBase<Base>::GetOwner() {
    return m_owner;
}

template <class Base>
void CListRowBase<Base>::SetOwner(CControlUI* owner) {
    m_ownerControl = owner;
    m_owner = owner != nullptr ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
}

template <class Base>
bool CListRowBase<Base>::IsSelected() const {
    return m_selected;
}

template <class Base>
void CListRowBase<Base>::TellOwnerDeselected() {
    if (m_owner != nullptr) m_owner->UnSelectItem(m_index, false);
}

template <class Base>
bool CListRowBase<Base>::Select(bool select) {
    if (!this->IsEnabled()) return false;
    if (m_owner != nullptr && m_selected) m_owner->UnSelectItem(m_index, true);
    if (select == m_selected) return true;
    m_selected = select;
    if (select && m_owner != nullptr) m_owner->SelectItem(m_index, false);
    if (!select) TellOwnerDeselected();
    this->InvalidateClipped();
    return true;
}

template <class Base>
bool CListRowBase<Base>::SelectMulti(bool select) {
    if (!this->IsEnabled()) return false;
    if (select == m_selected) return true;
    m_selected = select;
    if (select && m_owner != nullptr) m_owner->SelectMultiItem(m_index, false);
    if (!select) TellOwnerDeselected();
    this->InvalidateClipped();
    return true;
}

template <class Base>
bool CListRowBase<Base>::IsExpanded() const {
    return false;
}

template <class Base>
bool CListRowBase<Base>::Expand(bool) {
    return false;
}

template <class Base>
TListStyle* CListRowBase<Base>::Style() const {
    return m_owner != nullptr ? m_owner->GetListStyle() : nullptr;
}

template <class Base>
void CListRowBase<Base>::DrawItemBk(HDC hdc, const RECT& rect) {
    const TListStyle* style = Style();
    if (style == nullptr) return;
    const bool hot = (m_buttonState & UISTATE_HOT) != 0;
    const bool enabled = this->IsEnabled();
    // Alternate rows leave the odd ones to whatever lies under the list.
    const bool plainLine = !style->bAlternateBk || m_index % 2 == 0;
    DWORD color = plainLine ? style->dwBkColor : 0;
    if (hot && style->dwHotBkColor != 0) color = style->dwHotBkColor;
    if (m_selected && style->dwSelectedBkColor != 0) color = style->dwSelectedBkColor;
    if (!enabled && style->dwDisabledBkColor != 0) color = style->dwDisabledBkColor;
    if (color != 0) CUIRender::DrawColor(hdc, rect, this->GetAdjustColor(color));

    const CUIString* stateImages[] = {!enabled ? &style->sDisabledImage : nullptr,
                                      m_selected ? &style->sSelectedImage : nullptr,
                                      hot ? &style->sHotImage : nullptr};
    for (const CUIString* image : stateImages) {
        if (image != nullptr && !image->IsEmpty() && this->DrawImage(hdc, *image)) return;
    }
    if (!this->m_bkImage.IsEmpty()) {
        if (plainLine) this->DrawImage(hdc, this->m_bkImage);
    } else if (!style->sBkImage.IsEmpty()) {
        this->DrawImage(hdc, style->sBkImage);
    }

    if (style->dwLineColor == 0) return;
    const DWORD line = this->GetAdjustColor(style->dwLineColor);
    if (style->bShowRowLine) CUIRender::DrawLine(hdc, {rect.left, rect.bottom - 1, rect.right, rect.bottom - 1}, 1, line);
    if (!style->bShowColumnLine) return;
    for (int i = 0; i < style->nColumns; ++i) {
        const LONG x = style->rcColumn[i].right - 1;
        CUIRender::DrawLine(hdc, {x, rect.top, x, rect.bottom}, 1, line);
    }
}

template <class Base>
bool CListRowBase<Base>::DoRowMouseEvent(TEventInfo& event) {
    const TListStyle* style = Style();
    switch (event.Type) {
        case UIEVENT_RBUTTONDOWN:
            if (style == nullptr || !style->bRSelected) return false;
            [[fallthrough]];
        case UIEVENT_BUTTONDOWN:
            if (!this->IsEnabled()) return true;
            if (::GetKeyState(VK_CONTROL) < 0) {
                SelectMulti(!IsSelected());
            } else {
                Select(true);
            }
            return true;
        case UIEVENT_BUTTONUP:
            if (this->IsEnabled() && this->m_manager != nullptr)
                this->m_manager->SendNotify(this, L"itemclick", 0, 0, false);
            return true;
        case UIEVENT_MOUSEMOVE:
            return true;
        case UIEVENT_MOUSEENTER:
            if (!this->IsEnabled()) return true;
            m_buttonState |= UISTATE_HOT;
            this->InvalidateClipped();
            return true;
        case UIEVENT_MOUSELEAVE:
            if ((m_buttonState & UISTATE_HOT) == 0) return true;
            m_buttonState &= ~UISTATE_HOT;
            this->InvalidateClipped();
            return true;
        default:
            return false;
    }
}

template <class Base>
bool CListRowBase<Base>::DoActivateEvent(TEventInfo& event) {
    const bool activating =
        event.Type == UIEVENT_DBLCLICK || (event.Type == UIEVENT_KEYDOWN && event.chKey == VK_RETURN);
    if (!activating || !this->IsEnabled()) return false;
    Activate();
    this->InvalidateClipped();
    return true;
}

template <class Base>
void CListRowBase<Base>::PassToOwner(TEventInfo& event) {
    if (m_owner != nullptr) {
        m_owner->DoEvent(event);
    } else {
        Base::DoEvent(event);
    }
}

template class CListRowBase<CControlUI>;
template class CListRowBase<CHorizontalLayoutUI>;

}  // namespace HiveUI
