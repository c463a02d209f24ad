#include "UIProgress.h"

#include <cwchar>

#include "ControlLook.h"
#include "DpiScale.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

CControlUI* CreateProgressControl() { return new CProgressUI; }

CProgressUI::CProgressUI()
    : m_showText(false), m_horizontal(true), m_stretchForeImage(true), m_max(100), m_min(0), m_value(0) {
    m_textStyle = DT_SINGLELINE | DT_CENTER;
    m_fixedSize.cy = 12;
}

CProgressUI::~CProgressUI() = default;

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

LPVOID CProgressUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Progress") == 0) return static_cast<CProgressUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal) return;
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetStretchForeImage(bool stretch) {
    if (m_stretchForeImage == stretch) return;
    m_stretchForeImage = stretch;
    Invalidate();
}

void CProgressUI::SetMinValue(int min) { SetLook(*this, m_min, min); }
void CProgressUI::SetMaxValue(int max) { SetLook(*this, m_max, max); }

void CProgressUI::SetValue(int value) {
    if (value == m_value || value < m_min || value > m_max) return;
    m_value = value;
    Invalidate();
    UpdateText();
}

void CProgressUI::UpdateText() {
    if (!m_showText) return;
    const TRange range = Repaired();
    CUIString text;
    text.Format(L"%.0f%%", (range.value - range.min) * 100.0 / (range.max - range.min));
    SetText(text);
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsKey(name, L"hor")) {
        SetHorizontal(ReadSkinBool(value));
    } else if (IsKey(name, L"min")) {
        SetMinValue(ReadSkinNumber(value));
    } else if (IsKey(name, L"max")) {
        SetMaxValue(ReadSkinNumber(value));
    } else if (IsKey(name, L"value")) {
        SetValue(ReadSkinNumber(value));
    } else if (IsKey(name, L"isstretchfore")) {
        SetStretchForeImage(ReadSkinBool(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

CProgressUI::TRange CProgressUI::Repaired() const {
    TRange range = {m_min, m_max, m_value};
    if (range.min >= range.max) range.max = range.min + 1;
    if (range.value > range.max) range.value = range.max;
    if (range.value < range.min) range.value = range.min;
    return range;
}

void CProgressUI::RepairRange() {
    const TRange range = Repaired();
    m_max = range.max;
    m_value = range.value;
}

int CProgressUI::Filled(const TRange& range, int offset, int total) {
    return static_cast<int>(static_cast<long long>(offset) * total / (static_cast<long long>(range.max) - range.min));
}

void CProgressUI::PaintForeColor(HDC hdc) {
    RepairRange();
    if (m_foreColor == 0) return;
    const TRange range = Repaired();
    RECT filled = m_item;
    if (m_horizontal) {
        filled.right = m_item.left + Filled(range, range.value - range.min, m_item.right - m_item.left);
    } else {
        filled.top = m_item.top + Filled(range, range.max - range.value, m_item.bottom - m_item.top);
    }
    CUIRender::DrawColor(hdc, filled, GetAdjustColor(m_foreColor));
}

void CProgressUI::PaintForeImage(HDC hdc) {
    RepairRange();
    if (m_foreImage.IsEmpty()) return;
    const TRange range = Repaired();
    const int width = m_item.right - m_item.left;
    const int height = m_item.bottom - m_item.top;
    RECT part = {0, 0, width, height};
    if (m_horizontal) {
        part.right = Filled(range, range.value - range.min, width);
    } else {
        part.top = Filled(range, range.max - range.value, height);
    }
    if (m_manager != nullptr) m_manager->GetDpiScale()->ScaleBackRect(part);
    if (m_stretchForeImage) {
        m_foreImageModifier.Format(L"dest='%d,%d,%d,%d'", part.left, part.top, part.right, part.bottom);
    } else {
        // The same numbers twice: the filled part shows the image's part that lies under it.
        m_foreImageModifier.Format(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", part.left, part.top, part.right,
                                   part.bottom, part.left, part.top, part.right, part.bottom);
    }
    DrawImage(hdc, m_foreImage, m_foreImageModifier);
}

}  // namespace HiveUI
