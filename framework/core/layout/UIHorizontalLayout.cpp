#include "UIHorizontalLayout.h"

namespace HiveUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(kHorizontalAxis) {}

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"sepwidth") == 0) {
        SetSepWidth(_wtoi(value));
    } else {
        CStackLayoutUI::SetAttribute(name, value);
    }
}

CControlUI* CreateHorizontalLayoutControl() { return new CHorizontalLayoutUI; }

}  // namespace HiveUI
