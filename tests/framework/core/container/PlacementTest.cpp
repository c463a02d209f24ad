#include "ContainerKit.h"

using namespace HiveUI;

namespace {

struct FloatCase {
    UINT align;
    RECT expected;
};

// A parent not at the origin: 400x300 at (10,20); the child sits at (5,7), 40x30.
TEST(ContainerFloat, EveryAlignFlagPlacesTheChildInsideAnOffsetParent) {
    const FloatCase cases[] = {
        {0, {15, 27, 55, 57}},
        {UIFLOAT_CENTER, {190, 27, 230, 57}},
        {UIFLOAT_RIGHT, {370, 27, 410, 57}},
        {UIFLOAT_VCENTER, {15, 155, 55, 185}},
        {UIFLOAT_BOTTOM, {15, 290, 55, 320}},
        {UIFLOAT_CENTER | UIFLOAT_RIGHT, {190, 27, 230, 57}},
        {UIFLOAT_RIGHT | UIFLOAT_BOTTOM, {370, 290, 410, 320}},
        {UIFLOAT_CENTER | UIFLOAT_VCENTER, {190, 155, 230, 185}},
    };
    for (const FloatCase& c : cases) {
        CContainerUI parent;
        CControlUI* child = new CControlUI;
        child->SetAttribute(L"pos", L"5,7,45,37");
        child->SetFloat(true);
        child->SetFloatAlign(c.align);
        parent.Add(child);
        parent.SetPos(RECT{10, 20, 410, 320});
        RECT got = child->GetPos();
        EXPECT_TRUE(EqualRect(&c.expected, &got)) << "align " << c.align << ": " << got.left << "," << got.top << ","
                                                  << got.right << "," << got.bottom;
    }
}

TEST(ContainerFloat, PercentPlacementScalesWithTheParentAndAddsItsOrigin) {
    CContainerUI parent;
    CControlUI* child = new CControlUI;
    child->SetAttribute(L"float", L"0.5,0,1,0.3");
    parent.Add(child);
    parent.SetPos(RECT{10, 20, 410, 320});
    EXPECT_EQ(210, child->GetPos().left);
    EXPECT_EQ(20, child->GetPos().top);
    EXPECT_EQ(410, child->GetPos().right);
    EXPECT_EQ(110, child->GetPos().bottom);

    // Fixed offsets and sizes add to the scaled edges; products truncate.
    child->SetAttribute(L"pos", L"3,4,13,24");
    child->SetFloatPercent(TFloatPercent{0.333, 0.5, 0.333, 0.5});
    parent.SetPos(RECT{10, 20, 410, 320});
    EXPECT_EQ(10 + 133 + 3, child->GetPos().left);
    EXPECT_EQ(20 + 150 + 4, child->GetPos().top);
    EXPECT_EQ(10 + 133 + 3 + 10, child->GetPos().right);
    EXPECT_EQ(20 + 150 + 4 + 20, child->GetPos().bottom);
}

TEST(ContainerFloat, HiddenOrDockedChildrenAndBadIndexesAreLeftAlone) {
    CContainerUI parent;
    CControlUI* docked = new CControlUI;
    parent.Add(docked);
    parent.SetPos(RECT{0, 0, 50, 50});
    docked->SetAttribute(L"pos", L"5,5,10,10");
    parent.SetFloatPos(0);
    parent.SetFloatPos(4);
    EXPECT_EQ(50, docked->GetPos().right);
}

TEST(ContainerPlacement, DockedChildrenFillTheInsetAreaWithinTheirLimits) {
    CContainerUI parent;
    parent.SetAttribute(L"inset", L"5,6,7,8");
    CControlUI* free = new CControlUI;
    CControlUI* capped = new CControlUI;
    capped->SetMaxWidth(30);
    capped->SetMaxHeight(20);
    CControlUI* wide = new CControlUI;
    wide->SetMinWidth(200);
    CControlUI* hidden = new CControlUI;
    hidden->SetVisible(false);
    for (CControlUI* child : {free, capped, wide, hidden}) parent.Add(child);
    parent.SetPos(RECT{100, 100, 200, 200});
    RECT expectFree = {105, 106, 193, 192};
    RECT expectCapped = {105, 106, 135, 126};
    RECT expectWide = {105, 106, 305, 192};
    EXPECT_TRUE(EqualRect(&expectFree, &free->GetPos()));
    EXPECT_TRUE(EqualRect(&expectCapped, &capped->GetPos()));
    EXPECT_TRUE(EqualRect(&expectWide, &wide->GetPos()));
    EXPECT_TRUE(IsRectEmpty(&hidden->GetPos()));
    RECT client = parent.GetClientPos();
    EXPECT_TRUE(EqualRect(&expectFree, &client));
}

// Collects every control the walk visits.
CControlUI* CALLBACK Visit(CControlUI* control, LPVOID data) {
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

CControlUI* CALLBACK Hit(CControlUI* control, LPVOID) { return control; }

TEST(ContainerFind, WalksBarsThenChildrenThenItselfUnlessAskedOtherwise) {
    CContainerUI box;
    CControlUI* a = new CControlUI;
    CControlUI* b = new CControlUI;
    box.Add(a);
    box.Add(b);
    box.EnableScrollBar(true, false);
    std::vector<CControlUI*> seen;
    box.FindControl(Visit, &seen, UIFIND_ALL);
    EXPECT_EQ((std::vector<CControlUI*>{box.GetVerticalScrollBar(), a, b, &box}), seen);
    seen.clear();
    box.FindControl(Visit, &seen, UIFIND_TOP_FIRST | UIFIND_ME_FIRST);
    EXPECT_EQ((std::vector<CControlUI*>{&box, box.GetVerticalScrollBar(), b, a}), seen);
    seen.clear();
    box.SetVisible(false);
    EXPECT_EQ(nullptr, box.FindControl(Visit, &seen, UIFIND_VISIBLE));
    EXPECT_TRUE(seen.empty());
}

TEST(ContainerFind, HitTestsKeepToTheContentAreaExceptForFloatingChildren) {
    CContainerUI box;
    box.SetAttribute(L"inset", L"10,10,10,10");
    CControlUI* docked = new CControlUI;
    CControlUI* floating = new CControlUI;
    floating->SetAttribute(L"pos", L"0,0,10,10");
    floating->SetFloat(true);
    box.Add(docked);
    box.Add(floating);
    box.SetPos(RECT{0, 0, 100, 100});
    // A docked child pushed out over the inset by scrolling is not hit there.
    docked->SetPos(RECT{0, 0, 100, 100}, false);
    POINT inInset = {5, 50};
    POINT onFloat = {5, 5};
    POINT inside = {50, 50};
    POINT outside = {150, 50};
    UINT flags = UIFIND_HITTEST | UIFIND_VISIBLE | UIFIND_TOP_FIRST;
    EXPECT_EQ(&box, box.FindControl(Hit, &inInset, flags));
    EXPECT_EQ(floating, box.FindControl(Hit, &onFloat, flags));
    EXPECT_EQ(docked, box.FindControl(Hit, &inside, flags));
    EXPECT_EQ(nullptr, box.FindControl(Hit, &outside, flags));
    box.SetAttribute(L"mousechild", L"false");
    EXPECT_EQ(&box, box.FindControl(Hit, &inside, flags));
    box.SetMouseEnabled(false);
    EXPECT_EQ(nullptr, box.FindControl(Hit, &inside, flags));
}

TEST(ContainerAttributes, AlignmentNamesAndValuesMatchExactlyAndStylesMakeOnlyTheirBar) {
    CContainerUI box;
    box.SetAttribute(L"childalign", L"right");
    box.SetAttribute(L"childvalign", L"vcenter");
    EXPECT_EQ(UICHILD_RIGHT, box.GetChildAlign());
    EXPECT_EQ(UICHILD_VCENTER, box.GetChildVAlign());
    box.SetAttribute(L"childalign", L"Center");
    box.SetAttribute(L"ChildAlign", L"center");
    box.SetAttribute(L"childvalign", L"middle");
    EXPECT_EQ(UICHILD_RIGHT, box.GetChildAlign());
    EXPECT_EQ(UICHILD_VCENTER, box.GetChildVAlign());
    box.SetAttribute(L"ChildPadding", L"6");
    EXPECT_EQ(6, box.GetChildPadding());
    box.SetAttribute(L"scrollstepsize", L"0");
    box.SetAttribute(L"scrollstepsize", L"12");
    box.SetAttribute(L"scrollstepsize", L"-3");
    EXPECT_EQ(12, box.GetScrollStepSize());

    box.SetAttribute(L"hscrollbarstyle", L"linesize=\"5\" showbutton1=\"false\"");
    ASSERT_NE(nullptr, box.GetHorizontalScrollBar());
    EXPECT_EQ(nullptr, box.GetVerticalScrollBar());
    EXPECT_TRUE(box.GetHorizontalScrollBar()->IsHorizontal());
    EXPECT_EQ(5, box.GetHorizontalScrollBar()->GetLineSize());
    EXPECT_FALSE(box.GetHorizontalScrollBar()->GetShowButton1());
    EXPECT_EQ(&box, box.GetHorizontalScrollBar()->GetOwner());
    box.SetAttribute(L"vscrollbar", L"true");
    ASSERT_NE(nullptr, box.GetVerticalScrollBar());
    EXPECT_FALSE(box.GetVerticalScrollBar()->IsHorizontal());
    box.SetAttribute(L"hscrollbar", L"false");
    EXPECT_EQ(nullptr, box.GetHorizontalScrollBar());
    EXPECT_NE(nullptr, box.GetVerticalScrollBar());
}

TEST_F(ContainerWindow, ScrollBarsTakeTheManagersDefaultsAndNamedStyles) {
    manager().AddDefaultAttributeList(L"VScrollBar", L"linesize=\"3\"");
    manager().AddStyle(L"thin", L"width=\"9\"");
    CContainerUI* box = new CContainerUI;
    root_->Add(box);
    box->SetAttribute(L"vscrollbar", L"true");
    EXPECT_EQ(3, box->GetVerticalScrollBar()->GetLineSize());
    box->SetAttribute(L"hscrollbarstyle", L"thin");
    EXPECT_EQ(9, box->GetHorizontalScrollBar()->GetFixedWidth());
    EXPECT_EQ(&manager(), box->GetHorizontalScrollBar()->GetManager());
}

TEST_F(ContainerWindow, ALineDownUsesTheStepSizeOrTheDefaultFontHeightPlusEight) {
    StackLayout* stack = new StackLayout;
    root_->Add(stack);
    stack->EnableScrollBar(true, false);
    for (int i = 0; i < 10; ++i) stack->Add(new CControlUI), stack->GetItemAt(i)->SetFixedHeight(100);
    stack->SetPos(RECT{0, 0, 100, 100});
    ASSERT_TRUE(stack->GetVerticalScrollBar()->IsVisible());
    stack->LineDown();
    int fontStep = manager().GetDefaultFontInfo()->metrics.tmHeight + 8;
    EXPECT_EQ(fontStep, stack->GetScrollPos().cy);
    stack->SetScrollStepSize(30);
    stack->LineDown();
    EXPECT_EQ(fontStep + 30, stack->GetScrollPos().cy);
    stack->PageDown();
    EXPECT_EQ(fontStep + 130, stack->GetScrollPos().cy);
    stack->PageUp();
    stack->LineUp();
    EXPECT_EQ(fontStep, stack->GetScrollPos().cy);
    stack->EndDown();
    EXPECT_GT(stack->GetScrollRange().cy, 0);
    EXPECT_EQ(stack->GetScrollRange().cy, stack->GetScrollPos().cy);
    stack->HomeUp();
    EXPECT_EQ(0, stack->GetScrollPos().cy);
}

TEST(ContainerScroll, ALineDownWithoutAManagerMovesByEight) {
    StackLayout stack;
    stack.EnableScrollBar(true, false);
    CControlUI* tall = new CControlUI;
    tall->SetFixedHeight(300);
    stack.Add(tall);
    stack.SetPos(RECT{0, 0, 100, 100});
    stack.LineDown();
    EXPECT_EQ(8, stack.GetScrollPos().cy);
    EXPECT_EQ(-8, tall->GetPos().top);
}

}  // namespace
