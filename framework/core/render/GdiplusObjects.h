// Owners for objects of the GDI+ flat API, each freed by its own Gdip function.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>

namespace HiveUI {

template <class T, Gdiplus::GpStatus(WINGDIPAPI* Free)(T*)>
struct CGdiplusDeleter {
    void operator()(T* object) const { Free(object); }
};

template <class T, Gdiplus::GpStatus(WINGDIPAPI* Free)(T*)>
using CGdiplusPtr = std::unique_ptr<T, CGdiplusDeleter<T, Free>>;

using CGdiplusGraphics = CGdiplusPtr<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>;
using CGdiplusBrush = CGdiplusPtr<Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush>;
using CGdiplusPen = CGdiplusPtr<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>;
using CGdiplusPath = CGdiplusPtr<Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath>;
using CGdiplusFont = CGdiplusPtr<Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont>;
using CGdiplusStringFormat = CGdiplusPtr<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat>;

// A graphics object drawing on the DC; null when GDI+ cannot make one.
inline CGdiplusGraphics GdiplusGraphicsOn(HDC hdc) {
    Gdiplus::GpGraphics* graphics = nullptr;
    if (Gdiplus::DllExports::GdipCreateFromHDC(hdc, &graphics) != Gdiplus::Ok) graphics = nullptr;
    return CGdiplusGraphics(graphics);
}

inline CGdiplusBrush GdiplusSolidBrush(DWORD argb) {
    Gdiplus::GpSolidFill* brush = nullptr;
    if (Gdiplus::DllExports::GdipCreateSolidFill(argb, &brush) != Gdiplus::Ok) brush = nullptr;
    return CGdiplusBrush(brush);
}

}  // namespace HiveUI
