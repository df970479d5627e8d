#include "rexx/core/interp.h"

#include <cstdio>
#include <iostream>

namespace tolma {

const SourcePart* ProgramSource::part_of(int line) const {
    for (const SourcePart& p : parts)
        if (line >= p.first_line && line < p.first_line + p.line_count) return &p;
    return nullptr;
}

std::string_view ProgramSource::line_text(int line) const {
    if (line < 1 || line > static_cast<int>(lines.size())) return {};
    return lines[line - 1];
}

const SourcePart* ProgramSource::program() const {
    for (const SourcePart& p : parts)
        if (p.kind == SourceKind::Program) return &p;
    return nullptr;
}

void ProgramSource::add(std::string_view text, SourceKind kind, std::string file_name) {
    SourcePart part;
    part.first_line = static_cast<int>(lines.size()) + 1;
    part.kind = kind;
    part.file_name = std::move(file_name);
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        lines.emplace_back(l);
        ++part.line_count;
        start = end + 1;
    }
    parts.push_back(std::move(part));
}

Interp::Interp() {
    use_standard_streams(*this);
}

void use_standard_streams(Interp& in) {
    in.out = [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); };
    in.err = [](std::string_view s) {
        std::fflush(stdout);
        std::fwrite(s.data(), 1, s.size(), stderr);
    };
    in.read_line = [](std::string& line) {
        std::fflush(stdout);
        return static_cast<bool>(std::getline(std::cin, line));
    };
}

const char* rc_name(const Interp& in) {
    return lower_case_names(in.case_mode) ? "rc" : "RC";
}
const char* sigl_name(const Interp& in) {
    return lower_case_names(in.case_mode) ? "sigl" : "SIGL";
}
const char* result_name(const Interp& in) {
    return lower_case_names(in.case_mode) ? "result" : "RESULT";
}
const char* rc_debug_name(const Interp& in) {
    return lower_case_names(in.case_mode) ? "rc_d" : "RC_D";
}

} // namespace tolma
