// "$" variables of a command: file names, the running macro's arguments and,
// when enabled, environment variables.
#include <optional>
#include <string>

#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace voren {

namespace {

enum class FilePart { Path, PathWithoutExtension, Name, Directory, Extension };

std::string file_part(const std::string& path, FilePart part) {
    size_t slash = path.rfind('/');
    size_t base = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    bool has_extension = dot != std::string::npos && dot >= base;
    switch (part) {
    case FilePart::Path: return path;
    case FilePart::PathWithoutExtension: return has_extension ? path.substr(0, dot) : path;
    case FilePart::Name: return path.substr(base, (has_extension ? dot : path.size()) - base);
    case FilePart::Directory:
        if (slash == std::string::npos) return "";
        return slash == 0 ? "/" : path.substr(0, slash);
    case FilePart::Extension: return has_extension ? path.substr(dot + 1) : "";
    }
    return "";
}

struct FileVariable {
    std::string_view name;
    FilePart part;
};

// Longer names first where one is a prefix of another.
constexpr FileVariable kFileVariables[] = {
    {"name", FilePart::Path},    {"lfn", FilePart::PathWithoutExtension},
    {"fn", FilePart::Name},      {"fd", FilePart::Directory},
    {"ft", FilePart::Extension},
};

} // namespace

bool expand_dollar_variables(Editor& ed, std::string_view in, std::string& out) {
    const ExecutorState& st = ed.cmd;
    if (!st.expand_dollar || in.find('$') == std::string_view::npos) {
        out.assign(in);
        return true;
    }
    const MacroFrame* frame = st.macro_frames.empty() ? nullptr : &st.macro_frames.back();
    std::optional<std::optional<std::string>> file; // looked up once, on first use
    out.clear();
    size_t i = 0;
    while (i < in.size()) {
        if (in[i] != '$') {
            out += in[i++];
            continue;
        }
        std::string_view rest = in.substr(i + 1);
        auto starts = [&](std::string_view name) { return rest.substr(0, name.size()) == name; };
        if (starts("xhome")) {
            out += program_directory(ed);
            i += 6;
            continue;
        }
        if (starts("arch")) {
            out += "linux";
            i += 5;
            continue;
        }
        bool matched = false;
        for (const FileVariable& var : kFileVariables) {
            if (!starts(var.name)) continue;
            if (!file) file = current_file_path(ed);
            if (!*file) {
                show_message(ed, 136);
                return false;
            }
            out += file_part(**file, var.part);
            i += 1 + var.name.size();
            matched = true;
            break;
        }
        if (matched) continue;
        if (frame != nullptr && starts("argv")) {
            out += frame->arguments;
            i += 5;
            continue;
        }
        // Each argument takes one digit: $1 is replaced before $10 could be seen.
        if (frame != nullptr && !rest.empty() && rest[0] >= '0' && rest[0] <= '9' &&
            static_cast<size_t>(rest[0] - '0') < frame->words.size()) {
            out += frame->words[static_cast<size_t>(rest[0] - '0')];
            i += 2;
            continue;
        }
        if (st.expand_env && !rest.empty() && !is_blank(rest[0])) {
            size_t n = 0;
            while (n < rest.size() && !is_blank(rest[n]))
                ++n;
            if (auto value = platform::environment_variable(std::string(rest.substr(0, n))))
                out += *value;
            i += 1 + n;
            continue;
        }
        out += in[i++];
    }
    return true;
}

} // namespace voren
