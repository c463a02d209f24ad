// The main window in this process: what pages ask of it arrives from another thread, as
// the engine's thread calls it, and takes effect on the window's thread.
#include <thread>

#include "AppPaths.h"
#include "ClientWindowKit.h"
#include "MainFrame.h"
#include "UIContainer.h"
#include "UIGifAnim.h"

using namespace HiveUI;

namespace {

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        UseClientSkin();
        g_themeColor = 0xFFFEFAE8;
        beforeCreate = GetTickCount64();
        ASSERT_NE(nullptr, frame.Create(nullptr, L"tallyhive", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0));
        wnd = frame.GetHWND();
    }
    void TearDown() override { frame.FinishRun(); }

    // Calls from another thread, then runs the window's messages until none of the
    // carried calls waits any more.
    void FromOtherThread(const std::function<void(IWindowConformityl&)>& calls) {
        std::thread([&] { calls(frame); }).join();
        MSG msg;
        ASSERT_TRUE(PumpUntil([&] { return !PeekMessageW(&msg, wnd, WM_WINDOW_CONTROL, WM_WINDOW_CONTROL, PM_NOREMOVE); }));
    }
    CControlUI* Find(const wchar_t* name) { return frame.GetPaintManager().FindControl(name); }
    SIZE Client() const { return ProgramDriver::ClientSize(wnd); }

    CMainFrame frame;
    HWND wnd = nullptr;
    ULONGLONG beforeCreate = 0;
};

TEST_F(MainFrameTest, OpensAt1200By770WithTheSkinsFrameAndTheme) {
    EXPECT_EQ(1200, Client().cx);
    EXPECT_EQ(770, Client().cy);
    EXPECT_EQ(wnd, g_mainHwnd);
    EXPECT_NE(0, SendMessageW(wnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(0xFFFEFAE8u, Find(L"BrowserLayoutInset")->GetBkColor());
    EXPECT_EQ(0xFFFEFAE8u, Find(L"manlayout")->GetBorderColor());
    const RECT inset = static_cast<CContainerUI*>(Find(L"BrowserLayoutInset"))->GetInset();
    EXPECT_EQ(2, inset.left);
    EXPECT_EQ(2, inset.bottom);
}

TEST_F(MainFrameTest, TheLoadingAnimationPlaysUntilTheLoadingTimeOut) {
    auto* gif = static_cast<CGifAnimUI*>(Find(L"loadgif")->GetInterface(L"GifAnim"));
    ASSERT_NE(nullptr, gif);
    EXPECT_TRUE(gif->IsPlaying());
    ASSERT_TRUE(PumpUntil([&] { return !gif->IsPlaying(); }));
    // Timer 103: 3 s after InitWindow, which ran after beforeCreate (what InitWindow does
    // after setting the timer may take a while on a loaded machine).
    EXPECT_GE(GetTickCount64() - beforeCreate, 3000u);
}

TEST_F(MainFrameTest, ACallFromAnotherThreadWaitsForTheWindowsThread) {
    std::thread([&] { frame.ResizeWindow(800, 600); }).join();
    EXPECT_EQ(1200, Client().cx);  // posted, not done on the caller's thread
    ASSERT_TRUE(PumpUntil([&] { return Client().cx == 800; }));
    EXPECT_EQ(600, Client().cy);
}

TEST_F(MainFrameTest, ThemeColourAndBorderArriveWithTheirArguments) {
    FromOtherThread([](IWindowConformityl& w) { w.SetThemeColor(0xFF123456); });
    EXPECT_EQ(0xFF123456u, g_themeColor);
    EXPECT_EQ(0xFF123456u, Find(L"manlayout")->GetBorderColor());

    // Taken as unsigned: -1 and 11 are out of range, 0 and 10 are in.
    const struct {
        int width;
        int expected;
    } borders[] = {{10, 10}, {11, 10}, {0, 0}, {-1, 0}, {7, 7}};
    for (const auto& border : borders) {
        FromOtherThread([&](IWindowConformityl& w) { w.SetBorder(border.width); });
        const RECT inset = static_cast<CContainerUI*>(Find(L"BrowserLayoutInset"))->GetInset();
        EXPECT_EQ(border.expected, inset.left) << border.width;
        EXPECT_EQ(0, inset.top) << border.width;
        EXPECT_EQ(border.expected, inset.bottom) << border.width;
    }
}

TEST_F(MainFrameTest, TwoFlashRequestsStartOneTimerUntilTheWindowIsActiveAgain) {
    // Another window is active and the frame hidden (no late focus event of the display
    // can activate it), so the flash goes on until the test stops it.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ShowWindow(wnd, SW_HIDE);
    PumpMessagesUntil([] { return false; }, 300);
    SetActiveWindow(other);
    ASSERT_NE(wnd, GetActiveWindow());
    FromOtherThread([](IWindowConformityl& w) {
        w.WindowFlash();
        w.WindowFlash();
    });
    EXPECT_TRUE(KillTimer(wnd, 101));
    // The flag stays set while the flash runs (here: until the window is active).
    FromOtherThread([](IWindowConformityl& w) { w.WindowFlash(); });
    EXPECT_FALSE(KillTimer(wnd, 101));
    DestroyWindow(other);
}

TEST_F(MainFrameTest, MenuCommandsAndVisibility) {
    FromOtherThread([](IWindowConformityl& w) { w.SendMenuMessage(1); });
    EXPECT_TRUE(IsIconic(wnd));
    FromOtherThread([](IWindowConformityl& w) { w.SendMenuMessage(0); });
    EXPECT_FALSE(IsIconic(wnd));
    FromOtherThread([](IWindowConformityl& w) { w.SendMenuMessage(7); });
    EXPECT_FALSE(IsIconic(wnd));
    EXPECT_FALSE(IsZoomed(wnd));
    EXPECT_TRUE(IsWindowVisible(wnd));
    FromOtherThread([](IWindowConformityl& w) { w.WindowVisible(false); });
    EXPECT_FALSE(IsWindowVisible(wnd));
    FromOtherThread([](IWindowConformityl& w) { w.WindowVisible(true); });
    EXPECT_TRUE(IsWindowVisible(wnd));
}

TEST_F(MainFrameTest, MenuCommand999AsksBeforeClosingEscapeKeepsTheWindowAndOkEndsTheLoop) {
    ModalAnswer escape(L"MessagePanleFrame", [](HWND panel) { ProgramDriver::PressKey(panel, VK_ESCAPE); });
    std::thread([&] { frame.SendMenuMessage(999); }).join();
    ASSERT_TRUE(PumpUntil([&] { return escape.Gone(); }));
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_TRUE(IsWindowEnabled(wnd));
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    // "btn_ok" (140 x 38 at 64 below the 190-high question), once painted: the window hides
    // and the message loop is told to end with 1.
    ModalAnswer ok(L"MessagePanleFrame", [](HWND panel) {
        ProgramDriver::WaitUntil([&] { return ProgramDriver::ScreenPixels(panel).rgb(134, 209) != 0xFFFFFF; }, 30000);
        ProgramDriver::ClickUntilGone(panel, 134, 209);
    });
    std::thread([&] { frame.SendMenuMessage(999); }).join();
    ASSERT_TRUE(PumpUntil([&] { return ok.Gone() && !IsWindowVisible(wnd); }));
    bool quitting = false;
    while (!quitting && PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) quitting = quit.message == WM_QUIT;
    ASSERT_TRUE(quitting);
    EXPECT_EQ(1u, quit.wParam);
}

}  // namespace
