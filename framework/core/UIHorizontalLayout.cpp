#include "UIHorizontalLayout.h"

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

CHorizontalLayoutUI::CHorizontalLayoutUI() = default;

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_sepSize != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CHorizontalLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const RECT rc = VisibleContentRect(ScaleRect(m_inset));
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    CScrollBarUI* vbar = ShownBar(m_verticalScrollBar);
    CScrollBarUI* hbar = ShownBar(m_horizontalScrollBar);
    // Only the cross axis grows by its scroll range, so a shown bar can go away again.
    SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
    if (vbar != nullptr) available.cy += vbar->GetScrollRange();

    const TMeasure measure = MeasureChildren(available);
    const int share =
        measure.adjustables > 0 ? std::max<int>(0, (available.cx - measure.fixedTotal) / measure.adjustables) : 0;

    SIZE remaining = available;
    int x = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    int fixedRemaining = measure.fixedTotal;
    int adjusted = 0;
    int placed = 0;
    int neededWidth = 0;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(it);
            continue;
        }
        const RECT pad = child->GetPadding();
        remaining.cx -= pad.left;
        const SIZE offered = CutToLimits(child, {remaining.cx, remaining.cy - pad.top - pad.bottom});
        fixedRemaining -= pad.left + pad.right + (placed > 0 ? m_childPadding : 0);
        ++placed;
        SIZE size = child->EstimateSize(offered);
        if (size.cx == 0) {
            size.cx = ++adjusted == measure.adjustables ? std::max<int>(0, remaining.cx - pad.right - fixedRemaining) : share;
            size.cx = ClampWidth(child, size.cx);
        } else {
            size.cx = ClampWidth(child, size.cx);
            fixedRemaining -= size.cx;
        }
        // The cross size is the child's maximum, filling the offered height when unbounded.
        size.cy = child->GetMaxHeight();
        if (size.cy == 0) size.cy = remaining.cy - pad.top - pad.bottom;
        size.cy = std::max<LONG>(std::min(std::max<LONG>(size.cy, 0), offered.cy), child->GetMinHeight());

        RECT pos;
        PlaceAcross(pos, rc, pad, size.cy);
        pos.left = x + pad.left;
        pos.right = x + pad.left + size.cx;
        child->SetPos(pos, false);

        x += size.cx + m_childPadding + pad.left + pad.right;
        neededWidth += size.cx + pad.left + pad.right;
        remaining.cx -= size.cx + m_childPadding + pad.right;
    }
    neededWidth += (measure.counted - 1) * m_childPadding;
    ProcessScrollBar(rc, neededWidth, measure.neededCross);
}

CHorizontalLayoutUI::TMeasure CHorizontalLayoutUI::MeasureChildren(SIZE available) const {
    TMeasure measure;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        ++measure.counted;
        const RECT pad = child->GetPadding();
        SIZE size = child->EstimateSize(CutToLimits(child, {available.cx, available.cy - pad.top - pad.bottom}));
        if (size.cx == 0) {
            ++measure.adjustables;
        } else {
            size.cx = ClampWidth(child, size.cx);
        }
        measure.fixedTotal += size.cx + pad.left + pad.right;
        size.cy = ClampHeight(child, std::max<LONG>(size.cy, 0));
        measure.neededCross = std::max<int>(measure.neededCross, size.cy + pad.top + pad.bottom);
    }
    measure.fixedTotal += (measure.counted - 1) * m_childPadding;
    return measure;
}

// Places a child of the given height by the vertical alignment, following the vertical scroll.
void CHorizontalLayoutUI::PlaceAcross(RECT& pos, const RECT& rc, const RECT& pad, LONG cy) const {
    CScrollBarUI* vbar = ShownBar(m_verticalScrollBar);
    const int range = vbar != nullptr ? vbar->GetScrollRange() : 0;
    const int scroll = vbar != nullptr ? vbar->GetScrollPos() : 0;
    if (m_childVAlign == UICHILD_VCENTER) {
        const int y = (rc.top + rc.bottom) / 2 + range / 2 - scroll;
        pos.top = y - cy / 2;
        pos.bottom = y + cy - cy / 2;
    } else if (m_childVAlign == UICHILD_BOTTOM) {
        const int y = rc.bottom + range - scroll;
        pos.top = y - pad.bottom - cy;
        pos.bottom = y - pad.bottom;
    } else {
        const int y = rc.top - scroll;
        pos.top = y + pad.top;
        pos.bottom = y + pad.top + cy;
    }
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"sepwidth") == 0) {
        SetSepWidth(_wtoi(value));
    } else if (_wcsicmp(name, L"sepimm") == 0) {
        SetSepImmMode(_wcsicmp(value, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CHorizontalLayoutUI::SetSepImmMode(bool immediate) {
    if (m_immediate == immediate) return;
    if ((m_buttonState & kDragging) != 0 && !m_immediate && m_manager != nullptr) m_manager->RemovePostPaint(this);
    m_immediate = immediate;
}

RECT CHorizontalLayoutUI::GetThumbRect(bool useNew) const {
    const RECT base = (m_buttonState & kDragging) != 0 && useNew ? m_newPos : m_item;
    if (m_sepSize >= 0) return {base.right - m_sepSize, base.top, base.right, base.bottom};
    return {base.left, base.top, base.left - m_sepSize, base.bottom};
}

void CHorizontalLayoutUI::DoPostPaint(HDC hdc, const RECT&) {
    if ((m_buttonState & kDragging) == 0 || m_immediate) return;
    CUIRender::DrawColor(hdc, GetThumbRect(true), 0xAA000000);
}

// Moves the dragged edge to follow the pointer; false when the move is ignored.
bool CHorizontalLayoutUI::DragTo(POINT pt) {
    const int d = pt.x - m_lastMouse.x;
    m_lastMouse = pt;
    RECT candidate = m_newPos;
    const int minimum = GetMinWidth();
    const int maximum = GetMaxWidth();
    const int width = m_newPos.right - m_newPos.left;
    if (m_sepSize >= 0) {
        if ((d > 0 && pt.x < m_newPos.right - m_sepSize) || (d < 0 && pt.x > m_newPos.right)) return false;
        candidate.right += d;
        const int newWidth = candidate.right - candidate.left;
        if (newWidth <= minimum) {
            if (width <= minimum) return false;
            candidate.right = candidate.left + minimum;
        }
        if (newWidth >= maximum) {
            if (width >= maximum) return false;
            candidate.right = candidate.left + maximum;
        }
    } else {
        if ((d > 0 && pt.x < m_newPos.left) || (d < 0 && pt.x > m_newPos.left - m_sepSize)) return false;
        candidate.left += d;
        const int newWidth = candidate.right - candidate.left;
        if (newWidth <= minimum) {
            if (width <= minimum) return false;
            candidate.left = candidate.right - minimum;
        }
        if (newWidth >= maximum) {
            if (width >= maximum) return false;
            candidate.left = candidate.right - maximum;
        }
    }
    RECT area = GetThumbRect(true);
    m_newPos = candidate;
    m_fixedSize.cx = m_newPos.right - m_newPos.left;
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

void CHorizontalLayoutUI::DoEvent(TEventInfo& event) {
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
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

CControlUI* CreateHorizontalLayoutControl() { return new CHorizontalLayoutUI; }

}  // namespace HiveUI
