#include "UICheckBox.h"

#include <cwchar>

#include "ControlLook.h"
#include "UIManager.h"

namespace HiveUI {

CControlUI* CreateCheckBoxControl() { return new CCheckBoxUI; }

CCheckBoxUI::CCheckBoxUI() : m_autoCheck(false) {}

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

LPVOID CCheckBoxUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"CheckBox") == 0) return static_cast<CCheckBoxUI*>(this);
    return COptionUI::GetInterface(name);
}

// Without auto-check the box toggles like any option, through Activate on release.
void CCheckBoxUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CButtonUI::DoEvent(event); })) return;
    if (!m_autoCheck || (event.Type != UIEVENT_BUTTONDOWN && event.Type != UIEVENT_DBLCLICK))
        return COptionUI::DoEvent(event);
    if (!PtInRect(&m_item, event.ptMouse) || !IsEnabled()) return;
    CDestructionWatch watch(m_watch);
    SetCheck(!GetCheck());
    if (watch.IsGone()) return;
    if (m_manager != nullptr) m_manager->SendNotify(this, L"checkclick");
    if (!watch.IsGone()) Invalidate();
}

void CCheckBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsKey(name, L"EnableAutoCheck")) SetAutoCheck(ReadSkinBool(value));
    COptionUI::SetAttribute(name, value);
}

void CCheckBoxUI::Selected(bool selected, bool trigger) { ApplySelection(selected, trigger, true); }

}  // namespace HiveUI
