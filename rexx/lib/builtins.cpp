#include "rexx/lib/builtins.h"

#include <cmath>
#include <vector>

#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/lib/streams.h"

namespace tolma {

// ---------------------------------------------------------------- the table

namespace {

constexpr unsigned kBuckets = 2048;

struct NameTable {
    std::vector<std::string> names; // one per row, in this table's spelling
    std::vector<int> next;          // chain link per row, -1 at the end
    int head[kBuckets];
};

struct Tables {
    std::vector<Builtin> rows;
    std::vector<std::string> upper; // message names
    NameTable spelt, lower, upper_names;
};

char fold_upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char fold_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

void fill(NameTable& t, const std::vector<Builtin>& rows, int fold) {
    for (int& h : t.head)
        h = -1;
    std::vector<int> tail(kBuckets, -1);
    t.names.reserve(rows.size());
    t.next.assign(rows.size(), -1);
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string name = rows[i].name;
        for (char& c : name)
            c = fold > 0 ? fold_upper(c) : fold < 0 ? fold_lower(c) : c;
        unsigned h = builtin_hash(name);
        t.names.push_back(std::move(name));
        // Appended at the end of its chain, so the first row of a name wins.
        if (tail[h] < 0)
            t.head[h] = static_cast<int>(i);
        else
            t.next[tail[h]] = static_cast<int>(i);
        tail[h] = static_cast<int>(i);
    }
}

const Tables& tables() {
    static const Tables t = [] {
        Tables t;
        const std::pair<const Builtin*, size_t> families[] = {
            {kStringBuiltins, kStringBuiltinCount},
            {kWordBuiltins, kWordBuiltinCount},
            {kConversionBuiltins, kConversionBuiltinCount},
            {kNumberBuiltins, kNumberBuiltinCount},
            {kDateTimeBuiltins, kDateTimeBuiltinCount},
            {kInfoBuiltins, kInfoBuiltinCount},
            {kStreamBuiltins, kStreamBuiltinCount},
            {kProcessBuiltins, kProcessBuiltinCount},
            {kSystemBuiltins, kSystemBuiltinCount},
            {kSysUtilBuiltins, kSysUtilBuiltinCount},
        };
        for (auto [rows, n] : families)
            t.rows.insert(t.rows.end(), rows, rows + n);
        for (const Builtin& b : t.rows) {
            std::string u = b.name;
            for (char& c : u)
                c = fold_upper(c);
            t.upper.push_back(std::move(u));
        }
        fill(t.spelt, t.rows, 0);
        fill(t.lower, t.rows, -1);
        fill(t.upper_names, t.rows, 1);
        return t;
    }();
    return t;
}

} // namespace

unsigned builtin_hash(std::string_view name) {
    unsigned h = name.empty() ? 0 : static_cast<unsigned char>(name[0]);
    for (unsigned char c : name)
        h = (h * 31 + c) & (kBuckets - 1);
    return h;
}

const Builtin* builtin_rows(size_t& count) {
    const Tables& t = tables();
    count = t.rows.size();
    return t.rows.data();
}

const Builtin* find_builtin(std::string_view name, NameCase mode, std::string_view* msg_name) {
    const Tables& t = tables();
    const NameTable& nt = mode == NameCase::Mixed   ? t.spelt
                          : mode == NameCase::Lower ? t.lower
                                                    : t.upper_names;
    for (int i = nt.head[builtin_hash(name)]; i >= 0; i = nt.next[i]) {
        const std::string& s = nt.names[i];
        if (s.size() == name.size() && s == name) {
            if (msg_name) *msg_name = t.upper[i];
            return &t.rows[i];
        }
    }
    return nullptr;
}

bool call_builtin(Interp& in, LibState& lib, std::string_view name, const RexxValue* const* slot,
                  int n, const ArgPos* pos, RexxValue& result) {
    std::string_view msg_name;
    const Builtin* b = find_builtin(name, in.case_mode, &msg_name);
    if (!b) return false;
    Args a;
    a.slot = slot;
    a.n = n;
    a.pos = pos;
    a.name = msg_name;
    a.lib = &lib;
    result = b->handler(in, a);
    return true;
}

// ---------------------------------------------------------------- argument routines

void wrong_call(Interp& in, const Args& a, int index, std::string_view text) {
    if (a.pos && a.n > 0) {
        int i = index < 0 ? 0 : index >= a.n ? a.n - 1 : index;
        if (a.pos[i].line > 0) {
            in.pos.line = a.pos[i].line;
            in.pos.column = a.pos[i].column;
        }
    }
    std::string msg;
    msg.reserve(a.name.size() + 4 + text.size());
    msg += a.name;
    msg += "(): ";
    msg += text;
    raise_error(in, 40, std::move(msg));
}

WholeTest whole_number(const RexxValue& v, long long& out) {
    if (!is_number(v)) return WholeTest::NotNumber;
    double d = v.num();
    if (d != std::trunc(d)) {
        d = round_digits(d, 9);
        if (d != std::trunc(d)) return WholeTest::NotWhole;
    }
    // Whole numbers past what a double holds exactly are no use as counts.
    if (std::fabs(d) > 9.0e15) return WholeTest::NotWhole;
    out = static_cast<long long>(d);
    return WholeTest::Ok;
}

namespace {

std::string arg_message(int i, const char* text) {
    return "argument " + std::to_string(i + 1) + text;
}

} // namespace

long long arg_whole_checked(Interp& in, const Args& a, int i, long long min) {
    long long v = 0;
    switch (whole_number(a[i], v)) {
    case WholeTest::NotNumber: wrong_call(in, a, i, arg_message(i, " must be a whole number."));
    case WholeTest::NotWhole: wrong_call(in, a, i, arg_message(i, " must be a positive integer."));
    case WholeTest::Ok: break;
    }
    if (v < min) {
        if (v < 0 || min <= 0) wrong_call(in, a, i, arg_message(i, " must be a positive integer."));
        wrong_call(in, a, i, arg_message(i, " must be a strictly positive integer."));
    }
    return v;
}

long long arg_whole_msgs_checked(Interp& in, const Args& a, int i, long long min,
                                 const char* not_number, const char* not_whole,
                                 const char* below_min) {
    if (!not_whole) not_whole = not_number;
    if (!below_min) below_min = not_whole;
    long long v = 0;
    switch (whole_number(a[i], v)) {
    case WholeTest::NotNumber: wrong_call(in, a, i, not_number);
    case WholeTest::NotWhole: wrong_call(in, a, i, not_whole);
    case WholeTest::Ok: break;
    }
    if (v < min) wrong_call(in, a, i, below_min);
    return v;
}

bool arg_number(const Args& a, int i, double& out) {
    if (!is_number(a[i])) return false;
    out = a[i].num();
    return true;
}

char arg_pad_given(Interp& in, const Args& a, int i) {
    std::string_view p = a[i].text(in.numeric);
    if (p.size() != 1) wrong_call(in, a, i, "the padding expression must be one character wide.");
    return p[0];
}

char arg_option_given(Interp& in, const Args& a, int i, const char* allowed,
                      std::string_view text) {
    std::string_view s = a[i].text(in.numeric);
    if (s.empty()) wrong_call(in, a, i, text);
    char c = fold_upper(s[0]);
    for (const char* p = allowed; *p; ++p)
        if (*p == c) return c;
    wrong_call(in, a, i, text);
}

bool arg_flag_given(Interp& in, const Args& a, int i, std::string_view text) {
    int v = logical_value(a[i]);
    if (v < 0) {
        if (text.empty()) wrong_call(in, a, i, arg_message(i, " must be 0 or 1."));
        wrong_call(in, a, i, text);
    }
    return v == 1;
}

bool is_rexx_symbol(std::string_view text) {
    if (text.empty()) return false;
    for (unsigned char c : text) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '@' || c == '#' || c == '$' || c == '.' || c == '!' || c == '?' ||
                  c == '_' || c == 0xA8;
        if (!ok) return false;
    }
    return true;
}

void result_too_long(Interp& in) {
    raise_error(in, 5);
}

} // namespace tolma
