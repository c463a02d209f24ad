// CefLoadHandler: progress and failures of page loads, on the UI thread.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"

class CefLoadHandler : public virtual CefBase {
public:
    typedef cef_errorcode_t ErrorCode;

    virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack,
                                      bool canGoForward) {
        (void)browser, (void)isLoading, (void)canGoBack, (void)canGoForward;
    }
    virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) { (void)browser, (void)frame; }
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) {
        (void)browser, (void)frame, (void)httpStatusCode;
    }
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                             const CefString& errorText, const CefString& failedUrl) {
        (void)browser, (void)frame, (void)errorCode, (void)errorText, (void)failedUrl;
    }
};
