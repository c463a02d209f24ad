// CListElementUI: a row that is a plain control. It paints its background from its
// owner's list style and leaves its text to the row classes built on it.
#pragma once

#include "ListRowBase.h"

namespace HiveUI {

class CListElementUI : public CListRowBase<CControlUI> {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    bool DoPaint(HDC hdc, const RECT& paint, CControlUI* stopControl) override;
    void DrawItemText(HDC hdc, const RECT& rect) override;
};

}  // namespace HiveUI
