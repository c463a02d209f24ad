// Times tagged text against plain GDI text: a paragraph of about 2,000 characters with
// mixed tags drawn by CUIRender::DrawHtmlText into a 400-pixel-wide bitmap, and the same
// characters without tags drawn by DrawTextW, side by side in one run.
// Run by hand under Wine: bench_html_text.exe [iterations]
#include <UIManager.h>
#include <UIRender.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"

using HiveUI::CPaintManagerUI;
using HiveUI::CUIRender;
using HiveUI::CUIString;

namespace {

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The tagged paragraph and the same characters without tags.
void MakeParagraph(std::wstring& tagged, std::wstring& plain) {
    const struct {
        const wchar_t* tagged;
        const wchar_t* plain;
    } pieces[] = {
        {L"Fresh <b>cat food</b> arrived today, ", L"Fresh cat food arrived today, "},
        {L"<c #C03020>prices</c> start at <b><c #208030>12.50</c></b> per bag; ", L"prices start at 12.50 per bag; "},
        {L"see the <a http://shop/offers>weekly offers</a> and ", L"see the weekly offers and "},
        {L"<i>new toys</i> for <u>small dogs</u>. ", L"new toys for small dogs. "},
        {L"{f 1}Grooming{/f} appointments are open on weekdays, ", L"Grooming appointments are open on weekdays, "},
        {L"<s>members</s> save <b>ten percent</b> at the counter. ", L"members save ten percent at the counter. "},
    };
    while (plain.size() < 2000) {
        for (const auto& piece : pieces) {
            tagged += piece.tagged;
            plain += piece.plain;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HWND wnd = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    CPaintManagerUI manager;
    manager.Init(wnd);
    manager.AddFont(0, L"Tahoma", 14, false, false, false);
    manager.AddFont(1, L"Tahoma", 18, true, false, false);

    std::wstring tagged, plain;
    MakeParagraph(tagged, plain);

    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -1200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    SetBkMode(dc, TRANSPARENT);

    std::vector<double> html, gdi, htmlMeasure, gdiMeasure;
    RECT links[8] = {};
    CUIString linkTexts[8];
    int found = 0;
    LONG htmlHeight = 0, plainHeight = 0;
    for (int i = 0; i < iterations; ++i) {
        PatBlt(dc, 0, 0, 400, 1200, WHITENESS);
        RECT rect = {0, 0, 400, 1200};
        int count = 8;
        double start = NowMs();
        CUIRender::DrawHtmlText(dc, &manager, rect, tagged.c_str(), 0xFF000000, links, linkTexts, count, 0,
                                DT_WORDBREAK);
        GdiFlush();
        html.push_back(NowMs() - start);
        found = count;

        rect = RECT{0, 0, 400, 1200};
        count = 0;
        start = NowMs();
        CUIRender::DrawHtmlText(dc, &manager, rect, tagged.c_str(), 0xFF000000, nullptr, nullptr, count, 0,
                                DT_WORDBREAK | DT_CALCRECT);
        htmlMeasure.push_back(NowMs() - start);
        htmlHeight = rect.bottom;

        PatBlt(dc, 0, 0, 400, 1200, WHITENESS);
        rect = RECT{0, 0, 400, 1200};
        HGDIOBJ font = SelectObject(dc, manager.GetFont(0));
        start = NowMs();
        DrawTextW(dc, plain.c_str(), static_cast<int>(plain.size()), &rect, DT_WORDBREAK);
        GdiFlush();
        gdi.push_back(NowMs() - start);
        rect = RECT{0, 0, 400, 1200};
        start = NowMs();
        DrawTextW(dc, plain.c_str(), static_cast<int>(plain.size()), &rect, DT_WORDBREAK | DT_CALCRECT);
        gdiMeasure.push_back(NowMs() - start);
        plainHeight = rect.bottom;
        SelectObject(dc, font);
    }
    const double htmlMedian = Median(html), gdiMedian = Median(gdi);
    printf("paragraph: %u characters drawn (%u with tags), 400 pixels wide, %d iterations\n",
           static_cast<unsigned>(plain.size()), static_cast<unsigned>(tagged.size()), iterations);
    printf("height: tagged %ld px, plain %ld px; %d links\n", htmlHeight, plainHeight, found);
    printf("DrawHtmlText median: %.3f ms\n", htmlMedian);
    printf("DrawTextW    median: %.3f ms\n", gdiMedian);
    printf("ratio: %.2f\n", htmlMedian / gdiMedian);
    printf("measuring only (DT_CALCRECT): DrawHtmlText %.3f ms, DrawTextW %.3f ms, ratio %.2f\n", Median(htmlMeasure),
           Median(gdiMeasure), Median(htmlMeasure) / Median(gdiMeasure));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    DestroyWindow(wnd);
    return 0;
}
