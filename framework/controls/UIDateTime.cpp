#include "UIDateTime.h"

#include <cwchar>

#include "DateTimeWnd.h"
#include "NativeEditing.h"

namespace HiveUI {

CControlUI* CreateDateTimeControl() { return new CDateTimeUI; }

CDateTimeUI::CDateTimeUI() : m_time{}, m_updateMode(0), m_window(nullptr) {
    ::GetLocalTime(&m_time);
    m_updateMode = 1;
    UpdateText();
    m_updateMode = 0;
}

CDateTimeUI::~CDateTimeUI() {
    if (m_window != nullptr) m_window->Abandon();
}

const wchar_t* CDateTimeUI::GetClass() const { return L"DateTimeUI"; }

LPVOID CDateTimeUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"DateTime") == 0) return static_cast<CDateTimeUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CDateTimeUI::UpdateText() {
    if (m_updateMode == 2) {
        SetText(L"");
    } else if (m_updateMode == 1) {
        CUIString text;
        text.Format(L"%4d-%02d-%02d", m_time.wYear, m_time.wMonth, m_time.wDay);
        SetText(text);
    }
}

HWND CDateTimeUI::GetNativeWindow() const { return m_window != nullptr ? m_window->GetHWND() : nullptr; }

CWindowWnd* CDateTimeUI::NativeWindow() const { return m_window; }

bool CDateTimeUI::StartNativeWindow() { return StartEditingIn(m_window, this); }

}  // namespace HiveUI
