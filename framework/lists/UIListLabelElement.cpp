#include "UIListLabelElement.h"

#include <cwchar>

#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

CControlUI* CreateListLabelElementControl() { return new CListLabelElementUI; }

const wchar_t* CListLabelElementUI::GetClass() const { return L"ListLabelElementUI"; }

LPVOID CListLabelElementUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListLabelElement") == 0) return static_cast<CListLabelElementUI*>(this);
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_owner != nullptr) {
            m_owner->DoEvent(event);
        } else {
            CListElementUI::DoEvent(event);
        }
        return;
    }
    if (DoRowMouseEvent(event)) return;
    CListElementUI::DoEvent(event);
}

int CListLabelElementUI::StyleHeight(const TListStyle& style) const {
    return m_manager->GetFontInfo(style.nFont)->metrics.tmHeight + 8 + style.rcTextPadding.top +
           style.rcTextPadding.bottom;
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
    const TListStyle* style = Style();
    if (style == nullptr) return SIZE{0, 0};
    SIZE size = {GetFixedWidth(), GetFixedHeight()};
    if (m_manager == nullptr) return size;
    if (size.cy == 0) size.cy = StyleHeight(*style);
    if (size.cx == 0) size.cx = available.cx;
    return size;
}

DWORD CListLabelElementUI::RowTextColor(const TListStyle& style) const {
    DWORD color = style.dwTextColor;
    if ((m_buttonState & UISTATE_HOT) != 0) color = style.dwHotTextColor;
    if (m_selected) color = style.dwSelectedTextColor;
    if (!IsEnabled()) color = style.dwDisabledTextColor;
    return color;
}

void CListLabelElementUI::DrawItemText(HDC hdc, const RECT& rect) {
    const TListStyle* style = Style();
    const CUIString text = GetText();
    if (style == nullptr || text.IsEmpty()) return;
    RECT area = {rect.left + style->rcTextPadding.left, rect.top + style->rcTextPadding.top,
                 rect.right - style->rcTextPadding.right, rect.bottom - style->rcTextPadding.bottom};
    const DWORD color = RowTextColor(*style);
    if (style->bShowHtml) {
        int noLinks = 0;
        CUIRender::DrawHtmlText(hdc, m_manager, area, text, color, nullptr, nullptr, noLinks, style->nFont,
                                style->uTextStyle);
    } else {
        CUIRender::DrawText(hdc, m_manager, area, text, color, style->nFont, style->uTextStyle);
    }
}

}  // namespace HiveUI
