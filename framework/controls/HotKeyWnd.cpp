#include "HotKeyWnd.h"

#include <commctrl.h>

#include "CommonControls.h"
#include "ScopedHandle.h"
#include "UIHotKey.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

const UINT kReflectedCommand = 0x2111;

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// Navigation keys share their scan codes with the numeric keypad: only the extended-key
// bit names them apart.
bool IsExtendedKey(WORD virtualKey) {
    switch (virtualKey) {
        case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
        case VK_INSERT: case VK_DELETE:
            return true;
        default:
            return false;
    }
}

CUIString KeyName(WORD virtualKey, bool extended) {
    LONG code = static_cast<LONG>(::MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, ::GetKeyboardLayout(0))) << 16;
    if (IsExtendedKey(virtualKey) || extended) code |= 1L << 24;
    wchar_t name[260] = {};
    ::GetKeyNameTextW(code, name, 260);
    return name;
}

}  // namespace

CUIString HotKeyText(WORD virtualKey, WORD modifiers) {
    CUIString text;
    if (virtualKey == 0 && modifiers == 0) return text;
    if ((modifiers & HOTKEYF_CONTROL) != 0) text += KeyName(VK_CONTROL, false) + L" + ";
    if ((modifiers & HOTKEYF_SHIFT) != 0) text += KeyName(VK_SHIFT, false) + L" + ";
    if ((modifiers & HOTKEYF_ALT) != 0) text += KeyName(VK_MENU, false) + L" + ";
    text += KeyName(virtualKey, (modifiers & HOTKEYF_EXT) != 0);
    return text;
}

CHotKeyWnd::CHotKeyWnd() : m_owner(nullptr), m_inited(false) {}

void CHotKeyWnd::Init(CHotKeyUI* owner) {
    m_owner = owner;
    InitCommonControlClasses(ICC_HOTKEY_CLASS);
    CPaintManagerUI* manager = owner->GetManager();
    if (CreateInRect(manager->GetPaintWindow(), nullptr, WS_CHILD | ES_AUTOHSCROLL, 0, CalcPos()) == nullptr) return;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner->GetFont())), TRUE);
    SetHotKey(owner->m_virtualKey, owner->m_modifiers);
    owner->SetText(GetHotKeyText());
    ::EnableWindow(m_hWnd, owner->IsEnabled());
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    m_inited = true;
}

// The owner's text area, narrowed to one line of its font when that is lower.
RECT CHotKeyWnd::CalcPos() const {
    RECT rect = m_owner->TextRect();
    const LONG fontHeight = m_owner->GetManager()->GetFontInfo(m_owner->GetFont())->metrics.tmHeight;
    if (fontHeight < rect.bottom - rect.top) {
        rect.top += (rect.bottom - rect.top - fontHeight) / 2;
        rect.bottom = rect.top + fontHeight;
    }
    return rect;
}

const wchar_t* CHotKeyWnd::GetWindowClassName() const { return L"HotKeyClass"; }

const wchar_t* CHotKeyWnd::GetSuperClassName() const { return HOTKEY_CLASSW; }

void CHotKeyWnd::SetHotKey(WORD virtualKey, WORD modifiers) {
    SendMessage(HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0);
}

void CHotKeyWnd::GetHotKey(WORD& virtualKey, WORD& modifiers) {
    const LRESULT key = SendMessage(HKM_GETHOTKEY);
    virtualKey = LOBYTE(LOWORD(key));
    modifiers = HIBYTE(LOWORD(key));
}

CUIString CHotKeyWnd::GetHotKeyText() {
    WORD virtualKey = 0;
    WORD modifiers = 0;
    GetHotKey(virtualKey, modifiers);
    return HotKeyText(virtualKey, modifiers);
}

void CHotKeyWnd::OnEditChanged() {
    if (!m_inited || m_owner == nullptr) return;
    GetHotKey(m_owner->m_virtualKey, m_owner->m_modifiers);
    if (m_owner->m_virtualKey != 0) {
        m_owner->SetText(GetHotKeyText());
    } else {
        m_owner->SetText(L"无");
        m_owner->m_modifiers = 0;
    }
    m_owner->GetManager()->SendNotify(m_owner, L"textchanged");
}

void CHotKeyWnd::Paint() {
    PAINTSTRUCT ps = {};
    const HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    CScopedGdiObject<HBRUSH> brush(::CreateSolidBrush(ToColorRef(m_owner->GetNativeBkColor())));
    ::FillRect(dc, &client, brush.Get());
    const CUIString text = GetHotKeyText();
    ::SetTextColor(dc, ToColorRef(m_owner->GetTextColor()));
    ::SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    RECT textRect = client;
    ::DrawTextW(dc, text, -1, &textRect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text, text.GetLength(), &extent);
    ::SelectObject(dc, oldFont);
    ::SetCaretPos(extent.cx, 0);
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CHotKeyWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KILLFOCUS: {
            const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
            // Posted: closing here would destroy the window inside its own handler.
            PostMessage(WM_CLOSE);
            return result;
        }
        case kReflectedCommand:
            if (HIWORD(wParam) == EN_CHANGE) {
                OnEditChanged();
            } else if (HIWORD(wParam) == EN_UPDATE) {
                ::InvalidateRect(m_hWnd, nullptr, FALSE);
            }
            return 1;
        case WM_KEYDOWN:
            if (wParam != VK_RETURN) break;
            if (m_owner != nullptr) m_owner->GetManager()->SendNotify(m_owner, L"return");
            return 0;
        case WM_PAINT:
            if (m_owner == nullptr) break;
            Paint();
            return 0;
        case WM_NCCALCSIZE:
        case WM_NCACTIVATE:
            return 0;
        default:
            break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CHotKeyWnd::OnFinalMessage(HWND wnd) {
    (void)wnd;
    if (m_owner != nullptr) m_owner->m_window = nullptr;
    delete this;
}

}  // namespace HiveUI
