// What one script context's heap may hold. Duktape allocates through it; a request past
// the budget is refused, and Duktape answers the refusal with its out-of-memory error to
// the script, as a browser keeps a tab from taking the process's address space.
#pragma once

#include <cstddef>

namespace engine {

class ScriptHeapBudget {
public:
    // No page of the shop nears it.
    static const size_t kBudget = 64u << 20;
    // Past the budget, for Duktape to build the error that reports a refusal.
    static const size_t kReserve = 1u << 20;

    void* Alloc(size_t size);
    void* Realloc(void* block, size_t size);
    void Free(void* block);
    // The run of script that met a refusal is over: the reserve closes.
    void EndRun() { refused_ = 0; }
    size_t Used() const { return used_; }

private:
    bool Grant(size_t held, size_t wanted);

    size_t used_ = 0;
    size_t refused_ = 0;  // the size last refused in this run; 0: none
};

}  // namespace engine
