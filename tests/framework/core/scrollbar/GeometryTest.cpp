#include "../container/ContainerKit.h"

using namespace HiveUI;

namespace {

struct GeometryCase {
    const char* what;
    bool horizontal;
    RECT item;
    int range;
    int position;
    bool button1;
    bool button2;
    RECT button1Rect;
    RECT button2Rect;
    RECT thumb;
};

TEST(ScrollBarGeometry, ButtonsThumbAndTrackFollowSizeRangeAndPosition) {
    const GeometryCase cases[] = {
        {"range 300 at the top", false, {0, 0, 16, 100}, 300, 0, true, true, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 16, 16, 33}},
        {"range 300 at the end", false, {0, 0, 16, 100}, 300, 300, true, true, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 67, 16, 84}},
        {"range 300 half way", false, {0, 0, 16, 100}, 300, 150, true, true, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 41, 16, 58}},
        {"range 0 fills the track", false, {0, 0, 16, 100}, 0, 0, true, true, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 16, 16, 84}},
        {"no room for a thumb", false, {0, 0, 16, 20}, 300, 0, true, true, {0, 0, 16, 10}, {0, 10, 16, 20}, {0, 0, 0, 0}},
        {"a huge range keeps the thumb a button long", false, {0, 0, 16, 100}, 100000, 0, true, true, {0, 0, 16, 16},
         {0, 84, 16, 100}, {0, 16, 16, 32}},
        {"hidden buttons", false, {5, 10, 21, 110}, 300, 0, false, false, {5, 10, 5, 10}, {5, 110, 5, 110}, {5, 10, 21, 35}},
        {"horizontal", true, {10, 50, 110, 66}, 300, 0, true, true, {10, 50, 26, 66}, {94, 50, 110, 66}, {26, 50, 43, 66}},
        {"horizontal at the end", true, {10, 50, 110, 66}, 300, 300, true, true, {10, 50, 26, 66}, {94, 50, 110, 66},
         {77, 50, 94, 66}},
        {"horizontal, no room", true, {0, 0, 20, 16}, 10, 0, true, true, {0, 0, 10, 16}, {10, 0, 20, 16}, {0, 0, 0, 0}},
    };
    for (const GeometryCase& c : cases) {
        CScrollBarUI bar;
        bar.SetHorizontal(c.horizontal);
        bar.SetShowButton1(c.button1);
        bar.SetShowButton2(c.button2);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.position);
        bar.SetPos(c.item);
        EXPECT_TRUE(EqualRect(&c.button1Rect, &bar.GetButton1Rect())) << c.what;
        EXPECT_TRUE(EqualRect(&c.button2Rect, &bar.GetButton2Rect())) << c.what;
        const RECT& thumb = bar.GetThumbRect();
        EXPECT_TRUE(EqualRect(&c.thumb, &thumb))
            << c.what << ": " << thumb.left << "," << thumb.top << "," << thumb.right << "," << thumb.bottom;
    }
}

TEST(ScrollBarValues, PositionAndRangeClampAndOrientationSwapsTheThickness) {
    CScrollBarUI bar;
    EXPECT_EQ(16, bar.GetFixedWidth());
    EXPECT_EQ(0, bar.GetFixedHeight());
    bar.SetScrollRange(-3);
    EXPECT_EQ(0, bar.GetScrollRange());
    bar.SetScrollRange(50);
    bar.SetScrollPos(-5);
    EXPECT_EQ(0, bar.GetScrollPos());
    bar.SetScrollPos(60);
    EXPECT_EQ(50, bar.GetScrollPos());
    bar.SetScrollRange(20);
    EXPECT_EQ(20, bar.GetScrollPos());
    bar.SetAttribute(L"hor", L"true");
    EXPECT_TRUE(bar.IsHorizontal());
    EXPECT_EQ(0, bar.GetFixedWidth());
    EXPECT_EQ(16, bar.GetFixedHeight());
    bar.SetHorizontal(false);
    EXPECT_EQ(16, bar.GetFixedWidth());
    EXPECT_EQ(0, bar.GetFixedHeight());
    bar.SetAttribute(L"RANGE", L"70");
    bar.SetAttribute(L"value", L"33");
    bar.SetAttribute(L"linesize", L"4");
    EXPECT_EQ(70, bar.GetScrollRange());
    EXPECT_EQ(33, bar.GetScrollPos());
    EXPECT_EQ(4, bar.GetLineSize());
    EXPECT_STREQ(L"ScrollBarUI", bar.GetClass());
    EXPECT_EQ(&bar, bar.GetInterface(L"scrollbar"));
    CControlUI* made = CreateScrollBarControl();
    EXPECT_STREQ(L"ScrollBarUI", made->GetClass());
    delete made;
}

TEST(ScrollBarValues, DisablingClearsEveryPartState) {
    CScrollBarUI bar;
    bar.SetPos(RECT{0, 0, 16, 100});
    TEventInfo enter;
    enter.Type = UIEVENT_MOUSEENTER;
    enter.ptMouse = {8, 20};
    bar.DoEvent(enter);
    EXPECT_NE(0u, bar.GetButton1State() & CScrollBarUI::kStateHot);
    EXPECT_NE(0u, bar.GetThumbState() & CScrollBarUI::kStateHot);
    bar.SetEnabled(false);
    EXPECT_EQ(0u, bar.GetButton1State());
    EXPECT_EQ(0u, bar.GetButton2State());
    EXPECT_EQ(0u, bar.GetThumbState());
}

}  // namespace
