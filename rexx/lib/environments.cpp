#include "rexx/lib/environments.h"

#include <cstdio>

#include "platform/environment.h"
#include "platform/host_command.h"
#include "platform/process.h"
#include "rexx/core/exec.h"
#include "rexx/core/interp.h"

namespace tolma {

namespace {

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return u;
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// Words the shell takes for itself rather than looking them up on PATH.
bool shell_builtin(std::string_view w) {
    static const char* const names[] = {
        ".",       ":",        "[",     "alias",  "bg",       "break",    "case",   "cd",
        "command", "continue", "do",    "done",   "echo",     "elif",     "else",   "esac",
        "eval",    "exec",     "exit",  "export", "false",    "fc",       "fg",     "fi",
        "for",     "getopts",  "hash",  "if",     "in",       "jobs",     "kill",   "local",
        "newgrp",  "printf",   "pwd",   "read",   "readonly", "return",   "set",    "shift",
        "test",    "then",     "times", "trap",   "true",     "type",     "ulimit", "umask",
        "unalias", "unset",    "until", "wait",   "while",    "function", "select", "time"};
    for (const char* n : names)
        if (w == n) return true;
    return false;
}

// Bytes that make a command more than "program arguments" to the shell.
bool shell_syntax(char c) {
    switch (c) {
    case '|':
    case '&':
    case ';':
    case '<':
    case '>':
    case '(':
    case ')':
    case '$':
    case '`':
    case '\\':
    case '"':
    case '\'':
    case '\n':
    case '\r':
    case '#':
    case '{':
    case '}':
    case '!':
    case '=':
    case '~':
    case '*':
    case '?':
    case '[': return true;
    default: return false;
    }
}

} // namespace

void register_environment(EnvironmentTable& t, std::string_view name, CommandHandler handler,
                          bool make_current, void* data) {
    std::string key = upper(name);
    long at = find_environment(t, key);
    if (at >= 0 && !handler) {
        size_t i = static_cast<size_t>(at);
        t.entries.erase(t.entries.begin() + static_cast<std::ptrdiff_t>(i));
        // Indexes after the removed entry move down with their entries.
        if (t.current > i) --t.current;
        if (t.previous > i) --t.previous;
        if (t.current >= t.entries.size()) t.current = 0;
        if (t.previous >= t.entries.size()) t.previous = 0;
        return;
    }
    if (!handler) return; // removing a name that is not there
    size_t index;
    if (at >= 0) {
        index = static_cast<size_t>(at);
        t.entries[index].handler = std::move(handler);
        t.entries[index].data = data;
    } else {
        index = t.entries.size();
        t.entries.push_back({std::move(key), std::move(handler), data});
    }
    if (make_current) {
        t.previous = t.current;
        t.current = index;
    }
}

long find_environment(const EnvironmentTable& t, std::string_view name) {
    for (size_t i = 0; i < t.entries.size(); ++i)
        if (t.entries[i].name == name) return static_cast<long>(i);
    return -1;
}

std::string_view current_environment_name(const EnvironmentTable& t) {
    if (t.current >= t.entries.size()) return {};
    return t.entries[t.current].name;
}

void register_builtin_environments(EnvironmentTable& t) {
    if (t.builtins_registered) return;
    t.builtins_registered = true;
    for (const char* name : {"WINDOWS", "UNIX", "SH", "CSH", "TCSH", "KSH", "EXEC"}) {
        std::string n = name;
        register_environment(t, n, [n](Interp& in, std::string_view command) {
            return run_builtin_environment(in, n, command);
        });
    }
    long unix_index = find_environment(t, "UNIX");
    if (unix_index >= 0) t.current = t.previous = static_cast<size_t>(unix_index);
}

std::string_view shell_prefix_variable(std::string_view env) {
    for (std::string_view n : {"SH", "CSH", "TCSH", "KSH"})
        if (env == n) return n;
    return {};
}

HostCommand prepare_host_command(std::string_view environment, std::string_view command) {
    HostCommand h;
    size_t b = 0, e = command.size();
    while (b < e && blank(command[b]))
        ++b;
    while (e > b && blank(command[e - 1]))
        --e;
    h.text = std::string(command.substr(b, e - b));
    // "a & b &" runs in the background; "a && b" does not end with a lone "&".
    if (!h.text.empty() && h.text.back() == '&' &&
        (h.text.size() < 2 || h.text[h.text.size() - 2] != '&')) {
        h.asynchronous = true;
        h.text.pop_back();
        while (!h.text.empty() && blank(h.text.back()))
            h.text.pop_back();
    }
    std::string_view var = shell_prefix_variable(environment);
    if (!var.empty()) {
        if (auto prefix = voren::platform::environment_variable(std::string(var)))
            h.text = *prefix + " " + h.text;
    }
    return h;
}

std::string plain_command_program(std::string_view command) {
    for (char c : command)
        if (shell_syntax(c)) return {};
    size_t b = 0;
    while (b < command.size() && blank(command[b]))
        ++b;
    size_t e = b;
    while (e < command.size() && !blank(command[e]))
        ++e;
    std::string_view word = command.substr(b, e - b);
    if (word.empty() || shell_builtin(word)) return {};
    return std::string(word);
}

int run_builtin_environment(Interp& in, std::string_view environment, std::string_view command) {
    HostCommand h = prepare_host_command(environment, command);
    std::string program = plain_command_program(h.text);
    if (!program.empty() && !voren::platform::program_exists(program)) return 28;
    std::fflush(stdout);
    std::fflush(stderr);
    if (h.asynchronous) return voren::platform::run_shell_command(h.text, false) < 0 ? 28 : 0;
    voren::platform::ChildOptions options;
    options.stop_flag = halt_flag(in);
    voren::platform::ChildResult r = voren::platform::run_child(h.text, options);
    if (!r.started) return 28;
    return r.status;
}

} // namespace tolma
