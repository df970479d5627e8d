// Number recognition, rounding, formatting, operators, comparisons and NUMERIC.
//
// Expected results marked "Regina" were checked against Regina REXX 3.6 with
// the same settings. This interpreter computes in binary doubles with at
// most 15 digits and writes numbers with "%.*G", so where the two differ by
// design the test says so.
#include <gtest/gtest.h>

#include <cmath>

#include "harness.h"

using namespace tolma;
using tolma_test::Captured;
using tolma_test::catch_error;

namespace {

// ---------------------------------------------------------------- recognition

struct RecogRow {
    const char* text;
    bool ok;
    double value;
    int places;
};

TEST(NumberRecognition, Table) {
    const RecogRow rows[] = {
        {"12", true, 12, 0},
        {"  12  ", true, 12, 0},
        {"-12", true, -12, 0},
        {"+12", true, 12, 0},
        {"-  12", true, -12, 0}, // a blank may follow a leading "-"
        {"+ 12", false, 0, 0},   // but not a "+"
        {"1 2", false, 0, 0},    // nor a digit
        {"1.5", true, 1.5, 1},
        {"1.50", true, 1.5, 2},
        {".5", true, 0.5, 1},
        {"5.", true, 5, 0},
        {".", false, 0, 0},
        {"1e5", true, 1e5, 0},
        {"1E+5", true, 1e5, 0},
        {"2.50e-3", true, 2.5e-3, 0}, // an exponent makes the places 0
        {"1e", false, 0, 0},
        {"1e+", false, 0, 0}, // ends in a sign
        {"-", false, 0, 0},
        {"+", false, 0, 0},
        {"e5", false, 0, 0},
        {".e5", false, 0, 0},
        {"1.2.3", false, 0, 0},
        {"0x10", false, 0, 0},
        {"", false, 0, 0},
        {"   ", false, 0, 0},
        {"1e999", false, 0, 0},  // infinite
        {"-1e999", false, 0, 0}, // infinite too
        {"1e-999", true, 0, 0},  // underflows to zero
        {"12\t", false, 0, 0},   // only blanks are trimmed
        {"\t12", false, 0, 0},
        {"1.23456789012345678", true, 1.23456789012345678, 15}, // places capped at 15
        {"abc", false, 0, 0},
        {"--1", false, 0, 0},
        {"1-", false, 0, 0},
        {"00012.500", true, 12.5, 3},
    };
    for (const RecogRow& r : rows) {
        double d = -1;
        int32_t places = -7;
        bool ok = parse_number(r.text, d, places);
        EXPECT_EQ(ok, r.ok) << '"' << r.text << '"';
        if (ok && r.ok) {
            EXPECT_DOUBLE_EQ(d, r.value) << r.text;
            EXPECT_EQ(places, r.places) << r.text;
        }
    }
}

TEST(NumberRecognition, LongDigitStrings) {
    std::string many(300, '1');
    double d;
    int32_t places;
    ASSERT_TRUE(parse_number(many, d, places));
    EXPECT_NEAR(d / 1.111111111111111e299, 1.0, 1e-12);
    EXPECT_FALSE(parse_number(std::string(400, '9'), d, places)); // beyond a double
}

TEST(Round, WholeNumbersAndFifteenDigitsAreUnchanged) {
    EXPECT_EQ(round_digits(123456789012.0, 3), 123456789012.0);
    EXPECT_EQ(round_digits(1.23456789, 15), 1.23456789);
    EXPECT_EQ(round_digits(1.23456789, 4), 1.235);
    EXPECT_EQ(round_digits(-0.00123456, 2), -0.0012);
    EXPECT_EQ(round_digits(2.5, 1), 2); // "%.*g" rounds to even on a binary tie
}

// ---------------------------------------------------------------- formatting

struct FormatRow {
    int digits;
    bool engineering;
    double value;
    int places;
    const char* text;
};

TEST(Formatting, Table) {
    const FormatRow rows[] = {
        {9, false, 5, -1, "5"},
        {9, false, -0.0, -1, "0"}, // -0 is written 0
        {9, false, 123456789, 0, "123456789"},
        {9, false, 1e9, 0, "1E+9"},     // Regina: 1.00000000E+9
        {9, false, 1e12, 0, "1E+12"},   // Regina: 1.00000000E+12
        {9, false, 1e100, 0, "1E+100"}, // three exponent digits stay
        {9, false, 1.5e-7, -1, "1.5E-7"},
        {9, false, 0.000001, 6, "1E-6"}, // Regina: 0.000001 ("%G" switches at 1E-5)
        {9, false, 0.0001, 4, "0.0001"},
        {9, false, 1.0 / 3, -1, "0.333333333"},
        {9, false, 3, 2, "3.00"},
        {9, false, 18, 2, "18.00"},
        {9, false, 1.5, 3, "1.500"},
        {9, false, 123456789, 2, "123456789"}, // no digits left for zeros
        {9, false, 1234567.5, 3, "1234567.50"},
        {9, false, -2.5, 2, "-2.50"},
        {5, false, 123456, 0, "1.2346E+5"},
        {5, false, -123456, 0, "-1.2346E+5"},
        {15, false, 0.1 + 0.2, -1, "0.3"},
        {15, false, 123456789012345, 0, "123456789012345"},
        {15, false, 1234567890123456, 0, "1.23456789012346E+15"},
        {1, false, 7, 0, "7"},
        {1, false, 12, 0, "1E+1"},
        {5, true, 123456, 0, "123.46E3"},   // engineering: positive exponent without "+"
        {5, true, 1234567, 0, "1.2346E+6"}, // a multiple of 3 is left as written
        {5, true, 0.0000123456, -1, "12.346E-6"},
        {9, true, 1e-7, -1, "100E-9"},
        {2, true, 120000, 0, "120E3"}, // the scaled mantissa needs no exponent of its own
        {9, true, 42, 0, "42"},
    };
    for (const FormatRow& r : rows) {
        NumericSettings ns;
        ns.digits = r.digits;
        ns.engineering = r.engineering;
        EXPECT_EQ(format_number(r.value, r.places, ns), r.text)
            << r.value << " digits " << r.digits << " places " << r.places;
    }
}

// ---------------------------------------------------------------- operators

struct OpRow {
    const char* left;
    ArithOp op;
    const char* right;
    const char* result;
};

std::string calc(Interp& in, const char* l, ArithOp op, const char* r) {
    RexxValue out = eval_arith(in, op, RexxValue(l), RexxValue(r));
    return std::string(out.text(in.numeric));
}

TEST(Operators, AgreeWithReginaAtDigitsNine) {
    // Regina 3.6, NUMERIC DIGITS 9, gives the same text for each of these.
    const OpRow rows[] = {
        {"2", ArithOp::Add, "3", "5"},
        {"1.50", ArithOp::Mul, "2", "3.00"},
        {"12", ArithOp::Mul, "1.50", "18.00"},
        {"1", ArithOp::Div, "3", "0.333333333"},
        {"2", ArithOp::Div, "3", "0.666666667"},
        {"10", ArithOp::Div, "4", "2.5"},
        {"7", ArithOp::IntDiv, "2", "3"},
        {"-7", ArithOp::IntDiv, "2", "-3"},
        {"7", ArithOp::Rem, "2", "1"},
        {"-7", ArithOp::Rem, "2", "-1"},
        {"7", ArithOp::Rem, "-2", "1"},
        {"1", ArithOp::Sub, "1", "0"},
        {"0.1", ArithOp::Add, "0.2", "0.3"},
        {"1.10", ArithOp::Add, "1", "2.10"},
        {"123456789", ArithOp::Mul, "10", "1.23456789E+9"},
        {"2", ArithOp::Pow, "10", "1024"},
        {"2", ArithOp::Pow, "-1", "0.5"},
        {"5.0", ArithOp::Add, "0", "5.0"},
        {"1e3", ArithOp::Add, "0", "1000"},
        {"1.5", ArithOp::Sub, "1.5", "0"},
        {"3.14159", ArithOp::Mul, "2", "6.28318"},
        {"99999999", ArithOp::Add, "1", "100000000"},
        {"-5", ArithOp::Add, "2", "-3"},
        {"17", ArithOp::IntDiv, "5", "3"},
        {"17.5", ArithOp::Rem, "5", "2.5"},
        {"1.25", ArithOp::Mul, "1.25", "1.5625"},
        {" 4 ", ArithOp::Add, "- 1", "3"},
    };
    Captured c;
    for (const OpRow& r : rows)
        EXPECT_EQ(calc(c.in, r.left, r.op, r.right), r.result)
            << r.left << ' ' << arith_op_text(r.op) << ' ' << r.right;
}

TEST(Operators, DifferFromReginaByDesign) {
    Captured c;
    // "%.*G" drops trailing zeros: Regina writes 1.00000000E+9 and 1.00000000E+12.
    EXPECT_EQ(calc(c.in, "999999999", ArithOp::Add, "1"), "1E+9");
    EXPECT_EQ(calc(c.in, "1000000", ArithOp::Mul, "1000000"), "1E+12");
    // Regina refuses a fractional power (error 26); doubles allow it.
    EXPECT_EQ(calc(c.in, "2", ArithOp::Pow, "0.5"), "1.41421356");
    // Whole numbers are not rounded to DIGITS before the operation.
    EXPECT_EQ(calc(c.in, "1234567891", ArithOp::Sub, "1234567890"), "1");
    // DIGITS stops at 15.
    c.in.numeric.digits = 15;
    EXPECT_EQ(calc(c.in, "1", ArithOp::Div, "3"), "0.333333333333333");
}

TEST(Operators, DecimalPlacesOfAdditionFollowTheOperands) {
    Captured c;
    EXPECT_EQ(calc(c.in, "0", ArithOp::Add, "2.50"), "2.50"); // right's when left is 0
    EXPECT_EQ(calc(c.in, "2.50", ArithOp::Sub, "0"), "2.50"); // left's when right is 0
    EXPECT_EQ(calc(c.in, "1.5", ArithOp::Add, "1.25"), "2.75");
    EXPECT_EQ(calc(c.in, "1.5", ArithOp::Add, "1.5"), "3.0"); // the larger count
    EXPECT_EQ(calc(c.in, "2.50", ArithOp::Sub, "2.5"), "0");  // a zero result has none
    EXPECT_EQ(calc(c.in, "1.1", ArithOp::Mul, "1.1"), "1.21");
    EXPECT_EQ(calc(c.in, "1.0", ArithOp::Mul, "1.00"), "1.000");
    EXPECT_EQ(calc(c.in, "3.00", ArithOp::Div, "1"), "3"); // "/" has no count
}

TEST(Operators, DigitsRoundOperandsAndResults) {
    Captured c;
    c.in.numeric.digits = 5;
    EXPECT_EQ(calc(c.in, "123456", ArithOp::Add, "0"), "1.2346E+5");
    EXPECT_EQ(calc(c.in, "1.23456", ArithOp::Mul, "1"), "1.2346"); // Regina: 1.2346
    EXPECT_EQ(calc(c.in, "2", ArithOp::Div, "3"), "0.66667");
    c.in.numeric.engineering = true;
    EXPECT_EQ(calc(c.in, "123456", ArithOp::Add, "0"), "123.46E3"); // Regina: 123.46E+3
}

TEST(Operators, NonNumbersAreErrorFortyOneWithTheOperandDetail) {
    Captured c;
    RexxError e = catch_error([&] { calc(c.in, "a", ArithOp::Add, "1"); });
    EXPECT_EQ(e.code, 41);
    EXPECT_EQ(e.detail, "String \"a\" is invalid.");
    e = catch_error(
        [&] { eval_arith(c.in, ArithOp::Mul, RexxValue("1"), RexxValue("x y"), "", "ABC"); });
    EXPECT_EQ(e.code, 41);
    EXPECT_EQ(e.detail, "Variable \"ABC\" = \"x y\" is invalid.");
    // The left operand is checked first.
    e = catch_error(
        [&] { eval_arith(c.in, ArithOp::Sub, RexxValue("p"), RexxValue("q"), "L", "R"); });
    EXPECT_EQ(e.detail, "Variable \"L\" = \"p\" is invalid.");
    e = catch_error([&] { eval_prefix(c.in, '-', RexxValue("z")); });
    EXPECT_EQ(e.code, 41);
    EXPECT_EQ(e.detail, "String \"z\" is invalid.");
}

TEST(Operators, ZeroDivideIsFiftyOne) {
    Captured c;
    for (ArithOp op : {ArithOp::Div, ArithOp::IntDiv, ArithOp::Rem}) {
        RexxError e = catch_error([&] { calc(c.in, "1", op, "0"); });
        EXPECT_EQ(e.code, 51) << arith_op_text(op);
        EXPECT_EQ(e.detail, "");
    }
    RexxError e = catch_error([&] { calc(c.in, "1", ArithOp::Div, "0.00"); });
    EXPECT_EQ(e.code, 51);
}

TEST(Operators, IntegerDivisionLengthCheck) {
    Captured c;
    EXPECT_EQ(calc(c.in, "999999999", ArithOp::IntDiv, "1"), "999999999");
    RexxError e = catch_error([&] { calc(c.in, "1000000000", ArithOp::IntDiv, "1"); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail, "TOLMA: the result of the integer division is\n"
                        "        longer than the NUMERIC DIGITS setting.");
    c.in.numeric.digits = 6;
    EXPECT_EQ(calc(c.in, "100000", ArithOp::IntDiv, "1"), "100000"); // 6 digits, not 5
    e = catch_error([&] { calc(c.in, "2e10", ArithOp::Rem, "3e10"); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail, "TOLMA: the result of the remainder operation is\n"
                        "        longer than the NUMERIC DIGITS setting.");
    EXPECT_EQ(calc(c.in, "5", ArithOp::Rem, "5"), "0");
    EXPECT_EQ(calc(c.in, "-5", ArithOp::Rem, "5"), "0"); // no "-0"
}

TEST(Operators, OverflowIsFortyTwo) {
    Captured c;
    EXPECT_EQ(catch_error([&] { calc(c.in, "1e300", ArithOp::Mul, "1e300"); }).code, 42);
    EXPECT_EQ(catch_error([&] { calc(c.in, "10", ArithOp::Pow, "400"); }).code, 42);
    EXPECT_EQ(catch_error([&] { calc(c.in, "-1e308", ArithOp::Sub, "1e308"); }).code, 42);
    EXPECT_EQ(catch_error([&] { calc(c.in, "0", ArithOp::Pow, "-1"); }).code, 42);
    EXPECT_EQ(catch_error([&] { calc(c.in, "-8", ArithOp::Pow, "0.5"); }).code, 42); // NaN
    EXPECT_EQ(catch_error([&] { calc(c.in, "1e300", ArithOp::Div, "1e-300"); }).code, 42);
}

TEST(Operators, RaisedErrorsCarryThePosition) {
    Captured c;
    c.in.pos.line = 12;
    c.in.pos.column = 7;
    RexxError e = catch_error([&] { calc(c.in, "1", ArithOp::Div, "0"); });
    EXPECT_EQ(e.line, 12);
    EXPECT_EQ(e.column, 7);
}

TEST(Operators, PrefixKeepsDecimalPlaces) {
    Captured c;
    RexxValue v = eval_prefix(c.in, '-', RexxValue("2.50"));
    EXPECT_EQ(v.text(c.in.numeric), "-2.50");
    v = eval_prefix(c.in, '+', RexxValue(" 3 "));
    EXPECT_EQ(v.text(c.in.numeric), "3");
    v = eval_prefix(c.in, '-', RexxValue("0"));
    EXPECT_EQ(v.text(c.in.numeric), "0");
}

TEST(Logical, ValuesMustBeZeroOrOne) {
    Captured c;
    auto logic = [&](char op, const char* l, const char* r) {
        return tolma_test::text_of(c.in, eval_logical(c.in, op, RexxValue(l), RexxValue(r)));
    };
    EXPECT_EQ(logic('|', "1", "0"), "1");
    EXPECT_EQ(logic('&', "1", "0"), "0");
    EXPECT_EQ(logic('&', "1", "1.0"), "1");
    EXPECT_EQ(logic('x', "1", "1"), "0"); // "&&"
    EXPECT_EQ(logic('x', "0", "1"), "1");
    EXPECT_EQ(catch_error([&] { logic('&', "2", "1"); }).code, 34);
    EXPECT_EQ(catch_error([&] { logic('|', "0", "abc"); }).code, 34);
    EXPECT_EQ(tolma_test::text_of(c.in, eval_not(c.in, RexxValue("0"))), "1");
    EXPECT_EQ(tolma_test::text_of(c.in, eval_not(c.in, RexxValue("1"))), "0");
    EXPECT_EQ(catch_error([&] { eval_not(c.in, RexxValue("2")); }).code, 34);
}

TEST(Logical, ShortCircuitDecisions) {
    // 1 | (1/0) and 0 & (1/0) never evaluate the division.
    EXPECT_TRUE(logical_short_circuit('|', RexxValue("1")));
    EXPECT_TRUE(logical_short_circuit('&', RexxValue("0")));
    EXPECT_TRUE(logical_short_circuit('&', RexxValue("0.0")));
    EXPECT_FALSE(logical_short_circuit('|', RexxValue("0")));
    EXPECT_FALSE(logical_short_circuit('&', RexxValue("1")));
    EXPECT_FALSE(logical_short_circuit('&', RexxValue("abc")));
    EXPECT_FALSE(logical_short_circuit('x', RexxValue("1")));
    // The skipped right side counts as 1.
    Captured c;
    EXPECT_EQ(tolma_test::text_of(c.in, eval_logical(c.in, '|', RexxValue("1"), RexxValue("1"))),
              "1");
}

// ---------------------------------------------------------------- comparisons

struct CmpRow {
    const char* left;
    CompareOp op;
    const char* right;
    bool result;
};

TEST(Comparisons, Table) {
    const CmpRow rows[] = {
        {"3", CompareOp::Eq, " 3 ", true},        // Regina: 1
        {"3", CompareOp::StrictEq, " 3 ", false}, // Regina: 0
        {"ABC", CompareOp::Eq, "abc", false},     // Regina: 0
        {"ABC", CompareOp::EqIC, "abc", true},    {"ABC", CompareOp::NeIC, "abd", true},
        {"1.0", CompareOp::Eq, "1", true},                                         // Regina: 1
        {"1.0", CompareOp::StrictEq, "1", false}, {"a", CompareOp::Lt, "b", true}, // Regina: 1
        {"abc", CompareOp::StrictGt, "ab", true},                                  // Regina: 1
        {"2", CompareOp::Gt, "10", false},                                         // Regina: 0
        {"2", CompareOp::StrictGt, "10", true},                                    // Regina: 1
        {"abc", CompareOp::Eq, "abc  ", true},    {"", CompareOp::Eq, "   ", true},
        {"a", CompareOp::StrictLt, "ab", true},   {"ab", CompareOp::StrictLe, "ab", true},
        {"ab", CompareOp::StrictGe, "b", false},  {"ab", CompareOp::StrictNe, "ab ", true},
        {"a", CompareOp::Lt, "a\x01", false}, // the shorter is padded with blanks
        {"1e2", CompareOp::Eq, "100", true},      {"-1", CompareOp::Lt, "0", true},
        {"abc", CompareOp::Ge, "abc", true},      {"abd", CompareOp::Le, "abc", false},
        {"x", CompareOp::Ne, "y", true},
    };
    NumericSettings ns;
    for (const CmpRow& r : rows)
        EXPECT_EQ(compare_values(ns, r.op, RexxValue(r.left), RexxValue(r.right)), r.result)
            << '"' << r.left << "\" " << compare_op_text(r.op) << " \"" << r.right << '"';
}

TEST(Comparisons, FuzzLowersDigits) {
    Captured c;
    RexxValue a("1.23456789"), b("1.23456788");
    EXPECT_EQ(tolma_test::text_of(c.in, eval_compare(c.in, CompareOp::Eq, a, b)), "0");
    c.in.numeric.fuzz = 1; // Regina: 1 as well
    EXPECT_EQ(tolma_test::text_of(c.in, eval_compare(c.in, CompareOp::Eq, a, b)), "1");
    EXPECT_EQ(c.in.numeric.digits, 9); // restored: the settings are not touched
    // Binary doubles show in the difference; Regina writes 0.00000001.
    EXPECT_EQ(tolma_test::text_of(c.in, eval_arith(c.in, ArithOp::Sub, a, b)), "9.99999994E-9");
    // Whole numbers are never rounded, so FUZZ cannot make them equal.
    // Regina (decimal arithmetic) says 1 for this comparison.
    c.in.numeric.fuzz = 0;
    EXPECT_EQ(tolma_test::text_of(c.in, eval_compare(c.in, CompareOp::Eq, RexxValue("1000000000"),
                                                     RexxValue("1000000001"))),
              "0");
}

TEST(Comparisons, NumberValuesCompareByText) {
    NumericSettings ns;
    RexxValue three = RexxValue::number(3, 2); // written 3.00
    EXPECT_TRUE(compare_values(ns, CompareOp::StrictEq, three, RexxValue("3.00")));
    EXPECT_TRUE(compare_values(ns, CompareOp::Eq, three, RexxValue("3")));
    EXPECT_FALSE(compare_values(ns, CompareOp::StrictEq, three, three) == false);
}

// ---------------------------------------------------------------- NUMERIC

TEST(Numeric, DigitsSettingAndErrors) {
    Captured c;
    RexxValue v("5");
    numeric_digits(c.in, &v);
    EXPECT_EQ(c.in.numeric.digits, 5);
    numeric_digits(c.in, nullptr);
    EXPECT_EQ(c.in.numeric.digits, 9);
    v.assign_text("15");
    numeric_digits(c.in, &v);
    EXPECT_EQ(c.in.numeric.digits, 15);

    v.assign_text("16");
    RexxError e = catch_error([&] { numeric_digits(c.in, &v); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail, "Expression evaluates to \"16\"; must be a positive integer <= 15.");
    v.assign_text("2.5");
    e = catch_error([&] { numeric_digits(c.in, &v); });
    EXPECT_EQ(e.detail, "Expression evaluates to \"2.5\"; must be a positive integer <= 15.");
    v.assign_text("0");
    EXPECT_EQ(catch_error([&] { numeric_digits(c.in, &v); }).code, 26);
    v.assign_text("abc");
    e = catch_error([&] { numeric_digits(c.in, &v); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail, "Expression evaluates to \"abc\"");
    EXPECT_EQ(c.in.numeric.digits, 15); // failures change nothing

    v.assign_text("4");
    numeric_fuzz(c.in, &v);
    v.assign_text("4");
    e = catch_error([&] { numeric_digits(c.in, &v); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail,
              "Expression evaluates to \"4\"; must be greater than the NUMERIC FUZZ setting (4).");
}

TEST(Numeric, FuzzSettingAndErrors) {
    Captured c;
    RexxValue v("3");
    numeric_fuzz(c.in, &v);
    EXPECT_EQ(c.in.numeric.fuzz, 3);
    numeric_fuzz(c.in, nullptr);
    EXPECT_EQ(c.in.numeric.fuzz, 0);
    v.assign_text("9");
    RexxError e = catch_error([&] { numeric_fuzz(c.in, &v); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail, "Expression evaluates to \"9\"; must be a positive integer < 9.");
    v.assign_text("-1");
    e = catch_error([&] { numeric_fuzz(c.in, &v); });
    EXPECT_EQ(e.detail, "Expression evaluates to \"-1\"; must be a positive integer < 9.");
    v.assign_text("x");
    e = catch_error([&] { numeric_fuzz(c.in, &v); });
    EXPECT_EQ(e.detail, "Expression evaluates to \"x\"");
}

TEST(Numeric, FormAndParseNumericText) {
    Captured c;
    EXPECT_EQ(numeric_text(c.in.numeric), "9 0 SCIENTIFIC");
    numeric_form(c.in, true);
    EXPECT_EQ(numeric_text(c.in.numeric), "9 0 ENGINEERING");
    numeric_form_value(c.in, RexxValue("scientific"));
    EXPECT_FALSE(c.in.numeric.engineering);
    numeric_form_value(c.in, RexxValue("Engineering"));
    EXPECT_TRUE(c.in.numeric.engineering);
    RexxError e = catch_error([&] { numeric_form_value(c.in, RexxValue("sci")); });
    EXPECT_EQ(e.code, 25);
    EXPECT_EQ(e.detail, "Expression evaluates to \"sci\".");
    e = catch_error([&] { numeric_form_value(c.in, RexxValue("5")); });
    EXPECT_EQ(e.code, 25);
    EXPECT_EQ(e.detail, "Expression evaluates to \"5\".");
    c.in.numeric.digits = 5;
    c.in.numeric.fuzz = 2;
    EXPECT_EQ(numeric_text(c.in.numeric), "5 2 ENGINEERING");
}

} // namespace

namespace {

TEST(Round, FastPathMatchesPrintingAndReadingBack) {
    // A fixed pseudo-random walk over magnitudes and digit counts.
    uint64_t seed = 88172645463325252ULL;
    auto next = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    int mismatches = 0;
    for (int i = 0; i < 300000; ++i) {
        double mant = static_cast<double>(next() % 10000000000000ULL) / 1e13;
        int exp = static_cast<int>(next() % 30) - 12;
        double x = mant * std::pow(10.0, exp);
        if (next() & 1) x = -x;
        int n = 1 + static_cast<int>(next() % 15);
        if (round_digits(x, n) != round_digits_by_text(x, n)) ++mismatches;
    }
    // Values on exact decimal ties and their neighbours.
    const double ties[] = {0.5, 1.5, 2.5, 0.125, 0.375, 1.25, 2.675, 1.005, 0.045, 123.445};
    for (double t : ties)
        for (int n = 1; n <= 14; ++n) {
            double near[] = {t, std::nextafter(t, 0.0), std::nextafter(t, 10.0)};
            for (double x : near)
                if (round_digits(x, n) != round_digits_by_text(x, n)) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
}

} // namespace

namespace {

TEST(MakeNumber, RefusesInfinityAndNaN) {
    Captured c;
    EXPECT_EQ(tolma_test::text_of(c.in, make_number(c.in, -0.0)), "0");
    EXPECT_EQ(tolma_test::text_of(c.in, make_number(c.in, 2.5, 2)), "2.50");
    EXPECT_EQ(catch_error([&] { make_number(c.in, HUGE_VAL); }).code, 42);
    EXPECT_EQ(catch_error([&] { make_number(c.in, -HUGE_VAL); }).code, 42);
    EXPECT_EQ(catch_error([&] { make_number(c.in, std::nan("")); }).code, 42);
}

} // namespace

namespace {

TEST(Formatting, MoreEdges) {
    NumericSettings ns;
    EXPECT_EQ(format_number(1.5e10, 2, ns), "1.5E+10"); // no zeros after an exponent
    ns.digits = 5;
    ns.engineering = true;
    EXPECT_EQ(format_number(-123456, 0, ns), "-123.46E3");
    EXPECT_EQ(format_number(-0.0000123456, -1, ns), "-12.346E-6");
    EXPECT_EQ(format_number(1.2e-10, -1, ns), "120E-12");
    EXPECT_EQ(format_number(12, 1, ns), "12.0"); // no exponent: nothing to engineer
}

TEST(Operators, TiesRoundToEvenInBinary) {
    Captured c;
    c.in.numeric.digits = 1;
    // 2.5 is an exact binary tie: "%.1g" writes 2. Regina rounds half up to 3.
    EXPECT_EQ(calc(c.in, "1.5", ArithOp::Add, "1"), "2");
    EXPECT_EQ(calc(c.in, "0.26", ArithOp::Add, "0"), "0.3");
}

} // namespace

namespace {

TEST(Formatting, WholeNumbersMatchPrintf) {
    NumericSettings ns;
    ns.digits = 15;
    std::vector<long long> values = {0,
                                     1,
                                     9,
                                     10,
                                     99,
                                     100,
                                     101,
                                     999,
                                     1000,
                                     12345,
                                     100000,
                                     999999999,
                                     1000000000,
                                     123456789012345,
                                     999999999999999};
    for (long long v = -2000; v <= 2000; v += 7)
        values.push_back(v);
    for (long long p = 1; p < 1000000000000000LL; p *= 10) {
        values.push_back(p - 1);
        values.push_back(p + 1);
    }
    for (long long v : values)
        for (long long x : {v, -v}) {
            char want[32];
            std::snprintf(want, sizeof want, "%lld", x);
            EXPECT_EQ(format_number(static_cast<double>(x), 0, ns), want);
        }
}

} // namespace

namespace {

// Random texts over the characters numbers are made of: whatever is
// accepted reads as strtod reads the same text without its blanks, and the
// grammar's rules hold.
TEST(NumberRecognition, RandomTextsAgreeWithStrtod) {
    const char alphabet[] = " +-.eE0123456789x";
    uint64_t seed = 0x9E3779B97F4A7C15ULL;
    auto next = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    int accepted = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string t;
        size_t len = next() % 10;
        for (size_t k = 0; k < len; ++k)
            t += alphabet[next() % (sizeof alphabet - 1)];
        double d;
        int32_t places;
        if (!parse_number(t, d, places)) continue;
        ++accepted;
        std::string compact;
        for (char ch : t)
            if (ch != ' ') compact += ch;
        char* end = nullptr;
        double want = std::strtod(compact.c_str(), &end);
        EXPECT_EQ(*end, '\0') << '"' << t << '"';
        EXPECT_EQ(d, want) << '"' << t << '"';
        EXPECT_EQ(compact.find('x'), std::string::npos) << t;
        // Blanks only lead, trail, or follow a leading "-".
        size_t first = t.find_first_not_of(' ');
        size_t last = t.find_last_not_of(' ');
        std::string core = t.substr(first, last - first + 1);
        size_t inner = core.find(' ');
        if (inner != std::string::npos) {
            EXPECT_EQ(core[0], '-') << '"' << t << '"';
            EXPECT_EQ(core.find_first_not_of(' ', 1), core.find_last_of(' ') + 1) << t;
        }
    }
    EXPECT_GT(accepted, 1000);
}

} // namespace

// A plain whole number's text written straight: the same as format_number,
// and refused for every number whose text is anything else.
TEST(FormatPlainWhole, AgreesWithFormatNumber) {
    const double values[] = {0,
                             -0.0,
                             1,
                             -1,
                             7,
                             99,
                             100,
                             123456789,
                             -999999999,
                             1e9,
                             -1e9,
                             999999999999999,
                             1e15,
                             2.5,
                             -0.5,
                             1234567890123,
                             4503599627370496.0};
    for (int digits : {1, 3, 9, 15}) {
        NumericSettings ns;
        ns.digits = digits;
        for (double d : values) {
            for (int32_t places : {-1, 0, 1, 3}) {
                char plain[24];
                size_t n = 0;
                bool took = format_plain_whole(d, places, ns, plain, n);
                std::string full = format_number(d, places, ns);
                bool expected = places < 1 && is_whole(d) && std::fabs(d) < std::pow(10.0, digits);
                EXPECT_EQ(took, expected) << d << " places " << places << " digits " << digits;
                if (took) {
                    EXPECT_EQ(std::string(plain, n), full) << d << " digits " << digits;
                    EXPECT_EQ(plain[n], 0);
                }
            }
        }
    }
}

TEST(FormatPlainWhole, NumberValuesShowTheSameText) {
    NumericSettings ns;
    RexxValue v = RexxValue::number(-42, 0);
    EXPECT_EQ(v.text(ns), "-42");
    v.set_number(-0.0, -1);
    EXPECT_EQ(v.text(ns), "0");
    v.set_number(3, 2);
    EXPECT_EQ(v.text(ns), "3.00");
    v.set_number(1234567890, -1);
    EXPECT_EQ(v.text(ns), "1.23456789E+9");
    ns.digits = 12;
    EXPECT_EQ(v.text(ns), "1234567890");
}
