// ClientDialog: what the client's small modal windows share. Their caption never
// maximises them, Escape closes them with result 1, and they carry the program icon.
#pragma once

#include "WindowImplBase.h"

class ClientDialog : public HiveUI::WindowImplBase {
public:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

    // Creates the window owned by owner with the title, centres it and runs it modally;
    // the window is gone when this returns, also when a quit message ended the loop.
    UINT RunModal(HWND owner, const wchar_t* title);

protected:
    void SetProgramIcon();
    // Makes the window active and brings it to the top.
    void BringToFront();
};
