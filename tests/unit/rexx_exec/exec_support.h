#pragma once
// Runs REXX programs on a fresh interpreter with captured output, error
// output and scripted input.
#include <string>
#include <string_view>
#include <vector>

#include "rexx/core/exec.h"

namespace exec_test {

struct Outcome {
    std::string out;
    std::string err;
    tolma::RunResult result;
};

inline Outcome run(std::string_view program, tolma::RunOptions options = {},
                   std::vector<std::string> input = {}) {
    tolma::Interp in;
    Outcome o;
    in.out = [&o](std::string_view s) { o.out += s; };
    in.err = [&o](std::string_view s) { o.err += s; };
    size_t next = 0;
    in.read_line = [&input, &next](std::string& line) {
        if (next >= input.size()) return false;
        line = input[next++];
        return true;
    };
    if (options.file_name.empty()) options.file_name = "test.rexx";
    o.result = tolma::run_program(in, program, options);
    return o;
}

// Output of a program that must run without an error report.
inline std::string out_of(std::string_view program, tolma::RunOptions options = {}) {
    Outcome o = run(program, std::move(options));
    if (o.result.error) return "ERROR: " + o.err;
    return o.out;
}

} // namespace exec_test
