#pragma once
// The REXX parser: token array -> program tree.
//
// A hand-written recursive-descent parser with precedence climbing for
// expressions. Failures throw RexxError with the number the grammar sets for
// the construct being read (55 by default; 18 in IF and WHEN conditions; 7
// after SELECT; 27 in a DO clause; 25 where a sub-keyword is expected; 20
// where a name is expected), at the token that could not be taken. When the
// tokens run out inside an open SELECT, DO or IF the error is 65, 64 or 66
// at that construct's first clause. Nesting deeper than `max_parse_depth` is
// error 61, and so is a chain of more than `max_expression_chain` binary
// operators in one expression (the tree would be too tall to evaluate
// recursively). Memory exhausted while parsing is error 62.
#include "rexx/core/tree.h"

#include <memory>
#include <string_view>

namespace tolma {

constexpr int max_parse_depth = 1000;
constexpr int max_expression_chain = 10000;

// Parses program.tokens into program.clauses and program.labels.
void parse(Program& program);

struct CompileOptions {
    int first_line = 0;              // 0-based line of the text's first line
    bool forbid_precompiled = false; // see lex()
    ProgramOptions options;          // options in force before the text (INTERPRET)
};

// Prepares, lexes and parses a program text. Throws RexxError.
std::unique_ptr<Program> compile(std::string_view text, const CompileOptions& options = {});

} // namespace tolma
