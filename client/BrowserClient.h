// CBrowserClient: the engine's client object for every browser of the browser process,
// the main browser and the developer tools opened from it. It keeps the live browsers,
// tells the main window when the browser exists and when pages have loaded, shows the
// client's error page, replaces the page menu, sends downloads to Save As, suppresses
// pop-ups, and carries out what pages ask through the script bridge. Every engine
// callback arrives on the engine's UI thread.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "BridgeRefusals.h"
#include "IWindowConformityl.h"
#include "include/base/cef_lock.h"
#include "include/cef_client.h"

class CBrowserClient : public CefClient,
                       public CefLifeSpanHandler,
                       public CefLoadHandler,
                       public CefRequestHandler,
                       public CefDownloadHandler,
                       public CefContextMenuHandler,
                       public CefKeyboardHandler {
public:
    explicit CBrowserClient(IWindowConformityl* windowControl);

    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
    CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source_process,
                                  CefRefPtr<CefProcessMessage> message) override;

    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                       const CefString& target_frame_name, CefLifeSpanHandler::WindowOpenDisposition target_disposition,
                       bool user_gesture, const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                       CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                       bool* no_javascript_access) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    bool RunModal(CefRefPtr<CefBrowser> browser) override;
    bool DoClose(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

    void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) override;
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                     const CefString& errorText, const CefString& failedUrl) override;

    bool OnResourceResponse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                            CefRefPtr<CefResponse> response) override;

    void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                          const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) override;
    void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                           CefRefPtr<CefDownloadItemCallback> callback) override;

    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) override;
    bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags event_flags) override;

    bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event,
                       bool* is_keyboard_shortcut) override;
    bool OnKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event) override;

    // The main browser, or null before it exists, once it closed, or while closing.
    CefRefPtr<CefBrowser> GetBrowser();
    int GetMainBrowserId();
    bool HasOpenBrowsers();
    // The main window, target of the posted messages; set once the window exists.
    void SetMainWindow(HWND wnd);
    // Asks every live browser to close; from any thread.
    void CloseAllBrowsers(bool force_close);
    void ShowDevTools(CefRefPtr<CefBrowser> browser);
    // Tells the main window to load the newly selected server line.
    void NotifyLineChanged();

private:
    // A browser that may still be used: in the list and not being closed.
    bool IsLive(CefRefPtr<CefBrowser> browser);
    void PostToMainWindow(UINT msg);
    void LoadSelectedLine(CefRefPtr<CefFrame> frame);
    // Whether a bridge call may be carried out: it comes from a page of a server line's
    // origin, or from the client's own error page; a refusal is logged.
    bool FromServicePage(CefRefPtr<CefBrowser> browser, const std::string& function);

    CefRefPtr<CefBrowser> m_mainBrowser;
    int m_mainBrowserId = 0;
    HWND m_mainWnd = nullptr;
    std::vector<CefRefPtr<CefBrowser>> m_browsers;
    IWindowConformityl* const m_windowControl;
    bool m_closing = false;
    base::Lock m_lock;
    // Frames (by identifier) about to show the client's error page, with the failed
    // address it stands in for, and those that show it now. Engine UI thread only.
    std::map<int64_t, std::string> m_errorPagesComing;
    std::set<int64_t> m_errorPagesShown;
    // Calls refused on each browser's page. Engine UI thread only.
    BridgeRefusals m_refusals;

    IMPLEMENT_REFCOUNTING(CBrowserClient);
};

// The client of the main window's browsers; null until the main window makes it.
extern CefRefPtr<CBrowserClient> g_browserClient;
