// Lex and parse arbitrary bytes: the front end must never crash, hang or
// leak, and what it builds must stay inside the program it came from.
#include "rexx/core/parser.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void check_list(const tolma::Program& program, const tolma::ClauseList& list, int depth);

void check_clause(const tolma::Program& program, const tolma::Clause& clause, int depth) {
    check(depth <= tolma::max_parse_depth + 1);
    const char* begin = program.source.data();
    check(clause.text >= begin &&
          clause.text + clause.text_length <= begin + program.source.size());
    check(clause.keyword != nullptr);
    check_list(program, clause.body, depth + 1);
    check_list(program, clause.alt, depth + 1);
    for (const tolma::WhenArm* arm = clause.whens; arm; arm = arm->next)
        check_list(program, arm->body, depth + 1);
}

void check_list(const tolma::Program& program, const tolma::ClauseList& list, int depth) {
    for (const tolma::Clause* c = list.first; c; c = c->next)
        check_clause(program, *c, depth);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        std::unique_ptr<tolma::Program> program = tolma::compile(text);
        for (const tolma::Token& t : program->tokens) {
            check(t.pos <= t.end && t.end <= program->source.size());
            check(t.line >= 0 && t.column >= 0);
            if (t.kind == tolma::SYMBOL || t.kind == tolma::FUNCTION)
                check(t.sym != nullptr && t.sym->name != nullptr);
        }
        check_list(*program, program->clauses, 0);
        std::string dump = tolma::dump_tree(*program);
        check(!dump.empty() || program->clauses.first == nullptr);
    } catch (const tolma::RexxError& error) {
        check(error.code > 0 && error.code < 99);
        check(error.line >= 1 && error.column >= 1);
    }
    return 0;
}
