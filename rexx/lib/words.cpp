// Word functions: words are runs of characters other than blank and tab.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "rexx/lib/builtins.h"
#include "rexx/lib/libutil.h"

namespace tolma {

namespace {

// Offsets of a word: [start, end).
struct WordSpan {
    size_t start, end;
};

// Calls f(start, end) for every word; stops when f returns false.
template <class F>
void each_word(std::string_view s, F&& f) {
    const char* p = s.data();
    size_t n = s.size();
    for (size_t i = skip_blanks(p, 0, n); i < n;) {
        size_t e = skip_word(p, i, n);
        if (!f(i, e)) return;
        i = skip_blanks(p, e, n);
    }
}

// Letters (non-blank bytes) and words of s, sixteen bytes at a time; the
// letters only when kLetters is set.
template <bool kLetters>
void count_words(std::string_view s, size_t& letters, size_t& words) {
    const char* p = s.data();
    size_t n = s.size(), solid_count = 0, start_count = 0;
    unsigned prev_blank = 1; // the byte before the string counts as a blank
    for (size_t i = 0; i < n; i += 16) {
        unsigned blank = blank_bits_at(p, i, n);
        unsigned solid = ~blank & 0xFFFFu; // padding reads as blank
        if (kLetters) solid_count += static_cast<size_t>(count_bits16(solid));
        start_count += static_cast<size_t>(count_bits16(solid & ((blank << 1) | prev_blank)));
        prev_blank = blank >> 15;
    }
    letters = solid_count;
    words = start_count;
}

[[gnu::always_inline]] inline long long word_number_arg(Interp& in, Args& a) {
    check_count(in, a, 2, 2, "must receive 2 arguments.");
    require(in, a, 1, "argument 2 missing.");
    return arg_whole(in, a, 1, 1);
}

void word_into(Interp& in, Args& a, RexxValue& r) {
    long long k = word_number_arg(in, a);
    std::string_view s = need_text(in, a, 0);
    size_t b, e;
    if (!find_word(s, k, b, e)) b = e = 0;
    piece_into(in, r, s.substr(b, e - b));
}

RexxValue bi_wordindex(Interp& in, Args& a) {
    long long k = word_number_arg(in, a);
    std::string_view s = need_text(in, a, 0);
    size_t b, e;
    if (!find_word(s, k, b, e)) return int_result(0);
    return int_result(static_cast<long long>(b + 1));
}

RexxValue bi_wordlength(Interp& in, Args& a) {
    long long k = word_number_arg(in, a);
    std::string_view s = need_text(in, a, 0);
    size_t b, e;
    if (!find_word(s, k, b, e)) return int_result(0);
    return int_result(static_cast<long long>(e - b));
}

void words_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    size_t letters, words;
    count_words<false>(need_text(in, a, 0), letters, words);
    int_into(in, r, static_cast<long long>(words));
}

RexxValue bi_subword(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 to 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    long long first = arg_whole(in, a, 1, 1);
    long long count = a.has(2) ? arg_whole(in, a, 2, 0) : -1;
    if (count == 0) return RexxValue();
    size_t b, e;
    if (!find_word(s, first, b, e)) return RexxValue();
    size_t last_end = e;
    long long seen = 1;
    each_word(s.substr(e), [&](size_t, size_t we) {
        if (count >= 0 && seen >= count) return false;
        ++seen;
        last_end = e + we;
        return true;
    });
    return RexxValue(s.substr(b, last_end - b));
}

RexxValue bi_delword(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    long long first = arg_whole_msgs(in, a, 1, 1, "argument 2 must be an integer.", nullptr,
                                     "argument 2 must be a strictly positive integer.");
    long long count = a.has(2) ? arg_whole_msgs(in, a, 2, 0, "argument 3 must be an integer.",
                                                nullptr, "argument 3 must be a positive integer.")
                               : -1;
    size_t b, e;
    if (count == 0 || !find_word(s, first, b, e)) return RexxValue(s);
    // The deleted words take the blanks after them; the blanks before stay.
    size_t cut_end = s.size();
    if (count > 0) {
        size_t nb, ne;
        if (find_word(s.substr(b), count + 1, nb, ne)) cut_end = b + nb;
    }
    RexxValue r;
    char* p = make_text(in, r, s.size() - (cut_end - b));
    std::memcpy(p, s.data(), b);
    std::memcpy(p + b, s.data() + cut_end, s.size() - cut_end);
    return r;
}

// SPACE with a gap of 0 or 1 on a short string: the result is no longer
// than the string, so it is built in a buffer on the stack, sixteen bytes of
// the string at a time. A run of letters inside one group of sixteen is
// copied as one 16-byte move (the buffer has room for the excess); a run
// in the last sixteen bytes is read from a zero-padded copy of them.
constexpr size_t kShortSpace = 240;

void space_short(Interp& in, std::string_view s, size_t gap, char pad, RexxValue& r) {
    char buf[kShortSpace + 16];
    const char* p = s.data();
    size_t n = s.size(), o = 0;
    bool word_open = false; // the last group ended inside a word
    // The last sixteen bytes (all of a shorter string), copied where sixteen
    // bytes can be read from any of them: a run starting there is read from
    // the copy, never from beyond the string.
    char tail[32] = {};
    size_t tail_start = n >= 16 ? n - 16 : 0;
    if (n >= 16)
        std::memcpy(tail, p + tail_start, 16);
    else
        std::memcpy(tail, p, n);
    for (size_t i = 0; i < n; i += 16) {
        unsigned solid = ~blank_bits_at(p, i, n) & 0xFFFFu; // padding reads as blank
        bool continues = word_open && (solid & 1);
        word_open = solid & 0x8000u;
        while (solid) {
            unsigned b = static_cast<unsigned>(std::countr_zero(solid));
            unsigned len = static_cast<unsigned>(std::countr_zero(~(solid >> b)));
            solid &= ~0u << (b + len); // the bits below b are already clear
            if (continues) {
                continues = false;
            } else if (o && gap) {
                buf[o++] = pad;
            }
            size_t at = i + b;
            const char* from = at + 16 <= n ? p + at : tail + (at - tail_start);
            std::memcpy(buf + o, from, 16);
            o += len;
        }
    }
    piece_into(in, r, std::string_view(buf, o));
}

void space_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 3, "must receive 1 to 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    size_t gap = a.has(1) ? static_cast<size_t>(arg_whole(in, a, 1, 0)) : 1;
    char pad = arg_pad(in, a, 2);
    if (gap <= 1 && s.size() <= kShortSpace) return space_short(in, s, gap, pad, r);
    // Counted first, so the words are copied straight into the result.
    size_t letters, words;
    count_words<true>(s, letters, words);
    if (words == 0) {
        text_into(in, r, 0);
        return;
    }
    if (gap > kMaxValueLength / words) raise_error(in, 5);
    char* out = text_into(in, r, letters + gap * (words - 1));
    const char* p = s.data();
    size_t n = s.size();
    for (size_t i = skip_blanks(p, 0, n);;) {
        size_t e = skip_word(p, i, n);
        std::memcpy(out, p + i, e - i);
        out += e - i;
        i = skip_blanks(p, e, n);
        if (i == n) break;
        if (gap == 1) {
            *out++ = pad;
        } else {
            std::memset(out, pad, gap);
            out += gap;
        }
    }
}

// Words of a phrase compared one by one, blanks between them ignored.
RexxValue word_position(std::string_view phrase, std::string_view s, long long start) {
    std::vector<WordSpan> pw;
    each_word(phrase, [&](size_t b, size_t e) {
        pw.push_back({b, e});
        return true;
    });
    if (pw.empty()) return int_result(0);
    std::vector<WordSpan> sw;
    each_word(s, [&](size_t b, size_t e) {
        sw.push_back({b, e});
        return true;
    });
    for (size_t i = static_cast<size_t>(start - 1); i + pw.size() <= sw.size(); ++i) {
        size_t k = 0;
        for (; k < pw.size(); ++k) {
            std::string_view x = s.substr(sw[i + k].start, sw[i + k].end - sw[i + k].start);
            std::string_view y = phrase.substr(pw[k].start, pw[k].end - pw[k].start);
            if (x != y) break;
        }
        if (k == pw.size()) return int_result(static_cast<long long>(i + 1));
    }
    return int_result(0);
}

RexxValue bi_wordpos(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view phrase = need_text(in, a, 0);
    std::string_view s = need_text(in, a, 1);
    long long start = opt_whole(in, a, 2, 1, 1);
    return word_position(phrase, s, start);
}

// FIND(string, phrase): WORDPOS with its arguments the other way round.
RexxValue bi_find(Interp& in, Args& a) {
    check_count(in, a, 2, 2, "must receive 2 arguments.");
    std::string_view s = need_text(in, a, 0);
    std::string_view phrase = need_text(in, a, 1);
    return word_position(phrase, s, 1);
}

// JUSTIFY(string, length [, pad]): the words spread evenly over the length,
// the pad character between them; a string too long is cut.
RexxValue bi_justify(Interp& in, Args& a) {
    check_count(in, a, 2, 3, "must receive 2 or 3 arguments.");
    std::string_view s = need_text(in, a, 0);
    require(in, a, 1, "argument 2 missing.");
    size_t len = static_cast<size_t>(arg_whole(in, a, 1, 0));
    char pad = arg_pad(in, a, 2);
    std::vector<WordSpan> w;
    size_t letters = 0;
    each_word(s, [&](size_t b, size_t e) {
        w.push_back({b, e});
        letters += e - b;
        return true;
    });
    RexxValue r;
    char* p = make_text(in, r, len);
    size_t gaps = w.empty() ? 0 : w.size() - 1;
    size_t out = 0;
    if (gaps == 0 || letters + gaps >= len) {
        // One blank between words, then cut or padded on the right.
        for (size_t i = 0; i < w.size() && out < len; ++i) {
            if (i > 0) p[out++] = pad;
            for (size_t k = w[i].start; k < w[i].end && out < len; ++k)
                p[out++] = s[k];
        }
        std::memset(p + out, pad, len - out);
        return r;
    }
    size_t spare = len - letters - gaps;
    size_t given = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        if (i > 0) {
            // Gap i takes its share of the spare pads, rounded half up.
            size_t upto = (2 * i * spare + gaps) / (2 * gaps);
            size_t extra = upto - given;
            given = upto;
            std::memset(p + out, pad, 1 + extra);
            out += 1 + extra;
        }
        std::memcpy(p + out, s.data() + w[i].start, w[i].end - w[i].start);
        out += w[i].end - w[i].start;
    }
    return r;
}

} // namespace

const Builtin kWordBuiltins[] = {
    {"delword", bi_delword},     {"find", bi_find},
    {"justify", bi_justify},     {"space", result_of<space_into>, space_into},
    {"subword", bi_subword},     {"word", result_of<word_into>, word_into},
    {"wordindex", bi_wordindex}, {"wordlength", bi_wordlength},
    {"wordpos", bi_wordpos},     {"words", result_of<words_into>, words_into},
};
const size_t kWordBuiltinCount = sizeof kWordBuiltins / sizeof kWordBuiltins[0];

} // namespace tolma
