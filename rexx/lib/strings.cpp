// String functions: pieces, padding, searching, translation and case.
#include <bit>
#include <cstring>

#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/libutil.h"

namespace tolma {

namespace {

// ---------------------------------------------------------------- pieces

void left_right_into(Interp& in, Args& a, RexxValue& r, bool left) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    long long len = arg_whole(in, a, 1, 0);
    char pad = arg_pad(in, a, 2);
    char* p = text_into(in, r, static_cast<size_t>(len));
    size_t n = static_cast<size_t>(len);
    size_t copy = s.size() < n ? s.size() : n;
    if (left) {
        std::memcpy(p, s.data(), copy);
        std::memset(p + copy, pad, n - copy);
    } else {
        std::memset(p, pad, n - copy);
        std::memcpy(p + n - copy, s.data() + s.size() - copy, copy);
    }
}

void left_into(Interp& in, Args& a, RexxValue& r) {
    left_right_into(in, a, r, true);
}
void right_into(Interp& in, Args& a, RexxValue& r) {
    left_right_into(in, a, r, false);
}

void substr_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 2, 4, "must receive 2 to 4 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    long long start = arg_whole(in, a, 1, 1);
    size_t from = static_cast<size_t>(start - 1);
    size_t avail = from < s.size() ? s.size() - from : 0;
    size_t len = avail;
    if (a.has(2)) {
        long long l = arg_whole(in, a, 2, 0);
        if (static_cast<unsigned long long>(l) > kMaxValueLength)
            wrong_call(in, a, 2, "Overflow on argument 3.");
        len = static_cast<size_t>(l);
    }
    char pad = arg_pad(in, a, 3);
    // The common case: a plain piece of the string.
    if (len <= avail) return piece_into(in, r, std::string_view(s.data() + from, len));
    char* p = text_into(in, r, len);
    std::memcpy(p, s.data() + (avail ? from : 0), avail);
    std::memset(p + avail, pad, len - avail);
}

void length_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    int_into(in, r, static_cast<long long>(need_text(in, a, 0).size()));
}

void reverse_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    char* p = text_into(in, r, s.size());
    const char* from = s.data();
    size_t n = s.size(), i = 0;
    // Eight bytes at a time from the end, their order swapped.
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        std::memcpy(&x, from + n - 8 - i, 8);
        x = __builtin_bswap64(x);
        std::memcpy(p + i, &x, 8);
    }
    for (; i < n; ++i)
        p[i] = from[n - 1 - i];
}

// Results up to this length are filled eight bytes at a time; longer ones
// by doubling library copies.
constexpr size_t kShortCopies = 256;

// A word of eight bytes holding s (2, 4 or 8 bytes long) repeated.
inline uint64_t repeated_word(std::string_view s) {
    if (s.size() == 8) return load8(s.data());
    if (s.size() == 4) {
        uint32_t w;
        std::memcpy(&w, s.data(), 4);
        return w * 0x0000000100000001ULL;
    }
    uint16_t w;
    std::memcpy(&w, s.data(), 2);
    return w * 0x0001000100010001ULL;
}

void copies_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 2, 2, "must receive 2 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    long long n = arg_whole_msgs(in, a, 1, 0, "argument 2 must be an integer", nullptr,
                                 "argument 2 must be a positive integer");
    if (s.empty() || n == 0) {
        text_into(in, r, 0);
        return;
    }
    // Both factors are below 2^31 when the first test passes, so the product
    // cannot wrap (and no division is needed).
    if (static_cast<unsigned long long>(n) > kMaxValueLength ||
        static_cast<unsigned long long>(n) * s.size() > kMaxValueLength)
        raise_error(in, 5);
    size_t total = s.size() * static_cast<size_t>(n);
    char* p = text_into(in, r, total);
    size_t k = s.size();
    if (k == 1) {
        std::memset(p, s[0], total);
        return;
    }
    if (total <= kShortCopies && (k == 2 || k == 4 || k == 8) && total >= 8) {
        // Eight bytes hold whole copies: stored a word at a time, the last
        // word ending at the end (total and 8 are both multiples of k, so it
        // starts on a copy's boundary).
        uint64_t w = repeated_word(s);
        for (size_t i = 0; i + 8 <= total; i += 8)
            std::memcpy(p + i, &w, 8);
        std::memcpy(p + total - 8, &w, 8);
        return;
    }
    if (total <= kShortCopies) {
        // The first period of at least eight bytes filled byte by byte,
        // then eight bytes at a time copied from one period back.
        size_t period = k >= 8 ? k : (8 + k - 1) / k * k;
        if (period > total) period = total;
        for (size_t i = 0, j = 0; i < period; ++i) {
            p[i] = s[j];
            if (++j == k) j = 0;
        }
        size_t i = period;
        for (; i + 8 <= total; i += 8)
            std::memcpy(p + i, p + i - period, 8);
        for (; i < total; ++i)
            p[i] = p[i - period];
        return;
    }
    std::memcpy(p, s.data(), k);
    // Doubling copies: log(n) memcpy calls.
    size_t done = k;
    while (done < total) {
        size_t chunk = done < total - done ? done : total - done;
        std::memcpy(p + done, p, chunk);
        done += chunk;
    }
}

void center_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    const char* msg = "the second argument must be a positive integer.";
    size_t n = static_cast<size_t>(arg_whole_msgs(in, a, 1, 0, msg, msg, msg));
    char pad = arg_pad(in, a, 2);
    char* p = text_into(in, r, n);
    if (n >= s.size()) {
        size_t left = (n - s.size()) / 2;
        std::memset(p, pad, left);
        std::memcpy(p + left, s.data(), s.size());
        std::memset(p + left + s.size(), pad, n - left - s.size());
    } else {
        // The right end loses the odd character.
        size_t cut_left = (s.size() - n) / 2;
        std::memcpy(p, s.data() + cut_left, n);
    }
}

RexxValue bi_delstr(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    long long start = arg_whole_msgs(in, a, 1, 1, "argument 2 must be an integer.", nullptr,
                                     "argument 2 must be a strictly positive integer.");
    size_t from = static_cast<size_t>(start - 1);
    if (from >= s.size()) return RexxValue(s);
    size_t len = s.size() - from;
    if (a.has(2)) {
        long long l = arg_whole_msgs(in, a, 2, 0, "argument 3 must be an integer.", nullptr,
                                     "argument 3 must be a positive integer.");
        if (static_cast<unsigned long long>(l) < len) len = static_cast<size_t>(l);
    }
    RexxValue r;
    char* p = make_text(in, r, s.size() - len);
    std::memcpy(p, s.data(), from);
    std::memcpy(p + from, s.data() + from + len, s.size() - from - len);
    return r;
}

// INSERT(new, target [, n [, length [, pad]]]) and OVERLAY with the same layout.
RexxValue bi_insert_overlay(Interp& in, Args& a, bool overlay) {
    check_count(in, a, 2, 5, "must receive between 2 and 5 arguments.");
    std::string_view news = need_text(in, a, 0);
    std::string_view target = need_text(in, a, 1);
    long long pos = overlay ? opt_whole(in, a, 2, 1, 1) - 1 : opt_whole(in, a, 2, 0, 0);
    size_t len = a.has(3) ? static_cast<size_t>(arg_whole(in, a, 3, 0)) : news.size();
    char pad = arg_pad(in, a, 4);
    size_t at = static_cast<size_t>(pos);
    size_t head = at < target.size() ? at : target.size();
    size_t total;
    if (overlay) {
        size_t end = at + len;
        total = end > target.size() ? end : target.size();
    } else {
        total = (at > target.size() ? at : target.size()) + len;
    }
    RexxValue r;
    char* p = make_text(in, r, total);
    std::memcpy(p, target.data(), head);
    std::memset(p + head, pad, at - head);
    size_t nlen = news.size() < len ? news.size() : len;
    std::memcpy(p + at, news.data(), nlen);
    std::memset(p + at + nlen, pad, len - nlen);
    size_t rest_from = overlay ? at + len : at;
    if (rest_from < target.size())
        std::memcpy(p + at + len, target.data() + rest_from, target.size() - rest_from);
    return r;
}

RexxValue bi_insert(Interp& in, Args& a) {
    return bi_insert_overlay(in, a, false);
}
RexxValue bi_overlay(Interp& in, Args& a) {
    return bi_insert_overlay(in, a, true);
}

// First offset in [b, e) whose byte is not c (e when there is none), eight
// bytes at a time: a word of c bytes xor-ed away leaves zero.
inline size_t skip_leading(const char* p, size_t b, size_t e, char c) {
    uint64_t all_c = kEachByte * static_cast<unsigned char>(c);
    for (; e - b >= 8; b += 8) {
        uint64_t x = load8(p + b) ^ all_c;
        if (x) return b + static_cast<size_t>(std::countr_zero(x) >> 3);
    }
    while (b < e && p[b] == c)
        ++b;
    return b;
}
// The end of [b, e) once the bytes c at its end are left out.
inline size_t skip_trailing(const char* p, size_t b, size_t e, char c) {
    uint64_t all_c = kEachByte * static_cast<unsigned char>(c);
    for (; e - b >= 8; e -= 8) {
        uint64_t x = load8(p + e - 8) ^ all_c;
        if (x) return e - static_cast<size_t>(std::countl_zero(x) >> 3);
    }
    while (e > b && p[e - 1] == c)
        --e;
    return e;
}

void strip_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 3, "must receive 1 to 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    char opt = arg_option(in, a, 1, 'B', "LTB", "argument 3 must be L|T|B.");
    char pad = arg_pad(in, a, 2);
    size_t b = 0, e = s.size();
    if (opt != 'T') b = skip_leading(s.data(), b, e, pad);
    if (opt != 'L') e = skip_trailing(s.data(), b, e, pad);
    if (b == 0 && e == s.size() && a[0].is_string()) {
        r = a[0];
        return;
    }
    piece_into(in, r, s.substr(b, e - b));
}

RexxValue bi_compare(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view s1 = need_text(in, a, 0);
    std::string_view s2 = need_text(in, a, 1);
    char pad = arg_pad(in, a, 2);
    size_t n = s1.size() > s2.size() ? s1.size() : s2.size();
    for (size_t i = 0; i < n; ++i) {
        char c1 = i < s1.size() ? s1[i] : pad;
        char c2 = i < s2.size() ? s2[i] : pad;
        if (c1 != c2) return int_result(static_cast<long long>(i + 1));
    }
    return int_result(0);
}

RexxValue bi_abbrev(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view info = need_text(in, a, 0);
    std::string_view ab = need_text(in, a, 1);
    size_t min = ab.size();
    if (a.has(2)) {
        const char* msg = "the third argument must be an integer.";
        min = static_cast<size_t>(arg_whole_msgs(in, a, 2, 0, msg, msg, msg));
    }
    bool ok = ab.size() >= min && ab.size() <= info.size() &&
              std::memcmp(info.data(), ab.data(), ab.size()) == 0;
    return int_result(ok ? 1 : 0);
}

// ---------------------------------------------------------------- searching

// First match of needle (at least two bytes) in hay at or after from, or
// npos. Sixteen starting positions at a time are tested on the needle's
// first and last bytes (SSE2); only those passing both are compared in full.
size_t find_exact(std::string_view hay, std::string_view needle, size_t from) {
#if defined(__SSE2__)
    const char* h = hay.data();
    const char* w = needle.data();
    size_t n = hay.size(), m = needle.size();
    if (m < 2 || from + m + 15 > n) return hay.find(needle, from);
    __m128i first = _mm_set1_epi8(w[0]), last = _mm_set1_epi8(w[m - 1]);
    size_t final_block = n - m - 15; // the last start with sixteen positions readable
    for (size_t i = from;; i += 16) {
        unsigned skip = 0; // positions of an overlapping last block already tested
        if (i > final_block) {
            skip = static_cast<unsigned>(i - final_block);
            i = final_block;
        }
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + m - 1));
        unsigned cand = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        cand &= 0xFFFFu << skip;
        for (; cand; cand &= cand - 1) {
            size_t at = i + static_cast<size_t>(std::countr_zero(cand));
            size_t k = 1;
            while (k < m - 1 && h[at + k] == w[k])
                ++k;
            if (k >= m - 1) return at;
        }
        if (i == final_block) return std::string_view::npos;
    }
#else
    return hay.find(needle, from);
#endif
}

size_t find_from(std::string_view hay, std::string_view needle, size_t from, bool nocase) {
    if (needle.empty() || needle.size() > hay.size()) return std::string_view::npos;
    if (!nocase) return find_exact(hay, needle, from);
    const unsigned char* lc = lower_table();
    for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && lc[static_cast<unsigned char>(hay[i + k])] ==
                                        lc[static_cast<unsigned char>(needle[k])])
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

void pos_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 2, 4, "must receive 2 to 4 arguments.");
    std::string_view needle = need_text(in, a, 0);
    std::string_view hay = need_text(in, a, 1);
    long long start = opt_whole(in, a, 2, 1, 1);
    bool nocase = arg_flag(in, a, 3, false);
    if (static_cast<unsigned long long>(start - 1) >= hay.size()) return int_into(in, r, 0);
    size_t at = find_from(hay, needle, static_cast<size_t>(start - 1), nocase);
    int_into(in, r, at == std::string_view::npos ? 0 : static_cast<long long>(at + 1));
}

RexxValue bi_lastpos(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view needle = need_text(in, a, 0);
    std::string_view hay = need_text(in, a, 1);
    long long start = opt_whole(in, a, 2, 1, static_cast<long long>(hay.size()));
    if (needle.empty() || needle.size() > hay.size()) return int_result(0);
    // The match must end at or before position start.
    size_t last_end = static_cast<unsigned long long>(start) < hay.size()
                          ? static_cast<size_t>(start)
                          : hay.size();
    if (last_end < needle.size()) return int_result(0);
    size_t at = hay.rfind(needle, last_end - needle.size());
    return int_result(at == std::string_view::npos ? 0 : static_cast<long long>(at + 1));
}

RexxValue bi_countstr(Interp& in, Args& a) {
    check_count(in, a, 2, 2, "must receive 2 arguments.");
    std::string_view needle = need_text(in, a, 0);
    std::string_view hay = need_text(in, a, 1);
    long long count = 0;
    if (!needle.empty())
        for (size_t at = hay.find(needle); at != std::string_view::npos;
             at = hay.find(needle, at + needle.size()))
            ++count;
    return int_result(count);
}

RexxValue replace_all(Interp& in, std::string_view hay, std::string_view old, std::string_view repl,
                      bool nocase) {
    if (old.empty()) return RexxValue(hay);
    std::string out;
    size_t from = 0;
    for (size_t at = find_from(hay, old, 0, nocase); at != std::string_view::npos;
         at = find_from(hay, old, at + old.size(), nocase)) {
        out.append(hay, from, at - from);
        out.append(repl);
        from = at + old.size();
    }
    if (from == 0) return RexxValue(hay);
    out.append(hay, from, std::string_view::npos);
    if (out.size() > kMaxValueLength) raise_error(in, 5);
    return RexxValue(out);
}

RexxValue bi_changestr(Interp& in, Args& a) {
    check_count(in, a, 3, 3, "must receive 3 arguments.");
    std::string_view needle = need_text(in, a, 0);
    std::string_view hay = need_text(in, a, 1);
    std::string_view repl = need_text(in, a, 2);
    return replace_all(in, hay, needle, repl, false);
}

// CHANGE(string, old, new [, ignore case])
RexxValue bi_change(Interp& in, Args& a) {
    check_count(in, a, 3, 4, "must receive 3 or 4 arguments.");
    std::string_view hay = need_text(in, a, 0);
    std::string_view old = need_text(in, a, 1);
    std::string_view repl = need_text(in, a, 2);
    bool nocase = arg_flag(in, a, 3, false);
    return replace_all(in, hay, old, repl, nocase);
}

// RCHANGE(string, pattern, replacement [, ignore case]): every match of the
// regular expression replaced; the replacement may use & and \0 to \9.
RexxValue bi_rchange(Interp& in, Args& a) {
    check_count(in, a, 3, 4, "must receive 3 to 4 arguments.");
    std::string_view s = need_text(in, a, 0);
    std::string_view pattern = need_text(in, a, 1);
    std::string_view repl = need_text(in, a, 2);
    bool nocase = arg_flag(in, a, 3, false, "argument 4 must be 0 or 1");
    LibState& lib = *a.lib;
    unsigned flags = nocase ? static_cast<unsigned>(vre::kIgnoreCase) : 0u;
    std::string_view wanted =
        pattern.empty() && lib.last_regex.set ? std::string_view(lib.last_regex.source) : pattern;
    if (!lib.compiled_ok || lib.compiled.flags != flags || lib.compiled.source != wanted) {
        lib.compiled_ok = false;
        vre::CompileResult c = vre::compile_with_last(pattern, flags, lib.last_regex);
        if (!c.ok()) wrong_call(in, a, 1, "Invalid regular expression.");
        lib.compiled = std::move(c.regex);
        lib.compiled_ok = true;
    } else if (!pattern.empty()) {
        lib.last_regex.set = true;
        lib.last_regex.source = std::string(pattern);
    }
    vre::SubstituteResult r =
        vre::substitute(lib.compiled, s, repl, vre::ReplaceSyntax{}, {}, &lib.regex_scratch);
    if (r.status == vre::Status::TooComplex)
        wrong_call(in, a, 1, std::string(vre::kTooComplex) + ".");
    if (r.changes == 0) return RexxValue(s);
    if (r.text.size() > kMaxValueLength) raise_error(in, 5);
    return RexxValue(r.text);
}

RexxValue bi_verify(Interp& in, Args& a) {
    if (a.n < 2) wrong_call(in, a, 0, "needs at least 2 arguments.");
    if (a.n > 5) wrong_call(in, a, 0, "up to 5 arguments allowed.");
    std::string_view s = need_text(in, a, 0);
    std::string_view ref = need_text(in, a, 1);
    char opt = arg_option(in, a, 2, 'N', "MN", "arguments 3 must be \"M\" or \"N\".");
    long long start = a.has(3) ? arg_whole_msgs(in, a, 3, 1, "argument 4 must be a whole number.",
                                                "argument 4 must be a positive integer.",
                                                "argument 4 must be a strictly positive integer.")
                               : 1;
    size_t end = s.size();
    if (a.has(4)) {
        long long len = arg_whole(in, a, 4, 0);
        if (static_cast<unsigned long long>(start - 1 + len) < end)
            end = static_cast<size_t>(start - 1 + len);
    }
    bool in_ref[256] = {};
    for (unsigned char c : ref)
        in_ref[c] = true;
    bool want = opt == 'M';
    for (size_t i = static_cast<size_t>(start - 1); i < end; ++i)
        if (in_ref[static_cast<unsigned char>(s[i])] == want)
            return int_result(static_cast<long long>(i + 1));
    return int_result(0);
}

// Upper case of n bytes, eight at a time: the bytes a..z lose the 0x20 bit.
void upper_bytes(const char* from, char* to, size_t n) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        std::memcpy(&x, from + i, 8);
        // Byte order does not matter: every byte is handled on its own.
        uint64_t low7 = x & kLow7;
        uint64_t from_a = low7 + kEachByte * (0x80 - 'a');     // high bit: at least 'a'
        uint64_t past_z = low7 + kEachByte * (0x80 - 'z' - 1); // high bit: beyond 'z'
        uint64_t lower = from_a & ~past_z & ~x & kHighBits;
        x ^= lower >> 2;
        std::memcpy(to + i, &x, 8);
    }
    const unsigned char* up = upper_table();
    for (; i < n; ++i)
        to[i] = static_cast<char>(up[static_cast<unsigned char>(from[i])]);
}

// Whether the texts are equal; short ones compared without a library call,
// by two overlapping words (or, below four bytes, the first, middle and last
// bytes, which are all of them).
inline bool same_text(const std::string& a, std::string_view b) {
    size_t n = b.size();
    if (a.size() != n) return false;
    const char *x = a.data(), *y = b.data();
    if (n > 16) return std::memcmp(x, y, n) == 0;
    if (n >= 8) return load8(x) == load8(y) && load8(x + n - 8) == load8(y + n - 8);
    if (n >= 4) {
        uint32_t x0, x1, y0, y1;
        std::memcpy(&x0, x, 4);
        std::memcpy(&x1, x + n - 4, 4);
        std::memcpy(&y0, y, 4);
        std::memcpy(&y1, y + n - 4, 4);
        return x0 == y0 && x1 == y1;
    }
    if (n == 0) return true;
    return x[0] == y[0] && x[n / 2] == y[n / 2] && x[n - 1] == y[n - 1];
}

// The map for the tables: built anew only when they differ from the last call's.
const TranslateMap& translate_map(LibState& lib, std::string_view out, const std::string_view* inp,
                                  char pad) {
    TranslateMap& t = lib.translate;
    if (t.valid && t.pad == pad && t.has_input == (inp != nullptr) && same_text(t.output, out) &&
        (!inp || same_text(t.input, *inp)))
        return t;
    t.valid = false;
    t.pad = pad;
    t.has_input = inp != nullptr;
    t.output.assign(out);
    t.input.assign(inp ? *inp : std::string_view());
    unsigned char* map = t.map;
    std::memcpy(map, identity_table(), sizeof t.map);
    if (inp) {
        // The first occurrence of a character in the input table wins.
        for (size_t i = inp->size(); i-- > 0;)
            map[static_cast<unsigned char>((*inp)[i])] =
                static_cast<unsigned char>(i < out.size() ? out[i] : pad);
    } else {
        for (int c = 0; c < 256; ++c)
            map[c] = static_cast<unsigned char>(static_cast<size_t>(c) < out.size() ? out[c] : pad);
    }
    t.changed_count = 0;
    for (int c = 0; c < 256 && t.changed_count <= 4; ++c) {
        if (map[c] == c) continue;
        if (t.changed_count < 4) t.changed[t.changed_count] = kEachByte * static_cast<uint64_t>(c);
        ++t.changed_count;
    }
    for (int k = t.changed_count; k < 4; ++k)
        t.changed[k] = t.changed[0];
    t.valid = true;
    return t;
}

void translate_into(Interp& in, Args& a, RexxValue& r) {
    if (a.n > 4) wrong_call(in, a, 0, "up to 4 arguments allowed.");
    require(in, a, 0, "argument 1 missing.");
    std::string_view s = a[0].text(in.numeric);
    if (!a.has(1) && !a.has(2)) {
        // No tables at all: upper case, whatever the pad.
        upper_bytes(s.data(), text_into(in, r, s.size()), s.size());
        return;
    }
    std::string_view out = arg_text(in, a, 1);
    char pad = arg_pad(in, a, 3);
    std::string_view inp;
    if (a.has(2)) inp = a[2].text(in.numeric);
    const TranslateMap& map = translate_map(*a.lib, out, a.has(2) ? &inp : nullptr, pad);
    map_bytes(map, s.data(), text_into(in, r, s.size()), s.size());
}

RexxValue bi_xrange(Interp& in, Args& a) {
    if (a.n > 2) wrong_call(in, a, 0, "up to 2 arguments allowed.");
    unsigned char from = 0, to = 255;
    if (a.has(0)) {
        std::string_view t = a[0].text(in.numeric);
        if (t.size() != 1) wrong_call(in, a, 0, "argument 1 is invalid.");
        from = static_cast<unsigned char>(t[0]);
    }
    if (a.has(1)) {
        std::string_view t = a[1].text(in.numeric);
        if (t.size() != 1) wrong_call(in, a, 1, "argument 2 is invalid.");
        to = static_cast<unsigned char>(t[0]);
    }
    size_t n = (static_cast<unsigned>(to) - from + 256) % 256 + 1;
    RexxValue r;
    char* p = make_text(in, r, n);
    for (size_t i = 0; i < n; ++i)
        p[i] = static_cast<char>((from + i) & 0xFF);
    return r;
}

// ---------------------------------------------------------------- bits

RexxValue bit_op(Interp& in, Args& a, char op) {
    check_count(in, a, 1, 3, "must receive 1 to 3 arguments.");
    std::string_view s1 = need_text(in, a, 0);
    std::string_view s2 = arg_text(in, a, 1);
    bool padded = a.has(2);
    char pad = padded ? arg_pad(in, a, 2) : 0;
    std::string_view longer = s1.size() >= s2.size() ? s1 : s2;
    size_t common = s1.size() < s2.size() ? s1.size() : s2.size();
    RexxValue r;
    char* p = make_text(in, r, longer.size());
    auto apply = [op](unsigned char x, unsigned char y) -> char {
        return static_cast<char>(op == '&' ? x & y : op == '|' ? x | y : x ^ y);
    };
    for (size_t i = 0; i < common; ++i)
        p[i] = apply(static_cast<unsigned char>(s1[i]), static_cast<unsigned char>(s2[i]));
    for (size_t i = common; i < longer.size(); ++i)
        p[i] = padded
                   ? apply(static_cast<unsigned char>(longer[i]), static_cast<unsigned char>(pad))
                   : longer[i];
    return r;
}

RexxValue bi_bitand(Interp& in, Args& a) {
    return bit_op(in, a, '&');
}
RexxValue bi_bitor(Interp& in, Args& a) {
    return bit_op(in, a, '|');
}
RexxValue bi_bitxor(Interp& in, Args& a) {
    return bit_op(in, a, '^');
}

// ---------------------------------------------------------------- case

void map_case_into(Interp& in, Args& a, RexxValue& r, const unsigned char* table) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    char* p = text_into(in, r, s.size());
    for (size_t i = 0; i < s.size(); ++i)
        p[i] = static_cast<char>(table[static_cast<unsigned char>(s[i])]);
}

void upper_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    upper_bytes(s.data(), text_into(in, r, s.size()), s.size());
}
void lower_into(Interp& in, Args& a, RexxValue& r) {
    map_case_into(in, a, r, lower_table());
}

// UPPERW: every word starts with a capital, its other letters in lower case.
RexxValue bi_upperw(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    RexxValue r;
    char* p = make_text(in, r, s.size());
    bool word_start = true;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (is_word_blank(s[i])) {
            p[i] = s[i];
            word_start = true;
            continue;
        }
        p[i] = static_cast<char>(word_start ? upper_table()[c] : lower_table()[c]);
        word_start = false;
    }
    return r;
}

// FWC: the first letter of the first word in upper case, the rest unchanged.
RexxValue bi_fwc(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "needs 1 argument.");
    std::string_view s = need_text(in, a, 0);
    RexxValue r;
    char* p = make_text(in, r, s.size());
    std::memcpy(p, s.data(), s.size());
    size_t i = 0;
    while (i < s.size() && is_word_blank(s[i]))
        ++i;
    if (i < s.size()) p[i] = static_cast<char>(upper_table()[static_cast<unsigned char>(s[i])]);
    return r;
}

} // namespace

const Builtin kStringBuiltins[] = {
    {"abbrev", bi_abbrev},
    {"bitand", bi_bitand},
    {"bitor", bi_bitor},
    {"bitxor", bi_bitxor},
    {"center", result_of<center_into>, center_into},
    {"centre", result_of<center_into>, center_into},
    {"change", bi_change},
    {"changestr", bi_changestr},
    {"compare", bi_compare},
    {"copies", result_of<copies_into>, copies_into},
    {"countstr", bi_countstr},
    {"delstr", bi_delstr},
    {"fwc", bi_fwc},
    {"index", result_of<pos_into>, pos_into},
    {"insert", bi_insert},
    {"lastpos", bi_lastpos},
    {"left", result_of<left_into>, left_into},
    {"length", result_of<length_into>, length_into},
    {"lower", result_of<lower_into>, lower_into},
    {"overlay", bi_overlay},
    {"pos", result_of<pos_into>, pos_into},
    {"rchange", bi_rchange},
    {"reverse", result_of<reverse_into>, reverse_into},
    {"right", result_of<right_into>, right_into},
    {"strip", result_of<strip_into>, strip_into},
    {"substr", result_of<substr_into>, substr_into},
    {"translate", result_of<translate_into>, translate_into},
    {"upper", result_of<upper_into>, upper_into},
    {"upperw", bi_upperw},
    {"verify", bi_verify},
    {"xrange", bi_xrange},
};
const size_t kStringBuiltinCount = sizeof kStringBuiltins / sizeof kStringBuiltins[0];

} // namespace tolma
