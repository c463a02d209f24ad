// CRenderClip: restricts a DC's painting to a rectangle or a rounded rectangle for the
// guard's life, then restores the clip box that was in force before.
#pragma once

#include <windows.h>

namespace HiveUI {

class CRenderClip {
public:
    CRenderClip() = default;
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

    static void GenerateClip(HDC hdc, const RECT& rect, CRenderClip& clip);
    static void GenerateRoundClip(HDC hdc, const RECT& rect, const RECT& item, int cornerWidth, int cornerHeight,
                                  CRenderClip& clip);
    // Painting that must ignore the inner clip (borders) goes between these two.
    static void UseOldClipBegin(HDC hdc, CRenderClip& clip);
    static void UseOldClipEnd(HDC hdc, CRenderClip& clip);

    RECT rcItem = {0, 0, 0, 0};
    HDC hDC = nullptr;
    HRGN hRgn = nullptr;
    HRGN hOldRgn = nullptr;

private:
    void Reset();
    void SaveOldClip(HDC hdc, const RECT& rect);
};

}  // namespace HiveUI
