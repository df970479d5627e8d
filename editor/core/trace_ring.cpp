#include "editor/core/trace_ring.h"

#include <cstdio>

namespace voren {

void record_trace(TraceRing& ring, std::string_view tag) {
    ring.tags[ring.next].assign(tag);
    ring.next = (ring.next + 1) % TraceRing::capacity;
    if (ring.count < TraceRing::capacity) ++ring.count;
}

bool write_trace_file(const TraceRing& ring, const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    size_t first = (ring.next + TraceRing::capacity - ring.count) % TraceRing::capacity;
    for (size_t i = 0; i < ring.count; ++i) {
        const std::string& tag = ring.tags[(first + i) % TraceRing::capacity];
        std::fwrite(tag.data(), 1, tag.size(), out);
        std::fputc('\n', out);
    }
    bool ok = std::fflush(out) == 0;
    return std::fclose(out) == 0 && ok;
}

} // namespace voren
