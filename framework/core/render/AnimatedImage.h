// CAnimatedImage: an animated image (GIF) decoded once into one premultiplied 32-bit DIB
// section that holds every frame, one under the other, with the delays the image stores.
// Any frame, the one a stopped animation shows included, is drawn straight from it.
#pragma once

#include <windows.h>

#include <vector>

#include "ScopedHandle.h"

namespace HiveUI {

class CAnimatedImage {
public:
    // frames: the DIB section, width x (height x count) pixels; it becomes the image's.
    CAnimatedImage(HBITMAP frames, int width, int height, UINT count, bool hasAlpha, std::vector<UINT> delays);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    UINT GetFrameCount() const { return m_count; }
    // Hundredths of a second, one per frame, as the image stores them (0 where a frame has
    // none); empty for an image of one frame, whose delay is never asked for.
    const std::vector<UINT>& GetDelays() const { return m_delays; }

    // The frame stretched over dest, drawn where it meets paint.
    void DrawFrame(HDC hdc, UINT frame, const RECT& dest, const RECT& paint) const;

private:
    CScopedGdiObject<HBITMAP> m_frames;
    int m_width;
    int m_height;
    UINT m_count;
    bool m_hasAlpha;
    std::vector<UINT> m_delays;
};

}  // namespace HiveUI
