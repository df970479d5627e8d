// Conversion functions and DATATYPE: results (checked against Regina REXX)
// and wrong calls.
#include "harness.h"

namespace tolma::test {

TEST(ConversionFunctions, ResultsAgreeWithStandardRexx) {
    Lib f;
    EXPECT_EQ(f("B2X", {"1 0000"}), "10");
    EXPECT_EQ(f("B2X", {""}), "");
    EXPECT_EQ(f("B2X", {"11111111"}), "FF");
    EXPECT_EQ(f("B2X", {"101"}), "5");
    EXPECT_EQ(f("B2X", {"0001 0010 0011"}), "123");
    EXPECT_EQ(f("C2X", {""}), "");
    EXPECT_EQ(f("C2X", {"\001\377"}), "01FF");
    EXPECT_EQ(f("C2D", {"\377"}), "255");
    EXPECT_EQ(f("C2D", {"\377", "1"}), "-1");
    EXPECT_EQ(f("C2D", {""}), "0");
    EXPECT_EQ(f("C2D", {"\377\200", "2"}), "-128");
    EXPECT_EQ(f("C2D", {"\200", "3"}), "128");
    EXPECT_EQ(f("C2D", {"abc", "0"}), "0");
    EXPECT_EQ(f("C2D", {"\177", "1"}), "127");
    EXPECT_EQ(f("D2X", {"255"}), "FF");
    EXPECT_EQ(f("D2X", {"-1", "4"}), "FFFF");
    EXPECT_EQ(f("D2X", {"255", "1"}), "F");
    EXPECT_EQ(f("D2X", {"0"}), "0");
    EXPECT_EQ(f("D2X", {"255", "4"}), "00FF");
    EXPECT_EQ(f("D2X", {"-255", "3"}), "F01");
    EXPECT_EQ(f("D2X", {"129", "2"}), "81");
    EXPECT_EQ(f("D2X", {"123456789"}), "75BCD15");
    EXPECT_EQ(f("D2X", {"1e3"}), "3E8");
    EXPECT_EQ(f("D2X", {"5", "0"}), "");
    EXPECT_EQ(f("D2C", {"65"}), "A");
    EXPECT_EQ(f("D2C", {"0"}), std::string(1, 0));
    EXPECT_EQ(f("D2C", {"-1", "2"}), "\377\377");
    EXPECT_EQ(f("D2C", {"256"}), std::string("\001\000", 2));
    EXPECT_EQ(f("D2C", {"65", "3"}), std::string("\000\000A", 3));
    EXPECT_EQ(f("D2C", {"16706"}), "AB");
    EXPECT_EQ(f("X2B", {""}), "");
    EXPECT_EQ(f("X2B", {"1"}), "0001");
    EXPECT_EQ(f("X2B", {"ff 0a"}), "1111111100001010");
    EXPECT_EQ(f("X2B", {"F0"}), "11110000");
    EXPECT_EQ(f("X2C", {"41 42"}), "AB");
    EXPECT_EQ(f("X2C", {"414"}), "\004\024");
    EXPECT_EQ(f("X2C", {""}), "");
    EXPECT_EQ(f("X2C", {"4a4B"}), "JK");
    EXPECT_EQ(f("X2D", {"ff"}), "255");
    EXPECT_EQ(f("X2D", {"ff", "2"}), "-1");
    EXPECT_EQ(f("X2D", {"0ff"}), "255");
    EXPECT_EQ(f("X2D", {"fff", "2"}), "-1");
    EXPECT_EQ(f("X2D", {"81", "2"}), "-127");
    EXPECT_EQ(f("X2D", {"81", "4"}), "129");
    EXPECT_EQ(f("X2D", {""}), "0");
    EXPECT_EQ(f("X2D", {"F7", "2"}), "-9");
    EXPECT_EQ(f("X2D", {"ff ff"}), "65535");
    EXPECT_EQ(f("X2D", {"123", "0"}), "0");
    EXPECT_EQ(f("X2D", {"FFFF", "4"}), "-1");
    EXPECT_EQ(f("DATATYPE", {" 12 "}), "NUM");
    EXPECT_EQ(f("DATATYPE", {""}), "CHAR");
    EXPECT_EQ(f("DATATYPE", {"ab"}), "CHAR");
    EXPECT_EQ(f("DATATYPE", {"1e3"}), "NUM");
    EXPECT_EQ(f("DATATYPE", {"- 1"}), "NUM");
    EXPECT_EQ(f("DATATYPE", {"ab", "A"}), "1");
    EXPECT_EQ(f("DATATYPE", {"a_b", "A"}), "0");
    EXPECT_EQ(f("DATATYPE", {"", "A"}), "0");
    EXPECT_EQ(f("DATATYPE", {"0101 1111", "B"}), "1");
    EXPECT_EQ(f("DATATYPE", {"101", "B"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1 1", "B"}), "0");
    EXPECT_EQ(f("DATATYPE", {"", "B"}), "1");
    EXPECT_EQ(f("DATATYPE", {"abc", "L"}), "1");
    EXPECT_EQ(f("DATATYPE", {"aBc", "L"}), "0");
    EXPECT_EQ(f("DATATYPE", {"ABC", "U"}), "1");
    EXPECT_EQ(f("DATATYPE", {"12", "N"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1.5e2", "N"}), "1");
    EXPECT_EQ(f("DATATYPE", {"x", "N"}), "0");
    EXPECT_EQ(f("DATATYPE", {"a.b", "S"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1a", "S"}), "1");
    EXPECT_EQ(f("DATATYPE", {"a b", "S"}), "0");
    EXPECT_EQ(f("DATATYPE", {"1e3", "W"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1.0", "W"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1.5", "W"}), "0");
    EXPECT_EQ(f("DATATYPE", {"ab c", "X"}), "0");
    EXPECT_EQ(f("DATATYPE", {"", "X"}), "1");
    EXPECT_EQ(f("DATATYPE", {"12", "x"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1 23", "X"}), "1");
    EXPECT_EQ(f("DATATYPE", {"abc def", "X"}), "0");
    EXPECT_EQ(f("DATATYPE", {"g", "X"}), "0");
}

TEST(ConversionFunctions, ByDesign) {
    Lib f;
    // Blanks in hexadecimal strings only between whole bytes (Regina is laxer).
    EXPECT_EQ(f.msg("X2B", {"0f a"}), "X2B(): invalid hexadecimal string.");
    EXPECT_EQ(f("X2B", {"a 0f"}), "101000001111");
    // A later group may hold several whole bytes (whole fours in binary).
    EXPECT_EQ(f("X2C", {"4 4142"}), "\004AB");
    EXPECT_EQ(f("X2B", {"1 2345"}), "00010010001101000101");
    EXPECT_EQ(f.msg("X2C", {"41 424"}), "X2C(): invalid hexadecimal string.");
    EXPECT_EQ(f("B2X", {"1 00000001"}), "101");
    EXPECT_EQ(f("DATATYPE", {"ab cdef", "X"}), "1");
    EXPECT_EQ(f("DATATYPE", {"1 010", "B"}), "0");
    EXPECT_EQ(f.msg("X2C", {" 41"}), "X2C(): invalid hexadecimal string.");
    // A result with more digits than NUMERIC DIGITS is refused.
    EXPECT_EQ(f.msg("X2D", {"7fffffff"}),
              "X2D(): value too big according to the current NUMERIC DIGITS setting.");
    f.in.numeric.digits = 10;
    EXPECT_EQ(f("X2D", {"7fffffff"}), "2147483647");
    EXPECT_EQ(f("C2D", {"\xff\xff\xff\xff"}), "4294967295");
    f.in.numeric.digits = 9;
    EXPECT_EQ(f.msg("C2D", {"\xff\xff\xff\xff"}),
              "C2D(): value too big according to the current NUMERIC DIGITS setting.");
    EXPECT_EQ(f("C2D", {std::string("\x00\xff", 2), "1"}), "-1");
    EXPECT_EQ(f("C2D", {std::string("\x01\x00", 2)}), "256");
    EXPECT_EQ(f("C2O", {"A\n\xff"}), "101012377");
    EXPECT_EQ(f("C2O", {""}), "");
    // B2X of a bad binary string is error 67, not 40.
    CallResult r = f.call("B2X", {"102"});
    EXPECT_EQ(r.error.code, 67);
    EXPECT_EQ(r.error.column, 10);
    EXPECT_EQ(f.call("B2X", {"1 01"}).error.code, 67);
    EXPECT_EQ(f.call("B2X", {" 1"}).error.code, 67);
}

TEST(ConversionFunctions, DatatypeHasNoMixedCaseType) {
    Lib f;
    EXPECT_EQ(f.msg("DATATYPE", {"a", "M"}),
              "DATATYPE(): argument 2 must start with A|B|L|N|S|U|W|X.");
    EXPECT_EQ(f.msg("DATATYPE", {"a", ""}),
              "DATATYPE(): argument 2 must start with A|B|L|N|S|U|W|X.");
    EXPECT_EQ(f("DATATYPE", {"abc", "lower"}), "1");
    EXPECT_EQ(f("DATATYPE", {"12", "Whole"}), "1");
}

TEST(ConversionFunctions, WrongCalls) {
    Lib f;
    EXPECT_EQ(f.msg("B2X", {}), "B2X(): must receive 1 argument.");
    EXPECT_EQ(f.msg("C2X", {"a", "b"}), "C2X(): must receive 1 argument.");
    EXPECT_EQ(f.msg("C2O", {}), "C2O(): must receive 1 argument.");
    EXPECT_EQ(f.msg("C2D", {}), "C2D(): must receive 1 or 2 arguments.");
    EXPECT_EQ(f.msg("C2D", {"abcde"}), "C2D(): first argument maximum value is \"FFFFFFFF\".");
    EXPECT_EQ(f.msg("C2D", {"a", "x"}), "C2D(): argument 2 must be an integer");
    EXPECT_EQ(f.msg("C2D", {"a", "-1"}), "C2D(): argument 2 must be a positive integer");
    EXPECT_EQ(f.msg("D2C", {}), "D2C(): must receive 1 or 2 arguments.");
    EXPECT_EQ(f.msg("D2C", {"1.5"}), "D2C(): argument 1 must be an integer.");
    EXPECT_EQ(f.msg("D2C", {"x"}), "D2C(): argument 1 must be an integer.");
    EXPECT_EQ(f.msg("D2C", {"1", "x"}), "D2C(): argument 2 must be an integer.");
    EXPECT_EQ(f.msg("D2C", {"1", "-1"}), "D2C(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("D2C", {"-1"}),
              "D2C(): argument 2 must be supplied when argument 1 is negative.");
    EXPECT_EQ(f.msg("D2X", {"-1"}),
              "D2X(): argument 2 must be supplied when argument 1 is negative.");
    EXPECT_EQ(f.msg("D2X", {"a"}), "D2X(): argument 1 must be an integer.");
    EXPECT_EQ(f.msg("X2B", {}), "X2B(): must receive 1 argument.");
    EXPECT_EQ(f.msg("X2B", {"xy"}), "X2B(): invalid hexadecimal string.");
    EXPECT_EQ(f.msg("X2C", {"g"}), "X2C(): invalid hexadecimal string.");
    EXPECT_EQ(f.msg("X2D", {}), "X2D(): must receive 1 or 2 arguments.");
    EXPECT_EQ(f.msg("X2D", {"fg"}), "X2D(): invalid hexadecimal string.");
    EXPECT_EQ(f.msg("X2D", {"1234567890abcdef1"}), "X2D(): first argument overflow.");
    EXPECT_EQ(f.msg("X2D", {"1", "x"}), "X2D(): argument 2 must be an integer");
    EXPECT_EQ(f.msg("X2D", {"1", "-1"}), "X2D(): argument 2 must be a positive integer");
    EXPECT_EQ(f.msg("DATATYPE", {}), "DATATYPE(): must receive 1 or 2 arguments.");
}

} // namespace tolma::test
