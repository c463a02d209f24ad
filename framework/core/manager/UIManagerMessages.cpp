// CPaintManagerUI: message filters, reflection to native children, deferred work,
// painting of the control tree and the mouse and keyboard events of its controls.
#include <windowsx.h>

#include <memory>

#include "CommonControls.h"
#include "LayeredPixels.h"
#include "RenderClip.h"
#include "UIContainer.h"
#include "UIControl.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

// Messages reflected to the native child that sent them come back at this offset.
const UINT kReflectOffset = 0x2000;
const UINT kDeferredWork = WM_APP + 1;

POINT PointOf(LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return pt;
}

bool IsRectEmptyOrNull(const RECT& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }

// Nothing of the common controls shows before a tooltip, so they are started with the
// deferred work that follows the process's first frame, not before that frame.
bool g_firstFramePainted = false;

void StartCommonControlsAfterFirstFrame() {
    static bool started = false;
    if (!g_firstFramePainted || started) return;
    started = true;
    InitCommonControlsOnce();
}

}  // namespace

WORD CPaintManagerUI::GetKeyState() {
    WORD state = 0;
    if (::GetKeyState(VK_LBUTTON) < 0) state |= UIKEYSTATE_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0) state |= UIKEYSTATE_RBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0) state |= UIKEYSTATE_SHIFT;
    if (::GetKeyState(VK_CONTROL) < 0) state |= UIKEYSTATE_CONTROL;
    if (::GetKeyState(VK_MENU) < 0) state |= UIKEYSTATE_ALT;
    return state;
}

TEventInfo CPaintManagerUI::MakeEvent(int type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const {
    TEventInfo event;
    event.Type = type;
    event.pSender = sender;
    event.dwTimestamp = ::GetTickCount();
    event.ptMouse = m_lastMousePos;
    event.wKeyState = GetKeyState();
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (m_paintWnd == nullptr) return false;
    if (msg == WM_DESTROY) TermDragDrop();
    if (FilterMessage(msg, wParam, lParam, result)) return true;
    if (m_layered && HandleLayeredNonClient(msg, wParam, result)) return true;
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_NOTIFY:
            return ReflectToChild(msg, wParam, lParam, result);
        case kDeferredWork:
            DoDeferredWork();
            return false;
        case WM_TIMER:
            OnTimer(wParam, lParam);
            return false;
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_PRINTCLIENT:
            if (m_root != nullptr) OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
            return false;
        case WM_SIZE:
            if (m_focus != nullptr) {
                TEventInfo event;
                event.Type = UIEVENT_WINDOWSIZE;
                event.pSender = m_focus;
                event.dwTimestamp = ::GetTickCount();
                m_focus->Event(event);
            }
            if (m_root != nullptr) m_root->NeedLayout();
            result = 0;
            return true;
        case WM_SETFOCUS:
            if (m_focus != nullptr) {
                TEventInfo event = MakeEvent(UIEVENT_SETFOCUS, m_focus, wParam, lParam);
                m_focus->Event(event);
            }
            return false;
        case WM_KILLFOCUS:
            if (m_mouseCapture) ReleaseCapture();
            return false;
        case WM_CLOSE:
            OnClose();
            return false;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_SETCURSOR:
            return OnSetCursor(lParam);
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return false;
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            return false;
        case WM_MOUSEHOVER:
            return OnMouseHover();
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnButtonDown(msg, wParam, lParam);
            return false;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnButtonUp(msg, wParam, lParam);
            return false;
        case WM_MOUSEWHEEL:
            if (m_root != nullptr) OnMouseWheel(wParam, lParam);
            return false;
        case WM_CONTEXTMENU:
            if (m_root != nullptr) OnContextMenu(wParam, lParam);
            return false;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            if (m_root != nullptr) OnKey(msg, wParam, lParam);
            return false;
        default:
            return false;
    }
}

bool CPaintManagerUI::FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (int i = 0; i < m_messageFilters.GetSize(); ++i) {
        bool handled = false;
        IMessageFilterUI* filter = static_cast<IMessageFilterUI*>(m_messageFilters[i]);
        LRESULT answer = filter->MessageHandler(msg, wParam, lParam, handled);
        if (!handled) continue;
        result = answer;
        if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK) {
            m_lastMousePos = PointOf(lParam);
        } else if (msg == WM_CONTEXTMENU || msg == WM_MOUSEWHEEL) {
            POINT pt = PointOf(lParam);
            ::ScreenToClient(m_paintWnd, &pt);
            m_lastMousePos = pt;
        }
        return true;
    }
    return false;
}

// A layered window draws everything itself, so it has no non-client area to compute or paint.
bool CPaintManagerUI::HandleLayeredNonClient(UINT msg, WPARAM wParam, LRESULT& result) {
    if (msg == WM_NCCALCSIZE || msg == WM_NCPAINT) {
        result = 0;
        return true;
    }
    if (msg == WM_NCACTIVATE && !::IsIconic(m_paintWnd)) {
        result = wParam == 0 ? 1 : 0;
        return true;
    }
    return false;
}

// Native children handle their own commands, colours and notifications at the offset.
bool CPaintManagerUI::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (lParam == 0) return false;
    HWND child = reinterpret_cast<HWND>(lParam);
    if (msg == WM_NOTIFY) child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    LRESULT answer = ::SendMessageW(child, msg + kReflectOffset, wParam, lParam);
    if (msg != WM_NOTIFY && answer == 0) return false;
    result = answer;
    return true;
}

void CPaintManagerUI::DoDeferredWork() {
    StartCommonControlsAfterFirstFrame();
    for (int i = 0; i < m_delayedCleanup.GetSize(); ++i) delete static_cast<CControlUI*>(m_delayedCleanup[i]);
    m_delayedCleanup.Empty();
    m_asyncNotifyPosted = false;
    while (!m_asyncNotify.IsEmpty()) {
        std::unique_ptr<TNotifyInfo> msg(static_cast<TNotifyInfo*>(m_asyncNotify[0]));
        m_asyncNotify.Remove(0);
        DeliverNotify(*msg);
    }
}

// Without a window there is nothing to repaint (a null window would mean every window).
void CPaintManagerUI::Invalidate() {
    if (m_paintWnd == nullptr) return;
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_paintWnd, &client);
    ::UnionRect(&m_layeredUpdateRect, &m_layeredUpdateRect, &client);
    ::InvalidateRect(m_paintWnd, nullptr, FALSE);
}

void CPaintManagerUI::InvalidateRect(const RECT& rect) {
    if (m_paintWnd == nullptr) return;
    RECT rc = rect;
    if (rc.left < 0) rc.left = 0;
    if (rc.top < 0) rc.top = 0;
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    // An empty area adds nothing to either update area, and the call to the window
    // server costs as much as any other: controls without a place yet ask for many.
    if (::IsRectEmpty(&rc)) return;
    ::UnionRect(&m_layeredUpdateRect, &m_layeredUpdateRect, &rc);
    ::InvalidateRect(m_paintWnd, &rc, FALSE);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* control) {
    if (m_postPaintControls.Find(control) >= 0) return false;
    return m_postPaintControls.Add(control);
}

bool CPaintManagerUI::RemovePostPaint(CControlUI* control) {
    int index = m_postPaintControls.Find(control);
    if (index < 0) return false;
    return m_postPaintControls.Remove(index);
}

bool CPaintManagerUI::RemoveNativeWindow(HWND wnd) {
    int index = m_nativeWindows.Find(wnd);
    if (index < 0) return false;
    m_nativeWindows.Remove(index);
    m_nativeWindowControls.Remove(index);
    return true;
}

RECT CPaintManagerUI::GetNativeWindowRect(HWND wnd) const {
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(wnd, &rc);
    ::ScreenToClient(m_paintWnd, reinterpret_cast<POINT*>(&rc.left));
    ::ScreenToClient(m_paintWnd, reinterpret_cast<POINT*>(&rc.right));
    return rc;
}

void CPaintManagerUI::PaintPostPaint(HDC hdc, const RECT& update) {
    for (int i = 0; i < m_postPaintControls.GetSize(); ++i) {
        static_cast<CControlUI*>(m_postPaintControls[i])->DoPostPaint(hdc, update);
    }
}

void CPaintManagerUI::OnPaint() {
    if (m_root == nullptr) {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_paintWnd, &ps);
        CUIRender::DrawColor(hdc, ps.rcPaint, 0xFF000000);
        ::EndPaint(m_paintWnd, &ps);
        return;
    }
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_paintWnd, &client);
    RECT update = {0, 0, 0, 0};
    if (!::GetUpdateRect(m_paintWnd, &update, FALSE)) return;
    m_painting = true;
    bool sizeChanged = false;
    if (!LayoutBeforePaint(client, sizeChanged)) {
        m_painting = false;
        return;
    }
    // The focus moves once the tree has its places: a move asked for while a layout was
    // pending would otherwise wait for an unrelated repaint, because what it invalidates
    // now is validated by this paint's BeginPaint. What the move repaints joins this paint.
    if (m_focusNeeded) {
        SetNextTabControl(true);
        ::GetUpdateRect(m_paintWnd, &update, FALSE);
    }
    if (m_layered) {
        LONG_PTR exStyle = ::GetWindowLongPtrW(m_paintWnd, GWL_EXSTYLE);
        if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongPtrW(m_paintWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        m_offscreenPaint = true;
        ::UnionRect(&update, &update, &m_layeredUpdateRect);
        if (update.right > client.right) update.right = client.right;
        if (update.bottom > client.bottom) update.bottom = client.bottom;
        ::SetRectEmpty(&m_layeredUpdateRect);
    }
    if (m_offscreenPaint && !m_offscreenBitmap.IsValid()) {
        m_offscreenDC.Reset(::CreateCompatibleDC(GetPaintDC()));
        BYTE* bits = nullptr;
        m_offscreenBitmap.Reset(CUIRender::CreateARGB32Bitmap(GetPaintDC(), client.right, client.bottom, &bits));
        m_offscreenBits = reinterpret_cast<DWORD*>(bits);
    }
    PAINTSTRUCT ps;
    HDC paintDC = ::BeginPaint(m_paintWnd, &ps);
    if (!m_offscreenPaint || !m_offscreenBitmap.IsValid() || !m_offscreenDC.IsValid()) {
        int saved = ::SaveDC(paintDC);
        m_root->Paint(paintDC, update, nullptr);
        PaintPostPaint(paintDC, update);
        ::RestoreDC(paintDC, saved);
    } else {
        PaintOffscreen(paintDC, client, update);
    }
    if (m_showUpdateRect && !m_layered) {
        HGDIOBJ oldPen = ::SelectObject(paintDC, s_updatePen.Get());
        HGDIOBJ oldBrush = ::SelectObject(paintDC, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(paintDC, update.left, update.top, update.right, update.bottom);
        ::SelectObject(paintDC, oldBrush);
        ::SelectObject(paintDC, oldPen);
    }
    ::EndPaint(m_paintWnd, &ps);
    if (!g_firstFramePainted) {
        g_firstFramePainted = true;
        PostAsyncNotify();
    }
    m_painting = false;
    m_layeredChanged = false;
    if (m_updateNeeded) Invalidate();
    if (sizeChanged) SendNotify(m_root, L"windowsize", 0, 0, true);
}

// Lays the tree out when asked to; false when the first layout of a layered window
// wants a fresh paint instead of this one.
bool CPaintManagerUI::LayoutBeforePaint(const RECT& client, bool& sizeChanged) {
    if (!m_updateNeeded) {
        if (m_layered && m_layeredChanged) {
            if (m_offscreenBits != nullptr) {
                memset(m_offscreenBits, 0, static_cast<size_t>(client.right) * client.bottom * sizeof(DWORD));
            }
            m_root->SetPos(client, true);
        }
        return true;
    }
    m_updateNeeded = false;
    if (IsRectEmptyOrNull(client) || ::IsIconic(m_paintWnd)) return true;
    if (!m_root->IsLayoutNeeded()) {
        m_foundControls.Empty();
        m_root->FindControl(CollectLayoutNeeded, this, UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
        for (int i = 0; i < m_foundControls.GetSize(); ++i) {
            CControlUI* control = static_cast<CControlUI*>(m_foundControls[i]);
            CContainerUI* container = dynamic_cast<CContainerUI*>(control->GetParent());
            // A floating control's place comes from its container's float rules.
            if (control->IsFloat() && container != nullptr) {
                container->SetFloatPos(container->GetItemIndex(control));
                control->Invalidate();
            } else {
                control->SetPos(control->GetPos(), true);
            }
        }
    } else {
        m_offscreenDC.Reset();
        m_offscreenBitmap.Reset();
        m_offscreenBits = nullptr;
        m_backgroundDC.Reset();
        m_backgroundBitmap.Reset();
        m_backgroundBits = nullptr;
        m_root->SetPos(client, true);
    }
    sizeChanged = true;
    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotify(m_root, L"windowinit", 0, 0, false);
        if (m_layered && m_layeredChanged) {
            Invalidate();
            return false;
        }
        // The shadow takes the window's outline once the window has its first layout, and
        // is drawn once this first frame is painted.
        m_shadow.UpdateAfterPaint();
    }
    return true;
}

void CPaintManagerUI::PaintOffscreen(HDC paintDC, const RECT& client, RECT& update) {
    HDC dc = m_offscreenDC.Get();
    HGDIOBJ oldBitmap = ::SelectObject(dc, m_offscreenBitmap.Get());
    int saved = ::SaveDC(dc);
    if (m_layered && m_offscreenBits != nullptr) {
        for (int y = update.top; y < update.bottom; ++y) {
            for (int x = update.left; x < update.right; ++x) {
                m_offscreenBits[BottomUpPixelIndex(x, y, client.right, client.bottom)] = 0;
            }
        }
    }
    m_root->Paint(dc, update, nullptr);
    PaintPostPaint(dc, update);
    ::RestoreDC(dc, saved);
    if (!m_layered) {
        ::BitBlt(paintDC, update.left, update.top, update.right - update.left, update.bottom - update.top, dc,
                 update.left, update.top, SRCCOPY);
    } else {
        ::GdiFlush();
        ComposeLayered(client, update);
        RECT window = {0, 0, 0, 0};
        ::GetWindowRect(m_paintWnd, &window);
        POINT position = {window.left, window.top};
        SIZE size = {client.right, client.bottom};
        POINT origin = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_opacity, AC_SRC_ALPHA};
        ::UpdateLayeredWindow(m_paintWnd, paintDC, &position, &size, dc, &origin, 0, &blend, ULW_ALPHA);
    }
    ::SelectObject(dc, oldBitmap);
}

// Gives the layered back buffer its alpha: the layered image's, premultiplied, or
// opaque wherever GDI drew a colour.
void CPaintManagerUI::ComposeLayered(const RECT& client, const RECT& update) {
    if (m_offscreenBits == nullptr) return;
    if (!m_layeredImage.IsEmpty() && (!m_backgroundBitmap.IsValid() || m_layeredChanged)) {
        if (!m_backgroundDC.IsValid()) m_backgroundDC.Reset(::CreateCompatibleDC(GetPaintDC()));
        BYTE* bits = nullptr;
        m_backgroundBitmap.Reset(CUIRender::CreateARGB32Bitmap(GetPaintDC(), client.right, client.bottom, &bits));
        m_backgroundBits = reinterpret_cast<DWORD*>(bits);
        if (m_backgroundDC.IsValid() && m_backgroundBitmap.IsValid()) {
            HGDIOBJ old = ::SelectObject(m_backgroundDC.Get(), m_backgroundBitmap.Get());
            {
                CRenderClip clip;
                CRenderClip::GenerateClip(m_backgroundDC.Get(), client, clip);
                CUIRender::DrawImageString(m_backgroundDC.Get(), this, client, client, m_layeredImage, nullptr,
                                           nullptr);
            }
            ::SelectObject(m_backgroundDC.Get(), old);
            ::GdiFlush();
        }
    }
    bool image = !m_layeredImage.IsEmpty() && m_backgroundBits != nullptr;
    for (int y = update.top; y < update.bottom; ++y) {
        for (int x = update.left; x < update.right; ++x) {
            int index = BottomUpPixelIndex(x, y, client.right, client.bottom);
            DWORD& pixel = m_offscreenBits[index];
            pixel = image ? PremultiplyPixel(pixel, static_cast<BYTE>(m_backgroundBits[index] >> 24))
                          : FixGdiAlpha(pixel);
        }
    }
}

void CPaintManagerUI::OnPrintClient(HDC hdc, LPARAM flags) {
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_paintWnd, &client);
    int saved = ::SaveDC(hdc);
    m_root->Paint(hdc, client, nullptr);
    ::RestoreDC(hdc, saved);
    if ((flags & PRF_CHILDREN) == 0) return;
    for (HWND child = ::GetWindow(m_paintWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rc = GetNativeWindowRect(child);
        POINT old = {0, 0};
        ::SetWindowOrgEx(hdc, -rc.left, -rc.top, &old);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hdc), flags | PRF_NONCLIENT);
        ::SetWindowOrgEx(hdc, old.x, old.y, nullptr);
    }
}

void CPaintManagerUI::OnClose() {
    TEventInfo event = MakeEvent(0, nullptr);
    if (m_eventHover != nullptr) {
        event.Type = UIEVENT_MOUSELEAVE;
        event.pSender = m_eventHover;
        m_eventHover->Event(event);
    }
    if (m_eventClick != nullptr) {
        event.Type = UIEVENT_BUTTONUP;
        event.pSender = m_eventClick;
        m_eventClick->Event(event);
    }
    SetFocus(nullptr);
    HWND owner = ::GetWindow(m_paintWnd, GW_OWNER);
    if (::GetActiveWindow() == m_paintWnd && owner != nullptr) ::SetFocus(owner);
    if (m_tooltipWnd != nullptr) {
        ::DestroyWindow(m_tooltipWnd);
        m_tooltipWnd = nullptr;
    }
}

bool CPaintManagerUI::OnSetCursor(LPARAM lParam) {
    if (m_root == nullptr || LOWORD(lParam) != HTCLIENT) return false;
    if (m_mouseCapture) return true;
    POINT pt = {0, 0};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_paintWnd, &pt);
    CControlUI* control = OwnControlAt(pt);
    if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
    TEventInfo event = MakeEvent(UIEVENT_SETCURSOR, control);
    event.ptMouse = pt;
    control->Event(event);
    return true;
}

void CPaintManagerUI::OnGetMinMaxInfo(MINMAXINFO* info) const {
    if (info == nullptr) return;
    if (m_minSize.cx > 0) info->ptMinTrackSize.x = m_minSize.cx;
    if (m_minSize.cy > 0) info->ptMinTrackSize.y = m_minSize.cy;
    if (m_maxSize.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = m_maxSize.cx;
    if (m_maxSize.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = m_maxSize.cy;
}

// The control under the point when it belongs to this window; a child window's
// control ends the handling.
CControlUI* CPaintManagerUI::OwnControlAt(POINT pt) const {
    CControlUI* control = FindControlAt(pt);
    return (control != nullptr && control->GetManager() == this) ? control : nullptr;
}

void CPaintManagerUI::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, m_paintWnd,
                                 static_cast<DWORD>(m_hoverTime)};
        if (m_tooltipWnd != nullptr) {
            track.dwHoverTime = static_cast<DWORD>(::SendMessageW(m_tooltipWnd, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
        }
        ::TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    POINT pt = PointOf(lParam);
    bool moved = pt.x != m_lastMousePos.x || pt.y != m_lastMousePos.y;
    m_lastMousePos = pt;
    if (moved && m_dragMode && wParam == MK_LBUTTON) {
        StartDrag();
        return;
    }
    CControlUI* control = FindControlAt(pt);
    if (control != nullptr && control->GetManager() != this) {
        // A child window's control ends the move, except that the pressed control keeps
        // following the pointer, so a drag does not stall while crossing it.
        if (!m_mouseCapture || m_eventClick == nullptr) return;
        control = nullptr;
    }
    if (!m_mouseCapture && control != m_eventHover) {
        if (m_eventHover != nullptr) {
            TEventInfo leave = MakeEvent(UIEVENT_MOUSELEAVE, m_eventHover, wParam, lParam);
            CControlUI* old = m_eventHover;
            m_eventHover = nullptr;
            old->Event(leave);
            HideToolTip();
        }
        if (control != nullptr) {
            TEventInfo enter = MakeEvent(UIEVENT_MOUSEENTER, control, wParam, lParam);
            control->Event(enter);
            m_eventHover = control;
        }
    }
    CControlUI* target = m_eventClick != nullptr ? m_eventClick : control;
    if (target == nullptr) return;
    TEventInfo event = MakeEvent(UIEVENT_MOUSEMOVE, target, wParam, lParam);
    target->Event(event);
}

bool CPaintManagerUI::OnMouseHover() {
    m_mouseTracking = false;
    POINT pt = m_lastMousePos;
    CControlUI* control = OwnControlAt(pt);
    if (control == nullptr) return false;
    if (m_eventHover != nullptr) {
        TEventInfo event = MakeEvent(UIEVENT_MOUSEHOVER, m_eventHover);
        m_eventHover->Event(event);
    }
    ShowToolTip(control);
    return true;
}

void CPaintManagerUI::ShowToolTip(CControlUI* control) {
    CUIString text = control->GetToolTip();
    if (text.IsEmpty()) return;
    m_toolTipText = text;
    ::ZeroMemory(&m_toolInfo, sizeof(m_toolInfo));
    m_toolInfo.cbSize = 48;
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = m_paintWnd;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_paintWnd);
    m_toolInfo.hinst = GetInstance();
    m_toolInfo.lpszText = const_cast<wchar_t*>(m_toolTipText.GetData());
    m_toolInfo.rect = control->GetPos();
    if (m_tooltipWnd == nullptr) {
        InitCommonControlsOnce();
        m_tooltipWnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_paintWnd,
                                         nullptr, GetInstance(), nullptr);
        ::SendMessageW(m_tooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
        ::SendMessageW(m_tooltipWnd, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    }
    if (!::IsWindowVisible(m_tooltipWnd)) {
        ::SendMessageW(m_tooltipWnd, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
        ::SendMessageW(m_tooltipWnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
}

void CPaintManagerUI::HideToolTip() {
    if (m_tooltipWnd != nullptr) {
        ::SendMessageW(m_tooltipWnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
}

void CPaintManagerUI::OnMouseLeave() {
    HideToolTip();
    if (!m_mouseTracking) return;
    POINT cursor = {0, 0};
    ::GetCursorPos(&cursor);
    RECT window = {0, 0, 0, 0};
    ::GetWindowRect(m_paintWnd, &window);
    LPARAM outside = static_cast<LPARAM>(-1);
    LPARAM move = outside;
    if (!::IsIconic(m_paintWnd) && ::GetActiveWindow() == m_paintWnd && ::PtInRect(&window, cursor)) {
        LRESULT hit = ::SendMessageW(m_paintWnd, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
        if (hit == HTCLIENT) {
            ::ScreenToClient(m_paintWnd, &cursor);
            move = MAKELPARAM(cursor.x, cursor.y);
        }
    }
    ::SendMessageW(m_paintWnd, WM_MOUSEMOVE, 0, move);
    m_mouseTracking = false;
}

void CPaintManagerUI::OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam) {
    m_lastMousePos = PointOf(lParam);
    if (m_root == nullptr) return;
    if (!m_noActivate) ::SetFocus(m_paintWnd);
    CControlUI* control = OwnControlAt(m_lastMousePos);
    if (control == nullptr) return;
    TEventInfo event = MakeEvent(0, control, wParam, lParam);
    event.wKeyState = LOWORD(wParam);
    if (msg == WM_LBUTTONDOWN) {
        if (control->IsDragEnabled()) {
            m_dragMode = true;
            m_dragBitmap.Reset(CUIRender::GenerateBitmapFromRect(this, control, control->GetPos(), 0));
        }
        SetCapture();
        m_eventClick = control;
        control->SetFocus();
        event.Type = UIEVENT_BUTTONDOWN;
    } else if (msg == WM_LBUTTONDBLCLK) {
        SetCapture();
        event.Type = UIEVENT_DBLCLICK;
    } else {
        control->SetFocus();
        SetCapture();
        event.Type = msg == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN : UIEVENT_MBUTTONDOWN;
    }
    // Set before the event: a control that its handlers delete is forgotten, not kept.
    m_eventClick = control;
    control->Event(event);
}

void CPaintManagerUI::OnButtonUp(UINT msg, WPARAM wParam, LPARAM lParam) {
    m_lastMousePos = PointOf(lParam);
    if (msg == WM_LBUTTONUP) {
        if (m_eventClick == nullptr) return;
        ReleaseCapture();
        CControlUI* click = m_eventClick;
        m_eventClick = nullptr;
        TEventInfo event = MakeEvent(UIEVENT_BUTTONUP, click, wParam, lParam);
        event.wKeyState = LOWORD(wParam);
        click->Event(event);
        return;
    }
    // Only a control of this window may stay the click control: the manager forgets
    // its own controls when they go, but not those of a child window.
    m_eventClick = OwnControlAt(m_lastMousePos);
    if (m_eventClick == nullptr) return;
    ReleaseCapture();
    TEventInfo event = MakeEvent(msg == WM_RBUTTONUP ? UIEVENT_RBUTTONUP : UIEVENT_MBUTTONUP, m_eventClick, wParam,
                                 lParam);
    event.wKeyState = LOWORD(wParam);
    m_eventClick->Event(event);
}

void CPaintManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    POINT pt = PointOf(lParam);
    ::ScreenToClient(m_paintWnd, &pt);
    m_lastMousePos = pt;
    CControlUI* control = OwnControlAt(pt);
    if (control == nullptr) return;
    short delta = static_cast<short>(HIWORD(wParam));
    TEventInfo event = MakeEvent(UIEVENT_SCROLLWHEEL, control, delta < 0 ? 1 : 0, lParam);
    control->Event(event);
    ::SendMessageW(m_paintWnd, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMousePos.x, m_lastMousePos.y));
}

void CPaintManagerUI::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    POINT pt = PointOf(lParam);
    ::ScreenToClient(m_paintWnd, &pt);
    m_lastMousePos = pt;
    if (m_eventClick == nullptr) return;
    ReleaseCapture();
    CControlUI* click = m_eventClick;
    TEventInfo event = MakeEvent(UIEVENT_CONTEXTMENU, click, wParam, reinterpret_cast<LPARAM>(click));
    event.ptMouse = pt;
    event.wKeyState = LOWORD(wParam);
    click->Event(event);
    m_eventClick = nullptr;
}

void CPaintManagerUI::OnKey(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYUP) {
        if (m_eventKey == nullptr) return;
        TEventInfo event = MakeEvent(UIEVENT_KEYUP, m_eventKey, wParam, lParam);
        event.chKey = LOWORD(wParam);
        m_eventKey->Event(event);
        m_eventKey = nullptr;
        return;
    }
    if (m_focus == nullptr) return;
    TEventInfo event = MakeEvent(msg == WM_KEYDOWN ? UIEVENT_KEYDOWN : UIEVENT_CHAR, m_focus, wParam, lParam);
    event.chKey = LOWORD(wParam);
    m_focus->Event(event);
    if (msg == WM_KEYDOWN) m_eventKey = m_focus;
}

bool CPaintManagerUI::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (int i = 0; i < m_preMessageFilters.GetSize(); ++i) {
        bool handled = false;
        LRESULT answer =
            static_cast<IMessageFilterUI*>(m_preMessageFilters[i])->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }
    if (msg == WM_KEYDOWN && wParam == VK_TAB) {
        if (m_focus != nullptr && m_focus->IsVisible() && m_focus->IsEnabled() && FocusTakesTab()) return false;
        SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    if (msg == WM_SYSKEYDOWN) {
        if (m_focus != nullptr) {
            TEventInfo event;
            event.Type = UIEVENT_SYSKEY;
            event.chKey = static_cast<WORD>(wParam);
            event.ptMouse = m_lastMousePos;
            event.wKeyState = GetKeyState();
            event.dwTimestamp = ::GetTickCount();
            m_focus->Event(event);
        }
        return false;
    }
    if (msg == WM_SYSCHAR && m_root != nullptr) {
        TFindShortcut find;
        find.ch = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(wParam))));
        // In tree order, so that a label's letter reaches the control after it and the
        // first of two controls sharing a letter wins.
        const UINT flags = UIFIND_ENABLED | UIFIND_ME_FIRST;
        CControlUI* control = m_root->FindControl(MatchShortcut, &find, flags);
        if (control == nullptr) return false;
        control->SetFocus();
        control->Activate();
        return true;
    }
    return false;
}

}  // namespace HiveUI
