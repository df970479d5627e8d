#pragma once
// TRACE: the setting, its parser, the trace output formats and the
// interactive pause.
//
// Every trace line goes to the program's output sink (where SAY writes) and
// starts with as many blanks as the expression nesting depth given.
#include <cstdint>
#include <string>
#include <string_view>

namespace tolma {

struct Interp;
class RexxValue;

enum TraceBits : unsigned {
    kTraceCommands = 1,
    kTraceError = 2,
    kTraceIntermediates = 4,
    kTraceLabels = 8,
    kTraceNormal = 16, // also Failure
    kTraceResults = 32,
    kTraceScan = 64,
    kTraceAll = 128,
    kTraceLevelMask = 0xFF,
    kTraceInteractive = 0x100,
    kTraceInhibit = 0x200, // "!": commands are not run
    kTraceDebugger = 0x400,
    kTraceY = 0x800,
    kTraceClauseMask = kTraceAll | kTraceScan | kTraceResults | kTraceIntermediates,
};

struct TraceState {
    unsigned bits = kTraceNormal;
    int skip_pauses = 0;         // pauses still to skip (TRACE n, interactive)
    int clauses_since_pause = 0; // clauses traced since the last pause
    int suppressed = 0;          // clauses whose trace output is still to suppress (TRACE -n)
    bool quiet = false;          // the current clause's trace output is suppressed
    bool in_pause = false;       // an interactive pause is reading lines
};

inline bool trace_clauses(const TraceState& t) {
    return t.bits & kTraceClauseMask;
}
inline bool trace_labels(const TraceState& t) {
    return t.bits & (kTraceClauseMask | kTraceLabels);
}
inline bool trace_results(const TraceState& t) {
    return t.bits & (kTraceResults | kTraceIntermediates);
}
inline bool trace_intermediates(const TraceState& t) {
    return t.bits & kTraceIntermediates;
}
inline bool trace_interactive(const TraceState& t) {
    return t.bits & kTraceInteractive;
}
inline bool commands_inhibited(const TraceState& t) {
    return t.bits & kTraceInhibit;
}
inline bool trace_scan_only(const TraceState& t) {
    return t.bits & kTraceScan;
}
// Whether a command with return code rc is traced after it ran (TRACE C, E, F).
bool trace_command_wanted(const TraceState& t, int rc);

// Applies a TRACE setting: letters with "?" and "!" prefixes, or a whole
// number. Errors 24 and 26.
void trace_setting(Interp& in, const RexxValue& v);
void trace_setting(Interp& in, std::string_view text);
// The setting as TRACE() returns it: prefixes then the level letter.
std::string trace_setting_text(const TraceState& t);

// The executor calls this before each clause so TRACE -n can count down.
void trace_count_clause(Interp& in);
bool trace_output_on(const Interp& in);

// Field width of a clause's line number.
int trace_line_width(int line);

// "\n" + "%*.d *-* " + text + "\n" and its forms for the start-up file,
// added sources and interpreted clauses (line is the global 1-based line).
void trace_clause(Interp& in, int line, std::string_view text, bool interpreted = false);
void trace_command(Interp& in, int depth, std::string_view command, int rc);
void trace_result(Interp& in, int depth, std::string_view value);
void trace_variable(Interp& in, int depth, std::string_view name, std::string_view value);
// op is the operator's text; " " for blank concatenation.
void trace_binary(Interp& in, int depth, std::string_view left, std::string_view op,
                  std::string_view right, std::string_view result);
void trace_prefix(Interp& in, int depth, char op, std::string_view operand,
                  std::string_view result);
void trace_backquote(Interp& in, int depth, std::string_view operand, std::string_view result);
// result null: the function returned nothing.
void trace_function(Interp& in, int depth, std::string_view name, const std::string_view* result);
void trace_index(Interp& in, int depth, std::string_view str, long first, long last,
                 std::string_view result);
void trace_index_assign(Interp& in, int depth, std::string_view old_value, long first, long last,
                        std::string_view new_text);
void trace_placeholder(Interp& in, int depth, std::string_view value);
void trace_environment(Interp& in, int depth, std::string_view text);

// The interactive pause after a traced clause. Reads lines from the input
// hook: an empty line (or end of input) continues, "=" asks to run the
// clause again, anything else runs through the run_pause_line hook and the
// pause reads again (unless that line switched interactive tracing off).
enum class PauseResult : uint8_t { Continue, Rerun };
PauseResult trace_pause(Interp& in);

} // namespace tolma
