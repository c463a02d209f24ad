// CefRequestHandler: requests and responses of a browser's loads.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_request.h"
#include "include/cef_response.h"

class CefRequestHandler : public virtual CefBase {
public:
    // The same name as the life-span handler's: a client deriving from both must say which.
    typedef cef_window_open_disposition_t WindowOpenDisposition;

    // A link or script asks to open target_url in another tab or window; true cancels it.
    virtual bool OnOpenURLFromTab(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  const CefString& target_url, WindowOpenDisposition target_disposition,
                                  bool user_gesture) {
        (void)browser, (void)frame, (void)target_url, (void)target_disposition, (void)user_gesture;
        return false;
    }
    // Runs on the UI thread for every response; true would ask for the request again.
    virtual bool OnResourceResponse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request, CefRefPtr<CefResponse> response) {
        (void)browser, (void)frame, (void)request, (void)response;
        return false;
    }
};
