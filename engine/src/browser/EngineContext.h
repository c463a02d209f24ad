// The browser process's engine state between CefInitialize and CefShutdown.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "EngineThread.h"
#include "include/cef_app.h"

namespace engine {

class EngineContext {
public:
    static EngineContext& Get();

    bool Initialize(const CefSettings& settings, CefRefPtr<CefApp> app);
    void Shutdown();
    bool IsInitialized() const { return initialized_; }

    EngineThread& UiThread() { return uiThread_; }
    EngineThread& RendererThread() { return rendererThread_; }
    CefRefPtr<CefApp> App() const { return app_; }
    const std::wstring& CachePath() const { return cachePath_; }

private:
    EngineContext() = default;
    void TraceSettings(const CefSettings& settings, CefCommandLine& commandLine) const;

    std::atomic<bool> initialized_{false};
    bool everInitialized_ = false;
    DWORD initThread_ = 0;
    std::wstring cachePath_;
    CefRefPtr<CefApp> app_;
    EngineThread uiThread_;
    EngineThread rendererThread_;
};

}  // namespace engine
