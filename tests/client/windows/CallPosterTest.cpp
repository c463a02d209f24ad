// Carrying calls to a window's thread, and waiting for something other threads report.
#include <chrono>
#include <thread>

#include "ClientWindowKit.h"
#include "WindowCallPoster.h"

namespace {

std::unique_ptr<TWindowControlCall> Call(int first) {
    return std::unique_ptr<TWindowControlCall>(new TWindowControlCall{TWindowControlCall::Border, first, 0, L"text"});
}

TEST(CallPoster, CallsArriveInOrderAndAClosedWindowFreesWhatWasQueuedAndRefusesMore) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWindowCallPoster poster;
    EXPECT_FALSE(poster.Post(Call(0)));  // not open yet
    poster.Open(wnd);
    std::thread([&] {
        EXPECT_TRUE(poster.Post(Call(1)));
        EXPECT_TRUE(poster.Post(Call(2)));
    }).join();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, wnd, WM_WINDOW_CONTROL, WM_WINDOW_CONTROL, PM_REMOVE));
    const std::unique_ptr<TWindowControlCall> first = CWindowCallPoster::Take(msg.wParam);
    EXPECT_EQ(1, first->first);
    EXPECT_EQ(L"text", first->text);

    poster.Close();  // the second call is still queued
    EXPECT_FALSE(PeekMessageW(&msg, wnd, WM_WINDOW_CONTROL, WM_WINDOW_CONTROL, PM_NOREMOVE));
    std::thread([&] { EXPECT_FALSE(poster.Post(Call(3))); }).join();
    EXPECT_FALSE(PeekMessageW(&msg, wnd, WM_WINDOW_CONTROL, WM_WINDOW_CONTROL, PM_NOREMOVE));
    DestroyWindow(wnd);
}

TEST(MessagePump, RunsMessagesUntilDoneOrTheBoundPasses) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::thread late([wnd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        SetWindowTextW(wnd, L"done");  // sent: needs the waiting thread to run messages
    });
    EXPECT_TRUE(PumpMessagesUntil([wnd] { return GetWindowTextLengthW(wnd) == 4; }, 30000));
    late.join();

    // A posted message that done() has already seen (peeked, left queued) still wakes
    // the wait: it is handled long before the bound.
    PostMessageW(wnd, WM_APP, 0, 0);
    ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(PumpMessagesUntil(
        [wnd] {
            MSG msg;
            return !PeekMessageW(&msg, wnd, WM_APP, WM_APP, PM_NOREMOVE);
        },
        60000));
    EXPECT_LT(GetTickCount64() - start, 30000u);

    start = GetTickCount64();
    EXPECT_FALSE(PumpMessagesUntil([] { return false; }, 200));
    EXPECT_GE(GetTickCount64() - start, 200u);
    DestroyWindow(wnd);
}

}  // namespace
