// The real tallyhive.exe with its main window, driven from outside as a user would:
// where the window opens and what it shows, the tray icon's click, quitting at once by
// the quit command and only after confirming by a close.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "MainFrameMessages.h"
#include "ProgramDriver.h"
#include "../common/TrayMenu.h"

using namespace ProgramDriver;
using TrayMenu::kHideShowRow;
using TrayMenu::kQuitRow;

namespace {

const wchar_t kMainClass[] = L"TallyHiveMainFrameWnd";
const wchar_t kPanelClass[] = L"MessagePanleFrame";

std::wstring ConfigPath() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\tallyhive\\config.ini";
}

// The shell's notification area answers a change of an icon it holds (none asked for
// here) with success, and of one it does not hold with failure.
bool TrayHoldsIcon(HWND wnd) {
    NOTIFYICONDATAW record = {};
    record.cbSize = NOTIFYICONDATAW_V3_SIZE;
    record.hWnd = wnd;
    record.uID = 132;
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

// A window of the class that the process owns under the given owner, shown or not.
HWND FindOwned(const wchar_t* className, HWND owner) {
    for (HWND wnd = FindWindowExW(nullptr, nullptr, className, nullptr); wnd != nullptr;
         wnd = FindWindowExW(nullptr, wnd, className, nullptr)) {
        if (GetWindow(wnd, GW_OWNER) == owner) return wnd;
    }
    return nullptr;
}

class MainWindowProgram : public testing::Test {
protected:
    // The client is up once its window has painted the skin (the title bar in the theme
    // colour): that first paint gives the window the focus, and would close a menu opened
    // before it.
    void SetUp() override {
        ASSERT_TRUE(program.Started());
        main = WaitForWindow(kMainClass, program.Id());
        ASSERT_NE(nullptr, main);
        ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(main).rgb(600, 15) == 0xFEFAE8; }));
    }

    Process program{BesideSelf(TALLYHIVE_EXE_RELATIVE), L""};
    HWND main = nullptr;
};

TEST_F(MainWindowProgram, OpensCentredAt1200By770WithTitleShadowTrayIconAndTheSkinPainted) {
    EXPECT_EQ(1200, ClientSize(main).cx);
    EXPECT_EQ(770, ClientSize(main).cy);
    RECT window = {}, work = {};
    GetWindowRect(main, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (window.top + window.bottom) / 2, 1);

    wchar_t title[64] = {};
    GetWindowTextW(main, title, 64);
    EXPECT_STREQ(L"tallyhive\u5BA0\u7269\u5E97\u7BA1\u7406\u7CFB\u7EDF", title);  // 宠物店管理系统
    // The window's own icon is checked by the window tests: Wine does not answer
    // WM_GETICON sent from another process.
    EXPECT_NE(nullptr, FindOwned(L"ZandelShadowWnd", main));
    EXPECT_TRUE(TrayHoldsIcon(main));

    // The white body round the loading animation, below the title bar the fixture saw.
    const ScreenPixels screen(main);
    EXPECT_EQ(0xFFFFFFu, screen.rgb(20, 400));
    EXPECT_EQ(0xFEFAE8u, screen.rgb(1, 400));  // the frame round the browser

    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_EQ(1u, program.Wait(60000));
    EXPECT_FALSE(TrayHoldsIcon(main));
}

TEST_F(MainWindowProgram, TheTrayIconsLeftClickHidesShowsAndRestores) {
    PostMessageW(main, WM_TRAY_CALLBACK, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    PostMessageW(main, WM_TRAY_CALLBACK, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
    PostMessageW(main, WM_TRAY_CALLBACK, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }));

    DeleteFileW(ConfigPath().c_str());
    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_EQ(1u, program.Wait(60000));
    wchar_t index[8] = {};
    GetPrivateProfileStringW(L"LINES", L"SELECT_INDEX", L"", index, 8, ConfigPath().c_str());
    EXPECT_STREQ(L"0", index);
}

// Clicks the window button left of the close button ("maxbtn", or "restorebtn" in its
// place) until the window's maximised state is the one wanted. The buttons are placed when
// the window paints, so a click right after a change of size may find the old places.
bool ClickMaxRestoreUntil(HWND main, bool zoomed) {
    return WaitUntil([&] {
        ClickAt(main, ClientSize(main).cx - 60, 15);
        return WaitUntil([&] { return (IsZoomed(main) != FALSE) == zoomed; }, 2000);
    });
}

// The browser's window once it spans the window's body, inside the 2-pixel frame.
bool BrowserSpansTheBody(HWND main) {
    HWND browser = FindWindowExW(main, nullptr, L"TallyhiveBrowserWindow", nullptr);
    RECT rc = {};
    if (browser == nullptr || !GetWindowRect(browser, &rc)) return false;
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rc), 2);
    const SIZE client = ClientSize(main);
    return rc.left == 2 && rc.top == 30 && rc.right == client.cx - 2 && rc.bottom == client.cy - 2;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST_F(MainWindowProgram, MaximiseFillsTheWorkAreaAndRestoreReturnsWithTheShadowAndTheBrowser) {
    RECT work = {}, before = {}, now = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HWND shadow = FindOwned(L"ZandelShadowWnd", main);
    ASSERT_NE(nullptr, shadow);
    ASSERT_TRUE(WaitUntil([&] { return BrowserSpansTheBody(main); }));
    GetWindowRect(main, &before);

    ASSERT_TRUE(ClickMaxRestoreUntil(main, true));
    // The browser follows the new size; by then the size has had its time to be undone.
    EXPECT_TRUE(WaitUntil([&] { return BrowserSpansTheBody(main) && ClientSize(main).cx == work.right - work.left; }));
    GetWindowRect(main, &now);
    EXPECT_TRUE(SameRect(work, now)) << now.left << ',' << now.top << ',' << now.right << ',' << now.bottom;
    // The shadow follows the window's size messages on the client's schedule: waited for.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(shadow); }));

    ASSERT_TRUE(ClickMaxRestoreUntil(main, false));
    EXPECT_TRUE(WaitUntil([&] { return BrowserSpansTheBody(main) && ClientSize(main).cx == 1200; }));
    GetWindowRect(main, &now);
    EXPECT_TRUE(SameRect(before, now)) << now.left << ',' << now.top << ',' << now.right << ',' << now.bottom;
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(shadow) != FALSE; }));

    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_EQ(1u, program.Wait(60000));
}

// Every menu window of the process, shown.
int MenuWindowCount(DWORD processId) {
    int count = 0;
    for (HWND wnd = FindWindowExW(nullptr, nullptr, L"HiveMenuWnd", nullptr); wnd != nullptr;
         wnd = FindWindowExW(nullptr, wnd, L"HiveMenuWnd", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        if (pid == processId && IsWindowVisible(wnd)) ++count;
    }
    return count;
}

// The first item's text starts after a 29-pixel padding.
const RECT kFirstText = {30, 1, 148, 29};
const wchar_t kHideText[] = L"\u9690\u85CF\u4E3B\u7A97\u4F53";  // 隐藏主窗体
const wchar_t kShowText[] = L"\u663E\u793A\u4E3B\u7A97\u4F53";  // 显示主窗体

// How many pixels of the first item's text differ from the text drawn here as the skin
// draws it (its default font, #333333 on white, one line centred vertically).
int FirstTextDifference(const ScreenPixels& screen, const wchar_t* text) {
    const int width = kFirstText.right - kFirstText.left, height = kFirstText.bottom - kFirstText.top;
    PixelCanvas canvas(width, height);
    LOGFONTW logFont = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    wcscpy(logFont.lfFaceName, L"\u5FAE\u8F6F\u96C5\u9ED1");  // 微软雅黑
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = -12;
    HFONT font = CreateFontIndirectW(&logFont);
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextColor(canvas.dc(), RGB(0x33, 0x33, 0x33));
    RECT rc = {0, 0, width, height};
    DrawTextW(canvas.dc(), text, -1, &rc, DT_SINGLELINE | DT_VCENTER);
    SelectObject(canvas.dc(), old);
    DeleteObject(font);
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) differing += screen.rgb(kFirstText.left + x, kFirstText.top + y) != canvas.rgb(x, y);
    }
    return differing;
}

TEST_F(MainWindowProgram, TheTrayMenuHidesShowsAndQuitsThroughTheConfirmation) {
    HWND menu = TrayMenu::Open(main, program.Id(), 0);
    ASSERT_NE(nullptr, menu);
    {
        // The first item offers to hide the visible window.
        const ScreenPixels screen(menu);
        EXPECT_LT(FirstTextDifference(screen, kHideText), FirstTextDifference(screen, kShowText));
    }
    // A second right click while the menu is open replaces it: one stays.
    const HWND first = menu;
    menu = TrayMenu::Open(main, program.Id(), 1);
    ASSERT_NE(nullptr, menu);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(1, MenuWindowCount(program.Id()));

    ClickAt(menu, 40, kHideShowRow);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(menu); }));
    menu = TrayMenu::Open(main, program.Id(), 2);
    ASSERT_NE(nullptr, menu);
    {
        // Now it offers to show the hidden window.
        const ScreenPixels screen(menu);
        EXPECT_LT(FirstTextDifference(screen, kShowText), FirstTextDifference(screen, kHideText));
    }
    ClickAt(menu, 40, kHideShowRow);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(menu); }));

    menu = TrayMenu::Open(main, program.Id(), 3);
    ASSERT_NE(nullptr, menu);
    ClickAt(menu, 40, kQuitRow);
    HWND panel = WaitForWindow(kPanelClass, program.Id());
    ASSERT_NE(nullptr, panel);
    // Cancelled, the client runs on and keeps its tray icon.
    PressKey(panel, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(panel); }));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(TrayHoldsIcon(main));
    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_EQ(1u, program.Wait(60000));
}

TEST_F(MainWindowProgram, TheTrayMenuOpensAboveTheCursorWhereItFitsAndAlwaysOnTheScreen) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    // Each place names the two edges of the menu that it decides.
    const struct {
        const char* where;
        POINT cursor;
        LONG RECT::*edge1;
        LONG at1;
        LONG RECT::*edge2;
        LONG at2;
    } cases[] = {
        {"in the middle", {400, 400}, &RECT::left, 400, &RECT::top, 325},
        {"at the top, under a notification area there", {100, work.top + 10}, &RECT::left, 100, &RECT::top, work.top + 10},
        {"at the right edge", {work.right - 20, 400}, &RECT::right, work.right, &RECT::top, 325},
        {"at the bottom", {300, work.bottom - 5}, &RECT::left, 300, &RECT::bottom, work.bottom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const HWND menu = TrayMenu::OpenAt(main, program.Id(), c.cursor,
                                           [&](const RECT& rc) { return rc.*c.edge1 == c.at1 && rc.*c.edge2 == c.at2; });
        ASSERT_NE(nullptr, menu);
        RECT rc = {};
        GetWindowRect(menu, &rc);
        EXPECT_TRUE(rc.left >= work.left && rc.top >= work.top && rc.right <= work.right && rc.bottom <= work.bottom)
            << rc.left << ',' << rc.top << ',' << rc.right << ',' << rc.bottom;
        PressKey(menu, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(menu); }));
    }
    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_EQ(1u, program.Wait(60000));
}

// A page may hide the window (WindowVisible(0)) or the user minimise it; the question
// asked then still opens on the screen, active, and takes its answer.
TEST_F(MainWindowProgram, TheExitQuestionOpensOnTheScreenOverAMinimisedOrHiddenWindow) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(main).rgb(600, 15) == 0xFEFAE8; }));
    const struct {
        const char* state;
        int command;
    } cases[] = {{"minimised", SW_MINIMIZE}, {"hidden", SW_HIDE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        ShowWindowAsync(main, c.command);
        ASSERT_TRUE(WaitUntil([&] { return c.command == SW_HIDE ? !IsWindowVisible(main) : IsIconic(main) != FALSE; }));
        PostMessageW(main, WM_CLOSE, 0, 0);
        const HWND panel = WaitForWindow(kPanelClass, program.Id());
        ASSERT_NE(nullptr, panel);
        RECT rc = {};
        GetWindowRect(panel, &rc);
        EXPECT_TRUE(rc.left >= work.left && rc.top >= work.top && rc.right <= work.right && rc.bottom <= work.bottom);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == panel; }));
        PressKey(panel, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(panel); }));
        EXPECT_TRUE(program.Running());
        ShowWindowAsync(main, SW_RESTORE);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }));
    }
    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    EXPECT_EQ(1u, program.Wait(60000));
}

TEST_F(MainWindowProgram, ACloseAsksFirstEscapeKeepsTheClientAndOkEndsIt) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND panel = WaitForWindow(kPanelClass, program.Id());
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(main, GetWindow(panel, GW_OWNER));
    PressKey(panel, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(panel); }));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(IsWindowVisible(main));

    PostMessageW(main, WM_CLOSE, 0, 0);
    panel = WaitForWindow(kPanelClass, program.Id());
    ASSERT_NE(nullptr, panel);
    // Clicked where the user sees it: the button is placed when the panel first paints.
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(panel).rgb(134, 209) != 0xFFFFFF; }));
    EXPECT_TRUE(ClickUntilGone(panel, 134, 209));  // "btn_ok": 140 x 38 at 64 in the row below the 190-high question
    EXPECT_EQ(1u, program.Wait(60000));
}

}  // namespace
