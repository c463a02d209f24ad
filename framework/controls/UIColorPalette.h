// CColorPaletteUI: a colour picker with a hue-lightness field on top and a saturation
// bar at the bottom, both drawn from a bitmap of the control's own; releasing the mouse
// reports the chosen colour as "colorchanged".
#pragma once

#include <windows.h>

#include "ScopedHandle.h"
#include "UIControl.h"
#include "UIString.h"

namespace HiveUI {

class CColorPaletteUI : public CControlUI {
public:
    CColorPaletteUI();
    ~CColorPaletteUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void DoInit() override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintBkColor(HDC hdc) override;
    virtual void PaintPallet(HDC hdc);

    // The chosen colour as ARGB with alpha 255.
    DWORD GetSelectColor() const;
    int GetPalletHeight() const { return m_palletHeight; }
    void SetPalletHeight(int height);
    int GetBarHeight() const { return m_barHeight; }
    // At most 150: the bar's rows end with the bitmap.
    void SetBarHeight(int height);
    const CUIString& GetThumbImage() const { return m_thumbImage; }
    void SetThumbImage(const wchar_t* image);

protected:
    // Recompute the field for the current saturation, and the bar for the current hue
    // and lightness; nothing happens before the bitmap exists.
    void UpdatePalletData();
    void UpdateBarData();

    // The bitmap stays selected into the memory DC for its life, and a selected bitmap
    // cannot be deleted: the DC is declared after it so that it goes first.
    CScopedGdiObject<HBITMAP> m_bitmap;
    CScopedCreatedDC m_memDc;
    BITMAP m_bitmapInfo;
    // The bitmap's own bits (a 32-bit DIB section, whatever the display), written directly.
    BYTE* m_pixels;
    UINT m_buttonState;
    bool m_barDragging;
    bool m_palletDragging;
    int m_hue;
    int m_saturation;
    int m_lightness;
    int m_palletHeight;
    int m_barHeight;
    POINT m_thumb;
    CUIString m_thumbImage;

private:
    void PickInField(POINT pt);
    void PutPixel(int row, int column, DWORD rgb);
};

// The factory's creator of a colour palette.
CControlUI* CreateColorPaletteControl();

}  // namespace HiveUI
