// CUIRender: the stateless drawing operations with which controls paint (bitmaps with
// nine-grid corners, tiling and fade; colours, gradients and shapes; hue/saturation/
// lightness adjustment) and the loading of skin images.
#pragma once

#include <windows.h>

#include "ImageData.h"

namespace Gdiplus {
class GpImage;
}

namespace HiveUI {

class CAnimatedImage;
class CControlUI;
class CPaintManagerUI;
class CUIString;
struct TImageDrawSpec;

class CUIRender {
public:
    // Images: the name may be a resource id made with MAKEINTRESOURCEW.
    static TImageData* LoadImage(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                                 HINSTANCE instance = nullptr);
    static TImageData* LoadImageByName(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                                       HINSTANCE instance = nullptr);
    static TImageData* LoadImageById(UINT id, const wchar_t* type = nullptr, DWORD mask = 0,
                                     HINSTANCE instance = nullptr);
    static void FreeImage(TImageData* image, bool deleteRecord = true);
    // The frames of the image that a description names, decoded; null when it cannot be had.
    static CAnimatedImage* LoadAnimatedImage(const wchar_t* description);
    static Gdiplus::GpImage* GdiplusLoadImage(const wchar_t* description);
    static Gdiplus::GpImage* CreateImageFromMemory(const void* bytes, DWORD size);

    static void DrawImage(HDC hdc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                          const RECT& corners, bool alpha, BYTE fade = 255, bool hole = false, bool xTiled = false,
                          bool yTiled = false);

    // Skin images through the manager's caches; false when the image cannot be had.
    static bool DrawImageSpec(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                              const wchar_t* name, const wchar_t* type, RECT dest, RECT source, const RECT& corners,
                              DWORD mask, BYTE fade, bool hole, bool xTiled, bool yTiled, HINSTANCE instance = nullptr);
    static bool DrawImageInRect(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                const TImageDrawSpec* spec, HINSTANCE instance = nullptr);
    static bool DrawImageString(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                const wchar_t* description, const wchar_t* modifier = nullptr,
                                HINSTANCE instance = nullptr);

    // Text in one of the manager's fonts, through GDI or GDI+ as the manager paints.
    static void DrawText(HDC hdc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color, int font,
                         UINT format);
    static void DrawTextWithBackground(HDC hdc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                                       DWORD textColor, int font, UINT format, DWORD backColor);
    static SIZE GetTextSize(HDC hdc, CPaintManagerUI* manager, const wchar_t* text, int font);
    // Tagged text wrapped into the rectangle with GDI; with DT_CALCRECT the rectangle gets
    // the extent instead. linkCount holds the capacity of links and linkTexts on the way
    // in and the number of links drawn on the way out.
    static void DrawHtmlText(HDC hdc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color,
                             RECT* links, CUIString* linkTexts, int& linkCount, int font, UINT style);

    // Snapshots of controls as bottom-up 32-bit DIB sections.
    static HBITMAP GenerateBitmap(CPaintManagerUI* manager, RECT rect, CControlUI* stopControl = nullptr,
                                  DWORD filterColor = 0);
    static HBITMAP GenerateBitmapFromRect(CPaintManagerUI* manager, CControlUI* control, RECT rect,
                                          DWORD filterColor = 0);

    // Colours and shapes; colours are 0xAARRGGBB.
    static void DrawColor(HDC hdc, const RECT& rect, DWORD color);
    static void DrawGradient(HDC hdc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps);
    static void DrawLine(HDC hdc, const RECT& rect, int penWidth, DWORD color, int penStyle = PS_SOLID);
    static void DrawRect(HDC hdc, const RECT& rect, int penWidth, DWORD color);
    static void DrawRoundRectPath(HDC hdc, float x, float y, float width, float height, float cornerSize,
                                  DWORD penColor, float penWidth, bool fill = false, DWORD fillColor = 0);
    static void DrawRoundRect(HDC hdc, const RECT& rect, int penWidth, int cornerWidth, int cornerHeight,
                              DWORD color);
    static DWORD MixColor(DWORD first, double firstWeight, DWORD second, double secondWeight);
    static void AvoidBlackColor(DWORD& color);

    // A bottom-up 32-bit DIB section and its bits.
    static HBITMAP CreateARGB32Bitmap(HDC hdc, int width, int height, BYTE** bits);

    static void RgbToHsl(DWORD color, double* hue, double* saturation, double* lightness);
    static void HslToRgb(DWORD* color, double hue, double saturation, double lightness);
    static DWORD AdjustColor(DWORD color, short hue, short saturation, short lightness);
    static void AdjustImage(bool on, TImageData* image, short hue, short saturation, short lightness);

private:
    // DrawImage of an image's bitmap; the image remembers which of its cells are opaque.
    static void DrawImageCells(HDC hdc, TImageData& image, const RECT& dest, const RECT& paint, const RECT& source,
                               const RECT& corners, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled);
};

}  // namespace HiveUI
