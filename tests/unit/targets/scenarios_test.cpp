// The LOCATE scenarios of scenarios/*.scn, run in-process: the file is read
// with open_file, the @command lines go through xfcom2 in batch mode and the
// messages must equal the @expect-output body. The files use the batch
// scenario format of tests/editor (only @file, @args, @command and
// @expect-output), so they can run through the voren program as well.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/file_io.h"

namespace voren {
namespace {

namespace fs = std::filesystem;

struct Scenario {
    std::string file_name;
    std::string file_body;
    std::vector<std::string> commands;
    std::string expected;
};

Scenario read_scenario(const fs::path& path) {
    Scenario s;
    std::ifstream in(path);
    std::string line, directive;
    while (std::getline(in, line)) {
        if (line.rfind("@@", 0) == 0)
            line.erase(0, 1);
        else if (line.rfind('@', 0) == 0) {
            std::istringstream words(line.substr(1));
            words >> directive;
            std::string rest;
            std::getline(words >> std::ws, rest);
            if (directive == "file") s.file_name = rest;
            if (directive == "command") s.commands.push_back(rest);
            continue;
        }
        if (directive == "file") s.file_body += line + "\n";
        if (directive == "expect-output") s.expected += line + "\n";
    }
    return s;
}

std::vector<fs::path> scenario_files() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(__FILE__).parent_path() / "scenarios"))
        if (entry.path().extension() == ".scn") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Scenarios, AllPass) {
    auto files = scenario_files();
    ASSERT_FALSE(files.empty());
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        Scenario s = read_scenario(path);
        ASSERT_FALSE(s.file_name.empty());
        fs::path dir = fs::temp_directory_path() / ("voren_scn_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / s.file_name) << s.file_body;

        Editor ed;
        ed.batch_mode = true;
        char* buffer = nullptr;
        size_t size = 0;
        ed.cmd.trace_output = open_memstream(&buffer, &size);
        ASSERT_EQ(open_file(ed, (dir / s.file_name).string()), open_ok);
        for (const std::string& command : s.commands)
            xfcom2(ed, command);
        std::fclose(ed.cmd.trace_output);
        std::string output(buffer, size);
        std::free(buffer);
        fs::remove_all(dir);
        EXPECT_EQ(output, s.expected);
    }
}

} // namespace
} // namespace voren
