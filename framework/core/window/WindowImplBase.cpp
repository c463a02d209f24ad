#include "WindowImplBase.h"

#include <cwchar>

#include "UIControl.h"

namespace HiveUI {

namespace {

// Controls that only show things: a caption drag may start over them.
const wchar_t* const kStaticClasses[] = {L"controlui",        L"textui",          L"labelui",
                                         L"containerui",      L"horizontallayoutui", L"verticallayoutui",
                                         L"tablayoutui",      L"childlayoutui",   L"dialoglayoutui",
                                         L"progresscontainerui"};

bool IsStaticClass(CControlUI* control) {
    CUIString name = control->GetClass();
    name.MakeLower();
    for (const wchar_t* known : kStaticClasses) {
        if (name == known) return true;
    }
    return false;
}

bool IsMaximized(HWND wnd) { return ::IsZoomed(wnd) != FALSE; }

// The skin is the whole window: without it there is nothing to show, so the program ends.
[[noreturn]] void FailOnSkin(const CUIString& skinFile) {
    // "加载资源文件失败：" (failed to load the resource file)
    CUIString text = L"\u52A0\u8F7D\u8D44\u6E90\u6587\u4EF6\u5931\u8D25\uFF1A";
    text += skinFile;
    ::MessageBoxW(nullptr, text, L"HiveUI", MB_ICONHAND);
    ::ExitProcess(1);
}

}  // namespace

const TMsgMap* WindowImplBase::GetMessageMap() const {
    static const TMsgMapEntry entries[] = {MsgNotifyEntry(L"click", L"", &WindowImplBase::OnClick), MsgMapEnd()};
    static const TMsgMap map = {CNotifyPump::GetMessageMap(), entries};
    return &map;
}

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

LONG WindowImplBase::GetStyle() {
    return static_cast<LONG>(static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)) & 0xFF3FFFFFu);
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    BOOL handled = TRUE;
    LRESULT result = Route(msg, wParam, lParam, handled);
    if (handled) return result;
    result = HandleCustomMessage(msg, wParam, lParam, handled);
    if (handled) return result;
    if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LRESULT WindowImplBase::Route(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    switch (msg) {
        case WM_CREATE: return OnCreate(msg, wParam, lParam, handled);
        case WM_DESTROY: return OnDestroy(msg, wParam, lParam, handled);
        case WM_SIZE: return OnSize(msg, wParam, lParam, handled);
        case WM_SETFOCUS: return OnSetFocus(msg, wParam, lParam, handled);
        case WM_KILLFOCUS: return OnKillFocus(msg, wParam, lParam, handled);
        case WM_CLOSE: return OnClose(msg, wParam, lParam, handled);
        case WM_GETMINMAXINFO: return OnGetMinMaxInfo(msg, wParam, lParam, handled);
        case WM_NCCALCSIZE: return OnNcCalcSize(msg, wParam, lParam, handled);
        case WM_NCHITTEST: return OnNcHitTest(msg, wParam, lParam, handled);
        case WM_NCPAINT: return OnNcPaint(msg, wParam, lParam, handled);
        case WM_NCACTIVATE: return OnNcActivate(msg, wParam, lParam, handled);
        case WM_KEYDOWN: return OnKeyDown(msg, wParam, lParam, handled);
        case WM_CHAR: return OnChar(msg, wParam, lParam, handled);
        case WM_SYSCOMMAND: return OnSysCommand(msg, wParam, lParam, handled);
        case WM_MOUSEMOVE: return OnMouseMove(msg, wParam, lParam, handled);
        case WM_LBUTTONDOWN: return OnLButtonDown(msg, wParam, lParam, handled);
        case WM_LBUTTONUP: return OnLButtonUp(msg, wParam, lParam, handled);
        case WM_MOUSEWHEEL: return OnMouseWheel(msg, wParam, lParam, handled);
        case WM_MOUSEHOVER: return OnMouseHover(msg, wParam, lParam, handled);
        default: handled = FALSE; return 0;
    }
}

void WindowImplBase::OnFinalMessage(HWND wnd) {
    (void)wnd;
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    if (m_pm.GetRoot() != nullptr) m_pm.ForgetControl(m_pm.GetRoot());
}

void WindowImplBase::OnClick(TNotifyInfo& msg) {
    // A queued notification may have lost its sender: it names no button.
    const CUIString name = msg.pSender != nullptr ? msg.pSender->GetName() : CUIString();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

bool WindowImplBase::IsOverStaticControl(CControlUI* control) {
    if (control == nullptr) return false;
    for (CControlUI* c = control; c != nullptr; c = c->GetParent()) {
        if (!IsStaticClass(c)) return false;
    }
    return true;
}

LRESULT WindowImplBase::HandleDefaultKey(WPARAM key) { return key == VK_ESCAPE ? TRUE : FALSE; }

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }
LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& handled) { return handled = FALSE, 0; }

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (::IsIconic(m_hWnd)) {
        handled = FALSE;
        return 0;
    }
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_hWnd, &pt);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (!IsMaximized(m_hWnd)) {
        const RECT box = m_pm.GetSizeBox();
        const bool left = pt.x < client.left + box.left, right = pt.x > client.right - box.right;
        if (pt.y < client.top + box.top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (pt.y > client.bottom - box.bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    RECT caption = m_pm.GetCaptionRect();
    if (caption.bottom == -1) caption.bottom = client.bottom;
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom && IsOverStaticControl(m_pm.FindControlAt(pt))) {
        return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (info == nullptr || !::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return 0;
    }
    RECT work = monitor.rcWork;
    if ((monitor.dwFlags & MONITORINFOF_PRIMARY) == 0) ::OffsetRect(&work, -work.left, -work.top);
    const LONG width = work.right - work.left, height = work.bottom - work.top;
    const SIZE maxInfo = m_pm.GetMaxInfo(), minInfo = m_pm.GetMinInfo();
    info->ptMaxPosition = {work.left, work.top};
    info->ptMaxSize = {width, height};
    info->ptMaxTrackSize = {maxInfo.cx != 0 ? maxInfo.cx : width, maxInfo.cy != 0 ? maxInfo.cy : height};
    info->ptMinTrackSize = {minInfo.cx, minInfo.cy};
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& handled) {
    handled = FALSE;  // the manager still lays the tree out
    if (::IsIconic(m_hWnd)) return 0;
    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    const SIZE corner = m_pm.GetRoundCorner();
    HRGN region = ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner.cx, corner.cy);
    // The window owns the region once it is set; a refused one stays ours to free.
    if (region != nullptr && ::SetWindowRgn(m_hWnd, region, TRUE) == 0) ::DeleteObject(region);
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (wParam == SC_CLOSE) {
        SendMessage(WM_CLOSE, 0, 0);
        return 0;
    }
    const bool wasMaximized = IsMaximized(m_hWnd);
    const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
    if (m_hWnd != nullptr && wasMaximized != IsMaximized(m_hWnd)) SwapMaxRestoreButtons(!wasMaximized);
    return result;
}

void WindowImplBase::SwapMaxRestoreButtons(bool maximized) {
    if (CControlUI* maxButton = m_pm.FindControl(L"maxbtn")) maxButton->SetVisible(!maximized);
    if (CControlUI* restoreButton = m_pm.FindControl(L"restorebtn")) restoreButton->SetVisible(maximized);
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>((style & 0xFF3FFFFFu) | 0x06000000u));
    m_pm.Init(m_hWnd, GetManagerName());
    m_pm.AddPreMessageFilter(this);
    CDialogBuilder builder;
    const CUIString skinType = GetSkinType(), skinFile = GetSkinFile();
    CControlUI* root = nullptr;
    if (skinType.IsEmpty()) {
        root = builder.Create(skinFile, nullptr, this, &m_pm);
    } else {
        const WORD id = static_cast<WORD>(std::wcstol(skinFile, nullptr, 10));
        root = builder.Create(MAKEINTRESOURCEW(id), skinType, this, &m_pm);
    }
    if (root == nullptr) FailOnSkin(skinFile);
    m_pm.AttachRoot(root);
    m_pm.AddNotifier(this);
    InitWindow();
    return 0;
}

void WindowImplBase::Notify(TNotifyInfo& msg) { Dispatch(msg); }

LRESULT WindowImplBase::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool&) {
    // The flag stays clear: the key goes on to the controls either way.
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return HandleDefaultKey(wParam);
    return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

const wchar_t* WindowImplBase::QueryControlText(const wchar_t*, const wchar_t*) { return nullptr; }

}  // namespace HiveUI
