#pragma once
// The interpreter state of one program run: numeric settings, trace setting,
// variable pool, condition traps, the current position, the program's
// sources (for error reports and tracing) and the output and input hooks.
// Everything is explicit so a test builds as many fresh states as it likes.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rexx/core/errors.h"
#include "rexx/core/pool.h"
#include "rexx/core/trace.h"
#include "rexx/core/values.h"
#include "rexx/lib/environments.h"
#include "rexx/lib/stack.h"

namespace tolma {

// Where a line of the program text came from.
enum class SourceKind : uint8_t { Startup, Program, Added };

struct SourcePart {
    int first_line = 1; // global 1-based line of its first line
    int line_count = 0;
    SourceKind kind = SourceKind::Program;
    std::string file_name;
};

// The whole program text, start-up file and added sources included, one
// entry per global line, and the table of where each range came from.
struct ProgramSource {
    std::vector<std::string> lines;
    std::vector<SourcePart> parts;

    const SourcePart* part_of(int line) const;
    std::string_view line_text(int line) const;
    const SourcePart* program() const;
    // Splits text into lines and adds it as one part.
    void add(std::string_view text, SourceKind kind, std::string file_name);
};

// The clause or operator being run: errors are reported here.
struct Position {
    int line = 0;   // global, 1-based
    int column = 0; // 1-based
    bool interpreted = false;
    std::string_view interpreted_line; // the INTERPRET text's line, when interpreted
};

using Sink = std::function<void(std::string_view)>;

struct ExecState;
struct StreamTable;

struct Interp {
    NumericSettings numeric;
    TraceState trace;
    Pool pool;
    Traps traps;
    CurrentCondition condition;
    NameCase case_mode = NameCase::NotSet;
    Position pos;
    ProgramSource source;

    // SAY output and trace output; the error report and "routine not found".
    Sink out;
    Sink err;
    // One line of user input (interactive trace); false at end of input.
    std::function<bool(std::string& line)> read_line;
    // Set by the executor: run a trap's handler label as a CALL, and run a
    // line typed at an interactive pause as INTERPRET does.
    std::function<void(Interp&, const std::string& label)> call_handler;
    std::function<void(Interp&, const std::string& line)> run_pause_line;
    // The executor running a program on this state (exec.h); null between runs.
    ExecState* exec = nullptr;
    // The data queue of PUSH, QUEUE and PULL (rexx/lib/stack.h).
    DataQueue queue;
    // The host command environments (rexx/lib/environments.h).
    EnvironmentTable environments;
    // Files opened by the stream functions and EXECIO (rexx/lib/streams.h).
    std::shared_ptr<StreamTable> streams;
    // A buffer freed by an assignment, for the next long built-in result.
    SpareBuffer spare;

    Interp();
};

// Output and error sinks on stdout and stderr (stdout flushed before stderr
// is written), input from stdin.
void use_standard_streams(Interp& in);
// Names of the special variables per the case mode.
const char* rc_name(const Interp& in);
const char* sigl_name(const Interp& in);
const char* result_name(const Interp& in);
const char* rc_debug_name(const Interp& in);

} // namespace tolma
