// CefRenderProcessHandler: callbacks of the render side of the engine, all on the
// renderer thread.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_process_message.h"
#include "include/cef_v8.h"

class CefRenderProcessHandler : public virtual CefBase {
public:
    virtual void OnBrowserCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    virtual void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) { (void)browser; }
    // A script context of the frame has been created.
    virtual void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context) {
        (void)browser;
        (void)frame;
        (void)context;
    }
    virtual void OnContextReleased(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefV8Context> context) {
        (void)browser;
        (void)frame;
        (void)context;
    }
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source_process,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)browser;
        (void)source_process;
        (void)message;
        return false;
    }
};
