// SIGNAL, condition traps, INTERPRET, commands and their environments,
// tracing and the interactive pause.
#include <gtest/gtest.h>

#include "exec_support.h"

using exec_test::out_of;
using exec_test::run;

namespace {

TEST(Signal, UnwindsLoopsAndSetsSigl) {
    EXPECT_EQ(out_of("do i = 1 to 5\nif i = 2 then signal out\nend\nout: say i sigl"), "2 2\n");
    EXPECT_EQ(out_of("signal value 'L' || 2; say 'no'; l2: say 'yes'"), "yes\n");
    auto o = run("signal nowhere");
    EXPECT_EQ(o.result.error_code, 16);
}

TEST(Signal, InsideARoutineStaysInIt) {
    EXPECT_EQ(out_of("call r; say 'back' result; exit; r: signal s; return 1; s: return 2"),
              "back 2\n");
}

TEST(SyntaxTrap, TakesTheErrorOnce) {
    auto o = run("signal on syntax\nx = 1/0\nsay 'no'\nsyntax: say rc sigl condition('C');"
                 " y = 1/0");
    EXPECT_EQ(o.out, "51 2 SYNTAX\n");
    EXPECT_EQ(o.result.error_code, 51); // the trap was off for the second error
}

TEST(SyntaxTrap, DetailGoesToTheOutput) {
    auto o = run("signal on syntax name h; x = 'a' + 1; h: say 'h' rc");
    EXPECT_EQ(o.out, "\ntolma: String \"a\" is invalid.\nh 41\n");
    EXPECT_FALSE(o.result.error);
}

TEST(SyntaxTrap, ErrorInAFunctionIsTrappedThere) {
    EXPECT_EQ(out_of("signal on syntax; say f(); exit; f: return 1/0; syntax: say 'caught' sigl;"
                     " exit"),
              "caught 1\n");
    // Without the EXIT the handler falls off the end of the function: no data.
    EXPECT_EQ(run("signal on syntax; say f(); exit; f: return 1/0; syntax: nop").result.error_code,
              44);
}

TEST(SyntaxTrap, ManyErrorsInALoop) {
    EXPECT_EQ(out_of("n = 0; i = 0\nagain: signal on syntax\ndo while i < 200; i = i + 1;"
                     " x = 1/0; end\nsay n; exit\nsyntax: n = n + 1; signal again"),
              "200\n");
}

TEST(Novalue, SignalAndCallForms) {
    auto o = run("signal on novalue; say abc; novalue: say 'nv' condition('D') sigl");
    EXPECT_EQ(o.out, "\ntolma: variable \"ABC\" (line 1) is uninitialized.\n\nnv ABC 1\n");
    o = run("call on novalue name h; say xyz; exit; h: say 'handler'; return");
    EXPECT_EQ(o.out, "\ntolma: variable \"XYZ\" (line 1) is uninitialized.\n\nhandler\nXYZ\n");
    o = run("signal on novalue; say abc");
    EXPECT_EQ(o.result.error_code, 71);
}

TEST(Interpret, RunsInTheCurrentContext) {
    EXPECT_EQ(out_of("x = 2; interpret 'y = x * 3'; say y"), "6\n");
    EXPECT_EQ(out_of("interpret 'call l; say 2; exit; l: say 1; return'"), "1\n2\n");
    EXPECT_EQ(out_of("do i = 1 to 4; interpret 'if i = 3 then leave'; say i; end"), "1\n2\n");
    EXPECT_EQ(out_of("say f(); exit; f: interpret 'return 7'"), "7\n");
    EXPECT_EQ(out_of("do 3; interpret 'n = n + 1'; end; say n"),
              "ERROR: " + run("do 3; interpret 'n = n + 1'; end; say n").err);
}

TEST(Interpret, ErrorsShowTheInterpretedLine) {
    auto o = run("x = 1\ninterpret 'y = 2; z = x / 0'");
    EXPECT_EQ(o.err, "\n    *interpreted* y = 2; z = x / 0\n"
                     "                               ^\nError 51: Zero divide.\n");
    o = run("interpret 'say (1'");
    EXPECT_EQ(o.result.error_code, 55);
    EXPECT_NE(o.err.find("*interpreted* say (1"), std::string::npos);
}

TEST(Interpret, RunawayInterpretIsReported) {
    tolma::RunOptions opt;
    opt.max_call_depth = 500;
    auto o = run("s = 'interpret s'; interpret s", opt);
    EXPECT_EQ(o.result.error_code, 5);
}

tolma::RunOptions recording_env(std::vector<std::string>& log, int rc) {
    tolma::RunOptions opt;
    opt.environments.push_back({"TEST", [&log, rc](tolma::Interp&, std::string_view cmd) {
                                    log.emplace_back(cmd);
                                    return rc;
                                }});
    opt.environments.push_back({"OTHER", [&log](tolma::Interp&, std::string_view cmd) {
                                    log.push_back("other:" + std::string(cmd));
                                    return -1;
                                }});
    return opt;
}

TEST(Commands, GoToTheCurrentEnvironmentAndSetRc) {
    std::vector<std::string> log;
    auto o = run("'first' 1 + 1; say rc address(); address other 'one'; say rc address();"
                 " address other; 'two'; address; 'three'",
                 recording_env(log, 3));
    // A negative code is a failure, traced under the default TRACE N.
    EXPECT_EQ(o.out, "3 TEST\n\n  1 *-* address other 'one'\n>>> \"one\"\nRC(-1)\n-1 TEST\n"
                     "\n  1 *-* 'two'\n>>> \"two\"\nRC(-1)\n");
    EXPECT_EQ(log, (std::vector<std::string>{"first 2", "other:one", "other:two", "three"}));
    EXPECT_EQ(run("address nowhere", recording_env(log, 0)).result.error_code, 56);
}

TEST(Commands, ErrorAndFailureTraps) {
    std::vector<std::string> log;
    EXPECT_EQ(out_of("call on error; 'x'; say 'after' rc; exit; error: say 'error' rc sigl; return",
                     recording_env(log, 2)),
              "error 2 1\nafter 2\n");
    EXPECT_EQ(out_of("trace o; call on error; address other 'x'; exit; error: say condition('C');"
                     " return",
                     recording_env(log, 0)),
              "ERROR\n");
    EXPECT_EQ(out_of("trace o; call on failure; call on error; address other 'x'; exit;"
                     " failure: say 'failure'; return; error: say 'error'; return",
                     recording_env(log, 0)),
              "failure\n");
    EXPECT_EQ(out_of("signal on error; 'x'; say 'no'; error: say 'sig' condition('D')",
                     recording_env(log, 1)),
              "sig x\n");
}

TEST(Commands, InhibitedByTraceBang) {
    std::vector<std::string> log;
    EXPECT_EQ(out_of("trace !; 'x'; say rc; trace !; 'y'; say rc", recording_env(log, 4)),
              "0\n4\n");
    EXPECT_EQ(log, (std::vector<std::string>{"y"}));
}

TEST(Commands, TraceCommandsAndSayx) {
    std::vector<std::string> log;
    EXPECT_EQ(out_of("trace e; 'ok'", recording_env(log, 0)), "");
    EXPECT_EQ(out_of("trace e; 'bad'", recording_env(log, 5)),
              "\n  1 *-* 'bad'\n>>> \"bad\"\nRC(5)\n");
    EXPECT_EQ(out_of("sayx 'cmd' 1", recording_env(log, 0)), "cmd 1\n");
    EXPECT_EQ(log.back(), "cmd 1");
}

TEST(Commands, StandardEnvironmentsRunTheShell) {
    tolma::EnvironmentTable table;
    tolma::register_builtin_environments(table);
    ASSERT_EQ(table.entries.size(), 7u);
    EXPECT_EQ(tolma::current_environment_name(table), "UNIX");
    tolma::Interp in;
    const auto& unix_env = table.entries[table.current];
    EXPECT_EQ(unix_env.handler(in, "exit 7"), 7);
    EXPECT_EQ(unix_env.handler(in, "true"), 0);
}

TEST(Trace, ResultsIntermediatesAndLabels) {
    EXPECT_EQ(out_of("trace r; x = 2"), "\n  1 *-* x = 2\n>>> \"2\"\n");
    EXPECT_EQ(out_of("x = 2\ntrace i\ny = x + 1"),
              "\n  3 *-* y = x + 1\n>V> X --> \"2\"\n>O> \"2\" + \"1\" --> "
              "\"3\"\n>>> \"3\"\n");
    EXPECT_EQ(out_of("trace l\ncall r\nexit\nr: return"), "\n  4 *-* r:\n");
    EXPECT_EQ(run("trace z").result.error_code, 24);
}

TEST(Trace, InteractivePauseRunsTypedLines) {
    auto o = run("trace ?r\nx = 1\nsay 'x is' x", {}, {"say 'typed' x", "", "x = 5", "=", ""});
    // After "x = 1": the typed line runs, then an empty line continues. After
    // the SAY: x = 5 runs and "=" runs the SAY again.
    EXPECT_EQ(o.out, "\n  2 *-* x = 1\n>>> \"1\"\ntyped 1\n\n  3 *-* say 'x is' x\n>>> \"x is 1\"\n"
                     "x is 1\n>>> \"x is 5\"\nx is 5\n");
}

} // namespace

namespace {

TEST(Budget, EndlessProgramsStopWithError4) {
    tolma::RunOptions opt;
    opt.max_clauses = 1000;
    EXPECT_EQ(run("do forever; end", opt).result.error_code, 4);
    EXPECT_EQ(run("a: signal a", opt).result.error_code, 4);
    EXPECT_EQ(run("do i = 1 to 10; end; say i", opt).out, "11\n");
    // Clauses inside loop bodies count too, whatever routine they run by.
    EXPECT_EQ(run("do forever; x = 1; end", opt).result.error_code, 4);
    EXPECT_EQ(run("do i = 1; x = i; y = x; end", opt).result.error_code, 4);
    EXPECT_EQ(run("do i = 1 by 0; nop; end", opt).result.error_code, 4);
}

TEST(Isolated, NoOperatingSystemEffects) {
    tolma::RunOptions opt;
    opt.isolated = true;
    EXPECT_EQ(exec_test::out_of("say '[' || `'echo hi'` || ']'", opt), "[]\n");
    EXPECT_EQ(run("cd '/'", opt).result.error_code, 63);
}

} // namespace

namespace {

TEST(Halt, FlagRaisesHaltBeforeTheNextClause) {
    static volatile std::sig_atomic_t flag = 0;
    tolma::RunOptions opt;
    opt.halt_flag = &flag;
    std::vector<std::string> log;
    opt.environments.push_back({"TEST", [](tolma::Interp&, std::string_view) {
                                    flag = 1;
                                    return 0;
                                }});
    EXPECT_EQ(exec_test::out_of("signal on halt; 'x'; say 'no'; halt: say 'halted' sigl", opt),
              "halted 1\n");
    flag = 0;
    auto o = run("'x'; say 'no'", opt);
    EXPECT_EQ(o.result.error_code, 4);
    EXPECT_EQ(o.out, "");
    // Noticed by the next clause of a loop body too.
    flag = 0;
    EXPECT_EQ(exec_test::out_of("signal on halt; do i = 1 to 5; 'x'; x = i; end; exit;"
                                "halt: say 'halted' sigl i",
                                opt),
              "halted 1 1\n");
}

} // namespace
