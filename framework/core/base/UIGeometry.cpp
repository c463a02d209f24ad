#include "UIGeometry.h"

namespace HiveUI {

CUIRect::CUIRect() { left = top = right = bottom = 0; }

CUIRect::CUIRect(const RECT& src) {
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CUIRect::CUIRect(LONG l, LONG t, LONG r, LONG b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
}

void CUIRect::Join(const RECT& other) {
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
}

void CUIRect::Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void CUIRect::Deflate(int dx, int dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
}

}  // namespace HiveUI
