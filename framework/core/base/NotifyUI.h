// TNotifyInfo and INotifyUI: a named notification that a control sends through its
// manager, and the sink through which a window receives them.
#pragma once

#include <windows.h>

#include "UIString.h"

namespace HiveUI {

class CControlUI;

struct TNotifyInfo {
    CUIString sType;
    CUIString sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual void Notify(TNotifyInfo& msg) = 0;

protected:
    ~INotifyUI() = default;
};

}  // namespace HiveUI
