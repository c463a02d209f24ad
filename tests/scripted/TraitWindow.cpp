// A plain Win32 window, without the framework, with the traits of the client's main
// window added one at a time, for scripts/x-root.sh to see whether each of them reaches
// the root of an X display:
//   trait_window.exe [region] [child] [layered] [shadow]
// region   a rounded window region, as every skinned frame sets on each size
// child    WS_CLIPCHILDREN and a child window over the lower half, as the browser's
// layered  the window painted by UpdateLayeredWindow, as a skin with "bktrans" paints
// shadow   an owned, layered, click-through popup with per-pixel alpha round the window and
//          transparent under it, placed behind the window, as the drop shadow is
// The window is 400 x 300 at (100, 100), filled with 0x2080C0 (its child with 0x20C040).
// Once it and its shadow are drawn it prints "ready", and it ends after 60 s.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "PixelCanvas.h"

namespace {

const COLORREF kWindowFill = RGB(0x20, 0x80, 0xC0);
const COLORREF kChildFill = RGB(0x20, 0xC0, 0x40);
const int kX = 100, kY = 100, kWidth = 400, kHeight = 300, kShadow = 10;

bool g_region = false;

LRESULT CALLBACK FillProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(wnd, GWLP_USERDATA)));
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(wnd, &ps);
        return 0;
    }
    if (msg == WM_SIZE && g_region && GetParent(wnd) == nullptr) {
        SetWindowRgn(wnd, CreateRoundRectRgn(0, 0, LOWORD(lParam) + 1, HIWORD(lParam) + 1, 7, 7), TRUE);
    }
    if (msg == WM_DESTROY && GetParent(wnd) == nullptr) PostQuitMessage(0);
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

// Pixels of a layered window of the given size, each from pixel (x, y), as premultiplied ARGB.
template <typename Pixel>
bool UpdateLayered(HWND wnd, POINT at, int width, int height, Pixel pixel) {
    PixelCanvas canvas(width, height);
    DWORD* pixels = canvas.pixels();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[y * width + x] = pixel(x, y);
    }
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    MoveWindow(wnd, at.x, at.y, width, height, FALSE);
    return UpdateLayeredWindow(wnd, nullptr, nullptr, &size, canvas.dc(), &origin, 0, &blend, ULW_ALPHA) != FALSE;
}

HWND Create(const wchar_t* name, DWORD exStyle, DWORD style, RECT rc, HWND parent, COLORREF fill) {
    HWND wnd = CreateWindowExW(exStyle, L"TraitWindow", name, style, rc.left, rc.top, rc.right - rc.left,
                               rc.bottom - rc.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (wnd != nullptr) SetWindowLongPtrW(wnd, GWLP_USERDATA, static_cast<LONG_PTR>(fill));
    return wnd;
}

}  // namespace

int main(int argc, char** argv) {
    bool child = false, layered = false, shadow = false;
    for (int i = 1; i < argc; ++i) {
        g_region |= std::strcmp(argv[i], "region") == 0;
        child |= std::strcmp(argv[i], "child") == 0;
        layered |= std::strcmp(argv[i], "layered") == 0;
        shadow |= std::strcmp(argv[i], "shadow") == 0;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FillProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"TraitWindow";
    RegisterClassW(&wc);

    // Caption-less, as a skinned frame makes itself.
    const DWORD style = (WS_OVERLAPPEDWINDOW & ~WS_CAPTION) | WS_CLIPSIBLINGS | (child ? WS_CLIPCHILDREN : 0);
    HWND wnd = Create(L"trait window", layered ? WS_EX_LAYERED : 0, style, RECT{kX, kY, kX + kWidth, kY + kHeight},
                      nullptr, kWindowFill);
    if (wnd == nullptr) return 1;
    if (child) Create(nullptr, 0, WS_CHILD | WS_VISIBLE, RECT{0, kHeight / 2, kWidth, kHeight}, wnd, kChildFill);
    HWND rim = nullptr;
    if (shadow) {
        rim = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, L"TraitWindow", nullptr, WS_POPUP | WS_BORDER | WS_SYSMENU,
                              CW_USEDEFAULT, 0, 0, 0, wnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (rim == nullptr) return 1;
    }
    ShowWindow(wnd, SW_SHOWNORMAL);
    UpdateWindow(wnd);
    const DWORD fill = 0xFF000000u | (GetRValue(kWindowFill) << 16) | (GetGValue(kWindowFill) << 8) | GetBValue(kWindowFill);
    if (layered && !UpdateLayered(wnd, POINT{kX, kY}, kWidth, kHeight, [fill](int, int) { return fill; })) return 1;
    if (rim != nullptr) {
        ShowWindow(rim, SW_SHOWNOACTIVATE);
        SetWindowPos(rim, wnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        const auto soft = [](int x, int y) -> DWORD {
            const bool under = x >= kShadow && x < kWidth + kShadow && y >= kShadow && y < kHeight + kShadow;
            return under ? 0 : 0x60000000u;
        };
        if (!UpdateLayered(rim, POINT{kX - kShadow, kY - kShadow}, kWidth + 2 * kShadow, kHeight + 2 * kShadow, soft)) {
            return 1;
        }
    }
    std::printf("ready\n");
    std::fflush(stdout);
    SetTimer(wnd, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
