// Pixel rules of the layered window's back buffer, a bottom-up 32-bit DIB whose pixels
// are 0xAARRGGBB.
#pragma once

#include <windows.h>

namespace HiveUI {

// Colour channels scaled by alpha / 255 (integer division); alpha becomes the given one.
DWORD PremultiplyPixel(DWORD pixel, BYTE alpha);
// GDI drawing leaves alpha 0 behind; a pixel that got a colour that way becomes opaque.
DWORD FixGdiAlpha(DWORD pixel);
// Index of pixel (x, y) in top-down coordinates within a bottom-up DIB of that size.
int BottomUpPixelIndex(int x, int y, int width, int height);

}  // namespace HiveUI
