// base::Closure: a bound call with no arguments and no result, run later.
#pragma once

#include <functional>
#include <utility>

namespace base {

class Closure {
public:
    Closure() = default;
    explicit Closure(std::function<void()> run) : run_(std::move(run)) {}

    void Run() const {
        if (run_) run_();
    }
    bool is_null() const { return !run_; }
    void Reset() { run_ = nullptr; }

private:
    std::function<void()> run_;
};

}  // namespace base
