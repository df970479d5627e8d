#pragma once
// Calls the stream built-ins through the table in a scratch directory, with
// the output, error and console sinks captured.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "rexx/core/interp.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/streams.h"

namespace tolma::test {

using Arg = std::optional<std::string>;
inline const Arg omitted = std::nullopt;

struct CallResult {
    bool ok = false;
    std::string text;
    RexxError error;
};

// A fresh directory under the system's temporary directory, removed at the end.
struct ScratchDir {
    std::filesystem::path dir;
    ScratchDir() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "tolma_streams_XXXXXX").string();
        char* made = mkdtemp(tmpl.data());
        EXPECT_NE(made, nullptr);
        dir = tmpl;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir, ec);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream f(path(name), std::ios::binary | std::ios::trunc);
        f << content;
    }
    std::string read(const std::string& name) const {
        std::ifstream f(path(name), std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
};

struct Io {
    ScratchDir scratch;
    Interp in;
    LibState lib;
    std::string out, err;
    std::deque<std::string> console; // lines the console hands out

    Io() {
        in.out = [this](std::string_view s) { out += s; };
        in.err = [this](std::string_view s) { err += s; };
        in.read_line = [this](std::string& line) {
            if (console.empty()) return false;
            line = console.front();
            console.pop_front();
            return true;
        };
        in.pos.line = 1;
        in.pos.column = 1;
    }

    std::string path(const std::string& name) const { return scratch.path(name); }

    CallResult call(std::string_view name, std::vector<Arg> args) {
        std::vector<RexxValue> values(args.size());
        std::vector<const RexxValue*> slots(args.size(), nullptr);
        std::vector<ArgPos> pos(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i]) {
                values[i] = RexxValue(*args[i]);
                slots[i] = &values[i];
            }
            pos[i] = {7, static_cast<int>(10 + i)};
        }
        CallResult r;
        RexxValue result;
        try {
            if (!call_builtin(in, lib, name, slots.data(), static_cast<int>(slots.size()),
                              pos.data(), result)) {
                r.error.code = 43;
                return r;
            }
            r.ok = true;
            r.text = std::string(result.text(in.numeric));
        } catch (const RexxError& e) {
            r.error = e;
        }
        return r;
    }

    // The result, or "ERROR <code>: <detail>".
    std::string operator()(std::string_view name, std::vector<Arg> args) {
        CallResult r = call(name, std::move(args));
        if (r.ok) return r.text;
        return "ERROR " + std::to_string(r.error.code) + ": " + r.error.detail;
    }

    // The secondary message of a call that must raise error 40.
    std::string msg(std::string_view name, std::vector<Arg> args) {
        CallResult r = call(name, std::move(args));
        EXPECT_FALSE(r.ok) << name << " gave " << r.text;
        if (r.ok) return {};
        EXPECT_EQ(r.error.code, 40);
        return r.error.detail;
    }
};

} // namespace tolma::test
