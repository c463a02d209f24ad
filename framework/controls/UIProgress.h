// CProgressUI: an integer value between a minimum and a maximum shown as the filled part
// of the control, from the left or from the bottom, in the fore colour and fore image.
#pragma once

#include <windows.h>

#include "UILabel.h"
#include "UIString.h"

namespace HiveUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    ~CProgressUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintForeColor(HDC hdc) override;
    void PaintForeImage(HDC hdc) override;
    // With show text on, the text becomes the filled percentage.
    virtual void UpdateText();

    bool IsShowText() const { return m_showText; }
    void SetShowText(bool show) { m_showText = show; }
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    bool IsStretchForeImage() const { return m_stretchForeImage; }
    void SetStretchForeImage(bool stretch = true);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int min);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int max);
    int GetValue() const { return m_value; }
    // A value outside the range is ignored.
    virtual void SetValue(int value);

protected:
    struct TRange {
        int min;
        int max;
        int value;
    };
    // The range as painting repairs it: an empty or reversed one ends one above its
    // minimum, and the value lies inside.
    TRange Repaired() const;
    void RepairRange();
    // The filled part's length of a total length, by the repaired range.
    static int Filled(const TRange& range, int offset, int total);

    bool m_showText;
    bool m_horizontal;
    bool m_stretchForeImage;
    int m_max;
    int m_min;
    int m_value;
    CUIString m_foreImageModifier;
};

// The factory's creator of a progress bar.
CControlUI* CreateProgressControl();

}  // namespace HiveUI
