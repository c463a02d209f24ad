// SimpleApp: the engine's application object in every process of the client; it adds
// the client's fixed switches to each process's command line and puts the script bridge
// on every page.
#pragma once

#include "include/cef_app.h"

struct SwitchEntry {
    const char* name;
    const char* value;  // null for a switch without a value
};

// In the order in which they are appended.
extern const SwitchEntry kSimpleAppSwitches[6];

class SimpleApp : public CefApp, public CefRenderProcessHandler {
public:
    // Makes the process's bridge handler, replacing any earlier one.
    SimpleApp();

    void OnBeforeCommandLineProcessing(const CefString& process_type,
                                       CefRefPtr<CefCommandLine> command_line) override;
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;

private:
    IMPLEMENT_REFCOUNTING(SimpleApp);
};
