// The browser client's parts that need no running engine: the error names, the filling
// of the error page, the web-static table, and the bridge's browser-side dispatch.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/PageAtAddress.h"
#include "../common/RecordingWindow.h"
#include "BrowserClient.h"
#include "ErrorPage.h"
#include "Log.h"
#include "NetErrorNames.h"
#include "ServerLines.h"
#include "StderrCapture.h"
#include "TestFiles.h"
#include "UIManager.h"
#include "WebStaticFiles.h"
#include "ZipBuilder.h"
#include "include/cef_process_message.h"

namespace {

TEST(NetErrorNames, KnownCodesHaveTheirNamesAndOthersAreNone) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "ERR_NONE"}, {-3, "ERR_ABORTED"}, {-102, "ERR_CONNECTION_REFUSED"}, {-105, "ERR_NAME_NOT_RESOLVED"},
        {-213, "ERR_CERT_VALIDITY_TOO_LONG"}, {-501, "ERR_INSECURE_RESPONSE"}, {-209, "ERR_NONE"}, {1, "ERR_NONE"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.second, NetErrorName(c.first)) << c.first;
}

class ErrorPageTest : public testing::Test {
protected:
    void SetUp() override { saved_ = g_lines.lines; }
    void TearDown() override {
        g_lines.lines = saved_;
        g_lines.selected = 0;
    }
    std::vector<LineInfo> saved_;
};

TEST_F(ErrorPageTest, EveryPlaceholderIsReplaced) {
    g_lines.lines = {MakeLineInfo("\xCF\xDF\xC2\xB7", "http://a.example/"), MakeLineInfo("B", "http://b.example/")};
    g_lines.selected = 1;
    const std::string page = FillErrorPage("<p>$errorcode$|$errorcode$</p><script>x('$linesjosn$');y('$linesjosn$')</script>",
                                           -105);
    const std::string lines =
        "[{\"check\":false,\"name\":\"\xE7\xBA\xBF\xE8\xB7\xAF\",\"url\":\"http://a.example/\"},"
        "{\"check\":true,\"name\":\"B\",\"url\":\"http://b.example/\"}]";
    EXPECT_EQ("<p>-105 : ERR_NAME_NOT_RESOLVED|-105 : ERR_NAME_NOT_RESOLVED</p><script>x('" + lines + "');y('" + lines +
                  "')</script>",
              page);
    EXPECT_EQ("-77 : ERR_NONE", ErrorDescription(-77));
}

// A name with a quote, a backslash, a line break or "</script>" must neither end the
// page's string nor its script.
TEST_F(ErrorPageTest, TheLinesTextIsSafeInsideASingleQuotedScriptString) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[\"it's\"]", "[\"it\\'s\"]"},
        {"[\"a\\\"b\"]", "[\"a\\\\\"b\"]"},
        {"[\"a\\nb\"]", "[\"a\\\\nb\"]"},
        {"a\nb\rc", "a\\nb\\rc"},
        {"</script>", "\\x3c/script>"},
        {"\xE2\x80\xA8|\xE2\x80\xA9|\xE7\xBA\xBF", "\\u2028|\\u2029|\xE7\xBA\xBF"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.second, ScriptStringText(c.first)) << c.first;
}

class WebStaticTest : public testing::Test {
protected:
    static std::wstring Folder(const wchar_t* name) {
        const std::wstring folder = TestFiles::TempFolder() + name + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"webstatic").c_str(), nullptr);
        return folder;
    }
    static std::string Loaded() {
        const TWebStaticRecord* record = FindWebStaticFile(kWebStaticErrorPage);
        return record ? std::string(reinterpret_cast<const char*>(record->data), record->size) : "(none)";
    }
    void TearDown() override { ClearWebStaticFiles(); }
};

TEST_F(WebStaticTest, ASkinFolderServesTheTemplateAndAPreloadReplacesTheRecord) {
    const std::wstring folder = Folder(L"skin-folder");
    ASSERT_TRUE(TestFiles::Write(folder + L"webstatic\\error.html", "\xEF\xBB\xBF<p>first</p>"));
    HiveUI::CPaintManagerUI::SetResourceType(1);
    HiveUI::CPaintManagerUI::SetResourcePath(folder.c_str());
    LoadWebStaticFiles();
    EXPECT_EQ("\xEF\xBB\xBF<p>first</p>", Loaded());
    ASSERT_TRUE(TestFiles::Write(folder + L"webstatic\\error.html", "<p>second</p>"));
    LoadWebStaticFiles();
    EXPECT_EQ("<p>second</p>", Loaded());
    ClearWebStaticFiles();
    EXPECT_EQ("(none)", Loaded());
}

TEST_F(WebStaticTest, AnEmptyOrMissingTemplateIsNotLoaded) {
    const std::wstring folder = Folder(L"skin-empty");
    ASSERT_TRUE(TestFiles::Write(folder + L"webstatic\\error.html", ""));
    HiveUI::CPaintManagerUI::SetResourceType(1);
    HiveUI::CPaintManagerUI::SetResourcePath(folder.c_str());
    LoadWebStaticFiles();
    EXPECT_EQ("(none)", Loaded());
    HiveUI::CPaintManagerUI::SetResourcePath(Folder(L"skin-missing").c_str());
    LoadWebStaticFiles();
    EXPECT_EQ("(none)", Loaded());
}

// Runs last among the table's tests: the skin zip can be given once per process.
TEST_F(WebStaticTest, ZZipMembersAreFoundWithoutRegardToCaseAndWithBackslashedNames) {
    TestZip::Entry page, help;
    page.name = "WEBSTATIC/Error.HTML";
    page.data = "<p>zip</p>";
    help.name = "WebStatic/Pages/Help.html";
    help.data = "help";
    static const std::string zip = TestZip::Build({page, help});
    HiveUI::CPaintManagerUI::SetResourceType(4);
    HiveUI::CPaintManagerUI::SetResourceZipFromMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr);
    LoadWebStaticFiles();
    EXPECT_EQ("<p>zip</p>", Loaded());
    BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(ReadWebStaticFromZip(L"pages\\help.html", &data, &size));
    EXPECT_EQ("help", std::string(reinterpret_cast<char*>(data), size));
    delete[] data;
    EXPECT_FALSE(ReadWebStaticFromZip(L"missing.html", &data, &size));
}

struct TArg {
    bool isInt;
    int number;
    const char* text;
};
TArg I(int n) { return {true, n, ""}; }
TArg S(const char* s) { return {false, 0, s}; }

CefRefPtr<CefProcessMessage> Message(const char* name, const std::vector<TArg>& args) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    list->SetSize(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].isInt) list->SetInt(i, args[i].number);
        else list->SetString(i, args[i].text);
    }
    return message;
}

TEST(BridgeDispatch, NamesAndArgumentCountsDecideWhatTheWindowIsAsked) {
    struct Case {
        const char* name;
        std::vector<TArg> args;
        bool handled;
        const char* call;  // "" when the window is not asked
    };
    const std::vector<Case> cases = {
        {"ResizeWindow", {I(800), I(600)}, true, "resize 800x600"},
        {"ResizeWindow", {I(800)}, false, ""},
        {"ResizeWindow", {I(800), I(600), I(1)}, false, ""},
        {"ResizeWindow", {S(""), I(600)}, true, "resize 0x600"},  // 800.5 arrives as a string entry
        {"SetThemeColor", {S("FF00FF00")}, true, "theme 0"},
        {"SetBorder", {}, false, ""},
        {"WindowCenter", {I(1), I(2)}, true, "center"},
        {"WindowVisible", {I(0)}, true, "visible 0"},
        {"WindowVisible", {I(2)}, true, "visible 1"},
        {"SetWinTitle", {S("\xE5\xAE\xA0\xE7\x89\xA9")}, true, "title \xE5\xAE\xA0\xE7\x89\xA9"},
        {"SetWinTitle", {I(5)}, true, "title "},
        {"PlayMp3", {S("")}, true, ""},  // an empty address is taken and plays nothing
        {"PlayMp3", {}, false, ""},
        {"playmp3", {S("http://a.example/v.mp3")}, false, ""},
        {"GetVersion", {}, false, ""},
        {"ChangeLine", {}, true, ""},
        {"Unknown", {I(1)}, false, ""},
    };
    for (const Case& c : cases) {
        RecordingWindow window;
        CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
        CefRefPtr<CefBrowser> linePage = new PageAtAddress(g_lines.lines[0].url);
        EXPECT_EQ(c.handled, client->OnProcessMessageReceived(linePage, PID_RENDERER, Message(c.name, c.args))) << c.name;
        const std::vector<std::string> expected = *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{};
        EXPECT_EQ(expected, window.Calls()) << c.name;
    }
}

TEST(BridgeDispatch, ChangeLineSelectsTheLineAndTellsTheMainWindow) {
    const std::vector<LineInfo> saved = g_lines.lines;
    g_lines.lines = {MakeLineInfo("a", "http://a.example/"), MakeLineInfo("b", "http://b.example/")};
    g_lines.selected = 0;
    HWND wnd = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    client->SetMainWindow(wnd);
    CefRefPtr<CefBrowser> page = new PageAtAddress("http://b.example/shop#/login");
    EXPECT_TRUE(client->OnProcessMessageReceived(page, PID_RENDERER, Message("ChangeLine", {I(1), S("extra")})));
    EXPECT_EQ(1, g_lines.selected);
    EXPECT_TRUE(client->OnProcessMessageReceived(page, PID_RENDERER, Message("ChangeLine", {I(7)})));
    EXPECT_EQ(1, g_lines.selected);
    EXPECT_TRUE(client->OnProcessMessageReceived(page, PID_RENDERER, Message("ChangeLine", {})));
    int posted = 0;
    MSG msg;
    while (PeekMessageW(&msg, wnd, 0x1403, 0x1403, PM_REMOVE)) ++posted;
    EXPECT_EQ(2, posted);  // every line change posts, also one that kept the line
    DestroyWindow(wnd);
    g_lines.lines = saved;
    g_lines.selected = 0;
}

std::string CapturePath(const char* name) {
    const std::wstring folder = TestFiles::TempFolder();
    return std::string(folder.begin(), folder.end()) + name;
}

// The captured log's lines without their time.
std::vector<std::string> LogLines(const std::string& log) {
    std::vector<std::string> found;
    for (size_t at = 0; at < log.size();) {
        const size_t end = log.find('\n', at);
        found.push_back(log.substr(at + 9, end - at - 9));
        at = end == std::string::npos ? log.size() : end + 1;
    }
    return found;
}

// Only pages of a line's origin (scheme, host and port) drive the client; every other
// page is refused with a WARN line that names its origin and the function.
TEST(BridgeDispatch, OnlyPagesOfAServerLinesOriginAreCarriedOut) {
    const std::vector<LineInfo> saved = g_lines.lines;
    g_lines.lines = {MakeLineInfo("a", "http://shop.example/#/login?operators_id=1"),
                     MakeLineInfo("b", "https://[::1]:8443/")};
    const struct {
        const char* url;
        const char* refusedAs;  // null when carried out
    } cases[] = {
        {"http://shop.example/goods/list?page=2", nullptr},
        {"HTTP://Shop.Example:80/", nullptr},
        {"https://[::1]:8443/pay", nullptr},
        {"http://shop.example:8080/", "http://shop.example:8080"},
        {"https://shop.example/", "https://shop.example:443"},
        {"http://ads.example/banner", "http://ads.example:80"},
        {"http://shop.example.ads.example/", "http://shop.example.ads.example:80"},
        {"http://shop.example@ads.example/", "http://ads.example:80"},
        {"http://ads.example\\@shop.example/", "http://ads.example:80"},
        {"https://[::1]/", "https://[::1]:443"},
        {"about:blank", "null"},
        {"data:text/html,<p>x</p>", "null"},
        {"", "null"},
    };
    for (const auto& c : cases) {
        RecordingWindow window;
        CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
        StderrCapture capture(CapturePath("bridge-origin.txt"));
        const bool handled =
            client->OnProcessMessageReceived(new PageAtAddress(c.url), PID_RENDERER, Message("SetWinTitle", {S("t")}));
        const std::string log = capture.Take();
        EXPECT_EQ(c.refusedAs == nullptr, handled) << c.url;
        EXPECT_EQ(c.refusedAs == nullptr ? std::vector<std::string>{"title t"} : std::vector<std::string>{},
                  window.Calls())
            << c.url;
        const std::string line = c.refusedAs == nullptr ? std::string()
                                                        : std::string("WARN   AppExtension.SetWinTitle refused: the page's "
                                                                      "origin ") + c.refusedAs + " is not a server line's\n";
        EXPECT_EQ(line, log.size() > 9 ? log.substr(9) : log) << c.url;
    }
    g_lines.lines = saved;
}

// A page that calls refused functions in a loop leaves one line per function and origin,
// and one with the count when the page goes (the next page's start, or the browser's
// close); a long origin is cut.
TEST(BridgeDispatch, RefusalsOfOnePageAreLoggedOnceAndCountedWhenThePageGoes) {
    const std::string origin = "http://ads" + std::string(300, 'x') + ".example:80";
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<CefBrowser> page = new PageAtAddress(origin + "/banner");
    client->OnAfterCreated(page);
    const auto call = [&](const char* function, int times) {
        for (int i = 0; i < times; ++i) {
            EXPECT_FALSE(client->OnProcessMessageReceived(page, PID_RENDERER, Message(function, {I(700), I(500)})));
        }
    };
    const std::string shown = PageTextForLog(origin);
    StderrCapture capture(CapturePath("bridge-refusals.txt"));
    call("ResizeWindow", 2000);
    call("WindowFlash", 1);
    client->OnLoadStart(page, page->GetMainFrame());
    call("ResizeWindow", 3);
    client->OnBeforeClose(page);
    const std::vector<std::string> expected = {
        "WARN   AppExtension.ResizeWindow refused: the page's origin " + shown + " is not a server line's",
        "WARN   AppExtension.WindowFlash refused: the page's origin " + shown + " is not a server line's",
        "WARN   AppExtension.ResizeWindow refused 2000 times in all on the page of origin " + shown,
        "WARN   AppExtension.ResizeWindow refused: the page's origin " + shown + " is not a server line's",
        "WARN   AppExtension.ResizeWindow refused 3 times in all on the page of origin " + shown,
    };
    EXPECT_EQ(expected, LogLines(capture.Take()));
    EXPECT_TRUE(window.Calls().empty());
}

// Each browser of the client (the main one, the developer tools, a pop-up) has its own
// account: a second browser's refusals are written when its own page goes or it closes,
// never when the main browser's page changes.
TEST(BridgeDispatch, RefusalsAreCountedForEachBrowserAndWrittenWhenItsOwnPageGoes) {
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<CefBrowser> main = new PageAtAddress("http://ads.example/", 7);
    CefRefPtr<CefBrowser> second = new PageAtAddress("http://popup.example/", 8);
    client->OnAfterCreated(main);
    client->OnAfterCreated(second);
    const auto call = [&](CefRefPtr<CefBrowser> browser, int times) {
        for (int i = 0; i < times; ++i) {
            EXPECT_FALSE(client->OnProcessMessageReceived(browser, PID_RENDERER, Message("WindowFlash", {})));
        }
    };
    const auto refused = [](const char* origin) {
        return std::string("WARN   AppExtension.WindowFlash refused: the page's origin ") + origin + " is not a server line's";
    };
    const auto counted = [](int times, const char* origin) {
        return "WARN   AppExtension.WindowFlash refused " + std::to_string(times) + " times in all on the page of origin " +
               origin;
    };
    StderrCapture capture(CapturePath("bridge-refusals-per-browser.txt"));
    call(main, 2);
    call(second, 5);
    client->OnLoadStart(main, main->GetMainFrame());
    call(second, 1);
    client->OnLoadStart(second, second->GetMainFrame());
    call(second, 3);
    client->OnBeforeClose(second);
    client->OnBeforeClose(main);
    const std::vector<std::string> expected = {
        refused("http://ads.example:80"),    refused("http://popup.example:80"), counted(2, "http://ads.example:80"),
        counted(6, "http://popup.example:80"), refused("http://popup.example:80"), counted(3, "http://popup.example:80"),
    };
    EXPECT_EQ(expected, LogLines(capture.Take()));
}

// The client's error page stands at the failed address, of whatever origin: its line
// buttons still work there, and the next page at that address is judged by its origin.
TEST(BridgeDispatch, TheClientsErrorPageIsCarriedOutAtAnyAddress) {
    const std::wstring folder = TestFiles::TempFolder() + L"bridge-skin\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"webstatic").c_str(), nullptr);
    ASSERT_TRUE(TestFiles::Write(folder + L"webstatic\\error.html", "<p>$errorcode$</p>"));
    HiveUI::CPaintManagerUI::SetResourceType(1);
    HiveUI::CPaintManagerUI::SetResourcePath(folder.c_str());
    LoadWebStaticFiles();
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<CefBrowser> page = new PageAtAddress("http://down.example/");
    client->OnAfterCreated(page);
    const auto title = [&] { return client->OnProcessMessageReceived(page, PID_RENDERER, Message("SetWinTitle", {S("t")})); };
    StderrCapture capture(CapturePath("bridge-error-page.txt"));
    client->OnLoadError(page, page->GetMainFrame(), ERR_NAME_NOT_RESOLVED, "", "http://down.example/");
    EXPECT_FALSE(title());  // the failed page's own scripts, before the error page
    client->OnLoadStart(page, page->GetMainFrame());
    EXPECT_TRUE(title());
    client->OnLoadStart(page, page->GetMainFrame());
    EXPECT_FALSE(title());
    capture.Take();
    EXPECT_EQ(std::vector<std::string>{"title t"}, window.Calls());
    client->OnBeforeClose(page);
}

}  // namespace
