#include "UITileLayout.h"

#include <algorithm>

#include "LayoutSizing.h"
#include "SkinValue.h"
#include "UIScrollBar.h"

namespace HiveUI {

using namespace LayoutSizing;

CTileLayoutUI::CTileLayoutUI() = default;

const wchar_t* CTileLayoutUI::GetClass() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"TileLayout") == 0) return static_cast<CTileLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size) {
    if (m_itemSize.cx == size.cx && m_itemSize.cy == size.cy) return;
    m_itemSize = size;
    NeedLayout();
}

void CTileLayoutUI::SetColumns(int columns) {
    if (columns <= 0) return;
    m_columns = columns;
    NeedLayout();
}

void CTileLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"itemsize") == 0) {
        SetItemSize(ReadSkinSize(value));
    } else if (_wcsicmp(name, L"columns") == 0) {
        SetColumns(_wtoi(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

// The tallest estimate (with padding) among the visible, non-floating children that
// share a row with the child at `first`.
int CTileLayoutUI::RowHeight(int first, int columns, int cellWidth) const {
    int height = 0;
    for (int it = first, k = 0; it < m_items.GetSize() && k < columns; ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        const RECT pad = child->GetPadding();
        const bool edge = k == 0 || k == columns - 1;
        SIZE available = {cellWidth - pad.left - pad.right - (edge ? m_childPadding / 2 : m_childPadding), 9999};
        available.cx = ClampWidth(child, available.cx);
        const SIZE size = child->EstimateSize(available);
        height = std::max<int>(height, ClampHeight(child, size.cy) + pad.top + pad.bottom);
        ++k;
    }
    return height;
}

void CTileLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    RECT rc = VisibleContentRect(m_inset);
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    CScrollBarUI* vbar = ShownBar(m_verticalScrollBar);
    CScrollBarUI* hbar = ShownBar(m_horizontalScrollBar);
    const int width = rc.right - rc.left;
    int columns = m_columns;
    if (m_itemSize.cx > 0) columns = width / m_itemSize.cx;
    // A narrow or empty rect still lays out one column rather than dividing by zero.
    if (columns < 1) columns = 1;
    const int cellWidth = (width + (hbar != nullptr ? hbar->GetScrollRange() : 0)) / columns;
    const int half = m_childPadding / 2;

    const int x0 = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    int x = x0;
    int y = rc.top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    int rowHeight = 0;
    int neededHeight = 0;
    int k = 0;
    for (int it = 0; it < m_items.GetSize(); ++it) {
        CControlUI* child = static_cast<CControlUI*>(m_items[it]);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(it);
            continue;
        }
        const int column = k % columns;
        if (column == 0) rowHeight = RowHeight(it, columns, cellWidth);
        const RECT pad = child->GetPadding();
        RECT tile = {x + pad.left + half, y + pad.top, x + cellWidth - pad.right - half, y + rowHeight};
        if (column == 0) tile.left -= half;
        if (column == columns - 1) tile.right += half;

        SIZE size = child->EstimateSize({tile.right - tile.left, tile.bottom - tile.top});
        if (size.cx == 0) size.cx = tile.right - tile.left;
        if (size.cy == 0) size.cy = tile.bottom - tile.top;
        size.cx = ClampWidth(child, size.cx);
        size.cy = ClampHeight(child, size.cy);
        const LONG left = (tile.left + tile.right - size.cx) / 2;
        const LONG top = (tile.top + tile.bottom - size.cy) / 2;
        child->SetPos({left, top, left + size.cx, top + size.cy}, true);

        if (column == columns - 1) {
            x = x0;
            y += rowHeight + m_childPadding;
            rowHeight = 0;
        } else {
            x += cellWidth;
        }
        neededHeight = tile.bottom - rc.top + (vbar != nullptr ? vbar->GetScrollPos() : 0);
        ++k;
    }
    ProcessScrollBar(rc, 0, neededHeight);
}

CControlUI* CreateTileLayoutControl() { return new CTileLayoutUI; }

}  // namespace HiveUI
