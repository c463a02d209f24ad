#include "ActiveXWnd.h"

#include "ActiveXCtrl.h"
#include "UIActiveX.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const UINT_PTR kCaretTimer = 6553;
// The caret line shows for this many blink ticks, then hides for as many.
const int kCaretTicksPerToggle = 10;
const DWORD kHostStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

}  // namespace

HWND CActiveXWnd::Init(CActiveXCtrl* owner, HWND parent) {
    m_owner = owner;
    RECT empty = {0, 0, 0, 0};
    if (CreateInRect(parent, L"UIActiveX", kHostStyle, 0, empty) == nullptr) return nullptr;
    if (m_owner->m_owner != nullptr) m_owner->m_owner->m_hostWnd = m_hWnd;
    return m_hWnd;
}

bool CActiveXWnd::IsLayered() const {
    CActiveXUI* control = m_owner != nullptr ? m_owner->m_owner : nullptr;
    return control != nullptr && control->GetManager() != nullptr && control->GetManager()->IsLayered();
}

void CActiveXWnd::OnFinalMessage(HWND wnd) {
    if (IsLayered()) m_owner->m_owner->GetManager()->RemoveNativeWindow(wnd);
    if (m_owner != nullptr) {
        if (m_owner->m_window == this) m_owner->m_window = nullptr;
        if (m_owner->m_owner != nullptr && m_owner->m_owner->m_hostWnd == wnd) m_owner->m_owner->m_hostWnd = nullptr;
    }
    delete this;
}

void CActiveXWnd::DoVerb(LONG verb) {
    if (m_owner == nullptr || m_owner->m_owner == nullptr || !m_owner->m_owner->m_object) return;
    CActiveXUI* control = m_owner->m_owner;
    CComRef<IOleClientSite> clientSite;
    m_owner->QueryInterface(IID_IOleClientSite, clientSite.Out());
    RECT rc = control->GetPos();
    control->m_object->DoVerb(verb, nullptr, clientSite.Get(), 0, m_hWnd, &rc);
}

LRESULT CActiveXWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            if (IsLayered()) ::SetTimer(m_hWnd, kCaretTimer, ::GetCaretBlinkTime(), nullptr);
            return 0;
        case WM_TIMER:
            if (wParam != kCaretTimer || !IsLayered()) break;
            if (++m_caretTicks % kCaretTicksPerToggle == 0) m_caretDrawn = !m_caretDrawn;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            ::BeginPaint(m_hWnd, &ps);
            ::EndPaint(m_hWnd, &ps);
            return 1;
        }
        case WM_PRINT:
            return OnPrint(reinterpret_cast<HDC>(wParam));
        case WM_SETFOCUS:
            if (m_owner != nullptr) {
                m_owner->m_focused = true;
                if (!m_owner->m_uiActivated) DoVerb(OLEIVERB_UIACTIVATE);
            }
            break;
        case WM_KILLFOCUS:
            if (m_owner != nullptr) m_owner->m_focused = false;
            break;
        case WM_ERASEBKGND:
            if (m_owner == nullptr || !m_owner->m_viewObject) break;
            return 1;
        case WM_MOUSEACTIVATE:
            return OnMouseActivate(wParam, lParam);
        case WM_MOUSEWHEEL:
            return 0;
        default:
            break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LRESULT CActiveXWnd::OnMouseActivate(WPARAM wParam, LPARAM lParam) {
    CActiveXUI* control = m_owner != nullptr ? m_owner->m_owner : nullptr;
    if (control != nullptr && control->m_object) {
        DWORD misc = 0;
        control->m_object->GetMiscStatus(DVASPECT_CONTENT, &misc);
        if ((misc & OLEMISC_NOUIACTIVATE) != 0) return 0;
        if (!m_owner->m_inPlaceActive) DoVerb(OLEIVERB_INPLACEACTIVATE);
    }
    return CWindowWnd::HandleMessage(WM_MOUSEACTIVATE, wParam, lParam);
}

LRESULT CActiveXWnd::OnPrint(HDC hdc) {
    if (m_owner == nullptr || !m_owner->m_viewObject) return 1;
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &client);
    RECTL bounds = {client.left, client.top, client.right, client.bottom};
    m_owner->m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hdc, &bounds, &bounds, nullptr, 0);
    if (m_caretDrawn) DrawCaret(hdc);
    return 1;
}

// A layered window shows no native caret, so the blinking line is drawn into the copy.
void CActiveXWnd::DrawCaret(HDC hdc) {
    CActiveXUI* control = m_owner->m_owner;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (control == nullptr || control->GetManager() == nullptr || !::GetGUIThreadInfo(::GetCurrentThreadId(), &info) ||
        info.hwndCaret == nullptr) {
        return;
    }
    POINT pt = {info.rcCaret.left, info.rcCaret.top};
    ::MapWindowPoints(info.hwndCaret, control->GetManager()->GetPaintWindow(), &pt, 1);
    if (!::PtInRect(&control->GetPos(), pt)) return;
    RECT line = {info.rcCaret.left, info.rcCaret.top, info.rcCaret.left, info.rcCaret.bottom};
    CUIRender::DrawLine(hdc, line, 1, 0xFF000000);
}

}  // namespace HiveUI
