// Number functions: ABS, SIGN, MAX, MIN, TRUNC, FORMAT, RANDOM, the NUMERIC
// settings, COMMA and the trigonometric functions.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>

#include "rexx/core/arith.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/libutil.h"

namespace tolma {

namespace {

RexxValue number_copy(const RexxValue& v) {
    return RexxValue::number(v.num(), v.places());
}

RexxValue bi_abs(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    require(in, a, 0, "argument 1 missing.");
    double d;
    if (!arg_number(a, 0, d)) wrong_call(in, a, 0, "the argument must be a number.");
    return RexxValue::number(std::fabs(d), a[0].places());
}

RexxValue bi_sign(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    require(in, a, 0, "argument 1 missing.");
    double d;
    if (!arg_number(a, 0, d)) wrong_call(in, a, 0, "the argument must be a number.");
    d = round_digits(d, in.numeric.digits);
    return int_result(d > 0 ? 1 : d < 0 ? -1 : 0);
}

RexxValue max_min(Interp& in, Args& a, bool want_max) {
    if (a.n < 1) wrong_call(in, a, 0, "must receive at least 1 argument.");
    int best = -1;
    for (int i = 0; i < a.n; ++i) {
        if (!a.has(i) || !is_number(a[i]))
            wrong_call(in, a, i, "argument" + std::to_string(i + 1) + " should be a whole number.");
        if (best < 0 || (want_max ? a[i].num() > a[best].num() : a[i].num() < a[best].num()))
            best = i;
    }
    return number_copy(a[best]);
}

RexxValue bi_max(Interp& in, Args& a) {
    return max_min(in, a, true);
}
RexxValue bi_min(Interp& in, Args& a) {
    return max_min(in, a, false);
}

RexxValue bi_digits(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    return int_result(in.numeric.digits);
}
RexxValue bi_fuzz(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    return int_result(in.numeric.fuzz);
}
RexxValue bi_form(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "no argument allowed.");
    return RexxValue(in.numeric.engineering ? "ENGINEERING" : "SCIENTIFIC");
}

// The number rounded as arithmetic rounds it: to DIGITS digits unless whole.
Decimal rounded_decimal(Interp& in, double d) {
    Decimal dec = to_decimal(d);
    if (d != std::trunc(d)) round_significant(dec, in.numeric.digits);
    return dec;
}

RexxValue bi_trunc(Interp& in, Args& a) {
    if (a.n > 2) wrong_call(in, a, 0, "up to 2 arguments allowed.");
    require(in, a, 0, "argument 1 missing.");
    double d;
    if (!arg_number(a, 0, d)) wrong_call(in, a, 0, "argument 1 must be a whole number.");
    long long places = opt_whole(in, a, 1, 0, 0);
    if (places > 1000000) raise_error(in, 5);
    Decimal dec = rounded_decimal(in, d);
    // Cut (no rounding) after the requested places.
    long long keep = dec.exp10 + places;
    if (keep <= 0) {
        dec.digits = "0";
        dec.exp10 = 1;
        dec.negative = false;
    } else if (static_cast<size_t>(keep) < dec.digits.size()) {
        dec.digits.resize(static_cast<size_t>(keep));
        while (dec.digits.size() > 1 && dec.digits.back() == '0')
            dec.digits.pop_back();
        if (dec.digits == "0") dec.negative = false, dec.exp10 = 1;
    }
    return RexxValue(plain_text(dec, static_cast<int>(places)));
}

// ---------------------------------------------------------------- FORMAT

RexxValue bi_format(Interp& in, Args& a) {
    if (a.n > 5) wrong_call(in, a, 0, "up to 5 arguments allowed.");
    require(in, a, 0, "argument 1 missing.");
    double d;
    if (!arg_number(a, 0, d)) wrong_call(in, a, 0, "argument 1 must be a whole number.");
    long long before = a.has(1) ? arg_whole(in, a, 1, 0) : -1;
    long long after = a.has(2) ? arg_whole(in, a, 2, 0) : -1;
    long long expp = a.has(3) ? arg_whole(in, a, 3, 0) : -1;
    long long expt = a.has(4) ? arg_whole(in, a, 4, 0) : in.numeric.digits;
    if (after > 1000000 || before > 1000000) raise_error(in, 5);

    Decimal dec = to_decimal(d);
    round_significant(dec, in.numeric.digits);
    bool zero = dec.digits == "0";
    int adjusted = dec.exp10 - 1; // exponent of the scientific form
    int int_digits = dec.exp10 > 0 ? dec.exp10 : 0;
    bool exponential = expp != 0 && !zero && (expt == 0 || int_digits > expt || adjusted < -6);

    std::string body;
    int exponent = 0;
    if (exponential) {
        // Mantissa with one digit before the point (1 to 3 in engineering form).
        auto normalise = [&]() {
            exponent = dec.exp10 - 1;
            int lead = 1;
            if (in.numeric.engineering) {
                int e3 = exponent >= 0 ? exponent / 3 * 3 : -((-exponent + 2) / 3) * 3;
                lead += exponent - e3;
                exponent = e3;
            }
            dec.exp10 = lead;
        };
        normalise();
        if (after >= 0) {
            int lead = dec.exp10;
            round_places(dec, static_cast<int>(after));
            if (dec.exp10 > lead) {
                // Rounding carried into a new digit: 9.99 -> 10.0.
                dec.exp10 += exponent;
                normalise();
            }
        }
        int places = after >= 0 ? static_cast<int>(after)
                                : std::max(0, static_cast<int>(dec.digits.size()) - dec.exp10);
        body = plain_text(dec, places);
    } else {
        if (after >= 0) round_places(dec, static_cast<int>(after));
        int places = after >= 0 ? static_cast<int>(after)
                                : std::max(0, static_cast<int>(dec.digits.size()) - dec.exp10);
        if (after < 0 && !zero && a[0].places() > places) {
            // Trailing zeros of the number stay, within DIGITS: 1.50 is 1.50.
            int room = in.numeric.digits - dec.exp10;
            places = std::min(a[0].places(), std::max(places, room));
        }
        body = plain_text(dec, places);
    }
    if (body[0] == '-' && body.find_first_not_of("-0.") == std::string::npos) body.erase(0, 1);

    size_t int_len = body.find('.');
    if (int_len == std::string::npos) int_len = body.size();
    if (before >= 0) {
        if (static_cast<size_t>(before) < int_len) wrong_call(in, a, 1, "argument 2 too small.");
        body.insert(0, static_cast<size_t>(before) - int_len, ' ');
    }
    if (exponential) {
        if (exponent == 0) {
            if (expp > 0) body.append(static_cast<size_t>(expp) + 2, ' ');
        } else {
            std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
            if (expp > 0) {
                if (digits.size() > static_cast<size_t>(expp))
                    wrong_call(in, a, 3, "not enought room for exponent");
                digits.insert(0, static_cast<size_t>(expp) - digits.size(), '0');
            }
            body += exponent < 0 ? "E-" : "E+";
            body += digits;
        }
    }
    return RexxValue(body);
}

// ---------------------------------------------------------------- RANDOM

double clock_seed() {
    double s = std::fmod(static_cast<double>(std::time(nullptr)), 2147483647.0);
    return s > 0 ? s : 1;
}

RexxValue bi_random(Interp& in, Args& a) {
    check_count(in, a, 0, 3, "must receive between 0 and 3 arguments.");
    long long v[3] = {0, 999, -1};
    for (int i = 0; i < a.n && i < 3; ++i) {
        if (!a.has(i)) continue;
        char msg[] = "argument 0 must be a whole number.";
        msg[9] = static_cast<char>('1' + i);
        v[i] = arg_whole_msgs(in, a, i, -(1LL << 53), msg);
    }
    long long lo = v[0], hi = v[1];
    if (a.n == 1 && a.has(0)) {
        lo = 0;
        hi = v[0];
    }
    if (lo > hi) wrong_call(in, a, 1, "argument 1 must be lower than argument 2.");
    double& seed = a.lib->random_seed;
    if (a.has(2)) {
        seed = static_cast<double>(v[2]);
        if (seed < 10000) seed *= 13120;
    } else if (seed == -1) {
        seed = clock_seed();
    }
    // A seed of 0 (mod the modulus) would give 0 for ever.
    if (std::fmod(seed, 2147483647.0) == 0) seed = 13120;
    seed *= 16807;
    seed -= std::floor(seed / 2147483647.0) * 2147483647.0;
    double result;
    if (lo < hi && hi <= 0) {
        // The scaling below divides by max and draws from 0 to max, which is
        // nothing for a max of 0 or below: draw over the width instead.
        double r = std::floor((static_cast<double>(hi - lo) + 1) * seed / 2147483648.0 + 1) - 1;
        result = static_cast<double>(lo) + r;
    } else {
        double r = std::floor((static_cast<double>(hi) + 1) * seed / 2147483648.0 + 1) - 1;
        result = r;
        if (lo != 0)
            result = static_cast<double>(hi - lo) / static_cast<double>(hi) * r +
                     static_cast<double>(lo);
    }
    return int_result(static_cast<long long>(std::floor(result + 0.5)));
}

// ---------------------------------------------------------------- COMMA and trigonometry

// COMMA(number): the digits before the decimal point grouped by threes with ",".
RexxValue bi_comma(Interp& in, Args& a) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    std::string_view s = need_text(in, a, 0);
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '+' || s[i] == '-'))
        ++i;
    size_t b = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    size_t e = i;
    std::string out(s.substr(0, b));
    for (size_t k = b; k < e; ++k) {
        if (k > b && (e - k) % 3 == 0) out += ',';
        out += s[k];
    }
    out.append(s.substr(e));
    return RexxValue(out);
}

RexxValue bi_pi(Interp& in, Args& a) {
    check_count(in, a, 0, 0, "must receive 0 argument.");
    return RexxValue::number(M_PI);
}

RexxValue math1(Interp& in, Args& a, double (*f)(double), bool unit_domain) {
    check_count(in, a, 1, 1, "must receive 1 argument.");
    require(in, a, 0, "argument 1 missing.");
    double d;
    if (!arg_number(a, 0, d)) wrong_call(in, a, 0, "the argument must be a number.");
    if (unit_domain && (d < -1 || d > 1))
        wrong_call(in, a, 0, "the argument must be between -1 and 1.");
    double r = f(d);
    if (!std::isfinite(r)) raise_error(in, 42);
    return RexxValue::number(r);
}

RexxValue bi_sin(Interp& in, Args& a) {
    return math1(
        in, a, [](double x) { return std::sin(x); }, false);
}
RexxValue bi_cos(Interp& in, Args& a) {
    return math1(
        in, a, [](double x) { return std::cos(x); }, false);
}
RexxValue bi_tan(Interp& in, Args& a) {
    return math1(
        in, a, [](double x) { return std::tan(x); }, false);
}
RexxValue bi_asin(Interp& in, Args& a) {
    return math1(
        in, a, [](double x) { return std::asin(x); }, true);
}
RexxValue bi_acos(Interp& in, Args& a) {
    return math1(
        in, a, [](double x) { return std::acos(x); }, true);
}
RexxValue bi_atan(Interp& in, Args& a) {
    return math1(
        in, a, [](double x) { return std::atan(x); }, false);
}

} // namespace

const Builtin kNumberBuiltins[] = {
    {"abs", bi_abs},       {"acos", bi_acos},     {"asin", bi_asin},     {"atan", bi_atan},
    {"comma", bi_comma},   {"cos", bi_cos},       {"digits", bi_digits}, {"form", bi_form},
    {"format", bi_format}, {"fuzz", bi_fuzz},     {"max", bi_max},       {"min", bi_min},
    {"pi", bi_pi},         {"random", bi_random}, {"sign", bi_sign},     {"sin", bi_sin},
    {"tan", bi_tan},       {"trunc", bi_trunc},
};
const size_t kNumberBuiltinCount = sizeof kNumberBuiltins / sizeof kNumberBuiltins[0];

} // namespace tolma
