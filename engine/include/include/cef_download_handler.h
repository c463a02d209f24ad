// CefDownloadHandler: responses that become downloads, on the UI thread.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_download_item.h"

class CefBeforeDownloadCallback : public virtual CefBase {
public:
    // Saves to download_path (a folder takes the suggested name), or where the user picks
    // in the Save-As dialog when show_dialog is true.
    virtual void Continue(const CefString& download_path, bool show_dialog) = 0;
};

class CefDownloadItemCallback : public virtual CefBase {
public:
    virtual void Cancel() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
};

class CefDownloadHandler : public virtual CefBase {
public:
    // The download is dropped unless callback->Continue is called, now or later.
    virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                  const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) = 0;
    virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                   CefRefPtr<CefDownloadItemCallback> callback) {
        (void)browser, (void)download_item, (void)callback;
    }
};
