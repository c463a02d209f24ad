// The client's tray menu, opened from outside as the shell does on a right click of the
// tray icon.
#pragma once

#include <windows.h>

#include <cstdio>

#include "MainFrameMessages.h"
#include "ProgramDriver.h"

namespace TrayMenu {

// The menu's rows in its client area (inside a 1-pixel inset, 28 pixels each, and a
// separator of 6 above "quit").
const int kHideShowRow = 15;
const int kQuitRow = 77;

// Opens the tray menu with the cursor at a place no earlier menu took (the menu opens
// 75 pixels above it), and waits for the menu to paint itself there (its border and
// background): a click before the first paint finds no item. Null if it did not, after
// saying what was shown instead.
inline HWND Open(HWND main, DWORD processId, int place) {
    using namespace ProgramDriver;
    const POINT cursor = {100 + 160 * place, 400};
    SetCursorPos(cursor.x, cursor.y);
    PostMessageW(main, WM_TRAY_CALLBACK, 0, WM_RBUTTONUP);
    HWND menu = nullptr;
    RECT rc = {};
    const bool shown = WaitUntil([&] {
        menu = FindProcessWindow(L"HiveMenuWnd", processId);
        return menu != nullptr && GetWindowRect(menu, &rc) && rc.left == cursor.x && rc.top == cursor.y - 75 &&
               ScreenPixels(menu).rgb(0, kHideShowRow) == 0xBCBFC4 && ScreenPixels(menu).rgb(5, kHideShowRow) == 0xFFFFFF;
    });
    if (shown) return menu;
    if (menu == nullptr) {
        std::printf("tray menu %d: none shown\n", place);
    } else {
        std::printf("tray menu %d: shown at %ld,%ld, border %06lX, first row %06lX\n", place, rc.left, rc.top,
                    ScreenPixels(menu).rgb(0, kHideShowRow), ScreenPixels(menu).rgb(5, kHideShowRow));
    }
    return nullptr;
}

}  // namespace TrayMenu
