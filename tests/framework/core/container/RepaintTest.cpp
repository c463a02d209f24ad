#include "ContainerKit.h"

using namespace HiveUI;

namespace {

RECT Dirty(HWND wnd) {
    RECT rc = {0, 0, 0, 0};
    GetUpdateRect(wnd, &rc, FALSE);
    ValidateRect(wnd, nullptr);
    return rc;
}

TEST_F(ContainerWindow, AClippedRepaintLeavesOutTheParentsInsetAndVisibleBars) {
    StackLayout* stack = new StackLayout;
    stack->SetAttribute(L"inset", L"4,6,8,10");
    stack->EnableScrollBar(true, true);
    CControlUI* child = new CControlUI;
    child->SetFixedWidth(300);
    child->SetFixedHeight(300);
    stack->Add(child);
    root_->Add(stack);
    UpdateWindow(hwnd());
    stack->SetPos(RECT{20, 10, 120, 110});
    ASSERT_TRUE(stack->GetVerticalScrollBar()->IsVisible());
    ASSERT_TRUE(stack->GetHorizontalScrollBar()->IsVisible());
    ValidateRect(hwnd(), nullptr);
    child->InvalidateClipped();
    RECT dirty = Dirty(hwnd());
    RECT expected = {24, 16, 120 - 8 - 16, 110 - 10 - 16};
    EXPECT_TRUE(EqualRect(&expected, &dirty))
        << dirty.left << "," << dirty.top << "," << dirty.right << "," << dirty.bottom;
    child->SetVisible(false);
    ValidateRect(hwnd(), nullptr);
    child->InvalidateClipped();
    dirty = Dirty(hwnd());
    EXPECT_TRUE(IsRectEmpty(&dirty));
}

TEST_F(ContainerWindow, AFloatingControlLaidOutAloneTakesItsContainersFloatPlaceAgain) {
    root_->SetAttribute(L"inset", L"30,40,0,0");
    CContainerUI* inner = new CContainerUI;
    CControlUI* floating = new CControlUI;
    floating->SetAttribute(L"pos", L"5,5,25,25");
    floating->SetFloat(true);
    inner->Add(floating);
    root_->Add(inner);
    UpdateWindow(hwnd());
    RECT expected = {35, 45, 55, 65};
    ASSERT_TRUE(EqualRect(&expected, &floating->GetPos()));
    floating->SetPos(RECT{0, 0, 1, 1}, false);
    floating->NeedLayout();
    // Its stray place lies outside its container, so nothing of it was invalidated.
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
    EXPECT_FALSE(floating->IsLayoutNeeded());
    EXPECT_TRUE(EqualRect(&expected, &floating->GetPos()));
}

// Answers the list-row interface so that it can be selected.
class Row : public CControlUI {
public:
    LPVOID GetInterface(const wchar_t* name) override {
        if (_wcsicmp(name, L"ListItem") == 0) return this;
        return CControlUI::GetInterface(name);
    }
};

TEST(ContainerSelectable, SearchesForwardOrBackThenForwardFromTheStart) {
    CContainerUI plain;
    EXPECT_EQ(-1, plain.FindSelectable(0, true));
    plain.Add(new CControlUI);
    plain.Add(new CControlUI);
    EXPECT_EQ(-1, plain.FindSelectable(5, false));

    CContainerUI rows;
    rows.Add(new CControlUI);
    Row* disabled = new Row;
    disabled->SetEnabled(false);
    rows.Add(disabled);
    rows.Add(new Row);
    rows.Add(new CControlUI);
    Row* hidden = new Row;
    hidden->SetVisible(false);
    rows.Add(hidden);
    EXPECT_EQ(2, rows.FindSelectable(0, true));
    EXPECT_EQ(-1, rows.FindSelectable(3, true));
    EXPECT_EQ(2, rows.FindSelectable(99, false));
    EXPECT_EQ(2, rows.FindSelectable(1, false));
}

struct Listener : CContainerUI {
    void DoEvent(TEventInfo& event) override { seen.push_back(event.Type); }
    std::vector<int> seen;
};

TEST_F(ContainerWindow, MouseEventsOfAMouseDeafContainerGoToItsParentAndFocusOnlyMarksIt) {
    Listener* listener = new Listener;
    Listener& parent = *listener;
    root_->Add(listener);
    CContainerUI* child = new CContainerUI;
    parent.Add(child);
    child->SetMouseEnabled(false);
    TEventInfo click;
    click.Type = UIEVENT_BUTTONDOWN;
    child->DoEvent(click);
    TEventInfo focus;
    focus.Type = UIEVENT_SETFOCUS;
    child->DoEvent(focus);
    EXPECT_TRUE(child->IsFocused());
    EXPECT_EQ((std::vector<int>{UIEVENT_BUTTONDOWN}), parent.seen);
}

}  // namespace
