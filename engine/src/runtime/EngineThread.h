// One named engine thread: a Win32 thread with a message loop and a task queue that a
// hidden message-only window drains, so tasks also run inside modal loops and windows
// can be created on it.
#pragma once

#include <windows.h>

#include <deque>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "include/cef_task.h"

namespace engine {

class EngineThread {
public:
    EngineThread() = default;
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;
    ~EngineThread();

    // Starts a thread of its own in two halves, so that threads come up side by side:
    // Launch returns at once (false when the thread could not be started), AwaitReady
    // waits until the thread's queue exists (false when it could not be had).
    bool Launch();
    bool AwaitReady();
    // Uses the calling thread instead, whose own message loop then runs the tasks.
    bool Attach();
    // Runs the tasks queued so far, ends the loop and joins the thread.
    void Stop();

    bool Post(CefRefPtr<CefTask> task);
    bool IsCurrent() const;

private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void RegisterQueueWindowClass();
    bool CreateQueueWindow();
    void RunTasks();

    std::thread thread_;
    HANDLE ready_ = nullptr;
    HWND window_ = nullptr;
    std::atomic<DWORD> threadId_{0};
    bool owned_ = false;
    std::mutex mutex_;
    std::deque<CefRefPtr<CefTask>> tasks_;
    bool accepting_ = false;
};

}  // namespace engine
