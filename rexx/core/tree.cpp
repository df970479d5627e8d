// Names of the tree's node kinds and the readable dumps.
#include "rexx/core/tree.h"

namespace tolma {

Arity expr_arity(ExprOp op) {
    switch (op) {
    case ExprOp::Symbol:
    case ExprOp::String: return Arity::Leaf;
    case ExprOp::Not:
    case ExprOp::UPlus:
    case ExprOp::UMin:
    case ExprOp::Rho:
    case ExprOp::BackQ: return Arity::Unary;
    case ExprOp::Br:
    case ExprOp::Br2: return Arity::Ternary;
    case ExprOp::Call: return Arity::Call;
    default: return Arity::Binary;
    }
}

const char* expr_op_name(ExprOp op) {
    switch (op) {
    case ExprOp::Symbol: return "symbol";
    case ExprOp::String: return "string";
    case ExprOp::Or: return "fx_or";
    case ExprOp::Xor: return "fx_xor";
    case ExprOp::And: return "fx_and";
    case ExprOp::Eq: return "fx_eq";
    case ExprOp::Neq: return "fx_neq";
    case ExprOp::Eeq: return "fx_eeq";
    case ExprOp::Nneq: return "fx_nneq";
    case ExprOp::Eqic: return "fx_eqic";
    case ExprOp::Neqic: return "fx_neqic";
    case ExprOp::Sup: return "fx_sup";
    case ExprOp::Inf: return "fx_inf";
    case ExprOp::SupEq: return "fx_supeq";
    case ExprOp::InfEq: return "fx_infeq";
    case ExprOp::Ssup: return "fx_ssup";
    case ExprOp::Iinf: return "fx_iinf";
    case ExprOp::SsupEq: return "fx_ssupeq";
    case ExprOp::IinfEq: return "fx_iinfeq";
    case ExprOp::Bl: return "fx_bl";
    case ExprOp::Conc: return "fx_conc";
    case ExprOp::Plus: return "fx_plus";
    case ExprOp::Min: return "fx_min";
    case ExprOp::Mult: return "fx_mult";
    case ExprOp::Div: return "fx_div";
    case ExprOp::Idiv: return "fx_idiv";
    case ExprOp::Rem: return "fx_rem";
    case ExprOp::Exp: return "fx_exp";
    case ExprOp::ConcRho: return "fx_conc_rho";
    case ExprOp::ConcNot: return "fx_conc_not";
    case ExprOp::Not: return "fx_not";
    case ExprOp::UPlus: return "fx_uplus";
    case ExprOp::UMin: return "fx_umin";
    case ExprOp::Rho: return "fx_rho";
    case ExprOp::BackQ: return "fx_backq";
    case ExprOp::Br: return "fx_br";
    case ExprOp::Br2: return "fx_br2";
    case ExprOp::Call: return "call";
    }
    return "?";
}

const char* expr_op_symbol(ExprOp op) {
    switch (op) {
    case ExprOp::Or: return "|";
    case ExprOp::Xor: return "&&";
    case ExprOp::And: return "&";
    case ExprOp::Eq: return "=";
    case ExprOp::Neq: return "\\=";
    case ExprOp::Eeq: return "==";
    case ExprOp::Nneq: return "\\==";
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
    case ExprOp::Plus:
    case ExprOp::UPlus: return "+";
    case ExprOp::Min:
    case ExprOp::UMin: return "-";
    case ExprOp::Mult: return "*";
    case ExprOp::Div: return "/";
    case ExprOp::Idiv: return "%";
    case ExprOp::Rem: return "//";
    case ExprOp::Exp: return "**";
    case ExprOp::Not: return "\\";
    case ExprOp::Eqic: return "\xAD";
    case ExprOp::Neqic: return "\\\xAD";
    case ExprOp::Rho:
    case ExprOp::ConcRho: return "\xBD";
    case ExprOp::ConcNot: return "\\";
    default: return "";
    }
}

const char* clause_kind_name(ClauseKind kind) {
    static const char* const names[] = {
        "Command",    "Assign", "Label",   "If",     "Do",        "Select",    "Leave",   "Iterate",
        "Exit",       "Return", "Call",    "CallOn", "SignalOn",  "Signal",    "Push",    "Queue",
        "Procedure",  "Parse",  "Address", "Option", "Drop",      "Interpret", "Numeric", "Say",
        "SayExecute", "Upper",  "Lower",   "Trace",  "ChangeDir", "Nop",
    };
    static_assert(sizeof(names) / sizeof(names[0]) == static_cast<int>(ClauseKind::Nop) + 1);
    return names[static_cast<int>(kind)];
}

namespace {

void put_text(std::string& out, const Token* token) {
    if (!token) {
        out += '_';
        return;
    }
    if (token->quoted) out += '"';
    if (token->text) out.append(token->text, token->length);
    if (token->quoted) out += '"';
}

void put_expr(std::string& out, const Expr* e) {
    if (!e) {
        out += '_';
        return;
    }
    switch (expr_arity(e->op)) {
    case Arity::Leaf: put_text(out, e->token); return;
    case Arity::Call:
        out += "(call ";
        put_text(out, e->token);
        for (std::uint32_t i = 0; i < e->nargs; ++i) {
            out += ' ';
            put_expr(out, e->args[i]);
        }
        out += ')';
        return;
    default: break;
    }
    out += '(';
    out += expr_op_name(e->op);
    out += ' ';
    put_expr(out, e->left);
    if (expr_arity(e->op) != Arity::Unary) {
        out += ' ';
        put_expr(out, e->right);
    }
    if (expr_arity(e->op) == Arity::Ternary) {
        out += ' ';
        put_expr(out, e->third);
    }
    out += ')';
}

void put_optional(std::string& out, const Expr* e) {
    if (!e) return;
    out += ' ';
    put_expr(out, e);
}

void put_names(std::string& out, const NameItem* item) {
    for (; item; item = item->next) {
        out += ' ';
        if (item->indirect) out += '(';
        put_text(out, item->symbol);
        if (item->indirect) out += ')';
    }
}

void put_list(std::string& out, const ClauseList& list, int indent);

void put_clause(std::string& out, const Clause& c, int indent) {
    out.append(indent, ' ');
    out += clause_kind_name(c.kind);
    switch (c.kind) {
    case ClauseKind::Assign: {
        out += ' ';
        put_text(out, c.name);
        switch (static_cast<IndexForm>(c.variant)) {
        case IndexForm::None: break;
        case IndexForm::Single:
            out += '[';
            put_expr(out, c.index1);
            out += ']';
            break;
        default:
            out += '[';
            if (c.index1) put_expr(out, c.index1);
            out += ':';
            if (c.index2) put_expr(out, c.index2);
            out += ']';
            break;
        }
        out += " =";
        put_optional(out, c.expr);
        break;
    }
    case ClauseKind::Label:
        out += ' ';
        put_text(out, c.name);
        if (c.nested) out += " nested";
        break;
    case ClauseKind::If:
        put_optional(out, c.expr);
        out += '\n';
        out.append(indent + 2, ' ');
        out += "Then\n";
        put_list(out, c.body, indent + 4);
        if (c.has_else) {
            out.append(indent + 2, ' ');
            out += "Else\n";
            put_list(out, c.alt, indent + 4);
        }
        return;
    case ClauseKind::Do: {
        const LoopSpec& l = *c.loop;
        static const char* const forms[] = {"simple", "count", "forever", "controlled", "in"};
        out += ' ';
        out += forms[static_cast<int>(l.form)];
        if (l.control) {
            out += ' ';
            put_text(out, l.control);
        }
        put_optional(out, l.start);
        for (int i = 0; i < l.order_count; ++i) {
            const Expr* e = l.order[i] == LOOP_TO   ? l.to
                            : l.order[i] == LOOP_BY ? l.by
                                                    : l.for_count;
            out += l.order[i] == LOOP_TO ? " TO" : l.order[i] == LOOP_BY ? " BY" : " FOR";
            put_optional(out, e);
        }
        if (l.condition) {
            out += l.until ? " UNTIL" : " WHILE";
            put_optional(out, l.condition);
        }
        out += '\n';
        put_list(out, c.body, indent + 2);
        return;
    }
    case ClauseKind::Select:
        out += '\n';
        for (const WhenArm* arm = c.whens; arm; arm = arm->next) {
            out.append(indent + 2, ' ');
            out += "When";
            put_optional(out, arm->condition);
            out += '\n';
            put_list(out, arm->body, indent + 4);
        }
        if (c.has_otherwise) {
            out.append(indent + 2, ' ');
            out += "Otherwise\n";
            put_list(out, c.body, indent + 4);
        }
        return;
    case ClauseKind::Leave:
    case ClauseKind::Iterate:
    case ClauseKind::Signal:
        if (c.name) {
            out += ' ';
            put_text(out, c.name);
        }
        if (c.kind == ClauseKind::Signal && c.expr) out += " VALUE";
        put_optional(out, c.expr);
        break;
    case ClauseKind::Call:
        out += ' ';
        put_text(out, c.name);
        for (std::uint32_t i = 0; i < c.nargs; ++i) {
            out += i ? ", " : " ";
            put_expr(out, c.args[i]);
        }
        break;
    case ClauseKind::CallOn:
    case ClauseKind::SignalOn:
        out += c.on ? " ON " : " OFF ";
        out += token_kind_name(c.condition);
        if (c.name) {
            out += " NAME ";
            put_text(out, c.name);
        }
        break;
    case ClauseKind::Procedure:
        if (c.names) out += " EXPOSE";
        put_names(out, c.names);
        break;
    case ClauseKind::Drop:
    case ClauseKind::Upper:
    case ClauseKind::Lower: put_names(out, c.names); break;
    case ClauseKind::Parse: {
        static const char* const sources[] = {"ARG",     "PULL",    "LINEIN", "SOURCE",
                                              "VERSION", "NUMERIC", "VAR",    "VALUE"};
        if (c.parse_case == ParseCase::Upper) out += " UPPER";
        if (c.parse_case == ParseCase::Lower) out += " LOWER";
        out += ' ';
        out += sources[c.variant];
        if (c.name) {
            out += ' ';
            put_text(out, c.name);
        }
        put_optional(out, c.expr);
        out += " :";
        for (const Token* t = c.template_first; t; t = t->next) {
            out += ' ';
            if (t->kind == SYMBOL || t->kind == STRING)
                put_text(out, t);
            else
                out += token_kind_name(t->kind);
        }
        break;
    }
    case ClauseKind::Address:
        if (static_cast<AddressForm>(c.variant) == AddressForm::Value) out += " VALUE";
        if (c.name) {
            out += ' ';
            put_text(out, c.name);
        }
        put_optional(out, c.expr);
        break;
    case ClauseKind::Numeric: {
        static const char* const forms[] = {"DIGITS", "FUZZ", "FORM SCIENTIFIC", "FORM ENGINEERING",
                                            "FORM VALUE"};
        out += ' ';
        out += forms[c.variant];
        put_optional(out, c.expr);
        break;
    }
    case ClauseKind::Say: {
        static const char* const forms[] = {"", "N", "R"};
        out += forms[c.variant];
        put_optional(out, c.expr);
        break;
    }
    case ClauseKind::Trace:
        if (static_cast<TraceForm>(c.variant) == TraceForm::Value) out += " VALUE";
        if (c.name) {
            out += ' ';
            put_text(out, c.name);
        }
        put_optional(out, c.expr);
        break;
    default: put_optional(out, c.expr); break;
    }
    out += '\n';
}

void put_list(std::string& out, const ClauseList& list, int indent) {
    for (const Clause* c = list.first; c; c = c->next)
        put_clause(out, *c, indent);
}

} // namespace

std::string dump_expr(const Expr* expr) {
    std::string out;
    put_expr(out, expr);
    return out;
}

std::string dump_clauses(const ClauseList& list, int indent) {
    std::string out;
    put_list(out, list, indent);
    return out;
}

std::string dump_tree(const Program& program) {
    return dump_clauses(program.clauses);
}

} // namespace tolma
