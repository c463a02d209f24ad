#include "UIMenuElement.h"

#include <algorithm>
#include <cwchar>

#include "DpiScale.h"
#include "MenuClickRecord.h"
#include "MenuObserver.h"
#include "MenuWnd.h"
#include "RenderClip.h"
#include "SkinValue.h"
#include "UIManager.h"
#include "UIMenu.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

TMenuItemCheck* FindCheck(const wchar_t* name) {
    CUIStringMap* map = GetMenuObserver().GetMenuCheckInfo();
    if (map == nullptr || name == nullptr || name[0] == L'\0') return nullptr;
    return static_cast<TMenuItemCheck*>(map->Find(name));
}

// Whether the map already holds a state for the name in any letter case: the skin's
// initial state never overrides one.
bool HoldsCheckFor(const CUIStringMap& map, const wchar_t* name) {
    for (int i = 0; i < map.GetSize(); ++i) {
        const wchar_t* key = map.GetAt(i);
        if (key != nullptr && _wcsicmp(key, name) == 0) return true;
    }
    return false;
}

}  // namespace

void CopyMenuText(wchar_t* target, size_t count, const wchar_t* source) {
    size_t i = 0;
    for (; source != nullptr && i + 1 < count && source[i] != L'\0'; ++i) target[i] = source[i];
    target[i] = L'\0';
}

CControlUI* CreateMenuElementControl() { return new CMenuElementUI; }

CMenuElementUI::CMenuElementUI() {
    SetFixedWidth(150);
    SetFixedHeight(30);
    m_mouseChildEnabled = false;
}

CMenuElementUI::~CMenuElementUI() {
    // A sub-menu window must not outlive the items it shows, nor touch this item as it goes.
    if (m_window == nullptr) return;
    m_window->ForgetOwner();
    SetManager(m_manager, m_parent, false);
    if (::IsWindow(m_window->GetHWND())) ::DestroyWindow(m_window->GetHWND());
}

const wchar_t* CMenuElementUI::GetClass() const { return L"MenuElementUI"; }

LPVOID CMenuElementUI::GetInterface(const wchar_t* name) {
    if (_wcsicmp(name, L"MenuElement") == 0) return static_cast<CMenuElementUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

bool CMenuElementUI::HasSubMenu() const {
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (IsMenuElement(static_cast<CControlUI*>(m_items[i]))) return true;
    }
    return false;
}

HWND CMenuElementUI::PaintWindow() const { return m_manager != nullptr ? m_manager->GetPaintWindow() : nullptr; }

void CMenuElementUI::SetLineType() {
    m_drawLine = true;
    if (GetFixedHeight() == 0 || GetFixedHeight() == 30) SetFixedHeight(6);
    SetMouseChildEnabled(false);
    SetMouseEnabled(false);
    SetEnabled(false);
}

bool CMenuElementUI::GetChecked() const {
    const TMenuItemCheck* check = FindCheck(GetName());
    return check != nullptr && check->bChecked;
}

void CMenuElementUI::SetChecked(bool checked) { SetItemInfo(GetName(), checked); }

void CMenuElementUI::SetItemInfo(const wchar_t* name, bool checked) {
    CUIStringMap* map = GetMenuObserver().GetMenuCheckInfo();
    if (map == nullptr || name == nullptr || name[0] == L'\0') return;
    TMenuItemCheck* check = FindCheck(name);
    if (check == nullptr) {
        check = new TMenuItemCheck();
        CopyMenuText(check->szName, 256, name);
        map->Set(name, check);
    }
    check->bChecked = checked;
}

SIZE CMenuElementUI::EstimateSize(SIZE available) {
    const SIZE fixed = {Scale(GetFixedWidth()), Scale(GetFixedHeight())};
    SIZE size = EstimateStacked(*this, available, IsVisibleControl);
    const TListStyle* style = Style();
    if (size.cy == 0 && style != nullptr && m_manager != nullptr) {
        const RECT padding = ScaleRect(style->rcTextPadding);
        RECT text = {0, 0, std::max<LONG>(available.cx, fixed.cx) - padding.left - padding.right, 9999};
        const UINT format = DT_CALCRECT | (style->uTextStyle & ~(DT_RIGHT | DT_CENTER));
        if (style->bShowHtml) {
            int noLinks = 0;
            CUIRender::DrawHtmlText(m_manager->GetPaintDC(), m_manager, text, GetText(), 0, nullptr, nullptr, noLinks,
                                    style->nFont, format);
        } else {
            CUIRender::DrawText(m_manager->GetPaintDC(), m_manager, text, GetText(), 0, style->nFont, format);
            // A single-line measure keeps the rectangle's width: the text's own width counts.
            text.right = text.left + CUIRender::GetTextSize(m_manager->GetPaintDC(), m_manager, GetText(), style->nFont).cx;
        }
        size.cx = text.right - text.left + padding.left + padding.right;
        size.cy = text.bottom - text.top + padding.top + padding.bottom;
    }
    if (fixed.cy != 0) size.cy = fixed.cy;
    size.cx = std::max(size.cx, fixed.cx);
    if (m_manager != nullptr) {
        CDpiScale* dpi = m_manager->GetDpiScale();
        // Layout measures again after every change of a fixed size: set only what differs.
        if (GetFixedWidth() != size.cx) CControlUI::SetFixedWidth(dpi->ScaleBack(size.cx));
        if (GetFixedHeight() != size.cy) CControlUI::SetFixedHeight(dpi->ScaleBack(size.cy));
    }
    return size;
}

bool CMenuElementUI::DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!::IntersectRect(&area, &paint, &m_item)) return true;
    if (m_drawLine) {
        const RECT padding = ScaleRect(m_linePadding);
        const int y = m_item.top + Scale(GetFixedHeight()) / 2;
        CUIRender::DrawLine(hdc, RECT{m_item.left + padding.left, y, m_item.right - padding.right, y}, 1, m_lineColor);
        return true;
    }
    CRenderClip clip;
    CRenderClip::GenerateClip(hdc, area, clip);
    DrawItemBk(hdc, m_item);
    DrawItemText(hdc, m_item);
    DrawIcon(hdc);
    DrawExplandIcon(hdc);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (IsMenuElement(child) || !child->IsVisible()) continue;
        RECT inner;
        if (!::IntersectRect(&inner, &paint, &child->GetPos())) continue;
        CRenderClip childClip;
        CRenderClip::GenerateClip(hdc, m_item, childClip);
        if (!child->DoPaint(hdc, paint, stopControl)) return false;
    }
    return true;
}

void CMenuElementUI::DrawItemText(HDC hdc, const RECT& rect) {
    const TListStyle* style = Style();
    const CUIString text = GetText();
    if (style == nullptr || text.IsEmpty()) return;
    DWORD color = style->dwTextColor;
    if ((m_buttonState & UISTATE_HOT) != 0) color = style->dwHotTextColor;
    if (m_selected) color = style->dwSelectedTextColor;
    if (!IsEnabled()) color = style->dwDisabledTextColor;
    const RECT padding = ScaleRect(style->rcTextPadding);
    RECT area = {rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                 rect.bottom - padding.bottom};
    if (style->bShowHtml) {
        int noLinks = 0;
        CUIRender::DrawHtmlText(hdc, m_manager, area, text, color, nullptr, nullptr, noLinks, style->nFont,
                                DT_SINGLELINE | style->uTextStyle);
    } else {
        CUIRender::DrawText(hdc, m_manager, area, text, color, style->nFont, DT_SINGLELINE | style->uTextStyle);
    }
}

void CMenuElementUI::DrawAt(HDC hdc, const wchar_t* image, RECT scaled) {
    m_manager->GetDpiScale()->ScaleBackRect(scaled);
    wchar_t modifier[64];
    swprintf(modifier, 64, L"dest='%d,%d,%d,%d'", static_cast<int>(scaled.left), static_cast<int>(scaled.top),
             static_cast<int>(scaled.right), static_cast<int>(scaled.bottom));
    DrawImage(hdc, image, modifier);
}

void CMenuElementUI::DrawIcon(HDC hdc) {
    const TListStyle* style = Style();
    if (m_icon.IsEmpty() || style == nullptr || (m_checkItem && !GetChecked())) return;
    const SIZE icon = {Scale(m_iconSize.cx), Scale(m_iconSize.cy)};
    const int height = m_item.bottom - m_item.top;
    const int padding = Scale(style->rcTextPadding.left);
    const LONG left = (padding - icon.cx) / 2;
    const LONG top = (height - icon.cy) / 2;
    DrawAt(hdc, m_icon, RECT{left, top, left + icon.cx, top + icon.cy});
}

void CMenuElementUI::DrawExplandIcon(HDC hdc) {
    if (!m_showExplandIcon || m_manager == nullptr) return;
    const wchar_t* image = m_manager->GetDefaultAttributeList(L"ExplandIcon");
    if (image == nullptr) return;
    const TImageData* data = m_manager->GetImageEx(image);
    if (data == nullptr) return;
    const int padding = Scale(20) / 3;
    const int width = m_item.right - m_item.left;
    const int height = m_item.bottom - m_item.top;
    const LONG top = (height - data->height) / 2;
    DrawAt(hdc, image, RECT{width - data->width - padding, top, width - padding, top + data->height});
}

void CMenuElementUI::ShowSubItems() {
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (!IsMenuElement(child)) continue;
        child->SetVisible(true);
        child->SetVisibleByParent(true);
    }
}

void CMenuElementUI::OpenSubMenu() {
    ShowSubItems();
    if (m_owner != nullptr) m_owner->SelectItem(GetIndex(), true);
    CreateMenuWnd();
}

// The pointer or Right reached the item: its sub-menu opens, or the sub-menus opened from
// its menu close and it becomes the selection.
void CMenuElementUI::Enter() {
    if (m_window != nullptr) return;
    if (HasSubMenu()) {
        OpenSubMenu();
        return;
    }
    GetMenuObserver().RBroadcast(TMenuBroadcastParam{kMenuCloseDescendants, PaintWindow()});
    if (m_owner != nullptr) m_owner->SelectItem(GetIndex(), true);
}

void CMenuElementUI::CreateMenuWnd() {
    if (m_window != nullptr) return;
    m_window = new CMenuWnd();
    GetMenuObserver().RBroadcast(TMenuBroadcastParam{kMenuCloseDescendants, PaintWindow()});
    m_window->Init(this, L"", POINT{0, 0}, nullptr, nullptr, 6);
}

void CMenuElementUI::TakeBackSubMenu() {
    SetManager(GetManager(), GetParent(), false);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        auto* item = static_cast<IListItemUI*>(child->GetInterface(L"ListItem"));
        if (!IsMenuElement(child) || item == nullptr) continue;
        item->SetOwner(GetParent());
        child->SetVisible(false);
        child->SetVisibleByParent(false);
    }
    m_window = nullptr;
    m_buttonState &= ~UISTATE_PUSHED;
    InvalidateClipped();
}

void CMenuElementUI::DoEvent(TEventInfo& event) {
    switch (event.Type) {
        case UIEVENT_MOUSEENTER:
            CListContainerElementUI::DoEvent(event);
            Enter();
            return;
        case UIEVENT_MOUSELEAVE:
            if (!HasSubMenu() && m_owner != nullptr) m_owner->SelectItem(-1, true);
            CListContainerElementUI::DoEvent(event);
            return;
        case UIEVENT_BUTTONUP:
            if (!IsEnabled()) return;
            CListContainerElementUI::DoEvent(event);
            if (m_window != nullptr) return;
            if (HasSubMenu()) {
                ShowSubItems();
                CreateMenuWnd();
            } else {
                Click();
            }
            return;
        case UIEVENT_KEYDOWN:
            if (event.chKey == VK_RIGHT) {
                Enter();
                return;
            }
            break;
        default:
            break;
    }
    CListContainerElementUI::DoEvent(event);
}

void CMenuElementUI::Click() {
    SetChecked(!GetChecked());
    const HWND window = PaintWindow();
    auto* root = m_manager != nullptr ? static_cast<CMenuUI*>(m_manager->GetRoot()->GetInterface(L"Menu")) : nullptr;
    const bool closing = root != nullptr && root->GetMenuWnd() != nullptr && root->GetMenuWnd()->IsClosing();
    if (::IsWindow(window) && !closing && GetMenuObserver().GetManager() != nullptr) PostClick();
    GetMenuObserver().RBroadcast(TMenuBroadcastParam{kMenuCloseAll, window});
}

void CMenuElementUI::PostClick() {
    auto* record = new TMenuClickRecord();
    CopyMenuText(record->szName, 256, GetName());
    CopyMenuText(record->szUserData, 1024, GetUserData());
    CopyMenuText(record->szText, 1024, GetText());
    record->nChecked = GetChecked() ? 1 : 0;
    const HWND owner = GetMenuObserver().GetManager()->GetPaintWindow();
    if (!::PostMessageW(owner, WM_MENUCLICK, reinterpret_cast<WPARAM>(record), reinterpret_cast<LPARAM>(this))) {
        CPaintManagerUI::FreeObject(record);
    }
}

void CMenuElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (_wcsicmp(name, L"icon") == 0) {
        SetIcon(value);
    } else if (_wcsicmp(name, L"iconsize") == 0) {
        const SIZE size = ReadSkinSize(value);
        SetIconSize(size.cx, size.cy);
    } else if (_wcsicmp(name, L"checkitem") == 0) {
        SetCheckItem(ReadSkinBool(value));
    } else if (_wcsicmp(name, L"ischeck") == 0) {
        const CUIStringMap* map = GetMenuObserver().GetMenuCheckInfo();
        if (map != nullptr && !HoldsCheckFor(*map, GetName())) SetChecked(ReadSkinBool(value));
    } else if (_wcsicmp(name, L"linetype") == 0) {
        if (ReadSkinBool(value)) SetLineType();
    } else if (_wcsicmp(name, L"expland") == 0) {
        SetShowExplandIcon(ReadSkinBool(value));
    } else if (_wcsicmp(name, L"linecolor") == 0) {
        SetLineColor(ReadSkinColor(value, false));
    } else if (_wcsicmp(name, L"linepadding") == 0) {
        SetLinePadding(ReadSkinRect(value));
    } else if (_wcsicmp(name, L"height") == 0) {
        SetFixedHeight(_wtoi(value));
    } else {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

}  // namespace HiveUI
