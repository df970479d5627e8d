#pragma once
// Calls built-ins through the table with constructed arguments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "rexx/core/arith.h"
#include "rexx/core/interp.h"
#include "rexx/lib/builtins.h"

namespace tolma::test {

// An argument as written: a string, or omitted (nullopt).
using Arg = std::optional<std::string>;
inline const Arg omitted = std::nullopt;

struct CallResult {
    bool ok = false;
    std::string text; // the result's text, when ok
    RexxError error;  // the raised error, when not ok
};

// The argument vector of a call: argument i sits at line 7, column 10 + i.
struct ArgValues {
    std::vector<RexxValue> values;
    std::vector<const RexxValue*> slots;
    std::vector<ArgPos> pos;
    explicit ArgValues(const std::vector<Arg>& args)
        : values(args.size()), slots(args.size(), nullptr), pos(args.size()) {
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i]) {
                values[i] = RexxValue(*args[i]);
                slots[i] = &values[i];
            }
            pos[i] = {7, static_cast<int>(10 + i)};
        }
    }
};

struct Lib {
    Interp in;
    LibState lib;

    Lib() {
        in.out = [](std::string_view) {};
        in.err = [](std::string_view) {};
        in.pos.line = 1;
        in.pos.column = 1;
    }

    // Calls name with the arguments; argument i sits at line 7, column 10 + i.
    CallResult call(std::string_view name, std::vector<Arg> args) {
        ArgValues v(args);
        CallResult r;
        RexxValue out;
        try {
            bool found = call_builtin(in, lib, name, v.slots.data(),
                                      static_cast<int>(v.slots.size()), v.pos.data(), out);
            if (!found) {
                r.error.code = 43;
                return r;
            }
            r.ok = true;
            r.text = std::string(out.text(in.numeric));
        } catch (const RexxError& e) {
            r.error = e;
        }
        return r;
    }

    // The result text; a failed call gives "ERROR <code>: <detail>".
    std::string operator()(std::string_view name, std::vector<Arg> args) {
        CallResult r = call(name, std::move(args));
        if (r.ok) return r.text;
        return "ERROR " + std::to_string(r.error.code) + ": " + r.error.detail;
    }

    // The secondary message of an error-40 call (fails the test otherwise).
    std::string msg(std::string_view name, std::vector<Arg> args) {
        CallResult r = call(name, std::move(args));
        EXPECT_FALSE(r.ok) << name << " succeeded with " << r.text;
        if (r.ok) return {};
        EXPECT_EQ(r.error.code, 40) << r.error.detail;
        return r.error.detail;
    }

    // The error column of a failed call (10 + the blamed argument's index).
    int blamed(std::string_view name, std::vector<Arg> args) {
        CallResult r = call(name, std::move(args));
        if (r.ok) return -1;
        return r.error.column - 10;
    }
};

// A fresh directory, made current for the test and removed afterwards.
struct InTempDir {
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::path dir;
    InTempDir() {
        char templ[] = "/tmp/tolma_funcs_XXXXXX";
        dir = mkdtemp(templ);
        voren::platform::change_directory(dir.string());
    }
    ~InTempDir() {
        voren::platform::change_directory(old.string());
        std::filesystem::remove_all(dir);
    }
};

} // namespace tolma::test
