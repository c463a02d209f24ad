#include <UIHorizontalLayout.h>
#include <UIScrollBar.h>
#include <UIVerticalLayout.h>

#include "LayoutKit.h"

using namespace HiveUI;

namespace {

struct StackCase {
    const char* what;
    RECT rect;
    int childPadding;
    UINT align;
    std::vector<Kid> kids;
    std::vector<std::string> expected;
};

TEST(VerticalLayout, SharesTheHeightLeftByFixedChildrenAmongFlexibleOnes) {
    const StackCase cases[] = {
        {"fixed 20, two flexible, padding 5", {0, 0, 50, 100}, 5, 0,
         {{0, 20}, {}, {}}, {"0,0,50,20", "0,25,50,60", "0,65,50,100"}},
        {"the odd pixel goes to the last flexible child", {0, 0, 50, 101}, 5, 0,
         {{0, 20}, {}, {}}, {"0,0,50,20", "0,25,50,60", "0,65,50,101"}},
        {"a maximum caps a flexible child, the rest stays free", {0, 0, 50, 100}, 0, 0,
         {{}, {.maxHeight = 30}}, {"0,0,50,50", "0,50,50,80"}},
        {"a minimum above the available height wins", {0, 0, 50, 100}, 0, 0,
         {{.minHeight = 150}}, {"0,0,50,150"}},
        {"paddings push children and shrink their width", {10, 10, 110, 110}, 0, 0,
         {{0, 30, .padding = {5, 2, 7, 3}}, {}}, {"15,12,103,42", "10,45,110,110"}},
        {"hidden children take no room, floating ones keep their place", {0, 0, 40, 90}, 10, 0,
         {{0, 10}, {.visible = false}, {}, {.fixedWidth = 5, .fixedHeight = 5, .floating = true}},
         {"0,0,40,10", "0,0,0,0", "0,20,40,90", "0,0,5,5"}},
        {"centre alignment of a 31-pixel child", {0, 0, 100, 50}, 0, UICHILD_CENTER,
         {{31, 20}}, {"35,0,66,20"}},
        {"right alignment keeps the right padding", {0, 0, 100, 50}, 0, UICHILD_RIGHT,
         {{31, 20, .padding = {0, 0, 4, 0}}}, {"65,0,96,20"}},
        {"a fixed width wider than the layout is cut", {0, 0, 100, 50}, 0, 0,
         {{300, 20}}, {"0,0,100,20"}},
    };
    for (const StackCase& c : cases) {
        CVerticalLayoutUI layout;
        layout.SetChildPadding(c.childPadding);
        layout.SetChildAlign(c.align);
        AddKids(layout, c.kids);
        layout.SetPos(c.rect, false);
        EXPECT_EQ(c.expected, ChildRects(layout)) << c.what;
    }
}

TEST(HorizontalLayout, SharesTheWidthAndFillsTheCrossAxis) {
    const StackCase cases[] = {
        {"fixed 20, two flexible, padding 5", {0, 0, 100, 40}, 5, 0,
         {{20, 0}, {}, {}}, {"0,0,20,40", "25,0,60,40", "65,0,100,40"}},
        {"a maximum width caps, a minimum height raises", {0, 0, 100, 40}, 0, 0,
         {{.maxWidth = 30}, {.minHeight = 60}}, {"0,0,30,40", "30,0,100,60"}},
        {"a maximum height below the layout is kept", {0, 0, 100, 40}, 0, 0,
         {{.maxHeight = 25, .padding = {0, 3, 0, 0}}}, {"0,3,100,28"}},
        {"vertical centre", {0, 0, 100, 41}, 0, UICHILD_VCENTER, {{10, 0, .maxHeight = 11}}, {"0,15,10,26"}},
        {"bottom keeps the bottom padding", {0, 0, 100, 40}, 0, UICHILD_BOTTOM,
         {{10, 0, .maxHeight = 10, .padding = {0, 0, 0, 2}}}, {"0,28,10,38"}},
    };
    for (const StackCase& c : cases) {
        CHorizontalLayoutUI layout;
        layout.SetChildPadding(c.childPadding);
        layout.SetChildVAlign(c.align);
        AddKids(layout, c.kids);
        layout.SetPos(c.rect, false);
        EXPECT_EQ(c.expected, ChildRects(layout)) << c.what;
    }
}

TEST(VerticalLayout, ScrollOffsetsMoveChildrenAndTheBarGoesWhenContentFitsAgain) {
    CVerticalLayoutUI layout;
    layout.EnableScrollBar(true, false);
    AddKids(layout, {{0, 50}, {0, 50}, {0, 50}});
    layout.SetPos({0, 0, 100, 100}, false);
    CScrollBarUI* bar = layout.GetVerticalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(50, bar->GetScrollRange());
    EXPECT_EQ((std::vector<std::string>{"0,0,84,50", "0,50,84,100", "0,100,84,150"}), ChildRects(layout));
    layout.SetScrollPos({0, 20});
    layout.SetPos({0, 0, 100, 100}, false);
    EXPECT_EQ((std::vector<std::string>{"0,-20,84,30", "0,30,84,80", "0,80,84,130"}), ChildRects(layout));

    // Flexible children share the visible height, not the scroll range, so the bar goes.
    layout.GetItemAt(0)->SetFixedHeight(20);
    layout.GetItemAt(1)->SetFixedHeight(0);
    layout.GetItemAt(2)->SetFixedHeight(0);
    layout.SetPos({0, 0, 100, 100}, false);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ((std::vector<std::string>{"0,0,100,20", "0,20,100,60", "0,60,100,100"}), ChildRects(layout));
}

TEST(HorizontalLayout, OverflowShowsTheHorizontalBar) {
    CHorizontalLayoutUI layout;
    layout.EnableScrollBar(false, true);
    AddKids(layout, {{80, 0}, {80, 0}});
    layout.SetPos({0, 0, 100, 60}, false);
    CScrollBarUI* bar = layout.GetHorizontalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(60, bar->GetScrollRange());
    const int barHeight = bar->GetFixedHeight();
    EXPECT_EQ(Describe({80, 0, 160, 60 - barHeight}), Describe(layout.GetItemAt(1)->GetPos()));
}

}  // namespace
