#pragma once
// The built-in function table and the conventions every built-in follows.
//
// A built-in is a row (name, handler). The name is spelt as a program in
// MIXED case mode must write it: standard functions in lower case. Lookup
// uses one of three name tables (as spelt, lower case, upper case) chosen by
// the program's case mode; each is a fixed 2048-bucket hash table, built once
// and never changed, so a lookup allocates nothing.
//
// A handler receives the evaluated arguments: one slot per written argument
// position, null for an omitted one (f(a,,c) has three slots, the middle one
// null), so an omitted argument differs from an empty string. It returns a
// fresh value or raises a REXX error. A wrong call goes through wrong_call():
// error 40 with a secondary message "NAME(): ...", the error position moved
// to the offending argument when the caller supplied argument positions.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/regex/regex.h"
#include "rexx/core/interp.h"
#include "rexx/core/values.h"

namespace tolma {

// The byte map of the last TRANSLATE call with tables, kept with the texts
// and pad it was built from: a loop translating with the same tables builds
// it once. Keyed by the texts themselves, so a change is always seen.
struct TranslateMap {
    bool valid = false;
    bool has_input = false; // the input table was given
    char pad = ' ';
    std::string output, input;
    unsigned char map[256];
    // The bytes the map changes, when there are at most four: each repeated
    // in all eight bytes of a word (unused entries repeat the first), so
    // that eight bytes at a time can be checked for any of them.
    int changed_count = 0; // 5: more than four
    uint64_t changed[4] = {};
};

// n bytes of from through the map into to (which must not overlap from).
// When the map changes at most four bytes, groups of bytes holding none of
// them are copied as they are: sixteen at a time with SSE2, else eight.
void map_bytes(const TranslateMap& t, const char* from, char* to, size_t n);
// The same without SSE2 (the only version where SSE2 is missing).
void map_bytes_portable(const TranslateMap& t, const char* from, char* to, size_t n);

// State of the library kept per interpreter run: the clock snapshot shared by
// the DATE and TIME calls of one source line, the elapsed-time clock and the
// random generator's seed. The executor owns one and clears clock_line (sets
// it to -1) before each clause.
struct LibState {
    // Clock snapshot: broken-down local time of the last reading.
    int clock_line = -1; // line of the clause that read it; -1: read anew
    int sec = 0, min = 0, hour = 0;
    int mday = 1, mon = 0, year = 1970; // mon 0..11
    long usec = 0;
    long long snapshot_sec = 0; // the same reading in seconds since the epoch
    // Elapsed-time clock: its start reading, once TIME(E) or TIME(R) started it.
    bool elapsed_started = false;
    long long elapsed_sec = 0;
    long elapsed_usec = 0;
    double random_seed = -1;
    // Hook for tests: when set, replaces the system clock (seconds since the
    // epoch and microseconds; local time is derived from it).
    bool (*clock_source)(long long& epoch_sec, long& usec) = nullptr;
    // Width of the terminal for LINESIZE(); null: 80 (output is no terminal).
    int (*terminal_width)() = nullptr;
    // RCHANGE: the previous expression (an empty pattern reuses it) and the
    // last compiled one, kept so a loop compiles its pattern once.
    vre::LastRegex last_regex;
    vre::Regex compiled;
    bool compiled_ok = false;
    vre::Scratch regex_scratch;
    // Children started by FORK that WAITPID has not reaped yet.
    std::vector<int> children;
    TranslateMap translate;
};

// Line and column of an argument expression (for the error position).
struct ArgPos {
    int line = 0;
    int column = 0;
};

struct Args {
    const RexxValue* const* slot = nullptr; // n slots; null: argument omitted
    int n = 0;
    const ArgPos* pos = nullptr; // n positions, or null when unknown
    std::string_view name;       // the function's name in upper case, for messages
    LibState* lib = nullptr;

    int count() const { return n; }
    bool has(int i) const { return i < n && slot[i]; }
    const RexxValue& operator[](int i) const { return *slot[i]; }
};

using BuiltinHandler = RexxValue (*)(Interp&, Args&);
// A handler that makes its result in a value given to it (the variable
// being assigned, or the caller's scratch value), reusing that value's
// buffer. It checks every argument before it changes out, so that a wrong
// call leaves out as it was; out is never one of the arguments.
using BuiltinInto = void (*)(Interp&, Args&, RexxValue& out);

struct Builtin {
    const char* name; // as spelt
    BuiltinHandler handler;
    BuiltinInto into = nullptr; // the same function making its result in place, if it has one
};

// The handler of a function written as an into-handler.
template <BuiltinInto F>
RexxValue result_of(Interp& in, Args& a) {
    RexxValue r;
    F(in, a, r);
    return r;
}

// The table's rows (all families) and its size.
const Builtin* builtin_rows(size_t& count);

// The row for a name, searched in the table of the case mode (UPPER or
// unset: upper-case names; LOWER: lower-case names; MIXED: as spelt). The
// upper-case name for messages is put in msg_name when it is not null.
const Builtin* find_builtin(std::string_view name, NameCase mode,
                            std::string_view* msg_name = nullptr);

// The hash of a name into the 2048 buckets: h = b[0], then h = (h*31 + b[i])
// & 0x7FF for every byte, so the first byte enters twice.
unsigned builtin_hash(std::string_view name);

// Runs a row found earlier (the executor resolves a call's name once and keeps
// the row and its message name in the call node).
inline RexxValue invoke_builtin(Interp& in, LibState& lib, const Builtin& row,
                                std::string_view msg_name, const RexxValue* const* slot, int n,
                                const ArgPos* pos) {
    Args a;
    a.slot = slot;
    a.n = n;
    a.pos = pos;
    a.name = msg_name;
    a.lib = &lib;
    return row.handler(in, a);
}

// Calls the built-in found for name with the given argument slots; the
// caller's position is kept as the error position unless an argument is
// blamed. Returns false when no built-in has that name.
bool call_builtin(Interp& in, LibState& lib, std::string_view name, const RexxValue* const* slot,
                  int n, const ArgPos* pos, RexxValue& result);

// ---------------------------------------------------------------- argument routines

// The wrong-call report: moves the error position to argument index (the last
// argument when index passes the end; the first for a count error, index 0)
// and raises error 40 with "NAME(): " + text as the secondary message.
[[noreturn]] void wrong_call(Interp& in, const Args& a, int index, std::string_view text);

// Argument count within [lo, hi], else wrong_call(0, text).
inline void check_count(Interp& in, const Args& a, int lo, int hi, std::string_view text) {
    if (a.n < lo || a.n > hi) wrong_call(in, a, 0, text);
}
// Argument i must be present, else wrong_call(i, text).
inline void require(Interp& in, const Args& a, int i, std::string_view text) {
    if (!a.has(i)) wrong_call(in, a, i, text);
}

// The text of argument i (a number formatted under NUMERIC settings); "" when omitted.
inline std::string_view arg_text(Interp& in, const Args& a, int i) {
    return a.has(i) ? a[i].text(in.numeric) : std::string_view();
}

// Outcome of the whole-number test: a number that is not integral is rounded
// to 9 significant digits and tested again.
enum class WholeTest : uint8_t { Ok, NotNumber, NotWhole };
WholeTest whole_number(const RexxValue& v, long long& out);

// A whole-number argument with the three usual messages: not a number
// ("argument N must be a whole number."), not whole or below 0 ("argument N
// must be a positive integer."), below 1 when min is 1 ("argument N must be a
// strictly positive integer.").
long long arg_whole_checked(Interp& in, const Args& a, int i, long long min);
inline long long arg_whole(Interp& in, const Args& a, int i, long long min) {
    // Fast road: a number already known to be whole and in range.
    const RexxValue& v = a[i];
    if (v.known_number()) {
        double d = v.num();
        if (d >= -9.0e15 && d <= 9.0e15) {
            long long k = static_cast<long long>(d);
            if (static_cast<double>(k) == d && k >= min) return k;
        }
    }
    return arg_whole_checked(in, a, i, min);
}
// The same with the function's own messages (null: use the previous one).
long long arg_whole_msgs_checked(Interp& in, const Args& a, int i, long long min,
                                 const char* not_number, const char* not_whole,
                                 const char* below_min);
inline long long arg_whole_msgs(Interp& in, const Args& a, int i, long long min,
                                const char* not_number, const char* not_whole = nullptr,
                                const char* below_min = nullptr) {
    const RexxValue& v = a[i];
    if (v.known_number()) {
        double d = v.num();
        if (d >= -9.0e15 && d <= 9.0e15) {
            long long k = static_cast<long long>(d);
            if (static_cast<double>(k) == d && k >= min) return k;
        }
    }
    return arg_whole_msgs_checked(in, a, i, min, not_number, not_whole, below_min);
}
// Argument i when present, else dflt.
inline long long opt_whole(Interp& in, const Args& a, int i, long long min, long long dflt) {
    return a.has(i) ? arg_whole(in, a, i, min) : dflt;
}

// A number argument; false when it is not a number.
bool arg_number(const Args& a, int i, double& out);

// Pad character of argument i (blank when omitted); "the padding expression
// must be one character wide." otherwise.
char arg_pad_given(Interp& in, const Args& a, int i);
inline char arg_pad(Interp& in, const Args& a, int i) {
    return a.has(i) ? arg_pad_given(in, a, i) : ' ';
}

// First character of argument i folded to upper case, dflt when omitted or
// empty; it must be one of allowed, else wrong_call(i, text).
char arg_option_given(Interp& in, const Args& a, int i, const char* allowed, std::string_view text);
inline char arg_option(Interp& in, const Args& a, int i, char dflt, const char* allowed,
                       std::string_view text) {
    return a.has(i) ? arg_option_given(in, a, i, allowed, text) : dflt;
}

// Logical argument 0 or 1 ("argument N must be 0 or 1."), dflt when omitted.
bool arg_flag_given(Interp& in, const Args& a, int i, std::string_view text);
inline bool arg_flag(Interp& in, const Args& a, int i, bool dflt, std::string_view text = {}) {
    return a.has(i) ? arg_flag_given(in, a, i, text) : dflt;
}

// Whether text is a REXX symbol (letters, digits and @#$.!?_).
bool is_rexx_symbol(std::string_view text);

// Results.
inline RexxValue int_result(long long v) {
    return RexxValue::number(static_cast<double>(v), 0);
}
// A string result of n bytes; returns the buffer to fill. Raises error 5
// when n is beyond what a value can hold. A long result takes the buffer the
// last overwritten variable gave up, when there is one.
[[noreturn]] void result_too_long(Interp& in);
inline char* make_text(Interp& in, RexxValue& r, size_t n) {
    if (n > 0x7FFFFFFF) result_too_long(in);
    return r.resize_text(n, in.spare);
}
// A string result copied from bytes outside it (a piece of an argument):
// no check for overlap with its own buffer is needed.
inline RexxValue piece_result(Interp& in, std::string_view s) {
    RexxValue r;
    if (!s.empty()) std::memcpy(make_text(in, r, s.size()), s.data(), s.size());
    return r;
}

// The same results made in a value that may hold an older one (into-handlers).
// A short text leaves the old heap buffer to the spare one, for the next long
// result, rather than freeing it.
inline char* text_into(Interp& in, RexxValue& r, size_t n) {
    if (n <= RexxValue::kInline) {
        r.give_buffer(in.spare);
        return r.resize_text(n);
    }
    if (n > 0x7FFFFFFF) result_too_long(in);
    return r.resize_text(n, in.spare);
}
inline void piece_into(Interp& in, RexxValue& r, std::string_view s) {
    char* p = text_into(in, r, s.size());
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
}
inline void int_into(Interp& in, RexxValue& r, long long v) {
    r.give_buffer(in.spare);
    r.set_number(static_cast<double>(v), 0);
}

constexpr size_t kMaxValueLength = 0x7FFFFFFF;

// Rows of each family, defined in its own file.
extern const Builtin kStringBuiltins[];
extern const size_t kStringBuiltinCount;
extern const Builtin kWordBuiltins[];
extern const size_t kWordBuiltinCount;
extern const Builtin kConversionBuiltins[];
extern const size_t kConversionBuiltinCount;
extern const Builtin kNumberBuiltins[];
extern const size_t kNumberBuiltinCount;
extern const Builtin kDateTimeBuiltins[];
extern const size_t kDateTimeBuiltinCount;
extern const Builtin kInfoBuiltins[];
extern const size_t kInfoBuiltinCount;
extern const Builtin kSystemBuiltins[];
extern const size_t kSystemBuiltinCount;
extern const Builtin kProcessBuiltins[];
extern const size_t kProcessBuiltinCount;
extern const Builtin kSysUtilBuiltins[];
extern const size_t kSysUtilBuiltinCount;

} // namespace tolma
