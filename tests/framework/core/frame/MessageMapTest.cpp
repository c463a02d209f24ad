// Message maps: which entry a notification reaches, through the class's map, its base
// maps and the virtual-window sub-pumps, and with which arguments.
#include <NotifyPump.h>
#include <UIControl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace HiveUI;

namespace {

class BasePump : public CNotifyPump {
public:
    void OnAnyClick(TNotifyInfo& msg) { Log(L"any-click", msg); }
    void OnAClick(TNotifyInfo& msg) { Log(L"a-click", msg); }
    void OnFirstSelect(TNotifyInfo& msg) { Log(L"first-select", msg); }
    void OnSecondSelect(TNotifyInfo& msg) { Log(L"second-select", msg); }
    void OnValue(WPARAM wParam, LPARAM lParam) {
        calls.push_back(L"value");
        params.push_back({wParam, lParam});
    }
    void OnBroken(TNotifyInfo& msg) { Log(L"broken", msg); }

    std::vector<std::wstring> calls;
    std::vector<TNotifyInfo*> seen;
    std::vector<std::pair<WPARAM, LPARAM>> params;

protected:
    const TMsgMap* GetMessageMap() const override {
        static const TMsgMapEntry entries[] = {
            MsgNotifyEntry(L"click", L"", &BasePump::OnAnyClick),
            MsgNotifyEntry(L"click", L"A", &BasePump::OnAClick),
            MsgNotifyEntry(L"selectchanged", L"", &BasePump::OnFirstSelect),
            MsgNotifyEntry(L"selectchanged", L"", &BasePump::OnSecondSelect),
            MsgParamsEntry(L"valuechanged", L"", &BasePump::OnValue),
            BrokenEntry(),
            MsgMapEnd(),
        };
        static const TMsgMap map = {CNotifyPump::GetMessageMap(), entries};
        return &map;
    }

private:
    void Log(const wchar_t* what, TNotifyInfo& msg) {
        calls.push_back(what);
        seen.push_back(&msg);
    }
    static TMsgMapEntry BrokenEntry() {
        TMsgMapEntry entry = MsgNotifyEntry(L"broken", L"", &BasePump::OnBroken);
        entry.nSig = 7;
        return entry;
    }
};

// A derived window class whose own map handles one type and leaves the rest to its base.
class DerivedPump : public BasePump {
public:
    void OnOwnClick(TNotifyInfo& msg) {
        calls.push_back(L"derived-b-click");
        seen.push_back(&msg);
    }
    void AddSubPump(const wchar_t* name, CNotifyPump* pump) { m_virtualWnds.Insert(name, pump); }

protected:
    const TMsgMap* GetMessageMap() const override {
        static const TMsgMapEntry entries[] = {MsgNotifyEntry(L"click", L"B", &DerivedPump::OnOwnClick), MsgMapEnd()};
        static const TMsgMap map = {BasePump::GetMessageMap(), entries};
        return &map;
    }
};

class Named : public CControlUI {
public:
    explicit Named(const wchar_t* name) { SetName(name); }
};

TNotifyInfo Notification(const wchar_t* type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) {
    TNotifyInfo msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

TEST(MessageMap, ANamedEntryBeatsTheWildcardAndTheLastWildcardWins) {
    Named a(L"A"), other(L"other"), unnamed(L"");
    const struct {
        const wchar_t* type;
        CControlUI* sender;
        const wchar_t* expected;
    } cases[] = {
        {L"click", &a, L"a-click"},
        {L"click", &other, L"any-click"},
        {L"click", nullptr, L"any-click"},  // a queued notification whose sender is gone
        {L"selectchanged", &other, L"second-select"},
        // A sender without a name matches the first entry for any sender by its (empty) name.
        {L"selectchanged", &unnamed, L"first-select"},
        {L"selectchanged", nullptr, L"first-select"},
    };
    for (const auto& c : cases) {
        BasePump pump;
        TNotifyInfo msg = Notification(c.type, c.sender);
        EXPECT_TRUE(pump.Dispatch(msg)) << c.expected;
        ASSERT_EQ(1u, pump.calls.size()) << c.expected;
        EXPECT_EQ(c.expected, pump.calls[0]);
        EXPECT_EQ(&msg, pump.seen[0]);
    }
}

TEST(MessageMap, ParameterHandlersGetTheNotificationsWordAndLong) {
    BasePump pump;
    Named slider(L"slider");
    TNotifyInfo msg = Notification(L"valuechanged", &slider, 42, -7);
    EXPECT_TRUE(pump.Dispatch(msg));
    ASSERT_EQ(1u, pump.params.size());
    EXPECT_EQ(42u, pump.params[0].first);
    EXPECT_EQ(-7, pump.params[0].second);
}

TEST(MessageMap, UnknownTypesAndKindsAreNotHandled) {
    BasePump pump;
    Named a(L"A");
    TNotifyInfo unknown = Notification(L"Click", &a);  // types compare exactly
    EXPECT_FALSE(pump.Dispatch(unknown));
    TNotifyInfo broken = Notification(L"broken", &a);
    EXPECT_FALSE(pump.Dispatch(broken));
    EXPECT_TRUE(pump.calls.empty());
}

TEST(MessageMap, TheDerivedMapComesFirstThenItsBase) {
    DerivedPump pump;
    Named a(L"A"), b(L"B");
    TNotifyInfo forB = Notification(L"click", &b), forA = Notification(L"click", &a);
    EXPECT_TRUE(pump.Dispatch(forB));
    EXPECT_TRUE(pump.Dispatch(forA));
    const std::vector<std::wstring> expected = {L"derived-b-click", L"a-click"};
    EXPECT_EQ(expected, pump.calls);
}

TEST(MessageMap, AVirtualWindowGoesToItsSubPumpFirst) {
    DerivedPump window;
    BasePump page;
    window.AddSubPump(L"Page", &page);
    Named a(L"A");
    TNotifyInfo toPage = Notification(L"click", &a);
    toPage.sVirtualWnd = L"page";
    EXPECT_TRUE(window.Dispatch(toPage));
    EXPECT_EQ(std::vector<std::wstring>{L"a-click"}, page.calls);
    EXPECT_TRUE(window.calls.empty());

    // What the sub-pump does not handle falls back to the window itself.
    BasePump emptyPage;
    DerivedPump other;
    other.AddSubPump(L"page", &emptyPage);
    TNotifyInfo broken = Notification(L"broken", &a);
    broken.sVirtualWnd = L"page";
    EXPECT_FALSE(other.Dispatch(broken));
    TNotifyInfo elsewhere = Notification(L"click", &a);
    elsewhere.sVirtualWnd = L"nopage";
    EXPECT_TRUE(other.Dispatch(elsewhere));
    EXPECT_EQ(std::vector<std::wstring>{L"a-click"}, other.calls);
    EXPECT_TRUE(emptyPage.calls.empty());
}

}  // namespace
