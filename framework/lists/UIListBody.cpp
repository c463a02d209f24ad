#include "UIListBody.h"

#include <algorithm>

#include "LayoutSizing.h"
#include "UIList.h"
#include "UIListHeader.h"
#include "UIScrollBar.h"

namespace HiveUI {

using namespace LayoutSizing;

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner) {}

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
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* row = GetItemAt(i);
        if (!row->IsVisible() || row->IsFloat()) continue;
        RECT rc = row->GetPos();
        ::OffsetRect(&rc, -dx, -dy);
        row->SetPos(rc, true);
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
