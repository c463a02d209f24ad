#include "WindowWnd.h"

#include "UIManager.h"

namespace HiveUI {

namespace {

// Windows of a copied class may use their user data themselves, so the object goes here.
const wchar_t kObjectProperty[] = L"WndX";

void ReturnFocusToOwner(HWND owner) {
    if (owner == nullptr) return;
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
}

RECT MonitorWorkArea(HWND wnd) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// Keeps a span of the given size inside [low, high), preferring the low edge.
int ClampInto(int pos, int size, LONG low, LONG high) {
    if (pos < low) return low;
    if (pos + size > high) return high - size;
    return pos;
}

}  // namespace

CWindowWnd::CWindowWnd() : m_hWnd(nullptr), m_OldWndProc(::DefWindowProcW), m_bSubclassed(false) {}

const wchar_t* CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND wnd) { (void)wnd; }

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
    static_assert(sizeof(WNDCLASSEXW) == 48, "the 32-bit class record");
    const HINSTANCE instance = CPaintManagerUI::GetInstance();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(instance, GetSuperClassName(), &wc)) {
        return false;
    }
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = StaticSuperclassProc;
    wc.hInstance = instance;
    wc.lpszClassName = GetWindowClassName();
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        HMENU menu) {
    const wchar_t* super = GetSuperClassName();
    const bool registered = (super != nullptr && *super != L'\0') ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) return nullptr;
    const HWND wnd = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                                       CPaintManagerUI::GetInstance(), this);
    // A creation that failed after WM_NCCREATE has already run OnFinalMessage, which may
    // have deleted this object: it must not be touched then.
    if (wnd == nullptr) return nullptr;
    m_hWnd = wnd;
    return wnd;
}

HWND CWindowWnd::CreateInRect(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rc,
                              HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, menu);
}

bool CWindowWnd::Subclass(HWND wnd) {
    if (m_bSubclassed || !::IsWindow(wnd) || (m_hWnd != nullptr && m_hWnd != wnd)) return false;
    if (!::SetPropW(wnd, kObjectProperty, this)) return false;
    const LONG_PTR old = ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticSuperclassProc));
    if (old == 0) {
        ::RemovePropW(wnd, kObjectProperty);
        return false;
    }
    m_OldWndProc = reinterpret_cast<WNDPROC>(old);
    m_hWnd = wnd;
    m_bSubclassed = true;
    return true;
}

void CWindowWnd::Unsubclass() {
    if (!::IsWindow(m_hWnd) || !m_bSubclassed) return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    m_OldWndProc = ::DefWindowProcW;
    m_bSubclassed = false;
}

bool CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!::IsWindow(m_hWnd)) return false;
    const int command = !show ? SW_HIDE : (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    return ::ShowWindow(m_hWnd, command) != FALSE;
}

UINT CWindowWnd::ShowModal() {
    // The object may delete itself when its window goes, so the loop keeps to locals.
    const HWND wnd = m_hWnd;
    const HWND owner = ::GetWindow(wnd, GW_OWNER);
    ::ShowWindow(wnd, SW_SHOWNORMAL);
    if (owner != nullptr) ::EnableWindow(owner, FALSE);
    UINT result = 0;
    bool quit = false;
    MSG msg = {};
    while (::IsWindow(wnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) quit = true;
        if (got <= 0) break;
        // The owner must be enabled before the window goes, or activation passes to
        // some other program's window.
        const bool closing = msg.message == WM_CLOSE && msg.hwnd == wnd;
        const HWND focus = closing ? ::GetFocus() : nullptr;
        if (closing) {
            result = static_cast<UINT>(msg.wParam);
            ReturnFocusToOwner(owner);
        }
        try {
            if (!CPaintManagerUI::PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        } catch (...) {
            // One message's failure must not leave the owner disabled.
        }
        // A window that refused to close is still modal.
        if (closing && ::IsWindow(wnd) && owner != nullptr) {
            ::EnableWindow(owner, FALSE);
            if (::IsWindow(focus)) ::SetFocus(focus);
        }
    }
    ReturnFocusToOwner(owner);
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
    return result;
}

void CWindowWnd::Close(UINT result) {
    if (::IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, result, 0);
}

void CWindowWnd::CenterWindow() {
    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    const RECT work = MonitorWorkArea(owner != nullptr ? owner : m_hWnd);
    RECT centre = work;
    if (owner != nullptr) ::GetWindowRect(owner, &centre);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int x = (centre.left + centre.right) / 2 - width / 2;
    const int y = (centre.top + centre.bottom) / 2 - height / 2;
    ::SetWindowPos(m_hWnd, nullptr, ClampInto(x, width, work.left, work.right),
                   ClampInto(y, height, work.top, work.bottom), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

BOOL CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

// The frame is measured from the window rather than derived from its style: a window
// that answers WM_NCCALCSIZE itself (every skinned frame) has none, whatever its style
// says. A minimised window has no client area to measure against; its style decides.
bool CWindowWnd::ResizeClient(int cx, int cy) {
    RECT client = {}, window = {};
    if (!::GetClientRect(m_hWnd, &client) || !::GetWindowRect(m_hWnd, &window)) return false;
    RECT rc = client;
    if (cx != -1) rc.right = cx;
    if (cy != -1) rc.bottom = cy;
    if (::IsIconic(m_hWnd)) {
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
        const BOOL hasMenu = !(style & WS_CHILD) && ::GetMenu(m_hWnd) != nullptr;
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
        if (!::AdjustWindowRectEx(&rc, style, hasMenu, exStyle)) return false;
    } else {
        rc.right += (window.right - window.left) - client.right;
        rc.bottom += (window.bottom - window.top) - client.bottom;
    }
    return ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

LRESULT CALLBACK CWindowWnd::StaticWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Route(wnd, msg, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::StaticSuperclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Route(wnd, msg, wParam, lParam, true);
}

LRESULT CWindowWnd::Route(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, bool byProperty) {
    try {
        CWindowWnd* self = Attach(wnd, msg, lParam, byProperty);
        if (self == nullptr) return ::DefWindowProcW(wnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) return self->Detach(wnd, msg, wParam, lParam, byProperty);
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // An exception cannot unwind through the system's frames: this message is dropped.
        return 0;
    }
}

CWindowWnd* CWindowWnd::Attach(HWND wnd, UINT msg, LPARAM lParam, bool byProperty) {
    if (msg != WM_NCCREATE) {
        return byProperty ? static_cast<CWindowWnd*>(::GetPropW(wnd, kObjectProperty))
                          : reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    }
    auto* self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self == nullptr) return nullptr;
    self->m_hWnd = wnd;
    if (byProperty) {
        ::SetPropW(wnd, kObjectProperty, self);
    } else {
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return self;
}

LRESULT CWindowWnd::Detach(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, bool byProperty) {
    const LRESULT result = ::CallWindowProcW(m_OldWndProc, wnd, msg, wParam, lParam);
    if (!byProperty) ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    if (m_bSubclassed) Unsubclass();
    if (byProperty) ::SetPropW(wnd, kObjectProperty, nullptr);
    m_hWnd = nullptr;
    OnFinalMessage(wnd);
    return result;
}

}  // namespace HiveUI
