// The cheap members of the system families: SysSleep, ReleaseVOREN,
// ReleaseTOLMA, READLINK, LN, SysMkDir, SysRmDir, SysFileDelete,
// SysSearchPath, SysTempFileName, SysFileSearch and SysCls (also CLS and
// CLEAR), SCRIPT and ShellExecute.
//
// The Sys* functions answer with the return codes of REXXUTIL: 0 done,
// 2 file not found, 3 path not found, 5 access denied, 16 the current
// directory, 32 in use, 87 invalid parameter, 206 name too long. Their
// messages carry the mixed-case name ("SysMkDir(): needs 1 argument.").
// READLINK and LN follow the Unix-style family: LN returns 0 or errno.
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/host_command.h"
#include "rexx/core/exec.h"
#include "rexx/core/pool.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/streams.h"

namespace tolma {

namespace {

namespace pf = voren::platform;

// The arguments under the function's mixed-case name, for its messages.
Args named(const Args& a, const char* name) {
    Args n = a;
    n.name = name;
    return n;
}

void need_args(Interp& in, const Args& a, int n) {
    if (a.n == n) return;
    if (n == 0) wrong_call(in, a, 0, "no argument allowed.");
    wrong_call(in, a, 0, "needs " + std::to_string(n) + (n == 1 ? " argument." : " arguments."));
}

void need_args_between(Interp& in, const Args& a, int lo, int hi) {
    if (a.n >= lo && a.n <= hi) return;
    if (a.n < lo)
        wrong_call(in, a, 0,
                   "needs at least " + std::to_string(lo) +
                       (lo == 1 ? " argument." : " arguments."));
    wrong_call(in, a, 0, "up to " + std::to_string(hi) + " arguments allowed.");
}

std::string text_arg(Interp& in, const Args& a, int i) {
    if (!a.has(i)) wrong_call(in, a, i, "argument " + std::to_string(i + 1) + " missing.");
    return std::string(a[i].text(in.numeric));
}

// ---------------------------------------------------------------- releases, sleep

RexxValue bi_release_voren(Interp& in, Args& a) {
    need_args(in, a, 0);
    return RexxValue(std::string("5.09"));
}

RexxValue bi_release_tolma(Interp& in, Args& a) {
    need_args(in, a, 0);
    return RexxValue(std::string("3.09"));
}

// SysSleep(seconds): fractions of a second allowed; a halt request ends the
// sleep early, as for SLEEP. More than a year is taken as a year.
RexxValue bi_sys_sleep(Interp& in, Args& args) {
    Args a = named(args, "SysSleep");
    need_args(in, a, 1);
    require(in, a, 0, "argument 1 missing.");
    double seconds = 0;
    if (!arg_number(a, 0, seconds) || !(seconds >= 0))
        wrong_call(in, a, 0, "argument 1 must be a positive number.");
    const double year = 366.0 * 24 * 3600;
    long long us = static_cast<long long>((seconds > year ? year : seconds) * 1e6 + 0.5);
    if (!isolated_run(in)) pf::sleep_microseconds(us, halt_flag(in));
    return int_result(0);
}

// ---------------------------------------------------------------- links

// READLINK(path): the text a symbolic link holds; "" for anything else.
RexxValue bi_readlink(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string path = text_arg(in, a, 0);
    if (path.empty()) return RexxValue(std::string());
    std::string target(256, '\0');
    for (;;) {
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return RexxValue(std::string());
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            return RexxValue(target);
        }
        target.resize(target.size() * 2);
    }
}

// LN(existing, new[, kind]): a hard link (kind H, the default, as ln does)
// or a symbolic link (kind S) named new. 0 or errno.
RexxValue bi_ln(Interp& in, Args& a) {
    need_args_between(in, a, 2, 3);
    std::string from = text_arg(in, a, 0);
    std::string to = text_arg(in, a, 1);
    char kind = arg_option(in, a, 2, 'H', "HS", "argument 3 must be H or S.");
    if (from.empty() || to.empty()) return int_result(ENOENT);
    if (kind == 'S') return int_result(::symlink(from.c_str(), to.c_str()) == 0 ? 0 : errno);
    int error = 0;
    return int_result(pf::hard_link(from, to, &error) ? 0 : error);
}

// ---------------------------------------------------------------- Sys* files

enum class FileCall { MakeDir, RemoveDir, DeleteFile };

// Whether the directory that would hold path exists.
bool parent_exists(const std::string& path) {
    std::string dir = pf::directory_part(path);
    if (dir.empty()) return true;
    return pf::file_status(dir).type == pf::FileType::Directory;
}

// errno of a failed call as a REXXUTIL return code.
int rexxutil_code(int error, const std::string& path, FileCall call) {
    switch (error) {
    case 0: return 0;
    case ENOENT:
        if (call == FileCall::MakeDir) return 3;
        return parent_exists(path) ? 2 : 3;
    case ENOTDIR: return 3;
    case EBUSY:
    case ETXTBSY: return 32;
    case ENAMETOOLONG: return 206;
    case EINVAL: return 87;
    default: return 5; // EACCES, EPERM, EROFS, EEXIST, EISDIR, ENOTEMPTY ...
    }
}

RexxValue bi_sys_mkdir(Interp& in, Args& args) {
    Args a = named(args, "SysMkDir");
    need_args(in, a, 1);
    std::string dir = text_arg(in, a, 0);
    if (dir.empty()) return int_result(87);
    int error = ::mkdir(dir.c_str(), 0777) == 0 ? 0 : errno;
    return int_result(rexxutil_code(error, dir, FileCall::MakeDir));
}

RexxValue bi_sys_rmdir(Interp& in, Args& args) {
    Args a = named(args, "SysRmDir");
    need_args(in, a, 1);
    std::string dir = text_arg(in, a, 0);
    if (dir.empty()) return int_result(87);
    // The current directory is refused, as REXXUTIL does.
    if (auto cwd = pf::current_directory(); cwd &&
                                            pf::file_status(dir).type == pf::FileType::Directory &&
                                            pf::real_path(dir) == pf::real_path(*cwd))
        return int_result(16);
    int error = ::rmdir(dir.c_str()) == 0 ? 0 : errno;
    return int_result(rexxutil_code(error, dir, FileCall::RemoveDir));
}

RexxValue bi_sys_file_delete(Interp& in, Args& args) {
    Args a = named(args, "SysFileDelete");
    need_args(in, a, 1);
    std::string file = text_arg(in, a, 0);
    if (file.empty()) return int_result(87);
    if (pf::link_status(file).type == pf::FileType::Directory) return int_result(5);
    sync_streams(in); // lines kept by LINEOUT reach the file first
    int error = 0;
    if (pf::remove_file(file, &error)) error = 0;
    return int_result(rexxutil_code(error, file, FileCall::DeleteFile));
}

// SysSearchPath(variable, file[, current]): the full name of file in the
// first directory of the variable's list (entries separated by ":" or ";")
// that holds it; with current 1 (the default) the current directory is
// searched first. "" when no directory holds it.
RexxValue bi_sys_search_path(Interp& in, Args& args) {
    Args a = named(args, "SysSearchPath");
    need_args_between(in, a, 2, 3);
    std::string variable = text_arg(in, a, 0);
    std::string file = text_arg(in, a, 1);
    bool current_first = arg_flag(in, a, 2, true, "argument 3 must be 0 or 1.");
    if (file.empty()) return RexxValue(std::string());
    std::vector<std::string> dirs;
    if (current_first) dirs.push_back(".");
    std::string list;
    if (!variable.empty() && variable.find('=') == std::string::npos)
        list = pf::environment_variable(variable).value_or(std::string());
    std::string entry;
    for (size_t i = 0; i <= list.size(); ++i) {
        if (i == list.size() || list[i] == ':' || list[i] == ';') {
            if (!entry.empty()) dirs.push_back(entry);
            entry.clear();
        } else {
            entry += list[i];
        }
    }
    for (const std::string& d : dirs) {
        std::string path = d.back() == '/' ? d + file : d + "/" + file;
        pf::FileType t = pf::file_status(path).type;
        if (t != pf::FileType::Missing && t != pf::FileType::Directory)
            return RexxValue(pf::absolute_path(path));
    }
    return RexxValue(std::string());
}

// SysTempFileName(template[, filler]): template with every filler ("?" by
// default) replaced by a random digit, chosen so that no such file exists;
// "" when every try names an existing file.
RexxValue bi_sys_temp_file_name(Interp& in, Args& args) {
    Args a = named(args, "SysTempFileName");
    need_args_between(in, a, 1, 2);
    std::string pattern = text_arg(in, a, 0);
    char filler = '?';
    if (a.has(1)) {
        std::string_view f = a[1].text(in.numeric);
        if (f.size() != 1) wrong_call(in, a, 1, "argument 2 must be one character.");
        filler = f[0];
    }
    std::vector<size_t> places;
    for (size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] == filler) places.push_back(i);
    auto free_name = [](const std::string& name) {
        return pf::link_status(name).type == pf::FileType::Missing;
    };
    if (places.empty()) return RexxValue(free_name(pattern) ? pattern : std::string());
    // Up to 3 fillers every name is tried, from a random start; beyond, a
    // few thousand random names.
    std::random_device seed;
    std::mt19937_64 random(seed());
    unsigned long long combinations = 1;
    for (size_t k = 0; k < places.size() && combinations <= 1000; ++k)
        combinations *= 10;
    bool every = combinations <= 1000;
    unsigned long long tries = every ? combinations : 10000;
    unsigned long long start = random() % (every ? combinations : 1);
    std::string name = pattern;
    for (unsigned long long t = 0; t < tries; ++t) {
        unsigned long long n = every ? (start + t) % combinations : random();
        for (size_t k = places.size(); k-- > 0;) {
            name[places[k]] = static_cast<char>('0' + n % 10);
            n /= 10;
        }
        if (free_name(name)) return RexxValue(name);
    }
    return RexxValue(std::string());
}

// ---------------------------------------------------------------- SysFileSearch

// The stem of argument i: a symbol, folded as the program's symbols are and
// ending in ".".
std::string stem_arg(Interp& in, const Args& a, int i) {
    std::string t = text_arg(in, a, i);
    if (!is_rexx_symbol(t) || t[0] == '.' || (t[0] >= '0' && t[0] <= '9'))
        wrong_call(in, a, i, "argument " + std::to_string(i + 1) + " is not a valid REXX symbol.");
    std::string name = fold_case(t, in.case_mode);
    if (name.back() != '.') name += '.';
    return name;
}

bool contains_folded(std::string_view line, std::string_view target) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (target.size() > line.size()) return false;
    for (size_t i = 0; i + target.size() <= line.size(); ++i) {
        size_t k = 0;
        while (k < target.size() && up(line[i + k]) == up(target[k]))
            ++k;
        if (k == target.size()) return true;
    }
    return false;
}

// SysFileSearch(target, file, stem[, options]): the lines of file holding
// target go to stem.1 ... stem.n, stem.0 = n. Options: C compares cases
// exactly (the default ignores case), N puts the line number and a blank in
// front of each line. Returns 0, or 3 when the file cannot be read.
RexxValue bi_sys_file_search(Interp& in, Args& args) {
    Args a = named(args, "SysFileSearch");
    need_args_between(in, a, 3, 4);
    std::string target = text_arg(in, a, 0);
    std::string file = text_arg(in, a, 1);
    std::string stem = stem_arg(in, a, 2);
    bool exact_case = false, numbered = false;
    for (char c : std::string(arg_text(in, a, 3))) {
        if (c == 'c' || c == 'C')
            exact_case = true;
        else if (c == 'n' || c == 'N')
            numbered = true;
        else
            wrong_call(in, a, 3, "argument 4 must be made of the options C and N.");
    }
    if (file.empty() || pf::file_status(file).type != pf::FileType::Regular) return int_result(3);
    sync_streams(in); // lines kept by LINEOUT reach the file first
    std::ifstream input(file, std::ios::binary);
    if (!input) return int_result(3);
    std::string line;
    long long number = 0, found = 0;
    while (std::getline(input, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        bool hit =
            exact_case ? line.find(target) != std::string::npos : contains_folded(line, target);
        if (!hit) continue;
        ++found;
        set_var(in, stem + std::to_string(found),
                numbered ? std::to_string(number) + " " + line : line);
    }
    bool failed = input.bad();
    set_var(in, stem + "0", int_result(failed ? 0 : found));
    return int_result(failed ? 3 : 0);
}

// ---------------------------------------------------------------- SysCls

// Clears the terminal when standard output is one; otherwise nothing. 0.
RexxValue bi_sys_cls(Interp& in, Args& args) {
    Args a = named(args, args.name == "SYSCLS" ? "SysCls" : args.name == "CLS" ? "CLS" : "CLEAR");
    need_args(in, a, 0);
    if (isatty(STDOUT_FILENO)) in.out("\x1b[H\x1b[2J");
    return int_result(0);
}

// ---------------------------------------------------------------- SCRIPT, ShellExecute

// text in single quotes for /bin/sh.
std::string shell_quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// SCRIPT(file): the file's text runs as a shell script through /bin/sh and
// its exit status is the result; -1 (after the message) when the file cannot
// be read or nothing can be started. A halt request ends the script.
RexxValue bi_script(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string file = text_arg(in, a, 0);
    sync_streams(in); // lines kept by LINEOUT reach the file first
    std::ifstream input(file, std::ios::binary);
    std::string text;
    if (input && pf::file_status(file).type == pf::FileType::Regular) {
        text.assign(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
    }
    if (!input || input.bad() || pf::file_status(file).type != pf::FileType::Regular) {
        in.err("SCRIPT: Unable to open file \"" + file + "\"\n");
        return int_result(-1);
    }
    if (isolated_run(in)) {
        in.err("SCRIPT: Unable to create pipe\n");
        return int_result(-1);
    }
    pf::ChildOptions options;
    options.stop_flag = halt_flag(in);
    std::fflush(stdout);
    std::fflush(stderr);
    pf::ChildResult r = pf::run_child(text, options);
    if (!r.started) {
        in.err("SCRIPT: Unable to create pipe\n");
        return int_result(-1);
    }
    return int_result(r.status);
}

// ShellExecute(verb, file[, parameters[, directory[, show]]]): starts
// without waiting. Verbs "open" (also "" or omitted), "edit" and "explore":
// a program found as the shell would find it runs with the parameters; any
// other file or a URL goes to xdg-open. The result is as Windows gives it:
// 33 started, 2 the file does not exist, 3 the directory does not exist,
// 31 no program to open it with (no xdg-open, an unknown verb). The show
// mode is accepted and has no meaning here.
RexxValue bi_shell_execute(Interp& in, Args& args) {
    Args a = named(args, "ShellExecute");
    if (a.n < 2) wrong_call(in, a, 0, "must receive 2 or more argument.");
    if (a.n > 5) wrong_call(in, a, 0, "up to 5 arguments allowed.");
    std::string verb(arg_text(in, a, 0));
    std::string file = text_arg(in, a, 1);
    std::string params(arg_text(in, a, 2));
    std::string dir(arg_text(in, a, 3));
    for (char& c : verb)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (!verb.empty() && verb != "open" && verb != "edit" && verb != "explore")
        return int_result(31);
    if (!dir.empty() && pf::file_status(dir).type != pf::FileType::Directory) return int_result(3);
    std::string command;
    bool url = file.find("://") != std::string::npos;
    if (!url && pf::program_exists(file)) {
        command = shell_quoted(file);
        if (!params.empty()) command += " " + params;
    } else {
        if (!url && !file.empty()) {
            std::string path = dir.empty() || file[0] == '/' ? file : dir + "/" + file;
            if (pf::file_status(path).type == pf::FileType::Missing) return int_result(2);
        }
        if (file.empty()) return int_result(2);
        if (!pf::program_exists("xdg-open")) return int_result(31);
        command = "xdg-open " + shell_quoted(file);
    }
    if (!dir.empty()) command = "cd " + shell_quoted(dir) + " && " + command;
    if (isolated_run(in)) return int_result(31);
    sync_streams(in); // the started program sees whole files
    // The shell puts the command in the background and ends at once, so no
    // child is left to reap.
    pf::ChildOptions options;
    std::fflush(stdout);
    std::fflush(stderr);
    pf::ChildResult r = pf::run_child("(" + command + ") </dev/null >/dev/null 2>&1 &", options);
    return int_result(r.started && r.status == 0 ? 33 : 31);
}

} // namespace

const Builtin kSysUtilBuiltins[] = {
    {"SysSleep", bi_sys_sleep},
    {"ReleaseVOREN", bi_release_voren},
    {"ReleaseTOLMA", bi_release_tolma},
    {"readlink", bi_readlink},
    {"ln", bi_ln},
    {"SysMkDir", bi_sys_mkdir},
    {"SysRmDir", bi_sys_rmdir},
    {"SysFileDelete", bi_sys_file_delete},
    {"SysSearchPath", bi_sys_search_path},
    {"SysTempFileName", bi_sys_temp_file_name},
    {"SysFileSearch", bi_sys_file_search},
    {"SysCls", bi_sys_cls},
    {"cls", bi_sys_cls},
    {"clear", bi_sys_cls},
    {"script", bi_script},
    {"ShellExecute", bi_shell_execute},
};
const size_t kSysUtilBuiltinCount = sizeof kSysUtilBuiltins / sizeof kSysUtilBuiltins[0];

} // namespace tolma
