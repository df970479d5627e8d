// Moving the current line and the view: TOP, BOTTOM, UP, DOWN, NEXT, FORWARD,
// BACKWARD, PGUP, PGDOWN, LEFT, RIGHT, REFRESH.
#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "editor/core/ring.h"
#include "editor/screen/layout.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

namespace voren {

namespace {

constexpr int kMsgInvalidParameters = 16;
constexpr int kMsgNoCurrentFile = 136;
constexpr int64_t kAll = std::numeric_limits<int32_t>::max();

bool fail(Editor& ed, int message) {
    show_message(ed, message);
    ed.return_code = 1;
    return true;
}

// A count operand: nothing is `fallback`, "*" is all, else a whole number >= 0.
std::optional<int64_t> parse_count(std::string_view operands, int64_t fallback) {
    std::string_view text = trim_blanks(operands);
    if (text.empty()) return fallback;
    if (text == "*") return kAll;
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return std::min<int64_t>(value, kAll);
}

// Moves the current line by `count` lines in scope (negative: up). A move cut
// short by the top or end of the file stops there with return code 1 (as
// XEDIT does); the command is not kept on the command line for that.
bool move_lines(Editor& ed, int64_t count) {
    File* file = current_file(ed);
    if (!file) return fail(ed, kMsgNoCurrentFile);
    int32_t line = current_line(ed);
    const int32_t end = file->line_count();
    int step = count < 0 ? -1 : 1;
    int64_t left = count < 0 ? -count : count;
    while (left > 0) {
        if ((step < 0 && line <= -1) || (step > 0 && line >= end)) break;
        line += step;
        if (line == -1 || line == end || in_scope(ed, line)) --left;
    }
    set_current_line(ed, line);
    // Cut short at the top or end of the file.
    ed.return_code = left > 0 || current_line(ed) != line ? 1 : 0;
    if (ed.return_code != 0) ed.cmd.keep_on_error = false;
    return true;
}

bool move_with_count(Editor& ed, const CommandCall& call, int direction) {
    std::optional<int64_t> count = parse_count(call.operands, 1);
    if (!count) return fail(ed, kMsgInvalidParameters);
    return move_lines(ed, direction * *count);
}

// The lines a page moves: the file-area rows of the current screen less two,
// so that the last line of a page stays in sight on the next one.
int64_t page_lines(const Editor& ed) {
    if (ed.display.layouts.empty()) return 1;
    ScreenPlan plan = plan_screen(ed, ed.screen_index);
    return std::max(1, plan.area_last - plan.area_first + 1 - 2);
}

bool move_pages(Editor& ed, const CommandCall& call, int direction) {
    std::optional<int64_t> pages = parse_count(call.operands, 1);
    if (!pages) return fail(ed, kMsgInvalidParameters);
    if (*pages == kAll) return move_lines(ed, direction * kAll);
    return move_lines(ed, direction * std::min<int64_t>(*pages * page_lines(ed), kAll));
}

// LEFT / RIGHT n: columns hidden at the left of the current screen. 0 shows the
// line from its first column again.
bool shift_view(Editor& ed, const CommandCall& call, int direction) {
    std::optional<int64_t> count = parse_count(call.operands, 1);
    if (!count || *count == kAll) return fail(ed, kMsgInvalidParameters);
    if (ed.display.layouts.empty()) return fail(ed, kMsgInvalidParameters);
    int& left = ed.display.layouts[size_t(ed.screen_index)].left_column;
    if (*count == 0)
        left = 0;
    else
        left = int(std::clamp<int64_t>(left + direction * *count, 0, max_line_length));
    ed.return_code = 0;
    return true;
}

} // namespace

bool xfcm_top(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    if (!current_file(ed)) return fail(ed, kMsgNoCurrentFile);
    set_current_line(ed, -1);
    ed.return_code = 0;
    return true;
}

bool xfcm_bottom(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    File* file = current_file(ed);
    if (!file) return fail(ed, kMsgNoCurrentFile);
    set_current_line(ed, file->line_count() - 1);
    ed.return_code = 0;
    return true;
}

bool xfcm_up(Editor& ed, const CommandCall& call) {
    return move_with_count(ed, call, -1);
}
bool xfcm_down(Editor& ed, const CommandCall& call) {
    return move_with_count(ed, call, 1);
}
bool xfcm_next(Editor& ed, const CommandCall& call) {
    return move_with_count(ed, call, 1);
}
bool xfcm_forward(Editor& ed, const CommandCall& call) {
    return move_pages(ed, call, 1);
}
bool xfcm_backward(Editor& ed, const CommandCall& call) {
    return move_pages(ed, call, -1);
}

bool xfcm_pgdown(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    return move_lines(ed, page_lines(ed));
}
bool xfcm_pgup(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    return move_lines(ed, -page_lines(ed));
}

bool xfcm_left(Editor& ed, const CommandCall& call) {
    return shift_view(ed, call, -1);
}
bool xfcm_right(Editor& ed, const CommandCall& call) {
    return shift_view(ed, call, 1);
}

// REFRESH: lays the screens out again for the window's size and redraws them.
bool xfcm_refresh(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, kMsgInvalidParameters);
    ScreenState& st = ed.display;
    if (st.window) set_window_size(ed, st.window->rows, st.window->cols);
    if (ed.redisplay) ed.redisplay(ed);
    ed.return_code = 0;
    return true;
}

} // namespace voren
