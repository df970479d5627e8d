#pragma once
// Host command environments: the table that ADDRESS works on, and the
// environments the interpreter brings itself.
//
// The table is a list of (name, handler, data) with two indexes, the current
// environment and the previous one (ADDRESS with no operand swaps them). An
// embedder adds its own environment with register_environment (the editor's
// VOREN, for instance); registering an existing name replaces its handler,
// and registering a name without a handler removes it.
//
// The built-in environments WINDOWS, UNIX, SH, CSH, TCSH, KSH and EXEC all
// run the command through /bin/sh -c; UNIX is current at start. In SH, CSH,
// TCSH and KSH the command is preceded by the value of the environment
// variable of that name, when it is set. A trailing "&" starts the command in
// the background (return code 0 at once). Return code 28: nothing could be
// started (the shell could not be run, or the command's program exists
// nowhere on PATH). Otherwise the return code is the exit status (128 +
// signal number when the command was killed).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolma {

struct Interp;

// A command environment's handler: runs the command, returns its code.
using CommandHandler = std::function<int(Interp&, std::string_view command)>;

struct Environment {
    std::string name; // upper case
    CommandHandler handler;
    void* data = nullptr; // for the environment's owner
};

struct EnvironmentTable {
    std::vector<Environment> entries;
    size_t current = 0, previous = 0;
    bool builtins_registered = false;
};

// Adds, replaces or (with an empty handler) removes the environment name
// (folded to upper case). A new or replaced environment becomes current when
// make_current is set, the old current becoming the previous one. Removing
// moves the later entries down; an index that then points past the end
// becomes 0.
void register_environment(EnvironmentTable& table, std::string_view name, CommandHandler handler,
                          bool make_current = false, void* data = nullptr);
inline void remove_environment(EnvironmentTable& table, std::string_view name) {
    register_environment(table, name, nullptr);
}
// The index of the environment named exactly name (upper case), or -1.
long find_environment(const EnvironmentTable& table, std::string_view name);
// The name of the current environment ("" when the table is empty).
std::string_view current_environment_name(const EnvironmentTable& table);

// Registers WINDOWS, UNIX, SH, CSH, TCSH, KSH and EXEC, once, and makes UNIX
// current (the previous environment too).
void register_builtin_environments(EnvironmentTable& table);

// The environment variable that holds the shell prefix of an environment
// or capture function: "SH", "CSH", "TCSH" or "KSH"; "" for the others.
std::string_view shell_prefix_variable(std::string_view environment);

// A command string as the built-in handler runs it: blanks around it
// dropped, a trailing "&" taken off (asynchronous), the shell prefix put in
// front.
struct HostCommand {
    std::string text;
    bool asynchronous = false;
};
HostCommand prepare_host_command(std::string_view environment, std::string_view command);

// The program a plain command would start: the first word, when it names a
// program the shell looks up on PATH (no shell syntax, builtin or keyword
// anywhere that could make it something else); "" otherwise.
std::string plain_command_program(std::string_view command);

// The built-in handler: runs command in the named built-in environment.
int run_builtin_environment(Interp& in, std::string_view environment, std::string_view command);

} // namespace tolma
