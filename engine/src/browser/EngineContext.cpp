#include "EngineContext.h"

#include "CommandLine.h"
#include "CookieManager.h"
#include "EngineLog.h"
#include "EngineTrace.h"
#include "Folders.h"
#include "Browser.h"
#include "Fetcher.h"

namespace engine {
namespace {

std::string Utf8(const cef_string_t& s) { return CefString(&s).ToString(); }

}  // namespace

EngineContext& EngineContext::Get() {
    static EngineContext context;
    return context;
}

// The engine starts once per process; a second call fails as Chromium's does.
bool EngineContext::Initialize(const CefSettings& settings, CefRefPtr<CefApp> app) {
    if (everInitialized_) {
        EngineLog::Write(LOGSEVERITY_ERROR, "CefInitialize called more than once");
        return false;
    }
    everInitialized_ = true;
    initThread_ = GetCurrentThreadId();
    app_ = app;
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::GetGlobalCommandLine();
    if (app_ != nullptr) app_->OnBeforeCommandLineProcessing(CefString(), commandLine);

    cachePath_ = CefString(&settings.cache_path).ToWString();
    const std::wstring userData = CefString(&settings.user_data_path).ToWString();
    if (!cachePath_.empty()) CreateFolderTree(cachePath_);
    if (!userData.empty()) CreateFolderTree(userData);
    EngineLog::Open(CefString(&settings.log_file).ToWString(), settings.log_severity);
    TraceSettings(settings, *commandLine);

    // Both threads come up side by side: each waits for the system to start it.
    const bool multiThreaded = settings.multi_threaded_message_loop != 0;
    const bool uiLaunched = multiThreaded ? uiThread_.Launch() : uiThread_.Attach();
    const bool rendererLaunched = rendererThread_.Launch();
    const bool started = multiThreaded ? uiLaunched && uiThread_.AwaitReady() : uiLaunched;
    if (!started) EngineLog::Write(LOGSEVERITY_ERROR, "the engine's UI thread could not be started");
    if (!rendererLaunched || !rendererThread_.AwaitReady()) {
        EngineLog::Write(LOGSEVERITY_ERROR, "the engine's renderer thread could not be started");
    }
    CookieManager::Global()->Load(cachePath_);
    initialized_ = true;
    EngineLog::Write(LOGSEVERITY_INFO, "engine initialized");
    return started;
}

void EngineContext::Shutdown() {
    if (!initialized_) {
        EngineLog::Write(LOGSEVERITY_ERROR, "CefShutdown called without CefInitialize");
        return;
    }
    if (GetCurrentThreadId() != initThread_) {
        EngineLog::Write(LOGSEVERITY_ERROR, "CefShutdown must run on the thread that called CefInitialize");
        return;
    }
    CloseOpenBrowsers();
    initialized_ = false;
    // The renderer thread starts the pictures' fetches as earlier ones end: it ends, with
    // the pages' images, before the fetches are cancelled and waited for.
    rendererThread_.Stop();
    CancelFetches();
    uiThread_.Stop();
    app_ = nullptr;
    Trace("shutdown");
    EngineLog::Write(LOGSEVERITY_INFO, "engine shut down");
    EngineLog::Close();
}

void EngineContext::TraceSettings(const CefSettings& settings, CefCommandLine& commandLine) const {
    Trace("initialize single_process=" + std::to_string(settings.single_process) +
          " no_sandbox=" + std::to_string(settings.no_sandbox) +
          " multi_threaded_message_loop=" + std::to_string(settings.multi_threaded_message_loop) +
          " cache_path=" + Utf8(settings.cache_path) + " user_data_path=" + Utf8(settings.user_data_path) +
          " log_file=" + Utf8(settings.log_file) + " log_severity=" + std::to_string(settings.log_severity));
    std::string switches = "switches";
    for (const auto& sw : static_cast<CommandLine&>(commandLine).OrderedSwitches()) {
        switches += " --" + CefString(sw.first).ToString();
        if (!sw.second.empty()) switches += "=" + CefString(sw.second).ToString();
    }
    Trace(switches);
}

}  // namespace engine
