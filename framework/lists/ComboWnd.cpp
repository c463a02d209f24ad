#include "ComboWnd.h"

#include <windowsx.h>

#include <algorithm>

#include "ButtonState.h"
#include "UICombo.h"
#include "UIScrollBar.h"
#include "UIVerticalLayout.h"

namespace HiveUI {

namespace {

RECT MapToScreen(HWND from, RECT rect) {
    ::MapWindowPoints(from, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

CComboWnd::CComboWnd() : m_owner(nullptr), m_layout(nullptr), m_oldSel(-1), m_hitItem(false) {}

CComboWnd::~CComboWnd() = default;

const wchar_t* CComboWnd::GetWindowClassName() const { return L"ComboWnd"; }
UINT CComboWnd::GetClassStyle() const { return 0; }

RECT CComboWnd::PlaceUnderOwner() const {
    const RECT combo = m_owner->GetPos();
    const SIZE box = m_owner->GetDropBoxSize();
    RECT rect = combo;
    rect.top = combo.bottom + 3;
    rect.bottom = rect.top + box.cy;
    if (box.cx > 0) rect.right = rect.left + box.cx;
    const SIZE available = {rect.right - rect.left, rect.bottom - rect.top};
    int listHeight = m_owner->GetDropBoxInset().top + 4;
    for (int i = 0; i < m_owner->GetCount(); ++i) {
        CControlUI* item = m_owner->GetItemAt(i);
        if (item->IsVisible()) listHeight += item->EstimateSize(available).cy;
    }
    const int height = std::min(listHeight, static_cast<int>(box.cy));
    rect.bottom = rect.top + height;
    const HWND parent = m_owner->GetManager()->GetPaintWindow();
    RECT screen = MapToScreen(parent, rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (screen.bottom > monitor.rcWork.bottom) {
        rect.bottom = combo.top;
        rect.top = combo.top - height;
        screen = MapToScreen(parent, rect);
    }
    return screen;
}

void CComboWnd::Init(CComboUI* owner) {
    m_hitItem = false;
    m_owner = owner;
    m_oldSel = owner->GetCurSel();
    const RECT rect = PlaceUnderOwner();
    const HWND parent = owner->GetManager()->GetPaintWindow();
    CreateInRect(parent, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rect);
    if (GetHWND() == nullptr) return;
    ::ShowWindow(GetHWND(), SW_SHOW);
    HWND top = parent;
    while (::GetParent(top) != nullptr) top = ::GetParent(top);
    ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
    m_pm.SetDefaultFont(L"微软雅黑", 14, false, false, false, true);
}

void CComboWnd::CreateLayout() {
    m_pm.SetResourceShared(true);
    m_pm.Init(GetHWND());
    m_pm.SetLayered(true);
    m_layout = new CVerticalLayoutUI;
    m_layout->SetManager(&m_pm, nullptr, true);
    CPaintManagerUI* ownerManager = m_owner->GetManager();
    if (const wchar_t* defaults = ownerManager->GetDefaultAttributeList(L"VerticalLayout")) {
        m_layout->ApplyAttributeList(defaults);
    }
    m_layout->SetInset(RECT{1, 1, 1, 1});
    m_layout->SetBkColor(0xFFFFFFFF);
    m_layout->SetBorderColor(0xFFC6C7D2);
    m_layout->SetBorderSize(1);
    m_layout->SetAutoDestroy(false);
    m_layout->EnableScrollBar(true, false);
    m_layout->ApplyAttributeList(m_owner->GetDropBoxAttributeList());
    for (int i = 0; i < m_owner->GetCount(); ++i) m_layout->Add(m_owner->GetItemAt(i));
    ownerManager->GetShadow()->CopyShadow(m_pm.GetShadow());
    m_pm.GetShadow()->ShowShadow(m_owner->IsShowShadow());
    m_pm.AttachRoot(m_layout);
    m_pm.AddNotifier(this);
}

void CComboWnd::GiveItemsBack() {
    if (m_owner == nullptr) return;
    m_owner->SetManager(m_owner->GetManager(), m_owner->GetParent(), false);
    m_owner->HideRows();
    m_owner->SetFocus();
}

void CComboWnd::ForgetItem(CControlUI* item) {
    if (m_layout == nullptr) return;
    m_layout->Remove(item);
    item->SetManager(m_owner->GetManager(), m_owner, false);
    m_pm.ForgetControl(item);
}

void CComboWnd::ForgetAllItems() {
    if (m_layout == nullptr) return;
    for (int i = 0; i < m_owner->GetCount(); ++i) ForgetItem(m_owner->GetItemAt(i));
}

void CComboWnd::OwnerGone() {
    ForgetAllItems();
    m_owner = nullptr;
    if (GetHWND() != nullptr) ::DestroyWindow(GetHWND());
}

void CComboWnd::OnFinalMessage(HWND) {
    if (m_owner != nullptr) {
        m_owner->m_window = nullptr;
        m_owner->m_buttonState &= ~UISTATE_PUSHED;
        m_owner->Invalidate();
    }
    delete this;
}

bool CComboWnd::IsHitItem(POINT point) const {
    CControlUI* control = m_pm.FindControlAt(point);
    if (control == nullptr || control->GetInterface(L"ScrollBar") != nullptr) return false;
    for (; control != nullptr; control = control->GetParent()) {
        if (control->GetInterface(L"ListItem") != nullptr) return true;
    }
    return false;
}

void CComboWnd::EnsureVisible(int) {
    if (m_owner == nullptr || m_owner->GetCurSel() < 0) return;
    CControlUI* item = m_layout->GetItemAt(m_layout->FindSelectable(m_owner->GetCurSel(), false));
    if (item == nullptr) return;
    const RECT itemRect = item->GetPos();
    RECT list = m_layout->GetPos();
    CScrollBarUI* bar = m_layout->GetHorizontalScrollBar();
    if (bar != nullptr && bar->IsVisible()) list.bottom -= bar->GetFixedHeight();
    if (itemRect.top >= list.top && itemRect.bottom < list.bottom) return;
    Scroll(0, itemRect.top < list.top ? itemRect.top - list.top : itemRect.bottom - list.bottom);
}

void CComboWnd::Scroll(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    SIZE pos = m_layout->GetScrollPos();
    m_layout->SetScrollPos(SIZE{pos.cx + dx, pos.cy + dy});
}

void CComboWnd::Notify(TNotifyInfo& msg) {
    if (msg.sType == L"windowinit") EnsureVisible(m_oldSel);
}

bool CComboWnd::OnKeyDown(WPARAM key) {
    if (key == VK_RETURN) {
        PostMessage(WM_KILLFOCUS);
        return false;
    }
    if (key == VK_ESCAPE) {
        m_owner->SelectItem(m_oldSel, true);
        EnsureVisible(m_oldSel);
        PostMessage(WM_KILLFOCUS);
        return false;
    }
    TEventInfo event;
    event.Type = UIEVENT_KEYDOWN;
    event.chKey = static_cast<WORD>(key);
    event.dwTimestamp = ::GetTickCount();
    m_owner->DoEvent(event);
    EnsureVisible(m_owner->GetCurSel());
    return true;
}

void CComboWnd::OnWheel(WPARAM wParam, LPARAM lParam) {
    TEventInfo event;
    event.Type = UIEVENT_SCROLLWHEEL;
    event.wParam = static_cast<short>(HIWORD(wParam)) < 0 ? SB_LINEDOWN : SB_LINEUP;
    event.lParam = lParam;
    event.dwTimestamp = ::GetTickCount();
    if (m_owner->IsScrollSelect()) {
        m_owner->DoEvent(event);
        EnsureVisible(m_owner->GetCurSel());
    } else {
        m_layout->DoEvent(event);
    }
}

LRESULT CComboWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_owner == nullptr && msg != WM_DESTROY && msg != WM_NCDESTROY) return CWindowWnd::HandleMessage(msg, wParam, lParam);
    POINT cursor = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_CREATE:
            CreateLayout();
            return 0;
        case WM_KILLFOCUS:
            if (reinterpret_cast<HWND>(wParam) != GetHWND()) PostMessage(WM_CLOSE);
            break;
        case WM_CLOSE:
            GiveItemsBack();
            break;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) return 0;
            break;
        case WM_LBUTTONDOWN:
            m_hitItem = IsHitItem(cursor);
            break;
        case WM_LBUTTONUP:
            if (m_hitItem && IsHitItem(cursor)) PostMessage(WM_KILLFOCUS);
            m_hitItem = false;
            break;
        case WM_MOUSEWHEEL:
            OnWheel(wParam, lParam);
            return 0;
        default:
            break;
    }
    LRESULT result = 0;
    if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

}  // namespace HiveUI
