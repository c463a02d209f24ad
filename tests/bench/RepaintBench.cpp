// Times a full repaint of the benchmark window (1200x770, about 300 controls) against a
// BitBlt of the same size onto the same window, one after the other in each round.
// Run by hand under Wine: bench_repaint.exe [rounds]
#include <UIManager.h>
#include <UIRender.h>

#include <cstdlib>
#include <vector>

#include "BenchSkin.h"
#include "BenchTiming.h"

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

double TimeRepaint(HWND wnd) {
    const double start = Bench::NowMs();
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    GdiFlush();
    return Bench::NowMs() - start;
}

double TimeBlit(HDC target, HDC source) {
    const double start = Bench::NowMs();
    BitBlt(target, 0, 0, BenchSkin::kWidth, BenchSkin::kHeight, source, 0, 0, SRCCOPY);
    GdiFlush();
    return Bench::NowMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    static const std::string archive = BenchSkin::MakeArchive();
    BenchSkin::UseArchive(archive);
    BenchSkin::Frame frame;
    HWND wnd = frame.Open();
    if (wnd == nullptr || frame.GetPaintManager().GetRoot() == nullptr) {
        fprintf(stderr, "the benchmark window does not open\n");
        return 1;
    }
    HDC source = CreateCompatibleDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bitmap = HiveUI::CUIRender::CreateARGB32Bitmap(source, BenchSkin::kWidth, BenchSkin::kHeight, &bits);
    HGDIOBJ old = SelectObject(source, bitmap);
    for (int i = 0; i < BenchSkin::kWidth * BenchSkin::kHeight * 4; ++i) bits[i] = static_cast<BYTE>(i * 7);
    HDC target = GetDC(wnd);
    std::vector<double> ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        Pump();
        ours.push_back(TimeRepaint(wnd));
        theirs.push_back(TimeBlit(target, source));
    }
    printf("window: %dx%d, %d controls\n", BenchSkin::kWidth, BenchSkin::kHeight,
           BenchSkin::CountControls(frame.GetPaintManager().GetRoot()));
    Bench::Report("full repaint", ours, "BitBlt of that size", theirs);
    ReleaseDC(wnd, target);
    SelectObject(source, old);
    DeleteObject(bitmap);
    DeleteDC(source);
    DestroyWindow(wnd);
    return 0;
}
