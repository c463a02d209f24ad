#include "UIScrollBar.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "DpiScale.h"
#include "SkinValue.h"
#include "UIContainer.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

// A vertical bar's width (a horizontal bar's height) unless the skin says otherwise.
const int kDefaultThickness = 16;
// Ticks a held arrow or rail waits before it repeats (about 300 ms).
const int kRepeatDelayTicks = 5;
// Outline of a part that no image draws.
const DWORD kFallbackOutline = 0xFF85E4FF;

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

bool IsZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

void SetBit(UINT& state, UINT bit, bool on) { state = on ? (state | bit) : (state & ~bit); }

}  // namespace

CControlUI* CreateScrollBarControl() { return new CScrollBarUI; }

CScrollBarUI::CScrollBarUI()
    : m_horizontal(false),
      m_range(0),
      m_position(0),
      m_lineSize(8),
      m_owner(nullptr),
      m_lastMouse{0, 0},
      m_lastScrollPos(0),
      m_lastScrollOffset(0),
      m_repeatCount(0),
      m_showButton1(true),
      m_button1{0, 0, 0, 0},
      m_button1State(0),
      m_showButton2(true),
      m_button2{0, 0, 0, 0},
      m_button2State(0),
      m_thumb{0, 0, 0, 0},
      m_thumbState(0) {
    m_fixedSize.cx = kDefaultThickness;
}

CScrollBarUI::~CScrollBarUI() = default;

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::GetInterface(const wchar_t* name) {
    if (Is(name, L"ScrollBar")) return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetOwner(CContainerUI* owner) { m_owner = owner; }

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal) return;
    m_horizontal = horizontal;
    if (horizontal && m_fixedSize.cy == 0) {
        m_fixedSize.cx = 0;
        m_fixedSize.cy = kDefaultThickness;
    } else if (!horizontal && m_fixedSize.cx == 0) {
        m_fixedSize.cx = kDefaultThickness;
        m_fixedSize.cy = 0;
    }
    if (m_owner != nullptr) {
        m_owner->NeedLayout();
    } else {
        NeedParentLayout();
    }
}

void CScrollBarUI::SetScrollRange(int range) {
    if (m_range == range) return;
    m_range = std::max(range, 0);
    m_position = std::min(m_position, m_range);
    SetPos(m_item, true);
}

void CScrollBarUI::SetScrollPos(int position) {
    if (m_position == position) return;
    m_position = std::min(std::max(position, 0), m_range);
    SetPos(m_item, true);
}

void CScrollBarUI::SetLineSize(int size) {
    // The "scroll" line number divides by it.
    if (size >= 1) m_lineSize = size;
}

void CScrollBarUI::SetShowButton1(bool show) {
    m_showButton1 = show;
    SetPos(m_item, true);
}

void CScrollBarUI::SetShowButton2(bool show) {
    m_showButton2 = show;
    SetPos(m_item, true);
}

void CScrollBarUI::SetVisible(bool visible) {
    if (m_visible == visible) return;
    m_visible = visible;
    m_focused = false;
}

void CScrollBarUI::SetEnabled(bool enable) {
    CControlUI::SetEnabled(enable);
    if (enable) return;
    m_button1State = 0;
    m_button2State = 0;
    m_thumbState = 0;
}

void CScrollBarUI::SetFocus() {
    if (m_owner != nullptr) {
        m_owner->SetFocus();
    } else {
        CControlUI::SetFocus();
    }
}

void CScrollBarUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    int cx = GetFixedWidth();
    int cy = GetFixedHeight();
    if (m_horizontal) {
        LayoutHorizontal(cx, cy);
    } else {
        LayoutVertical(cx, cy);
    }
}

void CScrollBarUI::LayoutHorizontal(int, int cy) {
    const RECT& rc = m_item;
    int width = rc.right - rc.left;
    int track = width - (m_showButton1 ? cy : 0) - (m_showButton2 ? cy : 0);
    int button = cy;
    if (cy >= track) button = std::min(width / 2, cy);
    m_button1 = m_showButton1 ? RECT{rc.left, rc.top, rc.left + button, rc.top + cy} : RECT{rc.left, rc.top, rc.left, rc.top};
    m_button2 =
        m_showButton2 ? RECT{rc.right - button, rc.top, rc.right, rc.top + cy} : RECT{rc.right, rc.top, rc.right, rc.top};
    if (cy >= track) {
        m_thumb = {0, 0, 0, 0};
        return;
    }
    m_thumb.top = rc.top;
    m_thumb.bottom = rc.top + cy;
    if (m_range < 1) {
        m_thumb.left = m_button1.right;
        m_thumb.right = m_button2.left;
        return;
    }
    int length = std::max(static_cast<int>(static_cast<long long>(width) * track / (width + m_range)), cy);
    m_thumb.left = static_cast<int>(static_cast<long long>(track - length) * m_position / m_range) + m_button1.right;
    m_thumb.right = m_thumb.left + length;
    if (m_thumb.right > m_button2.left) {
        m_thumb.left = m_button2.left - length;
        m_thumb.right = m_button2.left;
    }
}

void CScrollBarUI::LayoutVertical(int cx, int) {
    const RECT& rc = m_item;
    int height = rc.bottom - rc.top;
    int track = height - (m_showButton1 ? cx : 0) - (m_showButton2 ? cx : 0);
    int button = cx;
    if (cx >= track) button = std::min(height / 2, cx);
    m_button1 = m_showButton1 ? RECT{rc.left, rc.top, rc.left + cx, rc.top + button} : RECT{rc.left, rc.top, rc.left, rc.top};
    m_button2 = m_showButton2 ? RECT{rc.left, rc.bottom - button, rc.left + cx, rc.bottom}
                              : RECT{rc.left, rc.bottom, rc.left, rc.bottom};
    if (cx >= track) {
        m_thumb = {0, 0, 0, 0};
        return;
    }
    m_thumb.left = rc.left;
    m_thumb.right = rc.left + cx;
    if (m_range < 1) {
        m_thumb.top = m_button1.bottom;
        m_thumb.bottom = m_button2.top;
        return;
    }
    int length = std::max(static_cast<int>(static_cast<long long>(height) * track / (height + m_range)), cx);
    m_thumb.top = static_cast<int>(static_cast<long long>(track - length) * m_position / m_range) + m_button1.bottom;
    m_thumb.bottom = m_thumb.top + length;
    if (m_thumb.bottom > m_button2.top) {
        m_thumb.top = m_button2.top - length;
        m_thumb.bottom = m_button2.top;
    }
}

void CScrollBarUI::StepBack() {
    if (m_owner == nullptr) {
        SetScrollPos(m_position - m_lineSize);
    } else if (m_horizontal) {
        m_owner->LineLeft();
    } else {
        m_owner->LineUp();
    }
}

void CScrollBarUI::StepForward() {
    if (m_owner == nullptr) {
        SetScrollPos(m_position + m_lineSize);
    } else if (m_horizontal) {
        m_owner->LineRight();
    } else {
        m_owner->LineDown();
    }
}

void CScrollBarUI::PageBack() {
    if (m_owner == nullptr) {
        SetScrollPos(m_position - (m_horizontal ? GetWidth() : GetHeight()));
    } else if (m_horizontal) {
        m_owner->PageLeft();
    } else {
        m_owner->PageUp();
    }
}

void CScrollBarUI::PageForward() {
    if (m_owner == nullptr) {
        SetScrollPos(m_position + (m_horizontal ? GetWidth() : GetHeight()));
    } else if (m_horizontal) {
        m_owner->PageRight();
    } else {
        m_owner->PageDown();
    }
}

void CScrollBarUI::PageAt(POINT pt) {
    bool before = m_horizontal ? pt.x < m_thumb.left : pt.y < m_thumb.top;
    if (before) {
        PageBack();
    } else {
        PageForward();
    }
}

void CScrollBarUI::SendScroll() {
    if (m_manager != nullptr) m_manager->SendNotify(this, L"scroll", 0, 0, false);
}

void CScrollBarUI::ForwardEvent(TEventInfo& event) {
    if (m_owner != nullptr) {
        m_owner->DoEvent(event);
    } else {
        CControlUI::DoEvent(event);
    }
}

void CScrollBarUI::OnButtonDown(const TEventInfo& event) {
    m_repeatCount = 0;
    m_lastScrollOffset = 0;
    if (m_manager != nullptr) m_manager->SetTimer(this, kRepeatTimerId, kRepeatElapse);
    POINT pt = event.ptMouse;
    if (::PtInRect(&m_button1, pt)) {
        m_button1State |= kStatePushed;
        StepBack();
    } else if (::PtInRect(&m_button2, pt)) {
        m_button2State |= kStatePushed;
        StepForward();
    } else if (::PtInRect(&m_thumb, pt)) {
        m_thumbState |= kStateCaptured | kStatePushed;
        m_lastMouse = pt;
        m_lastScrollPos = m_position;
    } else {
        PageAt(pt);
    }
    SendScroll();
}

void CScrollBarUI::OnButtonUp() {
    m_repeatCount = 0;
    m_lastScrollOffset = 0;
    if (m_manager != nullptr) m_manager->KillTimer(this, kRepeatTimerId);
    if ((m_thumbState & kStateCaptured) != 0) {
        m_thumbState &= ~(kStateCaptured | kStatePushed);
    } else if ((m_button1State & kStatePushed) != 0) {
        m_button1State &= ~kStatePushed;
    } else if ((m_button2State & kStatePushed) != 0) {
        m_button2State &= ~kStatePushed;
    } else {
        return;
    }
    Invalidate();
}

void CScrollBarUI::OnMouseMove(const TEventInfo& event) {
    if ((m_thumbState & kStateCaptured) != 0) {
        // The thumb travels between the buttons that are really there, not two fixed ones.
        int travel = m_horizontal ? (m_button2.left - m_button1.right) - (m_thumb.right - m_thumb.left)
                                  : (m_button2.top - m_button1.bottom) - (m_thumb.bottom - m_thumb.top);
        travel = std::abs(travel);
        if (travel == 0) return;
        int moved = m_horizontal ? event.ptMouse.x - m_lastMouse.x : event.ptMouse.y - m_lastMouse.y;
        m_lastScrollOffset = static_cast<int>(static_cast<long long>(moved) * m_range / travel);
        return;
    }
    if (!IsEnabled()) return;
    UINT before = m_thumbState;
    SetBit(m_thumbState, kStateHot, ::PtInRect(&m_thumb, event.ptMouse) != FALSE);
    if (m_thumbState != before) Invalidate();
}

void CScrollBarUI::OnRepeatTimer() {
    ++m_repeatCount;
    if ((m_thumbState & kStateCaptured) != 0) {
        int target = m_lastScrollPos + m_lastScrollOffset;
        if (m_owner != nullptr) {
            SIZE pos = m_owner->GetScrollPos();
            (m_horizontal ? pos.cx : pos.cy) = target;
            m_owner->SetScrollPos(pos, true);
        } else {
            SetScrollPos(target);
        }
        Invalidate();
    } else {
        if (m_repeatCount <= kRepeatDelayTicks) return;
        if ((m_button1State & kStatePushed) != 0) {
            StepBack();
        } else if ((m_button2State & kStatePushed) != 0) {
            StepForward();
        } else {
            POINT pt = {0, 0};
            ::GetCursorPos(&pt);
            if (m_manager != nullptr) ::ScreenToClient(m_manager->GetPaintWindow(), &pt);
            if (::PtInRect(&m_thumb, pt)) return;
            PageAt(pt);
        }
    }
    SendScroll();
}

void CScrollBarUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        ForwardEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
        case UIEVENT_CONTEXTMENU:
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled()) OnButtonDown(event);
            return;
        case UIEVENT_BUTTONUP:
            OnButtonUp();
            return;
        case UIEVENT_MOUSEMOVE:
            OnMouseMove(event);
            return;
        case UIEVENT_MOUSEENTER:
            if (!IsEnabled()) return;
            m_button1State |= kStateHot;
            m_button2State |= kStateHot;
            if (::PtInRect(&m_thumb, event.ptMouse)) m_thumbState |= kStateHot;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            if (!IsEnabled()) return;
            m_button1State &= ~kStateHot;
            m_button2State &= ~kStateHot;
            m_thumbState &= ~kStateHot;
            Invalidate();
            return;
        case UIEVENT_TIMER:
            if (event.wParam == kRepeatTimerId) {
                OnRepeatTimer();
                return;
            }
            break;
        default:
            break;
    }
    ForwardEvent(event);
}

void CScrollBarUI::SetImage(CUIString& target, const wchar_t* image) {
    target = image;
    Invalidate();
}

void CScrollBarUI::SetButton1NormalImage(const wchar_t* image) { SetImage(m_button1Images.normal, image); }
void CScrollBarUI::SetButton1HotImage(const wchar_t* image) { SetImage(m_button1Images.hot, image); }
void CScrollBarUI::SetButton1PushedImage(const wchar_t* image) { SetImage(m_button1Images.pushed, image); }
void CScrollBarUI::SetButton1DisabledImage(const wchar_t* image) { SetImage(m_button1Images.disabled, image); }
void CScrollBarUI::SetButton2NormalImage(const wchar_t* image) { SetImage(m_button2Images.normal, image); }
void CScrollBarUI::SetButton2HotImage(const wchar_t* image) { SetImage(m_button2Images.hot, image); }
void CScrollBarUI::SetButton2PushedImage(const wchar_t* image) { SetImage(m_button2Images.pushed, image); }
void CScrollBarUI::SetButton2DisabledImage(const wchar_t* image) { SetImage(m_button2Images.disabled, image); }
void CScrollBarUI::SetThumbNormalImage(const wchar_t* image) { SetImage(m_thumbImages.normal, image); }
void CScrollBarUI::SetThumbHotImage(const wchar_t* image) { SetImage(m_thumbImages.hot, image); }
void CScrollBarUI::SetThumbPushedImage(const wchar_t* image) { SetImage(m_thumbImages.pushed, image); }
void CScrollBarUI::SetThumbDisabledImage(const wchar_t* image) { SetImage(m_thumbImages.disabled, image); }
void CScrollBarUI::SetRailNormalImage(const wchar_t* image) { SetImage(m_railImages.normal, image); }
void CScrollBarUI::SetRailHotImage(const wchar_t* image) { SetImage(m_railImages.hot, image); }
void CScrollBarUI::SetRailPushedImage(const wchar_t* image) { SetImage(m_railImages.pushed, image); }
void CScrollBarUI::SetRailDisabledImage(const wchar_t* image) { SetImage(m_railImages.disabled, image); }
void CScrollBarUI::SetBkNormalImage(const wchar_t* image) { SetImage(m_bkImages.normal, image); }
void CScrollBarUI::SetBkHotImage(const wchar_t* image) { SetImage(m_bkImages.hot, image); }
void CScrollBarUI::SetBkPushedImage(const wchar_t* image) { SetImage(m_bkImages.pushed, image); }
void CScrollBarUI::SetBkDisabledImage(const wchar_t* image) { SetImage(m_bkImages.disabled, image); }

bool CScrollBarUI::SetStateImage(TStateImages& images, const wchar_t* name, const wchar_t* part, const wchar_t* value) {
    size_t length = wcslen(part);
    if (_wcsnicmp(name, part, length) != 0) return false;
    const wchar_t* state = name + length;
    CUIString* target = Is(state, L"normalimage")     ? &images.normal
                        : Is(state, L"hotimage")      ? &images.hot
                        : Is(state, L"pushedimage")   ? &images.pushed
                        : Is(state, L"disabledimage") ? &images.disabled
                                                      : nullptr;
    if (target == nullptr) return false;
    SetImage(*target, value);
    return true;
}

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (SetStateImage(m_button1Images, name, L"button1", value) || SetStateImage(m_button2Images, name, L"button2", value) ||
        SetStateImage(m_thumbImages, name, L"thumb", value) || SetStateImage(m_railImages, name, L"rail", value) ||
        SetStateImage(m_bkImages, name, L"bk", value)) {
        return;
    }
    if (Is(name, L"hor")) {
        SetHorizontal(ReadSkinBool(value));
    } else if (Is(name, L"linesize")) {
        SetLineSize(_wtoi(value));
    } else if (Is(name, L"range")) {
        SetScrollRange(_wtoi(value));
    } else if (Is(name, L"value")) {
        SetScrollPos(_wtoi(value));
    } else if (Is(name, L"showbutton1")) {
        SetShowButton1(ReadSkinBool(value));
    } else if (Is(name, L"showbutton2")) {
        SetShowButton2(ReadSkinBool(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CScrollBarUI::DoPaint(HDC hdc, const RECT&, CControlUI*) {
    PaintBkColor(hdc);
    PaintBkImage(hdc);
    PaintBk(hdc);
    PaintButton1(hdc);
    PaintButton2(hdc);
    PaintThumb(hdc);
    PaintRail(hdc);
    PaintBorder(hdc);
    return true;
}

bool CScrollBarUI::DrawState(HDC hdc, const TStateImages& images, UINT state, const wchar_t* modifier) {
    const CUIString* chosen = (state & kStateDisabled) != 0 ? &images.disabled
                              : (state & kStatePushed) != 0 ? &images.pushed
                              : (state & kStateHot) != 0    ? &images.hot
                                                            : nullptr;
    if (chosen != nullptr && !chosen->IsEmpty() && DrawImage(hdc, *chosen, modifier)) return true;
    return !images.normal.IsEmpty() && DrawImage(hdc, images.normal, modifier);
}

void CScrollBarUI::PaintPart(HDC hdc, const TStateImages& images, UINT& state, const RECT& part) {
    SetBit(state, kStateDisabled, !IsEnabled());
    int scale = m_manager != nullptr ? m_manager->GetDpiScale()->GetScale() : 100;
    m_imageModifier.Format(L"dest='%d,%d,%d,%d'", ::MulDiv(part.left - m_item.left, 100, scale),
                           ::MulDiv(part.top - m_item.top, 100, scale), ::MulDiv(part.right - m_item.left, 100, scale),
                           ::MulDiv(part.bottom - m_item.top, 100, scale));
    if (!DrawState(hdc, images, state, m_imageModifier)) CUIRender::DrawRect(hdc, part, 2, kFallbackOutline);
}

void CScrollBarUI::PaintBk(HDC hdc) {
    SetBit(m_thumbState, kStateDisabled, !IsEnabled());
    DrawState(hdc, m_bkImages, m_thumbState, nullptr);
}

void CScrollBarUI::PaintButton1(HDC hdc) {
    if (m_showButton1) PaintPart(hdc, m_button1Images, m_button1State, m_button1);
}

void CScrollBarUI::PaintButton2(HDC hdc) {
    if (m_showButton2) PaintPart(hdc, m_button2Images, m_button2State, m_button2);
}

void CScrollBarUI::PaintThumb(HDC hdc) {
    if (!IsZero(m_thumb)) PaintPart(hdc, m_thumbImages, m_thumbState, m_thumb);
}

void CScrollBarUI::PaintRail(HDC hdc) {
    if (IsZero(m_thumb)) return;
    SetBit(m_thumbState, kStateDisabled, !IsEnabled());
    RECT dest;
    if (m_horizontal) {
        int side = GetFixedHeight();
        dest.left = (m_thumb.left + m_thumb.right) / 2 - m_item.left - side / 2;
        dest.top = m_thumb.top - m_item.top;
        dest.right = dest.left + side;
        dest.bottom = m_thumb.bottom - m_item.top;
    } else {
        int side = GetFixedWidth();
        dest.left = m_thumb.left - m_item.left;
        dest.top = (m_thumb.top + m_thumb.bottom) / 2 - m_item.top - side / 2;
        dest.right = m_thumb.right - m_item.left;
        dest.bottom = dest.top + side;
    }
    int scale = m_manager != nullptr ? m_manager->GetDpiScale()->GetScale() : 100;
    m_imageModifier.Format(L"dest='%d,%d,%d,%d'", ::MulDiv(dest.left, 100, scale), ::MulDiv(dest.top, 100, scale),
                           ::MulDiv(dest.right, 100, scale), ::MulDiv(dest.bottom, 100, scale));
    DrawState(hdc, m_railImages, m_thumbState, m_imageModifier);
}

}  // namespace HiveUI
