#include <UIHorizontalLayout.h>
#include <UIVerticalLayout.h>

#include "LayoutKit.h"

using namespace HiveUI;

namespace {

TEventInfo MouseEvent(int type, int x, int y) {
    TEventInfo event;
    event.Type = type;
    event.ptMouse = {x, y};
    return event;
}

// Drags from the first point through the others; answers the layout's rect after each step.
template <class Layout>
std::vector<std::string> Drag(Layout& layout, const std::vector<POINT>& points) {
    std::vector<std::string> steps;
    TEventInfo down = MouseEvent(UIEVENT_BUTTONDOWN, points[0].x, points[0].y);
    layout.DoEvent(down);
    for (size_t i = 1; i < points.size(); ++i) {
        TEventInfo move = MouseEvent(UIEVENT_MOUSEMOVE, points[i].x, points[i].y);
        layout.DoEvent(move);
        steps.push_back(Describe(layout.GetThumbRect(true)));
    }
    TEventInfo up = MouseEvent(UIEVENT_BUTTONUP, points.back().x, points.back().y);
    layout.DoEvent(up);
    return steps;
}

TEST(VerticalLayout, TheBottomBandDragsTheHeightWithinMinimumAndMaximum) {
    CVerticalLayoutUI layout;
    layout.SetAttribute(L"sepheight", L"4");
    layout.SetAttribute(L"sepimm", L"true");
    layout.SetMinHeight(50);
    layout.SetMaxHeight(150);
    layout.SetPos({0, 0, 100, 100}, false);
    EXPECT_EQ("0,96,100,100", Describe(layout.GetThumbRect(false)));
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), layout.GetControlFlags());
    // Down in the band, then: 20 down, far down (capped at the maximum), back up while
    // still below the edge (ignored), then far up (stopped at the minimum).
    const std::vector<std::string> steps = Drag(layout, {{50, 98}, {50, 118}, {50, 300}, {50, 280}, {50, 10}});
    EXPECT_EQ((std::vector<std::string>{"0,116,100,120", "0,146,100,150", "0,146,100,150", "0,46,100,50"}), steps);
    EXPECT_EQ("0,0,100,50", Describe(layout.GetPos()));
    EXPECT_EQ(50, layout.GetFixedHeight());
}

TEST(VerticalLayout, ATopBandMovesTheTopEdge) {
    CVerticalLayoutUI layout;
    layout.SetSepHeight(-4);
    layout.SetSepImmMode(true);
    layout.SetPos({0, 100, 100, 200}, false);
    EXPECT_EQ("0,100,100,104", Describe(layout.GetThumbRect(false)));
    Drag(layout, {{50, 101}, {50, 81}});
    EXPECT_EQ("0,80,100,200", Describe(layout.GetPos()));
    EXPECT_EQ(120, layout.GetFixedHeight());
}

TEST(HorizontalLayout, TheRightBandWaitsForTheReleaseUnlessImmediate) {
    CHorizontalLayoutUI layout;
    layout.SetAttribute(L"sepwidth", L"6");
    layout.SetMaxWidth(130);
    layout.SetPos({0, 0, 100, 40}, false);
    TEventInfo down = MouseEvent(UIEVENT_BUTTONDOWN, 97, 20);
    layout.DoEvent(down);
    TEventInfo move = MouseEvent(UIEVENT_MOUSEMOVE, 117, 20);
    layout.DoEvent(move);
    EXPECT_EQ("0,0,100,40", Describe(layout.GetPos()));
    EXPECT_EQ("114,0,120,40", Describe(layout.GetThumbRect(true)));
    TEventInfo further = MouseEvent(UIEVENT_MOUSEMOVE, 250, 20);
    layout.DoEvent(further);
    TEventInfo up = MouseEvent(UIEVENT_BUTTONUP, 250, 20);
    layout.DoEvent(up);
    EXPECT_EQ("0,0,130,40", Describe(layout.GetPos()));
    EXPECT_EQ(130, layout.GetFixedWidth());
}

TEST(HorizontalLayout, PressesOutsideTheBandOrWithoutOneDoNotDrag) {
    CHorizontalLayoutUI layout;
    layout.SetPos({0, 0, 100, 40}, false);
    EXPECT_EQ(0u, layout.GetControlFlags());
    Drag(layout, {{99, 20}, {150, 20}});
    EXPECT_EQ("0,0,100,40", Describe(layout.GetPos()));
    layout.SetSepWidth(-5);
    layout.SetSepImmMode(true);
    Drag(layout, {{50, 20}, {20, 20}});
    EXPECT_EQ("0,0,100,40", Describe(layout.GetPos()));
    Drag(layout, {{2, 20}, {22, 20}});
    EXPECT_EQ("20,0,100,40", Describe(layout.GetPos()));
}

}  // namespace

namespace {

// The bottom band follows the pointer as soon as it passes the band's top, as the right
// band of the horizontal layout does.
TEST(VerticalLayout, ASmallDragOutOfTheBandFollowsThePointerLikeTheHorizontalOne) {
    CVerticalLayoutUI vertical;
    vertical.SetSepHeight(4);
    vertical.SetSepImmMode(true);
    vertical.SetPos({0, 0, 100, 100}, false);
    Drag(vertical, {{50, 98}, {50, 102}});
    CHorizontalLayoutUI horizontal;
    horizontal.SetSepWidth(4);
    horizontal.SetSepImmMode(true);
    horizontal.SetPos({0, 0, 100, 100}, false);
    Drag(horizontal, {{98, 50}, {102, 50}});
    EXPECT_EQ("0,0,100,104", Describe(vertical.GetPos()));
    EXPECT_EQ("0,0,104,100", Describe(horizontal.GetPos()));
}

}  // namespace

#include "../control/TestBox.h"

namespace {

TEST(VerticalLayout, ADelayedDragDrawsTheFutureBandTranslucentUntilRelease) {
    CVerticalLayoutUI layout;
    layout.SetSepHeight(4);
    layout.SetPos({0, 0, 100, 60}, false);
    TEventInfo down = MouseEvent(UIEVENT_BUTTONDOWN, 50, 58);
    layout.DoEvent(down);
    TEventInfo move = MouseEvent(UIEVENT_MOUSEMOVE, 50, 78);
    layout.DoEvent(move);
    PixelCanvas canvas(100, 100);
    layout.DoPostPaint(canvas.dc(), {0, 0, 100, 100});
    EXPECT_EQ(0x555555u, canvas.rgb(50, 77));
    EXPECT_EQ(0x555555u, canvas.rgb(50, 76));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(50, 75));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(50, 58));
    EXPECT_EQ("0,0,100,60", Describe(layout.GetPos()));
    TEventInfo up = MouseEvent(UIEVENT_BUTTONUP, 50, 78);
    layout.DoEvent(up);
    EXPECT_EQ("0,0,100,80", Describe(layout.GetPos()));
    PixelCanvas after(100, 100);
    layout.DoPostPaint(after.dc(), {0, 0, 100, 100});
    EXPECT_EQ(0xFFFFFFu, after.rgb(50, 77));
}

}  // namespace

#include <DpiScale.h>
#include <UIManager.h>

#include <utility>

namespace {

// A 100-unit column at 150 % (150 pixels) dragged to 180 pixels and laid out again:
// its size before the drag and after the next layout.
template <class Layout>
std::pair<int, int> DragAt150Percent(bool vertical) {
    CPaintManagerUI manager;
    manager.GetDpiScale()->SetScale(144);
    Layout line;
    Layout* column = new Layout;
    column->SetAttribute(vertical ? L"height" : L"width", L"100");
    column->SetAttribute(vertical ? L"sepheight" : L"sepwidth", L"4");
    line.Add(column);
    line.Add(new CControlUI);
    line.SetManager(&manager, nullptr, false);
    const RECT whole = vertical ? RECT{0, 0, 50, 400} : RECT{0, 0, 400, 50};
    const auto along = [vertical](int v) { return vertical ? POINT{20, v} : POINT{v, 20}; };
    const auto extent = [vertical](const RECT& rc) { return vertical ? rc.bottom - rc.top : rc.right - rc.left; };
    line.SetPos(whole, false);
    const int before = extent(column->GetPos());
    Drag(*column, {along(148), along(178)});
    line.SetPos(whole, false);
    return {before, extent(column->GetPos())};
}

TEST(Separators, ADraggedSizeStaysWhereTheUserLeftItUnderADpiScale) {
    EXPECT_EQ(std::make_pair(150, 180), DragAt150Percent<CVerticalLayoutUI>(true));
    EXPECT_EQ(std::make_pair(150, 180), DragAt150Percent<CHorizontalLayoutUI>(false));
}

}  // namespace
