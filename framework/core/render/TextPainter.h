// Plain text in one font through GDI or GDI+: what CUIRender's text operations do once
// the paint manager has chosen the font, the path and the rendering hint.
#pragma once

#include <windows.h>

namespace HiveUI {

// GDI: a text holding "&#x" draws only the one character whose hexadecimal code follows.
void PaintTextGdi(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, HFONT font, UINT format);

// GDI+: anti-aliased with the given text rendering hint (0..5, else 0); with DT_CALCRECT
// the text is measured into the rectangle instead of drawn.
void PaintTextGdiplus(HDC hdc, RECT& rect, const wchar_t* text, DWORD color, HFONT font, int hint, UINT format);

// The extent of the text in the font.
SIZE MeasureText(HDC hdc, const wchar_t* text, HFONT font);

}  // namespace HiveUI
