// Dispatch speed of the command executor: runs commands through xfcom2 in a
// batch-mode editor whose messages go to /dev/null, and prints commands per second.
//   bench_dispatch [count]   (default 1000000 per command kind)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace {

double run(const std::vector<std::string>& commands, long count, const char* setup) {
    voren::Editor ed;
    ed.batch_mode = true;
    std::FILE* sink = std::fopen("/dev/null", "w");
    ed.cmd.trace_output = sink;
    if (setup != nullptr) voren::xfcom2(ed, setup);
    auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < count; ++i)
        voren::xfcom2(ed, commands[static_cast<size_t>(i) % commands.size()]);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fclose(sink);
    return static_cast<double>(count) / took.count();
}

} // namespace

int main(int argc, char** argv) {
    long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    struct Case {
        const char* name;
        std::vector<std::string> commands;
        const char* setup = nullptr;
    } cases[] = {
        {"MSG x (hash lookup, message to /dev/null)", {"MSG x"}},
        {"+0 (target typed alone)", {"+0"}},
        {"CMSG abc (hash lookup, no output)", {"CMSG abc"}},
        {"mixed (msg, cmsg, +0, comment)", {"msg hello", "cmsg c/a/b/", "+0", "# note"}},
        {"synonym MM -> CMSG", {"MM x"}, "SYNONYM MM CMSG"},
    };
    for (const Case& c : cases)
        std::printf("%-50s %12.0f commands/s\n", c.name, run(c.commands, count, c.setup));
    return 0;
}
