// CMenuWnd: a popup menu's borderless top-most tool window. A top-level menu is built
// from a skin whose root is a Menu element; a sub-menu window shows the items nested in
// the menu item that opened it. Every open menu window is a receiver of the process's
// menu observer, which closes the chain.
#pragma once

#include <windows.h>

#include "DialogBuilder.h"
#include "MenuObserver.h"
#include "NotifyUI.h"
#include "UIManager.h"
#include "UIString.h"
#include "WindowWnd.h"

namespace HiveUI {

class CMenuElementUI;
class CMenuUI;

// Alignment flags of CMenuWnd::Init: the default 6 puts the menu's top-left corner at
// the point; 8 puts its right edge there, 16 its bottom edge.
enum MenuAlignment : DWORD {
    eMenuAlignment_Left = 2,
    eMenuAlignment_Top = 4,
    eMenuAlignment_Right = 8,
    eMenuAlignment_Bottom = 16,
};

class CMenuWnd : public CWindowWnd, public MenuReceiverImpl, public INotifyUI, public IDialogBuilderCallback {
public:
    CMenuWnd() = default;
    // A window still alive is destroyed first, so that no message reaches a freed object.
    ~CMenuWnd() override;
    CMenuWnd(const CMenuWnd&) = delete;
    CMenuWnd& operator=(const CMenuWnd&) = delete;

    // Opens the menu. A top-level menu names its skin (a file name or a resource id) and
    // the manager of the window that owns it; a sub-menu gives its owner item instead.
    // False when the window could not be made.
    bool Init(CMenuElementUI* owner, const wchar_t* skin, POINT point, CPaintManagerUI* manager,
              CUIStringMap* checkInfo = nullptr, DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);
    void Close(UINT result = IDOK);
    BOOL Receive(TMenuBroadcastParam param) override;
    CMenuUI* GetMenuRoot() const;
    bool IsClosing() const { return m_closing; }
    void ResizeMenu();
    void ResizeSubMenu();
    // The item that opened this sub-menu is going away: the window no longer touches it.
    void ForgetOwner() { m_owner = nullptr; }
    CPaintManagerUI& GetManager() { return m_pm; }

    void Notify(TNotifyInfo& msg) override;
    CControlUI* CreateControl(const wchar_t* className) override;
    // Frees the check records of the observer's map; the owner window calls it when it goes.
    static void DestroyCheckedItems();

    const wchar_t* GetWindowClassName() const override { return L"HiveMenuWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;

private:
    LRESULT OnCreate();
    bool CreateTopLevel();
    void CreateSubMenu();
    void FinishCreate(bool showShadow);
    LRESULT OnKillFocus(HWND focused);
    void GiveOwnerBack();
    bool IsChainWindow(HWND wnd) const;
    // Moves the window and shows it top-most, with the root's vertical insets added.
    void PlaceWindow(const RECT& rc, int insetHeight, bool topmost);

    bool m_closing = false;
    POINT m_basePoint = {0, 0};
    CUIString m_skin;
    const wchar_t* m_skinId = nullptr;
    CPaintManagerUI m_pm;
    CMenuElementUI* m_owner = nullptr;
    CMenuUI* m_menuList = nullptr;
    DWORD m_alignment = eMenuAlignment_Left | eMenuAlignment_Top;
    bool m_subMenu = false;
};

}  // namespace HiveUI
