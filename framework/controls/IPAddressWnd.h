// CIPAddressWnd: the native IP address window of an IP address field. It hides itself
// when the focus leaves it and is made visible again for the next edit.
#pragma once

#include <windows.h>

#include "WindowWnd.h"

namespace HiveUI {

class CIPAddressUI;

class CIPAddressWnd final : public CWindowWnd {
public:
    CIPAddressWnd();

    // Makes the window when there is none yet and starts editing the owner's address;
    // false when the window could not be made, and the object is then the caller's.
    bool Init(CIPAddressUI* owner);
    // The owner is going: the window must not reach it again.
    void Abandon();

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

private:
    bool Create(CIPAddressUI* owner);
    void EndOfEditing(int updateMode);
    void OnFocusLeft();

    CIPAddressUI* m_owner;
    bool m_initialised;
    bool m_created;
};

}  // namespace HiveUI
