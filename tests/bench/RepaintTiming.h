// A full repaint of a window against a BitBlt of the same size onto it, one after the
// other in each round, reported side by side. Shared by the repaint benchmarks.
#pragma once

#include <windows.h>

#include <UIRender.h>

#include <algorithm>
#include <vector>

#include "BenchTiming.h"

namespace Bench {

inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

inline double TimeRepaint(HWND wnd) {
    const double start = NowMs();
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    GdiFlush();
    return NowMs() - start;
}

inline double TimeBlit(HDC target, HDC source, int width, int height) {
    const double start = NowMs();
    BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    return NowMs() - start;
}

// Times `rounds` repaints of the window's width x height client area against as many
// blits of a noise bitmap of that size, and reports both medians.
inline void CompareRepaintWithBlit(HWND wnd, int width, int height, int rounds, const char* what) {
    HDC source = CreateCompatibleDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bitmap = HiveUI::CUIRender::CreateARGB32Bitmap(source, width, height, &bits);
    HGDIOBJ old = SelectObject(source, bitmap);
    for (int i = 0; i < width * height * 4; ++i) bits[i] = static_cast<BYTE>(i * 7);
    HDC target = GetDC(wnd);
    std::vector<double> ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        Pump();
        ours.push_back(TimeRepaint(wnd));
        theirs.push_back(TimeBlit(target, source, width, height));
    }
    Report(what, ours, "BitBlt of that size", theirs);
    ReleaseDC(wnd, target);
    SelectObject(source, old);
    DeleteObject(bitmap);
    DeleteDC(source);
}

}  // namespace Bench
