#include "MenuWnd.h"

#include <algorithm>
#include <cwchar>

#include "DpiScale.h"
#include "MenuClickRecord.h"
#include "UIListBody.h"
#include "UIMenu.h"
#include "UIMenuElement.h"

namespace HiveUI {

namespace {

RECT WorkAreaOf(HWND wnd) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(wnd, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

// The shift that brings a rectangle onto the work area of its monitor, the left and top
// edges winning when it is larger than the work area.
POINT ShiftOntoMonitor(const RECT& rc) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &info)) return POINT{0, 0};
    const RECT& work = info.rcWork;
    POINT shift = {0, 0};
    if (rc.right > work.right) shift.x = work.right - rc.right;
    if (rc.left + shift.x < work.left) shift.x = work.left - rc.left;
    if (rc.bottom > work.bottom) shift.y = work.bottom - rc.bottom;
    if (rc.top + shift.y < work.top) shift.y = work.top - rc.top;
    return shift;
}

int InsetHeight(CControlUI* root) {
    auto* container = root != nullptr ? static_cast<CContainerUI*>(root->GetInterface(L"Container")) : nullptr;
    if (container == nullptr) return 0;
    const RECT inset = container->GetInset();
    return inset.top + inset.bottom;
}

}  // namespace

CMenuWnd::~CMenuWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CMenuWnd::Init(CMenuElementUI* owner, const wchar_t* skin, POINT point, CPaintManagerUI* manager,
                    CUIStringMap* checkInfo, DWORD alignment) {
    m_basePoint = point;
    m_owner = owner;
    m_skinId = skin != nullptr && IS_INTRESOURCE(skin) ? skin : nullptr;
    m_skin = m_skinId == nullptr && skin != nullptr ? skin : L"";
    m_subMenu = owner != nullptr;
    m_alignment = alignment;
    m_menuList = nullptr;
    MenuObserverImpl& observer = GetMenuObserver();
    if (!m_subMenu) {
        observer.SetManager(manager);
        if (checkInfo != nullptr) observer.SetMenuCheckInfo(checkInfo);
    }
    observer.AddReceiver(this);
    HWND parent = m_subMenu ? owner->PaintWindow() : (manager != nullptr ? manager->GetPaintWindow() : nullptr);
    // A sub-menu's window deletes this object when creation fails half-way.
    if (Create(parent, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 0, 0, 0, 0) == nullptr) return false;
    HWND top = m_hWnd;
    for (HWND up = ::GetParent(top); up != nullptr; up = ::GetParent(top)) top = up;
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
    return true;
}

void CMenuWnd::Close(UINT result) {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return;
    PostMessage(WM_CLOSE, result, 0);
    m_closing = true;
}

BOOL CMenuWnd::Receive(TMenuBroadcastParam param) {
    if (param.nKind == kMenuCloseAll) {
        Close(1);
    } else if (param.nKind == kMenuCloseDescendants) {
        for (HWND up = ::GetParent(m_hWnd); up != nullptr; up = ::GetParent(up)) {
            if (up == param.hWnd) {
                Close(1);
                break;
            }
        }
    }
    return TRUE;
}

CMenuUI* CMenuWnd::GetMenuRoot() const {
    CControlUI* root = m_pm.GetRoot();
    return root != nullptr ? static_cast<CMenuUI*>(root->GetInterface(L"Menu")) : nullptr;
}

void CMenuWnd::Notify(TNotifyInfo& msg) {
    CPaintManagerUI* owner = GetMenuObserver().GetManager();
    if (owner == nullptr || (msg.sType != L"click" && msg.sType != L"valuechanged")) return;
    owner->SendNotifyInfo(msg, false);
}

CControlUI* CMenuWnd::CreateControl(const wchar_t* className) {
    if (_wcsicmp(className, L"Menu") == 0) return new CMenuUI;
    if (_wcsicmp(className, L"MenuElement") == 0) return new CMenuElementUI;
    return nullptr;
}

void CMenuWnd::DestroyCheckedItems() {
    CUIStringMap* map = GetMenuObserver().GetMenuCheckInfo();
    if (map == nullptr) return;
    for (int i = 0; i < map->GetSize(); ++i) {
        const wchar_t* key = map->GetAt(i);
        if (key != nullptr) delete static_cast<TMenuItemCheck*>(map->Find(key, false));
    }
    map->RemoveAll();
}

LRESULT CMenuWnd::OnCreate() {
    if (m_subMenu) {
        CreateSubMenu();
        return 0;
    }
    // A skin whose root is not a menu cannot be shown as one: the window refuses to be made.
    return CreateTopLevel() ? 0 : -1;
}

bool CMenuWnd::CreateTopLevel() {
    m_pm.Init(m_hWnd);
    CPaintManagerUI* owner = GetMenuObserver().GetManager();
    if (owner != nullptr) m_pm.GetDpiScale()->SetScale(owner->GetDpiScale()->GetDPI());
    CDialogBuilder builder;
    CControlUI* root = builder.Create(m_skinId != nullptr ? m_skinId : m_skin.GetData(), nullptr, this, &m_pm);
    if (root == nullptr || root->GetInterface(L"Menu") == nullptr) {
        delete root;
        return false;
    }
    const bool showShadow = m_pm.GetShadow()->IsShowShadow();
    m_pm.GetShadow()->ShowShadow(false);
    m_pm.AttachRoot(root);
    m_pm.AddNotifier(this);
    ResizeMenu();
    FinishCreate(showShadow);
    return true;
}

void CMenuWnd::CreateSubMenu() {
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    ::SetWindowPos(m_hWnd, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                   SWP_FRAMECHANGED);
    CPaintManagerUI* ownerManager = m_owner->GetManager();
    m_pm.Init(m_hWnd);
    m_pm.GetDpiScale()->SetScale(ownerManager->GetDpiScale()->GetDPI());
    m_menuList = new CMenuUI;
    m_pm.SetResourceShared(true);
    m_menuList->SetManager(&m_pm, nullptr, true);
    const wchar_t* defaults = ownerManager->GetDefaultAttributeList(L"Menu");
    if (defaults != nullptr) m_menuList->ApplyAttributeList(defaults);
    // The items stay the owner item's: the list shows them but must not free them.
    m_menuList->GetList()->SetAutoDestroy(false);
    auto* owner = static_cast<CContainerUI*>(m_owner);
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* child = owner->GetItemAt(i);
        auto* item = static_cast<IListItemUI*>(child->GetInterface(L"ListItem"));
        if (!IsMenuElement(child) || item == nullptr) continue;
        item->SetOwner(m_menuList);
        m_menuList->Add(child);
    }
    ownerManager->GetShadow()->CopyShadow(m_pm.GetShadow());
    const bool showShadow = m_pm.GetShadow()->IsShowShadow();
    m_pm.GetShadow()->ShowShadow(false);
    m_pm.SetLayered(ownerManager->IsLayered());
    m_pm.AttachRoot(m_menuList);
    m_pm.AddNotifier(this);
    ResizeSubMenu();
    FinishCreate(showShadow);
}

void CMenuWnd::FinishCreate(bool showShadow) {
    if (CMenuUI* root = GetMenuRoot()) root->SetMenuWnd(this);
    m_pm.GetShadow()->ShowShadow(showShadow);
    m_pm.GetShadow()->Create(&m_pm);
}

void CMenuWnd::PlaceWindow(const RECT& rc, int insetHeight, bool topmost) {
    ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top + insetHeight, FALSE);
    if (topmost) {
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.right - rc.left,
                       rc.bottom - rc.top + insetHeight, SWP_SHOWWINDOW);
    }
}

void CMenuWnd::ResizeMenu() {
    CControlUI* root = m_pm.GetRoot();
    if (root == nullptr) return;
    const RECT work = WorkAreaOf(m_hWnd);
    const SIZE size = root->EstimateSize(SIZE{work.right - work.left, work.bottom - work.top});
    m_pm.SetInitSize(m_pm.GetDpiScale()->ScaleBack(size.cx), m_pm.GetDpiScale()->ScaleBack(size.cy));
    RECT rc = {m_basePoint.x, m_basePoint.y, m_basePoint.x + size.cx, m_basePoint.y + size.cy};
    if ((m_alignment & eMenuAlignment_Right) != 0) ::OffsetRect(&rc, -size.cx, 0);
    if ((m_alignment & eMenuAlignment_Bottom) != 0) ::OffsetRect(&rc, 0, -size.cy);
    // Where it fits the menu lies against its point; where it would leave its monitor it
    // is moved onto it, since an item off the screen cannot be reached.
    const int insetHeight = InsetHeight(root);
    RECT shown = rc;
    shown.bottom += insetHeight;
    const POINT shift = ShiftOntoMonitor(shown);
    ::OffsetRect(&rc, shift.x, shift.y);
    ::SetForegroundWindow(m_hWnd);
    PlaceWindow(rc, insetHeight, true);
}

void CMenuWnd::ResizeSubMenu() {
    const RECT item = m_owner->GetPos();
    const RECT work = WorkAreaOf(m_hWnd);
    const SIZE available = {work.right - work.left, work.bottom - work.top};
    const SIZE size = EstimateStacked(*m_owner, available, IsMenuElement);
    const HWND parentWnd = m_owner->PaintWindow();
    RECT parent = {};
    ::GetWindowRect(parentWnd, &parent);
    POINT itemTop = {item.left, item.top};
    ::ClientToScreen(parentWnd, &itemTop);
    RECT rc = {parent.right, itemTop.y, parent.right + size.cx + 2, itemTop.y + size.cy};
    bool below = false;
    bool rightOf = false;
    for (MenuMenuReceiverImplBase* receiver : GetMenuObserver().Receivers()) {
        auto* menu = dynamic_cast<CMenuWnd*>(receiver);
        if (menu == nullptr) continue;
        if (menu->GetHWND() == parentWnd) break;
        RECT other = {};
        ::GetWindowRect(menu->GetHWND(), &other);
        rightOf = other.left >= parent.right;
        below = other.top >= parent.bottom;
        if (rightOf || below) break;
    }
    const LONG width = rc.right - rc.left;
    const LONG height = rc.bottom - rc.top;
    if (below) {
        rc.bottom = parent.top;
        rc.top = rc.bottom - height;
    }
    if (rightOf) {
        rc.right = parent.left;
        rc.left = rc.right - width;
    }
    if (rc.bottom > work.bottom) {
        rc.bottom = rc.top;
        rc.top = rc.bottom - height;
    }
    if (rc.right > work.right) {
        rc.right = parent.left;
        rc.left = rc.right - width;
    }
    if (rc.top < work.top) {
        rc.top = itemTop.y;
        rc.bottom = rc.top + height;
    }
    if (rc.left < work.left) {
        rc.left = parent.right;
        rc.right = rc.left + width;
    }
    PlaceWindow(rc, InsetHeight(m_menuList), false);
}

bool CMenuWnd::IsChainWindow(HWND wnd) const {
    for (MenuMenuReceiverImplBase* receiver : GetMenuObserver().Receivers()) {
        auto* menu = dynamic_cast<CMenuWnd*>(receiver);
        if (menu != nullptr && menu->GetHWND() == wnd) return true;
    }
    return false;
}

LRESULT CMenuWnd::OnKillFocus(HWND focused) {
    if (!IsChainWindow(focused)) GetMenuObserver().RBroadcast(TMenuBroadcastParam{kMenuCloseAll, m_hWnd});
    return 0;
}

// The owner item takes its nested items back from the sub-menu's list and gets the focus.
void CMenuWnd::GiveOwnerBack() {
    if (!m_subMenu || m_owner == nullptr) return;
    m_owner->SetManager(m_owner->GetManager(), m_owner->GetParent(), false);
    m_owner->SetPos(m_owner->GetPos(), true);
    m_owner->SetFocus();
}

LRESULT CMenuWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            if (OnCreate() != 0) return -1;
            break;
        case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); break;
        case WM_CLOSE: GiveOwnerBack(); break;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE || wParam == VK_LEFT) Close(1);
            break;
        case WM_CONTEXTMENU:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK: return 0;
        default: break;
    }
    LRESULT result = 0;
    if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CMenuWnd::OnFinalMessage(HWND) {
    RemoveObserver();
    if (!m_subMenu) return;
    if (m_owner != nullptr) m_owner->TakeBackSubMenu();
    delete this;
}

}  // namespace HiveUI
