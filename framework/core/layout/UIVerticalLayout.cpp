#include "UIVerticalLayout.h"

namespace HiveUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(kVerticalAxis) {}

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"sepheight") == 0) {
        SetSepHeight(_wtoi(value));
    } else {
        CStackLayoutUI::SetAttribute(name, value);
    }
}

CControlUI* CreateVerticalLayoutControl() { return new CVerticalLayoutUI; }

}  // namespace HiveUI
