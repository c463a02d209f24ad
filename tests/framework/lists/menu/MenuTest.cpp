// Popup menus opened on a host window: their size and place, which windows close on which
// input, check states, and the click record posted to the owner.
#include <MenuClickRecord.h>
#include <MenuObserver.h>
#include <MenuWnd.h>
#include <UIMenu.h>
#include <UIMenuElement.h>

#include <functional>
#include <memory>

#include "../../controls/ControlWindow.h"

using namespace HiveUI;

inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
}

namespace {

const wchar_t kMenuSkin[] =
    L"<Window><Menu>"
    L"<MenuElement name=\"a\" text=\"Alpha\" width=\"100\" height=\"24\"/>"
    L"<MenuElement name=\"line\" linetype=\"true\"/>"
    L"<MenuElement name=\"b\" text=\"Beta\" width=\"160\" height=\"24\" ischeck=\"true\"/>"
    L"<MenuElement name=\"sub\" text=\"More\" height=\"24\">"
    L"<MenuElement name=\"s1\" text=\"One\" height=\"24\"/><MenuElement name=\"s2\" text=\"Two\" height=\"24\"/>"
    L"</MenuElement>"
    L"<MenuElement text=\"Nameless\" height=\"24\"/>"
    L"</Menu></Window>";
// Item rows in the menu's client area: a 0-24, separator 24-30, b 30-54, sub 54-78, nameless 78-102.
const int kRowA = 12, kRowB = 42, kRowSub = 66, kRowNameless = 90;

struct Reported {
    std::wstring name;
    int checked;
};

BOOL CALLBACK CollectMenuWindow(HWND wnd, LPARAM list) {
    wchar_t name[32] = {};
    GetClassNameW(wnd, name, 32);
    if (wcscmp(name, L"HiveMenuWnd") == 0 && IsWindowVisible(wnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
    return TRUE;
}

RECT WindowRect(HWND wnd) {
    RECT rc = {};
    GetWindowRect(wnd, &rc);
    return rc;
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class MenuTest : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        ASSERT_TRUE(TestFiles::Write(TestFiles::TempFolder() + L"menu.xml", Narrow(kMenuSkin)));
        Build(L"");
    }
    void TearDown() override {
        menu_.reset();
        Pump();
        CMenuWnd::DestroyCheckedItems();
        GetMenuObserver().SetMenuCheckInfo(nullptr);
        ControlWindow::TearDown();
    }
    static std::string Narrow(const wchar_t* text) {
        std::string out;
        for (; *text != 0; ++text) out += static_cast<char>(*text);
        return out;
    }
    // Opens the menu; a condition given ends the pumping as soon as it holds.
    CMenuWnd* Open(POINT at, DWORD alignment = 6, CUIStringMap* map = nullptr,
                   const std::function<bool()>& done = nullptr) {
        menu_.reset(new CMenuWnd());
        EXPECT_TRUE(menu_->Init(nullptr, L"menu.xml", at, &manager(), map, alignment));
        Pump(done);
        return menu_.get();
    }
    // Runs the thread's messages; click records posted to the host are taken and freed.
    // Without a condition: three rounds 10 ms apart. With one: until it holds after a
    // round, waiting for the next message between rounds, for five seconds at most.
    void Pump(const std::function<bool()>& done = nullptr) {
        MSG msg;
        const ULONGLONG start = GetTickCount64();
        for (int round = 0; done ? GetTickCount64() - start < 5000 : round < 3; ++round) {
            // Bounded: a window that keeps invalidating itself fails the test instead of hanging it.
            for (int n = 0; n < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
                if (msg.message == WM_MENUCLICK && msg.hwnd == hwnd()) {
                    auto* record = reinterpret_cast<TMenuClickRecord*>(msg.wParam);
                    clicks.push_back({record->szName, record->nChecked});
                    CPaintManagerUI::FreeObject(record);
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (!done) {
                Sleep(10);
            } else if (done()) {
                return;
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
        }
        if (done) {
            EXPECT_TRUE(done()) << "not within five seconds";
        }
    }
    static std::vector<HWND> MenuWindows() {
        std::vector<HWND> found;
        EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    void ClickRow(HWND wnd, int y, const std::function<bool()>& done = nullptr) {
        SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, y));
        SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, y));
        SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(40, y));
        Pump(done);
    }
    // Opens the menu and points at "sub": the sub-menu window appears beside it.
    HWND OpenSubMenu(POINT at) {
        CMenuWnd* menu = Open(at);
        SendMessageW(menu->GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(40, kRowSub));
        Pump();
        for (HWND wnd : MenuWindows())
            if (wnd != menu->GetHWND()) return wnd;
        ADD_FAILURE() << "no sub-menu window";
        return nullptr;
    }

    std::unique_ptr<CMenuWnd> menu_;
    std::vector<Reported> clicks;
    // Outlives TearDown, which frees its records through the observer.
    CUIStringMap map_;
};

TEST_F(MenuTest, ItemsAreEquallyWideAndTheSeparatorSixHigh) {
    CMenuWnd* menu = Open(POINT{100, 100});
    CMenuUI* root = menu->GetMenuRoot();
    ASSERT_NE(nullptr, root);
    ASSERT_EQ(5, root->GetCount());
    for (int i = 0; i < root->GetCount(); ++i) EXPECT_EQ(160, root->GetItemAt(i)->GetFixedWidth()) << i;
    EXPECT_EQ(6, root->GetItemAt(1)->GetFixedHeight());
    EXPECT_FALSE(root->GetItemAt(1)->IsEnabled());
    const RECT rc = WindowRect(menu->GetHWND());
    EXPECT_EQ((RECT{100, 100, 260, 202}), rc);
}

TEST_F(MenuTest, AlignmentPutsTheRightOrBottomEdgeAtThePoint) {
    const struct {
        DWORD alignment;
        RECT expected;
    } cases[] = {
        {6, {300, 300, 460, 402}},
        {8, {140, 300, 300, 402}},
        {16, {300, 198, 460, 300}},
        {8 | 16, {140, 198, 300, 300}},
    };
    for (const auto& c : cases) {
        CMenuWnd* menu = Open(POINT{300, 300}, c.alignment);
        EXPECT_EQ(c.expected, WindowRect(menu->GetHWND())) << c.alignment;
    }
}

TEST_F(MenuTest, AMenuThatWouldLeaveItsMonitorIsMovedOntoIt) {
    const RECT work = WorkArea();
    const struct {
        POINT at;
        DWORD alignment;
        RECT expected;
    } cases[] = {
        {{work.right - 60, 300}, 6, {work.right - 160, 300, work.right, 402}},
        {{300, work.bottom - 20}, 6, {300, work.bottom - 102, 460, work.bottom}},
        {{work.left - 50, work.top - 40}, 6, {work.left, work.top, work.left + 160, work.top + 102}},
        {{300, work.top + 30}, 16, {300, work.top, 460, work.top + 102}},
        {{work.left + 30, 300}, 8, {work.left, 300, work.left + 160, 402}},
    };
    for (const auto& c : cases) {
        CMenuWnd* menu = Open(c.at, c.alignment);
        EXPECT_EQ(c.expected, WindowRect(menu->GetHWND())) << c.at.x << ',' << c.at.y << " alignment " << c.alignment;
    }
}

TEST_F(MenuTest, ASkinWhoseRootIsNoMenuIsRefused) {
    ASSERT_TRUE(TestFiles::Write(TestFiles::TempFolder() + L"notmenu.xml", "<Window><VerticalLayout/></Window>"));
    CMenuWnd menu;
    EXPECT_FALSE(menu.Init(nullptr, L"notmenu.xml", POINT{10, 10}, &manager()));
    EXPECT_TRUE(GetMenuObserver().Receivers().empty());
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuTest, AClickPostsTheItemToTheOwnerAndClosesTheMenu) {
    for (int i = 0; i < 100; ++i) {
        CMenuWnd* menu = Open(POINT{100, 100}, 6, nullptr, [] { return MenuWindows().size() == 1; });
        ClickRow(menu->GetHWND(), kRowA, [&] {
            return clicks.size() == static_cast<size_t>(i + 1) && MenuWindows().empty() &&
                   GetMenuObserver().Receivers().empty();
        });
        ASSERT_EQ(static_cast<size_t>(i + 1), clicks.size());
        EXPECT_EQ(L"a", clicks.back().name);
        EXPECT_EQ(0, clicks.back().checked);
        EXPECT_TRUE(MenuWindows().empty());
        EXPECT_TRUE(GetMenuObserver().Receivers().empty());
    }
}

TEST_F(MenuTest, CheckStatesFollowTheMap) {
    CUIStringMap& map = map_;
    // "b" already unchecked in the map, under a name in other letters: the skin's ischeck
    // does not override it.
    auto* preset = new TMenuItemCheck();
    wcscpy(preset->szName, L"B");
    preset->bChecked = false;
    map.Set(L"B", preset);
    const struct {
        int row;
        const wchar_t* name;
        int checked;
    } steps[] = {{kRowA, L"a", 1}, {kRowA, L"a", 0}, {kRowB, L"b", 1}, {kRowNameless, L"", 0}, {kRowNameless, L"", 0}};
    for (const auto& step : steps) {
        CMenuWnd* menu = Open(POINT{100, 100}, 6, &map);
        ClickRow(menu->GetHWND(), step.row);
        ASSERT_FALSE(clicks.empty());
        EXPECT_EQ(step.name, clicks.back().name);
        EXPECT_EQ(step.checked, clicks.back().checked) << clicks.size();
    }
    EXPECT_EQ(nullptr, map.Find(L""));
}

TEST_F(MenuTest, WithoutAMapEveryClickReportsUnchecked) {
    for (int i = 0; i < 2; ++i) {
        CMenuWnd* menu = Open(POINT{100, 100});
        ClickRow(menu->GetHWND(), kRowB);
    }
    ASSERT_EQ(2u, clicks.size());
    EXPECT_EQ(0, clicks[0].checked);
    EXPECT_EQ(0, clicks[1].checked);
}

TEST_F(MenuTest, ARightClickDoesNothing) {
    CMenuWnd* menu = Open(POINT{100, 100});
    for (UINT msg : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}) SendMessageW(menu->GetHWND(), msg, 0, MAKELPARAM(40, kRowA));
    Pump();
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(1u, MenuWindows().size());
}

TEST_F(MenuTest, ASubMenuOpensBesideItsItemAndItsItemsAreNotReported) {
    const HWND sub = OpenSubMenu(POINT{100, 100});
    ASSERT_NE(nullptr, sub);
    const RECT parent = WindowRect(menu_->GetHWND());
    const RECT rc = WindowRect(sub);
    EXPECT_EQ(parent.right, rc.left);
    EXPECT_EQ(parent.top + 54, rc.top);
    EXPECT_EQ(48, rc.bottom - rc.top);
    // The item with nested items opens rather than reports.
    ClickRow(menu_->GetHWND(), kRowSub);
    EXPECT_TRUE(clicks.empty());
    ClickRow(sub, 12);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(L"s1", clicks[0].name);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuTest, NearTheWorkAreasEdgesASubMenuOpensLeftAndUpwards) {
    // Three nested items: taller than the rows from "sub" down, so that below the item the
    // sub-menu would pass the bottom of the work area even with the menu kept on it.
    std::string skin = Narrow(kMenuSkin);
    const std::string last = "<MenuElement name=\"s2\" text=\"Two\" height=\"24\"/>";
    skin.insert(skin.find(last) + last.size(), "<MenuElement name=\"s3\" text=\"Three\" height=\"24\"/>");
    ASSERT_TRUE(TestFiles::Write(TestFiles::TempFolder() + L"menu.xml", skin));
    const RECT work = WorkArea();
    const POINT at = {work.right - 170, work.bottom - 90};
    const HWND sub = OpenSubMenu(at);
    ASSERT_NE(nullptr, sub);
    const RECT parent = WindowRect(menu_->GetHWND());
    const RECT rc = WindowRect(sub);
    EXPECT_EQ(parent.left, rc.right);
    EXPECT_EQ(parent.top + 54, rc.bottom);
}

TEST_F(MenuTest, EscapeClosesOnlyTheSubMenuAndFocusesItsItem) {
    const HWND sub = OpenSubMenu(POINT{100, 100});
    ASSERT_NE(nullptr, sub);
    SendMessageW(sub, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(sub));
    ASSERT_EQ(1u, MenuWindows().size());
    CControlUI* focus = menu_->GetManager().GetFocus();
    ASSERT_NE(nullptr, focus);
    EXPECT_EQ(L"sub", std::wstring(focus->GetName().GetData()));
}

TEST_F(MenuTest, FocusOutsideTheChainClosesEveryMenuWindow) {
    const HWND sub = OpenSubMenu(POINT{100, 100});
    ASSERT_NE(nullptr, sub);
    SendMessageW(sub, WM_KILLFOCUS, reinterpret_cast<WPARAM>(menu_->GetHWND()), 0);
    Pump();
    EXPECT_EQ(2u, MenuWindows().size());
    SendMessageW(sub, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd()), 0);
    Pump();
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MenuTest, ClosingTheOwnerLeavesNoMenuWindowInTheChain) {
    ASSERT_NE(nullptr, OpenSubMenu(POINT{100, 100}));
    DestroyWindow(hwnd());
    Pump();
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_TRUE(GetMenuObserver().Receivers().empty());
}

}  // namespace
