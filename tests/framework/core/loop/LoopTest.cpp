// The message loop and its pre-translation: accelerators and pre-message handlers of
// the managers a message concerns, messages for child windows, a failing message that
// the loop survives, and the modal loop that goes through the same pre-translation.
#include <UIManager.h>
#include <WindowWnd.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

using namespace HiveUI;

namespace {

const UINT kPlain = WM_USER + 10;
const UINT kThrowInFilter = WM_USER + 11;
const UINT kThrowInAccelerator = WM_USER + 12;
const UINT kTranslated = WM_USER + 13;
const UINT kFiltered = WM_USER + 14;
const UINT kLast = WM_USER + 15;

// A framework window that notes every message of interest reaching its procedure.
class LoopWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveLoopWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) {
            manager.Init(m_hWnd);
            return 0;
        }
        if (msg >= WM_USER) dispatched.push_back(msg);
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    CPaintManagerUI manager;
    std::vector<UINT> dispatched;
};

class Accelerator : public ITranslateAccelerator {
public:
    LRESULT TranslateAccelerator(MSG* msg) override {
        if (msg->message < WM_USER) return 1;
        seen.push_back(msg->message);
        if (msg->message == kThrowInAccelerator) throw std::runtime_error("accelerator");
        return msg->message == kTranslated ? 0 : 1;
    }
    std::vector<UINT> seen;
};

class PreFilter : public IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override {
        if (msg < WM_USER) return 0;
        seen.push_back(msg);
        if (msg == kThrowInFilter) throw std::runtime_error("filter");
        handled = msg == kFiltered || takeAll;
        return 0;
    }
    std::vector<UINT> seen;
    bool takeAll = false;
};

void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class LoopTest : public testing::Test {
protected:
    void SetUp() override {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, host_.Create(nullptr, L"loop", WS_POPUP | WS_VISIBLE, 0, 50, 50, 200, 150));
        host_.manager.AddTranslateAccelerator(&accelerator_);
        host_.manager.AddPreMessageFilter(&filter_);
        Drain();
        host_.dispatched.clear();
    }
    void TearDown() override {
        host_.manager.RemoveTranslateAccelerator(&accelerator_);
        host_.manager.RemovePreMessageFilter(&filter_);
        if (IsWindow(host_.GetHWND())) DestroyWindow(host_.GetHWND());
        Drain();
    }
    bool Pre(HWND target, UINT message) {
        MSG msg = {target, message, 0, 0, 0, {0, 0}};
        return CPaintManagerUI::PreTranslateMessage(&msg);
    }
    HWND hwnd() const { return host_.GetHWND(); }

    LoopWnd host_;
    Accelerator accelerator_;
    PreFilter filter_;
};

TEST_F(LoopTest, AnExceptionWhileOneMessageIsHandledIsDiscardedAndTheLoopGoesOn) {
    PostMessageW(hwnd(), kThrowInFilter, 0, 0);
    PostMessageW(hwnd(), kPlain, 0, 0);
    PostMessageW(hwnd(), kThrowInAccelerator, 0, 0);
    PostMessageW(hwnd(), kTranslated, 0, 0);
    PostMessageW(hwnd(), kFiltered, 0, 0);
    PostMessageW(hwnd(), kLast, 0, 0);
    PostQuitMessage(3);
    CPaintManagerUI::MessageLoop();
    EXPECT_EQ((std::vector<UINT>{kPlain, kLast}), host_.dispatched);
    EXPECT_EQ((std::vector<UINT>{kThrowInFilter, kPlain, kThrowInAccelerator, kTranslated, kFiltered, kLast}),
              accelerator_.seen);
    // The accelerator that translated a message keeps it from the pre-message filters.
    EXPECT_EQ((std::vector<UINT>{kThrowInFilter, kPlain, kFiltered, kLast}), filter_.seen);
}

TEST_F(LoopTest, AcceleratorsAreTriedInOrderUntilOneTranslates) {
    struct Fixed : ITranslateAccelerator {
        LRESULT answer;
        int calls = 0;
        explicit Fixed(LRESULT a) : answer(a) {}
        LRESULT TranslateAccelerator(MSG*) override {
            ++calls;
            return answer;
        }
    } refuses(1), translates(0), never(0);
    CPaintManagerUI manager;
    manager.AddTranslateAccelerator(&refuses);
    manager.AddTranslateAccelerator(&translates);
    manager.AddTranslateAccelerator(&never);
    MSG msg = {};
    EXPECT_TRUE(manager.TranslateAccelerator(&msg));
    EXPECT_EQ(1, refuses.calls);
    EXPECT_EQ(1, translates.calls);
    EXPECT_EQ(0, never.calls);
    EXPECT_TRUE(manager.RemoveTranslateAccelerator(&translates));
    EXPECT_FALSE(manager.RemoveTranslateAccelerator(&translates));
    EXPECT_TRUE(manager.TranslateAccelerator(&msg));
    EXPECT_EQ(1, never.calls);
    manager.RemoveTranslateAccelerator(&never);
    EXPECT_FALSE(manager.TranslateAccelerator(&msg));
}

TEST_F(LoopTest, OnlyTheManagerOfTheTargetWindowDecides) {
    LoopWnd other;
    ASSERT_NE(nullptr, other.Create(nullptr, L"other", WS_POPUP, 0, 0, 0, 50, 50));
    EXPECT_TRUE(Pre(hwnd(), kTranslated));
    EXPECT_TRUE(Pre(hwnd(), kFiltered));
    EXPECT_FALSE(Pre(hwnd(), kPlain));
    EXPECT_FALSE(Pre(other.GetHWND(), kTranslated));
    EXPECT_FALSE(Pre(nullptr, kTranslated));
    HWND bare = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(Pre(bare, kTranslated));
    DestroyWindow(bare);
    DestroyWindow(other.GetHWND());
    EXPECT_EQ((std::vector<UINT>{kTranslated, kFiltered, kPlain}), accelerator_.seen);
}

TEST_F(LoopTest, AChildWindowsMessageIsOfferedToTheManagersAroundItButStillDispatched) {
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd(), nullptr, nullptr,
                                 nullptr);
    HWND grandchild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, child, nullptr, nullptr,
                                      nullptr);
    filter_.takeAll = true;
    EXPECT_FALSE(Pre(child, kPlain));
    EXPECT_FALSE(Pre(grandchild, kFiltered));
    EXPECT_TRUE(Pre(grandchild, kTranslated));
    EXPECT_EQ((std::vector<UINT>{kPlain, kFiltered, kTranslated}), accelerator_.seen);
    EXPECT_EQ((std::vector<UINT>{kPlain, kFiltered}), filter_.seen);
    DestroyWindow(child);
}

// A framework window nested two levels inside another: each of the two managers sees
// the message once, however many levels the walk passes.
TEST_F(LoopTest, EveryManagerSeesAChildWindowsMessageOnce) {
    HWND middle = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, hwnd(), nullptr,
                                  nullptr, nullptr);
    LoopWnd inner;
    ASSERT_NE(nullptr, inner.Create(middle, L"inner", WS_CHILD | WS_VISIBLE, 0, 0, 0, 50, 50));
    Accelerator innerAccelerator;
    PreFilter innerFilter;
    inner.manager.AddTranslateAccelerator(&innerAccelerator);
    inner.manager.AddPreMessageFilter(&innerFilter);
    EXPECT_FALSE(Pre(inner.GetHWND(), kPlain));
    EXPECT_EQ(std::vector<UINT>{kPlain}, innerAccelerator.seen);
    EXPECT_EQ(std::vector<UINT>{kPlain}, innerFilter.seen);
    EXPECT_EQ(std::vector<UINT>{kPlain}, accelerator_.seen);
    EXPECT_EQ(std::vector<UINT>{kPlain}, filter_.seen);
    inner.manager.RemoveTranslateAccelerator(&innerAccelerator);
    inner.manager.RemovePreMessageFilter(&innerFilter);
    DestroyWindow(middle);
}

TEST_F(LoopTest, TheModalLoopPreTranslatesThroughTheManagers) {
    LoopWnd modal;
    ASSERT_NE(nullptr, modal.Create(hwnd(), L"modal", WS_POPUP, 0, 60, 60, 100, 80));
    Accelerator modalAccelerator;
    modal.manager.AddTranslateAccelerator(&modalAccelerator);
    PostMessageW(modal.GetHWND(), kTranslated, 0, 0);
    PostMessageW(modal.GetHWND(), kPlain, 0, 0);
    PostMessageW(modal.GetHWND(), WM_CLOSE, 4, 0);
    EXPECT_EQ(4u, modal.ShowModal());
    EXPECT_EQ((std::vector<UINT>{kTranslated, kPlain}), modalAccelerator.seen);
    EXPECT_EQ(std::vector<UINT>{kPlain}, modal.dispatched);
    modal.manager.RemoveTranslateAccelerator(&modalAccelerator);
}

}  // namespace
