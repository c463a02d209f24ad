#include "MessageBoxFrame.h"

#include "UIControl.h"

using namespace HiveUI;

MessageBoxFrame::MessageBoxFrame(std::wstring text, int kind, bool showOk)
    : m_text(std::move(text)), m_kind(kind), m_showOk(showOk) {}

DWORD MessageKindColor(int kind) {
    static const DWORD colors[] = {0xFFC74417, 0xFFA9AA13, 0xFF2686C6};
    return kind >= 0 && kind < 3 ? colors[kind] : 0;
}

void MessageBoxFrame::InitWindow() {
    SetProgramIcon();
    CControlUI* text = m_pm.FindControl(L"lab_text");
    CControlUI* ok = m_pm.FindControl(L"btn_ok");
    CControlUI* root = m_pm.FindControl(L"root_hlayout");
    CControlUI* band = m_pm.FindControl(L"left_vlayout");
    if (ok != nullptr) ok->SetVisible(m_showOk);
    if (text != nullptr) text->SetText(m_text.c_str());
    if (const DWORD color = MessageKindColor(m_kind)) {
        if (root != nullptr) root->SetBorderColor(color);
        if (band != nullptr) band->SetBkColor(color);
    }
    BringToFront();
}

void ShowMessageBox(std::wstring text, int kind, HWND owner, bool showOk) {
    MessageBoxFrame frame(std::move(text), kind, showOk);
    frame.RunModal(owner, L"\u6D88\u606F");  // "消息" (message)
}
