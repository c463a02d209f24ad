// The process-level engine calls: which role this process plays, start-up, shutdown.
#include "include/cef_app.h"

#include "EngineContext.h"
#include "EngineTrace.h"

int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windows_sandbox_info) {
    (void)args;
    (void)windows_sandbox_info;
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::GetGlobalCommandLine();
    const CefString processType = commandLine->GetSwitchValue("type");
    if (processType.empty()) return -1;
    // Sub-process roles have nothing to run here: the browser process hosts the
    // renderer side on a thread of its own.
    if (application != nullptr) application->OnBeforeCommandLineProcessing(processType, commandLine);
    engine::Trace("sub-process type=" + processType.ToString() + " exit=0");
    return 0;
}

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
                   void* windows_sandbox_info) {
    (void)args;
    (void)windows_sandbox_info;
    return engine::EngineContext::Get().Initialize(settings, application);
}

void CefShutdown() { engine::EngineContext::Get().Shutdown(); }

void CefEnableHighDPISupport() {
    SetProcessDPIAware();
    engine::Trace("high-dpi support enabled");
}
