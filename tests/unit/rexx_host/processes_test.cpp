// The capture functions (UNIX and its family), the process functions, and
// a halt request while a command or a wait runs.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "host_support.h"

namespace {

using host_test::out_of;
using host_test::run;

TEST(Capture, LinesToAStem) {
    EXPECT_EQ(out_of("r = unix('printf \"a\\nb b\\n\\nc\"', 'out'); say r out.0;"
                     " do i = 1 to out.0; say '['out.i']'; end"),
              "0 4\n[a]\n[b b]\n[]\n[c]\n");
    // A final "." is part of the stem's name; CRLF lines lose the CR.
    EXPECT_EQ(out_of("call sh 'printf \"x\\r\\ny\\r\\n\"', 'lines.'; say lines.0 length(lines.1)"),
              "2 1\n");
    // No output: stem.0 is 0.
    EXPECT_EQ(out_of("s.0 = 9; call popen 'true', 's'; say s.0"), "0\n");
}

TEST(Capture, ResultIsTheReturnCode) {
    EXPECT_EQ(out_of("say windows('echo a; exit 3', 's') s.1"), "3 a\n");
    EXPECT_EQ(out_of("say exec('kill -TERM $$')"), "143\n");
}

TEST(Capture, LinesToTheDataStackInOrder) {
    EXPECT_EQ(out_of("push top; call unix 'echo one; echo two';"
                     " say queued(); do queued(); pull l; say l; end"),
              "3\nTOP\nONE\nTWO\n");
}

TEST(Capture, SecondStemTakesStandardError) {
    EXPECT_EQ(out_of("call unix 'echo o; echo e1 >&2; echo e2 >&2', 'o', 'e';"
                     " say o.0 o.1 e.0 e.1 e.2"),
              "1 o 2 e1 e2\n");
}

TEST(Capture, WindowsNeDiscardsStandardError) {
    // The harness cannot see the child's standard error; what reaches the
    // program is the same either way, so check the function runs and keeps
    // the output.
    EXPECT_EQ(out_of("call windows_ne 'echo kept; echo dropped >&2', 's'; say s.0 s.1"),
              "1 kept\n");
}

TEST(Capture, ShellPrefixForCshTcshKsh) {
    host_test::ScopedVariable csh("CSH", "echo csh:");
    host_test::ScopedVariable ksh("KSH", nullptr);
    host_test::ScopedVariable sh("SH", "echo sh:");
    EXPECT_EQ(out_of("call csh 'x', 'a'; call ksh 'echo y', 'b'; call sh 'echo z', 'c';"
                     " say a.1 '|' b.1 '|' c.1"),
              "csh: x | y | z\n");
}

TEST(Capture, ProgramThatCannotBeStarted) {
    auto o = run("s.0 = 'kept'; say unix('no_such_program_hostenv a', 's') s.0");
    EXPECT_EQ(o.out, "28 kept\n");
    EXPECT_EQ(o.err, "Unable to create process; Error is: \"No such file or directory\"\n");
}

TEST(Capture, ArgumentChecks) {
    struct Case {
        const char* program;
        const char* detail;
    } cases[] = {
        {"say unix()", "UNIX(): argument 1 missing."},
        {"say sh(,'s')", "UNIX(): argument 1 missing."},
        {"say ksh('true', 's', 't', 'u')", "UNIX(): up to 3 arguments allowed."},
        {"say popen('true', '1abc')", "UNIX(): argument 2 is not a valid REXX symbol."},
        {"say popen('true', '.abc')", "UNIX(): argument 2 is not a valid REXX symbol."},
        {"say popen('true', 'a-b')", "UNIX(): argument 2 is not a valid REXX symbol."},
        {"say windows('true', 'ok', 'not ok')", "UNIX(): argument 3 is not a valid REXX symbol."},
        {"say windows('true', 'ok', '')", "UNIX(): argument 3 is not a valid REXX symbol."},
    };
    for (const Case& c : cases) {
        auto o = run(c.program);
        EXPECT_EQ(o.result.error_code, 40) << c.program;
        EXPECT_NE(o.err.find(std::string("\n") + c.detail + "\n"), std::string::npos)
            << c.program << "\n"
            << o.err;
    }
    // Symbols may hold the characters REXX allows.
    EXPECT_EQ(out_of("call unix 'echo v', 'a.b!?@#$_'; say a.b!?@#$_.1"), "v\n");
    // A stem with a tail of its own: the tail is taken as written.
    EXPECT_EQ(out_of("b = 'zz'; call unix 'echo w', 'a.b'; drop b; say a.0 a.b.1 a.b.0"),
              "A.0 w 1\n");
}

TEST(Capture, MegabytesOfOutput) {
    EXPECT_EQ(out_of("call unix 'yes 0123456789012345678901234567890123456789 |"
                     " head -c 5000000', 's'; say s.0 length(s.1) length(s.122)"),
              "121952 40 40\n");
}

TEST(Backquote, OutputLinesJoined) {
    EXPECT_EQ(out_of("say '['`'printf \"a\\nb\\n\\n\"'`']'"), "[a\nb]\n");
}

TEST(Processes, ForkWaitpidKill) {
    EXPECT_EQ(out_of("h = fork('exit 4'); say waitpid(h)"), "4\n");
    EXPECT_EQ(out_of("h = fork('exec sleep 100'); say waitpid(h, 0) = still_active();"
                     " say (qpid(h) = h) kill(h); say waitpid(h)"),
              "1\n1 1\n143\n");
    EXPECT_EQ(out_of("h = fork('exec sleep 100'); call kill h, 9; say waitpid(h)"), "137\n");
    auto o = run("h = fork('true'); call waitpid h; call waitpid h");
    EXPECT_EQ(o.result.error_code, 40);
    EXPECT_NE(o.err.find("WAITPID(): invalid handlde."), std::string::npos);
    o = run("say waitpid(1)");
    EXPECT_NE(o.err.find("WAITPID(): invalid handlde."), std::string::npos);
    o = run("say kill('x')");
    EXPECT_NE(o.err.find("KILL(): invalid handle."), std::string::npos);
    o = run("say fork('no_such_program_hostenv')");
    EXPECT_EQ(o.out, "-1\n");
    EXPECT_NE(o.err.find("Unable to create process"), std::string::npos);
}

TEST(Processes, SmallOnes) {
    EXPECT_EQ(out_of("say still_active()"), "259\n");
    EXPECT_EQ(out_of("say getpid()"), std::to_string(getpid()) + "\n");
    EXPECT_EQ(out_of("say sleep(0) usleep(1000)"), "0 0\n");
    auto o = run("call sleep 'x'");
    EXPECT_NE(o.err.find("SLEEP(): argument 1 must be a whole number."), std::string::npos);
    o = run("call sleep 1.5");
    EXPECT_NE(o.err.find("SLEEP(): argument 1 must be a whole number."), std::string::npos);
    o = run("call usleep -1");
    EXPECT_NE(o.err.find("USLEEP(): argument 1 must be a whole number."), std::string::npos);
    EXPECT_EQ(run("say getpid(1)").result.error_code, 40);
}

// ---------------------------------------------------------------- halt

volatile std::sig_atomic_t halt = 0;
extern "C" void on_interrupt(int) {
    halt = 1;
}

// Runs program with SIGINT setting the halt flag, as the standalone
// interpreter does; the program interrupts itself.
host_test::Outcome run_with_interrupt(const std::string& program) {
    halt = 0;
    struct sigaction action {
    }, old{};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &old);
    tolma::RunOptions options;
    options.halt_flag = &halt;
    auto o = host_test::run(program, options);
    sigaction(SIGINT, &old, nullptr);
    return o;
}

// A command that interrupts the interpreter (its parent) while it runs.
const char* const kInterruptingCommand = "'kill -INT $PPID; exec sleep 100'";
// For waits that are not commands: a background interrupt a second later.
const char* const kInterruptSoon = "'(sleep 1; kill -INT' getpid()') &';";

TEST(Halt, EndsACommandThatNeverEnds) {
    auto o = run_with_interrupt(std::string("signal on halt;") + kInterruptingCommand +
                                "; say 'not here'; halt: say condition('C') rc sigl");
    EXPECT_EQ(o.out, "HALT 143 1\n");
    // No trap: the program ends with error 4.
    o = run_with_interrupt(std::string(kInterruptingCommand) + "; say 'not here'");
    EXPECT_EQ(o.result.error_code, 4);
    EXPECT_EQ(o.out, "");
}

TEST(Halt, ComesBeforeTheErrorTrapOfTheEndedCommand) {
    auto o = run_with_interrupt(std::string("call on error; call on halt;") + kInterruptingCommand +
                                "; say 'next'; exit;"
                                " error: say 'error'; return; halt: say 'halt'; return");
    EXPECT_EQ(o.out, "halt\nnext\n");
}

TEST(Halt, EndsCaptureFunctionsWaitsAndSleeps) {
    auto o = run_with_interrupt(std::string("call on halt;") +
                                "r = unix('echo part; kill -INT $PPID; exec sleep 100', 's');"
                                " say r s.1;" +
                                kInterruptSoon + "call sleep 100; say 'slept';" + kInterruptSoon +
                                "h = fork('exec sleep 100'); say waitpid(h) = still_active();"
                                " call kill h; call waitpid h; exit; halt: say 'halt'; return");
    // HALT is raised before the clause after the one that was halted.
    EXPECT_EQ(o.out, "halt\n143 part\nhalt\nslept\n1\nhalt\n");
    o = run_with_interrupt("signal on halt; x = `'kill -INT $PPID; exec sleep 100'`; say 'no';"
                           " halt: say 'halted'");
    EXPECT_EQ(o.out, "halted\n");
}

} // namespace

namespace {

TEST(Isolated, NoProcessesAndNoSleeping) {
    host_test::ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());
    tolma::RunOptions options;
    options.isolated = true;
    std::string file = dir.path + "/made";
    auto o = host_test::run(
        "say unix('touch " + file + "', 's') fork('touch " + file + "') sleep(100000000)", options);
    EXPECT_EQ(o.out, "28 -1 0\n");
    EXPECT_EQ(o.err, "Unable to create process; Error is: \"Operation not permitted\"\n"
                     "Unable to create process; Error is: \"Operation not permitted\"\n");
    EXPECT_NE(access(file.c_str(), F_OK), 0);
}

} // namespace

namespace {

TEST(Processes, EndedChildrenAreReapedWhenTheRunEnds) {
    // The program waits until its child is a zombie, and does not WAITPID it.
    auto o = host_test::run("h = fork('exit 0');"
                            " 'while ! grep -q \") Z\" /proc/'h'/stat; do sleep 0.01; done';"
                            " say h");
    ASSERT_FALSE(o.result.error) << o.err;
    int pid = std::stoi(o.out);
    int status = 0;
    errno = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

} // namespace
