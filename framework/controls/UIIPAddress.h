// CIPAddressUI: an IPv4 address shown as dotted label text and edited in a native IP
// address window, which stays with the field (hidden) between edits.
#pragma once

#include <windows.h>

#include "NativeFieldUI.h"

namespace HiveUI {

class CIPAddressWnd;
template <class>
class CNativeEditWnd;

// The first address of this machine's host name, first number in the most significant
// byte; 0 when it cannot be found.
DWORD GetLocalIpAddress();

class CIPAddressUI : public CNativeFieldUI {
    friend class CIPAddressWnd;
    template <class>
    friend class CNativeEditWnd;

public:
    CIPAddressUI();
    ~CIPAddressUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    // Writes the address as text (mode 1) or clears the text (mode 2); modes 0 and 3
    // leave it.
    void UpdateText();
    DWORD GetIPAddress() const { return m_address; }
    // The native window, shown while the address is being edited, else null.
    HWND GetNativeWindow() const;

protected:
    CWindowWnd* NativeWindow() const override;
    bool StartNativeWindow() override;

private:
    DWORD m_address;
    int m_updateMode;
    CIPAddressWnd* m_window;
};

// The factory's creator of an IP address field.
CControlUI* CreateIPAddressControl();

}  // namespace HiveUI
