#pragma once
// Helpers shared by the core's unit tests.
#include "editor/core/editor.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace voren {

// What the editor wrote to its batch trace output: messages ("voren: ..."
// lines) and, with command tracing on, the commands it ran ("xfcom2: com = ...").
// `attach` points an editor's trace output here; `clear` forgets what was seen.
struct TestLog {
    std::FILE* stream = nullptr;
    char* buffer = nullptr;
    size_t size = 0;
    size_t start = 0; // what clear() set aside
    TestLog();
    ~TestLog();
    void clear();
    void attach(Editor& ed, bool trace_commands = false);
    std::vector<std::string> messages();
    std::vector<std::string> commands();

  private:
    std::vector<std::string> lines_after(std::string_view prefix);
};
TestLog& test_log();
// The text of numbered message `number`.
std::string msg(int number);

// A private temporary directory, removed with its contents at the end.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void write_bytes(const std::string& path, const std::string& bytes);
std::string read_bytes(const std::string& path);
bool exists(const std::string& path);

// The texts of the current file's lines.
std::vector<std::string> line_texts(const Editor& ed);
// Adds a new file holding `lines` (not through the undo log).
File& add_file_with(Editor& ed, const std::vector<std::string>& lines);

} // namespace voren
