#pragma once
// Targets: a line of the current file named relative to the current line,
// by number, by name or by the strings it contains.
//
//   n  +n  -n        n lines forward or backward
//   *  +*  -*        the end-of-file line; the lowest allowed current line
//   :n               line number n (from 1)
//   .name            the line carrying that name (POINT)
//   /s/ -/s/ ~/s/    next line containing s, the same backward, next line without s
//   /a/ & ~/b/ | /c/ string components combined left to right, no precedence
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace voren {

struct Editor;

// Failure values of a resolution.
constexpr int32_t target_not_found = -2;
constexpr int32_t target_invalid = -3;

// How many characters at the start of `text` the target occupies; the rest
// belongs to the command's other operands.
size_t target_length(std::string_view text);

enum class TargetForm { Relative, EndOfFile, Lowest, LineNumber, Named, Strings };

struct StringComponent {
    bool negated = false;
    std::string text;   // the string between the delimiters
    std::string source; // the component as typed
    char op = 0;        // '&' or '|' joining it to the next component, 0 for the last
};

struct ParsedTarget {
    TargetForm form = TargetForm::Relative;
    bool backward = false;
    int64_t number = 0; // relative count or line number
    std::string name;   // with its leading "."
    std::vector<StringComponent> components;
    bool single_string = false; // one string, no combination
};

// Parses a target of exactly `text` (as cut by target_length). On failure
// returns false with the text of the message to show in `error`.
bool parse_target(std::string_view text, ParsedTarget& target, std::string& error);

// The result of resolving a target.
struct TargetOutcome {
    int32_t line = target_invalid; // line index, or target_not_found / target_invalid
    // 0 found; 1 when a relative move ran past the last line or reached the
    // top-of-file line, when the line is not in scope or when a name is unknown.
    int rc = 0;
    bool search = false;   // a string search: LOCATE's not-found rules apply
    bool backward = false; // the target searches or moves backward
    bool wrapped = false;  // a string search found its line after wrapping
};

// Resolves the first `length` characters of `text` against the current file.
// With `move` a found line becomes the current line (at most the last line)
// and the cursor goes to the match. Messages are shown for every failure.
TargetOutcome resolve_target_outcome(Editor& ed, std::string_view text, bool move);
int32_t resolve_target(Editor& ed, std::string_view text, size_t length, bool move);

// LOCATE of `operands` (a target, optionally followed by a command); an empty
// operand repeats the last LOCATE target. Returns LOCATE's return code:
// 0 found, 1 not found (or a move past an end), 2 not found with WRAP on,
// 5 invalid target.
int locate(Editor& ed, std::string_view operands);

// The executor's hooks (ExecutorState points at them from the start): a
// target typed alone is a LOCATE; a line number typed alone goes to that line
// under MODE NUMBER GOTO and moves that many lines under MODE NUMBER SCROLL.
int locate_target_hook(Editor& ed, std::string_view text);
int numeric_command_hook(Editor& ed, std::string_view text);

} // namespace voren
