#pragma once
// The command executor's part of the editor state: the settings it reads, the
// message line, the trace ring, the history, the synonyms, the pending-command
// queue and the hooks through which later layers (macros, targets) plug in.
#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace voren {

struct Editor;

// A synonym: typing `name` (at least `min_length` characters, compared
// case-sensitively) runs `commands` in order; the last one gets the rest of
// the typed text appended.
struct Synonym {
    std::string name;
    int min_length = 0;
    char linend = 0; // 0 when the definition was not split
    std::vector<std::string> commands;
};

// One running macro as seen by "$" expansion: the words of the command that
// started it ($0 its name, $1 ...) and its whole argument string ($argv).
struct MacroFrame {
    std::string name;
    std::vector<std::string> words;
    std::string arguments;
};

// Tries `text` as a macro; returns true when a macro ran (its result is then
// in Editor::return_code), false when no macro of that name exists.
using MacroHook = bool (*)(Editor& ed, std::string_view text);
// Runs a target typed alone (or a line number); returns the return code.
using TargetHook = int (*)(Editor& ed, std::string_view text);
// LOCATE of a target typed alone, and of a line number (editor/commands/targets.h).
int locate_target_hook(Editor& ed, std::string_view text);
int numeric_command_hook(Editor& ed, std::string_view text);

constexpr int kTraceRingSize = 500;
constexpr int kDefaultHistorySize = 50;
// Longest command text accepted; a longer one gets "..... Command too long".
constexpr size_t kMaxCommandLength = 65536;

struct ExecutorState {
    // Settings read by the executor; their SET/QUERY commands live with the
    // settings family and change these fields.
    bool linend_on = false;     // LINEND
    char linend = '#';          //
    bool synonyms_on = true;    // SYNONYM ON/OFF
    int impcmscp = 0;           // IMPCMSCP: 0 OFF, 1 ON, 2 XON
    bool macros_first = false;  // SET MACRO ON: macros before commands
    bool host_compat = true;    // MODE NOTIMP: the 28 host names are accepted
    bool expand_dollar = true;  // MODE EXPAND ON|OFF
    bool expand_env = false;    // MODE EXPAND ... ENV|NOENV
    bool arbchar_on = false;    // ARBCHAR
    char arbchar = '$';         //
    bool wrap = true;           // WRAP: searches go on from the other end of the file
    bool stay = false;          // STAY: a failed search leaves the current line alone
    bool hex = false;           // HEX: strings may be given as x'hh...'
    bool locate_stay = false;   // MODE LOCATE STAY: a string locate keeps the cursor
    bool number_goto = true;    // MODE NUMBER GOTO (a number typed alone is :n) or SCROLL
    bool command_trace = false; // writes "xfcom2: com = ..." to the trace output
    int in_profile = 0;         // > 0 while the profile runs (macros go first)

    // Where batch-mode messages and traces go (standard output by default).
    std::FILE* trace_output = stdout;

    // The message line and the last message shown.
    std::string message_line;
    std::string last_message;
    int message_width = 80; // the screen layer keeps this at the screen width
    int message_mode = 1;   // mode of the last message (1 normal, 2 stays, 3 stays + beeps)
    int pending_beeps = 0;  // beeps the screen layer still has to sound

    // The command line as the executor leaves it for the next turn.
    std::string command_line;
    bool command_line_stays = false;

    // The ring of the last trace tags, oldest overwritten first.
    std::array<std::string, kTraceRingSize> trace_ring;
    int trace_next = 0;
    int trace_count = 0;

    // Command history, oldest first; `history_cursor` == history.size() means
    // "nothing recalled yet".
    std::deque<std::string> history;
    size_t history_size = kDefaultHistorySize;
    size_t history_cursor = 0;

    std::vector<Synonym> synonyms;

    // Per-call state of the re-entrant executor.
    int depth = 0;
    // A failed command stays on the command line; a handler clears this for
    // its own call when its text must not be kept.
    bool keep_on_error = true;
    bool expanding_synonym = false;

    // Running macros, innermost last (pushed and popped by the macro layer).
    std::vector<MacroFrame> macro_frames;

    // Targets and string search (targets.cpp, search.cpp).
    std::string last_locate_target; // the target of the last LOCATE (for LOCATE alone)
    bool has_last_locate_target = false;
    std::string last_locate_string; // the last string searched for
    bool has_last_locate_string = false;
    // Where the last string locate matched, so that the next one goes on after it.
    int32_t last_match_file = -1; // file number, -1 when nothing is remembered
    int32_t last_match_line = 0;
    int32_t last_match_end = 0; // 0-based column just after the match
    // A target whose only matching components were negated puts the cursor on
    // the command line instead of the file area.
    bool cursor_on_command_line = false;

    // Hooks of later layers; null until that layer is linked in (the target
    // hooks are built in).
    MacroHook run_macro = nullptr;
    MacroHook set_macro_variable = nullptr; // SET fallback for unknown option words
    TargetHook numeric_command = &numeric_command_hook;
    TargetHook locate_target = &locate_target_hook;
};

} // namespace voren
