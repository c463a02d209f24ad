// Drawing steps on 32-bit DIB sections that reach the pixels of GDI+ or of msimg32's
// blend the short way.
#pragma once

#include <windows.h>

namespace HiveUI {

struct TImageData;

// A 32-bit DIB section whose first row is the top one, as decoded images and pixel loops
// expect; bits receives its pixels. Null when the system refuses it.
HBITMAP CreateTopDownDib(HDC hdc, int width, int height, void** bits);

// Fills a rectangle with an opaque 0xAARRGGBB colour, alpha byte included, as a GDI+
// solid fill does, when the DC draws into a 32-bit DIB section and maps coordinates by a
// plain offset; false, with nothing drawn, otherwise.
bool FillOpaqueDib(HDC hdc, const RECT& rect, DWORD color);
// The same for the one-pixel frame of a rectangle of at least 2 x 2 pixels, the pixels of
// GDI+ outlining it with a pen of width 1.
bool FrameOpaqueDib(HDC hdc, const RECT& rect, DWORD color);

// True when the area lies inside a 32-bit DIB section and every pixel of it has alpha
// 255; false for anything else.
bool IsOpaqueDibArea(HBITMAP bitmap, const RECT& area);
// The same for a part of a loaded image, remembered with the image.
bool IsOpaqueImagePart(TImageData& image, const RECT& part);

}  // namespace HiveUI
