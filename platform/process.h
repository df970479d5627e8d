#pragma once
// Child processes and the thread stack: running a shell command, and the
// bounds of the running thread's stack (so that a recursive interpreter can
// stop before it overflows).
#include <cstddef>
#include <functional>
#include <string>

namespace voren::platform {

// Runs command through /bin/sh -c with the program's environment, standard
// input and outputs. wait: the exit status (128 + signal number when the
// child was killed); otherwise the child runs on its own and 0 is returned.
// -1 when no process could be started.
int run_shell_command(const std::string& command, bool wait = true);

// Runs command through /bin/sh -c with its standard output captured into
// output; returns the exit status as run_shell_command does.
int run_shell_capture(const std::string& command, std::string& output);

// The lowest usable address of the running thread's stack (stacks grow
// downward here); nullptr when it cannot be found out.
char* stack_low_bound();

// Runs body on a new thread whose stack has the given size and returns its
// result; runs it on the calling thread when no such thread can be made.
int run_with_stack(std::size_t bytes, const std::function<int()>& body);

} // namespace voren::platform
