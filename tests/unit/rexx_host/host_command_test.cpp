// The platform's command runner: exit status, capture of large outputs on
// both pipes, the stop flag, background children.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "platform/host_command.h"

namespace {

using voren::platform::ChildOptions;
using voren::platform::ChildResult;
using voren::platform::run_child;

TEST(RunChild, ExitStatusAndSignals) {
    EXPECT_EQ(run_child("exit 0", {}).status, 0);
    EXPECT_EQ(run_child("exit 42", {}).status, 42);
    ChildResult r = run_child("kill -KILL $$", {});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.status, 128 + 9);
}

TEST(RunChild, CapturesOutputAndErrorsApart) {
    ChildOptions o;
    o.capture_output = true;
    o.capture_errors = true;
    ChildResult r = run_child("echo out; echo err >&2; printf last", o);
    EXPECT_EQ(r.output, "out\nlast");
    EXPECT_EQ(r.errors, "err\n");
}

TEST(RunChild, MegabytesOnBothPipesDoNotDeadlock) {
    ChildOptions o;
    o.capture_output = true;
    o.capture_errors = true;
    // The child fills the error pipe while the output pipe is also full:
    // only a reader of both pipes at once gets through.
    ChildResult r = run_child("head -c 3000000 /dev/zero >&2; head -c 5000000 /dev/zero; "
                              "head -c 1000000 /dev/zero >&2; exit 9",
                              o);
    EXPECT_EQ(r.status, 9);
    EXPECT_EQ(r.output.size(), 5000000u);
    EXPECT_EQ(r.errors.size(), 4000000u);
}

TEST(RunChild, DiscardedErrors) {
    ChildOptions o;
    o.capture_output = true;
    o.discard_errors = true;
    ChildResult r = run_child("echo gone >&2; echo kept", o);
    EXPECT_EQ(r.output, "kept\n");
}

TEST(RunChild, StopFlagEndsAChildThatNeverEnds) {
    static volatile std::sig_atomic_t stop = 1;
    ChildOptions o;
    o.stop_flag = &stop;
    ChildResult r = run_child("exec sleep 100", o);
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.status, 128 + SIGTERM);
}

volatile std::sig_atomic_t child_ready = 0;
extern "C" void on_ready(int) {
    child_ready = 1;
}

TEST(RunChild, ChildIgnoringTerminationIsKilled) {
    // The child tells (SIGUSR1) when it ignores SIGTERM; that sets the stop flag.
    child_ready = 0;
    struct sigaction action {
    }, old{};
    action.sa_handler = on_ready;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, &old);
    ChildOptions o;
    o.capture_output = true;
    o.stop_flag = &child_ready;
    ChildResult r = run_child("trap '' TERM; kill -USR1 $PPID; while :; do sleep 1; done", o);
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.status, 128 + SIGKILL);
}

TEST(RunChild, UnsetStopFlagLetsTheChildFinish) {
    static volatile std::sig_atomic_t stop = 0;
    ChildOptions o;
    o.stop_flag = &stop;
    o.capture_output = true;
    ChildResult r = run_child("sleep 0.1; echo fine", o);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.output, "fine\n");
    EXPECT_EQ(r.status, 0);
}

TEST(RunChild, OutputWrittenBeforeTheStopIsKept) {
    child_ready = 0;
    struct sigaction action {
    }, old{};
    action.sa_handler = on_ready;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, &old);
    ChildOptions o;
    o.capture_output = true;
    o.stop_flag = &child_ready;
    ChildResult r = run_child("echo before; kill -USR1 $PPID; exec sleep 100", o);
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.output, "before\n");
}

TEST(ProgramExists, FollowsPath) {
    EXPECT_TRUE(voren::platform::program_exists("sh"));
    EXPECT_TRUE(voren::platform::program_exists("/bin/sh"));
    EXPECT_FALSE(voren::platform::program_exists("no_such_program_hostenv"));
    EXPECT_FALSE(voren::platform::program_exists("/etc/passwd")); // not executable
    EXPECT_FALSE(voren::platform::program_exists("/tmp"));        // a directory
    EXPECT_FALSE(voren::platform::program_exists(""));
}

TEST(BackgroundChild, StartWaitAndKill) {
    int error = 0;
    int pid = voren::platform::start_child("exit 5", error);
    ASSERT_GT(pid, 0);
    int status = -1;
    EXPECT_EQ(voren::platform::wait_child(pid, true, status), voren::platform::ChildState::Ended);
    EXPECT_EQ(status, 5);
    // Reaped: no longer a child.
    EXPECT_EQ(voren::platform::wait_child(pid, false, status),
              voren::platform::ChildState::Unknown);

    pid = voren::platform::start_child("exec sleep 100", error);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(voren::platform::wait_child(pid, false, status),
              voren::platform::ChildState::Running);
    EXPECT_EQ(voren::platform::signal_process(pid, SIGTERM), 0);
    EXPECT_EQ(voren::platform::wait_child(pid, true, status), voren::platform::ChildState::Ended);
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_NE(voren::platform::signal_process(-1, SIGTERM), 0);
}

TEST(BackgroundChild, StopFlagCutsAWaitShort) {
    static volatile std::sig_atomic_t stop = 1;
    int error = 0;
    int pid = voren::platform::start_child("exec sleep 100", error);
    ASSERT_GT(pid, 0);
    int status = 0;
    EXPECT_EQ(voren::platform::wait_child(pid, true, status, &stop),
              voren::platform::ChildState::Running);
    voren::platform::signal_process(pid, SIGKILL);
    EXPECT_EQ(voren::platform::wait_child(pid, true, status), voren::platform::ChildState::Ended);
    EXPECT_FALSE(voren::platform::sleep_microseconds(100000000, &stop));
    EXPECT_TRUE(voren::platform::sleep_microseconds(1000));
}

} // namespace
