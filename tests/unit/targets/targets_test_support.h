#pragma once
// A fresh batch editor holding one file, with its messages captured.
#include <cstdio>
#include <string>
#include <vector>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/ring.h"

namespace voren::test {

struct TargetEditor {
    Editor ed;
    std::FILE* out = std::tmpfile();
    explicit TargetEditor(const std::vector<std::string>& lines = {}) {
        ed.batch_mode = true;
        ed.cmd.trace_output = out;
        File& file = add_file(ed);
        for (const std::string& text : lines) {
            Line line;
            line.text.assign(text);
            file.lines.push_back(std::move(line));
        }
    }
    ~TargetEditor() { std::fclose(out); }
    TargetEditor(const TargetEditor&) = delete;
    TargetEditor& operator=(const TargetEditor&) = delete;

    File& file() { return *current_file(ed); }
    int32_t line() const { return current_line(ed); }
    void go(int32_t line) { set_current_line(ed, line); }
    int run(const std::string& command) { return xfcom2(ed, command); }
    // Messages written since the last call, one per line without "voren: ".
    std::vector<std::string> messages() {
        std::fflush(out);
        std::vector<std::string> result;
        std::rewind(out);
        std::string line;
        int c;
        while ((c = std::fgetc(out)) != EOF) {
            if (c != '\n') {
                line += char(c);
                continue;
            }
            result.push_back(line.rfind("voren: ", 0) == 0 ? line.substr(7) : line);
            line.clear();
        }
        std::fclose(out);
        out = std::tmpfile();
        ed.cmd.trace_output = out;
        return result;
    }
};

using Messages = std::vector<std::string>;

} // namespace voren::test
