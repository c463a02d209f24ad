#include <UIControl.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <memory>

#include "ManagerTestKit.h"

using HiveUI::CPaintManagerUI;

namespace {

class ManagerWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, wnd_ = ManagerTest::CreatePlainWindow()); }
    void TearDown() override { DestroyWindow(wnd_); }

    LONG_PTR ExStyle() const { return GetWindowLongPtrW(wnd_, GWL_EXSTYLE); }

    HWND wnd_ = nullptr;
};

TEST_F(ManagerWindow, InitTakesTheWindowItsDCAndJoinsTheManagerList) {
    auto manager = std::make_unique<CPaintManagerUI>();
    EXPECT_EQ(nullptr, manager->GetPaintDC());
    manager->Init(wnd_, L"main");
    EXPECT_EQ(wnd_, manager->GetPaintWindow());
    ASSERT_NE(nullptr, manager->GetPaintDC());
    EXPECT_EQ(wnd_, WindowFromDC(manager->GetPaintDC()));
    EXPECT_STREQ(L"main", manager->GetName().GetData());
    manager->Init(wnd_);
    EXPECT_TRUE(manager->GetName().IsEmpty());
    CPaintManagerUI* raw = manager.get();
    EXPECT_GE(CPaintManagerUI::GetManagers().Find(raw), 0);
    manager.reset();
    EXPECT_LT(CPaintManagerUI::GetManagers().Find(raw), 0);
}

TEST_F(ManagerWindow, InitialSizeResizesTheWindowWhileNoTreeIsAttached) {
    CPaintManagerUI manager;
    manager.Init(wnd_);
    manager.SetInitSize(321, 123);
    RECT rc = {};
    GetWindowRect(wnd_, &rc);
    EXPECT_EQ(321, rc.right - rc.left);
    EXPECT_EQ(123, rc.bottom - rc.top);
    EXPECT_EQ(321, manager.GetInitSize().cx);
}

struct ColorCase {
    const char* name;
    DWORD (CPaintManagerUI::*get)() const;
    void (CPaintManagerUI::*set)(DWORD, bool);
    DWORD initial;
};

const ColorCase kColors[] = {
    {"disabled", &CPaintManagerUI::GetDefaultDisabledColor, &CPaintManagerUI::SetDefaultDisabledColor, 0xFFA7A6AA},
    {"text", &CPaintManagerUI::GetDefaultFontColor, &CPaintManagerUI::SetDefaultFontColor, 0xFF000000},
    {"link", &CPaintManagerUI::GetDefaultLinkFontColor, &CPaintManagerUI::SetDefaultLinkFontColor, 0xFF0000FF},
    {"link hover", &CPaintManagerUI::GetDefaultLinkHoverFontColor, &CPaintManagerUI::SetDefaultLinkHoverFontColor,
     0xFFD3215F},
    {"selected", &CPaintManagerUI::GetDefaultSelectedBkColor, &CPaintManagerUI::SetDefaultSelectedBkColor,
     0xFFBAE4FF},
};

TEST(ManagerColors, OwnColourStaysOwnAndSharedColourReachesOnlyManagersThatKeptTheOldOne) {
    for (const ColorCase& c : kColors) {
        SCOPED_TRACE(c.name);
        CPaintManagerUI own;
        CPaintManagerUI follower;
        EXPECT_EQ(c.initial, (own.*c.get)());
        (own.*c.set)(0xFF111111, false);
        EXPECT_EQ(0xFF111111u, (own.*c.get)());
        EXPECT_EQ(c.initial, (CPaintManagerUI().*c.get)());

        (follower.*c.set)(0xFF333333, true);
        EXPECT_EQ(0xFF333333u, (follower.*c.get)());
        (own.*c.set)(0xFF222222, true);
        EXPECT_EQ(0xFF111111u, (own.*c.get)());
        EXPECT_EQ(0xFF333333u, (follower.*c.get)());
        EXPECT_EQ(0xFF222222u, (CPaintManagerUI().*c.get)());
        (own.*c.set)(c.initial, true);
        EXPECT_EQ(c.initial, (CPaintManagerUI().*c.get)());
    }
}

TEST_F(ManagerWindow, LayeredPaintingTurnedOffClearsTheLayeredStyle) {
    CPaintManagerUI manager;
    manager.SetLayered(true);
    EXPECT_FALSE(manager.IsLayered());  // no window yet
    manager.Init(wnd_);
    manager.SetLayered(true);
    EXPECT_TRUE(manager.IsLayered());
    // The first layered paint gives the window its layered style.
    SetWindowLongPtrW(wnd_, GWL_EXSTYLE, ExStyle() | WS_EX_LAYERED);
    manager.SetLayered(false);
    EXPECT_FALSE(manager.IsLayered());
    EXPECT_EQ(0, ExStyle() & WS_EX_LAYERED);
}

TEST_F(ManagerWindow, SwitchingLayeredPaintingAsksTheRootForANewLayout) {
    CPaintManagerUI manager;
    manager.Init(wnd_);
    HiveUI::CControlUI* root = new HiveUI::CControlUI;
    manager.AttachRoot(root);
    root->SetPos({0, 0, 10, 10}, false);
    ASSERT_FALSE(root->IsLayoutNeeded());
    manager.SetLayered(true);
    EXPECT_TRUE(root->IsLayoutNeeded());
    EXPECT_TRUE(manager.IsUpdateNeeded());
}

TEST_F(ManagerWindow, ChildWindowsNeverPaintLayered) {
    HWND child = ManagerTest::CreatePlainWindow(WS_CHILD, wnd_);
    CPaintManagerUI manager;
    manager.Init(child);
    manager.SetLayered(true);
    EXPECT_FALSE(manager.IsLayered());
}

TEST_F(ManagerWindow, OpacityOfAnOrdinaryWindowUsesLayeredAttributes) {
    CPaintManagerUI manager;
    manager.Init(wnd_);
    manager.SetOpacity(100);
    EXPECT_EQ(100, manager.GetOpacity());
    EXPECT_NE(0, ExStyle() & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(wnd_, nullptr, &alpha, &flags));
    EXPECT_EQ(100, alpha);
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), flags & LWA_ALPHA);
}

// Layered attributes on a window painted by UpdateLayeredWindow would make every later
// update of it fail, whether the opacity comes before or after layered painting.
class LayeredOpacity : public ManagerWindow, public testing::WithParamInterface<bool> {
protected:
    // What the first layered paint does: give the window its style and update it.
    bool PaintLayered(BYTE opacity) {
        SetWindowLongPtrW(wnd_, GWL_EXSTYLE, ExStyle() | WS_EX_LAYERED);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 200, -120, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        SIZE size = {200, 120};
        POINT origin = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
        const BOOL updated = UpdateLayeredWindow(wnd_, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return updated != FALSE;
    }
};

TEST_P(LayeredOpacity, UpdateLayeredWindowKeepsWorking) {
    const bool opacityFirst = GetParam();
    CPaintManagerUI manager;
    manager.Init(wnd_);
    if (opacityFirst) manager.SetOpacity(100);
    manager.SetLayered(true);
    EXPECT_TRUE(PaintLayered(manager.GetOpacity()));
    if (!opacityFirst) manager.SetOpacity(100);
    EXPECT_EQ(100, manager.GetOpacity());
    EXPECT_TRUE(PaintLayered(manager.GetOpacity()));
}

INSTANTIATE_TEST_SUITE_P(OpacityBeforeOrAfter, LayeredOpacity, testing::Bool());

TEST_F(ManagerWindow, LayeredOpacityIsStoredWithoutLayeredAttributes) {
    CPaintManagerUI manager;
    manager.Init(wnd_);
    manager.SetLayeredOpacity(77);
    EXPECT_EQ(77, manager.GetOpacity());
    EXPECT_EQ(0, ExStyle() & WS_EX_LAYERED);
}

}  // namespace
