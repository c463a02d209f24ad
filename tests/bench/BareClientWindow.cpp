// The baselines of the client start benchmark (ClientStartBench.cpp): the least a Win32
// program does to show a window of the client's size: register a class, create the
// window and paint it once in the client's title colour. Ends when its window closes.
// The DLLs named on its command line are loaded first; built with the client's manifest,
// it is the bare window that imports what the client imports.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        HBRUSH brush = CreateSolidBrush(RGB(0xFE, 0xFA, 0xE8));
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(wnd, &ps);
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

void LoadLibrariesNamed(const wchar_t* names) {
    std::wstring name;
    for (const wchar_t* p = names;; ++p) {
        if (*p != L' ' && *p != L'\0') {
            name += *p;
            continue;
        }
        if (!name.empty()) LoadLibraryW(name.c_str());
        name.clear();
        if (*p == L'\0') return;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    LoadLibrariesNamed(commandLine);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TallyhiveBareWnd";
    RegisterClassW(&wc);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = (work.left + work.right - 1200) / 2, y = (work.top + work.bottom - 770) / 2;
    CreateWindowExW(0, wc.lpszClassName, L"bare", WS_POPUP | WS_VISIBLE, x, y, 1200, 770, nullptr, nullptr, instance,
                    nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
