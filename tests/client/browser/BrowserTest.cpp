// The browser client and the script bridge against the running engine, in one process:
// a stand-in for the main window on this thread receives the posted messages and owns
// the browser's window, pages are served from loopback, and the window-control calls
// are recorded. The engine starts once, so the tests run in the order written.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "../../engine/common/LoopbackServer.h"
#include "../common/RecordingWindow.h"
#include "BrowserClient.h"
#include "ServerLines.h"
#include "SimpleApp.h"
#include "TestFiles.h"
#include "UIManager.h"
#include "WebStaticFiles.h"
#include "include/cef_app.h"
#include "tallyhive/engine_testing.h"

namespace {

LoopbackServer* g_server = nullptr;
RecordingWindow g_window;
HWND g_main = nullptr;
std::vector<UINT> g_posted;  // private messages the stand-in received, on this thread
int g_topLevelCloses = 0;

LRESULT CALLBACK StandInProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= 0x1401 && msg <= 0x1403) g_posted.push_back(msg);
    if (msg == WM_CLOSE) {
        ++g_topLevelCloses;
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

// Pumps this thread's messages (the engine sends some to the stand-in) until done.
bool PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG limit = GetTickCount64() + 60000;
    while (!done()) {
        if (GetTickCount64() > limit) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
    return true;
}

int Posted(UINT msg) {
    int n = 0;
    for (UINT m : g_posted) n += m == msg;
    return n;
}

bool Requested(const std::string& path) {
    for (const auto& r : g_server->Requests()) {
        if (r == "GET " + path + " HTTP/1.1") return true;
    }
    return false;
}

std::string Shown() { return CefString(engine_testing::DisplayedText(g_browserClient->GetBrowser())).ToString(); }

bool Traced(const std::string& prefix) {
    for (const auto& r : engine_testing::TraceRecords()) {
        if (r.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

class BrowserTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        g_server = new LoopbackServer();
        LoopbackServer::Reply start;
        start.body = "<title>Start</title><p>line one</p>";
        g_server->Serve("/start", start);
        g_server->Serve("/second", start);
        g_server->Serve("/other", start);
        g_lines.lines = {MakeLineInfo("\xCF\xDF\xC2\xB7\xD2\xBB", g_server->Url("/start")),
                         MakeLineInfo("it's\n\"B\"</script>", g_server->Url("/second"))};
        g_lines.selected = 0;

        // The error page template is the one the client's skin carries.
        std::wstring skin = L"\\\\?\\unix";
        for (const char* p = TALLYHIVE_CLIENT_SKIN_DIR "/"; *p; ++p) skin += static_cast<wchar_t>(*p);
        HiveUI::CPaintManagerUI::SetResourceType(1);
        HiveUI::CPaintManagerUI::SetResourcePath(skin.c_str());
        LoadWebStaticFiles();
        ASSERT_NE(nullptr, FindWebStaticFile(kWebStaticErrorPage));

        WNDCLASSW wc = {};
        wc.lpfnWndProc = StandInProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MainWindowStandIn";
        RegisterClassW(&wc);
        g_main = CreateWindowExW(0, wc.lpszClassName, L"main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800, 600,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, g_main);

        SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", (TestFiles::TempFolder() + L"trace.txt").c_str());
        CefSettings settings;
        settings.multi_threaded_message_loop = 1;
        CefString(&settings.log_file) = TestFiles::TempFolder() + L"cef.log";
        CefString(&settings.cache_path) = TestFiles::TempFolder() + L"cefcache";
        ASSERT_TRUE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, new SimpleApp(), nullptr));
        engine_testing::SetNetworkIdleTimeout(2000);
        g_browserClient = new CBrowserClient(&g_window);
        g_browserClient->SetMainWindow(g_main);
        CefWindowInfo info;
        info.SetAsChild(g_main, RECT{0, 30, 800, 600});
        CefBrowserSettings browserSettings;
        CefString(&browserSettings.default_encoding) = "UTF-8";
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, g_browserClient.get(), g_lines.lines[0].url, browserSettings,
                                                  nullptr));
    }

    static void TearDownTestSuite() {
        CefShutdown();
        g_browserClient = nullptr;
        DestroyWindow(g_main);
        ClearWebStaticFiles();
        delete g_server;
    }

    static void Load(const std::string& url) {
        g_posted.clear();
        g_browserClient->GetBrowser()->GetMainFrame()->LoadURL(url);
    }
};

TEST_F(BrowserTest, TheBrowserIsAnnouncedAndTheSelectedLineLoads) {
    ASSERT_TRUE(PumpUntil([] { return Posted(0x1401) == 1 && Posted(0x1402) >= 1; }));
    ASSERT_NE(nullptr, g_browserClient->GetBrowser().get());
    EXPECT_EQ(g_browserClient->GetBrowser()->GetIdentifier(), g_browserClient->GetMainBrowserId());
    EXPECT_TRUE(Requested("/start"));
}

TEST_F(BrowserTest, PagesDriveTheWindowThroughAppExtension) {
    LoopbackServer::Reply page;
    page.body =
        "<script>AppExtension.SetWinTitle(AppExtension.GetVersion());"
        "AppExtension.ResizeWindow(800, 600); AppExtension.ResizeWindow(1); AppExtension.ResizeWindow(1, 2, 3);"
        "AppExtension.ResizeWindow(800.5, 600); AppExtension.SetThemeColor('FF00FF00');"
        "AppExtension.SetBorder(4294967297); AppExtension.WindowVisible(true);"
        "var kept = delete window.AppExtension;"
        "AppExtension.SetTitleColor(kept === false && typeof AppExtension.ChangeLine === 'function' ? 1 : 2);"
        "AppExtension.SendMenuMessage(AppExtension.WindowCenter() === undefined ? 7 : 8);"
        "window.open('/other'); AppExtension.WindowFlash();</script>";
    g_server->Serve("/bridge", page);
    g_window.Clear();
    Load(g_server->Url("/bridge"));
    ASSERT_TRUE(PumpUntil([] {
        const auto calls = g_window.Calls();
        return !calls.empty() && calls.back() == "flash";
    }));
    const std::vector<std::string> expected = {
        "title 4.0", "resize 800x600", "resize 0x600", "theme 0",  "border 0",
        "visible 0", "title colour 1", "center",       "menu 7",   "flash",
    };
    EXPECT_EQ(expected, g_window.Calls());
    EXPECT_TRUE(Traced("popup blocked"));
    EXPECT_FALSE(Requested("/other"));
}

// Whether the load that started last is one of url and has ended. A page-loaded notice
// may still be on its way from the page before, so the engine's own records are read.
bool LastLoadEnded(const std::string& url) {
    bool ours = false, ended = false;
    for (const auto& r : engine_testing::TraceRecords()) {
        if (r.rfind("load started ", 0) == 0) {
            ours = r.find(" url=" + url) != std::string::npos;
            ended = false;
        } else if (r.rfind("load ended ", 0) == 0) {
            ended = true;
        }
    }
    return ours && ended;
}

TEST_F(BrowserTest, F5LoadsTheSelectedLinesStartPage) {
    Load(g_server->Url("/other"));
    ASSERT_TRUE(PumpUntil([] { return LastLoadEnded(g_server->Url("/other")); }));
    const size_t before = g_server->Requests().size();
    g_posted.clear();
    HWND view = g_browserClient->GetBrowser()->GetHost()->GetWindowHandle();
    PostMessageW(view, WM_KEYDOWN, VK_F5, 0x003F0001);
    PostMessageW(view, WM_KEYUP, VK_F5, 0xC03F0001);
    // The relayout is asked for as the load starts; its request reaches the server later.
    ASSERT_TRUE(PumpUntil([&] { return Posted(0x1401) == 1 && g_server->Requests().size() > before; }));
    EXPECT_EQ("GET /start HTTP/1.1", g_server->Requests().back());
}

TEST_F(BrowserTest, ABlankMainFrameIsReplacedByTheSelectedLine) {
    const size_t before = g_server->Requests().size();
    Load("about:blank");
    ASSERT_TRUE(PumpUntil([&] { return g_server->Requests().size() > before; }));
    EXPECT_EQ("GET /start HTTP/1.1", g_server->Requests().back());
}

TEST_F(BrowserTest, ARefusedConnectionShowsTheErrorPageWhoseLinesSwitchTheLine) {
    const std::string failed = "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/";
    Load(failed);
    std::string shown;
    ASSERT_TRUE(PumpUntil([&] {
        shown = Shown();
        return shown.find("-102 : ERR_CONNECTION_REFUSED") != std::string::npos;
    })) << shown;
    EXPECT_NE(std::string::npos, shown.find("\xE9\x94\x99\xE8\xAF\xAF\xE7\xA0\x81\xEF\xBC\x9A-102 : ERR_CONNECTION_REFUSED."))
        << shown;
    // Both lines, the selected one marked, the second's quote and markup intact.
    EXPECT_NE(std::string::npos, shown.find("\xE7\xBA\xBF\xE8\xB7\xAF\xE4\xB8\x80[\xE2\x88\x9A]")) << shown;
    EXPECT_NE(std::string::npos, shown.find("it's \"B\"</script>")) << shown;
    EXPECT_EQ(failed, g_browserClient->GetBrowser()->GetMainFrame()->GetURL().ToString());

    std::vector<engine_testing::PageBox> items;
    for (const auto& box : engine_testing::PageBoxes(g_browserClient->GetBrowser())) {
        if (box.element == "h3.lineitem") items.push_back(box);
    }
    ASSERT_EQ(2u, items.size());
    g_posted.clear();
    const LPARAM at = MAKELPARAM((items[1].rect.left + items[1].rect.right) / 2,
                                 (items[1].rect.top + items[1].rect.bottom) / 2);
    HWND view = g_browserClient->GetBrowser()->GetHost()->GetWindowHandle();
    PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(view, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([] { return Posted(0x1403) == 1; }));
    EXPECT_EQ(1, g_lines.selected);
}

// The engine shows the menu on its own thread; this thread reads it and closes it.
TEST_F(BrowserTest, ThePageMenuIsReplacedByTheClientsFiveItems) {
    HWND view = g_browserClient->GetBrowser()->GetHost()->GetWindowHandle();
    PostMessageW(view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40));
    PostMessageW(view, WM_RBUTTONUP, 0, MAKELPARAM(40, 40));
    HWND popup = nullptr;
    HMENU menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        popup = FindWindowW(L"#32768", nullptr);
        menu = popup != nullptr ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
        return menu != nullptr && GetMenuItemCount(menu) > 0;
    }));
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        items.push_back(std::to_string(GetMenuItemID(menu, i)) + " " + CefString(text).ToString());
    }
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"#32768", nullptr) == nullptr || !IsWindowVisible(FindWindowW(L"#32768", nullptr)); }));
    const std::vector<std::string> expected = {
        "113 \xE5\xA4\x8D\xE5\x88\xB6", "114 \xE7\xB2\x98\xE8\xB4\xB4",
        "102 \xE9\x87\x8D\xE6\x96\xB0\xE5\x8A\xA0\xE8\xBD\xBD",
        "100 \xE8\xBF\x94\xE5\x9B\x9E\xE4\xB8\x8A\xE4\xB8\x80\xE9\xA1\xB5",
        "131 \xE6\x89\x93\xE5\x8D\xB0\xE6\xAD\xA4\xE7\xBD\x91\xE9\xA1\xB5",
    };
    EXPECT_EQ(expected, items);
}

TEST_F(BrowserTest, ShowDevToolsOpensAToolsWindowOwnedByTheMainWindow) {
    LoopbackServer::Reply page;
    page.body = "<script>AppExtension.ShowDevTools(1, 2);</script>";
    g_server->Serve("/tools", page);
    Load(g_server->Url("/tools"));
    HWND tools = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        tools = FindWindowW(nullptr, L"\u5F00\u53D1\u8005\u5DE5\u5177\u680F");
        return tools != nullptr && IsWindowVisible(tools);
    }));
    const LONG style = GetWindowLongW(tools, GWL_STYLE);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW | WS_VISIBLE, style & (WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CHILD));
    EXPECT_EQ(g_main, GetWindow(tools, GW_OWNER));
    RECT rect;
    GetWindowRect(tools, &rect);
    EXPECT_EQ(600, rect.right - rect.left);
    EXPECT_EQ(400, rect.bottom - rect.top);
    EXPECT_TRUE(Traced("dev tools opened"));
}

TEST_F(BrowserTest, ClosingAllBrowsersFromAnotherThreadLeavesNoneOpen) {
    g_browserClient->CloseAllBrowsers(true);
    ASSERT_TRUE(PumpUntil([] { return !g_browserClient->HasOpenBrowsers(); }));
    EXPECT_EQ(nullptr, g_browserClient->GetBrowser().get());
    EXPECT_EQ(1, g_topLevelCloses);
    EXPECT_TRUE(IsWindow(g_main));
    EXPECT_FALSE(Traced("shutdown with open browsers"));
}

}  // namespace
