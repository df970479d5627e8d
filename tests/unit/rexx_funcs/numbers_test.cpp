// Number functions: results (checked against Regina REXX where standard REXX
// defines them the same way), RANDOM's generator, and wrong calls.
#include <cmath>
#include <set>

#include "harness.h"

namespace tolma::test {

TEST(NumberFunctions, ResultsAgreeWithStandardRexx) {
    Lib f;
    EXPECT_EQ(f("ABS", {"-1.50"}), "1.50");
    EXPECT_EQ(f("ABS", {"3"}), "3");
    EXPECT_EQ(f("ABS", {"-0"}), "0");
    EXPECT_EQ(f("SIGN", {"-0.0"}), "0");
    EXPECT_EQ(f("SIGN", {"12"}), "1");
    EXPECT_EQ(f("SIGN", {"-3e-2"}), "-1");
    EXPECT_EQ(f("MAX", {"1", "2.50", "-3"}), "2.50");
    EXPECT_EQ(f("MIN", {"1", "2.50", "-3"}), "-3");
    EXPECT_EQ(f("MAX", {"7"}), "7");
    EXPECT_EQ(f("TRUNC", {"1.2345", "2"}), "1.23");
    EXPECT_EQ(f("TRUNC", {"12"}), "12");
    EXPECT_EQ(f("TRUNC", {"-1.999", "1"}), "-1.9");
    EXPECT_EQ(f("TRUNC", {"1e3", "2"}), "1000.00");
    EXPECT_EQ(f("TRUNC", {"0.5"}), "0");
    EXPECT_EQ(f("TRUNC", {"12345678901"}), "12345678901");
    EXPECT_EQ(f("TRUNC", {"1234.5678", "2"}), "1234.56");
    EXPECT_EQ(f("TRUNC", {"-12.7"}), "-12");
    EXPECT_EQ(f("TRUNC", {"  3.00 "}), "3");
    EXPECT_EQ(f("FORMAT", {"1.235", omitted, "2"}), "1.24");
    EXPECT_EQ(f("FORMAT", {"0.125", omitted, "2"}), "0.13");
    EXPECT_EQ(f("FORMAT", {"12345.678", "5", "1"}), "12345.7");
    EXPECT_EQ(f("FORMAT", {"1.5e10"}), "1.5E+10");
    EXPECT_EQ(f("FORMAT", {"1e-5"}), "0.00001");
    EXPECT_EQ(f("FORMAT", {"123.45", omitted, omitted, "2"}), "123.45");
    EXPECT_EQ(f("FORMAT", {"1.23e7", omitted, omitted, omitted, "2"}), "1.23E+7");
    EXPECT_EQ(f("FORMAT", {"-1.5"}), "-1.5");
    EXPECT_EQ(f("FORMAT", {"0.000001234"}), "0.000001234");
    EXPECT_EQ(f("FORMAT", {"12345678901"}), "1.23456789E+10");
    EXPECT_EQ(f("FORMAT", {"1.2", "5", "3", "3"}), "    1.200");
    EXPECT_EQ(f("FORMAT", {"1e100", omitted, omitted, "4"}), "1E+0100");
    EXPECT_EQ(f("FORMAT", {"7", omitted, omitted, "0"}), "7");
    EXPECT_EQ(f("FORMAT", {"1e10", omitted, omitted, "0"}), "10000000000");
    EXPECT_EQ(f("FORMAT", {"1.23e7", omitted, omitted, omitted, "0"}), "1.23E+7");
    EXPECT_EQ(f("FORMAT", {"12.5", omitted, "0"}), "13");
    EXPECT_EQ(f("FORMAT", {"-0.4", omitted, "0"}), "0");
    EXPECT_EQ(f("FORMAT", {"0.0004", omitted, "3"}), "0.000");
    EXPECT_EQ(f("FORMAT", {"1234567890", omitted, omitted, omitted, "5"}), "1.23456789E+9");
    EXPECT_EQ(f("FORMAT", {"  1.50  "}), "1.50");
    EXPECT_EQ(f("FORMAT", {"1.50", omitted, "1"}), "1.5");
    EXPECT_EQ(f("FORMAT", {"1e-10", omitted, omitted, omitted, "3"}), "1E-10");
    EXPECT_EQ(f("FORMAT", {"123456", omitted, omitted, "2", "3"}), "1.23456E+05");
    EXPECT_EQ(f("FORMAT", {"1.5", omitted, omitted, omitted, "0"}), "1.5");
    EXPECT_EQ(f("FORMAT", {"99.999", omitted, "2"}), "100.00");
    EXPECT_EQ(f("FORMAT", {"-99.999", "4", "2"}), "-100.00");
    EXPECT_EQ(f("FORMAT", {"1.23", omitted, omitted, omitted, "0"}), "1.23");
    EXPECT_EQ(f("FORMAT", {"1.23", omitted, omitted, "2", "0"}), "1.23    ");
    EXPECT_EQ(f("FORMAT", {"12345.6", omitted, omitted, "3", "2"}), "1.23456E+004");
    EXPECT_EQ(f("FORMAT", {"1e-7", omitted, "2"}), "1.00E-7");
    EXPECT_EQ(f("FORMAT", {"0.000999", omitted, "2"}), "0.00");
    EXPECT_EQ(f("FORMAT", {"9.9999e10", omitted, "2"}), "1.00E+11");
    EXPECT_EQ(f("FORMAT", {"99999.9", omitted, "0", omitted, "4"}), "1E+5");
    EXPECT_EQ(f("FORMAT", {"-12", "4"}), " -12");
    EXPECT_EQ(f("FORMAT", {"0", "3", "2"}), "  0.00");
    EXPECT_EQ(f("FORMAT", {"0.5", omitted, "0"}), "1");
    EXPECT_EQ(f("FORMAT", {"-0.5", omitted, "0"}), "-1");
    EXPECT_EQ(f("FORMAT", {"1e5", omitted, omitted, omitted, "5"}), "1E+5");
    EXPECT_EQ(f("FORMAT", {"123456", omitted, omitted, omitted, "5"}), "1.23456E+5");
    EXPECT_EQ(f("FORMAT", {"1.1e-5", omitted, "3"}), "0.000");
    EXPECT_EQ(f("FORMAT", {"5e-12", omitted, "3"}), "5.000E-12");
    EXPECT_EQ(f("FORMAT", {"12345678", omitted, omitted, "0"}), "12345678");
    EXPECT_EQ(f("FORMAT", {"-0.0000"}), "0");
    EXPECT_EQ(f("FORMAT", {"12.34", omitted, omitted, "5"}), "12.34");
    EXPECT_EQ(f("FORMAT", {"1.005", omitted, "2"}), "1.01");
    EXPECT_EQ(f("FORMAT", {"2.675", omitted, "2"}), "2.68");
    EXPECT_EQ(f("FORMAT", {"123"}), "123");
    EXPECT_EQ(f("FORMAT", {"0.1"}), "0.1");
    EXPECT_EQ(f("FORMAT", {"-1e-7"}), "-1E-7");
    EXPECT_EQ(f("FORMAT", {"1.234e-7", omitted, omitted, "1"}), "1.234E-7");
    EXPECT_EQ(f("FORMAT", {"3", "4"}), "   3");
    EXPECT_EQ(f("FORMAT", {"3", omitted, "3"}), "3.000");
    EXPECT_EQ(f("FORMAT", {"1234.5", "6", "0"}), "  1235");
    EXPECT_EQ(f("FORMAT", {"9.5", omitted, "0"}), "10");
}

// A random sample of FORMAT calls, all agreeing with Regina.
TEST(NumberFunctions, FormatSample) {
    Lib f;
    EXPECT_EQ(f("FORMAT", {"-99999E1", omitted, "2", omitted, omitted}), "-999990.00");
    EXPECT_EQ(f("FORMAT", {"2675E-11", omitted, "1", omitted, "5"}), "2.7E-8");
    EXPECT_EQ(f("FORMAT", {"-45E11", omitted, omitted, "3", "5"}), "-4.5E+012");
    EXPECT_EQ(f("FORMAT", {"0.000000000001", omitted, "3", "2", "0"}), "1.000E-12");
    EXPECT_EQ(f("FORMAT", {"2675", omitted, omitted, "3", "3"}), "2.675E+003");
    EXPECT_EQ(f("FORMAT", {"45E8", omitted, "1", "3", omitted}), "4.5E+009");
    EXPECT_EQ(f("FORMAT", {"90", omitted, "5", "2", omitted}), "90.00000");
    EXPECT_EQ(f("FORMAT", {"1234E-6", "12", "5", "3", omitted}), "           0.00123");
    EXPECT_EQ(f("FORMAT", {"-1005E-8", omitted, omitted, omitted, omitted}), "-0.00001005");
    EXPECT_EQ(f("FORMAT", {"0.000045", omitted, "1", "3", omitted}), "0.0");
    EXPECT_EQ(f("FORMAT", {"-1200", omitted, "0", omitted, omitted}), "-1200");
    EXPECT_EQ(f("FORMAT", {"-9E10", "12", omitted, omitted, "0"}), "          -9E+10");
    EXPECT_EQ(f("FORMAT", {"45E9", omitted, "3", "3", "3"}), "4.500E+010");
    EXPECT_EQ(f("FORMAT", {"45E8", omitted, "5", omitted, "0"}), "4.50000E+9");
    EXPECT_EQ(f("FORMAT", {"-1234E7", "12", "2", omitted, omitted}), "          -1.23E+10");
    EXPECT_EQ(f("FORMAT", {"1E-6", "12", "5", "0", omitted}), "           0.00000");
    EXPECT_EQ(f("FORMAT", {"1234E-4", omitted, "5", "3", omitted}), "0.12340");
    EXPECT_EQ(f("FORMAT", {"995E4", omitted, "0", omitted, omitted}), "9950000");
    EXPECT_EQ(f("FORMAT", {"2675E1", "12", "5", omitted, omitted}), "       26750.00000");
    EXPECT_EQ(f("FORMAT", {"100000000", omitted, "3", "0", omitted}), "100000000.000");
    EXPECT_EQ(f("FORMAT", {"0.00000123", "12", omitted, omitted, "0"}), "           1.23E-6");
    EXPECT_EQ(f("FORMAT", {"10", "12", "0", omitted, omitted}), "          10");
    EXPECT_EQ(f("FORMAT", {"-0.000000000045", omitted, "3", omitted, omitted}), "-4.500E-11");
    EXPECT_EQ(f("FORMAT", {"0.045", omitted, "5", omitted, "5"}), "0.04500");
    EXPECT_EQ(f("FORMAT", {"-123E-5", "12", "2", "3", omitted}), "           0.00");
    EXPECT_EQ(f("FORMAT", {"995E4", "12", "1", omitted, omitted}), "     9950000.0");
    EXPECT_EQ(f("FORMAT", {"1230000000", "12", omitted, "2", "3"}), "           1.23E+09");
    EXPECT_EQ(f("FORMAT", {"-2675E9", omitted, "3", omitted, "5"}), "-2.675E+12");
    EXPECT_EQ(f("FORMAT", {"1234E-10", "12", "2", "3", "3"}), "           1.23E-007");
    EXPECT_EQ(f("FORMAT", {"-26750", "12", "2", "0", omitted}), "      -26750.00");
    EXPECT_EQ(f("FORMAT", {"120", omitted, "1", "3", omitted}), "120.0");
    EXPECT_EQ(f("FORMAT", {"123E4", omitted, "5", omitted, omitted}), "1230000.00000");
    EXPECT_EQ(f("FORMAT", {"-0.00000000045", "12", "5", "3", omitted}), "          -4.50000E-010");
    EXPECT_EQ(f("FORMAT", {"0.00000001234", omitted, omitted, omitted, "3"}), "1.234E-8");
    EXPECT_EQ(f("FORMAT", {"-120000", "12", "5", "3", omitted}), "     -120000.00000");
    EXPECT_EQ(f("FORMAT", {"9000000000", "12", "5", omitted, "5"}), "           9.00000E+9");
    EXPECT_EQ(f("FORMAT", {"99999E7", omitted, omitted, omitted, omitted}), "9.9999E+11");
    EXPECT_EQ(f("FORMAT", {"45E3", omitted, "5", "3", omitted}), "45000.00000");
    EXPECT_EQ(f("FORMAT", {"-1234E6", omitted, "5", "0", omitted}), "-1234000000.00000");
    EXPECT_EQ(f("FORMAT", {"-2675E7", "12", "3", "3", "5"}), "          -2.675E+010");
    EXPECT_EQ(f("FORMAT", {"900000000000", "12", "1", omitted, omitted}), "           9.0E+11");
    EXPECT_EQ(f("FORMAT", {"9E-1", omitted, omitted, "2", omitted}), "0.9");
    EXPECT_EQ(f("FORMAT", {"995E8", omitted, omitted, "0", "5"}), "99500000000");
    EXPECT_EQ(f("FORMAT", {"-50000000000", omitted, "3", "0", "3"}), "-50000000000.000");
    EXPECT_EQ(f("FORMAT", {"-0.00000995", "12", "2", omitted, omitted}), "           0.00");
    EXPECT_EQ(f("FORMAT", {"-995E-12", "12", "0", "0", "3"}), "           0");
    EXPECT_EQ(f("FORMAT", {"9E9", omitted, "2", omitted, omitted}), "9.00E+9");
    EXPECT_EQ(f("FORMAT", {"995E4", omitted, "0", omitted, omitted}), "9950000");
    EXPECT_EQ(f("FORMAT", {"-1234E-8", omitted, "3", omitted, omitted}), "0.000");
    EXPECT_EQ(f("FORMAT", {"12340000", "12", "2", omitted, "5"}), "           1.23E+7");
    EXPECT_EQ(f("FORMAT", {"5000000000", omitted, "0", omitted, omitted}), "5E+9");
    EXPECT_EQ(f("FORMAT", {"2675", omitted, omitted, omitted, omitted}), "2675");
    EXPECT_EQ(f("FORMAT", {"1005000000000", "12", "3", omitted, omitted}), "           1.005E+12");
    EXPECT_EQ(f("FORMAT", {"90000", omitted, "2", omitted, omitted}), "90000.00");
    EXPECT_EQ(f("FORMAT", {"99500", omitted, "3", "3", "0"}), "9.950E+004");
    EXPECT_EQ(f("FORMAT", {"99999E2", "12", "1", omitted, omitted}), "     9999900.0");
    EXPECT_EQ(f("FORMAT", {"1E-1", "12", "2", omitted, "0"}), "           1.00E-1");
    EXPECT_EQ(f("FORMAT", {"1005000000000", omitted, "1", "2", "0"}), "1.0E+12");
    EXPECT_EQ(f("FORMAT", {"0.00045", omitted, "1", "3", omitted}), "0.0");
    EXPECT_EQ(f("FORMAT", {"995E-5", omitted, "2", omitted, omitted}), "0.01");
}

TEST(NumberFunctions, ByDesign) {
    Lib f;
    // MAX and MIN give the number as arithmetic writes it (Regina keeps 1E+3).
    EXPECT_EQ(f("MAX", {"1e3", "999"}), "1000");
    EXPECT_EQ(f("MIN", {"1.50", "2"}), "1.50");
    // TRUNC rounds to DIGITS first, as number+0 would (Regina gives 9.999).
    EXPECT_EQ(f("TRUNC", {"9.9999999999", "3"}), "10.000");
    // A negative zero is written without its sign.
    EXPECT_EQ(f("TRUNC", {"-0.001", "2"}), "0.00");
    EXPECT_EQ(f("TRUNC", {"-0.5"}), "0");
    // A whole number longer than DIGITS loses its trailing zeros (Regina
    // writes -1.20000000E+13).
    EXPECT_EQ(f("FORMAT", {"-12000000000000"}), "-1.2E+13");
    // expp 0 with expt 0: plain notation wins (Regina refuses the call).
    EXPECT_EQ(f("FORMAT", {"4500", omitted, "2", "0", "0"}), "4500.00");
    // FORMAT rounds half away from zero on the decimal digits.
    EXPECT_EQ(f("FORMAT", {"0.125", omitted, "2"}), "0.13");
    EXPECT_EQ(f("FORMAT", {"-0.125", omitted, "2"}), "-0.13");
    EXPECT_EQ(f("FORMAT", {"1.005", omitted, "2"}), "1.01");
    f.in.numeric.engineering = true;
    EXPECT_EQ(f("FORMAT", {"12345678901"}), "12.3456789E+9");
    EXPECT_EQ(f("FORMAT", {"1.5e-8"}), "15E-9");
    EXPECT_EQ(f("FORM", {}), "ENGINEERING");
    f.in.numeric.engineering = false;
    EXPECT_EQ(f("FORM", {}), "SCIENTIFIC");
    f.in.numeric.digits = 4;
    EXPECT_EQ(f("FORMAT", {"123456"}), "1.235E+5");
    EXPECT_EQ(f("FORMAT", {"1.23456"}), "1.235");
    EXPECT_EQ(f("DIGITS", {}), "4");
    EXPECT_EQ(f("FUZZ", {}), "0");
}

TEST(NumberFunctions, Extensions) {
    Lib f;
    EXPECT_EQ(f("COMMA", {"1234567"}), "1,234,567");
    EXPECT_EQ(f("COMMA", {"-1234567.891"}), "-1,234,567.891");
    EXPECT_EQ(f("COMMA", {"123"}), "123");
    EXPECT_EQ(f("COMMA", {"1000"}), "1,000");
    EXPECT_EQ(f("COMMA", {""}), "");
    EXPECT_EQ(f("COMMA", {"abc"}), "abc");
    EXPECT_EQ(f("PI", {}), "3.14159265");
    EXPECT_EQ(f("SIN", {"0"}), "0");
    EXPECT_EQ(f("COS", {"0"}), "1");
    EXPECT_EQ(f("TAN", {"0.5"}), "0.54630249");
    EXPECT_EQ(f("ASIN", {"1"}), "1.57079633");
    EXPECT_EQ(f("ACOS", {"1"}), "0");
    EXPECT_EQ(f("ATAN", {"1"}), "0.785398163");
    EXPECT_EQ(f.msg("ASIN", {"2"}), "ASIN(): the argument must be between -1 and 1.");
    EXPECT_EQ(f.msg("SIN", {"x"}), "SIN(): the argument must be a number.");
    EXPECT_EQ(f.msg("COS", {}), "COS(): must receive 1 argument.");
    EXPECT_EQ(f.msg("PI", {"1"}), "PI(): must receive 0 argument.");
}

TEST(NumberFunctions, RandomSequenceFollowsTheSeed) {
    Lib f;
    std::vector<std::string> seq;
    seq.push_back(f("RANDOM", {"1", "6", "1"}));
    for (int i = 0; i < 5; ++i)
        seq.push_back(f("RANDOM", {"1", "6"}));
    EXPECT_EQ(seq, (std::vector<std::string>{"1", "5", "4", "4", "6", "5"}));
    // The same seed in a fresh run gives the same sequence.
    Lib g;
    EXPECT_EQ(g("RANDOM", {"1", "6", "1"}), "1");
    EXPECT_EQ(g("RANDOM", {"1", "6"}), "5");
    // A seed of 10000 or more is used as given.
    Lib h;
    EXPECT_EQ(h("RANDOM", {omitted, omitted, "5"}), "513");
}

TEST(NumberFunctions, RandomStaysInRange) {
    Lib f;
    f("RANDOM", {omitted, omitted, "12345"});
    for (int i = 0; i < 500; ++i) {
        int v = std::stoi(f("RANDOM", {"10"}));
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 10);
        int w = std::stoi(f("RANDOM", {"-5", "5"}));
        EXPECT_GE(w, -5);
        EXPECT_LE(w, 5);
        int z = std::stoi(f("RANDOM", {"-3", "0"}));
        EXPECT_GE(z, -3);
        EXPECT_LE(z, 0);
        int d = std::stoi(f("RANDOM", {}));
        EXPECT_GE(d, 0);
        EXPECT_LE(d, 999);
    }
    EXPECT_EQ(f("RANDOM", {"4", "4"}), "4");
    // A range below zero reaches every value in it, not only its minimum.
    std::set<std::string> negative;
    for (int i = 0; i < 200; ++i) {
        std::string v = f("RANDOM", {"-5", "-1"});
        EXPECT_TRUE(v >= "-1" && v <= "-5" && v.size() == 2) << v;
        negative.insert(v);
    }
    EXPECT_EQ(negative.size(), 5u);
    // A zero seed does not lock the generator at one value.
    Lib g;
    std::set<std::string> seen;
    seen.insert(g("RANDOM", {"0", "100", "0"}));
    for (int i = 0; i < 20; ++i)
        seen.insert(g("RANDOM", {"0", "100"}));
    EXPECT_GT(seen.size(), 5u);
}

TEST(NumberFunctions, WrongCalls) {
    Lib f;
    EXPECT_EQ(f.msg("ABS", {}), "ABS(): must receive 1 argument.");
    EXPECT_EQ(f.msg("ABS", {"x"}), "ABS(): the argument must be a number.");
    EXPECT_EQ(f.msg("SIGN", {"1", "2"}), "SIGN(): must receive 1 argument.");
    EXPECT_EQ(f.msg("SIGN", {"x"}), "SIGN(): the argument must be a number.");
    EXPECT_EQ(f.msg("MAX", {}), "MAX(): must receive at least 1 argument.");
    EXPECT_EQ(f.msg("MAX", {"1", "a"}), "MAX(): argument2 should be a whole number.");
    EXPECT_EQ(f.blamed("MAX", {"1", "a"}), 1);
    EXPECT_EQ(f.msg("MIN", {"1", omitted, "2"}), "MIN(): argument2 should be a whole number.");
    EXPECT_EQ(f.msg("DIGITS", {"1"}), "DIGITS(): must receive 0 argument.");
    EXPECT_EQ(f.msg("FUZZ", {"1"}), "FUZZ(): must receive 0 argument.");
    EXPECT_EQ(f.msg("FORM", {"1"}), "FORM(): no argument allowed.");
    EXPECT_EQ(f.msg("TRUNC", {}), "TRUNC(): argument 1 missing.");
    EXPECT_EQ(f.msg("TRUNC", {"1", "2", "3"}), "TRUNC(): up to 2 arguments allowed.");
    EXPECT_EQ(f.msg("TRUNC", {"x"}), "TRUNC(): argument 1 must be a whole number.");
    EXPECT_EQ(f.msg("TRUNC", {"1", "-1"}), "TRUNC(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("TRUNC", {"1", "y"}), "TRUNC(): argument 2 must be a whole number.");
    EXPECT_EQ(f.msg("FORMAT", {}), "FORMAT(): argument 1 missing.");
    EXPECT_EQ(f.msg("FORMAT", {"1", "1", "1", "1", "1", "1"}),
              "FORMAT(): up to 5 arguments allowed.");
    EXPECT_EQ(f.msg("FORMAT", {"1", "x"}), "FORMAT(): argument 2 must be a whole number.");
    EXPECT_EQ(f.msg("FORMAT", {"1", omitted, "-2"}),
              "FORMAT(): argument 3 must be a positive integer.");
    EXPECT_EQ(f.msg("FORMAT", {"1", omitted, omitted, "1.5"}),
              "FORMAT(): argument 4 must be a positive integer.");
    EXPECT_EQ(f.msg("FORMAT", {"123", "2"}), "FORMAT(): argument 2 too small.");
    EXPECT_EQ(f.blamed("FORMAT", {"123", "2"}), 1);
    EXPECT_EQ(f.msg("FORMAT", {"-1", "1"}), "FORMAT(): argument 2 too small.");
    EXPECT_EQ(f.msg("FORMAT", {"1e100", omitted, omitted, "2"}),
              "FORMAT(): not enought room for exponent");
    EXPECT_EQ(f.msg("RANDOM", {"1", "2", "3", "4"}),
              "RANDOM(): must receive between 0 and 3 arguments.");
    EXPECT_EQ(f.msg("RANDOM", {"x"}), "RANDOM(): argument 1 must be a whole number.");
    EXPECT_EQ(f.msg("RANDOM", {"1", "y"}), "RANDOM(): argument 2 must be a whole number.");
    EXPECT_EQ(f.msg("RANDOM", {"1", "2", "z"}), "RANDOM(): argument 3 must be a whole number.");
    EXPECT_EQ(f.msg("RANDOM", {"5", "3"}), "RANDOM(): argument 1 must be lower than argument 2.");
    EXPECT_EQ(f.blamed("RANDOM", {"5", "3"}), 1);
    EXPECT_EQ(f.msg("COMMA", {}), "COMMA(): must receive 1 argument.");
}

} // namespace tolma::test
