#include "UIListBody.h"

#include <algorithm>

#include "LayoutSizing.h"
#include "UIList.h"
#include "UIListHeader.h"
#include "UIScrollBar.h"

namespace HiveUI {

using namespace LayoutSizing;

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner) { m_childrenLag = true; }

RECT CListBodyUI::WorkRect() const {
    RECT rc = VisibleContentRect(GetInset());
    // A fixed bar keeps its room even while hidden, so rows do not jump when it shows.
    const CScrollBarUI* bar = m_verticalScrollBar;
    if (bar != nullptr && !bar->IsVisible() && m_owner->IsFixedScrollbar()) rc.right -= bar->GetFixedWidth();
    return rc;
}

CListBodyUI::TMeasure CListBodyUI::MeasureRows(SIZE available) const {
    TMeasure measure;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* row = GetItemAt(i);
        if (!row->IsVisible() || row->IsFloat()) continue;
        ++measure.counted;
        const RECT pad = row->GetPadding();
        SIZE size = row->EstimateSize(available);
        if (size.cy == 0) {
            ++measure.adjustables;
        } else {
            size.cy = ClampHeight(row, size.cy);
        }
        measure.fixedHeight += size.cy + pad.top + pad.bottom;
        measure.neededWidth = std::max<int>(measure.neededWidth, ClampWidth(row, std::max<LONG>(size.cx, 0)));
    }
    if (measure.counted > 0) measure.fixedHeight += (measure.counted - 1) * m_childPadding;
    return measure;
}

void CListBodyUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    m_placed.clear();
    m_placedShift = m_childShift.y;
    m_placedCount = m_items.GetSize();
    m_placedInOrder = true;
    RECT rc = WorkRect();
    CScrollBarUI* vbar = ShownBar(m_verticalScrollBar);
    CScrollBarUI* hbar = ShownBar(m_horizontalScrollBar);
    SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
    if (hbar != nullptr) available.cx += hbar->GetScrollRange();

    TMeasure measure = MeasureRows(available);
    CListHeaderUI* header = m_owner->GetHeader();
    if (header != nullptr && header->GetCount() > 0) {
        measure.neededWidth = std::max<int>(0, header->EstimateSize({rc.right - rc.left, rc.bottom - rc.top}).cx);
        if (hbar != nullptr) {
            RECT place = header->GetPos();
            place.left = rc.left - hbar->GetScrollPos();
            header->SetPos(place, true);
        }
    }
    const int share = measure.adjustables > 0
                          ? std::max<int>(0, (available.cy - measure.fixedHeight) / measure.adjustables)
                          : 0;

    const int x = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    int y = rc.top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    int remaining = available.cy;
    int fixedRemaining = measure.fixedHeight;
    int adjusted = 0;
    int placed = 0;
    int neededHeight = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* row = GetItemAt(i);
        if (!row->IsVisible()) continue;
        if (row->IsFloat()) {
            SetFloatPos(i);
            m_placedInOrder = false;
            continue;
        }
        const RECT pad = row->GetPadding();
        remaining -= pad.top;
        fixedRemaining -= pad.top + pad.bottom + (placed++ > 0 ? m_childPadding : 0);
        int cy = row->EstimateSize({available.cx - pad.left - pad.right, remaining}).cy;
        if (cy == 0) {
            cy = ++adjusted == measure.adjustables ? std::max<int>(0, remaining - pad.bottom - fixedRemaining) : share;
            cy = ClampHeight(row, cy);
        } else {
            cy = ClampHeight(row, cy);
            fixedRemaining -= cy;
        }
        const int cx = ClampWidth(row, std::max<int>(measure.neededWidth, available.cx - pad.left - pad.right));
        row->SetPos({x + pad.left, y + pad.top, x + pad.left + cx, y + pad.top + cy + pad.bottom}, false);
        Placed(i, row->GetPos());
        y += cy + m_childPadding + pad.top + pad.bottom;
        neededHeight += cy + pad.top + pad.bottom;
        remaining -= cy + m_childPadding + pad.bottom;
    }
    if (measure.counted > 0) neededHeight += (measure.counted - 1) * m_childPadding;
    if (!FitHorizontalBar(rc, measure.neededWidth)) {
        SetPos(m_item, needInvalidate);
        return;
    }
    ProcessScrollBar(rc, measure.neededWidth, GridHeight(neededHeight, rc.right - rc.left));
}

bool CListBodyUI::FitHorizontalBar(RECT& work, int neededWidth) {
    CScrollBarUI* bar = m_horizontalScrollBar;
    if (bar == nullptr) return true;
    const int excess = neededWidth - (work.right - work.left);
    if (excess > 0) {
        if (!bar->IsVisible()) {
            bar->SetVisible(true);
            bar->SetScrollPos(0);
            work.bottom -= bar->GetFixedHeight();
        }
        bar->SetScrollRange(excess);
        return true;
    }
    if (!bar->IsVisible()) return true;
    const bool scrolled = bar->GetScrollPos() != 0;
    bar->SetVisible(false);
    bar->SetScrollRange(0);
    bar->SetScrollPos(0);
    work.bottom += bar->GetFixedHeight();
    return !scrolled;
}

// Rows of a fixed width that stand several to a line (container rows of a plain list)
// need only as many lines as the grid has.
int CListBodyUI::GridHeight(int neededHeight, int workWidth) const {
    if (m_owner->GetListType() != UILIST_LIST || m_items.IsEmpty()) return neededHeight;
    CControlUI* first = GetItemAt(0);
    if (first->GetInterface(L"ListContainerElement") == nullptr) return neededHeight;
    const int width = first->GetFixedWidth();
    if (width <= 0 || workWidth / width <= 0) return neededHeight;
    const int perLine = workWidth / width;
    return ((m_items.GetSize() - 1) / perLine + 1) * first->GetFixedHeight();
}

void CListBodyUI::Placed(int index, const RECT& at) {
    if (!m_placed.empty() && (at.top < m_placed.back().top || at.bottom < m_placed.back().bottom))
        m_placedInOrder = false;
    m_placed.push_back(TPlacedRow{index, at.top, at.bottom});
}

bool CListBodyUI::PlacedRowsHold() const {
    return m_placedInOrder && !IsLayoutNeeded() && m_placedCount == m_items.GetSize();
}

void CListBodyUI::PlacedRowsMeeting(int top, int bottom, size_t& first, size_t& last) const {
    // Rows have moved up by the scrolling since they were placed.
    const int moved = m_childShift.y - m_placedShift;
    const auto begin = m_placed.begin(), end = m_placed.end();
    const auto from =
        std::partition_point(begin, end, [&](const TPlacedRow& row) { return row.bottom - moved <= top; });
    const auto to = std::partition_point(from, end, [&](const TPlacedRow& row) { return row.top - moved < bottom; });
    first = static_cast<size_t>(from - begin);
    last = static_cast<size_t>(to - begin);
}

void CListBodyUI::ChildrenMeeting(const RECT& rect, int& first, int& last) const {
    CVerticalLayoutUI::ChildrenMeeting(rect, first, last);
    if (!PlacedRowsHold()) return;
    RECT band;
    if (!::IntersectRect(&band, &rect, &m_item)) band = RECT{0, 0, 0, 0};
    size_t from = 0, to = 0;
    PlacedRowsMeeting(band.top, band.bottom, from, to);
    first = from < to ? m_placed[from].index : 0;
    last = from < to ? m_placed[to - 1].index + 1 : 0;
}

void CListBodyUI::SetScrollPos(SIZE pos, bool) {
    int dx = 0;
    int dy = 0;
    if (CScrollBarUI* bar = ShownBar(m_verticalScrollBar)) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cy);
        dy = bar->GetScrollPos() - old;
    }
    if (CScrollBarUI* bar = ShownBar(m_horizontalScrollBar)) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cx);
        dx = bar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    // Every visible, non-floating row moves by (-dx, -dy) as it catches up; reading a
    // row's place brings it there.
    const RECT view = VisibleContentRect(GetInset());
    const bool placed = PlacedRowsHold();
    size_t leaving = 0, leavingEnd = 0;
    if (placed) PlacedRowsMeeting(view.top, view.bottom, leaving, leavingEnd);
    m_childShift.x += dx;
    m_childShift.y += dy;
    if (placed) {
        size_t entering = 0, enteringEnd = 0;
        PlacedRowsMeeting(view.top, view.bottom, entering, enteringEnd);
        for (size_t k = leaving; k < leavingEnd; ++k) ChildAt(m_placed[k].index)->GetPos();
        for (size_t k = entering; k < enteringEnd; ++k) ChildAt(m_placed[k].index)->GetPos();
    } else {
        for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->GetPos();
    }
    Invalidate();
    ScrollColumns(dx);
}

void CListBodyUI::ScrollColumns(int dx) {
    CListHeaderUI* header = m_owner->GetHeader();
    if (header == nullptr) return;
    TListStyle& style = *m_owner->GetListStyle();
    style.SetColumnCount(header->GetCount());
    const bool hidden = !header->IsVisible();
    if (hidden) m_owner->SetHeaderItemsShown(true);
    for (int i = 0; i < style.nColumns; ++i) {
        CControlUI* head = header->GetItemAt(i);
        if (!head->IsVisible() || head->IsFloat()) continue;
        RECT rc = head->GetPos();
        ::OffsetRect(&rc, -dx, 0);
        head->SetPos(rc, true);
        style.rcColumn[i] = head->GetPos();
    }
    if (hidden) m_owner->SetHeaderItemsShown(false);
}

void CListBodyUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        m_owner->DoEvent(event);
        return;
    }
    CVerticalLayoutUI::DoEvent(event);
}

}  // namespace HiveUI
