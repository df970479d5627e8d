// Clause execution: assignments, IF, SELECT, DO in every form, LEAVE and
// ITERATE, SAY forms, DROP, UPPER, LOWER, NUMERIC, PUSH and QUEUE.
#include <gtest/gtest.h>

#include "exec_support.h"

using exec_test::out_of;
using exec_test::run;

namespace {

TEST(Assign, SimpleStemAndCompound) {
    EXPECT_EQ(out_of("x = 3; say x; x = x + 1; say x"), "3\n4\n");
    EXPECT_EQ(out_of("i = 3; a.i = 'x'; say a.3"), "x\n");
    EXPECT_EQ(out_of("a. = 0; say a.7 a.x; drop a.; say a.7"), "0 0\nA.7\n");
    EXPECT_EQ(out_of("x =; say '[' || x || ']'"), "[]\n");
    EXPECT_EQ(out_of("x = 'abc'; y = x; x = 'z'; say y"), "abc\n");
}

TEST(Assign, IndexedForms) {
    EXPECT_EQ(out_of("s = 'hello'; s[1] = 'J'; say s"), "Jello\n");
    EXPECT_EQ(out_of("s = 'hello'; s[2:3] = 'EL'; say s"), "hELlo\n");
    EXPECT_EQ(out_of("s = 'hello'; s[4:] = 'p!'; say s"), "help!\n");
    EXPECT_EQ(out_of("s = 'hello'; s[:2] = 'J'; say s"), "Jllo\n");
    EXPECT_EQ(out_of("s = 'ab'; s[5] = 'Z'; say '[' || s || ']'"), "[ab  Z]\n");
}

TEST(Assign, IndexErrorsCarryTheirDetail) {
    auto o = run("s = 'abc'; s[0] = 'x'");
    EXPECT_EQ(o.result.error_code, 78);
    EXPECT_NE(o.err.find("The first index must be a positive integer."), std::string::npos);
    o = run("s = 'abc'; s['q'] = 'x'");
    EXPECT_NE(o.err.find("The first index evaluates to \"q\""), std::string::npos);
    o = run("s = 'abc'; s[3:1] = 'x'");
    EXPECT_NE(o.err.find("The second index must be greater than the first."), std::string::npos);
}

TEST(IndexedTerm, PositionsAndPadding) {
    EXPECT_EQ(out_of("s = 'hello'; say s[2] s[2:4] s[4:] s[:2] '[' || s[4:7] || ']'"),
              "e ell lo he [lo  ]\n");
    EXPECT_EQ(out_of("s = 'abc'; say '[' || s[9:2] || ']'"), "[]\n");
    auto o = run("s = 'abc'; say s[3:1]");
    EXPECT_EQ(o.result.error_code, 78);
    EXPECT_NE(o.err.find("The second index must be greater than the first."), std::string::npos);
    o = run("say 'abc'['x']");
    EXPECT_NE(o.err.find("The first index evaluates to \"x\"."), std::string::npos);
}

TEST(Arithmetic, WholeNumberShortcutsAgreeWithTheGeneralRoutine) {
    EXPECT_EQ(
        out_of("say 7 % 2 (-7 % 2) (7 // 2) (-7 // 2) (7 // -2) (-7 // -2) (7 // 7) (0 // 3)"),
        "3 -3 1 -1 1 -1 0 0\n");
    EXPECT_EQ(out_of("say 2 * 3 (2 - 2) (0 + 5.50) (1.5 * 2) (-3 * 0) 123456789 * 10"),
              "6 0 5.50 3.0 0 1.23456789E+9\n");
    auto o = run("numeric digits 2; say 1000 % 3");
    EXPECT_EQ(o.result.error_code, 26);
    EXPECT_NE(o.err.find("TOLMA: the result of the integer division is"), std::string::npos);
    EXPECT_EQ(run("say 5 // 0").result.error_code, 51);
    EXPECT_EQ(run("say 5 % 0").result.error_code, 51);
}

TEST(If, ThenElseAndLogicalValues) {
    EXPECT_EQ(out_of("if 1 then say 'a'; else say 'b'"), "a\n");
    EXPECT_EQ(out_of("if 0 then say 'a'; else say 'b'"), "b\n");
    EXPECT_EQ(out_of("x = 5; if x > 3 & x < 10 then say 'in'"), "in\n");
    auto o = run("if 2 then say 'x'");
    EXPECT_EQ(o.result.error_code, 34);
    EXPECT_NE(o.err.find("\nExpression evaluates to 2\n"), std::string::npos);
}

TEST(Select, FirstTrueWhenOtherwiseAndError57) {
    const char* prog = "select; when x = 1 then say 'one'; when x = 2 then say 'two';"
                       " otherwise say 'other'; end";
    EXPECT_EQ(out_of(std::string("x = 2; ") + prog), "two\n");
    EXPECT_EQ(out_of(std::string("x = 9; ") + prog), "other\n");
    auto o = run("x = 3; select; when x = 1 then nop; end");
    EXPECT_EQ(o.result.error_code, 57);
    o = run("select; when 'y' then nop; end");
    EXPECT_EQ(o.result.error_code, 34);
}

TEST(Do, ControlledLoops) {
    EXPECT_EQ(out_of("do i = 1 to 3; say i; end"), "1\n2\n3\n");
    EXPECT_EQ(out_of("do i = 3 to 1; say i; end; say 'i' i"), "i 3\n");
    EXPECT_EQ(out_of("do i = 1 to 3 by 0 for 2; say i; end"), "1\n1\n");
    EXPECT_EQ(out_of("do i = 5 to 1 by -2; say i; end"), "5\n3\n1\n");
    EXPECT_EQ(out_of("do i = 1 by 3 for 3; say i; end"), "1\n4\n7\n");
    EXPECT_EQ(out_of("do i = 0.5 to 1.5 by 0.5; say i; end"), "0.5\n1.0\n1.5\n");
    EXPECT_EQ(out_of("do i = 1 to 3; end; say i"), "4\n");
    // The body's change of the control variable counts.
    EXPECT_EQ(out_of("do i = 1 to 10; say i; i = i * 3; end"), "1\n4\n");
}

TEST(Do, OtherForms) {
    EXPECT_EQ(out_of("do 3; say 'x'; end"), "x\nx\nx\n");
    EXPECT_EQ(out_of("do 0; say 'x'; end; say 'done'"), "done\n");
    EXPECT_EQ(out_of("n = 0; do forever; n = n + 1; if n = 3 then leave; end; say n"), "3\n");
    EXPECT_EQ(out_of("n = 0; do while n < 3; n = n + 1; end; say n"), "3\n");
    EXPECT_EQ(out_of("n = 9; do until n > 3; n = n + 1; end; say n"), "10\n");
    EXPECT_EQ(out_of("do w in 'a  b' || '09'x || 'c'; say w; end"), "a\nb\nc\n");
    EXPECT_EQ(out_of("do 5 while 0; say 'x'; end; say 'y'"), "y\n");
    EXPECT_EQ(out_of("do 2 until 1; say 'x'; end"), "x\n");
}

TEST(Do, ErrorDetails) {
    struct Row {
        const char* program;
        int code;
        const char* detail;
    } rows[] = {
        {"do -1; end", 26, "\nExpression evaluates to -1\n"},
        {"do 1.5; end", 26, "\nExpression evaluates to 1.5\n"},
        {"do i = 'a' to 3; end", 26, "\nThe control variable I evaluates to \"a\"\n"},
        {"do i = 1 to 'b'; end", 26, "\nExpression evaluates to \"b\"\n"},
        {"do i = 1 by 'c'; end", 26, "\nExpression evaluates to \"c\"\n"},
        {"do i = 1 for -2; end", 26, "\nExpression evaluates to \"-2\"\n"},
        {"do i = 1 to 3; i = 'z'; end", 41, "\nThe control variable I evaluates to \"z\"\n"},
        {"do i = 1 to 3 while 'w'; end", 34, "\nWHILE expression evaluates to \"w\"\n"},
        {"do i = 1 to 3 until 'u'; end", 34, "\nUNTIL expression evaluates to \"u\"\n"},
        {"do while 'w'; end", 34, "\nWHILE expression evaluates to w\n"},
        {"do until 'u'; end", 34, "\nUNTIL expression evaluates to u\n"},
        {"do w in 'a b' while 'q'; end", 34, "\nExpression evaluates to q\n"},
    };
    for (const Row& r : rows) {
        auto o = run(r.program);
        EXPECT_EQ(o.result.error_code, r.code) << r.program;
        EXPECT_NE(o.err.find(r.detail), std::string::npos) << r.program << "\n" << o.err;
    }
}

TEST(LeaveIterate, NamesReachOuterLoops) {
    EXPECT_EQ(out_of("do i = 1 to 3; do j = 1 to 3; if j = 2 then leave i; say i j; end; end;"
                     " say 'end' i j"),
              "1 1\nend 1 2\n");
    EXPECT_EQ(out_of("do i = 1 to 2; do j = 1 to 3; if j = 2 then iterate i; say i j; end; end"),
              "1 1\n2 1\n");
    EXPECT_EQ(out_of("do i = 1 to 4; if i // 2 then iterate; say i; end"), "2\n4\n");
    EXPECT_EQ(run("leave").result.error_code, 28);
    EXPECT_EQ(run("do i = 1 to 2; leave j; end").result.error_code, 28);
    // A loop in the caller is not the routine's.
    EXPECT_EQ(run("do i = 1 to 2; call r; end; exit; r: leave").result.error_code, 28);
}

TEST(Say, Forms) {
    EXPECT_EQ(out_of("say; say 'a'; sayn 'b'; sayn 'c'; say; sayr 'd'"), "\na\nbc\nd\r");
    EXPECT_EQ(out_of("say 1 + 1 'x'"), "2 x\n");
}

TEST(Names, DropUpperLower) {
    EXPECT_EQ(out_of("x = 'aBc'; upper x; say x; lower x; say x"), "ABC\nabc\n");
    EXPECT_EQ(out_of("x = 1; y = 2; list = 'x y'; drop (list); say x y list"), "X Y x y\n");
    EXPECT_EQ(out_of("a.1 = 1; a.2 = 2; drop a.1; say a.1 a.2"), "A.1 2\n");
}

TEST(Numeric, SettingsAndParseNumeric) {
    EXPECT_EQ(out_of("numeric digits 5; say 1/3; parse numeric n; say n"),
              "0.33333\n5 0 SCIENTIFIC\n");
    EXPECT_EQ(out_of("numeric digits 5; numeric form engineering; say 123456 + 0"), "123.46E3\n");
    EXPECT_EQ(out_of("numeric form value 'engineering'; parse numeric n; say n"),
              "9 0 ENGINEERING\n");
    EXPECT_EQ(out_of("numeric digits 4; numeric digits; say digits()"), "9\n");
    EXPECT_EQ(run("numeric digits 16").result.error_code, 26);
    EXPECT_EQ(run("numeric form value 'x'").result.error_code, 25);
}

TEST(DataStack, PushQueuePull) {
    EXPECT_EQ(out_of("push 'a'; push 'b'; queue 'c'; say queued();"
                     " parse pull x; parse pull y; parse pull z; say x y z queued()"),
              "3\nb a c 0\n");
    EXPECT_EQ(out_of("push; parse pull x; say '[' || x || ']'"), "[]\n");
    // MAKEBUF and DROPBUF are run by the interpreter itself, whatever the environment.
    EXPECT_EQ(out_of("makebuf; queue 'x'; say queued(); dropbuf; say queued()"), "1\n0\n");
}

TEST(Pull, ReadsTheUserWhenTheStackIsEmpty) {
    auto o = run("pull a; parse pull b; parse linein c; parse pull d; say a '|' b '|' c '|' d", {},
                 {"one", "Two", "three"});
    EXPECT_EQ(o.out, "ONE | Two | three | \n");
}

TEST(ChangeDir, BadDirectoryIsError63) {
    EXPECT_EQ(run("cd '/no/such/dir/at/all'").result.error_code, 63);
}

} // namespace
