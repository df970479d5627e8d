// Environment, identity and Unix-style file functions: GETENV SETENV PUTENV
// UNSETENV USERID CUSERID HOSTNAME GETCWD GETWD CWD CHDIR MKDIR RMDIR RM DEL
// MV RENAME CP COPY.
//
// The functions that change something return a return code: 0 when it was
// done, otherwise the system error number (errno) of the failure, so that a
// program can tell the cases apart without a condition being raised.
#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/environment.h"
#include "platform/files.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/streams.h"

namespace tolma {

namespace {

namespace pf = voren::platform;

// A required text argument: "argument N missing." when omitted.
std::string text_arg(Interp& in, const Args& a, int i) {
    if (!a.has(i)) {
        std::string msg = "argument " + std::to_string(i + 1) + " missing.";
        wrong_call(in, a, i, msg);
    }
    return std::string(a[i].text(in.numeric));
}

void need_args(Interp& in, const Args& a, int n) {
    if (a.n == n) return;
    if (n == 0) wrong_call(in, a, 0, "no argument allowed.");
    wrong_call(in, a, 0, "needs " + std::to_string(n) + (n == 1 ? " argument." : " arguments."));
}

// A variable name that setenv() accepts: not empty, no "=".
bool valid_variable_name(const std::string& name) {
    return !name.empty() && name.find('=') == std::string::npos;
}

RexxValue bi_getenv(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string name = text_arg(in, a, 0);
    if (!valid_variable_name(name)) return RexxValue(std::string());
    return RexxValue(pf::environment_variable(name).value_or(std::string()));
}

RexxValue bi_setenv(Interp& in, Args& a) {
    need_args(in, a, 2);
    std::string name = text_arg(in, a, 0);
    std::string value = text_arg(in, a, 1);
    if (!valid_variable_name(name)) return int_result(EINVAL);
    return int_result(::setenv(name.c_str(), value.c_str(), 1) == 0 ? 0 : errno);
}

// PUTENV("NAME=value") sets NAME; the text is copied, not kept.
RexxValue bi_putenv(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string text = text_arg(in, a, 0);
    size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return int_result(EINVAL);
    std::string name = text.substr(0, eq);
    return int_result(::setenv(name.c_str(), text.c_str() + eq + 1, 1) == 0 ? 0 : errno);
}

RexxValue bi_unsetenv(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string name = text_arg(in, a, 0);
    if (!valid_variable_name(name)) return int_result(EINVAL);
    return int_result(::unsetenv(name.c_str()) == 0 ? 0 : errno);
}

// The login name of the effective user: the password database first, then
// LOGNAME and USER; "" when none is known.
RexxValue bi_userid(Interp& in, Args& a) {
    need_args(in, a, 0);
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name)
        return RexxValue(std::string(pw->pw_name));
    for (const char* var : {"LOGNAME", "USER"})
        if (auto v = pf::environment_variable(var); v && !v->empty()) return RexxValue(*v);
    return RexxValue(std::string());
}

RexxValue bi_hostname(Interp& in, Args& a) {
    need_args(in, a, 0);
    char name[256];
    if (gethostname(name, sizeof name) != 0) return RexxValue(std::string());
    name[sizeof name - 1] = '\0';
    return RexxValue(std::string(name));
}

RexxValue bi_getcwd(Interp& in, Args& a) {
    need_args(in, a, 0);
    return RexxValue(pf::current_directory().value_or(std::string()));
}

RexxValue bi_chdir(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string dir = text_arg(in, a, 0);
    if (dir.empty()) return int_result(ENOENT);
    return int_result(pf::change_directory(dir));
}

RexxValue bi_mkdir(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string dir = text_arg(in, a, 0);
    if (dir.empty()) return int_result(ENOENT);
    return int_result(::mkdir(dir.c_str(), 0777) == 0 ? 0 : errno);
}

RexxValue bi_rmdir(Interp& in, Args& a) {
    need_args(in, a, 1);
    std::string dir = text_arg(in, a, 0);
    if (dir.empty()) return int_result(ENOENT);
    return int_result(::rmdir(dir.c_str()) == 0 ? 0 : errno);
}

// Removes a file (not a directory: RMDIR does that).
RexxValue bi_rm(Interp& in, Args& a) {
    need_args(in, a, 1);
    sync_streams(in); // lines kept by LINEOUT reach the file first
    std::string file = text_arg(in, a, 0);
    if (file.empty()) return int_result(ENOENT);
    if (pf::link_status(file).type == pf::FileType::Directory) return int_result(EISDIR);
    int error = 0;
    return int_result(pf::remove_file(file, &error) ? 0 : error);
}

// The destination of MV and CP: a directory that exists receives the source
// under its own name, as mv and cp do.
std::string destination(const std::string& from, const std::string& to) {
    if (pf::file_status(to).type != pf::FileType::Directory) return to;
    std::string base = pf::base_name(from);
    return to.back() == '/' ? to + base : to + "/" + base;
}

bool same_file(const std::string& x, const std::string& y) {
    struct stat sx, sy;
    return stat(x.c_str(), &sx) == 0 && stat(y.c_str(), &sy) == 0 && sx.st_dev == sy.st_dev &&
           sx.st_ino == sy.st_ino;
}

RexxValue bi_mv(Interp& in, Args& a) {
    need_args(in, a, 2);
    sync_streams(in); // lines kept by LINEOUT reach the file first
    std::string from = text_arg(in, a, 0);
    std::string to = text_arg(in, a, 1);
    if (from.empty() || to.empty()) return int_result(ENOENT);
    int error = 0;
    return int_result(pf::rename_file(from, destination(from, to), &error) ? 0 : error);
}

// Copies a regular file. A copy onto the source itself would empty it before
// reading it, so it is refused.
RexxValue bi_cp(Interp& in, Args& a) {
    need_args(in, a, 2);
    sync_streams(in); // lines kept by LINEOUT reach the file first
    std::string from = text_arg(in, a, 0);
    std::string to = text_arg(in, a, 1);
    if (from.empty() || to.empty()) return int_result(ENOENT);
    pf::FileStatus st = pf::file_status(from);
    if (st.type == pf::FileType::Missing) return int_result(st.error ? st.error : ENOENT);
    if (st.type == pf::FileType::Directory) return int_result(EISDIR);
    std::string target = destination(from, to);
    if (same_file(from, target)) return int_result(EINVAL);
    int error = 0;
    return int_result(pf::copy_file_durably(from, target, &error) ? 0 : error);
}

} // namespace

const Builtin kSystemBuiltins[] = {
    {"getenv", bi_getenv},
    {"setenv", bi_setenv},
    {"putenv", bi_putenv},
    {"unsetenv", bi_unsetenv},
    {"userid", bi_userid},
    {"cuserid", bi_userid},
    {"hostname", bi_hostname},
    {"getcwd", bi_getcwd},
    {"getwd", bi_getcwd},
    {"cwd", bi_getcwd},
    {"chdir", bi_chdir},
    {"mkdir", bi_mkdir},
    {"rmdir", bi_rmdir},
    {"rm", bi_rm},
    {"del", bi_rm},
    {"mv", bi_mv},
    {"rename", bi_mv},
    {"cp", bi_cp},
    {"copy", bi_cp},
};
const size_t kSystemBuiltinCount = sizeof kSystemBuiltins / sizeof kSystemBuiltins[0];

} // namespace tolma
