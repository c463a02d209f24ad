// CRingUI: a busy indicator that turns its background image by 36 degrees every 100 ms.
#pragma once

#include <windows.h>

#include "GdiplusObjects.h"
#include "UILabel.h"

namespace HiveUI {

class CRingUI : public CLabelUI {
public:
    CRingUI();
    ~CRingUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintBkImage(HDC hdc) override;

    // A new image is loaded at the next paint; the same one keeps the loaded image.
    void SetRingImage(const wchar_t* image);

private:
    using CGdiplusImage = CGdiplusPtr<Gdiplus::GpImage, Gdiplus::DllExports::GdipDisposeImage>;

    float m_angle;
    CGdiplusImage m_image;
};

// The factory's creator of a ring.
CControlUI* CreateRingControl();

}  // namespace HiveUI
