// CStackLayoutUI: what the vertical and horizontal layouts share, written once along an
// axis. Visible, non-floating children follow one another along it, sharing the room
// that fixed-size children leave among the flexible ones; an optional separator band at
// the start or end edge lets the user drag the layout's own size along it.
#pragma once

#include "LayoutAxis.h"
#include "UIContainer.h"

namespace HiveUI {

class CStackLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void DoPostPaint(HDC hdc, const RECT& paint) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void DoEvent(TEventInfo& event) override;

    void SetSepImmMode(bool immediate);
    bool IsSepImmMode() const { return m_immediate; }
    RECT GetThumbRect(bool useNew = false) const;

protected:
    explicit CStackLayoutUI(const TLayoutAxis& axis) : m_axis(axis) {}

    // Thickness of the drag band; a negative value puts it at the start edge.
    int m_sepSize = 0;

private:
    // What the first pass finds out about the visible, non-floating children.
    struct TMeasure {
        int counted = 0;
        int adjustables = 0;
        int fixedTotal = 0;
        int neededCross = 0;
    };
    TMeasure MeasureChildren(SIZE available) const;
    LONG CrossSize(CControlUI* child, SIZE estimate, LONG offered, LONG room) const;
    void PlaceAcross(RECT& pos, const RECT& rc, const RECT& pad, LONG size) const;
    bool DragTo(POINT pt);
    void KeepDraggedSize();

    const TLayoutAxis& m_axis;
    UINT m_buttonState = 0;
    POINT m_lastMouse = {0, 0};
    RECT m_newPos = {0, 0, 0, 0};
    bool m_immediate = false;
};

}  // namespace HiveUI
