// The real tallyhive.exe with its browser, driven from outside: the selected line's host
// is served from a loopback server of the test's own (reached through http_proxy), and
// the engine's trace file shows what the program asked of the engine. Pages drive the
// window through AppExtension; F5, pop-ups, the error page with its lines, and the
// shutdown after a confirmed close.
#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../engine/common/LoopbackServer.h"
#include "MainFrameMessages.h"
#include "ProgramDriver.h"
#include "TestFiles.h"

using namespace ProgramDriver;
using TestFiles::LocalAppDataFolder;
using TestFiles::ReadAll;

namespace {

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

TEST_F(BrowserProgram, TheLinesPageLoadsIsPlacedAndResizesTheWindowAndOpensNoPopup) {
    StartServing("<title>Shop</title><p>shop</p><script>window.open('/popup');"
                 "if (AppExtension.GetVersion() === '4.0') AppExtension.ResizeWindow(800, 600);</script>");
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (browser = PlacedBrowser()) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 800 && ClientSize(main_).cy == 600; }))
        << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
    EXPECT_TRUE(Traced("popup blocked"));
    for (const auto& r : server_.Requests()) EXPECT_EQ(std::string::npos, r.find("/popup")) << r;
    Quit();
}

TEST_F(BrowserProgram, F5AndALineChangeLoadTheStartPageAndTheLineIsStoredAtExit) {
    WritePrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"5", ConfigPath().c_str());
    StartServing(kShopPage);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (browser = PlacedBrowser()) != nullptr; }));
    const int first = LineRequests();
    ASSERT_LE(1, first);
    PressKey(browser, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return LineRequests() > first; }));

    // A page that asks for line 1: with one line the selection stays, and the line's
    // page is loaded again.
    ServeLine("<title>Shop</title><script>AppExtension.ChangeLine(1);</script>");
    const int before = LineRequests();
    PressKey(browser, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return LineRequests() >= before + 2; }));
    ServeLine(kShopPage);
    Quit();
    wchar_t index[8] = {};
    GetPrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"", index, 8, ConfigPath().c_str());
    EXPECT_STREQ(L"0", index);
}

TEST_F(BrowserProgram, ARefusedConnectionShowsTheErrorPageWhoseLineItemLoadsTheLine) {
    Start("127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()));
    std::string page;
    ASSERT_TRUE(WaitUntil([&] {
        for (const auto& line : Trace()) {
            const size_t at = line.find("LoadString id=1 url=" + kLineUrl);
            const size_t file = line.find(" file=");
            if (at != std::string::npos && file != std::string::npos) page = ReadAll(Wide(line.substr(file + 6)));
        }
        return !page.empty();
    }));
    EXPECT_NE(std::string::npos, page.find("-102 : ERR_CONNECTION_REFUSED")) << page;
    EXPECT_NE(std::string::npos, page.find("JSON.parse('[{\"check\":true,\"name\":\"\xE7\xBA\xBF\xE8\xB7\xAF\",\"url\":\"" +
                                           kLineUrl + "#/login?operators_id=1\"}]')"))
        << page;

    // The line item is drawn in its link colour; a click on it asks for the line again.
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (browser = PlacedBrowser()) != nullptr; }));
    POINT item = {-1, -1};
    ASSERT_TRUE(WaitUntil([&] {
        const ScreenPixels screen(browser);
        for (int y = 0; y < screen.height() && item.x < 0; ++y) {
            for (int x = 0; x < screen.width() && item.x < 0; ++x) {
                if (screen.rgb(x, y) == 0x279AC6) item = POINT{x, y};
            }
        }
        return item.x >= 0;
    }));
    const size_t loads = Trace().size();
    ClickAt(browser, item.x, item.y);
    EXPECT_TRUE(WaitUntil([&] { return Traced("LoadURL id=1 url=" + kLineUrl, loads); }));
    Quit();
}

TEST_F(BrowserProgram, AfterAConfirmedCloseNoBrowserIsOpenAtShutdownAndTheProgramEnds) {
    StartServing(kShopPage);
    ASSERT_TRUE(WaitUntil([&] { return PlacedBrowser() != nullptr; }));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    HWND panel = WaitForWindow(kPanelClass, program_->Id());
    ASSERT_NE(nullptr, panel);
    // The button is placed when the panel first paints.
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(panel).rgb(134, 209) != 0xFFFFFF; }));
    ClickAt(panel, 134, 209);  // the panel's OK button
    EXPECT_EQ(1u, program_->Wait(30000)) << ReadAll(trace_);
    const auto lines = Trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(Traced("browser closed id=1"));
    EXPECT_FALSE(Traced("shutdown with open browsers"));
}

// The settings button dims the page while the settings window is up. With the one line
// of this build, choosing it again loads nothing; Escape closes the window and undims.
TEST_F(BrowserProgram, TheSettingsWindowOpensOverTheDimmedPageWithTheLineChosenAndEscapeUndims) {
    StartServing(kShopPage);
    ASSERT_TRUE(WaitUntil([&] { return PlacedBrowser() != nullptr; }));
    SetCursorPos(0, 0);  // no row is hot under the pointer
    const size_t mark = Trace().size();
    const int requests = LineRequests();
    // "btn_setting" is 36 wide, left of the three 40-wide window buttons.
    ClickAt(main_, 1062, 15);
    const HWND settings = WaitForWindow(L"SettingFrame", program_->Id());
    ASSERT_NE(nullptr, settings);
    EXPECT_EQ(main_, GetWindow(settings, GW_OWNER));
    EXPECT_TRUE(DimmingRun(true, mark));
    EXPECT_FALSE(DimmingRun(false, mark));

    // The combo (180 x 30 at 128,242) shows the chosen line's name left of its triangle.
    const auto nameShown = [&] {
        const ScreenPixels screen(settings);
        for (int y = 246; y < 268; ++y) {
            for (int x = 136; x < 270; ++x) {
                if ((screen.rgb(x, y) & 0xFF) < 0x80) return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(WaitUntil(nameShown));
    HWND drop = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        ClickAt(settings, 200, 257);
        return WaitUntil([&] { return (drop = FindProcessWindow(L"ComboWnd", program_->Id())) != nullptr; }, 2000);
    }));
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
    wchar_t index[8] = {};
    GetPrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"", index, 8, ConfigPath().c_str());
    EXPECT_STREQ(L"0", index);
}

// A page's PlayMp3 reaches the voice prompts: the prompt is fetched from the page's host and
// its sound reaches the output device, whose capture is written when the prompt ends.
TEST_F(BrowserProgram, APagesPlayMp3FetchesThePromptAndPlaysIt) {
    std::wstring capture = Wide(getenv("TALLYHIVE_SOUND_CAPTURE"));
    for (wchar_t& c : capture) c = c == L'/' ? L'\\' : c;
    capture = L"Z:" + capture;
    DeleteFileW(capture.c_str());
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string fixture(exe);
    fixture.erase(fixture.rfind('\\') + 1);
    LoopbackServer::Reply prompt;
    prompt.body = ReadAll(Wide(fixture + TALLYHIVE_MP3_FIXTURES "\\m22.mp3"));
    ASSERT_FALSE(prompt.body.empty());
    const std::string promptUrl = kLineUrl + "prompt.mp3";
    server_.Serve(promptUrl, prompt);
    StartServing("<title>Shop</title><script>AppExtension.PlayMp3('" + promptUrl + "');</script>");
    EXPECT_TRUE(WaitUntil([&] {
        for (const auto& r : server_.Requests()) {
            if (r.find("prompt.mp3") != std::string::npos) return true;
        }
        return false;
    }));
    EXPECT_TRUE(WaitUntil([&] { return ReadAll(capture).find_first_not_of('\0') != std::string::npos; }, 120000))
        << "nothing audible was played";
    Quit();
}

}  // namespace
