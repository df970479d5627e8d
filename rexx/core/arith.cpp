#include "rexx/core/arith.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "rexx/core/errors.h"
#include "rexx/core/interp.h"

namespace tolma {

// ---------------------------------------------------------------- recognition

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Parses the compacted text s (no blanks, sign first when present).
bool read_double(const char* s, size_t n, bool exp_negative, double& out) {
    bool neg = false;
    const char* p = s;
    if (p < s + n && (*p == '-' || *p == '+')) {
        neg = *p == '-';
        ++p;
    }
    double v = 0;
    auto res = std::from_chars(p, s + n, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is infinite, which is no number.
        if (!exp_negative) return false;
        v = 0;
    } else if (res.ec != std::errc() || res.ptr != s + n) {
        return false;
    }
    if (!std::isfinite(v)) return false;
    out = neg ? -v : v;
    return true;
}

} // namespace

bool parse_number(std::string_view text, double& out, int32_t& places) {
    // Plain digits (counters, sizes, indexes read from text): exact as an
    // integer up to 15 of them.
    if (!text.empty() && text.size() <= 15) {
        uint64_t v = 0;
        size_t j = 0;
        for (; j < text.size() && is_digit(text[j]); ++j)
            v = v * 10 + static_cast<uint64_t>(text[j] - '0');
        if (j == text.size()) {
            out = static_cast<double>(v);
            places = 0;
            return true;
        }
    }
    size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ')
        --n;
    size_t i = 0;
    while (i < n && text[i] == ' ')
        ++i;
    if (i == n) return false;

    char small[128];
    std::string big;
    char* buf = small;
    if (n - i + 1 > sizeof small) {
        big.resize(n - i + 1);
        buf = big.data();
    }
    size_t k = 0;
    if (text[i] == '+' || text[i] == '-') {
        buf[k++] = text[i];
        bool minus = text[i] == '-';
        ++i;
        if (minus)
            while (i < n && text[i] == ' ')
                ++i;
    }
    int mantissa_digits = 0, decimals = 0;
    bool point = false, exponent = false, exp_negative = false;
    for (; i < n; ++i) {
        char c = text[i];
        if (is_digit(c)) {
            ++mantissa_digits;
            if (point) ++decimals;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        buf[k++] = c;
    }
    if (mantissa_digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        exponent = true;
        buf[k++] = 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            exp_negative = text[i] == '-';
            buf[k++] = text[i++];
        }
        int exp_digits = 0;
        for (; i < n && is_digit(text[i]); ++i, ++exp_digits)
            buf[k++] = text[i];
        if (exp_digits == 0) return false;
    }
    if (i != n) return false;
    if (!read_double(buf, k, exp_negative, out)) return false;
    places = exponent ? 0 : std::min(decimals, 15);
    return true;
}

bool recognise_number(const RexxValue& v) {
    double d;
    int32_t places;
    if (parse_number(v.str(), d, places)) {
        v.cache_number(d, places);
        return true;
    }
    v.cache_not_number();
    return false;
}

// ---------------------------------------------------------------- rounding

double round_digits_by_text(double x, int n) {
    if (n >= 15 || is_whole(x) || !std::isfinite(x)) return x;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, n);
    double v = x;
    std::from_chars(buf, res.ptr, v, std::chars_format::general);
    return v;
}

namespace {

const double kExact10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                           1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

} // namespace

double round_digits_fraction(double x, int n) {
    if (n >= 15 || !std::isfinite(x)) return x;
    // Scale by an exact power of ten, round to a whole number and scale
    // back: one correctly rounded operation each way gives the same double
    // as printing and reading back, except when the scaled value lies so
    // close to a half that the scaling error could decide: then print.
    double ax = std::fabs(x);
    if (ax < 1e-8 || ax >= 1e15 || n < 1) return round_digits_by_text(x, n);
    int e = 0; // 10^e <= ax < 10^(e+1), as near as the scaling can tell
    if (ax >= 1) {
        while (e < 15 && ax >= kExact10[e + 1])
            ++e;
    } else {
        int m = 1;
        while (ax * kExact10[m] < 1)
            ++m;
        e = -m;
    }
    int k = n - 1 - e;
    double scaled = k >= 0 ? x * kExact10[k] : x / kExact10[-k];
    // |scaled| < 10^15: the whole part fits a long long.
    long long whole = static_cast<long long>(scaled);
    double frac = std::fabs(scaled - static_cast<double>(whole));
    if (std::fabs(frac - 0.5) <= std::fabs(scaled) * 4e-16 + 1e-12)
        return round_digits_by_text(x, n);
    if (frac > 0.5) whole += scaled < 0 ? -1 : 1;
    double r = static_cast<double>(whole);
    return k >= 0 ? r / kExact10[k] : r * kExact10[-k];
}

// ---------------------------------------------------------------- formatting

namespace {

const double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// "%.*G" of d.
size_t write_general(double d, int precision, char* buf) {
    auto res = std::to_chars(buf, buf + 60, d, std::chars_format::general, precision);
    size_t n = res.ptr - buf;
    for (size_t i = 0; i < n; ++i)
        if (buf[i] == 'e') buf[i] = 'E';
    return n;
}

size_t write_whole(double d, char* buf) {
    static const char pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    long long v = static_cast<long long>(d);
    bool neg = v < 0;
    unsigned long long u = neg ? 0ULL - static_cast<unsigned long long>(v) : v;
    char tmp[24];
    char* p = tmp + sizeof tmp;
    while (u >= 100) {
        unsigned k = static_cast<unsigned>(u % 100) * 2;
        u /= 100;
        *--p = pairs[k + 1];
        *--p = pairs[k];
    }
    if (u >= 10) {
        *--p = pairs[u * 2 + 1];
        *--p = pairs[u * 2];
    } else {
        *--p = static_cast<char>('0' + u);
    }
    size_t n = 0;
    if (neg) buf[n++] = '-';
    size_t len = tmp + sizeof tmp - p;
    std::memcpy(buf + n, p, len);
    return n + len;
}

// Drops one leading zero of the exponent digits: E+05 -> E+5.
size_t trim_exponent(char* buf, size_t n) {
    char* e = static_cast<char*>(std::memchr(buf, 'E', n));
    if (!e) return n;
    char* digits = e + 1;
    if (*digits == '+' || *digits == '-') ++digits;
    if (digits[0] == '0' && digits + 1 < buf + n) {
        std::memmove(digits, digits + 1, buf + n - digits - 1);
        --n;
    }
    return n;
}

// Appends zeros so the text shows the decimal places, within the DIGITS budget.
size_t pad_places(char* buf, size_t n, int32_t places, int digits) {
    if (places < 1 || std::memchr(buf, 'E', n)) return n;
    const char* dot = static_cast<const char*>(std::memchr(buf, '.', n));
    size_t start = buf[0] == '-' ? 1 : 0;
    int intlen = static_cast<int>((dot ? dot - buf : static_cast<long>(n)) - start);
    int decimals = dot ? static_cast<int>(buf + n - dot - 1) : 0;
    int zeros = std::min(places - decimals, digits - intlen - decimals);
    if (zeros < 1) return n;
    if (!dot) buf[n++] = '.';
    while (zeros-- > 0)
        buf[n++] = '0';
    return n;
}

// Engineering exponent: a multiple of 3, the mantissa scaled to match.
size_t engineer(char* buf, size_t n, int digits) {
    char* e = static_cast<char*>(std::memchr(buf, 'E', n));
    if (!e) return n;
    int exp = 0;
    const char* p = e + 1;
    bool neg = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    std::from_chars(p, buf + n, exp);
    if (neg) exp = -exp;
    if (exp % 3 == 0) return n;
    int target = exp < 0 ? -((-exp + 2) / 3) * 3 : (exp / 3) * 3;
    int shift = exp - target;
    double m = 0;
    const char* mp = buf;
    bool mneg = *mp == '-';
    if (mneg) ++mp;
    std::from_chars(mp, e, m, std::chars_format::general);
    for (int i = 0; i < shift; ++i)
        m *= 10;
    if (mneg) m = -m;
    // Enough precision that the scaled mantissa itself needs no exponent.
    size_t k = write_general(m, std::max(digits, shift + 1), buf);
    if (target < 0) {
        buf[k++] = 'E';
        buf[k++] = '-';
        k += std::to_chars(buf + k, buf + 60, -target).ptr - (buf + k);
    } else {
        buf[k++] = 'E';
        k += std::to_chars(buf + k, buf + 60, target).ptr - (buf + k);
    }
    return k;
}

} // namespace

size_t format_number(double d, int32_t places, const NumericSettings& ns, char* buf) {
    if (!std::isfinite(d)) {
        // Arithmetic never stores these; keep the text readable if one slips in.
        const char* t = std::isnan(d) ? "NaN" : d > 0 ? "Infinity" : "-Infinity";
        std::strcpy(buf, t);
        return std::strlen(t);
    }
    if (d == 0) d = 0; // -0 is written 0
    size_t n;
    if (std::fabs(d) < kPow10[ns.digits] && is_whole(d)) {
        // No exponent: nothing to trim or engineer.
        n = write_whole(d, buf);
        if (places >= 1) n = pad_places(buf, n, places, ns.digits);
        buf[n] = 0;
        return n;
    }
    n = write_general(d, ns.digits, buf);
    n = trim_exponent(buf, n);
    if (n == 2 && buf[0] == '-' && buf[1] == '0') n = 1, buf[0] = '0';
    n = pad_places(buf, n, places, ns.digits);
    if (ns.engineering) n = engineer(buf, n, ns.digits);
    buf[n] = 0;
    return n;
}

bool format_plain_whole(double d, int32_t places, const NumericSettings& ns, char* buf, size_t& n) {
    if (places >= 1 || !(std::fabs(d) < kPow10[ns.digits]) || !is_whole(d)) return false;
    n = write_whole(d == 0 ? 0 : d, buf);
    buf[n] = 0;
    return true;
}

std::string format_number(double d, int32_t places, const NumericSettings& ns) {
    char buf[64];
    size_t n = format_number(d, places, ns, buf);
    return std::string(buf, n);
}

// ---------------------------------------------------------------- operators

namespace {

// Digits of the whole part: 1 for 0, 6 for 100000.
int whole_digits(double v) {
    v = std::fabs(std::trunc(v));
    int n = 1;
    for (double p = 10; v >= p && n < 400; p *= 10)
        ++n;
    return n;
}

bool fail(ArithFault& f, int error, BadOperand which, const char* detail = nullptr) {
    f.error = error;
    f.operand = which;
    f.detail = detail;
    return false;
}

const char* kIntDivTooLong = "TOLMA: the result of the integer division is\n"
                             "        longer than the NUMERIC DIGITS setting.";
const char* kRemTooLong = "TOLMA: the result of the remainder operation is\n"
                          "        longer than the NUMERIC DIGITS setting.";

} // namespace

bool arith_binary(const NumericSettings& ns, ArithOp op, const RexxValue& l, const RexxValue& r,
                  RexxValue& out, ArithFault& fault) {
    if (arith_whole(op, l, r, out)) return true;
    if (!is_number(l)) return fail(fault, 41, BadOperand::Left);
    if (!is_number(r)) return fail(fault, 41, BadOperand::Right);
    const int d1 = ns.digits + 1;
    double a = round_digits(l.num(), d1), b = round_digits(r.num(), d1);
    double res;
    int32_t places = -1;
    switch (op) {
    case ArithOp::Add:
    case ArithOp::Sub:
        res = round_digits(op == ArithOp::Add ? a + b : a - b, ns.digits);
        if (res == 0)
            places = 0;
        else if (a == 0)
            places = r.places();
        else if (b == 0)
            places = l.places();
        else
            places = std::max(l.places(), r.places());
        break;
    case ArithOp::Mul:
        res = round_digits(a * b, ns.digits);
        places = sum_places(l.places(), r.places());
        break;
    case ArithOp::Div:
        if (b == 0) return fail(fault, 51, BadOperand::Neither);
        res = round_digits(a / b, ns.digits);
        break;
    case ArithOp::IntDiv:
        if (b == 0) return fail(fault, 51, BadOperand::Neither);
        res = std::trunc(a / b);
        if (std::isfinite(res) && whole_digits(res) > ns.digits)
            return fail(fault, 26, BadOperand::Neither, kIntDivTooLong);
        break;
    case ArithOp::Rem:
        if (b == 0) return fail(fault, 51, BadOperand::Neither);
        if (a == b) {
            res = 0;
        } else {
            res = round_digits(std::fmod(std::fabs(a), std::fabs(b)), ns.digits);
            if (a < 0) res = -res;
            if (std::isfinite(res) && whole_digits(res) > ns.digits)
                return fail(fault, 26, BadOperand::Neither, kRemTooLong);
        }
        break;
    case ArithOp::Pow: res = round_digits(std::pow(a, b), ns.digits); break;
    default: res = 0;
    }
    if (!std::isfinite(res)) return fail(fault, 42, BadOperand::Neither);
    if (res == 0) res = 0; // no -0
    out.set_number(res, places);
    return true;
}

bool arith_prefix(const NumericSettings& ns, char op, const RexxValue& v, RexxValue& out,
                  ArithFault& fault) {
    if (!is_number(v)) return fail(fault, 41, BadOperand::Right);
    double x = round_digits(v.num(), ns.digits);
    if (op == '-') x = -x;
    if (x == 0) x = 0;
    out.set_number(x, v.places());
    return true;
}

int logical_value(const RexxValue& v) {
    if (!is_number(v)) return -1;
    if (v.num() == 0) return 0;
    if (v.num() == 1) return 1;
    return -1;
}

// ---------------------------------------------------------------- comparisons

namespace {

std::string_view strip_blanks(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == ' ')
        ++a;
    while (b > a && s[b - 1] == ' ')
        --b;
    return s.substr(a, b - a);
}

unsigned char fold(unsigned char c, bool ic) {
    return ic && c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// Compares with the shorter text padded with blanks.
int compare_padded(std::string_view a, std::string_view b, bool ic) {
    size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = i < a.size() ? fold(a[i], ic) : ' ';
        unsigned char y = i < b.size() ? fold(b[i], ic) : ' ';
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

int compare_strict(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

bool compare_values(const NumericSettings& ns, CompareOp op, const RexxValue& l,
                    const RexxValue& r) {
    int c;
    if (op >= CompareOp::StrictEq) {
        std::string_view a = l.text(ns);
        if (op == CompareOp::StrictEq || op == CompareOp::StrictNe) {
            std::string_view b = r.text(ns);
            bool eq = a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
            return (op == CompareOp::StrictEq) == eq;
        }
        // text() of l may live in l's buffer; r's text is separate storage.
        c = compare_strict(a, r.text(ns));
    } else if (is_number(l) && is_number(r)) {
        int digits = ns.digits - ns.fuzz;
        double a = round_digits(l.num(), digits), b = round_digits(r.num(), digits);
        c = a < b ? -1 : a > b ? 1 : 0;
    } else {
        bool ic = op == CompareOp::EqIC || op == CompareOp::NeIC;
        c = compare_padded(strip_blanks(l.text(ns)), strip_blanks(r.text(ns)), ic);
    }
    switch (op) {
    case CompareOp::Eq:
    case CompareOp::EqIC:
    case CompareOp::StrictEq: return c == 0;
    case CompareOp::Ne:
    case CompareOp::NeIC:
    case CompareOp::StrictNe: return c != 0;
    case CompareOp::Gt:
    case CompareOp::StrictGt: return c > 0;
    case CompareOp::Lt:
    case CompareOp::StrictLt: return c < 0;
    case CompareOp::Ge:
    case CompareOp::StrictGe: return c >= 0;
    case CompareOp::Le:
    case CompareOp::StrictLe: return c <= 0;
    }
    return false;
}

const char* arith_op_text(ArithOp op) {
    static const char* const names[] = {"+", "-", "*", "/", "%", "//", "**"};
    return names[static_cast<int>(op)];
}

const char* compare_op_text(CompareOp op) {
    static const char* const names[] = {"=",   "\\=", ">",    "<",  ">=", "<=",  "=",
                                        "\\=", "==",  "\\==", ">>", "<<", ">>=", "<<="};
    return names[static_cast<int>(op)];
}

// ---------------------------------------------------------------- raising forms

namespace {

RexxError fault_error(const Interp& in, const ArithFault& f, const RexxValue* bad,
                      std::string_view name) {
    if (f.detail) return make_error(in, f.error, f.detail);
    if (bad) return make_error(in, f.error, operand_detail(name, bad->text(in.numeric)));
    return make_error(in, f.error);
}

[[noreturn]] void raise_fault(Interp& in, const ArithFault& f, const RexxValue* bad,
                              std::string_view name) {
    throw fault_error(in, f, bad, name);
}

} // namespace

RexxError arith_error(const Interp& in, const ArithFault& f, const RexxValue& l, const RexxValue& r,
                      std::string_view left_name, std::string_view right_name) {
    if (f.operand == BadOperand::Left) return fault_error(in, f, &l, left_name);
    if (f.operand == BadOperand::Right) return fault_error(in, f, &r, right_name);
    return fault_error(in, f, nullptr, {});
}

RexxValue eval_arith_general(Interp& in, ArithOp op, const RexxValue& l, const RexxValue& r,
                             std::string_view left_name, std::string_view right_name) {
    RexxValue out;
    ArithFault f;
    if (arith_binary(in.numeric, op, l, r, out, f)) return out;
    if (f.operand == BadOperand::Left) raise_fault(in, f, &l, left_name);
    if (f.operand == BadOperand::Right) raise_fault(in, f, &r, right_name);
    raise_fault(in, f, nullptr, {});
}

RexxValue eval_prefix(Interp& in, char op, const RexxValue& v, std::string_view name) {
    RexxValue out;
    ArithFault f;
    if (arith_prefix(in.numeric, op, v, out, f)) return out;
    raise_fault(in, f, &v, name);
}

RexxValue eval_compare(Interp& in, CompareOp op, const RexxValue& l, const RexxValue& r) {
    return RexxValue::number(compare_values(in.numeric, op, l, r) ? 1 : 0, -1);
}

bool logical_short_circuit(char op, const RexxValue& l) {
    if (!is_number(l)) return false;
    return op == '|' ? l.num() != 0 : op == '&' ? l.num() == 0 : false;
}

RexxValue eval_logical(Interp& in, char op, const RexxValue& l, const RexxValue& r) {
    int a = logical_value(l), b = logical_value(r);
    if (a < 0 || b < 0) raise_error(in, 34);
    int v = op == '|' ? (a | b) : op == '&' ? (a & b) : (a ^ b);
    return RexxValue::number(v, -1);
}

RexxValue eval_not(Interp& in, const RexxValue& v) {
    int a = logical_value(v);
    if (a < 0) raise_error(in, 34);
    return RexxValue::number(a ? 0 : 1, -1);
}

RexxValue make_number(Interp& in, double d, int32_t places) {
    if (!std::isfinite(d)) raise_error(in, 42);
    return RexxValue::number(d == 0 ? 0 : d, places);
}

// ---------------------------------------------------------------- NUMERIC

namespace {

std::string g_text(double d) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 6);
    return std::string(buf, res.ptr);
}

std::string evaluates_to(Interp& in, const RexxValue& v) {
    std::string s = "Expression evaluates to \"";
    s += v.text(in.numeric);
    s += '"';
    return s;
}

} // namespace

void numeric_digits(Interp& in, const RexxValue* v) {
    int digits = kDefaultDigits;
    if (v) {
        if (!is_number(*v)) raise_error(in, 26, evaluates_to(in, *v));
        double d = v->num();
        if (d != std::trunc(d) || d <= 0 || d > kMaxDigits)
            raise_error(in, 26,
                        "Expression evaluates to \"" + g_text(d) +
                            "\"; must be a positive integer <= " + std::to_string(kMaxDigits) +
                            ".");
        digits = static_cast<int>(d);
    }
    if (digits <= in.numeric.fuzz)
        raise_error(in, 26,
                    "Expression evaluates to \"" + g_text(digits) +
                        "\"; must be greater than the NUMERIC FUZZ setting (" +
                        std::to_string(in.numeric.fuzz) + ").");
    in.numeric.digits = digits;
}

void numeric_fuzz(Interp& in, const RexxValue* v) {
    int fuzz = 0;
    if (v) {
        if (!is_number(*v)) raise_error(in, 26, evaluates_to(in, *v));
        double d = v->num();
        if (d != std::trunc(d) || d < 0 || d >= in.numeric.digits)
            raise_error(in, 26,
                        "Expression evaluates to \"" + g_text(d) +
                            "\"; must be a positive integer < " +
                            std::to_string(in.numeric.digits) + ".");
        fuzz = static_cast<int>(d);
    }
    in.numeric.fuzz = fuzz;
}

void numeric_form(Interp& in, bool engineering) {
    in.numeric.engineering = engineering;
}

void numeric_form_value(Interp& in, const RexxValue& v) {
    std::string word(v.text(in.numeric));
    std::string upper = word;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (upper == "SCIENTIFIC")
        in.numeric.engineering = false;
    else if (upper == "ENGINEERING")
        in.numeric.engineering = true;
    else
        raise_error(in, 25, "Expression evaluates to \"" + word + "\".");
}

std::string numeric_text(const NumericSettings& ns) {
    return std::to_string(ns.digits) + " " + std::to_string(ns.fuzz) +
           (ns.engineering ? " ENGINEERING" : " SCIENTIFIC");
}

} // namespace tolma
