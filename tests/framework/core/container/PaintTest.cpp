#include "ContainerKit.h"

#include <UIVerticalLayout.h>

#include <functional>

using namespace HiveUI;

namespace {

const DWORD kGrey = 0x808080;
const DWORD kRed = 0xFF0000;
const DWORD kBlue = 0x0000FF;

CContainerUI* Layout(DWORD argb) {
    CContainerUI* layout = new CVerticalLayoutUI;
    layout->SetBkColor(argb);
    return layout;
}

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

// A control whose kind the container does not know paints nothing of its own.
class Blank : public CControlUI {
public:
    bool DoPaint(HDC, const RECT&, CControlUI*) override { return true; }
};

// What a box paints of its own is left out only where an opaque child paints over it.
TEST_F(ContainerWindow, TheBoxShowsWhereverNoOpaqueChildCoversIt) {
    const struct {
        const char* what;
        std::function<CControlUI*()> child;
        RECT inset;
        POINT at;
        DWORD expected;
    } cases[] = {
        {"an opaque layout", [] { return Layout(0xFFFF0000); }, {}, {50, 50}, kRed},
        {"a round corner", [] { CControlUI* c = Layout(0xFFFF0000); c->SetBorderRound(SIZE{40, 40}); return c; }, {},
         {1, 1}, kGrey},
        {"a hidden layout", [] { CControlUI* c = Layout(0xFFFF0000); c->SetVisible(false); return c; }, {}, {50, 50},
         kGrey},
        {"a kind that may paint less", [] { CControlUI* c = new Blank; c->SetBkColor(0xFFFF0000); return c; }, {},
         {50, 50}, kGrey},
        {"the half an uncoloured layout's child leaves",
         [] {
             CContainerUI* half = Layout(0);
             CControlUI* top = Layout(0xFFFF0000);
             top->SetFixedHeight(50);
             half->Add(top);
             return half;
         },
         {}, {50, 75}, kGrey},
        {"the box's inset under a child spread over it", [] { return Layout(0xFFFF0000); }, {10, 10, 10, 10}, {5, 50},
         kGrey},
    };
    for (const auto& c : cases) {
        root_->RemoveAll();
        CContainerUI* box = new CContainerUI;
        box->SetBkColor(0xFF808080);
        box->SetInset(c.inset);
        CControlUI* child = c.child();
        box->Add(child);
        root_->Add(box);
        root_->SetPos(RECT{0, 0, 100, 100}, false);
        child->SetPos(RECT{0, 0, 100, 100}, false);
        PixelCanvas canvas(100, 100);
        root_->Paint(canvas.dc(), RECT{0, 0, 100, 100}, nullptr);
        EXPECT_EQ(c.expected, canvas.rgb(c.at.x, c.at.y)) << c.what;
    }
    // A translucent child blends with the box beneath it, and a paint that stops at the
    // opaque child leaves the box's colour where the child would have been.
    root_->RemoveAll();
    CContainerUI* box = Layout(0xFF808080);
    CControlUI* glass = Layout(0x80FF0000);
    box->Add(glass);
    root_->Add(box);
    PixelCanvas canvas(100, 100);
    PaintInto(canvas, RECT{0, 0, 100, 100});
    EXPECT_NEAR(0x40, (canvas.rgb(50, 50) >> 8) & 0xFF, 2);
    glass->SetBkColor(0xFFFF0000);
    EXPECT_FALSE(root_->Paint(canvas.dc(), RECT{0, 0, 100, 100}, glass));
    EXPECT_EQ(kGrey, canvas.rgb(50, 50));
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
