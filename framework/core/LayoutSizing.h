// Size rules that every layout applies to its children alike.
#pragma once

#include <windows.h>

#include <algorithm>

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

inline int ClampHeight(const CControlUI* child, int cy) {
    return std::min(std::max(cy, child->GetMinHeight()), child->GetMaxHeight());
}

inline int ClampWidth(const CControlUI* child, int cx) {
    return std::min(std::max(cx, child->GetMinWidth()), child->GetMaxWidth());
}

}  // namespace LayoutSizing
}  // namespace HiveUI
