#pragma once
// Large blocks of memory straight from the system, for tables that grow to
// many megabytes (the interpreter's variable records and hash slots). The
// pages of a block come zeroed and are only made resident when first
// touched; blocks of a huge page or more are aligned to huge pages and
// advised for them, so filling one costs a page fault per 2 MiB instead of
// one per 4 KiB.
#include <cstddef>

namespace voren::platform {

constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// A block of `bytes` zeroed bytes, aligned to the page (to the huge page
// when `bytes` is a multiple of kHugePageSize). Throws std::bad_alloc when
// the system refuses.
void* map_zeroed_block(std::size_t bytes);

// Returns a block from map_zeroed_block, with the size it was asked with.
void unmap_block(void* block, std::size_t bytes);

} // namespace voren::platform
