#include "UIButton.h"

#include <cwchar>

#include "ControlLook.h"
#include "ImageData.h"
#include "ImageDrawSpec.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UITabLayout.h"

namespace HiveUI {

namespace {

// The first of the three that applies in the given state and is set.
template <class T>
T ByState(UINT state, T plain, T pushed, T hot, T focused, T unset) {
    if ((state & UISTATE_PUSHED) != 0 && pushed != unset) return pushed;
    if ((state & UISTATE_HOT) != 0 && hot != unset) return hot;
    if ((state & UISTATE_FOCUSED) != 0 && focused != unset) return focused;
    return plain;
}

}  // namespace

CControlUI* CreateButtonControl() { return new CButtonUI; }

CButtonUI::CButtonUI()
    : m_buttonState(0),
      m_hotFont(-1),
      m_pushedFont(-1),
      m_focusedFont(-1),
      m_hotBkColor(0),
      m_pushedBkColor(0),
      m_disabledBkColor(0),
      m_hotTextColor(0),
      m_pushedTextColor(0),
      m_focusedTextColor(0),
      m_stateCount(0),
      m_bindTabIndex(-1),
      m_watch(nullptr) {
    m_textStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

CButtonUI::~CButtonUI() { CDestructionWatch::ControlGone(m_watch); }

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Button") == 0) return static_cast<CButtonUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    const UINT tabStop = IsKeyboardEnabled() ? static_cast<UINT>(UIFLAG_TABSTOP) : 0u;
    return tabStop | (IsEnabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u);
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    if (m_manager != nullptr) {
        CDestructionWatch watch(m_watch);
        m_manager->SendNotify(this, L"click");
        if (watch.IsGone()) return true;
        BindTriggerTabSel();
    }
    return true;
}

void CButtonUI::SetEnabled(bool enable) {
    CLabelUI::SetEnabled(enable);
    m_buttonState = enable ? 0u : static_cast<UINT>(UISTATE_DISABLED);
}

void CButtonUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CLabelUI::DoEvent(event); })) return;
    const bool inside = PtInRect(&m_item, event.ptMouse) != FALSE;
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            Invalidate();
            break;
        case UIEVENT_KEYDOWN:
            if (!IsKeyboardEnabled() || (event.chKey != VK_SPACE && event.chKey != VK_RETURN)) break;
            Activate();
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (inside && IsEnabled()) {
                m_buttonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                m_buttonState = inside ? (m_buttonState | UISTATE_PUSHED) : (m_buttonState & ~UISTATE_PUSHED);
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                m_buttonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (inside) Activate();
            }
            return;
        case UIEVENT_CONTEXTMENU:
            if (IsContextMenuUsed() && m_manager != nullptr)
                m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        case UIEVENT_MOUSEENTER:
            if (!IsEnabled()) break;
            m_buttonState |= UISTATE_HOT;
            Invalidate();
            break;
        case UIEVENT_MOUSELEAVE:
            if (!IsEnabled()) break;
            m_buttonState &= ~UISTATE_HOT;
            Invalidate();
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

const wchar_t* CButtonUI::GetNormalImage() const { return m_normalImage; }
const wchar_t* CButtonUI::GetHotImage() const { return m_hotImage; }
const wchar_t* CButtonUI::GetPushedImage() const { return m_pushedImage; }
const wchar_t* CButtonUI::GetFocusedImage() const { return m_focusedImage; }
const wchar_t* CButtonUI::GetDisabledImage() const { return m_disabledImage; }
const wchar_t* CButtonUI::GetHotForeImage() const { return m_hotForeImage; }
const wchar_t* CButtonUI::GetStateImage() const { return m_stateImage; }

void CButtonUI::SetNormalImage(const wchar_t* image) { SetLook(*this, m_normalImage, image); }
void CButtonUI::SetHotImage(const wchar_t* image) { SetLook(*this, m_hotImage, image); }
void CButtonUI::SetPushedImage(const wchar_t* image) { SetLook(*this, m_pushedImage, image); }
void CButtonUI::SetFocusedImage(const wchar_t* image) { SetLook(*this, m_focusedImage, image); }
void CButtonUI::SetDisabledImage(const wchar_t* image) { SetLook(*this, m_disabledImage, image); }
void CButtonUI::SetHotForeImage(const wchar_t* image) { SetLook(*this, m_hotForeImage, image); }

// The strip is cut into the state images at the next paint, which it only does while
// the normal image is empty.
void CButtonUI::SetStateImage(const wchar_t* image) {
    m_normalImage.Empty();
    m_stateImage = image;
    Invalidate();
}

void CButtonUI::SetStateCount(int count) { SetLook(*this, m_stateCount, count); }
void CButtonUI::SetHotFont(int font) { SetLook(*this, m_hotFont, font); }
void CButtonUI::SetPushedFont(int font) { SetLook(*this, m_pushedFont, font); }
void CButtonUI::SetFocusedFont(int font) { SetLook(*this, m_focusedFont, font); }
void CButtonUI::SetHotBkColor(DWORD color) { SetLook(*this, m_hotBkColor, color); }
void CButtonUI::SetPushedBkColor(DWORD color) { SetLook(*this, m_pushedBkColor, color); }
void CButtonUI::SetDisabledBkColor(DWORD color) { SetLook(*this, m_disabledBkColor, color); }

void CButtonUI::SetBindTabIndex(int index) {
    if (index >= 0) m_bindTabIndex = index;
}

void CButtonUI::SetBindTabLayoutName(const wchar_t* name) {
    if (name != nullptr) m_bindTabLayoutName = name;
}

void CButtonUI::BindTriggerTabSel(int index) {
    if (m_bindTabLayoutName.IsEmpty() || (m_bindTabIndex < 0 && index < 0) || m_manager == nullptr) return;
    CControlUI* found = m_manager->FindControl(m_bindTabLayoutName);
    // A control of that name that is no tab layout has no pages to select.
    auto* tab = found != nullptr ? static_cast<CTabLayoutUI*>(found->GetInterface(L"TabLayout")) : nullptr;
    if (tab != nullptr) tab->SelectItem(index < 0 ? m_bindTabIndex : index);
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (SetImageAttribute(name, value) || SetColorAttribute(name, value)) return;
    if (IsKey(name, L"statecount")) {
        SetStateCount(ReadSkinNumber(value));
    } else if (IsKey(name, L"bindtabindex")) {
        SetBindTabIndex(ReadSkinNumber(value));
    } else if (IsKey(name, L"bindtablayoutname")) {
        SetBindTabLayoutName(value);
    } else if (IsKey(name, L"hotfont")) {
        SetHotFont(ReadSkinNumber(value));
    } else if (IsKey(name, L"pushedfont")) {
        SetPushedFont(ReadSkinNumber(value));
    } else if (IsKey(name, L"focuedfont")) {
        SetFocusedFont(ReadSkinNumber(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

bool CButtonUI::SetImageAttribute(const wchar_t* name, const wchar_t* value) {
    static const struct {
        const wchar_t* key;
        void (CButtonUI::*set)(const wchar_t*);
    } keys[] = {
        {L"normalimage", &CButtonUI::SetNormalImage},     {L"hotimage", &CButtonUI::SetHotImage},
        {L"pushedimage", &CButtonUI::SetPushedImage},     {L"focusedimage", &CButtonUI::SetFocusedImage},
        {L"disabledimage", &CButtonUI::SetDisabledImage}, {L"hotforeimage", &CButtonUI::SetHotForeImage},
        {L"stateimage", &CButtonUI::SetStateImage},
    };
    for (const auto& key : keys) {
        if (!IsKey(name, key.key)) continue;
        (this->*key.set)(value);
        return true;
    }
    return false;
}

bool CButtonUI::SetColorAttribute(const wchar_t* name, const wchar_t* value) {
    static const struct {
        const wchar_t* key;
        void (CButtonUI::*set)(DWORD);
    } keys[] = {
        {L"hotbkcolor", &CButtonUI::SetHotBkColor},         {L"pushedbkcolor", &CButtonUI::SetPushedBkColor},
        {L"disabledbkcolor", &CButtonUI::SetDisabledBkColor}, {L"hottextcolor", &CButtonUI::SetHotTextColor},
        {L"pushedtextcolor", &CButtonUI::SetPushedTextColor}, {L"focusedtextcolor", &CButtonUI::SetFocusedTextColor},
    };
    for (const auto& key : keys) {
        if (!IsKey(name, key.key)) continue;
        (this->*key.set)(ReadSkinColor(value, false));
        return true;
    }
    return false;
}

void CButtonUI::PaintBkColor(HDC hdc) {
    DWORD color = 0;
    if ((m_buttonState & UISTATE_DISABLED) != 0) {
        color = m_disabledBkColor;
    } else if ((m_buttonState & UISTATE_PUSHED) != 0) {
        color = m_pushedBkColor;
    } else if ((m_buttonState & UISTATE_HOT) != 0) {
        color = m_hotBkColor;
    }
    if (color == 0) return CLabelUI::PaintBkColor(hdc);
    CUIRender::DrawColor(hdc, m_paint, GetAdjustColor(color));
}

void CButtonUI::RefreshPaintState() {
    m_buttonState = IsFocused() ? (m_buttonState | UISTATE_FOCUSED) : (m_buttonState & ~UISTATE_FOCUSED);
    m_buttonState = IsEnabled() ? (m_buttonState & ~UISTATE_DISABLED) : (m_buttonState | UISTATE_DISABLED);
    if (m_manager != nullptr && !IsWindowEnabled(m_manager->GetPaintWindow()))
        m_buttonState &= UISTATE_DISABLED | UISTATE_SELECTED;
}

void CButtonUI::SplitStateStrip(const CUIString& strip, int count, CUIString& first, CUIString& second,
                                CUIString& third, CUIString* fourth) {
    if (m_manager == nullptr) return;
    // Read unscaled: the frame descriptions written here pass through the scale when drawn.
    TImageDrawSpec spec;
    spec.Parse(strip, nullptr, nullptr);
    const TImageData* image = m_manager->GetImageEx(spec.name, spec.resType, spec.mask);
    if (image == nullptr || image->width <= 0 || image->height <= 0) return;
    const int width = image->width / count;
    auto frame = [&](int k) {
        CUIString description;
        description.Format(L"res='%s' restype='%s' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", spec.name.GetData(),
                           spec.resType.GetData(), spec.dest.left, spec.dest.top, spec.dest.right, spec.dest.bottom,
                           (k - 1) * width, 0, k * width, image->height);
        return description;
    };
    first = frame(1);
    if (count > 1) second = third = frame(2);
    if (count > 2) third = frame(3);
    if (count > 3 && fourth != nullptr) *fourth = frame(4);
}

void CButtonUI::PaintStatusImage(HDC hdc) {
    if (!m_stateImage.IsEmpty() && m_stateCount > 0 && m_normalImage.IsEmpty())
        SplitStateStrip(m_stateImage, m_stateCount, m_normalImage, m_hotImage, m_pushedImage, &m_disabledImage);
    RefreshPaintState();
    PaintButtonStateImage(*this, hdc, m_buttonState,
                          {m_normalImage, m_hotImage, m_pushedImage, m_focusedImage, m_disabledImage});
}

void CButtonUI::PaintForeImage(HDC hdc) {
    const bool hotOnly = (m_buttonState & (UISTATE_HOT | UISTATE_PUSHED)) == UISTATE_HOT;
    if (hotOnly && !m_hotForeImage.IsEmpty() && DrawImage(hdc, m_hotForeImage)) return;
    CLabelUI::PaintForeImage(hdc);
}

void CButtonUI::PaintText(HDC hdc) {
    RefreshPaintState();
    DefaultTextColors();
    const DWORD plain = IsEnabled() ? m_textColor : m_disabledTextColor;
    DrawButtonText(hdc, ByState<DWORD>(m_buttonState, plain, m_pushedTextColor, m_hotTextColor, m_focusedTextColor, 0),
                   ByState<int>(m_buttonState, m_font, m_pushedFont, m_hotFont, m_focusedFont, -1));
}

void CButtonUI::DrawButtonText(HDC hdc, DWORD color, int font) {
    const CUIString text = GetText();
    if (text.IsEmpty() || m_manager == nullptr) return;
    RECT rect = TextRect();
    DrawLabelText(hdc, rect, text, color, m_textStyle, font);
}

}  // namespace HiveUI
