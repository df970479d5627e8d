// Screen commands: SCREEN, SETP, COLOR, CMDLINE, CURLINE, SCALE, TABLINE,
// PREFIX, NUMBER, SHADOW and the _Screen forms.
#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "editor/screen/colours.h"
#include "editor/screen/layout.h"

#include <cctype>
#include <charconv>
#include <string>
#include <vector>

namespace voren {

namespace {

constexpr int kMsgIsOn = 9;
constexpr int kMsgIsOff = 10;
constexpr int kMsgInvalidParameters = 16;
constexpr int kMsgScreenTooSmall = 19;
constexpr int kMsgAlreadyUsed = 56;
constexpr int kMsgInvalidColour = 59;
constexpr int kMsgOnLeft = 91;
constexpr int kMsgOnRight = 92;
constexpr int kMsgCmdlineOnTop = 121;
constexpr int kMsgNoCurrentFile = 136;
constexpr int kMsgIsZero = 170;

bool fail(Editor& ed, int message) {
    show_message(ed, message);
    ed.return_code = 1;
    return true;
}

bool fail_text(Editor& ed, const std::string& text) {
    show_text(ed, text);
    ed.return_code = 1;
    return true;
}

bool done(Editor& ed) {
    ed.return_code = 0;
    return true;
}

bool report(Editor& ed, int message) {
    show_message(ed, message);
    return done(ed);
}

std::vector<std::string_view> split_words(std::string_view text) {
    std::vector<std::string_view> words;
    for (;;) {
        std::string_view rest;
        std::string_view word = first_word(text, &rest);
        if (word.empty()) break;
        words.push_back(word);
        text = rest;
    }
    return words;
}

std::optional<int> whole_number(std::string_view word) {
    int value = 0;
    if (word.empty() || word.size() > 9) return std::nullopt;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

bool is_on(std::string_view word) {
    return equals_ignore_case(word, "on");
}
bool is_off(std::string_view word) {
    return abbreviation_matches(word, "OFf");
}

int current_lines(const Editor& ed) {
    return ed.display.layouts[size_t(ed.screen_index)].rect.lines;
}

// ---- SCREEN --------------------------------------------------------------------

bool set_screens(Editor& ed, const std::vector<ScreenRect>& rects, std::optional<KeptSplit> kept) {
    ScreenState& st = ed.display;
    int pf_rows = int(st.pf_lines.size());
    if (auto fault = layout_fault(rects, st.rows, st.columns, pf_rows))
        return fail_text(ed, *fault);
    apply_layout(ed, rects);
    st.kept_split = kept;
    return done(ed);
}

} // namespace

bool xfcm_screen(Editor& ed, const CommandCall& call) {
    sync_layouts(ed);
    ScreenState& st = ed.display;
    std::vector<std::string_view> words = split_words(call.operands);
    if (words.empty()) return fail(ed, kMsgInvalidParameters);
    int pf_rows = int(st.pf_lines.size());
    if (auto n = whole_number(words[0])) {
        bool vertical = false;
        if (words.size() > 2) return fail(ed, kMsgInvalidParameters);
        if (words.size() == 2) {
            if (abbreviation_matches(words[1], "Vertical"))
                vertical = true;
            else if (!abbreviation_matches(words[1], "Horizontal"))
                return fail(ed, kMsgInvalidParameters);
        }
        if (*n < 1) return fail(ed, kMsgScreenTooSmall);
        if (*n > kMaxWindowRows) return fail(ed, kMsgScreenTooSmall);
        return set_screens(ed, even_split(st.rows, st.columns, pf_rows, *n, vertical),
                           KeptSplit{*n, vertical});
    }
    std::vector<int> numbers;
    for (size_t i = 1; i < words.size(); ++i) {
        auto value = whole_number(words[i]);
        if (!value) return fail(ed, kMsgInvalidParameters);
        numbers.push_back(*value);
    }
    std::string_view keyword = words[0];
    bool stacked = abbreviation_matches(keyword, "Size") || abbreviation_matches(keyword, "Lines");
    bool side = abbreviation_matches(keyword, "Width") || abbreviation_matches(keyword, "Columns");
    if (stacked || side) {
        if (numbers.empty()) return fail(ed, kMsgInvalidParameters);
        return set_screens(ed, sized_split(st.rows, st.columns, pf_rows, numbers, side),
                           std::nullopt);
    }
    if (abbreviation_matches(keyword, "Define")) {
        if (numbers.empty() || numbers.size() % 4 != 0) return fail(ed, kMsgInvalidParameters);
        std::vector<ScreenRect> rects;
        for (size_t i = 0; i < numbers.size(); i += 4)
            rects.push_back(ScreenRect{numbers[i], numbers[i + 1], numbers[i + 2], numbers[i + 3]});
        return set_screens(ed, rects, std::nullopt);
    }
    return fail(ed, kMsgInvalidParameters);
}

// ---- SETP ----------------------------------------------------------------------

bool xfcm_setp(Editor& ed, const CommandCall& call) {
    std::string_view text = call.operands;
    size_t first = text.find('"');
    size_t last = text.rfind('"');
    std::vector<std::string> rows;
    if (first != std::string_view::npos && last > first + 1) {
        std::string_view inside = text.substr(first + 1, last - first - 1);
        for (;;) {
            size_t at = inside.find("\\n");
            rows.emplace_back(inside.substr(0, at));
            if (at == std::string_view::npos) break;
            inside.remove_prefix(at + 2);
        }
    }
    ScreenState& st = ed.display;
    if (int(rows.size()) > st.rows) return fail(ed, kMsgScreenTooSmall);
    st.pf_lines = std::move(rows);
    set_window_size(ed, st.rows, st.columns);
    return done(ed);
}

// ---- COLOR ---------------------------------------------------------------------

bool xfcm_color(Editor& ed, const CommandCall& call) {
    ScreenState& st = ed.display;
    std::vector<std::string_view> words = split_words(call.operands);
    if (words.empty()) return report(ed, st.colour_on ? kMsgIsOn : kMsgIsOff);
    if (words.size() == 1 && is_on(words[0])) {
        st.colour_on = true;
        return done(ed);
    }
    if (words.size() == 1 && is_off(words[0])) {
        st.colour_on = false;
        return done(ed);
    }
    if (equals_ignore_case(words[0], "edit") || equals_ignore_case(words[0], "makefile"))
        return not_implemented(ed, call); // the colour editor and colour files come later
    if (words.size() == 2) {
        auto colour = find_colour(words[1]);
        if (!colour) return fail(ed, kMsgInvalidColour);
        if (words[0] == "*") {
            st.area_colours.fill(std::uint8_t(*colour));
            return done(ed);
        }
        auto area = find_colour_area(words[0]);
        if (!area) return fail(ed, kMsgInvalidColour);
        st.area_colours[size_t(*area)] = std::uint8_t(*colour);
        return done(ed);
    }
    if (words.size() == 4) {
        platform::Rgb rgb;
        std::uint8_t* parts[3] = {&rgb.r, &rgb.g, &rgb.b};
        for (int i = 0; i < 3; ++i) {
            auto value = whole_number(words[size_t(i) + 1]);
            if (!value || *value < 0 || *value > 255) return fail(ed, kMsgInvalidColour);
            *parts[i] = std::uint8_t(*value);
        }
        bool background = equals_ignore_case(words[0], "background");
        bool foreground = equals_ignore_case(words[0], "foreground");
        if (background || foreground) {
            if (st.window)
                (background ? platform::set_background_rgb
                            : platform::set_foreground_rgb)(*st.window, rgb);
            return done(ed);
        }
        auto colour = find_colour(words[0]);
        if (!colour) return fail(ed, kMsgInvalidColour);
        if (*colour == 7 || *colour == 62) return done(ed); // black and white stay as they are
        st.palette[size_t(*colour)] = rgb;
        if (st.window) platform::set_colour_rgb(*st.window, *colour, rgb);
        return done(ed);
    }
    return fail(ed, kMsgInvalidColour);
}

// ---- CMDLINE and CURLINE ---------------------------------------------------------

bool xfcm_cmdline(Editor& ed, const CommandCall& call) {
    sync_layouts(ed);
    ScreenLayout& layout = ed.display.layouts[size_t(ed.screen_index)];
    std::vector<std::string_view> words = split_words(call.operands);
    bool on = cmdline_on(layout.cmdline);
    bool top = cmdline_at_top(layout.cmdline);
    if (words.empty()) {
        int message = kMsgCmdlineOnTop + (on ? 0 : 2) + (top ? 0 : 1);
        return report(ed, message);
    }
    if (words.size() > 2) return fail(ed, kMsgInvalidParameters);
    bool new_on = on, new_top = top;
    bool saw_state = false, saw_place = false;
    for (std::string_view word : words) {
        if (!saw_state && (is_on(word) || is_off(word))) {
            new_on = is_on(word);
            saw_state = true;
        } else if (!saw_place && abbreviation_matches(word, "Top")) {
            new_top = true;
            saw_place = true;
        } else if (!saw_place && abbreviation_matches(word, "Bottom")) {
            new_top = false;
            saw_place = true;
        } else {
            return fail(ed, kMsgInvalidParameters);
        }
    }
    // Rows that the command line takes over move out of its way.
    const int lines = layout.rect.lines;
    RowSpec* rows[3] = {&layout.curline, nullptr, nullptr};
    ViewDisplay* view = &layout.defaults;
    if (File* file = current_file(ed)) {
        auto own = layout.file_views.find(file->file_number);
        if (own != layout.file_views.end()) view = &own->second;
    }
    rows[1] = &view->scale_row;
    rows[2] = &view->tabline_row;
    // Moving to the bottom: an element on the last row goes one up (and one on
    // the row above it one further). Moving to the top: one on row 3 goes to row
    // 4 (and one on row 4 to row 5).
    auto shift = [&](int from, int step) {
        RowSpec* on_from = nullptr;
        RowSpec* on_next = nullptr;
        for (RowSpec* desc : rows) {
            if (!desc) continue;
            int row = resolve_row(*desc, lines);
            if (step < 0 ? row >= from : row == from)
                on_from = on_from ? on_from : desc;
            else if (row == from + step)
                on_next = on_next ? on_next : desc;
        }
        if (!on_from) return;
        *on_from = RowSpec{RowSpec::FromTop, from + step};
        if (on_next) *on_next = RowSpec{RowSpec::FromTop, from + 2 * step};
    };
    if (!new_top && top) shift(lines, -1);
    if (new_top && !top) shift(3, 1);
    layout.cmdline = new_top ? (new_on ? CmdlineSetting::Top : CmdlineSetting::OffTop)
                             : (new_on ? CmdlineSetting::Bottom : CmdlineSetting::OffBottom);
    if (!new_on) layout.show_cmdline_once = false;
    return done(ed);
}

bool xfcm_curline(Editor& ed, const CommandCall& call) {
    sync_layouts(ed);
    int s = ed.screen_index;
    ScreenLayout& layout = ed.display.layouts[size_t(s)];
    std::string_view operands = trim_blanks(call.operands);
    if (operands.empty()) {
        ScreenPlan plan = plan_screen(ed, s);
        show_text(ed, " ..... Is ON " + std::to_string(plan.curline_row));
        return done(ed);
    }
    auto desc = parse_row_spec(operands);
    if (!desc) return fail(ed, kMsgInvalidParameters);
    ScreenPlan plan = plan_screen(ed, s);
    int row = clamp_curline(plan, resolve_row(*desc, layout.rect.lines));
    if (row == plan.scale_row || row == plan.tabline_row) return fail(ed, kMsgAlreadyUsed);
    layout.curline = *desc;
    return done(ed);
}

// ---- View settings: SCALE, TABLINE, PREFIX, NUMBER, SHADOW ------------------------

namespace {

// The settings a command changes: the current file's view (plain form, which
// needs a file) or the screen's own (the _Screen form).
ViewDisplay* target_view(Editor& ed, bool screen_form) {
    sync_layouts(ed);
    int s = ed.screen_index;
    if (screen_form) return &ed.display.layouts[size_t(s)].defaults;
    File* file = current_file(ed);
    if (!file) return nullptr;
    return &own_view_display(ed, s, *file);
}

const ViewDisplay& shown_view(Editor& ed, bool screen_form) {
    int s = ed.screen_index;
    if (screen_form) return ed.display.layouts[size_t(s)].defaults;
    return view_display(ed, s, current_file(ed));
}

// SCALE and TABLINE: ON|OFF [row].
bool set_line_row(Editor& ed, const CommandCall& call, bool screen_form, bool scale) {
    sync_layouts(ed);
    if (!screen_form && !current_file(ed)) return fail(ed, kMsgNoCurrentFile);
    std::string_view operands = trim_blanks(call.operands);
    int s = ed.screen_index;
    const int lines = current_lines(ed);
    if (operands.empty()) {
        const ViewDisplay& view = shown_view(ed, screen_form);
        bool on = scale ? view.scale_on : view.tabline_on;
        int row = resolve_row(scale ? view.scale_row : view.tabline_row, lines);
        show_text(ed,
                  std::string(message_text(on ? kMsgIsOn : kMsgIsOff)) + " " + std::to_string(row));
        return done(ed);
    }
    std::string_view rest;
    std::string_view word = first_word(operands, &rest);
    bool on;
    if (is_on(word))
        on = true;
    else if (is_off(word))
        on = false;
    else
        return fail(ed, kMsgInvalidParameters);
    ViewDisplay probe = shown_view(ed, screen_form);
    RowSpec& desc = scale ? probe.scale_row : probe.tabline_row;
    if (!trim_blanks(rest).empty()) {
        auto parsed = parse_row_spec(rest);
        if (!parsed) return fail(ed, kMsgInvalidParameters);
        desc = *parsed;
    }
    (scale ? probe.scale_on : probe.tabline_on) = on;
    if (on) {
        ScreenPlan plan = plan_screen(ed, s);
        int row = resolve_row(desc, lines);
        if (row < plan.area_first || row > plan.area_last) return fail(ed, kMsgInvalidParameters);
        int other = 0;
        if (scale && probe.tabline_on) other = resolve_row(probe.tabline_row, lines);
        if (!scale && probe.scale_on) other = resolve_row(probe.scale_row, lines);
        if (row == plan.curline_row || row == other) return fail(ed, kMsgAlreadyUsed);
    }
    *target_view(ed, screen_form) = probe;
    return done(ed);
}

bool set_prefix(Editor& ed, const CommandCall& call, bool screen_form) {
    sync_layouts(ed);
    if (!screen_form && !current_file(ed)) return fail(ed, kMsgNoCurrentFile);
    std::vector<std::string_view> words = split_words(call.operands);
    if (words.empty()) {
        const ViewDisplay& view = shown_view(ed, screen_form);
        if (view.prefix == PrefixSide::Off) return report(ed, kMsgIsOff);
        return report(ed, view.prefix == PrefixSide::Left ? kMsgOnLeft : kMsgOnRight);
    }
    if (abbreviation_matches(words[0], "SYNonym"))
        return not_implemented(ed, call); // prefix synonyms belong to the prefix commands
    if (words.size() > 2) return fail(ed, kMsgInvalidParameters);
    ViewDisplay probe = shown_view(ed, screen_form);
    if (is_off(words[0])) {
        if (words.size() != 1) return fail(ed, kMsgInvalidParameters);
        probe.prefix = PrefixSide::Off;
    } else if (is_on(words[0]) || abbreviation_matches(words[0], "Nulls")) {
        probe.prefix_nulls = !is_on(words[0]);
        PrefixSide side = probe.prefix == PrefixSide::Right ? PrefixSide::Right : PrefixSide::Left;
        if (words.size() == 2) {
            if (abbreviation_matches(words[1], "Left"))
                side = PrefixSide::Left;
            else if (abbreviation_matches(words[1], "Right"))
                side = PrefixSide::Right;
            else
                return fail(ed, kMsgInvalidParameters);
        }
        probe.prefix = side;
    } else {
        return fail(ed, kMsgInvalidParameters);
    }
    *target_view(ed, screen_form) = probe;
    return done(ed);
}

bool set_number(Editor& ed, const CommandCall& call, bool screen_form) {
    sync_layouts(ed);
    if (!screen_form && !current_file(ed)) return fail(ed, kMsgNoCurrentFile);
    std::vector<std::string_view> words = split_words(call.operands);
    if (words.empty()) {
        NumberMode mode = shown_view(ed, screen_form).number;
        return report(ed, mode == NumberMode::On    ? kMsgIsOn
                          : mode == NumberMode::Off ? kMsgIsOff
                                                    : kMsgIsZero);
    }
    if (words.size() != 1) return fail(ed, kMsgInvalidParameters);
    NumberMode mode;
    if (is_on(words[0]))
        mode = NumberMode::On;
    else if (is_off(words[0]))
        mode = NumberMode::Off;
    else if (abbreviation_matches(words[0], "Zero"))
        mode = NumberMode::Zero;
    else
        return fail(ed, kMsgInvalidParameters);
    target_view(ed, screen_form)->number = mode;
    return done(ed);
}

} // namespace

bool xfcm_scale(Editor& ed, const CommandCall& call) {
    return set_line_row(ed, call, false, true);
}
bool xfcm_scale_screen(Editor& ed, const CommandCall& call) {
    return set_line_row(ed, call, true, true);
}
bool xfcm_tabline(Editor& ed, const CommandCall& call) {
    return set_line_row(ed, call, false, false);
}
bool xfcm_tabline_screen(Editor& ed, const CommandCall& call) {
    return set_line_row(ed, call, true, false);
}
bool xfcm_prefix(Editor& ed, const CommandCall& call) {
    return set_prefix(ed, call, false);
}
bool xfcm_prefix_screen(Editor& ed, const CommandCall& call) {
    return set_prefix(ed, call, true);
}
bool xfcm_number(Editor& ed, const CommandCall& call) {
    return set_number(ed, call, false);
}
bool xfcm_number_screen(Editor& ed, const CommandCall& call) {
    return set_number(ed, call, true);
}

bool xfcm_shadow(Editor& ed, const CommandCall& call) {
    sync_layouts(ed);
    if (!current_file(ed)) return fail(ed, kMsgNoCurrentFile);
    std::vector<std::string_view> words = split_words(call.operands);
    if (words.empty()) return report(ed, shown_view(ed, false).shadow ? kMsgIsOn : kMsgIsOff);
    if (words.size() != 1 || !(is_on(words[0]) || is_off(words[0])))
        return fail(ed, kMsgInvalidParameters);
    target_view(ed, false)->shadow = is_on(words[0]);
    return done(ed);
}

} // namespace voren
