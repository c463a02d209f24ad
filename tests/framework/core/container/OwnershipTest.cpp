#include "ContainerKit.h"

using namespace HiveUI;

namespace {

TEST(ContainerOwnership, WithoutAManagerRemovedChildrenAreDeletedAtOnceAndOnlyWhenOwned) {
    int destroyed = 0;
    CContainerUI box;
    CountedControl* a = new CountedControl(destroyed);
    CountedControl* b = new CountedControl(destroyed);
    CountedControl outsider(destroyed);
    ASSERT_TRUE(box.Add(a));
    ASSERT_TRUE(box.Add(b));
    EXPECT_FALSE(box.Add(nullptr));
    EXPECT_FALSE(box.Remove(&outsider));
    EXPECT_FALSE(box.RemoveAt(7));
    EXPECT_EQ(2, box.GetCount());
    EXPECT_TRUE(box.Remove(a));
    EXPECT_EQ(1, destroyed);
    box.SetAutoDestroy(false);
    EXPECT_TRUE(box.RemoveAt(0));
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(0, box.GetCount());
    delete b;
    EXPECT_EQ(2, destroyed);
}

TEST(ContainerOwnership, DestroyingTheContainerDeletesEveryChildAtOnce) {
    int destroyed = 0;
    {
        CContainerUI box;
        box.EnableScrollBar(true, true);
        for (int i = 0; i < 3; ++i) box.Add(new CountedControl(destroyed));
        EXPECT_TRUE(box.IsDelayedDestroy());
    }
    EXPECT_EQ(3, destroyed);
}

TEST(ContainerOrder, SetItemIndexMovesInRangeAndLeavesEverythingAloneOtherwise) {
    int destroyed = 0;
    CContainerUI box;
    CountedControl* items[3];
    for (CountedControl*& item : items) box.Add(item = new CountedControl(destroyed));
    EXPECT_TRUE(box.SetItemIndex(items[0], 2));
    EXPECT_EQ(items[1], box.GetItemAt(0));
    EXPECT_EQ(items[0], box.GetItemAt(2));
    for (int bad : {3, -1, 99}) {
        EXPECT_FALSE(box.SetItemIndex(items[1], bad));
        EXPECT_EQ(3, box.GetCount());
        EXPECT_EQ(0, box.GetItemIndex(items[1]));
    }
    CountedControl stray(destroyed);
    EXPECT_FALSE(box.SetItemIndex(&stray, 0));
    EXPECT_EQ(-1, box.GetItemIndex(&stray));
    EXPECT_EQ(nullptr, box.GetItemAt(3));
    EXPECT_EQ(nullptr, box.GetItemAt(-1));
}

TEST(ContainerOrder, AddAtOutsideTheListRefusesWithoutAdoptingTheControl) {
    int destroyed = 0;
    CContainerUI box;
    CountedControl first(destroyed);
    box.SetAutoDestroy(false);
    EXPECT_TRUE(box.AddAt(&first, 0));
    CountedControl stray(destroyed);
    EXPECT_FALSE(box.AddAt(&stray, 5));
    EXPECT_EQ(nullptr, stray.GetParent());
    CountedControl front(destroyed);
    EXPECT_TRUE(box.AddAt(&front, 0));
    EXPECT_EQ(&front, box.GetItemAt(0));
    EXPECT_EQ(&first, box.GetItemAt(1));
}

TEST(ContainerInterfaces, NamesAnswerCaseBlindAndTheChildListIsTheInterface) {
    CContainerUI box;
    EXPECT_STREQ(L"ContainerUI", box.GetClass());
    EXPECT_EQ(static_cast<IContainerUI*>(&box), box.GetInterface(L"icontainer"));
    EXPECT_EQ(static_cast<CContainerUI*>(&box), box.GetInterface(L"CONTAINER"));
    EXPECT_EQ(static_cast<CControlUI*>(&box), box.GetInterface(L"Control"));
    EXPECT_EQ(nullptr, box.GetInterface(L"ScrollBar"));
    CControlUI* made = CreateContainerControl();
    EXPECT_STREQ(L"ContainerUI", made->GetClass());
    delete made;
}

TEST_F(ContainerWindow, WithAManagerRemovedChildrenWaitForTheDeferredCleanUp) {
    int destroyed = 0;
    CountedControl* child = new CountedControl(destroyed);
    root_->Add(child);
    EXPECT_EQ(root_, child->GetParent());
    EXPECT_EQ(&manager(), child->GetManager());
    EXPECT_TRUE(root_->Remove(child));
    EXPECT_EQ(0, root_->GetCount());
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(nullptr, child->GetParent());
    PumpMessages();
    EXPECT_EQ(1, destroyed);

    root_->Add(new CountedControl(destroyed));
    root_->Add(new CountedControl(destroyed));
    root_->RemoveAll();
    EXPECT_EQ(1, destroyed);
    PumpMessages();
    EXPECT_EQ(3, destroyed);

    root_->SetDelayedDestroy(false);
    root_->Add(new CountedControl(destroyed));
    root_->RemoveAt(0);
    EXPECT_EQ(4, destroyed);
}

TEST_F(ContainerWindow, VisibilityReachesGrandchildrenAndAHiddenBranchStaysHidden) {
    CContainerUI* outer = new CContainerUI;
    CContainerUI* inner = new CContainerUI;
    CControlUI* leaf = new CControlUI;
    root_->Add(outer);
    outer->Add(inner);
    inner->Add(leaf);
    outer->SetVisible(false);
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_FALSE(leaf->IsVisible());
    outer->SetVisible(true);
    EXPECT_TRUE(leaf->IsVisible());

    inner->SetVisible(false);
    outer->SetVisible(false);
    outer->SetVisible(true);
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_FALSE(leaf->IsVisible());
    inner->SetVisible(true);
    EXPECT_TRUE(leaf->IsVisible());

    outer->SetVisible(false);
    CControlUI* late = new CControlUI;
    outer->Add(late);
    EXPECT_FALSE(late->IsVisible());
    outer->SetVisible(true);
    EXPECT_TRUE(late->IsVisible());
}

TEST_F(ContainerWindow, HidingAnAncestorOfTheFocusedControlClearsTheFocus) {
    CContainerUI* outer = new CContainerUI;
    CContainerUI* inner = new CContainerUI;
    CControlUI* leaf = new CControlUI;
    root_->Add(outer);
    outer->Add(inner);
    inner->Add(leaf);
    leaf->SetFocus();
    ASSERT_EQ(leaf, manager().GetFocus());
    outer->SetVisible(false);
    EXPECT_EQ(nullptr, manager().GetFocus());
}

TEST_F(ContainerWindow, EnablingReachesEveryChildAndTheMouseSwitchReachesTheBars) {
    CContainerUI* outer = new CContainerUI;
    CControlUI* leaf = new CControlUI;
    root_->Add(outer);
    outer->Add(leaf);
    outer->EnableScrollBar(true, true);
    outer->SetEnabled(false);
    EXPECT_FALSE(leaf->IsEnabled());
    outer->SetEnabled(true);
    EXPECT_TRUE(leaf->IsEnabled());
    outer->SetMouseEnabled(false);
    EXPECT_FALSE(outer->GetVerticalScrollBar()->IsMouseEnabled());
    EXPECT_FALSE(outer->GetHorizontalScrollBar()->IsMouseEnabled());
    EXPECT_FALSE(outer->IsMouseEnabled());
}

}  // namespace
