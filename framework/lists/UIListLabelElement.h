// CListLabelElementUI: a row showing one text in its owner's row font, colours and text
// style. Clicks select it (Ctrl-clicks add it to or take it out of a multi-selection).
#pragma once

#include "UIListElement.h"

namespace HiveUI {

class CListLabelElementUI : public CListElementUI {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    SIZE EstimateSize(SIZE available) override;
    void DrawItemText(HDC hdc, const RECT& rect) override;

protected:
    // The style's text colour for the row's state.
    DWORD RowTextColor(const TListStyle& style) const;
    // The row's own height for a row that sets none: the style font's line and padding.
    int StyleHeight(const TListStyle& style) const;
};

CControlUI* CreateListLabelElementControl();

}  // namespace HiveUI
