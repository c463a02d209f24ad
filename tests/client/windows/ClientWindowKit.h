// What the client window tests share: the client's own skin archive (this test program
// carries the client's resources), pumping until something holds, and a helper thread
// that answers a modal window once it shows up.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "MessagePump.h"
#include "ProgramDriver.h"
#include "SkinArchive.h"
#include "UIManager.h"

inline void UseClientSkin() {
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HiveUI::CPaintManagerUI::SetResourceType(4);
    ASSERT_TRUE(UseSkinArchive());
}

inline bool PumpUntil(const std::function<bool()>& done) { return PumpMessagesUntil(done, 30000); }

// Waits on its own thread for a visible window of the class in this process and hands
// it to answer (which posts to it); the test's thread meanwhile runs the modal loop.
class ModalAnswer {
public:
    ModalAnswer(const wchar_t* className, std::function<void(HWND)> answer)
        : thread_([=] {
              HWND wnd = ProgramDriver::WaitForWindow(className, GetCurrentProcessId(), 30000);
              // Known before the answer ends: an answer may go on until the window has gone.
              found_ = wnd;
              if (wnd != nullptr) answer(wnd);
          }) {}
    ~ModalAnswer() { thread_.join(); }
    // The window being answered; null until it was found.
    HWND Found() const { return found_; }
    // It was answered and has gone since.
    bool Gone() const { return found_ != nullptr && !IsWindow(found_); }

private:
    std::atomic<HWND> found_{nullptr};
    std::thread thread_;
};
