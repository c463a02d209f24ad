// CefRequestHandler: requests and responses of a browser's loads.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_request.h"
#include "include/cef_response.h"

class CefRequestHandler : public virtual CefBase {
public:
    // Runs on the UI thread for every response; true would ask for the request again.
    virtual bool OnResourceResponse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request, CefRefPtr<CefResponse> response) {
        (void)browser, (void)frame, (void)request, (void)response;
        return false;
    }
};
