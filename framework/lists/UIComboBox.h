// CComboBoxUI: a combo that draws one arrow image cut from a strip of five state cells
// (normal, hot, pushed, focused, disabled) and paints the selected row's text as the row
// itself would.
#pragma once

#include "UICombo.h"

namespace HiveUI {

class CComboBoxUI : public CComboUI {
public:
    CComboBoxUI();

    const wchar_t* GetClass() const override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    int GetArrowWidth() const { return m_arrowWidth; }

private:
    CUIString m_arrowImage;
    int m_arrowWidth;
};

// The "source" rectangle of an image description: the four numbers between the first
// pair of single quotes after the word. False when it is missing or not four numbers.
bool ReadImageSource(const wchar_t* description, RECT& source);

CControlUI* CreateComboBoxControl();

}  // namespace HiveUI
