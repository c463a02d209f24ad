// CTextUI: a label for tagged text whose links can be clicked; a click on a link sends
// the notification "link" with the link's index.
#pragma once

#include <windows.h>

#include "UILabel.h"
#include "UIString.h"

namespace HiveUI {

class CTextUI : public CLabelUI {
public:
    // Links beyond this many are drawn but cannot be clicked.
    static constexpr int kMaxLinks = 8;

    CTextUI();
    ~CTextUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(TEventInfo& event) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC hdc) override;

protected:
    // The index of the first link rectangle holding the point, or -1.
    int LinkAt(POINT pt) const;

    int m_linkCount;
    RECT m_links[kMaxLinks];
    CUIString m_linkTexts[kMaxLinks];
    int m_hotLink;
};

// The factory's creator of a text control.
CControlUI* CreateTextControl();

}  // namespace HiveUI
