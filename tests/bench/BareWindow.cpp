// The baseline of the start-up benchmark: a bare Win32 window of the benchmark window's
// size that paints one solid fill and signals. With --libraries NAME... it first loads
// the DLLs named (those the framed program imports), then the one the framework loads at
// run time, and starts GDI+ as the framework does before its first frame, so that their
// cost is on both sides.
#include <windows.h>

#include <cstring>

#include "StartupSignal.h"

namespace {

LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProcW(wnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(wnd, &ps);
    return 0;
}

FARPROC Find(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

void LoadFrameworkLibraries(int count, char** names) {
    for (int i = 0; i < count; ++i) LoadLibraryA(names[i]);
    LoadLibraryW(L"msimg32.dll");
    using StartupFn = int(WINAPI*)(ULONG_PTR*, const void*, void*);
    struct {
        UINT32 version = 1;
        void* debugCallback = nullptr;
        BOOL suppressBackgroundThread = FALSE;
        BOOL suppressExternalCodecs = FALSE;
    } input;
    ULONG_PTR token = 0;
    if (auto startup = reinterpret_cast<StartupFn>(reinterpret_cast<void*>(Find(L"gdiplus.dll", "GdiplusStartup"))))
        startup(&token, &input, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--libraries") == 0) LoadFrameworkLibraries(argc - 2, argv + 2);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TallyhiveBenchBare";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 1200, 770, nullptr,
                               nullptr, wc.hInstance, nullptr);
    if (wnd == nullptr) return 1;
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd);
    StartupSignal::Raise();
    return 0;
}
