// Target extent, parsing and resolution.
#include "editor/commands/targets.h"

#include <algorithm>
#include <cstring>

#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/commands/search.h"
#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "editor/screen/layout.h"

namespace voren {

namespace {

constexpr size_t kMaxDigits = 9;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

size_t skip_blanks(std::string_view text, size_t i) {
    while (i < text.size() && is_blank(text[i]))
        ++i;
    return i;
}

size_t digits_end(std::string_view text, size_t i) {
    while (i < text.size() && is_digit(text[i]))
        ++i;
    return i;
}

// Extent of a string target whose delimiter is text[0]: up to the last
// occurrence of the delimiter, or to the end when that is the only one or
// when it opens a component after "&" or "|".
size_t string_extent(std::string_view text) {
    if (text.empty()) return 0;
    size_t last = text.rfind(text[0]);
    if (last == 0) return text.size();
    if (text[last - 1] == '&' || text[last - 1] == '|') return text.size();
    return last + 1;
}

// The target's words separated by single blanks.
std::string target_words(std::string_view text) {
    std::string words;
    std::string_view rest = text;
    while (true) {
        std::string_view word = first_word(rest, &rest);
        if (word.empty()) break;
        if (!words.empty()) words += ' ';
        words += word;
    }
    return words;
}

// A number of at most nine digits making up all of `digits`.
bool parse_number(std::string_view digits, int64_t& value) {
    if (digits.empty() || digits.size() > kMaxDigits) return false;
    value = 0;
    for (char c : digits) {
        if (!is_digit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

std::string_view strip_trailing_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// String components from `s`. A first component followed by anything but
// "&" or "|" is a single string running to the end of the target (so it may
// hold its own delimiter); otherwise components and operators alternate.
bool parse_strings(std::string_view whole, std::string_view s, ParsedTarget& target,
                   std::string& error) {
    target.form = TargetForm::Strings;
    size_t n = s.size();
    size_t i = 0;
    while (true) {
        StringComponent comp;
        size_t start = i;
        if (i < n && s[i] == '~') {
            comp.negated = true;
            i = skip_blanks(s, i + 1);
        }
        if (i >= n) {
            // An operator (or "~") with no component after it.
            error = std::string(message_text(163));
            return false;
        }
        char delimiter = s[i];
        size_t body = i + 1;
        size_t close = s.find(delimiter, body);
        if (target.components.empty()) {
            size_t after = skip_blanks(s, close == std::string_view::npos ? n : close + 1);
            bool combination = close != std::string_view::npos && after < n &&
                               (s[after] == '&' || s[after] == '|');
            if (!combination) {
                std::string_view text = strip_trailing_blanks(s.substr(body));
                if (!text.empty() && text.back() == delimiter) text.remove_suffix(1);
                comp.text = text;
                comp.source = strip_trailing_blanks(s.substr(start));
                target.components.push_back(std::move(comp));
                target.single_string = true;
                return true;
            }
        }
        size_t end = close == std::string_view::npos ? n : close;
        std::string_view text = s.substr(body, end - body);
        if (close == std::string_view::npos) text = strip_trailing_blanks(text);
        comp.text = text;
        comp.source = s.substr(start, (close == std::string_view::npos ? n : close + 1) - start);
        if (comp.text.empty()) {
            error = "..... Invalid subtarget \"" + comp.source + "\"";
            return false;
        }
        i = skip_blanks(s, close == std::string_view::npos ? n : close + 1);
        if (i >= n) {
            target.components.push_back(std::move(comp));
            return true;
        }
        if (s[i] != '&' && s[i] != '|') {
            error = "..... Invalid target \"" + target_words(whole) + "\"";
            return false;
        }
        comp.op = s[i];
        target.components.push_back(std::move(comp));
        i = skip_blanks(s, i + 1);
    }
}

// Step 8 of a resolution: whether a line a target designates is in scope.
bool target_in_scope(const Editor& ed, const File& file, int32_t line) {
    ScopeMode mode = current_screen(ed).scope;
    if (mode == ScopeMode::All) return true;
    if (line == -1 || line == file.line_count()) return mode == ScopeMode::Display;
    if (line < -1 || line > file.line_count()) return false;
    return scope_test(ed).includes(file.lines[size_t(line)]);
}

// Relative move of `count` lines from `current`; `passed` says whether it ran
// past the last line (forward) or reached the top-of-file line (backward).
int32_t relative_line(const Editor& ed, const File& file, int32_t current, int64_t count,
                      bool backward, bool& passed) {
    int32_t last = file.line_count();
    int64_t line = current;
    if (current_screen(ed).scope == ScopeMode::All) {
        line = backward ? line - count : line + count;
    } else {
        ScopeTest scoped = scope_test(ed);
        for (int64_t k = 0; k < count; ++k) {
            if (backward ? line <= -1 : line >= last) break;
            do
                line += backward ? -1 : 1;
            while (line > -1 && line < last && !scoped.includes(file.lines[size_t(line)]));
        }
    }
    passed = backward ? line <= -1 : line > last - 1;
    line = std::clamp<int64_t>(line, ed.settings.lowest_current_line, last);
    return int32_t(line);
}

// One string component prepared for searching.
struct PreparedComponent {
    SearchString search;
    bool negated = false;
    char op = 0;
};

TargetOutcome resolve_strings(Editor& ed, File& file, ParsedTarget& target, bool move,
                              std::string_view text) {
    TargetOutcome out;
    out.search = true;
    out.backward = target.backward;
    ExecutorState& st = ed.cmd;

    if (target.single_string) {
        std::string& typed = target.components[0].text;
        if (typed.empty()) {
            if (!st.has_last_locate_string) {
                show_message(ed, 167);
                return out;
            }
            typed = st.last_locate_string;
        }
        st.last_locate_string = typed;
        st.has_last_locate_string = true;
    }

    std::vector<PreparedComponent> comps;
    for (const StringComponent& c : target.components) {
        PreparedComponent p;
        p.negated = c.negated;
        p.op = c.op;
        if (int message = prepare_search_string(ed, file.case_mode, c.text, p.search)) {
            show_message(ed, message);
            return out;
        }
        comps.push_back(std::move(p));
    }

    ZoneColumns zone = file_zones(file);
    int32_t current = current_line(ed);
    bool found_positive = false;
    StringMatch where;
    // Components from left to right: a failure before "&" fails the line, a
    // match before "|" makes it match, otherwise the last one decides.
    auto evaluate = [&](std::string_view line, int32_t from) {
        bool result = false;
        found_positive = false;
        for (const PreparedComponent& c : comps) {
            StringMatch m;
            bool hit = find_in_line(c.search, line, zone, from, m);
            bool matched = c.negated ? !hit : hit;
            if (matched && !c.negated) {
                found_positive = true;
                where = m;
            }
            result = matched;
            if (!matched && c.op == '&') return false;
            if (matched && c.op == '|') return true;
        }
        return result;
    };

    LineSearch found;
    // Only a locate that moves goes on along the current line: for the other
    // users of targets the line after the current one is the first candidate.
    bool continuing =
        move && target.single_string && !target.components[0].negated && !target.backward;
    int32_t column = continuing ? continuation_column(ed, file, current) : -1;
    if (column >= 0 && target_in_scope(ed, file, current) &&
        evaluate(file.lines[size_t(current)].text.view(), column)) {
        found.line = current;
    } else {
        found = walk_lines(file, current, target.backward ? -1 : 1, st.wrap, scope_test(ed),
                           [&](int32_t, std::string_view line) { return evaluate(line, 0); });
    }

    if (found.line < 0) {
        if (target.single_string && !target.components[0].negated)
            show_text(ed, string_not_found_text(target.components[0].text));
        else
            show_text(ed, "..... Target \"" + target_words(text) + "\" not found.");
        out.line = target_not_found;
        return out;
    }
    out.line = found.line;
    out.wrapped = found.wrapped;
    if (found.wrapped) show_message(ed, 23);
    if (!move) return out;
    set_current_line(ed, found.line);
    if (found_positive) {
        st.cursor_on_command_line = false;
        if (!st.locate_stay) {
            file.cursor.line = found.line;
            file.cursor.column = where.start;
        }
        if (target.single_string) remember_match(ed, file, found.line, where.end);
    } else {
        // Only negated components matched: there is no text to point at.
        st.cursor_on_command_line = true;
    }
    if (!target.single_string || !found_positive) st.last_match_file = -1;
    return out;
}

} // namespace

size_t target_length(std::string_view text) {
    if (text.empty()) return 0;
    char c = text[0];
    if (is_digit(c)) return digits_end(text, 0);
    switch (c) {
    case ':': {
        size_t i = skip_blanks(text, 1);
        if (i < text.size() && is_digit(text[i])) return digits_end(text, i);
        if (i == 1 && i < text.size()) return string_extent(text);
        return i; // ":" and blanks: an invalid line number
    }
    case '*': return 1;
    case '.': {
        size_t i = 1;
        while (i < text.size() && !is_blank(text[i]) && std::strchr("*+~-/:.", text[i]) == nullptr)
            ++i;
        return i;
    }
    case '+':
    case '-': {
        size_t i = skip_blanks(text, 1);
        if (i >= text.size()) return i;
        if (is_digit(text[i])) return digits_end(text, i);
        if (text[i] == '*') return i + 1;
        if (text[i] == '~') return i + 1 + string_extent(text.substr(i + 1));
        return i + string_extent(text.substr(i));
    }
    case '~': return 1 + string_extent(text.substr(1));
    default: return string_extent(text);
    }
}

bool parse_target(std::string_view text, ParsedTarget& target, std::string& error) {
    target = ParsedTarget{};
    text = trim_blanks(text);
    if (text.empty()) {
        error = std::string(message_text(163));
        return false;
    }
    auto invalid = [&](int message) {
        error = std::string(message_text(message));
        return false;
    };
    char c = text[0];
    if (is_digit(c)) {
        target.form = TargetForm::Relative;
        return parse_number(text, target.number) || invalid(163);
    }
    switch (c) {
    case ':': {
        size_t i = skip_blanks(text, 1);
        if (i == 1 && i < text.size() && !is_digit(text[i]))
            return parse_strings(text, text, target, error);
        target.form = TargetForm::LineNumber;
        return parse_number(text.substr(i), target.number) || invalid(54);
    }
    case '*':
        if (text.size() != 1) return invalid(163);
        target.form = TargetForm::EndOfFile;
        return true;
    case '.':
        if (text.size() < 2) return invalid(163);
        target.form = TargetForm::Named;
        target.name = text;
        return true;
    case '+':
    case '-': {
        target.backward = c == '-';
        size_t i = skip_blanks(text, 1);
        if (i >= text.size()) return invalid(163); // a sign alone
        if (is_digit(text[i])) {
            target.form = TargetForm::Relative;
            return parse_number(text.substr(i), target.number) || invalid(163);
        }
        if (text[i] == '*') {
            if (i + 1 != text.size()) return invalid(163);
            target.form = target.backward ? TargetForm::Lowest : TargetForm::EndOfFile;
            return true;
        }
        return parse_strings(text, text.substr(i), target, error);
    }
    default: return parse_strings(text, text, target, error);
    }
}

TargetOutcome resolve_target_outcome(Editor& ed, std::string_view text, bool move) {
    TargetOutcome out;
    File* file = current_file(ed);
    if (file == nullptr) return out;
    text = trim_blanks(text);
    ParsedTarget target;
    std::string error;
    if (!parse_target(text, target, error)) {
        show_text(ed, error);
        return out;
    }
    out.backward = target.backward;
    if (target.form == TargetForm::Strings) return resolve_strings(ed, *file, target, move, text);

    int32_t count = file->line_count();
    int32_t current = current_line(ed);
    int32_t line = 0;
    switch (target.form) {
    case TargetForm::Relative: {
        bool passed = false;
        line = relative_line(ed, *file, current, target.number, target.backward, passed);
        if (passed) out.rc = 1;
        break;
    }
    case TargetForm::EndOfFile: line = count; break;
    case TargetForm::Lowest: line = ed.settings.lowest_current_line; break;
    case TargetForm::LineNumber: {
        // APL objects, and views numbered from zero (NUMBER ZERO), count from 0.
        bool numbered_from_zero =
            file->kind == file_kind_apl_function || file->kind == file_kind_apl_variable ||
            view_display(ed, ed.screen_index, file).number == NumberMode::Zero;
        int64_t index = numbered_from_zero ? target.number : target.number - 1;
        // Beyond the end-of-file line only SCOPE ALL accepts it (as the last line).
        if (index > count && current_screen(ed).scope != ScopeMode::All) {
            show_message(ed, 55);
            out.line = target_not_found;
            out.rc = 1;
            return out;
        }
        line = int32_t(std::min<int64_t>(index, count));
        break;
    }
    case TargetForm::Named:
        line = find_line_name(*file, target.name);
        if (line == target_not_found) {
            show_message(ed, 165);
            out.line = target_not_found;
            out.rc = 1;
            return out;
        }
        break;
    case TargetForm::Strings: break;
    }
    if (!target_in_scope(ed, *file, line)) {
        show_message(ed, 55);
        out.line = target_not_found;
        out.rc = 1;
        return out;
    }
    out.line = line;
    if (move) {
        set_current_line(ed, line);
        ed.cmd.last_match_file = -1;
    }
    return out;
}

int32_t resolve_target(Editor& ed, std::string_view text, size_t length, bool move) {
    return resolve_target_outcome(ed, text.substr(0, std::min(length, text.size())), move).line;
}

} // namespace voren
