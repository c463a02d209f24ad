#include "UIRender.h"

#include <algorithm>

#include "DibPixels.h"
#include "GdiplusObjects.h"
#include "RenderFallbacks.h"
#include "ScopedHandle.h"

namespace HiveUI {

namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32's exports, looked up once; null when the system lacks them.
FARPROC FindMsimg32(const char* name) {
    HMODULE module = GetModuleHandleW(L"msimg32.dll");
    if (module == nullptr) module = LoadLibraryW(L"msimg32.dll");
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

AlphaBlendFn GetAlphaBlend() {
    static const AlphaBlendFn fn = reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(FindMsimg32("AlphaBlend")));
    return fn;
}

GradientFillFn GetGradientFill() {
    static const GradientFillFn fn =
        reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(FindMsimg32("GradientFill")));
    return fn;
}

bool Blend(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh,
           BLENDFUNCTION blend) {
    if (AlphaBlendFn fn = GetAlphaBlend()) return fn(dest, x, y, width, height, src, sx, sy, sw, sh, blend) != FALSE;
    return SoftwareAlphaBlend(dest, x, y, width, height, src, sx, sy, sw, sh, blend);
}

CGdiplusPen Pen(DWORD color, float width) {
    Gdiplus::GpPen* pen = nullptr;
    if (Gdiplus::DllExports::GdipCreatePen1(color, width, Gdiplus::UnitWorld, &pen) != Gdiplus::Ok) pen = nullptr;
    return CGdiplusPen(pen);
}

// Memory DCs that images are selected into to be drawn from or composed into, kept for
// the thread: making and deleting one for every image drawn costs more than drawing a
// small image. Each use selects its bitmap and puts the DC's own back when it is done.
enum EDrawingDC { kImageDC, kComposedDC, kComposingDC, kDrawingDCs };

HDC DrawingDC(EDrawingDC which) {
    thread_local CScopedCreatedDC dcs[kDrawingDCs];
    if (!dcs[which].IsValid()) dcs[which].Reset(CreateCompatibleDC(nullptr));
    return dcs[which].Get();
}

COLORREF ToColorRef(DWORD color) { return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF); }

RECT MakeRect(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

bool Meets(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

// Copies one cell of a bitmap, blended or opaque, stretched when the sizes differ, or
// from where the cell lies already stretched in the image's composed bitmap.
struct CellPainter {
    HDC dest;
    HDC src;
    bool blended;
    BLENDFUNCTION blend;
    TImageData& image;
    HDC composed = nullptr;
    POINT origin = {};

    // A cell without a translucent pixel, blended at full opacity, gives the pixels of a
    // copy, which costs far less; msimg32's blend is needed to stretch it the same way.
    bool CopiesOpaqueCell(int sx, int sy, int sw, int sh) const {
        return blend.SourceConstantAlpha == 255 && GetAlphaBlend() != nullptr &&
               IsOpaqueImagePart(image, RECT{sx, sy, sx + sw, sy + sh});
    }

    void Draw(const RECT& to, int sx, int sy, int sw, int sh) const {
        const int w = to.right - to.left;
        const int h = to.bottom - to.top;
        if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
        const bool copied = blended && CopiesOpaqueCell(sx, sy, sw, sh);
        if (composed != nullptr) {
            const int cx = to.left - origin.x, cy = to.top - origin.y;
            if (copied) BitBlt(dest, to.left, to.top, w, h, composed, cx, cy, SRCCOPY);
            else Blend(dest, to.left, to.top, w, h, composed, cx, cy, w, h, blend);
        } else if (blended && !copied) {
            Blend(dest, to.left, to.top, w, h, src, sx, sy, sw, sh, blend);
        } else if (w == sw && h == sh) {
            BitBlt(dest, to.left, to.top, w, h, src, sx, sy, SRCCOPY);
        } else if (!copied) {
            StretchBlt(dest, to.left, to.top, w, h, src, sx, sy, sw, sh, SRCCOPY);
        } else {
            // The blend samples the nearest source pixel, not the halftone of the target.
            SetStretchBltMode(dest, COLORONCOLOR);
            StretchBlt(dest, to.left, to.top, w, h, src, sx, sy, sw, sh, SRCCOPY);
            SetStretchBltMode(dest, HALFTONE);
        }
    }
};

// The middle cell; tiles are cut, never stretched, at the destination's far edges.
void DrawMiddle(const CellPainter& painter, const RECT& to, const RECT& from, bool xTiled, bool yTiled) {
    const int dw = to.right - to.left, dh = to.bottom - to.top;
    const int sw = from.right - from.left, sh = from.bottom - from.top;
    if (!xTiled && !yTiled) {
        painter.Draw(to, from.left, from.top, sw, sh);
        return;
    }
    if ((xTiled && sw < 1) || (yTiled && sh < 1)) return;
    const int columns = xTiled ? (dw + sw - 1) / sw : 1;
    const int rows = yTiled ? (dh + sh - 1) / sh : 1;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            RECT cell = to;
            int cellSourceW = sw, cellSourceH = sh;
            if (xTiled) {
                cell.left = to.left + sw * i;
                cell.right = std::min<LONG>(cell.left + sw, to.right);
                cellSourceW = cell.right - cell.left;
            }
            if (yTiled) {
                cell.top = to.top + sh * j;
                cell.bottom = std::min<LONG>(cell.top + sh, to.bottom);
                cellSourceH = cell.bottom - cell.top;
            }
            painter.Draw(cell, from.left, from.top, cellSourceW, cellSourceH);
        }
    }
}

void DrawBorders(const CellPainter& painter, const RECT& d, const RECT& s, const RECT& c, const RECT& paint) {
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    const auto cell = [&](bool needed, const RECT& to, int sx, int sy, int cw, int ch) {
        if (needed && Meets(to, paint)) painter.Draw(to, sx, sy, cw, ch);
    };
    cell(c.left > 0 && c.top > 0, MakeRect(d.left, d.top, c.left, c.top), s.left, s.top, c.left, c.top);
    cell(c.top > 0, MakeRect(d.left + c.left, d.top, dw - c.left - c.right, c.top), s.left + c.left, s.top,
         sw - c.left - c.right, c.top);
    cell(c.right > 0 && c.top > 0, MakeRect(d.right - c.right, d.top, c.right, c.top), s.right - c.right, s.top,
         c.right, c.top);
    cell(c.left > 0, MakeRect(d.left, d.top + c.top, c.left, dh - c.top - c.bottom), s.left, s.top + c.top, c.left,
         sh - c.top - c.bottom);
    cell(c.right > 0, MakeRect(d.right - c.right, d.top + c.top, c.right, dh - c.top - c.bottom), s.right - c.right,
         s.top + c.top, c.right, sh - c.top - c.bottom);
    cell(c.left > 0 && c.bottom > 0, MakeRect(d.left, d.bottom - c.bottom, c.left, c.bottom), s.left,
         s.bottom - c.bottom, c.left, c.bottom);
    cell(c.bottom > 0, MakeRect(d.left + c.left, d.bottom - c.bottom, dw - c.left - c.right, c.bottom),
         s.left + c.left, s.bottom - c.bottom, sw - c.left - c.right, c.bottom);
    cell(c.right > 0 && c.bottom > 0, MakeRect(d.right - c.right, d.bottom - c.bottom, c.right, c.bottom),
         s.right - c.right, s.bottom - c.bottom, c.right, c.bottom);
}

RECT Shrink(const RECT& r, const RECT& by) {
    return RECT{r.left + by.left, r.top + by.top, r.right - by.right, r.bottom - by.bottom};
}

void DrawCells(const CellPainter& painter, const RECT& dest, const RECT& paint, const RECT& source,
               const RECT& corners, bool hole, bool xTiled, bool yTiled) {
    const RECT middle = Shrink(dest, corners);
    if (!hole && Meets(middle, paint)) DrawMiddle(painter, middle, Shrink(source, corners), xTiled, yTiled);
    DrawBorders(painter, dest, source, corners, paint);
}

// Composing pays when cells are stretched, and is exact only when the cells do not
// overlap and the pixels cannot change (hue adjustment rewrites them).
bool MayCompose(const TImageData& image, const RECT& dest, const RECT& source, const RECT& corners) {
    const int w = dest.right - dest.left, h = dest.bottom - dest.top;
    return GetAlphaBlend() != nullptr && !image.useHSL && corners.left >= 0 && corners.top >= 0 &&
           corners.right >= 0 && corners.bottom >= 0 && w >= corners.left + corners.right &&
           h >= corners.top + corners.bottom && (w != source.right - source.left || h != source.bottom - source.top);
}

// The image's cells as the blend would stretch them, in a bitmap of the destination's
// size; made the second time in a row that the image is drawn this way, null before.
HBITMAP ComposedCells(TImageData& image, HDC src, const RECT& dest, const RECT& source, const RECT& corners,
                      bool hole, bool xTiled, bool yTiled) {
    TImageData::TComposed& cache = image.composed;
    const SIZE size = {dest.right - dest.left, dest.bottom - dest.top};
    if (!cache.seen || cache.size.cx != size.cx || cache.size.cy != size.cy || !EqualRect(&cache.source, &source) ||
        !EqualRect(&cache.corners, &corners) || cache.hole != hole || cache.xTiled != xTiled ||
        cache.yTiled != yTiled) {
        cache.bitmap.Reset();
        cache = TImageData::TComposed{size, source, corners, hole, xTiled, yTiled, true, {}};
        return nullptr;
    }
    if (cache.bitmap.IsValid()) return cache.bitmap.Get();
    void* bits = nullptr;
    CScopedGdiObject<HBITMAP> bitmap(CreateTopDownDib(src, size.cx, size.cy, &bits));
    const HDC dc = DrawingDC(kComposingDC);
    if (!bitmap.IsValid() || dc == nullptr) return nullptr;
    {
        CSelectObjectGuard selected(dc, bitmap.Get());
        SetStretchBltMode(dc, COLORONCOLOR);
        const RECT whole = {0, 0, size.cx, size.cy};
        const CellPainter composer{dc, src, false, BLENDFUNCTION{}, image};
        DrawCells(composer, whole, whole, source, corners, hole, xTiled, yTiled);
    }
    cache.bitmap = std::move(bitmap);
    return cache.bitmap.Get();
}

}  // namespace

void CUIRender::DrawImage(HDC hdc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                          const RECT& corners, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled) {
    // A bare bitmap remembers its opaque cells for this one drawing (tiles repeat them).
    TImageData image;
    image.bitmap = bitmap;
    DrawImageCells(hdc, image, dest, paint, source, corners, alpha, fade, hole, xTiled, yTiled);
}

void CUIRender::DrawImageCells(HDC hdc, TImageData& image, const RECT& dest, const RECT& paint, const RECT& source,
                               const RECT& corners, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled) {
    const HDC memory = DrawingDC(kImageDC);
    if (hdc == nullptr || image.bitmap == nullptr || memory == nullptr) return;
    CSelectObjectGuard selected(memory, image.bitmap);
    SetStretchBltMode(hdc, HALFTONE);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    CellPainter painter{hdc, memory, alpha || fade < 255, blend, image};
    const bool sameSize = dest.right - dest.left == source.right - source.left &&
                          dest.bottom - dest.top == source.bottom - source.top;
    const bool noCorners = corners.left == 0 && corners.top == 0 && corners.right == 0 && corners.bottom == 0;
    if (!painter.blended && sameSize && noCorners) {
        RECT visible;
        if (!IntersectRect(&visible, &dest, &paint)) return;
        BitBlt(hdc, visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top, memory,
               source.left + visible.left - dest.left, source.top + visible.top - dest.top, SRCCOPY);
        return;
    }
    const HBITMAP composed = painter.blended && MayCompose(image, dest, source, corners)
                                 ? ComposedCells(image, memory, dest, source, corners, hole, xTiled, yTiled)
                                 : nullptr;
    const HDC composedDC = composed != nullptr ? DrawingDC(kComposedDC) : nullptr;
    if (composedDC != nullptr) {
        CSelectObjectGuard selected(composedDC, composed);
        painter.composed = composedDC;
        painter.origin = POINT{dest.left, dest.top};
        DrawCells(painter, dest, paint, source, corners, hole, xTiled, yTiled);
        return;
    }
    DrawCells(painter, dest, paint, source, corners, hole, xTiled, yTiled);
}

void CUIRender::DrawColor(HDC hdc, const RECT& rect, DWORD color) {
    if (hdc == nullptr || (color >> 24) == 0) return;
    // An opaque fill of a back buffer is written straight into its pixels: GDI+ would
    // blend the same colour through a temporary buffer.
    if ((color >> 24) == 0xFF && rect.right >= rect.left && rect.bottom >= rect.top && FillOpaqueDib(hdc, rect, color))
        return;
    CGdiplusGraphics graphics = GdiplusGraphicsOn(hdc);
    CGdiplusBrush brush = GdiplusSolidBrush(color);
    if (!graphics || !brush) return;
    Gdiplus::DllExports::GdipFillRectangleI(graphics.get(), brush.get(), rect.left, rect.top, rect.right - rect.left,
                                            rect.bottom - rect.top);
}

namespace {

void FillGradient(HDC hdc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps) {
    GradientFillFn gradientFill = GetGradientFill();
    if (gradientFill == nullptr) {
        FillGradientBands(hdc, rect, first, second, vertical, steps);
        return;
    }
    const auto vertex = [](LONG x, LONG y, DWORD color) {
        return TRIVERTEX{x, y, static_cast<COLOR16>(((color >> 16) & 0xFF) << 8),
                         static_cast<COLOR16>(((color >> 8) & 0xFF) << 8), static_cast<COLOR16>((color & 0xFF) << 8),
                         0xFF00};
    };
    TRIVERTEX vertices[2] = {vertex(rect.left, rect.top, first), vertex(rect.right, rect.bottom, second)};
    GRADIENT_RECT gradient = {0, 1};
    gradientFill(hdc, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

}  // namespace

void CUIRender::DrawGradient(HDC hdc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps) {
    const int alpha = static_cast<int>((first >> 24) + (second >> 24)) / 2;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (hdc == nullptr || alpha == 0 || width <= 0 || height <= 0) return;
    if (alpha == 255) {
        FillGradient(hdc, rect, first, second, vertical, steps);
        return;
    }
    // A part-transparent gradient is painted opaque off-screen and blended with the mean
    // alpha; its bitmap is a DIB section so that every pixel can be made opaque, which
    // GDI's band fill does not do.
    CScopedCreatedDC memory(CreateCompatibleDC(hdc));
    BYTE* bits = nullptr;
    CScopedGdiObject<HBITMAP> bitmap(CreateARGB32Bitmap(hdc, width, height, &bits));
    if (!memory.IsValid() || !bitmap.IsValid() || bits == nullptr) return;
    CSelectObjectGuard selected(memory.Get(), bitmap.Get());
    FillGradient(memory.Get(), RECT{0, 0, width, height}, first, second, vertical, steps);
    GdiFlush();
    for (int i = 0; i < width * height; ++i) bits[i * 4 + 3] = 0xFF;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    Blend(hdc, rect.left, rect.top, width, height, memory.Get(), 0, 0, width, height, blend);
}

void CUIRender::DrawLine(HDC hdc, const RECT& rect, int penWidth, DWORD color, int penStyle) {
    if (hdc == nullptr) return;
    LOGPEN logPen = {static_cast<UINT>(penStyle), POINT{penWidth, 0}, ToColorRef(color)};
    CScopedGdiObject<HPEN> pen(CreatePenIndirect(&logPen));
    if (!pen.IsValid()) return;
    CSelectObjectGuard selected(hdc, pen.Get());
    POINT old;
    MoveToEx(hdc, rect.left, rect.top, &old);
    LineTo(hdc, rect.right, rect.bottom);
}

void CUIRender::DrawRect(HDC hdc, const RECT& rect, int penWidth, DWORD color) {
    if (hdc == nullptr) return;
    // GDI+ outlines with a one-pixel opaque pen the very pixels of four opaque fills.
    if (penWidth == 1 && (color >> 24) == 0xFF && FrameOpaqueDib(hdc, rect, color)) return;
    CGdiplusGraphics graphics = GdiplusGraphicsOn(hdc);
    CGdiplusPen pen = Pen(color, static_cast<float>(penWidth));
    if (!graphics || !pen) return;
    Gdiplus::DllExports::GdipSetPenMode(pen.get(), Gdiplus::PenAlignmentInset);
    Gdiplus::DllExports::GdipDrawRectangleI(graphics.get(), pen.get(), rect.left, rect.top,
                                            rect.right - rect.left - 1, rect.bottom - rect.top - 1);
}

void CUIRender::DrawRoundRectPath(HDC hdc, float x, float y, float width, float height, float cornerSize,
                                  DWORD penColor, float penWidth, bool fill, DWORD fillColor) {
    if (hdc == nullptr) return;
    using namespace Gdiplus::DllExports;
    const float r = cornerSize / 2;
    CGdiplusGraphics graphics = GdiplusGraphicsOn(hdc);
    Gdiplus::GpPath* rawPath = nullptr;
    if (!graphics || GdipCreatePath(Gdiplus::FillModeAlternate, &rawPath) != Gdiplus::Ok) return;
    CGdiplusPath path(rawPath);
    GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeHighQuality);
    GdipAddPathLine(rawPath, x + r, y, x + width - r, y);
    GdipAddPathArc(rawPath, x + width - 2 * r, y, 2 * r, 2 * r, 270, 90);
    GdipAddPathLine(rawPath, x + width, y + r, x + width, y + height - r);
    GdipAddPathArc(rawPath, x + width - 2 * r, y + height - 2 * r, 2 * r, 2 * r, 0, 90);
    GdipAddPathLine(rawPath, x + width - r, y + height, x + r, y + height);
    GdipAddPathArc(rawPath, x, y + height - 2 * r, 2 * r, 2 * r, 90, 90);
    GdipAddPathLine(rawPath, x, y + height - r, x, y + r);
    GdipAddPathArc(rawPath, x, y, 2 * r, 2 * r, 180, 90);
    GdipClosePathFigure(rawPath);
    if (CGdiplusPen pen = Pen(penColor, penWidth)) GdipDrawPath(graphics.get(), pen.get(), rawPath);
    if (!fill) return;
    // A fill colour without alpha means "fill with the pen colour".
    if (CGdiplusBrush brush = GdiplusSolidBrush((fillColor >> 24) != 0 ? fillColor : penColor))
        GdipFillPath(graphics.get(), brush.get(), rawPath);
}

void CUIRender::DrawRoundRect(HDC hdc, const RECT& rect, int penWidth, int cornerWidth, int cornerHeight,
                              DWORD color) {
    (void)cornerHeight;  // the path's corners are circular
    DrawRoundRectPath(hdc, static_cast<float>(rect.left), static_cast<float>(rect.top),
                      static_cast<float>(rect.right - rect.left - 1), static_cast<float>(rect.bottom - rect.top - 1),
                      static_cast<float>(cornerWidth), color, static_cast<float>(penWidth));
}

HBITMAP CUIRender::CreateARGB32Bitmap(HDC hdc, int width, int height, BYTE** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr) *bits = static_cast<BYTE*>(pixels);
    return bitmap;
}

}  // namespace HiveUI
