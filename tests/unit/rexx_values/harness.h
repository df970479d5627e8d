#pragma once
// A fresh interpreter state whose output and error sinks are captured.
#include <string>
#include <vector>

#include "rexx/core/arith.h"
#include "rexx/core/interp.h"

namespace tolma_test {

struct Captured {
    tolma::Interp in;
    std::string out, err;
    std::vector<std::string> input; // lines read_line hands out, in order
    size_t next_input = 0;

    Captured() {
        in.out = [this](std::string_view s) { out += s; };
        in.err = [this](std::string_view s) { err += s; };
        in.read_line = [this](std::string& line) {
            if (next_input >= input.size()) return false;
            line = input[next_input++];
            return true;
        };
    }
};

// Runs f and returns the code of the REXX error it raised (0 for none).
template <class F>
tolma::RexxError catch_error(F&& f) {
    try {
        f();
    } catch (const tolma::RexxError& e) {
        return e;
    }
    return {};
}

inline std::string text_of(tolma::Interp& in, const tolma::RexxValue& v) {
    return std::string(v.text(in.numeric));
}

} // namespace tolma_test
