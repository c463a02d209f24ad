#include "LayeredPixels.h"

namespace HiveUI {

DWORD PremultiplyPixel(DWORD pixel, BYTE alpha) {
    DWORD red = ((pixel >> 16) & 0xFF) * alpha / 255;
    DWORD green = ((pixel >> 8) & 0xFF) * alpha / 255;
    DWORD blue = (pixel & 0xFF) * alpha / 255;
    return (static_cast<DWORD>(alpha) << 24) | (red << 16) | (green << 8) | blue;
}

DWORD FixGdiAlpha(DWORD pixel) {
    if ((pixel & 0xFF000000) == 0 && (pixel & 0x00FFFFFF) != 0) return pixel | 0xFF000000;
    return pixel;
}

int BottomUpPixelIndex(int x, int y, int width, int height) { return (height - 1 - y) * width + x; }

}  // namespace HiveUI
