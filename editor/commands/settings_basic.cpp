// Settings read by targets and searches: WRAP, STAY, HEX, ARBCHAR, SCOPE and
// ZONE. Typed with an operand each changes its setting; all but ZONE report
// it when typed alone.
#include <string>

#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"

namespace voren {

namespace {

bool fail(Editor& ed, int message) {
    show_message(ed, message);
    ed.return_code = 1;
    return true;
}

// ON or OFF (any case) sets `value`; no operand reports it ("Is ON"/"Is OFF").
bool on_off_setting(Editor& ed, const CommandCall& call, bool& value) {
    std::string_view rest;
    std::string_view word = first_word(call.operands, &rest);
    if (word.empty()) {
        show_message(ed, value ? 9 : 10);
        ed.return_code = 0;
        return true;
    }
    if (!rest.empty()) return fail(ed, 16);
    if (equals_ignore_case(word, "ON"))
        value = true;
    else if (equals_ignore_case(word, "OFF"))
        value = false;
    else
        return fail(ed, 16);
    ed.return_code = 0;
    return true;
}

// A column number of at most nine digits, at least 1.
bool parse_column(std::string_view word, int32_t& column) {
    if (word.empty() || word.size() > 9) return false;
    int32_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1) return false;
    column = value;
    return true;
}

// Whether `word` is at least `min` long and abbreviates `full` (any case).
bool keyword(std::string_view word, std::string_view full, size_t min) {
    return word.size() >= min && word.size() <= full.size() &&
           equals_ignore_case(word, full.substr(0, word.size()));
}

} // namespace

bool xfcm_wrap(Editor& ed, const CommandCall& call) {
    return on_off_setting(ed, call, ed.cmd.wrap);
}

bool xfcm_stay(Editor& ed, const CommandCall& call) {
    return on_off_setting(ed, call, ed.cmd.stay);
}

bool xfcm_hex(Editor& ed, const CommandCall& call) {
    return on_off_setting(ed, call, ed.cmd.hex);
}

// ARBCHAR ON|OFF [c]: arbitrary-character matching and its character.
bool xfcm_arbchar(Editor& ed, const CommandCall& call) {
    std::string_view rest;
    std::string_view word = first_word(call.operands, &rest);
    std::string_view character = first_word(rest, &rest);
    if (word.empty()) {
        show_message(ed, ed.cmd.arbchar_on ? 9 : 10);
        ed.return_code = 0;
        return true;
    }
    bool on = equals_ignore_case(word, "ON");
    if ((!on && !equals_ignore_case(word, "OFF")) || character.size() > 1 || !rest.empty())
        return fail(ed, 16);
    ed.cmd.arbchar_on = on;
    if (!character.empty()) ed.cmd.arbchar = character[0];
    ed.return_code = 0;
    return true;
}

// SCOPE Display|All of the current screen; alone: "is DISPLAY" / "is ALL".
bool xfcm_scope(Editor& ed, const CommandCall& call) {
    Screen& screen = current_screen(ed);
    std::string_view rest;
    std::string_view word = first_word(call.operands, &rest);
    if (word.empty()) {
        show_message(ed, screen.scope == ScopeMode::All ? 53 : 52);
        ed.return_code = 0;
        return true;
    }
    if (!rest.empty()) return fail(ed, 16);
    if (keyword(word, "DISPLAY", 1))
        screen.scope = ScopeMode::Display;
    else if (keyword(word, "ALL", 1))
        screen.scope = ScopeMode::All;
    else
        return fail(ed, 16);
    ed.return_code = 0;
    return true;
}

// ZONE left right|*: the columns of the current file that searches look at.
bool xfcm_zone(Editor& ed, const CommandCall& call) {
    File* file = current_file(ed);
    if (file == nullptr) {
        ed.return_code = 1;
        return true;
    }
    std::string_view rest;
    std::string_view left_word = first_word(call.operands, &rest);
    std::string_view right_word = first_word(rest, &rest);
    if (left_word.empty()) return fail(ed, 159);
    int32_t left = 0, right = 0;
    if (!parse_column(left_word, left) || right_word.empty() || !rest.empty()) return fail(ed, 16);
    if (right_word == "*")
        right = max_line_length;
    else if (!parse_column(right_word, right) || right < left)
        return fail(ed, 16);
    file->zone_left = left;
    file->zone_right = right;
    ed.return_code = 0;
    return true;
}

} // namespace voren
