#include "UIIPAddressEx.h"

#include <cwchar>

#include "NativeEditing.h"
#include "ScopedHandle.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const int kMaxDigits = 3;
// Windows colour (0x00BBGGRR) behind the picked number.
const COLORREF kPickedBackground = 0xFF9933;

// The digit a key stands for, or -1.
int DigitOfKey(WORD key) {
    if (key >= '0' && key <= '9') return key - '0';
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return key - VK_NUMPAD0;
    return -1;
}

int ClampNumber(int number) { return number < 1 ? 0 : (number > 255 ? 255 : number); }

}  // namespace

CControlUI* CreateIPAddressExControl() { return new CIPAddressExUI; }

CIPAddressExUI::CIPAddressExUI() : m_numbers{0, 0, 0, 0}, m_activeField(0), m_lastDigit(0) {
    SetReadOnly(true);
    UpdateText();
}

CIPAddressExUI::~CIPAddressExUI() = default;

const wchar_t* CIPAddressExUI::GetClass() const { return L"IPAddressExUI"; }

LPVOID CIPAddressExUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"IPAddress") == 0) return static_cast<CIPAddressExUI*>(this);
    return CEditUI::GetInterface(name);
}

void CIPAddressExUI::UpdateText() {
    CUIString text;
    text.Format(L"%d.%d.%d.%d", m_numbers[0], m_numbers[1], m_numbers[2], m_numbers[3]);
    SetText(text);
}

int* CIPAddressExUI::ActiveNumber() {
    return m_activeField >= 1 && m_activeField <= 4 ? &m_numbers[m_activeField - 1] : nullptr;
}

void CIPAddressExUI::IncreaseNum() {
    if (int* number = ActiveNumber()) *number = *number < 255 ? *number + 1 : 255;
    UpdateText();
}

void CIPAddressExUI::DecreaseNum() {
    if (int* number = ActiveNumber()) *number = *number > 0 ? *number - 1 : 0;
    UpdateText();
}

// A number holds three digits at most: further digits in the last number are dropped.
void CIPAddressExUI::EnterDigit(int digit) {
    int* number = ActiveNumber();
    if (number == nullptr || m_digits.GetLength() >= kMaxDigits) return;
    m_lastDigit = static_cast<wchar_t>(L'0' + digit);
    m_digits += m_lastDigit;
    *number = ClampNumber(static_cast<int>(wcstol(m_digits, nullptr, 10)));
    UpdateText();
    if (m_digits.GetLength() == kMaxDigits && m_activeField < 4) {
        ++m_activeField;
        m_digits.Empty();
    }
}

void CIPAddressExUI::StepField(int step) {
    int* number = ActiveNumber();
    if (number == nullptr) return;
    if (!m_digits.IsEmpty()) *number = ClampNumber(static_cast<int>(wcstol(m_digits, nullptr, 10)));
    m_digits.Empty();
    m_activeField += step;
    Invalidate();
}

void CIPAddressExUI::OnKeyDown(WORD key) {
    const int digit = DigitOfKey(key);
    if (key == VK_DELETE || key == VK_BACK) {
        if (int* number = ActiveNumber()) *number = 0;
        m_digits.Empty();
        UpdateText();
    } else if (digit >= 0) {
        EnterDigit(digit);
    } else if (key == VK_UP) {
        IncreaseNum();
    } else if (key == VK_DOWN) {
        DecreaseNum();
    } else if (key == VK_LEFT && m_activeField > 1) {
        StepField(-1);
    } else if ((key == VK_RIGHT || key == VK_OEM_PERIOD || key == VK_DECIMAL) && m_activeField >= 1 &&
               m_activeField < 4) {
        StepField(1);
    }
}

void CIPAddressExUI::PickFieldAt(int x) {
    const int quarter = (m_item.right - m_item.left) / 4;
    const int offset = x - m_item.left;
    m_activeField = offset <= quarter ? 1 : offset <= 2 * quarter ? 2 : offset <= 3 * quarter ? 3 : 4;
    m_digits.Empty();
    UpdateText();
}

void CIPAddressExUI::DoEvent(TEventInfo& event) {
    switch (event.Type) {
        case UIEVENT_KILLFOCUS:
            if (!IsEnabled()) break;
            m_activeField = 0;
            Invalidate();
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
        case UIEVENT_RBUTTONDOWN:
            if (!IsEnabled()) return;
            PickFieldAt(event.ptMouse.x);
            break;
        case UIEVENT_SCROLLWHEEL:
            if (!IsEnabled()) return;
            if (event.wParam == 0) {
                IncreaseNum();
            } else {
                DecreaseNum();
            }
            break;
        case UIEVENT_KEYDOWN:
            if (!IsEnabled()) return;
            OnKeyDown(event.chKey);
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CIPAddressExUI::PaintText(HDC hdc) {
    if (m_manager == nullptr) return;
    DefaultTextColors();
    if (GetText().IsEmpty()) return;
    const RECT rect = PaddedRect();
    const int quarter = (rect.right - rect.left) / 4;
    CSelectObjectGuard font(hdc, m_manager->GetFont(m_font));
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(hdc, ToColorRef(IsEnabled() ? m_textColor : m_disabledTextColor));
    const UINT format = m_textStyle | DT_SINGLELINE | DT_NOPREFIX;
    for (int k = 1; k <= 3; ++k) {
        RECT dot = rect;
        dot.left = rect.left + k * quarter;
        ::DrawTextW(hdc, L".", 1, &dot, format);
    }
    const bool anySet = m_activeField != 0 || m_numbers[0] != 0 || m_numbers[1] != 0 || m_numbers[2] != 0 ||
                        m_numbers[3] != 0;
    for (int k = 1; anySet && k <= 4; ++k) {
        RECT place = rect;
        place.left = rect.left + (k - 1) * quarter + quarter / 2;
        wchar_t number[8] = {};
        swprintf(number, 8, L"%d", m_numbers[k - 1]);
        const bool picked = k == m_activeField && IsEnabled();
        const COLORREF textColor = ::GetTextColor(hdc);
        if (picked) {
            ::SetBkMode(hdc, OPAQUE);
            ::SetBkColor(hdc, kPickedBackground);
            ::SetTextColor(hdc, RGB(255, 255, 255));
        }
        ::DrawTextW(hdc, number, -1, &place, format);
        if (picked) {
            ::SetBkMode(hdc, TRANSPARENT);
            ::SetTextColor(hdc, textColor);
        }
    }
    ::SetTextColor(hdc, oldColor);
    ::SetBkMode(hdc, oldMode);
}

}  // namespace HiveUI
