// Tree shapes: operator levels and every instruction form.
#include "front_helpers.h"

namespace tolma::test {
namespace {

TEST(ParsePrecedence, PrefixBindsTighterThanPower) {
    EXPECT_EQ(expr_of("-2**2"), "(fx_exp (fx_umin 2) 2)");
    EXPECT_EQ(expr_of("\\a = b"), "(fx_eq (fx_not a) b)");
    EXPECT_EQ(expr_of("- - a"), "(fx_umin (fx_umin a))");
    EXPECT_EQ(expr_of("+a * -b"), "(fx_mult (fx_uplus a) (fx_umin b))");
    EXPECT_EQ(expr_of("\xBD"
                      "a + 1"),
              "(fx_plus (fx_rho a) 1)");
}

TEST(ParsePrecedence, ComparisonsBelowEquals) {
    EXPECT_EQ(expr_of("a > b = c"), "(fx_sup a (fx_eq b c))");
    EXPECT_EQ(expr_of("a = b > c"), "(fx_sup (fx_eq a b) c)");
    EXPECT_EQ(expr_of("a == b \\= c"), "(fx_neq (fx_eeq a b) c)");
    EXPECT_EQ(expr_of("a <= b \\== c >> d"), "(fx_ssup (fx_nneq (fx_infeq a b) c) d)");
    EXPECT_EQ(expr_of("a < b << c >= d <<= e >>= f"),
              "(fx_ssupeq (fx_iinfeq (fx_supeq (fx_iinf (fx_inf a b) c) d) e) f)");
}

TEST(ParsePrecedence, LogicalLevels) {
    EXPECT_EQ(expr_of("a | b & c"), "(fx_or a (fx_and b c))");
    EXPECT_EQ(expr_of("a & b && c"), "(fx_xor (fx_and a b) c)");
    EXPECT_EQ(expr_of("a & b = c"), "(fx_and a (fx_eq b c))");
    EXPECT_EQ(expr_of("a | b | c"), "(fx_or (fx_or a b) c)");
}

TEST(ParsePrecedence, ConcatenationAndArithmetic) {
    EXPECT_EQ(expr_of("a b || c + d"), "(fx_conc (fx_bl a b) (fx_plus c d))");
    EXPECT_EQ(expr_of("a = b c"), "(fx_eq a (fx_bl b c))");
    EXPECT_EQ(expr_of("1 + 2 * 3 - 4"), "(fx_min (fx_plus 1 (fx_mult 2 3)) 4)");
    EXPECT_EQ(expr_of("a // b % c / d"), "(fx_div (fx_idiv (fx_rem a b) c) d)");
    EXPECT_EQ(expr_of("2**3**2"), "(fx_exp (fx_exp 2 3) 2)");
    EXPECT_EQ(expr_of("a'b'"), "(fx_conc a \"b\")");
}

TEST(ParsePrecedence, CaseInsensitiveComparisonAndRhoAbovePower) {
    EXPECT_EQ(expr_of("a ** b \xAD c"), "(fx_exp a (fx_eqic b c))");
    EXPECT_EQ(expr_of("a \\\xAD b * c"), "(fx_mult (fx_neqic a b) c)");
    EXPECT_EQ(expr_of("a \xBD"
                      "b ** 2"),
              "(fx_exp (fx_conc_rho a b) 2)");
}

TEST(ParsePrecedence, ConcNotAndConcRho) {
    EXPECT_EQ(expr_of("a \\b"), "(fx_conc_not a b)");
    EXPECT_EQ(expr_of("a \\b \xAD c"), "(fx_eqic (fx_conc_not a b) c)");
    EXPECT_EQ(expr_of("a \\ -b"), "(fx_conc_not a (fx_umin b))");
    EXPECT_EQ(tree_of("say 'x' \\y"), "Say (fx_conc_not \"x\" y)\n");
}

TEST(ParseTerms, Parentheses) {
    EXPECT_EQ(expr_of("(a + b) * c"), "(fx_mult (fx_plus a b) c)");
    EXPECT_EQ(expr_of("a (b)"), "(fx_bl a b)");
}

TEST(ParseTerms, FunctionCalls) {
    EXPECT_EQ(expr_of("f()"), "(call f)");
    EXPECT_EQ(expr_of("f(,2)"), "(call f _ 2)");
    EXPECT_EQ(expr_of("f(a b, g(1), )"), "(call f (fx_bl a b) (call g 1) _)");
    EXPECT_EQ(expr_of("'F'(1) + 2"), "(fx_plus (call \"F\" 1) 2)");
    auto program = compile("x = f(1)");
    EXPECT_EQ(program->clauses.first->expr->token->kind, FUNCTION);
    EXPECT_EQ(program->clauses.first->expr->nargs, 1u);
}

TEST(ParseTerms, IndexedTerms) {
    EXPECT_EQ(expr_of("s[2:4]"), "(fx_br s 2 4)");
    EXPECT_EQ(expr_of("s[5:]"), "(fx_br2 s 5 _)");
    EXPECT_EQ(expr_of("s[:2]"), "(fx_br2 s _ 2)");
    EXPECT_EQ(expr_of("s[3]"), "(fx_br s 3 _)");
    EXPECT_EQ(expr_of("'pqrstu'[i+1 : j]"), "(fx_br \"pqrstu\" (fx_plus i 1) j)");
    EXPECT_EQ(expr_of("(a b)[1]"), "(fx_br (fx_bl a b) 1 _)");
    EXPECT_EQ(expr_of("s[1] t"), "(fx_bl (fx_br s 1 _) t)");
}

TEST(ParseTerms, BackQuotes) {
    EXPECT_EQ(expr_of("`ls` x"), "(fx_bl (fx_backq ls) x)");
    EXPECT_EQ(expr_of("a `'ls' d`"), "(fx_bl a (fx_backq (fx_bl \"ls\" d)))");
}

TEST(ParseClauses, EmptyProgram) {
    EXPECT_EQ(tree_of(""), "");
    EXPECT_EQ(tree_of("/* nothing */\n\n;;"), "");
}

TEST(ParseClauses, AssignmentForms) {
    EXPECT_EQ(tree_of("x ="), "Assign x =\n");
    EXPECT_EQ(tree_of("x = 1 + y"), "Assign x = (fx_plus 1 y)\n");
    EXPECT_EQ(tree_of("s[2] = 'a'"), "Assign s[2] = \"a\"\n");
    EXPECT_EQ(tree_of("s[2:4] = 'a'"), "Assign s[2:4] = \"a\"\n");
    EXPECT_EQ(tree_of("s[2:] = 'a'"), "Assign s[2:] = \"a\"\n");
    EXPECT_EQ(tree_of("s[:4] ="), "Assign s[:4] =\n");
    auto program = compile("s[:4] = 1; t[1:] = 2; u[1:2] = 3; v[1] = 4; w = 5");
    IndexForm forms[] = {IndexForm::UpTo, IndexForm::From, IndexForm::Range, IndexForm::Single,
                         IndexForm::None};
    const Clause* c = program->clauses.first;
    for (IndexForm form : forms) {
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(static_cast<IndexForm>(c->variant), form);
        c = c->next;
    }
}

TEST(ParseClauses, CommandsAreExpressions) {
    EXPECT_EQ(tree_of("'ls' '-l'"), "Command (fx_bl \"ls\" \"-l\")\n");
    EXPECT_EQ(tree_of("x == 1"), "Command (fx_eeq x 1)\n");
    EXPECT_EQ(tree_of("s[1] == 2"), "Command (fx_eeq (fx_br s 1 _) 2)\n");
    EXPECT_EQ(tree_of("-1"), "Command (fx_umin 1)\n");
}

TEST(ParseClauses, Labels) {
    auto program = compile("start: nop\ndo\n inner: nop\nend\n'quoted': nop");
    EXPECT_EQ(dump_tree(*program),
              "Label start\nNop\nDo simple\n  Label inner nested\n  Nop\nLabel \"quoted\"\nNop\n");
    ASSERT_EQ(program->labels.size(), 3u);
    EXPECT_FALSE(program->labels[0]->nested);
    EXPECT_EQ(program->labels[0]->block, &program->clauses);
    EXPECT_TRUE(program->labels[1]->nested);
    EXPECT_EQ(program->labels[1]->block, &program->clauses.first->next->next->body);
    EXPECT_TRUE(program->labels[2]->name->quoted);
}

TEST(ParseClauses, LabelsInIfAndSelectAreNested) {
    auto program = compile("if a then l1: nop\nselect; when b then l2:; otherwise l3: nop; end");
    ASSERT_EQ(program->labels.size(), 3u);
    for (const Clause* label : program->labels)
        EXPECT_TRUE(label->nested);
}

TEST(ParseClauses, IfElse) {
    EXPECT_EQ(tree_of("if a then say 1; else say 2"),
              "If a\n  Then\n    Say 1\n  Else\n    Say 2\n");
    EXPECT_EQ(tree_of("if a\nthen\n  say 1\nelse\n  say 2"),
              tree_of("if a then say 1; else say 2"));
    EXPECT_EQ(
        tree_of("if a then if b then x = 1; else x = 2"),
        "If a\n  Then\n    If b\n      Then\n        Assign x = 1\n      Else\n        Assign "
        "x = 2\n");
    EXPECT_EQ(tree_of("if a then do; nop; end; else nop"),
              "If a\n  Then\n    Do simple\n      Nop\n  Else\n    Nop\n");
}

TEST(ParseClauses, UsualIfLayouts) {
    EXPECT_EQ(
        tree_of("if a then\n  do\n    say 1\n  end\nelse\n  do\n    say 2\n  end\nsay 3"),
        "If a\n  Then\n    Do simple\n      Say 1\n  Else\n    Do simple\n      Say 2\nSay 3\n");
    EXPECT_EQ(tree_of("if a then x = 1\nelse if b then x = 2\nelse x = 3"),
              "If a\n  Then\n    Assign x = 1\n  Else\n    If b\n      Then\n        Assign x = "
              "2\n      Else\n        Assign x = 3\n");
    EXPECT_EQ(tree_of("select\n  when a then do\n    nop\n  end\n  otherwise nop\nend"),
              "Select\n  When a\n    Do simple\n      Nop\n  Otherwise\n    Nop\n");
}

TEST(ParseClauses, DoForms) {
    EXPECT_EQ(tree_of("do; end"), "Do simple\n");
    EXPECT_EQ(tree_of("do 3; nop; end"), "Do count 3\n  Nop\n");
    EXPECT_EQ(tree_of("do forever; leave; end"), "Do forever\n  Leave\n");
    EXPECT_EQ(tree_of("do while a < 3; end"), "Do forever WHILE (fx_inf a 3)\n");
    EXPECT_EQ(tree_of("do 2 until b; end"), "Do count 2 UNTIL b\n");
    EXPECT_EQ(tree_of("do i = 1 for 3 by 2 to n while x; end i"),
              "Do controlled i 1 FOR 3 BY 2 TO n WHILE x\n");
    EXPECT_EQ(tree_of("do w in 'a b c'; say w; end w"), "Do in w \"a b c\"\n  Say w\n");
    auto program = compile("do i = 1 by 2 to 5; end");
    const LoopSpec* loop = program->clauses.first->loop;
    EXPECT_EQ(loop->form, LoopForm::Controlled);
    EXPECT_EQ(loop->order_count, 2);
    EXPECT_EQ(loop->order[0], LOOP_BY);
    EXPECT_EQ(loop->order[1], LOOP_TO);
    EXPECT_EQ(loop->for_count, nullptr);
    EXPECT_FALSE(loop->forever);
}

TEST(ParseClauses, DoLinksAndLeaveTargets) {
    auto program = compile("do i = 1 to 2\n do j = 1 to 2\n  leave i\n end\n iterate\nend\nleave");
    const Clause* outer = program->clauses.first;
    const Clause* inner = outer->body.first;
    EXPECT_EQ(inner->loop->enclosing, outer);
    EXPECT_EQ(outer->loop->enclosing, nullptr);
    const Clause* leave = inner->body.first;
    EXPECT_EQ(leave->kind, ClauseKind::Leave);
    EXPECT_EQ(leave->enclosing_do, inner);
    EXPECT_STREQ(leave->name->sym->name, "I");
    EXPECT_EQ(inner->next->kind, ClauseKind::Iterate);
    EXPECT_EQ(inner->next->enclosing_do, outer);
    EXPECT_EQ(outer->next->enclosing_do, nullptr);
}

TEST(ParseClauses, Select) {
    EXPECT_EQ(
        tree_of("select\n when a then say 1\n when b then\n  nop\n otherwise\n  say 2\n  "
                "say 3\nend"),
        "Select\n  When a\n    Say 1\n  When b\n    Nop\n  Otherwise\n    Say 2\n    Say 3\n");
    EXPECT_EQ(tree_of("select; when a then nop; end"), "Select\n  When a\n    Nop\n");
    EXPECT_EQ(tree_of("select; when a then nop; otherwise; end"),
              "Select\n  When a\n    Nop\n  Otherwise\n");
}

TEST(ParseClauses, SimpleInstructions) {
    EXPECT_EQ(tree_of("say; sayn 1; sayr a b; sayx 'ls'"),
              "Say\nSayN 1\nSayR (fx_bl a b)\nSayExecute \"ls\"\n");
    EXPECT_EQ(tree_of("exit; exit 3; return; return x"), "Exit\nExit 3\nReturn\nReturn x\n");
    EXPECT_EQ(tree_of("push; queue a; cd '/tmp'"), "Push\nQueue a\nChangeDir \"/tmp\"\n");
    EXPECT_EQ(tree_of("interpret 'say' x"), "Interpret (fx_bl \"say\" x)\n");
    EXPECT_EQ(tree_of("nop"), "Nop\n");
    EXPECT_EQ(tree_of("procedure; procedure expose a (b) c."),
              "Procedure\nProcedure EXPOSE a (b) c.\n");
    EXPECT_EQ(tree_of("drop a b.; upper x (y); lower z"), "Drop a b.\nUpper x (y)\nLower z\n");
    EXPECT_EQ(tree_of("option lower globalv"), "Option\n");
}

TEST(ParseClauses, CallForms) {
    EXPECT_EQ(tree_of("call f"), "Call f\n");
    EXPECT_EQ(tree_of("call f 1, , x y"), "Call f 1, _, (fx_bl x y)\n");
    EXPECT_EQ(tree_of("call f(1, 2)"), "Call f 1, 2\n");
    EXPECT_EQ(tree_of("call f (1, 2)"), "Call f 1, 2\n");
    EXPECT_EQ(tree_of("call f()"), "Call f\n");
    EXPECT_EQ(tree_of("call f (1) + 2, 3"), "Call f (fx_plus 1 2), 3\n");
    EXPECT_EQ(tree_of("call 'ext' a"), "Call \"ext\" a\n");
    EXPECT_EQ(tree_of("call on error; call on halt name h; call off novalue"),
              "CallOn ON ERROR\nCallOn ON HALT NAME h\nCallOn OFF NOVALUE\n");
}

TEST(ParseClauses, SignalForms) {
    EXPECT_EQ(tree_of("signal there; signal 'x'; signal value a b"),
              "Signal there\nSignal \"x\"\nSignal VALUE (fx_bl a b)\n");
    EXPECT_EQ(tree_of("signal on syntax name s; signal off notready; signal on failure"),
              "SignalOn ON SYNTAX NAME s\nSignalOn OFF NOTREADY\nSignalOn ON FAILURE\n");
}

TEST(ParseClauses, ParseForms) {
    EXPECT_EQ(tree_of("parse arg a b"), "Parse ARG : a b\n");
    EXPECT_EQ(tree_of("parse upper pull x"), "Parse UPPER PULL : x\n");
    EXPECT_EQ(tree_of("parse lower linein x"), "Parse LOWER LINEIN : x\n");
    EXPECT_EQ(tree_of("parse source s; parse version v; parse numeric d f m"),
              "Parse SOURCE : s\nParse VERSION : v\nParse NUMERIC : d f m\n");
    EXPECT_EQ(tree_of("parse var line a '=' b +3 (c)"), "Parse VAR line : a \"=\" b + 3 ( c )\n");
    EXPECT_EQ(tree_of("parse value 'a b c' with x . z"), "Parse VALUE \"a b c\" : x . z\n");
    EXPECT_EQ(tree_of("parse value with x"), "Parse VALUE : x\n");
    EXPECT_EQ(tree_of("arg a, b; pull"), "Parse ARG : a , b\nParse PULL :\n");
    auto program = compile("parse arg a . b");
    const Clause* c = program->clauses.first;
    EXPECT_EQ(c->template_count, 3u);
    ASSERT_NE(c->template_first, nullptr);
    EXPECT_EQ(c->template_first->next->next->next, nullptr);
}

TEST(ParseClauses, TemplateEndsAtElse) {
    EXPECT_EQ(tree_of("if a then parse arg x\nelse pull y"),
              "If a\n  Then\n    Parse ARG : x\n  Else\n    Parse PULL : y\n");
}

TEST(ParseClauses, AddressForms) {
    EXPECT_EQ(tree_of("address; address sh; address sh 'ls' x; address value e; address (e)"),
              "Address\nAddress SH\nAddress SH (fx_bl \"ls\" x)\nAddress VALUE e\nAddress VALUE "
              "e\n");
    auto program = compile("address; address sh; address sh 'ls'; address value e");
    AddressForm forms[] = {AddressForm::Swap, AddressForm::Set, AddressForm::Run,
                           AddressForm::Value};
    const Clause* c = program->clauses.first;
    for (AddressForm form : forms) {
        EXPECT_EQ(static_cast<AddressForm>(c->variant), form);
        c = c->next;
    }
}

TEST(ParseClauses, NumericAndTrace) {
    EXPECT_EQ(tree_of("numeric digits; numeric digits 10; numeric fuzz 2"),
              "Numeric DIGITS\nNumeric DIGITS 10\nNumeric FUZZ 2\n");
    EXPECT_EQ(tree_of("numeric form scientific; numeric form engineering; numeric form value f"),
              "Numeric FORM SCIENTIFIC\nNumeric FORM ENGINEERING\nNumeric FORM VALUE f\n");
    EXPECT_EQ(tree_of("trace; trace ?r; trace 'o'; trace value t"),
              "Trace\nTrace ?r\nTrace \"o\"\nTrace VALUE t\n");
}

TEST(ParseClauses, PositionsAndSourceText) {
    auto program = compile("say 1 +  2 /* c */\n  if a = 1 then x = 'y'\ndo i = 1 to 3\nend");
    const Clause* say = program->clauses.first;
    EXPECT_EQ(program->clause_text(*say), "say 1 +  2");
    EXPECT_EQ(say->line, 0);
    const Clause* if_clause = say->next;
    EXPECT_EQ(if_clause->line, 1);
    EXPECT_EQ(if_clause->column, 2);
    EXPECT_EQ(program->clause_text(*if_clause), "if a = 1 then");
    EXPECT_EQ(program->clause_text(*if_clause->body.first), "x = 'y'");
    const Clause* do_clause = if_clause->next;
    EXPECT_EQ(program->clause_text(*do_clause), "do i = 1 to 3");
    const Expr* plus = say->expr;
    EXPECT_EQ(plus->op, ExprOp::Plus);
    EXPECT_EQ(plus->token->line, 0);
    EXPECT_EQ(plus->token->column, 6);
}

TEST(ParseClauses, WhenArmText) {
    auto program = compile("select\n  when a > 1 then nop\nend");
    const WhenArm* arm = program->clauses.first->whens;
    ASSERT_NE(arm, nullptr);
    EXPECT_EQ(std::string(arm->text, arm->text_length), "when a > 1 then");
}

TEST(ParseClauses, EverySymbolIsAnalysed) {
    auto program = compile("parse arg a b; call f x; signal on error name t; do i = 1 to n; end i\n"
                           "drop d (e); end: x = (g(y.z))[1]; address value v; trace r; "
                           "procedure expose p; option lower; q = r");
    int symbols = 0;
    for (const Token& t : program->tokens) {
        if (t.kind != SYMBOL && t.kind != FUNCTION) continue;
        ++symbols;
        ASSERT_NE(t.sym, nullptr) << t.text;
        EXPECT_EQ(t.sym->length, t.length);
    }
    EXPECT_EQ(symbols, 19);
}

TEST(ParseNames, OperatorNames) {
    EXPECT_STREQ(expr_op_name(ExprOp::ConcNot), "fx_conc_not");
    EXPECT_STREQ(expr_op_name(ExprOp::Br2), "fx_br2");
    EXPECT_EQ(expr_arity(ExprOp::Br), Arity::Ternary);
    EXPECT_EQ(expr_arity(ExprOp::Rho), Arity::Unary);
    EXPECT_STREQ(clause_kind_name(ClauseKind::SayExecute), "SayExecute");
    EXPECT_STREQ(expr_op_symbol(ExprOp::Bl), " ");
    EXPECT_STREQ(expr_op_symbol(ExprOp::Neq), "\\=");
    EXPECT_STREQ(expr_op_symbol(ExprOp::Nneq), "\\==");
    EXPECT_STREQ(expr_op_symbol(ExprOp::Conc), "||");
    EXPECT_STREQ(expr_op_symbol(ExprOp::Symbol), "");
    // Every spelling of not-equal parses to the one operator.
    for (const char* spelling : {"\\=", "/=", "~=", "^=", "<>", "><"})
        EXPECT_EQ(expr_of(std::string("a ") + spelling + " b"), "(fx_neq a b)") << spelling;
    EXPECT_STREQ(token_kind_name(OP_NEQIC), "OP_NEQIC");
    EXPECT_STREQ(token_kind_name(NOGLOBALV), "NOGLOBALV");
    EXPECT_STREQ(token_kind_name(SYMBOL), "SYMBOL");
}

} // namespace
} // namespace tolma::test
