// TLayoutAxis: one of the two directions in which layouts place their children and
// containers scroll them, so that a rule is written once for both: what is the width,
// left and right along the horizontal axis is the height, top and bottom along the other.
#pragma once

#include <windows.h>

#include "UIControl.h"

namespace HiveUI {

struct TLayoutAxis {
    bool vertical;
    LONG SIZE::*extent;
    LONG POINT::*coord;
    LONG RECT::*start;
    LONG RECT::*end;
    int (CControlUI::*fixed)() const;
    int (CControlUI::*minimum)() const;
    int (CControlUI::*maximum)() const;
};

inline const TLayoutAxis kHorizontalAxis = {false,
                                            &SIZE::cx,
                                            &POINT::x,
                                            &RECT::left,
                                            &RECT::right,
                                            &CControlUI::GetFixedWidth,
                                            &CControlUI::GetMinWidth,
                                            &CControlUI::GetMaxWidth};

inline const TLayoutAxis kVerticalAxis = {true,
                                          &SIZE::cy,
                                          &POINT::y,
                                          &RECT::top,
                                          &RECT::bottom,
                                          &CControlUI::GetFixedHeight,
                                          &CControlUI::GetMinHeight,
                                          &CControlUI::GetMaxHeight};

inline const TLayoutAxis& CrossAxis(const TLayoutAxis& axis) { return axis.vertical ? kHorizontalAxis : kVerticalAxis; }

inline LONG Extent(const RECT& rc, const TLayoutAxis& axis) { return rc.*axis.end - rc.*axis.start; }

}  // namespace HiveUI
