#include "UIGroupBox.h"

#include <algorithm>
#include <cwchar>

#include "ControlLook.h"
#include "SkinValue.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const int kFrameInset = 5;
const int kTitleIndent = 15;

}  // namespace

CControlUI* CreateGroupBoxControl() { return new CGroupBoxUI; }

CGroupBoxUI::CGroupBoxUI()
    : m_textColor(0), m_disabledTextColor(0), m_font(-1), m_textStyle(DT_SINGLELINE | DT_VCENTER | DT_CENTER) {
    SetInset(RECT{20, 25, 20, 20});
}

CGroupBoxUI::~CGroupBoxUI() = default;

const wchar_t* CGroupBoxUI::GetClass() const { return L"GroupBoxUI"; }

LPVOID CGroupBoxUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"GroupBox") == 0) return static_cast<CGroupBoxUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

void CGroupBoxUI::SetTextColor(DWORD color) { SetLook(*this, m_textColor, color); }
void CGroupBoxUI::SetDisabledTextColor(DWORD color) { SetLook(*this, m_disabledTextColor, color); }
void CGroupBoxUI::SetFont(int font) { SetLook(*this, m_font, font); }

void CGroupBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsKey(name, L"textcolor")) {
        SetTextColor(ReadSkinColor(value, false));
    } else if (IsKey(name, L"disabledtextcolor")) {
        SetDisabledTextColor(ReadSkinColor(value, false));
    } else if (IsKey(name, L"font")) {
        SetFont(ReadSkinNumber(value));
    }
    CVerticalLayoutUI::SetAttribute(name, value);
}

SIZE CGroupBoxUI::CalcTitleSize(int width) {
    RECT rect = {0, 0, std::max<int>(width, m_fixedXY.cx), 20};
    CUIRender::DrawText(m_manager->GetPaintDC(), m_manager, rect, GetText(), m_textColor, m_font,
                        m_textStyle | DT_CALCRECT);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT CGroupBoxUI::FrameRect() const {
    RECT frame = m_item;
    ::InflateRect(&frame, -kFrameInset, -kFrameInset);
    return frame;
}

void CGroupBoxUI::PaintText(HDC hdc) {
    const CUIString text = GetText();
    if (text.IsEmpty() || m_manager == nullptr) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultFontColor();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultDisabledColor();
    const RECT frame = FrameRect();
    const SIZE title = CalcTitleSize(frame.right - frame.left);
    RECT titleRect = {frame.left + kTitleIndent, frame.top - kFrameInset, 0, 0};
    titleRect.right = titleRect.left + title.cx;
    titleRect.bottom = titleRect.top + title.cy;
    CUIRender::DrawTextWithBackground(hdc, m_manager, titleRect, text,
                                      IsEnabled() ? m_textColor : m_disabledTextColor, m_font, m_textStyle,
                                      GetAdjustColor(m_bkColor));
}

// The title is drawn again over the frame line, which would otherwise cross it.
void CGroupBoxUI::PaintBorder(HDC hdc) {
    const int size = m_manager != nullptr ? Scale(m_borderSize) : m_borderSize;
    SIZE round = m_borderRound;
    if (m_manager != nullptr) round = SIZE{Scale(round.cx), Scale(round.cy)};
    if (size <= 0) return;
    const DWORD color = IsFocused() && m_focusBorderColor != 0 ? m_focusBorderColor : m_borderColor;
    const RECT frame = FrameRect();
    if (round.cx > 0 || round.cy > 0) {
        CUIRender::DrawRoundRect(hdc, frame, size, round.cx, round.cy, GetAdjustColor(color));
    } else {
        CUIRender::DrawRect(hdc, frame, size, GetAdjustColor(color));
    }
    PaintText(hdc);
}

}  // namespace HiveUI
