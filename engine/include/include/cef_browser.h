// CefBrowser and CefBrowserHost: one browser, and its window side in the browser process.
#pragma once

#include <vector>

#include "include/cef_base.h"
#include "include/cef_frame.h"
#include "include/cef_process_message.h"
#include "include/cef_request_context.h"

class CefBrowserHost;
class CefClient;

class CefBrowser : public virtual CefBase {
public:
    virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
    virtual bool CanGoBack() = 0;
    virtual void GoBack() = 0;
    virtual bool CanGoForward() = 0;
    virtual void GoForward() = 0;
    virtual bool IsLoading() = 0;
    virtual void Reload() = 0;
    virtual void ReloadIgnoreCache() = 0;
    virtual void StopLoad() = 0;
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    virtual bool IsPopup() = 0;
    virtual bool HasDocument() = 0;
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
    virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
    virtual size_t GetFrameCount() = 0;
    virtual void GetFrameNames(std::vector<CefString>& names) = 0;
    // Delivers a copy of message to the other side's thread; the original stays with the caller.
    virtual bool SendProcessMessage(CefProcessId target_process, CefRefPtr<CefProcessMessage> message) = 0;
};

class CefBrowserHost : public virtual CefBase {
public:
    // Creates the browser asynchronously on the engine's UI thread.
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                              const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> request_context);

    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual void CloseBrowser(bool force_close) = 0;
    virtual void SetFocus(bool focus) = 0;
    virtual CefWindowHandle GetWindowHandle() = 0;
    virtual CefWindowHandle GetOpenerWindowHandle() = 0;
    virtual CefRefPtr<CefClient> GetClient() = 0;
    virtual CefRefPtr<CefRequestContext> GetRequestContext() = 0;
    virtual double GetZoomLevel() = 0;
    virtual void SetZoomLevel(double zoomLevel) = 0;
    virtual void Print() = 0;
    virtual void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                              const CefBrowserSettings& settings, const CefPoint& inspect_element_at) = 0;
    virtual void CloseDevTools() = 0;
};
