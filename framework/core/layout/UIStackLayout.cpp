#include "UIStackLayout.h"

#include <algorithm>

#include "DpiScale.h"
#include "LayoutSizing.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UIScrollBar.h"

namespace HiveUI {

using namespace LayoutSizing;

namespace {

constexpr UINT kDragging = 0x40;

}  // namespace

UINT CStackLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_sepSize != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CStackLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const RECT rc = VisibleContentRect(ScaleRect(m_inset));
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    const TLayoutAxis& along = m_axis;
    const TLayoutAxis& across = CrossAxis(m_axis);
    CScrollBarUI* bar = ShownBar(BarAlong(along));
    CScrollBarUI* crossBar = ShownBar(BarAlong(across));
    // Only the cross axis grows by its scroll range: sharing the range along the axis
    // among flexible children would make them fill it, and the bar would never go away.
    SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
    if (crossBar != nullptr) available.*across.extent += crossBar->GetScrollRange();

    const TMeasure measure = MeasureChildren(available);
    const int share = measure.adjustables > 0
                          ? std::max<int>(0, (available.*along.extent - measure.fixedTotal) / measure.adjustables)
                          : 0;

    SIZE remaining = available;
    int offset = rc.*along.start - (bar != nullptr ? bar->GetScrollPos() : 0);
    int fixedRemaining = measure.fixedTotal;
    int adjusted = 0;
    int placed = 0;
    int needed = 0;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(it);
            continue;
        }
        const RECT pad = child->GetPadding();
        const int padBefore = pad.*along.start;
        const int padAfter = pad.*along.end;
        const int padAcross = pad.*across.start + pad.*across.end;
        remaining.*along.extent -= padBefore;
        SIZE room = remaining;
        room.*across.extent -= padAcross;
        const SIZE offered = CutToLimits(child, room);
        fixedRemaining -= padBefore + padAfter + (placed > 0 ? m_childPadding : 0);
        ++placed;
        const SIZE estimate = child->EstimateSize(offered);
        int size = estimate.*along.extent;
        if (size == 0) {
            size = ++adjusted == measure.adjustables
                       ? std::max<int>(0, remaining.*along.extent - padAfter - fixedRemaining)
                       : share;
            size = ClampAlong(child, along, size);
        } else {
            size = ClampAlong(child, along, size);
            fixedRemaining -= size;
        }
        const LONG crossSize = CrossSize(child, estimate, offered.*across.extent, room.*across.extent);

        RECT pos;
        PlaceAcross(pos, rc, pad, crossSize);
        pos.*along.start = offset + padBefore;
        pos.*along.end = offset + padBefore + size;
        child->SetPos(pos, false);

        offset += size + m_childPadding + padBefore + padAfter;
        needed += size + padBefore + padAfter;
        remaining.*along.extent -= size + m_childPadding + padAfter;
    }
    needed += (measure.counted - 1) * m_childPadding;
    SIZE required;
    required.*along.extent = needed;
    required.*across.extent = measure.neededCross;
    ProcessScrollBar(rc, required.cx, required.cy);
}

CStackLayoutUI::TMeasure CStackLayoutUI::MeasureChildren(SIZE available) const {
    const TLayoutAxis& along = m_axis;
    const TLayoutAxis& across = CrossAxis(m_axis);
    TMeasure measure;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        ++measure.counted;
        const RECT pad = child->GetPadding();
        const int padAcross = pad.*across.start + pad.*across.end;
        SIZE room = available;
        room.*across.extent -= padAcross;
        const SIZE estimate = child->EstimateSize(CutToLimits(child, room));
        int size = estimate.*along.extent;
        if (size == 0) {
            ++measure.adjustables;
        } else {
            size = ClampAlong(child, along, size);
        }
        measure.fixedTotal += size + pad.*along.start + pad.*along.end;
        const int crossSize = ClampAlong(child, across, std::max<int>(estimate.*across.extent, 0));
        measure.neededCross = std::max(measure.neededCross, crossSize + padAcross);
    }
    measure.fixedTotal += (measure.counted - 1) * m_childPadding;
    return measure;
}

// A vertical layout takes a child's width from its estimate, a horizontal one takes a
// child's height from its maximum; either way none means the whole room across.
LONG CStackLayoutUI::CrossSize(CControlUI* child, SIZE estimate, LONG offered, LONG room) const {
    const TLayoutAxis& across = CrossAxis(m_axis);
    LONG size = m_axis.vertical ? estimate.*across.extent : (child->*across.maximum)();
    size = std::max<LONG>(size, 0);
    if (size == 0) size = room;
    return std::max<LONG>(std::min(size, offered), (child->*across.minimum)());
}

// Places a child of the given cross size by the child alignment across the axis,
// following the scroll across it.
void CStackLayoutUI::PlaceAcross(RECT& pos, const RECT& rc, const RECT& pad, LONG size) const {
    const TLayoutAxis& across = CrossAxis(m_axis);
    CScrollBarUI* bar = ShownBar(BarAlong(across));
    const int range = bar != nullptr ? bar->GetScrollRange() : 0;
    const int scroll = bar != nullptr ? bar->GetScrollPos() : 0;
    const UINT align = m_axis.vertical ? m_childAlign : m_childVAlign;
    if (align == (m_axis.vertical ? UICHILD_CENTER : UICHILD_VCENTER)) {
        const int middle = (rc.*across.start + rc.*across.end) / 2 + range / 2 - scroll;
        pos.*across.start = middle - size / 2;
        pos.*across.end = middle + size - size / 2;
    } else if (align == (m_axis.vertical ? UICHILD_RIGHT : UICHILD_BOTTOM)) {
        const int edge = rc.*across.end + range - scroll;
        pos.*across.start = edge - pad.*across.end - size;
        pos.*across.end = edge - pad.*across.end;
    } else {
        const int edge = rc.*across.start - scroll;
        pos.*across.start = edge + pad.*across.start;
        pos.*across.end = edge + pad.*across.start + size;
    }
}

void CStackLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"sepimm") == 0) {
        SetSepImmMode(_wcsicmp(value, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CStackLayoutUI::SetSepImmMode(bool immediate) {
    if (m_immediate == immediate) return;
    if ((m_buttonState & kDragging) != 0 && !m_immediate && m_manager != nullptr) m_manager->RemovePostPaint(this);
    m_immediate = immediate;
}

// Only the vertical band is kept inside the layout; the horizontal one may reach past
// its far edge.
RECT CStackLayoutUI::GetThumbRect(bool useNew) const {
    const RECT base = (m_buttonState & kDragging) != 0 && useNew ? m_newPos : m_item;
    RECT thumb = base;
    if (m_sepSize >= 0) {
        thumb.*m_axis.start = base.*m_axis.end - m_sepSize;
        if (m_axis.vertical) thumb.*m_axis.start = std::max(thumb.*m_axis.start, base.*m_axis.start);
    } else {
        thumb.*m_axis.end = base.*m_axis.start - m_sepSize;
        if (m_axis.vertical) thumb.*m_axis.end = std::min(thumb.*m_axis.end, base.*m_axis.end);
    }
    return thumb;
}

void CStackLayoutUI::DoPostPaint(HDC hdc, const RECT&) {
    if ((m_buttonState & kDragging) == 0 || m_immediate) return;
    CUIRender::DrawColor(hdc, GetThumbRect(true), 0xAA000000);
}

// Moves the dragged edge to follow the pointer; false when the move is ignored.
bool CStackLayoutUI::DragTo(POINT pt) {
    const int at = pt.*m_axis.coord;
    const int d = at - m_lastMouse.*m_axis.coord;
    m_lastMouse = pt;
    const bool atEnd = m_sepSize >= 0;
    LONG RECT::*moving = atEnd ? m_axis.end : m_axis.start;
    // The edge follows the pointer only from the band on: a move forward is ignored while
    // the pointer is still before the band, a move back while it is still past it.
    const LONG edge = m_newPos.*moving;
    const LONG bandLow = std::min<LONG>(edge, edge - m_sepSize);
    const LONG bandHigh = std::max<LONG>(edge, edge - m_sepSize);
    if ((d > 0 && at < bandLow) || (d < 0 && at > bandHigh)) return false;
    RECT candidate = m_newPos;
    candidate.*moving += d;
    // A limit puts the moving edge at that distance from the edge that stays.
    const auto limitTo = [&](int limit) {
        candidate.*moving = atEnd ? candidate.*m_axis.start + limit : candidate.*m_axis.end - limit;
    };
    const int minimum = (this->*m_axis.minimum)();
    const int maximum = (this->*m_axis.maximum)();
    const int extent = Extent(m_newPos, m_axis);
    const int newExtent = Extent(candidate, m_axis);
    if (newExtent <= minimum) {
        if (extent <= minimum) return false;
        limitTo(minimum);
    }
    if (newExtent >= maximum) {
        if (extent >= maximum) return false;
        limitTo(maximum);
    }
    RECT area = GetThumbRect(true);
    m_newPos = candidate;
    KeepDraggedSize();
    if (m_immediate) {
        m_item = m_newPos;
        NeedParentLayout();
    } else if (m_manager != nullptr) {
        const RECT thumbNew = GetThumbRect(true);
        const RECT thumbOld = GetThumbRect(false);
        UnionRect(&area, &area, &thumbNew);
        UnionRect(&area, &area, &thumbOld);
        m_manager->InvalidateRect(area);
    }
    return true;
}

// The fixed size is kept in skin units, as every other size is, so that the next layout
// scales it back to the dragged pixels; the dragged edge moves to the pixel that scaling
// gives, so the release does not jump.
void CStackLayoutUI::KeepDraggedSize() {
    const int pixels = Extent(m_newPos, m_axis);
    CDpiScale* scale = m_manager != nullptr ? m_manager->GetDpiScale() : nullptr;
    const int units = scale != nullptr ? scale->ScaleBack(pixels) : pixels;
    m_fixedSize.*m_axis.extent = units;
    const int kept = scale != nullptr ? scale->Scale(units) : units;
    if (m_sepSize >= 0) {
        m_newPos.*m_axis.end = m_newPos.*m_axis.start + kept;
    } else {
        m_newPos.*m_axis.start = m_newPos.*m_axis.end - kept;
    }
}

void CStackLayoutUI::DoEvent(TEventInfo& event) {
    if (m_sepSize != 0) {
        const RECT thumb = GetThumbRect(false);
        if (event.Type == UIEVENT_BUTTONDOWN && IsEnabled() && PtInRect(&thumb, event.ptMouse)) {
            m_buttonState |= kDragging;
            m_lastMouse = event.ptMouse;
            m_newPos = m_item;
            if (!m_immediate && m_manager != nullptr) m_manager->AddPostPaint(this);
            return;
        }
        if (event.Type == UIEVENT_BUTTONUP && (m_buttonState & kDragging) != 0) {
            m_buttonState &= ~kDragging;
            m_item = m_newPos;
            if (!m_immediate && m_manager != nullptr) m_manager->RemovePostPaint(this);
            NeedParentLayout();
            return;
        }
        if (event.Type == UIEVENT_MOUSEMOVE && (m_buttonState & kDragging) != 0) {
            DragTo(event.ptMouse);
            return;
        }
        if (event.Type == UIEVENT_SETCURSOR && IsEnabled() && PtInRect(&thumb, event.ptMouse)) {
            ::SetCursor(::LoadCursor(nullptr, m_axis.vertical ? IDC_SIZENS : IDC_SIZEWE));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

}  // namespace HiveUI
