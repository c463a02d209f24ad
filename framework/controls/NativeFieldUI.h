// CNativeFieldUI: the event handling that the date-time and IP address fields share. Each
// shows its value as label text and, on focus or click, edits it in a native window of
// its own kind that it makes on demand.
#pragma once

#include <windows.h>

#include "UILabel.h"
#include "WindowWnd.h"

namespace HiveUI {

class CNativeFieldUI : public CLabelUI {
public:
    void DoEvent(TEventInfo& event) override;

protected:
    // The native window, or null while there is none.
    virtual CWindowWnd* NativeWindow() const = 0;
    // Makes the native window when there is none and starts editing in it; false when
    // no window could be made.
    virtual bool StartNativeWindow() = 0;

private:
    void OpenAndShow();
};

}  // namespace HiveUI
