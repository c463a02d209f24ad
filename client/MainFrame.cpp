// curl brings winsock2.h, which must come before windows.h.
#include "HttpFunction.h"

#include "MainFrame.h"

#include "AppPaths.h"
#include "BrowserClient.h"
#include "DownloadUpdateFrame.h"
#include "MessagePanleFrame.h"
#include "MessagePump.h"
#include "ServerLines.h"
#include "SettingFrame.h"
#include "TextConvert.h"
#include "UIContainer.h"
#include "UIGifAnim.h"
#include "UILabel.h"
#include "UIMenu.h"

using namespace HiveUI;

HWND g_mainHwnd = nullptr;

namespace {

const UINT kIconId = 132;
const UINT_PTR kFlashTimer = 101, kRelayoutTimer = 102, kLoadingTimer = 103;

// "tallyhive宠物店管理系统", the tray icon's tooltip, in GBK.
const char kTrayTipGbk[] = "tallyhive\xB3\xE8\xCE\xEF\xB5\xEA\xB9\xDC\xC0\xED\xCF\xB5\xCD\xB3";

// The page's own overlay, made on first use; the definition travels with every call so
// that it works on whatever page is up.
std::string BgShowScript(bool show) {
    return std::string(
               "function BG_Show(show){var bg=document.getElementById('cpp_bg');"
               "if(!bg){bg=document.createElement('div');bg.id='cpp_bg';"
               "bg.setAttribute('style','top: 0;left: 0;background-color: #000000;width: 100%;position: fixed;"
               "height: 100%;opacity: 0.45;z-index: 10000;');document.body.appendChild(bg);}"
               "bg.style.display=show?'':'none';}") +
           (show ? "BG_Show(true);" : "BG_Show(false);");
}

// The tray menu opens 75 pixels above the cursor, for a notification area at the bottom
// of the screen; with no room above (one at the top), below the cursor. The menu keeps
// itself on the monitor from there.
POINT TrayMenuPoint(POINT cursor) {
    POINT at = {cursor.x, cursor.y - 75};
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info) && at.y < info.rcWork.top) {
        at.y = cursor.y;
    }
    return at;
}

CUIString LowerName(const TNotifyInfo& msg) {
    CUIString name = msg.pSender != nullptr ? msg.pSender->GetName() : CUIString();
    name.MakeLower();
    return name;
}

}  // namespace

CMainFrame::CMainFrame() : m_threadId(::GetCurrentThreadId()) {}

CMainFrame::~CMainFrame() = default;

void CMainFrame::InitWindow() {
    g_mainHwnd = m_hWnd;
    m_calls.Open(m_hWnd);
    // Icons from LoadIconW are the system's to free.
    HICON icon = ::LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kIconId));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    m_browserLayout = m_pm.FindControl(L"BrowserLayout");
    m_browserInsetLayout = m_pm.FindControl(L"BrowserLayoutInset");
    m_titleLayout = m_pm.FindControl(L"titlelayout");
    m_mainLayout = m_pm.FindControl(L"manlayout");
    if (CControlUI* gif = m_pm.FindControl(L"loadgif")) {
        m_loadGif = static_cast<CGifAnimUI*>(gif->GetInterface(L"GifAnim"));
    }

    SetBorder(2);
    SetThemeColor(g_themeColor);
    ResizeClient(1200, 770);
    CenterWindow();
    m_trayIcon.Create(m_hWnd, kIconId, GbkToWide(kTrayTipGbk).c_str(), WM_TRAY_CALLBACK);
    // Where the browser's window starts: the body's place as it is now, before any layout.
    m_browserStart = m_browserLayout != nullptr ? m_browserLayout->GetPos() : RECT{};
    ::PostMessageW(m_hWnd, WM_AFTER_FIRST_FRAME, 0, 0);
}

// The rest of the window's start, once its first frame is on the screen: the browser and
// the update check (with the HTTP library's start) need not delay it.
void CMainFrame::AfterFirstFrame() {
    ::UpdateWindow(m_hWnd);
    CreateBrowser();
    m_relayoutPending = false;
    ::SetTimer(m_hWnd, kRelayoutTimer, 200, nullptr);
    ::SetTimer(m_hWnd, kLoadingTimer, 3000, nullptr);
    ::SetForegroundWindow(m_hWnd);
    StartUpdateThread();
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOVE:
        case WM_SIZE:
            m_relayoutPending = true;
            break;
        case WM_SETFOCUS:
            if (CefRefPtr<CefBrowser> browser = MainBrowser()) {
                browser->GetHost()->SetFocus(true);
                return 0;
            }
            break;
        case WM_COMMAND:
            if (wParam == kQuitCommand) QuitNow();
            break;
        case WM_ERASEBKGND:
            if (g_browserClient) return 0;
            break;
        case WM_NCLBUTTONDBLCLK:
            LayoutBrowser();
            break;
        case WM_TIMER:
            if (HandleTimer(wParam)) return 0;
            break;
        case WM_WINDOW_CONTROL:
            Run(*CWindowCallPoster::Take(wParam));
            return 0;
        case WM_AFTER_FIRST_FRAME:
            AfterFirstFrame();
            return 0;
        default:
            if (HandlePrivateMessage(msg)) return 0;
            break;
    }
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

bool CMainFrame::HandleTimer(UINT_PTR id) {
    if (id == kFlashTimer) {
        FlashStep();
    } else if (id == kRelayoutTimer) {
        if (m_relayoutPending && LayoutBrowser()) m_relayoutPending = false;
    } else if (id == kLoadingTimer) {
        EndLoading();
        ::KillTimer(m_hWnd, kLoadingTimer);
    } else {
        return false;
    }
    return true;
}

bool CMainFrame::HandlePrivateMessage(UINT msg) {
    switch (msg) {
        case WM_PAGE_LOADED:
            EndLoading();
            if (m_pageDimmed) RunBgShowScript(true);
            return true;
        case WM_LINE_CHANGED:
            if (CefRefPtr<CefBrowser> browser = MainBrowser()) {
                browser->GetMainFrame()->LoadURL(g_lines.lines[g_lines.selected].url);
            }
            return true;
        case WM_SHOW_MAIN:
            ShowWindow(true, true);
            m_relayoutPending = true;
            return true;
        case WM_UPDATE_AVAILABLE:
            OnUpdateAvailable();
            return true;
        default:
            return false;
    }
}

void CMainFrame::EndLoading() {
    m_relayoutPending = true;
    m_pageReady = true;
    if (m_loadGif != nullptr) m_loadGif->StopGif();
}

LRESULT CMainFrame::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    handled = FALSE;
    if (msg == WM_TRAY_CALLBACK && lParam == WM_LBUTTONUP) {
        OnTrayClick();
    } else if (msg == WM_TRAY_CALLBACK && lParam == WM_RBUTTONUP) {
        OpenTrayMenu();
    } else if (msg == WM_MENU_CLICK) {
        OnMenuClick(reinterpret_cast<HiveUI::TMenuClickRecord*>(wParam));
    } else if (msg == WM_BROWSER_RELAYOUT) {
        m_relayoutPending = true;
    }
    return 0;
}

void CMainFrame::OnTrayClick() {
    if (::IsIconic(m_hWnd)) {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        SendMessage(WM_SIZE, 0, 0);
    } else if (::IsWindowVisible(m_hWnd)) {
        ShowWindow(false);
    } else {
        ::ShowWindow(m_hWnd, SW_SHOW);
    }
}

// A second right click leaves exactly one menu. The previous menu goes only once the new
// one is up and active: destroyed while active, it would hand the activation to this
// window in between, and a focus change that lands late closes the new menu. Its window
// is destroyed before its object is freed (the menu's destructor does both).
void CMainFrame::OpenTrayMenu() {
    std::unique_ptr<CMenuWnd> previous = std::move(m_trayMenu);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    m_trayMenu.reset(new CMenuWnd());
    const bool opened = m_trayMenu->Init(nullptr, L"Menu.xml", TrayMenuPoint(cursor), &m_pm, nullptr, 6);
    previous.reset();
    if (!opened) {
        m_trayMenu.reset();
        return;
    }
    CMenuUI* root = m_trayMenu->GetMenuRoot();
    if (root != nullptr && root->GetCount() > 0) {
        // "隐藏主窗体" (hide the main window) or "显示主窗体" (show it)
        root->GetItemAt(0)->SetText(::IsWindowVisible(m_hWnd) ? L"\u9690\u85CF\u4E3B\u7A97\u4F53"
                                                              : L"\u663E\u793A\u4E3B\u7A97\u4F53");
    }
    m_trayMenu->ResizeMenu();
}

void CMainFrame::OnMenuClick(TMenuClickRecord* record) {
    if (record == nullptr) return;
    const CUIString name = record->szName;
    CPaintManagerUI::FreeObject(record);
    if (name == L"hideshowwin") {
        ::ShowWindow(m_hWnd, ::IsWindowVisible(m_hWnd) ? SW_HIDE : SW_SHOW);
    } else if (name == L"quit") {
        // The icon goes with a confirmed quit (OnClose): a cancelled one leaves the user a
        // client that the notification area still reaches.
        Close(0);
    }
}

void CMainFrame::OnClick(TNotifyInfo& msg) {
    const CUIString name = LowerName(msg);
    if (name == L"btn_setting" && g_browserClient) {
        DimPage(true);
        ShowSettings(m_hWnd);
        DimPage(false);
    }
    if (CefRefPtr<CefBrowser> browser = MainBrowser()) {
        if (name == L"btn_back") {
            browser->GoBack();
        } else if (name == L"btn_forard") {
            browser->GoForward();
        } else if (name == L"btn_reload") {
            browser->Reload();
        }
    }
    WindowImplBase::OnClick(msg);
}

// Only a confirmed close quits; a close asked for while the question is up or after the
// answer changes nothing. The confirmed window is hidden but stays until the message loop
// has ended and the browsers in it have closed (FinishRun).
LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_closing || m_confirming) return 0;
    DimPage(true);
    m_confirming = true;
    // "是否确认退出系统？" (quit the system?)
    const bool confirmed = ShowConfirmPanel(L"\u662F\u5426\u786E\u8BA4\u9000\u51FA\u7CFB\u7EDF\uFF1F", m_hWnd);
    m_confirming = false;
    if (!confirmed || !::IsWindow(m_hWnd)) {
        DimPage(false);
        return 0;
    }
    m_closing = true;
    ::PostQuitMessage(1);
    m_trayIcon.Delete();
    CloseBrowsers();
    StopUpdateThread();
    ShowWindow(false, false);
    return 0;
}

void CMainFrame::QuitNow() {
    m_trayIcon.Delete();
    ::PostQuitMessage(0);
}

// Nothing of the window may outlive it: no timer fires into a freed frame, the icon
// does not stay behind in the notification area, and calls still queued are freed.
LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    for (UINT_PTR id : {kFlashTimer, kRelayoutTimer, kLoadingTimer}) ::KillTimer(m_hWnd, id);
    m_trayIcon.Delete();
    m_trayMenu.reset();
    GetMenuObserver().ForgetManager(&m_pm);
    m_calls.Close();
    handled = FALSE;
    return 0;
}

void CMainFrame::FinishRun() {
    // Closing the browser sends this window WM_CLOSE; the run is over, so it closes
    // without asking.
    m_closing = true;
    m_trayIcon.Delete();
    CloseBrowsers();
    PumpMessagesUntil([this] { return !HasOpenBrowsers(); }, kBrowserCloseBound);
    StopUpdateThread();
    if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CMainFrame::Forward(TWindowControlCall::Operation operation, int first, int second, std::wstring text) {
    if (::GetCurrentThreadId() == m_threadId) return false;
    m_calls.Post(std::unique_ptr<TWindowControlCall>(new TWindowControlCall{operation, first, second, std::move(text)}));
    return true;
}

void CMainFrame::Run(const TWindowControlCall& call) {
    switch (call.operation) {
        case TWindowControlCall::Resize: ResizeWindow(call.first, call.second); break;
        case TWindowControlCall::Center: WindowCenter(); break;
        case TWindowControlCall::ThemeColor: SetThemeColor(static_cast<DWORD>(call.first)); break;
        case TWindowControlCall::Border: SetBorder(call.first); break;
        case TWindowControlCall::StartFlash: ::SetTimer(m_hWnd, kFlashTimer, 800, nullptr); break;
        case TWindowControlCall::Visible: WindowVisible(call.first != 0); break;
        case TWindowControlCall::Menu: SendMenuMessage(call.first); break;
        case TWindowControlCall::Title: SetWinTitle(call.text); break;
        case TWindowControlCall::TitleColor: SetTitleColor(static_cast<DWORD>(call.first)); break;
    }
}

void CMainFrame::ResizeWindow(int width, int height) {
    if (!Forward(TWindowControlCall::Resize, width, height)) ResizeClient(width, height);
}

void CMainFrame::WindowCenter() {
    if (!Forward(TWindowControlCall::Center)) CenterWindow();
}

void CMainFrame::SetThemeColor(DWORD color) {
    if (Forward(TWindowControlCall::ThemeColor, static_cast<int>(color))) return;
    g_themeColor = color;
    if (m_mainLayout != nullptr) m_mainLayout->SetBorderColor(color);
    if (m_browserInsetLayout != nullptr) m_browserInsetLayout->SetBkColor(color);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CMainFrame::SetBorder(int width) {
    // Taken as unsigned, a negative width is out of range too.
    if (static_cast<unsigned>(width) > 10u || Forward(TWindowControlCall::Border, width)) return;
    if (m_browserInsetLayout != nullptr) {
        auto* inset = static_cast<CContainerUI*>(m_browserInsetLayout->GetInterface(L"Container"));
        if (inset != nullptr) inset->SetInset(RECT{width, 0, width, width});
    }
    m_border = width;
    m_relayoutPending = true;
}

// The flag is switched on the calling thread, so a second call made before the window
// has started flashing does nothing either.
void CMainFrame::WindowFlash() {
    LONG idle = 0;
    if (!m_flashing.compare_exchange_strong(idle, 1)) return;
    if (!Forward(TWindowControlCall::StartFlash)) ::SetTimer(m_hWnd, kFlashTimer, 800, nullptr);
}

void CMainFrame::FlashStep() {
    if (::GetActiveWindow() == m_hWnd) {
        ::KillTimer(m_hWnd, kFlashTimer);
        m_trayIcon.Show();
        m_trayBlinkHidden = false;
        m_flashing = 0;
        return;
    }
    m_trayBlinkHidden = !m_trayBlinkHidden;
    if (m_trayBlinkHidden) {
        m_trayIcon.Hide();
    } else {
        m_trayIcon.Show();
    }
    ::FlashWindow(m_hWnd, TRUE);
}

void CMainFrame::WindowVisible(bool visible) {
    if (!Forward(TWindowControlCall::Visible, visible ? 1 : 0)) ShowWindow(visible, true);
}

void CMainFrame::SendMenuMessage(int command) {
    if (Forward(TWindowControlCall::Menu, command)) return;
    switch (command) {
        case 0: SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0); break;
        case 1: SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
        case 2: SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0); break;
        case 999:
        case -1: Close(1); break;
        default: break;
    }
}

void CMainFrame::SetWinTitle(const std::wstring& text) {
    if (!Forward(TWindowControlCall::Title, 0, 0, text) && m_titleLabel != nullptr) m_titleLabel->SetText(text.c_str());
}

void CMainFrame::SetTitleColor(DWORD color) {
    if (!Forward(TWindowControlCall::TitleColor, static_cast<int>(color)) && m_titleLabel != nullptr) {
        m_titleLabel->SetTextColor(color);
    }
}

// The browser comes into being on the engine's thread; OnAfterCreated announces it with
// WM_BROWSER_RELAYOUT. It starts where the body was when the window was created, usually
// an empty rectangle, so the browser is placed only by the relayout once the page is ready.
void CMainFrame::CreateBrowser() {
    m_pageReady = false;
    g_browserClient = new CBrowserClient(this);
    g_browserClient->SetMainWindow(m_hWnd);
    CefWindowInfo info;
    info.SetAsChild(m_hWnd, m_browserStart);
    info.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;
    CefBrowserSettings settings;
    CefString(&settings.default_encoding) = "UTF-8";
    CefBrowserHost::CreateBrowser(info, g_browserClient.get(), g_lines.lines[g_lines.selected].url, settings, nullptr);
}

CefRefPtr<CefBrowser> CMainFrame::MainBrowser() const {
    return g_browserClient ? g_browserClient->GetBrowser() : nullptr;
}

bool CMainFrame::HasOpenBrowsers() const { return g_browserClient && g_browserClient->HasOpenBrowsers(); }

void CMainFrame::CloseBrowsers() {
    if (g_browserClient) g_browserClient->CloseAllBrowsers(true);
}

bool CMainFrame::LayoutBrowser() {
    if (!m_pageReady) return true;
    CefRefPtr<CefBrowser> browser = MainBrowser();
    if (browser == nullptr || browser->GetIdentifier() != g_browserClient->GetMainBrowserId()) return false;
    const RECT rc = BrowserRect();
    if (rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0) return false;
    ::MoveWindow(browser->GetHost()->GetWindowHandle(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

RECT CMainFrame::BrowserRect() const {
    const RECT rc = m_browserLayout != nullptr ? m_browserLayout->GetPos() : RECT{};
    if (rc.left != 0 && rc.right != 0) return rc;
    return RECT{m_border, 30, 1200 - m_border, 770 - m_border};
}

// The page stays dimmed for as long as the dialog is up, also when it reloads under the
// dialog (the error page does every few seconds): each load end dims the new page again.
void CMainFrame::DimPage(bool dim) {
    m_pageDimmed = dim;
    RunBgShowScript(dim);
}

void CMainFrame::RunBgShowScript(bool show) {
    CefRefPtr<CefBrowser> browser = MainBrowser();
    if (browser == nullptr) return;
    CefRefPtr<CefFrame> frame = browser->GetMainFrame();
    frame->ExecuteJavaScript(BgShowScript(show), frame->GetURL(), 0);
}

void CMainFrame::StartUpdateThread() {
    HttpGlobalInit();
    m_update = std::make_shared<UpdateState>();
    m_update->window = m_hWnd;
    auto* state = new std::shared_ptr<UpdateState>(m_update);
    m_updateThread.Reset(::CreateThread(nullptr, 0, CheckUpdateThread, state, CREATE_SUSPENDED, nullptr));
    if (!m_updateThread.IsValid()) {
        delete state;
        return;
    }
    ::ResumeThread(m_updateThread.Get());
}

// The thread touches only the shared state and posts to the window's handle, so it is
// safe even when the window has gone before the check ends.
DWORD WINAPI CMainFrame::CheckUpdateThread(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<UpdateState>> state(static_cast<std::shared_ptr<UpdateState>*>(param));
    UpdateOffer offer;
    if (!CheckForUpdate(offer)) return 0;
    UpdateState& shared = **state;
    {
        std::lock_guard<std::mutex> hold(shared.lock);
        shared.offer = offer;
    }
    ::PostMessageW(shared.window, WM_UPDATE_AVAILABLE, 0, 0);
    return 0;
}

// The update window ends the client once the installer runs, or shows this window again
// (WM_SHOW_MAIN) when the download fails or is cancelled.
void CMainFrame::OnUpdateAvailable() {
    if (m_closing || !m_update) return;
    UpdateOffer offer;
    {
        std::lock_guard<std::mutex> hold(m_update->lock);
        offer = m_update->offer;
    }
    ShowWindow(false);
    DownloadUpdateFrame update(offer.version, offer.link);
    update.RunModal(m_hWnd, L"\u66F4\u65B0");  // "更新" (update)
}

// Ending the thread by force could leave a lock of the HTTP library held; its transfer
// time-out bounds the wait instead.
void CMainFrame::StopUpdateThread() {
    if (!m_updateThread.IsValid()) return;
    ::WaitForSingleObject(m_updateThread.Get(), kUpdateThreadBound);
    m_updateThread.Reset();
}
