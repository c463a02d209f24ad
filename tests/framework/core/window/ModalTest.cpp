#include "ProbeWnd.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const UINT kRecordOwnerState = WM_APP + 1;
const UINT kDestroySelf = WM_APP + 2;
const UINT kQuit = WM_APP + 3;

// An owner with a modal window owned by it; the modal window notes whether its owner
// was enabled whenever it handles a message of interest.
class ModalTest : public testing::Test {
protected:
    void SetUp() override {
        UseTestModule();
        ASSERT_NE(nullptr, owner_.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 100, 400, 300));
    }
    void TearDown() override {
        if (IsWindow(owner_.GetHWND())) DestroyWindow(owner_.GetHWND());
        PumpMessages();
    }

    ProbeWnd* MakeModal(WindowLog& log, bool onHeap = false) {
        ProbeWnd* modal = onHeap ? new ProbeWnd(log, L"TallyhiveProbeWnd", nullptr, true) : &stackModal_.emplace(log);
        modal->handler = [this](ProbeWnd& self, UINT msg, WPARAM, LPARAM, LRESULT& r) {
            if (msg == kRecordOwnerState) ownerEnabledDuring_.push_back(IsWindowEnabled(owner_.GetHWND()) != FALSE);
            if (msg == WM_CLOSE) {
                ownerEnabledAtClose_.push_back(IsWindowEnabled(owner_.GetHWND()) != FALSE);
                if (refuseCloses_ > 0) {
                    --refuseCloses_;
                    r = 0;
                    return true;
                }
            }
            if (msg == kDestroySelf) DestroyWindow(self.GetHWND());
            if (msg == kQuit) PostQuitMessage(7);
            return false;
        };
        EXPECT_NE(nullptr, modal->Create(owner_.GetHWND(), L"modal", WS_POPUP, 0, 150, 150, 200, 100));
        EXPECT_EQ(owner_.GetHWND(), GetWindow(modal->GetHWND(), GW_OWNER));
        return modal;
    }

    WindowLog ownerLog_;
    ProbeWnd owner_{ownerLog_};
    std::optional<ProbeWnd> stackModal_;
    std::vector<bool> ownerEnabledDuring_;
    std::vector<bool> ownerEnabledAtClose_;
    int refuseCloses_ = 0;
};

struct CloseCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    UINT expected;
};

const CloseCase kCloseCases[] = {
    {"Close(5)", WM_CLOSE, 5, 5},
    {"WM_CLOSE with 0, the system close", WM_CLOSE, 0, 0},
    {"the close command", WM_SYSCOMMAND, SC_CLOSE, 0},
    {"destroyed without WM_CLOSE", kDestroySelf, 0, 0},
};

TEST_F(ModalTest, EachWayOfEndingReturnsItsResultAndReenablesTheOwner) {
    for (const CloseCase& c : kCloseCases) {
        WindowLog log;
        ownerEnabledDuring_.clear();
        ProbeWnd* modal = MakeModal(log);
        modal->PostMessage(kRecordOwnerState);
        if (c.message == WM_CLOSE) {
            modal->Close(static_cast<UINT>(c.wParam));
        } else {
            modal->PostMessage(c.message, c.wParam);
        }
        EXPECT_EQ(c.expected, modal->ShowModal()) << c.name;
        ASSERT_EQ(1u, ownerEnabledDuring_.size()) << c.name;
        EXPECT_FALSE(ownerEnabledDuring_[0]) << c.name << ": the owner is disabled while the window is modal";
        EXPECT_TRUE(IsWindowEnabled(owner_.GetHWND())) << c.name;
        EXPECT_EQ(1, log.finalCount) << c.name;
        EXPECT_EQ(nullptr, modal->GetHWND()) << c.name;
        stackModal_.reset();
    }
}

TEST_F(ModalTest, TheOwnerIsEnabledBeforeTheWindowHandlesItsClose) {
    WindowLog log;
    ProbeWnd* modal = MakeModal(log);
    modal->Close(2);
    EXPECT_EQ(2u, modal->ShowModal());
    ASSERT_EQ(1u, ownerEnabledAtClose_.size());
    EXPECT_TRUE(ownerEnabledAtClose_[0]);
    EXPECT_EQ(owner_.GetHWND(), GetFocus());
}

TEST_F(ModalTest, AWindowThatRefusesToCloseKeepsItsOwnerDisabled) {
    WindowLog log;
    refuseCloses_ = 1;
    ProbeWnd* modal = MakeModal(log);
    modal->Close(4);
    modal->PostMessage(kRecordOwnerState);
    modal->Close(6);
    EXPECT_EQ(6u, modal->ShowModal());
    ASSERT_EQ(1u, ownerEnabledDuring_.size());
    EXPECT_FALSE(ownerEnabledDuring_[0]) << "the refused close left the owner enabled under a modal window";
    ASSERT_EQ(2u, ownerEnabledAtClose_.size());
    EXPECT_TRUE(ownerEnabledAtClose_[1]);
    EXPECT_TRUE(IsWindowEnabled(owner_.GetHWND()));
}

TEST_F(ModalTest, AQuitEndsTheModalLoopAndReachesTheOuterLoop) {
    WindowLog log;
    ProbeWnd* modal = MakeModal(log);
    modal->PostMessage(kQuit);
    EXPECT_EQ(0u, modal->ShowModal());
    EXPECT_TRUE(IsWindowEnabled(owner_.GetHWND()));
    EXPECT_TRUE(IsWindow(modal->GetHWND())) << "a quit does not close the window";
    // The outer loop.
    MSG msg = {};
    bool quit = false;
    while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
        } else {
            DispatchMessageW(&msg);
        }
    }
    ASSERT_TRUE(quit);
    EXPECT_EQ(7u, msg.wParam);
    DestroyWindow(modal->GetHWND());
}

TEST_F(ModalTest, AHeapWindowEndsOnceAndSeesNothingAfterItsFinalMessage) {
    WindowLog log;
    ProbeWnd* modal = MakeModal(log, true);
    modal->Close(3);
    EXPECT_EQ(3u, modal->ShowModal());
    EXPECT_EQ(1, log.finalCount);
    EXPECT_FALSE(log.messageAfterFinal);
    EXPECT_FALSE(log.Saw(WM_NCDESTROY));
    EXPECT_TRUE(IsWindowEnabled(owner_.GetHWND()));
}

}  // namespace
