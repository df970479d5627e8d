#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace voren::platform {

void* map_zeroed_block(std::size_t bytes) {
    if (bytes == 0) bytes = 1;
    bool huge = bytes % kHugePageSize == 0;
    // A huge-page block is cut out of a mapping one huge page larger, so
    // that it starts on a huge-page boundary; the ends are given back.
    std::size_t span = huge ? bytes + kHugePageSize : bytes;
    void* p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    if (!huge) return p;
    auto start = reinterpret_cast<std::uintptr_t>(p);
    std::uintptr_t aligned = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
    if (aligned > start) munmap(p, aligned - start);
    std::uintptr_t end = start + span, block_end = aligned + bytes;
    if (end > block_end) munmap(reinterpret_cast<void*>(block_end), end - block_end);
    void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, bytes, MADV_HUGEPAGE); // only advice: failure changes nothing
#endif
    return block;
}

void unmap_block(void* block, std::size_t bytes) {
    if (block) munmap(block, bytes == 0 ? 1 : bytes);
}

} // namespace voren::platform
