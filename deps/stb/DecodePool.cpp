#include "DecodePool.h"

namespace {

bool Gone(const std::atomic<bool>* gone) { return gone != nullptr && gone->load(); }

}  // namespace

DecodePool::DecodePool(long long bytes) : size_(bytes), left_(bytes) {}

long long DecodePool::Left() {
    std::lock_guard<std::mutex> lock(mutex_);
    return left_;
}

uint64_t DecodePool::Ticket() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ++nextTicket_;
}

void DecodePool::Give(long long bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    left_ += bytes;
    ++ends_;
    changed_.notify_all();
}

void DecodePool::Wake() {
    std::lock_guard<std::mutex> lock(mutex_);
    changed_.notify_all();
}

bool DecodePool::AwaitRoom(const std::atomic<bool>* gone) {
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t seen = ends_;
    changed_.wait(lock, [&] { return Gone(gone) || ends_ != seen || underWay_.empty(); });
    return !Gone(gone);
}

// A decode that starts may have become the first in line: the one waiting looks again.
void DecodePool::Enter(uint64_t ticket) {
    std::lock_guard<std::mutex> lock(mutex_);
    underWay_.insert(ticket);
    changed_.notify_all();
}

void DecodePool::Leave(uint64_t ticket) {
    std::lock_guard<std::mutex> lock(mutex_);
    underWay_.erase(underWay_.find(ticket));
    ++ends_;
    changed_.notify_all();
}

DecodePool::Answer DecodePool::Take(long long bytes, uint64_t ticket, const std::atomic<bool>* gone) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (Gone(gone)) return Answer::Refused;
        if (bytes <= left_) {
            left_ -= bytes;
            return Answer::Taken;
        }
        if (underWay_.size() <= 1) return Answer::Refused;
        if (*underWay_.begin() != ticket) return Answer::GiveWay;
        changed_.wait(lock);
    }
}

void DecodePool::Return(long long bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    left_ += bytes;
    changed_.notify_all();
}
