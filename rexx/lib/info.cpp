// Functions about the program and its interpreter: ERRORTEXT, CONDITION,
// TRACE, SYMBOL, VALUE, SOURCELINE, SORT, CVTAILS and the system names.
#include <algorithm>
#include <string>
#include <vector>

#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/core/pool.h"
#include "rexx/core/trace.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/libutil.h"

namespace tolma {

namespace {

RexxValue bi_errortext(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    require(in, a, 0, "argument 1 missing.");
    long long n = arg_whole_msgs(in, a, 0, 1, "argument 1 must be an integer.", nullptr,
                                 "argument 1 must be a strictly positive integer lower than 100.");
    if (n > 99)
        wrong_call(in, a, 0, "argument 1 must be a strictly positive integer lower than 100.");
    // 99 has no text, like the empty entries of the table.
    return RexxValue(n == 99 ? "" : error_message(static_cast<int>(n)));
}

RexxValue bi_version(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    return RexxValue("unix");
}

RexxValue bi_arch(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    return RexxValue("linux");
}

RexxValue bi_linesize(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    int w = a.lib->terminal_width ? a.lib->terminal_width() : 0;
    return int_result(w > 0 ? w : 80);
}

// No terminal type-ahead buffer exists, so nothing is waiting in it.
RexxValue bi_externals(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    return int_result(0);
}

RexxValue bi_condition(Interp& in, Args& a) {
    if (a.n > 1) wrong_call(in, a, 0, "1 argument allowed.");
    char opt = arg_option(in, a, 0, 'I', "CIDS", "argument must be C|I|D|S.");
    const CurrentCondition& c = in.condition;
    if (c.code < 0) return RexxValue();
    Condition cond = static_cast<Condition>(c.code);
    switch (opt) {
    case 'C': return RexxValue(condition_name(cond));
    case 'D': return RexxValue(c.description_text());
    case 'S': {
        const Trap& t = in.traps[cond];
        if (t.mode == TrapMode::Off) return RexxValue("OFF");
        return RexxValue(t.busy ? "DELAY" : "ON");
    }
    default: return RexxValue(c.mode == TrapMode::Signal ? "SIGNAL" : "CALL");
    }
}

RexxValue bi_trace(Interp& in, Args& a) {
    if (a.n > 1) wrong_call(in, a, 0, "must receive up to 1 argument.");
    std::string old = trace_setting_text(in.trace);
    if (a.has(0)) {
        std::string_view s = a[0].text(in.numeric);
        size_t i = 0;
        while (i < s.size() && (s[i] == '?' || s[i] == '!'))
            ++i;
        if (i < s.size()) {
            char c = static_cast<char>(upper_table()[static_cast<unsigned char>(s[i])]);
            if (std::string_view("ACEILNORS").find(c) == std::string_view::npos)
                wrong_call(in, a, 0, "must receive ?|!|A|C|E|I|L|N|O|R|S.");
        }
        trace_setting(in, s.substr(0, i < s.size() ? i + 1 : i));
    }
    return RexxValue(old);
}

// A symbol argument: its reference under the program's case mode.
SymbolRef symbol_arg(Interp& in, std::string_view text) {
    return analyse_symbol(text, in.case_mode);
}

RexxValue bi_symbol(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view name = need_text(in, a, 0);
    if (!is_rexx_symbol(name)) return RexxValue("BAD");
    SymbolRef s = symbol_arg(in, name);
    if (s.kind == SymbolKind::Invalid) return RexxValue("LIT");
    return RexxValue(find_value(in, s) ? "VAR" : "LIT");
}

RexxValue bi_value(Interp& in, Args& a) {
    if (a.n > 2) wrong_call(in, a, 0, "up to 2 arguments allowed.");
    require(in, a, 0, "argument 1 missing.");
    std::string_view name = a[0].text(in.numeric);
    if (!is_rexx_symbol(name))
        wrong_call(in, a, 0, "\"" + std::string(name) + "\" is not a valid REXX symbol.");
    SymbolRef s = symbol_arg(in, name);
    if (s.kind == SymbolKind::Invalid) {
        // A constant symbol is its own value and cannot be assigned.
        if (a.has(1))
            wrong_call(in, a, 0, "\"" + std::string(name) + "\" is not a valid REXX symbol.");
        return RexxValue(s.text);
    }
    RexxValue old;
    if (const RexxValue* v = find_value(in, s))
        old = *v;
    else
        old = RexxValue(derived_name(in, s));
    if (a.has(1)) set_value(in, s, a[1]);
    return old;
}

RexxValue bi_sourceline(Interp& in, Args& a) {
    if (a.n > 1) wrong_call(in, a, 0, "must receive 1 argument.");
    long long last = static_cast<long long>(in.source.lines.size());
    if (!a.has(0)) return int_result(last);
    long long n = arg_whole_msgs(in, a, 0, 1, "the argument must be a number.", nullptr,
                                 "the argument must be a strictly positiv number.");
    if (n > last) wrong_call(in, a, 0, "last line is line " + std::to_string(last) + ".");
    return RexxValue(in.source.line_text(static_cast<int>(n)));
}

// ---------------------------------------------------------------- stems

// The stem name of argument i: a symbol, with or without its final ".".
std::string stem_arg(Interp& in, const Args& a, int i) {
    std::string_view t = a[i].text(in.numeric);
    if (!is_rexx_symbol(t) || t[0] == '.' || (t[0] >= '0' && t[0] <= '9'))
        wrong_call(in, a, i, "argument " + std::to_string(i + 1) + " is not a valid REXX symbol.");
    std::string name = fold_case(t, in.case_mode);
    if (name.back() != '.') name += '.';
    return name;
}

// stem.tail1.tail2... with every tail used as written.
SymbolRef element_ref(const std::string& stem, std::initializer_list<std::string_view> tails) {
    SymbolRef s;
    s.kind = SymbolKind::Compound;
    s.base.name = stem;
    s.base.hash = name_hash(stem);
    s.text = stem;
    bool first = true;
    for (std::string_view t : tails) {
        if (!first) s.text += '.';
        first = false;
        s.text += t;
        TailPart p;
        p.var.name = std::string(t);
        p.var.hash = name_hash(t);
        p.constant = true;
        s.tails.push_back(std::move(p));
    }
    return s;
}

RexxValue element_value(Interp& in, const std::string& stem, long long k) {
    std::string num = std::to_string(k);
    SymbolRef s = element_ref(stem, {num});
    if (const RexxValue* v = find_value(in, s)) return *v;
    return RexxValue(stem + num);
}

// A number argument of SORT ("Argument N (text) is not a valid number.").
long long sort_number(Interp& in, const Args& a, int i, long long dflt) {
    if (!a.has(i)) return dflt;
    long long v;
    if (whole_number(a[i], v) != WholeTest::Ok)
        wrong_call(in, a, i,
                   "Argument " + std::to_string(i + 1) + " (" + std::string(a[i].text(in.numeric)) +
                       ") is not a valid number.");
    return v;
}

struct SortKeys {
    bool descending = false;
    size_t first_col = 1; // 1-based
    size_t last_col = 0;  // 0: to the end
};

bool read_column(std::string_view w, size_t& out, bool star_ok) {
    if (star_ok && w == "*") {
        out = 0;
        return true;
    }
    if (w.empty() || w.size() > 9) return false;
    size_t v = 0;
    for (char c : w) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<size_t>(c - '0');
    }
    if (v == 0) return false;
    out = v;
    return true;
}

// "[A|D] [first [last|*]]"; first and last may also be written first-last.
bool parse_keys(std::string_view text, SortKeys& k) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_word_blank(text[i]))
            ++i;
        size_t b = i;
        while (i < text.size() && !is_word_blank(text[i]))
            ++i;
        if (i > b) words.push_back(text.substr(b, i - b));
    }
    size_t w = 0;
    if (w < words.size() && words[w].size() == 1) {
        char c = static_cast<char>(upper_table()[static_cast<unsigned char>(words[w][0])]);
        if (c == 'A' || c == 'D') {
            k.descending = c == 'D';
            ++w;
        }
    }
    if (w < words.size()) {
        std::string_view f = words[w++];
        size_t dash = f.find('-');
        if (dash != std::string_view::npos) {
            if (w < words.size()) return false;
            if (!read_column(f.substr(0, dash), k.first_col, false) ||
                !read_column(f.substr(dash + 1), k.last_col, true))
                return false;
        } else {
            if (!read_column(f, k.first_col, false)) return false;
            if (w < words.size() && !read_column(words[w++], k.last_col, true)) return false;
        }
    }
    if (w < words.size()) return false;
    return k.last_col == 0 || k.last_col >= k.first_col;
}

// SORT(stem [, keys [, first [, last]]]): sorts stem.first to stem.last
// (default 1 to stem.0) by the columns of keys and records in
// stem.SortOrder.i the original index of the element now at i. Returns the
// number of elements sorted.
RexxValue bi_sort(Interp& in, Args& a) {
    if (a.n > 4) wrong_call(in, a, 0, "up to 4 arguments allowed.");
    require(in, a, 0, "argument 1 missing.");
    std::string stem = stem_arg(in, a, 0);
    SortKeys keys;
    if (a.has(1)) {
        std::string_view kt = a[1].text(in.numeric);
        if (!parse_keys(kt, keys))
            wrong_call(in, a, 1, "Invalid columns \"" + std::string(kt) + "\".");
    }
    long long count = 0;
    {
        RexxValue c = element_value(in, stem, 0);
        if (whole_number(c, count) != WholeTest::Ok || count < 0)
            wrong_call(in, a, 0,
                       stem + "0 (" + std::string(c.text(in.numeric)) + ") is not a valid number.");
    }
    long long first = sort_number(in, a, 2, 1);
    long long last = sort_number(in, a, 3, count);
    if (first < 1) first = 1;
    if (last > count) last = count;
    if (first > last) return int_result(0);

    std::vector<RexxValue> items;
    items.reserve(static_cast<size_t>(last - first + 1));
    for (long long k = first; k <= last; ++k)
        items.push_back(element_value(in, stem, k));
    std::vector<size_t> order(items.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    auto key = [&](size_t k) {
        std::string_view t = items[k].text(in.numeric);
        size_t from = keys.first_col - 1;
        if (from >= t.size()) return std::string_view();
        size_t len = keys.last_col ? keys.last_col - keys.first_col + 1 : t.size();
        return t.substr(from, len);
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        int c = key(x).compare(key(y));
        return keys.descending ? c > 0 : c < 0;
    });
    std::string order_tail = fold_case("SortOrder", in.case_mode);
    for (size_t k = 0; k < order.size(); ++k) {
        std::string num = std::to_string(first + static_cast<long long>(k));
        set_value(in, element_ref(stem, {num}), items[order[k]]);
        set_value(in, element_ref(stem, {order_tail, num}),
                  int_result(first + static_cast<long long>(order[k])));
    }
    return int_result(static_cast<long long>(items.size()));
}

// CVTAILS(stem): the tails of the stem's compound variables that have a
// value, in the order they were created, separated by blanks.
RexxValue bi_cvtails(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    require(in, a, 0, "argument 1 missing.");
    std::string stem = stem_arg(in, a, 0);
    Variable* rec = find_variable(in.pool.current(), stem, name_hash(stem), false, true);
    while (rec && rec->state == VarState::Exposed && rec->target)
        rec = rec->target;
    VarTable* table = rec ? rec->stem_table() : nullptr;
    if (!table) return RexxValue();
    std::vector<const Variable*> set;
    table->each([&](Variable* v) {
        const Variable* t = v;
        while (t->state == VarState::Exposed && t->target)
            t = t->target;
        if (t->state == VarState::Set) set.push_back(v);
    });
    std::sort(set.begin(), set.end(),
              [](const Variable* x, const Variable* y) { return x->seq < y->seq; });
    std::string out;
    for (const Variable* v : set) {
        if (!out.empty()) out += ' ';
        v->name.append_to(out);
    }
    return RexxValue(out);
}

} // namespace

const Builtin kInfoBuiltins[] = {
    {"arch", bi_arch},           {"condition", bi_condition},   {"cvtails", bi_cvtails},
    {"errortext", bi_errortext}, {"externals", bi_externals},   {"linesize", bi_linesize},
    {"sort", bi_sort},           {"sourceline", bi_sourceline}, {"symbol", bi_symbol},
    {"trace", bi_trace},         {"value", bi_value},           {"version", bi_version},
};
const size_t kInfoBuiltinCount = sizeof kInfoBuiltins / sizeof kInfoBuiltins[0];

} // namespace tolma
