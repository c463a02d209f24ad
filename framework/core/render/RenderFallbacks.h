// Drawing without msimg32: what CUIRender does in place of AlphaBlend and GradientFill
// when the library does not export them.
#pragma once

#include <windows.h>

namespace HiveUI {

// Takes AlphaBlend's arguments. The source holds premultiplied pixels, as every skin
// image does. False when a memory DC or a DIB section cannot be made.
bool SoftwareAlphaBlend(HDC dest, int destX, int destY, int destWidth, int destHeight, HDC src, int srcX, int srcY,
                        int srcWidth, int srcHeight, BLENDFUNCTION blend);

// Solid bands from the first colour (top or left) to the second (bottom or right); the
// band count follows the steps asked for, at most 64.
void FillGradientBands(HDC hdc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps);

}  // namespace HiveUI
