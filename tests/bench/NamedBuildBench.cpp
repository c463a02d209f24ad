// Times building and laying out skins of 1k, 4k, 16k and 64k named controls, per
// control, with the manager on its own and bound to a window; the baseline of each size
// is the cost per control at 1k. Run by hand under Wine: bench_named_build.exe [iterations]
#include <DialogBuilder.h>
#include <UIControl.h>
#include <UIManager.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"

using HiveUI::CControlUI;

namespace {

// Rows of 15 named cells in a named horizontal layout: 16 named controls per row.
std::wstring MakeSkin(int controls) {
    std::wstring xml = L"<Window size=\"1200,800\"><VerticalLayout name=\"root\">";
    for (int row = 0; row * 16 < controls; ++row) {
        const std::wstring r = std::to_wstring(row);
        xml += L"<HorizontalLayout name=\"row" + r + L"\" height=\"20\">";
        for (int c = 0; c < 15; ++c)
            xml += L"<Control name=\"cell" + r + L"_" + std::to_wstring(c) + L"\" width=\"60\" bkcolor=\"#FF336699\"/>";
        xml += L"</HorizontalLayout>";
    }
    return xml + L"</VerticalLayout></Window>";
}

// Microseconds per control of one build, attach (names) and layout pass.
double BuildOnce(const std::wstring& xml, int controls, HWND wnd) {
    HiveUI::CPaintManagerUI manager;
    if (wnd != nullptr) manager.Init(wnd);
    HiveUI::CDialogBuilder builder;
    const double start = Bench::NowMs();
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
    if (root == nullptr || !manager.AttachRoot(root)) {
        fprintf(stderr, "the generated skin does not build\n");
        exit(1);
    }
    root->SetPos({0, 0, 1200, 800}, false);
    const double elapsed = Bench::NowMs() - start;
    if (manager.FindControl(L"row0") == nullptr) exit(1);
    return elapsed * 1000.0 / controls;
}

HWND MakeWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TallyhiveBenchHost";
    RegisterClassW(&wc);
    return CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 800, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    HWND wnd = MakeWindow();
    const int sizes[] = {1024, 4096, 16384, 65536};
    std::vector<std::wstring> skins;
    for (int controls : sizes) skins.push_back(MakeSkin(controls));
    for (HWND host : {static_cast<HWND>(nullptr), wnd}) {
        printf("%s\n", host == nullptr ? "manager without a window (us per control, baseline: 1k)"
                                       : "manager bound to a window (us per control, baseline: 1k)");
        // Each round builds every size once, so that all sizes meet the same machine load.
        std::vector<double> samples[4];
        for (int i = 0; i < iterations; ++i)
            for (int k = 0; k < 4; ++k) samples[k].push_back(BuildOnce(skins[k], sizes[k], host));
        for (int k = 0; k < 4; ++k) {
            char label[64];
            snprintf(label, sizeof label, "build+layout %5d named", sizes[k]);
            Bench::Report(label, samples[k], "1k named", samples[0], "us");
        }
    }
    DestroyWindow(wnd);
    return 0;
}
