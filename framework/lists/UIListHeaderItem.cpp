#include "UIListHeaderItem.h"

#include <cwchar>

#include "ButtonState.h"
#include "DpiScale.h"
#include "ListStyle.h"
#include "SkinValue.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

// How far the grab zone reaches from the separator into the head.
constexpr int kGrabReach = 4;

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

}  // namespace

CControlUI* CreateListHeaderItemControl() { return new CListHeaderItemUI; }

CListHeaderItemUI::CListHeaderItemUI()
    : m_lastMouse{0, 0},
      m_dragable(true),
      m_buttonState(0),
      m_sepWidth(4),
      m_textColor(0),
      m_font(-1),
      m_textStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
      m_showHtml(false),
      m_textPadding{2, 0, 2, 0},
      m_scale(0) {
    SetMinWidth(16);
}

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* name) {
    if (Is(name, L"ListHeaderItem")) return static_cast<CListHeaderItemUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const {
    return IsEnabled() && m_sepWidth != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CListHeaderItemUI::SetDragable(bool dragable) {
    m_dragable = dragable;
    if (!dragable) m_buttonState &= ~UISTATE_CAPTURED;
}

void CListHeaderItemUI::SetSepWidth(int width) { m_sepWidth = width; }

void CListHeaderItemUI::SetTextColor(DWORD color) { m_textColor = color; }

void CListHeaderItemUI::SetFont(int font) { m_font = font; }

void CListHeaderItemUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    Invalidate();
}

void CListHeaderItemUI::SetImage(CUIString& field, const wchar_t* image) {
    field = image;
    Invalidate();
}

void CListHeaderItemUI::SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
void CListHeaderItemUI::SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
void CListHeaderItemUI::SetPushedImage(const wchar_t* image) { SetImage(m_pushedImage, image); }
void CListHeaderItemUI::SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
void CListHeaderItemUI::SetSepImage(const wchar_t* image) { SetImage(m_sepImage, image); }

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"dragable")) {
        SetDragable(ReadSkinBool(value));
    } else if (Is(name, L"sepwidth")) {
        SetSepWidth(_wtoi(value));
    } else if (Is(name, L"align")) {
        m_textStyle = ApplyTextAlign(m_textStyle, value);
    } else if (Is(name, L"endellipsis")) {
        m_textStyle = ReadSkinBool(value) ? (m_textStyle | DT_END_ELLIPSIS) : (m_textStyle & ~DT_END_ELLIPSIS);
    } else if (Is(name, L"font")) {
        SetFont(_wtoi(value));
    } else if (Is(name, L"textcolor")) {
        SetTextColor(ReadSkinColor(value, false));
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(ReadSkinRect(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(ReadSkinBool(value));
    } else if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"pushedimage")) {
        SetPushedImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"sepimage")) {
        SetSepImage(value);
    } else if (Is(name, L"scale")) {
        SetScale(_wtoi(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

SIZE CListHeaderItemUI::EstimateSize(SIZE) {
    if (GetFixedHeight() != 0 || m_manager == nullptr) return SIZE{GetFixedWidth(), GetFixedHeight()};
    return SIZE{GetFixedWidth(), m_manager->GetDefaultFontInfo()->metrics.tmHeight + 14};
}

RECT CListHeaderItemUI::GetThumbRect() const {
    RECT rc = m_item;
    if (m_sepWidth >= 0) {
        rc.left = rc.right - m_sepWidth;
    } else {
        rc.right = rc.left - m_sepWidth;
    }
    return rc;
}

RECT CListHeaderItemUI::GrabRect() const {
    RECT rc = GetThumbRect();
    if (m_sepWidth >= 0) {
        rc.left -= kGrabReach;
    } else {
        rc.right += kGrabReach;
    }
    return rc;
}

// The dragged edge follows the pointer while the head stays wider than its minimum;
// a step that would make it narrower waits until the pointer comes back.
void CListHeaderItemUI::DragTo(POINT pt) {
    RECT rc = m_item;
    if (m_sepWidth >= 0) {
        rc.right += pt.x - m_lastMouse.x;
    } else {
        rc.left += pt.x - m_lastMouse.x;
    }
    const int width = rc.right - rc.left;
    if (width <= GetMinWidth()) return;
    m_item = rc;
    m_fixedSize.cx = m_manager != nullptr ? m_manager->GetDpiScale()->ScaleBack(width) : width;
    m_lastMouse = pt;
    if (m_parent != nullptr) m_parent->NeedParentLayout();
}

void CListHeaderItemUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_parent != nullptr) {
            m_parent->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    const RECT grab = GrabRect();
    const bool inGrab = ::PtInRect(&grab, event.ptMouse) != FALSE;
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            Invalidate();
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (!IsEnabled()) break;
            if (inGrab) {
                if (m_dragable) {
                    m_buttonState |= UISTATE_CAPTURED;
                    m_lastMouse = event.ptMouse;
                }
            } else {
                m_buttonState |= UISTATE_PUSHED;
                if (m_manager != nullptr) m_manager->SendNotify(this, L"headerclick", 0, 0, false);
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if ((m_buttonState & UISTATE_CAPTURED) == 0) break;
            DragTo(event.ptMouse);
            return;
        case UIEVENT_BUTTONUP:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                m_buttonState &= ~UISTATE_CAPTURED;
                if (m_parent != nullptr) m_parent->NeedParentLayout();
            } else if ((m_buttonState & UISTATE_PUSHED) != 0) {
                m_buttonState &= ~UISTATE_PUSHED;
                Invalidate();
            }
            return;
        case UIEVENT_SETCURSOR:
            if (!IsEnabled() || !m_dragable || !inGrab) break;
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        case UIEVENT_MOUSEENTER:
        case UIEVENT_MOUSELEAVE:
            if (!IsEnabled()) break;
            if (event.Type == UIEVENT_MOUSEENTER) {
                m_buttonState |= UISTATE_HOT;
            } else {
                m_buttonState &= ~UISTATE_HOT;
            }
            Invalidate();
            return;
        default:
            break;
    }
    CContainerUI::DoEvent(event);
}

void CListHeaderItemUI::PaintStatusImage(HDC hdc) {
    m_buttonState = IsFocused() ? (m_buttonState | UISTATE_FOCUSED) : (m_buttonState & ~UISTATE_FOCUSED);
    const CUIString* state = nullptr;
    if ((m_buttonState & UISTATE_PUSHED) != 0) {
        state = &m_pushedImage;
    } else if ((m_buttonState & UISTATE_HOT) != 0) {
        state = &m_hotImage;
    } else if ((m_buttonState & UISTATE_FOCUSED) != 0) {
        state = &m_focusedImage;
    }
    // A state without an image of its own shows the normal one.
    if (state == nullptr || state->IsEmpty()) state = &m_normalImage;
    if (!state->IsEmpty()) DrawImage(hdc, *state);
    if (m_sepImage.IsEmpty()) return;
    const RECT sep = GetThumbRect();
    wchar_t modifier[64];
    swprintf(modifier, 64, L"dest='%d,%d,%d,%d'", static_cast<int>(sep.left - m_item.left),
             static_cast<int>(sep.top - m_item.top), static_cast<int>(sep.right - m_item.left),
             static_cast<int>(sep.bottom - m_item.top));
    m_sepImageModify = modifier;
    DrawImage(hdc, m_sepImage, m_sepImageModify);
}

void CListHeaderItemUI::PaintText(HDC hdc) {
    if (m_textColor == 0 && m_manager != nullptr) m_textColor = m_manager->GetDefaultFontColor();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    const RECT padding = ScaleRect(m_textPadding);
    RECT rc = {m_item.left + padding.left, m_item.top + padding.top, m_item.right - padding.right,
               m_item.bottom - padding.bottom};
    if (m_showHtml) {
        int noLinks = 0;
        CUIRender::DrawHtmlText(hdc, m_manager, rc, text, m_textColor, nullptr, nullptr, noLinks, m_font, m_textStyle);
    } else {
        CUIRender::DrawText(hdc, m_manager, rc, text, m_textColor, m_font, m_textStyle);
    }
}

}  // namespace HiveUI
