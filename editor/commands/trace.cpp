// The command trace: a ring of the last trace tags, written out when an
// internal error forces an emergency save.
#include <cstdio>
#include <string>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace voren {

void trace_tag(Editor& ed, std::string_view tag) {
    ExecutorState& st = ed.cmd;
    st.trace_ring[static_cast<size_t>(st.trace_next)].assign(tag);
    st.trace_next = (st.trace_next + 1) % kTraceRingSize;
    if (st.trace_count < kTraceRingSize) ++st.trace_count;
}

bool write_trace_file(Editor& ed, const std::string& path) {
    const ExecutorState& st = ed.cmd;
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        std::fprintf(st.trace_output, "..... Unable to create \"%s\"\n", path.c_str());
        return false;
    }
    int first = (st.trace_next - st.trace_count + kTraceRingSize) % kTraceRingSize;
    for (int i = 0; i < st.trace_count; ++i) {
        const std::string& tag = st.trace_ring[static_cast<size_t>((first + i) % kTraceRingSize)];
        std::fwrite(tag.data(), 1, tag.size(), out);
        std::fputc('\n', out);
    }
    bool ok = std::ferror(out) == 0;
    return std::fclose(out) == 0 && ok;
}

} // namespace voren
