#pragma once
// Helpers shared by the function families (not part of the table's interface).
#include <string_view>

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

// Finds word number k (1-based) of s: its start and end offsets. False when
// s has fewer words.
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
