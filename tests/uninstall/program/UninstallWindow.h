// Drives a running uninstall.exe from outside, as a user would: finds its window by
// class, presses the skin's buttons by mouse messages at their places, and reads what the
// result page shows from the screen.
#pragma once

#include <windows.h>

#include <string>

#include "ProgramDriver.h"

namespace UninstallWindow {

// Places of the skin's buttons in the 400 x 300 client area.
const POINT kUninstall = {130, 246};
const POINT kCancel = {270, 246};
const POINT kClose = {200, 246};  // "关闭" on the result page
const POINT kTitleClose = {386, 12};

// The visible "UnInstall" window of the process, polled for up to timeoutMs.
inline HWND Find(DWORD pid, DWORD timeoutMs = 90000) {
    return ProgramDriver::WaitForWindow(L"UnInstall", pid, timeoutMs);
}

inline std::wstring Title(HWND wnd) {
    wchar_t text[128] = {};
    GetWindowTextW(wnd, text, 128);
    return text;
}

inline void Click(HWND wnd, POINT pt) { ProgramDriver::ClickAt(wnd, pt.x, pt.y); }

// The skin's blue buttons: "卸载" on the question page, "关闭" on the result page, each
// where the other page has white.
inline bool ShowsBlueAt(HWND wnd, int x) {
    const DWORD pixel = ProgramDriver::ScreenPixels(wnd).rgb(x, 230);
    return (pixel & 0xFF) > 0xC0 && ((pixel >> 16) & 0xFF) < 0x40;
}

// Mouse messages that arrive before the first paint find no control under them (the
// layout is made when the window paints), so a user's click waits for the page to show.
inline bool WaitForPage(HWND wnd, bool result, DWORD timeoutMs = 90000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (ShowsBlueAt(wnd, result ? kClose.x : kUninstall.x)) return true;
        Sleep(100);
    }
    return false;
}

// Width in pixels of the text on the result page's line (0 when the line is blank).
inline int ResultTextWidth(HWND wnd) {
    const int top = 162, height = 24;
    const ProgramDriver::ScreenPixels screen(wnd);
    int left = 400, right = -1;
    for (int y = top; y < top + height; ++y) {
        for (int x = 0; x < 400; ++x) {
            const DWORD p = screen.rgb(x, y);
            if (((p >> 16) & 0xFF) < 0xA0 && ((p >> 8) & 0xFF) < 0xA0 && (p & 0xFF) < 0xA0) {
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
        }
    }
    return right < 0 ? 0 : right - left + 1;
}

}  // namespace UninstallWindow
