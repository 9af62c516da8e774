#include "bench/align_memory.h"

#include <cstdlib>
#include <new>

namespace {

// Single-threaded programs only: plain counters, no atomics.
size_t held = 0;
size_t peak = 0;

// Each block carries its size in front, padded to keep the alignment of
// max_align_t for what follows.
constexpr size_t kHeader = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t)
                                                                       : sizeof(size_t);

void* Take(size_t size) {
    unsigned char* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    held += size;
    if (held > peak) peak = held;
    return block + kHeader;
}

void Give(void* p) {
    if (p == nullptr) return;
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    held -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

void ResetPeakHeap() { peak = held; }
size_t HeldHeapBytes() { return held; }
size_t PeakHeapBytes() { return peak; }

void* operator new(size_t size) { return Take(size); }
void* operator new[](size_t size) { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, size_t) noexcept { Give(p); }
void operator delete[](void* p, size_t) noexcept { Give(p); }
