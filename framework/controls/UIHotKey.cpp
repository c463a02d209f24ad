#include "UIHotKey.h"

#include <cwchar>

#include "ButtonState.h"
#include "ControlLook.h"
#include "HotKeyWnd.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

bool IsExactKey(const wchar_t* name, const wchar_t* key) { return wcscmp(name, key) == 0; }

}  // namespace

CControlUI* CreateHotKeyControl() { return new CHotKeyUI; }

CHotKeyUI::CHotKeyUI()
    : m_window(nullptr), m_state(0), m_nativeBkColor(0xFFFFFFFF), m_virtualKey(0), m_modifiers(0) {
    SetTextPadding(RECT{4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
}

// The editing window outlives no control: it is closed now, and its final message finds
// no owner to clear.
CHotKeyUI::~CHotKeyUI() {
    if (m_window == nullptr) return;
    CHotKeyWnd* window = m_window;
    m_window = nullptr;
    window->SetOwnerGone();
    ::DestroyWindow(window->GetHWND());
}

const wchar_t* CHotKeyUI::GetClass() const { return L"HotKeyUI"; }

LPVOID CHotKeyUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"HotKey") == 0) return this;
    return CLabelUI::GetInterface(name);
}

UINT CHotKeyUI::GetControlFlags() const {
    return IsEnabled() ? static_cast<UINT>(UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0u;
}

HWND CHotKeyUI::GetNativeWindow() const { return m_window != nullptr ? m_window->GetHWND() : nullptr; }

void CHotKeyUI::SetText(const wchar_t* text) {
    m_text = text;
    if (m_window != nullptr) ::SetWindowTextW(m_window->GetHWND(), m_text);
    Invalidate();
}

void CHotKeyUI::SetEnabled(bool enable) {
    CControlUI::SetEnabled(enable);
    if (!IsEnabled()) m_state = 0;
}

void CHotKeyUI::SetNormalImage(const wchar_t* image) { SetLook(*this, m_normalImage, CUIString(image)); }
void CHotKeyUI::SetHotImage(const wchar_t* image) { SetLook(*this, m_hotImage, CUIString(image)); }
void CHotKeyUI::SetFocusedImage(const wchar_t* image) { SetLook(*this, m_focusedImage, CUIString(image)); }
void CHotKeyUI::SetDisabledImage(const wchar_t* image) { SetLook(*this, m_disabledImage, CUIString(image)); }

void CHotKeyUI::OpenEditor() {
    if (m_window != nullptr) return;
    m_window = new CHotKeyWnd;
    m_window->Init(this);
    // A window that could not be created deleted itself through its final message.
}

void CHotKeyUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CLabelUI::DoEvent(event); })) return;
    const bool enabled = IsEnabled();
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            if (!enabled) break;
            ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
            return;
        case UIEVENT_WINDOWSIZE:
            if (m_window == nullptr) break;
            // The editing window is rebuilt at the control's new place.
            m_manager->SetFocus(this);
            return;
        case UIEVENT_SCROLLWHEEL:
            if (m_window == nullptr) break;
            return;
        case UIEVENT_SETFOCUS:
            if (!enabled) break;
            OpenEditor();
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            if (!enabled) break;
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
        case UIEVENT_RBUTTONDOWN:
            if (!enabled) break;
            m_manager->ReleaseCapture();
            if (IsFocused()) OpenEditor();
            return;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_BUTTONUP:
        case UIEVENT_CONTEXTMENU:
            return;
        case UIEVENT_MOUSEENTER:
        case UIEVENT_MOUSELEAVE:
            if (!enabled) break;
            m_state = event.Type == UIEVENT_MOUSEENTER ? (m_state | UISTATE_HOT) : (m_state & ~UISTATE_HOT);
            Invalidate();
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CHotKeyUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsExactKey(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (IsExactKey(name, L"hotimage")) {
        SetHotImage(value);
    } else if (IsExactKey(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (IsExactKey(name, L"disabledimage")) {
        SetDisabledImage(value);
    } else if (IsExactKey(name, L"nativebkcolor")) {
        SetNativeBkColor(ReadSkinColor(value, false));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CHotKeyUI::PaintStatusImage(HDC hdc) {
    PaintFocusStateImage(*this, hdc, m_state, {m_normalImage, m_hotImage, m_focusedImage, m_disabledImage});
}

void CHotKeyUI::PaintText(HDC hdc) {
    DefaultTextColors();
    if (m_text.IsEmpty()) return;
    RECT rect = TextRect();
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    CUIRender::DrawText(hdc, m_manager, rect, m_text, color, m_font, m_textStyle | DT_SINGLELINE);
}

}  // namespace HiveUI
