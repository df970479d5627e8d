#pragma once
// The program tree: clause lists and expression trees.
//
// Every node lives in the program's arena and points at the program's tokens
// (leaves of expressions are tokens; names are tokens). A Program is built
// whole by `compile` (parser.h) and never changes afterwards, except for the
// slots that belong to the executor and the variable pool (Token::pool_ref,
// Expr::exec_slot, Expr::exec_fn, Expr::exec_form, Clause::exec_slot).
#include "rexx/core/arena.h"
#include "rexx/core/lexer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tolma {

// ---------------------------------------------------------------------------
// Expressions

enum class ExprOp : std::uint8_t {
    Symbol, // leaf: a variable reference (token kind SYMBOL)
    String, // leaf: a literal (token kind STRING; quoted or a number)
    // binary
    Or,
    Xor,
    And,
    Eq,
    Neq,
    Eeq,
    Nneq,
    Eqic,
    Neqic,
    Sup,
    Inf,
    SupEq,
    InfEq,
    Ssup,
    Iinf,
    SsupEq,
    IinfEq,
    Bl,
    Conc,
    Plus,
    Min,
    Mult,
    Div,
    Idiv,
    Rem,
    Exp,
    ConcRho,
    ConcNot,
    // prefix
    Not,
    UPlus,
    UMin,
    Rho,
    // others
    BackQ, // `expr`: the output of an operating-system command
    Br,    // base[i] and base[i:j]
    Br2,   // base[i:] and base[:j]
    Call,  // function call
};

enum class Arity : std::uint8_t { Leaf, Unary, Binary, Call, Ternary };

struct Expr {
    ExprOp op = ExprOp::String;
    std::uint8_t exec_form = 0; // free for the executor (e.g. the shape of a comparison)
    // Leaf: the token itself. Operator: the operator's token (its position
    // is the operator's position; inserted blanks and OP_CONC have one too).
    // Call: the FUNCTION or SFUNCTION token. Br/Br2: the "[" token.
    // BackQ: the opening "`".
    const Token* token = nullptr;
    Expr* left = nullptr;  // unary/binary operand, Br/Br2 base
    Expr* right = nullptr; // binary right operand, Br/Br2 first index (or none)
    Expr* third = nullptr; // Br/Br2 second index (or none)
    Expr** args = nullptr; // Call: `nargs` arguments; nullptr stands for an omitted one
    std::uint32_t nargs = 0;
    void* exec_slot = nullptr; // free for the executor (e.g. a resolved routine)
    void* exec_fn = nullptr;   // free for the executor (the node's evaluation routine)
};

Arity expr_arity(ExprOp op);
// The evaluation routine's name as traces show it: "fx_plus", "fx_br2", ...;
// "symbol", "string" and "call" for leaves and calls.
const char* expr_op_name(ExprOp op);
// The operator as traces write it: " " for blank concatenation, backslash and
// "=" for every spelling of not-equal, "||" for abuttal too; "" for leaves, calls,
// back quotes and indexed terms.
const char* expr_op_symbol(ExprOp op);

// ---------------------------------------------------------------------------
// Clauses

enum class ClauseKind : std::uint8_t {
    Command,
    Assign,
    Label,
    If,
    Do,
    Select,
    Leave,
    Iterate,
    Exit,
    Return,
    Call,
    CallOn,
    SignalOn,
    Signal,
    Push,
    Queue,
    Procedure,
    Parse,
    Address,
    Option,
    Drop,
    Interpret,
    Numeric,
    Say,
    SayExecute,
    Upper,
    Lower,
    Trace,
    ChangeDir,
    Nop,
};

struct Clause;

struct ClauseList {
    Clause* first = nullptr;
    Clause* last = nullptr;
};

// Indexed assignment forms (Clause::variant of Assign).
enum class IndexForm : std::uint8_t {
    None,   // v = e
    Single, // v[i] = e
    Range,  // v[i:j] = e
    From,   // v[i:] = e
    UpTo,   // v[:j] = e
};

enum class SayForm : std::uint8_t { Say, SayN, SayR };
enum class NumericForm : std::uint8_t { Digits, Fuzz, FormScientific, FormEngineering, FormValue };
enum class ParseSource : std::uint8_t { Arg, Pull, Linein, Source, Version, Numeric, Var, Value };
enum class ParseCase : std::uint8_t { AsIs, Upper, Lower };
enum class AddressForm : std::uint8_t {
    Swap,  // ADDRESS
    Set,   // ADDRESS env
    Run,   // ADDRESS env expr
    Value, // ADDRESS VALUE expr
};
enum class TraceForm : std::uint8_t { Default, Setting, Value };

enum class LoopForm : std::uint8_t {
    Simple,     // DO
    Count,      // DO expr
    Forever,    // DO FOREVER, or WHILE/UNTIL only
    Controlled, // DO name = expr [TO e] [BY e] [FOR e]
    In,         // DO name IN expr
};

enum : std::uint8_t { LOOP_TO = 1, LOOP_BY = 2, LOOP_FOR = 3 };

struct LoopSpec {
    LoopForm form = LoopForm::Simple;
    const Token* control = nullptr; // Controlled, In: the control variable (SYMBOL)
    Expr* start = nullptr; // Controlled: the initial value; Count: the count; In: the words
    Expr* to = nullptr;
    Expr* by = nullptr;
    Expr* for_count = nullptr;
    std::uint8_t order[3] = {}; // LOOP_TO/LOOP_BY/LOOP_FOR in the order written
    std::uint8_t order_count = 0;
    Expr* condition = nullptr;   // the WHILE or UNTIL expression
    bool until = false;          // the condition is UNTIL (else WHILE)
    bool forever = false;        // FOREVER was written
    Clause* enclosing = nullptr; // the DO clause around this one
};

struct WhenArm {
    const Token* token = nullptr; // the WHEN keyword
    const char* text = nullptr;   // source text "when ... then"
    std::uint32_t text_length = 0;
    Expr* condition = nullptr;
    ClauseList body; // the one clause after THEN
    WhenArm* next = nullptr;
};

struct NameItem {
    const Token* symbol = nullptr; // a SYMBOL
    bool indirect = false;         // written in parentheses: the value lists the names
    NameItem* next = nullptr;
};

// One clause. The operands used by each kind:
//   Command     expr
//   Assign      name (target symbol), variant IndexForm, index1, index2, expr (none: "")
//   Label       name (SYMBOL, or STRING for a quoted label), block, nested
//   If          expr (condition), body (THEN list), alt (ELSE list, empty if none),
//               has_else
//   Do          loop, body
//   Select      whens, body (OTHERWISE list), has_otherwise
//   Leave/Iterate name (the loop's control variable, or none), enclosing_do
//   Exit/Return/Push/Queue/ChangeDir/Interpret  expr (or none)
//   Call        name (SYMBOL, STRING, FUNCTION or SFUNCTION token), args/nargs
//   CallOn/SignalOn  condition (ERROR, FAILURE, HALT, NOVALUE, NOTREADY, SYNTAX),
//               on (true for ON), name (NAME symbol, or none)
//   Signal      name (label SYMBOL or STRING), or expr for SIGNAL VALUE
//   Procedure   names (the EXPOSE list, or none)
//   Parse       variant ParseSource, parse_case, name (VAR symbol), expr (VALUE expr,
//               or none), template_first/template_count (the template chain)
//   Address     variant AddressForm, name (ENVIRON token), expr (command or VALUE expr)
//   Option      none at run time (the lexer applied the words)
//   Drop/Upper/Lower names
//   Numeric     variant NumericForm, expr (or none)
//   Say         variant SayForm, expr (or none); SayExecute: expr (or none)
//   Trace       variant TraceForm, name (SYMBOL or STRING setting), expr (VALUE)
//   Nop         nothing
struct Clause {
    ClauseKind kind = ClauseKind::Nop;
    std::uint8_t variant = 0;
    ParseCase parse_case = ParseCase::AsIs;
    bool nested = false;        // Label: inside a DO, SELECT or IF list
    bool has_else = false;      // If
    bool has_otherwise = false; // Select
    bool on = false;            // CallOn, SignalOn
    int condition = 0;          // CallOn, SignalOn: token kind of the condition
    int line = 0;               // 0-based line of the first token
    int column = 0;             // 0-based column of the first token
    const char* text = nullptr; // the clause's source text (for TRACE)
    std::uint32_t text_length = 0;
    Clause* next = nullptr;

    const Token* keyword = nullptr; // first token of the clause
    const Token* name = nullptr;
    Expr* expr = nullptr;
    Expr* index1 = nullptr;
    Expr* index2 = nullptr;
    Expr** args = nullptr; // Call: nullptr stands for an omitted argument
    std::uint32_t nargs = 0;
    ClauseList body;
    ClauseList alt;
    LoopSpec* loop = nullptr;
    WhenArm* whens = nullptr;
    NameItem* names = nullptr;
    Token* template_first = nullptr; // chained through Token::next
    std::uint32_t template_count = 0;
    const ClauseList* block = nullptr; // Label: the list that holds it
    Clause* enclosing_do = nullptr;    // Leave/Iterate: the innermost DO around it, if any
    void* exec_slot = nullptr;         // free for the executor
    void* exec_fn = nullptr;           // free for the executor (the clause's routine)
};

const char* clause_kind_name(ClauseKind kind);

// ---------------------------------------------------------------------------
// A compiled program

struct Program {
    std::string source;     // the prepared text (token positions index into it)
    int first_line = 0;     // 0-based line number of the source's first line
    ProgramOptions options; // as left by the OPTION clauses
    Arena arena;            // symbol analyses, token texts, every node
    std::vector<Token> tokens;
    ClauseList clauses;          // the top-level list
    std::vector<Clause*> labels; // every label, in source order

    std::string_view clause_text(const Clause& clause) const {
        return {clause.text, clause.text_length};
    }
};

// Readable forms of the tree for tests and the hidden --tree option.
//   expression:  (fx_plus a (fx_mult "2" 3))
//   clauses:     one per line, nested lists indented by two blanks.
std::string dump_expr(const Expr* expr);
std::string dump_clauses(const ClauseList& list, int indent = 0);
std::string dump_tree(const Program& program);

} // namespace tolma
