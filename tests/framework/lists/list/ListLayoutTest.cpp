#include <UIListHeader.h>
#include <UIListHeaderItem.h>
#include <UIListTextElement.h>
#include <UIScrollBar.h>

#include "ListKit.h"

using namespace HiveUI;

namespace {

int FontHeight(CPaintManagerUI& manager) { return manager.GetDefaultFontInfo()->metrics.tmHeight; }

std::wstring ContainerRows(int count, const wchar_t* size) {
    std::wstring rows;
    for (int i = 0; i < count; ++i) rows += std::wstring(L"<ListContainerElement ") + size + L"/>";
    return rows;
}

// Fixed-width container rows stand three to a line in a 350-wide body; label rows of
// the same width keep a line each.
TEST_F(ListWindow, FixedWidthContainerRowsFormAGrid) {
    Build(L"<List name=\"grid\" float=\"true\" pos=\"0,0,366,60\" header=\"hidden\" vscrollbar=\"true\">" +
          ContainerRows(10, L"width=\"100\" height=\"20\"") +
          L"</List><List name=\"plain\" float=\"true\" pos=\"0,0,366,60\" header=\"hidden\" vscrollbar=\"true\">" +
          LabelRows(10, L"width=\"100\"") + L"</List>");
    auto* grid = Find<CListUI>(L"grid");
    ASSERT_EQ(16, grid->GetVerticalScrollBar()->GetFixedWidth());
    const RECT first = grid->GetItemAt(0)->GetPos();
    const RECT fifth = grid->GetItemAt(4)->GetPos();
    EXPECT_EQ(first.left + 100, fifth.left);
    EXPECT_EQ(first.top + 20, fifth.top);
    EXPECT_EQ(100, fifth.right - fifth.left);
    EXPECT_EQ(80 - 60, grid->GetScrollRange().cy);
    EXPECT_EQ(200 - 60, Find<CListUI>(L"plain")->GetScrollRange().cy);
}

TEST_F(ListWindow, HeaderHeightsFollowTheDefaultFont) {
    Build(L"<List name=\"tall\" float=\"true\" pos=\"0,0,320,100\"><ListHeader><ListHeaderItem text=\"a\"/>"
          L"</ListHeader></List><List name=\"short\" float=\"true\" pos=\"0,100,320,200\"><ListHeader>"
          L"<ListHeaderItem text=\"a\" height=\"10\"/></ListHeader></List>");
    const RECT tall = Find<CListUI>(L"tall")->GetHeader()->GetPos();
    const RECT low = Find<CListUI>(L"short")->GetHeader()->GetPos();
    EXPECT_EQ(FontHeight(manager()) + 14, tall.bottom - tall.top);
    EXPECT_EQ(FontHeight(manager()) + 6, low.bottom - low.top);
}

// Heads 0..100 and 100..200, 30 pixels high.
const wchar_t kTwoHeads[] =
    L"<ListHeader height=\"30\"><ListHeaderItem name=\"h0\" text=\"one\" width=\"100\"/>"
    L"<ListHeaderItem name=\"h1\" text=\"two\" width=\"100\"/></ListHeader>";

TEST_F(ListWindow, TheSeparatorGrabZoneReachesFourPixelsIntoTheHead) {
    CListUI* list = BuildList(L"", kTwoHeads);
    auto* head = Find<CListHeaderItemUI>(L"h0");
    Click(91, 15);
    EXPECT_EQ((std::vector<Note>{{L"h0", L"headerclick", 0}}), notes);
    notes.clear();
    Press(93, 15);
    Move(113, 15, MK_LBUTTON);
    Release(113, 15);
    UpdateWindow(hwnd());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(120, head->GetPos().right - head->GetPos().left);
    EXPECT_EQ(120, list->GetListStyle()->rcColumn[0].right);
    EXPECT_EQ(120, Find<CListHeaderItemUI>(L"h1")->GetPos().left);

    // Down to the minimum width of 16 the drag is ignored until the pointer comes back.
    Press(118, 15);
    Move(14, 15, MK_LBUTTON);
    EXPECT_EQ(120, head->GetPos().right);
    Move(30, 15, MK_LBUTTON);
    Release(30, 15);
    UpdateWindow(hwnd());
    EXPECT_EQ(32, head->GetPos().right);
}

TEST_F(ListWindow, ANegativeSeparatorSitsAtTheLeftEdge) {
    CListUI* list = BuildList(L"", kTwoHeads);
    auto* head = Find<CListHeaderItemUI>(L"h1");
    head->SetSepWidth(-4);
    Press(107, 15);
    Move(127, 15, MK_LBUTTON);
    Release(127, 15);
    UpdateWindow(hwnd());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(80, head->GetFixedWidth());
    EXPECT_EQ(180, list->GetListStyle()->rcColumn[1].right);
}

TEST_F(ListWindow, ScaledHeadsShareTheHeaderLessTheScrollBar) {
    CListUI* list = BuildList(L"vscrollbar=\"true\"",
                              L"<ListHeader scaleheader=\"true\"><ListHeaderItem name=\"a\" scale=\"30\" text=\"a long "
                              L"head text\"/><ListHeaderItem name=\"b\" scale=\"70\" width=\"10\"/></ListHeader>");
    const int bar = list->GetVerticalScrollBar()->GetFixedWidth();
    const RECT a = Find<CControlUI>(L"a")->GetPos();
    const RECT b = Find<CControlUI>(L"b")->GetPos();
    EXPECT_EQ((320 - bar) * 30 / 100, a.right - a.left);
    EXPECT_EQ(static_cast<int>((320 - bar) * 0.7), b.right - b.left);
}

TEST_F(ListWindow, FortyHeadsFillOnlyThirtyTwoColumns) {
    std::wstring heads = L"<ListHeader>";
    for (int i = 0; i < 40; ++i) heads += L"<ListHeaderItem width=\"20\"/>";
    CListUI* list = BuildList(L"", heads + L"</ListHeader><ListTextElement/>");
    EXPECT_EQ(32, list->GetListStyle()->nColumns);
    EXPECT_EQ(620, list->GetListStyle()->rcColumn[31].left);
    EXPECT_EQ(780, list->GetHeader()->GetItemAt(39)->GetPos().left);
}

// Row colours come from the list's style: selected, plain, alternate and hot rows.
TEST_F(ListWindow, RowsPaintWithTheirOwnersColours) {
    CListUI* list = BuildList(L"header=\"hidden\" itembkcolor=\"#FF00FF00\" itemaltbk=\"true\" "
                              L"itemselectedbkcolor=\"#FF0000FF\" itemhotbkcolor=\"#00000000\"",
                              LabelRows(4, L"text=\"\""));
    list->SelectItem(0);
    Move(300, 50);
    PixelCanvas canvas(320, 200);
    Paint(list, canvas);
    EXPECT_EQ(0x0000FFu, canvas.rgb(300, 10));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(300, 30));
    EXPECT_EQ(0x00FF00u, canvas.rgb(300, 50));

    // With a hot colour the hovered row takes it.
    list->SetAttribute(L"itemhotbkcolor", L"#FFFF0000");
    PixelCanvas hot(320, 200);
    Paint(list, hot);
    EXPECT_EQ(0xFF0000u, hot.rgb(300, 50));
}

// Nine one-link columns of 30 pixels: the ninth link is drawn but cannot be clicked.
TEST_F(ListWindow, ATextRowKeepsEightClickableLinks) {
    std::wstring heads = L"<ListHeader height=\"20\">";
    for (int i = 0; i < 9; ++i) heads += L"<ListHeaderItem width=\"30\"/>";
    CListUI* list = BuildList(L"itemshowhtml=\"true\"", heads + L"</ListHeader><ListTextElement name=\"t\" height=\"20\"/>");
    auto* row = Find<CListTextElementUI>(L"t");
    for (int i = 0; i < 9; ++i) row->SetText(i, L"{a}WWWW{/a}");
    EXPECT_STREQ(L"{a}WWWW{/a}", row->GetText(8));
    EXPECT_EQ(nullptr, row->GetText(9));
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
    EXPECT_EQ(UINT{4 | 2}, row->GetControlFlags());
    Click(7 * 30 + 3, 30);
    EXPECT_EQ((std::vector<Note>{{L"t", L"link", 7}}), NotesOf(L"link"));
    notes.clear();
    Click(8 * 30 + 3, 30);
    EXPECT_TRUE(NotesOf(L"link").empty());
    EXPECT_EQ((std::vector<Note>{{L"t", L"itemclick", 0}}), NotesOf(L"itemclick"));
    EXPECT_EQ(0, list->GetCurSel());
}

}  // namespace
