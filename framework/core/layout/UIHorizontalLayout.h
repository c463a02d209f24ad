// CHorizontalLayoutUI: places its visible, non-floating children from left to right,
// sharing the width left by fixed-size children among the flexible ones. An optional
// separator band at the left or right edge lets the user drag the layout's width.
#pragma once

#include "UIStackLayout.h"

namespace HiveUI {

class CHorizontalLayoutUI : public CStackLayoutUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetSepWidth(int width) { m_sepSize = width; }
    int GetSepWidth() const { return m_sepSize; }
};

CControlUI* CreateHorizontalLayoutControl();

}  // namespace HiveUI
