// Times a full repaint of the client's main window (its own skin, 1200x770, frame and
// body without the browser's window over it) against a BitBlt of the same size, through
// WM_PAINT and into a memory DC.
// Run by hand under Wine: bench_main_window_repaint.exe [rounds]
#include <UIManager.h>

#include <cstdlib>

#include "AppPaths.h"
#include "MainFrame.h"
#include "MessagePump.h"
#include "RepaintTiming.h"
#include "SkinArchive.h"

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HiveUI::CPaintManagerUI::SetResourceType(4);
    if (!UseSkinArchive()) {
        fprintf(stderr, "this program carries no client skin\n");
        return 1;
    }
    g_themeColor = 0xFFFEFAE8;
    CMainFrame frame;
    HWND wnd = frame.Create(nullptr, L"tallyhive", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0);
    if (wnd == nullptr) {
        fprintf(stderr, "the main window does not open\n");
        return 1;
    }
    // Past the loading time-out (3 s) the animation has stopped: the window as it stays.
    const ULONGLONG settled = GetTickCount64() + 3500;
    PumpMessagesUntil([&] { return GetTickCount64() >= settled; }, 10000);
    RECT client = {};
    GetClientRect(wnd, &client);
    printf("main window: %ldx%ld\n", client.right, client.bottom);
    Bench::CompareRepaintWithBlit(wnd, frame.GetPaintManager(), client.right, client.bottom, rounds,
                                  "main window repaint");
    frame.FinishRun();
    return 0;
}
