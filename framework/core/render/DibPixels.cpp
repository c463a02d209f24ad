#include "DibPixels.h"

#include <algorithm>
#include <cstring>

#include "ImageData.h"
#include "ScopedHandle.h"

namespace HiveUI {

HBITMAP CreateTopDownDib(HDC hdc, int width, int height, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    *bits = nullptr;
    return CreateDIBSection(hdc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

namespace {

bool GetDib(HBITMAP bitmap, DIBSECTION& section) {
    section = {};
    return bitmap != nullptr && GetObjectW(bitmap, sizeof section, &section) == sizeof section &&
           section.dsBm.bmBitsPixel == 32 && section.dsBm.bmBits != nullptr && section.dsBmih.biCompression == BI_RGB;
}

bool MapsByOffset(HDC hdc) {
    if (GetMapMode(hdc) != MM_TEXT || GetLayout(hdc) != 0) return false;
    if (GetGraphicsMode(hdc) != GM_ADVANCED) return true;
    XFORM xf = {};
    return GetWorldTransform(hdc, &xf) && xf.eM11 == 1 && xf.eM12 == 0 && xf.eM21 == 0 && xf.eM22 == 1 &&
           xf.eDx == 0 && xf.eDy == 0;
}

// A DIB pattern brush keeps the alpha byte that a solid brush's COLORREF cannot carry;
// a wide pattern lets each row be filled in long runs.
HBRUSH OpaquePatternBrush(DWORD color) {
    const int width = 256, headerUnits = sizeof(BITMAPINFOHEADER) / sizeof(DWORD);
    DWORD packed[headerUnits + width];
    const BITMAPINFOHEADER header = {sizeof(BITMAPINFOHEADER), width, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    memcpy(packed, &header, sizeof header);
    std::fill(packed + headerUnits, packed + headerUnits + width, 0xFF000000 | color);
    return CreateDIBPatternBrushPt(packed, DIB_RGB_COLORS);
}

// Rows [top, bottom) as they lie in memory for either row order of the DIB.
bool AreRowsOpaque(const DIBSECTION& dib, int top, int bottom, int left, int right) {
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    for (int y = top; y < bottom; ++y) {
        const DWORD* row = reinterpret_cast<const DWORD*>(bits + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes);
        for (int x = left; x < right; ++x)
            if ((row[x] >> 24) != 0xFF) return false;
    }
    return true;
}

bool FillOpaqueRects(HDC hdc, const RECT* rects, int count, DWORD color) {
    DIBSECTION dib;
    if (hdc == nullptr || !GetDib(static_cast<HBITMAP>(GetCurrentObject(hdc, OBJ_BITMAP)), dib) || !MapsByOffset(hdc))
        return false;
    CScopedGdiObject<HBRUSH> brush(OpaquePatternBrush(color));
    if (!brush.IsValid()) return false;
    for (int i = 0; i < count; ++i)
        if (FillRect(hdc, &rects[i], brush.Get()) == 0) return false;
    return true;
}

}  // namespace

bool FillOpaqueDib(HDC hdc, const RECT& rect, DWORD color) { return FillOpaqueRects(hdc, &rect, 1, color); }

bool FrameOpaqueDib(HDC hdc, const RECT& rect, DWORD color) {
    if (rect.right - rect.left < 2 || rect.bottom - rect.top < 2) return false;
    const RECT sides[4] = {{rect.left, rect.top, rect.right, rect.top + 1},
                           {rect.left, rect.bottom - 1, rect.right, rect.bottom},
                           {rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1},
                           {rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}};
    return FillOpaqueRects(hdc, sides, 4, color);
}

// GDI does not tell which way a DIB section's rows run, so the area passes only when it
// is opaque read either way.
bool IsOpaqueDibArea(HBITMAP bitmap, const RECT& area) {
    DIBSECTION dib;
    if (!GetDib(bitmap, dib) || area.left < 0 || area.top < 0 || area.right > dib.dsBm.bmWidth ||
        area.bottom > dib.dsBm.bmHeight || area.left >= area.right || area.top >= area.bottom)
        return false;
    GdiFlush();
    return AreRowsOpaque(dib, area.top, area.bottom, area.left, area.right) &&
           AreRowsOpaque(dib, dib.dsBm.bmHeight - area.bottom, dib.dsBm.bmHeight - area.top, area.left, area.right);
}

bool IsOpaqueImagePart(TImageData& image, const RECT& part) {
    for (const auto& known : image.opaqueParts)
        if (EqualRect(&known.first, &part)) return known.second;
    const bool opaque = IsOpaqueDibArea(image.bitmap, part);
    // A few cells per image are the rule; parts that keep changing are not remembered.
    if (image.opaqueParts.size() < 16) image.opaqueParts.emplace_back(part, opaque);
    return opaque;
}

}  // namespace HiveUI
