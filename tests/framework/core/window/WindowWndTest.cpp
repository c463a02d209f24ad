#include "ProbeWnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace {

class WindowWndTest : public testing::Test {
protected:
    void SetUp() override { UseTestModule(); }
};

TEST_F(WindowWndTest, CreatesItsOwnClassWithTheObjectAsCreationParameter) {
    WindowLog log;
    ProbeWnd wnd(log);
    const HWND hwnd = wnd.Create(nullptr, L"probe", WS_POPUP, 0, 10, 20, 100, 80);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(hwnd, wnd.GetHWND());
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), log.messages.front()) << "WM_NCCREATE is the object's first message";
    EXPECT_TRUE(log.Saw(WM_CREATE));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&wnd), GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    EXPECT_STREQ(L"TallyhiveProbeWnd", name);
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_DBLCLKS), GetClassLongPtrW(hwnd, GCL_STYLE));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadCursorW(nullptr, IDC_ARROW)), GetClassLongPtrW(hwnd, GCLP_HCURSOR));
    EXPECT_EQ(0u, GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetModuleHandleW(nullptr)), GetClassLongPtrW(hwnd, GCLP_HMODULE));
    wchar_t text[16] = {};
    GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(L"probe", text) << "unhandled messages fall back to the default procedure";

    // A second window of the class that now exists.
    WindowLog log2;
    ProbeWnd second(log2);
    ASSERT_NE(nullptr, second.Create(nullptr, L"second", WS_POPUP, 0, 0, 0, 10, 10));
    EXPECT_TRUE(DestroyWindow(second.GetHWND()));
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST_F(WindowWndTest, MessagesReachHandleMessageWithTheirParameters) {
    WindowLog log;
    ProbeWnd wnd(log);
    WPARAM seenW = 0;
    LPARAM seenL = 0;
    wnd.handler = [&](ProbeWnd&, UINT msg, WPARAM w, LPARAM l, LRESULT& r) {
        if (msg != WM_APP + 7) return false;
        seenW = w;
        seenL = l;
        r = 1234;
        return true;
    };
    ASSERT_NE(nullptr, wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    EXPECT_EQ(1234, wnd.SendMessage(WM_APP + 7, 11, 22));
    EXPECT_EQ(11u, seenW);
    EXPECT_EQ(22, seenL);
    EXPECT_TRUE(wnd.PostMessage(WM_APP + 7, 33, 44));
    PumpMessages();
    EXPECT_EQ(33u, seenW);
    EXPECT_EQ(44, seenL);
    DestroyWindow(wnd.GetHWND());
}

TEST_F(WindowWndTest, DestructionDetachesBeforeTheFinalMessage) {
    WindowLog log;
    ProbeWnd wnd(log);
    const HWND hwnd = wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10);
    ASSERT_NE(nullptr, hwnd);
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(1, log.finalCount);
    EXPECT_EQ(hwnd, log.finalWnd);
    EXPECT_EQ(nullptr, log.handleAtFinal);
    EXPECT_EQ(nullptr, wnd.GetHWND());
    EXPECT_TRUE(log.Saw(WM_DESTROY));
    EXPECT_FALSE(log.Saw(WM_NCDESTROY));
    EXPECT_FALSE(log.messageAfterFinal);
}

TEST_F(WindowWndTest, AHeapWindowDeletesItselfInItsFinalMessageExactlyOnce) {
    WindowLog log;
    auto* wnd = new ProbeWnd(log, L"TallyhiveProbeWnd", nullptr, true);
    const HWND hwnd = wnd->Create(nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 0, 10, 10);
    ASSERT_NE(nullptr, hwnd);
    wnd->Close(1);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(1, log.finalCount);
    EXPECT_FALSE(log.messageAfterFinal);
}

// Memory for a window that deletes itself: freeing it only fills it with a pattern, so
// any later write by the framework shows.
alignas(16) unsigned char g_slab[256];

class PatternedWnd final : public HiveUI::CWindowWnd {
public:
    static void* operator new(std::size_t size) {
        if (size > sizeof(g_slab)) throw std::bad_alloc();
        return g_slab;
    }
    static void operator delete(void* p, std::size_t size) { std::memset(p, 0xDD, size); }

    const wchar_t* GetWindowClassName() const override { return L"TallyhivePatternedWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) return -1;  // refuses to be created
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void OnFinalMessage(HWND) override {
        ++finals;
        delete this;
    }

    static int finals;
};
int PatternedWnd::finals = 0;

TEST_F(WindowWndTest, AFailedCreationDoesNotTouchAnObjectItsFinalMessageDeleted) {
    PatternedWnd* wnd = new PatternedWnd;
    EXPECT_EQ(nullptr, wnd->Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    EXPECT_EQ(1, PatternedWnd::finals);
    for (std::size_t i = 0; i < sizeof(PatternedWnd); ++i) {
        ASSERT_EQ(0xDD, g_slab[i]) << "byte " << i << " written after the object was deleted";
    }
}

TEST_F(WindowWndTest, AnUnknownSuperclassCreatesNothing) {
    WindowLog log;
    ProbeWnd wnd(log, L"TallyhiveProbeNoBase", L"TallyhiveNoSuchClassAnywhere");
    EXPECT_EQ(nullptr, wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(nullptr, wnd.GetHWND());
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), L"TallyhiveProbeNoBase", &wc));
}

TEST_F(WindowWndTest, ASuperclassOfEditKeepsEditingWhileItsMessagesPassThrough) {
    WindowLog log;
    ProbeWnd edit(log, L"TallyhiveProbeEdit", L"Edit");
    const HWND hwnd = edit.Create(nullptr, L"hive", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 0, 200, 30);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(&edit, GetPropW(hwnd, L"WndX"));
    EXPECT_EQ(0, GetWindowLongPtrW(hwnd, GWLP_USERDATA)) << "the copied class's user data stays its own";
    WNDCLASSEXW base = {};
    base.cbSize = sizeof(base);
    ASSERT_TRUE(GetClassInfoExW(nullptr, L"Edit", &base));
    EXPECT_EQ(base.lpfnWndProc, edit.OldProc());
    EXPECT_EQ(DLGC_WANTCHARS, SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS);

    SendMessageW(hwnd, EM_SETSEL, 4, 4);
    SendMessageW(hwnd, WM_CHAR, L'x', 1);
    wchar_t text[32] = {};
    GetWindowTextW(hwnd, text, 32);
    EXPECT_STREQ(L"hivex", text);
    EXPECT_TRUE(log.Saw(WM_CHAR));
    EXPECT_TRUE(SetWindowTextW(hwnd, L"tally"));
    GetWindowTextW(hwnd, text, 32);
    EXPECT_STREQ(L"tally", text);
    EXPECT_TRUE(log.Saw(WM_SETTEXT));

    DestroyWindow(hwnd);
    EXPECT_EQ(1, log.finalCount);
    EXPECT_EQ(nullptr, edit.GetHWND());
    EXPECT_FALSE(log.messageAfterFinal);
}

TEST_F(WindowWndTest, SubclassingAForeignWindowAndUnsubclassRestoresItsProcedure) {
    const HWND foreign = CreateWindowExW(0, L"Edit", L"abc", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                         nullptr, nullptr);
    ASSERT_NE(nullptr, foreign);
    const LONG_PTR original = GetWindowLongPtrW(foreign, GWLP_WNDPROC);
    WindowLog log;
    ProbeWnd sub(log, L"TallyhiveProbeSub");
    ASSERT_TRUE(sub.Subclass(foreign));
    EXPECT_EQ(foreign, sub.GetHWND());
    EXPECT_NE(original, GetWindowLongPtrW(foreign, GWLP_WNDPROC));
    EXPECT_TRUE(SetWindowTextW(foreign, L"xyz"));
    EXPECT_TRUE(log.Saw(WM_SETTEXT));
    wchar_t text[16] = {};
    GetWindowTextW(foreign, text, 16);
    EXPECT_STREQ(L"xyz", text);

    sub.Unsubclass();
    EXPECT_EQ(original, GetWindowLongPtrW(foreign, GWLP_WNDPROC));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcW), sub.OldProc());
    log.messages.clear();
    SetWindowTextW(foreign, L"after");
    EXPECT_TRUE(log.messages.empty());
    DestroyWindow(foreign);
    EXPECT_EQ(0, log.finalCount);
}

TEST_F(WindowWndTest, ASubclassedWindowsDestructionEndsInTheFinalMessage) {
    const HWND foreign = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                         nullptr);
    ASSERT_NE(nullptr, foreign);
    WindowLog log;
    ProbeWnd sub(log, L"TallyhiveProbeSub");
    ASSERT_TRUE(sub.Subclass(foreign));
    EXPECT_FALSE(sub.Subclass(foreign)) << "already subclassed";
    DestroyWindow(foreign);
    EXPECT_EQ(1, log.finalCount);
    EXPECT_EQ(nullptr, log.handleAtFinal);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcW), sub.OldProc());
    EXPECT_FALSE(log.messageAfterFinal);
}

TEST_F(WindowWndTest, AnExceptionFromASentOrPostedMessageLeavesTheProcessAlive) {
    WindowLog log;
    ProbeWnd wnd(log);
    wnd.handler = [](ProbeWnd&, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg == WM_APP + 1) throw std::runtime_error("sent");
        if (msg == WM_APP + 2) throw 42;
        if (msg != WM_APP + 3) return false;
        r = 99;
        return true;
    };
    ASSERT_NE(nullptr, wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 1));
    wnd.PostMessage(WM_APP + 2);
    PumpMessages();
    EXPECT_TRUE(log.Saw(WM_APP + 2));
    EXPECT_EQ(99, wnd.SendMessage(WM_APP + 3));
    DestroyWindow(wnd.GetHWND());
}

TEST_F(WindowWndTest, ShowWindowAndCloseDoNothingWithoutAWindow) {
    WindowLog log;
    ProbeWnd wnd(log);
    EXPECT_FALSE(wnd.ShowWindow(true, true));
    wnd.Close(3);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "no WM_CLOSE to the thread";
}

TEST_F(WindowWndTest, ShowWindowShowsHidesAndActivatesOnlyWhenAskedTo) {
    WindowLog log1, log2;
    ProbeWnd first(log1), second(log2);
    ASSERT_NE(nullptr, first.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 50, 50));
    ASSERT_NE(nullptr, second.Create(nullptr, L"", WS_POPUP, 0, 60, 0, 50, 50));
    first.ShowWindow(true, true);
    EXPECT_TRUE(IsWindowVisible(first.GetHWND()));
    EXPECT_EQ(first.GetHWND(), GetActiveWindow());
    second.ShowWindow(true, false);
    EXPECT_TRUE(IsWindowVisible(second.GetHWND()));
    EXPECT_EQ(first.GetHWND(), GetActiveWindow()) << "shown without taking the focus";
    EXPECT_TRUE(second.ShowWindow(false));
    EXPECT_FALSE(IsWindowVisible(second.GetHWND()));
    DestroyWindow(second.GetHWND());
    DestroyWindow(first.GetHWND());
}

}  // namespace
