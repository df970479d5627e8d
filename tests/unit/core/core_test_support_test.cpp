#include "tests/unit/core/core_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace voren {

std::string msg(int number) {
    return "#" + std::to_string(number);
}
std::string text(const std::string& shown) {
    return shown;
}
void MessageCapture::start(Editor&) {
    test_log().clear();
}
std::vector<std::string> MessageCapture::lines() const {
    return test_log().messages;
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
