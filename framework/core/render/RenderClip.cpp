#include "RenderClip.h"

namespace HiveUI {

CRenderClip::~CRenderClip() { Reset(); }

// A guard that is set up again first gives back what it held.
void CRenderClip::Reset() {
    if (hDC != nullptr && hOldRgn != nullptr) SelectClipRgn(hDC, hOldRgn);
    if (hOldRgn != nullptr) DeleteObject(hOldRgn);
    if (hRgn != nullptr) DeleteObject(hRgn);
    hOldRgn = nullptr;
    hRgn = nullptr;
    hDC = nullptr;
}

void CRenderClip::SaveOldClip(HDC hdc, const RECT& rect) {
    Reset();
    RECT box = {0, 0, 0, 0};
    GetClipBox(hdc, &box);
    hOldRgn = CreateRectRgnIndirect(&box);
    hDC = hdc;
    rcItem = rect;
}

void CRenderClip::GenerateClip(HDC hdc, const RECT& rect, CRenderClip& clip) {
    if (hdc == nullptr) return;
    clip.SaveOldClip(hdc, rect);
    clip.hRgn = CreateRectRgnIndirect(&rect);
    if (clip.hRgn != nullptr) ExtSelectClipRgn(hdc, clip.hRgn, RGN_AND);
}

void CRenderClip::GenerateRoundClip(HDC hdc, const RECT& rect, const RECT& item, int cornerWidth, int cornerHeight,
                                    CRenderClip& clip) {
    if (hdc == nullptr) return;
    clip.SaveOldClip(hdc, rect);
    clip.hRgn = CreateRectRgnIndirect(&rect);
    HRGN round = CreateRoundRectRgn(item.left, item.top, item.right + 1, item.bottom + 1, cornerWidth, cornerHeight);
    if (clip.hRgn != nullptr && round != nullptr) CombineRgn(clip.hRgn, clip.hRgn, round, RGN_AND);
    if (round != nullptr) DeleteObject(round);
    if (clip.hRgn != nullptr) ExtSelectClipRgn(hdc, clip.hRgn, RGN_AND);
}

void CRenderClip::UseOldClipBegin(HDC hdc, CRenderClip& clip) { SelectClipRgn(hdc, clip.hOldRgn); }

void CRenderClip::UseOldClipEnd(HDC hdc, CRenderClip& clip) { SelectClipRgn(hdc, clip.hRgn); }

}  // namespace HiveUI
