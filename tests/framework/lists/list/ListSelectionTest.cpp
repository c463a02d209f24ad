#include "ListKit.h"

using namespace HiveUI;

namespace {

// Rows 0..5 at y = 20 * index (the header is hidden).
TEST_F(ListWindow, ClicksAndCtrlClicksKeepEachSelectedIndexOnce) {
    CListUI* list = BuildList(L"header=\"hidden\" multiselect=\"true\"", LabelRows(6));
    Click(50, 25);
    EXPECT_EQ((std::vector<Note>{{L"list", L"itemselect", 1}, {L"r1", L"itemclick", 0}}), notes);
    EXPECT_EQ(std::vector<int>{1}, Selected(list));
    {
        CtrlHeld ctrl;
        notes.clear();
        Click(50, 65);
        EXPECT_EQ((std::vector<Note>{{L"list", L"itemselect", 3}}), NotesOf(L"itemselect"));
        EXPECT_EQ((std::vector<int>{1, 3}), Selected(list));
        EXPECT_EQ(2, list->GetSelectItemCount());

        // Ctrl-clicking a selected row takes it out again.
        notes.clear();
        Click(50, 25);
        EXPECT_TRUE(NotesOf(L"itemselect").empty());
        EXPECT_EQ(std::vector<int>{3}, Selected(list));
        EXPECT_FALSE(RowSelected(list, 1));
        EXPECT_EQ(3, list->GetCurSel());
    }
    // A plain click selects the row alone.
    Click(50, 85);
    EXPECT_EQ(std::vector<int>{4}, Selected(list));
    EXPECT_FALSE(RowSelected(list, 3));

    // Ctrl+A selects every row once and tells nobody.
    notes.clear();
    {
        CtrlHeld ctrl;
        Key('A');
    }
    EXPECT_EQ((std::vector<int>{4, 0, 1, 2, 3, 5}), Selected(list));
    EXPECT_EQ(6, list->GetSelectItemCount());
    EXPECT_TRUE(notes.empty());
    list->UnSelectAllItems();
    EXPECT_EQ(0, list->GetSelectItemCount());
    EXPECT_EQ(-1, list->GetNextSelItem(-1));
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(RowSelected(list, i)) << i;
}

TEST_F(ListWindow, SelectingThroughTheRowSendsOneNotification) {
    CListUI* list = BuildList(L"header=\"hidden\"", LabelRows(4));
    auto* row = static_cast<IListItemUI*>(list->GetItemAt(2)->GetInterface(L"ListItem"));
    EXPECT_TRUE(row->Select(true));
    EXPECT_EQ((std::vector<Note>{{L"list", L"itemselect", 2}}), notes);
    EXPECT_EQ(std::vector<int>{2}, Selected(list));
    EXPECT_TRUE(list->SelectItem(0));
    EXPECT_FALSE(row->IsSelected());
    EXPECT_EQ(std::vector<int>{0}, Selected(list));
}

// Removal before, at and after the selected rows keeps the indexes on their rows.
TEST_F(ListWindow, RemovingRowsRenumbersTheSelection) {
    CListUI* list = BuildList(L"header=\"hidden\" multiselect=\"true\"", LabelRows(6));
    list->SelectMultiItem(2);
    list->SelectMultiItem(4);
    ASSERT_EQ((std::vector<int>{2, 4}), Selected(list));

    ASSERT_TRUE(list->RemoveAt(0));
    EXPECT_EQ((std::vector<int>{1, 3}), Selected(list));
    EXPECT_EQ(1, list->GetCurSel());
    EXPECT_TRUE(RowSelected(list, 1) && RowSelected(list, 3));
    EXPECT_STREQ(L"r2", list->GetItemAt(1)->GetName().GetData());

    ASSERT_TRUE(list->RemoveAt(4));
    EXPECT_EQ((std::vector<int>{1, 3}), Selected(list));

    // Removing the current row selects the nearest row at or before its place alone.
    notes.clear();
    ASSERT_TRUE(list->RemoveAt(3));
    EXPECT_EQ(std::vector<int>{2}, Selected(list));
    EXPECT_FALSE(RowSelected(list, 1));
    EXPECT_STREQ(L"r3", list->GetItemAt(2)->GetName().GetData());
    EXPECT_EQ((std::vector<Note>{{L"list", L"itemselect", 2}}), notes);
    for (int i = 0; i < list->GetCount(); ++i) {
        auto* row = static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"ListItem"));
        EXPECT_EQ(i, row->GetIndex());
    }
}

TEST_F(ListWindow, ArrowKeysMoveFromTheSelectedRows) {
    CListUI* list = BuildList(L"header=\"hidden\" multiselect=\"true\"", LabelRows(6));
    list->SetFocus();
    Key(VK_DOWN);
    Key(VK_UP);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(-1, list->GetCurSel());

    // Up on row 0 selects row 0 again and says so again.
    list->SelectItem(0);
    notes.clear();
    Key(VK_UP);
    EXPECT_EQ((std::vector<Note>{{L"list", L"itemselect", 0}}), notes);

    list->SelectItem(3);
    list->SelectMultiItem(5);
    Key(VK_UP);
    EXPECT_EQ(std::vector<int>{2}, Selected(list));
    Key(VK_DOWN);
    EXPECT_EQ(std::vector<int>{3}, Selected(list));
    list->SelectItem(5);
    Key(VK_DOWN);
    EXPECT_EQ(std::vector<int>{5}, Selected(list));
}

TEST_F(ListWindow, HomeAndEndFindTheOuterSelectableRows) {
    CListUI* list = BuildList(L"header=\"hidden\"", LabelRows(6));
    list->GetItemAt(5)->SetEnabled(false);
    list->GetItemAt(0)->SetEnabled(false);
    list->SetFocus();
    Key(VK_END);
    EXPECT_EQ(4, list->GetCurSel());
    Key(VK_HOME);
    EXPECT_EQ(1, list->GetCurSel());
}

TEST_F(ListWindow, TheWheelSelectsOnlyInSingleSelectScrollSelectLists) {
    CListUI* list = BuildList(L"header=\"hidden\" vscrollbar=\"true\" scrollselect=\"true\" multiselect=\"true\"",
                              LabelRows(30));
    list->SelectItem(0);
    Wheel(50, 50, false);
    EXPECT_EQ(0, list->GetCurSel());
    EXPECT_GT(list->GetScrollPos().cy, 0);

    list->SetMultiSelect(false);
    list->SetScrollPos({0, 0});
    list->SelectItem(0);
    notes.clear();
    Wheel(50, 50, false);
    EXPECT_EQ(1, list->GetCurSel());
    EXPECT_EQ((std::vector<Note>{{L"list", L"itemselect", 1}}), notes);
    Wheel(50, 50, true);
    EXPECT_EQ(0, list->GetCurSel());
}

// A selected row brought in by keyboard below the visible part scrolls into view.
TEST_F(ListWindow, SelectingARowBelowTheViewScrollsItIn) {
    CListUI* list = BuildList(L"header=\"hidden\" vscrollbar=\"true\"", LabelRows(30));
    list->SelectItem(0, true);
    Key(VK_END);
    EXPECT_EQ(29, list->GetCurSel());
    EXPECT_EQ(list->GetScrollRange().cy, list->GetScrollPos().cy);
    const RECT row = list->GetItemAt(29)->GetPos();
    EXPECT_EQ(200, row.bottom);
}

}  // namespace
