#include "DateTimeWnd.h"

#include <commctrl.h>

#include "CommonControls.h"
#include "UIDateTime.h"
#include "UIManager.h"

namespace HiveUI {

namespace {

const UINT kReflectedNotify = 0x2000 + WM_NOTIFY;

}  // namespace

CDateTimeWnd::CDateTimeWnd() : m_initialised(false), m_dropDownOpen(false), m_oldTime{} {}

const wchar_t* CDateTimeWnd::GetWindowClassName() const { return L"DateTimeWnd"; }
const wchar_t* CDateTimeWnd::GetSuperClassName() const { return DATETIMEPICK_CLASSW; }

bool CDateTimeWnd::Create(CDateTimeUI* owner) {
    CPaintManagerUI* manager = owner->GetManager();
    if (manager == nullptr || manager->GetPaintWindow() == nullptr) return false;
    // The picker's class exists only once the common controls registered it.
    if (!InitCommonControlClasses(ICC_DATE_CLASSES)) return false;
    if (!CreateOver(ClipToAncestors(*owner, owner->GetPos()), WS_CHILD)) return false;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFontInfo(owner->GetFont())->font), TRUE);
    return true;
}

bool CDateTimeWnd::Init(CDateTimeUI* owner) {
    m_owner = owner;
    owner->m_updateMode = 0;
    if (m_hWnd == nullptr && !Create(owner)) {
        m_owner = nullptr;
        return false;
    }
    if (owner->GetText().IsEmpty()) ::GetLocalTime(&owner->m_time);
    m_oldTime = owner->m_time;
    SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->m_time));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    m_initialised = true;
    return true;
}

// The shown text follows every date the picker takes.
void CDateTimeWnd::TakeChosenDate() {
    if (m_owner == nullptr) return;
    SYSTEMTIME chosen = {};
    if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&chosen)) == GDT_VALID) m_owner->m_time = chosen;
    m_owner->m_updateMode = 1;
    m_owner->UpdateText();
}

void CDateTimeWnd::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != m_hWnd) return;
    switch (header.code) {
        case DTN_DATETIMECHANGE:
            TakeChosenDate();
            break;
        case DTN_DROPDOWN:
            m_dropDownOpen = true;
            break;
        case DTN_CLOSEUP:
            TakeChosenDate();
            PostMessage(WM_CLOSE);
            m_dropDownOpen = false;
            break;
        default:
            break;
    }
}

LRESULT CDateTimeWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KEYDOWN:
            if (wParam != VK_ESCAPE) break;
            if (m_owner != nullptr) {
                m_owner->m_time = m_oldTime;
                m_owner->m_updateMode = 1;
                m_owner->UpdateText();
            }
            PostMessage(WM_CLOSE);
            return 0;
        case kReflectedNotify:
            OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            break;
        case WM_KILLFOCUS: {
            const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
            // Focus moves into the open calendar: editing goes on there.
            if (!m_dropDownOpen) PostMessage(WM_CLOSE);
            return result;
        }
        default:
            break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

}  // namespace HiveUI
