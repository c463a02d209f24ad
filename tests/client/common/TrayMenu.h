// The client's tray menu, opened from outside as the shell does on a right click of the
// tray icon.
#pragma once

#include <windows.h>

#include <cstdio>
#include <set>

#include "MainFrameMessages.h"
#include "ProgramDriver.h"

namespace TrayMenu {

// The menu's rows in its client area (inside a 1-pixel inset, 28 pixels each, and a
// separator of 6 above "quit").
const int kHideShowRow = 15;
const int kQuitRow = 77;

// Opens the tray menu with the cursor at `cursor` and waits until `placed` (a test of the
// menu's window rectangle) says it is where it belongs and it has painted itself there:
// its border and background show on the screen, and nothing of it is left to paint (the
// screen may show another picture there first). A click before the first paint finds no
// item. The client places the menu at the pointer as it last saw it, and a pointer event
// it takes in late (a window of its own shown under the pointer's old place) can still
// move that back: then the menu opens elsewhere, and the user right-clicks again, which
// replaces it. The pointer is moved off and back each time, so that it moves even where
// the system already holds this place. Null if the menu never showed there, after
// saying what showed.
template <class Placed>
inline HWND OpenAt(HWND main, DWORD processId, POINT cursor, Placed placed) {
    using namespace ProgramDriver;
    const auto rightClick = [&] {
        SetCursorPos(cursor.x + 1, cursor.y);
        SetCursorPos(cursor.x, cursor.y);
        PostMessageW(main, WM_TRAY_CALLBACK, 0, WM_RBUTTONUP);
    };
    // Menus shown elsewhere that have had their right-click again; the one up before, too.
    std::set<HWND> answered = {FindProcessWindow(L"HiveMenuWnd", processId)};
    HWND menu = nullptr;
    RECT rc = {};
    rightClick();
    const bool shown = WaitUntil([&] {
        menu = FindProcessWindow(L"HiveMenuWnd", processId);
        if (menu == nullptr || !GetWindowRect(menu, &rc)) return false;
        if (!placed(rc)) {
            if (answered.insert(menu).second) rightClick();
            return false;
        }
        return !GetUpdateRect(menu, nullptr, FALSE) && ScreenPixels(menu).rgb(0, kHideShowRow) == 0xBCBFC4 &&
               ScreenPixels(menu).rgb(5, kHideShowRow) == 0xFFFFFF;
    });
    if (shown) return menu;
    if (menu == nullptr) {
        std::printf("tray menu at %ld,%ld: none shown\n", cursor.x, cursor.y);
    } else {
        RECT unpainted = {};
        std::printf("tray menu at %ld,%ld: shown at %ld,%ld, %ldx%ld, border %06lX, first row %06lX, %s\n", cursor.x,
                    cursor.y, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                    ScreenPixels(menu).rgb(0, kHideShowRow), ScreenPixels(menu).rgb(5, kHideShowRow),
                    GetUpdateRect(menu, &unpainted, FALSE) ? "still to be painted" : "painted");
    }
    return nullptr;
}

// Opens the tray menu with the cursor at a place no earlier menu took, where the menu
// opens 75 pixels above it.
inline HWND Open(HWND main, DWORD processId, int place) {
    const POINT cursor = {100 + 160 * place, 400};
    return OpenAt(main, processId, cursor,
                  [&](const RECT& rc) { return rc.left == cursor.x && rc.top == cursor.y - 75; });
}

}  // namespace TrayMenu
