#include "DecodeBudget.h"

#include <cstdlib>

namespace {

// Each block starts with its size and the budget it was taken from, so that a free,
// which names no size, gives back exactly what was taken, and only to that budget. The
// header keeps the alignment malloc gives.
struct BlockHeader {
    size_t size;
    uint64_t owner;  // 0: taken outside every budget
};
const size_t kHeader = 16;
static_assert(sizeof(BlockHeader) <= kHeader, "the block header fits its room");

thread_local DecodeBudget* t_budget = nullptr;
std::atomic<uint64_t> g_serials{0};

BlockHeader* HeaderOf(void* block) { return reinterpret_cast<BlockHeader*>(static_cast<char*>(block) - kHeader); }

void* Placed(void* raw, size_t size, uint64_t owner) {
    BlockHeader* header = static_cast<BlockHeader*>(raw);
    header->size = size;
    header->owner = owner;
    return static_cast<char*>(raw) + kHeader;
}

}  // namespace

DecodeBudget::DecodeBudget(size_t limit) : limit_(limit), serial_(++g_serials), outer_(t_budget) { t_budget = this; }

DecodeBudget::DecodeBudget(size_t limit, DecodePool& pool, uint64_t ticket, const std::atomic<bool>* gone)
    : DecodeBudget(limit) {
    pool_ = &pool;
    ticket_ = ticket;
    gone_ = gone;
    pool.Enter(ticket);
}

DecodeBudget::~DecodeBudget() {
    Give(held_);
    if (pool_ != nullptr) pool_->Leave(ticket_);
    t_budget = outer_;
}

bool DecodeBudget::Keep(size_t bytes) { return pool_ == nullptr || TakeFromPool(bytes); }

bool DecodeBudget::TakeFromPool(size_t bytes) {
    switch (pool_->Take(static_cast<long long>(bytes), ticket_, gone_)) {
    case DecodePool::Answer::Taken: return true;
    case DecodePool::Answer::GiveWay: gaveWay_ = true; return false;
    default: return false;
    }
}

bool DecodeBudget::Take(size_t bytes) {
    if (bytes > limit_ - held_ || (gone_ != nullptr && gone_->load())) return false;
    if (pool_ != nullptr && !TakeFromPool(bytes)) return false;
    if (outer_ != nullptr && !outer_->Take(bytes)) {
        if (pool_ != nullptr) pool_->Return(static_cast<long long>(bytes));
        return false;
    }
    held_ += bytes;
    return true;
}

void DecodeBudget::Give(size_t bytes) {
    held_ -= bytes;
    if (pool_ != nullptr && bytes != 0) pool_->Return(static_cast<long long>(bytes));
    if (outer_ != nullptr) outer_->Give(bytes);
}

extern "C" void* DecodeBudgetMalloc(size_t size) {
    if (size > SIZE_MAX - kHeader) return nullptr;
    DecodeBudget* budget = t_budget;
    if (budget != nullptr && !budget->Take(size)) return nullptr;
    void* raw = std::malloc(kHeader + size);
    if (raw == nullptr) {
        if (budget != nullptr) budget->Give(size);
        return nullptr;
    }
    return Placed(raw, size, budget != nullptr ? budget->serial_ : 0);
}

extern "C" void* DecodeBudgetRealloc(void* block, size_t size) {
    if (block == nullptr) return DecodeBudgetMalloc(size);
    if (size > SIZE_MAX - kHeader) return nullptr;
    BlockHeader* header = HeaderOf(block);
    DecodeBudget* budget = t_budget;
    // What the budget holds for the block: its size when the block is the budget's own.
    const size_t held = budget != nullptr && header->owner == budget->serial_ ? header->size : 0;
    if (budget != nullptr && size > held && !budget->Take(size - held)) return nullptr;
    void* raw = std::realloc(header, kHeader + size);
    if (raw == nullptr) {
        if (budget != nullptr && size > held) budget->Give(size - held);
        return nullptr;  // the block stays as it was
    }
    if (budget != nullptr && size < held) budget->Give(held - size);
    return Placed(raw, size, budget != nullptr ? budget->serial_ : 0);
}

extern "C" void DecodeBudgetFree(void* block) {
    if (block == nullptr) return;
    BlockHeader* header = HeaderOf(block);
    DecodeBudget* budget = t_budget;
    if (budget != nullptr && header->owner == budget->serial_) budget->Give(header->size);
    std::free(header);
}
