#pragma once
// Temporary directories with files, environment variables set for one test,
// and programs run on a fresh interpreter with captured output.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "rexx/core/exec.h"

namespace ext_test {

struct TempDir {
    std::string path;
    TempDir() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tolma-ext-XXXXXX";
        char* made = mkdtemp(pattern.data());
        path = made ? voren::platform::real_path(made) : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string write(const std::string& name, std::string_view text) const {
        std::string file = path + "/" + name;
        std::ofstream out(file, std::ios::binary);
        out << text;
        return file;
    }
    void mkdir(const std::string& name) const { ::mkdir((path + "/" + name).c_str(), 0755); }
};

// Sets (or removes) an environment variable and puts it back afterwards.
struct ScopedVariable {
    std::string name;
    std::optional<std::string> old;
    ScopedVariable(std::string n, std::optional<std::string> value) : name(std::move(n)) {
        if (const char* v = std::getenv(name.c_str())) old = v;
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    ~ScopedVariable() {
        if (old)
            setenv(name.c_str(), old->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};

struct Outcome {
    std::string out;
    std::string err;
    tolma::RunResult result;
};

inline Outcome run(std::string_view program, tolma::RunOptions options = {}) {
    tolma::Interp in;
    Outcome o;
    in.out = [&o](std::string_view s) { o.out += s; };
    in.err = [&o](std::string_view s) { o.err += s; };
    in.read_line = [](std::string&) { return false; };
    if (options.file_name.empty()) options.file_name = "test.rexx";
    o.result = tolma::run_program(in, program, options);
    return o;
}

} // namespace ext_test
