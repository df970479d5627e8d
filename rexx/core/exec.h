#pragma once
// The executor: runs a compiled program's clauses and evaluates its
// expressions against an interpreter state.
//
// run_program compiles a text (start-up file in front, if any) and runs it to
// its end, an EXIT, or an error no trap takes (reported on the error sink).
// Control transfers inside a run use a pending state (LEAVE, ITERATE,
// RETURN, SIGNAL) that every clause list checks after each clause; EXIT and
// errors unwind with C++ exceptions, except arithmetic faults, which the
// evaluator hands back to their clause by return. Per-node work (symbol analysis, literal
// values, resolved routines) is cached in the tree's executor slots.
//
// Commands go to the current ADDRESS environment through the interpreter's
// table of environments (rexx/lib/environments.h); the embedder adds its own.
#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rexx/core/interp.h"
#include "rexx/core/tree.h"
#include "rexx/lib/environments.h"
#include "rexx/lib/stack.h"

namespace tolma {

// The arguments of a call as strings; nothing for an omitted one.
using CallArguments = std::vector<std::optional<std::string>>;

// How a host answers function names that contain a "." after their first
// character (the editor's implicit EXTRACT, "size.1()"): `knows` tells
// whether `item` (the name before its last ".") is one of its items, in the
// spelling of the case mode; `answer` runs the call with the whole name and
// returns false when it gives no result. Either empty: no such names.
struct ImplicitExtract {
    std::function<bool(std::string_view item, NameCase mode)> knows;
    std::function<bool(Interp&, std::string_view name, const CallArguments& args,
                       RexxValue& result)>
        answer;
};

struct RunOptions {
    std::string file_name;       // the program's file as given (reports, PARSE SOURCE)
    std::string startup_text;    // the start-up file's text, put in front (may be empty)
    std::string executable_name; // the running interpreter (PARSE SOURCE)
    // The arguments of the program; an empty optional is an omitted one.
    std::vector<std::optional<std::string>> args;
    // A table of environments of the run's own (the first is current);
    // empty: the interpreter's table (Interp::environments), where the
    // built-in environments are registered on first use. The run leaves
    // that table's current and previous environment as it found them.
    std::vector<Environment> environments;
    // The environment the run starts in (upper case); empty: the table's
    // current one. An unknown name leaves the table's current one.
    std::string environment;
    // Bytes of C++ stack to leave free; deeper recursion is error 5.
    size_t stack_reserve = 256 * 1024;
    // Maximal nesting of routine calls and INTERPRET (error 5 beyond).
    int max_call_depth = 50000;
    // Clauses a run may execute; beyond, error 4 ("Program interrupted.").
    // 0: no limit.
    unsigned long long max_clauses = 0;
    // No operating-system side effects: back-quoted commands yield "" and
    // CD is refused (for fuzzing). Commands still go to the environments.
    bool isolated = false;
    // Set asynchronously (e.g. by SIGINT) to raise HALT before the next clause.
    volatile std::sig_atomic_t* halt_flag = nullptr;

    // Function names with a "." that the host answers (empty: none).
    ImplicitExtract implicit_extract;
    // NOLOAD calls: the interpreter run for an external routine (empty:
    // <installation_directory>/tolma), and the installation directory (empty:
    // REXXHOME, else the directory of the running program).
    std::string interpreter_path;
    std::string installation_directory;
    // NOLOAD calls made while the host's own environment is current: the
    // host's environment name, and whether a name is one of its macros held
    // in storage. Such a call runs "name arg1,arg2..." as a host command.
    std::string host_environment = "VOREN";
    std::function<bool(std::string_view name)> stored_macro;
};

struct RunResult {
    bool error = false;     // an error no trap took was reported
    int error_code = 0;     // its number
    bool has_value = false; // EXIT or RETURN gave a value
    std::string value;      // that value
    int exit_status = 0;    // the value when a whole number, else 0; the error number
};

// Compiles and runs a program. Never throws a REXX error.
RunResult run_program(Interp& in, std::string_view text, const RunOptions& options);

// For the library: the arguments of the routine being run (ARG()), and the
// data stack and current environment name of the run.
struct RoutineArgs {
    const std::vector<RexxValue>* values = nullptr;
    const std::vector<uint8_t>* present = nullptr; // 1: argument i was given
};
RoutineArgs current_args(Interp& in);
DataQueue* current_stack(Interp& in);
std::string current_environment(Interp& in);
// The halt request of the running program (RunOptions::halt_flag), for
// library code that waits: null when there is none.
volatile std::sig_atomic_t* halt_flag(Interp& in);
// Whether the running program must have no operating-system side effects
// (RunOptions::isolated): library code then starts no process and sleeps not.
bool isolated_run(Interp& in);

// The texts of PARSE VERSION and PARSE SOURCE.
extern const char* const kLanguageVersion;
std::string parse_source_text(std::string_view file_name, std::string_view executable);

} // namespace tolma
