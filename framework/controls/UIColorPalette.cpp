#include "UIColorPalette.h"

#include <cwchar>
#include <utility>

#include "UIManager.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

const int kBitmapWidth = 400;
const int kBitmapHeight = 360;
// The field's rows are 1 to 200 (lightness 200 down to 1 above 0), the bar's start here.
const int kFieldRows = 200;
const int kBarRow = 210;
const int kMaxHue = 360;
const int kMaxSaturation = 200;
const int kMaxLightness = 200;
const int kMaxBarHeight = 150;
const UINT kPushed = 16;
const int kThumbSize = 8;

int Limit(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

// a × b / c in the integer arithmetic of the picking rules; nothing to scale by gives 0.
int MulDivDown(int a, int b, int c) { return c > 0 ? a * b / c : 0; }

DWORD HslColor(int hue, int saturation, int lightness) {
    DWORD color = 0xFF000000;
    CUIRender::HslToRgb(&color, static_cast<float>(hue), static_cast<float>(saturation) / kMaxSaturation,
                        static_cast<float>(lightness) / kMaxLightness);
    return color;
}

}  // namespace

CControlUI* CreateColorPaletteControl() { return new CColorPaletteUI; }

CColorPaletteUI::CColorPaletteUI()
    : m_bitmapInfo{},
      m_pixels(nullptr),
      m_buttonState(0),
      m_barDragging(false),
      m_palletDragging(false),
      m_hue(180),
      m_saturation(200),
      m_lightness(100),
      m_palletHeight(200),
      m_barHeight(10),
      m_thumb{0, 0} {}

CColorPaletteUI::~CColorPaletteUI() = default;

const wchar_t* CColorPaletteUI::GetClass() const { return L"ColorPaletteUI"; }

LPVOID CColorPaletteUI::GetInterface(const wchar_t* name) {
    if (wcscmp(name, L"ColorPalette") == 0) return this;
    return CControlUI::GetInterface(name);
}

DWORD CColorPaletteUI::GetSelectColor() const { return HslColor(m_hue, m_saturation, m_lightness); }

void CColorPaletteUI::SetPalletHeight(int height) { m_palletHeight = height; }

void CColorPaletteUI::SetBarHeight(int height) { m_barHeight = Limit(height, 0, kMaxBarHeight); }

void CColorPaletteUI::SetThumbImage(const wchar_t* image) {
    if (image == nullptr || m_thumbImage == image) return;
    m_thumbImage = image;
    NeedLayout();
}

void CColorPaletteUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    m_thumb.x = MulDivDown(m_item.right - m_item.left, m_hue, kMaxHue) + m_item.left;
    m_thumb.y = MulDivDown(kMaxLightness - m_lightness, m_palletHeight, kMaxLightness) + m_item.top;
    UpdatePalletData();
    UpdateBarData();
}

// Created once; a palette placed before it was set up gets its pixels here.
void CColorPaletteUI::DoInit() {
    if (m_bitmap.IsValid() || m_manager == nullptr) return;
    HDC paintDc = m_manager->GetPaintDC();
    CScopedCreatedDC dc(CreateCompatibleDC(paintDc));
    BYTE* bits = nullptr;
    CScopedGdiObject<HBITMAP> bitmap(CUIRender::CreateARGB32Bitmap(paintDc, kBitmapWidth, kBitmapHeight, &bits));
    if (!dc.IsValid() || !bitmap.IsValid() || bits == nullptr) return;
    if (GetObjectW(bitmap.Get(), sizeof(m_bitmapInfo), &m_bitmapInfo) != sizeof(m_bitmapInfo)) return;
    SelectObject(dc.Get(), bitmap.Get());
    m_bitmap = std::move(bitmap);
    m_memDc = std::move(dc);
    m_pixels = bits;
    if (!IsRectEmpty(&m_item)) {
        UpdatePalletData();
        UpdateBarData();
    }
}

void CColorPaletteUI::DoEvent(TEventInfo& event) {
    CControlUI::DoEvent(event);
    const POINT pt = event.ptMouse;
    const bool inColumns = pt.x >= m_item.left && pt.x < m_item.right;
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
            if (inColumns && pt.y >= m_item.top && pt.y < m_item.top + m_palletHeight) {
                PickInField(pt);
                m_buttonState |= kPushed;
                m_palletDragging = true;
                m_barDragging = false;
                UpdateBarData();
            }
            if (inColumns && pt.y >= m_item.bottom - m_barHeight && pt.y < m_item.bottom) {
                m_saturation = MulDivDown(pt.x - m_item.left, kMaxSaturation, m_item.right - m_item.left);
                m_buttonState |= kPushed;
                m_barDragging = true;
                m_palletDragging = false;
                UpdatePalletData();
            }
            break;
        case UIEVENT_BUTTONUP:
            if (IsEnabled() && m_manager != nullptr) {
                m_manager->SendNotify(this, L"colorchanged", GetSelectColor(), 0);
            }
            m_buttonState &= ~kPushed;
            m_palletDragging = false;
            m_barDragging = false;
            break;
        case UIEVENT_MOUSEMOVE:
            if ((m_buttonState & kPushed) == 0) {
                m_palletDragging = false;
                m_barDragging = false;
            }
            // Beyond the field's left or top edge the thumb stays; right and below it
            // is held at the edge.
            if (m_palletDragging && pt.x >= m_item.left && pt.y >= m_item.top) {
                PickInField(pt);
                UpdateBarData();
            }
            if (m_barDragging) {
                m_saturation = Limit(MulDivDown(pt.x - m_item.left, kMaxSaturation, m_item.right - m_item.left), 0,
                                     kMaxSaturation);
                UpdatePalletData();
            }
            break;
        default:
            return;
    }
    Invalidate();
}

void CColorPaletteUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"palletheight") == 0) {
        SetPalletHeight(_wtoi(value));
    } else if (wcscmp(name, L"barheight") == 0) {
        SetBarHeight(_wtoi(value));
    } else if (wcscmp(name, L"thumbimage") == 0) {
        SetThumbImage(value);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CColorPaletteUI::PaintBkColor(HDC hdc) { PaintPallet(hdc); }

void CColorPaletteUI::PaintPallet(HDC hdc) {
    if (!m_memDc.IsValid()) return;
    const int width = m_item.right - m_item.left;
    const int saved = SaveDC(hdc);
    SetStretchBltMode(hdc, HALFTONE);
    if (m_palletHeight > 0) {
        StretchBlt(hdc, m_item.left, m_item.top, width, m_palletHeight, m_memDc.Get(), 0, 1, kMaxHue, kFieldRows,
                   SRCCOPY);
    }
    if (m_barHeight > 0) {
        StretchBlt(hdc, m_item.left, m_item.bottom - m_barHeight, width, m_barHeight, m_memDc.Get(), 0, kBarRow,
                   kMaxSaturation, m_barHeight, SRCCOPY);
    }
    if (!m_thumbImage.IsEmpty()) {
        const POINT centres[] = {
            m_thumb,
            {m_item.left + MulDivDown(width, m_saturation, kMaxSaturation), m_item.bottom - m_barHeight / 2},
        };
        for (const POINT& centre : centres) {
            const int left = centre.x - kThumbSize / 2 - m_item.left;
            const int top = centre.y - kThumbSize / 2 - m_item.top;
            CUIString modifier;
            modifier.Format(L"dest='%d,%d,%d,%d'", left, top, left + kThumbSize, top + kThumbSize);
            DrawImage(hdc, m_thumbImage, modifier);
        }
    }
    RestoreDC(hdc, saved);
}

void CColorPaletteUI::UpdatePalletData() {
    if (m_pixels == nullptr) return;
    GdiFlush();
    for (int lightness = 0; lightness < kFieldRows; ++lightness) {
        for (int hue = 0; hue < kMaxHue; ++hue) {
            PutPixel(kFieldRows - lightness, hue, HslColor(hue, m_saturation, lightness));
        }
    }
}

void CColorPaletteUI::UpdateBarData() {
    if (m_pixels == nullptr) return;
    GdiFlush();
    for (int row = kBarRow; row < kBarRow + m_barHeight; ++row) {
        for (int saturation = 0; saturation < kMaxSaturation; ++saturation) {
            PutPixel(row, saturation, HslColor(m_hue, saturation, m_lightness));
        }
    }
}

void CColorPaletteUI::PickInField(POINT pt) {
    const int width = m_item.right - m_item.left;
    m_hue = Limit(MulDivDown(pt.x - m_item.left, kMaxHue, width), 0, kMaxHue);
    const int t = Limit(MulDivDown(pt.y - m_item.top, kMaxLightness, m_palletHeight), 0, kMaxLightness);
    m_thumb.x = Limit(pt.x, m_item.left, m_item.right);
    m_thumb.y = Limit(pt.y, m_item.top, m_item.top + m_palletHeight);
    m_lightness = kMaxLightness - t;
}

// Rows count from the top; the bitmap keeps them bottom-up. Pure black is written as the
// darkest red, as the field has always shown it.
void CColorPaletteUI::PutPixel(int row, int column, DWORD rgb) {
    if ((rgb & 0x00FFFFFF) == 0) rgb = 0x00010000;
    BYTE* pixel = m_pixels + (kBitmapHeight - 1 - row) * m_bitmapInfo.bmWidthBytes + column * (m_bitmapInfo.bmBitsPixel / 8);
    pixel[0] = static_cast<BYTE>(rgb);
    pixel[1] = static_cast<BYTE>(rgb >> 8);
    pixel[2] = static_cast<BYTE>(rgb >> 16);
}

}  // namespace HiveUI
