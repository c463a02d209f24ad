// Sockets come before the rest of Windows.
#include <winsock2.h>

#include "UIIPAddress.h"

#include <cwchar>

#include "IPAddressWnd.h"
#include "NativeEditing.h"

namespace HiveUI {

DWORD GetLocalIpAddress() {
    WSADATA data = {};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
    DWORD address = 0;
    char host[256] = {};
    if (::gethostname(host, 255) == 0) {
        const hostent* entry = ::gethostbyname(host);
        if (entry != nullptr && entry->h_addr_list != nullptr && entry->h_addr_list[0] != nullptr) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(entry->h_addr_list[0]);
            address = (static_cast<DWORD>(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
        }
    }
    ::WSACleanup();
    return address;
}

CControlUI* CreateIPAddressControl() { return new CIPAddressUI; }

CIPAddressUI::CIPAddressUI() : m_address(GetLocalIpAddress()), m_updateMode(1), m_window(nullptr) {
    UpdateText();
    m_updateMode = 0;
}

CIPAddressUI::~CIPAddressUI() {
    if (m_window != nullptr) m_window->Abandon();
}

// Its own name, so that a caller asking the class tells it from a date-time field.
const wchar_t* CIPAddressUI::GetClass() const { return L"IPAddressUI"; }

LPVOID CIPAddressUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"IPAddress") == 0) return static_cast<CIPAddressUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CIPAddressUI::UpdateText() {
    if (m_updateMode == 2) {
        SetText(L"");
    } else if (m_updateMode == 1) {
        CUIString text;
        text.Format(L"%d.%d.%d.%d", static_cast<int>((m_address >> 24) & 0xFF), static_cast<int>((m_address >> 16) & 0xFF),
                    static_cast<int>((m_address >> 8) & 0xFF), static_cast<int>(m_address & 0xFF));
        SetText(text);
    }
}

HWND CIPAddressUI::GetNativeWindow() const { return m_window != nullptr ? m_window->GetHWND() : nullptr; }

CWindowWnd* CIPAddressUI::NativeWindow() const { return m_window; }

bool CIPAddressUI::StartNativeWindow() { return StartEditingIn(m_window, this); }

}  // namespace HiveUI
