// The standalone interpreter. Only the front end exists so far: the hidden
// options --tokens and --tree show what the lexer and the parser make of a
// program; running a program is not available yet.
#include "rexx/core/parser.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

bool read_file(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
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

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "--tokens") == 0 || std::strcmp(argv[1], "--tree") == 0))
        return dump(argv[1], argv[2]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tolma FILE [ARGUMENTS]\n");
        return 1;
    }
    std::fprintf(stderr, "tolma: running programs is not available yet in this build\n");
    return 1;
}
