#include "EditWnd.h"

#include <vector>

#include "NativeEditing.h"
#include "UIEdit.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const UINT kReflectedCommand = 0x2000 + WM_COMMAND;
const UINT kReflectedColorEdit = 0x2000 + WM_CTLCOLOREDIT;
const UINT kReflectedColorStatic = 0x2000 + WM_CTLCOLORSTATIC;
const UINT_PTR kCaretTimer = 6553;

}  // namespace

CEditWnd::CEditWnd() : m_initialised(false), m_caret(false) {}

const wchar_t* CEditWnd::GetWindowClassName() const { return L"EditWnd"; }
const wchar_t* CEditWnd::GetSuperClassName() const { return WC_EDITW; }

bool CEditWnd::IsLayered() const {
    return m_owner != nullptr && m_owner->GetManager() != nullptr && m_owner->GetManager()->IsLayered();
}

RECT CEditWnd::CalPos() const {
    RECT rect = m_owner->PaddedRect();
    const int fontHeight = m_owner->GetManager()->GetFontInfo(m_owner->GetFont())->metrics.tmHeight;
    if (rect.bottom - rect.top > fontHeight) {
        rect.top += (rect.bottom - rect.top - fontHeight) / 2;
        rect.bottom = rect.top + fontHeight;
    }
    return ClipToAncestors(*m_owner, rect);
}

// A layered window draws no child windows, so the field edits in a popup over it.
RECT CEditWnd::PlacedRect() const {
    RECT rect = CalPos();
    if (!IsLayered()) return rect;
    RECT window = {0, 0, 0, 0};
    ::GetWindowRect(m_owner->GetManager()->GetPaintWindow(), &window);
    ::OffsetRect(&rect, window.left, window.top - 1);
    return rect;
}

DWORD CEditWnd::CreationStyle() const {
    DWORD style = IsLayered() ? (WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL) : (WS_CHILD | ES_AUTOHSCROLL);
    const UINT textStyle = m_owner->GetTextStyle();
    if ((textStyle & DT_CENTER) != 0) {
        style |= ES_CENTER;
    } else if ((textStyle & DT_RIGHT) != 0) {
        style |= ES_RIGHT;
    }
    if (m_owner->IsPasswordMode()) style |= ES_PASSWORD;
    return style;
}

bool CEditWnd::Init(CEditUI* owner) {
    CPaintManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
    if (manager == nullptr || manager->GetPaintWindow() == nullptr) return false;
    m_owner = owner;
    if (!CreateOver(PlacedRect(), CreationStyle())) {
        m_owner = nullptr;
        return false;
    }
    ApplyOwnerSettings();
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (owner->IsAutoSelAll()) {
        SendMessage(EM_SETSEL, 0, length > 0 ? length : 1);
    } else {
        SendMessage(EM_SETSEL, length, length);
    }
    m_initialised = true;
    return true;
}

void CEditWnd::ApplyOwnerSettings() {
    CPaintManagerUI* manager = m_owner->GetManager();
    HFONT font = m_owner->GetFont() != -1 ? manager->GetFont(m_owner->GetFont()) : nullptr;
    if (font == nullptr) font = manager->GetDefaultFontInfo()->font;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessage(EM_LIMITTEXT, m_owner->GetMaxChar());
    if (m_owner->IsPasswordMode()) SendMessage(EM_SETPASSWORDCHAR, m_owner->GetPasswordChar());
    ::SetWindowTextW(m_hWnd, m_owner->GetText());
    SendMessage(EM_SETMODIFY, FALSE);
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::EnableWindow(m_hWnd, m_owner->IsEnabled() ? TRUE : FALSE);
    SendMessage(EM_SETREADONLY, m_owner->IsReadOnly() ? TRUE : FALSE);
    const LONG styles = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, styles | static_cast<LONG>(m_owner->GetWindowStyles()));
}

LRESULT CEditWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KILLFOCUS: {
            const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
            PostMessage(WM_CLOSE);
            return result;
        }
        case kReflectedCommand:
            return OnReflectedCommand(wParam);
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                if (m_owner != nullptr) m_owner->GetManager()->SendNotify(m_owner, L"return");
                return 0;
            }
            if (wParam == VK_TAB) {
                if (IsLayered()) m_owner->GetManager()->SetNextTabControl();
                return 0;
            }
            break;
        case WM_CHAR:
            // Enter and Tab were handled as keys: a single-line field takes neither.
            if (wParam == VK_RETURN || wParam == VK_TAB) return 0;
            break;
        case WM_TIMER:
            if (wParam != kCaretTimer) break;
            m_caret = !m_caret;
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
            return 0;
        case kReflectedColorEdit:
        case kReflectedColorStatic:
            return OnControlColor(reinterpret_cast<HDC>(wParam));
        default:
            break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LRESULT CEditWnd::OnReflectedCommand(WPARAM wParam) {
    switch (HIWORD(wParam)) {
        case EN_CHANGE:
            OnTextChanged();
            break;
        case EN_UPDATE:
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            break;
        default:
            break;
    }
    return 0;
}

// The owner's text follows every change directly (not through SetText, which would
// write the window's text back into it).
void CEditWnd::OnTextChanged() {
    if (!m_initialised || m_owner == nullptr) return;
    const int length = ::GetWindowTextLengthW(m_hWnd) + 1;
    std::vector<wchar_t> text(static_cast<size_t>(length), L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), length);
    m_owner->m_text = text.data();
    m_owner->GetManager()->SendNotify(m_owner, L"textchanged");
    // A handler may have removed the field.
    if (m_owner != nullptr && IsLayered()) m_owner->Invalidate();
}

LRESULT CEditWnd::OnControlColor(HDC hdc) {
    if (m_owner == nullptr) return 0;
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, ToColorRef(m_owner->GetTextColor()));
    const DWORD background = m_owner->GetNativeEditBkColor();
    if ((background >> 24) < 255) {
        // A see-through background shows the field as it is painted now: the brush
        // is made again each time, and the snapshot is only needed to make it.
        RECT rect = CalPos();
        CScopedGdiObject<HBITMAP> snapshot(
            CUIRender::GenerateBitmapFromRect(m_owner->GetManager(), m_owner, rect, background));
        m_brush.Reset(snapshot.IsValid() ? ::CreatePatternBrush(snapshot.Get()) : nullptr);
    } else if (!m_brush.IsValid()) {
        m_brush.Reset(::CreateSolidBrush(ToColorRef(background)));
    }
    return reinterpret_cast<LRESULT>(m_brush.Get());
}

void CEditWnd::OnFinalMessage(HWND wnd) {
    if (m_owner != nullptr) {
        m_owner->Invalidate();
        if (IsLayered()) m_owner->GetManager()->RemoveNativeWindow(wnd);
    }
    m_brush.Reset();
    CNativeEditWnd<CEditUI>::OnFinalMessage(wnd);
}

}  // namespace HiveUI
