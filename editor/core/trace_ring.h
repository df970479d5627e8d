#pragma once
// The ring of the last 500 trace tags (command names and line-operation
// callers), written to "xed.trace" by the internal-error emergency path.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace voren {

struct TraceRing {
    static constexpr size_t capacity = 500;
    std::array<std::string, capacity> tags;
    size_t next = 0;  // slot of the next tag
    size_t count = 0; // tags held (at most capacity)
};

void record_trace(TraceRing& ring, std::string_view tag);
// Oldest first, one tag per line. Returns false when the file cannot be written.
bool write_trace_file(const TraceRing& ring, const std::string& path);

} // namespace voren
