#include "RoutingKit.h"

using namespace HiveUI;

namespace {

class NotifyLog : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override {
        types.push_back(msg.sType.GetData());
        senders.push_back(msg.pSender);
    }
    std::vector<std::wstring> types;
    std::vector<CControlUI*> senders;
};

// Counts the WM_APP + 1 messages waiting for the window.
int PendingDeferred(HWND wnd) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, wnd, WM_APP + 1, WM_APP + 1, PM_REMOVE)) ++count;
    return count;
}

TEST_F(RoutingWindow, QueuedNotificationsShareOnePostAndArriveInOrderAfterCleanup) {
    NotifyLog log;
    manager().AddNotifier(&log);
    manager().SendNotify(a_, L"first", 0, 0, true);
    manager().SendNotify(b_, L"second", 0, 0, true);
    root_->children.erase(root_->children.begin());
    manager().AddDelayedCleanup(a_);
    EXPECT_EQ(root_, manager().FindControlAt(POINT{20, 20}));
    EXPECT_TRUE(log.types.empty());
    EXPECT_EQ(1, PendingDeferred(hwnd()));
    LRESULT result = 0;
    EXPECT_FALSE(manager().MessageHandler(WM_APP + 1, 0, 0, result));
    EXPECT_EQ((std::vector<std::wstring>{L"first", L"second"}), log.types);
    EXPECT_EQ(nullptr, log.senders[0]);
    EXPECT_EQ(b_, log.senders[1]);
    manager().SendNotify(b_, L"third", 0, 0, true);
    EXPECT_EQ(1, PendingDeferred(hwnd()));
    manager().RemoveNotifier(&log);
}

TEST_F(RoutingWindow, ControlsThatAskForLayoutArePlacedAgainAtTheNextPaint) {
    struct SizeCount {
        int count = 0;
        bool Sized(void*) {
            ++count;
            return true;
        }
    } sized;
    b_->OnSize += MakeDelegate(&sized, &SizeCount::Sized);
    b_->NeedLayout();
    EXPECT_TRUE(manager().IsUpdateNeeded());
    UpdateWindow(hwnd());
    EXPECT_EQ(1, sized.count);
    EXPECT_FALSE(b_->IsLayoutNeeded());
    EXPECT_EQ(40, b_->GetPos().left);
    EXPECT_EQ(100, b_->GetPos().bottom);
}

TEST_F(RoutingWindow, AFloatingControlInAnOffsetParentKeepsItsPlaceWhenLaidOutAgain) {
    TestBox* inner = root_->Add(new TestBox, RECT{100, 60, 180, 140});
    Probe* floating = inner->Add(new Probe(log_, L"float"), RECT{110, 70, 130, 90});
    floating->SetFloat(true);
    UpdateWindow(hwnd());
    floating->NeedLayout();
    UpdateWindow(hwnd());
    EXPECT_FALSE(floating->IsLayoutNeeded());
    EXPECT_EQ(110, floating->GetPos().left);
    EXPECT_EQ(90, floating->GetPos().bottom);
}

TEST_F(RoutingWindow, LosingTheKeyboardFocusReleasesTheMouse) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 20));
    ASSERT_TRUE(manager().IsCaptured());
    LRESULT result = 0;
    manager().MessageHandler(WM_KILLFOCUS, 0, 0, result);
    EXPECT_FALSE(manager().IsCaptured());
}

}  // namespace
