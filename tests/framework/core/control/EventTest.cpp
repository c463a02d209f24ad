#include <Delegate.h>
#include <UIControl.h>
#include <UIManager.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestBox.h"

using namespace HiveUI;

namespace {

struct Recorder {
    std::vector<int> calls;
    bool answer2 = true;
    bool First(void*) {
        calls.push_back(1);
        return true;
    }
    bool Second(void*) {
        calls.push_back(2);
        return answer2;
    }
    bool Third(void*) {
        calls.push_back(3);
        return true;
    }
};

TEST(EventSource, FiresInOrderUntilADelegateAnswersFalse) {
    Recorder recorder;
    CEventSource source;
    EXPECT_FALSE(static_cast<bool>(source));
    EXPECT_TRUE(source(nullptr));
    source += MakeDelegate(&recorder, &Recorder::First);
    source += MakeDelegate(&recorder, &Recorder::Second);
    source += MakeDelegate(&recorder, &Recorder::Third);
    source += MakeDelegate(&recorder, &Recorder::Second);
    EXPECT_TRUE(static_cast<bool>(source));
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), recorder.calls);
    recorder.calls.clear();
    recorder.answer2 = false;
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ((std::vector<int>{1, 2}), recorder.calls);
}

TEST(EventSource, SameMemberOfAnotherReceiverIsADifferentDelegate) {
    Recorder a, b;
    CEventSource source;
    source += MakeDelegate(&a, &Recorder::First);
    source += MakeDelegate(&b, &Recorder::First);
    source(nullptr);
    EXPECT_EQ(1u, a.calls.size());
    EXPECT_EQ(1u, b.calls.size());
}

// Records the events that reach DoEvent and the notifications its manager sends.
class EventProbe : public CControlUI {
public:
    void DoEvent(TEventInfo& event) override {
        seen.push_back(event.Type);
        CControlUI::DoEvent(event);
    }
    std::vector<int> seen;
};

struct Gate {
    bool open = true;
    int count = 0;
    bool Check(void*) {
        ++count;
        return open;
    }
};

class NotifyLog : public INotifyUI {
public:
    void Notify(TNotifyInfo& msg) override {
        types.push_back(msg.sType.GetData());
        senders.push_back(msg.pSender);
        params.push_back(msg.wParam);
    }
    std::vector<std::wstring> types;
    std::vector<CControlUI*> senders;
    std::vector<WPARAM> params;
};

TEST(ControlEvents, DelegatesAnsweringFalseKeepTheEventFromDoEvent) {
    EventProbe control;
    Gate gate;
    control.OnEvent += MakeDelegate(&gate, &Gate::Check);
    TEventInfo event;
    event.Type = UIEVENT_BUTTONDOWN;
    control.Event(event);
    gate.open = false;
    control.Event(event);
    EXPECT_EQ(2, gate.count);
    EXPECT_EQ((std::vector<int>{UIEVENT_BUTTONDOWN}), control.seen);
}

TEST(ControlEvents, UnhandledEventsGoUpToTheParentButFocusStaysWithTheControl) {
    EventProbe* parent = new EventProbe;
    TestBox root;
    root.Add(parent, RECT{0, 0, 10, 10});
    CControlUI* child = new CControlUI;
    child->SetManager(nullptr, parent, false);
    TEventInfo event;
    for (int type : {UIEVENT_BUTTONDOWN, UIEVENT_SETFOCUS, UIEVENT_KEYDOWN, UIEVENT_KILLFOCUS, UIEVENT_CONTEXTMENU}) {
        event.Type = type;
        child->Event(event);
        if (type == UIEVENT_SETFOCUS) {
            EXPECT_TRUE(child->IsFocused());
        }
    }
    EXPECT_FALSE(child->IsFocused());
    EXPECT_EQ((std::vector<int>{UIEVENT_BUTTONDOWN, UIEVENT_KEYDOWN, UIEVENT_CONTEXTMENU}), parent->seen);
    delete child;
}

TEST(ControlEvents, TimerAndContextMenuEventsBecomeNotifications) {
    CPaintManagerUI manager;
    NotifyLog log;
    manager.AddNotifier(&log);
    EventProbe parent;
    CControlUI control;
    control.SetManager(&manager, &parent, false);
    TEventInfo event;
    event.Type = UIEVENT_TIMER;
    event.wParam = 7;
    control.Event(event);
    event.Type = UIEVENT_CONTEXTMENU;
    event.wParam = 9;
    control.Event(event);
    control.SetContextMenuUsed(true);
    control.Event(event);
    EXPECT_EQ((std::vector<std::wstring>{L"timer", L"menu"}), log.types);
    EXPECT_EQ(&control, log.senders[1]);
    EXPECT_EQ((std::vector<WPARAM>{7, 9}), log.params);
    EXPECT_EQ((std::vector<int>{UIEVENT_CONTEXTMENU}), parent.seen);
    control.SetManager(nullptr, nullptr, false);
}

TEST(ControlEvents, InitFiresOnInitOnlyWithAParentAndDestructionFiresOnDestroy) {
    Gate init, destroy;
    CControlUI parent;
    CControlUI* control = new CControlUI;
    control->OnInit += MakeDelegate(&init, &Gate::Check);
    control->OnDestroy += MakeDelegate(&destroy, &Gate::Check);
    control->SetManager(nullptr, nullptr, true);
    EXPECT_EQ(0, init.count);
    control->SetManager(nullptr, &parent, true);
    EXPECT_EQ(1, init.count);
    delete control;
    EXPECT_EQ(1, destroy.count);
}

TEST(ControlEvents, DestroyedControlIsForgottenByItsManager) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    {
        CPaintManagerUI manager;
        manager.Init(wnd);
        TestBox* root = new TestBox;
        CControlUI* named = root->Add(new CControlUI, RECT{0, 0, 10, 10});
        named->SetName(L"victim");
        manager.AttachRoot(root);
        EXPECT_EQ(named, manager.FindControl(L"victim"));
        manager.SetFocus(named);
        EXPECT_EQ(named, manager.GetFocus());
        manager.SendNotify(named, L"later", 0, 0, true);
        manager.AddPostPaint(named);
        root->children.clear();
        delete named;
        EXPECT_EQ(nullptr, manager.GetFocus());
        EXPECT_EQ(nullptr, manager.FindControl(L"victim"));
        EXPECT_FALSE(manager.RemovePostPaint(named));
        NotifyLog log;
        manager.AddNotifier(&log);
        LRESULT result = 0;
        manager.MessageHandler(WM_APP + 1, 0, 0, result);
        ASSERT_EQ(1u, log.types.size());
        EXPECT_EQ(nullptr, log.senders[0]);
    }
    DestroyWindow(wnd);
}

}  // namespace
