// Times the client from process start to the first frame of its main window on the
// screen, against a bare Win32 window of the same size (register, create, first paint),
// and against that bare window started with the client's manifest after loading every
// DLL the client imports, under the same Wine. After a warm-up round that is not counted,
// each round starts the three in turn, in an order that rotates from round to round.
// Besides the medians, the median of each round's ratio: the three of a round meet the
// same load, which on a shared machine drifts from round to round.
// Run by hand: bench_client_start.exe [rounds]. The client is the one built beside the
// benchmark, or with TALLYHIVE_RELEASE_DIR set, the release package's (as the program
// tests take it); the baselines are built as the client is (stripped in a release tree).
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "ImportedLibraries.h"
#include "MainFrameMessages.h"
#include "ProgramDriver.h"

using namespace ProgramDriver;

namespace {

struct Subject {
    const char* name;
    std::wstring exe;
    std::wstring args;
    const wchar_t* windowClass;
    UINT quitMessage;
    WPARAM quitWParam;
};

// The screen is read every millisecond: a coarser poll would add up to its period to
// each sample, which weighs most on the shortest side.
class ScreenPoll {
public:
    ScreenPoll() : screen_(GetDC(nullptr)) { timeBeginPeriod(1); }
    ~ScreenPoll() {
        timeEndPeriod(1);
        ReleaseDC(nullptr, screen_);
    }
    // The client's title bar colour at a point of the title bar, straight from the screen.
    bool ShowsTitle(HWND wnd) const {
        POINT at = {600, 15};
        ClientToScreen(wnd, &at);
        return GetPixel(screen_, at.x, at.y) == RGB(0xFE, 0xFA, 0xE8);
    }

private:
    HDC screen_;
};

bool PollUntil(const std::function<bool()>& ready, DWORD boundMs) {
    const ULONGLONG end = GetTickCount64() + boundMs;
    while (!ready()) {
        if (GetTickCount64() >= end) return false;
        Sleep(1);
    }
    return true;
}

// One window of the class at a time is up, so a look-up by class is enough: walking
// every top-level window at each poll would cost a millisecond and more.
HWND FindOwnWindow(const wchar_t* windowClass, DWORD processId) {
    HWND wnd = FindWindowW(windowClass, nullptr);
    DWORD owner = 0;
    if (wnd != nullptr) GetWindowThreadProcessId(wnd, &owner);
    return owner == processId ? wnd : nullptr;
}

// Milliseconds until the title colour is on the screen; negative when it never was.
double TimeToFirstFrame(const Subject& subject, const ScreenPoll& poll) {
    const double start = NowMs();
    Process process(subject.exe, subject.args);
    HWND wnd = nullptr;
    const bool shown = PollUntil(
        [&] {
            if (wnd == nullptr) wnd = FindOwnWindow(subject.windowClass, process.Id());
            return wnd != nullptr && poll.ShowsTitle(wnd);
        },
        120000);
    const double elapsed = NowMs() - start;
    if (wnd != nullptr) PostMessageW(wnd, subject.quitMessage, subject.quitWParam, 0);
    process.Wait(60000);
    return shown ? elapsed : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::wstring client = ProgramUnderTest(L"tallyhive.exe", TALLYHIVE_EXE_RELATIVE);
    const std::vector<std::wstring> imports = Bench::ImportedLibraries(client);
    if (imports.empty()) {
        fprintf(stderr, "cannot read the imports of the client\n");
        return 1;
    }
    const Subject subjects[] = {
        {"client", client, L"", L"TallyHiveMainFrameWnd", WM_COMMAND, kQuitCommand},
        {"bare window", BesideSelf("bench_bare_client_window.exe"), L"", L"TallyhiveBareWnd", WM_CLOSE, 0},
        {"bare + client imports", BesideSelf("bench_bare_client_imports.exe"), Bench::JoinedLibraries(imports),
         L"TallyhiveBareWnd", WM_CLOSE, 0},
    };
    const int kinds = 3;
    const ScreenPoll poll;
    std::vector<double> samples[kinds];
    for (int round = 0; round <= rounds; ++round) {
        for (int turn = 0; turn < kinds; ++turn) {
            const int kind = (round + turn) % kinds;
            const double elapsed = TimeToFirstFrame(subjects[kind], poll);
            if (elapsed < 0) {
                fprintf(stderr, "%s never showed its first frame\n", subjects[kind].name);
                return 1;
            }
            if (round > 0) samples[kind].push_back(elapsed);
        }
        if (round > 0) {
            printf("round %d: client %.0f ms, bare %.0f ms, bare + imports %.0f ms\n", round, samples[0].back(),
                   samples[1].back(), samples[2].back());
        }
    }
    Bench::Report("start to first frame", samples[0], subjects[1].name, samples[1]);
    Bench::Report("start to first frame", samples[0], subjects[2].name, samples[2]);
    for (int kind = 1; kind < kinds; ++kind) {
        std::vector<double> ratios;
        for (int i = 0; i < rounds; ++i) ratios.push_back(samples[0][i] / samples[kind][i]);
        printf("median of the rounds' ratios to the %s: %.2f\n", subjects[kind].name, Bench::Median(ratios));
    }
    return 0;
}
