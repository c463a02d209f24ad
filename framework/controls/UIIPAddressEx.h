// CIPAddressExUI: an IPv4 address field that draws and edits its four numbers itself,
// without a native window: a click picks a number, digits and arrow keys change it.
#pragma once

#include <windows.h>

#include "UIEdit.h"
#include "UIString.h"

namespace HiveUI {

class CIPAddressExUI : public CEditUI {
public:
    CIPAddressExUI();
    ~CIPAddressExUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(TEventInfo& event) override;
    void PaintText(HDC hdc) override;

    // The text becomes the four numbers, dotted.
    void UpdateText();
    void IncreaseNum();
    void DecreaseNum();
    // Number 1 to 4.
    int GetNumber(int field) const { return field >= 1 && field <= 4 ? m_numbers[field - 1] : 0; }
    // 1 to 4, or 0 while no number is picked.
    int GetActiveField() const { return m_activeField; }

private:
    // The picked number, or null while none is picked.
    int* ActiveNumber();
    void EnterDigit(int digit);
    // Leaves the picked number for its neighbour, keeping what was typed into it.
    void StepField(int step);
    void OnKeyDown(WORD key);
    void PickFieldAt(int x);

    int m_numbers[4];
    int m_activeField;
    wchar_t m_lastDigit;
    CUIString m_digits;
};

// The factory's creator of a self-drawn IP address field.
CControlUI* CreateIPAddressExControl();

}  // namespace HiveUI
