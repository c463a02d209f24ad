// MessageBoxFrame: a one-line message with an optional OK button, in one of three
// colour schemes; ShowMessageBox runs one modally.
#pragma once

#include <string>

#include "MessageWindow.h"

class MessageBoxFrame : public MessageWindow {
public:
    MessageBoxFrame(std::wstring text, int kind, bool showOk);

    const wchar_t* GetWindowClassName() const override { return L"MessageBoxFrame"; }
    HiveUI::CUIString GetSkinFile() override { return L"messagebox.xml"; }
    void InitWindow() override;

private:
    std::wstring m_text;
    int m_kind;
    bool m_showOk;
};

// The colour of a kind (0, 1, 2) for the border and the side band; 0 for any other kind,
// which keeps the skin's own.
DWORD MessageKindColor(int kind);

void ShowMessageBox(std::wstring text, int kind, HWND owner, bool showOk);
