// CUIRender: drawing images named by descriptions through a manager's caches, and
// snapshots of controls as bitmaps.
#include "ImageData.h"
#include "ImageDrawSpec.h"
#include "ScopedHandle.h"
#include "UIControl.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

bool Meets(const RECT& a, const RECT& b) {
    RECT out;
    return ::IntersectRect(&out, &a, &b) != FALSE;
}

bool IsZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

// Paints through the control (or the root up to the stop control) into a bitmap of the
// window's origin-based size, then copies out the rectangle.
HBITMAP Snapshot(CPaintManagerUI* manager, CControlUI* painter, RECT rect, CControlUI* stopControl,
                 DWORD filterColor) {
    HDC paintDC = manager->GetPaintDC();
    CScopedCreatedDC canvasDC(::CreateCompatibleDC(paintDC));
    CScopedGdiObject<HBITMAP> canvas(::CreateCompatibleBitmap(paintDC, rect.right, rect.bottom));
    if (!canvasDC.IsValid() || !canvas.IsValid()) return nullptr;
    HGDIOBJ oldCanvas = ::SelectObject(canvasDC.Get(), canvas.Get());
    painter->Paint(canvasDC.Get(), rect, stopControl);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    CScopedCreatedDC copyDC(::CreateCompatibleDC(paintDC));
    BYTE* bits = nullptr;
    HBITMAP copy = CUIRender::CreateARGB32Bitmap(paintDC, width, height, &bits);
    if (copy != nullptr && copyDC.IsValid()) {
        HGDIOBJ oldCopy = ::SelectObject(copyDC.Get(), copy);
        ::BitBlt(copyDC.Get(), 0, 0, width, height, canvasDC.Get(), rect.left, rect.top, SRCCOPY);
        RECT whole = {0, 0, width, height};
        if ((filterColor >> 24) != 0) CUIRender::DrawColor(copyDC.Get(), whole, filterColor);
        ::SelectObject(copyDC.Get(), oldCopy);
    }
    ::SelectObject(canvasDC.Get(), oldCanvas);
    ::GdiFlush();
    return copy;
}

}  // namespace

bool CUIRender::DrawImageSpec(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                              const wchar_t* name, const wchar_t* resType, RECT dest, RECT source, RECT corners,
                              DWORD mask, BYTE fade, bool hole, bool xTiled, bool yTiled, HINSTANCE instance) {
    if (name == nullptr || name[0] == L'\0' || manager == nullptr) return false;
    const wchar_t* type = (resType != nullptr && resType[0] != L'\0') ? resType : nullptr;
    TImageData* image = manager->GetImageEx(name, type, mask, false, instance);
    if (image == nullptr) return false;
    if (IsZero(source)) source = RECT{0, 0, image->width, image->height};
    if (source.right > image->width) source.right = image->width;
    if (source.bottom > image->height) source.bottom = image->height;
    if (!Meets(dest, item) || !Meets(dest, paint)) return true;
    DrawImage(hdc, image->bitmap, dest, paint, source, corners, manager->IsLayered() || image->hasAlpha, fade, hole,
              xTiled, yTiled);
    return true;
}

bool CUIRender::DrawImageInRect(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                const TImageDrawSpec* image, HINSTANCE instance) {
    if (manager == nullptr || hdc == nullptr || image == nullptr) return false;
    RECT dest = item;
    if (!IsZero(image->dest)) {
        dest.left = item.left + image->dest.left;
        dest.top = item.top + image->dest.top;
        dest.right = item.left + image->dest.right < item.right ? item.left + image->dest.right : item.right;
        dest.bottom = item.top + image->dest.bottom < item.bottom ? item.top + image->dest.bottom : item.bottom;
    }
    return DrawImageSpec(hdc, manager, item, paint, image->name, image->resType, dest, image->source, image->corner,
                         image->mask, image->fade, image->hole, image->xTiled, image->yTiled, instance);
}

bool CUIRender::DrawImageString(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                const wchar_t* description, const wchar_t* modifier, HINSTANCE instance) {
    if (manager == nullptr || hdc == nullptr) return false;
    return DrawImageInRect(hdc, manager, item, paint, manager->GetImageDrawSpec(description, modifier), instance);
}

HBITMAP CUIRender::GenerateBitmap(CPaintManagerUI* manager, RECT rect, CControlUI* stopControl, DWORD filterColor) {
    if (manager == nullptr || manager->GetRoot() == nullptr) return nullptr;
    return Snapshot(manager, manager->GetRoot(), rect, stopControl, filterColor);
}

HBITMAP CUIRender::GenerateBitmapFromRect(CPaintManagerUI* manager, CControlUI* control, RECT rect,
                                          DWORD filterColor) {
    if (manager == nullptr || control == nullptr) return nullptr;
    return Snapshot(manager, control, rect, nullptr, filterColor);
}

}  // namespace HiveUI
