#pragma once
// Host commands: running a command string through /bin/sh -c and waiting for
// it (optionally capturing its output), commands started in the background,
// and the small process services of the REXX process functions.
//
// A wait can be cut short: when the stop flag (set by a SIGINT handler, for
// example) becomes non-zero, the child is ended (SIGTERM, SIGKILL after a
// grace period) and the call returns with `stopped` set. Output pipes are
// read while the child runs, so a child writing megabytes never blocks.
#include <csignal>
#include <string>

namespace voren::platform {

using StopFlag = const volatile std::sig_atomic_t*;

struct ChildOptions {
    bool capture_output = false; // standard output into ChildResult::output
    bool capture_errors = false; // standard error into ChildResult::errors
    bool discard_errors = false; // standard error to /dev/null
    // When set, the child's standard input is a pipe fed with this text and
    // then closed (written while the output pipes are read, so neither side
    // blocks the other); a child that ends early simply leaves the rest.
    const std::string* input = nullptr;
    StopFlag stop_flag = nullptr;
};

struct ChildResult {
    bool started = false;
    int error_number = 0;     // errno when the child could not be started
    int status = 0;           // exit status; 128 + signal number when killed
    bool stopped = false;     // ended because the stop flag was set
    size_t input_written = 0; // bytes of ChildOptions::input the child took
    std::string output, errors;
};

// Runs command through /bin/sh -c with the program's environment and
// standard input, and waits for it.
ChildResult run_child(const std::string& command, const ChildOptions& options);

// Whether name is a program the shell would find: a name holding "/" must be
// an executable file; otherwise some directory of PATH holds one (an empty
// entry of PATH is the current directory).
bool program_exists(const std::string& name);

// ---------------------------------------------------------------- background children

// Starts command through /bin/sh -c in the background; returns its process
// id, or -1 with error_number set. The caller reaps it with wait_child.
int start_child(const std::string& command, int& error_number);

enum class ChildState { Running, Ended, Unknown };

// Looks at (or, with wait, waits for) a child started by start_child. Ended
// gives its exit status and the child is gone; Unknown: no such child of
// this process. A wait ends early with Running when the stop flag is set.
ChildState wait_child(int pid, bool wait, int& status, StopFlag stop_flag = nullptr);

// Sends a signal to a process; 0 or the errno value.
int signal_process(int pid, int signal_number);

// Sleeps; returns false when the stop flag cut the sleep short.
bool sleep_microseconds(long long microseconds, StopFlag stop_flag = nullptr);

} // namespace voren::platform
