// Cursor commands: HOME, CURSOR, C_ENDLINE, C_STARTLINE, C_LINEADD, C_LINEDEL,
// C_DUP. They act where the cursor stood when the key that ran them was
// pressed, and say where the next redisplay puts it.
#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "editor/core/ring.h"
#include "editor/screen/interactive.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace voren {

namespace {

constexpr int kMsgInvalidParameters = 16;
constexpr int kMsgNoCurrentFile = 136;

bool fail(Editor& ed, int message) {
    show_message(ed, message);
    ed.return_code = 1;
    return true;
}

bool done(Editor& ed) {
    ed.return_code = 0;
    return true;
}

void cursor_to_line(Editor& ed, int32_t line, int column) {
    ScreenState& st = ed.display;
    st.cursor_target = ScreenState::CursorTarget::FileLine;
    st.cursor_line = line;
    st.cursor_column = std::max(0, column);
}

void cursor_to_command_line(Editor& ed, int offset) {
    ed.display.cursor_target = ScreenState::CursorTarget::CommandLine;
    ed.display.command_cursor = offset;
}

int left_column(const Editor& ed) {
    const auto& layouts = ed.display.layouts;
    return layouts.empty() ? 0 : layouts[size_t(ed.screen_index)].left_column;
}

// The file line the cursor stands on, else the current line when it is a line
// of the file.
std::optional<int32_t> target_line(const Editor& ed) {
    if (std::optional<FilePosition> at = cursor_file_position(ed)) return at->line;
    const File* file = current_file(ed);
    int32_t line = current_line(ed);
    if (file && line >= 0 && line < file->line_count()) return line;
    return std::nullopt;
}

bool line_shown(const Editor& ed, int32_t line) {
    const auto& layouts = ed.display.layouts;
    if (layouts.empty()) return false;
    for (const ShownRow& shown : layouts[size_t(ed.screen_index)].shown)
        if (shown.line == line) return true;
    return false;
}

std::optional<int> parse_number(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

std::vector<std::string_view> words_of(std::string_view text) {
    std::vector<std::string_view> words;
    for (;;) {
        std::string_view rest;
        std::string_view word = first_word(text, &rest);
        if (word.empty()) return words;
        words.push_back(word);
        text = rest;
    }
}

bool abbrev(std::string_view word, std::string_view name, size_t min) {
    return word.size() >= min && word.size() <= name.size() &&
           equals_ignore_case(word, name.substr(0, word.size()));
}

// HOME when the cursor is on the command line: the current line of the file
// area (its first line when the current line is top or end of file).
bool cursor_home(Editor& ed) {
    const File* file = current_file(ed);
    if (!cursor_on_command_line(ed) || !file || file->line_count() == 0) {
        cursor_to_command_line(ed, -1);
        return done(ed);
    }
    int32_t line = std::clamp<int32_t>(current_line(ed), 0, file->line_count() - 1);
    cursor_to_line(ed, line, left_column(ed));
    return done(ed);
}

} // namespace

bool xfcm_home(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    return cursor_home(ed);
}

// CURSOR HOME | CMDLINE [col] | FILE line [col]; lines and columns count from 1.
bool xfcm_cursor(Editor& ed, const CommandCall& call) {
    std::vector<std::string_view> words = words_of(call.operands);
    if (words.empty()) return fail(ed, kMsgInvalidParameters);
    std::string_view form = words[0];
    if (abbrev(form, "home", 1) && words.size() == 1) return cursor_home(ed);
    if (abbrev(form, "cmdline", 2) && words.size() <= 2) {
        int column = 1;
        if (words.size() == 2) {
            std::optional<int> n = parse_number(words[1]);
            if (!n) return fail(ed, kMsgInvalidParameters);
            column = *n;
        }
        cursor_to_command_line(ed, column - 1);
        return done(ed);
    }
    if (abbrev(form, "file", 1) && (words.size() == 2 || words.size() == 3)) {
        const File* file = current_file(ed);
        if (!file) return fail(ed, kMsgNoCurrentFile);
        std::optional<int> line = parse_number(words[1]);
        std::optional<int> column = words.size() == 3 ? parse_number(words[2]) : 1;
        if (!line || !column || *line > file->line_count()) return fail(ed, kMsgInvalidParameters);
        cursor_to_line(ed, *line - 1, *column - 1);
        return done(ed);
    }
    if (abbrev(form, "screen", 1) || abbrev(form, "escreen", 1) || abbrev(form, "column", 3) ||
        abbrev(form, "up", 1) || abbrev(form, "down", 1) || abbrev(form, "left", 1) ||
        abbrev(form, "right", 1) || abbrev(form, "mouse", 1))
        return not_implemented(ed, call);
    return fail(ed, kMsgInvalidParameters);
}

// C_ENDLINE: after the last character of the cursor's line (or of the command line).
bool xfcm_c_endline(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    std::optional<FilePosition> at = cursor_file_position(ed);
    if (!at) {
        cursor_to_command_line(ed, -1);
        return done(ed);
    }
    const File* file = current_file(ed);
    int length = int(file->lines[size_t(at->line)].text.view().size());
    cursor_to_line(ed, at->line, length);
    return done(ed);
}

// C_STARTLINE: the first column shown of the cursor's line (or of the command line).
bool xfcm_c_startline(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    std::optional<FilePosition> at = cursor_file_position(ed);
    if (!at) {
        cursor_to_command_line(ed, 0);
        return done(ed);
    }
    cursor_to_line(ed, at->line, left_column(ed));
    return done(ed);
}

// C_LINEADD: a blank line after the cursor's line (after the current line when
// the cursor is elsewhere; at the top of file: before the first line); the
// cursor goes to it.
bool xfcm_c_lineadd(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    File* file = current_file(ed);
    if (!file) return fail(ed, kMsgNoCurrentFile);
    int32_t after = -1;
    if (std::optional<FilePosition> at = cursor_file_position(ed))
        after = at->line;
    else
        after = std::clamp<int32_t>(current_line(ed), -1, file->line_count() - 1);
    // The new line takes the row below; when that row was not on the screen,
    // the new line becomes current so that it is seen.
    bool row_below_shown = line_shown(ed, after + 1);
    if (insert_line(ed, after, "", XF_TAG) != 0) return fail(ed, kMsgInvalidParameters);
    if (!row_below_shown) set_current_line(ed, after + 1);
    cursor_to_line(ed, after + 1, left_column(ed));
    return done(ed);
}

// C_LINEDEL: deletes the cursor's line (the current line when the cursor is
// elsewhere); the cursor stays on the line that moves up into its place.
bool xfcm_c_linedel(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    if (!current_file(ed)) return fail(ed, kMsgNoCurrentFile);
    std::optional<FilePosition> at = cursor_file_position(ed);
    std::optional<int32_t> line = target_line(ed);
    if (!line) return fail(ed, kMsgInvalidParameters);
    if (delete_lines(ed, *line, 1, XF_TAG) != 0) return fail(ed, kMsgInvalidParameters);
    const File* file = current_file(ed);
    if (at && *line < file->line_count()) cursor_to_line(ed, *line, at->column);
    return done(ed);
}

// C_DUP: a copy of the cursor's line (or the current line) after it; the cursor
// follows to the copy.
bool xfcm_c_dup(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    File* file = current_file(ed);
    if (!file) return fail(ed, kMsgNoCurrentFile);
    std::optional<FilePosition> at = cursor_file_position(ed);
    std::optional<int32_t> line = target_line(ed);
    if (!line) return fail(ed, kMsgInvalidParameters);
    std::string text(file->lines[size_t(*line)].text.view());
    if (insert_line(ed, *line, text, XF_TAG) != 0) return fail(ed, kMsgInvalidParameters);
    if (at) cursor_to_line(ed, *line + 1, at->column);
    return done(ed);
}

} // namespace voren
