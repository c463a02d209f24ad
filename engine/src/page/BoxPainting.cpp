#include "BoxPainting.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace engine {
namespace {

// A top-down 32-bit DIB section of the given size; bits receives its pixels.
GdiObject* NewDib(int width, int height, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    return bitmap != nullptr && *bits != nullptr ? new GdiObject(bitmap) : nullptr;
}

void BlendBitmap(HDC dc, const RECT& to, HGDIOBJ bitmap, const RECT& from, BYTE alpha, bool perPixel) {
    MemoryDc source(CreateCompatibleDC(dc));
    if (source.get() == nullptr) return;
    SelectGuard select(source.get(), bitmap);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
    AlphaBlend(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.get(), from.left, from.top,
               from.right - from.left, from.bottom - from.top, blend);
}

// Blends color over region, each pixel covered by coverage(x, y) (0 to 1) of its centre.
template <class Coverage>
void BlendCoverage(HDC dc, const RECT& region, COLORREF color, BYTE alpha, Coverage coverage) {
    const int width = region.right - region.left;
    const int height = region.bottom - region.top;
    if (width <= 0 || height <= 0 || alpha == 0) return;
    void* bits = nullptr;
    std::unique_ptr<GdiObject> dib(NewDib(width, height, &bits));
    if (!dib) return;
    auto* pixel = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double c = coverage(region.left + x + 0.5, region.top + y + 0.5);
            const uint32_t a = static_cast<uint32_t>(std::max(0.0, std::min(1.0, c)) * 255 + 0.5);
            const auto scale = [a](uint32_t channel) { return (channel * a + 127) / 255; };
            *pixel++ = (a << 24) | (scale(GetRValue(color)) << 16) | (scale(GetGValue(color)) << 8) | scale(GetBValue(color));
        }
    }
    BlendBitmap(dc, region, dib->get(), RECT{0, 0, width, height}, alpha, true);
}

// How far (x, y) lies outside the rounded rectangle: negative inside.
double Distance(double x, double y, const RECT& r, double radius) {
    const double halfWidth = (r.right - r.left) / 2.0;
    const double halfHeight = (r.bottom - r.top) / 2.0;
    const double qx = std::fabs(x - (r.left + halfWidth)) - (halfWidth - radius);
    const double qy = std::fabs(y - (r.top + halfHeight)) - (halfHeight - radius);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

RECT Intersection(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) ? out : RECT{0, 0, 0, 0};
}

}  // namespace

void FillSolid(HDC dc, const RECT& rect, COLORREF color, BYTE alpha) {
    if (alpha == 255) {
        SetDCBrushColor(dc, color);
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    void* bits = nullptr;
    std::unique_ptr<GdiObject> pixel(NewDib(1, 1, &bits));
    if (!pixel) return;
    *static_cast<DWORD*>(bits) = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    BlendBitmap(dc, rect, pixel->get(), RECT{0, 0, 1, 1}, alpha, false);
}

// Only the bands that hold the corners are drawn by coverage; the middle is one fill.
void FillRounded(HDC dc, const RECT& rect, int radius, COLORREF color, BYTE alpha, const RECT& clip) {
    radius = std::max(0, std::min({radius, static_cast<int>(rect.right - rect.left) / 2,
                                   static_cast<int>(rect.bottom - rect.top) / 2}));
    const auto inside = [&rect, radius](double x, double y) { return 0.5 - Distance(x, y, rect, radius); };
    const RECT top = {rect.left, rect.top, rect.right, rect.top + radius};
    const RECT middle = {rect.left, rect.top + radius, rect.right, rect.bottom - radius};
    const RECT bottom = {rect.left, rect.bottom - radius, rect.right, rect.bottom};
    BlendCoverage(dc, Intersection(top, clip), color, alpha, inside);
    const RECT visible = Intersection(middle, clip);
    if (!IsRectEmpty(&visible)) FillSolid(dc, visible, color, alpha);
    BlendCoverage(dc, Intersection(bottom, clip), color, alpha, inside);
}

// A blurred edge falls off as a Gaussian of half the blur radius, as browsers draw it.
void PaintShadow(HDC dc, const RECT& rect, int radius, const BoxShadow& shadow, BYTE alpha, const RECT& clip) {
    RECT cast = rect;
    OffsetRect(&cast, shadow.x, shadow.y);
    InflateRect(&cast, shadow.spread, shadow.spread);
    if (cast.right <= cast.left || cast.bottom <= cast.top) return;
    const double castRadius = radius > 0 ? std::max(0, radius + shadow.spread) : 0;
    const double sigma = shadow.blur / 2.0;
    const int reach = static_cast<int>(std::ceil(3 * sigma)) + 1;
    RECT region = cast;
    InflateRect(&region, reach, reach);
    // The box itself covers its own shadow: its straight inner part is skipped at once.
    const RECT across = {rect.left, rect.top + radius, rect.right, rect.bottom - radius};
    const RECT down = {rect.left + radius, rect.top, rect.right - radius, rect.bottom};
    const auto covered = [&](double x, double y) {
        const POINT p = {static_cast<LONG>(x), static_cast<LONG>(y)};
        if (PtInRect(&across, p) || PtInRect(&down, p)) return 0.0;
        const double d = Distance(x, y, cast, castRadius);
        const double shade = sigma > 0 ? 0.5 * std::erfc(d / (sigma * std::sqrt(2.0))) : 0.5 - d;
        const double outside = std::max(0.0, std::min(1.0, 0.5 + Distance(x, y, rect, radius)));
        return shadow.alpha * std::max(0.0, std::min(1.0, shade)) * outside;
    };
    BlendCoverage(dc, Intersection(region, clip), shadow.color, alpha, covered);
}

std::shared_ptr<GdiObject> PictureBitmap(const DecodedImage& image) {
    void* bits = nullptr;
    std::shared_ptr<GdiObject> bitmap(NewDib(image.width, image.height, &bits));
    if (bitmap) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
    return bitmap;
}

// Only the visible part is stretched, from the picture's pixels that it shows (whole ones):
// a picture may be drawn far larger than the window.
void PaintPicture(HDC dc, const RECT& rect, HGDIOBJ bitmap, SIZE size, BYTE alpha, const RECT& clip) {
    const RECT visible = Intersection(rect, clip);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (IsRectEmpty(&visible) || width <= 0 || height <= 0) return;
    const auto first = [](LONG at, LONG extent, LONG natural) {
        return static_cast<LONG>(static_cast<long long>(at) * natural / extent);
    };
    const auto end = [](LONG at, LONG extent, LONG natural) {
        return static_cast<LONG>((static_cast<long long>(at) * natural + extent - 1) / extent);
    };
    const RECT from = {first(visible.left - rect.left, width, size.cx), first(visible.top - rect.top, height, size.cy),
                       end(visible.right - rect.left, width, size.cx), end(visible.bottom - rect.top, height, size.cy)};
    if (from.right > from.left && from.bottom > from.top) BlendBitmap(dc, visible, bitmap, from, alpha, true);
}

}  // namespace engine
