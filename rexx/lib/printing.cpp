#include "rexx/lib/printing.h"

#include <cstdio>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/host_command.h"
#include "rexx/core/exec.h"
#include "rexx/core/interp.h"
#include "rexx/lib/streams.h"

namespace tolma {

namespace pf = voren::platform;

namespace {

// text in single quotes for /bin/sh.
std::string shell_quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

} // namespace

std::string print_text(const std::vector<std::string>& lines, const PrintJob& job) {
    std::string text;
    long long on_page = 0;
    for (const std::string& line : lines) {
        if (job.lines_per_page > 0 && on_page == job.lines_per_page) {
            text += '\f';
            on_page = 0;
        }
        if (job.columns > 0 && line.size() > static_cast<size_t>(job.columns))
            text.append(line, 0, static_cast<size_t>(job.columns));
        else
            text += line;
        text += '\n';
        ++on_page;
    }
    return text;
}

std::string print_command(const PrintJob& job) {
    if (auto own = pf::environment_variable("TOLMA_PRINT_COMMAND"); own && !own->empty()) {
        if (job.printer.empty()) return *own;
        return "PRINTER=" + shell_quoted(job.printer) + "; export PRINTER; " + *own;
    }
    if (!pf::program_exists("lpr")) return {};
    std::string command = "lpr -J 'My Document'";
    if (!job.printer.empty()) command += " -P " + shell_quoted(job.printer);
    return command;
}

int print_lines(Interp& in, const std::vector<std::string>& lines, const PrintJob& job) {
    if (lines.empty()) return 0;
    std::string command = print_command(job);
    if (command.empty()) {
        in.err("TOLMA: No print spooler: \"lpr\" is not found along PATH.\n");
        return 28;
    }
    if (isolated_run(in)) {
        in.err("TOLMA: Unable to start the print spooler.\n");
        return 28;
    }
    std::string text = print_text(lines, job);
    sync_streams(in); // a print command of the site's own sees whole files
    pf::ChildOptions options;
    options.input = &text;
    options.stop_flag = halt_flag(in);
    std::fflush(stdout);
    std::fflush(stderr);
    pf::ChildResult r = pf::run_child(command, options);
    if (!r.started) {
        in.err("TOLMA: Unable to start the print spooler: " +
               pf::system_error_text(r.error_number) + ".\n");
        return 28;
    }
    if (r.status != 0) {
        in.err("TOLMA: The print spooler ended with return code " + std::to_string(r.status) +
               ".\n");
        return 100 + r.status;
    }
    if (r.input_written < text.size()) {
        in.err("TOLMA: The print spooler did not take all the lines.\n");
        return 101;
    }
    return 0;
}

} // namespace tolma
