#include "RoutingKit.h"

using namespace HiveUI;

namespace {

using Seq = std::vector<std::wstring>;

TEST_F(RoutingWindow, LeftButtonGoesToTheTopmostControlAndCapturesTheMouse) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 50));
    EXPECT_EQ(Seq({L"b:24", L"b:13"}), Names(log_));
    EXPECT_EQ(b_, manager().GetFocus());
    EXPECT_TRUE(manager().IsCaptured());
    EXPECT_EQ(hwnd(), GetCapture());
    EXPECT_EQ(MK_LBUTTON, log_.back().event.wKeyState);
    EXPECT_EQ(50, log_.back().event.ptMouse.x);
    log_.clear();
    Send(WM_LBUTTONUP, 0, Point(5, 5));
    EXPECT_EQ(Seq({L"b:14"}), Names(log_));
    EXPECT_FALSE(manager().IsCaptured());
    EXPECT_EQ(nullptr, GetCapture());
    log_.clear();
    Send(WM_LBUTTONUP, 0, Point(50, 50));
    EXPECT_TRUE(log_.empty());
}

TEST_F(RoutingWindow, DoubleClickAndMiddleButtonReachTheControlUnderTheMouse) {
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(20, 20));
    Send(WM_LBUTTONUP, 0, Point(20, 20));
    Send(WM_MBUTTONDOWN, MK_MBUTTON, Point(90, 90));
    Send(WM_MBUTTONUP, 0, Point(20, 20));
    EXPECT_EQ(Seq({L"a:19", L"a:14", L"b:24", L"b:17", L"a:18"}), Names(log_));
}

TEST_F(RoutingWindow, RightClickThenContextMenuGivesTheMenuEventAndLeavesNothingPressed) {
    Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(20, 20));
    EXPECT_TRUE(manager().IsCaptured());
    // Straight to the manager: the window's default answer to the release would send
    // its own WM_CONTEXTMENU at the release point.
    LRESULT result = 0;
    EXPECT_FALSE(manager().MessageHandler(WM_RBUTTONUP, 0, Point(20, 20), result));
    EXPECT_FALSE(manager().IsCaptured());
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), Screen(22, 23));
    EXPECT_EQ(Seq({L"a:24", L"a:15", L"a:16", L"a:20"}), Names(log_));
    const TEventInfo& menu = log_.back().event;
    EXPECT_EQ(reinterpret_cast<LPARAM>(a_), menu.lParam);
    EXPECT_EQ(22, menu.ptMouse.x);
    EXPECT_EQ(23, menu.ptMouse.y);
    log_.clear();
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), Screen(22, 23));
    Send(WM_LBUTTONUP, 0, Point(20, 20));
    EXPECT_TRUE(log_.empty());
}

TEST_F(RoutingWindow, WheelTowardTheUserGivesOneAndIsFollowedByAMouseMove) {
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), Screen(50, 50));
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(UIEVENT_SCROLLWHEEL, log_.front().event.Type);
    EXPECT_EQ(1u, log_.front().event.wParam);
    EXPECT_EQ(L"b:9", Names(log_).back());
    log_.clear();
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), Screen(20, 20));
    ASSERT_EQ(Seq({L"a:21"}), Names(log_, UIEVENT_SCROLLWHEEL));
    EXPECT_EQ(0u, log_.front().event.wParam);
}

TEST_F(RoutingWindow, MovingAcrossControlsLeavesTheOldAndEntersTheNew) {
    Send(WM_MOUSEMOVE, 0, Point(20, 20));
    Send(WM_MOUSEMOVE, 0, Point(50, 50));
    Send(WM_MOUSEMOVE, 0, Point(150, 120));
    EXPECT_EQ(Seq({L"a:11", L"a:9", L"a:10", L"b:11", L"b:9", L"b:10"}), Names(log_));
}

TEST_F(RoutingWindow, WhileCapturedMovesGoToThePressedControlAndHoverStays) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 20));
    log_.clear();
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(90, 90));
    EXPECT_EQ(Seq({L"a:9"}), Names(log_));
}

class FilterAll : public IMessageFilterUI {
public:
    explicit FilterAll(UINT which) : which_(which) {}
    LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override {
        if (msg == which_) handled = true;
        return 77;
    }

private:
    UINT which_;
};

TEST_F(RoutingWindow, AFilterThatHandlesAButtonStillUpdatesTheMousePosition) {
    FilterAll buttons(WM_LBUTTONDOWN);
    FilterAll wheel(WM_MOUSEWHEEL);
    manager().AddMessageFilter(&buttons);
    manager().AddMessageFilter(&wheel);
    EXPECT_EQ(77, Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(33, 44)));
    EXPECT_EQ(33, manager().GetMousePos().x);
    EXPECT_EQ(44, manager().GetMousePos().y);
    Send(WM_MOUSEWHEEL, 0, Screen(12, 13));
    EXPECT_EQ(12, manager().GetMousePos().x);
    EXPECT_EQ(13, manager().GetMousePos().y);
    EXPECT_TRUE(log_.empty());
    EXPECT_FALSE(manager().IsCaptured());
    EXPECT_TRUE(manager().RemoveMessageFilter(&buttons));
    EXPECT_FALSE(manager().RemoveMessageFilter(&buttons));
    manager().RemoveMessageFilter(&wheel);
}

TEST_F(RoutingWindow, DragStartsOnlyWhenTheLeftButtonAloneIsDown) {
    b_->SetDragEnabled(true);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 50));
    log_.clear();
    Send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, Point(52, 52));
    EXPECT_EQ(Seq({L"b:9"}), Names(log_));
    EXPECT_TRUE(manager().IsCaptured());
    log_.clear();
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(55, 55));
    EXPECT_TRUE(log_.empty());
    EXPECT_FALSE(manager().IsCaptured());
    Send(WM_LBUTTONUP, 0, Point(55, 55));
    log_.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 20));
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(22, 22));
    EXPECT_EQ(L"a:9", Names(log_).back());
}

TEST_F(RoutingWindow, ControlsOfAnotherManagerEndTheHandlingAndNeverStayPressed) {
    CPaintManagerUI other;
    Probe* foreign = root_->Add(new Probe(log_, L"f"), RECT{120, 10, 180, 60});
    foreign->SetManager(&other, root_, false);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(150, 30));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(150, 30));
    Send(WM_RBUTTONUP, 0, Point(150, 30));
    root_->children.pop_back();
    delete foreign;
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), Screen(150, 30));
    EXPECT_TRUE(log_.empty());
}

TEST_F(RoutingWindow, ThePressedControlFollowsTheMouseAcrossAControlOfAnotherManager) {
    CPaintManagerUI other;
    Probe* foreign = root_->Add(new Probe(log_, L"f"), RECT{120, 10, 180, 60});
    foreign->SetManager(&other, root_, false);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 20));
    log_.clear();
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(150, 30));
    EXPECT_EQ(Seq({L"a:9"}), Names(log_));
    EXPECT_EQ(150, log_.back().event.ptMouse.x);
    Send(WM_LBUTTONUP, 0, Point(150, 30));
    log_.clear();
    Send(WM_MOUSEMOVE, 0, Point(151, 31));
    EXPECT_TRUE(log_.empty());
    root_->children.pop_back();
    delete foreign;
}

TEST_F(RoutingWindow, SetCursorReachesOnlyControlsThatAskForIt) {
    SetCursorPos(205, 205);
    Probe* cursor = root_->Add(new Probe(log_, L"c", UIFLAG_SETCURSOR), RECT{0, 0, 10, 10});
    cursor->SetManager(&manager(), root_, false);
    LRESULT result = 0;
    const LPARAM client = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_TRUE(manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), client, result));
    EXPECT_EQ(Seq({L"c:26"}), Names(log_));
    log_.clear();
    EXPECT_FALSE(manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCAPTION, 0),
                                          result));
    SetCursorPos(225, 225);
    EXPECT_FALSE(manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), client, result));
    EXPECT_TRUE(log_.empty());
    manager().SetCapture();
    EXPECT_TRUE(manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), client, result));
    manager().ReleaseCapture();
}

TEST_F(RoutingWindow, TimersGiveEventsWithTheControlsOwnId) {
    EXPECT_TRUE(manager().SetTimer(a_, 5, 100000));
    EXPECT_FALSE(manager().SetTimer(a_, 5, 100000));
    EXPECT_TRUE(manager().SetTimer(b_, 5, 100000));
    Send(WM_TIMER, 17, 0);
    Send(WM_TIMER, 18, 0);
    EXPECT_EQ(Seq({L"a:27", L"b:27"}), Names(log_));
    EXPECT_EQ(5u, log_[0].event.wParam);
    EXPECT_TRUE(manager().KillTimer(a_, 5));
    EXPECT_FALSE(manager().KillTimer(a_, 5));
    log_.clear();
    Send(WM_TIMER, 17, 0);
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(manager().SetTimer(a_, 5, 100000));
    Send(WM_TIMER, 17, 0);
    EXPECT_EQ(Seq({L"a:27"}), Names(log_));
}

TEST_F(RoutingWindow, SizeGoesToTheFocusedControlAndCloseEndsHoverAndPress) {
    manager().SetFocus(a_);
    log_.clear();
    EXPECT_EQ(0, Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150)));
    EXPECT_EQ(Seq({L"a:25"}), Names(log_));
    EXPECT_EQ(0u, log_[0].event.wParam);
    log_.clear();
    Send(WM_MOUSEMOVE, 0, Point(50, 50));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 50));
    log_.clear();
    Send(WM_CLOSE);
    Seq seq = Names(log_);
    ASSERT_GE(seq.size(), 3u);
    EXPECT_EQ(L"b:10", seq[0]);
    EXPECT_EQ(L"b:14", seq[1]);
    EXPECT_EQ(L"b:23", seq[2]);
    EXPECT_EQ(nullptr, manager().GetFocus());
}

TEST_F(RoutingWindow, MinMaxInfoTakesOnlyPositiveLimits) {
    manager().SetMinInfo(120, 0);
    manager().SetMaxInfo(0, 300);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    info.ptMaxSize = {5, 6};
    LRESULT result = 0;
    EXPECT_FALSE(manager().MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
    EXPECT_EQ(120, info.ptMinTrackSize.x);
    EXPECT_EQ(2, info.ptMinTrackSize.y);
    EXPECT_EQ(3, info.ptMaxTrackSize.x);
    EXPECT_EQ(300, info.ptMaxTrackSize.y);
    EXPECT_EQ(300, info.ptMaxSize.y);
}

}  // namespace
