#include "RenderFallbacks.h"

#include "DibPixels.h"
#include "ScopedHandle.h"

namespace HiveUI {

namespace {

// Source-over with a premultiplied source: the source already carries its own alpha in
// its colours, so only the constant alpha scales it and the destination keeps what the
// source lets through.
void BlendPixel(const BYTE* src, BYTE* dest, int constant, bool perPixel) {
    const double sourceAlpha = (perPixel ? src[3] : 255) * constant / 255.0 / 255.0;
    const double keep = 1.0 - (sourceAlpha < 0.0 ? 0.0 : sourceAlpha);
    for (int c = 0; c < 3; ++c) {
        const double value = src[c] * constant / 255.0 + dest[c] * keep;
        dest[c] = static_cast<BYTE>(value > 255.0 ? 255 : static_cast<int>(value + 0.5));
    }
    const double alpha = sourceAlpha * 255.0 + dest[3] * keep;
    dest[3] = static_cast<BYTE>(alpha > 255.0 ? 255 : static_cast<int>(alpha + 0.5));
}

}  // namespace

bool SoftwareAlphaBlend(HDC dest, int destX, int destY, int destWidth, int destHeight, HDC src, int srcX, int srcY,
                        int srcWidth, int srcHeight, BLENDFUNCTION blend) {
    if (destWidth <= 0 || destHeight <= 0) return true;
    CScopedCreatedDC srcCopyDc(CreateCompatibleDC(dest));
    CScopedCreatedDC destCopyDc(CreateCompatibleDC(dest));
    if (!srcCopyDc.IsValid() || !destCopyDc.IsValid()) return false;
    void* srcPixels = nullptr;
    void* destPixels = nullptr;
    CScopedGdiObject<HBITMAP> srcCopy(CreateTopDownDib(nullptr, destWidth, destHeight, &srcPixels));
    CScopedGdiObject<HBITMAP> destCopy(CreateTopDownDib(nullptr, destWidth, destHeight, &destPixels));
    if (!srcCopy.IsValid() || !destCopy.IsValid() || srcPixels == nullptr || destPixels == nullptr) return false;
    BYTE* const srcBits = static_cast<BYTE*>(srcPixels);
    BYTE* const destBits = static_cast<BYTE*>(destPixels);
    CSelectObjectGuard srcSelected(srcCopyDc.Get(), srcCopy.Get());
    CSelectObjectGuard destSelected(destCopyDc.Get(), destCopy.Get());
    SetStretchBltMode(srcCopyDc.Get(), COLORONCOLOR);
    StretchBlt(srcCopyDc.Get(), 0, 0, destWidth, destHeight, src, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
    BitBlt(destCopyDc.Get(), 0, 0, destWidth, destHeight, dest, destX, destY, SRCCOPY);
    GdiFlush();
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const size_t count = static_cast<size_t>(destWidth) * static_cast<size_t>(destHeight);
    for (size_t i = 0; i < count; ++i)
        BlendPixel(srcBits + i * 4, destBits + i * 4, blend.SourceConstantAlpha, perPixel);
    BitBlt(dest, destX, destY, destWidth, destHeight, destCopyDc.Get(), 0, 0, SRCCOPY);
    return true;
}

void FillGradientBands(HDC hdc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps) {
    int shift = 1;
    if (steps >= 64) shift = 6;
    else if (steps >= 32) shift = 5;
    else if (steps >= 16) shift = 4;
    else if (steps >= 8) shift = 3;
    else if (steps >= 4) shift = 2;
    const int bands = 1 << shift;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    for (int i = 0; i < bands; ++i) {
        const auto channel = [&](int bit) {
            const int a = static_cast<int>((first >> bit) & 0xFF);
            const int b = static_cast<int>((second >> bit) & 0xFF);
            return static_cast<BYTE>((b * (bands - i) + a * i) >> shift);
        };
        RECT band = rect;
        if (vertical) {
            band.top = rect.bottom - (((i + 1) * height) >> shift);
            band.bottom = rect.bottom - ((i * height) >> shift);
        } else {
            band.left = rect.right - (((i + 1) * width) >> shift);
            band.right = rect.right - ((i * width) >> shift);
        }
        if (band.left >= band.right || band.top >= band.bottom) continue;
        CScopedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(channel(16), channel(8), channel(0))));
        if (brush.IsValid()) FillRect(hdc, &band, brush.Get());
    }
}

}  // namespace HiveUI
