#include "BrowserWindow.h"

#include <windowsx.h>

#include "Browser.h"
#include "Closure.h"
#include "EngineLog.h"
#include "HandleOwner.h"

namespace engine {
namespace {

const wchar_t kWindowClass[] = L"TallyhiveBrowserWindow";

// Painted off screen first, so a page and its overlays never flicker.
void PaintBuffered(HWND hwnd, HDC dc, BrowserImpl* browser) {
    RECT client;
    GetClientRect(hwnd, &client);
    MemoryDc buffer(CreateCompatibleDC(dc));
    GdiObject bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (buffer.get() == nullptr || bitmap.get() == nullptr) return browser->Paint(dc, client);
    SelectGuard select(buffer.get(), bitmap.get());
    browser->Paint(buffer.get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
}

BrowserImpl* BrowserOf(HWND hwnd) { return reinterpret_cast<BrowserImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, BrowserImpl* browser) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintBuffered(hwnd, dc, browser);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd, &client);
        browser->Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // the page paints every pixel
    case WM_MOUSEWHEEL:
        browser->Scroll(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(hwnd);
        browser->MouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        browser->MouseUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);  // for the WM_MOUSELEAVE below
        browser->MouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    case WM_MOUSELEAVE:
        browser->MouseMove(POINT{-1, -1});
        return 0;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(hwnd, &point);
        SetCursor(LoadCursorW(nullptr, browser->IsClickableAt(point) ? IDC_HAND : IDC_ARROW));
        return TRUE;
    }
    case WM_RBUTTONUP: {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        browser->ShowContextMenu(point);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        if (browser->HandleKey(msg, wParam, lParam)) return 0;
        break;
    case WM_SIZE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        // Reported once the window is gone, as the browser reports its close.
        CefRefPtr<BrowserImpl> keep = browser;
        browser->Release();  // the window's own reference
        if (!PostWork(TID_UI, [keep] { keep->OnWindowDestroyed(); })) keep->OnWindowDestroyed();
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        BrowserImpl* browser = BrowserOf(hwnd);
        if (browser != nullptr) return HandleMessage(hwnd, msg, wParam, lParam, browser);
    } catch (...) {
        EngineLog::Write(LOGSEVERITY_ERROR, "a browser window message handler threw an exception");
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterWindowClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);  // fails harmlessly once registered
}

uint32_t KeyModifiers() {
    uint32_t flags = 0;
    if (GetKeyState(VK_SHIFT) & 0x8000) flags |= EVENTFLAG_SHIFT_DOWN;
    if (GetKeyState(VK_CONTROL) & 0x8000) flags |= EVENTFLAG_CONTROL_DOWN;
    if (GetKeyState(VK_MENU) & 0x8000) flags |= EVENTFLAG_ALT_DOWN;
    if (GetKeyState(VK_CAPITAL) & 1) flags |= EVENTFLAG_CAPS_LOCK_ON;
    if (GetKeyState(VK_NUMLOCK) & 1) flags |= EVENTFLAG_NUM_LOCK_ON;
    return flags;
}

}  // namespace

HWND CreateBrowserWindow(const CefWindowInfo& info, BrowserImpl* browser) {
    RegisterWindowClass();
    const bool child = (info.style & WS_CHILD) != 0;
    DWORD style = info.style != 0 ? info.style : (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE);
    // A parent on another thread is not sent notifications it would have to answer at once.
    const DWORD exStyle = info.ex_style | (child ? WS_EX_NOPARENTNOTIFY : 0);
    browser->AddRef();  // released when the window is destroyed
    HWND hwnd = CreateWindowExW(exStyle, kWindowClass, CefString(&info.window_name).ToWString().c_str(), style, info.x,
                                info.y, info.width, info.height, info.parent_window, child ? nullptr : info.menu,
                                GetModuleHandleW(nullptr), browser);
    if (hwnd == nullptr) browser->Release();
    return hwnd;
}

void WaitPumpingSentMessages(HANDLE event) {
    while (MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Keys go to the application before the page (which has no key handling here), then after.
bool BrowserImpl::HandleKey(UINT message, WPARAM wParam, LPARAM lParam) {
    CefRefPtr<CefKeyboardHandler> handler = client_ ? client_->GetKeyboardHandler() : nullptr;
    if (!handler) return false;
    CefKeyEvent event;
    const bool isChar = message == WM_CHAR || message == WM_SYSCHAR;
    const bool isUp = message == WM_KEYUP || message == WM_SYSKEYUP;
    event.type = isChar ? KEYEVENT_CHAR : (isUp ? KEYEVENT_KEYUP : KEYEVENT_RAWKEYDOWN);
    event.windows_key_code = static_cast<int>(wParam);
    event.native_key_code = static_cast<int>(lParam);
    event.is_system_key = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR;
    event.modifiers = KeyModifiers();
    if (isChar) event.character = event.unmodified_character = static_cast<char16>(wParam);
    MSG native = {};
    native.hwnd = window_;
    native.message = message;
    native.wParam = wParam;
    native.lParam = lParam;
    native.time = static_cast<DWORD>(GetMessageTime());
    bool shortcut = false;
    if (handler->OnPreKeyEvent(this, event, &native, &shortcut)) return true;
    return handler->OnKeyEvent(this, event, &native);
}

}  // namespace engine
