// CIPAddressWnd: the native IP address window of an IP address field. It hides itself
// when the focus leaves it and is made visible again for the next edit.
#pragma once

#include <windows.h>

#include "NativeEditWnd.h"

namespace HiveUI {

class CIPAddressUI;

class CIPAddressWnd final : public CNativeEditWnd<CIPAddressUI> {
public:
    CIPAddressWnd();

    // Makes the window when there is none yet and starts editing the owner's address;
    // false when the window could not be made, and the object is then the caller's.
    bool Init(CIPAddressUI* owner);

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool Create(CIPAddressUI* owner);
    void EndOfEditing(int updateMode);
    void OnFocusLeft();

    bool m_initialised;
};

}  // namespace HiveUI
