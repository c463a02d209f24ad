// What one picture's decoding may take of the process's memory. stb_image allocates
// through the three hooks below; while a DecodeBudget lives, the decodes of its thread
// may hold at most its limit at once, and no more than the budgets it was opened inside
// still allow; with a pool they draw as well on the memory that decodes of other threads
// share (DecodePool). An allocation beyond any of them fails, and the decoder gives up as
// it does when memory runs out. Outside a budget the hooks allocate as malloc does.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

void* DecodeBudgetMalloc(size_t size);
void* DecodeBudgetRealloc(void* block, size_t size);
void DecodeBudgetFree(void* block);

#ifdef __cplusplus
}

#include <atomic>
#include <cstdint>

#include "DecodePool.h"

class DecodeBudget {
public:
    explicit DecodeBudget(size_t limit);
    // A decode drawing on pool in the place ticket gives it, until *gone, when given, holds:
    // its next allocation then fails, so that a decode nobody wants any more stops.
    DecodeBudget(size_t limit, DecodePool& pool, uint64_t ticket, const std::atomic<bool>* gone);
    // What blocks of this budget still hold goes back to the pool and the outer budgets:
    // from here on they are their owner's to account for.
    ~DecodeBudget();
    DecodeBudget(const DecodeBudget&) = delete;
    DecodeBudget& operator=(const DecodeBudget&) = delete;

    // Whether an allocation failed only because other decodes held the pool's room: the
    // decode may be tried again once they have given it back.
    bool GaveWay() const { return gaveWay_; }
    // Takes bytes of the pool that outlive the decode (the pixels it keeps), as an
    // allocation would; they are given back to the pool by whoever keeps them.
    bool Keep(size_t bytes);

private:
    friend void* ::DecodeBudgetMalloc(size_t);
    friend void* ::DecodeBudgetRealloc(void*, size_t);
    friend void ::DecodeBudgetFree(void*);

    bool Take(size_t bytes);
    bool TakeFromPool(size_t bytes);
    void Give(size_t bytes);

    size_t limit_;
    DecodePool* pool_ = nullptr;
    uint64_t ticket_ = 0;
    const std::atomic<bool>* gone_ = nullptr;
    size_t held_ = 0;
    bool gaveWay_ = false;
    uint64_t serial_;       // marks the blocks allocated under this budget
    DecodeBudget* outer_;   // the thread's budget before this one
};

#endif
