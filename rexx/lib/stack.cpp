#include "rexx/lib/stack.h"

#include "rexx/core/interp.h"
#include "rexx/lib/streams.h"

namespace tolma {

void stack_push(DataQueue& q, std::string line) {
    q.lines.push_front(std::move(line));
}

void stack_queue(DataQueue& q, std::string line) {
    q.lines.push_back(std::move(line));
}

bool stack_pull(DataQueue& q, std::string& line) {
    if (q.lines.empty()) return false;
    line = std::move(q.lines.front());
    q.lines.pop_front();
    return true;
}

size_t stack_count(const DataQueue& q) {
    return q.lines.size();
}

void clear_queue(DataQueue& q) {
    q.lines.clear();
    q.saved.clear();
}

bool pull_line(Interp& in, std::string& line) {
    if (stack_pull(in.queue, line)) return true;
    return read_console_line(in, line);
}

int makebuf(DataQueue& q) {
    q.saved.push_back(std::move(q.lines));
    q.lines.clear();
    return q.buffer_number();
}

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A whole number written in decimal digits with an optional sign.
bool parse_int(std::string_view s, long long& v) {
    bool neg = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        neg = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 15) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (neg) v = -v;
    return true;
}

bool same_word(std::string_view a, const char* upper) {
    size_t i = 0;
    for (; upper[i]; ++i) {
        if (i >= a.size()) return false;
        char c = a[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c != upper[i]) return false;
    }
    return i == a.size();
}

} // namespace

int dropbuf(DataQueue& q, std::string_view arg) {
    arg = trim(arg);
    long long n = q.buffer_number();
    if (!arg.empty() && !parse_int(arg, n)) return 1;
    if (n < 1 || n > q.buffer_number()) return 2;
    while (q.buffer_number() >= n) {
        q.lines = std::move(q.saved.back());
        q.saved.pop_back();
    }
    return 0;
}

int desbuf(DataQueue& q) {
    q.lines.clear();
    return 0;
}

int sentries(const DataQueue& q) {
    return static_cast<int>(q.lines.size());
}

bool buffer_command(DataQueue& q, std::string_view command, int& rc) {
    std::string_view s = command;
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    size_t end = 0;
    while (end < s.size() && !is_blank(s[end]))
        ++end;
    std::string_view word = s.substr(0, end), rest = s.substr(end);
    if (same_word(word, "MAKEBUF")) {
        rc = makebuf(q);
    } else if (same_word(word, "DROPBUF")) {
        rc = dropbuf(q, rest);
    } else if (same_word(word, "DESBUF") && trim(rest).empty()) {
        rc = desbuf(q);
    } else if (same_word(word, "SENTRIES")) {
        rc = sentries(q);
    } else {
        return false;
    }
    return true;
}

} // namespace tolma
