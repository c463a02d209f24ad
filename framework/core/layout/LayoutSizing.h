// Size rules that every layout applies to its children alike.
#pragma once

#include <windows.h>

#include <algorithm>

#include "LayoutAxis.h"
#include "UIControl.h"

namespace HiveUI {
namespace LayoutSizing {

// The fixed size, or the maximum where no fixed size is set, bounds what a child is offered.
inline SIZE CutToLimits(const CControlUI* child, SIZE available) {
    const int limitWidth = child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
    const int limitHeight = child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
    available.cx = std::min<LONG>(available.cx, limitWidth);
    available.cy = std::min<LONG>(available.cy, limitHeight);
    return available;
}

// The child's minimum and then its maximum along the axis.
inline int ClampAlong(const CControlUI* child, const TLayoutAxis& axis, int size) {
    return std::min(std::max(size, (child->*axis.minimum)()), (child->*axis.maximum)());
}

inline int ClampHeight(const CControlUI* child, int cy) { return ClampAlong(child, kVerticalAxis, cy); }

inline int ClampWidth(const CControlUI* child, int cx) { return ClampAlong(child, kHorizontalAxis, cx); }

}  // namespace LayoutSizing
}  // namespace HiveUI
