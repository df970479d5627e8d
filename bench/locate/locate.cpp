// Times LOCATE commands on one file, in-process: the file is read once with
// open_file, then each command runs through xfcom2 from the top of the file
// (best of five runs).
//   bench_locate FILE COMMAND...
// A COMMAND of "--ignore-case" switches the file to CASE MIXED IGNORE for the
// commands after it.
// Prints one line per command: its best time in seconds and its return code.
#include <chrono>
#include <cstdio>
#include <string>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/file_io.h"

int main(int argc, char** argv) {
    using clock = std::chrono::steady_clock;
    if (argc < 3) {
        std::fputs("usage: bench_locate FILE COMMAND...\n", stderr);
        return 2;
    }
    voren::Editor ed;
    ed.batch_mode = true;
    ed.cmd.trace_output = std::fopen("/dev/null", "w");
    auto start = clock::now();
    if (voren::open_file(ed, argv[1]) != voren::open_ok) {
        std::fprintf(stderr, "bench_locate: cannot read %s\n", argv[1]);
        return 1;
    }
    double load = std::chrono::duration<double>(clock::now() - start).count();
    std::printf("load %.3f s, %d lines\n", load, voren::current_file(ed)->line_count());
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--ignore-case") {
            voren::current_file(ed)->case_mode = voren::CaseMode::MixedIgnore;
            std::puts("(CASE MIXED IGNORE from here)");
            continue;
        }
        double best = 1e9;
        int rc = 0;
        for (int run = 0; run < 5; ++run) {
            voren::set_current_line(ed, -1);
            ed.cmd.last_match_file = -1;
            auto t0 = clock::now();
            rc = voren::xfcom2(ed, argv[i]);
            best = std::min(best, std::chrono::duration<double>(clock::now() - t0).count());
        }
        std::printf("%-24s %.4f s  rc %d  line %d\n", argv[i], best, rc, voren::current_line(ed));
    }
    return 0;
}
