// CefLifeSpanHandler: creation, pop-ups and closing of browsers, on the UI thread.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"

class CefClient;

class CefLifeSpanHandler : public virtual CefBase {
public:
    typedef cef_window_open_disposition_t WindowOpenDisposition;

    // True cancels the pop-up; otherwise windowInfo, client and settings shape it.
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                               const CefString& target_url, const CefString& target_frame_name,
                               WindowOpenDisposition target_disposition, bool user_gesture,
                               const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                               CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                               bool* no_javascript_access) {
        (void)browser, (void)frame, (void)target_url, (void)target_frame_name, (void)target_disposition;
        (void)user_gesture, (void)popupFeatures, (void)windowInfo, (void)client, (void)settings;
        (void)no_javascript_access;
        return false;
    }
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    virtual bool RunModal(CefRefPtr<CefBrowser> browser) {
        (void)browser;
        return false;
    }
    // True when the application closes the window itself.
    virtual bool DoClose(CefRefPtr<CefBrowser> browser) {
        (void)browser;
        return false;
    }
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) { (void)browser; }
};
