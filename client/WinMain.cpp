// Program entry of every process of the client: the browser process that the user
// starts and the engine's sub-processes, which run this same executable.
// curl brings winsock2.h, which must come before windows.h.
#include <winsock2.h>
#include <windows.h>

#include <curl/curl.h>

#include "AppPaths.h"
#include "ComApartment.h"
#include "Log.h"
#include "OtherInstances.h"
#include "PlayMP3.h"
#include "ServerLines.h"
#include "SettingsFile.h"
#include "SimpleApp.h"
#include "TextConvert.h"
#include "UIManager.h"
#include "include/cef_app.h"
#include "include/cef_cookie.h"

namespace {

// The engine takes its folder paths as UTF-16; ours are in the system code page.
void SetEngineString(cef_string_t* field, const std::string& ansi) {
    CefString target(field);
    target = AnsiToWide(ansi);
}

void FillEngineSettings(CefSettings& settings) {
    settings.single_process = 0;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    SetEngineString(&settings.cache_path, g_dataFolder + "cefcache\\");
    SetEngineString(&settings.user_data_path, g_dataFolder + "cefcache\\" + "userdata\\");
    SetEngineString(&settings.log_file, g_dataFolder + "cef.log");
    settings.log_severity = LOGSEVERITY_WARNING;
}

void FlushCookies() {
    CefRefPtr<CefCookieManager> manager = CefCookieManager::GetGlobalManager(nullptr);
    if (manager != nullptr) manager->FlushStore(nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    InitAppPaths();
    const std::string configPath = g_dataFolder + "config.ini";
    LoadSelectedLine(configPath);

    const bool oleReady = InitComAndOle();

    HiveUI::CPaintManagerUI::SetInstance(instance);
    HiveUI::CPaintManagerUI::SetResourceType(4);
    // The skin archive (resource 131, "ZIPRES") is handed to the paint manager here
    // once the framework reads archives from memory.

    CefEnableHighDPISupport();
    CefMainArgs mainArgs(instance);
    CefRefPtr<SimpleApp> app = new SimpleApp();

    const int subProcessResult = CefExecuteProcess(mainArgs, app.get(), nullptr);
    if (subProcessResult >= 0) return subProcessResult;

    KillOtherInstances();
    PlayMP3::Init();
    // The web-static files are preloaded here once they exist.
    curl_global_init(CURL_GLOBAL_ALL);

    CefSettings settings;
    FillEngineSettings(settings);
    CefInitialize(mainArgs, settings, app.get(), nullptr);
    OpenLogFile(GetLogFilePath());

    // The main window is created, shown and its message loop run here once it exists;
    // until then the browser process goes straight on to shutdown.

    FlushCookies();
    CefShutdown();
    UninitComAndOle(oleReady);
    // The paint manager's process-wide resources are released here once it owns any.
    StoreSelectedLine(configPath);
    CloseLogFile();
    KillOwnSubProcesses();
    return 1;
}
