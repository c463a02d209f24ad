// CUIRender: snapshots of controls as bitmaps (the drag image).
#include "ScopedHandle.h"
#include "UIControl.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

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
