#pragma once
// Helpers shared by the front-end tests: token and tree dumps of a text, and
// the error a text raises.
#include "rexx/core/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tolma::test {

inline std::string tokens_of(std::string_view text, ProgramOptions* options_out = nullptr) {
    Arena arena;
    ProgramOptions options;
    std::string source = prepare_source(text);
    std::string dump = dump_tokens(lex(source, {}, options, arena));
    if (options_out) *options_out = options;
    return dump;
}

inline std::string tree_of(std::string_view text) {
    return dump_tree(*compile(text));
}

// The one expression of a "x = <expr>" clause.
inline std::string expr_of(std::string_view expression) {
    std::string text = "x = ";
    text += expression;
    auto program = compile(text);
    const Clause* clause = program->clauses.first;
    if (!clause || clause->kind != ClauseKind::Assign || clause->next)
        return "<not one assignment>";
    return dump_expr(clause->expr);
}

struct Failure {
    int code = 0;
    int line = 0;
    int column = 0;
    std::string detail;
};

inline Failure failure_of(std::string_view text, const CompileOptions& options = {}) {
    try {
        compile(text, options);
    } catch (const RexxError& error) {
        return {error.code, error.line, error.column, error.detail};
    }
    return {};
}

inline std::ostream& operator<<(std::ostream& out, const Failure& f) {
    return out << "error " << f.code << " at " << f.line << ":" << f.column << " \"" << f.detail
               << "\"";
}

#define EXPECT_FAILS(text, code_, line_, column_)                                                  \
    do {                                                                                           \
        ::tolma::test::Failure f_ = ::tolma::test::failure_of(text);                               \
        EXPECT_EQ(f_.code, code_) << f_;                                                           \
        EXPECT_EQ(f_.line, line_) << f_;                                                           \
        EXPECT_EQ(f_.column, column_) << f_;                                                       \
    } while (0)

} // namespace tolma::test
