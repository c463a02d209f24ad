// What one picture's decoding may take of the process's memory. stb_image allocates
// through the three hooks below; while a DecodeBudget lives, the decodes of its thread
// may hold at most its limit at once, drawn as well from a pool shared by several
// decodes (one document's pictures) when one is given. An allocation beyond either fails,
// and the decoder gives up as it does when memory runs out. Outside a budget the hooks
// allocate as malloc does.
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

class DecodeBudget {
public:
    // pool, when given, holds the bytes left to every decode that draws on it.
    explicit DecodeBudget(size_t limit, std::atomic<long long>* pool = nullptr);
    // What blocks of this budget still hold goes back to the pool: from here on they are
    // their owner's to account for.
    ~DecodeBudget();
    DecodeBudget(const DecodeBudget&) = delete;
    DecodeBudget& operator=(const DecodeBudget&) = delete;

private:
    friend void* ::DecodeBudgetMalloc(size_t);
    friend void* ::DecodeBudgetRealloc(void*, size_t);
    friend void ::DecodeBudgetFree(void*);

    bool Take(size_t bytes);
    void Give(size_t bytes);

    size_t limit_;
    std::atomic<long long>* pool_;
    size_t held_ = 0;
    uint64_t serial_;       // marks the blocks allocated under this budget
    DecodeBudget* outer_;   // the thread's budget before this one
};

#endif
