#include "ScriptHeapBudget.h"

#include <cstdlib>
#include <cstring>

namespace engine {
namespace {

// Each block starts with its size, so that a free knows what it gives back; the header
// keeps the block's alignment.
const size_t kHeader = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t) : sizeof(size_t);

size_t SizeOf(const unsigned char* base) {
    size_t size = 0;
    std::memcpy(&size, base, sizeof(size));
    return size;
}

void* Mark(unsigned char* base, size_t size) {
    std::memcpy(base, &size, sizeof(size));
    return base + kHeader;
}

}  // namespace

// A request that fits the budget is granted. One that does not is refused; Duktape then
// collects garbage and asks again for the same size, and these repeats stay refused
// unless the collection made room, or the script would run on into the reserve. What it
// asks for after them builds the error that reports the refusal, from the reserve.
bool ScriptHeapBudget::Grant(size_t held, size_t wanted) {
    if (wanted <= held) return true;
    const size_t others = used_ - held;
    if (others + wanted <= kBudget) return true;
    if (refused_ != 0 && wanted != refused_ && others + wanted <= kBudget + kReserve) return true;
    refused_ = wanted;
    return false;
}

void* ScriptHeapBudget::Alloc(size_t size) {
    if (size > kBudget + kReserve) return nullptr;
    const size_t wanted = size + kHeader;
    if (!Grant(0, wanted)) return nullptr;
    auto* base = static_cast<unsigned char*>(std::malloc(wanted));
    if (base == nullptr) return nullptr;
    used_ += wanted;
    return Mark(base, wanted);
}

void* ScriptHeapBudget::Realloc(void* block, size_t size) {
    if (block == nullptr) return Alloc(size);
    if (size == 0) {
        Free(block);
        return nullptr;
    }
    if (size > kBudget + kReserve) return nullptr;
    unsigned char* base = static_cast<unsigned char*>(block) - kHeader;
    const size_t held = SizeOf(base);
    const size_t wanted = size + kHeader;
    if (!Grant(held, wanted)) return nullptr;
    auto* moved = static_cast<unsigned char*>(std::realloc(base, wanted));
    if (moved == nullptr) return nullptr;
    used_ = used_ - held + wanted;
    return Mark(moved, wanted);
}

void ScriptHeapBudget::Free(void* block) {
    if (block == nullptr) return;
    unsigned char* base = static_cast<unsigned char*>(block) - kHeader;
    used_ -= SizeOf(base);
    std::free(base);
}

}  // namespace engine
