// Program entry of every process of the client: the browser process that the user
// starts and the engine's sub-processes, which run this same executable.
// curl brings winsock2.h, which must come before windows.h.
#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <new>

#include "AppPaths.h"
#include "BrowserClient.h"
#include "ComApartment.h"
#include "Log.h"
#include "MainFrame.h"
#include "OtherInstances.h"
#include "PlayMP3.h"
#include "ServerLines.h"
#include "SettingsFile.h"
#include "SimpleApp.h"
#include "SkinArchive.h"
#include "TextConvert.h"
#include "UIManager.h"
#include "WebStaticFiles.h"
#include "include/cef_app.h"
#include "include/cef_cookie.h"

namespace {

// "tallyhive宠物店管理系统", the main window's title, in GBK.
const char kTitleGbk[] = "tallyhive\xB3\xE8\xCE\xEF\xB5\xEA\xB9\xDC\xC0\xED\xCF\xB5\xCD\xB3";

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
    UseSkinArchive();

    CefEnableHighDPISupport();
    CefMainArgs mainArgs(instance);
    CefRefPtr<SimpleApp> app = new SimpleApp();

    const int subProcessResult = CefExecuteProcess(mainArgs, app.get(), nullptr);
    if (subProcessResult >= 0) return subProcessResult;

    KillOtherInstances();
    PlayMP3::Init();
    LoadWebStaticFiles();
    // The HTTP library is started by the update check, once the main window's first frame
    // is on the screen: its start loads the system's security providers, and nothing
    // fetches before then.

    CefSettings settings;
    FillEngineSettings(settings);
    CefInitialize(mainArgs, settings, app.get(), nullptr);
    OpenLogFile(GetLogFilePath());

    std::unique_ptr<CMainFrame> frame(new (std::nothrow) CMainFrame());
    if (frame == nullptr) return 0;
    frame->Create(nullptr, GbkToWide(kTitleGbk).c_str(), WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0);
    frame->ShowWindow(true, true);
    HiveUI::CPaintManagerUI::MessageLoop();
    frame->FinishRun();

    FlushCookies();
    CefShutdown();
    g_browserClient = nullptr;
    // The engine's thread may call the window's operations until it has stopped.
    frame.reset();
    UninitComAndOle(oleReady);
    HiveUI::CPaintManagerUI::Term();
    StoreSelectedLine(configPath);
    CloseLogFile();
    KillOwnSubProcesses();
    return 1;
}
