#include "IPAddressWnd.h"

#include <commctrl.h>

#include "CommonControls.h"
#include "UIIPAddress.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

const UINT kReflectedCommand = 0x2000 + WM_COMMAND;

}  // namespace

CIPAddressWnd::CIPAddressWnd() : m_initialised(false) {}

const wchar_t* CIPAddressWnd::GetWindowClassName() const { return L"IPAddressWnd"; }
const wchar_t* CIPAddressWnd::GetSuperClassName() const { return WC_IPADDRESSW; }

bool CIPAddressWnd::Create(CIPAddressUI* owner) {
    CPaintManagerUI* manager = owner->GetManager();
    if (manager == nullptr || manager->GetPaintWindow() == nullptr) return false;
    if (!InitCommonControlClasses(ICC_INTERNET_CLASSES)) return false;
    if (!CreateOver(owner->GetPos(), WS_CHILD | WS_GROUP | WS_TABSTOP)) return false;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFontInfo(owner->GetFont())->font), TRUE);
    return true;
}

bool CIPAddressWnd::Init(CIPAddressUI* owner) {
    m_owner = owner;
    owner->m_updateMode = 0;
    if (m_hWnd == nullptr && !Create(owner)) {
        m_owner = nullptr;
        return false;
    }
    if (owner->GetText().IsEmpty()) owner->m_address = GetLocalIpAddress();
    SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(owner->m_address));
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetFocus(m_hWnd);
    m_initialised = true;
    return true;
}

void CIPAddressWnd::EndOfEditing(int updateMode) {
    if (m_owner != nullptr) {
        m_owner->m_updateMode = updateMode;
        m_owner->UpdateText();
    }
    PostMessage(WM_CLOSE);
}

// Moving between the four numbers keeps the focus inside: only leaving the window
// takes the address and hides it.
void CIPAddressWnd::OnFocusLeft() {
    const HWND focus = ::GetFocus();
    if (focus == m_hWnd || ::IsChild(m_hWnd, focus)) return;
    if (m_owner != nullptr && m_owner->m_updateMode == 0) {
        DWORD address = 0;
        SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        m_owner->m_address = address;
        m_owner->m_updateMode = 1;
        m_owner->UpdateText();
    }
    ::ShowWindow(m_hWnd, SW_HIDE);
}

LRESULT CIPAddressWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KILLFOCUS:
            return 0;
        case WM_KEYUP: {
            if (wParam != VK_DELETE && wParam != VK_BACK && wParam != VK_ESCAPE) break;
            const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
            EndOfEditing(wParam == VK_ESCAPE ? 3 : 2);
            return result;
        }
        case kReflectedCommand:
            if (HIWORD(wParam) == EN_KILLFOCUS) OnFocusLeft();
            return 0;
        default:
            break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

}  // namespace HiveUI
