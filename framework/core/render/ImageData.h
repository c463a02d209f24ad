// TImageData: a loaded skin image, a 32-bit premultiplied top-down DIB section with what
// the drawing and the hue/saturation/lightness adjustment need to know about it.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "ScopedHandle.h"
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
    // The image's cells stretched to the size it was last drawn at, once that drawing came
    // twice, so that later paints copy and blend without stretching again.
    struct TComposed {
        SIZE size = {};
        RECT source = {};
        RECT corners = {};
        bool hole = false, xTiled = false, yTiled = false;
        bool seen = false;
        CScopedGdiObject<HBITMAP> bitmap;
    } composed;
};

}  // namespace HiveUI
