// CComboWnd: the drop-down popup of a combo. It lists the combo's rows in a scrollable
// vertical layout of its own paint manager for as long as it is open, and gives them back
// when it closes. It deletes itself when its window is gone.
#pragma once

#include "NotifyUI.h"
#include "UIManager.h"
#include "WindowWnd.h"

namespace HiveUI {

class CComboUI;
class CVerticalLayoutUI;

class CComboWnd final : public CWindowWnd, public INotifyUI {
public:
    CComboWnd();
    ~CComboWnd();

    // Opens the drop-down under (or over) the combo.
    void Init(CComboUI* owner);
    const wchar_t* GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;
    void Notify(TNotifyInfo& msg) override;

    // The combo lets go of a row (or of all) before it frees it.
    void ForgetItem(CControlUI* item);
    void ForgetAllItems();
    // The combo is being destroyed: the window closes at once without calling it back.
    void OwnerGone();

    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    bool IsHitItem(POINT point) const;
    CVerticalLayoutUI* GetLayout() const { return m_layout; }

private:
    // The drop-down's screen rectangle: below the combo or, when that passes the work
    // area's bottom, right above it.
    RECT PlaceUnderOwner() const;
    void CreateLayout();
    void GiveItemsBack();
    bool OnKeyDown(WPARAM key);
    void OnWheel(WPARAM wParam, LPARAM lParam);

    CPaintManagerUI m_pm;
    CComboUI* m_owner;
    CVerticalLayoutUI* m_layout;
    int m_oldSel;
    bool m_hitItem;
};

}  // namespace HiveUI
