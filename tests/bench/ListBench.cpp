// Times a list of many label rows against the same rows as plain labels in a scrolling
// vertical layout: building from layout text, one full layout, and scrolling by one page
// (the move, then the paint of what shows into a DIB section). Both sides draw the same
// pixels: rows 23 pixels high, every other row filled, a line under each. Samples of the
// two alternate, each building its rows afresh and freeing them before the other side's
// sample; our medians beside the baseline's. For each number of rows one line each, then
// the list's page against its page at the first number of rows.
// Run by hand under Wine: bench_list.exe [samples] [pages] [rows...] (default 5 20 1000 100000)
#include <DialogBuilder.h>
#include <UIList.h>
#include <UIManager.h>
#include <WindowWnd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTiming.h"

using HiveUI::CControlUI;

namespace {

const RECT kArea = {0, 0, 400, 600};

class BenchWnd : public HiveUI::CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveListBench"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    HiveUI::CPaintManagerUI manager;
};

std::wstring MakeListSkin(int rows) {
    std::wstring xml = L"<Window><List vscrollbar=\"true\" header=\"hidden\" itemshowrowline=\"true\" "
                       L"itemlinecolor=\"#FFDDDDDD\" itembkcolor=\"#FFFFFFFF\" itemaltbk=\"true\">";
    for (int i = 0; i < rows; ++i)
        xml += L"<ListLabelElement height=\"23\" text=\"row " + std::to_wstring(i) + L"\"/>";
    return xml + L"</List></Window>";
}

// The baseline: labels filled and lined as the list's rows.
std::wstring MakeLayoutSkin(int rows) {
    std::wstring xml = L"<Window><VerticalLayout vscrollbar=\"true\">";
    for (int i = 0; i < rows; ++i) {
        xml += L"<Label height=\"23\" bordersize=\"0,0,0,1\" bordercolor=\"#FFDDDDDD\" ";
        if (i % 2 == 0) xml += L"bkcolor=\"#FFFFFFFF\" ";
        xml += L"text=\"row " + std::to_wstring(i) + L"\"/>";
    }
    return xml + L"</VerticalLayout></Window>";
}

// A top-down 32-bit DIB section the size of the list area, selected into a memory DC.
class Canvas {
public:
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kArea.right;
        info.bmiHeader.biHeight = -kArea.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Per sample: the build and the layout once, a page's move and paint as the mean over the pages.
struct Samples {
    std::vector<double> build, layout, move, paint, page;
};

bool Measure(BenchWnd& window, const std::wstring& xml, int pages, Samples& samples) {
    HiveUI::CDialogBuilder builder;
    double start = Bench::NowMs();
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &window.manager);
    if (root == nullptr) return false;
    window.manager.AttachRoot(root);
    samples.build.push_back(Bench::NowMs() - start);

    start = Bench::NowMs();
    root->SetPos(kArea, false);
    samples.layout.push_back(Bench::NowMs() - start);

    auto* scroller = static_cast<HiveUI::CContainerUI*>(root->GetInterface(L"Container"));
    Canvas canvas;
    root->Paint(canvas.dc(), kArea, nullptr);
    double moving = 0, painting = 0;
    for (int i = 0; i < pages; ++i) {
        start = Bench::NowMs();
        scroller->PageDown();
        const double scrolled = Bench::NowMs();
        root->Paint(canvas.dc(), kArea, nullptr);
        moving += scrolled - start;
        painting += Bench::NowMs() - scrolled;
    }
    samples.move.push_back(moving / pages);
    samples.paint.push_back(painting / pages);
    samples.page.push_back((moving + painting) / pages);
    // The rows go before the other side's sample: the manager frees a replaced root
    // when its window runs its deferred work.
    window.manager.AttachRoot(new CControlUI);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return true;
}

void Print(const char* what, const Samples& ours, const Samples& theirs) {
    printf("%s\n", what);
    Bench::Report("  build", ours.build, "labels", theirs.build);
    Bench::Report("  layout", ours.layout, "labels", theirs.layout);
    Bench::Report("  page: move", ours.move, "labels", theirs.move);
    Bench::Report("  page: paint", ours.paint, "labels", theirs.paint);
    Bench::Report("  page: move + paint", ours.page, "labels", theirs.page);
}

}  // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int pages = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    std::vector<int> counts;
    for (int i = 3; i < argc; ++i) counts.push_back(std::max(1, atoi(argv[i])));
    if (counts.empty()) counts = {1000, 100000};
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    BenchWnd window;
    if (window.Create(nullptr, L"list bench", WS_POPUP, 0, 0, 0, kArea.right, kArea.bottom) == nullptr) {
        fprintf(stderr, "no window\n");
        return 1;
    }
    printf("%d samples of %d pages of 400x600 each, painted into a DIB section\n", samples, pages);
    std::vector<Samples> lists;
    for (int rows : counts) {
        const std::wstring listSkin = MakeListSkin(rows), layoutSkin = MakeLayoutSkin(rows);
        Samples list, labels;
        // A first round of each side, untimed, settles fonts and caches.
        Samples warmUp;
        if (!Measure(window, listSkin, pages, warmUp) || !Measure(window, layoutSkin, pages, warmUp)) {
            fprintf(stderr, "a generated skin does not build\n");
            return 1;
        }
        for (int i = 0; i < samples; ++i) {
            Measure(window, listSkin, pages, list);
            Measure(window, layoutSkin, pages, labels);
        }
        Print(("list of " + std::to_string(rows) + " label rows against as many labels").c_str(), list, labels);
        lists.push_back(list);
    }
    for (size_t i = 1; i < counts.size(); ++i) {
        const std::string what = "list page, " + std::to_string(counts[i]) + " rows";
        Bench::Report(what.c_str(), lists[i].page, (std::to_string(counts[0]) + " rows").c_str(), lists[0].page);
    }
    DestroyWindow(window.GetHWND());
    return 0;
}
