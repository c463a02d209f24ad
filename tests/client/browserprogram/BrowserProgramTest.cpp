// The real tallyhive.exe with its browser, driven from outside: the selected line's host
// is served from a loopback server of the test's own (reached through http_proxy), and
// the engine's trace file shows what the program asked of the engine. Pages drive the
// window through AppExtension; F5, pop-ups, the error page with its lines, and the
// shutdown after a confirmed close.
#include <gtest/gtest.h>

#include <string>

#include "../common/ClientProgram.h"

using namespace ClientProgram;
using namespace ProgramDriver;
using TestFiles::LocalAppDataFolder;
using TestFiles::ReadAll;

namespace {

<<<<<<< HEAD
class BrowserProgram : public ClientProgramTest {};
=======
const wchar_t kMainClass[] = L"TallyHiveMainFrameWnd";
const wchar_t kPanelClass[] = L"MessagePanleFrame";
const wchar_t kBrowserClass[] = L"TallyhiveBrowserWindow";
const std::string kLineUrl = "http://" TALLYHIVE_LINE_HOST "/";
const char kShopPage[] = "<title>Shop</title><p>shop</p>";

std::wstring ConfigPath() { return LocalAppDataFolder() + L"tallyhive\\config.ini"; }

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class BrowserProgram : public testing::Test {
protected:
    // Starts the program with its line host behind proxy (host:port); loopback itself is
    // reached directly.
    void Start(const std::string& proxy) {
        trace_ = TestFiles::TempFolder() + L"engine-trace.txt";
        DeleteFileW(trace_.c_str());
        SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", trace_.c_str());
        SetEnvironmentVariableW(L"http_proxy", Wide("http://" + proxy).c_str());
        SetEnvironmentVariableW(L"no_proxy", L"127.0.0.1");
        program_.reset(new Process(BesideSelf(TALLYHIVE_EXE_RELATIVE), L""));
        ASSERT_TRUE(program_->Started());
        main_ = WaitForWindow(kMainClass, program_->Id());
        ASSERT_NE(nullptr, main_);
    }

    // Serves body as the line's page.
    void ServeLine(const std::string& body) {
        LoopbackServer::Reply page;
        page.body = body;
        server_.Serve(kLineUrl, page);
    }
    // Starts the program with the line's page served from this test's server.
    void StartServing(const std::string& body) {
        ServeLine(body);
        Start("127.0.0.1:" + std::to_string(server_.Port()));
    }

    void TearDown() override {
        SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", nullptr);
        SetEnvironmentVariableW(L"http_proxy", nullptr);
        SetEnvironmentVariableW(L"no_proxy", nullptr);
    }

    std::vector<std::string> Trace() const {
        std::vector<std::string> lines;
        std::istringstream in(ReadAll(trace_));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // Whether a trace line from the mark-th on holds part.
    bool Traced(const std::string& part, size_t mark = 0) const {
        const auto lines = Trace();
        for (size_t i = mark; i < lines.size(); ++i) {
            if (lines[i].find(part) != std::string::npos) return true;
        }
        return false;
    }
    // The page's dimming (show) or its end, run as the definition followed by the call.
    bool DimmingRun(bool show, size_t mark) const {
        return Traced(std::string("bg.style.display=show?'':'none';}BG_Show(") + (show ? "true);" : "false);"), mark);
    }

    // The browser's window once it has been placed over the window's body.
    HWND PlacedBrowser() const {
        HWND browser = FindWindowExW(main_, nullptr, kBrowserClass, nullptr);
        RECT rect = {};
        if (browser == nullptr || !IsWindowVisible(browser) || !GetWindowRect(browser, &rect)) return nullptr;
        return rect.right - rect.left > 100 && rect.bottom - rect.top > 100 ? browser : nullptr;
    }

    int LineRequests() {
        int n = 0;
        for (const auto& r : server_.Requests()) n += r == "GET " + kLineUrl + " HTTP/1.1";
        return n;
    }

    void Quit() {
        PostMessageW(main_, WM_COMMAND, kQuitCommand, 0);
        EXPECT_EQ(1u, program_->Wait(60000));
    }

    LoopbackServer server_;
    std::wstring trace_;
    std::unique_ptr<Process> program_;
    HWND main_ = nullptr;
};
>>>>>>> main

TEST_F(BrowserProgram, TheLinesPageLoadsIsPlacedAndResizesTheWindowAndOpensNoPopup) {
    server_.Serve(kLineUrl, Page("window.open('/popup');"
                                 "if (AppExtension.GetVersion() === '4.0') AppExtension.ResizeWindow(800, 600);"));
    StartWithTheServer();
    ASSERT_NE(nullptr, WaitForPlacedBrowser());
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 800 && ClientSize(main_).cy == 600; }))
        << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
    EXPECT_TRUE(Traced("popup blocked"));
    for (const auto& r : server_.Requests()) EXPECT_EQ(std::string::npos, r.find("/popup")) << r;
    Quit();
}

TEST_F(BrowserProgram, F5AndALineChangeLoadTheStartPageAndTheLineIsStoredAtExit) {
    WritePrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"5", ConfigPath().c_str());
    server_.Serve(kLineUrl, Page(""));
    StartWithTheServer();
    HWND browser = WaitForPlacedBrowser();
    ASSERT_NE(nullptr, browser);
    const int first = LineRequests();
    ASSERT_LE(1, first);
    PressKey(browser, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return LineRequests() > first; }));

    // A page that asks for line 1: with one line the selection stays, and the line's
    // page is loaded again.
    server_.ServeOnce(kLineUrl, Page("AppExtension.ChangeLine(1);"));
    const int before = LineRequests();
    PressKey(browser, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return LineRequests() >= before + 2; }));
    Quit();
    EXPECT_EQ(L"0", StoredLine());
}

TEST_F(BrowserProgram, ARefusedConnectionShowsTheErrorPageWhoseLineItemLoadsTheLine) {
    Start("127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()));
    std::string page;
    ASSERT_TRUE(WaitUntil([&] { return !(page = ErrorPage()).empty(); }));
    EXPECT_NE(std::string::npos, page.find("-102 : ERR_CONNECTION_REFUSED")) << page;
    EXPECT_NE(std::string::npos, page.find("JSON.parse('[{\"check\":true,\"name\":\"\xE7\xBA\xBF\xE8\xB7\xAF\",\"url\":\"" +
                                           kLineUrl + "#/login?operators_id=1\"}]')"))
        << page;

    // The line item is drawn in its link colour; a click on it asks for the line again.
    HWND browser = WaitForPlacedBrowser();
    ASSERT_NE(nullptr, browser);
    POINT item = {-1, -1};
    ASSERT_TRUE(WaitUntil([&] { return (item = FindColour(browser, 0x279AC6)).x >= 0; }));
    const size_t loads = Trace().size();
    ClickAt(browser, item.x, item.y);
    EXPECT_TRUE(WaitUntil([&] { return Traced("LoadURL id=1 url=" + kLineUrl, loads); }));
    Quit();
}

TEST_F(BrowserProgram, AfterAConfirmedCloseNoBrowserIsOpenAtShutdownAndTheProgramEnds) {
    server_.Serve(kLineUrl, Page(""));
    StartWithTheServer();
    ASSERT_NE(nullptr, WaitForPlacedBrowser());
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ConfirmClose();
    EXPECT_EQ(1u, program_->Wait(30000)) << ReadAll(trace_);
    const auto lines = Trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(Traced("browser closed id=1"));
    EXPECT_FALSE(Traced("shutdown with open browsers"));
}

// The settings button dims the page while the settings window is up. With the one line
// of this build, choosing it again loads nothing; Escape closes the window and undims.
TEST_F(BrowserProgram, TheSettingsWindowOpensOverTheDimmedPageWithTheLineChosenAndEscapeUndims) {
    server_.Serve(kLineUrl, Page(""));
    StartWithTheServer();
    ASSERT_NE(nullptr, WaitForPlacedBrowser());
    SetCursorPos(0, 0);  // no row is hot under the pointer
    const size_t mark = Trace().size();
    const int requests = LineRequests();
    const HWND settings = OpenSettings();
    ASSERT_NE(nullptr, settings);
    EXPECT_EQ(main_, GetWindow(settings, GW_OWNER));
    EXPECT_TRUE(DimmingRun(true, mark));
    EXPECT_FALSE(DimmingRun(false, mark));

    const HWND drop = DropLineList(settings);
    ASSERT_NE(nullptr, drop);
    // One row: the rows' height and the 4 pixels round them.
    RECT box = {};
    GetWindowRect(drop, &box);
    EXPECT_GT(box.bottom - box.top, 4 + 10);
    EXPECT_EQ(180, box.right - box.left);
    PressKey(drop, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(drop); }));
    EXPECT_TRUE(IsWindow(settings));

    PressKey(settings, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
    ASSERT_TRUE(WaitUntil([&] { return DimmingRun(false, mark); }));
    // A line change would have been handled before the Escape that followed it.
    EXPECT_FALSE(Traced("LoadURL", mark));
    EXPECT_EQ(requests, LineRequests());
    Quit();
    EXPECT_EQ(L"0", StoredLine());
}

// A page's PlayMp3 reaches the voice prompts: the prompt is fetched from the page's host and
// its sound reaches the output device, whose capture is written when the prompt ends.
TEST_F(BrowserProgram, APagesPlayMp3FetchesThePromptAndPlaysIt) {
    const std::wstring capture = FreshSoundCapture();
    LoopbackServer::Reply prompt;
    prompt.body = Mp3Fixture("m22.mp3");
    ASSERT_FALSE(prompt.body.empty());
    const std::string promptUrl = kLineUrl + "prompt.mp3";
    server_.Serve(promptUrl, prompt);
    server_.Serve(kLineUrl, Page("AppExtension.PlayMp3('" + promptUrl + "');"));
    StartWithTheServer();
    EXPECT_TRUE(WaitUntil([&] { return Requests(promptUrl) > 0; }));
    EXPECT_TRUE(WaitUntil([&] { return Audible(ReadAll(capture)); }, 120000)) << "nothing audible was played";
    Quit();
}

}  // namespace
