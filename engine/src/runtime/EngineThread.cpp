#include "EngineThread.h"

#include <new>

#include "EngineLog.h"
#include "OutOfMemory.h"

namespace engine {
namespace {

const wchar_t kWindowClass[] = L"TallyhiveEngineTaskWindow";
// Posted once per wake-up; the window then drains the whole queue.
const UINT kRunTasks = WM_APP + 1;
const UINT kQuit = WM_APP + 2;

}  // namespace

EngineThread::~EngineThread() { Stop(); }

bool EngineThread::Launch() {
    RegisterQueueWindowClass();
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ready_ == nullptr) return false;
    owned_ = true;
    // A runtime thread rather than a bare Win32 one: scripts throw C++ exceptions on it, and
    // the runtime's per-thread state must be torn down on the path it expects.
    try {
        thread_ = std::thread([this] { ThreadMain(this); });
    } catch (const std::system_error&) {
        CloseHandle(ready_);
        ready_ = nullptr;
        return false;
    }
    return true;
}

bool EngineThread::AwaitReady() {
    if (ready_ == nullptr) return false;
    WaitForSingleObject(ready_, INFINITE);
    CloseHandle(ready_);
    ready_ = nullptr;
    return window_ != nullptr;
}

bool EngineThread::Attach() {
    RegisterQueueWindowClass();
    owned_ = false;
    threadId_ = GetCurrentThreadId();
    return CreateQueueWindow();
}

void EngineThread::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        accepting_ = false;
    }
    if (owned_ && thread_.joinable() && IsCurrent()) {
        EngineLog::Write(LOGSEVERITY_ERROR, "an engine thread cannot stop itself");
        return;
    }
    if (owned_ && thread_.joinable()) {
        if (window_ != nullptr) PostMessageW(window_, kQuit, 0, 0);
        thread_.join();
    } else if (!owned_ && window_ != nullptr) {
        RunTasks();
        DestroyWindow(window_);
    }
    window_ = nullptr;
    threadId_ = 0;
}

bool EngineThread::Post(CefRefPtr<CefTask> task) {
    if (task == nullptr) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!accepting_) return false;
    tasks_.push_back(task);
    if (tasks_.size() == 1) PostMessageW(window_, kRunTasks, 0, 0);
    return true;
}

bool EngineThread::IsCurrent() const { return threadId_ != 0 && threadId_ == GetCurrentThreadId(); }

DWORD WINAPI EngineThread::ThreadMain(void* param) {
    EngineThread* self = static_cast<EngineThread*>(param);
    self->threadId_ = GetCurrentThreadId();
    const bool created = self->CreateQueueWindow();
    SetEvent(self->ready_);
    if (!created) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// On the starting thread, before any engine thread makes its window: threads that come
// up side by side must not race to register the class.
void EngineThread::RegisterQueueWindowClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);  // fails harmlessly when an earlier start registered it
}

bool EngineThread::CreateQueueWindow() {
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    accepting_ = true;
    return true;
}

// Each task is taken off the queue before it runs, so one that throws cannot stall the rest.
void EngineThread::RunTasks() {
    for (;;) {
        CefRefPtr<CefTask> task;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (tasks_.empty()) return;
            task = tasks_.front();
            tasks_.pop_front();
        }
        try {
            task->Execute();
        } catch (const std::bad_alloc&) {
            LogOutOfMemory("a task on an engine thread");
        } catch (...) {
            EngineLog::Write(LOGSEVERITY_ERROR, "a task on an engine thread threw an exception");
        }
    }
}

LRESULT CALLBACK EngineThread::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto* self = reinterpret_cast<EngineThread*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr && msg == kRunTasks) {
            self->RunTasks();
            return 0;
        }
        if (self != nullptr && msg == kQuit) {
            self->RunTasks();
            DestroyWindow(hwnd);
            PostQuitMessage(0);
            return 0;
        }
    } catch (const std::bad_alloc&) {
        LogOutOfMemory("a message on an engine thread");
    } catch (...) {
        EngineLog::Write(LOGSEVERITY_ERROR, "a task on an engine thread threw an exception");
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace engine
