// The long-lived process of a test slot: it owns one hidden window for the whole run, so
// the slot's Wine desktop and the services a first window brings up start once, before
// any test, instead of inside a test (where they would keep the test's output pipe open
// until they exit). The window is never shown, so it takes no activation or focus from
// the tests. Argument: a file to create once the window exists; the runner waits for it.
#include <windows.h>

#include "ScopedHandle.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR readyFile, int) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"TallyhiveSlotKeeper";
    if (!RegisterClassW(&wc)) return 1;
    if (!CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1,
                         nullptr, nullptr, instance, nullptr))
        return 1;
    HiveUI::CScopedKernelHandle ready(
        CreateFileW(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!ready.IsValid()) return 1;
    ready.Reset();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
