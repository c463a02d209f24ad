#include "ListHeadBase.h"

#include <cwchar>

#include "ButtonState.h"
#include "DpiScale.h"
#include "ListStyle.h"
#include "SkinValue.h"
#include "UIHorizontalLayout.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

// How far the grab zone reaches from the separator into the head.
constexpr int kGrabReach = 4;

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

}  // namespace

template <class Base>
CListHeadBase<Base>::CListHeadBase()
    : m_lastMouse{0, 0},
      m_dragable(true),
      m_buttonState(0),
      m_sepWidth(4),
      m_textColor(0),
      m_font(-1),
      m_textStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
      m_showHtml(false),
      m_textPadding{2, 0, 2, 0} {
    this->SetMinWidth(16);
}

template <class Base>
UINT CListHeadBase<Base>::GetControlFlags() const {
    return this->IsEnabled() && m_sepWidth != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

template <class Base>
void CListHeadBase<Base>::SetDragable(bool dragable) {
    m_dragable = dragable;
    if (!dragable) m_buttonState &= ~UISTATE_CAPTURED;
}

template <class Base>
void CListHeadBase<Base>::SetSepWidth(int width) { m_sepWidth = width; }

template <class Base>
void CListHeadBase<Base>::SetTextColor(DWORD color) { m_textColor = color; }

template <class Base>
void CListHeadBase<Base>::SetFont(int font) { m_font = font; }

template <class Base>
void CListHeadBase<Base>::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    this->Invalidate();
}

template <class Base>
void CListHeadBase<Base>::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    this->Invalidate();
}

template <class Base>
void CListHeadBase<Base>::SetImage(CUIString& field, const wchar_t* image) {
    field = image;
    this->Invalidate();
}

template <class Base>
void CListHeadBase<Base>::SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
template <class Base>
void CListHeadBase<Base>::SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
template <class Base>
void CListHeadBase<Base>::SetPushedImage(const wchar_t* image) { SetImage(m_pushedImage, image); }
template <class Base>
void CListHeadBase<Base>::SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
template <class Base>
void CListHeadBase<Base>::SetSepImage(const wchar_t* image) { SetImage(m_sepImage, image); }

template <class Base>
void CListHeadBase<Base>::SetAttribute(const wchar_t* name, const wchar_t* value) {
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
    } else {
        Base::SetAttribute(name, value);
    }
}

template <class Base>
SIZE CListHeadBase<Base>::EstimateSize(SIZE) {
    if (this->GetFixedHeight() != 0 || this->m_manager == nullptr) return SIZE{this->GetFixedWidth(), this->GetFixedHeight()};
    return SIZE{this->GetFixedWidth(), this->m_manager->GetDefaultFontInfo()->metrics.tmHeight + 14};
}

template <class Base>
RECT CListHeadBase<Base>::GetThumbRect() const {
    RECT rc = this->m_item;
    if (m_sepWidth >= 0) {
        rc.left = rc.right - m_sepWidth;
    } else {
        rc.right = rc.left - m_sepWidth;
    }
    return rc;
}

template <class Base>
RECT CListHeadBase<Base>::GrabRect() const {
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
template <class Base>
void CListHeadBase<Base>::DragTo(POINT pt) {
    RECT rc = this->m_item;
    if (m_sepWidth >= 0) {
        rc.right += pt.x - m_lastMouse.x;
    } else {
        rc.left += pt.x - m_lastMouse.x;
    }
    const int width = rc.right - rc.left;
    if (width <= this->GetMinWidth()) return;
    this->m_item = rc;
    this->m_fixedSize.cx = this->m_manager != nullptr ? this->m_manager->GetDpiScale()->ScaleBack(width) : width;
    m_lastMouse = pt;
    if (this->m_parent != nullptr) this->m_parent->NeedParentLayout();
}

template <class Base>
void CListHeadBase<Base>::DoEvent(TEventInfo& event) {
    if (!this->IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (this->m_parent != nullptr) {
            this->m_parent->DoEvent(event);
        } else {
            Base::DoEvent(event);
        }
        return;
    }
    const RECT grab = GrabRect();
    const bool inGrab = ::PtInRect(&grab, event.ptMouse) != FALSE;
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            this->Invalidate();
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (!this->IsEnabled()) break;
            if (inGrab) {
                if (m_dragable) {
                    m_buttonState |= UISTATE_CAPTURED;
                    m_lastMouse = event.ptMouse;
                }
            } else {
                m_buttonState |= UISTATE_PUSHED;
                if (this->m_manager != nullptr) this->m_manager->SendNotify(this, ClickNotification(), 0, 0, false);
                this->Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if ((m_buttonState & UISTATE_CAPTURED) == 0) break;
            DragTo(event.ptMouse);
            return;
        case UIEVENT_BUTTONUP:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                m_buttonState &= ~UISTATE_CAPTURED;
                if (this->m_parent != nullptr) this->m_parent->NeedParentLayout();
            } else if ((m_buttonState & UISTATE_PUSHED) != 0) {
                m_buttonState &= ~UISTATE_PUSHED;
                this->Invalidate();
            }
            return;
        case UIEVENT_SETCURSOR:
            if (!this->IsEnabled() || !m_dragable || !inGrab) break;
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        case UIEVENT_MOUSEENTER:
        case UIEVENT_MOUSELEAVE:
            if (!this->IsEnabled()) break;
            if (event.Type == UIEVENT_MOUSEENTER) {
                m_buttonState |= UISTATE_HOT;
            } else {
                m_buttonState &= ~UISTATE_HOT;
            }
            this->Invalidate();
            return;
        default:
            break;
    }
    Base::DoEvent(event);
}

template <class Base>
void CListHeadBase<Base>::PaintStatusImage(HDC hdc) {
    m_buttonState = this->IsFocused() ? (m_buttonState | UISTATE_FOCUSED) : (m_buttonState & ~UISTATE_FOCUSED);
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
    if (!state->IsEmpty()) this->DrawImage(hdc, *state);
    if (m_sepImage.IsEmpty()) return;
    const RECT sep = GetThumbRect();
    wchar_t modifier[64];
    swprintf(modifier, 64, L"dest='%d,%d,%d,%d'", static_cast<int>(sep.left - this->m_item.left),
             static_cast<int>(sep.top - this->m_item.top), static_cast<int>(sep.right - this->m_item.left),
             static_cast<int>(sep.bottom - this->m_item.top));
    m_sepImageModify = modifier;
    this->DrawImage(hdc, m_sepImage, m_sepImageModify);
}

template <class Base>
void CListHeadBase<Base>::PaintText(HDC hdc) {
    if (m_textColor == 0 && this->m_manager != nullptr) m_textColor = this->m_manager->GetDefaultFontColor();
    const CUIString text = this->GetText();
    if (text.IsEmpty()) return;
    const RECT padding = this->ScaleRect(m_textPadding);
    RECT rc = {this->m_item.left + padding.left, this->m_item.top + padding.top, this->m_item.right - padding.right,
               this->m_item.bottom - padding.bottom};
    UINT style = m_textStyle;
    AdjustTextArea(rc, style);
    if (m_showHtml) {
        int noLinks = 0;
        CUIRender::DrawHtmlText(hdc, this->m_manager, rc, text, m_textColor, nullptr, nullptr, noLinks, m_font, style);
    } else {
        CUIRender::DrawText(hdc, this->m_manager, rc, text, m_textColor, m_font, style);
    }
}

template <class Base>
void CListHeadBase<Base>::AdjustTextArea(RECT&, UINT&) const {}

template class CListHeadBase<CContainerUI>;
template class CListHeadBase<CHorizontalLayoutUI>;

}  // namespace HiveUI
