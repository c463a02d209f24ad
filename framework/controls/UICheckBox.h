// CCheckBoxUI: an option that, with auto-check, toggles itself as soon as the button goes
// down and says so with "checkclick"; its "selectchanged" carries the new state.
#pragma once

#include <windows.h>

#include "UIOption.h"

namespace HiveUI {

class CCheckBoxUI : public COptionUI {
public:
    CCheckBoxUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void Selected(bool selected, bool trigger = true) override;

    bool GetCheck() const { return m_selected; }
    void SetCheck(bool check) { Selected(check, true); }
    bool IsAutoCheck() const { return m_autoCheck; }
    void SetAutoCheck(bool autoCheck) { m_autoCheck = autoCheck; }

private:
    bool m_autoCheck;
};

// The factory's creator of a check box.
CControlUI* CreateCheckBoxControl();

}  // namespace HiveUI
