// Times a full repaint of the benchmark window (1200x770, about 300 controls) against a
// BitBlt of the same size, through WM_PAINT and into a memory DC, one after the other in
// each round.
// Run by hand under Wine: bench_repaint.exe [rounds]
#include <UIManager.h>

#include <cstdlib>

#include "BenchSkin.h"
#include "RepaintTiming.h"

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
    printf("window: %dx%d, %d controls\n", BenchSkin::kWidth, BenchSkin::kHeight,
           BenchSkin::CountControls(frame.GetPaintManager().GetRoot()));
    Bench::CompareRepaintWithBlit(wnd, frame.GetPaintManager(), BenchSkin::kWidth, BenchSkin::kHeight, rounds,
                                  "full repaint");
    DestroyWindow(wnd);
    return 0;
}
