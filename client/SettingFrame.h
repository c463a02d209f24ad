// SettingFrame: the settings window. It shows the shell version and lets the user choose
// the server line; a new choice is loaded into the main window at once.
#pragma once

#include "ClientDialog.h"

namespace HiveUI {
class CComboUI;
}

class SettingFrame : public ClientDialog {
public:
    // The main window receives the line changes.
    explicit SettingFrame(HWND mainWindow) : m_mainWindow(mainWindow) {}

    const wchar_t* GetWindowClassName() const override { return L"SettingFrame"; }
    HiveUI::CUIString GetSkinFile() override { return L"setting.xml"; }
    void InitWindow() override;
    void Notify(HiveUI::TNotifyInfo& msg) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FillLines();

    HWND m_mainWindow;
    HiveUI::CControlUI* m_version = nullptr;
    HiveUI::CComboUI* m_lines = nullptr;
    HiveUI::CControlUI* m_banner = nullptr;
    int m_shownLine = -1;
};

// Runs the settings window modally over the main window.
void ShowSettings(HWND mainWindow);
