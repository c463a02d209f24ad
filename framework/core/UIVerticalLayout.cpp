#include "UIVerticalLayout.h"

#include <algorithm>

#include "LayoutSizing.h"
#include "UIManager.h"
#include "UIRender.h"
#include "UIScrollBar.h"

namespace HiveUI {

using namespace LayoutSizing;

namespace {

constexpr UINT kDragging = 0x40;

}  // namespace

CVerticalLayoutUI::CVerticalLayoutUI() = default;

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_sepSize != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CVerticalLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const RECT rc = VisibleContentRect(ScaleRect(m_inset));
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    CScrollBarUI* vbar = ShownBar(m_verticalScrollBar);
    CScrollBarUI* hbar = ShownBar(m_horizontalScrollBar);
    // Only the cross axis grows by its scroll range: sharing the vertical range among
    // flexible children would make them fill it, and the bar would never go away.
    SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
    if (hbar != nullptr) available.cx += hbar->GetScrollRange();

    const TMeasure measure = MeasureChildren(available);
    const int share =
        measure.adjustables > 0 ? std::max<int>(0, (available.cy - measure.fixedTotal) / measure.adjustables) : 0;

    SIZE remaining = available;
    int y = rc.top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    int fixedRemaining = measure.fixedTotal;
    int adjusted = 0;
    int placed = 0;
    int neededHeight = 0;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(it);
            continue;
        }
        const RECT pad = child->GetPadding();
        remaining.cy -= pad.top;
        const SIZE offered = CutToLimits(child, {remaining.cx - pad.left - pad.right, remaining.cy});
        fixedRemaining -= pad.top + pad.bottom + (placed > 0 ? m_childPadding : 0);
        ++placed;
        SIZE size = child->EstimateSize(offered);
        if (size.cy == 0) {
            size.cy = ++adjusted == measure.adjustables ? std::max<int>(0, remaining.cy - pad.bottom - fixedRemaining) : share;
            size.cy = ClampHeight(child, size.cy);
        } else {
            size.cy = ClampHeight(child, size.cy);
            fixedRemaining -= size.cy;
        }
        size.cx = std::max<LONG>(size.cx, 0);
        if (size.cx == 0) size.cx = remaining.cx - pad.left - pad.right;
        size.cx = std::max<LONG>(std::min(size.cx, offered.cx), child->GetMinWidth());

        RECT pos;
        PlaceAcross(pos, rc, pad, size.cx);
        pos.top = y + pad.top;
        pos.bottom = y + pad.top + size.cy;
        child->SetPos(pos, false);

        y += size.cy + m_childPadding + pad.top + pad.bottom;
        neededHeight += size.cy + pad.top + pad.bottom;
        remaining.cy -= size.cy + m_childPadding + pad.bottom;
    }
    neededHeight += (measure.counted - 1) * m_childPadding;
    ProcessScrollBar(rc, measure.neededCross, neededHeight);
}

CVerticalLayoutUI::TMeasure CVerticalLayoutUI::MeasureChildren(SIZE available) const {
    TMeasure measure;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        ++measure.counted;
        const RECT pad = child->GetPadding();
        SIZE size = child->EstimateSize(CutToLimits(child, {available.cx - pad.left - pad.right, available.cy}));
        if (size.cy == 0) {
            ++measure.adjustables;
        } else {
            size.cy = ClampHeight(child, size.cy);
        }
        measure.fixedTotal += size.cy + pad.top + pad.bottom;
        size.cx = ClampWidth(child, std::max<LONG>(size.cx, 0));
        measure.neededCross = std::max<int>(measure.neededCross, size.cx + pad.left + pad.right);
    }
    measure.fixedTotal += (measure.counted - 1) * m_childPadding;
    return measure;
}

// Places a child of the given width by the child alignment, following the horizontal scroll.
void CVerticalLayoutUI::PlaceAcross(RECT& pos, const RECT& rc, const RECT& pad, LONG cx) const {
    CScrollBarUI* hbar = ShownBar(m_horizontalScrollBar);
    const int range = hbar != nullptr ? hbar->GetScrollRange() : 0;
    const int scroll = hbar != nullptr ? hbar->GetScrollPos() : 0;
    if (m_childAlign == UICHILD_CENTER) {
        const int x = (rc.left + rc.right) / 2 + range / 2 - scroll;
        pos.left = x - cx / 2;
        pos.right = x + cx - cx / 2;
    } else if (m_childAlign == UICHILD_RIGHT) {
        const int x = rc.right + range - scroll;
        pos.left = x - pad.right - cx;
        pos.right = x - pad.right;
    } else {
        const int x = rc.left - scroll;
        pos.left = x + pad.left;
        pos.right = x + pad.left + cx;
    }
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"sepheight") == 0) {
        SetSepHeight(_wtoi(value));
    } else if (_wcsicmp(name, L"sepimm") == 0) {
        SetSepImmMode(_wcsicmp(value, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CVerticalLayoutUI::SetSepImmMode(bool immediate) {
    if (m_immediate == immediate) return;
    if ((m_buttonState & kDragging) != 0 && !m_immediate && m_manager != nullptr) m_manager->RemovePostPaint(this);
    m_immediate = immediate;
}

RECT CVerticalLayoutUI::GetThumbRect(bool useNew) const {
    const RECT base = (m_buttonState & kDragging) != 0 && useNew ? m_newPos : m_item;
    if (m_sepSize >= 0) return {base.left, std::max<LONG>(base.bottom - m_sepSize, base.top), base.right, base.bottom};
    return {base.left, base.top, base.right, std::min<LONG>(base.top - m_sepSize, base.bottom)};
}

void CVerticalLayoutUI::DoPostPaint(HDC hdc, const RECT&) {
    if ((m_buttonState & kDragging) == 0 || m_immediate) return;
    CUIRender::DrawColor(hdc, GetThumbRect(true), 0xAA000000);
}

// Moves the dragged edge to follow the pointer; false when the move is ignored.
bool CVerticalLayoutUI::DragTo(POINT pt) {
    const int d = pt.y - m_lastMouse.y;
    m_lastMouse = pt;
    RECT candidate = m_newPos;
    const int minimum = GetMinHeight();
    const int maximum = GetMaxHeight();
    const int height = m_newPos.bottom - m_newPos.top;
    // Both bands follow the horizontal layout's rule: the pointer must be on the band's
    // far side of the edge before the edge follows it.
    if (m_sepSize >= 0) {
        if ((d > 0 && pt.y < m_newPos.bottom - m_sepSize) || (d < 0 && pt.y > m_newPos.bottom)) return false;
        candidate.bottom += d;
        const int newHeight = candidate.bottom - candidate.top;
        if (newHeight <= minimum) {
            if (height <= minimum) return false;
            candidate.bottom = candidate.top + minimum;
        }
        if (newHeight >= maximum) {
            if (height >= maximum) return false;
            candidate.bottom = candidate.top + maximum;
        }
    } else {
        if ((d > 0 && pt.y < m_newPos.top) || (d < 0 && pt.y > m_newPos.top - m_sepSize)) return false;
        candidate.top += d;
        const int newHeight = candidate.bottom - candidate.top;
        if (newHeight <= minimum) {
            if (height <= minimum) return false;
            candidate.top = candidate.bottom - minimum;
        }
        if (newHeight >= maximum) {
            if (height >= maximum) return false;
            candidate.top = candidate.bottom - maximum;
        }
    }
    RECT area = GetThumbRect(true);
    m_newPos = candidate;
    // The fixed height is kept in pixels here as the horizontal layout keeps its width.
    m_fixedSize.cy = m_newPos.bottom - m_newPos.top;
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

void CVerticalLayoutUI::DoEvent(TEventInfo& event) {
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
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

CControlUI* CreateVerticalLayoutControl() { return new CVerticalLayoutUI; }

}  // namespace HiveUI
