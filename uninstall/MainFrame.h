// MainFrame: the uninstaller's only window. Page 0 asks; "卸载" removes the installed
// client on the UI thread and page 1 shows the result; its "关闭" hands the install
// folder to the self-removal and ends the program.
#pragma once

#include <UILabel.h>
#include <UITabLayout.h>
#include <WindowImplBase.h>

class MainFrame : public HiveUI::WindowImplBase {
public:
    const wchar_t* GetWindowClassName() const override { return L"UnInstall"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND wnd) override;
    void InitWindow() override;
    void OnClick(HiveUI::TNotifyInfo& msg) override;
    HiveUI::CUIString GetSkinFile() override { return L"Main.xml"; }
    void Notify(HiveUI::TNotifyInfo& msg) override;

private:
    void DoUninstall();

    HiveUI::CTabLayoutUI* m_stepTabLayout = nullptr;
    HiveUI::CControlUI* m_okButton = nullptr;
    HiveUI::CLabelUI* m_resultTip = nullptr;
    HiveUI::CLabelUI* m_questionTip = nullptr;
};
