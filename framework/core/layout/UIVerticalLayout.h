// CVerticalLayoutUI: stacks its visible, non-floating children from top to bottom,
// sharing the height left by fixed-size children among the flexible ones. An optional
// separator band at the top or bottom edge lets the user drag the layout's height.
#pragma once

#include "UIStackLayout.h"

namespace HiveUI {

class CVerticalLayoutUI : public CStackLayoutUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    void SetSepHeight(int height) { m_sepSize = height; }
    int GetSepHeight() const { return m_sepSize; }
};

CControlUI* CreateVerticalLayoutControl();

}  // namespace HiveUI
