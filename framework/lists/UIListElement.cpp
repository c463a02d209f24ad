#include "UIListElement.h"

#include <cwchar>

namespace HiveUI {

const wchar_t* CListElementUI::GetClass() const { return L"ListElementUI"; }

LPVOID CListElementUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListElement") == 0) return static_cast<CListElementUI*>(this);
    return CListRowBase::GetInterface(name);
}

void CListElementUI::DoEvent(TEventInfo& event) {
    if (DoActivateEvent(event)) return;
    PassToOwner(event);
}

bool CListElementUI::DoPaint(HDC hdc, const RECT&, CControlUI*) {
    DrawItemBk(hdc, m_item);
    DrawItemText(hdc, m_item);
    return true;
}

void CListElementUI::DrawItemText(HDC, const RECT&) {}

}  // namespace HiveUI
