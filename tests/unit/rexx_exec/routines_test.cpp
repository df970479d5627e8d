// Internal routines: CALL and function calls of labels, arguments,
// PROCEDURE EXPOSE, RETURN, RESULT, SIGL, and what a call saves and restores.
#include <gtest/gtest.h>

#include "exec_support.h"
#include "platform/process.h"

using exec_test::out_of;
using exec_test::run;

namespace {

TEST(Call, ResultSetOrDropped) {
    EXPECT_EQ(out_of("call r; say result; exit; r: return 5"), "5\n");
    EXPECT_EQ(out_of("result = 'x'; call r; say result; exit; r: return"), "RESULT\n");
    EXPECT_EQ(out_of("call r; say result; exit; r: nop"), "RESULT\n");
}

TEST(Call, SiglIsTheCallLine) {
    EXPECT_EQ(out_of("nop\ncall r\nexit\nr: say sigl; return"), "2\n");
}

TEST(Call, ArgumentsWithOmittedSlots) {
    EXPECT_EQ(out_of("call r 1, , 3; exit; r: say arg() arg(1) arg(2, 'O') arg(3)"), "3 1 1 3\n");
    EXPECT_EQ(out_of("say f(1, 2); exit; f: return arg(1) + arg(2)"), "3\n");
    EXPECT_EQ(out_of("say f(); exit; f: return arg()"), "0\n");
}

TEST(Functions, NoValueIsError44) {
    auto o = run("say f(); exit; f: return");
    EXPECT_EQ(o.result.error_code, 44);
}

TEST(Functions, LabelsBeforeBuiltinsQuotedSkipsLabels) {
    EXPECT_EQ(out_of("say length('abc'); say 'LENGTH'('abcd'); exit; length: return 'mine'"),
              "mine\n4\n");
}

TEST(Functions, NotFoundIsError43WithALine) {
    auto o = run("x = nothing_like_this(1)");
    EXPECT_EQ(o.result.error_code, 43);
    EXPECT_NE(o.err.find("tolma: \"NOTHING_LIKE_THIS\" routine not found.\n"), std::string::npos);
}

TEST(Functions, NestedLabelIsError54) {
    auto o = run("do 1; in: nop; end; call in");
    EXPECT_EQ(o.result.error_code, 54);
    EXPECT_NE(o.err.find("The label \"IN\" is nested within a control structure."),
              std::string::npos);
}

TEST(Procedure, ExposeSharesOnlyTheNamedVariables) {
    EXPECT_EQ(
        out_of("x = 1; y = 2; call r; say x y; exit; r: procedure expose x; x = 'X'; y = 'Y'"),
        "X 2\n");
    EXPECT_EQ(out_of("a.1 = 1; call r; say a.1 a.2; exit; r: procedure expose a.; a.2 = 2"),
              "1 2\n");
    EXPECT_EQ(out_of("v = 1; l = 'v'; call r; say v; exit; r: procedure expose (l); v = 9"), "9\n");
    EXPECT_EQ(out_of("x = 1; call r; say x; exit; r: procedure expose x; drop x"), "X\n");
    EXPECT_EQ(out_of("x = 1; call r; exit; r: procedure; say x"), "X\n");
}

TEST(Procedure, RecursionKeepsGenerationsApart) {
    EXPECT_EQ(out_of("say f(10); exit; f: procedure; parse arg n; if n < 2 then return 1;"
                     " return n * f(n - 1)"),
              "3628800\n");
}

TEST(Procedure, DeepRecursionWorksAndRunawayRecursionIsReported) {
    // As the standalone interpreter does, on a thread with a large stack.
    std::string out;
    voren::platform::run_with_stack(256u << 20, [&out] {
        out = out_of("say d(10000); exit; d: procedure; parse arg n; if n = 0 then return 0;"
                     " return 1 + d(n - 1)");
        return 0;
    });
    EXPECT_EQ(out, "10000\n");
    // On a small stack the guard stops the recursion with a report.
    auto small = run("say d(1); exit; d: return d(arg(1) + 1)");
    EXPECT_EQ(small.result.error_code, 5);
    tolma::RunOptions opt;
    opt.max_call_depth = 2000;
    auto o = run("call r; exit; r: call r", opt);
    EXPECT_EQ(o.result.error_code, 5);
    EXPECT_NE(o.err.find("Machine resources exhausted."), std::string::npos);
}

TEST(CallSaves, NumericTraceAndTrapsRestored) {
    EXPECT_EQ(out_of("call r; say digits() form() trace(); exit;"
                     " r: numeric digits 5; numeric form engineering; trace o; return"),
              "9 SCIENTIFIC N\n");
    EXPECT_EQ(out_of("call r; 'exit 1'; say 'no trap here' rc; exit;"
                     " r: call on error; return; error: say 'trapped'; return"),
              "no trap here 1\n");
}

TEST(Exit, ValueAndStatus) {
    auto o = run("exit 12");
    EXPECT_TRUE(o.result.has_value);
    EXPECT_EQ(o.result.value, "12");
    EXPECT_EQ(o.result.exit_status, 12);
    EXPECT_EQ(run("exit 'text'").result.exit_status, 0);
    EXPECT_EQ(run("exit 1.5").result.exit_status, 0);
    EXPECT_EQ(run("call r; say 'no'; exit; r: exit 3").result.exit_status, 3);
    EXPECT_EQ(run("say f(); exit; f: exit 4").result.exit_status, 4);
    EXPECT_EQ(run("return 6").result.exit_status, 6);
    o = run("say 1 + 'a'");
    EXPECT_TRUE(o.result.error);
    EXPECT_EQ(o.result.exit_status, 41);
}

} // namespace

namespace {

TEST(Runs, ASecondRunOnTheSameStateStartsWithItsOwnLabelsAndNoTraps) {
    tolma::Interp in;
    std::string out;
    in.out = [&out](std::string_view s) { out += s; };
    in.err = [&out](std::string_view s) { out += s; };
    tolma::RunOptions opt;
    opt.file_name = "a.rexx";
    tolma::run_program(in, "signal on syntax; exit; old_label: nop", opt);
    tolma::RunResult r = tolma::run_program(in, "x = 1 / 0", opt);
    EXPECT_EQ(r.error_code, 51); // the first run's trap is gone
    r = tolma::run_program(in, "call old_label", opt);
    EXPECT_EQ(r.error_code, 43);
}

} // namespace
