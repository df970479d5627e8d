#pragma once
// Runs REXX programs on a fresh interpreter with captured output, and a
// scratch directory that a test removes when it ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "rexx/core/exec.h"

namespace host_test {

struct Outcome {
    std::string out;
    std::string err;
    tolma::RunResult result;
};

inline Outcome run_on(tolma::Interp& in, std::string_view program, tolma::RunOptions options = {}) {
    Outcome o;
    in.out = [&o](std::string_view s) { o.out += s; };
    in.err = [&o](std::string_view s) { o.err += s; };
    in.read_line = [](std::string&) { return false; };
    if (options.file_name.empty()) options.file_name = "test.rexx";
    o.result = tolma::run_program(in, program, options);
    return o;
}

inline Outcome run(std::string_view program, tolma::RunOptions options = {}) {
    tolma::Interp in;
    return run_on(in, program, std::move(options));
}

// Output of a program that must run without an error report.
inline std::string out_of(std::string_view program, tolma::RunOptions options = {}) {
    Outcome o = run(program, std::move(options));
    if (o.result.error) return "ERROR: " + o.err;
    return o.out;
}

// A fresh directory under TMPDIR (or /tmp), removed with its files.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/hostenv_XXXXXX";
        if (char* p = mkdtemp(templ.data())) path = p;
    }
    ~ScratchDir() {
        if (!path.empty() && std::system(("rm -rf '" + path + "'").c_str()) != 0) {
            // Left behind: nothing more to do about it here.
        }
    }
};

// Sets an environment variable for the life of the object.
struct ScopedVariable {
    std::string name;
    std::string old;
    bool had = false;
    ScopedVariable(std::string n, const char* value) : name(std::move(n)) {
        if (const char* v = std::getenv(name.c_str())) {
            had = true;
            old = v;
        }
        if (value)
            setenv(name.c_str(), value, 1);
        else
            unsetenv(name.c_str());
    }
    ~ScopedVariable() {
        if (had)
            setenv(name.c_str(), old.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};

} // namespace host_test
