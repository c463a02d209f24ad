#include "UIListHeader.h"

#include <algorithm>
#include <cwchar>

#include "LayoutSizing.h"
#include "SkinValue.h"
#include "UIListHeaderItem.h"
#include "UIManager.h"
#include "UIScrollBar.h"

namespace HiveUI {

using namespace LayoutSizing;

CControlUI* CreateListHeaderControl() { return new CListHeaderUI; }

const wchar_t* CListHeaderUI::GetClass() const { return L"ListHeaderUI"; }

LPVOID CListHeaderUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListHeader") == 0) return static_cast<CListHeaderUI*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

void CListHeaderUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"scaleheader") == 0) {
        SetScaleHeader(ReadSkinBool(value));
    } else {
        CHorizontalLayoutUI::SetAttribute(name, value);
    }
}

SIZE CListHeaderUI::EstimateSize(SIZE available) {
    SIZE size = {0, GetFixedHeight()};
    for (int i = 0; i < m_items.GetSize(); ++i) size.cx += GetItemAt(i)->EstimateSize(available).cx;
    size.cx = std::max(size.cx, available.cx);
    if (size.cy != 0 || m_manager == nullptr) return size;
    for (int i = 0; i < m_items.GetSize(); ++i) size.cy = std::max(size.cy, GetItemAt(i)->EstimateSize(available).cy);
    size.cy = std::max<LONG>(size.cy, m_manager->GetDefaultFontInfo()->metrics.tmHeight + 6);
    return size;
}

int CListHeaderUI::ScaleBase() const {
    int base = m_item.right - m_item.left;
    auto* parent = m_parent != nullptr ? static_cast<CContainerUI*>(m_parent->GetInterface(L"Container")) : nullptr;
    const CScrollBarUI* bar = parent != nullptr ? parent->GetVerticalScrollBar() : nullptr;
    if (bar != nullptr) base -= bar->GetFixedWidth();
    return base;
}

void CListHeaderUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    if (m_items.IsEmpty()) return;
    const RECT inset = GetInset();
    const RECT rc = {m_item.left + inset.left, m_item.top + inset.top, m_item.right - inset.right,
                     m_item.bottom - inset.bottom};
    const SIZE available = {rc.right - rc.left, rc.bottom - rc.top};

    int counted = 0;
    int adjustables = 0;
    int fixedTotal = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* head = GetItemAt(i);
        if (!head->IsVisible() || head->IsFloat()) continue;
        ++counted;
        const RECT pad = head->GetPadding();
        int width = head->EstimateSize(available).cx;
        if (width == 0) {
            ++adjustables;
        } else {
            width = ClampWidth(head, width);
        }
        fixedTotal += width + pad.left + pad.right;
    }
    fixedTotal += (counted - 1) * m_childPadding;
    const int share = adjustables > 0 ? std::max<int>(0, (available.cx - fixedTotal) / adjustables) : 0;
    const int scaleBase = ScaleBase();

    int x = rc.left;
    int remaining = available.cx;
    int fixedRemaining = fixedTotal;
    int adjusted = 0;
    int placed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* head = GetItemAt(i);
        if (!head->IsVisible()) continue;
        if (head->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = head->GetPadding();
        remaining -= pad.left;
        fixedRemaining -= pad.left + pad.right + (placed++ > 0 ? m_childPadding : 0);
        int width = 0;
        if (m_scaleHeader) {
            auto* item = static_cast<CListHeaderItemUI*>(head->GetInterface(L"ListHeaderItem"));
            if (item != nullptr) width = static_cast<int>(item->GetScale() * static_cast<double>(scaleBase) / 100.0);
        } else {
            width = head->EstimateSize({remaining, available.cy}).cx;
        }
        if (width != 0) {
            width = ClampWidth(head, width);
            fixedRemaining -= width;
        } else {
            width = ++adjusted == adjustables ? std::max<int>(0, remaining - pad.right - fixedRemaining) : share;
            width = ClampWidth(head, width);
        }
        int height = head->GetFixedHeight();
        if (height == 0) height = std::max<int>(0, available.cy - pad.top - pad.bottom);
        height = ClampHeight(head, height);
        head->SetPos({x + pad.left, rc.top + pad.top, x + width + pad.left + pad.right, rc.top + pad.top + height},
                     false);
        x += width + m_childPadding + pad.left + pad.right;
        remaining -= width + m_childPadding + pad.right;
    }
}

}  // namespace HiveUI
