// Times the client from process start to the first frame of its main window on the
// screen, against a bare Win32 window of the same size (register, create, first paint)
// under the same Wine, alternating the two. Run by hand: bench_client_start.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchClock.h"
#include "MainFrameMessages.h"
#include "ProgramDriver.h"

using namespace ProgramDriver;

namespace {

struct Subject {
    const char* name;
    const char* exe;
    const wchar_t* windowClass;
    UINT quitMessage;
    WPARAM quitWParam;
};

// The screen pixel of the client's title bar, read straight from the screen.
DWORD TitlePixel(HWND wnd) {
    POINT at = {600, 15};
    ClientToScreen(wnd, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return color;
}

// Milliseconds until the title colour is on the screen; negative when it never was.
double TimeToFirstFrame(const Subject& subject) {
    const double start = NowMs();
    Process process(BesideSelf(subject.exe), L"");
    HWND wnd = nullptr;
    const bool shown = WaitUntil(
        [&] {
            if (wnd == nullptr) wnd = FindProcessWindow(subject.windowClass, process.Id());
            return wnd != nullptr && TitlePixel(wnd) == RGB(0xFE, 0xFA, 0xE8);
        },
        120000);
    const double elapsed = NowMs() - start;
    if (wnd != nullptr) PostMessageW(wnd, subject.quitMessage, subject.quitWParam, 0);
    process.Wait(60000);
    return shown ? elapsed : -1.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const Subject client = {"tallyhive.exe", TALLYHIVE_EXE_RELATIVE, L"TallyHiveMainFrameWnd", WM_COMMAND,
                            kQuitCommand};
    const Subject bare = {"bare window", "bench_bare_client_window.exe", L"TallyhiveBareWnd", WM_CLOSE, 0};
    std::vector<double> clientTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        bareTimes.push_back(TimeToFirstFrame(bare));
        clientTimes.push_back(TimeToFirstFrame(client));
        std::printf("run %d: bare %.0f ms, client %.0f ms\n", i + 1, bareTimes.back(), clientTimes.back());
    }
    const double clientMs = Median(clientTimes), bareMs = Median(bareTimes);
    std::printf("start to first frame, median of %d: client %.0f ms, bare window %.0f ms, ratio %.2f\n", runs, clientMs,
                bareMs, clientMs / bareMs);
    return clientMs > 0 && bareMs > 0 ? 0 : 1;
}
