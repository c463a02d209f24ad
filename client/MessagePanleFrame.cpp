#include "MessagePanleFrame.h"

#include "UIControl.h"

using namespace HiveUI;

void MessagePanleFrame::InitWindow() {
    SetProgramIcon();
    if (CControlUI* text = m_pm.FindControl(L"lab_text")) text->SetText(m_text.c_str());
    BringToFront();
}

bool ShowConfirmPanel(std::wstring text, HWND owner) {
    MessagePanleFrame frame(std::move(text));
    frame.RunModal(owner, L"\u6D88\u606F");  // "消息" (message)
    return frame.Accepted();
}
