// Searches every line of a file for each pattern given and reports the number
// of matching lines and the time taken, the way grep -c counts them.
//
//   bench_regex --generate FILE LINES     write a test file of LINES lines
//   bench_regex [-i] FILE PATTERN...      time the searches
#include "common/regex/regex.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Deterministic text: words from a small vocabulary, a number now and then,
// lines of 3 to 14 words.
int generate(const char* path, long lines) {
    static const char* const words[] = {"the",    "editor", "line",  "search",  "change", "target",
                                        "file",   "ring",   "macro", "screen",  "prefix", "zone",
                                        "column", "value",  "Error", "warning", "rexx",   "parse",
                                        "clause", "quick",  "brown", "fox",     "jumps",  "over"};
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        std::cerr << "bench_regex: cannot write " << path << "\n";
        return 1;
    }
    unsigned long seed = 12345;
    auto next = [&] {
        seed = seed * 6364136223846793005ul + 1442695040888963407ul;
        return static_cast<unsigned>(seed >> 33);
    };
    std::string line;
    for (long n = 0; n < lines; ++n) {
        line.clear();
        unsigned count = 3 + next() % 12;
        for (unsigned w = 0; w < count; ++w) {
            if (w) line.push_back(' ');
            if (next() % 16 == 0)
                line += std::to_string(next() % 1000);
            else
                line += words[next() % (sizeof words / sizeof *words)];
        }
        if (next() % 5000 == 0) line += " needle";
        line.push_back('\n');
        out << line;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--generate") == 0)
        return generate(argv[2], std::atol(argv[3]));
    int arg = 1;
    unsigned flags = 0;
    if (arg < argc && std::strcmp(argv[arg], "-i") == 0) {
        flags |= vre::kIgnoreCase;
        ++arg;
    }
    if (argc - arg < 2) {
        std::cerr
            << "usage: bench_regex --generate FILE LINES | bench_regex [-i] FILE PATTERN...\n";
        return 2;
    }
    auto load_begin = std::chrono::steady_clock::now();
    std::ifstream in(argv[arg], std::ios::binary);
    if (!in) {
        std::cerr << "bench_regex: cannot read " << argv[arg] << "\n";
        return 1;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        lines.emplace_back(text.data() + at, end - at);
        at = end + 1;
    }
    double load_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load_begin)
            .count();
    std::fprintf(stderr, "loading %zu lines took %.1f ms (not counted below)\n", lines.size(),
                 load_ms);
    for (int p = arg + 1; p < argc; ++p) {
        vre::CompileResult compiled = vre::compile(argv[p], flags);
        if (!compiled.ok()) {
            std::cerr << "bench_regex: " << argv[p] << ": " << compiled.error << "\n";
            return 1;
        }
        vre::Scratch scratch;
        vre::Match match;
        long count = 0;
        auto begin = std::chrono::steady_clock::now();
        for (std::string_view line : lines) {
            if (vre::search(compiled.regex, line, 0, match, {}, &scratch) == vre::Status::Found)
                ++count;
        }
        auto end = std::chrono::steady_clock::now();
        double ms = std::chrono::duration<double, std::milli>(end - begin).count();
        std::printf("%-28s %8ld lines %9.1f ms\n", argv[p], count, ms);
    }
    return 0;
}
