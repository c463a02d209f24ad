#include <ImageData.h>
#include <Shadow.h>
#include <TestFiles.h>
#include <UIManager.h>
#include <UIRender.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <string>
#include <vector>

using HiveUI::CPaintManagerUI;
using HiveUI::CShadowUI;
using HiveUI::CWindowWnd;

namespace {

// A framework window with its paint manager, as every frame has; it may delete itself
// when its window goes.
class ShadowedWnd final : public CWindowWnd {
public:
    explicit ShadowedWnd(bool* deleted = nullptr) : m_deleted(deleted) {}
    ~ShadowedWnd() {
        if (m_deleted != nullptr) *m_deleted = true;
    }
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveShadowedWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) {
            manager.Init(m_hWnd);
            // As a frame does: the tree, and with it the shadow, comes while creating.
            if (attachOnCreate) manager.AttachRoot(nullptr);
        }
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void OnFinalMessage(HWND) override {
        if (m_deleted != nullptr) delete this;
    }

    CPaintManagerUI manager;
    bool attachOnCreate = false;

private:
    bool* m_deleted;
};

class ShadowProbe : public CShadowUI {
public:
    using CShadowUI::DrawPicture;
};

RECT WindowRect(HWND wnd) {
    RECT rect = {};
    GetWindowRect(wnd, &rect);
    return rect;
}

// The rectangle the parent's shadow should have for its size and offset.
RECT ExpectedShadow(HWND parent, int size, int x = 0, int y = 0) {
    RECT rect = WindowRect(parent);
    OffsetRect(&rect, x, y);
    InflateRect(&rect, size, size);
    return rect;
}

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

struct OwnedCount {
    HWND owner;
    int count;
};

BOOL CALLBACK CountShadowWindow(HWND wnd, LPARAM data) {
    auto* c = reinterpret_cast<OwnedCount*>(data);
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    if (wcscmp(name, L"ZandelShadowWnd") == 0 && GetWindow(wnd, GW_OWNER) == c->owner) ++c->count;
    return TRUE;
}

int ShadowWindowsOwnedBy(HWND owner) {
    OwnedCount count = {owner, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountShadowWindow, reinterpret_cast<LPARAM>(&count));
    return count.count;
}

class ShadowWindow : public testing::Test {
protected:
    void SetUp() override { CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr)); }

    // Shows a 200 x 120 frame at (100, 80) with a shadow of the given look.
    HWND Open(ShadowedWnd& frame, DWORD style = WS_POPUP | WS_VISIBLE) {
        const HWND wnd = frame.Create(nullptr, L"frame", style, 0, 100, 80, 200, 120);
        EXPECT_NE(nullptr, wnd);
        return wnd;
    }
};

TEST_F(ShadowWindow, AttachRootCreatesALayeredClickThroughPopupOwnedByTheWindow) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    ASSERT_TRUE(shadow->SetSize(6));
    ASSERT_TRUE(shadow->SetPosition(2, 3));
    frame.manager.AttachRoot(nullptr);

    const HWND wnd = shadow->GetHWND();
    ASSERT_NE(nullptr, wnd);
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    EXPECT_STREQ(L"ZandelShadowWnd", name);
    const LONG_PTR exStyle = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_LAYERED | WS_EX_TRANSPARENT, exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
    EXPECT_EQ(0x80880000u, static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE)) & 0x80880000u);
    EXPECT_EQ(parent, GetWindow(wnd, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(shadow, CShadowUI::GetShadowMap()[parent]);
    ExpectRect(ExpectedShadow(parent, 6, 2, 3), WindowRect(wnd));
    // Mouse input passes through: the point over the shadow finds no shadow window.
    const RECT rect = WindowRect(wnd);
    EXPECT_NE(wnd, WindowFromPoint(POINT{rect.left + 1, rect.top + 1}));

    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(0u, CShadowUI::GetShadowMap().count(parent));
}

TEST_F(ShadowWindow, ASecondAttachRootKeepsTheOneShadowAndTheOneSubclass) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    shadow->SetSize(4);
    frame.manager.AttachRoot(nullptr);
    const HWND first = shadow->GetHWND();
    const LONG_PTR procedure = GetWindowLongPtrW(parent, GWLP_WNDPROC);
    frame.manager.AttachRoot(nullptr);
    EXPECT_EQ(first, shadow->GetHWND());
    EXPECT_EQ(procedure, GetWindowLongPtrW(parent, GWLP_WNDPROC));
    EXPECT_EQ(1, ShadowWindowsOwnedBy(parent));
    // Messages still reach the frame through one shadow procedure, not an endless chain.
    SetWindowPos(parent, nullptr, 150, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectRect(ExpectedShadow(parent, 4), WindowRect(first));
    DestroyWindow(parent);
}

TEST_F(ShadowWindow, NoShadowUnlessTheSkinAsksForOne) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    frame.manager.GetShadow()->SetSize(6);
    frame.manager.AttachRoot(nullptr);
    EXPECT_EQ(nullptr, frame.manager.GetShadow()->GetHWND());
    EXPECT_EQ(0, ShadowWindowsOwnedBy(parent));
    DestroyWindow(parent);
}

TEST_F(ShadowWindow, FollowsMovesAndSizesOfItsWindow) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    shadow->SetSize(5);
    shadow->SetPosition(-2, 4);
    frame.manager.AttachRoot(nullptr);
    const HWND wnd = shadow->GetHWND();

    SetWindowPos(parent, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectRect(ExpectedShadow(parent, 5, -2, 4), WindowRect(wnd));

    // Growing waits for the window's next paint.
    SetWindowPos(parent, nullptr, 0, 0, 260, 170, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT waiting = WindowRect(wnd);
    EXPECT_EQ(200 + 10, waiting.right - waiting.left);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ExpectRect(ExpectedShadow(parent, 5, -2, 4), WindowRect(wnd));

    // Shrinking redraws at once.
    SetWindowPos(parent, nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    ExpectRect(ExpectedShadow(parent, 5, -2, 4), WindowRect(wnd));

    // And so does the end of a size-move loop.
    SetWindowPos(parent, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    ValidateRect(parent, nullptr);
    const RECT before = WindowRect(wnd);
    EXPECT_EQ(150 + 10, before.right - before.left);
    SendMessageW(parent, WM_EXITSIZEMOVE, 0, 0);
    ExpectRect(ExpectedShadow(parent, 5, -2, 4), WindowRect(wnd));
    DestroyWindow(parent);
}

TEST_F(ShadowWindow, HiddenWhileMaximisedOrHiddenAndBackAfterwards) {
    ShadowedWnd frame;
    const HWND parent = Open(frame, WS_POPUP | WS_VISIBLE | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    shadow->SetSize(6);
    frame.manager.AttachRoot(nullptr);
    const HWND wnd = shadow->GetHWND();
    ASSERT_TRUE(IsWindowVisible(wnd));

    ShowWindow(parent, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(parent));
    EXPECT_FALSE(IsWindowVisible(wnd));
    ShowWindow(parent, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(wnd));
    ExpectRect(ExpectedShadow(parent, 6), WindowRect(wnd));

    ShowWindow(parent, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(wnd));
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(wnd));
    DestroyWindow(parent);
}

TEST_F(ShadowWindow, AWindowCreatedMaximisedOrMinimisedShowsNoShadowUntilRestored) {
    for (DWORD state : {DWORD{WS_MAXIMIZE}, DWORD{WS_MINIMIZE}}) {
        SCOPED_TRACE(state == WS_MAXIMIZE ? "maximised" : "minimised");
        ShadowedWnd frame;
        frame.attachOnCreate = true;
        CShadowUI* shadow = frame.manager.GetShadow();
        shadow->ShowShadow(true);
        shadow->SetSize(6);
        const HWND parent = Open(frame, WS_POPUP | WS_VISIBLE | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | state);
        ASSERT_TRUE(state == WS_MAXIMIZE ? IsZoomed(parent) : IsIconic(parent));
        const HWND wnd = shadow->GetHWND();
        ASSERT_NE(nullptr, wnd);
        UpdateWindow(parent);
        EXPECT_FALSE(IsWindowVisible(wnd));
        ShowWindow(parent, SW_RESTORE);
        UpdateWindow(parent);
        EXPECT_TRUE(IsWindowVisible(wnd));
        ExpectRect(ExpectedShadow(parent, 6), WindowRect(wnd));
        DestroyWindow(parent);
    }
}

TEST_F(ShadowWindow, AWindowCreatedHiddenGetsItsShadowWhenShown) {
    ShadowedWnd frame;
    const HWND parent = Open(frame, WS_POPUP);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    shadow->SetSize(3);
    frame.manager.AttachRoot(nullptr);
    const HWND wnd = shadow->GetHWND();
    ASSERT_NE(nullptr, wnd);
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_FALSE(shadow->Update(parent)) << "nothing is drawn for a hidden window";

    ShowWindow(parent, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(wnd));
    UpdateWindow(parent);
    ExpectRect(ExpectedShadow(parent, 3), WindowRect(wnd));
    DestroyWindow(parent);
}

TEST_F(ShadowWindow, AcceptedSettersRedrawAVisibleShadowAtOnce) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    shadow->SetSize(4);
    frame.manager.AttachRoot(nullptr);
    ASSERT_TRUE(shadow->SetSize(9));
    ExpectRect(ExpectedShadow(parent, 9), WindowRect(shadow->GetHWND()));
    ASSERT_TRUE(shadow->SetPosition(5, -5));
    ExpectRect(ExpectedShadow(parent, 9, 5, -5), WindowRect(shadow->GetHWND()));
    EXPECT_FALSE(shadow->SetSize(40));
    ExpectRect(ExpectedShadow(parent, 9, 5, -5), WindowRect(shadow->GetHWND()));
    DestroyWindow(parent);
}

TEST_F(ShadowWindow, UpdateDrawsOnlyWhenThereIsAShadowToDraw) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    CShadowUI* shadow = frame.manager.GetShadow();
    shadow->ShowShadow(true);
    shadow->SetSize(6);
    frame.manager.AttachRoot(nullptr);
    EXPECT_TRUE(shadow->Update(parent)) << "UpdateLayeredWindow took the picture";
    shadow->SetSize(0);
    EXPECT_FALSE(shadow->Update(parent)) << "size 0 draws nothing";
    // A shadow smaller than a small window would have no pixels at all.
    SetWindowPos(parent, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    shadow->SetSize(-20);
    EXPECT_FALSE(shadow->Update(parent));
    shadow->SetSize(-35);
    EXPECT_FALSE(shadow->Update(parent));
    shadow->SetSize(-19);
    EXPECT_TRUE(shadow->Update(parent));
    shadow->SetImage(L"missing.png");
    EXPECT_FALSE(shadow->Update(parent)) << "a missing image draws nothing";
    DestroyWindow(parent);
}

// Alpha of a bottom-up buffer's pixel, rows counted from the top.
BYTE AlphaAt(const std::vector<DWORD>& pixels, int width, int height, int x, int row) {
    return static_cast<BYTE>(pixels[(height - 1 - row) * width + x] >> 24);
}

TEST_F(ShadowWindow, AWindowWithoutARegionIsOutlinedByItsRectangle) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    ShadowProbe probe;
    probe.SetSize(5);
    const RECT rect = WindowRect(parent);
    const int width = 210, height = 130;
    std::vector<DWORD> plain(width * height, 0);
    probe.MakeShadow(plain.data(), parent, rect);
    EXPECT_EQ(125, AlphaAt(plain, width, height, 100, 4)) << "one pixel above the window's top edge";
    EXPECT_EQ(0, AlphaAt(plain, width, height, 100, 60)) << "hollow behind it";

    SetWindowRgn(parent, CreateRectRgn(0, 0, 200, 120), FALSE);
    std::vector<DWORD> square(width * height, 0);
    probe.MakeShadow(square.data(), parent, rect);
    EXPECT_EQ(plain, square);

    SetWindowRgn(parent, CreateRoundRectRgn(0, 0, 201, 121, 30, 30), FALSE);
    std::vector<DWORD> round(width * height, 0);
    probe.MakeShadow(round.data(), parent, rect);
    EXPECT_LT(AlphaAt(round, width, height, 3, 3), AlphaAt(square, width, height, 3, 3));
    probe.MakeShadow(nullptr, parent, rect);  // no bitmap, no writes
    DestroyWindow(parent);
}

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

// A 12 x 12 nine-grid PNG (RGBA bytes per cell): 4-pixel corners, edges and middle.
std::string NineGridPng(DWORD corner, DWORD edge, DWORD middle) {
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool xMiddle = x >= 4 && x < 8, yMiddle = y >= 4 && y < 8;
            const DWORD argb = xMiddle && yMiddle ? middle : (xMiddle || yMiddle ? edge : corner);
            pixels.push_back(static_cast<unsigned char>(argb >> 16));
            pixels.push_back(static_cast<unsigned char>(argb >> 8));
            pixels.push_back(static_cast<unsigned char>(argb));
            pixels.push_back(static_cast<unsigned char>(argb >> 24));
        }
    }
    std::string out;
    stbi_write_png_to_func(Append, &out, 12, 12, 4, pixels.data(), 12 * 4);
    return out;
}

// The 32-bit value the image loader keeps for an 0xAARRGGBB colour: premultiplied.
DWORD Premultiplied(DWORD argb) {
    const DWORD a = argb >> 24;
    return (a << 24) | CShadowUI::PreMultiply(argb & 0x00FFFFFF, static_cast<BYTE>(a));
}

bool Near(DWORD expected, DWORD actual) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int e = (expected >> shift) & 0xFF, a = (actual >> shift) & 0xFF;
        if (e - a > 1 || a - e > 1) return false;
    }
    return true;
}

TEST_F(ShadowWindow, TheSkinImageIsStretchedWithFixedCornersOverTheWholeShadow) {
    const std::wstring folder = TestFiles::TempFolder();
    ASSERT_TRUE(TestFiles::Write(folder + L"shadow9.png", NineGridPng(0xFFFF0000, 0x8000FF00, 0x400000FF)));
    CPaintManagerUI::SetResourcePath(folder.c_str());
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    ShadowProbe probe;
    probe.ShowShadow(true);
    probe.SetImage(L"shadow9.png");
    probe.SetShadowCorner(RECT{4, 4, 4, 4});
    probe.SetSize(8);
    probe.SetPosition(10, 10);  // offsets do not move an image shadow
    probe.Create(&frame.manager);
    ASSERT_NE(nullptr, probe.GetHWND());
    EXPECT_TRUE(probe.Update(parent));
    ExpectRect(ExpectedShadow(parent, 8), WindowRect(probe.GetHWND()));

    const int width = 216, height = 136;
    HDC dc = CreateCompatibleDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bitmap = HiveUI::CUIRender::CreateARGB32Bitmap(dc, width, height, &bits);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ASSERT_TRUE(probe.DrawPicture(dc, reinterpret_cast<DWORD*>(bits), parent, WindowRect(parent)));
    const std::vector<DWORD> pixels(reinterpret_cast<DWORD*>(bits), reinterpret_cast<DWORD*>(bits) + width * height);
    const auto at = [&](int x, int row) { return pixels[(height - 1 - row) * width + x]; };
    for (POINT p : {POINT{0, 0}, POINT{3, 3}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width - 4, height - 4}})
        EXPECT_TRUE(Near(Premultiplied(0xFFFF0000), at(p.x, p.y))) << p.x << "," << p.y << " " << std::hex << at(p.x, p.y);
    for (POINT p : {POINT{width / 2, 1}, POINT{1, height / 2}, POINT{width - 2, height / 2}, POINT{width / 2, height - 2}})
        EXPECT_TRUE(Near(Premultiplied(0x8000FF00), at(p.x, p.y))) << p.x << "," << p.y << " " << std::hex << at(p.x, p.y);
    EXPECT_TRUE(Near(Premultiplied(0x400000FF), at(width / 2, height / 2))) << std::hex << at(width / 2, height / 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    probe.SetImage(L"absent.png");
    EXPECT_FALSE(probe.Update(parent));
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(probe.GetHWND()));
    CPaintManagerUI::SetResourcePath(L"");
}

TEST_F(ShadowWindow, AHeapFrameDeletingItselfTakesItsShadowAlong) {
    bool deleted = false;
    auto* frame = new ShadowedWnd(&deleted);
    const HWND parent = Open(*frame);
    frame->manager.GetShadow()->ShowShadow(true);
    frame->manager.GetShadow()->SetSize(5);
    frame->manager.AttachRoot(nullptr);
    const HWND wnd = frame->manager.GetShadow()->GetHWND();
    ASSERT_TRUE(IsWindow(wnd));
    DestroyWindow(parent);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(0u, CShadowUI::GetShadowMap().count(parent));
}

TEST_F(ShadowWindow, AManagerGoneBeforeItsWindowGivesTheWindowItsProcedureBack) {
    ShadowedWnd frame;
    const HWND parent = Open(frame);
    const LONG_PTR procedure = GetWindowLongPtrW(parent, GWLP_WNDPROC);
    HWND wnd = nullptr;
    {
        ShadowProbe probe;
        probe.ShowShadow(true);
        probe.SetSize(5);
        probe.Create(&frame.manager);
        wnd = probe.GetHWND();
        ASSERT_TRUE(IsWindow(wnd));
        EXPECT_NE(procedure, GetWindowLongPtrW(parent, GWLP_WNDPROC));
    }
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(procedure, GetWindowLongPtrW(parent, GWLP_WNDPROC));
    EXPECT_EQ(0u, CShadowUI::GetShadowMap().count(parent));
    SetWindowPos(parent, nullptr, 0, 0, 120, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(parent);
}

}  // namespace
