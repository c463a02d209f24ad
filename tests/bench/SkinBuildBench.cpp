// Times parsing and building a large generated skin (a few thousand controls in nested
// stack, tile and tab layouts) and laying it out. Run by hand under Wine:
// bench_skin_build.exe [rows] [iterations]
#include <DialogBuilder.h>
#include <UIContainer.h>
#include <UIControl.h>
#include <UIManager.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchClock.h"

using HiveUI::CControlUI;
using HiveUI::CDialogBuilder;

namespace {

// Each row: a horizontal layout with a label-like control, a tile of eight cells and a
// tab of three pages; 16 controls per row.
std::wstring MakeSkin(int rows) {
    std::wstring xml = L"<Window size=\"1200,800\"><Style name=\"cellstyle\" value=\"bkcolor=&quot;#FF336699&quot;\"/>"
                       L"<Default name=\"Control\" value=\"height=&quot;20&quot;\"/>"
                       L"<VerticalLayout vscrollbar=\"true\" childpadding=\"2\">";
    for (int i = 0; i < rows; ++i) {
        xml += L"<HorizontalLayout height=\"60\" childpadding=\"4\"><Control width=\"120\" name=\"row" +
               std::to_wstring(i) + L"\"/><TileLayout columns=\"4\">";
        for (int c = 0; c < 8; ++c) xml += L"<Control bkcolor=\"cellstyle\"/>";
        xml += L"</TileLayout><TabLayout width=\"200\"><Control/><Control/><Control/></TabLayout></HorizontalLayout>";
    }
    return xml + L"</VerticalLayout></Window>";
}

int CountControls(CControlUI* control) {
    int count = 1;
    auto* container = static_cast<HiveUI::IContainerUI*>(control->GetInterface(L"IContainer"));
    for (int i = 0; container != nullptr && i < container->GetCount(); ++i) count += CountControls(container->GetItemAt(i));
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 250;
    const int iterations = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const std::wstring xml = MakeSkin(rows);
    double buildTotal = 0;
    double layoutTotal = 0;
    int controls = 0;
    for (int i = 0; i < iterations; ++i) {
        HiveUI::CPaintManagerUI manager;
        CDialogBuilder builder;
        const double start = NowMs();
        std::unique_ptr<CControlUI> root(builder.Create(xml.c_str(), nullptr, nullptr, &manager));
        const double built = NowMs();
        if (root == nullptr) {
            fprintf(stderr, "the generated skin does not build\n");
            return 1;
        }
        root->SetPos({0, 0, 1200, 800}, false);
        layoutTotal += NowMs() - built;
        buildTotal += built - start;
        controls = CountControls(root.get());
    }
    printf("skin: %d rows, %d controls, %u characters of XML, %d iterations\n", rows, controls,
           static_cast<unsigned>(xml.size()), iterations);
    printf("parse and build: %.2f ms per skin\n", buildTotal / iterations);
    printf("lay out 1200x800: %.2f ms per pass\n", layoutTotal / iterations);
    return 0;
}
