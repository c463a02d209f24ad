// Times a full repaint of the benchmark window (1200x770, about 300 controls) against a
// window whose paint is one BitBlt of the same size; both are repainted the same way
// (InvalidateRect, UpdateWindow), one shown at a time. Run by hand under Wine:
// bench_repaint.exe [repaints per round]
#include <UIManager.h>
#include <UIRender.h>

#include <cstdlib>
#include <vector>

#include "BenchSkin.h"
#include "BenchTiming.h"

namespace {

HDC g_source = nullptr;

LRESULT CALLBACK BlitProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProcW(wnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    BitBlt(dc, 0, 0, BenchSkin::kWidth, BenchSkin::kHeight, g_source, 0, 0, SRCCOPY);
    EndPaint(wnd, &ps);
    return 0;
}

HWND OpenBlitWindow() {
    BYTE* bits = nullptr;
    g_source = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = HiveUI::CUIRender::CreateARGB32Bitmap(g_source, BenchSkin::kWidth, BenchSkin::kHeight, &bits);
    SelectObject(g_source, bitmap);
    for (int i = 0; i < BenchSkin::kWidth * BenchSkin::kHeight * 4; ++i) bits[i] = static_cast<BYTE>(i * 7);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BlitProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TallyhiveBenchBlit";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, BenchSkin::kWidth, BenchSkin::kHeight, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Repaint(HWND wnd, int count, std::vector<double>& samples) {
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd);
    Pump();
    for (int i = 0; i < count; ++i) {
        const double start = Bench::NowMs();
        InvalidateRect(wnd, nullptr, FALSE);
        UpdateWindow(wnd);
        GdiFlush();
        samples.push_back(Bench::NowMs() - start);
    }
    ShowWindow(wnd, SW_HIDE);
    Pump();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    static const std::string archive = BenchSkin::MakeArchive();
    BenchSkin::UseArchive(archive);
    BenchSkin::Frame frame;
    HWND framed = frame.Open();
    HWND blit = OpenBlitWindow();
    if (framed == nullptr || blit == nullptr || frame.GetPaintManager().GetRoot() == nullptr) {
        fprintf(stderr, "the benchmark windows do not open\n");
        return 1;
    }
    std::vector<double> ours, theirs;
    for (int round = 0; round < 5; ++round) {
        Repaint(framed, count, ours);
        Repaint(blit, count, theirs);
    }
    printf("window: %dx%d, %d controls\n", BenchSkin::kWidth, BenchSkin::kHeight,
           BenchSkin::CountControls(frame.GetPaintManager().GetRoot()));
    Bench::Report("full repaint", ours, "BitBlt of that size", theirs);
    DestroyWindow(framed);
    DestroyWindow(blit);
    return 0;
}
