#pragma once
// Arithmetic on RexxValue: number recognition, rounding, formatting, the
// binary and prefix operators, comparisons and the NUMERIC settings.
//
// Numbers are binary doubles with at most 15 significant digits. Operands
// are rounded to DIGITS+1 digits and results to DIGITS; whole numbers are
// never rounded. A number's decimal-places count (-1: none) decides how
// many zeros its text keeps, so 1.50 * 2 is 3.00.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rexx/core/rexx_error.h"
#include "rexx/core/values.h"

namespace tolma {

struct Interp;

// Reads text as a number. Leading blanks, one sign (a blank may follow a
// leading "-"), digits with at most one ".", an exponent E or e after at
// least one digit with an optional sign and digits; trailing blanks are
// ignored. Infinite results are not numbers. places receives the count of
// digits after "." (at most 15), 0 when there is no "." or an exponent.
bool parse_number(std::string_view text, double& out, int32_t& places);

bool recognise_number(const RexxValue& v); // slow path of is_number
// True when v is a number; a string is recognised once and the verdict cached.
inline bool is_number(const RexxValue& v) {
    if (v.known_number()) return true;
    if (v.known_not_number()) return false;
    return recognise_number(v);
}

// True for a finite x without a fractional part (every double of 2^53 and
// more is one). Kept inline: it decides the fast path of every operator.
inline bool is_whole(double x) {
    double a = __builtin_fabs(x);
    return a < 4503599627370496.0 ? static_cast<double>(static_cast<long long>(x)) == x
                                  : a <= 1.7976931348623157e308; // not infinite, not NaN
}

double round_digits_fraction(double x, int n);
// n significant digits; n >= 15 or a whole x leaves x unchanged.
inline double round_digits(double x, int n) {
    if (n >= 15 || is_whole(x)) return x;
    return round_digits_fraction(x, n);
}
// The same by writing "%.*g" and reading it back; round_digits takes a
// faster road to the same double.
double round_digits_by_text(double x, int n);

// Writes the text of a number into buf (at least 64 bytes); returns its length.
// The number must be finite.
size_t format_number(double d, int32_t places, const NumericSettings& ns, char* buf);
std::string format_number(double d, int32_t places, const NumericSettings& ns);
// The same for a whole number below 10**DIGITS without decimal places (the
// text is its plain digits, sign first): written into buf (at least 24
// bytes) with its length in n. False, nothing written, for any other number.
bool format_plain_whole(double d, int32_t places, const NumericSettings& ns, char* buf, size_t& n);

enum class ArithOp : uint8_t { Add, Sub, Mul, Div, IntDiv, Rem, Pow };
enum class CompareOp : uint8_t {
    Eq,
    Ne,
    Gt,
    Lt,
    Ge,
    Le,
    EqIC, // "=" with letters compared without regard to case
    NeIC,
    StrictEq,
    StrictNe,
    StrictGt,
    StrictLt,
    StrictGe,
    StrictLe,
};

// Which operand an arithmetic failure is about, so that the caller can add
// the operand detail ("Variable ... is invalid." / "String ... is invalid.").
enum class BadOperand : uint8_t { Neither, Left, Right };

struct ArithFault {
    int error = 0; // 41, 42, 51, 26 (integer division length)
    BadOperand operand = BadOperand::Neither;
    const char* detail = nullptr; // fixed detail text, when the error has one
};

inline int32_t sum_places(int32_t a, int32_t b) {
    if (a < 0 && b < 0) return -1;
    return (a > 0 ? a : 0) + (b > 0 ? b : 0);
}

// "+", "-" and "*" of whole numbers known as numbers: no rounding applies to
// the operands nor to a whole result, so loop counters and sums need no
// more than this. False when the general routine must decide.
inline bool arith_whole(ArithOp op, const RexxValue& l, const RexxValue& r, RexxValue& out) {
    if (op > ArithOp::Mul || !l.known_number() || !r.known_number()) return false;
    double a = l.num(), b = r.num();
    if (!is_whole(a) || !is_whole(b)) return false;
    double res = op == ArithOp::Add ? a + b : op == ArithOp::Sub ? a - b : a * b;
    if (!is_whole(res)) return false; // overflow: the general routine reports it
    int32_t places;
    if (op == ArithOp::Mul)
        places = sum_places(l.places(), r.places());
    else if (res == 0)
        places = 0;
    else if (a == 0)
        places = r.places();
    else if (b == 0)
        places = l.places();
    else
        places = l.places() > r.places() ? l.places() : r.places();
    out.set_number(res == 0 ? 0 : res, places);
    return true;
}

// The binary operators. On failure returns false and fills fault.
bool arith_binary(const NumericSettings& ns, ArithOp op, const RexxValue& l, const RexxValue& r,
                  RexxValue& out, ArithFault& fault);
// Prefix "+" and "-" (the decimal places are kept).
bool arith_prefix(const NumericSettings& ns, char op, const RexxValue& v, RexxValue& out,
                  ArithFault& fault);

// 0 or 1 when v is exactly the number 0 or 1, else -1.
int logical_value(const RexxValue& v);

// Every comparison yields true or false; none can fail.
bool compare_values(const NumericSettings& ns, CompareOp op, const RexxValue& l,
                    const RexxValue& r);

// Operator spellings as trace output shows them.
const char* arith_op_text(ArithOp op);
const char* compare_op_text(CompareOp op);

// The same operators, raising the REXX error with its operand detail on failure.
// A name is the variable the operand was read from, or empty for a literal or
// an intermediate result.
RexxValue eval_arith_general(Interp& in, ArithOp op, const RexxValue& l, const RexxValue& r,
                             std::string_view left_name, std::string_view right_name);
inline RexxValue eval_arith(Interp& in, ArithOp op, const RexxValue& l, const RexxValue& r,
                            std::string_view left_name = {}, std::string_view right_name = {}) {
    RexxValue out;
    if (arith_whole(op, l, r, out)) return out;
    return eval_arith_general(in, op, l, r, left_name, right_name);
}
// The error eval_arith_general raises for a fault arith_binary reported.
RexxError arith_error(const Interp& in, const ArithFault& f, const RexxValue& l, const RexxValue& r,
                      std::string_view left_name = {}, std::string_view right_name = {});
RexxValue eval_prefix(Interp& in, char op, const RexxValue& v, std::string_view name = {});
RexxValue eval_compare(Interp& in, CompareOp op, const RexxValue& l, const RexxValue& r);
// "&", "|" and "&&"; error 34 unless both sides are 0 or 1. The executor does
// the short circuit: "|" skips its right side when the left is a non-zero
// number and "&" when it is numerically zero (the right then counts as 1).
RexxValue eval_logical(Interp& in, char op, const RexxValue& l, const RexxValue& r);
bool logical_short_circuit(char op, const RexxValue& l);
RexxValue eval_not(Interp& in, const RexxValue& v);

// A number value for the library; a result that is not finite is error 42.
RexxValue make_number(Interp& in, double d, int32_t places = -1);

// NUMERIC DIGITS [expr], FUZZ [expr], FORM, FORM VALUE expr.
// A null value means the expression was omitted.
void numeric_digits(Interp& in, const RexxValue* v);
void numeric_fuzz(Interp& in, const RexxValue* v);
void numeric_form(Interp& in, bool engineering);
void numeric_form_value(Interp& in, const RexxValue& v);
// PARSE NUMERIC's text: "9 0 SCIENTIFIC".
std::string numeric_text(const NumericSettings& ns);

} // namespace tolma
