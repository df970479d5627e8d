#pragma once
// A fresh editor for each test, with batch output captured in memory.
#include <cstdio>
#include <string>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace voren::test {

// Captures what the editor writes to its trace output.
struct CapturedOutput {
    std::FILE* file = std::tmpfile();
    ~CapturedOutput() {
        if (file != nullptr) std::fclose(file);
    }
    std::string text() const {
        std::fflush(file);
        std::string out;
        std::rewind(file);
        int c;
        while ((c = std::fgetc(file)) != EOF)
            out += static_cast<char>(c);
        return out;
    }
};

struct BatchEditor {
    Editor ed;
    CapturedOutput out;
    BatchEditor() {
        ed.batch_mode = true;
        ed.cmd.trace_output = out.file;
    }
    std::string output() const { return out.text(); }
};

inline std::string last_trace(const Editor& ed) {
    const ExecutorState& st = ed.cmd;
    if (st.trace_count == 0) return "";
    return st
        .trace_ring[static_cast<size_t>((st.trace_next + kTraceRingSize - 1) % kTraceRingSize)];
}

} // namespace voren::test
