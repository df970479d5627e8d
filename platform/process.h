#pragma once
// Child processes and the thread stack: running a shell command, and the
// bounds of the running thread's stack (so that a recursive interpreter can
// stop before it overflows).
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace voren::platform {

using EnvironmentChange = std::pair<std::string, std::optional<std::string>>;

// Runs command through /bin/sh -c with the program's environment, standard
// input and outputs. wait: the exit status (128 + signal number when the
// child was killed); otherwise the child runs on its own and 0 is returned.
// -1 when no process could be started.
int run_shell_command(const std::string& command, bool wait = true);

// Runs command through /bin/sh -c with its standard output captured into
// output; returns the exit status as run_shell_command does.
int run_shell_capture(const std::string& command, std::string& output);

// Runs program directly (no shell) with the given arguments (argv[1]...), the
// program's environment changed by environment_changes for the child only (a
// variable with a value is set, one without is removed), and the program's standard input and
// outputs; waits for it. Returns its exit status (128 + signal number when it
// was killed), or -1 with *error set when it could not be started.
int run_program_waiting(const std::string& program, const std::vector<std::string>& arguments,
                        const std::vector<EnvironmentChange>& environment_changes,
                        int* error = nullptr);

// The lowest usable address of the running thread's stack (stacks grow
// downward here); nullptr when it cannot be found out.
char* stack_low_bound();

// Runs body on a new thread whose stack has the given size and returns its
// result; runs it on the calling thread when no such thread can be made.
int run_with_stack(std::size_t bytes, const std::function<int()>& body);

} // namespace voren::platform
