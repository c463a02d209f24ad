// Times the engine's page work on the UI and renderer threads (parse, picture, layout,
// paint of an 800 x 600 window) for a page of one unbreakable word split by stray end
// tags, with one Thai letter (the shape of a page that once took half a minute), against
// a page of the same length in short words. Run by hand under Wine:
// bench_page_layout.exe [segments] [iterations]
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "HtmlParser.h"
#include "PageLayout.h"
#include "PageSnapshot.h"

namespace {

std::wstring MakePage(int segments, bool words) {
    std::wstring html = L"<p>opening <div><span>x<table><td>y";
    for (int i = 0; i < segments; ++i) {
        if (i == segments * 7 / 8) html += L"&#x0e2d;";
        html += words ? L"</p></span> &#x100000e2d; td>y" : L"</p></span>&#x100000e2d;td>y";
    }
    return html;
}

double TimePage(const std::wstring& html, HDC dc) {
    const double start = Bench::NowMs();
    engine::DomDocument doc(1);
    engine::ParseDocument(html, doc, [](engine::DomNode*, int) {});
    engine::StyleSheetCache cache;
    auto page = engine::BuildSnapshot(doc, engine::CollectStyleSheets(doc, cache), L"http://bench.example/");
    engine::PageLayout layout;
    layout.Build(*page, dc, SIZE{800, 600});
    layout.Paint(dc, 0);
    return Bench::NowMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int segments = argc > 1 ? std::atoi(argv[1]) : 3459;
    const int iterations = argc > 2 ? std::atoi(argv[2]) : 5;
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 800;
    info.bmiHeader.biHeight = -600;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const std::wstring word = MakePage(segments, false), words = MakePage(segments, true);
    std::vector<double> ours, theirs;
    for (int i = 0; i < iterations; ++i) {
        ours.push_back(TimePage(word, dc));
        theirs.push_back(TimePage(words, dc));
    }
    char label[64];
    snprintf(label, sizeof label, "one word (%u chars)", static_cast<unsigned>(word.size()));
    Bench::Report(label, ours, "short words", theirs);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return 0;
}
