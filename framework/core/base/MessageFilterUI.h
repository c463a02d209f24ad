// IMessageFilterUI: a window message filter; setting handled ends the message's handling
// with the filter's result.
#pragma once

#include <windows.h>

namespace HiveUI {

class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

}  // namespace HiveUI
