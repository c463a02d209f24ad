#include "UIComboBox.h"

#include <cwchar>
#include <cwctype>

#include "ButtonState.h"
#include "ControlLook.h"

namespace HiveUI {

namespace {

constexpr int kArrowStates = 5;

// One decimal number at the cursor, which moves past it; false when none is there.
bool ReadNumber(const wchar_t*& cursor, const wchar_t* end, LONG& number) {
    bool negative = false;
    if (cursor < end && *cursor == L'-') {
        negative = true;
        ++cursor;
    }
    const wchar_t* digits = cursor;
    long value = 0;
    while (cursor < end && iswdigit(*cursor) && value < 1000000) value = value * 10 + (*cursor++ - L'0');
    if (cursor == digits) return false;
    number = negative ? -value : value;
    return true;
}

int StateIndex(UINT state) {
    if ((state & UISTATE_DISABLED) != 0) return 4;
    if ((state & UISTATE_PUSHED) != 0) return 2;
    if ((state & UISTATE_HOT) != 0) return 1;
    if ((state & UISTATE_FOCUSED) != 0) return 3;
    return 0;
}

}  // namespace

bool ReadImageSource(const wchar_t* description, RECT& source) {
    const wchar_t* word = wcsstr(description, L"source");
    if (word == nullptr) return false;
    const wchar_t* open = wcschr(word, L'\'');
    if (open == nullptr) return false;
    const wchar_t* cursor = open + 1;
    const wchar_t* end = wcschr(cursor, L'\'');
    if (end == nullptr) return false;
    LONG* fields[] = {&source.left, &source.top, &source.right, &source.bottom};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (cursor >= end) return false;
            ++cursor;  // the separator
        }
        if (!ReadNumber(cursor, end, *fields[i])) return false;
    }
    return cursor == end;
}

CControlUI* CreateComboBoxControl() { return new CComboBoxUI; }

CComboBoxUI::CComboBoxUI() : m_arrowWidth(0) {}

const wchar_t* CComboBoxUI::GetClass() const { return L"ComboBoxUI"; }

void CComboBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (IsKey(name, L"arrowimage")) {
        m_arrowImage = value;
        return;
    }
    CComboUI::SetAttribute(name, value);
}

void CComboBoxUI::PaintStatusImage(HDC hdc) {
    if (m_arrowImage.IsEmpty()) {
        CComboUI::PaintStatusImage(hdc);
        return;
    }
    m_buttonState = IsFocused() ? (m_buttonState | UISTATE_FOCUSED) : (m_buttonState & ~UISTATE_FOCUSED);
    m_buttonState = IsEnabled() ? (m_buttonState & ~UISTATE_DISABLED) : (m_buttonState | UISTATE_DISABLED);
    RECT source = {};
    // A strip that is not there or too narrow for five cells draws no arrow rather than
    // cells cut from outside the image.
    if (!ReadImageSource(m_arrowImage, source) || source.right - source.left < kArrowStates ||
        source.bottom <= source.top || source.left < 0 || source.top < 0) {
        return;
    }
    m_arrowWidth = (source.right - source.left) / kArrowStates;
    source.left += StateIndex(m_buttonState) * m_arrowWidth;
    source.right = source.left + m_arrowWidth;
    const int border = GetBorderSize();
    RECT dest = {border, border, GetWidth() - border, GetHeight() - border};
    dest.left = dest.right - m_arrowWidth;
    wchar_t modifier[160];
    swprintf(modifier, 160, L"source='%ld,%ld,%ld,%ld' dest='%ld,%ld,%ld,%ld'", source.left, source.top,
             source.right, source.bottom, dest.left, dest.top, dest.right, dest.bottom);
    DrawImage(hdc, m_arrowImage, modifier);
}

void CComboBoxUI::PaintText(HDC hdc) {
    RECT rect = m_item;
    rect.left += m_textPadding.left;
    rect.top += m_textPadding.top;
    rect.right -= m_textPadding.right + m_arrowWidth;
    rect.bottom -= m_textPadding.bottom;
    CControlUI* item = GetItemAt(m_curSel);
    if (item == nullptr) return;
    if (auto* row = static_cast<IListItemUI*>(item->GetInterface(L"ListItem"))) {
        row->DrawItemText(hdc, rect);
        return;
    }
    const RECT old = item->GetPos();
    item->SetPos(rect, false);
    item->DoPaint(hdc, rect, nullptr);
    item->SetPos(old, false);
}

}  // namespace HiveUI
