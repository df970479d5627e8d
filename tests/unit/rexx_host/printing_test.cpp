// Standard input fed to a child, and EXECIO PRINT through a stand-in spooler.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host_support.h"
#include "platform/host_command.h"
#include "rexx/lib/printing.h"

namespace {

using host_test::out_of;
using host_test::run;
using host_test::ScopedVariable;
using host_test::ScratchDir;
using voren::platform::ChildOptions;
using voren::platform::ChildResult;
using voren::platform::run_child;

TEST(ChildInput, ReachesTheChildWhole) {
    std::string text = "one\ntwo\n";
    ChildOptions o;
    o.capture_output = true;
    o.input = &text;
    ChildResult r = run_child("tr a-z A-Z", o);
    EXPECT_EQ(r.output, "ONE\nTWO\n");
    EXPECT_EQ(r.input_written, text.size());
    EXPECT_EQ(r.status, 0);
}

TEST(ChildInput, EmptyInputIsEndOfFile) {
    std::string text;
    ChildOptions o;
    o.capture_output = true;
    o.input = &text;
    ChildResult r = run_child("wc -c", o);
    EXPECT_EQ(r.output.find_first_not_of(' '), r.output.find('0'));
}

TEST(ChildInput, MegabytesBothWaysDoNotDeadlock) {
    // cat echoes what it reads: only a writer that also reads gets through.
    std::string text(6 * 1024 * 1024, 'x');
    ChildOptions o;
    o.capture_output = true;
    o.input = &text;
    ChildResult r = run_child("cat", o);
    EXPECT_EQ(r.output.size(), text.size());
    EXPECT_EQ(r.input_written, text.size());
}

TEST(ChildInput, ReaderGoneIsNoSignal) {
    std::string text(4 * 1024 * 1024, 'x');
    ChildOptions o;
    o.input = &text;
    ChildResult r = run_child("exit 5", o);
    EXPECT_EQ(r.status, 5);
    EXPECT_LT(r.input_written, text.size());
    // The process is still here and SIGPIPE is not left pending or blocked.
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    EXPECT_FALSE(sigismember(&mask, SIGPIPE));
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE));
}

TEST(PrintText, PagesAndColumns) {
    std::vector<std::string> lines{"abcdef", "gh", "", "ijklmn", "o"};
    tolma::PrintJob job;
    EXPECT_EQ(tolma::print_text(lines, job), "abcdef\ngh\n\nijklmn\no\n");
    job.columns = 3;
    job.lines_per_page = 2;
    EXPECT_EQ(tolma::print_text(lines, job), "abc\ngh\n\f\nijk\n\fo\n");
    job.lines_per_page = 5;
    EXPECT_EQ(tolma::print_text(lines, job).find('\f'), std::string::npos);
    EXPECT_EQ(tolma::print_text({}, job), "");
}

TEST(PrintCommand, OverrideAndPrinterName) {
    ScopedVariable command("TOLMA_PRINT_COMMAND", "cat > x");
    tolma::PrintJob job;
    EXPECT_EQ(tolma::print_command(job), "cat > x");
    job.printer = "it's";
    EXPECT_EQ(tolma::print_command(job), "PRINTER='it'\\''s'; export PRINTER; cat > x");
}

TEST(PrintCommand, LprAlongPathOrNothing) {
    ScratchDir dir;
    ScopedVariable command("TOLMA_PRINT_COMMAND", "");
    ScopedVariable path("PATH", dir.path.c_str());
    tolma::PrintJob job;
    EXPECT_EQ(tolma::print_command(job), "");
    std::string lpr = dir.path + "/lpr";
    std::FILE* f = std::fopen(lpr.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("#!/bin/sh\n", f);
    std::fclose(f);
    ASSERT_EQ(chmod(lpr.c_str(), 0755), 0);
    EXPECT_EQ(tolma::print_command(job), "lpr -J 'My Document'");
    job.printer = "laser 2";
    EXPECT_EQ(tolma::print_command(job), "lpr -J 'My Document' -P 'laser 2'");
}

TEST(ExecioPrint, LinesReachTheSpoolerAndTheCodesSayHowItWent) {
    ScratchDir dir;
    std::string file = dir.path + "/out.txt";
    ScopedVariable command("TOLMA_PRINT_COMMAND", ("cat > '" + file + "'").c_str());
    EXPECT_EQ(
        out_of("queue 'a'; queue 'b'; 'EXECIO 2 PRINT'; say rc; say charin('" + file + "', 1, 10)"),
        "0\na\nb\n\n");
    ScopedVariable failing("TOLMA_PRINT_COMMAND", "cat >/dev/null; exit 7");
    host_test::Outcome o = run("'EXECIO 1 PRINT (STRING x'; say rc");
    EXPECT_EQ(o.out, "107\n");
    EXPECT_EQ(o.err, "TOLMA: The print spooler ended with return code 7.\n");
}

TEST(ExecioPrint, IsolatedRunStartsNothing) {
    ScratchDir dir;
    std::string file = dir.path + "/started";
    ScopedVariable command("TOLMA_PRINT_COMMAND", ("touch '" + file + "'").c_str());
    tolma::RunOptions options;
    options.isolated = true;
    host_test::Outcome o = run("'EXECIO 1 PRINT (STRING x'; say rc", options);
    EXPECT_EQ(o.out, "28\n");
    EXPECT_EQ(o.err, "TOLMA: Unable to start the print spooler.\n");
    EXPECT_NE(access(file.c_str(), F_OK), 0);
}

// ---------------------------------------------------------------- halt

volatile std::sig_atomic_t halt_requested = 0;
void request_halt(int) {
    halt_requested = 1;
}

// Runs program with SIGINT setting the halt flag, as the standalone
// interpreter does; the program interrupts itself.
host_test::Outcome run_halted(const std::string& program) {
    halt_requested = 0;
    struct sigaction action {
    }, old{};
    action.sa_handler = request_halt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &old);
    tolma::RunOptions options;
    options.halt_flag = &halt_requested;
    host_test::Outcome o = run(program, options);
    sigaction(SIGINT, &old, nullptr);
    return o;
}

TEST(Halt, EndsSysSleepScriptAndAPrintSpoolerThatHangs) {
    ScratchDir dir;
    std::string script = dir.path + "/hang.sh";
    std::FILE* f = std::fopen(script.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("kill -INT $PPID\nexec sleep 100\n", f);
    std::fclose(f);
    // A background interrupt a moment later, for the sleep.
    host_test::Outcome o = run_halted(
        "call on halt; '(sleep 1; kill -INT' getpid()') &'; call SysSleep 100.5; say 'slept';"
        " say script('" +
        script + "'); exit; halt: say 'halt'; return");
    // HALT comes before the clause after the halted one: the SAY of the
    // script's status (143, ended by SIGTERM) runs first.
    EXPECT_EQ(o.out, "halt\nslept\n143\nhalt\n");
    ScopedVariable command("TOLMA_PRINT_COMMAND", "kill -INT $PPID; exec sleep 100");
    o = run_halted("signal on halt; 'EXECIO 1 PRINT (STRING x'; say 'no'; halt: say 'halted' rc");
    // The spooler is ended (SIGTERM: status 143), EXECIO answers 100 + 143.
    EXPECT_EQ(o.out, "halted 243\n");
}

} // namespace
