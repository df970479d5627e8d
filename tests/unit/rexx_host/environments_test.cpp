// The environment table: register, replace, remove, ADDRESS and ADDRESS()
// over it, and the built-in environments' command preparation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_support.h"
#include "rexx/lib/environments.h"

namespace {

using host_test::out_of;
using host_test::run;
using host_test::run_on;

tolma::CommandHandler recorder(std::vector<std::string>& log, std::string tag, int rc) {
    return [&log, tag, rc](tolma::Interp&, std::string_view command) {
        log.push_back(tag + ":" + std::string(command));
        return rc;
    };
}

std::vector<std::string> names(const tolma::EnvironmentTable& t) {
    std::vector<std::string> n;
    for (const auto& e : t.entries)
        n.push_back(e.name);
    return n;
}

TEST(EnvironmentTable, RegisterFoldsNamesAndAppends) {
    std::vector<std::string> log;
    tolma::EnvironmentTable t;
    tolma::register_environment(t, "first", recorder(log, "a", 0));
    tolma::register_environment(t, "Second", recorder(log, "b", 0));
    EXPECT_EQ(names(t), (std::vector<std::string>{"FIRST", "SECOND"}));
    EXPECT_EQ(t.current, 0u);
    EXPECT_EQ(t.previous, 0u);
    EXPECT_EQ(tolma::find_environment(t, "SECOND"), 1);
    EXPECT_EQ(tolma::find_environment(t, "second"), -1); // lookups take upper case
    EXPECT_EQ(tolma::find_environment(t, "THIRD"), -1);
}

TEST(EnvironmentTable, MakeCurrentKeepsTheOldAsPrevious) {
    std::vector<std::string> log;
    tolma::EnvironmentTable t;
    tolma::register_environment(t, "A", recorder(log, "a", 0));
    tolma::register_environment(t, "B", recorder(log, "b", 0), true);
    EXPECT_EQ(tolma::current_environment_name(t), "B");
    EXPECT_EQ(t.previous, 0u);
    tolma::register_environment(t, "C", recorder(log, "c", 0), true);
    EXPECT_EQ(t.current, 2u);
    EXPECT_EQ(t.previous, 1u);
}

TEST(EnvironmentTable, ReplacingKeepsThePlaceAndTakesTheNewHandler) {
    std::vector<std::string> log;
    tolma::EnvironmentTable t;
    int owner = 0;
    tolma::register_environment(t, "A", recorder(log, "old", 0));
    tolma::register_environment(t, "B", recorder(log, "b", 0));
    tolma::register_environment(t, "a", recorder(log, "new", 5), false, &owner);
    EXPECT_EQ(names(t), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(t.entries[0].data, &owner);
    tolma::Interp in;
    EXPECT_EQ(t.entries[0].handler(in, "x"), 5);
    EXPECT_EQ(log, (std::vector<std::string>{"new:x"}));
    // Replacing with make_current moves the current index to it.
    tolma::register_environment(t, "B", recorder(log, "b2", 0), true);
    EXPECT_EQ(t.current, 1u);
    EXPECT_EQ(t.previous, 0u);
}

TEST(EnvironmentTable, RemovingMovesLaterEntriesAndFixesIndexes) {
    std::vector<std::string> log;
    tolma::EnvironmentTable t;
    for (const char* n : {"A", "B", "C", "D"})
        tolma::register_environment(t, n, recorder(log, n, 0));
    t.current = 3;  // D
    t.previous = 1; // B
    tolma::remove_environment(t, "c");
    EXPECT_EQ(names(t), (std::vector<std::string>{"A", "B", "D"}));
    EXPECT_EQ(tolma::current_environment_name(t), "D");
    EXPECT_EQ(t.previous, 1u);
    // Removing the current one, the last entry: its index is past the end.
    tolma::remove_environment(t, "D");
    EXPECT_EQ(t.current, 0u);
    EXPECT_EQ(t.previous, 1u);
    // A name that is not there changes nothing.
    tolma::remove_environment(t, "NOPE");
    EXPECT_EQ(names(t), (std::vector<std::string>{"A", "B"}));
    tolma::remove_environment(t, "A");
    tolma::remove_environment(t, "B");
    EXPECT_TRUE(t.entries.empty());
    EXPECT_EQ(tolma::current_environment_name(t), "");
}

TEST(EnvironmentTable, BuiltinsAreRegisteredOnceWithUnixCurrent) {
    tolma::EnvironmentTable t;
    tolma::register_builtin_environments(t);
    EXPECT_EQ(names(t),
              (std::vector<std::string>{"WINDOWS", "UNIX", "SH", "CSH", "TCSH", "KSH", "EXEC"}));
    EXPECT_EQ(tolma::current_environment_name(t), "UNIX");
    EXPECT_EQ(t.previous, t.current);
    tolma::register_environment(t, "SH", nullptr);
    tolma::register_builtin_environments(t);
    EXPECT_EQ(t.entries.size(), 6u);
}

// A fake environment registered on the interpreter's own table.
TEST(EnvironmentRun, RegisteredEnvironmentReceivesCommands) {
    std::vector<std::string> log;
    tolma::Interp in;
    tolma::register_builtin_environments(in.environments);
    tolma::register_environment(in.environments, "fake", recorder(log, "fake", 4), true);
    auto o = run_on(in, "'one' 1+1; say rc address(); address unix; say address();"
                        " address; say address(); address fake 'two'; address value 'Fa'||'ke';"
                        " say address()");
    EXPECT_EQ(o.out, "4 FAKE\nUNIX\nFAKE\nFAKE\n");
    EXPECT_EQ(log, (std::vector<std::string>{"fake:one 2", "fake:two"}));
    // The run's ADDRESS changes did not stay in the table.
    EXPECT_EQ(tolma::current_environment_name(in.environments), "FAKE");
}

TEST(EnvironmentRun, SwapTwiceReturnsToTheFirst) {
    EXPECT_EQ(out_of("say address(); address sh; address; say address(); address; say address();"
                     " address; say address()"),
              "UNIX\nUNIX\nSH\nUNIX\n");
}

TEST(EnvironmentRun, UnknownNamesAreError56) {
    EXPECT_EQ(run("address nowhere").result.error_code, 56);
    EXPECT_EQ(run("address nowhere 'x'").result.error_code, 56);
    EXPECT_EQ(run("address value 'nowhere'").result.error_code, 56);
    EXPECT_EQ(run("say address(1)").result.error_code, 40);
}

TEST(EnvironmentRun, StartEnvironmentComesFromTheOptions) {
    std::vector<std::string> log;
    tolma::Interp in;
    tolma::register_builtin_environments(in.environments);
    tolma::register_environment(in.environments, "EDIT", recorder(log, "edit", 0));
    tolma::RunOptions options;
    options.environment = "EDIT";
    auto o = run_on(in, "say address(); 'cmd'", options);
    EXPECT_EQ(o.out, "EDIT\n");
    EXPECT_EQ(log, (std::vector<std::string>{"edit:cmd"}));
    EXPECT_EQ(tolma::current_environment_name(in.environments), "UNIX");
}

TEST(EnvironmentRun, HandlerMayRemoveEnvironmentsWhileTheRunGoes) {
    tolma::Interp in;
    tolma::register_environment(in.environments, "KEEP",
                                [](tolma::Interp&, std::string_view) { return 1; });
    tolma::register_environment(
        in.environments, "GONE",
        [](tolma::Interp& i, std::string_view) {
            tolma::remove_environment(i.environments, "GONE");
            return 0;
        },
        true);
    in.environments.builtins_registered = true; // only these two
    auto o = run_on(in, "'first'; say rc address(); 'second'; say rc address()");
    EXPECT_FALSE(o.result.error);
    EXPECT_EQ(o.out, "0 KEEP\n1 KEEP\n");
    tolma::remove_environment(in.environments, "KEEP");
    o = run_on(in, "'x'");
    EXPECT_EQ(o.result.error_code, 56);
}

TEST(HostCommand, TrailingAmpersandMeansBackground) {
    auto h = tolma::prepare_host_command("UNIX", "  sleep 1 &  ");
    EXPECT_EQ(h.text, "sleep 1");
    EXPECT_TRUE(h.asynchronous);
    h = tolma::prepare_host_command("UNIX", "true && false");
    EXPECT_EQ(h.text, "true && false");
    EXPECT_FALSE(h.asynchronous);
    h = tolma::prepare_host_command("UNIX", "a&");
    EXPECT_EQ(h.text, "a");
    EXPECT_TRUE(h.asynchronous);
}

TEST(HostCommand, ShellPrefixFromTheVariableOfTheEnvironmentsName) {
    host_test::ScopedVariable sh("SH", "bash -c");
    host_test::ScopedVariable ksh("KSH", nullptr);
    EXPECT_EQ(tolma::prepare_host_command("SH", "ls").text, "bash -c ls");
    EXPECT_EQ(tolma::prepare_host_command("KSH", "ls").text, "ls");
    EXPECT_EQ(tolma::prepare_host_command("UNIX", "ls").text, "ls");
    EXPECT_EQ(tolma::prepare_host_command("EXEC", "ls").text, "ls");
    EXPECT_EQ(tolma::shell_prefix_variable("TCSH"), "TCSH");
    EXPECT_EQ(tolma::shell_prefix_variable("WINDOWS"), "");
}

TEST(HostCommand, PlainCommandProgram) {
    EXPECT_EQ(tolma::plain_command_program("ls -l /tmp"), "ls");
    EXPECT_EQ(tolma::plain_command_program("  /bin/echo hi"), "/bin/echo");
    // Shell syntax, builtins and keywords are the shell's business.
    EXPECT_EQ(tolma::plain_command_program("nosuch || echo x"), "");
    EXPECT_EQ(tolma::plain_command_program("A=1 prog"), "");
    EXPECT_EQ(tolma::plain_command_program("ls *.txt"), "");
    EXPECT_EQ(tolma::plain_command_program("'quoted prog'"), "");
    EXPECT_EQ(tolma::plain_command_program("exit 3"), "");
    EXPECT_EQ(tolma::plain_command_program("cd /tmp"), "");
    EXPECT_EQ(tolma::plain_command_program("if true"), "");
    EXPECT_EQ(tolma::plain_command_program(""), "");
}

TEST(BuiltinEnvironment, ExitStatusAndNothingStarted) {
    tolma::Interp in;
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "exit 3"), 3);
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "true"), 0);
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "false"), 1);
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "no_such_program_hostenv x"), 28);
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "./no_such_program_hostenv"), 28);
    // Through shell syntax the shell reports it: 127.
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "no_such_program_hostenv; exit $?"), 127);
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "kill -TERM $$"), 128 + 15);
}

TEST(BuiltinEnvironment, ShPrefixRunsTheCommandThroughIt) {
    host_test::ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());
    host_test::ScopedVariable sh("SH", "/bin/sh -c");
    tolma::Interp in;
    std::string file = dir.path + "/made";
    EXPECT_EQ(tolma::run_builtin_environment(in, "SH", "'echo x >" + file + "; exit 6'"), 6);
    EXPECT_EQ(tolma::run_builtin_environment(in, "SH", "'test -f " + file + "'"), 0);
    // Unset: the command runs directly, as under UNIX.
    host_test::ScopedVariable unset("SH", nullptr);
    EXPECT_EQ(tolma::run_builtin_environment(in, "SH", "test -f " + file), 0);
}

TEST(BuiltinEnvironment, BackgroundCommandReturnsZeroAndRuns) {
    host_test::ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());
    tolma::Interp in;
    std::string file = dir.path + "/bg";
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "echo done >" + file + " &"), 0);
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX", "no_such_program_hostenv &"), 28);
    // Wait (without a time limit that could fail a slow machine) for the file.
    EXPECT_EQ(tolma::run_builtin_environment(in, "UNIX",
                                             "while ! test -s " + file + "; do sleep 0.01; done"),
              0);
}

} // namespace
