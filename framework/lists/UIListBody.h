// CListBodyUI: the scrolling part of a list that holds its rows. It lays the rows out
// under the header's columns and keeps the header and the column rectangles in step
// with its horizontal scrolling.
#pragma once

#include <vector>

#include "UIVerticalLayout.h"

namespace HiveUI {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
public:
    explicit CListBodyUI(CListUI* owner);

    void SetScrollPos(SIZE pos, bool notify = true) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void DoEvent(TEventInfo& event) override;

protected:
    void ChildrenMeeting(const RECT& rect, int& first, int& last) const override;

private:
    // A row as the last layout placed it; rows stand top to bottom in the order placed.
    struct TPlacedRow {
        int index;
        int top;
        int bottom;
    };
    // What the measuring pass finds out about the visible, non-floating rows.
    struct TMeasure {
        int counted = 0;
        int adjustables = 0;
        int fixedHeight = 0;
        int neededWidth = 0;
    };
    RECT WorkRect() const;
    TMeasure MeasureRows(SIZE available) const;
    // The needed height of rows that stand several to a line, or the given one.
    int GridHeight(int neededHeight, int workWidth) const;
    // Shows, hides or ranges the horizontal bar for the needed width; the work rect
    // loses or gets back the bar's height. False when rows were placed scrolled by a
    // bar that is now gone, so that they must be placed again.
    bool FitHorizontalBar(RECT& work, int neededWidth);
    // Moves the header's columns with a horizontal scroll and copies them into the style.
    void ScrollColumns(int dx);
    void Placed(int index, const RECT& at);
    // Whether the placed rows still tell where every row stands (less the scrolling
    // since): no layout is pending, no row came or went, none floats, all in order.
    bool PlacedRowsHold() const;
    // The placed rows [first, last) that meet the band from top to bottom as they stand now.
    void PlacedRowsMeeting(int top, int bottom, size_t& first, size_t& last) const;

    CListUI* m_owner;
    // Scrolling moves only the rows in view and those leaving it (the others catch up
    // when read), and painting starts at the first row in view: both find those rows
    // among the placed ones instead of walking every row.
    std::vector<TPlacedRow> m_placed;
    int m_placedShift = 0;  // the vertical scroll shift the placed rows stood at
    int m_placedCount = 0;  // the number of rows when they were placed
    bool m_placedInOrder = false;
};

}  // namespace HiveUI
