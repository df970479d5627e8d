// Every error number of the front end, with its line and column.
#include "front_helpers.h"

namespace tolma::test {
namespace {

TEST(ParseErrors, SyntaxError55) {
    EXPECT_FAILS("say )", 55, 1, 5);
    EXPECT_FAILS(")", 55, 1, 1); // the first token closes nothing
    EXPECT_FAILS(",", 55, 1, 1);
    EXPECT_FAILS("x = 1\nsay (1 + 2", 55, 2, 11); // the clause end where ")" was wanted
    EXPECT_FAILS("end", 55, 1, 1);
    EXPECT_FAILS("drop a\nend", 55, 2, 1);
    EXPECT_FAILS("do; nop; end; end", 55, 1, 15);
    EXPECT_FAILS("nop\nelse say 1", 55, 2, 1);
    EXPECT_FAILS("then = 1\nthen", 55, 2, 1);
    EXPECT_FAILS("say 1,;", 55, 1, 6);
    EXPECT_FAILS("nop 1", 55, 1, 5);
    EXPECT_FAILS("do; end 5", 55, 1, 9);
    EXPECT_FAILS("do; nop; end 5", 55, 1, 14);
    EXPECT_FAILS("select; when 1 then nop; end x", 55, 1, 30);
    EXPECT_FAILS("x = s[:]", 55, 1, 8);
    EXPECT_FAILS("interpret", 55, 1, 10);
    EXPECT_FAILS("when a then nop", 55, 1, 1);
}

TEST(ParseErrors, ThenExpected18) {
    EXPECT_FAILS("if a = then say 1", 18, 1, 8);
    EXPECT_FAILS("if a\nsay 1", 18, 1, 5);
    EXPECT_FAILS("select; when x say; end", 18, 1, 19); // SAY is a symbol here
}

TEST(ParseErrors, WhenOrOtherwiseExpected7) {
    EXPECT_FAILS("select\nsay 1\nend", 7, 2, 1);
    EXPECT_FAILS("select x\nend", 7, 1, 8);
    EXPECT_FAILS("select; otherwise nop; end", 7, 1, 9);
    EXPECT_FAILS("select; when a then nop; x = 1; end", 7, 1, 26);
}

TEST(ParseErrors, InvalidDo27) {
    EXPECT_FAILS("do i = 1 to 3 to 4\nend", 27, 1, 15);
    EXPECT_FAILS("do 3 to 4; end", 27, 1, 6);
    EXPECT_FAILS("do i = 1 while a to 3; end", 27, 1, 18);
    EXPECT_FAILS("do i = ; end", 27, 1, 8);
}

TEST(ParseErrors, DoDetailTexts) {
    struct Case {
        const char* text;
        const char* detail;
    } cases[] = {
        {"do i = 1 to 3 to 4; end", "\"TO\" has been used twice."},
        {"do i = 1 by 1 to 3 by 2; end", "\"BY\" has been used twice."},
        {"do i = 1 for 1 for 2; end", "\"FOR\" has been used twice."},
        {"do until a until b; end", "\"UNTIL\" has been used twice."},
        {"do while a until b; end", "\"WHILE\" has been used with \"UNTIL\"."},
        {"do 3 until a while b; end", "\"WHILE\" has been used with \"UNTIL\"."},
        {"do 3; end x",
         "A \"END symbol\" clause may only be used with a controlled repetitive loop"},
        {"do i = 1 to 3; end j", "Only the controlling variableI can be specified."},
    };
    for (const Case& c : cases) {
        Failure f = failure_of(c.text);
        EXPECT_EQ(f.code, 27) << c.text;
        EXPECT_EQ(f.detail, c.detail) << c.text;
    }
    EXPECT_EQ(failure_of("do while a while b; end").code, 27);
    EXPECT_EQ(failure_of("do i = 1 to 3; end I").code, 0);
    EXPECT_EQ(failure_of("do i = 1 to 3; end x").column, 20);
}

TEST(ParseErrors, EndNameFollowsTheCaseMode) {
    EXPECT_EQ(failure_of("Do I = 1 To 3; End i").code, 0);
    Failure f = failure_of("option mixed; do I = 1 to 3; end i");
    EXPECT_EQ(f.code, 27);
    EXPECT_EQ(f.detail, "Only the controlling variableI can be specified.");
    EXPECT_EQ(failure_of("option lower; do I = 1 to 3; end i").code, 0);
}

TEST(ParseErrors, InvalidLeave28) {
    Failure f = failure_of("do 2\n  leave 5\nend");
    EXPECT_EQ(f.code, 28);
    EXPECT_EQ(f.line, 2);
    EXPECT_EQ(f.column, 9);
    EXPECT_EQ(f.detail, "LEAVE or ITERATE may only be followed by a SYMBOL.");
    EXPECT_EQ(failure_of("do 2; iterate a + 1; end").code, 28);
    EXPECT_EQ(failure_of("do 2; iterate f(x); end").code, 28);
}

TEST(ParseErrors, InvalidSubKeyword25) {
    EXPECT_FAILS("numeric foo 3", 25, 1, 9);
    EXPECT_FAILS("numeric form", 25, 1, 13);
    EXPECT_FAILS("numeric form value", 55, 1, 19);
    EXPECT_FAILS("signal on bogus", 25, 1, 11);
    EXPECT_FAILS("call on syntax", 25, 1, 9);
    EXPECT_FAILS("call", 25, 1, 5);
    EXPECT_FAILS("signal", 25, 1, 7);
    EXPECT_FAILS("parse foo x", 25, 1, 7);
    EXPECT_FAILS("parse value x y", 25, 1, 16);
    EXPECT_FAILS("option foo", 25, 1, 8);
    EXPECT_FAILS("option lower foo", 25, 1, 14);
    EXPECT_FAILS("procedure x", 25, 1, 11);
    EXPECT_FAILS("trace (x)", 25, 1, 7);
    EXPECT_FAILS("address ,", 25, 1, 9);
}

TEST(ParseErrors, SymbolExpected20) {
    EXPECT_FAILS("drop 5", 20, 1, 6);
    EXPECT_FAILS("drop", 20, 1, 5);
    EXPECT_FAILS("drop a 'b'", 20, 1, 8);
    EXPECT_FAILS("procedure expose ('a')", 20, 1, 19);
    EXPECT_FAILS("upper (a b)", 20, 1, 10);
    EXPECT_FAILS("signal on error name 'x'", 20, 1, 22);
    EXPECT_FAILS("parse var 'x' a", 20, 1, 11);
}

TEST(ParseErrors, IncompleteConstructs) {
    EXPECT_FAILS("say 1\ndo i = 1 to 3\n  say i", 64, 2, 1);
    EXPECT_FAILS("select\n  when a then nop", 65, 1, 1);
    EXPECT_FAILS("x = 1\nif a then", 66, 2, 1);
    EXPECT_FAILS("if a then\n", 66, 1, 1);
    EXPECT_FAILS("if a then nop\nelse", 66, 1, 1);
    EXPECT_FAILS("if a then nop; else\n", 66, 1, 1);
    // An open SELECT wins over an open DO, an open DO over an open IF.
    EXPECT_FAILS("do\n select\n  when a then do\n   nop", 65, 2, 2);
    EXPECT_FAILS("if a then do\n nop", 64, 1, 11);
    EXPECT_FAILS("do\n do\n  nop\n end", 64, 1, 1);
    EXPECT_FAILS("do; if a then", 64, 1, 1);
    EXPECT_FAILS("if a then { say 1", 64, 1, 11);
}

TEST(ParseErrors, DepthLimit61) {
    std::string deep = "say " + std::string(1200, '(') + "1" + std::string(1200, ')');
    Failure f = failure_of(deep);
    EXPECT_EQ(f.code, 61);
    EXPECT_EQ(f.line, 1);
    std::string fine = "say " + std::string(200, '(') + "1" + std::string(200, ')');
    EXPECT_EQ(failure_of(fine).code, 0);
    std::string prefixes = "say " + std::string(1500, '-') + "1";
    EXPECT_EQ(failure_of(prefixes).code, 61);
    std::string blocks;
    for (int i = 0; i < 1100; ++i)
        blocks += "if a then ";
    blocks += "nop";
    EXPECT_EQ(failure_of(blocks).code, 61);
}

TEST(ParseErrors, LongOperatorChainsAreLimited) {
    std::string chain = "x = 1";
    for (int i = 0; i < max_expression_chain; ++i)
        chain += "+1";
    EXPECT_EQ(failure_of(chain).code, 0);
    chain += "+1";
    Failure f = failure_of(chain);
    EXPECT_EQ(f.code, 61);
    EXPECT_EQ(f.column, 6 + 2 * max_expression_chain);
    // Separate expressions do not add up.
    std::string sums;
    for (int i = 0; i < 3; ++i) {
        sums += "x = 0";
        for (int k = 0; k < 6000; ++k)
            sums += "+1";
        sums += "\n";
    }
    EXPECT_EQ(failure_of(sums).code, 0);
}

TEST(LexErrors, NumbersLinesColumns) {
    EXPECT_FAILS("say 'a", 1, 1, 5);
    EXPECT_FAILS("say \"a", 2, 1, 5);
    EXPECT_FAILS("nop\n /*", 6, 2, 2);
    EXPECT_FAILS("nop\nsay 'xyz'x", 15, 2, 5);
    EXPECT_FAILS("say '2'b", 67, 1, 5);
    EXPECT_FAILS("nop; 12 = 3", 31, 1, 6);
    EXPECT_FAILS("#!/bin/tolma -x\n@kpwm\nrest", 76, 2, 1);
}

TEST(LexErrors, ErrorsBeforeTheFaultDoNotHideIt) {
    // The lexer runs over the whole text before the parser: a lexical error
    // late in the text wins over a syntax error early in it.
    EXPECT_FAILS("say )\nsay 'a", 1, 2, 5);
}

} // namespace
} // namespace tolma::test
