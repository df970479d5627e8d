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
// Commands go to the current ADDRESS environment through a table of
// environments (name and handler); the embedder adds its own.
#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rexx/core/interp.h"
#include "rexx/lib/stack.h"
#include "rexx/core/tree.h"

namespace tolma {

// A command environment's handler: runs the command, returns its code.
using CommandHandler = std::function<int(Interp&, std::string_view command)>;

struct Environment {
    std::string name; // upper case
    CommandHandler handler;
};

// The environments every run starts with: UNIX (current), WINDOWS, SH, CSH,
// TCSH, KSH and EXEC, all running the command through the system shell (the
// shell prefix from the variable of the same name for SH, CSH, TCSH, KSH).
std::vector<Environment> standard_environments();

struct RunOptions {
    std::string file_name;       // the program's file as given (reports, PARSE SOURCE)
    std::string startup_text;    // the start-up file's text, put in front (may be empty)
    std::string executable_name; // the running interpreter (PARSE SOURCE)
    // The arguments of the program; an empty optional is an omitted one.
    std::vector<std::optional<std::string>> args;
    // Environments (the first is current); empty: standard_environments().
    std::vector<Environment> environments;
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
    const std::vector<bool>* present = nullptr;
};
RoutineArgs current_args(Interp& in);
DataQueue* current_stack(Interp& in);
std::string current_environment(Interp& in);

// The texts of PARSE VERSION and PARSE SOURCE.
extern const char* const kLanguageVersion;
std::string parse_source_text(std::string_view file_name, std::string_view executable);

} // namespace tolma
