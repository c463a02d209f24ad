// One working session of a shop with the real tallyhive.exe, from start to quit, every
// step checked by what it does: the line's page comes up in place of the loading
// animation, the page drives the window through each AppExtension function, the settings
// window keeps the chosen line, a voice prompt sounds, the server goes away and the error page offers the lines until the
// server is back, and the client quits through the page with the line stored. The main
// window answers a sent message within a second throughout.
//
// Each step loads its own page: the test serves the page's script for the next load of
// the line and presses F5, which always loads the line's start page.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../common/ClientProgram.h"
#include "../common/TrayMenu.h"
#include "../common/UpdateOffer.h"

using namespace ClientProgram;
using namespace ProgramDriver;

namespace {

// A square round the middle of the window's body, where the loading animation turns.
std::vector<DWORD> BodyMiddle(HWND main) {
    const ScreenPixels screen(main);
    const int cx = screen.width() / 2, cy = (30 + screen.height()) / 2;
    std::vector<DWORD> pixels;
    for (int y = cy - 45; y <= cy + 45; y += 3) {
        for (int x = cx - 45; x <= cx + 45; x += 3) pixels.push_back(screen.rgb(x, y));
    }
    return pixels;
}

bool AllWhite(const std::vector<DWORD>& pixels) {
    for (DWORD p : pixels) {
        if (p != 0xFFFFFF) return false;
    }
    return true;
}

// The window's offset of a child window's left edge in the parent's client area.
int LeftInParent(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    POINT at = {rect.left, rect.top};
    ScreenToClient(GetParent(child), &at);
    return at.x;
}

bool CentredOnWorkArea(HWND wnd) {
    RECT window = {}, work = {};
    GetWindowRect(wnd, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return std::abs((work.left + work.right) - (window.left + window.right)) <= 2 &&
           std::abs((work.top + work.bottom) - (window.top + window.bottom)) <= 2;
}

std::wstring Title(HWND wnd) {
    wchar_t text[128] = {};
    GetWindowTextW(wnd, text, 128);
    return text;
}

// "tallyhive宠物店管理系统"
const wchar_t kMainTitle[] = L"tallyhive\u5BA0\u7269\u5E97\u7BA1\u7406\u7CFB\u7EDF";
// "开发者工具栏", the developer tools' title
const wchar_t kDevToolsTitle[] = L"\u5F00\u53D1\u8005\u5DE5\u5177\u680F";

class EndToEnd : public ClientProgramTest {
public:
    // Serves the script's page for the next load of the line, reloads with F5 and waits
    // until that page has loaded; its calls may still be on their way to the window.
    void LoadStep(const std::string& script) {
        server_.ServeOnce(kLineUrl, Page(script));
        const size_t from = Trace().size();
        PressKey(browser_, VK_F5);
        ASSERT_TRUE(WaitUntil([&] { return Traced("load ended id=1 status=200", from); })) << script;
    }

    // Start: the window shows the loading animation until the line's page, which the
    // server holds back until the test has seen the animation turn, has come; then the
    // page covers the body.
    void StartsAndShowsTheLinesPage() {
        server_.Serve(kLineUrl, Page(""));
        LoopbackServer::Reply late = Page("");
        late.held = true;
        server_.ServeOnce(kLineUrl, late);
        StartWithTheServer();
        ASSERT_FALSE(HasFatalFailure());
        WatchOnceUp();
        ASSERT_FALSE(HasFatalFailure());
        std::vector<DWORD> before;
        EXPECT_TRUE(WaitUntil([&] {
            const std::vector<DWORD> now = BodyMiddle(main_);
            const bool turning = !AllWhite(now) && !before.empty() && now != before;
            before = now;
            return turning;
        }, 10000)) << "the loading animation did not turn";
        server_.Release();
        ASSERT_NE(nullptr, browser_ = WaitForPlacedBrowser());
        ASSERT_TRUE(WaitUntil([&] { return Traced("load ended id=1 status=200"); }));
        EXPECT_EQ(1, LineRequests());
        // The animation no longer shows, not even between the page's repaints.
        EXPECT_TRUE(WaitUntil([&] { return AllWhite(BodyMiddle(main_)); }));
        Sleep(500);
        EXPECT_TRUE(AllWhite(BodyMiddle(main_)));
    }

    // GetVersion answers at once, the other functions answer nothing; size, place,
    // theme colour and border change as asked; without a title label the title and
    // title colour calls leave the window as it was.
    void ThePageShapesTheWindow() {
        LoadStep(
            "console.warn('version=' + AppExtension.GetVersion() + ' resize=' + AppExtension.ResizeWindow(900, 640));"
            "AppExtension.WindowCenter();"
            "AppExtension.SetThemeColor(0xFF3366CC | 0);"
            "AppExtension.SetBorder(6);"
            "AppExtension.SetWinTitle('renamed');"
            "AppExtension.SetTitleColor(0xFFFF0000 | 0);");
        EXPECT_TRUE(WaitUntil([&] { return Contains(EngineLog(), "CONSOLE \"version=4.0 resize=undefined\""); }))
            << EngineLog();
        EXPECT_TRUE(WaitUntil([&] { return ClientSize(main_).cx == 900 && ClientSize(main_).cy == 640; }))
            << ClientSize(main_).cx << "x" << ClientSize(main_).cy;
        EXPECT_TRUE(WaitUntil([&] { return CentredOnWorkArea(main_); }));
        EXPECT_TRUE(WaitUntil([&] { return LeftInParent(browser_) == 6; })) << LeftInParent(browser_);
        // The frame round the browser, now 6 wide, in the theme colour.
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(main_).rgb(4, 400) == 0x3366CC; }))
            << std::hex << ScreenPixels(main_).rgb(4, 400);
        EXPECT_EQ(kMainTitle, Title(main_));
    }

    // The flash (caption and tray icon blinking while the window is not active) cannot be
    // seen from outside here: Wine's tray does not repaint a blanked icon, and the caption
    // flash stays inside the process. The calls after it must still arrive.
    void ThePageHidesShowsMinimisesMaximisesAndRestores() {
        LoadStep("AppExtension.WindowFlash(); AppExtension.WindowVisible(0);");
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }));
        LoadStep("AppExtension.WindowVisible(1); AppExtension.SendMenuMessage(1);");
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && IsIconic(main_); }));
        LoadStep("AppExtension.SendMenuMessage(2);");
        EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main_) != FALSE; }));
        // An unknown command changes nothing; 0 restores the size the page gave.
        LoadStep("AppExtension.SendMenuMessage(7); AppExtension.SendMenuMessage(0);");
        EXPECT_TRUE(WaitUntil([&] {
            return !IsZoomed(main_) && !IsIconic(main_) && ClientSize(main_).cx == 900 && ClientSize(main_).cy == 640;
        }));
    }

    // The settings button dims the page and opens the settings window over it; the line
    // chosen there again (this build has one) loads nothing; Escape closes the window and
    // the page is undimmed.
    void TheSettingsWindowKeepsTheChosenLine() {
        SetCursorPos(0, 0);  // no row is hot under the pointer
        const size_t mark = Trace().size();
        const int requests = LineRequests();
        const HWND settings = OpenSettings();
        ASSERT_NE(nullptr, settings);
        EXPECT_TRUE(DimmingRun(true, mark));
        const HWND drop = DropLineList(settings);
        ASSERT_NE(nullptr, drop);
        PressKey(drop, VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(drop); }));
        PressKey(settings, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
        EXPECT_TRUE(WaitUntil([&] { return DimmingRun(false, mark); }));
        EXPECT_FALSE(Traced("LoadURL", mark));
        EXPECT_EQ(requests, LineRequests());
    }

    void ThePageOpensTheDeveloperTools() {
        LoadStep("AppExtension.ShowDevTools();");
        HWND tools = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (tools = FindWindowW(nullptr, kDevToolsTitle)) != nullptr; }));
        DWORD pid = 0;
        GetWindowThreadProcessId(tools, &pid);
        EXPECT_EQ(program_->Id(), pid);
        // Closed again, so that it covers nothing the next steps look at.
        PostMessageW(tools, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(tools); }));
    }

    // The prompt is fetched from its host, logged and heard.
    void ThePagePlaysAVoicePrompt() {
        const std::wstring capture = FreshSoundCapture();
        LoopbackServer::Reply prompt;
        prompt.body = Mp3Fixture("m22.mp3");
        ASSERT_FALSE(prompt.body.empty());
        const std::string url = "http://prompts.tallyhive.example/welcome.mp3";
        server_.Serve(url, prompt);
        LoadStep("AppExtension.PlayMp3('" + url + "');");
        EXPECT_TRUE(WaitUntil([&] { return Requests(url) == 1; }));
        EXPECT_TRUE(WaitUntil([&] { return Contains(Log(), "INFO  :PlayMP3::NewThreadPlayUrl " + url); })) << Log();
        EXPECT_TRUE(WaitUntil([&] { return Audible(ReadAll(capture)); }, 120000)) << "nothing audible was played";
    }

    // A line change reloads the line's page without F5; with one line the selection stays.
    void ThePageChangesTheLine() {
        const int before = LineRequests();
        LoadStep("AppExtension.ChangeLine(1);");
        EXPECT_TRUE(WaitUntil([&] { return LineRequests() == before + 2; })) << LineRequests() - before;
    }

    // While the server is away the error page names the failure and lists the line; once
    // it is back, "重新进入" loads the line's page again.
    void TheErrorPageStandsInWhileTheServerIsAway() {
        server_.GoAway();
        const size_t from = Trace().size();
        PressKey(browser_, VK_F5);
        std::string page;
        ASSERT_TRUE(WaitUntil([&] { return !(page = ErrorPage(from)).empty(); }));
        EXPECT_TRUE(Contains(page, "-102 : ERR_CONNECTION_REFUSED")) << TraceSince(from) << EngineLog();
        EXPECT_TRUE(Contains(page, "JSON.parse('[{\"check\":true,\"name\":\"\xE7\xBA\xBF\xE8\xB7\xAF\",\"url\":\"" + kLineUrl +
                                       "#/login?operators_id=1\"}]')"))
            << page;
        POINT button = {-1, -1};
        SetCursorPos(0, 0);  // the button shows its own colour, not the one under the pointer
        ASSERT_TRUE(WaitUntil([&] { return FindColour(browser_, 0x279AC6).x >= 0; })) << "no line item shown";
        ASSERT_TRUE(WaitUntil([&] { return (button = FindColour(browser_, 0xFFF300)).x >= 0; })) << "no button shown";

        server_.Return();
        const size_t back = Trace().size();
        ClickAt(browser_, button.x, button.y + 20);
        EXPECT_TRUE(WaitUntil([&] { return Traced("load ended id=1 status=200", back); }));
        EXPECT_TRUE(ErrorPage(back).empty());
    }

    // A right click on the tray icon opens its menu; its first row hides the window, and
    // from the menu opened again shows it.
    void TheTrayMenuHidesAndShowsTheWindow() {
        for (const bool visibleAfter : {false, true}) {
            const HWND menu = TrayMenu::Open(main_, program_->Id(), visibleAfter ? 1 : 0);
            ASSERT_NE(nullptr, menu);
            ClickAt(menu, 40, TrayMenu::kHideShowRow);
            EXPECT_TRUE(WaitUntil([&] { return (IsWindowVisible(main_) != FALSE) == visibleAfter; })) << visibleAfter;
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(menu); }));
        }
    }

    // The page's close asks first; confirmed, the client ends as a normal run does and
    // config.ini holds the line in use.
    void ThePageQuitsTheClient() {
        ExpectAnsweredThroughout("session");
        server_.ServeOnce(kLineUrl, Page("AppExtension.SendMenuMessage(999);"));
        PressKey(browser_, VK_F5);
        ConfirmClose();
        EXPECT_EQ(1u, program_->Wait(60000));
        EXPECT_EQ(L"0", StoredLine());
    }

    // The update check runs at start only: started again while the update host offers a
    // newer version, the client shows the update window instead of its main window,
    // downloads the package from its host, starts it with the program folder and ends as a
    // normal run does, the chosen line still stored.
    void StartedAgainTheClientUpdatesItself() {
        server_.Serve(UpdateOffer::kCheckUrl, UpdateOffer::Newer(server_.Url("/update.exe")));
        LoopbackServer::Reply package;
        package.body = ReadAll(BesideSelf(TALLYHIVE_INSTALLER_RELATIVE));
        ASSERT_FALSE(package.body.empty());
        // Until the test has seen the update window alone: the download may otherwise end
        // the client first.
        package.held = true;
        server_.Hold();
        server_.Serve("/update.exe", package);
        const std::wstring record = TestFiles::TempFolder() + L"installer-command-line.txt";
        DeleteFileW(record.c_str());
        SetEnvironmentVariableW(L"TALLYHIVE_INSTALLER_RECORD", record.c_str());

        Launch("127.0.0.1:" + std::to_string(server_.Port()));
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_NE(nullptr, WaitForWindow(L"DownloadUpdateFrame", program_->Id()));
        EXPECT_EQ(nullptr, FindProcessWindow(kMainClass, program_->Id()));
        server_.Release();
        EXPECT_EQ(1u, program_->Wait(120000));
        SetEnvironmentVariableW(L"TALLYHIVE_INSTALLER_RECORD", nullptr);
        EXPECT_EQ(1, Requests("/update.exe")) << "package requests";
        std::wstring line;
        EXPECT_TRUE(WaitUntil([&] { return !(line = UpdateOffer::RecordedCommandLine(record)).empty(); }))
            << "the installer was not started";
        const std::wstring folder = UpdateOffer::ProgramFolder();
        ASSERT_GE(line.size(), folder.size() + 1) << line;
        EXPECT_EQ(L" " + folder, line.substr(line.size() - folder.size() - 1)) << line;
        EXPECT_EQ(L"0", StoredLine());
    }

protected:
    HWND browser_ = nullptr;
};

TEST_F(EndToEnd, AShopsSessionFromStartToQuit) {
    CreateDirectoryW(DataFolder().c_str(), nullptr);
    WritePrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"7", ConfigPath().c_str());
    const std::vector<std::pair<const char*, void (EndToEnd::*)()>> steps = {
        {"start", &EndToEnd::StartsAndShowsTheLinesPage},
        {"window shape", &EndToEnd::ThePageShapesTheWindow},
        {"window state", &EndToEnd::ThePageHidesShowsMinimisesMaximisesAndRestores},
        {"settings", &EndToEnd::TheSettingsWindowKeepsTheChosenLine},
        {"developer tools", &EndToEnd::ThePageOpensTheDeveloperTools},
        {"voice prompt", &EndToEnd::ThePagePlaysAVoicePrompt},
        {"line change", &EndToEnd::ThePageChangesTheLine},
        {"error page", &EndToEnd::TheErrorPageStandsInWhileTheServerIsAway},
        {"tray menu", &EndToEnd::TheTrayMenuHidesAndShowsTheWindow},
        {"quit", &EndToEnd::ThePageQuitsTheClient},
        {"update", &EndToEnd::StartedAgainTheClientUpdatesItself},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.first);
        const ULONGLONG start = GetTickCount64();
        (this->*step.second)();
        std::printf("step %s: %llu ms\n", step.first, GetTickCount64() - start);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
