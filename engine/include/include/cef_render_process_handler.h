// CefRenderProcessHandler: callbacks of the render side of the engine.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_v8.h"

class CefRenderProcessHandler : public virtual CefBase {
public:
    // A script context of the frame has been created; runs on the renderer thread.
    virtual void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context) {
        (void)browser;
        (void)frame;
        (void)context;
    }
};
