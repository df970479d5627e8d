// The built-in call path (arguments on the stack, many arguments, the
// result made in place, a failing built-in) and the shell that runs
// commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "exec_support.h"
#include "platform/process.h"

using exec_test::out_of;
using exec_test::run;

namespace {

TEST(BuiltinCalls, OmittedAndManyArguments) {
    EXPECT_EQ(out_of("say max(1, 9, 3, 4, 5, 6, 7, 8, 2, 0)"), "9\n");
    EXPECT_EQ(out_of("say min(5, 4, 3, 2, 1, 0, -1, -2, -3, -4, -5, 7)"), "-5\n");
    EXPECT_EQ(out_of("say substr('abcdef', 2, , '*') '|' substr('ab', 2, 4, '*')"),
              "bcdef | b***\n");
    EXPECT_EQ(out_of("x = 'a b c'; say words(x) word(x, words(x))"), "3 c\n");
}

TEST(BuiltinCalls, ResultReplacesTheOldValueOfTheSameVariable) {
    // Long values, kept on the heap: each call's result replaces the variable.
    EXPECT_EQ(out_of("x = copies('ab', 20); x = substr(x, 3) || copies('z', 30);"
                     " x = space(translate(x, ' ', 'b')); say length(x) left(x, 5)"),
              "68 a a a\n");
    EXPECT_EQ(out_of("x = 'The quick brown fox jumps'; do 3; x = reverse(x); end; say x"),
              "spmuj xof nworb kciuq ehT\n");
}

TEST(BuiltinCalls, NestedCallsUseTheirOwnResults) {
    EXPECT_EQ(out_of("say copies(substr(copies('xy', 20), 2, 25), 2)"),
              "yxyxyxyxyxyxyxyxyxyxyxyxyyxyxyxyxyxyxyxyxyxyxyxyxy\n");
    EXPECT_EQ(out_of("say length(strip(left(copies('a ', 30), 40)))"), "39\n");
}

TEST(BuiltinCalls, FailingBuiltinLeavesAUsableState) {
    // The error unwinds from the middle of a call whose result was being
    // made; the program goes on through SIGNAL ON SYNTAX.
    auto o = run("signal on syntax\n"
                 "x = copies('long value ', 5)\n"
                 "x = substr(x, 0)\n"
                 "exit\n"
                 "syntax: say rc length(x) word(x, 2)\n");
    EXPECT_FALSE(o.result.error) << o.err;
    EXPECT_EQ(o.out,
              "\ntolma: SUBSTR(): argument 2 must be a strictly positive integer.\n40 55 value\n");
    // Again and again, from a call with a long argument (under the sanitizers
    // a value freed twice or leaked would show).
    o = run("n = 0\n"
            "again: n = n + 1; if n > 3 then signal done\n"
            "signal on syntax name again; y = d2x(-n, , copies('q', 30))\n"
            "done: say n");
    EXPECT_TRUE(o.out.ends_with("4\n")) << o.out;
}

TEST(Shell, ExitStatusAndSignals) {
    namespace p = voren::platform;
    EXPECT_EQ(p::run_shell_command("true"), 0);
    EXPECT_EQ(p::run_shell_command("exit 3"), 3);
    EXPECT_EQ(p::run_shell_command("kill -9 $$"), 128 + 9);
    EXPECT_EQ(p::run_shell_command("no_such_program_here_x 2>/dev/null"), 127);
    // Not waited for: started, and 0 at once.
    EXPECT_EQ(p::run_shell_command("exit 5", false), 0);
}

TEST(Shell, CaptureOfLargeOutputAndStatus) {
    namespace p = voren::platform;
    std::string out;
    // More than a pipe holds: read while the child writes.
    EXPECT_EQ(p::run_shell_capture("head -c 1000000 /dev/zero | tr '\\0' x; exit 4", out), 4);
    EXPECT_EQ(out.size(), 1000000u);
    EXPECT_EQ(out.find_first_not_of('x'), std::string::npos);
    out.clear();
    EXPECT_EQ(p::run_shell_capture("echo one; echo two >&2 2>/dev/null", out), 0);
    EXPECT_EQ(out, "one\n");
}

TEST(Shell, CommandSeesTheLinesWrittenBeforeIt) {
    std::string dir = std::filesystem::temp_directory_path() / "tolma_calls_XXXXXX";
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    std::string f = dir + "/w.txt";
    std::string c = dir + "/count.txt";
    auto o = run("do i = 1 to 500; call lineout '" + f + "', 'line' i; end\n" + "'wc -l < " + f +
                 " > " + c + "'\n" + "say rc");
    EXPECT_EQ(o.out, "0\n") << o.err;
    std::ifstream in(c);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), "500\n");
    std::filesystem::remove_all(dir);
}

} // namespace
