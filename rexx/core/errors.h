#pragma once
// Error numbers and texts, raising an error, the error report, and the
// condition traps (SIGNAL ON / CALL ON) with RC, SIGL and the current
// condition.
//
// Every run-time error goes through raise_error, which throws a RexxError
// carrying the number, the detail and the current position. The executor
// catches it where a routine's clauses run: syntax_trap() says whether a
// SYNTAX trap takes it (and sets RC, SIGL and the condition), otherwise the
// run unwinds to the outermost level and report_error() writes the report.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "rexx/core/rexx_error.h"

namespace tolma {

struct Interp;

// Text of an error number; "" for numbers without one, "Unknown error." for
// numbers of 99 and above (and below 0).
const char* error_message(int code);

[[noreturn]] void raise_error(Interp& in, int code, std::string detail = {});
// The error raise_error would throw, for callers that hand it back by return
// instead (a trapped error then costs no unwinding).
RexxError make_error(const Interp& in, int code, std::string detail = {});

// Detail for an operand that is no valid number: the variable it came from
// (name not empty) or the literal.
std::string operand_detail(std::string_view var_name, std::string_view value);

// The report of an error no trap took, and writing it (with the detail after
// it) to the error sink.
std::string format_error_report(const Interp& in, const RexxError& e);
void report_error(Interp& in, const RexxError& e);

// ---------------------------------------------------------------- conditions

enum class Condition : uint8_t { Error, Failure, Halt, Novalue, Syntax, Notready };
constexpr int kConditionCount = 6;
const char* condition_name(Condition c); // "ERROR", ...

enum class TrapMode : uint8_t { Off, Signal, Call };

struct Trap {
    TrapMode mode = TrapMode::Off;
    std::string label; // the NAME given; empty for the condition's own name
    bool busy = false; // CALL ON NOVALUE while its handler runs
};

struct Traps {
    std::array<Trap, kConditionCount> trap;
    Trap& operator[](Condition c) { return trap[static_cast<int>(c)]; }
    const Trap& operator[](Condition c) const { return trap[static_cast<int>(c)]; }
};

// The condition being handled, as CONDITION() reports it.
struct CurrentCondition {
    int code = -1; // a Condition, -1 when none
    TrapMode mode = TrapMode::Off;
    std::string description; // NOVALUE: the name; ERROR/FAILURE: the command
    // SYNTAX: the error's message, a fixed text that stands for description
    // (not copied at every trapped error).
    const char* fixed_description = nullptr;

    std::string_view description_text() const {
        return fixed_description ? std::string_view(fixed_description)
                                 : std::string_view(description);
    }
};

// SIGNAL ON/OFF and CALL ON/OFF. CALL ON SYNTAX is error 25.
void set_trap(Interp& in, Condition c, TrapMode mode, std::string_view name = {});
// The label a trap transfers to: its NAME, else the condition's name spelt
// per the case mode.
std::string trap_label(const Interp& in, Condition c);
// The same without a copy: valid until the trap is set again.
std::string_view trap_label_view(const Interp& in, Condition c);

// What the executor must do after a condition was raised.
struct TrapAction {
    TrapMode mode = TrapMode::Off; // Off: nothing; Signal: SIGNAL to label; Call: CALL label
    std::string label;
};

// Thrown to transfer control as SIGNAL does (NOVALUE with SIGNAL ON); the
// executor catches it in the routine that runs the clause.
struct SignalTransfer {
    std::string label;
};

// A SYNTAX trap taking error e: turns the trap off, makes SYNTAX the current
// condition, sets SIGL and RC, writes the detail to the trace output and
// returns the label to SIGNAL to. Off when no SYNTAX trap is set.
TrapAction syntax_trap(Interp& in, const RexxError& e);
// What syntax_trap does but setting SIGL and RC, for an executor that sets
// them through remembered records; the trap must be SIGNAL ON.
void enter_syntax_condition(Interp& in, const RexxError& e);

// After a command clause: stores rc in RC (RC_D at an interactive pause) and
// raises ERROR (rc > 0, or rc < 0 without a FAILURE trap) or FAILURE.
// Sets SIGL to line before a transfer; a SIGNAL ON trap is turned off.
TrapAction command_condition(Interp& in, int rc, std::string_view command, int line,
                             bool at_pause = false);

// Raises condition c with its description (a command, a stream name, ...)
// at line: when its trap is set, makes it the current condition, sets SIGL
// and turns a SIGNAL ON trap off; returns what the executor must do.
TrapAction raise_condition(Interp& in, Condition c, std::string_view description, int line);
// HALT from the host: trapped as above, else error 4 ("Program interrupted.").
TrapAction halt_condition(Interp& in, int line);
// NOTREADY from a stream function: nothing happens unless it is trapped.
TrapAction notready_condition(Interp& in, std::string_view stream, int line);

// A variable without a value was read. Does nothing unless a NOVALUE trap
// is set (and not busy) and the name has a character other than a digit.
// CALL ON: writes the message, runs the handler through the executor's
// call_handler hook with the trap held busy, restores trap and condition.
// SIGNAL ON: turns the trap off; throws SignalTransfer to the label, or
// raises error 71 with the message when no such label exists.
void novalue_condition(Interp& in, std::string_view name);

// CALL of a label inside a DO, SELECT or IF list: error 54 with its detail.
[[noreturn]] void nested_label_error(Interp& in, std::string_view name);
// A routine found nowhere: the message on the error sink, then error 43.
[[noreturn]] void routine_not_found(Interp& in, std::string_view name);

// Trap states saved by an internal routine call (ERROR, FAILURE, HALT,
// NOVALUE) and restored at its return.
struct SavedTraps {
    std::array<Trap, 4> trap;
};
SavedTraps save_call_traps(const Interp& in);
void restore_call_traps(Interp& in, const SavedTraps& saved);
// Whether those four are all off, unnamed and not busy, as most calls find
// them: then a call saves nothing and its return just turns off any it set.
inline bool call_traps_idle(const Traps& traps) {
    for (int i = 0; i < 4; ++i) {
        const Trap& t = traps.trap[i];
        if (t.mode != TrapMode::Off || !t.label.empty() || t.busy) return false;
    }
    return true;
}
void clear_call_traps(Interp& in);

} // namespace tolma
