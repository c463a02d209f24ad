// TImageData: a loaded skin image, a 32-bit premultiplied top-down DIB section with what
// the drawing and the hue/saturation/lightness adjustment need to know about it.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "UIString.h"

namespace HiveUI {

struct TImageData {
    HBITMAP bitmap = nullptr;
    // Owned copies of the pixels for the hue/saturation/lightness adjustment: the adjusted
    // pixels and the pixels as loaded; null until the adjustment is used.
    BYTE* pixels = nullptr;
    BYTE* savedPixels = nullptr;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    bool useHSL = false;
    CUIString resType;
    DWORD mask = 0;
    // Source parts already checked for full opacity (the cells the image is drawn with),
    // each scanned once: the alpha channel never changes after loading.
    std::vector<std::pair<RECT, bool>> opaqueParts;
};

}  // namespace HiveUI
