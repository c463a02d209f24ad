#include "PageTimers.h"

#include <algorithm>

namespace engine {
namespace {

// Browsers cap delays at the largest signed 32-bit count; a repeating timer runs at most
// every few milliseconds, so an interval of 0 cannot keep the thread busy.
const double kLongestDelay = 2147483647.0;
const uint32_t kShortestInterval = 4;

}  // namespace

int PageTimers::Add(uint64_t now, double delay, bool repeat) {
    const double clamped = delay > 0 && delay <= kLongestDelay ? delay : 0;
    uint32_t interval = static_cast<uint32_t>(clamped);
    if (repeat) interval = std::max(interval, kShortestInterval);
    const int id = nextId_;
    nextId_ = nextId_ == 0x7FFFFFFF ? 1 : nextId_ + 1;
    timers_.push_back(Timer{now + interval, nextOrder_++, id, interval, repeat});
    return id;
}

void PageTimers::Remove(int id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                  timers_.end());
}

bool PageTimers::TakeDue(uint64_t now, int& id, bool& repeat) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timers_.end() || next->due > now) return false;
    id = next->id;
    repeat = next->repeat;
    if (repeat) {
        next->due = now + next->interval;
        next->order = nextOrder_++;
    } else {
        timers_.erase(next);
    }
    return true;
}

int64_t PageTimers::Wait(uint64_t now) const {
    int64_t wait = -1;
    for (const Timer& t : timers_) {
        const int64_t left = t.due > now ? static_cast<int64_t>(t.due - now) : 0;
        if (wait < 0 || left < wait) wait = left;
    }
    return wait;
}

}  // namespace engine
