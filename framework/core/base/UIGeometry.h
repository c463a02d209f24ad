// CUIRect, CUIPoint and CUISize: the Windows RECT, POINT and SIZE records with the few
// operations that layout code uses. They add no fields, so they pass wherever the
// Windows records do.
#pragma once

#include <windows.h>

namespace HiveUI {

class CUIRect : public RECT {
public:
    CUIRect();
    CUIRect(const RECT& src);
    CUIRect(LONG l, LONG t, LONG r, LONG b);

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    void Empty() { left = top = right = bottom = 0; }
    void Join(const RECT& other);
    void MoveToOrigin() { Offset(-left, -top); }
    void Offset(int dx, int dy);
    void Deflate(int dx, int dy);
};

class CUIPoint : public POINT {
public:
    CUIPoint() { x = y = 0; }
    CUIPoint(const POINT& src) { x = src.x; y = src.y; }
    CUIPoint(LONG px, LONG py) { x = px; y = py; }
};

class CUISize : public SIZE {
public:
    CUISize() { cx = cy = 0; }
    CUISize(const SIZE& src) { cx = src.cx; cy = src.cy; }
    CUISize(LONG w, LONG h) { cx = w; cy = h; }
};

}  // namespace HiveUI
