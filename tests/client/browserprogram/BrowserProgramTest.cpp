// The real tallyhive.exe with its browser, driven from outside: the selected line's host
// is served from a loopback server of the test's own (reached through http_proxy), and
// the engine's trace file shows what the program asked of the engine. Pages drive the
// window through AppExtension; F5, pop-ups, the error page with its lines, and the
// shutdown after a confirmed close.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../common/ClientProgram.h"

using namespace ClientProgram;
using namespace ProgramDriver;

namespace {

class BrowserProgram : public ClientProgramTest {
protected:
    // The template's picture 28 pixels down (the rows of its cloud are 20 to 121 of its
    // 190), the heading below it after its own margin, the button's label in the middle
    // of its yellow box (not hovered).
    static void ExpectTheErrorPageAsDesigned(HWND browser) {
        SetCursorPos(0, 0);  // the button is not under the pointer
        const auto count = [](const ScreenPixels& screen, int y, DWORD rgb) {
            int n = 0;
            for (int x = 0; x < screen.width(); ++x) n += screen.rgb(x, y) == rgb;
            return n;
        };
        std::vector<int> cloud;
        ASSERT_TRUE(WaitUntil([&] {
            const ScreenPixels screen(browser);
            cloud.clear();
            for (int y = 0; y < 218; ++y) {
                if (count(screen, y, 0xF7C462) >= 60) cloud.push_back(y);
            }
            return !cloud.empty();
        })) << "no picture shown";
        EXPECT_EQ(28 + 20, cloud.front());
        EXPECT_EQ(28 + 121, cloud.back());
        const ScreenPixels screen(browser);
        int heading = 218;
        while (heading < screen.height() && count(screen, heading, 0xF7C462) == 0) ++heading;
        EXPECT_GE(heading, 218 + 6);
        EXPECT_LE(heading, 218 + 30);
        std::vector<int> button;
        std::vector<int> label;
        for (int y = heading; y < screen.height(); ++y) {
            if (count(screen, y, 0xFFF300) == 0) continue;
            button.push_back(y);
            for (int x = 0; x < screen.width(); ++x) {
                const DWORD c = screen.rgb(x, y);
                if (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF) < 450) {
                    label.push_back(y);
                    break;
                }
            }
        }
        ASSERT_FALSE(button.empty());
        ASSERT_FALSE(label.empty());
        EXPECT_EQ(40u, button.size());
        EXPECT_NEAR((button.front() + button.back()) / 2.0, (label.front() + label.back()) / 2.0, 3.0)
            << "button " << button.front() << ".." << button.back() << ", label " << label.front() << ".."
            << label.back();
    }

    // Clicks the error page's first line item (drawn in its link colour): true once the
    // line has been asked for and its page has loaded.
    bool ChooseTheLine(HWND browser) {
        POINT item = {-1, -1};
        if (!WaitUntil([&] { return (item = FindColour(browser, 0x279AC6)).x >= 0; })) return false;
        const size_t mark = Trace().size();
        ClickAt(browser, item.x, item.y);
        size_t asked = 0;
        return WaitUntil([&] {
            const auto lines = Trace();
            for (size_t i = mark; i < lines.size(); ++i) {
                if (asked == 0 && Contains(lines[i], "LoadURL id=1 url=" + kLineUrl)) asked = i + 1;
                if (asked != 0 && i >= asked && Contains(lines[i], "load ended id=1")) return true;
            }
            return false;
        });
    }
};

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
    ExpectTheErrorPageAsDesigned(browser);
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

// A page that loads again under the exit confirmation (the error page does as it counts
// down) is dimmed again, so the page behind the question stays dark until it is answered.
TEST_F(BrowserProgram, APageLoadedAgainUnderTheExitConfirmationIsDimmedAgain) {
    server_.Serve(kLineUrl, Page("setTimeout(function () { location.reload(); }, 300);"));
    StartWithTheServer();
    ASSERT_NE(nullptr, WaitForPlacedBrowser());
    const size_t mark = Trace().size();
    const auto dimmings = [&] {
        int n = 0;
        const auto lines = Trace();
        for (size_t i = mark; i < lines.size(); ++i) n += Contains(lines[i], "BG_Show(true);");
        return n;
    };
    PostMessageW(main_, WM_CLOSE, 0, 0);
    const HWND panel = WaitForWindow(kPanelClass, program_->Id());
    ASSERT_NE(nullptr, panel);
    // The page reloads on its own every 300 ms, so more than one dimming may be in already.
    ASSERT_TRUE(WaitUntil([&] { return dimmings() >= 1; }));
    const int requests = LineRequests();
    const int dimmed = dimmings();
    EXPECT_TRUE(WaitUntil([&] { return LineRequests() > requests && dimmings() > dimmed; }));
    PressKey(panel, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(panel); }));
    EXPECT_TRUE(WaitUntil([&] { return DimmingRun(false, mark); }));
    Quit();
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

// The line's page drives the window; a page of another host that the line's page leads
// to calls the same functions and is refused, each function with a WARN line in the log.
TEST_F(BrowserProgram, OnlyPagesOfTheLinesOriginDriveTheWindow) {
    const std::string elsewhere = "http://ads.example/banner";
    server_.Serve(kLineUrl, Page("AppExtension.SetWinTitle('shop'); AppExtension.ResizeWindow(820, 610);"
                                 "setTimeout(function () { location.href = '" + elsewhere + "'; }, 0);"));
    server_.Serve(elsewhere, Page("AppExtension.SetWinTitle('ads'); AppExtension.ResizeWindow(700, 500);"));
    StartWithTheServer();
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 820 && ClientSize(main_).cy == 610; }))
        << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
    const std::string refused = "WARN  :AppExtension.%s refused: the page's origin http://ads.example:80 is not a "
                                "server line's";
    const auto warned = [&](const char* function) {
        std::string line = refused;
        line.replace(line.find("%s"), 2, function);
        return Contains(Log(), line);
    };
    EXPECT_TRUE(WaitUntil([&] { return warned("SetWinTitle") && warned("ResizeWindow"); })) << Log();
    EXPECT_EQ(820, ClientSize(main_).cx);
    EXPECT_EQ(610, ClientSize(main_).cy);
    Quit();
}

// A foreign page that the line's page leads to sends the browser to an address that names
// the line's host before a backslash. As in a browser, the backslash ends the host: the
// line's host is asked for /@foreign-site.example/x, whose page is the line's own and
// drives the window (to 820 x 610, with its own prompt). The foreign host is never asked
// for /x, and the calls of its page there (700 x 500, hiding the window, its prompt) are
// never carried out. One run per spelling; the page at base resolves the last one.
TEST_F(BrowserProgram, AnAddressNamingTheLineBeforeABackslashAsksTheLinesHostForItsPage) {
    const std::string host = TALLYHIVE_LINE_HOST;
    const std::string foreign = "http://foreign-site.example/";
    const std::string canonical = kLineUrl + "@foreign-site.example/x";
    const std::string linePrompt = kLineUrl + "prompt.mp3";
    const std::string foreignPrompt = foreign + "prompt.mp3";
    server_.Serve(kLineUrl, Page("location.href = '" + foreign + "start';"));
    server_.Serve(foreign + "x", Page("AppExtension.ResizeWindow(700, 500); AppExtension.WindowVisible(0);"
                                      "AppExtension.PlayMp3('" + foreignPrompt + "');"));
    server_.Serve(canonical, Page("AppExtension.ResizeWindow(820, 610); AppExtension.WindowVisible(1);"
                                  "AppExtension.PlayMp3('" + linePrompt + "');"));
    // As a script writes them: each backslash doubled.
    for (const std::string& address : {"http://" + host + "\\\\@foreign-site.example/x",
                                       "http://" + host + ":80\\\\@foreign-site.example/x",
                                       "//" + host + "\\\\@foreign-site.example/x"}) {
        server_.Serve(foreign + "start", Page("location.href = '" + address + "';"));
        const int prompts = Requests(linePrompt);
        StartWithTheServer();
        EXPECT_TRUE(WaitUntil([&] { return Requests(linePrompt) > prompts; })) << address;
        EXPECT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 820 && ClientSize(main_).cy == 610; }))
            << address << ": " << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
        EXPECT_TRUE(IsWindowVisible(main_)) << address;
        EXPECT_EQ(0, Requests(foreign + "x")) << address;
        EXPECT_EQ(0, Requests(foreignPrompt)) << address;
        EXPECT_TRUE(Traced("load started id=1 url=" + canonical)) << address;
        for (const std::string& line : Trace()) {
            EXPECT_FALSE(Contains(line, "url=") && Contains(line, "\\@")) << line;
        }
        Quit();
    }
}

// A page of another host that the line's first page leads to sets its location and goes
// on calling ResizeWindow for four seconds, while the browser goes where it sent it: to
// the line, or to an address that fails, where the client's own error page comes. Each
// in a run of its own. Every call is the foreign page's and is refused, with one line at
// the first and one with the count when the page has gone; the line's own page drives
// the window right after (reached from the error page through its line item).
TEST_F(BrowserProgram, APageThatLeavesWhileItCallsIsRefusedForEveryCall) {
    const std::string elsewhere = "http://elsewhere.example/";
    const std::string failing = "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/";
    for (const std::string& next : {kLineUrl, failing}) {
        server_.ServeOnce(kLineUrl, Page("location.href = '" + elsewhere + "';"));
        server_.Serve(kLineUrl, Page("AppExtension.ResizeWindow(820, 610);"));
        server_.Serve(elsewhere, Page("location.href = '" + next + "';"
                                      "var n = 0, end = Date.now() + 4000;"
                                      "do { AppExtension.ResizeWindow(700, 500); ++n; } while (Date.now() < end);"
                                      "console.warn('calls made: ' + n);"));
        StartWithTheServer();
        const std::string said = "CONSOLE \"calls made: ";
        ASSERT_TRUE(WaitUntil([&] { return Contains(EngineLog(), said); })) << next;
        const std::string calls = std::to_string(std::atoi(EngineLog().c_str() + EngineLog().find(said) + said.size()));
        if (next == failing) {
            HWND browser = WaitForPlacedBrowser();
            ASSERT_NE(nullptr, browser);
            ASSERT_TRUE(WaitUntil([&] { return Traced("LoadString id=1 url=" + failing); }));
            EXPECT_TRUE(ChooseTheLine(browser));
        }
        ASSERT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 820 && ClientSize(main_).cy == 610; }))
            << next << ": " << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
        std::vector<std::string> lines;
        for (const std::string& line : Lines(Log())) {
            if (Contains(line, "AppExtension.")) lines.push_back(line.substr(9));
        }
        const std::string origin = "http://elsewhere.example:80";
        const std::vector<std::string> expected = {
            "WARN  :AppExtension.ResizeWindow refused: the page's origin " + origin + " is not a server line's",
            "WARN  :AppExtension.ResizeWindow refused " + calls + " times in all on the page of origin " + origin,
        };
        EXPECT_EQ(expected, lines) << next;
        Quit();
    }
}

// The error page's line item works wherever the client put the page: after a reload of
// it and after Back and Forward onto it, each of which asks the failed address again.
TEST_F(BrowserProgram, TheErrorPagesLineItemWorksAfterAReloadAndAfterBackOrForwardOntoIt) {
    const std::string down = "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/down";
    server_.ServeOnce(kLineUrl, Page("location.href = '" + down + "';"));
    server_.Serve(kLineUrl, Page(""));
    StartWithTheServer();
    HWND browser = WaitForPlacedBrowser();
    ASSERT_NE(nullptr, browser);
    ASSERT_TRUE(WaitUntil([&] { return Traced("LoadString id=1 url=" + down) && Traced("load ended id=1"); }));
    ASSERT_TRUE(ChooseTheLine(browser));
    // The title bar's buttons, by the middle of each: back, forward, reload.
    const int back = 22, forward = 58, reload = 94;
    const struct {
        const char* way;
        std::vector<int> presses;  // from the line's page, the last one onto the error page
    } ways[] = {
        {"back", {back}},
        {"reload", {back, reload}},
        {"forward", {back, back, forward}},
    };
    for (const auto& w : ways) {
        size_t mark = 0;
        for (int x : w.presses) {
            mark = Trace().size();
            ClickAt(main_, x, 15);
            ASSERT_TRUE(WaitUntil([&] { return Traced("load ended id=1", mark); })) << w.way;
        }
        EXPECT_TRUE(Traced("LoadString id=1 url=" + down, mark)) << w.way;
        EXPECT_TRUE(ChooseTheLine(browser)) << w.way;
    }
    Quit();
}

}  // namespace
