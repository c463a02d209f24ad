// Notifications: synchronous delivery order, queued delivery through one posted
// WM_APP + 1, senders that go away while their notification waits.
#include "../routing/RoutingKit.h"

using namespace HiveUI;

namespace {

using Seq = std::vector<std::wstring>;

// Every sink writes "name:type" into one shared journal, so order across sinks shows.
class Sink : public INotifyUI {
public:
    Sink(Seq& journal, const wchar_t* name) : journal_(journal), name_(name) {}
    void Notify(TNotifyInfo& msg) override {
        journal_.push_back(name_ + L":" + msg.sType.GetData());
        senders.push_back(msg.pSender);
        virtualWnds.push_back(msg.sVirtualWnd.GetData());
        last = msg;
    }
    std::vector<CControlUI*> senders;
    Seq virtualWnds;
    TNotifyInfo last;

private:
    Seq& journal_;
    std::wstring name_;
};

struct DelegateRecorder {
    Seq* journal;
    bool Seen(void* param) {
        journal->push_back(std::wstring(L"delegate:") + static_cast<TNotifyInfo*>(param)->sType.GetData());
        return true;
    }
};

int PendingDeferred(HWND wnd) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, wnd, WM_APP + 1, WM_APP + 1, PM_REMOVE)) ++count;
    return count;
}

TEST_F(RoutingWindow, SynchronousNotificationsReachTheSendersDelegatesThenEveryNotifierInOrder) {
    Seq journal;
    Sink first(journal, L"first");
    Sink second(journal, L"second");
    DelegateRecorder recorder{&journal};
    a_->OnNotify += MakeDelegate(&recorder, &DelegateRecorder::Seen);
    EXPECT_TRUE(manager().AddNotifier(&first));
    EXPECT_TRUE(manager().AddNotifier(&second));
    EXPECT_TRUE(manager().AddNotifier(&first));
    Send(WM_MOUSEMOVE, 0, Point(33, 44));
    const DWORD before = GetTickCount();
    manager().SendNotify(a_, L"click", 7, 9);
    EXPECT_EQ(Seq({L"delegate:click", L"first:click", L"second:click", L"first:click"}), journal);
    EXPECT_EQ(0, PendingDeferred(hwnd()));
    EXPECT_EQ(a_, first.last.pSender);
    EXPECT_EQ(7u, first.last.wParam);
    EXPECT_EQ(9, first.last.lParam);
    EXPECT_EQ(33, first.last.ptMouse.x);
    EXPECT_EQ(44, first.last.ptMouse.y);
    EXPECT_GE(first.last.dwTimestamp, before);
    // Removing takes out the first equal entry only.
    EXPECT_TRUE(manager().RemoveNotifier(&first));
    journal.clear();
    manager().SendNotify(b_, L"click");
    EXPECT_EQ(Seq({L"second:click", L"first:click"}), journal);
    EXPECT_TRUE(manager().RemoveNotifier(&first));
    EXPECT_FALSE(manager().RemoveNotifier(&first));
    EXPECT_TRUE(manager().RemoveNotifier(&second));
}

TEST_F(RoutingWindow, QueuedNotificationsWaitForOnePostedMessageAndArriveInOrderThroughTheWindow) {
    Seq journal;
    Sink sink(journal, L"sink");
    manager().AddNotifier(&sink);
    manager().SendNotify(a_, L"one", 0, 0, true);
    manager().SendNotify(b_, L"two", 0, 0, true);
    manager().SendNotify(a_, L"three", 0, 0, true);
    EXPECT_TRUE(journal.empty());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, hwnd(), WM_APP + 1, WM_APP + 1, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
    EXPECT_EQ(0, msg.lParam);
    EXPECT_EQ(0, PendingDeferred(hwnd()));
    DispatchMessageW(&msg);
    EXPECT_EQ(Seq({L"sink:one", L"sink:two", L"sink:three"}), journal);
    EXPECT_EQ((std::vector<CControlUI*>{a_, b_, a_}), sink.senders);
    // The pending flag went with the message, so the next one posts again.
    manager().SendNotify(b_, L"four", 0, 0, true);
    EXPECT_EQ(1, PendingDeferred(hwnd()));
    manager().RemoveNotifier(&sink);
}

TEST_F(RoutingWindow, AControlDeletedWhileItsNotificationWaitsIsDeliveredWithoutASender) {
    Seq journal;
    Sink sink(journal, L"sink");
    manager().AddNotifier(&sink);
    manager().SendNotify(a_, L"gone", 0, 0, true);
    manager().SendNotify(b_, L"stays", 0, 0, true);
    manager().SendNotify(a_, L"gone again", 0, 0, true);
    root_->children.erase(root_->children.begin());
    delete a_;
    Pump();
    EXPECT_EQ(Seq({L"sink:gone", L"sink:stays", L"sink:gone again"}), journal);
    EXPECT_EQ((std::vector<CControlUI*>{nullptr, b_, nullptr}), sink.senders);
    manager().RemoveNotifier(&sink);
}

// A notifier that deletes another control while the queue is being delivered.
class DeletingSink : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override {
        senders.push_back(msg.pSender);
        if (victim == nullptr) return;
        box->children.erase(std::find(box->children.begin(), box->children.end(), victim));
        delete victim;
        victim = nullptr;
    }
    TestBox* box = nullptr;
    CControlUI* victim = nullptr;
    std::vector<CControlUI*> senders;
};

TEST_F(RoutingWindow, AControlDeletedDuringDeliveryLeavesItsLaterNotificationsWithoutASender) {
    DeletingSink sink;
    sink.box = root_;
    sink.victim = b_;
    manager().AddNotifier(&sink);
    manager().SendNotify(a_, L"first", 0, 0, true);
    manager().SendNotify(b_, L"second", 0, 0, true);
    Pump();
    EXPECT_EQ((std::vector<CControlUI*>{a_, nullptr}), sink.senders);
    manager().RemoveNotifier(&sink);
}

TEST_F(RoutingWindow, ASenderDeletedByANotifierReachesTheLaterNotifiersAsNone) {
    DeletingSink deleting;
    deleting.box = root_;
    Seq journal;
    Sink later(journal, L"later");
    manager().AddNotifier(&deleting);
    manager().AddNotifier(&later);
    deleting.victim = a_;
    manager().SendNotify(a_, L"now");
    deleting.victim = b_;
    manager().SendNotify(b_, L"queued", 0, 0, true);
    Pump();
    EXPECT_EQ((std::vector<CControlUI*>{a_, b_}), deleting.senders);
    EXPECT_EQ((std::vector<CControlUI*>{nullptr, nullptr}), later.senders);
    manager().RemoveNotifier(&deleting);
    manager().RemoveNotifier(&later);
}

TEST(WindowlessManager, NotificationsQueuedBeforeTheWindowIsBoundArriveOnceItIs) {
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HostWnd host;
    Seq journal;
    Sink sink(journal, L"sink");
    host.manager.AddNotifier(&sink);
    host.manager.SendNotify(nullptr, L"early", 0, 0, true);
    ASSERT_NE(nullptr, host.Create(nullptr, L"late", WS_POPUP, 0, 0, 0, 10, 10));
    Pump();
    EXPECT_EQ(Seq({L"sink:early"}), journal);
    DestroyWindow(host.GetHWND());
}

TEST_F(RoutingWindow, VirtualWindowNamesComeFromTheNearestAncestorAndOnlyOnTheSynchronousPath) {
    Seq journal;
    Sink sink(journal, L"sink");
    manager().AddNotifier(&sink);
    TestBox* page = root_->Add(new TestBox, RECT{100, 10, 190, 90});
    Probe* inner = page->Add(new Probe(log_, L"inner"), RECT{110, 20, 130, 40});
    page->SetVirtualWnd(L"page");
    manager().SetUsedVirtualWnd(true);
    manager().SendNotify(inner, L"sync");
    manager().SendNotify(a_, L"plain");
    manager().SendNotify(inner, L"async", 0, 0, true);
    Pump();
    EXPECT_EQ(Seq({L"page", L"", L""}), sink.virtualWnds);
    manager().RemoveNotifier(&sink);
}

TEST_F(RoutingWindow, DelayedCleanupDetachesAtOnceAndDeletesBeforeQueuedNotifications) {
    struct Watch : INotifyUI {
        bool* deleted;
        bool deletedFirst = false;
        void Notify(TNotifyInfo&) override { deletedFirst = *deleted; }
    };
    bool deleted = false;
    struct Doomed : CControlUI {
        bool* flag;
        explicit Doomed(bool* f) : flag(f) {}
        ~Doomed() override { *flag = true; }
    };
    Doomed* doomed = new Doomed(&deleted);
    doomed->SetManager(&manager(), root_, false);
    Watch watch;
    watch.deleted = &deleted;
    manager().AddNotifier(&watch);
    manager().AddDelayedCleanup(nullptr);
    manager().SendNotify(b_, L"after", 0, 0, true);
    manager().AddDelayedCleanup(doomed);
    EXPECT_EQ(nullptr, doomed->GetParent());
    EXPECT_EQ(&manager(), doomed->GetManager());
    EXPECT_FALSE(deleted);
    Pump();
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(watch.deletedFirst);
    manager().RemoveNotifier(&watch);
}

}  // namespace
