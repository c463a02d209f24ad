// CDateTimeUI: a date shown as "year-month-day" label text and edited in a native date
// picker that the field opens while it has the focus.
#pragma once

#include <windows.h>

#include "NativeFieldUI.h"

namespace HiveUI {

class CDateTimeWnd;
template <class>
class CNativeEditWnd;

class CDateTimeUI : public CNativeFieldUI {
    friend class CDateTimeWnd;
    template <class>
    friend class CNativeEditWnd;

public:
    CDateTimeUI();
    ~CDateTimeUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    // Writes the date as text (mode 1) or clears the text (mode 2); mode 0 leaves it.
    void UpdateText();
    const SYSTEMTIME& GetTime() const { return m_time; }
    // The native picker while the date is being edited, else null.
    HWND GetNativeWindow() const;

protected:
    CWindowWnd* NativeWindow() const override;
    bool StartNativeWindow() override;

private:
    SYSTEMTIME m_time;
    int m_updateMode;
    CDateTimeWnd* m_window;
};

// The factory's creator of a date-time field.
CControlUI* CreateDateTimeControl();

}  // namespace HiveUI
