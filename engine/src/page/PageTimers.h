// The timers a page sets with setTimeout and setInterval: which one is due next, in the
// order a browser runs them (by due time, then by the order they were set).
#pragma once

#include <cstdint>
#include <vector>

namespace engine {

class PageTimers {
public:
    // A new timer due delay milliseconds after now; its id is never 0.
    int Add(uint64_t now, double delay, bool repeat);
    void Remove(int id);
    void Clear() { timers_.clear(); }
    // The earliest timer due at now, if any; a repeating one is set again from now.
    bool TakeDue(uint64_t now, int& id, bool& repeat);
    // Milliseconds from now until the next timer is due; -1 when none is set.
    int64_t Wait(uint64_t now) const;

private:
    struct Timer {
        uint64_t due;
        uint64_t order;
        int id;
        uint32_t interval;
        bool repeat;
    };

    std::vector<Timer> timers_;
    int nextId_ = 1;
    uint64_t nextOrder_ = 0;
};

}  // namespace engine
