// A task made of a function, for work the engine hands to one of its threads.
#pragma once

#include <functional>
#include <utility>

#include "include/cef_task.h"

namespace engine {

class Closure : public CefTask {
public:
    explicit Closure(std::function<void()> work) : work_(std::move(work)) {}
    void Execute() override { work_(); }

private:
    std::function<void()> work_;
    IMPLEMENT_REFCOUNTING(Closure);
};

// Queues work for the thread; false (and the work dropped) when that thread does not run.
inline bool PostWork(CefThreadId thread, std::function<void()> work) {
    return CefPostTask(thread, new Closure(std::move(work)));
}

}  // namespace engine
