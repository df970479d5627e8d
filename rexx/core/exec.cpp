// The executor: clause lists, expressions, routine calls, PARSE, INTERPRET.
#include "rexx/core/exec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <unordered_map>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/host_command.h"
#include "platform/process.h"
#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/core/external.h"
#include "rexx/core/parser.h"
#include "rexx/core/pool.h"
#include "rexx/core/trace.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/execio.h"
#include "rexx/lib/streams.h"

namespace tolma {

const char* const kLanguageVersion = "REXX 4.00 14 Nov 2024 TOLMA 3.09";

std::string parse_source_text(std::string_view file_name, std::string_view executable) {
    auto word = [](std::string_view w) { return w.empty() ? std::string("\"\"") : std::string(w); };
    size_t slash = file_name.find_last_of('/');
    std::string_view dir =
        slash == std::string_view::npos ? std::string_view() : file_name.substr(0, slash + 1);
    std::string_view base =
        slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
    size_t dot = base.find('.');
    std::string_view name = dot == std::string_view::npos ? base : base.substr(0, dot);
    std::string_view ext = dot == std::string_view::npos ? std::string_view() : base.substr(dot);
    size_t eslash = executable.find_last_of('/');
    std::string_view exe =
        eslash == std::string_view::npos ? executable : executable.substr(eslash + 1);
    size_t edot = exe.find('.');
    if (edot != std::string_view::npos) exe = exe.substr(0, edot);
    std::string dir_text(dir);
    if (dir_text.empty() && !file_name.empty()) {
        if (auto cwd = voren::platform::current_directory()) dir_text = *cwd + "/";
    }
    return "VOREN MACRO " + word(name) + " " + word(ext) + " " + word(dir_text) + " " + word(exe);
}

// ---------------------------------------------------------------- state

namespace {

// Label names are looked up by string_view, without building a string.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// A label name found lately, and its label.
struct LabelMemo {
    std::string name;
    const Clause* label = nullptr;
};

struct Unit;

// A SELECT whose every WHEN compares the same simple variable with a whole
// number literal by "=": once each comparison has been tested a first time,
// the variable is read once and its value looked for among the literals.
struct SelectPlan {
    const Expr* variable = nullptr;   // the first WHEN's left operand
    std::vector<double> values;       // each WHEN's literal
    std::vector<const WhenArm*> arms; // in order
};

// The label a SIGNAL clause found in the unit that ran it.
struct SignalMemo {
    const Unit* unit = nullptr;
    const Clause* target = nullptr;
};

struct Unit {
    std::unique_ptr<Program> program;
    std::unordered_map<std::string, const Clause*, NameHash, std::equal_to<>> labels;
    bool interpreted = false;
    std::vector<std::string> lines; // INTERPRET: the text's lines
    // The last few names found: a SIGNAL or trap taken again and again
    // finds its label without hashing. (Labels are only ever added, so a
    // name found stays found; misses are not kept.)
    mutable std::array<LabelMemo, 4> memo;
    mutable unsigned memo_next = 0;
};

// A clause list being run for a routine or an INTERPRET string. SIGNAL looks
// for its label in the innermost body's unit, then outward through the
// INTERPRET strings of the same routine.
struct Body {
    Unit* unit = nullptr;
    Body* outer = nullptr;
};

struct Frame {
    std::vector<RexxValue> args;
    std::vector<uint8_t> present; // 1: argument i was given
    bool internal = false;        // a called routine, not the program itself
    bool procedure = false;       // PROCEDURE made a generation
    size_t loop_base = 0;         // loops below this index belong to callers
    // SIGL's record in the generation numbered sigl_gen, as last set here.
    uint64_t sigl_gen = 0;
    Variable* sigl_rec = nullptr;
};

enum class Pending : uint8_t { None, Leave, Iterate, Return, Signal };

struct ExitProgram {};

struct CallTarget {
    // Extract: the host's implicit EXTRACT; Child: an external routine run by
    // a child interpreter (NOLOAD); HostMacro: a host macro run as a command.
    enum Kind : uint8_t { Label, Builtin, Own, Extract, Child, HostMacro } kind = Label;
    const Clause* label = nullptr;
    std::string file; // Child: the routine's file; HostMacro: the macro's name
    BuiltinHandler handler = nullptr;
    BuiltinInto into = nullptr; // the built-in's handler making its result in place
    RexxValue (*own)(ExecState&, Args&) = nullptr;
    std::string_view msg_name;
    std::string name;
    bool copy_args = false;        // an argument calls a function: keep each value apart
    std::vector<ArgPos> positions; // of each argument expression; 0 when omitted
};

// An external routine's file loaded as a unit of the program: its entry is
// a label named as the call was written, standing before the file's first
// line, so the file's lines keep their own numbers.
struct LoadedUnit {
    Unit unit;
    std::string label_text; // "name":
    Token label_token;
    Clause entry;
};

} // namespace

struct ExecState {
    Interp& in;
    RunOptions opt;
    std::unique_ptr<Unit> main;
    std::deque<SymbolRef> symbols;
    std::unordered_map<std::string_view, const SymbolRef*> symbol_index; // by folded text
    std::deque<RexxValue> constants;
    std::deque<CallTarget> targets;
    // INTERPRET strings compiled so far, by their text.
    std::unordered_map<std::string, std::unique_ptr<Unit>, NameHash, std::equal_to<>>
        interpret_cache;
    // External routines loaded so far, and their entries by called name.
    std::deque<std::unique_ptr<LoadedUnit>> loaded;
    std::unordered_map<std::string, const Clause*> external_entries;
    EnvironmentTable own_environments; // RunOptions::environments
    EnvironmentTable* envs = nullptr;  // the table the run uses
    LibState lib;
    std::vector<Frame*> frames;
    std::vector<const LoopSpec*> loops;
    Body* body = nullptr;
    Pending pending = Pending::None;
    const SymbolInfo* pending_name = nullptr;
    const Clause* signal_label = nullptr;
    Body* signal_body = nullptr;
    bool has_return = false;
    RexxValue return_value;
    char* stack_limit = nullptr;
    int call_depth = 0;
    bool interpreted = false;
    bool pause_line = false;
    unsigned long long clause_count = 0;
    bool trace_changed = false; // a TRACE ran (while a typed line runs)
    int depth = 0;              // expression nesting for trace indentation
    // An error handed back by return instead of thrown: the expression
    // routines return null and the clause that ran them takes or throws it.
    bool failed = false;
    RexxError failure;
    // The halt request: RunOptions::halt_flag, or a flag nobody sets.
    volatile std::sig_atomic_t no_halt = 0;
    volatile std::sig_atomic_t* halt = &no_halt;
    // What every clause looks at before it runs: the halt request, or a
    // flag always set when a clause budget needs counting.
    volatile std::sig_atomic_t always = 1;
    volatile std::sig_atomic_t* attention = &no_halt;
    std::string say_buffer;
    SymbolRef sigl; // SIGL, spelt per the case mode; analysed at its first setting
    SymbolRef rc;   // RC, the same way
    std::deque<SignalMemo> signal_memos; // of the SIGNAL clauses run so far
    std::deque<SelectPlan> select_plans; // of the SELECT clauses run so far
    // Strings PARSE works on, reused; a PARSE run by a NOVALUE handler in the
    // middle of another takes the next one.
    std::deque<std::string> parse_buffers;
    size_t parse_depth = 0;
    // The analysed templates of the PARSE clauses run so far.
    std::vector<std::unique_ptr<struct ParsePlan>> parse_plans;
    // Frames of internal calls, reused from call to call so that a call's
    // argument lists need no allocation; frames_taken are in use.
    std::vector<std::unique_ptr<Frame>> frame_pool;
    size_t frames_taken = 0;

    explicit ExecState(Interp& i) : in(i) {}
};

namespace {

using X = ExecState;

// ---------------------------------------------------------------- helpers

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

const RexxValue& empty_value() {
    static const RexxValue v;
    return v;
}

[[gnu::always_inline]] inline void check_stack(X& x) {
    char probe;
    if (&probe < x.stack_limit) raise_error(x.in, 5);
}

std::string_view unit_line(const Unit* u, int line) {
    if (line < 0 || line >= static_cast<int>(u->lines.size())) return {};
    return u->lines[line];
}

// The error position: the token's place in the program, or in the
// INTERPRET string being run (whose clauses report the INTERPRET's line).
[[gnu::always_inline]] inline void at(X& x, const Token* t) {
    x.in.pos.column = t->column + 1;
    if (!x.interpreted)
        x.in.pos.line = t->line + 1;
    else
        x.in.pos.interpreted_line = unit_line(x.body->unit, t->line);
}

__attribute__((noinline)) const SymbolRef& analyse_token(X& x, const Token* t) {
    std::string_view name = t->sym ? std::string_view(t->sym->name, t->sym->length)
                                   : std::string_view(t->text ? t->text : "", t->length);
    SymbolRef s = analyse_symbol(name, t->sym ? NameCase::Mixed : x.in.case_mode);
    // Every occurrence of a name shares one analysis, and with it the record
    // last found: a routine's first reading of a variable after a call
    // returns finds it again for all the other occurrences.
    auto it = x.symbol_index.find(s.text);
    if (it == x.symbol_index.end()) {
        x.symbols.push_back(std::move(s));
        it = x.symbol_index.emplace(x.symbols.back().text, &x.symbols.back()).first;
    }
    const_cast<Token*>(t)->pool_ref = const_cast<SymbolRef*>(it->second);
    return *it->second;
}

// The analysis of a symbol token, made at its first use.
inline const SymbolRef& symref(X& x, const Token* t) {
    if (t->pool_ref) return *static_cast<const SymbolRef*>(t->pool_ref);
    return analyse_token(x, t);
}

const RexxValue& constant(X& x, const Expr* e) {
    if (e->exec_slot) return *static_cast<const RexxValue*>(e->exec_slot);
    x.constants.emplace_back(
        std::string_view(e->token->text ? e->token->text : "", e->token->length));
    const_cast<Expr*>(e)->exec_slot = &x.constants.back();
    return x.constants.back();
}

std::string_view token_text(const Token* t) {
    if (t->sym) return {t->sym->name, t->sym->length};
    return {t->text ? t->text : "", t->length};
}

bool calls_anything(const Expr* e) {
    if (!e) return false;
    if (e->op == ExprOp::Call || e->op == ExprOp::BackQ) return true;
    return calls_anything(e->left) || calls_anything(e->right) || calls_anything(e->third);
}

// Whether an operator node's right operand (or an index) calls a routine,
// cached in the node's executor slot (free on operator and index nodes).
[[gnu::noinline]] bool mark_right_calls(const Expr* e) {
    bool calls = calls_anything(e->right) ||
                 (e->op == ExprOp::Br || e->op == ExprOp::Br2 ? calls_anything(e->third) : false);
    const_cast<Expr*>(e)->exec_slot =
        reinterpret_cast<void*>(static_cast<uintptr_t>(calls ? 2 : 1));
    return calls;
}

inline bool right_calls(const Expr* e) {
    uintptr_t tag = reinterpret_cast<uintptr_t>(e->exec_slot);
    if (!tag) return mark_right_calls(e);
    return tag == 2;
}

// The record of a simple variable in the current generation (created when
// missing), through the symbol's cache, exposure followed.
__attribute__((noinline)) Variable* find_simple_record(X& x, const SymbolRef& s) {
    Generation& g = x.in.pool.current();
    Variable* v = find_variable(g, s.base.name, s.base.hash, true, false);
    s.base.gen_id = g.id;
    s.base.rec = v;
    return v;
}

inline Variable* simple_record(X& x, const SymbolRef& s) {
    Variable* v = s.base.gen_id == x.in.pool.top_id ? s.base.rec : find_simple_record(x, s);
    while (v->state == VarState::Exposed)
        v = v->target;
    return v;
}

// Whole number test of loop counts and indices (rounded to 9 digits first).
bool whole_value(const RexxValue& v, double& out) {
    if (!is_number(v)) return false;
    double d = v.num();
    if (d != std::trunc(d)) {
        d = round_digits(d, 9);
        if (d != std::trunc(d)) return false;
    }
    out = d;
    return true;
}

void set_special(X& x, const char* name, long value) {
    set_var(x.in, name, RexxValue::number(static_cast<double>(value), 0));
}

// SIGL = line, through the record the running routine's frame remembers
// (a call made from a recursive routine finds it again after the calls
// between), else the symbol's.
void set_sigl(X& x, long line) {
    if (x.sigl.text.empty()) x.sigl = analyse_symbol(sigl_name(x.in), NameCase::Mixed);
    Variable* rec;
    Frame* f = x.frames.empty() ? nullptr : x.frames.back();
    if (f && f->sigl_gen == x.in.pool.top_id) {
        rec = f->sigl_rec;
        while (rec->state == VarState::Exposed)
            rec = rec->target;
    } else {
        rec = simple_record(x, x.sigl);
        if (f) {
            f->sigl_gen = x.sigl.base.gen_id;
            f->sigl_rec = x.sigl.base.rec;
        }
    }
    rec->value.set_number(static_cast<double>(line), 0);
    rec->state = VarState::Set;
}

// RC = code, the same way.
void set_rc(X& x, long code) {
    if (x.rc.text.empty()) x.rc = analyse_symbol(rc_name(x.in), NameCase::Mixed);
    Variable* rec = simple_record(x, x.rc);
    rec->value.set_number(static_cast<double>(code), 0);
    rec->state = VarState::Set;
}

// ---------------------------------------------------------------- forward

// Every node is evaluated through its own routine (Expr::exec_fn), chosen at
// its first evaluation: literals, set simple variables and built-in calls get
// short routines of their own, everything else the general one.
using EvalFn = const RexxValue* (*)(X&, const Expr*, RexxValue&);
const RexxValue* choose_eval(X& x, const Expr* e, RexxValue& tmp);
inline const RexxValue* evaluate(X& x, const Expr* e, RexxValue& tmp) {
    EvalFn f = e->exec_fn ? reinterpret_cast<EvalFn>(e->exec_fn) : choose_eval;
    return f(x, e, tmp);
}
[[noreturn]] void throw_failure(X& x);
// The value of an expression; an error is thrown.
inline const RexxValue& eval(X& x, const Expr* e, RexxValue& tmp) {
    const RexxValue* v = evaluate(x, e, tmp);
    if (!v) throw_failure(x);
    return *v;
}
void exec_list(X& x, const Clause* c);
[[gnu::always_inline]] inline void exec_clause(X& x, const Clause* c);
bool call_routine(X& x, const Clause* label, Frame& frame, int call_line, RexxValue& result);
void signal_to(X& x, std::string_view label, int line);
void run_body(X& x, Body& body, const Clause* start);

// ---------------------------------------------------------------- labels

const Clause* find_label_in(const Unit* u, std::string_view name) {
    for (const LabelMemo& m : u->memo)
        if (m.label && m.name == name) return m.label;
    auto it = u->labels.find(name);
    if (it == u->labels.end()) return nullptr;
    LabelMemo& m = u->memo[u->memo_next++ % u->memo.size()];
    m.name.assign(name);
    m.label = it->second;
    return it->second;
}

void index_labels(X& x, Unit& u) {
    for (const Clause* l : u.program->labels) {
        std::string name(token_text(l->name));
        u.labels.emplace(name, l);
        if (!u.interpreted)
            x.in.pool.labels.add(name, true, x.in.case_mode, l, l->line + 1, l->nested);
    }
}

// ---------------------------------------------------------------- values

// Extends v's text by sep and more where it lies; error 5 past the longest value.
void append_checked(X& x, RexxValue& v, std::string_view sep, std::string_view more) {
    if (static_cast<size_t>(v.text(x.in.numeric).size()) + sep.size() + more.size() >
        kMaxValueLength)
        raise_error(x.in, 5);
    if (!sep.empty()) v.append(sep, x.in.numeric);
    v.append(more, x.in.numeric);
}

RexxValue& store_text(RexxValue& tmp, std::string_view a, std::string_view sep, std::string_view b,
                      X& x) {
    size_t n = a.size() + sep.size() + b.size();
    if (n > kMaxValueLength) raise_error(x.in, 5);
    // a or b may point into tmp itself.
    if (a.data() >= tmp.str().data() && a.data() < tmp.str().data() + tmp.str().size() + 1) {
        std::string copy;
        copy.reserve(n);
        copy.append(a).append(sep).append(b);
        tmp.assign_text(copy);
        return tmp;
    }
    char* p = tmp.resize_text(n);
    std::memcpy(p, a.data(), a.size());
    std::memcpy(p + a.size(), sep.data(), sep.size());
    std::memcpy(p + a.size() + sep.size(), b.data(), b.size());
    return tmp;
}

const char* binary_op_text(ExprOp op) {
    switch (op) {
    case ExprOp::Or: return "|";
    case ExprOp::Xor: return "&&";
    case ExprOp::And: return "&";
    case ExprOp::Eq: return "=";
    case ExprOp::Neq: return "\\=";
    case ExprOp::Eeq: return "==";
    case ExprOp::Nneq: return "\\==";
    case ExprOp::Eqic: return "=";
    case ExprOp::Neqic: return "\\=";
    case ExprOp::Sup: return ">";
    case ExprOp::Inf: return "<";
    case ExprOp::SupEq: return ">=";
    case ExprOp::InfEq: return "<=";
    case ExprOp::Ssup: return ">>";
    case ExprOp::Iinf: return "<<";
    case ExprOp::SsupEq: return ">>=";
    case ExprOp::IinfEq: return "<<=";
    case ExprOp::Bl: return " ";
    case ExprOp::Conc: return "||";
    case ExprOp::Plus: return "+";
    case ExprOp::Min: return "-";
    case ExprOp::Mult: return "*";
    case ExprOp::Div: return "/";
    case ExprOp::Idiv: return "%";
    case ExprOp::Rem: return "//";
    case ExprOp::Exp: return "**";
    case ExprOp::ConcRho:
    case ExprOp::ConcNot: return " ";
    default: return "?";
    }
}

bool compare_op(ExprOp op, CompareOp& c) {
    switch (op) {
    case ExprOp::Eq: c = CompareOp::Eq; return true;
    case ExprOp::Neq: c = CompareOp::Ne; return true;
    case ExprOp::Eeq: c = CompareOp::StrictEq; return true;
    case ExprOp::Nneq: c = CompareOp::StrictNe; return true;
    case ExprOp::Eqic: c = CompareOp::EqIC; return true;
    case ExprOp::Neqic: c = CompareOp::NeIC; return true;
    case ExprOp::Sup: c = CompareOp::Gt; return true;
    case ExprOp::Inf: c = CompareOp::Lt; return true;
    case ExprOp::SupEq: c = CompareOp::Ge; return true;
    case ExprOp::InfEq: c = CompareOp::Le; return true;
    case ExprOp::Ssup: c = CompareOp::StrictGt; return true;
    case ExprOp::Iinf: c = CompareOp::StrictLt; return true;
    case ExprOp::SsupEq: c = CompareOp::StrictGe; return true;
    case ExprOp::IinfEq: c = CompareOp::StrictLe; return true;
    default: return false;
    }
}

bool arith_op(ExprOp op, ArithOp& a) {
    switch (op) {
    case ExprOp::Plus: a = ArithOp::Add; return true;
    case ExprOp::Min: a = ArithOp::Sub; return true;
    case ExprOp::Mult: a = ArithOp::Mul; return true;
    case ExprOp::Div: a = ArithOp::Div; return true;
    case ExprOp::Idiv: a = ArithOp::IntDiv; return true;
    case ExprOp::Rem: a = ArithOp::Rem; return true;
    case ExprOp::Exp: a = ArithOp::Pow; return true;
    default: return false;
    }
}

std::string_view operand_name(X& x, const Expr* e) {
    if (e->op != ExprOp::Symbol) return {};
    return symref(x, e->token).text;
}

bool tracing_i(const X& x) {
    return x.in.trace.bits & kTraceIntermediates;
}

// ---------------------------------------------------------------- indexed terms

// Rounds an index to 9 digits; false when it is no positive whole number.
bool index_number(const RexxValue& v, long& out, bool& is_num) {
    is_num = is_number(v);
    if (!is_num) return false;
    double d = round_digits(v.num(), 9);
    if (d != std::trunc(d) || d < 1 || d > 2147483647.0) return false;
    out = static_cast<long>(d);
    return true;
}

// Evaluates the first or last index of s[i:j]; raises error 78 when it is no
// positive whole number (`which` is "first" or "last" for the detail text).
long index_operand(X& x, const Expr* e, const Expr* index, RexxValue& tmp, const char* which) {
    const RexxValue& v = eval(x, index, tmp);
    at(x, e->token);
    long n = 0;
    bool num = false;
    if (!index_number(v, n, num)) {
        if (!num)
            raise_error(x.in, 78,
                        std::string("The ") + which + " index evaluates to \"" +
                            std::string(v.text(x.in.numeric)) + "\".");
        raise_error(x.in, 78, "The index must be a positive integer.");
    }
    return n;
}

const RexxValue& eval_index(X& x, const Expr* e, RexxValue& tmp) {
    RexxValue bt, it1, it2;
    const RexxValue& base = eval(x, e->left, bt);
    std::string_view s = base.text(x.in.numeric);
    std::string copy;
    if (&base != &bt && right_calls(e)) {
        copy.assign(s);
        s = copy;
    }
    long first = 1, last = 0;
    if (e->right) first = index_operand(x, e, e->right, it1, "first");
    if (e->third) {
        last = index_operand(x, e, e->third, it2, "last");
    } else {
        last = e->op == ExprOp::Br ? first : static_cast<long>(s.size());
    }
    at(x, e->token);
    std::string result;
    if (last < first) {
        if (first > static_cast<long>(s.size())) {
            tmp.assign_text("");
        } else {
            raise_error(x.in, 78, "The second index must be greater than the first.");
        }
    } else {
        size_t n = static_cast<size_t>(last - first + 1);
        if (n > kMaxValueLength) raise_error(x.in, 5);
        char* p = tmp.resize_text(n);
        for (size_t i = 0; i < n; ++i) {
            size_t k = static_cast<size_t>(first - 1) + i;
            p[i] = k < s.size() ? s[k] : ' ';
        }
    }
    if (tracing_i(x)) trace_index(x.in, x.depth, s, first, last, tmp.str());
    return tmp;
}

// ---------------------------------------------------------------- function calls

RexxValue own_arg(X& x, Args& a);
RexxValue own_address(X& x, Args& a);

using OwnHandler = RexxValue (*)(X&, Args&);
struct OwnBuiltin {
    const char* name; // upper case
    OwnHandler handler;
};
const OwnBuiltin kOwnBuiltins[] = {
    {"ARG", own_arg},
    {"ADDRESS", own_address},
};

OwnHandler find_own(std::string_view name, NameCase mode) {
    for (const OwnBuiltin& b : kOwnBuiltins) {
        std::string spelt = b.name;
        if (mode == NameCase::Lower || mode == NameCase::Mixed)
            for (char& c : spelt)
                c = static_cast<char>(c - 'A' + 'a');
        if (name == spelt) return b.handler;
    }
    return nullptr;
}

bool quoted_skips_labels(const Token* t) {
    if (t->kind != SFUNCTION && t->kind != STRING) return false;
    std::string_view n = token_text(t);
    if (!n.empty() && (n[0] == '.' || n[0] == '/' || n[0] == '~')) return false;
    if (n.size() >= 2 && n[1] == ':') return false;
    return true;
}

const Clause* find_routine_label(X& x, std::string_view name) {
    for (Body* b = x.body; b; b = b->outer)
        if (const Clause* c = find_label_in(b->unit, name)) return c;
    return find_label_in(x.main.get(), name);
}

bool resolve_outside(X& x, const Token* name_token, std::string_view name, CallTarget& t);

// Resolves a call's name the first time it runs and keeps the target in the
// node's slot.
[[gnu::noinline]] CallTarget& resolve_first(X& x, const Token* name_token, void*& slot,
                                            Expr* const* args, uint32_t nargs) {
    std::string_view name = token_text(name_token);
    CallTarget t;
    t.name = std::string(name);
    t.positions.resize(nargs);
    for (uint32_t i = 0; i < nargs; ++i) {
        if (!args[i]) continue;
        if (calls_anything(args[i])) t.copy_args = true;
        t.positions[i] = ArgPos{args[i]->token->line + 1, args[i]->token->column + 1};
    }
    const Clause* label = quoted_skips_labels(name_token) ? nullptr : find_routine_label(x, name);
    if (label) {
        if (label->nested) nested_label_error(x.in, name);
        t.kind = CallTarget::Label;
        t.label = label;
    } else if (const Builtin* b = find_builtin(name, x.in.case_mode, &t.msg_name)) {
        t.kind = CallTarget::Builtin;
        t.handler = b->handler;
        t.into = b->into;
    } else if (OwnHandler h = find_own(name, x.in.case_mode)) {
        t.kind = CallTarget::Own;
        t.own = h;
        std::string upper(name);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        t.name = upper;
        t.msg_name = t.name;
    } else if (!resolve_outside(x, name_token, name, t)) {
        routine_not_found(x.in, name);
    }
    x.targets.push_back(std::move(t));
    slot = &x.targets.back();
    CallTarget& r = x.targets.back();
    if (r.kind == CallTarget::Own) r.msg_name = r.name;
    return r;
}

bool invoke_outside(X& x, const CallTarget& t, const Args& a, RexxValue& result);

constexpr uint32_t kSmallCall = 8;

// Evaluates a built-in's arguments into slots (store holds the values made
// for them). Returns whether a slot is result itself.
[[gnu::always_inline]] inline bool eval_args(X& x, const CallTarget& t, Expr* const* args,
                                             uint32_t nargs, RexxValue* store,
                                             const RexxValue** slots, const RexxValue& result) {
    bool result_is_arg = false;
    for (uint32_t i = 0; i < nargs; ++i) {
        slots[i] = nullptr;
        if (!args[i]) continue;
        const RexxValue& v = eval(x, args[i], store[i]);
        if (t.copy_args && &v != &store[i]) store[i] = v;
        slots[i] = t.copy_args ? &store[i] : &v;
        result_is_arg |= slots[i] == &result;
    }
    return result_is_arg;
}

// Runs the handler, or the call answered outside the program. A built-in's
// value is made in result's place, not moved there, unless result is also one
// of the arguments. False: no result.
[[gnu::always_inline]] inline bool call_handler(X& x, CallTarget& t, const RexxValue* const* slots,
                                                uint32_t nargs, RexxValue& result,
                                                bool result_is_arg) {
    Args a;
    a.slot = slots;
    a.n = static_cast<int>(nargs);
    a.pos = x.interpreted ? nullptr : t.positions.data();
    a.name = t.msg_name;
    a.lib = &x.lib;
    if (t.kind == CallTarget::Own) {
        result = t.own(x, a);
    } else if (t.kind != CallTarget::Builtin) {
        return invoke_outside(x, t, a, result);
    } else if (result_is_arg) {
        result = t.handler(x.in, a);
    } else {
        result.~RexxValue();
        try {
            new (&result) RexxValue(t.handler(x.in, a));
        } catch (...) {
            new (&result) RexxValue();
            throw;
        }
    }
    return true;
}

// The same for a call with many arguments.
bool invoke_many(X& x, CallTarget& t, const Token* at_token, Expr* const* args, uint32_t nargs,
                 RexxValue& result) {
    std::vector<RexxValue> store(nargs);
    std::vector<const RexxValue*> slots(nargs);
    bool result_is_arg = eval_args(x, t, args, nargs, store.data(), slots.data(), result);
    at(x, at_token);
    return call_handler(x, t, slots.data(), nargs, result, result_is_arg);
}

inline CallTarget& resolve(X& x, const Token* name_token, void*& slot, Expr* const* args,
                           uint32_t nargs) {
    if (slot) return *static_cast<CallTarget*>(slot);
    return resolve_first(x, name_token, slot, args, nargs);
}

// A frame for an internal call, taken from the pool and handed back (its
// argument values dropped, its lists' room kept) when the call is over.
// Frames are taken and given back in call order.
struct PooledFrame {
    X& x;
    Frame& frame;
    explicit PooledFrame(X& state) : x(state), frame(take(state)) {}
    PooledFrame(const PooledFrame&) = delete;
    PooledFrame& operator=(const PooledFrame&) = delete;
    ~PooledFrame() {
        frame.args.clear();
        frame.present.clear();
        --x.frames_taken;
    }
    static Frame& take(X& x) {
        if (x.frames_taken == x.frame_pool.size())
            x.frame_pool.push_back(std::make_unique<Frame>());
        Frame& f = *x.frame_pool[x.frames_taken++];
        f.internal = true;
        f.procedure = false;
        f.loop_base = 0;
        f.sigl_gen = 0;
        return f;
    }
};

// Runs a resolved routine with the argument expressions. Returns false when
// it gave no result.
bool invoke(X& x, CallTarget& t, const Token* at_token, Expr* const* args, uint32_t nargs,
            RexxValue& result) {
    int call_line = x.in.pos.line;
    if (t.kind == CallTarget::Label) {
        PooledFrame pooled(x);
        Frame& frame = pooled.frame;
        // The lists are empty with room kept: no allocation, and no call
        // out for a few arguments.
        for (uint32_t i = 0; i < nargs; ++i) {
            frame.args.emplace_back();
            frame.present.push_back(0);
        }
        for (uint32_t i = 0; i < nargs; ++i) {
            if (!args[i]) continue;
            const RexxValue& v = eval(x, args[i], frame.args[i]);
            if (&v != &frame.args[i]) frame.args[i] = v;
            frame.present[i] = 1;
        }
        at(x, at_token);
        return call_routine(x, t.label, frame, call_line, result);
    }
    if (nargs > kSmallCall) return invoke_many(x, t, at_token, args, nargs, result);
    // Only the values the call needs are constructed, on the stack.
    alignas(RexxValue) unsigned char raw[kSmallCall * sizeof(RexxValue)];
    RexxValue* store = reinterpret_cast<RexxValue*>(raw);
    const RexxValue* slots[kSmallCall];
    for (uint32_t i = 0; i < nargs; ++i)
        new (store + i) RexxValue();
    struct Destroy {
        RexxValue* store;
        uint32_t n;
        ~Destroy() {
            for (uint32_t i = 0; i < n; ++i)
                store[i].~RexxValue();
        }
    } destroy{store, nargs};
    bool result_is_arg = eval_args(x, t, args, nargs, store, slots, result);
    at(x, at_token);
    return call_handler(x, t, slots, nargs, result, result_is_arg);
}

// ---------------------------------------------------------------- routines outside the program

// Raises an error found while compiling a loaded unit, at the unit's line.
[[noreturn]] void raise_in_unit(X& x, int code, int line, int column, std::string detail) {
    x.in.pos.line = line;
    x.in.pos.column = column;
    x.in.pos.interpreted = false;
    raise_error(x.in, code, std::move(detail));
}

// Reads an external routine's file and makes it a unit of the program: its
// lines are added to the program's sources (so reports and SOURCELINE reach
// them), its labels join the program's labels. Returns its entry label, or
// null when the file cannot be read in full.
const Clause* load_unit(X& x, std::string_view name, const std::string& path) {
    std::string text;
    if (!read_whole_file(path, text)) {
        x.in.err("tolma: unable to read file " + path + "\n");
        return nullptr;
    }
    auto lu = std::make_unique<LoadedUnit>();
    int first = static_cast<int>(x.in.source.lines.size()); // 0-based
    std::string prepared = prepare_source(text);
    x.in.source.add(prepared, SourceKind::Added, path);
    auto program = std::make_unique<Program>();
    program->source = std::move(prepared);
    program->first_line = first;
    program->options = x.main->program->options;
    try {
        LexOptions lex_options;
        lex_options.first_line = first;
        try {
            program->tokens = lex(program->source, lex_options, program->options, program->arena);
        } catch (RexxError& e) {
            raise_in_unit(x, e.code, e.line, e.column, e.detail);
        }
        try {
            parse(*program);
        } catch (RexxError& e) {
            raise_in_unit(x, 55, e.line, e.column, {});
        }
    } catch (std::bad_alloc&) {
        raise_error(x.in, 5);
    }
    lu->label_text = "\"" + std::string(name) + "\":";
    Token& tok = lu->label_token;
    tok.kind = STRING;
    tok.quoted = true;
    tok.text = lu->label_text.c_str() + 1;
    tok.length = static_cast<uint32_t>(name.size());
    tok.line = first;
    Clause& entry = lu->entry;
    entry.kind = ClauseKind::Label;
    entry.keyword = &tok;
    entry.name = &tok;
    entry.line = first;
    entry.text = lu->label_text.c_str();
    entry.text_length = static_cast<uint32_t>(lu->label_text.size());
    entry.next = program->clauses.first;
    entry.block = &program->clauses;
    lu->unit.program = std::move(program);
    // The unit's labels become the program's; a name the program already
    // has keeps its first label.
    x.main->labels.emplace(std::string(name), &entry);
    x.in.pool.labels.add(std::string(name), true, x.in.case_mode, &entry, first + 1, false);
    index_labels(x, lu->unit);
    for (auto& [label_name, clause] : lu->unit.labels)
        x.main->labels.emplace(label_name, clause);
    x.external_entries.emplace(std::string(name), &entry);
    x.loaded.push_back(std::move(lu));
    return &entry;
}

// Resolution after the labels and the built-ins miss: the host's implicit
// EXTRACT for names with a ".", then the external search. False: not found.
bool resolve_outside(X& x, const Token* name_token, std::string_view name, CallTarget& t) {
    const ImplicitExtract& extract = x.opt.implicit_extract;
    size_t dot = name.rfind('.');
    if (extract.knows && extract.answer && dot != std::string_view::npos && dot > 0 &&
        extract.knows(name.substr(0, dot), x.in.case_mode)) {
        t.kind = CallTarget::Extract;
        return true;
    }
    if (auto it = x.external_entries.find(std::string(name)); it != x.external_entries.end()) {
        t.kind = CallTarget::Label;
        t.label = it->second;
        return true;
    }
    bool symbol = name_token->kind != SFUNCTION && name_token->kind != STRING;
    std::string file = external_file_name(name, symbol);
    bool noload = x.main->program->options.load_mode == LoadMode::NoLoad;
    if (noload && current_environment_name(*x.envs) == x.opt.host_environment) {
        if (!x.opt.stored_macro || !x.opt.stored_macro(file)) return false;
        t.kind = CallTarget::HostMacro;
        t.file = file;
        return true;
    }
    WarningSink warn;
    if (x.in.traps[Condition::Syntax].mode == TrapMode::Off)
        warn = [&x](std::string_view text) { x.in.err(text); };
    std::optional<std::string> path =
        find_external_file(file, voren::platform::environment_variable("PATH"), warn);
    if (!path) return false;
    if (noload) {
        t.kind = CallTarget::Child;
        t.file = *path;
        return true;
    }
    int line = x.in.pos.line, column = x.in.pos.column;
    const Clause* entry = load_unit(x, name, *path);
    x.in.pos.line = line;
    x.in.pos.column = column;
    if (!entry) return false;
    t.kind = CallTarget::Label;
    t.label = entry;
    return true;
}

CallArguments call_arguments(X& x, const Args& a) {
    CallArguments args(static_cast<size_t>(a.n));
    for (int i = 0; i < a.n; ++i)
        if (a.slot[i]) args[i] = std::string(a.slot[i]->text(x.in.numeric));
    return args;
}

const Environment& environment_at(X& x, size_t index);

// Runs a call answered outside the program (implicit EXTRACT, a child
// interpreter, a host macro). False: no result.
bool invoke_outside(X& x, const CallTarget& t, const Args& a, RexxValue& result) {
    CallArguments args = call_arguments(x, a);
    if (t.kind == CallTarget::Extract)
        return x.opt.implicit_extract.answer(x.in, t.name, args, result);
    if (t.kind == CallTarget::HostMacro) {
        std::string command = t.file + " ";
        for (size_t i = 0; i < args.size(); ++i) {
            if (i > 0) command += ',';
            if (args[i]) command += *args[i];
        }
        Environment env = environment_at(x, x.envs->current);
        int rc = env.handler(x.in, command);
        result = RexxValue::number(static_cast<double>(rc), 0);
        return true;
    }
    std::string interpreter =
        child_interpreter(x.opt.interpreter_path, x.opt.installation_directory);
    ChildOutcome child = run_child_routine(interpreter, t.file, args);
    if (child.status < 0)
        raise_error(x.in, 86,
                    "Unable to start \"" + interpreter +
                        "\": " + voren::platform::system_error_text(child.error) + ".");
    // The value the routine returned; its exit status when it gave none.
    if (child.value)
        result.assign_text(*child.value);
    else
        result = RexxValue::number(static_cast<double>(child.status), 0);
    return true;
}

const RexxValue& eval_call(X& x, const Expr* e, RexxValue& tmp) {
    at(x, e->token);
    CallTarget& t = resolve(x, e->token, const_cast<Expr*>(e)->exec_slot, e->args, e->nargs);
    int saved_depth = x.depth;
    ++x.depth;
    bool got = invoke(x, t, e->token, e->args, e->nargs, tmp);
    x.depth = saved_depth;
    if (tracing_i(x)) {
        std::string_view r = got ? tmp.text(x.in.numeric) : std::string_view();
        trace_function(x.in, x.depth, token_text(e->token), got ? &r : nullptr);
    }
    if (!got) {
        at(x, e->token);
        raise_error(x.in, 44);
    }
    return tmp;
}

// ---------------------------------------------------------------- expressions

const RexxValue& eval_symbol(X& x, const Expr* e, RexxValue& tmp) {
    const SymbolRef& s = symref(x, e->token);
    if (s.kind == SymbolKind::Invalid) {
        at(x, e->token);
        raise_error(x.in, 31);
    }
    const RexxValue* v;
    if (s.kind == SymbolKind::Simple) {
        // The pool's lookup, inlined: the record cached for this generation.
        Generation& g = x.in.pool.current();
        Variable* rec = s.base.gen_id == g.id ? s.base.rec : nullptr;
        if (!rec) {
            rec = find_variable(g, s.base.name, s.base.hash, false, false);
            if (rec) {
                s.base.gen_id = g.id;
                s.base.rec = rec;
            }
        }
        if (rec)
            while (rec->state == VarState::Exposed)
                rec = rec->target;
        v = rec && rec->state == VarState::Set ? &rec->value : nullptr;
    } else {
        v = find_value(x.in, s);
    }
    if (!v) {
        at(x, e->token);
        std::string name = derived_name(x.in, s);
        novalue_condition(x.in, name);
        tmp.assign_text(name);
        v = &tmp;
    }
    if (tracing_i(x)) trace_variable(x.in, x.depth, s.text, v->text(x.in.numeric));
    return *v;
}

// Whole operands of "+", "-" and "*" are never rounded: the result is the
// double operation itself, with the decimal places the general routine
// gives. a and b are whole; false when the general routine must decide.
[[gnu::always_inline]] inline bool whole_result(const NumericSettings& ns, ArithOp op, double a,
                                                int32_t pa, double b, int32_t pb, double& res,
                                                int32_t& places) {
    if (op == ArithOp::IntDiv || op == ArithOp::Rem) {
        // Whole operands below 10**15: the integer quotient or remainder is
        // what the general routine computes; faults and long results go there.
        static const double limit[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        if (b == 0 || std::fabs(a) >= 1e15 || std::fabs(b) >= 1e15) return false;
        if (op == ArithOp::IntDiv) {
            res = std::trunc(a / b);
        } else {
            uint64_t ia = static_cast<uint64_t>(std::fabs(a));
            uint64_t ib = static_cast<uint64_t>(std::fabs(b));
            // The narrow division is the quicker where both fit.
            uint64_t rem =
                (ia | ib) >> 32 ? ia % ib : static_cast<uint32_t>(ia) % static_cast<uint32_t>(ib);
            res = a == b ? 0 : static_cast<double>(rem);
            if (a < 0) res = -res;
        }
        if (std::fabs(res) >= limit[ns.digits]) return false;
        if (res == 0) res = 0;
        places = -1;
        return true;
    }
    res = op == ArithOp::Add ? a + b : op == ArithOp::Sub ? a - b : a * b;
    if (!std::isfinite(res)) return false;
    if (op == ArithOp::Mul) {
        places = pa < 0 && pb < 0 ? -1 : std::max(pa, 0) + std::max(pb, 0);
    } else if (res == 0) {
        places = 0;
    } else if (a == 0) {
        places = pb;
    } else if (b == 0) {
        places = pa;
    } else {
        places = std::max(pa, pb);
    }
    if (res == 0) res = 0;
    return true;
}

[[gnu::always_inline]] inline bool fast_arith(const NumericSettings& ns, ArithOp op,
                                              const RexxValue& l, const RexxValue& r,
                                              RexxValue& out) {
    if (op > ArithOp::Rem || op == ArithOp::Div || !is_number(l) || !is_number(r)) return false;
    double a = l.num(), b = r.num();
    if (!is_whole(a) || !is_whole(b)) return false;
    double res;
    int32_t places;
    if (!whole_result(ns, op, a, l.places(), b, r.places(), res, places)) return false;
    out.set_number(res, places);
    return true;
}

[[gnu::always_inline]] inline bool fast_compare(X& x, CompareOp op, const RexxValue& l,
                                                const RexxValue& r) {
    if (op < CompareOp::EqIC && l.known_number() && r.known_number()) {
        double a = l.num(), b = r.num();
        if (is_whole(a) && is_whole(b)) {
            switch (op) {
            case CompareOp::Eq: return a == b;
            case CompareOp::Ne: return a != b;
            case CompareOp::Gt: return a > b;
            case CompareOp::Lt: return a < b;
            case CompareOp::Ge: return a >= b;
            case CompareOp::Le: return a <= b;
            default: break;
            }
        }
    }
    return compare_values(x.in.numeric, op, l, r);
}

// An arithmetic operation the short way could not do; null (with the error
// handed back in x.failure) when it fails.
const RexxValue* arith_general(X& x, const Expr* e, ArithOp op, const RexxValue& l,
                               const RexxValue& r, RexxValue& tmp);

const RexxValue* eval_binary(X& x, const Expr* e, RexxValue& tmp) {
    RexxValue lt, rt;
    ExprOp op = e->op;
    // Short circuits of "|" and "&".
    const RexxValue* lp = evaluate(x, e->left, lt);
    if (!lp) return nullptr;
    if (op == ExprOp::Or || op == ExprOp::And) {
        if (logical_short_circuit(op == ExprOp::Or ? '|' : '&', *lp)) {
            at(x, e->token);
            static const RexxValue one = RexxValue::number(1, -1);
            tmp = eval_logical(x.in, op == ExprOp::Or ? '|' : '&', *lp, one);
            if (tracing_i(x))
                trace_binary(x.in, x.depth, lp->text(x.in.numeric), binary_op_text(op), "1",
                             tmp.text(x.in.numeric));
            return &tmp;
        }
    }
    if (lp != &lt && right_calls(e)) {
        lt = *lp;
        lp = &lt;
    }
    const RexxValue* rp = evaluate(x, e->right, rt);
    if (!rp) return nullptr;
    const RexxValue& r = *rp;
    const RexxValue& l = *lp;
    at(x, e->token);
    CompareOp cop;
    ArithOp aop;
    if (arith_op(op, aop)) {
        if (!fast_arith(x.in.numeric, aop, l, r, tmp) && !arith_general(x, e, aop, l, r, tmp))
            return nullptr;
    } else if (compare_op(op, cop)) {
        tmp.set_number(fast_compare(x, cop, l, r) ? 1 : 0, -1);
    } else {
        switch (op) {
        case ExprOp::Or: tmp = eval_logical(x.in, '|', l, r); break;
        case ExprOp::And: tmp = eval_logical(x.in, '&', l, r); break;
        case ExprOp::Xor: tmp = eval_logical(x.in, 'x', l, r); break;
        case ExprOp::Bl:
        case ExprOp::Conc: {
            std::string_view sep = op == ExprOp::Bl ? " " : "";
            if (&l == &lt && !tracing_i(x)) {
                // Extend the intermediate result in place: chains stay linear.
                append_checked(x, lt, sep, r.text(x.in.numeric));
                tmp = std::move(lt);
                return &tmp;
            }
            store_text(tmp, l.text(x.in.numeric), sep, r.text(x.in.numeric), x);
            break;
        }
        case ExprOp::ConcRho: {
            std::string n = std::to_string(r.text(x.in.numeric).size());
            store_text(tmp, l.text(x.in.numeric), " ", n, x);
            break;
        }
        case ExprOp::ConcNot: {
            RexxValue nv = eval_not(x.in, r);
            store_text(tmp, l.text(x.in.numeric), " ", nv.text(x.in.numeric), x);
            break;
        }
        default:
            std::fflush(stdout);
            std::fputs("tolma: do_exec: internal error 2\n", stderr);
            std::exit(1);
        }
    }
    if (tracing_i(x))
        trace_binary(x.in, x.depth, l.text(x.in.numeric), binary_op_text(op), r.text(x.in.numeric),
                     tmp.text(x.in.numeric));
    return &tmp;
}

const RexxValue& eval_backquote(X& x, const Expr* e, RexxValue& tmp);

const RexxValue* evaluate_node(X& x, const Expr* e, RexxValue& tmp) {
    switch (e->op) {
    case ExprOp::Symbol: return &eval_symbol(x, e, tmp);
    case ExprOp::String: return &constant(x, e);
    case ExprOp::Call: check_stack(x); return &eval_call(x, e, tmp);
    case ExprOp::Br:
    case ExprOp::Br2: return &eval_index(x, e, tmp);
    case ExprOp::BackQ: return &eval_backquote(x, e, tmp);
    case ExprOp::Not:
    case ExprOp::UPlus:
    case ExprOp::UMin:
    case ExprOp::Rho: {
        RexxValue ot;
        const RexxValue* vp = evaluate(x, e->left, ot);
        if (!vp) return nullptr;
        const RexxValue& v = *vp;
        at(x, e->token);
        char opc = '\\';
        if (e->op == ExprOp::Not) {
            tmp = eval_not(x.in, v);
        } else if (e->op == ExprOp::Rho) {
            tmp = RexxValue::number(static_cast<double>(v.text(x.in.numeric).size()), 0);
            opc = 'L';
        } else {
            opc = e->op == ExprOp::UPlus ? '+' : '-';
            tmp = eval_prefix(x.in, opc, v, operand_name(x, e->left));
        }
        if (tracing_i(x))
            trace_prefix(x.in, x.depth, opc, v.text(x.in.numeric), tmp.text(x.in.numeric));
        return &tmp;
    }
    default:
        if (e->left && e->right) {
            check_stack(x);
            return eval_binary(x, e, tmp);
        }
        std::fflush(stdout);
        std::fputs("tolma: do_exec: internal error 1\n", stderr);
        std::exit(1);
    }
}

// ---------------------------------------------------------------- node routines

const RexxValue* ev_constant(X&, const Expr* e, RexxValue&) {
    return static_cast<const RexxValue*>(e->exec_slot);
}

// A simple variable: its remembered record when it is current and set.
// The value of a simple variable through the record its analysis remembers;
// null when that record is not of the current generation or has no value.
[[gnu::always_inline]] inline const RexxValue* remembered_value(X& x, const Expr* e) {
    const SymbolRef& s = *static_cast<const SymbolRef*>(e->exec_slot);
    if (s.base.gen_id != x.in.pool.top_id) return nullptr;
    Variable* rec = s.base.rec;
    while (rec->state == VarState::Exposed)
        rec = rec->target;
    return rec->state == VarState::Set ? &rec->value : nullptr;
}

const RexxValue* ev_simple(X& x, const Expr* e, RexxValue& tmp) {
    if (!tracing_i(x))
        if (const RexxValue* v = remembered_value(x, e)) return v;
    return &eval_symbol(x, e, tmp);
}

// A compound with a constant tail (C.0): through the compound record its
// analysis remembers, when that record is of the current generation and
// set (the stem it was found in is then the one the lookup would find);
// otherwise the general way.
const RexxValue* ev_fixed_compound(X& x, const Expr* e, RexxValue& tmp) {
    const SymbolRef& s = *static_cast<const SymbolRef*>(e->exec_slot);
    if (s.fixed.gen_id == x.in.pool.top_id && !tracing_i(x)) {
        Variable* rec = s.fixed.rec;
        while (rec->state == VarState::Exposed)
            rec = rec->target;
        if (rec->state == VarState::Set) return &rec->value;
    }
    return &eval_symbol(x, e, tmp);
}

// A scratch value constructed only when an evaluation needs one.
struct LazyValue {
    alignas(RexxValue) unsigned char raw[sizeof(RexxValue)];
    bool made = false;
    RexxValue* ptr() { return reinterpret_cast<RexxValue*>(raw); }
    RexxValue& get() {
        if (!made) {
            new (raw) RexxValue();
            made = true;
        }
        return *ptr();
    }
    LazyValue() = default;
    LazyValue(const LazyValue&) = delete;
    LazyValue& operator=(const LazyValue&) = delete;
    ~LazyValue() {
        if (made) ptr()->~RexxValue();
    }
};

// The value of e where it lies, when e is a literal or a set simple
// variable; null otherwise (then it must be evaluated).
[[gnu::always_inline]] inline const RexxValue* value_in_place(X& x, const Expr* e) {
    if (e->exec_fn == reinterpret_cast<void*>(ev_constant))
        return static_cast<const RexxValue*>(e->exec_slot);
    if (e->exec_fn == reinterpret_cast<void*>(ev_simple) && !tracing_i(x))
        return remembered_value(x, e);
    return nullptr;
}

// The value of e, with no scratch value made for one found in place.
[[gnu::always_inline]] inline const RexxValue* quick_evaluate(X& x, const Expr* e, LazyValue& tmp) {
    if (const RexxValue* v = value_in_place(x, e)) return v;
    return evaluate(x, e, tmp.get());
}

// A built-in with few arguments: the values are taken where they lie (kept
// apart when an argument calls something) and the result is made in tmp's
// place.
// KeepOld: tmp is the value of the variable being assigned; the result is
// made in its place, and the old value comes back should the call fail.
template <bool KeepOld>
[[gnu::always_inline]] inline const RexxValue* builtin_node(X& x, const Expr* e, RexxValue& tmp) {
    check_stack(x);
    CallTarget& t = *static_cast<CallTarget*>(e->exec_slot);
    uint32_t n = e->nargs;
    // A value is constructed only for an argument that needs one.
    alignas(RexxValue) unsigned char raw[kSmallCall * sizeof(RexxValue)];
    RexxValue* store = reinterpret_cast<RexxValue*>(raw);
    const RexxValue* slots[kSmallCall];
    struct Destroy {
        RexxValue* store;
        unsigned made = 0; // bit i: store[i] was constructed
        ~Destroy() {
            for (unsigned m = made; m; m &= m - 1)
                store[__builtin_ctz(m)].~RexxValue();
        }
    } destroy{store};
    bool result_is_arg = false;
    for (uint32_t i = 0; i < n; ++i) {
        const Expr* a = e->args[i];
        slots[i] = nullptr;
        if (!a) continue;
        const RexxValue* v = value_in_place(x, a);
        if (!v || (t.copy_args && a->exec_fn != reinterpret_cast<void*>(ev_constant))) {
            // A call in a later argument could change a variable taken in
            // place: with such calls, each value is kept apart.
            new (store + i) RexxValue();
            destroy.made |= 1u << i;
            if (v) {
                store[i] = *v;
                v = &store[i];
            } else {
                // One level deeper for the trace of what the argument runs.
                ++x.depth;
                v = evaluate(x, a, store[i]);
                --x.depth;
                if (!v) return nullptr;
                if (t.copy_args && v != &store[i]) {
                    store[i] = *v;
                    v = &store[i];
                }
            }
        }
        slots[i] = v;
        result_is_arg |= v == &tmp;
    }
    at(x, e->token);
    Args args;
    args.slot = slots;
    args.n = static_cast<int>(n);
    args.pos = x.interpreted ? nullptr : t.positions.data();
    args.name = t.msg_name;
    args.lib = &x.lib;
    if (result_is_arg) {
        tmp = t.handler(x.in, args);
        return &tmp;
    }
    if (t.into) {
        // Made in tmp's own buffer; a wrong call leaves tmp as it was.
        t.into(x.in, args, tmp);
        return &tmp;
    }
    if constexpr (KeepOld) {
        RexxValue old(std::move(tmp));
        tmp.~RexxValue();
        try {
            new (&tmp) RexxValue(t.handler(x.in, args));
        } catch (...) {
            new (&tmp) RexxValue(std::move(old));
            throw;
        }
        old.give_buffer(x.in.spare);
        return &tmp;
    }
    tmp.~RexxValue();
    try {
        new (&tmp) RexxValue(t.handler(x.in, args));
    } catch (...) {
        new (&tmp) RexxValue();
        throw;
    }
    return &tmp;
}

const RexxValue* ev_builtin(X& x, const Expr* e, RexxValue& tmp) {
    if (tracing_i(x)) return evaluate_node(x, e, tmp);
    return builtin_node<false>(x, e, tmp);
}

// A call of an internal routine (or of one outside the program).
const RexxValue* ev_routine_call(X& x, const Expr* e, RexxValue& tmp) {
    check_stack(x);
    return &eval_call(x, e, tmp);
}

const RexxValue* ev_binary(X& x, const Expr* e, RexxValue& tmp) {
    check_stack(x);
    return eval_binary(x, e, tmp);
}

// The two operands of a binary node, left first; a left value that a call
// on the right could change is copied. False when one failed.
[[gnu::always_inline]] inline bool binary_operands(X& x, const Expr* e, LazyValue& lt,
                                                   LazyValue& rt, const RexxValue*& lp,
                                                   const RexxValue*& rp) {
    lp = quick_evaluate(x, e->left, lt);
    if (!lp) return false;
    if (lp != lt.ptr() && right_calls(e)) {
        lt.get() = *lp;
        lp = lt.ptr();
    }
    rp = quick_evaluate(x, e->right, rt);
    return rp != nullptr;
}

[[gnu::noinline]] const RexxValue* arith_general(X& x, const Expr* e, ArithOp op,
                                                 const RexxValue& l, const RexxValue& r,
                                                 RexxValue& tmp) {
    ArithFault f;
    if (!arith_binary(x.in.numeric, op, l, r, tmp, f)) {
        // Handed back, not thrown: SIGNAL ON SYNTAX loops stay cheap.
        x.failure = arith_error(x.in, f, l, r, operand_name(x, e->left), operand_name(x, e->right));
        x.failed = true;
        return nullptr;
    }
    return &tmp;
}

template <typename OpKind, OpKind Op>
const RexxValue* ev_operator(X& x, const Expr* e, RexxValue& tmp);

// A whole number as the short way of arithmetic works on it.
struct WholeNumber {
    double value;
    int32_t places;
};

// The value of a simple variable whose remembered record may be of another
// generation (a routine's variable read again after a call): looked up, no
// record made, and remembered again, as reading it would. Null when it has
// no value.
[[gnu::noinline]] const RexxValue* looked_up_value(X& x, const Expr* e) {
    const SymbolRef& s = *static_cast<const SymbolRef*>(e->exec_slot);
    Generation& g = x.in.pool.current();
    Variable* rec = find_variable(g, s.base.name, s.base.hash, false, false);
    if (!rec) return nullptr;
    s.base.gen_id = g.id;
    s.base.rec = rec;
    while (rec->state == VarState::Exposed)
        rec = rec->target;
    return rec->state == VarState::Set ? &rec->value : nullptr;
}

// Whether an operand is worth the short way: a literal, a symbol, or an
// arithmetic node. A node with a call for an operand (f(n - 1) + f(n - 2),
// t + length(s)) does not try it, rather than compute its other side twice.
[[gnu::always_inline]] inline bool whole_candidate(const Expr* e) {
    ExprOp op = e->op;
    return op <= ExprOp::String || (op >= ExprOp::Plus && op <= ExprOp::Rem);
}

// Deepest arithmetic node taken by the short way over a whole expression.
constexpr int kWholeTreeDepth = 12;

template <ArithOp Op>
bool whole_node(X& x, const Expr* e, WholeNumber& out, int depth);

// The value of an operand that is a literal or a set simple variable holding
// a whole number, or an arithmetic node (run before, so that its routine is
// chosen) over such operands whose short way succeeds: the nodes between
// make no values. Reading such operands runs no code and changes nothing (a
// string is only recognised as a number, as any evaluation would), so on
// false the expression is simply evaluated the long way, which then raises
// whatever error there is.
[[gnu::always_inline]] inline bool whole_operand(X& x, const Expr* e, WholeNumber& out, int depth) {
    const void* f = e->exec_fn;
    const RexxValue* v;
    if (f == reinterpret_cast<void*>(ev_constant)) {
        v = static_cast<const RexxValue*>(e->exec_slot);
    } else if (f == reinterpret_cast<void*>(ev_simple)) {
        v = remembered_value(x, e);
        if (!v && !(v = looked_up_value(x, e))) return false;
    } else if (depth >= kWholeTreeDepth) {
        return false;
    } else if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Add>)) {
        return whole_node<ArithOp::Add>(x, e, out, depth + 1);
    } else if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Sub>)) {
        return whole_node<ArithOp::Sub>(x, e, out, depth + 1);
    } else if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Mul>)) {
        return whole_node<ArithOp::Mul>(x, e, out, depth + 1);
    } else if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Rem>)) {
        return whole_node<ArithOp::Rem>(x, e, out, depth + 1);
    } else if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::IntDiv>)) {
        return whole_node<ArithOp::IntDiv>(x, e, out, depth + 1);
    } else {
        return false;
    }
    if (!is_number(*v) || !is_whole(v->num())) return false;
    out.value = v->num();
    out.places = v->places();
    return true;
}

// An arithmetic node computed the short way from its operands. The result
// of whole operands is whole again (a finite sum or product of whole doubles
// is), so it may be an operand in turn.
template <ArithOp Op>
[[gnu::noinline]] bool whole_node(X& x, const Expr* e, WholeNumber& out, int depth) {
    WholeNumber a, b;
    return whole_operand(x, e->left, a, depth) && whole_operand(x, e->right, b, depth) &&
           whole_result(x.in.numeric, Op, a.value, a.places, b.value, b.places, out.value,
                        out.places);
}

template <ArithOp Op>
const RexxValue* arith_long_way(X& x, const Expr* e, RexxValue& tmp);

// An operand evaluated with no further try of the short way for an
// arithmetic node: its parent's try has just failed on it.
[[gnu::always_inline]] inline const RexxValue* long_way_operand(X& x, const Expr* e,
                                                                LazyValue& tmp) {
    if (const RexxValue* v = value_in_place(x, e)) return v;
    void* f = e->exec_fn;
    if (e->op < ExprOp::Plus || e->op > ExprOp::Rem) return evaluate(x, e, tmp.get());
    if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Add>))
        return arith_long_way<ArithOp::Add>(x, e, tmp.get());
    if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Sub>))
        return arith_long_way<ArithOp::Sub>(x, e, tmp.get());
    if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Mul>))
        return arith_long_way<ArithOp::Mul>(x, e, tmp.get());
    if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::IntDiv>))
        return arith_long_way<ArithOp::IntDiv>(x, e, tmp.get());
    if (f == reinterpret_cast<void*>(ev_operator<ArithOp, ArithOp::Rem>))
        return arith_long_way<ArithOp::Rem>(x, e, tmp.get());
    return evaluate(x, e, tmp.get());
}

// An arithmetic node through values: each operand made, the general routine
// taking what the short way cannot.
template <ArithOp Op>
const RexxValue* arith_long_way(X& x, const Expr* e, RexxValue& tmp) {
    if (tracing_i(x)) return evaluate_node(x, e, tmp);
    check_stack(x);
    LazyValue lt, rt;
    const RexxValue* lp = long_way_operand(x, e->left, lt);
    if (!lp) return nullptr;
    if (lp != lt.ptr() && right_calls(e)) {
        lt.get() = *lp;
        lp = lt.ptr();
    }
    const RexxValue* rp = long_way_operand(x, e->right, rt);
    if (!rp) return nullptr;
    at(x, e->token);
    if (fast_arith(x.in.numeric, Op, *lp, *rp, tmp)) return &tmp;
    return arith_general(x, e, Op, *lp, *rp, tmp);
}

// An arithmetic node with an operand that is no candidate for the short way
// (a call, say): each operand is evaluated by its own routine, so an
// arithmetic operand still tries the short way for itself.
template <ArithOp Op>
[[gnu::noinline]] const RexxValue* arith_by_operands(X& x, const Expr* e, RexxValue& tmp) {
    LazyValue lt, rt;
    const RexxValue *lp, *rp;
    if (!binary_operands(x, e, lt, rt, lp, rp)) return nullptr;
    at(x, e->token);
    if (fast_arith(x.in.numeric, Op, *lp, *rp, tmp)) return &tmp;
    return arith_general(x, e, Op, *lp, *rp, tmp);
}

// An arithmetic (ArithOp) or comparison (CompareOp) operator. Whole numbers
// take the short way: an expression of them is computed in one go, with no
// value made for the nodes between.
template <typename OpKind, OpKind Op>
const RexxValue* ev_operator(X& x, const Expr* e, RexxValue& tmp) {
    if (tracing_i(x)) return evaluate_node(x, e, tmp);
    check_stack(x);
    WholeNumber a, b;
    if constexpr (std::is_same_v<OpKind, ArithOp>) {
        double res;
        int32_t places;
        if (!whole_candidate(e->left) || !whole_candidate(e->right))
            return arith_by_operands<Op>(x, e, tmp);
        if (whole_operand(x, e->left, a, 1) && whole_operand(x, e->right, b, 1) &&
            whole_result(x.in.numeric, Op, a.value, a.places, b.value, b.places, res, places)) {
            at(x, e->token);
            tmp.set_number(res, places);
            return &tmp;
        }
        return arith_long_way<Op>(x, e, tmp);
    } else {
        if (Op < CompareOp::EqIC && whole_candidate(e->left) && whole_candidate(e->right) &&
            whole_operand(x, e->left, a, 1) && whole_operand(x, e->right, b, 1)) {
            at(x, e->token);
            bool yes;
            switch (Op) {
            case CompareOp::Eq: yes = a.value == b.value; break;
            case CompareOp::Ne: yes = a.value != b.value; break;
            case CompareOp::Gt: yes = a.value > b.value; break;
            case CompareOp::Lt: yes = a.value < b.value; break;
            case CompareOp::Ge: yes = a.value >= b.value; break;
            default: yes = a.value <= b.value; break;
            }
            tmp.set_number(yes ? 1 : 0, -1);
            return &tmp;
        }
        LazyValue lt, rt;
        const RexxValue *lp, *rp;
        if (!binary_operands(x, e, lt, rt, lp, rp)) return nullptr;
        at(x, e->token);
        tmp.set_number(fast_compare(x, Op, *lp, *rp) ? 1 : 0, -1);
        return &tmp;
    }
}

// Concatenation, with or without a blank. The operands are taken where
// they lie; a left operand made for this node is extended in place, so
// chains stay linear.
template <bool Blank>
const RexxValue* ev_concat(X& x, const Expr* e, RexxValue& tmp) {
    if (tracing_i(x)) return evaluate_node(x, e, tmp);
    check_stack(x);
    LazyValue lt, rt;
    const RexxValue *lp, *rp;
    if (!binary_operands(x, e, lt, rt, lp, rp)) return nullptr;
    at(x, e->token);
    std::string_view sep = Blank ? " " : "";
    if (lp == lt.ptr()) {
        RexxValue& l = lt.get();
        append_checked(x, l, sep, rp->text(x.in.numeric));
        tmp = std::move(l);
        return &tmp;
    }
    store_text(tmp, lp->text(x.in.numeric), sep, rp->text(x.in.numeric), x);
    return &tmp;
}

// A comparison's verdict on two numbers known as numbers: whole ones are
// compared as they are; others go to the general routine (which rounds).
template <CompareOp Op>
[[gnu::always_inline]] inline bool compare_whole(double a, double b) {
    if constexpr (Op == CompareOp::Eq) return a == b;
    if constexpr (Op == CompareOp::Ne) return a != b;
    if constexpr (Op == CompareOp::Gt) return a > b;
    if constexpr (Op == CompareOp::Lt) return a < b;
    if constexpr (Op == CompareOp::Ge) return a >= b;
    if constexpr (Op == CompareOp::Le) return a <= b;
    return false;
}

// A comparison node's verdict: 1 or 0; -1 when an operand failed (the
// error handed back in x.failure).
template <CompareOp Op>
int compare_test(X& x, const Expr* e) {
    check_stack(x);
    LazyValue lt, rt;
    const RexxValue *lp, *rp;
    if (!binary_operands(x, e, lt, rt, lp, rp)) return -1;
    at(x, e->token);
    return fast_compare(x, Op, *lp, *rp);
}

// The shapes of comparison a condition tests the short way, kept in the
// node's exec_form once its operands have been evaluated a first time.
enum CompareShape : uint8_t {
    Unplanned,
    General,
    VarWithNumber,  // simple variable OP whole number literal
    ExprWithNumber, // any other expression OP whole number literal
    kCompareShapes
};

// The whole number a comparison's right operand stands for, when it is a
// literal known as one (a literal's value never changes).
inline const RexxValue* whole_literal(const Expr* r) {
    if (r->exec_fn != reinterpret_cast<void*>(ev_constant)) return nullptr;
    auto* v = static_cast<const RexxValue*>(r->exec_slot);
    return v->known_number() && is_whole(v->num()) ? v : nullptr;
}

// The verdict on a left value against the node's whole number literal.
template <CompareOp Op>
[[gnu::always_inline]] inline int compare_with_number(X& x, const Expr* e, const RexxValue& l) {
    at(x, e->token);
    const RexxValue& r = *static_cast<const RexxValue*>(e->right->exec_slot);
    if (l.known_number() && is_whole(l.num())) return compare_whole<Op>(l.num(), r.num());
    return compare_values(x.in.numeric, Op, l, r);
}

template <CompareOp Op>
int compare_var_number(X& x, const Expr* e) {
    const RexxValue* l = remembered_value(x, e->left);
    if (!l) return compare_test<Op>(x, e);
    return compare_with_number<Op>(x, e, *l);
}

template <CompareOp Op>
int compare_expr_number(X& x, const Expr* e) {
    check_stack(x);
    LazyValue lt;
    const RexxValue* l = quick_evaluate(x, e->left, lt);
    if (!l) return -1;
    return compare_with_number<Op>(x, e, *l);
}

// The first test of a comparison: the general way, then the node's shape
// chosen from what its operands turned out to be.
template <CompareOp Op>
int compare_plan(X& x, const Expr* e) {
    int verdict = compare_test<Op>(x, e);
    if (verdict < 0) return verdict;
    uint8_t shape = General;
    if (Op < CompareOp::EqIC && whole_literal(e->right))
        shape =
            e->left->exec_fn == reinterpret_cast<void*>(ev_simple) ? VarWithNumber : ExprWithNumber;
    const_cast<Expr*>(e)->exec_form = shape;
    return verdict;
}

using CompareTest = int (*)(X&, const Expr*);

template <CompareOp Op>
constexpr CompareTest kShapedTests[kCompareShapes] = {
    compare_plan<Op>, compare_test<Op>, compare_var_number<Op>, compare_expr_number<Op>};

// The comparison tests by shape, in ExprOp order from ExprOp::Eq.
template <CompareShape Shape>
constexpr CompareTest kCompareTestRow[] = {
    kShapedTests<CompareOp::Eq>[Shape],       // Eq
    kShapedTests<CompareOp::Ne>[Shape],       // Neq
    kShapedTests<CompareOp::StrictEq>[Shape], // Eeq
    kShapedTests<CompareOp::StrictNe>[Shape], // Nneq
    kShapedTests<CompareOp::EqIC>[Shape],     // Eqic
    kShapedTests<CompareOp::NeIC>[Shape],     // Neqic
    kShapedTests<CompareOp::Gt>[Shape],       // Sup
    kShapedTests<CompareOp::Lt>[Shape],       // Inf
    kShapedTests<CompareOp::Ge>[Shape],       // SupEq
    kShapedTests<CompareOp::Le>[Shape],       // InfEq
    kShapedTests<CompareOp::StrictGt>[Shape], // Ssup
    kShapedTests<CompareOp::StrictLt>[Shape], // Iinf
    kShapedTests<CompareOp::StrictGe>[Shape], // SsupEq
    kShapedTests<CompareOp::StrictLe>[Shape], // IinfEq
};
constexpr size_t kCompareOps =
    static_cast<size_t>(ExprOp::IinfEq) - static_cast<size_t>(ExprOp::Eq) + 1;
static_assert(sizeof kCompareTestRow<General> / sizeof(CompareTest) == kCompareOps);
const CompareTest* const kCompareTests[kCompareShapes] = {
    kCompareTestRow<Unplanned>, kCompareTestRow<General>, kCompareTestRow<VarWithNumber>,
    kCompareTestRow<ExprWithNumber>};

// The comparison test of a node, or null when the node is no comparison.
inline CompareTest compare_test_of(const Expr* e) {
    size_t k = static_cast<size_t>(e->op) - static_cast<size_t>(ExprOp::Eq);
    return k < kCompareOps ? kCompareTests[e->exec_form][k] : nullptr;
}

EvalFn binary_routine(ExprOp op) {
    switch (op) {
    case ExprOp::Bl: return ev_concat<true>;
    case ExprOp::Conc: return ev_concat<false>;
    case ExprOp::Plus: return ev_operator<ArithOp, ArithOp::Add>;
    case ExprOp::Min: return ev_operator<ArithOp, ArithOp::Sub>;
    case ExprOp::Mult: return ev_operator<ArithOp, ArithOp::Mul>;
    case ExprOp::Idiv: return ev_operator<ArithOp, ArithOp::IntDiv>;
    case ExprOp::Rem: return ev_operator<ArithOp, ArithOp::Rem>;
    case ExprOp::Eq: return ev_operator<CompareOp, CompareOp::Eq>;
    case ExprOp::Neq: return ev_operator<CompareOp, CompareOp::Ne>;
    case ExprOp::Sup: return ev_operator<CompareOp, CompareOp::Gt>;
    case ExprOp::Inf: return ev_operator<CompareOp, CompareOp::Lt>;
    case ExprOp::SupEq: return ev_operator<CompareOp, CompareOp::Ge>;
    case ExprOp::InfEq: return ev_operator<CompareOp, CompareOp::Le>;
    case ExprOp::Eeq: return ev_operator<CompareOp, CompareOp::StrictEq>;
    case ExprOp::Nneq: return ev_operator<CompareOp, CompareOp::StrictNe>;
    default: return ev_binary;
    }
}

// Picks a node's routine at its first evaluation (the general one for
// whatever is not yet known well enough to pick better), then runs it.
const RexxValue* choose_eval(X& x, const Expr* e, RexxValue& tmp) {
    const RexxValue* v = evaluate_node(x, e, tmp);
    EvalFn f = evaluate_node;
    switch (e->op) {
    case ExprOp::String: f = ev_constant; break;
    case ExprOp::Symbol: {
        // A simple variable's analysis is kept in the node too, a load nearer.
        const SymbolRef& s = *static_cast<const SymbolRef*>(e->token->pool_ref);
        if (s.kind == SymbolKind::Simple) {
            const_cast<Expr*>(e)->exec_slot = e->token->pool_ref;
            f = ev_simple;
        } else if (s.kind == SymbolKind::Compound && s.fixed_tail) {
            const_cast<Expr*>(e)->exec_slot = e->token->pool_ref;
            f = ev_fixed_compound;
        }
        break;
    }
    case ExprOp::Call: {
        // The routine is resolved once the call has run.
        auto* t = static_cast<const CallTarget*>(e->exec_slot);
        if (!t) return v;
        if (t->kind == CallTarget::Builtin && e->nargs <= kSmallCall)
            f = ev_builtin;
        else if (t->kind == CallTarget::Label)
            f = ev_routine_call;
        break;
    }
    default:
        if (expr_arity(e->op) == Arity::Binary) f = binary_routine(e->op);
        break;
    }
    const_cast<Expr*>(e)->exec_fn = reinterpret_cast<void*>(f);
    return v;
}

const RexxValue& eval_backquote(X& x, const Expr* e, RexxValue& tmp) {
    RexxValue ct;
    const RexxValue& c = eval(x, e->left, ct);
    std::string command(c.text(x.in.numeric));
    at(x, e->token);
    std::string output;
    std::fflush(stdout);
    sync_streams(x.in);
    if (!x.opt.isolated) {
        voren::platform::ChildOptions options;
        options.capture_output = true;
        options.stop_flag = x.opt.halt_flag;
        voren::platform::ChildResult r = voren::platform::run_child(command, options);
        if (!r.started) raise_error(x.in, 58);
        output = std::move(r.output);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    tmp.assign_text(output);
    if (tracing_i(x)) trace_backquote(x.in, x.depth, command, output);
    return tmp;
}

// The text of an expression (empty for none) as an owned string.
std::string eval_text(X& x, const Expr* e) {
    if (!e) return {};
    RexxValue tmp;
    return std::string(eval(x, e, tmp).text(x.in.numeric));
}

enum class CondKind : uint8_t { Plain, While, Until, WhileQuoted, UntilQuoted };

// A condition that must be 0 or 1 (error 34 with the detail of its kind).
// False with x.failed set when the expression failed.
[[gnu::noinline]] bool eval_condition_value(X& x, const Expr* e, CondKind kind) {
    RexxValue tmp;
    const RexxValue* vp = evaluate(x, e, tmp);
    if (!vp) return false;
    const RexxValue& v = *vp;
    int b = logical_value(v);
    if (b >= 0) return b == 1;
    std::string t(v.text(x.in.numeric));
    std::string detail;
    switch (kind) {
    case CondKind::Plain: detail = "Expression evaluates to " + t; break;
    case CondKind::While: detail = "WHILE expression evaluates to " + t; break;
    case CondKind::Until: detail = "UNTIL expression evaluates to " + t; break;
    case CondKind::WhileQuoted: detail = "WHILE expression evaluates to \"" + t + "\""; break;
    case CondKind::UntilQuoted: detail = "UNTIL expression evaluates to \"" + t + "\""; break;
    }
    raise_error(x.in, 34, detail);
}

inline bool eval_condition(X& x, const Expr* e, CondKind kind) {
    // A comparison (most conditions are one) is tested without making its
    // 0 or 1 value.
    if (CompareTest test = compare_test_of(e); test && !tracing_i(x)) return test(x, e) > 0;
    return eval_condition_value(x, e, kind);
}

// ---------------------------------------------------------------- clauses

bool traced_clause(X& x, const Clause* c) {
    return trace_clauses(x.in.trace) ||
           (c->kind == ClauseKind::Label && (x.in.trace.bits & kTraceLabels));
}

void trace_this(X& x, int line, std::string_view text) {
    trace_clause(x.in, line, text, x.interpreted);
}

__attribute__((always_inline)) inline void set_clause_pos(X& x, const Clause* c) {
    x.in.pos.column = c->column + 1;
    if (!x.interpreted) {
        x.in.pos.line = c->line + 1;
    } else {
        x.in.pos.interpreted_line = unit_line(x.body->unit, c->line);
    }
}

int command_rc(X& x, const Environment& env, std::string_view command) {
    if (commands_inhibited(x.in.trace) && !x.pause_line) return 0;
    // EXECIO and the buffer commands are the interpreter's own, whatever the environment.
    int rc = 0;
    if (intercepted_command(x.in, command, rc)) return rc;
    // The command may read the files the program writes.
    sync_streams(x.in);
    return env.handler(x.in, command);
}

void call_trap_handler(X& x, const std::string& label, int line);

void after_command(X& x, const Clause* c, std::string_view command, int rc, bool traced) {
    if (!x.pause_line && trace_command_wanted(x.in.trace, rc)) {
        if (!traced && !trace_clauses(x.in.trace))
            trace_this(x, x.in.pos.line, {c->text, c->text_length});
        trace_command(x.in, 0, command, rc);
    }
    TrapAction a = command_condition(x.in, rc, command, x.in.pos.line, x.pause_line);
    if (a.mode == TrapMode::Signal)
        signal_to(x, a.label, x.in.pos.line);
    else if (a.mode == TrapMode::Call)
        call_trap_handler(x, a.label, x.in.pos.line);
}

// The environment at index (a handler may have removed environments since
// the index was taken): error 56 when there is none.
const Environment& environment_at(X& x, size_t index) {
    if (index >= x.envs->entries.size()) raise_error(x.in, 56);
    return x.envs->entries[index];
}

bool halt_pending(X& x) {
    return *x.halt;
}

// Raises HALT for a pending halt request at the current position; true when
// control moved to a SIGNAL ON HALT label.
bool take_halt(X& x);

void run_command(X& x, const Clause* c, size_t env_index, bool traced) {
    std::string command = eval_text(x, c->expr);
    set_clause_pos(x, c);
    // Copied: the handler may change the table.
    Environment env = environment_at(x, env_index);
    int rc = command_rc(x, env, command);
    if (halt_pending(x)) {
        // Halted while the command ran: the command has ended, and HALT
        // comes before any ERROR or FAILURE of its return code.
        set_special(x, rc_name(x.in), rc);
        take_halt(x);
        return;
    }
    after_command(x, c, command, rc, traced);
}

bool take_halt(X& x) {
    *x.halt = 0;
    TrapAction a = halt_condition(x.in, x.in.pos.line);
    if (a.mode == TrapMode::Signal) {
        signal_to(x, a.label, x.in.pos.line);
        return true;
    }
    if (a.mode == TrapMode::Call) call_trap_handler(x, a.label, x.in.pos.line);
    return false;
}

// Whether evaluating e can change a variable: a call of anything but a
// built-in (VALUE() excepted) or a back-quoted command.
bool may_change_variables(const Expr* e) {
    if (!e) return false;
    if (e->op == ExprOp::BackQ) return true;
    if (e->op == ExprOp::Call) {
        auto* t = static_cast<const CallTarget*>(e->exec_slot);
        if (!t || t->kind == CallTarget::Label) return true;
        if (t->msg_name == "VALUE") return true;
        for (uint32_t i = 0; i < e->nargs; ++i)
            if (may_change_variables(e->args[i])) return true;
        return false;
    }
    return may_change_variables(e->left) || may_change_variables(e->right) ||
           may_change_variables(e->third);
}

// Marks an append clause whose right side changes no variable: once every
// call in it is resolved, that stays true for good.
char append_unchanging;

// Whether the right side of an append clause changes no variable.
bool append_right_unchanging(const Clause* c) {
    if (c->exec_slot == &append_unchanging) return true;
    if (may_change_variables(c->expr->right)) return false;
    const_cast<Clause*>(c)->exec_slot = &append_unchanging;
    return true;
}

// Appends r's text (after a blank for the blank operator) to rec's value.
void append_text(X& x, const Expr* e, Variable* rec, const RexxValue& r) {
    append_checked(x, rec->value, e->op == ExprOp::Bl ? " " : "", r.text(x.in.numeric));
}

// v = v || expr and v = v expr extend v's text where it lies, so that a
// string built piece by piece is not copied again for every piece.
[[gnu::noinline]] bool append_in_place(X& x, const Clause* c, const SymbolRef& s) {
    const Expr* e = c->expr;
    if (!e || (e->op != ExprOp::Conc && e->op != ExprOp::Bl) || e->left->op != ExprOp::Symbol)
        return false;
    if (x.in.trace.bits & (kTraceResults | kTraceIntermediates)) return false;
    const SymbolRef& left = symref(x, e->left->token);
    if (left.kind != SymbolKind::Simple || left.text != s.text) return false;
    if (!append_right_unchanging(c)) return false;
    if (e->right->op == ExprOp::Symbol && symref(x, e->right->token).text == s.text) return false;
    Variable* rec = simple_record(x, s);
    if (rec->state != VarState::Set) return false;
    RexxValue rt;
    const RexxValue& r = eval(x, e->right, rt);
    if (&r == &rec->value || rec->state != VarState::Set) return false;
    append_text(x, e, rec, r);
    return true;
}

// Assignments other than "simple variable = expression".
[[gnu::noinline]] void exec_assign_general(X& x, const Clause* c, const SymbolRef& s) {
    if (s.kind == SymbolKind::Invalid) raise_error(x.in, 31);
    IndexForm form = static_cast<IndexForm>(c->variant);
    if (form == IndexForm::None) {
        if (!c->expr) {
            if (trace_results(x.in.trace)) trace_result(x.in, 0, "");
            set_value(x.in, s, RexxValue());
            return;
        }
        RexxValue tmp;
        const RexxValue* vp = evaluate(x, c->expr, tmp);
        if (!vp) return;
        const RexxValue& v = *vp;
        if (trace_results(x.in.trace)) trace_result(x.in, 0, v.text(x.in.numeric));
        if (&v == &tmp)
            set_value(x.in, s, std::move(tmp));
        else
            set_value(x.in, s, RexxValue(v));
        return;
    }
    // Indexed assignment: replace positions of the current text.
    RexxValue it1, it2;
    long first = 1, second = 0;
    bool have_second = false;
    auto index_of = [&](const Expr* e, RexxValue& store, const char* which) {
        const RexxValue& v = eval(x, e, store);
        set_clause_pos(x, c);
        bool num = is_number(v);
        std::string t(v.text(x.in.numeric));
        if (!num)
            raise_error(x.in, 78,
                        std::string("The ") + which + " index evaluates to \"" + t + "\"");
        double d = round_digits(v.num(), 9);
        if (d != std::trunc(d) || d < 1 || d > 2147483647.0)
            raise_error(x.in, 78,
                        std::string("The ") + which + " index must be a positive integer.");
        return static_cast<long>(d);
    };
    if (c->index1) first = index_of(c->index1, it1, "first");
    if (c->index2) {
        second = index_of(c->index2, it2, "second");
        have_second = true;
    }
    RexxValue vt;
    RexxValue nv_store;
    const RexxValue& nv = c->expr ? eval(x, c->expr, nv_store) : empty_value();
    std::string newtext(nv.text(x.in.numeric));
    set_clause_pos(x, c);
    RexxValue fallback;
    std::string old(fetch_value(x.in, s, fallback).text(x.in.numeric));
    if (!have_second) second = form == IndexForm::Single ? first : static_cast<long>(old.size());
    if (form == IndexForm::UpTo) first = 1;
    if (second < first) raise_error(x.in, 78, "The second index must be greater than the first.");
    if (static_cast<size_t>(second) > kMaxValueLength) raise_error(x.in, 5);
    std::string text = old;
    if (text.size() < static_cast<size_t>(second)) text.resize(static_cast<size_t>(second), ' ');
    text.replace(static_cast<size_t>(first - 1), static_cast<size_t>(second - first + 1), newtext);
    if (trace_results(x.in.trace)) trace_index_assign(x.in, 0, old, first, second, text);
    set_value(x.in, s, RexxValue(text));
}

// The value of e put into the simple variable s; e is evaluated the general way.
void assign_evaluated(X& x, const Expr* e, const SymbolRef& s) {
    RexxValue tmp;
    const RexxValue* vp = evaluate(x, e, tmp);
    if (!vp) return;
    if (trace_results(x.in.trace)) trace_result(x.in, 0, vp->text(x.in.numeric));
    Variable* rec = simple_record(x, s);
    if (vp == &tmp) {
        rec->value.give_buffer(x.in.spare);
        rec->value = std::move(tmp);
    } else if (vp != &rec->value) {
        rec->value = *vp;
    }
    rec->state = VarState::Set;
}

void exec_assign(X& x, const Clause* c) {
    const SymbolRef& s = symref(x, c->name);
    const Expr* e = c->expr;
    if (s.kind != SymbolKind::Simple || !e || c->variant != static_cast<uint8_t>(IndexForm::None))
        return exec_assign_general(x, c, s);
    if ((e->op == ExprOp::Conc || e->op == ExprOp::Bl) && append_in_place(x, c, s)) return;
    if (e->exec_fn == reinterpret_cast<void*>(ev_builtin) && !trace_results(x.in.trace) &&
        !static_cast<const CallTarget*>(e->exec_slot)->copy_args) {
        // A built-in's result made straight in the variable (its arguments
        // call nothing, so they cannot create variables before this one).
        Variable* rec = simple_record(x, s);
        if (rec->state == VarState::Set) {
            builtin_node<true>(x, e, rec->value);
            return;
        }
    }
    if (!trace_results(x.in.trace)) {
        // A literal or a set variable: copied across with no evaluation step.
        if (const RexxValue* v = value_in_place(x, e)) {
            Variable* rec = simple_record(x, s);
            if (v != &rec->value) rec->value = *v;
            rec->state = VarState::Set;
            return;
        }
    }
    assign_evaluated(x, e, s);
}

// Untraced assignments of the common shapes, each with a routine of its own
// (chosen by choose_assign once the expression's own routine is known). Each
// falls back to exec_assign for whatever its short way does not cover.

// v = 'literal'
void assign_literal(X& x, const Clause* c) {
    const SymbolRef& s = *static_cast<const SymbolRef*>(c->name->pool_ref);
    Variable* rec = simple_record(x, s);
    rec->value = *static_cast<const RexxValue*>(c->expr->exec_slot);
    rec->state = VarState::Set;
}

// v = w, w a simple variable
void assign_variable(X& x, const Clause* c) {
    const RexxValue* v = remembered_value(x, c->expr);
    if (!v) return exec_assign(x, c);
    const SymbolRef& s = *static_cast<const SymbolRef*>(c->name->pool_ref);
    Variable* rec = simple_record(x, s);
    if (v != &rec->value) rec->value = *v;
    rec->state = VarState::Set;
}

// v = builtin(...), the arguments calling nothing
void assign_builtin(X& x, const Clause* c) {
    const SymbolRef& s = *static_cast<const SymbolRef*>(c->name->pool_ref);
    Variable* rec = simple_record(x, s);
    if (rec->state != VarState::Set) return exec_assign(x, c);
    builtin_node<true>(x, c->expr, rec->value);
}

// v = v || e, v = v e (e not v itself)
void assign_append(X& x, const Clause* c) {
    const SymbolRef& s = *static_cast<const SymbolRef*>(c->name->pool_ref);
    const Expr* e = c->expr;
    Variable* rec = simple_record(x, s);
    if (rec->state != VarState::Set || !append_right_unchanging(c))
        return assign_evaluated(x, e, s);
    LazyValue rt;
    const RexxValue* r = quick_evaluate(x, e->right, rt);
    if (!r) return;
    append_text(x, e, rec, *r);
}

// v = any other expression
void assign_expression(X& x, const Clause* c) {
    assign_evaluated(x, c->expr, *static_cast<const SymbolRef*>(c->name->pool_ref));
}

using ClauseRoutine = void (*)(X&, const Clause*);

// Whether e is "s || expr" or "s expr", expr not s itself.
bool appends_to(X& x, const Expr* e, const SymbolRef& s) {
    if ((e->op != ExprOp::Conc && e->op != ExprOp::Bl) || e->left->op != ExprOp::Symbol)
        return false;
    const SymbolRef& left = symref(x, e->left->token);
    if (left.kind != SymbolKind::Simple || left.text != s.text) return false;
    return e->right->op != ExprOp::Symbol || symref(x, e->right->token).text != s.text;
}

// Runs an assignment the general way, then picks its routine for next time.
void choose_assign(X& x, const Clause* c) {
    exec_assign(x, c);
    const SymbolRef& s = symref(x, c->name);
    const Expr* e = c->expr;
    ClauseRoutine f = exec_assign;
    if (s.kind == SymbolKind::Simple && e && c->variant == static_cast<uint8_t>(IndexForm::None)) {
        if (appends_to(x, e, s))
            f = assign_append;
        else if (!e->exec_fn)
            return; // not evaluated yet (it failed): choose at the next run
        else if (e->exec_fn == reinterpret_cast<void*>(ev_constant))
            f = assign_literal;
        else if (e->exec_fn == reinterpret_cast<void*>(ev_simple))
            f = assign_variable;
        else if (e->exec_fn == reinterpret_cast<void*>(ev_builtin) &&
                 !static_cast<const CallTarget*>(e->exec_slot)->copy_args)
            f = assign_builtin;
        else
            f = assign_expression;
    }
    const_cast<Clause*>(c)->exec_fn = reinterpret_cast<void*>(f);
}

void exec_if(X& x, const Clause* c) {
    bool b = eval_condition(x, c->expr, CondKind::Plain);
    if (x.failed) return;
    if (b)
        exec_list(x, c->body.first);
    else if (c->has_else)
        exec_list(x, c->alt.first);
}

// Decides, once every WHEN has been tested, whether the SELECT has a plan;
// the clause's slot then holds the plan, or kNoSelectPlan.
char kNoSelectPlan;

void plan_select(X& x, const Clause* c) {
    const Expr* variable = nullptr;
    for (const WhenArm* arm = c->whens; arm; arm = arm->next) {
        const Expr* e = arm->condition;
        if (e->op != ExprOp::Eq || e->exec_form != VarWithNumber) {
            if (e->exec_form == Unplanned && compare_test_of(e)) return; // not yet known
            const_cast<Clause*>(c)->exec_slot = &kNoSelectPlan;
            return;
        }
        const SymbolRef& s = *static_cast<const SymbolRef*>(e->left->exec_slot);
        if (variable &&
            static_cast<const SymbolRef*>(variable->exec_slot)->base.name != s.base.name) {
            const_cast<Clause*>(c)->exec_slot = &kNoSelectPlan;
            return;
        }
        if (!variable) variable = e->left;
    }
    if (!variable) {
        const_cast<Clause*>(c)->exec_slot = &kNoSelectPlan;
        return;
    }
    x.select_plans.emplace_back();
    SelectPlan& plan = x.select_plans.back();
    plan.variable = variable;
    for (const WhenArm* arm = c->whens; arm; arm = arm->next) {
        plan.values.push_back(
            static_cast<const RexxValue*>(arm->condition->right->exec_slot)->num());
        plan.arms.push_back(arm);
    }
    const_cast<Clause*>(c)->exec_slot = &plan;
}

// The planned way: true when it ran the SELECT (false: the value is no
// whole number, or tracing is on; the WHENs are then tested one by one).
bool select_by_plan(X& x, const Clause* c, const SelectPlan& plan) {
    if (trace_clauses(x.in.trace) || tracing_i(x)) return false;
    const RexxValue* v = remembered_value(x, plan.variable);
    if (!v || !v->known_number() || !is_whole(v->num())) return false;
    double d = v->num();
    size_t n = plan.values.size();
    for (size_t i = 0; i < n; ++i) {
        if (plan.values[i] == d) {
            // Where the tests one by one would have left the position.
            x.in.pos.column = plan.arms[i]->token->column + 1;
            at(x, plan.arms[i]->condition->token);
            exec_list(x, plan.arms[i]->body.first);
            return true;
        }
    }
    x.in.pos.column = plan.arms[n - 1]->token->column + 1;
    at(x, plan.arms[n - 1]->condition->token);
    if (c->has_otherwise) {
        exec_list(x, c->body.first);
        return true;
    }
    set_clause_pos(x, c);
    raise_error(x.in, 57);
}

void exec_select(X& x, const Clause* c) {
    if (c->exec_slot != &kNoSelectPlan) {
        if (!c->exec_slot) plan_select(x, c);
        if (c->exec_slot && c->exec_slot != &kNoSelectPlan &&
            select_by_plan(x, c, *static_cast<const SelectPlan*>(c->exec_slot)))
            return;
    }
    for (const WhenArm* arm = c->whens; arm; arm = arm->next) {
        x.in.pos.column = arm->token->column + 1;
        if (!x.interpreted) x.in.pos.line = arm->token->line + 1;
        if (trace_clauses(x.in.trace))
            trace_this(x, arm->token->line + 1, {arm->text, arm->text_length});
        if (eval_condition(x, arm->condition, CondKind::Plain)) {
            exec_list(x, arm->body.first);
            return;
        }
        if (x.failed) return;
    }
    if (c->has_otherwise) {
        exec_list(x, c->body.first);
        return;
    }
    set_clause_pos(x, c);
    raise_error(x.in, 57);
}

// What a loop does after its body: 0 go on, 1 leave this loop (pending kept
// or cleared as due).
bool loop_consumes(X& x, const LoopSpec* loop, bool& leave) {
    leave = false;
    if (x.pending == Pending::None) return true;
    auto mine = [&] {
        if (!x.pending_name) return true;
        if (!loop->control) return false;
        const SymbolInfo* a = x.pending_name;
        const SymbolInfo* b = loop->control->sym;
        return a->length == b->length && std::memcmp(a->name, b->name, a->length) == 0;
    };
    if (x.pending == Pending::Leave) {
        if (mine()) x.pending = Pending::None;
        leave = true;
        return false;
    }
    if (x.pending == Pending::Iterate) {
        if (mine()) {
            x.pending = Pending::None;
            return true;
        }
        leave = true;
        return false;
    }
    leave = true; // RETURN or SIGNAL
    return false;
}

bool loop_test(X& x, const Clause* c, const Expr* cond, CondKind kind) {
    set_clause_pos(x, c);
    bool b = eval_condition(x, cond, kind);
    if (x.failed) throw_failure(x);
    return b;
}

struct LoopGuard {
    X& x;
    size_t size;
    LoopGuard(X& x_, const LoopSpec* l) : x(x_), size(x_.loops.size()) { x.loops.push_back(l); }
    ~LoopGuard() { x.loops.resize(size); }
};

[[noreturn]] void loop_error(X& x, int code, const std::string& detail) {
    raise_error(x.in, code, detail);
}

// One pass of a repetitive loop's body; an empty body counts against the
// clause budget too, so that DO FOREVER; END cannot run past it.
[[gnu::always_inline]] inline void loop_body(X& x, const Clause* c) {
    if (x.opt.max_clauses && ++x.clause_count > x.opt.max_clauses) {
        set_clause_pos(x, c);
        raise_error(x.in, 4);
    }
    const Clause* first = c->body.first;
    if (!first && halt_pending(x)) {
        // An empty body runs no clause that would notice the request.
        set_clause_pos(x, c);
        take_halt(x);
        return;
    }
    for (const Clause* b = first; b; b = b->next) {
        exec_clause(x, b);
        if (x.pending != Pending::None) return;
    }
}

// A controlled loop once its expressions are evaluated.
struct ControlledLoop {
    const Clause* c;
    const LoopSpec* loop;
    const SymbolRef* ctrl;
    const RexxValue* step;
    double current, limit, for_count;
    bool has_to, has_for;
};

// The step when the control variable no longer holds what the last step
// stored: checked and added the general way. Returns the new value.
[[gnu::noinline]] double step_changed(X& x, const SymbolRef& ctrl, const RexxValue& step) {
    if (ctrl.kind == SymbolKind::Simple) {
        Variable* rec = simple_record(x, ctrl);
        if (rec->state == VarState::Set && is_number(rec->value) && rec->value.places() <= 0 &&
            step.places() <= 0) {
            double a = rec->value.num(), b = step.num();
            if (is_whole(a) && is_whole(b) && std::fabs(a) < 1e14 && std::fabs(b) < 1e14) {
                rec->value.set_number(a + b, 0);
                return a + b;
            }
        }
    }
    RexxValue fallback;
    const RexxValue& v = fetch_value(x.in, ctrl, fallback);
    if (!is_number(v))
        loop_error(x, 41,
                   "The control variable " + ctrl.text + " evaluates to \"" +
                       std::string(v.text(x.in.numeric)) + "\"");
    RexxValue next;
    if (v.places() <= 0 && step.places() <= 0 && std::fabs(v.num()) < 1e14 &&
        std::fabs(step.num()) < 1e14 && v.num() == std::trunc(v.num()) &&
        step.num() == std::trunc(step.num())) {
        next.set_number(v.num() + step.num(), 0);
    } else {
        RexxValue cur = RexxValue::number(round_digits(v.num(), x.in.numeric.digits), v.places());
        next = eval_arith(x.in, ArithOp::Add, cur, step);
    }
    double current = next.num();
    set_value(x.in, ctrl, std::move(next));
    return current;
}

// The passes of a controlled loop, kept apart from the setting up so that
// the few values a pass needs stay in registers.
[[gnu::noinline]] void controlled_passes(X& x, const ControlledLoop& run) {
    const Clause* c = run.c;
    const LoopSpec* loop = run.loop;
    const SymbolRef& ctrl = *run.ctrl;
    const Expr* while_cond = loop->until ? nullptr : loop->condition;
    const Expr* until_cond = loop->until ? loop->condition : nullptr;
    double current = run.current;
    double step_value = run.step->num();
    // TO as one comparison either way: direction * current > bound ends the
    // loop (multiplying by 1 or -1 is exact); no TO, no FOR: bounds never met.
    double direction = step_value >= 0 ? 1 : -1;
    double bound = run.has_to ? direction * run.limit : HUGE_VAL;
    double for_count = run.has_for ? run.for_count : HUGE_VAL;
    bool whole_step =
        run.step->places() <= 0 && is_whole(step_value) && std::fabs(step_value) < 1e14;
    bool simple = ctrl.kind == SymbolKind::Simple;
    bool leave = false;
    for (double done = 0;; ++done) {
        if (direction * current > bound) break;
        if (done >= for_count) break;
        if (while_cond && !loop_test(x, c, while_cond, CondKind::WhileQuoted)) break;
        loop_body(x, c);
        if (x.pending != Pending::None && (!loop_consumes(x, loop, leave) || leave)) break;
        if (until_cond && loop_test(x, c, until_cond, CondKind::UntilQuoted)) break;
        // Step: the body may have changed the variable.
        if (simple && whole_step) {
            // Still the whole number the last step stored: no checks needed.
            Variable* rec = simple_record(x, ctrl);
            if (rec->state == VarState::Set && rec->value.is_number_form() &&
                rec->value.num() == current && rec->value.places() == 0 &&
                std::fabs(current) < 1e14) {
                current += step_value;
                rec->value.set_number(current, 0);
                continue;
            }
        }
        set_clause_pos(x, c);
        current = step_changed(x, ctrl, *run.step);
    }
}

void exec_do(X& x, const Clause* c) {
    const LoopSpec* loop = c->loop;
    if (loop->form == LoopForm::Simple) {
        exec_list(x, c->body.first);
        return;
    }
    check_stack(x);
    LoopGuard guard(x, loop);
    bool leave = false;
    const Expr* cond = loop->condition;
    bool until = loop->until;
    switch (loop->form) {
    case LoopForm::Count:
    case LoopForm::Forever: {
        double count = -1;
        if (loop->form == LoopForm::Count) {
            RexxValue tmp;
            const RexxValue& v = eval(x, loop->start, tmp);
            set_clause_pos(x, c);
            if (!whole_value(v, count) || count < 0)
                loop_error(x, 26, "Expression evaluates to " + std::string(v.text(x.in.numeric)));
        }
        for (double done = 0;; ++done) {
            if (count >= 0 && done >= count) break;
            if (cond && !until && !loop_test(x, c, cond, CondKind::While)) break;
            loop_body(x, c);
            if (!loop_consumes(x, loop, leave) || leave) break;
            if (cond && until && loop_test(x, c, cond, CondKind::Until)) break;
        }
        return;
    }
    case LoopForm::In: {
        std::string words = eval_text(x, loop->start);
        const SymbolRef& ctrl = symref(x, loop->control);
        size_t i = 0;
        for (;;) {
            while (i < words.size() && (is_blank(words[i]) || words[i] == '\n'))
                ++i;
            if (i >= words.size()) break;
            size_t start = i;
            while (i < words.size() && !is_blank(words[i]) && words[i] != '\n')
                ++i;
            set_value(x.in, ctrl, RexxValue(std::string_view(words).substr(start, i - start)));
            if (cond && !until && !loop_test(x, c, cond, CondKind::Plain)) break;
            loop_body(x, c);
            if (!loop_consumes(x, loop, leave) || leave) break;
            if (cond && until && loop_test(x, c, cond, CondKind::Plain)) break;
        }
        return;
    }
    case LoopForm::Controlled: break;
    default: return;
    }

    // DO name = start [TO limit] [BY step] [FOR count]
    const SymbolRef& ctrl = symref(x, loop->control);
    std::string_view ctrl_name = ctrl.text;
    RexxValue start_store;
    const RexxValue& start = eval(x, loop->start, start_store);
    set_clause_pos(x, c);
    if (!is_number(start))
        loop_error(x, 26,
                   "The control variable " + std::string(ctrl_name) + " evaluates to \"" +
                       std::string(start.text(x.in.numeric)) + "\"");
    RexxValue first = RexxValue::number(start.num(), start.places());
    bool has_to = false, has_for = false;
    double limit = 0, for_count = 0;
    RexxValue step = RexxValue::number(1, 0);
    for (int k = 0; k < loop->order_count; ++k) {
        RexxValue tmp;
        switch (loop->order[k]) {
        case LOOP_TO: {
            const RexxValue& v = eval(x, loop->to, tmp);
            set_clause_pos(x, c);
            if (!is_number(v))
                loop_error(x, 26,
                           "Expression evaluates to \"" + std::string(v.text(x.in.numeric)) + "\"");
            limit = v.num();
            has_to = true;
            break;
        }
        case LOOP_BY: {
            const RexxValue& v = eval(x, loop->by, tmp);
            set_clause_pos(x, c);
            if (!is_number(v))
                loop_error(x, 26,
                           "Expression evaluates to \"" + std::string(v.text(x.in.numeric)) + "\"");
            step = RexxValue::number(round_digits(v.num(), x.in.numeric.digits), v.places());
            break;
        }
        case LOOP_FOR: {
            const RexxValue& v = eval(x, loop->for_count, tmp);
            set_clause_pos(x, c);
            if (!whole_value(v, for_count) || for_count < 0)
                loop_error(x, 26,
                           "Expression evaluates to \"" + std::string(v.text(x.in.numeric)) + "\"");
            has_for = true;
            break;
        }
        }
    }
    double current = first.num();
    set_value(x.in, ctrl, std::move(first));
    ControlledLoop run{c, loop, &ctrl, &step, current, limit, for_count, has_to, has_for};
    controlled_passes(x, run);
}

void exec_leave(X& x, const Clause* c) {
    const SymbolInfo* name = c->name ? c->name->sym : nullptr;
    size_t base = x.frames.back()->loop_base;
    bool found = false;
    for (size_t i = x.loops.size(); i > base; --i) {
        const LoopSpec* l = x.loops[i - 1];
        if (!name) {
            found = true;
            break;
        }
        if (l->control && l->control->sym->length == name->length &&
            std::memcmp(l->control->sym->name, name->name, name->length) == 0) {
            found = true;
            break;
        }
    }
    if (!found) raise_error(x.in, 28);
    x.pending = c->kind == ClauseKind::Leave ? Pending::Leave : Pending::Iterate;
    x.pending_name = name;
}

void finish_program(X& x, const Expr* e) {
    if (e) {
        x.return_value.assign_text(eval_text(x, e));
        x.has_return = true;
    } else {
        x.has_return = false;
    }
    throw ExitProgram{};
}

void exec_return(X& x, const Clause* c) {
    if (!x.frames.back()->internal) finish_program(x, c->expr);
    if (c->expr) {
        RexxValue tmp;
        const RexxValue* vp = evaluate(x, c->expr, tmp);
        if (!vp) return;
        const RexxValue& v = *vp;
        if (trace_results(x.in.trace)) trace_result(x.in, 0, v.text(x.in.numeric));
        if (vp == &tmp)
            x.return_value = std::move(tmp);
        else
            x.return_value = v;
        x.has_return = true;
    } else {
        x.has_return = false;
    }
    x.pending = Pending::Return;
}

void exec_call(X& x, const Clause* c) {
    int line = x.in.pos.line;
    at(x, c->name);
    CallTarget& t = resolve(x, c->name, const_cast<Clause*>(c)->exec_slot, c->args, c->nargs);
    RexxValue result;
    bool got = invoke(x, t, c->name, c->args, c->nargs, result);
    x.in.pos.line = line;
    if (got) {
        if (trace_results(x.in.trace)) trace_result(x.in, 0, result.text(x.in.numeric));
        set_var(x.in, result_name(x.in), std::move(result));
    } else {
        drop_var(x.in, result_name(x.in));
    }
}

Condition condition_of(int kind) {
    switch (kind) {
    case ERROR: return Condition::Error;
    case FAILURE: return Condition::Failure;
    case HALT: return Condition::Halt;
    case NOVALUE: return Condition::Novalue;
    case SYNTAX: return Condition::Syntax;
    default: return Condition::Notready;
    }
}

void exec_parse(X& x, const Clause* c);

void exec_numeric(X& x, const Clause* c) {
    switch (static_cast<NumericForm>(c->variant)) {
    case NumericForm::Digits:
    case NumericForm::Fuzz: {
        RexxValue tmp;
        const RexxValue* v = c->expr ? &eval(x, c->expr, tmp) : nullptr;
        set_clause_pos(x, c);
        if (static_cast<NumericForm>(c->variant) == NumericForm::Digits)
            numeric_digits(x.in, v);
        else
            numeric_fuzz(x.in, v);
        return;
    }
    case NumericForm::FormScientific: numeric_form(x.in, false); return;
    case NumericForm::FormEngineering: numeric_form(x.in, true); return;
    case NumericForm::FormValue: {
        RexxValue tmp;
        const RexxValue& v = eval(x, c->expr, tmp);
        set_clause_pos(x, c);
        numeric_form_value(x.in, v);
        return;
    }
    }
}

size_t environment_index(X& x, std::string_view name) {
    long i = find_environment(*x.envs, name);
    if (i < 0) raise_error(x.in, 56);
    return static_cast<size_t>(i);
}

void make_current(X& x, size_t i) {
    x.envs->previous = x.envs->current;
    x.envs->current = i;
}

void exec_address(X& x, const Clause* c, bool traced) {
    switch (static_cast<AddressForm>(c->variant)) {
    case AddressForm::Swap: std::swap(x.envs->current, x.envs->previous); return;
    case AddressForm::Set: make_current(x, environment_index(x, token_text(c->name))); return;
    case AddressForm::Run: {
        size_t i = environment_index(x, token_text(c->name));
        run_command(x, c, i, traced);
        return;
    }
    case AddressForm::Value: {
        std::string name = eval_text(x, c->expr);
        for (char& ch : name)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
        set_clause_pos(x, c);
        make_current(x, environment_index(x, name));
        return;
    }
    }
}

void exec_names(X& x, const Clause* c) {
    for (const NameItem* n = c->names; n; n = n->next) {
        const SymbolRef& s = symref(x, n->symbol);
        if (c->kind == ClauseKind::Drop) {
            if (n->indirect) {
                RexxValue fallback;
                std::string list(fetch_value(x.in, s, fallback).text(x.in.numeric));
                drop_list(x.in, list);
            } else {
                drop_symbol(x.in, s);
            }
            continue;
        }
        RexxValue fallback;
        std::string t(fetch_value(x.in, s, fallback).text(x.in.numeric));
        for (char& ch : t) {
            if (c->kind == ClauseKind::Upper && ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 32);
            if (c->kind == ClauseKind::Lower && ch >= 'A' && ch <= 'Z')
                ch = static_cast<char>(ch + 32);
        }
        set_value(x.in, s, RexxValue(t));
    }
}

void exec_procedure(X& x, const Clause* c) {
    Frame& f = *x.frames.back();
    if (!f.internal || f.procedure) raise_error(x.in, 17);
    new_generation(x.in);
    f.procedure = true;
    for (const NameItem* n = c->names; n; n = n->next) {
        const SymbolRef& s = symref(x, n->symbol);
        expose(x.in, s);
        if (n->indirect) {
            RexxValue fallback;
            std::string list(fetch_value(x.in, s, fallback).text(x.in.numeric));
            expose_list(x.in, list);
        }
    }
}

Unit* interpret_unit(X& x, std::string_view text, std::unique_ptr<Unit>& owned) {
    auto it = x.interpret_cache.find(text);
    if (it != x.interpret_cache.end()) return it->second.get();
    auto u = std::make_unique<Unit>();
    CompileOptions co;
    co.forbid_precompiled = true;
    co.options = x.main->program->options;
    try {
        u->program = compile(text, co);
    } catch (RexxError& e) {
        // Report the error in the string, at the INTERPRET's line.
        std::string src = prepare_source(text);
        std::vector<std::string> lines;
        size_t start = 0;
        for (;;) {
            size_t nl = src.find('\n', start);
            lines.push_back(
                src.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
            if (nl == std::string::npos) break;
            start = nl + 1;
        }
        e.interpreted = true;
        e.source_line = e.line >= 1 && e.line <= static_cast<int>(lines.size()) ? lines[e.line - 1]
                                                                                : std::string(text);
        e.line = x.in.pos.line;
        throw;
    } catch (std::bad_alloc&) {
        raise_error(x.in, 5);
    }
    u->interpreted = true;
    const std::string& src = u->program->source;
    size_t start = 0;
    for (;;) {
        size_t nl = src.find('\n', start);
        u->lines.push_back(
            src.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    index_labels(x, *u);
    if (text.size() <= 4096 && x.interpret_cache.size() < 4096) {
        Unit* p = u.get();
        x.interpret_cache.emplace(std::string(text), std::move(u));
        return p;
    }
    owned = std::move(u);
    return owned.get();
}

// Runs an INTERPRET string. The text is read only to find or compile its
// unit, before any of it runs.
void run_interpret(X& x, std::string_view text) {
    check_stack(x);
    if (++x.call_depth > x.opt.max_call_depth) {
        --x.call_depth;
        raise_error(x.in, 5);
    }
    struct Depth {
        X& x;
        ~Depth() { --x.call_depth; }
    } depth{x};
    std::unique_ptr<Unit> owned;
    Unit* u = interpret_unit(x, text, owned);
    Body b{u, x.body};
    run_body(x, b, u->program->clauses.first);
}

void exec_trace(X& x, const Clause* c) {
    x.trace_changed = true;
    switch (static_cast<TraceForm>(c->variant)) {
    case TraceForm::Default: trace_setting(x.in, std::string_view("N")); return;
    case TraceForm::Setting: {
        // Letters, or a number written as a symbol (TRACE 5).
        const Token* t = c->name;
        trace_setting(x.in, RexxValue(std::string_view(t->text ? t->text : "", t->length)));
        return;
    }
    case TraceForm::Value: {
        RexxValue tmp;
        const RexxValue& v = eval(x, c->expr, tmp);
        set_clause_pos(x, c);
        trace_setting(x.in, v);
        return;
    }
    }
}

void exec_cd(X& x, const Clause* c) {
    std::string dir = eval_text(x, c->expr);
    set_clause_pos(x, c);
    if (dir == "HOME" || dir == "home") {
        auto home = voren::platform::environment_variable("HOME");
        dir = home ? *home : std::string();
    }
    if (dir.empty() || x.opt.isolated || voren::platform::change_directory(dir) != 0)
        raise_error(x.in, 63);
}

void write_say(X& x, std::string_view text, const char* end) {
    std::string& b = x.say_buffer;
    b.assign(text);
    b += end;
    x.in.out(b);
}

bool find_signal_label(X& x, std::string_view label, const Clause*& target, Body*& where);
void signal_to_label(X& x, const Clause* target, Body* where, int line);

// An error a SIGNAL ON SYNTAX trap takes: the trap's label is the next clause.
void take_syntax_trap(X& x, const RexxError& e) {
    x.depth = 0;
    x.pending = Pending::None;
    // The label is looked for while the trap still names it.
    const Clause* target;
    Body* where;
    bool found = find_signal_label(x, trap_label_view(x.in, Condition::Syntax), target, where);
    set_sigl(x, e.line);
    set_rc(x, e.code);
    enter_syntax_condition(x.in, e);
    x.in.pos.line = e.line;
    if (!found) raise_error(x.in, 16);
    signal_to_label(x, target, where, e.line);
}

RexxError resources_error(X& x) {
    RexxError e;
    e.code = 5;
    e.line = x.in.pos.line;
    e.column = x.in.pos.column;
    e.interpreted = x.in.pos.interpreted;
    if (e.interpreted) e.source_line = std::string(x.in.pos.interpreted_line);
    return e;
}

// The rare ends of a clause, kept out of the loops that run clauses. Each
// catch-side routine runs inside its handler, so "throw;" passes the error on.
[[gnu::noinline]] void clause_raised(X& x, RexxError& e) {
    x.failed = false;
    if (x.in.traps[Condition::Syntax].mode != TrapMode::Signal) throw;
    take_syntax_trap(x, e);
}
[[gnu::noinline]] void clause_signalled(X& x, SignalTransfer& t) {
    x.depth = 0;
    x.pending = Pending::None;
    signal_to(x, t.label, x.in.pos.line);
}
[[gnu::noinline]] void clause_out_of_memory(X& x) {
    RexxError e = resources_error(x);
    if (x.in.traps[Condition::Syntax].mode != TrapMode::Signal) throw e;
    take_syntax_trap(x, e);
}
[[gnu::noinline]] void clause_failed(X& x) {
    if (x.in.traps[Condition::Syntax].mode != TrapMode::Signal) throw_failure(x);
    x.failed = false;
    take_syntax_trap(x, x.failure);
}

void throw_failure(X& x) {
    x.failed = false;
    throw RexxError(std::move(x.failure));
}

[[gnu::noinline]] void exec_trap_setting(X& x, const Clause* c) {
    std::string_view name = c->name ? token_text(c->name) : std::string_view();
    set_trap(x.in, condition_of(c->condition),
             !c->on                            ? TrapMode::Off
             : c->kind == ClauseKind::SignalOn ? TrapMode::Signal
                                               : TrapMode::Call,
             name);
}

[[gnu::noinline]] void exec_signal(X& x, const Clause* c) {
    if (!c->expr) {
        // The label found by its name as written in the running unit (the
        // first place looked in) is found there again for as long as that
        // unit runs the clause: remembered in the clause's slot.
        auto* memo = static_cast<SignalMemo*>(c->exec_slot);
        if (memo && memo->unit == x.body->unit)
            return signal_to_label(x, memo->target, x.body, x.in.pos.line);
        std::string_view name = token_text(c->name);
        const Clause* target = find_label_in(x.body->unit, name);
        if (!target) return signal_to(x, name, x.in.pos.line);
        if (!memo) {
            x.signal_memos.emplace_back();
            memo = &x.signal_memos.back();
            const_cast<Clause*>(c)->exec_slot = memo;
        }
        memo->unit = x.body->unit;
        memo->target = target;
        return signal_to_label(x, target, x.body, x.in.pos.line);
    }
    std::string label = eval_text(x, c->expr);
    set_clause_pos(x, c);
    signal_to(x, label, x.in.pos.line);
}

[[gnu::noinline]] void exec_push(X& x, const Clause* c) {
    std::string v = eval_text(x, c->expr);
    if (c->kind == ClauseKind::Push)
        stack_push(x.in.queue, std::move(v));
    else
        stack_queue(x.in.queue, std::move(v));
}

[[gnu::noinline]] void exec_interpret(X& x, const Clause* c) {
    // The text is taken where the value lies: nothing runs before the
    // string's unit is found.
    RexxValue tmp;
    std::string_view text;
    if (c->expr) text = eval(x, c->expr, tmp).text(x.in.numeric);
    set_clause_pos(x, c);
    run_interpret(x, text);
}

[[gnu::noinline]] void exec_say(X& x, const Clause* c) {
    RexxValue tmp;
    std::string_view text;
    if (c->expr) {
        const RexxValue* v = evaluate(x, c->expr, tmp);
        if (!v) return;
        text = v->text(x.in.numeric);
    }
    if (c->expr && trace_results(x.in.trace)) trace_result(x.in, 0, text);
    switch (static_cast<SayForm>(c->variant)) {
    case SayForm::Say: write_say(x, text, "\n"); break;
    case SayForm::SayN:
        write_say(x, text, "");
        std::fflush(stdout);
        break;
    case SayForm::SayR: write_say(x, text, "\r"); break;
    }
}

[[gnu::noinline]] void exec_say_execute(X& x, const Clause* c) {
    if (!c->expr) {
        x.in.out("\n");
        return;
    }
    std::string command = eval_text(x, c->expr);
    set_clause_pos(x, c);
    if (trace_output_on(x.in) && trace_clauses(x.in.trace))
        trace_command(x.in, 0, command, 0);
    else
        write_say(x, command, "\n");
    Environment env = environment_at(x, x.envs->current);
    int rc = command_rc(x, env, command);
    after_command(x, c, command, rc, true);
}

// The untraced work of each clause kind, in ClauseKind order: the dispatch
// of an untraced clause is one indirect call.
void run_nothing(X&, const Clause*) {}
void run_command_untraced(X& x, const Clause* c) {
    run_command(x, c, x.envs->current, false);
}
void run_exit(X& x, const Clause* c) {
    finish_program(x, c->expr);
}
void run_address_untraced(X& x, const Clause* c) {
    exec_address(x, c, false);
}
const ClauseRoutine kClauseRoutines[] = {
    run_command_untraced, // Command
    exec_assign,          // Assign
    run_nothing,          // Label
    exec_if,              // If
    exec_do,              // Do
    exec_select,          // Select
    exec_leave,           // Leave
    exec_leave,           // Iterate
    run_exit,             // Exit
    exec_return,          // Return
    exec_call,            // Call
    exec_trap_setting,    // CallOn
    exec_trap_setting,    // SignalOn
    exec_signal,          // Signal
    exec_push,            // Push
    exec_push,            // Queue
    exec_procedure,       // Procedure
    exec_parse,           // Parse
    run_address_untraced, // Address
    run_nothing,          // Option
    exec_names,           // Drop
    exec_interpret,       // Interpret
    exec_numeric,         // Numeric
    exec_say,             // Say
    exec_say_execute,     // SayExecute
    exec_names,           // Upper
    exec_names,           // Lower
    exec_trace,           // Trace
    exec_cd,              // ChangeDir
    run_nothing,          // Nop
};
static_assert(sizeof kClauseRoutines / sizeof kClauseRoutines[0] ==
              static_cast<size_t>(ClauseKind::Nop) + 1);

// Runs the clause's own work; commands and ADDRESS need to know whether the
// clause was traced already.
void run_clause_kind(X& x, const Clause* c, bool traced) {
    if (c->kind == ClauseKind::Command)
        run_command(x, c, x.envs->current, traced);
    else if (c->kind == ClauseKind::Address)
        exec_address(x, c, traced);
    else
        kClauseRoutines[static_cast<size_t>(c->kind)](x, c);
}

// A clause while tracing is on: its trace line, TRACE ? scanning, and the
// interactive pause after it (which may run it again).
[[gnu::noinline]] void exec_clause_traced(X& x, const Clause* c) {
    bool traced = false;
    TraceState& t = x.in.trace;
    if (t.suppressed || t.quiet) trace_count_clause(x.in);
    if (!x.pause_line && traced_clause(x, c)) {
        trace_this(x, c->line + 1, {c->text, c->text_length});
        traced = true;
    }
    if (trace_scan_only(t) && c->kind != ClauseKind::Trace) return;
    for (;;) {
        run_clause_kind(x, c, traced);
        if (x.failed) return;
        if (traced && trace_interactive(x.in.trace) && !x.in.trace.in_pause && !x.pause_line &&
            x.pending == Pending::None) {
            if (trace_pause(x.in) == PauseResult::Rerun) continue;
        }
        return;
    }
}

// A clause run with its checks: the clause budget, a halt request, tracing.
[[gnu::noinline]] void exec_clause_checked(X& x, const Clause* c) {
    if (x.opt.max_clauses && ++x.clause_count > x.opt.max_clauses) raise_error(x.in, 4);
    if (halt_pending(x) && take_halt(x)) return;
    const TraceState& t = x.in.trace;
    if (t.bits != kTraceNormal || t.suppressed || t.quiet) return exec_clause_traced(x, c);
    kClauseRoutines[static_cast<size_t>(c->kind)](x, c);
}

// A clause's first untraced run picks its routine (Clause::exec_fn).
void choose_clause(X& x, const Clause* c) {
    if (c->kind == ClauseKind::Assign) return choose_assign(x, c);
    ClauseRoutine f = kClauseRoutines[static_cast<size_t>(c->kind)];
    const_cast<Clause*>(c)->exec_fn = reinterpret_cast<void*>(f);
    f(x, c);
}

// Runs one clause. An error is caught here, at the innermost clause, so that
// a trapped error unwinds only the frames of the clause that failed. Inlined
// into the loops that run clause lists: while no check is due, a clause costs
// its position, one test and its own routine.
[[gnu::always_inline]] inline void exec_clause(X& x, const Clause* c) {
    try {
        set_clause_pos(x, c);
        x.lib.clock_line = -1;
        const TraceState& t = x.in.trace;
        if (*x.attention || t.bits != kTraceNormal || t.suppressed || t.quiet) {
            exec_clause_checked(x, c);
        } else {
            ClauseRoutine f =
                c->exec_fn ? reinterpret_cast<ClauseRoutine>(c->exec_fn) : choose_clause;
            f(x, c);
        }
    } catch (RexxError& e) {
        clause_raised(x, e);
    } catch (SignalTransfer& t) {
        clause_signalled(x, t);
    } catch (std::bad_alloc&) {
        clause_out_of_memory(x);
    }
    if (x.failed) clause_failed(x);
}

void exec_list(X& x, const Clause* c) {
    for (; c; c = c->next) {
        exec_clause(x, c);
        if (x.pending != Pending::None) return;
    }
}

// ---------------------------------------------------------------- SIGNAL and traps

// Where SIGNAL finds a label: in the innermost body's unit, then outward;
// the name as given, then folded per the case mode. False when nowhere.
bool find_signal_label(X& x, std::string_view label, const Clause*& target, Body*& where) {
    target = nullptr;
    where = nullptr;
    for (Body* b = x.body; b && !target; b = b->outer)
        if ((target = find_label_in(b->unit, label))) where = b;
    if (!target) {
        std::string folded = fold_case(label, x.in.case_mode);
        for (Body* b = x.body; b && !target; b = b->outer)
            if ((target = find_label_in(b->unit, folded))) where = b;
    }
    return target != nullptr;
}

void signal_to_label(X& x, const Clause* target, Body* where, int line) {
    set_sigl(x, line);
    x.pending = Pending::Signal;
    x.signal_label = target;
    x.signal_body = where;
}

void signal_to(X& x, std::string_view label, int line) {
    const Clause* target;
    Body* where;
    if (!find_signal_label(x, label, target, where)) raise_error(x.in, 16);
    signal_to_label(x, target, where, line);
}

void call_trap_handler(X& x, const std::string& label, int line) {
    const Clause* target = find_routine_label(x, label);
    if (!target) raise_error(x.in, 16);
    Frame frame;
    frame.internal = true;
    RexxValue result;
    Pending saved = x.pending;
    call_routine(x, target, frame, line, result);
    x.pending = saved;
}

// Runs a body from start; SIGNAL to one of its labels continues there, and
// an error a SYNTAX trap takes becomes such a SIGNAL.
void run_body(X& x, Body& body, const Clause* start) {
    struct Restore {
        X& x;
        Body* body;
        bool interpreted;
        bool pos_interpreted;
        std::string_view line;
        size_t loops;
        ~Restore() {
            x.body = body;
            x.interpreted = interpreted;
            x.in.pos.interpreted = pos_interpreted;
            x.in.pos.interpreted_line = line;
        }
    } restore{
        x, x.body, x.interpreted, x.in.pos.interpreted, x.in.pos.interpreted_line, x.loops.size()};
    int outer_line = x.in.pos.line;
    x.body = &body;
    x.interpreted = body.unit->interpreted;
    x.in.pos.interpreted = x.interpreted;
    const Clause* c = start;
    for (;;) {
        try {
            try {
                exec_list(x, c);
            } catch (std::bad_alloc&) {
                raise_error(x.in, 5);
            }
        } catch (RexxError& e) {
            x.loops.resize(restore.loops);
            x.depth = 0;
            if (x.in.traps[Condition::Syntax].mode != TrapMode::Signal) throw;
            x.pending = Pending::None;
            TrapAction a = syntax_trap(x.in, e);
            x.in.pos.line = e.line;
            signal_to(x, a.label, e.line);
        } catch (SignalTransfer& s) {
            x.loops.resize(restore.loops);
            x.depth = 0;
            x.pending = Pending::None;
            signal_to(x, s.label, x.in.pos.line);
        }
        if (x.pending == Pending::Signal && x.signal_body == &body) {
            x.pending = Pending::None;
            c = x.signal_label;
            if (x.interpreted) x.in.pos.line = outer_line;
            continue;
        }
        return;
    }
}

// ---------------------------------------------------------------- routine calls

bool call_routine(X& x, const Clause* label, Frame& frame, int call_line, RexxValue& result) {
    check_stack(x);
    if (x.call_depth >= x.opt.max_call_depth) raise_error(x.in, 5);
    set_sigl(x, call_line);
    struct Saved {
        X& x;
        NumericSettings numeric;
        unsigned trace_bits;
        std::unique_ptr<SavedTraps> traps; // null: they were all idle
        Frame& frame;
        Position pos;
        ~Saved() {
            if (frame.procedure) release_generation(x.in);
            x.in.numeric = numeric;
            x.in.trace.bits = (trace_bits & ~static_cast<unsigned>(kTraceDebugger)) |
                              (x.in.trace.bits & kTraceDebugger);
            if (traps)
                restore_call_traps(x.in, *traps);
            else if (!call_traps_idle(x.in.traps))
                clear_call_traps(x.in);
            x.frames.pop_back();
            --x.call_depth;
        }
    } saved{x,
            x.in.numeric,
            x.in.trace.bits,
            call_traps_idle(x.in.traps) ? nullptr
                                        : std::make_unique<SavedTraps>(save_call_traps(x.in)),
            frame,
            x.in.pos};
    frame.loop_base = x.loops.size();
    x.frames.push_back(&frame);
    ++x.call_depth;
    Body body{x.main.get(), nullptr};
    run_body(x, body, label);
    bool got = false;
    if (x.pending == Pending::Return) {
        got = x.has_return;
        if (got) result = std::move(x.return_value);
    }
    x.pending = Pending::None;
    x.has_return = false;
    x.in.pos = saved.pos;
    return got;
}

// ---------------------------------------------------------------- PARSE

} // namespace

// A PARSE clause's template, analysed at the clause's first run: each target
// with its symbol analysis, each pattern with its string or its position
// already read. A run walks no tokens and reads no numbers. Kept in the
// clause's executor slot.
struct ParsePlan {
    enum class Step : uint8_t {
        End,         // the rest of the string goes to the targets; the template ends
        Literal,     // 'text'
        Variable,    // (name): the string pattern is the variable's value
        Absolute,    // n or =n (number: n - 1)
        Relative,    // +n or -n (number: the signed offset)
        AbsoluteVar, // =(name)
        RelativeVar, // +(name) or -(name) (sign: +1 or -1)
        Bad,         // a malformed pattern: error 38 when reached
    };
    struct Pattern {
        Step step = Step::End;
        int sign = 1;
        // The targets before the pattern: targets[first_target, +target_count).
        uint32_t first_target = 0;
        uint32_t target_count = 0;
        long number = 0;
        std::string_view literal;
        const SymbolRef* var = nullptr;
    };
    std::vector<const SymbolRef*> targets; // null: the placeholder "."
    std::vector<Pattern> patterns;         // each template ends with End (or Bad)
    size_t templates = 0;                  // PARSE ARG: one per comma-separated template
    bool has_comma = false;
    // Only simple targets and fixed patterns: applying the template runs no
    // code and changes no variable but the targets, so the string it works
    // on can be read where it lies.
    bool plain = true;
    // PARSE VAR, or PARSE VALUE of a lone symbol: plain, the source a simple
    // variable and none of the targets.
    bool source_in_place = false;
    bool upper = false; // PARSE UPPER, ARG, PULL: the string is uppercased first
    bool lower = false; // PARSE LOWER
};

namespace {

// Copies n bytes; the short pieces PARSE makes most are moved in at most two
// overlapping loads and stores.
inline void copy_piece(char* to, const char* from, size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t a, b;
        std::memcpy(&a, from, 8);
        std::memcpy(&b, from + n - 8, 8);
        std::memcpy(to, &a, 8);
        std::memcpy(to + n - 8, &b, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t a, b;
        std::memcpy(&a, from, 4);
        std::memcpy(&b, from + n - 4, 4);
        std::memcpy(to, &a, 4);
        std::memcpy(to + n - 4, &b, 4);
    } else if (n < 4) {
        for (size_t i = 0; i < n; ++i)
            to[i] = from[i];
    } else {
        std::memcpy(to, from, n);
    }
}

// A piece for the placeholder, under tracing, or for a stem or compound.
__attribute__((noinline)) void assign_target_slow(X& x, const SymbolRef* s,
                                                  std::string_view value) {
    if (!s) {
        if (trace_results(x.in.trace)) trace_placeholder(x.in, 0, value);
        return;
    }
    if (trace_results(x.in.trace)) trace_result(x.in, 0, value);
    if (s->kind == SymbolKind::Simple) {
        Variable* rec = simple_record(x, *s);
        copy_piece(rec->value.resize_text(value.size()), value.data(), value.size());
        rec->state = VarState::Set;
        return;
    }
    set_value(x.in, *s, RexxValue(value));
}

// The string a template works on is never a target's own value (PARSE VAR
// copies it when the variable is also a target), so a target's buffer is
// resized and filled directly.
inline void assign_target(X& x, const SymbolRef* s, std::string_view value) {
    if (s && s->kind == SymbolKind::Simple && !trace_results(x.in.trace)) {
        Variable* rec = simple_record(x, *s);
        copy_piece(rec->value.resize_text(value.size()), value.data(), value.size());
        rec->state = VarState::Set;
        return;
    }
    if (s || trace_results(x.in.trace)) assign_target_slow(x, s, value);
}

void assign_words(X& x, const SymbolRef* const* targets, size_t count, std::string_view data) {
    if (count == 0) return;
    size_t pos = 0, size = data.size();
    const char* p = data.data();
    for (size_t i = 0; i + 1 < count; ++i) {
        while (pos < size && is_blank(p[pos]))
            ++pos;
        size_t start = pos;
        while (pos < size && !is_blank(p[pos]))
            ++pos;
        assign_target(x, targets[i], std::string_view(p + start, pos - start));
    }
    // The last target takes the rest, less the one blank ending the word before.
    if (count > 1 && pos < size) ++pos;
    assign_target(x, targets[count - 1], std::string_view(p + pos, size - pos));
}

[[noreturn]] void template_error(X& x) {
    raise_error(x.in, 38);
}

// A position's number: a whole number from 0 up; -1 when it is not one.
long position_number(std::string_view text) {
    RexxValue v(text);
    double d;
    if (!whole_value(v, d) || d < 0 || d > 2147483647.0) return -1;
    return static_cast<long>(d);
}

long position_value(X& x, std::string_view text) {
    long n = position_number(text);
    if (n < 0) template_error(x);
    return n;
}

// Reads one template (tokens from t to stop, exclusive) into the plan; false
// when it ends in a malformed pattern (nothing after that one can run).
bool plan_template(X& x, ParsePlan& plan, const Token* t, const Token* stop) {
    using Step = ParsePlan::Step;
    for (;;) {
        ParsePlan::Pattern p;
        p.first_target = static_cast<uint32_t>(plan.targets.size());
        while (t != stop && t->kind == SYMBOL) {
            const SymbolRef* s = nullptr;
            if (token_text(t) != ".") {
                s = &symref(x, t);
                if (s->kind != SymbolKind::Simple) plan.plain = false;
            }
            plan.targets.push_back(s);
            t = t->next;
        }
        p.target_count = static_cast<uint32_t>(plan.targets.size()) - p.first_target;
        // "(name)" at t: its symbol, t moved past it; null when malformed.
        auto paren = [&]() -> const SymbolRef* {
            const Token* name = t->next;
            if (!name || name->kind != SYMBOL || !name->next || name->next->kind != ')')
                return nullptr;
            t = name->next->next;
            plan.plain = false;
            return &symref(x, name);
        };
        if (t == stop) {
            plan.patterns.push_back(p);
            return true;
        }
        if (t->kind == STRING && t->quoted) {
            p.step = Step::Literal;
            p.literal = std::string_view(t->text ? t->text : "", t->length);
            t = t->next;
        } else if (t->kind == '(') {
            p.step = (p.var = paren()) ? Step::Variable : Step::Bad;
        } else if (t->kind == '=' || t->kind == '+' || t->kind == '-') {
            int sign = t->kind;
            t = t->next;
            p.step = Step::Bad;
            if (t && t != stop && t->kind == '(') {
                if ((p.var = paren())) p.step = sign == '=' ? Step::AbsoluteVar : Step::RelativeVar;
                p.sign = sign == '-' ? -1 : 1;
            } else if (t && t != stop && t->kind == STRING && !t->quoted) {
                long n = position_number(std::string_view(t->text ? t->text : "", t->length));
                t = t->next;
                if (n >= 0) {
                    p.step = sign == '=' ? Step::Absolute : Step::Relative;
                    p.number = sign == '=' ? n - 1 : sign == '+' ? n : -n;
                }
            }
        } else if (t->kind == STRING && !t->quoted) {
            long n = position_number(std::string_view(t->text ? t->text : "", t->length));
            t = t->next;
            if (n >= 0) {
                p.step = Step::Absolute;
                p.number = n - 1;
            } else {
                p.step = Step::Bad;
            }
        } else {
            p.step = Step::Bad;
        }
        plan.patterns.push_back(p);
        if (p.step == Step::Bad) return false;
    }
}

const ParsePlan& parse_plan(X& x, const Clause* c) {
    if (c->exec_slot) return *static_cast<const ParsePlan*>(c->exec_slot);
    auto plan = std::make_unique<ParsePlan>();
    const Token* first = c->template_first;
    const Token* last = first;
    for (uint32_t i = 1; i < c->template_count; ++i)
        last = last->next;
    const Token* stop = c->template_count ? last->next : nullptr;
    for (const Token* t = first; t != stop; t = t->next)
        if (t->kind == ',') plan->has_comma = true;
    if (static_cast<ParseSource>(c->variant) == ParseSource::Arg) {
        for (const Token* t = first;;) {
            const Token* seg_end = t;
            while (seg_end != stop && seg_end->kind != ',')
                seg_end = seg_end->next;
            ++plan->templates;
            if (!plan_template(x, *plan, t, seg_end) || seg_end == stop) break;
            t = seg_end->next;
        }
    } else if (!plan->has_comma) {
        plan->templates = 1;
        plan_template(x, *plan, first, stop);
    }
    const Token* source_name = nullptr;
    if (static_cast<ParseSource>(c->variant) == ParseSource::Var)
        source_name = c->name;
    else if (static_cast<ParseSource>(c->variant) == ParseSource::Value && c->expr &&
             c->expr->op == ExprOp::Symbol)
        source_name = c->expr->token;
    if (source_name) {
        const SymbolRef& source = symref(x, source_name);
        plan->source_in_place = plan->plain && source.kind == SymbolKind::Simple;
        for (const SymbolRef* s : plan->targets)
            if (s && s->base.name == source.base.name) plan->source_in_place = false;
    }
    plan->upper = c->parse_case == ParseCase::Upper ||
                  (c->keyword->kind != PARSE && c->parse_case == ParseCase::AsIs);
    plan->lower = c->parse_case == ParseCase::Lower;
    ParsePlan* p = plan.get();
    x.parse_plans.push_back(std::move(plan));
    const_cast<Clause*>(c)->exec_slot = p;
    return *p;
}

// Where pat (not empty) first occurs in s at or after from; npos if nowhere.
// Short stretches are scanned byte by byte, long ones by memchr.
size_t find_pattern(std::string_view s, std::string_view pat, size_t from) {
    size_t n = pat.size();
    if (n > s.size() || from > s.size() - n) return std::string_view::npos;
    const char* base = s.data();
    const char* p = base + from;
    const char* end = base + (s.size() - n) + 1; // past the last place it can start
    const char first = pat[0];
    for (;;) {
        if (end - p > 32) {
            p = static_cast<const char*>(std::memchr(p, first, static_cast<size_t>(end - p)));
            if (!p) return std::string_view::npos;
        } else {
            while (p != end && *p != first)
                ++p;
            if (p == end) return std::string_view::npos;
        }
        if (n == 1 || std::memcmp(p + 1, pat.data() + 1, n - 1) == 0)
            return static_cast<size_t>(p - base);
        ++p;
    }
}

// Applies one template of the plan, from pattern i, to s; returns the index
// of the next template's first pattern.
size_t apply_template(X& x, const ParsePlan& plan, size_t i, std::string_view s) {
    using Step = ParsePlan::Step;
    size_t len = s.size();
    size_t start = 0, anchor = 0;
    for (;; ++i) {
        const ParsePlan::Pattern& p = plan.patterns[i];
        const SymbolRef* const* group = plan.targets.data() + p.first_target;
        if (p.step == Step::End) {
            if (p.target_count == 1)
                assign_target(x, *group, s.substr(start));
            else
                assign_words(x, group, p.target_count, s.substr(start));
            return i + 1;
        }
        size_t data_end, next_start;
        if (p.step == Step::Literal || p.step == Step::Variable) {
            // A string pattern: the data ends where it is found (or at the
            // end), and the next data starts after it.
            LazyValue fallback; // made only for an unset variable's name
            std::string_view pat = p.literal;
            if (p.step == Step::Variable)
                pat = fetch_value(x.in, *p.var, fallback.get()).text(x.in.numeric);
            size_t k = pat.empty() ? std::string_view::npos : find_pattern(s, pat, start);
            if (k != std::string_view::npos) {
                data_end = k;
                next_start = k + pat.size();
                anchor = k;
            } else {
                data_end = len;
                next_start = len;
                anchor = len;
            }
        } else {
            long pos;
            switch (p.step) {
            case Step::Absolute: pos = p.number; break;
            case Step::Relative: pos = static_cast<long>(anchor) + p.number; break;
            case Step::AbsoluteVar:
            case Step::RelativeVar: {
                RexxValue fallback;
                long n = position_value(x, fetch_value(x.in, *p.var, fallback).text(x.in.numeric));
                pos = p.step == Step::AbsoluteVar ? n - 1 : static_cast<long>(anchor) + p.sign * n;
                break;
            }
            default: template_error(x);
            }
            if (pos < 0) pos = 0;
            if (pos > static_cast<long>(len)) pos = static_cast<long>(len);
            size_t up = static_cast<size_t>(pos);
            data_end = up > start ? up : len;
            next_start = up;
            anchor = up;
        }
        std::string_view piece = s.substr(start, data_end > start ? data_end - start : 0);
        if (p.target_count == 1)
            assign_target(x, *group, piece);
        else
            assign_words(x, group, p.target_count, piece);
        start = next_start;
    }
}

std::string read_user_line(X& x) {
    std::string line;
    if (!x.in.read_line || !x.in.read_line(line)) return {};
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// A PARSE string borrowed from the executor for the clause's duration.
struct ParseBuffer {
    X& x;
    std::string& s;
    explicit ParseBuffer(X& x_) : x(x_), s(take(x_)) {}
    ~ParseBuffer() { --x.parse_depth; }
    static std::string& take(X& x) {
        if (x.parse_depth == x.parse_buffers.size()) x.parse_buffers.emplace_back();
        std::string& b = x.parse_buffers[x.parse_depth++];
        b.clear();
        return b;
    }
};

// Whether the template from pattern i gives its whole string to one simple
// variable.
bool whole_argument(const ParsePlan& plan, size_t i) {
    const ParsePlan::Pattern& p = plan.patterns[i];
    if (p.step != ParsePlan::Step::End || p.target_count != 1) return false;
    const SymbolRef* t = plan.targets[p.first_target];
    return t && t->kind == SymbolKind::Simple;
}

// A variable's value from an argument: the argument's text. A string keeps
// its number recognition; a whole number written without exponent or
// decimal places reads back as itself, so that is kept too.
void copy_argument(RexxValue& to, const RexxValue& arg, const NumericSettings& ns) {
    if (arg.is_string()) {
        to = arg;
        return;
    }
    // The argument is dropped after the call: its text is written straight
    // into the variable rather than cached in the argument first. A plain
    // whole number reads back as itself.
    double d = arg.num();
    char buf[64];
    size_t n;
    if (format_plain_whole(d, arg.places(), ns, buf, n)) {
        copy_piece(to.resize_text(n), buf, n);
        to.cache_number(d == 0 ? 0 : d, 0);
        return;
    }
    n = format_number(d, arg.places(), ns, buf);
    copy_piece(to.resize_text(n), buf, n);
}

void exec_parse(X& x, const Clause* c) {
    const ParsePlan& plan = parse_plan(x, c);
    ParseSource src = static_cast<ParseSource>(c->variant);
    bool upper = plan.upper, lower = plan.lower;
    auto fold = [&](std::string& s) {
        if (upper)
            for (char& ch : s)
                if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
        if (lower)
            for (char& ch : s)
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    };
    // Without case folding, a string nothing can change under the template
    // is read where it lies.
    bool in_place = !upper && !lower && plan.plain;
    if (src == ParseSource::Arg) {
        Frame& f = *x.frames.back();
        size_t i = 0;
        for (size_t index = 0; index < plan.templates; ++index) {
            bool present = index < f.args.size() && f.present[index];
            if (in_place && whole_argument(plan, i) && !trace_results(x.in.trace)) {
                // One variable takes the whole argument: its value is copied,
                // with what is known of it as a number.
                Variable* rec = simple_record(x, *plan.targets[plan.patterns[i].first_target]);
                if (present)
                    copy_argument(rec->value, f.args[index], x.in.numeric);
                else
                    rec->value.resize_text(0);
                rec->state = VarState::Set;
                ++i;
                continue;
            }
            std::string_view arg;
            if (present) arg = f.args[index].text(x.in.numeric);
            if (in_place) {
                i = apply_template(x, plan, i, arg);
                continue;
            }
            ParseBuffer buffer(x);
            buffer.s.assign(arg);
            fold(buffer.s);
            i = apply_template(x, plan, i, buffer.s);
        }
        return;
    }
    if (plan.has_comma)
        raise_error(x.in, 38, "A comma may be used only within a PARSE ARG instructin");
    std::string_view borrowed;
    RexxValue source; // PARSE VAR: an unset variable's name; PARSE VALUE: the result
    bool have_source = false;
    if (src == ParseSource::Var) {
        const SymbolRef& name = symref(x, c->name);
        const RexxValue* found = nullptr;
        if (name.kind == SymbolKind::Simple) {
            Variable* rec = simple_record(x, name);
            if (rec->state == VarState::Set) found = &rec->value;
        }
        const RexxValue& v = found ? *found : fetch_value(x.in, name, source);
        if (in_place && plan.source_in_place) {
            set_clause_pos(x, c);
            apply_template(x, plan, 0, v.text(x.in.numeric));
            return;
        }
        borrowed = v.text(x.in.numeric);
        have_source = true;
    } else if (src == ParseSource::Value && c->expr) {
        const RexxValue& v = eval(x, c->expr, source);
        // A value made for this clause alone: nothing else can reach it. A
        // variable's value that no target can change is read where it lies.
        if ((&v == &source && !upper && !lower) || (in_place && plan.source_in_place)) {
            set_clause_pos(x, c);
            apply_template(x, plan, 0, v.text(x.in.numeric));
            return;
        }
        borrowed = v.text(x.in.numeric);
        have_source = true;
    }
    ParseBuffer buffer(x);
    std::string& s = buffer.s;
    if (have_source) s.assign(borrowed);
    switch (src) {
    case ParseSource::Pull:
        if (!stack_pull(x.in.queue, s)) s = read_user_line(x);
        break;
    case ParseSource::Linein: s = read_user_line(x); break;
    case ParseSource::Source: s = parse_source_text(x.opt.file_name, x.opt.executable_name); break;
    case ParseSource::Version: s = kLanguageVersion; break;
    case ParseSource::Numeric: s = numeric_text(x.in.numeric); break;
    case ParseSource::Var:
    case ParseSource::Value:
    case ParseSource::Arg: break;
    }
    set_clause_pos(x, c);
    fold(s);
    apply_template(x, plan, 0, s);
}

// ---------------------------------------------------------------- own built-ins

RexxValue own_arg(X& x, Args& a) {
    Frame& f = *x.frames.back();
    if (a.n > 2) wrong_call(x.in, a, 0, "must receive 1 or 2 arguments.");
    if (a.n == 0 || !a.has(0)) {
        if (a.n > 0 && !a.has(0)) wrong_call(x.in, a, 0, "first argument missing.");
        size_t n = f.args.size();
        while (n > 0 && !f.present[n - 1])
            --n;
        return int_result(static_cast<long long>(n));
    }
    long long n = arg_whole_msgs(x.in, a, 0, 1, "argument 1 must be an integer", nullptr,
                                 "argument 1 must be a positive integer");
    size_t i = static_cast<size_t>(n - 1);
    bool present = i < f.args.size() && f.present[i];
    if (a.n == 2 && a.has(1)) {
        char opt = arg_option(x.in, a, 1, 'N', "EON", "argument 2 must be \"e\" or \"o\"");
        if (opt == 'E') return int_result(present ? 1 : 0);
        if (opt == 'O') return int_result(present ? 0 : 1);
    }
    return present ? f.args[i] : RexxValue();
}

RexxValue own_address(X& x, Args& a) {
    if (a.n > 0) wrong_call(x.in, a, 0, "no argument allowed.");
    return RexxValue(current_environment_name(*x.envs));
}

} // namespace

// ---------------------------------------------------------------- entry points

RoutineArgs current_args(Interp& in) {
    RoutineArgs r;
    if (!in.exec || in.exec->frames.empty()) return r;
    r.values = &in.exec->frames.back()->args;
    r.present = &in.exec->frames.back()->present;
    return r;
}

DataQueue* current_stack(Interp& in) {
    return &in.queue;
}

std::string current_environment(Interp& in) {
    if (!in.exec || !in.exec->envs) return {};
    return std::string(current_environment_name(*in.exec->envs));
}

volatile std::sig_atomic_t* halt_flag(Interp& in) {
    return in.exec ? in.exec->opt.halt_flag : nullptr;
}

bool isolated_run(Interp& in) {
    return in.exec && in.exec->opt.isolated;
}

RunResult run_program(Interp& in, std::string_view text, const RunOptions& options) {
    RunResult result;
    ExecState x(in);
    x.opt = options;
    if (options.halt_flag) x.halt = options.halt_flag;
    x.attention = options.max_clauses ? &x.always : x.halt;
    if (!options.environments.empty()) {
        x.own_environments.entries = options.environments;
        x.envs = &x.own_environments;
    } else {
        register_builtin_environments(in.environments);
        x.envs = &in.environments;
    }
    // The run's ADDRESS changes stay inside the run.
    struct KeepEnvironment {
        EnvironmentTable& table;
        size_t current, previous;
        ~KeepEnvironment() {
            size_t n = table.entries.size();
            table.current = current < n ? current : 0;
            table.previous = previous < n ? previous : 0;
        }
    } keep_environment{*x.envs, x.envs->current, x.envs->previous};
    // Children of FORK that ended without a WAITPID are reaped when the run ends.
    struct ReapChildren {
        LibState& lib;
        ~ReapChildren() {
            int status = 0;
            for (int pid : lib.children)
                voren::platform::wait_child(pid, false, status);
        }
    } reap_children{x.lib};
    if (!options.environment.empty()) {
        long start = find_environment(*x.envs, options.environment);
        if (start >= 0) x.envs->current = x.envs->previous = static_cast<size_t>(start);
    }
    // A run inside a run (a host calling back) leaves the outer one as it was.
    struct Detach {
        Interp& in;
        ExecState* outer;
        std::function<void(Interp&, const std::string&)> call_handler, run_pause_line;
        ~Detach() {
            // Whoever reads the files next sees every line written (a
            // failure stays with its stream, reported at its next use).
            try {
                sync_streams(in);
            } catch (...) {
            }
            in.exec = outer;
            in.call_handler = std::move(call_handler);
            in.run_pause_line = std::move(run_pause_line);
        }
    } detach{in, in.exec, in.call_handler, in.run_pause_line};
    in.exec = &x;

    char* low = voren::platform::stack_low_bound();
    char probe;
    if (!low) low = &probe - 6 * 1024 * 1024;
    x.stack_limit = low + options.stack_reserve;

    // A run starts with its own labels and with every trap off.
    in.pool.labels = LabelTable();
    in.traps = Traps();
    in.condition = CurrentCondition();

    // Sources: the start-up file's lines come first.
    in.source = ProgramSource();
    std::string whole;
    if (!options.startup_text.empty()) {
        std::string s = options.startup_text;
        if (s.back() != '\n') s += '\n';
        in.source.add(prepare_source(s), SourceKind::Startup, options.file_name);
        whole = s;
    }
    in.source.add(prepare_source(text), SourceKind::Program, options.file_name);
    whole.append(text);

    Frame top;
    top.args.resize(options.args.size());
    top.present.assign(options.args.size(), 0);
    for (size_t i = 0; i < options.args.size(); ++i) {
        if (!options.args[i]) continue;
        top.args[i].assign_text(*options.args[i]);
        top.present[i] = 1;
    }
    x.frames.push_back(&top);

    in.call_handler = [&x](Interp&, const std::string& label) {
        call_trap_handler(x, label, x.in.pos.line);
    };
    in.run_pause_line = [&x](Interp& in2, const std::string& line) {
        bool saved = x.pause_line;
        x.pause_line = true;
        // The typed line is not traced, unless it sets a trace of its own.
        unsigned level = in2.trace.bits & kTraceLevelMask;
        in2.trace.bits &= ~static_cast<unsigned>(kTraceLevelMask);
        x.trace_changed = false;
        try {
            run_interpret(x, line);
        } catch (RexxError& e) {
            report_error(in2, e);
        }
        x.pause_line = saved;
        if (!x.trace_changed) in2.trace.bits |= level;
        if (x.pending == Pending::Signal) x.pending = Pending::None;
    };

    try {
        x.main = std::make_unique<Unit>();
        try {
            x.main->program = compile(whole, {});
        } catch (std::bad_alloc&) {
            RexxError e;
            e.code = 5;
            throw e;
        }
        in.case_mode = static_cast<NameCase>(x.main->program->options.case_mode);
        index_labels(x, *x.main);
        Body body{x.main.get(), nullptr};
        try {
            run_body(x, body, x.main->program->clauses.first);
            if (x.pending == Pending::Return && x.has_return) {
                result.has_value = true;
                result.value = std::string(x.return_value.text(in.numeric));
            }
        } catch (ExitProgram&) {
            if (x.has_return) {
                result.has_value = true;
                result.value = std::string(x.return_value.text(in.numeric));
            }
        }
    } catch (RexxError& e) {
        report_error(in, e);
        result.error = true;
        result.error_code = e.code;
        result.exit_status = e.code > 0 ? e.code : 1;
        return result;
    } catch (std::bad_alloc&) {
        RexxError e;
        e.code = 5;
        e.line = in.pos.line;
        e.column = in.pos.column;
        report_error(in, e);
        result.error = true;
        result.error_code = 5;
        result.exit_status = 5;
        return result;
    }
    if (result.has_value) {
        RexxValue v(result.value);
        if (is_number(v)) {
            double d = v.num();
            if (d == std::trunc(d) && std::fabs(d) < 2147483648.0)
                result.exit_status = static_cast<int>(d);
        }
    }
    return result;
}

} // namespace tolma
