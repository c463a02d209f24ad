#include "UIText.h"

#include <cwchar>

#include "DpiScale.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

CControlUI* CreateTextControl() { return new CTextUI; }

CTextUI::CTextUI() : m_linkCount(0), m_links{}, m_hotLink(-1) {
    m_textStyle = DT_WORDBREAK;
    m_textPadding = RECT{2, 0, 2, 0};
}

CTextUI::~CTextUI() = default;

const wchar_t* CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"Text") == 0) return this;
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const {
    return IsEnabled() && m_linkCount > 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

int CTextUI::LinkAt(POINT pt) const {
    for (int i = 0; i < m_linkCount && i < kMaxLinks; ++i)
        if (PtInRect(&m_links[i], pt)) return i;
    return -1;
}

void CTextUI::DoEvent(TEventInfo& event) {
    if (HandOnUntakenMouse(event, [&] { CLabelUI::DoEvent(event); })) return;
    const int link = LinkAt(event.ptMouse);
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            if (link < 0) break;
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (link < 0 || (event.Type == UIEVENT_DBLCLICK && !IsEnabled())) break;
            Invalidate();
            return;
        case UIEVENT_BUTTONUP:
            if (link < 0 || !IsEnabled()) break;
            if (m_manager != nullptr) m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link), 0, false);
            return;
        case UIEVENT_CONTEXTMENU:
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_linkCount <= 0 || !IsEnabled() || link == m_hotLink) break;
            m_hotLink = link;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            if (m_linkCount <= 0 || !IsEnabled() || m_hotLink < 0) break;
            m_hotLink = -1;
            Invalidate();
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

SIZE CTextUI::EstimateSize(SIZE available) {
    // Only a text that sets its own width needs measuring here.
    if (m_autoCalcWidth && m_manager != nullptr) {
        RECT rect = {m_textPadding.left, 0, 9999 - m_textPadding.right, 9999};
        DrawLabelText(m_manager->GetPaintDC(), rect, GetText(), m_textColor, m_textStyle | DT_CALCRECT);
        const int width = rect.right - rect.left + m_textPadding.left + m_textPadding.right;
        m_fixedSize.cx = m_manager->GetDpiScale()->ScaleBack(width);
    }
    return CControlUI::EstimateSize(available);
}

void CTextUI::PaintText(HDC hdc) {
    const CUIString text = GetText();
    if (text.IsEmpty() || m_manager == nullptr) {
        m_linkCount = 0;
        return;
    }
    DefaultTextColors();
    RECT rect = {m_item.left + m_textPadding.left, m_item.top + m_textPadding.top, m_item.right - m_textPadding.right,
                 m_item.bottom - m_textPadding.bottom};
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    m_linkCount = 0;
    if (m_showHtml) {
        m_linkCount = kMaxLinks;
        CUIRender::DrawHtmlText(hdc, m_manager, rect, text, color, m_links, m_linkTexts, m_linkCount, m_font,
                                m_textStyle);
        // Rectangles of links that are gone must not count as hovered at the next paint.
        for (int i = m_linkCount; i < kMaxLinks; ++i) m_links[i] = RECT{0, 0, 0, 0};
    } else {
        CUIRender::DrawText(hdc, m_manager, rect, text, color, m_font, m_textStyle);
    }
}

}  // namespace HiveUI
