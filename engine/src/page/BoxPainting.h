// How the page's boxes and pictures reach a device context: plain and rounded fills at
// an opacity, blurred box shadows, and decoded pictures scaled into their boxes. Edges of
// rounded corners and shadows are anti-aliased by coverage, blended with AlphaBlend.
#pragma once

#include <windows.h>

#include <memory>

#include "HandleOwner.h"
#include "ImageDecoder.h"
#include "StyleSheet.h"

namespace engine {

void FillSolid(HDC dc, const RECT& rect, COLORREF color, BYTE alpha);
// rect with corners of radius (at most half its smaller side); clip bounds the work to
// what is visible.
void FillRounded(HDC dc, const RECT& rect, int radius, COLORREF color, BYTE alpha, const RECT& clip);
// The shadow of the box at rect (corner radius as the box's) outside that box.
void PaintShadow(HDC dc, const RECT& rect, int radius, const BoxShadow& shadow, BYTE alpha, const RECT& clip);
// A bitmap of the picture for PaintPicture; null when GDI cannot make one.
std::shared_ptr<GdiObject> PictureBitmap(const DecodedImage& image);
void PaintPicture(HDC dc, const RECT& rect, HGDIOBJ bitmap, SIZE size, BYTE alpha, const RECT& clip);

}  // namespace engine
