// Run arbitrary bytes as a REXX program with a step budget: the executor
// must never crash or hang, whatever the program does. Commands go to an
// environment that runs nothing; back quotes and CD are refused.
#include "rexx/core/exec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    tolma::Interp in;
    size_t written = 0;
    in.out = [&written](std::string_view s) { written += s.size(); };
    in.err = [&written](std::string_view s) { written += s.size(); };
    in.read_line = [](std::string&) { return false; };
    tolma::RunOptions options;
    options.file_name = "fuzz.rexx";
    options.max_clauses = 20000;
    options.max_call_depth = 200;
    options.isolated = true;
    options.environments.push_back({"UNIX", [](tolma::Interp&, std::string_view) { return 0; }});
    tolma::RunResult r = tolma::run_program(in, text, options);
    if (r.error && (r.error_code < 0 || r.error_code > 99)) std::abort();
    return 0;
}
