// The REXX parser: clauses by recursive descent, expressions by precedence
// climbing over the operator levels below.
#include "rexx/core/parser.h"

#include <cstring>
#include <new>
#include <vector>

namespace tolma {

namespace {

// Binding levels of the binary operators, lowest first. Prefix operators
// (level 11) bind tighter than all of them, so -2**2 is 4.
struct BinaryOp {
    ExprOp op;
    int level; // 0: not a binary operator
};

BinaryOp binary_op(int kind) {
    switch (kind) {
    case '|': return {ExprOp::Or, 1};
    case OP_XOR: return {ExprOp::Xor, 1};
    case '&': return {ExprOp::And, 2};
    case OP_NEQ: return {ExprOp::Neq, 3};
    case OP_NNEQ: return {ExprOp::Nneq, 3};
    case '>': return {ExprOp::Sup, 3};
    case OP_SSUP: return {ExprOp::Ssup, 3};
    case '<': return {ExprOp::Inf, 3};
    case OP_IINF: return {ExprOp::Iinf, 3};
    case OP_SUP_EQ: return {ExprOp::SupEq, 3};
    case OP_INF_EQ: return {ExprOp::InfEq, 3};
    case OP_SSUP_EQ: return {ExprOp::SsupEq, 3};
    case OP_IINF_EQ: return {ExprOp::IinfEq, 3};
    case '=': return {ExprOp::Eq, 4};
    case OP_EEQ: return {ExprOp::Eeq, 4};
    case ' ': return {ExprOp::Bl, 5};
    case OP_CONC: return {ExprOp::Conc, 5};
    case '+': return {ExprOp::Plus, 6};
    case '-': return {ExprOp::Min, 6};
    case '*': return {ExprOp::Mult, 7};
    case '/': return {ExprOp::Div, 7};
    case '%': return {ExprOp::Idiv, 7};
    case OP_REMAIN: return {ExprOp::Rem, 7};
    case OP_EXP: return {ExprOp::Exp, 8};
    case OP_EQIC: return {ExprOp::Eqic, 9};
    case OP_NEQIC: return {ExprOp::Neqic, 9};
    case OP_RHO: return {ExprOp::ConcRho, 9};  // term, blank, length of the right term
    case OP_NOT: return {ExprOp::ConcNot, 10}; // term, blank, negation of the right term
    default: return {ExprOp::String, 0};
    }
}

bool starts_expression(int kind) {
    switch (kind) {
    case SYMBOL:
    case STRING:
    case FUNCTION:
    case SFUNCTION:
    case '(':
    case '`':
    case OP_NOT:
    case '+':
    case '-':
    case OP_RHO: return true;
    default: return false;
    }
}

bool is_condition(int kind) {
    return kind == ERROR || kind == FAILURE || kind == HALT || kind == NOVALUE ||
           kind == NOTREADY || kind == SYNTAX;
}

class Parser {
  public:
    explicit Parser(Program& program)
        : program_(program), arena_(program.arena), tokens_(program.tokens.data()),
          count_(program.tokens.size()) {}

    void run() {
        parse_list(program_.clauses, false);
        if (!at_end()) fail_with(55); // an END with no DO or SELECT
    }

  private:
    // ---- token cursor
    bool at_end() const { return pos_ >= count_; }
    int kind() const { return pos_ < count_ ? tokens_[pos_].kind : TOK_NONE; }
    int kind_at(std::size_t at) const { return at < count_ ? tokens_[at].kind : TOK_NONE; }
    Token* current() { return &tokens_[pos_ < count_ ? pos_ : count_ - 1]; }
    Token* take() { return &tokens_[pos_++]; }
    bool accept(int k) {
        if (kind() != k) return false;
        ++pos_;
        return true;
    }
    void expect(int k) {
        if (kind() != k) fail();
        ++pos_;
    }
    bool at_clause_end() const {
        int k = kind();
        return k == ';' || k == ELSE || k == TOK_NONE;
    }

    // ---- errors
    [[noreturn]] void fail() { fail_with(preset_); }
    [[noreturn]] void fail_with(int code, std::string detail = {}) {
        if (at_end()) {
            // The program ended inside an open construct.
            static const struct {
                ClauseKind kind;
                int number;
            } incomplete[] = {{ClauseKind::Select, 65}, {ClauseKind::Do, 64}, {ClauseKind::If, 66}};
            for (const auto& construct : incomplete)
                for (auto it = open_.rbegin(); it != open_.rend(); ++it)
                    if ((*it)->kind == construct.kind) throw_at(construct.number, *(*it)->keyword);
        }
        throw_at(code, *current(), std::move(detail));
    }

    struct DepthGuard {
        Parser& parser;
        explicit DepthGuard(Parser& p) : parser(p) {
            if (++parser.depth_ > max_parse_depth) throw_at(61, *parser.current());
        }
        ~DepthGuard() { --parser.depth_; }
    };

    // ---- nodes
    Clause* new_clause(ClauseKind k, const Token* first) {
        Clause* clause = arena_.make<Clause>();
        clause->kind = k;
        clause->keyword = first;
        clause->line = first->line;
        clause->column = first->column;
        return clause;
    }
    // The clause's source text runs from its first token to the last token taken.
    void set_text(Clause* clause) {
        std::uint32_t start = clause->keyword->pos;
        std::uint32_t end = pos_ > 0 ? tokens_[pos_ - 1].end : start;
        clause->text = program_.source.data() + start;
        clause->text_length = end > start ? end - start : 0;
    }
    static void append(ClauseList& list, Clause* clause) {
        if (list.last)
            list.last->next = clause;
        else
            list.first = clause;
        list.last = clause;
    }
    Expr* leaf(const Token* token) {
        Expr* e = arena_.make<Expr>();
        e->op = token->kind == SYMBOL ? ExprOp::Symbol : ExprOp::String;
        e->token = token;
        return e;
    }
    Expr* node(ExprOp op, const Token* token, Expr* left, Expr* right = nullptr) {
        Expr* e = arena_.make<Expr>();
        e->op = op;
        e->token = token;
        e->left = left;
        e->right = right;
        return e;
    }

    // ---- clause lists
    void parse_list(ClauseList& list, bool nested);
    Clause* parse_clause(ClauseList& list, bool nested);
    Clause* parse_if(bool nested);
    Clause* parse_do(bool nested);
    Clause* parse_select(bool nested);
    Clause* parse_assign(Token* target);
    Clause* parse_call();
    Clause* parse_signal();
    Clause* parse_parse(Token* first);
    Clause* parse_address();
    Clause* parse_numeric();
    Clause* parse_trace();
    Clause* parse_option();
    Clause* parse_leave(ClauseKind k);
    NameItem* parse_names();
    void parse_template(Clause* clause);
    void parse_call_args(Clause* clause);
    Expr* optional_expression() { return at_clause_end() ? nullptr : parse_expression(); }

    // ---- expressions
    Expr* parse_expression() { return parse_binary(1); }
    Expr* parse_binary(int min_level);
    Expr* parse_unary();
    Expr* parse_term();
    Expr* parse_index(Expr* base);
    Expr* parse_function_call();
    void parse_index_parts(Expr*& first, Expr*& second, bool& colon);
    std::size_t matching_bracket(std::size_t open) const;

    Program& program_;
    Arena& arena_;
    Token* tokens_;
    std::size_t count_;
    std::size_t pos_ = 0;
    int preset_ = 55;
    int depth_ = 0;
    int chain_ = 0;             // binary operators on the left spines being built
    std::vector<Clause*> open_; // DO, SELECT and IF clauses being read
    Clause* current_do_ = nullptr;
};

// ---------------------------------------------------------------------------
// Clause lists

void Parser::parse_list(ClauseList& list, bool nested) {
    for (;;) {
        while (accept(';')) {
        }
        if (at_end()) return;
        if (kind() == END) return; // the caller takes it or reports it
        append(list, parse_clause(list, nested));
        if (!at_end() && !accept(';')) fail();
    }
}

Clause* Parser::parse_clause(ClauseList& list, bool nested) {
    DepthGuard guard(*this);
    preset_ = 55;
    if (at_end()) fail();
    Token* first = current();
    Clause* clause = nullptr;
    switch (first->kind) {
    case SYMBOL:
    case STRING:
        if (kind_at(pos_ + 1) == ':') {
            clause = new_clause(ClauseKind::Label, first);
            clause->name = take();
            take();
            clause->nested = nested;
            clause->block = &list;
            program_.labels.push_back(clause);
            break;
        }
        if (first->kind == SYMBOL && kind_at(pos_ + 1) == '=') {
            clause = parse_assign(take());
            break;
        }
        if (first->kind == SYMBOL && kind_at(pos_ + 1) == '[') {
            std::size_t close = matching_bracket(pos_ + 1);
            if (close != SIZE_MAX && kind_at(close + 1) == '=') {
                clause = parse_assign(take());
                break;
            }
        }
        clause = new_clause(ClauseKind::Command, first);
        clause->expr = parse_expression();
        break;
    case IF: return parse_if(nested);
    case DO: return parse_do(nested);
    case SELECT: return parse_select(nested);
    case LEAVE: clause = parse_leave(ClauseKind::Leave); break;
    case ITERATE: clause = parse_leave(ClauseKind::Iterate); break;
    case EXIT:
    case RETURN:
    case PUSH:
    case QUEUE:
    case CD:
    case SAYX:
        clause = new_clause(first->kind == EXIT     ? ClauseKind::Exit
                            : first->kind == RETURN ? ClauseKind::Return
                            : first->kind == PUSH   ? ClauseKind::Push
                            : first->kind == QUEUE  ? ClauseKind::Queue
                            : first->kind == CD     ? ClauseKind::ChangeDir
                                                    : ClauseKind::SayExecute,
                            take());
        clause->expr = optional_expression();
        break;
    case SAY:
    case SAYN:
    case SAYR:
        clause = new_clause(ClauseKind::Say, take());
        clause->variant = static_cast<std::uint8_t>(first->kind == SAY    ? SayForm::Say
                                                    : first->kind == SAYN ? SayForm::SayN
                                                                          : SayForm::SayR);
        clause->expr = optional_expression();
        break;
    case INTERPRET:
        clause = new_clause(ClauseKind::Interpret, take());
        clause->expr = parse_expression();
        break;
    case CALL: clause = parse_call(); break;
    case SIGNAL: clause = parse_signal(); break;
    case PROCEDURE:
        clause = new_clause(ClauseKind::Procedure, take());
        if (accept(EXPOSE)) {
            clause->names = parse_names();
        } else if (!at_clause_end()) {
            preset_ = 25;
            fail();
        }
        break;
    case PARSE:
    case ARG:
    case PULL: clause = parse_parse(first); break;
    case ADDRESS: clause = parse_address(); break;
    case DROP:
    case UPPER:
    case LOWER:
        clause = new_clause(first->kind == DROP    ? ClauseKind::Drop
                            : first->kind == UPPER ? ClauseKind::Upper
                                                   : ClauseKind::Lower,
                            take());
        clause->names = parse_names();
        break;
    case NUMERIC: clause = parse_numeric(); break;
    case TRACE: clause = parse_trace(); break;
    case OPTION: clause = parse_option(); break;
    case NOP: clause = new_clause(ClauseKind::Nop, take()); break;
    default:
        if (!starts_expression(first->kind)) fail();
        clause = new_clause(ClauseKind::Command, first);
        clause->expr = parse_expression();
        break;
    }
    set_text(clause);
    return clause;
}

Clause* Parser::parse_assign(Token* target) {
    Clause* clause = new_clause(ClauseKind::Assign, target);
    clause->name = target;
    if (accept('[')) {
        Expr* first = nullptr;
        Expr* second = nullptr;
        bool colon = false;
        parse_index_parts(first, second, colon);
        clause->index1 = first;
        clause->index2 = second;
        clause->variant = static_cast<std::uint8_t>(!colon   ? IndexForm::Single
                                                    : !first ? IndexForm::UpTo
                                                    : second ? IndexForm::Range
                                                             : IndexForm::From);
    }
    expect('=');
    clause->expr = optional_expression();
    return clause;
}

Clause* Parser::parse_if(bool nested) {
    Clause* clause = new_clause(ClauseKind::If, take());
    open_.push_back(clause);
    preset_ = 18;
    clause->expr = parse_expression();
    if (kind() != THEN) fail();
    take();
    set_text(clause);
    accept(';');
    append(clause->body, parse_clause(clause->body, true));
    if (accept(ELSE)) {
        clause->has_else = true;
        append(clause->alt, parse_clause(clause->alt, true));
    }
    open_.pop_back();
    (void)nested;
    return clause;
}

Clause* Parser::parse_do(bool nested) {
    Clause* clause = new_clause(ClauseKind::Do, take());
    open_.push_back(clause);
    preset_ = 27;
    LoopSpec* loop = arena_.make<LoopSpec>();
    clause->loop = loop;
    loop->enclosing = current_do_;
    if (kind() == SYMBOL && kind_at(pos_ + 1) == '=') {
        loop->form = LoopForm::Controlled;
        loop->control = take();
        take();
        loop->start = parse_expression();
        while (kind() == TO || kind() == BY || kind() == FOR) {
            int k = kind();
            std::uint8_t which = k == TO ? LOOP_TO : k == BY ? LOOP_BY : LOOP_FOR;
            for (int i = 0; i < loop->order_count; ++i) {
                if (loop->order[i] == which) {
                    fail_with(27, k == TO   ? "\"TO\" has been used twice."
                                  : k == BY ? "\"BY\" has been used twice."
                                            : "\"FOR\" has been used twice.");
                }
            }
            take();
            Expr* e = parse_expression();
            (k == TO ? loop->to : k == BY ? loop->by : loop->for_count) = e;
            loop->order[loop->order_count++] = which;
        }
    } else if (kind() == SYMBOL && kind_at(pos_ + 1) == IN) {
        loop->form = LoopForm::In;
        loop->control = take();
        take();
        loop->start = parse_expression();
    } else if (kind() == FOREVER) {
        take();
        loop->form = LoopForm::Forever;
        loop->forever = true;
    } else if (kind() == WHILE || kind() == UNTIL) {
        loop->form = LoopForm::Forever;
    } else if (kind() != ';') {
        loop->form = LoopForm::Count;
        loop->start = parse_expression();
    }
    while (kind() == WHILE || kind() == UNTIL) {
        bool until = kind() == UNTIL;
        if (loop->condition) {
            if (until && loop->until) fail_with(27, "\"UNTIL\" has been used twice.");
            if (until != loop->until) fail_with(27, "\"WHILE\" has been used with \"UNTIL\".");
            fail(); // a second WHILE
        }
        take();
        loop->until = until;
        loop->condition = parse_expression();
    }
    if (kind() != ';') fail();
    set_text(clause);
    take();
    Clause* outer_do = current_do_;
    current_do_ = clause;
    parse_list(clause->body, true);
    current_do_ = outer_do;
    if (kind() != END) fail();
    take();
    preset_ = 55;
    if (kind() == SYMBOL) {
        const Token* name = current();
        if (!loop->control)
            fail_with(27, "A \"END symbol\" clause may only be used with a controlled "
                          "repetitive loop");
        const SymbolInfo* a = name->sym;
        const SymbolInfo* b = loop->control->sym;
        if (a->length != b->length || std::memcmp(a->name, b->name, a->length) != 0)
            fail_with(27, "Only the controlling variable" + std::string(b->name, b->length) +
                              " can be specified.");
        take();
    }
    open_.pop_back();
    (void)nested;
    return clause;
}

Clause* Parser::parse_select(bool nested) {
    Clause* clause = new_clause(ClauseKind::Select, take());
    open_.push_back(clause);
    set_text(clause);
    preset_ = 7;
    if (kind() != ';') fail();
    WhenArm* last_arm = nullptr;
    for (;;) {
        while (accept(';')) {
        }
        preset_ = 7;
        if (kind() == WHEN) {
            WhenArm* arm = arena_.make<WhenArm>();
            arm->token = take();
            preset_ = 18;
            arm->condition = parse_expression();
            if (kind() != THEN) fail();
            take();
            arm->text = program_.source.data() + arm->token->pos;
            arm->text_length = tokens_[pos_ - 1].end - arm->token->pos;
            accept(';');
            append(arm->body, parse_clause(arm->body, true));
            if (last_arm)
                last_arm->next = arm;
            else
                clause->whens = arm;
            last_arm = arm;
            if (!at_end() && !accept(';')) fail();
            continue;
        }
        if (!clause->whens) fail(); // WHEN or OTHERWISE expected (a WHEN first)
        if (kind() == OTHERWISE) {
            take();
            clause->has_otherwise = true;
            parse_list(clause->body, true);
        }
        if (kind() != END) fail();
        take();
        preset_ = 55;
        break;
    }
    open_.pop_back();
    (void)nested;
    return clause;
}

Clause* Parser::parse_leave(ClauseKind k) {
    Clause* clause = new_clause(k, take());
    clause->enclosing_do = current_do_;
    if (at_clause_end()) return clause;
    Expr* e = parse_expression();
    if (e->op != ExprOp::Symbol)
        throw_at(28, *e->token, "LEAVE or ITERATE may only be followed by a SYMBOL.");
    clause->name = e->token;
    return clause;
}

Clause* Parser::parse_call() {
    Token* keyword = take();
    preset_ = 25;
    if (kind() == ON || kind() == OFF) {
        Clause* clause = new_clause(ClauseKind::CallOn, keyword);
        clause->on = take()->kind == ON;
        if (!is_condition(kind()) || kind() == SYNTAX) fail();
        clause->condition = take()->kind;
        if (clause->on && accept(NAME)) {
            preset_ = 20;
            if (kind() != SYMBOL) fail();
            clause->name = take();
        }
        preset_ = 55;
        return clause;
    }
    int k = kind();
    if (k != SYMBOL && k != STRING && k != FUNCTION && k != SFUNCTION) fail();
    Clause* clause = new_clause(ClauseKind::Call, keyword);
    clause->name = take();
    preset_ = 55;
    parse_call_args(clause);
    return clause;
}

// CALL arguments: a comma-separated list, or the same list in parentheses.
void Parser::parse_call_args(Clause* clause) {
    std::vector<Expr*> args;
    bool enclosed = false;
    if (kind() == '(') {
        int level = 0;
        std::size_t at = pos_;
        for (; at < count_; ++at) {
            int k = tokens_[at].kind;
            if (k == '(') ++level;
            if (k == ')' && --level == 0) break;
            if (k == ';' && kind_at(at - 1) != ':') break;
        }
        int after = kind_at(at + 1);
        enclosed = kind_at(at) == ')' && (after == ';' || after == ELSE || after == TOK_NONE);
    }
    if (enclosed) {
        DepthGuard guard(*this);
        take();
        if (kind() == VIDE && kind_at(pos_ + 1) == ')') {
            take();
            take();
        } else {
            for (;;) {
                args.push_back(accept(VIDE) ? nullptr : parse_expression());
                if (accept(')')) break;
                expect(',');
            }
        }
    } else if (!at_clause_end()) {
        for (;;) {
            args.push_back(accept(VIDE) ? nullptr : parse_expression());
            if (!accept(',')) break;
        }
    }
    clause->nargs = static_cast<std::uint32_t>(args.size());
    clause->args = arena_.make_array<Expr*>(args.size());
    for (std::size_t i = 0; i < args.size(); ++i)
        clause->args[i] = args[i];
}

Clause* Parser::parse_signal() {
    Token* keyword = take();
    preset_ = 25;
    if (kind() == ON || kind() == OFF) {
        Clause* clause = new_clause(ClauseKind::SignalOn, keyword);
        clause->on = take()->kind == ON;
        if (!is_condition(kind())) fail();
        clause->condition = take()->kind;
        if (clause->on && accept(NAME)) {
            preset_ = 20;
            if (kind() != SYMBOL) fail();
            clause->name = take();
        }
        preset_ = 55;
        return clause;
    }
    Clause* clause = new_clause(ClauseKind::Signal, keyword);
    if (accept(VALUE)) {
        preset_ = 55;
        clause->expr = parse_expression();
    } else if (kind() == SYMBOL || kind() == STRING) {
        clause->name = take();
    } else {
        fail();
    }
    preset_ = 55;
    return clause;
}

NameItem* Parser::parse_names() {
    preset_ = 20;
    NameItem* first = nullptr;
    NameItem* last = nullptr;
    for (;;) {
        NameItem* item = nullptr;
        if (kind() == SYMBOL) {
            item = arena_.make<NameItem>();
            item->symbol = take();
        } else if (kind() == '(') {
            take();
            if (kind() != SYMBOL) fail();
            item = arena_.make<NameItem>();
            item->symbol = take();
            item->indirect = true;
            expect(')');
        } else {
            break;
        }
        if (last)
            last->next = item;
        else
            first = item;
        last = item;
    }
    if (!first) fail();
    return first; // anything after the names fails at the clause end with 20
}

Clause* Parser::parse_parse(Token* first) {
    Clause* clause = new_clause(ClauseKind::Parse, take());
    if (first->kind == ARG || first->kind == PULL) {
        clause->variant =
            static_cast<std::uint8_t>(first->kind == ARG ? ParseSource::Arg : ParseSource::Pull);
        parse_template(clause);
        return clause;
    }
    preset_ = 25;
    if (kind() == UPPER || kind() == LOWER)
        clause->parse_case = take()->kind == UPPER ? ParseCase::Upper : ParseCase::Lower;
    ParseSource source;
    switch (kind()) {
    case ARG: source = ParseSource::Arg; break;
    case PULL: source = ParseSource::Pull; break;
    case LINEIN: source = ParseSource::Linein; break;
    case SOURCE: source = ParseSource::Source; break;
    case VERSION: source = ParseSource::Version; break;
    case NUMERIC: source = ParseSource::Numeric; break;
    case VAR: source = ParseSource::Var; break;
    case VALUE: source = ParseSource::Value; break;
    default: fail();
    }
    take();
    clause->variant = static_cast<std::uint8_t>(source);
    if (source == ParseSource::Var) {
        preset_ = 20;
        if (kind() != SYMBOL) fail();
        clause->name = take();
    } else if (source == ParseSource::Value) {
        preset_ = 55;
        if (kind() != WITH) clause->expr = parse_expression();
        preset_ = 25;
        expect(WITH);
    }
    preset_ = 55;
    parse_template(clause);
    return clause;
}

// The template: every token up to the clause end, chained through `next`.
void Parser::parse_template(Clause* clause) {
    Token* last = nullptr;
    while (!at_clause_end()) {
        Token* t = take();
        t->next = nullptr;
        if (last)
            last->next = t;
        else
            clause->template_first = t;
        last = t;
        ++clause->template_count;
    }
}

Clause* Parser::parse_address() {
    Clause* clause = new_clause(ClauseKind::Address, take());
    preset_ = 25;
    if (at_clause_end()) {
        clause->variant = static_cast<std::uint8_t>(AddressForm::Swap);
    } else if (kind() == ENVIRON) {
        clause->name = take();
        preset_ = 55;
        clause->expr = optional_expression();
        clause->variant =
            static_cast<std::uint8_t>(clause->expr ? AddressForm::Run : AddressForm::Set);
    } else if (accept(VALUE)) {
        preset_ = 55;
        clause->expr = parse_expression();
        clause->variant = static_cast<std::uint8_t>(AddressForm::Value);
    } else {
        fail();
    }
    return clause;
}

Clause* Parser::parse_numeric() {
    Clause* clause = new_clause(ClauseKind::Numeric, take());
    preset_ = 25;
    if (kind() == DIGITS || kind() == FUZZ) {
        clause->variant = static_cast<std::uint8_t>(take()->kind == DIGITS ? NumericForm::Digits
                                                                           : NumericForm::Fuzz);
        preset_ = 55;
        clause->expr = optional_expression();
    } else if (accept(FORM)) {
        if (accept(SCIENTIFIC)) {
            clause->variant = static_cast<std::uint8_t>(NumericForm::FormScientific);
        } else if (accept(ENGINEERING)) {
            clause->variant = static_cast<std::uint8_t>(NumericForm::FormEngineering);
        } else if (accept(VALUE)) {
            clause->variant = static_cast<std::uint8_t>(NumericForm::FormValue);
            preset_ = 55;
            clause->expr = parse_expression();
        } else {
            fail();
        }
    } else {
        fail();
    }
    return clause;
}

Clause* Parser::parse_trace() {
    Clause* clause = new_clause(ClauseKind::Trace, take());
    preset_ = 25;
    if (at_clause_end()) {
        clause->variant = static_cast<std::uint8_t>(TraceForm::Default);
    } else if (accept(VALUE)) {
        preset_ = 55;
        clause->variant = static_cast<std::uint8_t>(TraceForm::Value);
        clause->expr = parse_expression();
    } else if (kind() == SYMBOL || kind() == STRING) {
        clause->variant = static_cast<std::uint8_t>(TraceForm::Setting);
        clause->name = take();
    } else {
        fail();
    }
    return clause;
}

Clause* Parser::parse_option() {
    Clause* clause = new_clause(ClauseKind::Option, take());
    preset_ = 25;
    int words = 0;
    for (;; ++words) {
        int k = kind();
        if (k != UPPER && k != LOWER && k != MIXED && k != SETENV && k != UNSETENV && k != LOAD &&
            k != NOLOAD && k != GLOBALV && k != NOGLOBALV)
            break;
        take();
    }
    if (words == 0) fail();
    return clause;
}

// ---------------------------------------------------------------------------
// Expressions

// Left-associative chains grow the tree without growing this parser's
// stack, so their length is counted too: the evaluator walks the tree
// recursively and must not meet a tree taller than the limit.
Expr* Parser::parse_binary(int min_level) {
    Expr* left = parse_unary();
    int built = 0;
    for (;;) {
        BinaryOp op = binary_op(kind());
        if (op.level < min_level || op.level == 0) break;
        const Token* token = take();
        if (++chain_ > max_expression_chain) throw_at(61, *token);
        ++built;
        Expr* right = parse_binary(op.level + 1);
        left = node(op.op, token, left, right);
    }
    chain_ -= built;
    return left;
}

Expr* Parser::parse_unary() {
    ExprOp op;
    switch (kind()) {
    case OP_NOT: op = ExprOp::Not; break;
    case '+': op = ExprOp::UPlus; break;
    case '-': op = ExprOp::UMin; break;
    case OP_RHO: op = ExprOp::Rho; break;
    default: return parse_term();
    }
    DepthGuard guard(*this);
    const Token* token = take();
    return node(op, token, parse_unary());
}

Expr* Parser::parse_term() {
    Expr* e = nullptr;
    switch (kind()) {
    case SYMBOL:
    case STRING: e = leaf(take()); break;
    case '(': {
        DepthGuard guard(*this);
        take();
        e = parse_expression();
        expect(')');
        break;
    }
    case FUNCTION:
    case SFUNCTION: return parse_function_call();
    case '`': {
        DepthGuard guard(*this);
        const Token* open = take();
        Expr* inner = parse_expression();
        expect('`');
        return node(ExprOp::BackQ, open, inner);
    }
    default: fail();
    }
    if (kind() == '[') return parse_index(e);
    return e;
}

Expr* Parser::parse_function_call() {
    DepthGuard guard(*this);
    Expr* call = arena_.make<Expr>();
    call->op = ExprOp::Call;
    call->token = take();
    expect('(');
    std::vector<Expr*> args;
    if (kind() == VIDE && kind_at(pos_ + 1) == ')') {
        take(); // f(): no argument at all
    } else {
        for (;;) {
            args.push_back(accept(VIDE) ? nullptr : parse_expression());
            if (kind() == ')') break;
            expect(',');
        }
    }
    expect(')');
    call->nargs = static_cast<std::uint32_t>(args.size());
    call->args = arena_.make_array<Expr*>(args.size());
    for (std::size_t i = 0; i < args.size(); ++i)
        call->args[i] = args[i];
    return call;
}

// After "[": i "]" | i ":" "]" | ":" j "]" | i ":" j "]". The lexer puts a
// ";" after every ":", which is taken here.
void Parser::parse_index_parts(Expr*& first, Expr*& second, bool& colon) {
    first = second = nullptr;
    colon = false;
    if (kind() != ':') first = parse_expression();
    if (accept(':')) {
        colon = true;
        accept(';');
        if (kind() != ']') second = parse_expression();
        if (!first && !second) fail(); // "[:]"
    }
    expect(']');
}

Expr* Parser::parse_index(Expr* base) {
    DepthGuard guard(*this);
    const Token* open = take();
    Expr* first = nullptr;
    Expr* second = nullptr;
    bool colon = false;
    parse_index_parts(first, second, colon);
    Expr* e = arena_.make<Expr>();
    // [i] and [i:j] are fx_br; [i:] and [:j] are fx_br2.
    e->op = !colon || (first && second) ? ExprOp::Br : ExprOp::Br2;
    e->token = open;
    e->left = base;
    e->right = first;
    e->third = second;
    return e;
}

std::size_t Parser::matching_bracket(std::size_t open) const {
    int level = 0;
    for (std::size_t at = open; at < count_; ++at) {
        int k = tokens_[at].kind;
        if (k == '[') ++level;
        if (k == ']' && --level == 0) return at;
        if (k == ';' && kind_at(at - 1) != ':') return SIZE_MAX;
    }
    return SIZE_MAX;
}

} // namespace

void parse(Program& program) {
    program.clauses = {};
    program.labels.clear();
    if (program.tokens.empty()) return;
    try {
        Parser(program).run();
    } catch (const std::bad_alloc&) {
        program.clauses = {};
        program.labels.clear();
        throw RexxError{62, {}, 0, 0};
    }
}

std::unique_ptr<Program> compile(std::string_view text, const CompileOptions& options) {
    auto program = std::make_unique<Program>();
    program->source = prepare_source(text);
    program->first_line = options.first_line;
    program->options = options.options;
    LexOptions lex_options;
    lex_options.first_line = options.first_line;
    lex_options.forbid_precompiled = options.forbid_precompiled;
    program->tokens = lex(program->source, lex_options, program->options, program->arena);
    parse(*program);
    return program;
}

} // namespace tolma
