#include "ProbeWnd.h"

#include <gtest/gtest.h>


namespace {

class PlacementTest : public testing::Test {
protected:
    void SetUp() override { UseTestModule(); }

    static RECT WorkAreaOf(HWND wnd) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        GetMonitorInfoW(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info);
        return info.rcWork;
    }
};

TEST_F(PlacementTest, AWindowWithoutOwnerIsCentredInTheWorkAreaOfItsMonitor) {
    WindowLog log;
    ProbeWnd wnd(log);
    ASSERT_NE(nullptr, wnd.Create(nullptr, L"", WS_POPUP, 0, 5, 5, 301, 201));
    wnd.CenterWindow();
    const RECT work = WorkAreaOf(wnd.GetHWND());
    RECT rc = {};
    GetWindowRect(wnd.GetHWND(), &rc);
    EXPECT_EQ((work.left + work.right) / 2 - 150, rc.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - 100, rc.top);
    EXPECT_EQ(301, rc.right - rc.left) << "the size stays";
    DestroyWindow(wnd.GetHWND());
}

TEST_F(PlacementTest, AWindowWiderThanTheWorkAreaStartsAtItsLeftEdge) {
    WindowLog log;
    ProbeWnd wnd(log);
    ASSERT_NE(nullptr, wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    const RECT work = WorkAreaOf(wnd.GetHWND());
    const int width = work.right - work.left + 100;
    SetWindowPos(wnd.GetHWND(), nullptr, 0, 0, width, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    wnd.CenterWindow();
    RECT rc = {};
    GetWindowRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(work.left, rc.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - 25, rc.top);
    EXPECT_EQ(width, rc.right - rc.left);
    DestroyWindow(wnd.GetHWND());
}

struct OwnedCase {
    const char* name;
    RECT owner;    // relative to the work area's top-left corner
    SIZE size;
    POINT expected;  // relative to the work area's top-left corner
};

// Halves truncate: a 201-wide window centred on x = 300 starts at 300 - 100.
const OwnedCase kOwnedCases[] = {
    {"centred on the owner", {100, 100, 500, 400}, {200, 100}, {200, 200}},
    {"odd sizes", {100, 100, 501, 401}, {201, 101}, {200, 200}},
    {"owner off the left and top edges", {-350, -300, 50, 0}, {200, 100}, {0, 0}},
    {"owner off the right and bottom edges", {1200, 950, 1600, 1250}, {300, 200}, {-1, -1}},
};

TEST_F(PlacementTest, AnOwnedWindowIsCentredOnItsOwnerInsideTheWorkArea) {
    for (const OwnedCase& c : kOwnedCases) {
        WindowLog ownerLog, log;
        ProbeWnd owner(ownerLog), wnd(log);
        ASSERT_NE(nullptr, owner.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
        const RECT work = WorkAreaOf(owner.GetHWND());
        SetWindowPos(owner.GetHWND(), nullptr, work.left + c.owner.left, work.top + c.owner.top,
                     c.owner.right - c.owner.left, c.owner.bottom - c.owner.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_NE(nullptr, wnd.Create(owner.GetHWND(), L"", WS_POPUP, 0, 0, 0, c.size.cx, c.size.cy));
        wnd.CenterWindow();
        RECT rc = {};
        GetWindowRect(wnd.GetHWND(), &rc);
        // -1 stands for "against the far edge of the work area".
        const LONG x = c.expected.x == -1 ? work.right - c.size.cx : work.left + c.expected.x;
        const LONG y = c.expected.y == -1 ? work.bottom - c.size.cy : work.top + c.expected.y;
        EXPECT_EQ(x, rc.left) << c.name;
        EXPECT_EQ(y, rc.top) << c.name;
        DestroyWindow(wnd.GetHWND());
        DestroyWindow(owner.GetHWND());
    }
}

struct ResizeCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
    bool menu;
    int cx, cy;
    int expectedW, expectedH;  // 0 keeps the client size from before
};

const ResizeCase kResizeCases[] = {
    {"frame, height only", WS_OVERLAPPEDWINDOW, 0, false, -1, 300, 0, 300},
    {"frame, width only", WS_OVERLAPPEDWINDOW, 0, false, 250, -1, 250, 0},
    {"frame with menu", WS_OVERLAPPEDWINDOW, 0, true, 320, 240, 320, 240},
    {"tool window with client edge", WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE, false, 123,
     77, 123, 77},
    {"bordered popup", WS_POPUP | WS_BORDER, 0, false, 90, 60, 90, 60},
    {"nothing asked", WS_OVERLAPPEDWINDOW, 0, false, -1, -1, 0, 0},
};

TEST_F(PlacementTest, ResizeClientGivesTheClientAreaExactlyTheAskedSize) {
    for (const ResizeCase& c : kResizeCases) {
        WindowLog log;
        ProbeWnd wnd(log);
        HMENU menu = nullptr;
        if (c.menu) {
            menu = CreateMenu();
            AppendMenuW(menu, MF_STRING, 1, L"File");
        }
        ASSERT_NE(nullptr, wnd.Create(nullptr, L"resize", c.style, c.exStyle, 10, 10, 400, 350, menu)) << c.name;
        RECT before = {};
        GetClientRect(wnd.GetHWND(), &before);
        EXPECT_TRUE(wnd.ResizeClient(c.cx, c.cy)) << c.name;
        RECT after = {};
        GetClientRect(wnd.GetHWND(), &after);
        EXPECT_EQ(c.expectedW != 0 ? c.expectedW : before.right, after.right) << c.name;
        EXPECT_EQ(c.expectedH != 0 ? c.expectedH : before.bottom, after.bottom) << c.name;
        DestroyWindow(wnd.GetHWND());  // destroys the menu too
    }
}

// A skinned frame keeps its sizing style but answers WM_NCCALCSIZE with no frame at all.
TEST_F(PlacementTest, ResizeClientOfAWindowWithoutNonClientAreaSizesTheWholeWindow) {
    WindowLog log;
    ProbeWnd wnd(log);
    wnd.handler = [](ProbeWnd&, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        result = 0;
        return msg == WM_NCCALCSIZE;
    };
    ASSERT_NE(nullptr, wnd.Create(nullptr, L"skinned", WS_OVERLAPPEDWINDOW, 0, 10, 10, 400, 350));
    EXPECT_TRUE(wnd.ResizeClient(320, 240));
    RECT client = {}, window = {};
    GetClientRect(wnd.GetHWND(), &client);
    GetWindowRect(wnd.GetHWND(), &window);
    EXPECT_EQ(320, client.right);
    EXPECT_EQ(240, client.bottom);
    EXPECT_EQ(320, window.right - window.left);
    DestroyWindow(wnd.GetHWND());
}

TEST_F(PlacementTest, AChildWindowIgnoresItsIdAsAMenu) {
    WindowLog parentLog, log;
    ProbeWnd parent(parentLog), child(log);
    ASSERT_NE(nullptr, parent.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 300, 300));
    ASSERT_NE(nullptr, child.Create(parent.GetHWND(), L"", WS_CHILD | WS_BORDER, 0, 5, 5, 50, 50,
                                    reinterpret_cast<HMENU>(101)));
    EXPECT_TRUE(child.ResizeClient(70, 40));
    RECT rc = {};
    GetClientRect(child.GetHWND(), &rc);
    EXPECT_EQ(70, rc.right);
    EXPECT_EQ(40, rc.bottom);
    DestroyWindow(parent.GetHWND());
}

TEST_F(PlacementTest, ResizeClientFailsWithoutAWindow) {
    WindowLog log;
    ProbeWnd wnd(log);
    EXPECT_FALSE(wnd.ResizeClient(10, 10));
}

}  // namespace
