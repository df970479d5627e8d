// String matching shared by targets, LOCATE and the search-and-change commands.
#include "editor/commands/search.h"

#include <cstring>

#include "editor/core/editor.h"

namespace voren {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The columns [first, last) of `line` a match may occupy.
struct Window {
    int32_t first;
    int32_t last;
};

Window search_window(std::string_view line, ZoneColumns zone, int32_t from) {
    int32_t length = int32_t(line.size());
    int32_t first = std::max({zone.left - 1, from, int32_t(0)});
    int32_t last = zone.right >= max_line_length ? length : std::min(zone.right, length);
    return {first, last};
}

// First position at or after `at` where `piece` occurs entirely before `last`.
int32_t find_piece(std::string_view line, std::string_view piece, bool ignore_case, int32_t at,
                   int32_t last) {
    int32_t n = int32_t(piece.size());
    if (at > last || last - at < n) return -1;
    if (n == 0) return at;
    const char* base = line.data();
    if (!ignore_case) {
        const void* hit = memmem(base + at, size_t(last - at), piece.data(), size_t(n));
        return hit ? int32_t(static_cast<const char*>(hit) - base) : -1;
    }
    // Piece is upper-cased already: look for its first character in either case.
    char first_upper = piece[0];
    char first_lower =
        (first_upper >= 'A' && first_upper <= 'Z') ? char(first_upper + 32) : first_upper;
    for (int32_t i = at; i + n <= last; ++i) {
        char c = base[i];
        if (c != first_upper && c != first_lower) continue;
        int32_t k = 1;
        while (k < n && upper(base[i + k]) == piece[size_t(k)])
            ++k;
        if (k == n) return i;
    }
    return -1;
}

bool find_arbitrary(const SearchString& s, std::string_view line, Window w, StringMatch& match,
                    std::vector<StringMatch>* spans) {
    if (spans) spans->clear();
    int32_t cursor = w.first;
    int32_t start = -1;
    for (size_t p = 0; p < s.pieces.size(); ++p) {
        int32_t at = find_piece(line, s.pieces[p], s.ignore_case, cursor, w.last);
        if (at < 0) return false;
        if (p == 0) {
            // A leading arbitrary character stands for what precedes the
            // first piece from where the search starts.
            start = s.leading ? w.first : at;
            if (s.leading && spans) spans->push_back({w.first, at});
        } else if (spans) {
            spans->push_back({cursor, at});
        }
        cursor = at + int32_t(s.pieces[p].size());
    }
    int32_t end = cursor;
    if (s.trailing) {
        // A trailing one takes the rest of the line within the zone.
        if (spans) spans->push_back({cursor, w.last});
        end = std::max(cursor, w.last);
    }
    match = {start, end};
    return true;
}

} // namespace

bool ignores_case(CaseMode mode) {
    return mode == CaseMode::MixedIgnore || mode == CaseMode::UpperIgnore;
}

bool decode_hex_string(std::string_view text, std::string& bytes, bool& is_hex) {
    is_hex = text.size() >= 2 && (text[0] == 'x' || text[0] == 'X') &&
             (text[1] == '\'' || text[1] == '"');
    if (!is_hex) return false;
    char quote = text[1];
    if (text.size() < 3 || text.back() != quote) return false;
    std::string_view digits = text.substr(2, text.size() - 3);
    if (digits.empty() || digits.size() % 2 != 0) return false;
    std::string out;
    for (size_t i = 0; i < digits.size(); i += 2) {
        int high = hex_value(digits[i]);
        int low = hex_value(digits[i + 1]);
        if (high < 0 || low < 0) return false;
        out += char(high * 16 + low);
    }
    bytes = std::move(out);
    return true;
}

int prepare_search_string(const Editor& ed, CaseMode mode, std::string_view typed,
                          SearchString& out) {
    out = SearchString{};
    std::string bytes(typed);
    if (ed.cmd.hex) {
        bool is_hex = false;
        std::string decoded;
        if (decode_hex_string(typed, decoded, is_hex))
            bytes = std::move(decoded);
        else if (is_hex)
            return 150;
    }
    out.ignore_case = ignores_case(mode);
    if (out.ignore_case)
        for (char& c : bytes)
            c = upper(c);
    char arb = ed.cmd.arbchar;
    if (ed.cmd.arbchar_on && bytes.find(arb) != std::string::npos) {
        if (bytes.find_first_not_of(arb) == std::string::npos) return 146;
        std::vector<std::string> parts;
        size_t start = 0;
        while (true) {
            size_t at = bytes.find(arb, start);
            parts.push_back(bytes.substr(start, at - start));
            if (at == std::string::npos) break;
            ++out.arbitrary_count;
            start = at + 1;
        }
        out.arbitrary = true;
        out.leading = parts.front().empty();
        out.trailing = parts.back().empty();
        size_t first = out.leading ? 1 : 0;
        size_t last = parts.size() - (out.trailing ? 1 : 0);
        out.pieces.assign(parts.begin() + long(first), parts.begin() + long(last));
    }
    out.text = std::move(bytes);
    return 0;
}

ZoneColumns file_zones(const File& file) {
    return {file.zone_left, file.zone_right};
}

bool find_in_line(const SearchString& s, std::string_view line, ZoneColumns zone, int32_t from,
                  StringMatch& match, std::vector<StringMatch>* spans) {
    Window w = search_window(line, zone, from);
    if (s.arbitrary) return find_arbitrary(s, line, w, match, spans);
    if (s.text.empty()) return false;
    int32_t at = find_piece(line, s.text, s.ignore_case, w.first, w.last);
    if (at < 0) return false;
    match = {at, at + int32_t(s.text.size())};
    return true;
}

bool find_last_in_line(const SearchString& s, std::string_view line, ZoneColumns zone,
                       int32_t before, StringMatch& match) {
    bool found = false;
    StringMatch m;
    int32_t from = 0;
    while (find_in_line(s, line, zone, from, m) && m.start < before) {
        match = m;
        found = true;
        from = m.start + 1;
    }
    return found;
}

ScopeTest scope_test(const Editor& ed) {
    const Screen& screen = current_screen(ed);
    return {screen.scope, screen.display_low, screen.display_high};
}

void remember_match(Editor& ed, const File& file, int32_t line, int32_t end) {
    ed.cmd.last_match_file = file.file_number;
    ed.cmd.last_match_line = line;
    ed.cmd.last_match_end = end;
}

int32_t continuation_column(const Editor& ed, const File& file, int32_t current) {
    const ExecutorState& st = ed.cmd;
    if (st.last_match_file != file.file_number || st.last_match_line != current) return -1;
    if (current < 0 || current >= file.line_count()) return -1;
    return st.last_match_end;
}

std::string string_not_found_text(std::string_view string) {
    return "..... String \"" + std::string(string) + "\" not found.";
}

} // namespace voren
