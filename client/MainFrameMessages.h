// The main window's private messages, the process-wide handle other threads post them
// to, and the heap record that carries a window-control call to the window's thread.
#pragma once

#include <windows.h>

#include <string>

// Posted by the tray icon: lParam is the mouse message on the icon.
const UINT WM_TRAY_CALLBACK = 0x401;
// Posted by the tray menu: wParam is the menu click record, freed by the receiver.
const UINT WM_MENU_CLICK = 0x403;
// The browser exists or was reloaded: place it again.
const UINT WM_BROWSER_RELAYOUT = 0x1401;
// A page finished loading: the loading state ends.
const UINT WM_PAGE_LOADED = 0x1402;
// The selected server line changed: load it.
const UINT WM_LINE_CHANGED = 0x1403;
// The update window gave up: show the main window again.
const UINT WM_SHOW_MAIN = 0x1404;
// The update check found a newer version.
const UINT WM_UPDATE_AVAILABLE = 0x1500;
// A window-control call made on another thread: wParam is a heap TWindowControlCall,
// which the window deletes, also when it is destroyed before handling it.
const UINT WM_WINDOW_CONTROL = 0x1600;
// Posted by the window's creation: the first frame is painted, then start-up goes on.
const UINT WM_AFTER_FIRST_FRAME = 0x1601;
// WM_COMMAND with this wParam quits the client at once, without asking.
const WPARAM kQuitCommand = 0x10401;

// The main window; other threads post to it. Null before the window exists.
extern HWND g_mainHwnd;

// One window-control operation with its arguments, as it travels between threads.
struct TWindowControlCall {
    enum Operation { Resize, Center, ThemeColor, Border, StartFlash, Visible, Menu, Title, TitleColor };
    Operation operation;
    int first;
    int second;
    std::wstring text;
};
