// CVerticalLayoutUI: stacks its visible, non-floating children from top to bottom,
// sharing the height left by fixed-size children among the flexible ones. An optional
// separator band at the top or bottom edge lets the user drag the layout's height.
#pragma once

#include "UIContainer.h"

namespace HiveUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void DoPostPaint(HDC hdc, const RECT& paint) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void DoEvent(TEventInfo& event) override;

    void SetSepHeight(int height) { m_sepSize = height; }
    int GetSepHeight() const { return m_sepSize; }
    void SetSepImmMode(bool immediate);
    bool IsSepImmMode() const { return m_immediate; }
    RECT GetThumbRect(bool useNew = false) const;

private:
    // What the first pass finds out about the visible, non-floating children.
    struct TMeasure {
        int counted = 0;
        int adjustables = 0;
        int fixedTotal = 0;
        int neededCross = 0;
    };
    TMeasure MeasureChildren(SIZE available) const;
    void PlaceAcross(RECT& pos, const RECT& rc, const RECT& pad, LONG size) const;
    bool DragTo(POINT pt);

    int m_sepSize = 0;
    UINT m_buttonState = 0;
    POINT m_lastMouse = {0, 0};
    RECT m_newPos = {0, 0, 0, 0};
    bool m_immediate = false;
};

CControlUI* CreateVerticalLayoutControl();

}  // namespace HiveUI
