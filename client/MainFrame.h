// CMainFrame: the client's one top-level window. Its frame comes from "MainFrame.xml";
// its body is where the embedded browser's window goes once the first page has loaded.
// It owns the notification-area icon, asks before quitting, and carries out what pages
// ask of the window (IWindowConformityl) on its own thread, whichever thread asks.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "IWindowConformityl.h"
#include "MenuClickRecord.h"
#include "MenuWnd.h"
#include "MainFrameMessages.h"
#include "ScopedHandle.h"
#include "TrayIcon.h"
#include "UpdateCheck.h"
#include "WindowCallPoster.h"
#include "WindowImplBase.h"
#include "include/cef_browser.h"

namespace HiveUI {
class CGifAnimUI;
class CLabelUI;
}

class CMainFrame : public HiveUI::WindowImplBase, public IWindowConformityl {
public:
    CMainFrame();
    ~CMainFrame() override;

    const wchar_t* GetWindowClassName() const override { return L"TallyHiveMainFrameWnd"; }
    HiveUI::CUIString GetSkinFile() override { return L"MainFrame.xml"; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void InitWindow() override;
    void OnClick(HiveUI::TNotifyInfo& msg) override;
    LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
    LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

    void ResizeWindow(int width, int height) override;
    void WindowCenter() override;
    void SetThemeColor(DWORD color) override;
    void SetBorder(int width) override;
    void WindowFlash() override;
    void WindowVisible(bool visible) override;
    void SendMenuMessage(int command) override;
    void SetWinTitle(const std::wstring& text) override;
    void SetTitleColor(DWORD color) override;

    // After the message loop, whichever way the run ended: the tray icon goes, the
    // browsers are closed and given a bounded time to report it, the update check is
    // waited for, and the window is destroyed.
    void FinishRun();

    // How long shutdown waits for the browsers to close, and for the update check.
    static const DWORD kBrowserCloseBound = 5000;
    static const DWORD kUpdateThreadBound = 6000;

private:
    void AfterFirstFrame();
    bool Forward(TWindowControlCall::Operation operation, int first = 0, int second = 0, std::wstring text = {});
    void Run(const TWindowControlCall& call);
    bool HandleTimer(UINT_PTR id);
    bool HandlePrivateMessage(UINT msg);
    void OnTrayClick();
    void OpenTrayMenu();
    void OnMenuClick(HiveUI::TMenuClickRecord* record);
    void FlashStep();
    void EndLoading();
    void QuitNow();

    void CreateBrowser();
    CefRefPtr<CefBrowser> MainBrowser() const;
    bool HasOpenBrowsers() const;
    void CloseBrowsers();
    bool LayoutBrowser();
    RECT BrowserRect() const;
    void RunBgShowScript(bool show);
    void DimPage(bool dim);
    void StartUpdateThread();
    void StopUpdateThread();
    static DWORD WINAPI CheckUpdateThread(LPVOID state);
    void OnUpdateAvailable();

    HiveUI::CControlUI* m_browserLayout = nullptr;
    HiveUI::CControlUI* m_browserInsetLayout = nullptr;
    HiveUI::CControlUI* m_mainLayout = nullptr;
    HiveUI::CControlUI* m_titleLayout = nullptr;
    HiveUI::CLabelUI* m_titleLabel = nullptr;
    HiveUI::CGifAnimUI* m_loadGif = nullptr;
    RECT m_browserStart = {};
    bool m_relayoutPending = false;
    bool m_pageReady = false;
    // A dialog over the page has dimmed it; a page loaded meanwhile is dimmed too.
    bool m_pageDimmed = false;
    int m_border = 0;
    HiveUI::CTrayIcon m_trayIcon;
    bool m_trayBlinkHidden = false;
    std::unique_ptr<HiveUI::CMenuWnd> m_trayMenu;
    std::atomic<LONG> m_flashing{0};
    HiveUI::CScopedHandle<HiveUI::CKernelHandleTraits> m_updateThread;

    // What the update check found. Shared with the check's thread, which may outlive the
    // window when shutdown stops waiting for it.
    struct UpdateState {
        HWND window;
        std::mutex lock;
        UpdateOffer offer;
    };
    std::shared_ptr<UpdateState> m_update;

    // The thread that made the window: calls from any other are posted to it.
    const DWORD m_threadId;
    CWindowCallPoster m_calls;
    bool m_confirming = false;
    bool m_closing = false;
};
