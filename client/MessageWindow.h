// MessageWindow: the base of the client's two message windows, whose OK and close
// buttons end them and leave the answer behind.
#pragma once

#include "ClientDialog.h"

class MessageWindow : public ClientDialog {
public:
    void OnClick(HiveUI::TNotifyInfo& msg) override;
    // The user pressed OK.
    bool Accepted() const { return m_result == 1; }

private:
    BYTE m_result = 0;
};
