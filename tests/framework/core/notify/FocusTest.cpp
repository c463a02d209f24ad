// Keyboard focus: the order of the focus events and notifications, refusal of controls
// that cannot hold the focus, tab order through nested boxes, and focus requests that
// complete at the next paint.
#include "../routing/RoutingKit.h"

using namespace HiveUI;

namespace {

using Seq = std::vector<std::wstring>;

class FocusJournal : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override {
        if (msg.sType != L"setfocus" && msg.sType != L"killfocus") return;
        seen.push_back(msg.pSender->GetName().GetData() + std::wstring(L":") + msg.sType.GetData());
    }
    Seq seen;
};

class FocusWindow : public RoutingWindow {
protected:
    void SetUp() override {
        RoutingWindow::SetUp();
        manager().AddNotifier(&journal_);
    }
    void TearDown() override {
        manager().RemoveNotifier(&journal_);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        RoutingWindow::TearDown();
    }
    // A Tab key message for the window as the message loop would see it.
    bool Tab(bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg = {hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        return CPaintManagerUI::PreTranslateMessage(&msg);
    }
    void Paint() { UpdateWindow(hwnd()); }
    std::wstring Focused() {
        CControlUI* focus = manager().GetFocus();
        return focus != nullptr ? focus->GetName().GetData() : L"-";
    }
    FocusJournal journal_;
};

TEST_F(FocusWindow, TheFirstPaintAfterAttachingATreeFocusesTheFirstTabStop) {
    manager().AttachRoot(new TestBox);
    a_ = b_ = nullptr;
    TestBox* root = static_cast<TestBox*>(manager().GetRoot());
    root->Add(new Probe(log_, L"plain"), RECT{0, 0, 5, 5});
    root->Add(new Probe(log_, L"stop", UIFLAG_TABSTOP), RECT{5, 0, 10, 5});
    Paint();
    EXPECT_EQ(L"stop", Focused());
}

TEST_F(FocusWindow, KillFocusComesBeforeSetFocusAndNamesTheGainingControl) {
    manager().SetFocus(a_);
    log_.clear();
    journal_.seen.clear();
    manager().SetFocus(b_);
    EXPECT_EQ(Seq({L"a:killfocus", L"b:setfocus"}), journal_.seen);
    ASSERT_EQ(Seq({L"a:23", L"b:24"}), Names(log_));
    EXPECT_EQ(b_, log_[0].event.pSender);
    EXPECT_FALSE(a_->IsFocused());
    EXPECT_TRUE(b_->IsFocused());
    EXPECT_EQ(hwnd(), GetFocus());
}

TEST_F(FocusWindow, FocusingTheFocusedControlSendsNothing) {
    manager().SetFocus(a_);
    log_.clear();
    journal_.seen.clear();
    manager().SetFocus(a_);
    a_->SetFocus();
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(journal_.seen.empty());
    EXPECT_EQ(a_, manager().GetFocus());
}

TEST_F(FocusWindow, ControlsThatCannotHoldTheFocusLeaveNoneFocused) {
    Probe foreign(log_, L"foreign");
    Probe* hidden = root_->Add(new Probe(log_, L"hidden"), RECT{0, 0, 5, 5});
    Probe* disabled = root_->Add(new Probe(log_, L"disabled"), RECT{0, 0, 5, 5});
    hidden->SetVisible(false);
    disabled->SetEnabled(false);
    for (CControlUI* refused : std::vector<CControlUI*>{&foreign, hidden, disabled, nullptr}) {
        manager().SetFocus(a_);
        journal_.seen.clear();
        manager().SetFocus(refused);
        EXPECT_EQ(Seq({L"a:killfocus"}), journal_.seen);
        EXPECT_EQ(nullptr, manager().GetFocus());
        EXPECT_FALSE(a_->IsFocused());
    }
}

// Tree order: a, b, then a box holding a hidden stop, c and a disabled stop, then d.
TEST_F(FocusWindow, TabAndShiftTabWrapAndSkipHiddenAndDisabledStopsInNestedBoxes) {
    TestBox* box = root_->Add(new TestBox, RECT{100, 0, 200, 100});
    Probe* hidden = box->Add(new Probe(log_, L"hidden", UIFLAG_TABSTOP), RECT{100, 0, 120, 20});
    box->Add(new Probe(log_, L"c", UIFLAG_TABSTOP), RECT{120, 0, 140, 20});
    Probe* disabled = box->Add(new Probe(log_, L"disabled", UIFLAG_TABSTOP), RECT{140, 0, 160, 20});
    root_->Add(new Probe(log_, L"d", UIFLAG_TABSTOP), RECT{160, 50, 180, 70});
    root_->Add(new Probe(log_, L"plain"), RECT{160, 80, 180, 90});
    hidden->SetVisible(false);
    disabled->SetEnabled(false);
    UpdateWindow(hwnd());
    const struct {
        bool shift;
        const wchar_t* focus;
    } steps[] = {{false, L"a"}, {false, L"b"}, {false, L"c"}, {false, L"d"}, {false, L"a"},
                 {true, L"d"},  {true, L"c"},  {true, L"b"},  {true, L"a"},  {true, L"d"}};
    for (const auto& step : steps) {
        EXPECT_TRUE(Tab(step.shift));
        EXPECT_EQ(step.focus, Focused());
    }
    box->SetVisible(false);
    UpdateWindow(hwnd());
    manager().SetFocus(b_);
    EXPECT_TRUE(Tab(false));
    EXPECT_EQ(L"d", Focused());
}

TEST_F(FocusWindow, TabWhileALayoutIsPendingWaitsForTheNextPaint) {
    root_->Add(new Probe(log_, L"c", UIFLAG_TABSTOP), RECT{120, 0, 140, 20});
    manager().SetFocus(a_);
    b_->NeedLayout();
    EXPECT_TRUE(Tab(false));
    EXPECT_EQ(L"a", Focused());
    Paint();
    EXPECT_EQ(L"b", Focused());
}

// A native editing window that closes hands the focus back: the focused control loses
// it at once, and the next paint moves the focus onto the requested control.
TEST_F(FocusWindow, RequestedFocusArrivesAtTheNextPaint) {
    Probe* c = root_->Add(new Probe(log_, L"c", UIFLAG_TABSTOP), RECT{120, 0, 140, 20});
    manager().SetFocus(c);
    journal_.seen.clear();
    SetFocus(nullptr);
    manager().RequestFocus(b_);
    EXPECT_EQ(hwnd(), GetFocus());
    EXPECT_EQ(Seq({L"c:killfocus"}), journal_.seen);
    EXPECT_FALSE(c->IsFocused());
    EXPECT_TRUE(manager().IsUpdateNeeded());
    EXPECT_TRUE(root_->IsLayoutNeeded());
    Paint();
    EXPECT_EQ(b_, manager().GetFocus());
    EXPECT_TRUE(b_->IsFocused());
    // The stop before the requested control only marks where the move starts.
    EXPECT_EQ(Seq({L"c:killfocus", L"b:setfocus"}), journal_.seen);
}

TEST_F(FocusWindow, RequestingTheFirstStopFocusesIt) {
    manager().SetFocus(b_);
    manager().RequestFocus(a_);
    Paint();
    EXPECT_EQ(a_, manager().GetFocus());
}

TEST_F(FocusWindow, RequestWithoutAControlOnlyFocusesTheWindow) {
    manager().SetFocus(a_);
    SetFocus(nullptr);
    journal_.seen.clear();
    manager().RequestFocus(nullptr);
    EXPECT_EQ(hwnd(), GetFocus());
    EXPECT_EQ(a_, manager().GetFocus());
    EXPECT_TRUE(journal_.seen.empty());
}

}  // namespace
