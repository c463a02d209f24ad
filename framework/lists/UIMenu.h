// CMenuUI: the content of a popup menu window, a list without header whose rows are menu
// items; all of its items end up as wide as the widest.
#pragma once

#include "UIList.h"

namespace HiveUI {

class CMenuWnd;

class CMenuUI : public CListUI {
public:
    CMenuUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    int GetListType() override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    SIZE EstimateSize(SIZE available) override;

    CMenuWnd* GetMenuWnd() const { return m_menuWnd; }
    void SetMenuWnd(CMenuWnd* wnd) { m_menuWnd = wnd; }

private:
    // A menu item whose nested items stay hidden in this menu; null for anything else.
    static CControlUI* AcceptedItem(CControlUI* control);

    CMenuWnd* m_menuWnd = nullptr;
};

bool IsMenuElement(CControlUI* control);
bool IsVisibleControl(CControlUI* control);

// A menu stacks its items: the widest and the summed height of the children that count.
SIZE EstimateStacked(const IContainerUI& items, SIZE available, bool (*counts)(CControlUI*));

CControlUI* CreateMenuControl();

}  // namespace HiveUI
