// CListBodyUI: the scrolling part of a list that holds its rows. It lays the rows out
// under the header's columns and keeps the header and the column rectangles in step
// with its horizontal scrolling.
#pragma once

#include "UIVerticalLayout.h"

namespace HiveUI {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
public:
    explicit CListBodyUI(CListUI* owner);

    void SetScrollPos(SIZE pos, bool notify = true) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void DoEvent(TEventInfo& event) override;

private:
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

    CListUI* m_owner;
};

}  // namespace HiveUI
