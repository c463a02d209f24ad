// Drives a running uninstall.exe from outside, as a user would: finds its window by
// class, presses the skin's buttons by mouse messages at their places, and reads what the
// result page shows from the screen.
#pragma once

#include <windows.h>

#include <string>

namespace UninstallWindow {

// Places of the skin's buttons in the 400 x 300 client area.
const POINT kUninstall = {130, 246};
const POINT kCancel = {270, 246};
const POINT kClose = {200, 246};  // "关闭" on the result page
const POINT kTitleClose = {386, 12};

struct Found {
    DWORD pid;
    HWND wnd;
};

inline BOOL CALLBACK MatchWindow(HWND wnd, LPARAM context) {
    Found* found = reinterpret_cast<Found*>(context);
    wchar_t name[32] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != found->pid || !GetClassNameW(wnd, name, 32) || wcscmp(name, L"UnInstall") != 0) return TRUE;
    found->wnd = wnd;
    return FALSE;
}

// The visible "UnInstall" window of the process, polled for up to timeoutMs.
inline HWND Find(DWORD pid, DWORD timeoutMs = 90000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        Found found = {pid, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
        if (found.wnd != nullptr && IsWindowVisible(found.wnd)) return found.wnd;
        Sleep(100);
    }
    return nullptr;
}

inline std::wstring Title(HWND wnd) {
    wchar_t text[128] = {};
    GetWindowTextW(wnd, text, 128);
    return text;
}

inline void Click(HWND wnd, POINT pt) {
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    PostMessageW(wnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(wnd, WM_LBUTTONUP, 0, at);
}

// Client-area pixels of one row band as 0x00RRGGBB, copied from the screen.
inline bool ReadBand(HWND wnd, int top, int height, DWORD* pixels) {
    POINT origin = {0, top};
    ClientToScreen(wnd, &origin);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 400;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool ok = BitBlt(memory, 0, 0, 400, height, screen, origin.x, origin.y, SRCCOPY) != FALSE;
    SelectObject(memory, old);
    if (ok) memcpy(pixels, bits, static_cast<size_t>(400 * height) * sizeof(DWORD));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return ok;
}

// The skin's blue buttons: "卸载" on the question page, "关闭" on the result page, each
// where the other page has white.
inline bool ShowsBlueAt(HWND wnd, int x) {
    DWORD row[400 * 1];
    if (!ReadBand(wnd, 230, 1, row)) return false;
    const DWORD pixel = row[x] & 0xFFFFFF;
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
    DWORD band[400 * 24];
    if (!ReadBand(wnd, top, height, band)) return -1;
    int left = 400, right = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 400; ++x) {
            const DWORD p = band[y * 400 + x];
            if (((p >> 16) & 0xFF) < 0xA0 && ((p >> 8) & 0xFF) < 0xA0 && (p & 0xFF) < 0xA0) {
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
        }
    }
    return right < 0 ? 0 : right - left + 1;
}

}  // namespace UninstallWindow
