#pragma once
// Helpers shared by the core's unit tests.
#include "editor/core/editor.h"

#include <string>
#include <vector>

namespace voren {

// What the stand-in executor saw.
struct TestLog {
    std::vector<std::string> messages; // "#<number>" for numbered messages
    std::vector<std::string> commands;
    int command_result = 0;
    void clear() { *this = TestLog{}; }
};
TestLog& test_log();

// The messages an editor shows, as they appear in the log: msg(n) for
// numbered message n, text(t) for a free text.
std::string msg(int number);
std::string text(const std::string& shown);
struct MessageCapture {
    void start(Editor& ed); // forgets what was shown before
    std::vector<std::string> lines() const;
};

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
