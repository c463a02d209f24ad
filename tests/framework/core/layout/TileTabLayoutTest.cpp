#include <UIManager.h>
#include <UIScrollBar.h>
#include <UITabLayout.h>
#include <UITileLayout.h>

#include "LayoutKit.h"

using namespace HiveUI;

namespace {

TEST(TileLayout, ColumnsComeFromTheItemWidthOrTheColumnCount) {
    struct Case {
        const char* what;
        const wchar_t* attribute;
        const wchar_t* value;
        int childPadding;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"item size 100 in 400: four columns", L"itemsize", L"100,0", 0,
         {"0,0,100,0", "100,0,200,0", "200,0,300,0", "300,0,400,0", "0,0,100,0"}},
        {"three columns: 133-pixel cells", L"columns", L"3", 0,
         {"0,0,133,0", "133,0,266,0", "266,0,399,0", "0,0,133,0", "133,0,266,0"}},
        {"item size wider than the layout: one column", L"itemsize", L"500,0", 0,
         {"0,0,400,0", "0,0,400,0", "0,0,400,0", "0,0,400,0", "0,0,400,0"}},
        {"child padding is shared between neighbours", L"columns", L"2", 10,
         {"0,0,195,0", "205,0,400,0", "0,10,195,10", "205,10,400,10", "0,20,195,20"}},
    };
    for (const Case& c : cases) {
        CTileLayoutUI layout;
        layout.SetAttribute(c.attribute, c.value);
        layout.SetChildPadding(c.childPadding);
        AddKids(layout, std::vector<Kid>(5));
        layout.SetPos({0, 0, 400, 300}, false);
        EXPECT_EQ(c.expected, ChildRects(layout)) << c.what;
    }
}

TEST(TileLayout, RowsAreAsTallAsTheirTallestChildAndSmallChildrenAreCentred) {
    CTileLayoutUI layout;
    layout.SetColumns(3);
    layout.SetColumns(0);
    EXPECT_EQ(3, layout.GetColumns());
    AddKids(layout, {{0, 40}, {20, 60}, {0, 30}, {0, 10}});
    layout.SetPos({0, 0, 300, 300}, false);
    EXPECT_EQ((std::vector<std::string>{"0,10,100,50", "140,0,160,60", "200,15,300,45", "0,60,100,70"}),
              ChildRects(layout));
}

TEST(TileLayout, TheNeededHeightDrivesTheScrollBar) {
    CTileLayoutUI layout;
    layout.EnableScrollBar(true, false);
    layout.SetItemSize({50, 0});
    AddKids(layout, std::vector<Kid>(6, Kid{0, 40}));
    layout.SetPos({0, 0, 116, 60}, false);
    CScrollBarUI* bar = layout.GetVerticalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    // 100 pixels beside the bar: two columns, three rows of 40.
    EXPECT_EQ(60, bar->GetScrollRange());
    EXPECT_EQ("50,80,100,120", Describe(layout.GetItemAt(5)->GetPos()));
}

class TabNotes : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override {
        if (msg.sType == L"tabselect") selections.push_back({static_cast<int>(msg.wParam), static_cast<int>(msg.lParam)});
    }
    std::vector<std::pair<int, int>> selections;
};

std::vector<bool> Shown(const CTabLayoutUI& tab) {
    std::vector<bool> shown;
    for (int i = 0; i < tab.GetCount(); ++i) shown.push_back(tab.GetItemAt(i)->IsVisible());
    return shown;
}

TEST(TabLayout, TheFirstVisiblePageIsSelectedAndInsertionsKeepOnePageShown) {
    CTabLayoutUI tab;
    AddKids(tab, {{}, {}, {}});
    EXPECT_EQ(0, tab.GetCurSel());
    EXPECT_EQ((std::vector<bool>{true, false, false}), Shown(tab));
    CControlUI* inserted = MakeKid({});
    ASSERT_TRUE(tab.AddAt(inserted, 0));
    EXPECT_EQ(1, tab.GetCurSel());
    EXPECT_EQ((std::vector<bool>{false, true, false, false}), Shown(tab));
    ASSERT_TRUE(tab.AddAt(MakeKid({}), 4));
    EXPECT_EQ(1, tab.GetCurSel());
    EXPECT_FALSE(tab.GetItemAt(4)->IsVisible());
}

TEST(TabLayout, ATabFilledWhileHiddenStillSelectsItsFirstPage) {
    CTabLayoutUI tab;
    tab.SetVisible(false);
    AddKids(tab, {{}, {}});
    EXPECT_EQ(0, tab.GetCurSel());
    tab.SetVisible(true);
    EXPECT_EQ((std::vector<bool>{true, false}), Shown(tab));
}

TEST(TabLayout, RemovingTheSelectedPageOrOneBeforeItMovesTheSelection) {
    CTabLayoutUI tab;
    AddKids(tab, {{}, {}, {}});
    ASSERT_TRUE(tab.SelectItem(2));
    ASSERT_TRUE(tab.Remove(tab.GetItemAt(0)));
    EXPECT_EQ(1, tab.GetCurSel());
    ASSERT_TRUE(tab.Remove(tab.GetItemAt(1)));
    EXPECT_EQ(0, tab.GetCurSel());
    EXPECT_TRUE(tab.GetItemAt(0)->IsVisible());
    EXPECT_FALSE(tab.Remove(nullptr));
    tab.RemoveAll();
    EXPECT_EQ(-1, tab.GetCurSel());
}

TEST(TabLayout, SelectingSendsTabselectOnlyOnAChangeAndPlacesOnlyTheSelectedPage) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"tab", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, wnd);
    CPaintManagerUI manager;
    manager.Init(wnd);
    TabNotes notes;
    manager.AddNotifier(&notes);
    CTabLayoutUI* tab = new CTabLayoutUI;
    manager.AttachRoot(tab);
    AddKids(*tab, {{}, {0, 0, .padding = {5, 5, 5, 5}}, {40, 30}});
    tab->SetPos({0, 0, 200, 100}, false);
    EXPECT_TRUE(tab->SelectItem(0));
    EXPECT_TRUE(tab->SelectItem(1));
    EXPECT_EQ("5,5,195,95", Describe(tab->GetItemAt(1)->GetPos()));
    EXPECT_TRUE(tab->SelectItem(tab->GetItemAt(2)));
    EXPECT_EQ("0,0,40,30", Describe(tab->GetItemAt(2)->GetPos()));
    EXPECT_FALSE(tab->SelectItem(3));
    EXPECT_FALSE(tab->SelectItem(-1));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 0}, {2, 1}}), notes.selections);
    EXPECT_EQ((std::vector<bool>{false, false, true}), Shown(*tab));
    tab->SetAttribute(L"selectedid", L"0");
    EXPECT_EQ(0, tab->GetCurSel());
    manager.RemoveNotifier(&notes);
    DestroyWindow(wnd);
}

}  // namespace
