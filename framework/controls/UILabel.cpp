#include "UILabel.h"

#include <cwchar>

#include "DpiScale.h"
#include "SkinValue.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* key) { return _wcsicmp(name, key) == 0; }
bool Has(const wchar_t* value, const wchar_t* word) { return wcsstr(value, word) != nullptr; }

UINT ApplyAlign(UINT style, const wchar_t* value) {
    if (Has(value, L"left")) style &= ~(DT_CENTER | DT_RIGHT);
    if (Has(value, L"center")) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (Has(value, L"right")) style = (style & ~DT_CENTER) | DT_RIGHT;
    return style;
}

// Every vertical placement is a single-line one: word breaking goes.
UINT ApplyVAlign(UINT style, const wchar_t* value) {
    const UINT vertical = DT_VCENTER | DT_BOTTOM | DT_WORDBREAK;
    if (Has(value, L"top")) style = (style & ~vertical) | DT_SINGLELINE;
    if (Has(value, L"vcenter")) style = (style & ~vertical) | DT_VCENTER | DT_SINGLELINE;
    if (Has(value, L"bottom")) style = (style & ~vertical) | DT_BOTTOM | DT_SINGLELINE;
    return style;
}

UINT SetFlags(UINT style, UINT flags, bool on) { return on ? (style | flags) : (style & ~flags); }

RECT Inset(RECT rect, const RECT& padding) {
    rect.left += padding.left;
    rect.top += padding.top;
    rect.right -= padding.right;
    rect.bottom -= padding.bottom;
    return rect;
}

}  // namespace

CControlUI* CreateLabelControl() { return new CLabelUI; }

CLabelUI::CLabelUI()
    : m_textColor(0),
      m_disabledTextColor(0),
      m_font(-1),
      m_textStyle(DT_VCENTER | DT_SINGLELINE),
      m_textPadding{0, 0, 0, 0},
      m_showHtml(false),
      m_autoCalcWidth(false),
      m_autoCalcHeight(false),
      m_lastAvailable{0, 0},
      m_estimated{0, 0},
      // A label asked for its size before any layout gave it room still measures once.
      m_needMeasure(true),
      m_lastFixed{0, 0} {}

CLabelUI::~CLabelUI() = default;

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Label") == 0) return this;
    return CControlUI::GetInterface(name);
}

UINT CLabelUI::GetControlFlags() const { return IsEnabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u; }

// An auto-sized label follows its new text at the next layout pass.
void CLabelUI::SetText(const wchar_t* text) {
    const CUIString before = m_text;
    CControlUI::SetText(text);
    if (m_text != before) m_needMeasure = true;
    if (m_autoCalcWidth || m_autoCalcHeight) NeedParentLayout();
}

void CLabelUI::DoEvent(TEventInfo& event) {
    if (event.Type == UIEVENT_SETFOCUS) {
        m_focused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_focused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetTextColor(DWORD color) {
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int font) {
    m_font = font;
    m_needMeasure = true;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    m_needMeasure = true;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    m_needMeasure = true;
    Invalidate();
}

bool CLabelUI::IsAutoCalcWidth() const { return m_autoCalcWidth; }
void CLabelUI::SetAutoCalcWidth(bool autoCalc) { m_autoCalcWidth = autoCalc; }
bool CLabelUI::IsAutoCalcHeight() const { return m_autoCalcHeight; }
void CLabelUI::SetAutoCalcHeight(bool autoCalc) { m_autoCalcHeight = autoCalc; }

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (SetStyleAttribute(name, value)) return;
    if (Is(name, L"font")) {
        const wchar_t* p = value;
        SetFont(ReadSkinInt(p));
    } else if (Is(name, L"textcolor")) {
        SetTextColor(ReadSkinColor(value, false));
    } else if (Is(name, L"disabledtextcolor")) {
        SetDisabledTextColor(ReadSkinColor(value, false));
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(ReadSkinRect(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(ReadSkinBool(value));
    } else if (Is(name, L"autocalcwidth")) {
        SetAutoCalcWidth(ReadSkinBool(value));
    } else if (Is(name, L"autocalcheight")) {
        SetAutoCalcHeight(ReadSkinBool(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// The style keys change the flags alone: no repaint, no new measuring.
bool CLabelUI::SetStyleAttribute(const wchar_t* name, const wchar_t* value) {
    if (Is(name, L"align")) {
        m_textStyle = ApplyAlign(m_textStyle, value);
    } else if (Is(name, L"valign")) {
        m_textStyle = ApplyVAlign(m_textStyle, value);
    } else if (Is(name, L"endellipsis")) {
        m_textStyle = SetFlags(m_textStyle, DT_END_ELLIPSIS, ReadSkinBool(value));
    } else if (Is(name, L"wordbreak")) {
        const bool wrap = ReadSkinBool(value);
        m_textStyle = SetFlags(m_textStyle, DT_WORDBREAK | DT_EDITCONTROL, wrap);
        m_textStyle = SetFlags(m_textStyle, DT_SINGLELINE, !wrap);
    } else if (Is(name, L"noprefix")) {
        m_textStyle = SetFlags(m_textStyle, DT_NOPREFIX, ReadSkinBool(value));
    } else {
        return false;
    }
    return true;
}

SIZE CLabelUI::EstimateSize(SIZE available) {
    const SIZE fixed = {GetFixedWidth(), GetFixedHeight()};
    if (m_fixedSize.cx > 0 && m_fixedSize.cy > 0) return fixed;
    if (m_manager == nullptr) return fixed;
    if (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy) m_needMeasure = true;
    if (fixed.cx != m_lastFixed.cx || fixed.cy != m_lastFixed.cy) m_needMeasure = true;
    if (!m_needMeasure) return m_estimated;
    m_needMeasure = false;
    m_lastAvailable = available;
    m_lastFixed = fixed;
    m_estimated = fixed;
    const RECT padding = ScaleRect(m_textPadding);
    if ((m_textStyle & DT_SINGLELINE) != 0) {
        if (m_estimated.cy == 0)
            m_estimated.cy = m_manager->GetFontInfo(m_font)->metrics.tmHeight + 8 + padding.top + padding.bottom;
        if (m_estimated.cx == 0 && m_autoCalcWidth) {
            const RECT measured = MeasureText(RECT{0, 0, 9999, m_estimated.cy});
            m_estimated.cx = measured.right - measured.left + padding.left + padding.right;
        }
    } else if (m_estimated.cy == 0 && m_autoCalcHeight) {
        // Without a width of its own the label wraps at the width its layout offers.
        const int width = m_estimated.cx > 0 ? m_estimated.cx : available.cx;
        const RECT measured = MeasureText(RECT{m_textPadding.left, 0, width - m_textPadding.right, 9999});
        m_estimated.cy = measured.bottom - measured.top + padding.top + padding.bottom;
    }
    return m_estimated;
}

RECT CLabelUI::MeasureText(RECT rect) {
    const CUIString text = GetText();
    DrawLabelText(m_manager->GetPaintDC(), rect, text, 0, (m_textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    return rect;
}

void CLabelUI::DefaultTextColors() {
    if (m_manager == nullptr) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultFontColor();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultDisabledColor();
}

void CLabelUI::DrawLabelText(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, UINT style) {
    DrawLabelText(hdc, rect, text, color, style, m_font);
}

void CLabelUI::DrawLabelText(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, UINT style, int font) {
    if (!m_showHtml) return CUIRender::DrawText(hdc, m_manager, rect, text, color, font, style);
    int noLinks = 0;
    CUIRender::DrawHtmlText(hdc, m_manager, rect, text, color, nullptr, nullptr, noLinks, font, style);
}

RECT CLabelUI::TextRect() const { return Inset(m_item, ScaleRect(m_textPadding)); }

void CLabelUI::PaintText(HDC hdc) {
    DefaultTextColors();
    RECT rect = TextRect();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    DrawLabelText(hdc, rect, text, IsEnabled() ? m_textColor : m_disabledTextColor, m_textStyle);
}

}  // namespace HiveUI
