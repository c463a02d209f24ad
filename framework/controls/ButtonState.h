// The state bits that buttons, options, check boxes and sliders keep of themselves.
#pragma once

#include <windows.h>

namespace HiveUI {

enum ButtonStateFlag : UINT {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    // The left button went down inside and is still down.
    UISTATE_CAPTURED = 0x40,
};

}  // namespace HiveUI
