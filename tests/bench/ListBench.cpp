// Times a list of many label rows: building it from layout text, one full layout, and
// scrolling it by one page (the move of every row and the paint of the visible ones into
// a DIB section). Run by hand under Wine: bench_list.exe [rows] [pages]
#include <DialogBuilder.h>
#include <UIList.h>
#include <UIManager.h>
#include <WindowWnd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchClock.h"

using HiveUI::CControlUI;
using HiveUI::CListUI;

namespace {

const RECT kArea = {0, 0, 400, 600};

class BenchWnd : public HiveUI::CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveListBench"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    HiveUI::CPaintManagerUI manager;
};

std::wstring MakeListSkin(int rows) {
    std::wstring xml = L"<Window><List vscrollbar=\"true\" itemshowrowline=\"true\" itemlinecolor=\"#FFDDDDDD\" "
                       L"itembkcolor=\"#FFFFFFFF\" itemaltbk=\"true\">";
    for (int i = 0; i < rows; ++i) xml += L"<ListLabelElement text=\"row " + std::to_wstring(i) + L"\"/>";
    return xml + L"</List></Window>";
}

// The baseline: the same rows as plain labels in a scrolling vertical layout.
std::wstring MakeLayoutSkin(int rows) {
    std::wstring xml = L"<Window><VerticalLayout vscrollbar=\"true\">";
    for (int i = 0; i < rows; ++i)
        xml += L"<Label height=\"23\" bkcolor=\"#FFFFFFFF\" text=\"row " + std::to_wstring(i) + L"\"/>";
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

struct Figures {
    double build = 0;
    double layout = 0;
    double scrolling = 0;
    double painting = 0;
};

bool Measure(BenchWnd& window, const std::wstring& xml, int pages, Figures& figures) {
    HiveUI::CDialogBuilder builder;
    double start = NowMs();
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &window.manager);
    if (root == nullptr) return false;
    window.manager.AttachRoot(root);
    figures.build = NowMs() - start;

    start = NowMs();
    root->SetPos(kArea, false);
    figures.layout = NowMs() - start;

    auto* scroller = static_cast<HiveUI::CContainerUI*>(root->GetInterface(L"Container"));
    Canvas canvas;
    for (int i = 0; i < pages; ++i) {
        start = NowMs();
        scroller->PageDown();
        const double scrolled = NowMs();
        root->Paint(canvas.dc(), kArea, nullptr);
        figures.scrolling += (scrolled - start) / pages;
        figures.painting += (NowMs() - scrolled) / pages;
    }
    return true;
}

void Print(const char* name, const Figures& figures) {
    printf("%-28s build %8.2f ms  layout %7.2f ms  page: move %6.3f ms + paint %6.3f ms = %6.3f ms\n", name,
           figures.build, figures.layout, figures.scrolling, figures.painting, figures.scrolling + figures.painting);
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const int pages = argc > 2 ? std::max(1, atoi(argv[2])) : 50;
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    BenchWnd window;
    if (window.Create(nullptr, L"list bench", WS_POPUP, 0, 0, 0, kArea.right, kArea.bottom) == nullptr) {
        fprintf(stderr, "no window\n");
        return 1;
    }
    Figures list;
    Figures layout;
    if (!Measure(window, MakeListSkin(rows), pages, list) || !Measure(window, MakeLayoutSkin(rows), pages, layout)) {
        fprintf(stderr, "a generated skin does not build\n");
        return 1;
    }
    printf("%d rows, %d pages of 400x600, painted into a DIB section\n", rows, pages);
    Print("list of label rows", list);
    Print("baseline: layout of labels", layout);
    DestroyWindow(window.GetHWND());
    return 0;
}
