// Conversions between characters, binary, hexadecimal, octal and decimal,
// and DATATYPE.
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/libutil.h"

namespace tolma {

namespace {

const char kHex[] = "0123456789ABCDEF";

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Collects the digits of a hexadecimal (group 2) or binary (group 4) string.
// Blanks may separate groups: not at either end, and every group after the
// first is made of whole groups ("1 2345" is fine, "12 345" is not).
bool packed_digits(std::string_view s, int group, bool binary, std::string& digits) {
    digits.clear();
    if (s.empty()) return true;
    if (s.front() == ' ' || s.back() == ' ') return false;
    size_t run = 0;
    bool first_group = true;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == ' ') {
            if (run == 0) {
                continue; // several blanks in a row
            }
            if (!first_group && run % static_cast<size_t>(group) != 0) return false;
            first_group = false;
            run = 0;
            continue;
        }
        bool ok = binary ? (c == '0' || c == '1') : hex_value(c) >= 0;
        if (!ok) return false;
        digits += c;
        ++run;
    }
    if (!first_group && run % static_cast<size_t>(group) != 0) return false;
    return true;
}

bool hex_digits(std::string_view s, std::string& digits) {
    return packed_digits(s, 2, false, digits);
}

[[noreturn]] void bad_binary(Interp& in, const Args& a) {
    if (a.pos && a.n > 0 && a.pos[0].line > 0) {
        in.pos.line = a.pos[0].line;
        in.pos.column = a.pos[0].column;
    }
    raise_error(in, 67);
}

RexxValue bi_b2x(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    std::string bits;
    if (!packed_digits(s, 4, true, bits)) bad_binary(in, a);
    size_t lead = (4 - bits.size() % 4) % 4;
    size_t n = (bits.size() + lead) / 4;
    RexxValue r;
    char* p = make_text(in, r, n);
    int v = 0, k = static_cast<int>(lead);
    size_t out = 0;
    for (char c : bits) {
        v = v * 2 + (c - '0');
        if (++k == 4) {
            p[out++] = kHex[v];
            v = 0;
            k = 0;
        }
    }
    return r;
}

void c2x_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    if (s.size() > kMaxValueLength / 2) raise_error(in, 5);
    char* p = text_into(in, r, s.size() * 2);
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        p[2 * i] = kHex[c >> 4];
        p[2 * i + 1] = kHex[c & 15];
    }
}

RexxValue bi_c2o(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    if (s.size() > kMaxValueLength / 3) raise_error(in, 5);
    RexxValue r;
    char* p = make_text(in, r, s.size() * 3);
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        p[3 * i] = static_cast<char>('0' + (c >> 6));
        p[3 * i + 1] = static_cast<char>('0' + ((c >> 3) & 7));
        p[3 * i + 2] = static_cast<char>('0' + (c & 7));
    }
    return r;
}

// Number of decimal digits of v (1 for 0).
int decimal_digits(unsigned long long v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

RexxValue bi_c2d(Interp& in, Args& a) {
    check_count(in, a, 1, 2, "must receive 1 or 2 arguments.");
    std::string_view s = need_text(in, a, 0);
    long long n = -1;
    if (a.has(1))
        n = arg_whole_msgs(in, a, 1, 0, "argument 2 must be an integer", nullptr,
                           "argument 2 must be a positive integer");
    if (n == 0) return int_result(0);
    std::string_view used = s;
    if (n > 0 && static_cast<size_t>(n) < s.size()) used = s.substr(s.size() - n);
    if (used.size() > 4) wrong_call(in, a, 0, "first argument maximum value is \"FFFFFFFF\".");
    unsigned long long u = 0;
    for (char c : used)
        u = (u << 8) | static_cast<unsigned char>(c);
    long long v = static_cast<long long>(u);
    // With a length, the leftmost bit of that many bytes is the sign.
    if (n > 0 && static_cast<size_t>(n) <= used.size() && !used.empty() &&
        (static_cast<unsigned char>(used[0]) & 0x80))
        v -= 1LL << (8 * used.size());
    if (decimal_digits(static_cast<unsigned long long>(v < 0 ? -v : v)) > in.numeric.digits)
        wrong_call(in, a, 0, "value too big according to the current NUMERIC DIGITS setting.");
    return int_result(v);
}

// D2C and D2X: the whole number's two's-complement bytes or hex digits.
template <bool kHexDigits>
void decimal_into(Interp& in, Args& a, RexxValue& r) {
    check_count(in, a, 1, 2, "must receive 1 or 2 arguments.");
    require(in, a, 0, "argument 1 missing.");
    long long v = arg_whole_msgs(in, a, 0, -(1LL << 62), "argument 1 must be an integer.");
    long long len = -1;
    if (a.has(1))
        len = arg_whole_msgs(in, a, 1, 0, "argument 2 must be an integer.", nullptr,
                             "argument 2 must be a positive integer.");
    if (v < 0 && len < 0)
        wrong_call(in, a, 1, "argument 2 must be supplied when argument 1 is negative.");
    unsigned long long u = static_cast<unsigned long long>(v);
    constexpr int kUnitBits = kHexDigits ? 4 : 8;
    constexpr unsigned kMask = kHexDigits ? 15 : 255;
    // Digits (or bytes) the value needs: a negative one all 64 bits' worth.
    size_t count = 64 / kUnitBits;
    if (v >= 0)
        count = u ? static_cast<size_t>((64 - std::countl_zero(u) + kUnitBits - 1) / kUnitBits) : 1;
    size_t n = len >= 0 ? static_cast<size_t>(len) : count;
    char* p = text_into(in, r, n);
    unsigned fill = v < 0 ? kMask : 0;
    // Least significant first, from the right end.
    for (size_t i = 0; i < n; ++i) {
        unsigned unit = i < count ? static_cast<unsigned>(u >> (kUnitBits * i)) & kMask : fill;
        p[n - 1 - i] = kHexDigits ? kHex[unit] : static_cast<char>(unit);
    }
}

RexxValue hex_to(Interp& in, Args& a, bool to_binary) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    std::string digits;
    if (!hex_digits(s, digits)) wrong_call(in, a, 0, "invalid hexadecimal string.");
    RexxValue r;
    if (to_binary) {
        if (digits.size() > kMaxValueLength / 4) raise_error(in, 5);
        char* p = make_text(in, r, digits.size() * 4);
        for (size_t i = 0; i < digits.size(); ++i) {
            int v = hex_value(digits[i]);
            for (int b = 0; b < 4; ++b)
                p[4 * i + b] = (v >> (3 - b)) & 1 ? '1' : '0';
        }
        return r;
    }
    size_t odd = digits.size() % 2;
    size_t n = (digits.size() + odd) / 2;
    char* p = make_text(in, r, n);
    size_t k = 0;
    for (size_t i = 0; i < n; ++i) {
        int hi = (i == 0 && odd) ? 0 : hex_value(digits[k++]);
        int lo = hex_value(digits[k++]);
        p[i] = static_cast<char>(hi * 16 + lo);
    }
    return r;
}

RexxValue bi_x2b(Interp& in, Args& a) {
    return hex_to(in, a, true);
}
RexxValue bi_x2c(Interp& in, Args& a) {
    return hex_to(in, a, false);
}

RexxValue bi_x2d(Interp& in, Args& a) {
    check_count(in, a, 1, 2, "must receive 1 or 2 arguments.");
    std::string_view s = need_text(in, a, 0);
    std::string digits;
    if (!hex_digits(s, digits)) wrong_call(in, a, 0, "invalid hexadecimal string.");
    long long n = -1;
    if (a.has(1))
        n = arg_whole_msgs(in, a, 1, 0, "argument 2 must be an integer", nullptr,
                           "argument 2 must be a positive integer");
    if (n == 0) return int_result(0);
    std::string_view used = digits;
    std::string padded;
    if (n > 0) {
        if (static_cast<size_t>(n) < digits.size()) {
            used = used.substr(digits.size() - n);
        } else if (static_cast<size_t>(n) > digits.size()) {
            padded.assign(n - digits.size(), '0');
            padded += digits;
            used = padded;
        }
    }
    bool negative = n > 0 && hex_value(used[0]) >= 8;
    size_t lead = 0;
    while (lead < used.size() && used[lead] == (negative ? 'F' : '0'))
        ++lead;
    if (negative)
        while (lead < used.size() && (used[lead] == 'f' || used[lead] == 'F'))
            ++lead;
    if (used.size() - lead > 15) wrong_call(in, a, 0, "first argument overflow.");
    unsigned long long u = 0;
    for (size_t i = lead; i < used.size(); ++i)
        u = (u << 4) | static_cast<unsigned>(hex_value(used[i]));
    long long v = static_cast<long long>(u);
    if (negative) v -= 1LL << (4 * (used.size() - lead)); // sign-extended
    if (decimal_digits(static_cast<unsigned long long>(v < 0 ? -v : v)) > in.numeric.digits)
        wrong_call(in, a, 0, "value too big according to the current NUMERIC DIGITS setting.");
    return int_result(v);
}

// ---------------------------------------------------------------- DATATYPE

bool all_of(std::string_view s, bool (*pred)(unsigned char)) {
    if (s.empty()) return false;
    for (unsigned char c : s)
        if (!pred(c)) return false;
    return true;
}

RexxValue bi_datatype(Interp& in, Args& a) {
    check_count(in, a, 1, 2, "must receive 1 or 2 arguments.");
    std::string_view s = need_text(in, a, 0);
    if (!a.has(1)) return RexxValue(is_number(a[0]) ? "NUM" : "CHAR");
    char type =
        arg_option(in, a, 1, 'N', "ABLNSUWX", "argument 2 must start with A|B|L|N|S|U|W|X.");
    bool ok = false;
    std::string digits;
    switch (type) {
    case 'A':
        ok = all_of(s, [](unsigned char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
        break;
    case 'B': ok = packed_digits(s, 4, true, digits); break;
    case 'L': ok = all_of(s, [](unsigned char c) { return c >= 'a' && c <= 'z'; }); break;
    case 'U': ok = all_of(s, [](unsigned char c) { return c >= 'A' && c <= 'Z'; }); break;
    case 'N': ok = is_number(a[0]); break;
    case 'S': ok = is_rexx_symbol(s); break;
    case 'W':
        if (is_number(a[0])) {
            double d = round_digits(a[0].num(), in.numeric.digits);
            ok = d == std::trunc(d);
        }
        break;
    case 'X': ok = hex_digits(s, digits); break;
    }
    return int_result(ok ? 1 : 0);
}

} // namespace

const Builtin kConversionBuiltins[] = {
    {"b2x", bi_b2x},
    {"c2d", bi_c2d},
    {"c2o", bi_c2o},
    {"c2x", result_of<c2x_into>, c2x_into},
    {"d2c", result_of<decimal_into<false>>, decimal_into<false>},
    {"d2x", result_of<decimal_into<true>>, decimal_into<true>},
    {"x2b", bi_x2b},
    {"x2c", bi_x2c},
    {"x2d", bi_x2d},
    {"datatype", bi_datatype},
};
const size_t kConversionBuiltinCount = sizeof kConversionBuiltins / sizeof kConversionBuiltins[0];

} // namespace tolma
