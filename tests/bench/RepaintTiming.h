// A full repaint of a window against a BitBlt of the same size, measured two ways in each
// round: through WM_PAINT (the window's own paint against a paint handler that only blits,
// swapped in on the same window), and into a memory DC (the control tree painted into a
// DIB section against a blit into it). Shared by the repaint benchmarks.
#pragma once

#include <windows.h>

#include <UIControl.h>
#include <UIManager.h>
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

// The baseline's paint handler: one blit of the whole bitmap and nothing else.
struct BlitPaint {
    static HDC& Source() {
        static HDC source = nullptr;
        return source;
    }
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_ERASEBKGND) return 1;
        if (msg != WM_PAINT) return DefWindowProcW(wnd, msg, wParam, lParam);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        const RECT& rc = ps.rcPaint;
        BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, Source(), rc.left, rc.top, SRCCOPY);
        EndPaint(wnd, &ps);
        return 0;
    }
};

// A 32-bit DIB section of the window's size in a memory DC of its own.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
        BYTE* bits = nullptr;
        bitmap_ = HiveUI::CUIRender::CreateARGB32Bitmap(dc_, width, height, &bits);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height * 4; ++i) bits[i] = static_cast<BYTE>(i * 7);
    }
    ~MemoryCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

inline double TimeTreePaint(HiveUI::CControlUI* root, HDC dc, const RECT& area) {
    const double start = NowMs();
    const int saved = SaveDC(dc);
    root->Paint(dc, area, nullptr);
    RestoreDC(dc, saved);
    GdiFlush();
    return NowMs() - start;
}

inline double TimeBlit(HDC target, HDC source, int width, int height) {
    const double start = NowMs();
    BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    return NowMs() - start;
}

// Times `rounds` of each kind over the window's width x height client area and reports
// both pairs of medians.
inline void CompareRepaintWithBlit(HWND wnd, HiveUI::CPaintManagerUI& manager, int width, int height, int rounds,
                                   const char* what) {
    MemoryCanvas noise(width, height), memory(width, height);
    BlitPaint::Source() = noise.dc();
    const LONG_PTR own = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    const RECT area = {0, 0, width, height};
    std::vector<double> painted, blitted, paintedInMemory, blittedInMemory;
    for (int round = 0; round < rounds; ++round) {
        Pump();
        painted.push_back(TimeRepaint(wnd));
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BlitPaint::Proc));
        blitted.push_back(TimeRepaint(wnd));
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, own);
        paintedInMemory.push_back(TimeTreePaint(manager.GetRoot(), memory.dc(), area));
        blittedInMemory.push_back(TimeBlit(memory.dc(), noise.dc(), width, height));
    }
    char label[64];
    snprintf(label, sizeof label, "%s, WM_PAINT", what);
    Report(label, painted, "BitBlt in WM_PAINT", blitted);
    snprintf(label, sizeof label, "%s, memory DC", what);
    Report(label, paintedInMemory, "BitBlt to memory DC", blittedInMemory);
}

}  // namespace Bench
