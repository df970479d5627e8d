#include "rexx/lib/libutil.h"

#include <charconv>
#include <cmath>

namespace tolma {

namespace {

struct CaseTables {
    unsigned char upper[256];
    unsigned char lower[256];
    unsigned char identity[256];
    CaseTables() {
        for (int c = 0; c < 256; ++c) {
            identity[c] = static_cast<unsigned char>(c);
            upper[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            lower[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        }
    }
};
const CaseTables kCase;

bool is_zero(const Decimal& d) {
    return d.digits.empty() || (d.digits.size() == 1 && d.digits[0] == '0');
}

void set_zero(Decimal& d) {
    d.digits = "0";
    d.exp10 = 1;
    d.negative = false;
}

} // namespace

const unsigned char* upper_table() {
    return kCase.upper;
}
const unsigned char* lower_table() {
    return kCase.lower;
}
const unsigned char* identity_table() {
    return kCase.identity;
}

[[gnu::noinline]] unsigned blank_bits_short(const char* p, size_t have) {
    char buf[16];
    std::memset(buf, ' ', sizeof buf);
    std::memcpy(buf, p, have);
    return blank_bits16(buf);
}

void map_bytes_portable(const TranslateMap& t, const char* from, char* to, size_t n) {
    const unsigned char* map = t.map;
    size_t i = 0;
    if (t.changed_count == 0) {
        std::memcpy(to, from, n);
        return;
    }
    if (t.changed_count <= 4) {
        for (; i + 8 <= n; i += 8) {
            uint64_t x = load8(from + i);
            uint64_t hit = zero_bytes(x ^ t.changed[0]) | zero_bytes(x ^ t.changed[1]) |
                           zero_bytes(x ^ t.changed[2]) | zero_bytes(x ^ t.changed[3]);
            std::memcpy(to + i, from + i, 8);
            for (; hit; hit &= hit - 1) {
                size_t j = i + first_mark(hit);
                to[j] = static_cast<char>(map[static_cast<unsigned char>(from[j])]);
            }
        }
    }
    for (; i < n; ++i)
        to[i] = static_cast<char>(map[static_cast<unsigned char>(from[i])]);
}

void map_bytes(const TranslateMap& t, const char* from, char* to, size_t n) {
#if defined(__SSE2__)
    if (t.changed_count == 0 || t.changed_count > 4 || n < 16) {
        map_bytes_portable(t, from, to, n);
        return;
    }
    const unsigned char* map = t.map;
    // The changed bytes are kept repeated in words already: two words make
    // the sixteen bytes to compare with.
    __m128i c0 = _mm_set1_epi64x(static_cast<long long>(t.changed[0]));
    __m128i c1 = _mm_set1_epi64x(static_cast<long long>(t.changed[1]));
    __m128i c2 = _mm_set1_epi64x(static_cast<long long>(t.changed[2]));
    __m128i c3 = _mm_set1_epi64x(static_cast<long long>(t.changed[3]));
    // The last group is the final sixteen bytes, overlapping the one before:
    // mapping from the source again gives the same bytes.
    for (size_t i = 0;; i += 16) {
        if (i + 16 > n) i = n - 16;
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        __m128i eq = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, c0), _mm_cmpeq_epi8(x, c1)),
                                  _mm_or_si128(_mm_cmpeq_epi8(x, c2), _mm_cmpeq_epi8(x, c3)));
        unsigned hit = static_cast<unsigned>(_mm_movemask_epi8(eq));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), x);
        for (; hit; hit &= hit - 1) {
            size_t j = i + static_cast<size_t>(std::countr_zero(hit));
            to[j] = static_cast<char>(map[static_cast<unsigned char>(from[j])]);
        }
        if (i + 16 == n) return;
    }
#else
    map_bytes_portable(t, from, to, n);
#endif
}

namespace {

// skip_word kept out of the common path of find_word (a word running past
// the sixteen bytes where it starts).
[[gnu::noinline]] size_t word_end_beyond(const char* p, size_t i, size_t n) {
    return skip_word(p, i, n);
}

} // namespace

bool find_word(std::string_view s, long long k, size_t& start, size_t& end) {
    if (k < 1) return false;
    const char* p = s.data();
    size_t n = s.size();
    unsigned prev_blank = 1; // the byte before the string counts as a blank
    for (size_t i = 0; i < n; i += 16) {
        unsigned blank = blank_bits_at(p, i, n);
        // A word starts at a non-blank after a blank.
        unsigned starts = ~blank & ((blank << 1) | prev_blank) & 0xFFFFu;
        int here = count_bits16(starts);
        if (here < k) {
            k -= here;
            prev_blank = blank >> 15;
            continue;
        }
        while (--k > 0)
            starts &= starts - 1;
        unsigned at = static_cast<unsigned>(std::countr_zero(starts));
        start = i + at;
        // The word ends at the first blank after its start; past the end of
        // the string everything reads as blank.
        unsigned after = blank >> at;
        end = after ? start + static_cast<size_t>(std::countr_zero(after))
                    : word_end_beyond(p, i + 16, n);
        return true;
    }
    return false;
}

Decimal to_decimal(double v) {
    Decimal d;
    if (v == 0 || !std::isfinite(v)) {
        set_zero(d);
        return d;
    }
    d.negative = v < 0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific);
    char* e = buf;
    while (e < res.ptr && *e != 'e')
        ++e;
    for (char* p = buf; p < e; ++p)
        if (*p != '.') d.digits += *p;
    int exp = 0;
    const char* ep = e + 1;
    if (ep < res.ptr && *ep == '+') ++ep;
    std::from_chars(ep, res.ptr, exp);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    d.exp10 = exp + 1;
    return d;
}

void round_significant(Decimal& d, int n) {
    if (is_zero(d)) return;
    if (n < 0) {
        set_zero(d);
        return;
    }
    if (static_cast<size_t>(n) >= d.digits.size()) return;
    bool up = d.digits[n] >= '5';
    d.digits.resize(n);
    if (up) {
        int i = n - 1;
        for (; i >= 0; --i) {
            if (d.digits[i] == '9') {
                d.digits[i] = '0';
            } else {
                ++d.digits[i];
                break;
            }
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exp10;
        }
    }
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty() || d.digits == "0") set_zero(d);
}

void round_places(Decimal& d, int p) {
    round_significant(d, d.exp10 + p);
}

std::string plain_text(const Decimal& d, int p) {
    std::string s;
    bool zero = is_zero(d);
    if (d.negative && !zero) s += '-';
    if (zero || d.exp10 <= 0) {
        s += '0';
    } else {
        for (int i = 0; i < d.exp10; ++i)
            s += static_cast<size_t>(i) < d.digits.size() ? d.digits[i] : '0';
    }
    if (p > 0) {
        s += '.';
        for (int i = 0; i < p; ++i) {
            int k = d.exp10 + i;
            s += !zero && k >= 0 && static_cast<size_t>(k) < d.digits.size() ? d.digits[k] : '0';
        }
    }
    return s;
}

} // namespace tolma
