#include "UIListHeaderItem.h"

#include <cwchar>

namespace HiveUI {

CControlUI* CreateListHeaderItemControl() { return new CListHeaderItemUI; }

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListHeaderItem") == 0) return static_cast<CListHeaderItemUI*>(this);
    return CListHeadBase::GetInterface(name);
}

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"scale") == 0) {
        SetScale(_wtoi(value));
    } else {
        CListHeadBase::SetAttribute(name, value);
    }
}

const wchar_t* CListHeaderItemUI::ClickNotification() const { return L"headerclick"; }

}  // namespace HiveUI
