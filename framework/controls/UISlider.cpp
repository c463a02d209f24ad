#include "UISlider.h"

#include <cwchar>

#include "ControlLook.h"
#include "DpiScale.h"
#include "UIManager.h"

namespace HiveUI {

CControlUI* CreateSliderControl() { return new CSliderUI; }

CSliderUI::CSliderUI()
    : m_thumbSize{10, 10}, m_buttonState(0), m_step(1), m_sendMove(false), m_watch(nullptr) {
    m_textStyle = DT_SINGLELINE | DT_CENTER;
}

CSliderUI::~CSliderUI() { CDestructionWatch::ControlGone(m_watch); }

const wchar_t* CSliderUI::GetClass() const { return L"SliderUI"; }

LPVOID CSliderUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Slider") == 0) return static_cast<CSliderUI*>(this);
    return CProgressUI::GetInterface(name);
}

void CSliderUI::SetEnabled(bool enable) {
    CProgressUI::SetEnabled(enable);
    if (!enable) m_buttonState = 0;
}

void CSliderUI::SetValue(int value) {
    if ((m_buttonState & UISTATE_CAPTURED) != 0) return;
    CProgressUI::SetValue(value);
}

void CSliderUI::SetThumbImage(const wchar_t* image) { SetLook(*this, m_thumbImage, image); }
void CSliderUI::SetThumbHotImage(const wchar_t* image) { SetLook(*this, m_thumbHotImage, image); }
void CSliderUI::SetThumbPushedImage(const wchar_t* image) { SetLook(*this, m_thumbPushedImage, image); }

// Measured by the range as painting repairs it, so an empty range puts the thumb at the
// start instead of dividing by nothing.
RECT CSliderUI::GetThumbRect() const {
    SIZE thumb = m_thumbSize;
    if (m_manager != nullptr) thumb = m_manager->GetDpiScale()->ScaleSize(thumb.cx, thumb.cy);
    const TRange range = Repaired();
    RECT rect;
    if (m_horizontal) {
        rect.left = m_item.left + Filled(range, range.value - range.min, m_item.right - m_item.left - thumb.cx);
        rect.top = (m_item.top + m_item.bottom - thumb.cy) / 2;
    } else {
        rect.left = (m_item.left + m_item.right - thumb.cx) / 2;
        rect.top = m_item.bottom - thumb.cy -
                   Filled(range, range.value - range.min, m_item.bottom - m_item.top - thumb.cy);
    }
    rect.right = rect.left + thumb.cx;
    rect.bottom = rect.top + thumb.cy;
    return rect;
}

// Inside the stops the travel (the length less the thumb) is at least one pixel, so the
// division is safe.
int CSliderUI::ValueAt(POINT pt, bool floating) const {
    long long offset = 0, travel = 0;
    if (m_horizontal) {
        const int half = m_thumbSize.cx / 2;
        if (pt.x >= m_item.right - half) return m_max;
        if (pt.x <= m_item.left + half) return m_min;
        offset = pt.x - m_item.left - half;
        travel = m_item.right - m_item.left - m_thumbSize.cx;
    } else {
        const int half = m_thumbSize.cy / 2;
        if (pt.y >= m_item.bottom - half) return m_min;
        if (pt.y <= m_item.top + half) return m_max;
        offset = m_item.bottom - pt.y - half;
        travel = m_item.bottom - m_item.top - m_thumbSize.cy;
    }
    const long long span = static_cast<long long>(m_max) - m_min;
    if (floating) return m_min + static_cast<int>(static_cast<double>(span) * offset / travel);
    return m_min + static_cast<int>(span * offset / travel);
}

bool CSliderUI::Notify(const wchar_t* type) {
    if (m_manager == nullptr) return true;
    CDestructionWatch watch(m_watch);
    m_manager->SendNotify(this, type);
    return !watch.IsGone();
}

void CSliderUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CLabelUI::DoEvent(event); })) return;
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK: {
            if (!IsEnabled()) return;
            m_buttonState |= UISTATE_CAPTURED;
            const int value = ValueAt(event.ptMouse, true);
            if (value >= m_min && value <= m_max) {
                m_value = value;
                Invalidate();
            }
            UpdateText();
            return;
        }
        // Only the left button drags: a right click (for a menu) leaves the value alone.
        case UIEVENT_BUTTONUP:
            if (!IsEnabled()) break;
            OnButtonUp(event);
            return;
        case UIEVENT_CONTEXTMENU:
            return;
        case UIEVENT_SCROLLWHEEL:
            if (!IsEnabled()) break;
            OnWheel(event);
            return;
        case UIEVENT_MOUSEMOVE:
            OnMouseMove(event);
            return;
        case UIEVENT_SETCURSOR:
            if (!IsEnabled()) break;
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        case UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                m_buttonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}

// "valuechanged" follows every release inside the range, also one that changed nothing.
void CSliderUI::OnButtonUp(const TEventInfo& event) {
    m_buttonState &= ~UISTATE_CAPTURED;
    const int value = ValueAt(event.ptMouse, false);
    if (value >= m_min && value <= m_max) {
        m_value = value;
        if (!Notify(L"valuechanged")) return;
        Invalidate();
    }
    UpdateText();
}

// A step past either end is ignored by SetValue, but still reported.
void CSliderUI::OnWheel(const TEventInfo& event) {
    switch (LOWORD(event.wParam)) {
        case 0:
            SetValue(m_value + m_step);
            Notify(L"valuechanged");
            break;
        case 1:
            SetValue(m_value - m_step);
            Notify(L"valuechanged");
            break;
        default:
            break;
    }
}

void CSliderUI::OnMouseMove(const TEventInfo& event) {
    if ((m_buttonState & UISTATE_CAPTURED) != 0) {
        m_value = ValueAt(event.ptMouse, true);
        if (m_sendMove) {
            UpdateText();
            if (!Notify(L"movevaluechanged")) return;
        }
        Invalidate();
    }
    const RECT thumb = GetThumbRect();
    if (IsEnabled() && PtInRect(&thumb, event.ptMouse)) {
        m_buttonState |= UISTATE_HOT;
    } else {
        m_buttonState &= ~UISTATE_HOT;
    }
    Invalidate();
}

void CSliderUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsKey(name, L"thumbimage")) {
        SetThumbImage(value);
    } else if (IsKey(name, L"thumbhotimage")) {
        SetThumbHotImage(value);
    } else if (IsKey(name, L"thumbpushedimage")) {
        SetThumbPushedImage(value);
    } else if (IsKey(name, L"thumbsize")) {
        SetThumbSize(ReadSkinSize(value));
    } else if (IsKey(name, L"step")) {
        SetStep(ReadSkinNumber(value));
    } else if (IsKey(name, L"sendmove")) {
        SetSendMove(ReadSkinBool(value));
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

void CSliderUI::PaintForeImage(HDC hdc) {
    CProgressUI::PaintForeImage(hdc);
    RECT thumb = GetThumbRect();
    OffsetRect(&thumb, -m_item.left, -m_item.top);
    if (m_manager != nullptr) m_manager->GetDpiScale()->ScaleBackRect(thumb);
    m_thumbModifier.Format(L"dest='%d,%d,%d,%d'", thumb.left, thumb.top, thumb.right, thumb.bottom);
    const CUIString* image = nullptr;
    if ((m_buttonState & UISTATE_CAPTURED) != 0) {
        image = &m_thumbPushedImage;
    } else if ((m_buttonState & UISTATE_HOT) != 0) {
        image = &m_thumbHotImage;
    }
    if (image != nullptr && !image->IsEmpty() && DrawImage(hdc, *image, m_thumbModifier)) return;
    if (!m_thumbImage.IsEmpty()) DrawImage(hdc, m_thumbImage, m_thumbModifier);
}

}  // namespace HiveUI
