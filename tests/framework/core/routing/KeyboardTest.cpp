#include "RoutingKit.h"

using namespace HiveUI;

namespace {

using Seq = std::vector<std::wstring>;

void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

class KeyboardWindow : public RoutingWindow {
protected:
    bool Pre(UINT msg, WPARAM wParam) {
        LRESULT result = 0;
        return manager().PreMessageHandler(msg, wParam, 0, result);
    }
    void TearDown() override {
        SetShift(false);
        RoutingWindow::TearDown();
    }
};

TEST_F(KeyboardWindow, TabAndShiftTabMoveBetweenTabStopsAndWrap) {
    Probe* c = root_->Add(new Probe(log_, L"c", UIFLAG_TABSTOP), RECT{110, 10, 150, 40});
    root_->Add(new Probe(log_, L"plain"), RECT{110, 50, 150, 80});
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(a_, manager().GetFocus());
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(b_, manager().GetFocus());
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(c, manager().GetFocus());
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(a_, manager().GetFocus());
    SetShift(true);
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(c, manager().GetFocus());
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(b_, manager().GetFocus());
    b_->SetEnabled(false);
    a_->SetFocus();
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(c, manager().GetFocus());
    EXPECT_EQ(Seq({L"a:24", L"a:23", L"b:24", L"b:23", L"c:24", L"c:23", L"a:24", L"a:23", L"c:24", L"c:23", L"b:24",
                   L"b:23", L"a:24", L"a:23", L"c:24"}),
              Names(log_));
}

TEST_F(KeyboardWindow, TabStaysWithTheWebViewThatHasTheFocus) {
    Probe* web = root_->Add(new Probe(log_, L"web", UIFLAG_TABSTOP, L"WkeWebkitUI"), RECT{110, 10, 150, 40});
    web->SetFocus();
    EXPECT_FALSE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(web, manager().GetFocus());
    EXPECT_FALSE(Pre(WM_KEYDOWN, VK_RETURN));
}

TEST_F(KeyboardWindow, KeysGoToTheFocusedControlAndKeyUpToTheOneThatGotKeyDown) {
    a_->SetFocus();
    Send(WM_KEYDOWN, 'Q', 0);
    b_->SetFocus();
    Send(WM_CHAR, 'q', 0);
    Send(WM_KEYUP, 'Q', 0);
    Send(WM_KEYUP, 'Q', 0);
    EXPECT_EQ(Seq({L"a:24", L"a:3", L"a:23", L"b:24", L"b:5", L"a:4"}), Names(log_));
    EXPECT_EQ('Q', log_[1].event.chKey);
    EXPECT_EQ('q', log_[4].event.chKey);
}

TEST_F(KeyboardWindow, SystemKeysReachTheFocusedControlWithoutASender) {
    EXPECT_FALSE(Pre(WM_SYSKEYDOWN, VK_F10));
    EXPECT_TRUE(log_.empty());
    a_->SetFocus();
    log_.clear();
    EXPECT_FALSE(Pre(WM_SYSKEYDOWN, VK_F10));
    ASSERT_EQ(Seq({L"a:6"}), Names(log_));
    EXPECT_EQ(nullptr, log_[0].event.pSender);
    EXPECT_EQ(VK_F10, log_[0].event.chKey);
}

TEST_F(KeyboardWindow, AltLetterFocusesAndActivatesTheControlWithThatShortcut) {
    b_->SetShortcut(L'k');
    EXPECT_TRUE(Pre(WM_SYSCHAR, 'K'));
    EXPECT_EQ(b_, manager().GetFocus());
    EXPECT_EQ(1, b_->activations);
    EXPECT_FALSE(Pre(WM_SYSCHAR, 'z'));
    b_->SetEnabled(false);
    EXPECT_FALSE(Pre(WM_SYSCHAR, 'k'));
}

TEST_F(KeyboardWindow, ALabelsShortcutGoesToTheControlAfterItAndTheFirstOfTwoSharedShortcutsWins) {
    Probe* label = root_->Add(new Probe(log_, L"label", 0, L"LabelUI"), RECT{110, 10, 150, 40});
    Probe* after = root_->Add(new Probe(log_, L"after", UIFLAG_TABSTOP), RECT{110, 50, 150, 80});
    label->SetShortcut(L'N');
    EXPECT_TRUE(Pre(WM_SYSCHAR, 'n'));
    EXPECT_EQ(after, manager().GetFocus());
    EXPECT_EQ(0, label->activations);
    EXPECT_EQ(0, b_->activations);
    EXPECT_EQ(1, after->activations);
    a_->SetShortcut(L'S');
    after->SetShortcut(L'S');
    EXPECT_TRUE(Pre(WM_SYSCHAR, 's'));
    EXPECT_EQ(a_, manager().GetFocus());
}

class CountingFilter : public IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override {
        handled = msg == WM_KEYDOWN;
        return 0;
    }
};

TEST_F(KeyboardWindow, PreMessageFiltersComeFirst) {
    CountingFilter filter;
    manager().AddPreMessageFilter(&filter);
    EXPECT_TRUE(Pre(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(nullptr, manager().GetFocus());
    EXPECT_TRUE(manager().RemovePreMessageFilter(&filter));
}

struct TooltipSearch {
    HWND owner;
    int count;
};

BOOL CALLBACK CountTooltip(HWND wnd, LPARAM data) {
    TooltipSearch* search = reinterpret_cast<TooltipSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    if (_wcsicmp(name, L"tooltips_class32") == 0 && GetWindow(wnd, GW_OWNER) == search->owner) ++search->count;
    return TRUE;
}

// Tooltip windows of this thread owned by the window.
int CountTooltips(HWND owner) {
    TooltipSearch search = {owner, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountTooltip, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

TEST_F(RoutingWindow, HoverShowsTheTooltipAndAClosedWindowMakesANewOneNextTime) {
    a_->SetToolTip(L"first<n>line");
    Send(WM_MOUSEMOVE, 0, Point(20, 20));
    log_.clear();
    EXPECT_TRUE(Send(WM_MOUSEHOVER, 0, Point(20, 20)) == 0);
    EXPECT_EQ(Seq({L"a:12"}), Names(log_));
    EXPECT_EQ(1, CountTooltips(hwnd()));
    LRESULT result = 0;
    manager().MessageHandler(WM_CLOSE, 0, 0, result);
    EXPECT_EQ(0, CountTooltips(hwnd()));
    Send(WM_MOUSEMOVE, 0, Point(21, 21));
    Send(WM_MOUSEHOVER, 0, Point(21, 21));
    EXPECT_EQ(1, CountTooltips(hwnd()));
    Send(WM_MOUSEMOVE, 0, Point(90, 90));
    EXPECT_TRUE(manager().MessageHandler(WM_MOUSEHOVER, 0, 0, result));
    Send(WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
    EXPECT_FALSE(manager().MessageHandler(WM_MOUSEHOVER, 0, 0, result));
}

}  // namespace
