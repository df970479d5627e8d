#pragma once
// Helpers shared by the function families (not part of the table's interface).
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "rexx/lib/builtins.h"

namespace tolma {

// The text of a required argument: "argument N missing." when omitted.
inline std::string_view need_text(Interp& in, const Args& a, int i) {
    if (!a.has(i)) {
        char msg[] = "argument 0 missing.";
        msg[9] = static_cast<char>('1' + i);
        wrong_call(in, a, i, msg);
    }
    return a[i].text(in.numeric);
}

// 256-entry ASCII case tables (other bytes map to themselves).
const unsigned char* upper_table();
const unsigned char* lower_table();
const unsigned char* identity_table(); // byte c at index c

// Words are separated by blanks and tabs.
inline bool is_word_blank(char c) {
    return c == ' ' || c == '\t';
}

// ---------------------------------------------------------------- many bytes at a time
//
// Scans test 16 bytes at once and give a 16-bit mask: bit j for byte i+j.
// With SSE2 (every x86-64) a compare and a move-mask; elsewhere two 64-bit
// words tested with integer arithmetic ("SWAR"), whose byte j is the
// string's byte j whatever the machine's byte order.

constexpr uint64_t kEachByte = 0x0101010101010101ULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;

inline uint64_t load8(const char* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x);
    return x;
}

// High bit of every zero byte of x (exactly: no byte is marked by a carry).
inline uint64_t zero_bytes(uint64_t x) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    uint64_t y = (x & kLow7) + kLow7;
    return ~(y | x | kLow7);
}
// High bit of every byte of x equal to c.
inline uint64_t bytes_equal(uint64_t x, unsigned char c) {
    return zero_bytes(x ^ (kEachByte * c));
}
// Index of the first byte marked by its high bit in m (m not 0).
inline size_t first_mark(uint64_t m) {
    return static_cast<size_t>(std::countr_zero(m) >> 3);
}
// The high bits of the eight bytes of m gathered into bits 0..7.
inline unsigned gather_high_bits(uint64_t m) {
    return static_cast<unsigned>((((m & kHighBits) >> 7) * 0x0102040810204080ULL) >> 56);
}

// Bits of the blanks and tabs among p[0..16), without special instructions.
inline unsigned blank_bits16_portable(const char* p) {
    uint64_t lo = load8(p), hi = load8(p + 8);
    uint64_t blo = bytes_equal(lo, ' ') | bytes_equal(lo, '\t');
    uint64_t bhi = bytes_equal(hi, ' ') | bytes_equal(hi, '\t');
    return gather_high_bits(blo) | gather_high_bits(bhi) << 8;
}

// Bits of the blanks and tabs among p[0..16).
inline unsigned blank_bits16(const char* p) {
#if defined(__SSE2__)
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i b =
        _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(x, _mm_set1_epi8('\t')));
    return static_cast<unsigned>(_mm_movemask_epi8(b));
#else
    return blank_bits16_portable(p);
#endif
}

// Bits of the blanks and tabs among p[0..have) (have < 16); the bits from
// have on are set. Kept out of line: rarely needed, and it needs a buffer.
unsigned blank_bits_short(const char* p, size_t have);

// Bits of the blanks and tabs among p[i..i+16) for i < n; bytes from n on
// count as blanks. Never reads outside p[0..n).
inline unsigned blank_bits_at(const char* p, size_t i, size_t n) {
    if (i + 16 <= n) return blank_bits16(p + i);
    size_t have = n - i; // 1..15
    unsigned padding = (0xFFFFu << have) & 0xFFFFu;
    if (n >= 16) return (blank_bits16(p + n - 16) >> (16 - have)) | padding;
    return blank_bits_short(p + i, have);
}

// Number of bits set in a 16-bit mask (a table: no popcount instruction on
// plain x86-64).
struct BitCounts {
    unsigned char n[256];
    constexpr BitCounts() : n() {
        for (int i = 1; i < 256; ++i)
            n[i] = static_cast<unsigned char>(n[i / 2] + (i & 1));
    }
};
inline constexpr BitCounts kBitCounts{};
inline int count_bits16(unsigned m) {
    return kBitCounts.n[m & 0xFF] + kBitCounts.n[(m >> 8) & 0xFF];
}

// First byte at or after i that is not a blank or tab; n when there is none.
inline size_t skip_blanks(const char* p, size_t i, size_t n) {
    for (; i < n; i += 16) {
        unsigned solid = ~blank_bits_at(p, i, n) & 0xFFFFu;
        if (solid) return i + static_cast<size_t>(std::countr_zero(solid)); // below n
    }
    return n;
}
// First blank or tab at or after i; n when there is none.
inline size_t skip_word(const char* p, size_t i, size_t n) {
    for (; i < n; i += 16) {
        unsigned blank = blank_bits_at(p, i, n);
        if (blank) return i + static_cast<size_t>(std::countr_zero(blank)); // at most n
    }
    return n;
}

// Finds word number k (1-based) of s: its start and end offsets. False when
// s has fewer words (or k is below 1).
bool find_word(std::string_view s, long long k, size_t& start, size_t& end);

// Shortest decimal digits of a double: the digits (no leading zeros, at least
// one) and the decimal exponent such that value = 0.d1d2... * 10^exp10.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp10 = 0; // position of the decimal point relative to the first digit
};
Decimal to_decimal(double d);
// Rounds to n significant digits (half away from zero); n may be 0 or
// negative, which leaves zero or one digit.
void round_significant(Decimal& d, int n);
// Rounds to p digits after the decimal point.
void round_places(Decimal& d, int p);
// Plain text with exactly p digits after the point (p >= 0; no point for 0).
std::string plain_text(const Decimal& d, int p);

// Day numbers: every fourth year is a leap year, with no century rule.
long day_number(int day, int month, int year);
void date_of_day_number(long n, int& day, int& month, int& year);
int weekday_of(long n); // 0: Sunday

} // namespace tolma
