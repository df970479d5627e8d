#pragma once
// String matching shared by string targets, LOCATE and the search-and-change
// commands: case by the file's CASE mode, zones, the arbitrary character
// (ARBCHAR) and hexadecimal strings (HEX).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/line_store.h"
#include "editor/core/ring.h"

namespace voren {

struct Editor;

// What a search looks for, prepared once per command.
struct SearchString {
    std::string text;         // the bytes searched for (upper-cased when ignoring case)
    bool ignore_case = false; // compare both sides upper-cased
    // ARBCHAR matching: the literal pieces between arbitrary characters, in
    // order; `leading`/`trailing` say whether the string starts or ends with one.
    bool arbitrary = false;
    std::vector<std::string> pieces;
    bool leading = false;
    bool trailing = false;
    // Number of arbitrary characters, a leading and a trailing one included.
    int arbitrary_count = 0;
};

// A match on one line: 0-based columns, `end` just after the last character.
struct StringMatch {
    int32_t start = 0;
    int32_t end = 0;
};

// 1-based zone columns, inclusive; a right zone of max_line_length has no limit.
struct ZoneColumns {
    int32_t left = 1;
    int32_t right = max_line_length;
};

// True when the case mode compares without regard to case.
bool ignores_case(CaseMode mode);

// Decodes x'hhhh' (or X'...', with single or double quotes). Returns true and
// sets `bytes` for a valid hexadecimal string; false when `text` has that form
// but is not valid; `is_hex` tells whether it had the form at all.
bool decode_hex_string(std::string_view text, std::string& bytes, bool& is_hex);

// Prepares `typed` for searching under the editor's HEX and ARBCHAR settings
// and the case mode. Returns 0, or the number of the message to show:
// 150 (invalid hexadecimal string) or 146 (a string made only of arbitrary
// characters while ARBCHAR is on).
int prepare_search_string(const Editor& ed, CaseMode mode, std::string_view typed,
                          SearchString& out);

// The zones of the current file.
ZoneColumns file_zones(const File& file);

// Finds the first match of `s` in `line` starting at or after column `from`
// (0-based) and lying within `zone`. For ARBCHAR strings, `spans` (when given)
// receives the text each arbitrary character stood for, in order.
bool find_in_line(const SearchString& s, std::string_view line, ZoneColumns zone, int32_t from,
                  StringMatch& match, std::vector<StringMatch>* spans = nullptr);
// Finds the last match of `s` in `line` that starts before column `before`.
bool find_last_in_line(const SearchString& s, std::string_view line, ZoneColumns zone,
                       int32_t before, StringMatch& match);

// The scope test of the current screen for the text lines of a file, taken
// once per search.
struct ScopeTest {
    ScopeMode mode = ScopeMode::All;
    int32_t low = 0;
    int32_t high = 0;
    bool includes(const Line& line) const {
        if (mode == ScopeMode::All) return true;
        bool inside = line.selection >= low && line.selection <= high;
        return mode == ScopeMode::Display ? inside : !inside;
    }
};
ScopeTest scope_test(const Editor& ed);

// Outcome of a walk over the lines of the current file.
struct LineSearch {
    int32_t line = -2;    // the line found, or -2
    bool wrapped = false; // found after going round the end of the file
};

// Walks the lines of the current file from the current line in `direction`
// (+1 forward from the next line to the last, -1 backward to the first),
// skipping lines out of scope; with `wrap` a search that fails goes on from
// the other end of the file up to the current line. `test(line, text)` says
// whether a line matches.
template <typename Test>
LineSearch walk_lines(const File& file, int32_t current, int direction, bool wrap,
                      const ScopeTest& scoped, Test&& test) {
    LineSearch result;
    int32_t count = file.line_count();
    auto try_line = [&](int32_t i) {
        const Line& line = file.lines[size_t(i)];
        if (!scoped.includes(line)) return false;
        return test(i, line.text.view());
    };
    if (direction > 0) {
        for (int32_t i = current + 1; i < count; ++i)
            if (try_line(i)) return result.line = i, result;
        if (!wrap) return result;
        for (int32_t i = 0; i <= current && i < count; ++i)
            if (try_line(i)) return result.line = i, result.wrapped = true, result;
    } else {
        for (int32_t i = std::min(current, count) - 1; i >= 0; --i)
            if (try_line(i)) return result.line = i, result;
        if (!wrap) return result;
        for (int32_t i = count - 1; i >= current && i >= 0; --i)
            if (try_line(i)) return result.line = i, result.wrapped = true, result;
    }
    return result;
}

// Remembers a match for the continuation of the next string locate.
void remember_match(Editor& ed, const File& file, int32_t line, int32_t end);
// The column where a forward search of the current line goes on after the
// previous match, or -1 when the next search starts on the next line.
int32_t continuation_column(const Editor& ed, const File& file, int32_t current);

// "..... String \"<string>\" not found."
std::string string_not_found_text(std::string_view string);

} // namespace voren
