// Host commands as functions and the process functions.
//
// SH, UNIX, WINDOWS, POPEN, EXEC, WINDOWS_NE, CSH, TCSH and KSH run a command
// through /bin/sh -c and capture its output:
//   UNIX(command)              standard output lines queued on the data stack
//   UNIX(command, stem)        ... stored in stem.1 to stem.n, stem.0 = n
//   UNIX(command, stem, stem2) ... and standard error lines in stem2.
// The result is the command's return code (28 when it could not be started,
// after the message "Unable to create process; ..."). Without stem2 the
// command's standard error goes where the interpreter's does; WINDOWS_NE
// discards it. CSH, TCSH and KSH put the value of the environment variable
// of their name in front of the command when it is set.
//
// FORK starts a command in the background and returns its handle (the
// process id); WAITPID waits for it (or, with a second argument 0, looks
// whether it still runs: STILL_ACTIVE() then); KILL sends it a signal; QPID
// gives its process id. GETPID, SLEEP and USLEEP as their names say; SLEEP,
// USLEEP and the waits end early on a halt request. An isolated run
// (RunOptions::isolated) starts no process and does not sleep.
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/host_command.h"
#include "rexx/core/errors.h"
#include "rexx/core/exec.h"
#include "rexx/core/pool.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/environments.h"
#include "rexx/lib/libutil.h"
#include "rexx/lib/streams.h"

namespace tolma {

namespace {

// The exit code Windows reports for a process that still runs; WAITPID
// answers it for a running child.
constexpr int kStillActive = 259;

// ---------------------------------------------------------------- capture

// The capture functions name themselves UNIX in their messages.
Args family_args(const Args& a) {
    Args f = a;
    f.name = "UNIX";
    return f;
}

bool valid_stem_name(std::string_view t) {
    return is_rexx_symbol(t) && t[0] != '.' && !(t[0] >= '0' && t[0] <= '9');
}

// The stem of argument i, folded as the program's symbols are and ending in ".".
std::string capture_stem(Interp& in, const Args& family, int i) {
    std::string_view t = family[i].text(in.numeric);
    if (!valid_stem_name(t))
        wrong_call(in, family, i,
                   "argument " + std::to_string(i + 1) + " is not a valid REXX symbol.");
    std::string name = fold_case(t, in.case_mode);
    if (name.back() != '.') name += '.';
    return name;
}

// stem.tail as a variable reference: the stem is the name up to its first
// ".", the rest of the name and tail are its tails, used as written.
SymbolRef element(const std::string& stem, std::string_view tail) {
    SymbolRef s;
    s.kind = SymbolKind::Compound;
    size_t dot = stem.find('.');
    s.base.name = stem.substr(0, dot + 1);
    s.base.hash = name_hash(s.base.name);
    s.text = stem;
    s.text += tail;
    auto add_tail = [&s](std::string_view t) {
        TailPart p;
        p.var.name = std::string(t);
        p.var.hash = name_hash(t);
        p.constant = true;
        s.tails.push_back(std::move(p));
    };
    size_t start = dot + 1;
    while (start < stem.size()) {
        size_t next = stem.find('.', start);
        add_tail(std::string_view(stem).substr(start, next - start));
        start = next + 1;
    }
    add_tail(tail);
    return s;
}

// Calls fn for every line of text: lines end at "\n" (a "\r" before it is
// dropped); a last line without one counts too.
template <typename Fn>
void for_each_line(std::string_view text, Fn fn) {
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        fn(line);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
}

void store_lines(Interp& in, const std::string& stem, std::string_view text) {
    long long n = 0;
    for_each_line(text, [&](std::string_view line) {
        ++n;
        set_value(in, element(stem, std::to_string(n)), RexxValue(line));
    });
    set_value(in, element(stem, "0"), int_result(n));
}

void report_not_started(Interp& in, int error_number) {
    in.err("Unable to create process; Error is: \"" +
           voren::platform::system_error_text(error_number) + "\"\n");
}

// Runs a command for a function: not started (28, after the message), or the
// result of the run.
bool run_for_function(Interp& in, const std::string& command,
                      const voren::platform::ChildOptions& options,
                      voren::platform::ChildResult& result) {
    if (isolated_run(in)) {
        report_not_started(in, EPERM);
        return false;
    }
    std::string program = plain_command_program(command);
    if (!program.empty() && !voren::platform::program_exists(program)) {
        report_not_started(in, ENOENT);
        return false;
    }
    // The command may read the files the program writes.
    sync_streams(in);
    std::fflush(stdout);
    std::fflush(stderr);
    result = voren::platform::run_child(command, options);
    if (!result.started) {
        report_not_started(in, result.error_number);
        return false;
    }
    return true;
}

RexxValue bi_capture(Interp& in, Args& a) {
    Args family = family_args(a);
    if (a.n > 3) wrong_call(in, family, 0, "up to 3 arguments allowed.");
    if (!a.has(0)) wrong_call(in, family, 0, "argument 1 missing.");
    std::string stem, error_stem;
    if (a.has(1)) stem = capture_stem(in, family, 1);
    if (a.has(2)) error_stem = capture_stem(in, family, 2);

    std::string command(a[0].text(in.numeric));
    if (a.name == "CSH" || a.name == "TCSH" || a.name == "KSH") {
        if (auto prefix = voren::platform::environment_variable(std::string(a.name)))
            command = *prefix + " " + command;
    }
    voren::platform::ChildOptions options;
    options.capture_output = true;
    options.capture_errors = !error_stem.empty();
    options.discard_errors = a.name == "WINDOWS_NE";
    options.stop_flag = halt_flag(in);
    voren::platform::ChildResult r;
    if (!run_for_function(in, command, options, r)) return int_result(28);

    if (!stem.empty()) {
        store_lines(in, stem, r.output);
    } else {
        for_each_line(r.output,
                      [&](std::string_view line) { stack_queue(in.queue, std::string(line)); });
    }
    if (!error_stem.empty()) store_lines(in, error_stem, r.errors);
    return int_result(r.status);
}

// ---------------------------------------------------------------- processes

std::vector<int>& children(Args& a) {
    return a.lib->children;
}

// The handle of argument 0: a child started by FORK and not yet waited for.
size_t child_handle(Interp& in, Args& a) {
    if (!a.has(0)) wrong_call(in, a, 0, "argument 1 missing.");
    long long h = 0;
    std::vector<int>& list = children(a);
    if (whole_number(a[0], h) == WholeTest::Ok) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == h) return i;
    }
    wrong_call(in, a, 0, a.name == "WAITPID" ? "invalid handlde." : "invalid handle.");
}

RexxValue bi_fork(Interp& in, Args& a) {
    if (a.n > 1) wrong_call(in, a, 0, "must receive 1 argument.");
    std::string command(need_text(in, a, 0));
    if (isolated_run(in)) {
        report_not_started(in, EPERM);
        return int_result(-1);
    }
    std::string program = plain_command_program(command);
    if (!program.empty() && !voren::platform::program_exists(program)) {
        report_not_started(in, ENOENT);
        return int_result(-1);
    }
    sync_streams(in);
    std::fflush(stdout);
    std::fflush(stderr);
    int error = 0;
    int pid = voren::platform::start_child(command, error);
    if (pid < 0) {
        report_not_started(in, error);
        return int_result(-1);
    }
    children(a).push_back(pid);
    return int_result(pid);
}

RexxValue bi_waitpid(Interp& in, Args& a) {
    if (a.n > 2) wrong_call(in, a, 0, "up to 2 arguments allowed.");
    size_t i = child_handle(in, a);
    bool wait = arg_flag(in, a, 1, true);
    std::vector<int>& list = children(a);
    int status = 0;
    switch (voren::platform::wait_child(list[i], wait, status, halt_flag(in))) {
    case voren::platform::ChildState::Running: return int_result(kStillActive);
    case voren::platform::ChildState::Ended:
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        return int_result(status);
    case voren::platform::ChildState::Unknown: break;
    }
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    wrong_call(in, a, 0, "invalid handlde.");
}

RexxValue bi_kill(Interp& in, Args& a) {
    if (a.n > 2) wrong_call(in, a, 0, "up to 2 arguments allowed.");
    size_t i = child_handle(in, a);
    long long signal_number =
        a.has(1) ? arg_whole_msgs(in, a, 1, 1, "argument 2 must be a signal number.") : SIGTERM;
    if (signal_number > 64) wrong_call(in, a, 1, "argument 2 must be a signal number.");
    int error = voren::platform::signal_process(children(a)[i], static_cast<int>(signal_number));
    return int_result(error == 0 ? 1 : 0);
}

RexxValue bi_qpid(Interp& in, Args& a) {
    if (a.n > 1) wrong_call(in, a, 0, "must receive 1 argument.");
    return int_result(children(a)[child_handle(in, a)]);
}

RexxValue bi_still_active(Interp& in, Args& a) {
    if (a.n > 0) wrong_call(in, a, 0, "no argument allowed.");
    return int_result(kStillActive);
}

RexxValue bi_getpid(Interp& in, Args& a) {
    if (a.n > 0) wrong_call(in, a, 0, "no argument allowed.");
    return int_result(voren::platform::process_id());
}

RexxValue sleep_for(Interp& in, Args& a, long long unit_us) {
    if (a.n > 1) wrong_call(in, a, 0, "must receive 1 argument.");
    require(in, a, 0, "argument 1 missing.");
    long long n = arg_whole_msgs(in, a, 0, 0, "argument 1 must be a whole number.");
    // More than a year is taken as a year.
    const long long year_us = 366LL * 24 * 3600 * 1000000;
    long long us = n > year_us / unit_us ? year_us : n * unit_us;
    if (!isolated_run(in)) voren::platform::sleep_microseconds(us, halt_flag(in));
    return int_result(0);
}

RexxValue bi_sleep(Interp& in, Args& a) {
    return sleep_for(in, a, 1000000);
}

RexxValue bi_usleep(Interp& in, Args& a) {
    return sleep_for(in, a, 1);
}

} // namespace

const Builtin kProcessBuiltins[] = {
    {"sh", bi_capture},      {"unix", bi_capture},
    {"windows", bi_capture}, {"popen", bi_capture},
    {"exec", bi_capture},    {"windows_ne", bi_capture},
    {"csh", bi_capture},     {"tcsh", bi_capture},
    {"ksh", bi_capture},     {"fork", bi_fork},
    {"waitpid", bi_waitpid}, {"kill", bi_kill},
    {"qpid", bi_qpid},       {"still_active", bi_still_active},
    {"getpid", bi_getpid},   {"sleep", bi_sleep},
    {"usleep", bi_usleep},
};
const size_t kProcessBuiltinCount = sizeof kProcessBuiltins / sizeof kProcessBuiltins[0];

} // namespace tolma
