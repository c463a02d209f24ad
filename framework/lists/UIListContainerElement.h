// CListContainerElementUI: a row that is a horizontal layout of child controls. In a list
// its children follow the header's columns, and rows of a fixed width stand several to
// a line. Tree nodes and menu items are built on it.
#pragma once

#include "ListRowBase.h"
#include "UIHorizontalLayout.h"

namespace HiveUI {

class CListContainerElementUI : public CListRowBase<CHorizontalLayoutUI> {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void DrawItemText(HDC hdc, const RECT& rect) override;

private:
    // The place of a fixed-width row in a grid of as many rows to a line as fit.
    RECT GridPlace(RECT rect) const;
    void FollowHeaderColumns();
};

CControlUI* CreateListContainerElementControl();

}  // namespace HiveUI
