// MessagePanleFrame: a question with OK and cancel; ShowConfirmPanel runs one modally.
#pragma once

#include <string>

#include "MessageWindow.h"

class MessagePanleFrame : public MessageWindow {
public:
    explicit MessagePanleFrame(std::wstring text) : m_text(std::move(text)) {}

    const wchar_t* GetWindowClassName() const override { return L"MessagePanleFrame"; }
    HiveUI::CUIString GetSkinFile() override { return L"CloseConfirmation.xml"; }
    void InitWindow() override;

private:
    std::wstring m_text;
};

// True when the user pressed OK; cancel, the close box and Escape give false.
bool ShowConfirmPanel(std::wstring text, HWND owner);
