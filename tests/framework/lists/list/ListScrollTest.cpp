#include <functional>

#include "ListKit.h"

using namespace HiveUI;

namespace {

// Counts the rows that a move places (each placement fires the row's OnSize).
struct PlacedRows {
    int count = 0;
    bool Placed(void*) {
        ++count;
        return true;
    }
};

// A thousand rows of 20 pixels in a 200-pixel view: a move places the rows in view and
// the ones leaving it; every other row is where it belongs as soon as it is read, and
// painting and clicks find the rows the view shows.
TEST_F(ListWindow, AScrollPlacesOnlyTheRowsInViewAndTheRestFollowWhenRead) {
    CListUI* list = BuildList(L"header=\"hidden\" vscrollbar=\"true\" itembkcolor=\"#FF00FF00\" itemaltbk=\"true\"",
                              LabelRows(1000, L"text=\"\""));
    PlacedRows placed;
    for (int i = 0; i < list->GetCount(); ++i) list->GetItemAt(i)->OnSize += MakeDelegate(&placed, &PlacedRows::Placed);
    const struct {
        const char* name;
        std::function<void()> move;
    } moves[] = {
        {"line down", [&] { list->LineDown(); }},
        {"page down", [&] { list->PageDown(); }},
        {"to a position", [&] { list->SetScrollPos({0, 12345}); }},
        {"to the end", [&] { list->EndDown(); }},
        {"page up", [&] { list->PageUp(); }},
        {"home", [&] { list->HomeUp(); }},
        {"back to the middle", [&] { list->SetScrollPos({0, 9990}); }},
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(move.name);
        placed.count = 0;
        move.move();
        // At most 11 rows show before and after.
        EXPECT_GT(placed.count, 0);
        EXPECT_LE(placed.count, 22);
        const int scrolled = list->GetScrollPos().cy;
        for (int i = 0; i < list->GetCount(); ++i) ASSERT_EQ(20 * i - scrolled, list->GetItemAt(i)->GetPos().top) << i;

        PixelCanvas canvas(320, 200);
        Paint(list, canvas);
        for (int y = 0; y < 200; y += 7) {
            const bool plain = (y + scrolled) / 20 % 2 == 0;
            ASSERT_EQ(plain ? 0x00FF00u : 0xFFFFFFu, canvas.rgb(100, y)) << y;
        }
        // The middle of the row that stands fully in view below the top edge.
        const int row = scrolled / 20 + 2;
        Click(50, 20 * row - scrolled + 10);
        EXPECT_EQ(row, list->GetCurSel());
        EXPECT_EQ(scrolled, list->GetScrollPos().cy);
    }
}

}  // namespace
