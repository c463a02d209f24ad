#include "../container/ContainerKit.h"

using namespace HiveUI;

namespace {

TEventInfo MouseAt(int type, int x, int y) {
    TEventInfo event;
    event.Type = type;
    event.ptMouse = {x, y};
    return event;
}

TEventInfo Tick(UINT id = CScrollBarUI::kRepeatTimerId) {
    TEventInfo event;
    event.Type = UIEVENT_TIMER;
    event.wParam = id;
    return event;
}

// A 100-pixel stack at the window's origin holding 400 pixels of content: its vertical
// bar is 100 high with range 300, so the thumb is 17 pixels long right under button 1.
class OwnedBar : public ContainerWindow {
protected:
    void SetUp() override {
        ContainerWindow::SetUp();
        stack_ = new StackLayout;
        stack_->EnableScrollBar(true, false);
        stack_->SetScrollStepSize(10);
        for (int i = 0; i < 4; ++i) {
            CControlUI* child = new CControlUI;
            child->SetFixedHeight(100);
            stack_->Add(child);
        }
        root_->Add(stack_);
        UpdateWindow(hwnd());
        stack_->SetPos(RECT{0, 0, 100, 100});
        notes_.seen.clear();
    }
    CScrollBarUI* bar() { return stack_->GetVerticalScrollBar(); }
    int BarScrolls() const {
        int count = 0;
        for (const SeenNotify& n : notes_.seen) count += n.type == L"scroll" && n.sender != stack_ ? 1 : 0;
        return count;
    }

    StackLayout* stack_ = nullptr;
};

TEST_F(OwnedBar, TheBarSitsRightOfTheContentWithItsThumbUnderButtonOne) {
    ASSERT_TRUE(bar()->IsVisible());
    EXPECT_EQ(300, bar()->GetScrollRange());
    RECT thumb = {84, 16, 100, 33};
    EXPECT_TRUE(EqualRect(&thumb, &bar()->GetThumbRect()));
}

TEST_F(OwnedBar, HoldingButtonTwoScrollsALineAtOnceThenEveryTickFromTheSixth) {
    TEventInfo press = MouseAt(UIEVENT_BUTTONDOWN, 90, 95);
    bar()->DoEvent(press);
    EXPECT_NE(0u, bar()->GetButton2State() & CScrollBarUI::kStatePushed);
    EXPECT_EQ(10, stack_->GetScrollPos().cy);
    EXPECT_EQ(1, BarScrolls());
    for (int tick = 1; tick <= 5; ++tick) {
        TEventInfo timer = Tick();
        bar()->DoEvent(timer);
    }
    EXPECT_EQ(10, stack_->GetScrollPos().cy);
    EXPECT_EQ(1, BarScrolls());
    for (int tick = 6; tick <= 8; ++tick) {
        TEventInfo timer = Tick();
        bar()->DoEvent(timer);
    }
    EXPECT_EQ(40, stack_->GetScrollPos().cy);
    EXPECT_EQ(4, BarScrolls());
    TEventInfo release = MouseAt(UIEVENT_BUTTONUP, 90, 95);
    bar()->DoEvent(release);
    EXPECT_EQ(0u, bar()->GetButton2State() & CScrollBarUI::kStatePushed);
    TEventInfo timer = Tick();
    bar()->DoEvent(timer);
    EXPECT_EQ(40, stack_->GetScrollPos().cy);
}

TEST_F(OwnedBar, ARealPressOnButtonOneAfterScrollingGoesBackOneLine) {
    stack_->SetScrollPos(SIZE{0, 50}, false);
    SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 5));
    EXPECT_EQ(40, stack_->GetScrollPos().cy);
    EXPECT_NE(0u, bar()->GetButton1State() & CScrollBarUI::kStatePushed);
    SendMessageW(hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(90, 5));
    EXPECT_EQ(0u, bar()->GetButton1State() & CScrollBarUI::kStatePushed);
    EXPECT_EQ(1, BarScrolls());
}

TEST_F(OwnedBar, ARailPressPagesTowardsThePoint) {
    TEventInfo below = MouseAt(UIEVENT_BUTTONDOWN, 90, 70);
    bar()->DoEvent(below);
    EXPECT_EQ(100, stack_->GetScrollPos().cy);
    TEventInfo up = MouseAt(UIEVENT_BUTTONUP, 90, 70);
    bar()->DoEvent(up);
    TEventInfo above = MouseAt(UIEVENT_BUTTONDOWN, 90, 20);
    bar()->DoEvent(above);
    EXPECT_EQ(0, stack_->GetScrollPos().cy);
}

TEST_F(OwnedBar, DraggingTheThumbSeventeenPixelsMovesTheOwnerByAHundredOnTheNextTick) {
    TEventInfo press = MouseAt(UIEVENT_BUTTONDOWN, 90, 20);
    bar()->DoEvent(press);
    EXPECT_NE(0u, bar()->GetThumbState() & CScrollBarUI::kStateCaptured);
    EXPECT_EQ(0, stack_->GetScrollPos().cy);
    TEventInfo move = MouseAt(UIEVENT_MOUSEMOVE, 90, 37);
    bar()->DoEvent(move);
    EXPECT_EQ(0, stack_->GetScrollPos().cy);
    TEventInfo timer = Tick();
    bar()->DoEvent(timer);
    // 17 pixels of the 51 the thumb can travel are a third of the range.
    EXPECT_EQ(100, stack_->GetScrollPos().cy);
    EXPECT_EQ(100, bar()->GetScrollPos());
    TEventInfo release = MouseAt(UIEVENT_BUTTONUP, 90, 37);
    bar()->DoEvent(release);
    EXPECT_EQ(0u, bar()->GetThumbState() & (CScrollBarUI::kStateCaptured | CScrollBarUI::kStatePushed));
}

TEST_F(OwnedBar, WithHiddenButtonsTheDragKeepsPaceWithThePointer) {
    bar()->SetShowButton1(false);
    bar()->SetShowButton2(false);
    // Thumb 25 of 100 pixels: 75 pixels of travel stand for the range of 300.
    ASSERT_EQ(25, bar()->GetThumbRect().bottom - bar()->GetThumbRect().top);
    TEventInfo press = MouseAt(UIEVENT_BUTTONDOWN, 90, 10);
    bar()->DoEvent(press);
    TEventInfo move = MouseAt(UIEVENT_MOUSEMOVE, 90, 25);
    bar()->DoEvent(move);
    TEventInfo timer = Tick();
    bar()->DoEvent(timer);
    EXPECT_EQ(60, stack_->GetScrollPos().cy);
}

TEST_F(OwnedBar, OtherTimersAndKeysGoToTheOwner) {
    TEventInfo key;
    key.Type = UIEVENT_KEYDOWN;
    key.chKey = VK_NEXT;
    bar()->DoEvent(key);
    EXPECT_EQ(100, stack_->GetScrollPos().cy);
    TEventInfo other = Tick(3);
    bar()->DoEvent(other);
    EXPECT_EQ(100, stack_->GetScrollPos().cy);
    TEventInfo hover = MouseAt(UIEVENT_MOUSEMOVE, 90, 40);
    bar()->DoEvent(hover);
    EXPECT_NE(0u, bar()->GetThumbState() & CScrollBarUI::kStateHot);
    TEventInfo leave = MouseAt(UIEVENT_MOUSELEAVE, 0, 0);
    bar()->DoEvent(leave);
    EXPECT_EQ(0u, bar()->GetThumbState() & CScrollBarUI::kStateHot);
}

TEST(StandAloneBar, WithoutAnOwnerTheBarMovesItsOwnPosition) {
    CScrollBarUI bar;
    bar.SetScrollRange(300);
    bar.SetPos(RECT{0, 0, 16, 100});
    TEventInfo down = MouseAt(UIEVENT_BUTTONDOWN, 8, 95);
    bar.DoEvent(down);
    EXPECT_EQ(8, bar.GetScrollPos());
    TEventInfo up = MouseAt(UIEVENT_BUTTONUP, 8, 95);
    bar.DoEvent(up);
    TEventInfo rail = MouseAt(UIEVENT_BUTTONDOWN, 8, 70);
    bar.DoEvent(rail);
    EXPECT_EQ(108, bar.GetScrollPos());
    bar.DoEvent(up);
    bar.SetEnabled(false);
    bar.DoEvent(rail);
    EXPECT_EQ(108, bar.GetScrollPos());
}

TEST_F(OwnedBar, WithoutImagesTheButtonsAndTheThumbShowAsOutlines) {
    PixelCanvas canvas(100, 100);
    root_->SetPos(RECT{0, 0, 100, 100}, false);
    stack_->SetPos(RECT{0, 0, 100, 100}, false);
    ASSERT_TRUE(bar()->Paint(canvas.dc(), RECT{0, 0, 100, 100}, nullptr));
    const DWORD outline = 0x85E4FF;
    EXPECT_EQ(outline, canvas.rgb(84, 0));
    EXPECT_EQ(outline, canvas.rgb(99, 15));
    EXPECT_EQ(outline, canvas.rgb(84, 16));
    EXPECT_EQ(outline, canvas.rgb(99, 32));
    EXPECT_EQ(outline, canvas.rgb(84, 99));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(92, 8));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(92, 60));
}

}  // namespace
