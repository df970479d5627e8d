#include "rexx/core/external.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/process.h"

namespace tolma {

namespace {

bool is_file(const std::string& path) {
    return voren::platform::path_kind(path) == voren::platform::PathKind::Other;
}

// Opens a file and reads its first line; false when it cannot be opened.
bool first_line_of(const std::string& path, std::string& line) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::string unable_to_open(const std::string& path) {
    return "tolma: warning: unable to open file \"" + path + "\"\n";
}

void warn_if(const WarningSink& warn, const std::string& text) {
    if (warn) warn(text);
}

} // namespace

std::string external_file_name(std::string_view name, bool written_as_symbol) {
    std::string file(name);
    size_t from = file.compare(0, 2, "\\\\") == 0 ? 2 : 0;
    for (size_t i = from; i < file.size(); ++i)
        if (file[i] == '\\') file[i] = '/';
    if (written_as_symbol)
        for (char& c : file)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return file;
}

bool has_directory_part(std::string_view file) {
    if (file.empty()) return false;
    if (file[0] == '/' || file[0] == '~' || file[0] == '.') return true;
    return file.size() >= 3 && file[1] == ':';
}

std::string_view path_extension(std::string_view path) {
    size_t slash = path.find_last_of('/');
    size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    size_t dot = path.find('.', start);
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot);
}

bool names_interpreter(std::string_view first_line) {
    return first_line.size() >= 2 && first_line[0] == '#' && first_line[1] == '!' &&
           first_line.find("tolma", 1) != std::string_view::npos;
}

std::string full_path(std::string_view path) {
    std::string whole;
    if (!path.empty() && path[0] == '~' && (path.size() == 1 || path[1] == '/')) {
        whole = voren::platform::environment_variable("HOME").value_or("");
        whole += path.substr(1);
    } else {
        whole = std::string(path);
    }
    if (whole.empty() || whole[0] != '/')
        whole = voren::platform::current_directory().value_or("") + "/" + whole;
    // Lexical tidying only: "a/./b" and "a//b" become "a/b".
    std::string out = "/";
    size_t i = 0;
    while (i < whole.size()) {
        size_t next = whole.find('/', i);
        if (next == std::string::npos) next = whole.size();
        std::string_view part(whole.data() + i, next - i);
        if (!part.empty() && part != ".") {
            if (out.back() != '/') out += '/';
            out += part;
        }
        i = next + 1;
    }
    return out;
}

std::vector<std::string>
external_search_directories(const std::optional<std::string>& path_variable) {
    std::vector<std::string> dirs{full_path(".")};
    if (!path_variable) return dirs;
    std::string_view rest = *path_variable;
    while (true) {
        size_t colon = rest.find(':');
        std::string entry(rest.substr(0, colon));
        if (entry.size() > 1 && entry.back() == '/') entry.pop_back();
        if (!entry.empty() && entry != ".") {
            // A relative entry counts from the current directory, as the
            // shell takes it.
            std::string dir = full_path(entry);
            if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
        }
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return dirs;
}

std::optional<std::string> find_external_file(std::string_view file,
                                              const std::optional<std::string>& path_variable,
                                              const WarningSink& warn) {
    if (file.empty()) return std::nullopt;
    if (has_directory_part(file)) {
        std::string path = full_path(file);
        std::string line;
        if (!is_file(path) || !first_line_of(path, line)) {
            warn_if(warn, unable_to_open(path));
            return std::nullopt;
        }
        if (path_extension(path) != ".tlm" && !names_interpreter(line)) {
            warn_if(warn, "tolma: warning: file " + path + " is not a valid \"tolma\" file\n");
            return std::nullopt;
        }
        return path;
    }
    for (const std::string& dir : external_search_directories(path_variable)) {
        std::string path = dir == "/" ? "/" + std::string(file) : dir + "/" + std::string(file);
        if (is_file(path)) {
            std::string line;
            if (!first_line_of(path, line)) {
                warn_if(warn, unable_to_open(path));
                continue;
            }
            if (path_extension(path) == ".tlm" || names_interpreter(line)) return path;
        }
        if (path_extension(path) == ".tlm") continue;
        std::string with_tlm = path + ".tlm";
        if (!is_file(with_tlm)) continue;
        std::ifstream in(with_tlm, std::ios::binary);
        if (in) return with_tlm;
        warn_if(warn, unable_to_open(with_tlm));
    }
    return std::nullopt;
}

bool read_whole_file(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    text = buffer.str();
    return true;
}

std::string hex_bytes(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::vector<std::pair<std::string, std::optional<std::string>>>
child_argument_variables(const std::vector<CallArgument>& args) {
    std::vector<std::pair<std::string, std::optional<std::string>>> vars;
    vars.emplace_back("tolma_NB_ARGS", std::to_string(args.size()));
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = "tolma_ARG" + std::to_string(i + 1);
        if (args[i])
            vars.emplace_back(name, hex_bytes(*args[i]));
        else
            vars.emplace_back(name, std::nullopt);
    }
    return vars;
}

std::string child_interpreter(const std::string& configured, const std::string& installation) {
    if (!configured.empty()) return configured;
    std::string dir = installation;
    if (dir.empty()) dir = voren::platform::environment_variable("REXXHOME").value_or("");
    if (dir.empty()) dir = voren::platform::program_directory(nullptr);
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir + "/tolma";
}

ChildOutcome run_child_routine(const std::string& interpreter, const std::string& routine_file,
                               const std::vector<CallArgument>& args) {
    namespace io = voren::platform;
    ChildOutcome outcome;
    std::string dir = io::environment_variable("TMPDIR").value_or("/tmp");
    if (dir.empty()) dir = "/tmp";
    std::string result_file;
    io::FileHandle handle =
        io::create_temp_beside(dir + "/tolma-result", 0600, result_file, nullptr);
    bool have_file = handle.is_open();
    io::close_file(handle, nullptr);
    // The arguments travel in the environment only: nothing of them reaches
    // a command line, so no byte of an argument can be taken as syntax.
    auto vars = child_argument_variables(args);
    if (have_file)
        vars.emplace_back(kResultFileVariable, result_file);
    else
        vars.emplace_back(kResultFileVariable, std::nullopt);
    // What was written so far comes before the child's output.
    std::fflush(nullptr);
    outcome.status = io::run_program_waiting(interpreter, {routine_file}, vars, &outcome.error);
    if (have_file) {
        std::string text;
        if (read_whole_file(result_file, text) && !text.empty() && text[0] == 'R')
            outcome.value = text.substr(1);
        io::remove_file(result_file);
    }
    return outcome;
}

} // namespace tolma
