#include "MessageWindow.h"

#include "UIControl.h"

using namespace HiveUI;

void MessageWindow::OnClick(TNotifyInfo& msg) {
    CUIString name = msg.pSender != nullptr ? msg.pSender->GetName() : CUIString();
    name.MakeLower();
    if (name == L"btn_ok") {
        m_result = 1;
        Close(1);
    } else if (name == L"btn_close") {
        m_result = 0;
        Close(1);
    }
    WindowImplBase::OnClick(msg);
}
