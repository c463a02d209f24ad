#include "UIListTextElement.h"

#include <cwchar>

#include "ResourceStore.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

CControlUI* CreateListTextElementControl() { return new CListTextElementUI; }

CListTextElementUI::CListTextElementUI() : m_linkCount(0), m_links{}, m_hotLink(-1), m_list(nullptr) {}

const wchar_t* CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }

LPVOID CListTextElementUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"ListTextElement") == 0) return static_cast<CListTextElementUI*>(this);
    return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const {
    return UIFLAG_WANTRETURN | (IsEnabled() && m_linkCount > 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u);
}

void CListTextElementUI::SetOwner(CControlUI* owner) {
    CListLabelElementUI::SetOwner(owner);
    m_list = owner != nullptr ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
}

const wchar_t* CListTextElementUI::GetText(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columnTexts.size())) return nullptr;
    if (!IsResourceText()) return m_columnTexts[column];
    m_resourceText = CResourceStore::GetInstance()->GetText(m_columnTexts[column], nullptr);
    return m_resourceText;
}

void CListTextElementUI::SetText(int column, const wchar_t* text) {
    if (column < 0) return;
    if (column >= static_cast<int>(m_columnTexts.size())) m_columnTexts.resize(column + 1);
    m_columnTexts[column] = text;
    Invalidate();
}

int CListTextElementUI::LinkAt(POINT pt) const {
    for (int i = 0; i < m_linkCount; ++i)
        if (::PtInRect(&m_links[i], pt)) return i;
    return -1;
}

void CListTextElementUI::DoEvent(TEventInfo& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_list != nullptr) {
            m_list->DoEvent(event);
        } else {
            CListLabelElementUI::DoEvent(event);
        }
        return;
    }
    if (DoLinkEvent(event)) return;
    CListLabelElementUI::DoEvent(event);
}

bool CListTextElementUI::DoLinkEvent(TEventInfo& event) {
    const int link = LinkAt(event.ptMouse);
    if (event.Type == UIEVENT_SETCURSOR && link >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return true;
    }
    if (event.Type == UIEVENT_BUTTONUP && link >= 0 && IsEnabled()) {
        if (m_manager != nullptr) m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link), 0, false);
        return true;
    }
    if (event.Type == UIEVENT_MOUSEMOVE && m_linkCount > 0 && link != m_hotLink) {
        m_hotLink = link;
        Invalidate();
    } else if (event.Type == UIEVENT_MOUSELEAVE && m_hotLink >= 0) {
        m_hotLink = -1;
        Invalidate();
    }
    return false;
}

void CListTextElementUI::AdjustCell(int, RECT&, UINT&) const {}

SIZE CListTextElementUI::EstimateSize(SIZE) {
    const TListStyle* style = Style();
    SIZE size = {GetFixedWidth(), GetFixedHeight()};
    if (size.cy == 0 && m_manager != nullptr && style != nullptr) size.cy = StyleHeight(*style);
    return size;
}

void CListTextElementUI::DrawItemText(HDC hdc, const RECT& rect) {
    if (m_list == nullptr) return;
    const TListStyle& style = *m_list->GetListStyle();
    const DWORD color = RowTextColor(style);
    IListTextCallbackUI* callback = m_list->GetTextCallback();
    m_linkCount = 0;
    for (int i = 0; i < style.nColumns; ++i) {
        RECT cell = {style.rcColumn[i].left + style.rcTextPadding.left, rect.top + style.rcTextPadding.top,
                     style.rcColumn[i].right - style.rcTextPadding.right, rect.bottom - style.rcTextPadding.bottom};
        UINT format = style.uTextStyle;
        AdjustCell(i, cell, format);
        const wchar_t* text = callback != nullptr ? callback->GetItemText(this, m_index, i) : GetText(i);
        if (text == nullptr || *text == L'\0') continue;
        if (style.bShowHtml) {
            // Links past the last free slot are drawn without a rectangle to click.
            int found = kMaxLinks - m_linkCount;
            RECT* links = found > 0 ? &m_links[m_linkCount] : nullptr;
            CUIString* texts = found > 0 ? &m_linkTexts[m_linkCount] : nullptr;
            CUIRender::DrawHtmlText(hdc, m_manager, cell, text, color, links, texts, found, style.nFont, format);
            m_linkCount += found;
        } else {
            CUIRender::DrawText(hdc, m_manager, cell, text, color, style.nFont, format);
        }
    }
    for (int i = m_linkCount; i < kMaxLinks; ++i) {
        m_links[i] = RECT{0, 0, 0, 0};
        m_linkTexts[i].Empty();
    }
}

}  // namespace HiveUI
