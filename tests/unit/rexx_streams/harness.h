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
#include "tests/unit/rexx_funcs/harness.h"

namespace tolma::test {

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

// The built-in caller of the function tests, with captured sinks and a scratch directory.
struct Io : Lib {
    ScratchDir scratch;
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
    }

    std::string path(const std::string& name) const { return scratch.path(name); }
    // A file's content once the streams wrote what they keep, as they do
    // before a command runs and when the run ends.
    std::string read(const std::string& name) {
        sync_streams(in);
        return scratch.read(name);
    }
};

} // namespace tolma::test
