// CefApp and the process-level engine calls: claiming sub-processes, start-up and
// shutdown of the browser process.
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser_process_handler.h"
#include "include/cef_command_line.h"
#include "include/cef_render_process_handler.h"
#include "include/cef_resource_bundle_handler.h"
#include "include/internal/cef_win.h"

class CefApp : public virtual CefBase {
public:
    // Lets the application change the command line before the engine reads it.
    virtual void OnBeforeCommandLineProcessing(const CefString& process_type,
                                               CefRefPtr<CefCommandLine> command_line) {
        (void)process_type;
        (void)command_line;
    }
    virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() { return nullptr; }
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

// -1 in the browser process; a sub-process role's exit code (>= 0) once it has run.
int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windows_sandbox_info);
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
                   void* windows_sandbox_info);
// Must run on the thread that called CefInitialize.
void CefShutdown();
void CefEnableHighDPISupport();
