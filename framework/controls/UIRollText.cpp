#include "UIRollText.h"

#include <cwchar>

#include "UIManager.h"

namespace HiveUI {

namespace {

const UINT kStepTimer = 20;
const UINT kEndTimer = 21;
const UINT kRollFormat = DT_WORDBREAK | DT_EDITCONTROL;

}  // namespace

CControlUI* CreateRollTextControl() { return new CRollTextUI; }

CRollTextUI::CRollTextUI() : m_position(0), m_step(5), m_extent(0) {}

CRollTextUI::~CRollTextUI() {
    if (m_manager == nullptr) return;
    m_manager->KillTimer(this, kEndTimer);
    m_manager->KillTimer(this, kStepTimer);
}

const wchar_t* CRollTextUI::GetClass() const { return L"RollTextUI"; }

LPVOID CRollTextUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"RollText") == 0) return static_cast<CRollTextUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CRollTextUI::SetText(const wchar_t* text) {
    CLabelUI::SetText(text);
    m_extent = 0;
}

void CRollTextUI::SetPos(RECT rect) {
    CLabelUI::SetPos(rect, true);
    m_extent = 0;
}

void CRollTextUI::DoEvent(TEventInfo& event) {
    if (event.Type == UIEVENT_TIMER && event.wParam == kEndTimer) {
        if (m_manager != nullptr) {
            m_manager->KillTimer(this, kEndTimer);
            m_manager->SendNotify(this, L"textrollend");
        }
    } else if (event.Type == UIEVENT_TIMER && event.wParam == kStepTimer) {
        Invalidate();
        return;
    }
    CLabelUI::DoEvent(event);
}

// The first paint only measures the text; each later one draws it a step further.
void CRollTextUI::PaintText(HDC hdc) {
    if (m_manager == nullptr) return;
    DefaultTextColors();
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    RECT rect = {m_item.left + m_textPadding.left, m_item.top + m_textPadding.top, m_item.right - m_textPadding.right,
                 m_item.bottom - m_textPadding.bottom};
    if (m_extent == 0) {
        rect.right += 10000;
        DrawLabelText(hdc, rect, text, color, kRollFormat | DT_CALCRECT);
        m_extent = rect.right - rect.left;
        return;
    }
    const int width = rect.right - rect.left;
    const int run = width + m_extent;
    rect.left += m_position - width;
    rect.right = rect.left + m_extent;
    m_position += m_step;
    if (m_position > run) m_position = 0;
    DrawLabelText(hdc, rect, text, color, kRollFormat);
}

}  // namespace HiveUI
