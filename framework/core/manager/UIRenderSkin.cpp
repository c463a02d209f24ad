// CUIRender operations that draw through a paint manager: images from its caches, text
// in its fonts and with its choice of GDI or GDI+.
#include <algorithm>

#include "ImageDrawSpec.h"
#include "TextPainter.h"
#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

bool IsZero(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

bool Meets(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) != FALSE;
}

}  // namespace

bool CUIRender::DrawImageSpec(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                              const wchar_t* name, const wchar_t* type, RECT dest, RECT source, const RECT& corners,
                              DWORD mask, BYTE fade, bool hole, bool xTiled, bool yTiled, HINSTANCE instance) {
    if (manager == nullptr || name == nullptr || name[0] == L'\0') return false;
    const wchar_t* resType = (type != nullptr && type[0] != L'\0') ? type : nullptr;
    TImageData* image = manager->GetImageEx(name, resType, mask, false, instance);
    if (image == nullptr) return false;
    if (IsZero(source)) source = RECT{0, 0, image->width, image->height};
    source.right = std::min<LONG>(source.right, image->width);
    source.bottom = std::min<LONG>(source.bottom, image->height);
    if (!Meets(dest, item) || !Meets(dest, paint)) return true;
    const bool alpha = manager->IsLayered() ? true : image->hasAlpha;
    DrawImageCells(hdc, *image, dest, paint, source, corners, alpha, fade, hole, xTiled, yTiled);
    return true;
}

bool CUIRender::DrawImageInRect(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                const TImageDrawSpec* spec, HINSTANCE instance) {
    if (manager == nullptr || hdc == nullptr || spec == nullptr) return false;
    RECT dest = item;
    if (!IsZero(spec->dest)) {
        dest.left = item.left + spec->dest.left;
        dest.top = item.top + spec->dest.top;
        dest.right = std::min<LONG>(item.left + spec->dest.right, item.right);
        dest.bottom = std::min<LONG>(item.top + spec->dest.bottom, item.bottom);
    }
    return DrawImageSpec(hdc, manager, item, paint, spec->name, spec->resType, dest, spec->source, spec->corner,
                         spec->mask, spec->fade, spec->hole, spec->xTiled, spec->yTiled, instance);
}

bool CUIRender::DrawImageString(HDC hdc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                const wchar_t* description, const wchar_t* modifier, HINSTANCE instance) {
    if (manager == nullptr || hdc == nullptr) return false;
    return DrawImageInRect(hdc, manager, item, paint, manager->GetImageDrawSpec(description, modifier), instance);
}

void CUIRender::DrawText(HDC hdc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color, int font,
                         UINT format) {
    if (manager == nullptr || text == nullptr || text[0] == L'\0') return;
    // A layered window keeps per-pixel alpha, which only the GDI+ path writes.
    if (!manager->IsLayered() && !manager->IsUseGdiplusText()) {
        PaintTextGdi(hdc, rect, text, color, manager->GetFont(font), format);
    } else {
        PaintTextGdiplus(hdc, rect, text, color, manager->GetFont(font), manager->GetGdiplusTextRenderingHint(),
                         format);
    }
}

void CUIRender::DrawTextWithBackground(HDC hdc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                                       DWORD textColor, int font, UINT format, DWORD backColor) {
    if (manager == nullptr || text == nullptr || text[0] == L'\0') return;
    DrawColor(hdc, rect, backColor);
    DrawText(hdc, manager, rect, text, textColor, font, format);
}

SIZE CUIRender::GetTextSize(HDC hdc, CPaintManagerUI* manager, const wchar_t* text, int font) {
    if (manager == nullptr || text == nullptr || text[0] == L'\0') return SIZE{0, 0};
    return MeasureText(hdc, text, manager->GetFont(font));
}

}  // namespace HiveUI
