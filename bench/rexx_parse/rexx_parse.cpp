// Lex and parse a generated 50,000-line REXX program and report lines per
// second and the memory the compiled program holds.
//
//   bench_rexx_parse [LINES] [RUNS] [--write FILE]
#include "rexx/core/parser.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

// A routine of real-looking clauses; `n` makes names and literals vary.
const char* const routine_lines[] = {
    "/* routine %d: count the words of a file */",
    "count_%d: procedure expose totals. options",
    "  parse arg file, mode .",
    "  if file = '' then return -1",
    "  total = 0; lines.0 = 0",
    "  do i = 1 to words(file) by 1",
    "    word = word(file, i)",
    "    select",
    "      when word = 'end' then leave",
    "      when left(word, 1) == '#' then iterate",
    "      otherwise total = total + length(word) * 2 - 1",
    "    end",
    "    lines.i = word || ':' || i",
    "  end i",
    "  say 'Counted' total 'words in' file'.' /* trailing comment */",
    "  call lineout 'out_%d.txt', translate(file, 'ABC', 'abc')",
    "  address unix 'ls -l' file",
    "  if mode \\= 'quiet' & total > %d then do",
    "    numeric digits 12",
    "    x = (total ** 2 + 3) % 7 // 5",
    "    parse value date('S') with yyyy 5 mm 7 dd",
    "    s = 'pqrstu'[2:4] || substr(file, 2, 3)",
    "  end",
    "  else nop",
    "  totals.mode = totals.mode + total",
    "  return total",
};

std::string generate(int lines_wanted) {
    std::string text;
    text.reserve(static_cast<std::size_t>(lines_wanted) * 40);
    char line[256];
    int lines = 0, n = 0;
    while (lines < lines_wanted) {
        for (const char* pattern : routine_lines) {
            if (lines == lines_wanted) break;
            std::snprintf(line, sizeof line, pattern, n);
            text += line;
            text += '\n';
            ++lines;
        }
        ++n;
    }
    return text;
}

// CPU time of this process: on a loaded machine the wall clock also counts
// the time other processes held the CPU.
double cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    int lines = argc > 1 ? std::atoi(argv[1]) : 50000;
    int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    std::string text = generate(lines);
    if (argc > 4 && std::strcmp(argv[3], "--write") == 0) {
        std::ofstream(argv[4], std::ios::binary) << text;
    }
    long rss_before = peak_rss_kb();
    std::vector<double> seconds, cpu;
    std::size_t tokens = 0, arena = 0, token_bytes = 0, clauses = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        double cpu_start = cpu_seconds();
        std::unique_ptr<tolma::Program> program = tolma::compile(text);
        cpu.push_back(cpu_seconds() - cpu_start);
        auto stop = std::chrono::steady_clock::now();
        seconds.push_back(std::chrono::duration<double>(stop - start).count());
        tokens = program->tokens.size();
        token_bytes = program->tokens.size() * sizeof(tolma::Token);
        arena = program->arena.bytes_used();
        clauses = 0;
        for (const tolma::Clause* c = program->clauses.first; c; c = c->next)
            ++clauses;
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(cpu.begin(), cpu.end());
    double cpu_median = cpu[cpu.size() / 2];
    double median = seconds[seconds.size() / 2];
    double best = seconds.front();
    std::printf("program: %d lines, %zu bytes, %zu tokens, %zu top-level clauses\n", lines,
                text.size(), tokens, clauses);
    std::printf("lex+parse: median %.2f ms, best %.2f ms over %d runs\n", median * 1e3, best * 1e3,
                runs);
    std::printf("speed: %.0f lines/s (median), %.0f lines/s (best); CPU time median %.2f ms: "
                "%.0f lines/s\n",
                lines / median, lines / best, cpu_median * 1e3, lines / cpu_median);
    std::printf("memory held by one compiled program: tokens %.1f MB + arena %.1f MB + source "
                "%.1f MB (%.0f bytes per line)\n",
                token_bytes / 1e6, arena / 1e6, text.size() / 1e6,
                double(token_bytes + arena + text.size()) / lines);
    std::printf("peak RSS: %.1f MB (%.1f MB before compiling)\n", peak_rss_kb() / 1e3,
                rss_before / 1e3);
    return 0;
}
