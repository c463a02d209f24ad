// TEventInfo: one control event as the paint manager hands it to a control's Event,
// and the numbers that name the events.
#pragma once

#include <windows.h>

namespace HiveUI {

class CControlUI;

enum EventType {
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_RBUTTONUP = 16,
    UIEVENT_MBUTTONDOWN = 17,
    UIEVENT_MBUTTONUP = 18,
    UIEVENT_DBLCLICK = 19,
    UIEVENT_CONTEXTMENU = 20,
    UIEVENT_SCROLLWHEEL = 21,
    UIEVENT_KILLFOCUS = 23,
    UIEVENT_SETFOCUS = 24,
    UIEVENT_WINDOWSIZE = 25,
    UIEVENT_SETCURSOR = 26,
    UIEVENT_TIMER = 27,
};

// Mouse events are the ones a control with its mouse disabled hands on.
inline bool IsMouseEvent(int type) { return type >= UIEVENT_MOUSEMOVE && type <= UIEVENT_SCROLLWHEEL; }

// Bits of the key state word.
enum KeyStateFlag {
    UIKEYSTATE_LBUTTON = 0x01,
    UIKEYSTATE_RBUTTON = 0x02,
    UIKEYSTATE_SHIFT = 0x04,
    UIKEYSTATE_CONTROL = 0x08,
    UIKEYSTATE_ALT = 0x20,
};

struct TEventInfo {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WORD chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace HiveUI
