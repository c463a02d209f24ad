#include "DpiScale.h"

namespace HiveUI {

CDpiScale::CDpiScale() : m_scale(100), m_systemScale(0), m_awareness(kPerMonitorAware) { SetScale(96); }

void CDpiScale::SetScale(int dpi) {
    // A scale of 0 would make every ScaleBack a division by zero.
    if (dpi <= 0) return;
    m_scale = ::MulDiv(dpi, 100, 96);
    if (m_systemScale == 0) m_systemScale = m_scale;
}

int CDpiScale::EffectiveScale() const { return m_awareness == kSystemAware ? m_systemScale : m_scale; }

int CDpiScale::GetScale() const { return m_awareness == kUnaware ? 100 : EffectiveScale(); }

int CDpiScale::GetDPI() const { return m_awareness == kUnaware ? 96 : ::MulDiv(EffectiveScale(), 96, 100); }

int CDpiScale::Scale(int n) const { return m_awareness == kUnaware ? n : ::MulDiv(n, EffectiveScale(), 100); }

int CDpiScale::ScaleBack(int n) const { return m_awareness == kUnaware ? n : ::MulDiv(n, 100, EffectiveScale()); }

// Width and height scale from the differences, so two rectangles of equal width stay
// equal whatever their positions round to.
RECT CDpiScale::ScaleRectFromValues(int left, int top, int right, int bottom) const {
    RECT rc;
    rc.left = Scale(left);
    rc.top = Scale(top);
    rc.right = rc.left + Scale(right - left);
    rc.bottom = rc.top + Scale(bottom - top);
    return rc;
}

void CDpiScale::ScaleRect(RECT& rc) const { rc = ScaleRectFromValues(rc.left, rc.top, rc.right, rc.bottom); }

void CDpiScale::ScaleBackRect(RECT& rc) const {
    const int width = ScaleBack(rc.right - rc.left);
    const int height = ScaleBack(rc.bottom - rc.top);
    rc.left = ScaleBack(rc.left);
    rc.top = ScaleBack(rc.top);
    rc.right = rc.left + width;
    rc.bottom = rc.top + height;
}

void CDpiScale::ScalePoint(POINT& pt) const {
    pt.x = Scale(pt.x);
    pt.y = Scale(pt.y);
}

SIZE CDpiScale::ScaleSize(int width, int height) const {
    SIZE size;
    size.cx = Scale(width);
    size.cy = Scale(height);
    return size;
}

}  // namespace HiveUI
