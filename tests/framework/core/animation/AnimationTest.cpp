// Frame animations driven by their owner's manager timers: hook order over a run,
// looping, refused starts, stopping, and hooks that stop or restart their animation.
#include <UIAnimation.h>

#include "../routing/RoutingKit.h"

#include <functional>

using namespace HiveUI;

namespace {

using Seq = std::vector<std::wstring>;

// An animated control that passes its timer events on and writes down every hook.
class AnimatedProbe : public CControlUI, public CUIAnimation {
public:
    AnimatedProbe() : CUIAnimation(this) {}
    void DoEvent(TEventInfo& event) override {
        if (event.Type == UIEVENT_TIMER) OnAnimationElapse(static_cast<int>(event.wParam));
    }
    void OnAnimationStart(int id, bool firstTime) override {
        hooks.push_back(L"start" + std::to_wstring(id) + (firstTime ? L"!" : L""));
        if (onStart) onStart(id);
    }
    void OnAnimationStep(int total, int frame, int id) override {
        hooks.push_back(std::to_wstring(id) + L":" + std::to_wstring(frame) + L"/" + std::to_wstring(total));
        if (onStep) onStep(id, frame);
    }
    void OnAnimationStop(int id) override {
        hooks.push_back(L"stop" + std::to_wstring(id));
        if (onStop) onStop(id);
    }
    Seq hooks;
    std::function<void(int)> onStart;
    std::function<void(int, int)> onStep;
    std::function<void(int)> onStop;
};

class AnimationWindow : public RoutingWindow {
protected:
    void SetUp() override {
        RoutingWindow::SetUp();
        probe_ = root_->Add(new AnimatedProbe, RECT{0, 0, 10, 10});
    }
    void Tick(UINT win32Id, int times = 1) {
        for (int i = 0; i < times; ++i) Send(WM_TIMER, win32Id, 0);
    }
    bool SystemTimerEnds(UINT win32Id) { return KillTimer(hwnd(), win32Id) != FALSE; }
    static Seq Steps(int id, int from, int to, int total) {
        Seq steps;
        for (int frame = from; frame <= to; ++frame) {
            steps.push_back(std::to_wstring(id) + L":" + std::to_wstring(frame) + L"/" + std::to_wstring(total));
        }
        return steps;
    }
    static Seq Join(std::initializer_list<Seq> parts) {
        Seq all;
        for (const Seq& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    }
    AnimatedProbe* probe_ = nullptr;
};

TEST_F(AnimationWindow, FifteenFramesGiveSixteenStepsBetweenOneStartAndOneStop) {
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 1, false));
    EXPECT_TRUE(probe_->IsAnimationRunning(1));
    EXPECT_EQ(0, probe_->GetCurrentFrame(1));
    Tick(17, 3);
    EXPECT_EQ(3, probe_->GetCurrentFrame(1));
    Tick(17, 13);
    EXPECT_EQ(Join({{L"start1!"}, Steps(1, 0, 15, 15), {L"stop1"}}), probe_->hooks);
    EXPECT_FALSE(probe_->IsAnimationRunning(1));
    EXPECT_EQ(-1, probe_->GetCurrentFrame(1));
    EXPECT_FALSE(SystemTimerEnds(17));
    probe_->hooks.clear();
    Tick(17);
    EXPECT_TRUE(probe_->hooks.empty());
}

TEST_F(AnimationWindow, ALoopingAnimationStartsOnceAndRunsFramesOneToNAfterEachStop) {
    ASSERT_TRUE(probe_->StartAnimation(10, 3, 2, true));
    Tick(17, 9);
    EXPECT_EQ(Join({{L"start2!"}, Steps(2, 0, 3, 3), {L"stop2"}, Steps(2, 1, 3, 3), {L"stop2"}, Steps(2, 1, 2, 3)}),
              probe_->hooks);
    EXPECT_TRUE(probe_->IsAnimationRunning(2));
    EXPECT_EQ(3, probe_->GetCurrentFrame(2));
    EXPECT_TRUE(SystemTimerEnds(17));
}

TEST_F(AnimationWindow, InvalidAndDuplicateStartsAreRefused) {
    EXPECT_FALSE(probe_->StartAnimation(0, 15, 1, false));
    EXPECT_FALSE(probe_->StartAnimation(-5, 15, 1, false));
    EXPECT_FALSE(probe_->StartAnimation(10, 0, 1, false));
    EXPECT_FALSE(probe_->IsAnimationRunning(1));
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 1, false));
    EXPECT_FALSE(probe_->StartAnimation(20, 5, 1, true));
    probe_->StopAnimation(1);
    EXPECT_FALSE(probe_->IsAnimationRunning(1));
    // Started again, it re-arms the manager's killed timer with its old Win32 id.
    EXPECT_TRUE(probe_->StartAnimation(10, 15, 1, false));
    EXPECT_TRUE(SystemTimerEnds(17));
    // A timer of the owner's that is not an animation holds the id.
    ASSERT_TRUE(manager().SetTimer(probe_, 5, 1000000));
    EXPECT_FALSE(probe_->StartAnimation(10, 15, 5, false));
    EXPECT_FALSE(probe_->IsAnimationRunning(5));
    CUIAnimation ownerless(nullptr);
    EXPECT_FALSE(ownerless.StartAnimation(10, 15, 1, false));
    ownerless.StopAnimation(0);
    AnimatedProbe detached;
    EXPECT_FALSE(detached.StartAnimation(10, 15, 1, false));
}

TEST_F(AnimationWindow, SetCurrentFrameAcceptsZeroToTheTotalOnly) {
    EXPECT_FALSE(probe_->SetCurrentFrame(1, 3));
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 3, false));
    EXPECT_TRUE(probe_->SetCurrentFrame(15, 3));
    EXPECT_FALSE(probe_->SetCurrentFrame(16, 3));
    EXPECT_FALSE(probe_->SetCurrentFrame(-1, 3));
    EXPECT_EQ(15, probe_->GetCurrentFrame(3));
    Tick(17);
    EXPECT_EQ((Seq{L"3:15/15", L"stop3"}), probe_->hooks);
    EXPECT_FALSE(probe_->IsAnimationRunning(3));
}

TEST_F(AnimationWindow, StoppingOneOrAllKillsTheirTimersWithoutTheStopHook) {
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 1, false));
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 2, true));
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 3, false));
    ASSERT_TRUE(probe_->StartAnimation(10, 15, 4, false));
    probe_->StopAnimation(9);
    probe_->StopAnimation(4);
    EXPECT_FALSE(SystemTimerEnds(20));
    Tick(18);
    EXPECT_EQ((Seq{L"start2!", L"2:0/15"}), probe_->hooks);
    probe_->hooks.clear();
    probe_->StopAnimation(0);
    for (int id = 1; id <= 3; ++id) EXPECT_FALSE(probe_->IsAnimationRunning(id));
    for (UINT win32Id = 17; win32Id <= 19; ++win32Id) EXPECT_FALSE(SystemTimerEnds(win32Id)) << win32Id;
    Tick(17);
    Tick(18);
    EXPECT_TRUE(probe_->hooks.empty());
}

// Hooks that stop or restart their own animation: the tick must not go on with the
// record they replaced, nor remove the new one.
TEST_F(AnimationWindow, AStopHookThatRestartsKeepsTheNewRunFromItsFirstFrame) {
    int restarts = 0;
    probe_->onStop = [&](int id) {
        if (restarts++ > 0) return;
        probe_->StopAnimation(id);
        probe_->StartAnimation(10, 2, id, false);
    };
    ASSERT_TRUE(probe_->StartAnimation(10, 1, 1, false));
    Tick(17, 2);
    EXPECT_TRUE(probe_->IsAnimationRunning(1));
    EXPECT_EQ(0, probe_->GetCurrentFrame(1));
    Tick(17, 3);
    EXPECT_EQ(Join({{L"start1!"}, Steps(1, 0, 1, 1), {L"stop1", L"start1!"}, Steps(1, 0, 2, 2), {L"stop1"}}),
              probe_->hooks);
    EXPECT_FALSE(probe_->IsAnimationRunning(1));
}

TEST_F(AnimationWindow, AStepHookThatRestartsOrStopsEndsTheTickWithTheOldRecord) {
    bool restarted = false;
    probe_->onStep = [&](int id, int frame) {
        if (frame == 2 && !restarted) {
            restarted = true;
            probe_->StopAnimation(id);
            probe_->StartAnimation(10, 5, id, false);
        }
    };
    ASSERT_TRUE(probe_->StartAnimation(10, 5, 1, false));
    Tick(17, 3);
    EXPECT_EQ(0, probe_->GetCurrentFrame(1));
    Tick(17);
    EXPECT_EQ(Join({{L"start1!"}, Steps(1, 0, 2, 5), {L"start1!", L"1:0/5"}}), probe_->hooks);
    probe_->onStart = [&](int id) { probe_->StopAnimation(id); };
    ASSERT_TRUE(probe_->StartAnimation(10, 5, 2, false));
    probe_->hooks.clear();
    Tick(18);
    EXPECT_EQ((Seq{L"start2!"}), probe_->hooks);
    EXPECT_FALSE(probe_->IsAnimationRunning(2));
}

}  // namespace
