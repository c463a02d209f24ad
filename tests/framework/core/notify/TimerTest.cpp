// Control timers: Win32 ids handed out per window, refusal of running timers, re-arming
// with the old id, and ids that stay unique once the counter wraps.
#include "../routing/RoutingKit.h"

#include <map>

using namespace HiveUI;

namespace {

const UINT kLong = 1000000;

class TimerWindow : public RoutingWindow {
protected:
    // Events that reach controls when the window gets WM_TIMER with this Win32 id.
    EventLog Tick(UINT win32Id) {
        log_.clear();
        Send(WM_TIMER, win32Id, 0x55);
        return log_;
    }
    // Whether the system holds a timer with this id for the window; the probe ends it.
    bool SystemTimerEnds(UINT win32Id) { return KillTimer(hwnd(), win32Id) != FALSE; }
};

TEST_F(TimerWindow, TheFirstIdIsSeventeenAndEachTickCarriesTheLocalIdAndLParam) {
    ASSERT_TRUE(manager().SetTimer(a_, 42, kLong));
    ASSERT_TRUE(manager().SetTimer(a_, 43, kLong));
    EventLog seen = Tick(17);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"a", seen[0].control);
    EXPECT_EQ(UIEVENT_TIMER, seen[0].event.Type);
    EXPECT_EQ(42u, seen[0].event.wParam);
    EXPECT_EQ(0x55, seen[0].event.lParam);
    EXPECT_EQ(a_, seen[0].event.pSender);
    seen = Tick(18);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(43u, seen[0].event.wParam);
    EXPECT_TRUE(Tick(19).empty());
    EXPECT_TRUE(SystemTimerEnds(17));
    EXPECT_TRUE(SystemTimerEnds(18));
}

TEST_F(TimerWindow, ARunningTimerIsRefusedAndAKilledOneRestartsWithItsOldId) {
    ASSERT_TRUE(manager().SetTimer(a_, 1, kLong));
    ASSERT_TRUE(manager().SetTimer(b_, 1, kLong));
    EXPECT_FALSE(manager().SetTimer(a_, 1, kLong));
    EXPECT_TRUE(manager().KillTimer(a_, 1));
    EXPECT_FALSE(manager().KillTimer(a_, 1));
    EXPECT_FALSE(SystemTimerEnds(17));
    EXPECT_TRUE(Tick(17).empty());
    EXPECT_TRUE(manager().SetTimer(a_, 1, kLong));
    EventLog seen = Tick(17);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"a", seen[0].control);
    // A new timer after the re-arm still gets the next id.
    ASSERT_TRUE(manager().SetTimer(a_, 2, kLong));
    seen = Tick(19);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(2u, seen[0].event.wParam);
}

TEST_F(TimerWindow, RemovedTimersFreeTheirRecordsSoTheSameLocalIdGetsANewWin32Id) {
    ASSERT_TRUE(manager().SetTimer(a_, 1, kLong));
    ASSERT_TRUE(manager().SetTimer(a_, 2, kLong));
    ASSERT_TRUE(manager().SetTimer(b_, 1, kLong));
    manager().KillControlTimers(a_);
    EXPECT_FALSE(SystemTimerEnds(17));
    EXPECT_FALSE(SystemTimerEnds(18));
    EXPECT_TRUE(Tick(17).empty());
    ASSERT_TRUE(manager().SetTimer(a_, 1, kLong));
    EXPECT_EQ(L"a", Tick(20).at(0).control);
    manager().RemoveAllTimers();
    EXPECT_TRUE(Tick(19).empty());
    EXPECT_TRUE(Tick(20).empty());
    EXPECT_FALSE(SystemTimerEnds(19));
    EXPECT_FALSE(SystemTimerEnds(20));
}

TEST_F(TimerWindow, AfterTwoHundredThirtyNineTheIdsStartAgainAtZero) {
    for (UINT local = 0; local < 223; ++local) ASSERT_TRUE(manager().SetTimer(a_, local, kLong)) << local;
    EXPECT_EQ(222u, Tick(239).at(0).event.wParam);
    ASSERT_TRUE(manager().SetTimer(b_, 7, kLong));
    EventLog seen = Tick(0);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"b", seen[0].control);
    EXPECT_EQ(7u, seen[0].event.wParam);
}

// Short-lived timers churn through the ids while a few controls keep theirs: once the
// counter wraps, new timers must step over the held ids, or the system would replace a
// held control's timer and one of the two controls would never get its ticks again.
TEST_F(TimerWindow, TwoHundredFiftyCreationsNeverShareAnIdWithALiveOrKilledRecord) {
    std::vector<Probe*> live;
    auto addProbe = [&](const std::wstring& name) {
        Probe* probe = root_->Add(new Probe(log_, name.c_str()), RECT{0, 0, 1, 1});
        live.push_back(probe);
        return probe;
    };
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(manager().SetTimer(addProbe(L"keep" + std::to_wstring(i)), 9, kLong));
    // One keeper's timer is killed but kept for re-arming; its id stays held.
    ASSERT_TRUE(manager().KillTimer(live[5], 9));
    Probe* churn = root_->Add(new Probe(log_, L"churn"), RECT{0, 0, 1, 1});
    int created = 6;
    for (; created < 240; ++created) {
        ASSERT_TRUE(manager().SetTimer(churn, 3, kLong)) << created;
        manager().KillControlTimers(churn);
    }
    for (; created < 250; ++created) {
        ASSERT_TRUE(manager().SetTimer(addProbe(L"late" + std::to_wstring(created)), 4, kLong));
    }
    EXPECT_TRUE(Tick(22).empty());
    ASSERT_TRUE(manager().SetTimer(live[5], 9, kLong));
    std::map<std::wstring, UINT> idOf;
    for (UINT id = 0; id < 240; ++id) {
        EventLog tick = Tick(id);
        ASSERT_LE(tick.size(), 1u);
        if (tick.empty()) continue;
        EXPECT_TRUE(idOf.emplace(tick[0].control, id).second) << id;
    }
    ASSERT_EQ(live.size(), idOf.size());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(17u + i, idOf[L"keep" + std::to_wstring(i)]);
    for (const auto& entry : idOf) EXPECT_TRUE(SystemTimerEnds(entry.second)) << entry.second;
}

TEST_F(TimerWindow, WhenEveryIdIsHeldANewTimerIsRefused) {
    for (UINT local = 0; local < 240; ++local) ASSERT_TRUE(manager().SetTimer(a_, local, kLong)) << local;
    EXPECT_FALSE(manager().SetTimer(b_, 1, kLong));
    EXPECT_TRUE(manager().KillTimer(a_, 100));
    EXPECT_FALSE(manager().SetTimer(b_, 1, kLong));
    manager().KillControlTimers(a_);
    EXPECT_TRUE(manager().SetTimer(b_, 1, kLong));
}

}  // namespace
