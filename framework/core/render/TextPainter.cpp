#include "TextPainter.h"

#include <cwchar>

#include "GdiplusObjects.h"
#include "ScopedHandle.h"
#include "UIString.h"

namespace HiveUI {

namespace {

// Icon fonts name their glyphs by code: "&#x" and at most four hexadecimal digits.
wchar_t CharacterCode(const wchar_t* entity) {
    CUIString code(entity + 3);
    if (code.GetLength() > 4) code = code.Left(4);
    if (!code.IsEmpty() && code[code.GetLength() - 1] == L' ') code = code.Left(code.GetLength() - 1);
    if (!code.IsEmpty() && code[code.GetLength() - 1] == L';') code = code.Left(code.GetLength() - 1);
    return static_cast<wchar_t>(wcstoul(code, nullptr, 16));
}

Gdiplus::StringAlignment Alignment(UINT format, UINT centre, UINT farEnd) {
    if ((format & centre) != 0) return Gdiplus::StringAlignmentCenter;
    if ((format & farEnd) != 0) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

CGdiplusStringFormat StringFormatFor(UINT format) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpStringFormat* typographic = nullptr;
    Gdiplus::GpStringFormat* clone = nullptr;
    if (GdipStringFormatGetGenericTypographic(&typographic) != Gdiplus::Ok ||
        GdipCloneStringFormat(typographic, &clone) != Gdiplus::Ok)
        return CGdiplusStringFormat();
    CGdiplusStringFormat result(clone);
    if ((format & DT_END_ELLIPSIS) != 0) GdipSetStringFormatTrimming(clone, Gdiplus::StringTrimmingEllipsisCharacter);
    INT flags = 0;
    if ((format & DT_NOCLIP) != 0) flags |= Gdiplus::StringFormatFlagsNoClip;
    if ((format & DT_SINGLELINE) != 0) flags |= Gdiplus::StringFormatFlagsNoWrap;
    GdipSetStringFormatFlags(clone, flags);
    GdipSetStringFormatAlign(clone, Alignment(format, DT_CENTER, DT_RIGHT));
    GdipSetStringFormatLineAlign(clone, Alignment(format, DT_VCENTER, DT_BOTTOM));
    return result;
}

}  // namespace

void PaintTextGdi(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, HFONT font, UINT format) {
    if (hdc == nullptr || text == nullptr) return;
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));
    CSelectObjectGuard selected(hdc, font);
    if (const wchar_t* entity = wcsstr(text, L"&#x")) {
        wchar_t character = CharacterCode(entity);
        ::DrawTextW(hdc, &character, 1, &rect, format);
    } else {
        ::DrawTextW(hdc, text, -1, &rect, format);
    }
}

void PaintTextGdiplus(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, HFONT font, int hint, UINT format) {
    using namespace Gdiplus::DllExports;
    if (hdc == nullptr || text == nullptr) return;
    CSelectObjectGuard selected(hdc, font);
    Gdiplus::GpFont* rawFont = nullptr;
    if (GdipCreateFontFromDC(hdc, &rawFont) != Gdiplus::Ok) return;
    CGdiplusFont gdiplusFont(rawFont);
    CGdiplusGraphics graphics = GdiplusGraphicsOn(hdc);
    CGdiplusStringFormat stringFormat = StringFormatFor(format);
    if (!graphics || !stringFormat) return;
    const int renderingHint = (hint >= 0 && hint <= 5) ? hint : 0;
    GdipSetTextRenderingHint(graphics.get(), static_cast<Gdiplus::TextRenderingHint>(renderingHint));
    GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeHighQuality);
    GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    const Gdiplus::RectF layout(static_cast<float>(rect.left), static_cast<float>(rect.top),
                                static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top));
    if ((format & DT_CALCRECT) != 0) {
        Gdiplus::RectF bounds;
        GdipMeasureString(graphics.get(), text, -1, rawFont, &layout, stringFormat.get(), &bounds, nullptr, nullptr);
        rect.bottom = rect.top + static_cast<LONG>(bounds.Height + 1);
        rect.right = rect.left + static_cast<LONG>(bounds.Width + 1);
        return;
    }
    CGdiplusBrush brush = GdiplusSolidBrush((color & 0x00FFFFFF) | 0xFE000000);
    if (brush) GdipDrawString(graphics.get(), text, -1, rawFont, &layout, stringFormat.get(), brush.get());
}

SIZE MeasureText(HDC hdc, const wchar_t* text, HFONT font) {
    SIZE size = {0, 0};
    if (hdc == nullptr || text == nullptr) return size;
    CSelectObjectGuard selected(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    GetTextExtentPoint32W(hdc, text, static_cast<int>(wcslen(text)), &size);
    return size;
}

}  // namespace HiveUI
