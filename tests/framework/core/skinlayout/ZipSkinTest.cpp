// A whole skin from a zip archive in memory: nested layouts, a style, a class default,
// an include and a child layout, laid out and painted in a real window.
#include <DialogBuilder.h>
#include <UIContainer.h>
#include <UIControl.h>

#include "../routing/RoutingKit.h"
#include "ZipBuilder.h"

using namespace HiveUI;

namespace {

const char kMain[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Window size=\"300,200\" caption=\"0,0,0,40\">"
    "<Style name=\"panel\" value=\"bkcolor=&quot;#FF0000FF&quot;\"/>"
    "<Default name=\"Control\" value=\"height=&quot;30&quot;\"/>"
    "<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\" childpadding=\"5\">"
    "  <Control name=\"header\" bkcolor=\"#FFFF0000\"/>"
    "  <HorizontalLayout name=\"body\" childpadding=\"4\">"
    "    <Control name=\"side\" width=\"60\" bkcolor=\"panel\"/>"
    "    <TileLayout name=\"grid\" columns=\"2\"><Include source=\"skin/cell.xml\" count=\"4\"/></TileLayout>"
    "  </HorizontalLayout>"
    "  <ChildLayout name=\"footer\" xmlfile=\"skin\\footer.xml\" height=\"20\"/>"
    "</VerticalLayout>"
    "</Window>";
const char kCell[] = "<Items><Control name=\"cell\" bkcolor=\"#FFFFFF00\"/></Items>";
const char kFooter[] = "<Items><Control name=\"footerbar\" bkcolor=\"#FF00FF00\"/></Items>";

std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

std::string Rect(CControlUI* control) { return control != nullptr ? Describe(control->GetPos()) : "missing"; }

TEST(ZipSkin, AWholeSkinIsBuiltLaidOutAndPaintedAsItsArithmeticSays) {
    static const std::string archive = TestZip::Build({TestZip::Make("skin/main.xml", kMain),
                                                       TestZip::Make("skin/cell.xml", kCell, 0),
                                                       TestZip::Make("skin/footer.xml", kFooter)});
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CPaintManagerUI::SetResourceZipFromMemory(archive.data(), static_cast<DWORD>(archive.size()), nullptr);

    HostWnd host;
    ASSERT_NE(nullptr, host.Create(nullptr, L"skin", WS_POPUP | WS_VISIBLE, 0, 100, 100, 120, 80));
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"skin\\main.xml", nullptr, nullptr, &host.manager);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(40, host.manager.GetCaptionRect().bottom);
    RECT client = {};
    GetClientRect(host.GetHWND(), &client);
    EXPECT_EQ("0,0,300,200", Describe(client));
    ASSERT_TRUE(host.manager.AttachRoot(root));

    // The first paint lays the tree out; the print then captures it.
    UpdateWindow(host.GetHWND());
    Pump();
    PixelCanvas canvas(300, 200);
    SendMessageW(host.GetHWND(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    CPaintManagerUI& m = host.manager;
    EXPECT_EQ("0,0,300,200", Rect(m.FindControl(L"root")));
    // 180 pixels inside the inset: header 30 (class default), footer 20, two paddings of 5.
    EXPECT_EQ("10,10,290,40", Rect(m.FindControl(L"header")));
    EXPECT_EQ("10,45,290,165", Rect(m.FindControl(L"body")));
    EXPECT_EQ("10,170,290,190", Rect(m.FindControl(L"footer")));
    EXPECT_EQ("10,170,290,190", Rect(m.FindControl(L"footerbar")));
    // The side keeps its class-default height of 30; the grid takes 280 - 60 - 4.
    EXPECT_EQ("10,45,70,75", Rect(m.FindControl(L"side")));
    auto* grid = static_cast<IContainerUI*>(m.FindControl(L"grid")->GetInterface(L"IContainer"));
    ASSERT_EQ(4, grid->GetCount());
    EXPECT_EQ("74,45,182,75", Rect(grid->GetItemAt(0)));
    EXPECT_EQ("182,45,290,75", Rect(grid->GetItemAt(1)));
    EXPECT_EQ("74,75,182,105", Rect(grid->GetItemAt(2)));
    EXPECT_EQ("182,75,290,105", Rect(grid->GetItemAt(3)));

    EXPECT_EQ(0xFF0000u, canvas.rgb(150, 25));
    EXPECT_EQ(0x0000FFu, canvas.rgb(40, 60));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(40, 100));
    EXPECT_EQ(0xFFFF00u, canvas.rgb(100, 90));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(100, 130));
    EXPECT_EQ(0x00FF00u, canvas.rgb(150, 180));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(5, 5));
    DestroyWindow(host.GetHWND());
}

}  // namespace
