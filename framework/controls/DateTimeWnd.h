// CDateTimeWnd: the native date picker of a date-time field while it is edited. Every
// date chosen is written back into the field; Escape restores the date from before.
#pragma once

#include <windows.h>

#include "NativeEditWnd.h"

namespace HiveUI {

class CDateTimeUI;

class CDateTimeWnd final : public CNativeEditWnd<CDateTimeUI> {
public:
    CDateTimeWnd();

    // Makes the picker when there is none yet and starts editing the owner's date;
    // false when the picker could not be made, and the object is then the caller's.
    bool Init(CDateTimeUI* owner);

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool Create(CDateTimeUI* owner);
    void TakeChosenDate();
    void OnNotify(const NMHDR& header);

    bool m_initialised;
    bool m_dropDownOpen;
    SYSTEMTIME m_oldTime;
};

}  // namespace HiveUI
