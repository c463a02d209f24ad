// A framed window from the zip skin under real messages: hit tests of borders and caption,
// the window region after each size, the system buttons and the max/restore swap.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "../control/TestBox.h"
#include "FrameKit.h"

using namespace HiveUI;

namespace {

const DWORD kFrameStyle = WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class FrameWindow : public testing::Test {
protected:
    void SetUp() override {
        UseFrameSkins();
        ASSERT_NE(nullptr, frame.Create(nullptr, L"tallyhive frame", kFrameStyle, 0, 100, 100, 200, 100));
        UpdateWindow(frame.GetHWND());
        PumpMessages();
    }
    void TearDown() override {
        if (IsWindow(frame.GetHWND())) DestroyWindow(frame.GetHWND());
        PumpMessages();
    }
    LRESULT HitTest(int x, int y) {
        return SendMessageW(frame.GetHWND(), WM_NCHITTEST, 0, ScreenPoint(frame.GetHWND(), x, y));
    }
    void Click(const wchar_t* name) {
        const POINT pt = Centre(frame.Find(name));
        SendMessageW(frame.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        SendMessageW(frame.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        PumpMessages();
    }
    bool Visible(const wchar_t* name) { return frame.Find(name)->IsVisible(); }

    TestFrame frame;
};

TEST_F(FrameWindow, IsBuiltFromTheSkinWithoutCaptionAndLaidOut) {
    HWND wnd = frame.GetHWND();
    EXPECT_EQ(1, frame.initCalls);
    EXPECT_EQ(0, GetWindowLongW(wnd, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(static_cast<LONG>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              GetWindowLongW(wnd, GWL_STYLE) & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), GetClassLongW(wnd, GCL_STYLE) & CS_DBLCLKS);
    RECT window = {}, client = {};
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    // No non-client area: the client is the whole 400 x 300 window of the skin.
    EXPECT_EQ(400, window.right - window.left);
    EXPECT_EQ(300, window.bottom - window.top);
    EXPECT_EQ(400, client.right);
    EXPECT_EQ(300, client.bottom);
    const RECT close = frame.Find(L"closebtn")->GetPos();
    EXPECT_EQ(364, close.left);
    EXPECT_EQ(394, close.right);
    EXPECT_EQ(8, close.top);
    EXPECT_EQ(32, close.bottom);

    PixelCanvas canvas(400, 300);
    SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0x2F5D8Au, canvas.rgb(250, 20));  // caption bar
    EXPECT_EQ(0xD0504Au, canvas.rgb(379, 20));  // close button
    EXPECT_EQ(0xE3B04Bu, canvas.rgb(60, 150));  // panel
    EXPECT_EQ(0xDDE6EEu, canvas.rgb(250, 150));  // content
}

TEST_F(FrameWindow, BordersCaptionAndClientAreAnsweredFromTheSkin) {
    const struct {
        int x, y;
        LRESULT code;
    } cases[] = {
        {1, 1, HTTOPLEFT},      {200, 2, HTTOP},        {398, 3, HTTOPRIGHT},    {2, 150, HTLEFT},
        {399, 150, HTRIGHT},    {1, 298, HTBOTTOMLEFT}, {200, 297, HTBOTTOM},    {398, 299, HTBOTTOMRIGHT},
        {100, 20, HTCAPTION},   // the label
        {250, 20, HTCAPTION},   // a plain control in the caption bar
        {8, 20, HTCAPTION},     // the caption bar's own inset
        {379, 20, HTCLIENT},    // the close button keeps the mouse
        {315, 20, HTCLIENT},    // the minimise button
        {200, 150, HTCLIENT},   // below the caption
        {60, 150, HTCLIENT},
    };
    for (const auto& c : cases) EXPECT_EQ(c.code, HitTest(c.x, c.y)) << c.x << "," << c.y;
}

TEST_F(FrameWindow, AMaximisedWindowHasNoResizeBorders) {
    SendMessageW(frame.GetHWND(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    PumpMessages();
    ASSERT_TRUE(IsZoomed(frame.GetHWND()));
    RECT client = {};
    GetClientRect(frame.GetHWND(), &client);
    for (POINT pt : {POINT{0, 0}, POINT{1, client.bottom / 2}, POINT{client.right - 1, client.bottom - 1},
                     POINT{client.right / 2, client.bottom - 1}}) {
        const LRESULT code = HitTest(pt.x, pt.y);
        EXPECT_TRUE(code == HTCLIENT || code == HTCAPTION) << pt.x << "," << pt.y << " gave " << code;
    }
    EXPECT_EQ(HTCAPTION, HitTest(1, 1));
}

TEST_F(FrameWindow, TheRegionIsTheRoundedRectangleAfterEverySize) {
    HWND wnd = frame.GetHWND();
    for (SIZE size : {SIZE{400, 300}, SIZE{250, 180}, SIZE{640, 333}, SIZE{201, 151}}) {
        SetWindowPos(wnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        HRGN actual = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, GetWindowRgn(wnd, actual));
        HRGN expected = CreateRoundRectRgn(0, 0, size.cx + 1, size.cy + 1, 4, 4);
        // The window keeps its own copy of the region, split into rectangles its own way,
        // which EqualRgn under Wine tells apart: equal sets leave nothing in their XOR.
        HRGN difference = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(NULLREGION, CombineRgn(difference, actual, expected, RGN_XOR)) << size.cx << " x " << size.cy;
        DeleteObject(difference);
        EXPECT_FALSE(PtInRegion(actual, 0, 0));
        EXPECT_TRUE(PtInRegion(actual, size.cx / 2, 0));
        DeleteObject(actual);
        DeleteObject(expected);
    }
}

TEST_F(FrameWindow, MaximiseFillsTheWorkAreaRestoreReturnsAndTheirButtonsSwap) {
    HWND wnd = frame.GetHWND();
    RECT work = {}, before = {}, now = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(wnd, &before);
    EXPECT_TRUE(Visible(L"maxbtn"));
    EXPECT_FALSE(Visible(L"restorebtn"));
    SendMessageW(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(wnd));
    EXPECT_FALSE(Visible(L"maxbtn"));
    EXPECT_TRUE(Visible(L"restorebtn"));
    // Whatever the size and region handling asked for meanwhile has been done.
    UpdateWindow(wnd);
    PumpMessages();
    GetWindowRect(wnd, &now);
    EXPECT_TRUE(EqualRect(&work, &now)) << now.left << ',' << now.top << ',' << now.right << ',' << now.bottom;
    SendMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(wnd));
    EXPECT_TRUE(Visible(L"maxbtn"));
    EXPECT_FALSE(Visible(L"restorebtn"));
    PumpMessages();
    GetWindowRect(wnd, &now);
    EXPECT_TRUE(EqualRect(&before, &now)) << now.left << ',' << now.top << ',' << now.right << ',' << now.bottom;
}

TEST_F(FrameWindow, SystemButtonsWorkThroughMouseMessages) {
    HWND wnd = frame.GetHWND();
    Click(L"maxbtn");
    EXPECT_TRUE(IsZoomed(wnd));
    UpdateWindow(wnd);
    PumpMessages();
    Click(L"restorebtn");
    EXPECT_FALSE(IsZoomed(wnd));
    UpdateWindow(wnd);
    PumpMessages();
    Click(L"minbtn");
    EXPECT_TRUE(IsIconic(wnd));
    ShowWindow(wnd, SW_RESTORE);
    UpdateWindow(wnd);
    PumpMessages();
    Click(L"closebtn");
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(FrameWindow, DoubleClickingTheCaptionMaximisesAndRestores) {
    HWND wnd = frame.GetHWND();
    const LPARAM title = ScreenPoint(wnd, 100, 20);
    ASSERT_EQ(HTCAPTION, SendMessageW(wnd, WM_NCHITTEST, 0, title));
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, title);
    EXPECT_TRUE(IsZoomed(wnd));
    EXPECT_TRUE(Visible(L"restorebtn"));
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(wnd, 100, 20));
    EXPECT_FALSE(IsZoomed(wnd));
    EXPECT_TRUE(Visible(L"maxbtn"));
}

TEST_F(FrameWindow, TheCloseButtonEndsAModalLoopWithResultOne) {
    HWND wnd = frame.GetHWND();
    const POINT pt = Centre(frame.Find(L"closebtn"));
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(1u, frame.ShowModal());
    EXPECT_FALSE(IsWindow(wnd));
}

// Counts what reaches the custom hook and lets some of it through to the manager.
class CustomFrame : public TestFrame {
public:
    LRESULT HandleCustomMessage(UINT msg, WPARAM, LPARAM, BOOL& handled) override {
        if (msg != WM_APP + 20 && msg != WM_APP + 21) return 0;
        ++seen;
        handled = msg == WM_APP + 21;
        return handled ? 77 : 0;
    }
    int seen = 0;
};

TEST(FrameCustom, TheCustomHookSeesUnroutedMessagesAndClaimsOnlyWhatItFlags) {
    UseFrameSkins();
    CustomFrame frame;
    ASSERT_NE(nullptr, frame.Create(nullptr, L"frame", WS_POPUP, 0, 0, 0, 100, 100));
    EXPECT_EQ(0, SendMessageW(frame.GetHWND(), WM_APP + 20, 0, 0));
    EXPECT_EQ(77, SendMessageW(frame.GetHWND(), WM_APP + 21, 0, 0));
    EXPECT_EQ(2, frame.seen);
    // Messages with their own handler do not reach the hook.
    SendMessageW(frame.GetHWND(), WM_NCHITTEST, 0, 0);
    EXPECT_EQ(2, frame.seen);
    DestroyWindow(frame.GetHWND());
}

TEST_F(FrameWindow, MinAndMaxInfoComeFromTheMonitorAndTheSkin) {
    MINMAXINFO info = {};
    SendMessageW(frame.GetHWND(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(frame.GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_EQ(work.left, info.ptMaxPosition.x);
    EXPECT_EQ(work.top, info.ptMaxPosition.y);
    EXPECT_EQ(work.right - work.left, info.ptMaxSize.x);
    EXPECT_EQ(work.bottom - work.top, info.ptMaxSize.y);
    EXPECT_EQ(work.right - work.left, info.ptMaxTrackSize.x);
    EXPECT_EQ(200, info.ptMinTrackSize.x);
    EXPECT_EQ(150, info.ptMinTrackSize.y);
}

// Keeps the window up after painting until a file "done" appears in the folder named by
// TALLYHIVE_DEMO_HOLD, so that a screenshot can be taken (scripts/screenshot.sh frame-window).
TEST_F(FrameWindow, HoldsForAScreenshotWhenAsked) {
    const char* hold = getenv("TALLYHIVE_DEMO_HOLD");
    if (hold == nullptr) GTEST_SKIP() << "only when a screenshot is taken";
    SetWindowPos(frame.GetHWND(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    UpdateWindow(frame.GetHWND());
    PumpMessages();
    const std::string base(hold);
    CloseHandle(CreateFileA((base + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int i = 0; i < 1200 && GetFileAttributesA((base + "\\done").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        PumpMessages();
        Sleep(50);
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((base + "\\done").c_str()));
}

// A heap frame that deletes itself at the end, as the program's windows do, and throws
// from there as the uninstaller's main window does.
class SelfDeletingFrame : public TestFrame {
public:
    explicit SelfDeletingFrame(bool* deleted) : deleted_(deleted) {}
    ~SelfDeletingFrame() override { *deleted_ = true; }
    void OnFinalMessage(HWND wnd) override {
        TestFrame::OnFinalMessage(wnd);
        delete this;
        throw std::runtime_error("final");
    }

private:
    bool* deleted_;
};

TEST(FrameLifetime, AFrameDeletingItselfAndThrowingAtTheEndStopsAtTheWindowProcedure) {
    UseFrameSkins();
    bool deleted = false;
    auto* frame = new SelfDeletingFrame(&deleted);
    HWND wnd = frame->Create(nullptr, L"frame", kFrameStyle, 0, 50, 50, 200, 100);
    ASSERT_NE(nullptr, wnd);
    UpdateWindow(wnd);
    PumpMessages();
    EXPECT_TRUE(DestroyWindow(wnd));
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(wnd));
}

}  // namespace
