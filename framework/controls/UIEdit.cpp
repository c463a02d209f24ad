#include "UIEdit.h"

#include <cwchar>

#include "ControlLook.h"
#include "EditWnd.h"
#include "NativeEditing.h"
#include "ResourceStore.h"
#include "SkinValue.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

DWORD ReadColorText(const wchar_t* color) {
    if (*color == L'#') ++color;
    return static_cast<DWORD>(wcstoul(color, nullptr, 16));
}

}  // namespace

CControlUI* CreateEditControl() { return new CEditUI; }

CEditUI::CEditUI()
    : m_window(nullptr),
      m_maxChar(255),
      m_readOnly(false),
      m_passwordMode(false),
      m_autoSelAll(false),
      m_passwordChar(L'*'),
      m_buttonState(0),
      m_tipValueColor(0xFFBAC0C5),
      m_nativeEditBkColor(0xFFFFFFFF),
      m_windowStyles(0) {
    m_textPadding = RECT{4, 3, 4, 3};
    SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI() {
    if (m_window != nullptr) m_window->Abandon();
}

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

LPVOID CEditUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Edit") == 0) return static_cast<CEditUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const {
    return IsEnabled() ? static_cast<UINT>(UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0u;
}

HWND CEditUI::GetNativeWindow() const { return m_window != nullptr ? m_window->GetHWND() : nullptr; }

RECT CEditUI::PaddedRect() const {
    return RECT{m_item.left + m_textPadding.left, m_item.top + m_textPadding.top, m_item.right - m_textPadding.right,
                m_item.bottom - m_textPadding.bottom};
}

void CEditUI::SetText(const wchar_t* text) {
    m_text = text;
    m_needMeasure = true;
    if (m_window != nullptr) ::SetWindowTextW(m_window->GetHWND(), m_text);
    Invalidate();
}

void CEditUI::SetMaxChar(UINT maxChar) {
    m_maxChar = maxChar;
    if (m_window != nullptr) m_window->SendMessage(EM_LIMITTEXT, m_maxChar);
}

void CEditUI::SetReadOnly(bool readOnly) {
    if (m_readOnly == readOnly) return;
    m_readOnly = readOnly;
    if (m_window != nullptr) m_window->SendMessage(EM_SETREADONLY, m_readOnly ? TRUE : FALSE);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    m_windowStyles = numberOnly ? (m_windowStyles | ES_NUMBER) : (m_windowStyles & ~static_cast<UINT>(ES_NUMBER));
}

void CEditUI::SetPasswordMode(bool passwordMode) {
    if (m_passwordMode == passwordMode) return;
    m_passwordMode = passwordMode;
    Invalidate();
    if (m_window == nullptr) return;
    const HWND wnd = m_window->GetHWND();
    const LONG style = ::GetWindowLongW(wnd, GWL_STYLE);
    ::SetWindowLongW(wnd, GWL_STYLE, passwordMode ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD));
}

void CEditUI::SetPasswordChar(wchar_t ch) {
    if (m_passwordChar == ch) return;
    m_passwordChar = ch;
    if (m_window != nullptr) m_window->SendMessage(EM_SETPASSWORDCHAR, m_passwordChar);
    Invalidate();
}

void CEditUI::SetNormalImage(const wchar_t* image) { SetLook(*this, m_normalImage, image); }
void CEditUI::SetHotImage(const wchar_t* image) { SetLook(*this, m_hotImage, image); }
void CEditUI::SetFocusedImage(const wchar_t* image) { SetLook(*this, m_focusedImage, image); }
void CEditUI::SetDisabledImage(const wchar_t* image) { SetLook(*this, m_disabledImage, image); }

CUIString CEditUI::GetTipValue() const {
    if (!IsResourceText()) return m_tipValue;
    return CResourceStore::GetInstance()->GetText(m_tipValue, nullptr);
}

void CEditUI::SetTipValueColor(const wchar_t* color) { m_tipValueColor = ReadColorText(color); }
void CEditUI::SetNativeEditBkColor(const wchar_t* color) { m_nativeEditBkColor = ReadColorText(color); }

void CEditUI::SetPos(RECT rect, bool needInvalidate) {
    CLabelUI::SetPos(rect, needInvalidate);
    if (m_window == nullptr) return;
    const RECT pos = m_window->PlacedRect();
    ::SetWindowPos(m_window->GetHWND(), nullptr, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::Move(SIZE offset, bool needInvalidate) {
    CLabelUI::Move(offset, needInvalidate);
    if (m_window == nullptr) return;
    const RECT pos = m_window->PlacedRect();
    ::SetWindowPos(m_window->GetHWND(), nullptr, pos.left, pos.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

void CEditUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible() && m_window != nullptr && m_manager != nullptr) m_manager->SetFocus(nullptr);
}

// A field in a hidden page is hidden with it, and stops editing.
void CEditUI::SetVisibleByParent(bool visible) {
    CLabelUI::SetVisibleByParent(visible);
    if (!IsVisible() && m_window != nullptr && m_manager != nullptr) m_manager->SetFocus(nullptr);
}

void CEditUI::SetEnabled(bool enable) {
    CLabelUI::SetEnabled(enable);
    if (!IsEnabled()) m_buttonState = 0;
}

bool CEditUI::StartEditing() { return m_window == nullptr && StartEditingIn(m_window, this); }

void CEditUI::SelectAll() {
    const int length = m_text.GetLength();
    m_window->SendMessage(EM_SETSEL, 0, length > 0 ? length : 1);
}

void CEditUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CLabelUI::DoEvent(event); })) return;
    if (TakeNativeEditingEvent(*this, event, m_window != nullptr)) return;
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
            if (!IsEnabled()) break;
            if (m_window != nullptr) return;
            StartEditing();
            Invalidate();
            break;
        case UIEVENT_KILLFOCUS:
            if (IsEnabled()) Invalidate();
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
        case UIEVENT_RBUTTONDOWN:
            OnPointerDown(event);
            return;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_BUTTONUP:
        case UIEVENT_CONTEXTMENU:
            return;
        case UIEVENT_MOUSEENTER:
            if (PtInRect(&m_item, event.ptMouse) && IsEnabled() && (m_buttonState & UISTATE_HOT) == 0) {
                m_buttonState |= UISTATE_HOT;
                Invalidate();
            }
            break;
        case UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                m_buttonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

// A click into a field being edited places the caret where the pointer is.
void CEditUI::OnPointerDown(TEventInfo& event) {
    if (!IsEnabled()) return;
    if (m_manager != nullptr) m_manager->ReleaseCapture();
    if (IsFocused() && m_window == nullptr) {
        if (StartEditing() && PtInRect(&m_item, event.ptMouse)) SelectAll();
        return;
    }
    if (m_window == nullptr || m_autoSelAll) return;
    m_window->SendMessage(EM_SETSEL, 0, 0);
    const POINT at = {event.ptMouse.x - m_item.left - m_textPadding.left,
                      event.ptMouse.y - m_item.top - m_textPadding.top};
    ::SendMessageW(m_window->GetHWND(), WM_LBUTTONDOWN, event.wParam, MAKELPARAM(at.x, at.y));
}

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (SetSwitchAttribute(name, value) || SetImageAttribute(name, value)) return;
    if (IsKey(name, L"passwordchar")) {
        SetPasswordChar(*value);
    } else if (IsKey(name, L"maxchar")) {
        SetMaxChar(static_cast<UINT>(ReadSkinNumber(value)));
    } else if (IsKey(name, L"tipvalue")) {
        SetTipValue(value);
    } else if (IsKey(name, L"tipvaluecolor")) {
        SetTipValueColor(value);
    } else if (IsKey(name, L"nativetextcolor")) {
        // The native window always writes in the field's own text colour.
    } else if (IsKey(name, L"nativebkcolor")) {
        SetNativeEditBkColor(value);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

bool CEditUI::SetSwitchAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsKey(name, L"readonly")) {
        SetReadOnly(ReadSkinBool(value));
    } else if (IsKey(name, L"numberonly")) {
        SetNumberOnly(ReadSkinBool(value));
    } else if (wcscmp(name, L"autoselall") == 0) {
        SetAutoSelAll(wcscmp(value, L"true") == 0);
    } else if (IsKey(name, L"password")) {
        SetPasswordMode(ReadSkinBool(value));
    } else {
        return false;
    }
    return true;
}

bool CEditUI::SetImageAttribute(const wchar_t* name, const wchar_t* value) {
    static const struct {
        const wchar_t* key;
        void (CEditUI::*set)(const wchar_t*);
    } keys[] = {
        {L"normalimage", &CEditUI::SetNormalImage},
        {L"hotimage", &CEditUI::SetHotImage},
        {L"focusedimage", &CEditUI::SetFocusedImage},
        {L"disabledimage", &CEditUI::SetDisabledImage},
    };
    for (const auto& key : keys) {
        if (!IsKey(name, key.key)) continue;
        (this->*key.set)(value);
        return true;
    }
    return false;
}

SIZE CEditUI::EstimateSize(SIZE available) {
    if (m_fixedSize.cy > 0 || m_manager == nullptr) return CLabelUI::EstimateSize(available);
    return SIZE{GetFixedWidth(), m_manager->GetFontInfo(m_font)->metrics.tmHeight + 6};
}

void CEditUI::PaintStatusImage(HDC hdc) {
    m_buttonState = IsFocused() ? (m_buttonState | UISTATE_FOCUSED) : (m_buttonState & ~UISTATE_FOCUSED);
    m_buttonState = IsEnabled() ? (m_buttonState & ~UISTATE_DISABLED) : (m_buttonState | UISTATE_DISABLED);
    const CUIString* image = nullptr;
    if ((m_buttonState & UISTATE_DISABLED) != 0) {
        image = &m_disabledImage;
    } else if ((m_buttonState & UISTATE_FOCUSED) != 0) {
        image = &m_focusedImage;
    } else if ((m_buttonState & UISTATE_HOT) != 0) {
        image = &m_hotImage;
    }
    if (image != nullptr && !image->IsEmpty() && DrawImage(hdc, *image)) return;
    if (!m_normalImage.IsEmpty()) DrawImage(hdc, m_normalImage);
}

void CEditUI::PaintText(HDC hdc) {
    if (m_manager == nullptr) return;
    DefaultTextColors();
    const CUIString text = GetText();
    const CUIString tip = GetTipValue();
    CUIString shown = text;
    DWORD color = m_textColor;
    if (text.IsEmpty() || text == tip) {
        shown = tip;
        color = m_tipValueColor;
    } else if (m_passwordMode) {
        shown.Empty();
        for (int i = 0; i < text.GetLength(); ++i) shown += m_passwordChar;
    }
    RECT rect = PaddedRect();
    CUIRender::DrawText(hdc, m_manager, rect, shown, IsEnabled() ? color : m_disabledTextColor, m_font,
                        m_textStyle | DT_SINGLELINE);
}

}  // namespace HiveUI
