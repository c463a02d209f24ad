#include "ContainerKit.h"

using namespace HiveUI;

namespace {

const DWORD kGrey = 0x808080;
const DWORD kRed = 0xFF0000;
const DWORD kBlue = 0x0000FF;

CControlUI* Filled(DWORD argb) {
    CControlUI* control = new CControlUI;
    control->SetBkColor(argb);
    return control;
}

TEST_F(ContainerWindow, ChildrenPaintClippedToTheContentAreaAndFloatingOnesToTheContainer) {
    root_->SetBkColor(0xFF808080);
    root_->SetAttribute(L"inset", L"10,10,10,10");
    CControlUI* docked = Filled(0xFFFF0000);
    CControlUI* floating = Filled(0xFF0000FF);
    floating->SetAttribute(L"pos", L"2,2,8,8");
    floating->SetFloat(true);
    root_->Add(docked);
    root_->Add(floating);
    PixelCanvas canvas(100, 100);
    PaintInto(canvas, RECT{0, 0, 100, 100});
    // Spread over the whole container, the docked child still shows only inside the inset.
    docked->SetPos(RECT{0, 0, 100, 100}, false);
    root_->Paint(canvas.dc(), RECT{0, 0, 100, 100}, nullptr);
    EXPECT_EQ(kGrey, canvas.rgb(5, 50));
    EXPECT_EQ(kGrey, canvas.rgb(95, 95));
    EXPECT_EQ(kRed, canvas.rgb(10, 10));
    EXPECT_EQ(kRed, canvas.rgb(89, 89));
    EXPECT_EQ(kBlue, canvas.rgb(3, 3));
    EXPECT_EQ(kGrey, canvas.rgb(9, 9));
}

TEST_F(ContainerWindow, PaintingStopsAtTheStopControlAndSkipsHiddenChildren) {
    root_->SetBkColor(0xFF808080);
    CControlUI* first = Filled(0xFFFF0000);
    CControlUI* hidden = Filled(0xFF00FF00);
    CControlUI* last = Filled(0xFF0000FF);
    for (CControlUI* child : {first, hidden, last}) {
        child->SetFixedHeight(20);
        child->SetMaxHeight(20);
        root_->Add(child);
    }
    hidden->SetVisible(false);
    PixelCanvas canvas(50, 50);
    root_->SetPos(RECT{0, 0, 50, 50}, false);
    EXPECT_FALSE(root_->Paint(canvas.dc(), RECT{0, 0, 50, 50}, last));
    EXPECT_EQ(kRed, canvas.rgb(5, 5));
    EXPECT_EQ(kGrey, canvas.rgb(5, 30));
    EXPECT_TRUE(root_->Paint(canvas.dc(), RECT{0, 0, 50, 50}, nullptr));
    EXPECT_EQ(kBlue, canvas.rgb(5, 5));
    EXPECT_EQ(kGrey, canvas.rgb(5, 30));
}

TEST_F(ContainerWindow, AScrolledChildIsCutAtTheBarAndTheBarDrawsItsOutlines) {
    StackLayout* stack = new StackLayout;
    stack->SetBkColor(0xFF808080);
    stack->EnableScrollBar(true, false);
    CControlUI* tall = Filled(0xFFFF0000);
    tall->SetFixedHeight(250);
    stack->Add(tall);
    root_->Add(stack);
    PixelCanvas canvas(100, 100);
    PaintInto(canvas, RECT{0, 0, 100, 100});
    ASSERT_TRUE(stack->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(kRed, canvas.rgb(83, 50));
    // The bar's 16 pixels on the right: button outlines in the fallback colour.
    EXPECT_EQ(0x85E4FFu, canvas.rgb(84, 0));
    EXPECT_EQ(0x85E4FFu, canvas.rgb(99, 99));
    EXPECT_NE(kRed, canvas.rgb(90, 50));
}

}  // namespace
