#include "ListCheckBox.h"

#include <cwchar>

#include "ButtonState.h"
#include "UIControl.h"

namespace HiveUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }

}  // namespace

bool CListCheckBox::SetAttribute(const wchar_t* name, const wchar_t* value) {
    struct TImageKey {
        const wchar_t* key;
        CUIString CListCheckBox::*field;
    };
    static const TImageKey kImages[] = {
        {L"checkboxnormalimage", &CListCheckBox::m_normalImage},
        {L"checkboxhotimage", &CListCheckBox::m_hotImage},
        {L"checkboxpushedimage", &CListCheckBox::m_pushedImage},
        {L"checkboxfocusedimage", &CListCheckBox::m_focusedImage},
        {L"checkboxdisabledimage", &CListCheckBox::m_disabledImage},
        {L"checkboxselectedimage", &CListCheckBox::m_selectedImage},
        {L"checkboxforeimage", &CListCheckBox::m_foreImage},
    };
    if (Is(name, L"checkboxwidth") || Is(name, L"checkboxheight")) {
        const int size = _wtoi(value);
        if (size >= 0) (Is(name, L"checkboxwidth") ? m_width : m_height) = size;
        return true;
    }
    for (const TImageKey& image : kImages) {
        if (!Is(name, image.key)) continue;
        this->*image.field = value;
        return true;
    }
    return false;
}

bool CListCheckBox::SetCheck(bool check) {
    if (m_checked == check) return false;
    m_checked = check;
    m_state = check ? (m_state | UISTATE_SELECTED) : (m_state & ~UISTATE_SELECTED);
    return true;
}

RECT CListCheckBox::Rect(const RECT& item) const {
    const LONG left = item.left + 6;
    const LONG top = item.top + (item.bottom - item.top - m_height) / 2;
    return RECT{left, top, left + m_width, top + m_height};
}

CListCheckBox::TResult CListCheckBox::DoEvent(const TEventInfo& event, const RECT& rect) {
    TResult result;
    const bool inside = ::PtInRect(&rect, event.ptMouse) != FALSE;
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (!inside) break;
            m_state |= UISTATE_CAPTURED | UISTATE_PUSHED;
            result.repaint = true;
            break;
        case UIEVENT_MOUSEMOVE:
            if ((m_state & UISTATE_CAPTURED) == 0) break;
            m_state = inside ? (m_state | UISTATE_PUSHED) : (m_state & ~UISTATE_PUSHED);
            result.repaint = true;
            break;
        case UIEVENT_BUTTONUP:
            if ((m_state & UISTATE_CAPTURED) == 0) break;
            if (inside) {
                SetCheck(!m_checked);
                result.toggled = true;
            }
            m_state &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
            result.repaint = true;
            break;
        case UIEVENT_MOUSEENTER:
            if (!inside) break;
            m_state |= UISTATE_HOT;
            result.repaint = true;
            break;
        case UIEVENT_MOUSELEAVE:
            m_state &= ~UISTATE_HOT;
            result.repaint = true;
            break;
        default:
            break;
    }
    return result;
}

void CListCheckBox::Paint(HDC hdc, CControlUI& control, const RECT& rect) {
    const RECT item = control.GetPos();
    wchar_t dest[64];
    swprintf(dest, 64, L"dest='%d,%d,%d,%d'", static_cast<int>(rect.left - item.left),
             static_cast<int>(rect.top - item.top), static_cast<int>(rect.right - item.left),
             static_cast<int>(rect.bottom - item.top));
    auto draw = [&](const CUIString& image) { return !image.IsEmpty() && control.DrawImage(hdc, image, dest); };
    m_state &= ~UISTATE_PUSHED;
    if ((m_state & UISTATE_SELECTED) == 0 || !draw(m_selectedImage)) {
        m_state = control.IsFocused() ? (m_state | UISTATE_FOCUSED) : (m_state & ~UISTATE_FOCUSED);
        m_state = control.IsEnabled() ? (m_state & ~UISTATE_DISABLED) : (m_state | UISTATE_DISABLED);
        struct TStateImage {
            UINT bit;
            const CUIString* image;
        };
        const TStateImage states[] = {{UISTATE_DISABLED, &m_disabledImage},
                                      {UISTATE_PUSHED, &m_pushedImage},
                                      {UISTATE_HOT, &m_hotImage},
                                      {UISTATE_FOCUSED, &m_focusedImage}};
        for (const TStateImage& state : states) {
            if ((m_state & state.bit) == 0 || state.image->IsEmpty()) continue;
            if (draw(*state.image)) return;
            break;
        }
        if (draw(m_normalImage)) return;
    }
    draw(m_foreImage);
}

}  // namespace HiveUI
