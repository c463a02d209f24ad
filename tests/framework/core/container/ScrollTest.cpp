#include "ContainerKit.h"

using namespace HiveUI;

namespace {

// 250 pixels of content in a 100-pixel stack.
class ScrollingStack : public ContainerWindow {
protected:
    void SetUp() override {
        ContainerWindow::SetUp();
        stack_ = new StackLayout;
        stack_->EnableScrollBar(true, false);
        for (int height : {100, 150}) {
            CControlUI* child = new CControlUI;
            child->SetFixedHeight(height);
            stack_->Add(child);
            children_.push_back(child);
        }
        root_->Add(stack_);
        // The window's own layout pass runs now, so the place below stays.
        UpdateWindow(hwnd());
        stack_->SetPos(RECT{10, 20, 110, 120});
    }
    CScrollBarUI* bar() { return stack_->GetVerticalScrollBar(); }

    StackLayout* stack_ = nullptr;
    std::vector<CControlUI*> children_;
};

TEST_F(ScrollingStack, TooMuchContentShowsTheBarWithTheExcessAsRangeAndNarrowsTheChildren) {
    ASSERT_TRUE(bar()->IsVisible());
    EXPECT_EQ(150, bar()->GetScrollRange());
    EXPECT_EQ(0, bar()->GetScrollPos());
    EXPECT_EQ(10 + 100 - 16, children_[0]->GetPos().right);
    RECT expected = {94, 20, 110, 120};
    EXPECT_TRUE(EqualRect(&expected, &bar()->GetPos()));
    EXPECT_EQ(150, stack_->GetScrollRange().cy);
    RECT client = stack_->GetClientPos();
    EXPECT_EQ(20, client.top);
    EXPECT_EQ(270, client.bottom);
    EXPECT_EQ(94, client.right);
}

TEST_F(ScrollingStack, SetScrollPosClampsShiftsTheChildrenAndNotifiesTheLine) {
    stack_->SetScrollPos(SIZE{0, 40}, true);
    EXPECT_EQ(40, stack_->GetScrollPos().cy);
    EXPECT_EQ(20 - 40, children_[0]->GetPos().top);
    EXPECT_EQ(120 - 40, children_[1]->GetPos().top);
    ASSERT_EQ(1, notes_.Count(L"scroll"));
    EXPECT_EQ(stack_, notes_.seen.back().sender);
    EXPECT_EQ(static_cast<WPARAM>((40 + 8) / 8), notes_.seen.back().wParam);

    stack_->SetScrollPos(SIZE{0, 1000}, true);
    EXPECT_EQ(150, stack_->GetScrollPos().cy);
    EXPECT_EQ(20 - 150, children_[0]->GetPos().top);
    stack_->SetScrollPos(SIZE{0, 150}, true);
    stack_->SetScrollPos(SIZE{0, 150}, false);
    EXPECT_EQ(2, notes_.Count(L"scroll"));
    stack_->SetScrollPos(SIZE{0, -5}, false);
    EXPECT_EQ(0, stack_->GetScrollPos().cy);
    EXPECT_EQ(2, notes_.Count(L"scroll"));
}

TEST_F(ScrollingStack, ALineSizeBelowOneIsRefusedSoTheScrollLineStaysComputable) {
    bar()->SetLineSize(0);
    bar()->SetLineSize(-4);
    EXPECT_EQ(8, bar()->GetLineSize());
    bar()->SetAttribute(L"linesize", L"0");
    stack_->SetScrollPos(SIZE{0, 17}, true);
    ASSERT_EQ(1, notes_.Count(L"scroll"));
    EXPECT_EQ(static_cast<WPARAM>((17 + 8) / 8), notes_.seen.back().wParam);
    bar()->SetLineSize(5);
    stack_->SetScrollPos(SIZE{0, 20}, true);
    EXPECT_EQ(static_cast<WPARAM>(5), notes_.seen.back().wParam);
}

TEST_F(ScrollingStack, RemovingContentHidesTheBarAndResetsIt) {
    stack_->SetScrollPos(SIZE{0, 60}, false);
    stack_->Remove(children_[1]);
    stack_->SetPos(RECT{10, 20, 110, 120});
    EXPECT_FALSE(bar()->IsVisible());
    EXPECT_EQ(0, bar()->GetScrollRange());
    EXPECT_EQ(0, bar()->GetScrollPos());
    EXPECT_EQ(110, children_[0]->GetPos().right);
    EXPECT_EQ(20, children_[0]->GetPos().top);
    EXPECT_EQ(0, stack_->GetScrollRange().cy);
}

TEST_F(ScrollingStack, LessContentAtTheEndPullsThePositionBackAndLaysOutOnce) {
    stack_->SetScrollPos(SIZE{0, 150}, false);
    children_[1]->SetFixedHeight(50);
    stack_->passes = 0;
    stack_->SetPos(RECT{10, 20, 110, 120});
    EXPECT_EQ(50, bar()->GetScrollRange());
    EXPECT_EQ(50, bar()->GetScrollPos());
    // The pass that saw the old position stops; the nested one places the children.
    EXPECT_EQ(2, stack_->passes);
    EXPECT_EQ(20 - 50, children_[0]->GetPos().top);
    EXPECT_EQ(120 - 50, children_[1]->GetPos().top);
}

TEST_F(ScrollingStack, KeysAndTheWheelScrollOnlyWhileTheBarIsShownAndEnabled) {
    TEventInfo key;
    key.Type = UIEVENT_KEYDOWN;
    key.chKey = VK_END;
    stack_->DoEvent(key);
    EXPECT_EQ(150, stack_->GetScrollPos().cy);
    key.chKey = VK_HOME;
    stack_->DoEvent(key);
    EXPECT_EQ(0, stack_->GetScrollPos().cy);
    key.chKey = VK_NEXT;
    stack_->DoEvent(key);
    EXPECT_EQ(100, stack_->GetScrollPos().cy);
    TEventInfo wheel;
    wheel.Type = UIEVENT_SCROLLWHEEL;
    wheel.wParam = MAKEWPARAM(SB_LINEUP, 0);
    stack_->SetScrollStepSize(10);
    stack_->DoEvent(wheel);
    EXPECT_EQ(90, stack_->GetScrollPos().cy);
    bar()->SetEnabled(false);
    stack_->DoEvent(wheel);
    EXPECT_EQ(90, stack_->GetScrollPos().cy);
}

TEST_F(ContainerWindow, AWideStackShowsTheHorizontalBarAndScrollsSideways) {
    StackLayout* stack = new StackLayout;
    stack->EnableScrollBar(false, true);
    CControlUI* wide = new CControlUI;
    wide->SetFixedWidth(300);
    wide->SetFixedHeight(50);
    stack->Add(wide);
    root_->Add(stack);
    stack->SetPos(RECT{0, 0, 100, 100});
    CScrollBarUI* bar = stack->GetHorizontalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(200, bar->GetScrollRange());
    RECT expected = {0, 84, 100, 100};
    EXPECT_TRUE(EqualRect(&expected, &bar->GetPos()));
    stack->LineRight();
    EXPECT_EQ(8, stack->GetScrollPos().cx);
    EXPECT_EQ(-8, wide->GetPos().left);
    stack->EndRight();
    EXPECT_EQ(stack->GetScrollRange().cx, stack->GetScrollPos().cx);
    stack->HomeLeft();
    EXPECT_EQ(0, wide->GetPos().left);
}

TEST(ContainerScroll, ABarThatCostsTheOtherAxisItsRoomShowsBothAndKeepsThem) {
    StackLayout holder;
    StackLayout* stack = &holder;
    stack->EnableScrollBar(true, true);
    CControlUI* wide = new CControlUI;
    wide->SetFixedWidth(50);
    wide->SetFixedHeight(50);
    stack->Add(wide);
    stack->SetPos(RECT{0, 0, 100, 100});
    ASSERT_FALSE(stack->GetVerticalScrollBar()->IsVisible());
    ASSERT_FALSE(stack->GetHorizontalScrollBar()->IsVisible());
    wide->SetFixedWidth(300);
    wide->SetFixedHeight(90);
    // 90 pixels fit in 100 until the horizontal bar takes 16 of them.
    stack->passes = 0;
    stack->SetPos(RECT{0, 0, 100, 100});
    // Each bar shown lays out once more; no pass goes on with the height before the bar.
    EXPECT_EQ(3, stack->passes);
    CScrollBarUI* vertical = stack->GetVerticalScrollBar();
    CScrollBarUI* horizontal = stack->GetHorizontalScrollBar();
    ASSERT_TRUE(horizontal->IsVisible());
    ASSERT_TRUE(vertical->IsVisible());
    EXPECT_EQ(6, vertical->GetScrollRange());
    EXPECT_EQ(216, horizontal->GetScrollRange());
    RECT verticalPlace = {84, 0, 100, 84};
    RECT horizontalPlace = {0, 84, 84, 100};
    EXPECT_TRUE(EqualRect(&verticalPlace, &vertical->GetPos()));
    EXPECT_TRUE(EqualRect(&horizontalPlace, &horizontal->GetPos()));
}

}  // namespace
