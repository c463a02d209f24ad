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

namespace {

class BrowserProgram : public ClientProgramTest {};

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
    // The browser may be placed before its first request has reached the server.
    ASSERT_TRUE(WaitUntil([&] { return Traced("load ended id=1 status=200"); }));
    const int first = LineRequests();
    ASSERT_EQ(1, first);
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
