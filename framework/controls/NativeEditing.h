// What the fields that edit their value in a native child window share: where that
// window may show, and how a window outliving its control is let go.
#pragma once

#include <windows.h>

#include "UIControl.h"

namespace HiveUI {

// The part of the rectangle that the control's ancestors leave visible: empty when an
// ancestor is hidden or the rectangle lies outside one of their client areas.
RECT ClipToAncestors(const CControlUI& control, RECT rect);

// The Windows colour of an ARGB colour.
inline COLORREF ToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// A native window whose control goes first must not reach back into it: the window is
// hidden and closes itself later, since its control may be going from inside one of the
// window's own notifications.
inline void CloseOrphanedWindow(HWND wnd) {
    if (!::IsWindow(wnd)) return;
    ::ShowWindow(wnd, SW_HIDE);
    ::PostMessageW(wnd, WM_CLOSE, 0, 0);
}

// The steps every field that edits in a native window takes first: the I-beam over an
// enabled field, the focus asked back for the field when the window was resized while
// editing, and no wheel while editing. True when the event ends there.
bool TakeNativeEditingEvent(CControlUI& field, TEventInfo& event, bool editing);

// Starts editing in the owner's native window, made first when there is none; a window
// that cannot be made leaves the owner without one.
template <class Window, class Owner>
bool StartEditingIn(Window*& window, Owner* owner) {
    if (window != nullptr) return window->Init(owner);
    Window* made = new Window;
    if (!made->Init(owner)) {
        delete made;
        return false;
    }
    window = made;
    return true;
}

}  // namespace HiveUI
