// The standalone interpreter: tolma [options] program [arguments].
//
// The arguments after the program make one ARG string. "-" reads the program
// from standard input. The start-up file voren.tolmarc (home directory, then
// the installation directory: REXXHOME, else this executable's directory)
// is put in front of the program. A calling interpreter passes arguments
// through tolma_NB_ARGS and tolma_ARG1... (hexadecimal bytes). The exit
// status is the program's EXIT value when it is a whole number; this is also
// how a routine run for a NOLOAD call hands back its result.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/process.h"
#include "rexx/core/exec.h"
#include "rexx/core/external.h"
#include "rexx/core/parser.h"
#include "rexx/lib/streams.h"

namespace {

// Ctrl-C asks the running program to halt (the HALT condition).
volatile std::sig_atomic_t halt_requested = 0;

extern "C" void on_interrupt(int) {
    halt_requested = 1;
}

const char* const kVersion = "tolma 3.09 (REXX 4.00 14 Nov 2024)";

const char* const kHelp =
    "usage: tolma [options] program [arguments]\n"
    "       tolma [options] - [arguments]      (program read from standard input)\n"
    "\n"
    "Runs a REXX program. The arguments after the program are passed as one\n"
    "argument string (PARSE ARG). The exit status is the value of EXIT when it\n"
    "is a whole number, 0 otherwise, and the error number after an error.\n"
    "\n"
    "options:\n"
    "  -h, --help       show this text\n"
    "  -v, --version    show the interpreter's version\n"
    "\n"
    "environment:\n"
    "  REXXHOME         installation directory (default: the directory of tolma)\n"
    "  HOME             where voren.tolmarc is looked for first\n";

bool read_stream(std::istream& in, std::string& text) {
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

bool read_file(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    return read_stream(in, text);
}

int dump(const char* option, const char* path) {
    std::string text;
    if (!read_file(path, text)) {
        std::fprintf(stderr, "tolma: unable to open file %s\n", path);
        return 1;
    }
    try {
        if (std::strcmp(option, "--tokens") == 0) {
            tolma::Arena arena;
            tolma::ProgramOptions options;
            std::string source = tolma::prepare_source(text);
            std::vector<tolma::Token> tokens = tolma::lex(source, {}, options, arena);
            std::string line;
            for (const tolma::Token& t : tokens) {
                line = tolma::dump_tokens({t});
                std::printf("%d:%d %s\n", t.line + 1, t.column + 1, line.c_str());
            }
        } else {
            std::unique_ptr<tolma::Program> program = tolma::compile(text);
            std::fputs(tolma::dump_tree(*program).c_str(), stdout);
        }
    } catch (const tolma::RexxError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "tolma: error %d on line %d, column %d%s%s\n", error.code, error.line,
                     error.column, error.detail.empty() ? "" : ": ", error.detail.c_str());
        return 1;
    }
    return 0;
}

// The start-up file's text, or empty when there is none (or it is too short).
std::string startup_text(const std::string& install_dir) {
    std::string candidates[2];
    if (auto home = voren::platform::environment_variable("HOME")) {
        std::string h = *home;
        for (char& c : h)
            if (c == '\\') c = '/';
        if (h.empty() || h.back() != '/') h += '/';
        candidates[0] = h + "voren.tolmarc";
    }
    if (!install_dir.empty()) candidates[1] = install_dir + "/voren.tolmarc";
    for (const std::string& path : candidates) {
        if (path.empty() || voren::platform::path_kind(path) != voren::platform::PathKind::Other)
            continue;
        std::string text;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "tolma: unable to open file %s\n", path.c_str());
            return {};
        }
        if (!read_stream(in, text)) {
            std::fprintf(stderr, "tolma: unable to read file %s\n", path.c_str());
            return {};
        }
        if (text.size() < 2) return {};
        if (text.back() != '\n') text += '\n';
        return text;
    }
    return {};
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Arguments of a calling interpreter, when it passed any. The variables are
// removed once read, so that programs this one starts do not take them for
// arguments of their own.
bool arguments_from_caller(std::vector<std::optional<std::string>>& args) {
    auto count = voren::platform::environment_variable("tolma_NB_ARGS");
    if (!count) return false;
    voren::platform::unset_environment_variable("tolma_NB_ARGS");
    long n = std::strtol(count->c_str(), nullptr, 10);
    if (n < 0) n = 0;
    if (n > 100000) n = 100000;
    for (long i = 1; i <= n; ++i) {
        std::string name = "tolma_ARG" + std::to_string(i);
        auto hex = voren::platform::environment_variable(name);
        voren::platform::unset_environment_variable(name);
        if (!hex) {
            args.emplace_back();
            continue;
        }
        std::string bytes;
        for (size_t k = 0; k + 1 < hex->size(); k += 2) {
            int hi = hex_digit((*hex)[k]), lo = hex_digit((*hex)[k + 1]);
            if (hi < 0 || lo < 0) break;
            bytes += static_cast<char>(hi * 16 + lo);
        }
        args.emplace_back(std::move(bytes));
    }
    return true;
}

// Writes a returned value where the calling interpreter reads it: into the
// empty file it made for that, never over anything else.
void hand_back(const std::string& path, const std::string& value) {
    voren::platform::FileStatus st = voren::platform::link_status(path);
    if (st.type != voren::platform::FileType::Regular || st.size != 0) return;
    int error = 0;
    voren::platform::FileHandle file = voren::platform::open_for_overwrite(path, &error);
    if (!file.is_open()) return;
    voren::platform::write_all(file, "R" + value, &error);
    voren::platform::close_file(file, &error);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "--tokens") == 0 || std::strcmp(argv[1], "--tree") == 0))
        return dump(argv[1], argv[2]);
    int first = 1;
    for (; first < argc; ++first) {
        std::string a = argv[first];
        if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (a == "-v" || a == "--version") {
            std::printf("%s\n", kVersion);
            return 0;
        }
        if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "tolma: unknown option %s\n%s", a.c_str(), kHelp);
            return 1;
        }
        break;
    }
    if (first >= argc) {
        std::fputs(kHelp, stderr);
        return 1;
    }
    std::string program_path = argv[first];
    std::string text;
    if (program_path == "-") {
        if (!read_stream(std::cin, text)) {
            std::fprintf(stderr, "tolma: unable to read the program from standard input\n");
            return 1;
        }
    } else if (!read_file(program_path, text)) {
        std::fprintf(stderr, "tolma: unable to open file %s\n", program_path.c_str());
        return 1;
    }

    // A program holds text: a NUL byte means some other kind of file.
    if (text.find('\0') != std::string::npos) {
        std::fprintf(stderr, "tolma: %s is not a text file\n",
                     program_path == "-" ? "the standard input" : program_path.c_str());
        return 1;
    }

    std::string install_dir;
    if (auto home = voren::platform::environment_variable("REXXHOME"))
        install_dir = *home;
    else
        install_dir = voren::platform::program_directory(argv[0]);

    tolma::RunOptions options;
    options.file_name = program_path == "-" ? std::string() : program_path;
    options.executable_name = argv[0];
    options.installation_directory = install_dir;
    options.startup_text = startup_text(install_dir);
    options.halt_flag = &halt_requested;
    std::signal(SIGINT, on_interrupt);
    // A calling interpreter's NOLOAD call wants the returned value back.
    std::string result_file =
        voren::platform::environment_variable(tolma::kResultFileVariable).value_or("");
    voren::platform::unset_environment_variable(tolma::kResultFileVariable);
    if (!arguments_from_caller(options.args)) {
        std::string joined;
        for (int i = first + 1; i < argc; ++i) {
            if (i > first + 1) joined += ' ';
            joined += argv[i];
        }
        if (argc > first + 1) options.args.emplace_back(std::move(joined));
    }

    // The interpreter runs on a thread with a large stack so that deep
    // recursion ends in a report ("Machine resources exhausted.") long
    // before the memory does.
    constexpr std::size_t kStack = 384u * 1024 * 1024;
    int status = voren::platform::run_with_stack(kStack, [&] {
        tolma::Interp in;
        tolma::RunResult r = tolma::run_program(in, text, options);
        // Lines still kept by a stream are written now; a failure is
        // reported and makes the run a failure.
        bool written = tolma::close_streams(in);
        std::fflush(stdout);
        if (!result_file.empty() && r.has_value && !r.error) hand_back(result_file, r.value);
        if (!written && r.exit_status == 0) return 1;
        return r.exit_status;
    });
    return status;
}
