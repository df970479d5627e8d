#include "tests/unit/core/core_test_support.h"
#include "editor/commands/executor.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace voren {

TestLog::TestLog() {
    stream = open_memstream(&buffer, &size);
}

TestLog::~TestLog() {
    std::fclose(stream);
    std::free(buffer);
}

void TestLog::clear() {
    std::fflush(stream);
    start = size;
}

void TestLog::attach(Editor& ed, bool trace_commands) {
    ed.cmd.trace_output = stream;
    ed.cmd.command_trace = trace_commands;
}

std::vector<std::string> TestLog::lines_after(std::string_view prefix) {
    std::fflush(stream);
    std::vector<std::string> found;
    std::string_view text(buffer ? buffer : "", size);
    text.remove_prefix(start);
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.substr(0, prefix.size()) == prefix) found.emplace_back(line.substr(prefix.size()));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return found;
}

std::vector<std::string> TestLog::messages() {
    return lines_after("voren: ");
}

std::vector<std::string> TestLog::commands() {
    return lines_after("xfcom2: com = ");
}

TestLog& test_log() {
    static TestLog log;
    return log;
}

std::string msg(int number) {
    return std::string(message_text(number));
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "voren-core-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path, ignored);
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::symlink_status(path, ignored).type() !=
           std::filesystem::file_type::not_found;
}

std::vector<std::string> line_texts(const Editor& ed) {
    std::vector<std::string> texts;
    if (const File* file = current_file(ed))
        for (const Line& line : file->lines)
            texts.emplace_back(line.text.view());
    return texts;
}

File& add_file_with(Editor& ed, const std::vector<std::string>& lines) {
    File& file = add_file(ed);
    for (const std::string& text : lines) {
        Line line;
        line.text.assign(text);
        file.lines.push_back(std::move(line));
    }
    return file;
}

} // namespace voren
