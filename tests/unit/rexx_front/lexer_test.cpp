// Token streams of the lexer's edge cases.
#include "front_helpers.h"

namespace tolma::test {
namespace {

TEST(LexStrings, DoubledQuoteStandsForOne) {
    EXPECT_EQ(tokens_of("a = 'it''s'"), "SYMBOL(a) = STRING(\"it's\") ;");
    EXPECT_EQ(tokens_of("a = \"say \"\"hi\"\"\""), "SYMBOL(a) = STRING(\"say \"hi\"\") ;");
}

TEST(LexStrings, HexAndBinary) {
    EXPECT_EQ(tokens_of("say '41'x"), "SAY STRING(\"A\") ;");
    EXPECT_EQ(tokens_of("say '0100 0001'b"), "SAY STRING(\"A\") ;");
    EXPECT_EQ(tokens_of("say '4142 43'X"), "SAY STRING(\"ABC\") ;");
    EXPECT_EQ(tokens_of("say '1'x"), "SAY STRING(\"\x01\") ;");
    EXPECT_EQ(tokens_of("say ''x"), "SAY STRING(\"\") ;");
    EXPECT_EQ(tokens_of("say '1'b"), "SAY STRING(\"\x01\") ;");
    EXPECT_EQ(tokens_of("say '1 41'x"), "SAY STRING(\"\x01"
                                        "A\") ;");
    EXPECT_EQ(tokens_of("say '1 0100 0001'b"), "SAY STRING(\"\x01"
                                               "A\") ;");
    EXPECT_EQ(tokens_of("say '100 0001'b"), "SAY STRING(\"A\") ;");
}

TEST(LexStrings, SuffixFollowedBySymbolCharIsAbuttal) {
    EXPECT_EQ(tokens_of("say 'a'xy"), "SAY STRING(\"a\") OP_CONC SYMBOL(xy) ;");
    EXPECT_EQ(tokens_of("say 'a'b2"), "SAY STRING(\"a\") OP_CONC SYMBOL(b2) ;");
}

TEST(LexStrings, BadHexAndBinary) {
    EXPECT_FAILS("say '4G'x", 15, 1, 5);
    EXPECT_FAILS("say ' 41'x", 15, 1, 5);
    EXPECT_FAILS("say '41 4'x", 15, 1, 5);
    EXPECT_FAILS("say '41  '", 0, 0, 0);
    EXPECT_FAILS("say '41 '\n", 0, 0, 0);
    EXPECT_FAILS("say '41 'x", 15, 1, 5);
    EXPECT_FAILS("x = 1\n  y = '012'b", 67, 2, 7);
    EXPECT_FAILS("say '0100 001'b", 67, 1, 5);
}

TEST(LexStrings, UnmatchedQuotes) {
    EXPECT_FAILS("say 'abc", 1, 1, 5);
    EXPECT_FAILS("say \"abc\nsay 2", 2, 1, 5);
    EXPECT_FAILS("nop\nsay 'abc\nsay 2", 1, 2, 5);
}

TEST(LexComments, NestedCommentIsOneComment) {
    EXPECT_EQ(tokens_of("/* a /* b */ c */ SAY 1"), "SAY STRING(1) ;");
    EXPECT_EQ(tokens_of("say a/* x */b"), "SAY SYMBOL(a) OP_CONC SYMBOL(b) ;");
}

TEST(LexComments, UnmatchedCommentReportedWhereItOpened) {
    EXPECT_FAILS("say 1\n  /* a /* b */ c", 6, 2, 3);
    EXPECT_FAILS("/* never closed", 6, 1, 1);
}

TEST(LexComments, NewlinesInsideCommentsCountLines) {
    auto program = compile("/* one\ntwo\nthree */ say 1\nsay 2");
    ASSERT_NE(program->clauses.first, nullptr);
    EXPECT_EQ(program->clauses.first->line, 2);
    EXPECT_EQ(program->clauses.first->next->line, 3);
}

TEST(LexComments, HashAtClauseStartRunsToEndOfLine) {
    EXPECT_EQ(tokens_of("#!/usr/bin/tolma\nsay 1"), "SAY STRING(1) ;");
    EXPECT_EQ(tokens_of("say 1; # note\nsay 2"), "SAY STRING(1) ; SAY STRING(2) ;");
    EXPECT_EQ(tokens_of("x = a#b"), "SYMBOL(x) = SYMBOL(a#b) ;");
}

TEST(LexChars, CarriageReturnAndEofByteIgnored) {
    EXPECT_EQ(tokens_of("say 1\r\nsay 2\r\n\x1a"), "SAY STRING(1) ; SAY STRING(2) ;");
}

TEST(LexSymbols, NumbersAreStringsWithoutQuotedFlag) {
    Arena arena;
    ProgramOptions options;
    auto tokens = lex("say 12 .5 1e3", {}, options, arena);
    ASSERT_EQ(tokens.size(), 7u);
    for (int i = 1; i <= 5; i += 2) {
        EXPECT_EQ(tokens[i].kind, STRING);
        EXPECT_FALSE(tokens[i].quoted);
    }
}

TEST(LexSymbols, ExponentSignContinuesOnlyANumber) {
    EXPECT_EQ(tokens_of("say 1E+3"), "SAY STRING(1E+3) ;");
    EXPECT_EQ(tokens_of("say 1.5e-3"), "SAY STRING(1.5e-3) ;");
    EXPECT_EQ(tokens_of("say E+3"), "SAY SYMBOL(E) + STRING(3) ;");
    EXPECT_EQ(tokens_of("say 12+3"), "SAY STRING(12) + STRING(3) ;");
    EXPECT_EQ(tokens_of("say 1e+x"), "SAY STRING(1e) + SYMBOL(x) ;");
}

TEST(LexSymbols, SymbolCharacters) {
    EXPECT_EQ(tokens_of("x = @a#b$c.d!e?f_g"), "SYMBOL(x) = SYMBOL(@a#b$c.d!e?f_g) ;");
    EXPECT_EQ(tokens_of("x = a\xA8"
                        "b"),
              "SYMBOL(x) = SYMBOL(a\xA8"
              "b) ;");
}

TEST(LexSymbols, NumberAssignmentIsError31) {
    EXPECT_FAILS("3 = 4", 31, 1, 1);
    EXPECT_FAILS("say 1\n   .5= 4", 31, 2, 4);
    EXPECT_EQ(tokens_of("say 3"), "SAY STRING(3) ;");
    EXPECT_EQ(tokens_of("x = 3 = 4"), "SYMBOL(x) = STRING(3) = STRING(4) ;");
}

TEST(LexClauses, NewlinesAndSemicolonsEndClausesOnce) {
    EXPECT_EQ(tokens_of("say 1;;\n\n;say 2\n"), "SAY STRING(1) ; SAY STRING(2) ;");
    EXPECT_EQ(tokens_of(""), "");
    EXPECT_EQ(tokens_of("/* */"), "");
}

TEST(LexClauses, ContinuationCommaJoinsLinesWithOneBlank) {
    EXPECT_EQ(tokens_of("say 1,\n2"), "SAY STRING(1) _ STRING(2) ;");
    EXPECT_EQ(tokens_of("say 1 , /* c */  \n 2"), "SAY STRING(1) _ STRING(2) ;");
    EXPECT_EQ(tokens_of("say 1,2"), "SAY STRING(1) , STRING(2) ;");
    auto program = compile("say 1,\n2\nsay 3");
    EXPECT_EQ(program->clauses.first->next->line, 2);
}

TEST(LexClauses, ContinuationThroughMultiLineComment) {
    auto program = compile("say 1, /* a\nb */\n2\nsay 3");
    EXPECT_EQ(dump_tree(*program), "Say (fx_bl 1 2)\nSay 3\n");
    EXPECT_EQ(program->clauses.first->next->line, 3);
}

TEST(LexBraces, BracesAreDoAndEnd) {
    EXPECT_EQ(tree_of("if a then { say 1; say 2 }"), tree_of("IF a THEN DO; SAY 1; SAY 2; END"));
    EXPECT_EQ(tree_of("if a then {\n say 1\n}\nelse {\n say 2\n}"),
              tree_of("if a then do\n say 1\nend\nelse do\n say 2\nend"));
    EXPECT_EQ(tree_of("if a then { say 1 } else { say 2 }"),
              tree_of("if a then do; say 1; end; else do; say 2; end"));
}

TEST(LexBraces, BraceAfterLoopHeaderOpensTheLoop) {
    EXPECT_EQ(tree_of("do i = 1 to 3 { say i }"), tree_of("do i = 1 to 3; say i; end"));
    EXPECT_EQ(tree_of("select { when a then nop }"), tree_of("select; when a then nop; end"));
}

TEST(LexOperators, GatheringSkipsBlanks) {
    EXPECT_EQ(tokens_of("say a \\== b"), "SAY SYMBOL(a) OP_NNEQ SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("say a \\ == b"), "SAY SYMBOL(a) OP_NNEQ SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("say a < < = b"), "SAY SYMBOL(a) OP_IINF_EQ SYMBOL(b) ;");
}

TEST(LexOperators, EveryRow) {
    struct Row {
        const char* op;
        const char* kind;
    } rows[] = {
        {"**", "OP_EXP"},
        {"//", "OP_REMAIN"},
        {"||", "OP_CONC"},
        {"==", "OP_EEQ"},
        {"\\=", "OP_NEQ"},
        {"/=", "OP_NEQ"},
        {"~=", "OP_NEQ"},
        {"^=", "OP_NEQ"},
        {"<>", "OP_NEQ"},
        {"><", "OP_NEQ"},
        {"/==", "OP_NNEQ"},
        {"^==", "OP_NNEQ"},
        {">>", "OP_SSUP"},
        {"<<", "OP_IINF"},
        {">=", "OP_SUP_EQ"},
        {"\\<", "OP_SUP_EQ"},
        {"~<", "OP_SUP_EQ"},
        {">>=", "OP_SSUP_EQ"},
        {"/<<", "OP_SSUP_EQ"},
        {"<=", "OP_INF_EQ"},
        {"^>", "OP_INF_EQ"},
        {"<<=", "OP_IINF_EQ"},
        {"~>>", "OP_IINF_EQ"},
        {"&&", "OP_XOR"},
        {"\xAD", "OP_EQIC"},
        {"~\xAD", "OP_NEQIC"},
        {"\\\xAD", "OP_NEQIC"},
        {"=", "="},
        {"<", "<"},
        {">", ">"},
        {"*", "*"},
        {"/", "/"},
        {"|", "|"},
        {"&", "&"},
        {"%", "%"},
        {"+", "+"},
        {"-", "-"},
    };
    for (const Row& row : rows) {
        std::string text = std::string("say a ") + row.op + " b";
        EXPECT_EQ(tokens_of(text), std::string("SAY SYMBOL(a) ") + row.kind + " SYMBOL(b) ;")
            << row.op;
    }
    EXPECT_EQ(tokens_of("say \\a ~b ^c \xBD"
                        "d"),
              "SAY OP_NOT SYMBOL(a) OP_NOT SYMBOL(b) OP_NOT "
              "SYMBOL(c) OP_RHO SYMBOL(d) ;");
}

TEST(LexOperators, LongestPrefixWinsAndRestIsReadAgain) {
    EXPECT_EQ(tokens_of("say a**-b"), "SAY SYMBOL(a) OP_EXP - SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("say a=\\b"), "SAY SYMBOL(a) = OP_NOT SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("say a ||| b"), "SAY SYMBOL(a) OP_CONC | SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("x = a=/* c */b"), "SYMBOL(x) = SYMBOL(a) = SYMBOL(b) ;");
}

TEST(LexBlanks, BlankSurvivesOnlyBetweenTerms) {
    EXPECT_EQ(tokens_of("say a b"), "SAY SYMBOL(a) _ SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("say a + b"), "SAY SYMBOL(a) + SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("say  a   'b'  (c) "), "SAY SYMBOL(a) _ STRING(\"b\") _ ( SYMBOL(c) ) ;");
    EXPECT_EQ(tokens_of("say f( a , b )"), "SAY FUNCTION(f) ( SYMBOL(a) , SYMBOL(b) ) ;");
    EXPECT_EQ(tokens_of("say f (a)"), "SAY SYMBOL(f) _ ( SYMBOL(a) ) ;");
}

TEST(LexBlanks, AbuttalIsConcatenation) {
    EXPECT_EQ(tokens_of("say a'b'"), "SAY SYMBOL(a) OP_CONC STRING(\"b\") ;");
    EXPECT_EQ(tokens_of("say (a)(b)c"),
              "SAY ( SYMBOL(a) ) OP_CONC ( SYMBOL(b) ) OP_CONC SYMBOL(c) ;");
    EXPECT_EQ(tokens_of("say 'f'(1)"), "SAY SFUNCTION(\"f\") ( STRING(1) ) ;");
}

TEST(LexContext, FunctionAndVide) {
    EXPECT_EQ(tokens_of("x = f()"), "SYMBOL(x) = FUNCTION(f) ( VIDE ) ;");
    EXPECT_EQ(tokens_of("x = f(,2)"), "SYMBOL(x) = FUNCTION(f) ( VIDE , STRING(2) ) ;");
    EXPECT_EQ(tokens_of("x = f(1,,)"), "SYMBOL(x) = FUNCTION(f) ( STRING(1) , VIDE , VIDE ) ;");
    EXPECT_EQ(tokens_of("call f ,2"), "CALL SYMBOL(f) VIDE , STRING(2) ;");
    EXPECT_EQ(tokens_of("call f 1,;"), "CALL SYMBOL(f) STRING(1) , VIDE ;");
    EXPECT_EQ(tokens_of("call f(1)"), "CALL FUNCTION(f) ( STRING(1) ) ;");
    EXPECT_EQ(tokens_of("call 'f' 1"), "CALL STRING(\"f\") STRING(1) ;");
}

TEST(LexContext, KeywordsOnlyWhereTheGrammarWantsThem) {
    EXPECT_EQ(tokens_of("do = 5"), "SYMBOL(do) = STRING(5) ;");
    EXPECT_EQ(tokens_of("SAY = 3"), "SYMBOL(SAY) = STRING(3) ;");
    EXPECT_EQ(tokens_of("if[2] = 3"), "SYMBOL(if) [ STRING(2) ] = STRING(3) ;");
    EXPECT_EQ(tokens_of("say to by"), "SAY SYMBOL(to) _ SYMBOL(by) ;");
    EXPECT_EQ(tokens_of("x = value(y)"), "SYMBOL(x) = FUNCTION(value) ( SYMBOL(y) ) ;");
    EXPECT_EQ(tokens_of("do i = 1 to n by 2 for 3 while a until b"),
              "DO SYMBOL(i) = STRING(1) TO SYMBOL(n) BY STRING(2) FOR STRING(3) WHILE SYMBOL(a) "
              "UNTIL SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("do w in list"), "DO SYMBOL(w) IN SYMBOL(list) ;");
    EXPECT_EQ(tokens_of("do forever"), "DO FOREVER ;");
    EXPECT_EQ(tokens_of("do forever + 1"), "DO SYMBOL(forever) + STRING(1) ;");
    EXPECT_EQ(tokens_of("say:"), "SYMBOL(say) : ;");
    EXPECT_EQ(tokens_of("say s * 2"), "SAY SYMBOL(s) * STRING(2) ;");
    EXPECT_EQ(tokens_of("say * 2"), "SYMBOL(say) * STRING(2) ;");
    EXPECT_EQ(tokens_of("say -2"), "SAY - STRING(2) ;");
    EXPECT_EQ(tokens_of("x = (a then)"), "SYMBOL(x) = ( SYMBOL(a) _ SYMBOL(then) ) ;");
    EXPECT_EQ(tokens_of("if (then) then nop"), "IF ( SYMBOL(then) ) THEN NOP ;");
}

TEST(LexContext, TrapsAndSubKeywords) {
    EXPECT_EQ(tokens_of("signal on error name trap"), "SIGNAL ON ERROR NAME SYMBOL(trap) ;");
    EXPECT_EQ(tokens_of("call off halt"), "CALL OFF HALT ;");
    EXPECT_EQ(tokens_of("call on(1)"), "CALL FUNCTION(on) ( STRING(1) ) ;");
    EXPECT_EQ(tokens_of("signal value x"), "SIGNAL VALUE SYMBOL(x) ;");
    EXPECT_EQ(tokens_of("signal value"), "SIGNAL SYMBOL(value) ;");
    EXPECT_EQ(tokens_of("numeric form engineering"), "NUMERIC FORM ENGINEERING ;");
    EXPECT_EQ(tokens_of("numeric digits to"), "NUMERIC DIGITS SYMBOL(to) ;");
    EXPECT_EQ(tokens_of("trace value x"), "TRACE VALUE SYMBOL(x) ;");
    EXPECT_EQ(tokens_of("trace ?r"), "TRACE SYMBOL(?r) ;");
    EXPECT_EQ(tokens_of("procedure expose a (b)"), "PROCEDURE EXPOSE SYMBOL(a) ( SYMBOL(b) ) ;");
    EXPECT_EQ(tokens_of("drop say(x)"), "DROP SYMBOL(say) ( SYMBOL(x) ) ;");
    EXPECT_EQ(tokens_of("end do"), "END SYMBOL(do) ;");
}

TEST(LexContext, ParseTemplatesKeepTheirTokens) {
    EXPECT_EQ(tokens_of("parse upper var line a ',' b +2 c"),
              "PARSE UPPER VAR SYMBOL(line) SYMBOL(a) STRING(\",\") SYMBOL(b) + STRING(2) "
              "SYMBOL(c) ;");
    EXPECT_EQ(tokens_of("parse value f(x) with a (b) to"),
              "PARSE VALUE FUNCTION(f) ( SYMBOL(x) ) WITH SYMBOL(a) ( SYMBOL(b) ) SYMBOL(to) ;");
    EXPECT_EQ(tokens_of("arg a, b"), "ARG SYMBOL(a) , SYMBOL(b) ;");
    EXPECT_EQ(tokens_of("parse external x"), "PARSE LINEIN SYMBOL(x) ;");
}

TEST(LexContext, AddressForms) {
    EXPECT_EQ(tokens_of("address sh 'ls' x"), "ADDRESS ENVIRON(SH) STRING(\"ls\") _ SYMBOL(x) ;");
    EXPECT_EQ(tokens_of("address 'cmd'"), "ADDRESS ENVIRON(CMD) ;");
    EXPECT_EQ(tokens_of("address (e) 'ls'"), "ADDRESS VALUE ( SYMBOL(e) ) _ STRING(\"ls\") ;");
    EXPECT_EQ(tokens_of("address value e"), "ADDRESS VALUE SYMBOL(e) ;");
    EXPECT_EQ(tokens_of("address"), "ADDRESS ;");
}

TEST(LexContext, ThenAndElseContinueTheClause) {
    EXPECT_EQ(tokens_of("if a\nthen\nsay 1\nelse\nsay 2"),
              "IF SYMBOL(a) THEN ; SAY STRING(1) ELSE SAY STRING(2) ;");
    EXPECT_EQ(tokens_of("else: nop"), "SYMBOL(else) : ; NOP ;");
    EXPECT_EQ(tokens_of("x = 1\nthen = 2"), "SYMBOL(x) = STRING(1) ; SYMBOL(then) = STRING(2) ;");
}

TEST(LexContext, ClauseEndBeforeThenGoesThroughCommentsAndEmptyLines) {
    EXPECT_EQ(tokens_of("if a /* c */\n\n\n  then nop"), "IF SYMBOL(a) THEN NOP ;");
    EXPECT_EQ(tokens_of("if a then nop\n/* c */\nelse\n\nnop"), "IF SYMBOL(a) THEN NOP ELSE NOP ;");
}

TEST(LexContext, KeywordsIgnoreCase) {
    EXPECT_EQ(tokens_of("SaY 'x'; Do I = 1 To 3; eNd"),
              "SAY STRING(\"x\") ; DO SYMBOL(I) = STRING(1) TO STRING(3) ; END ;");
    EXPECT_EQ(tokens_of("address \"sh\" 'ls'"), "ADDRESS ENVIRON(SH) STRING(\"ls\") ;");
}

TEST(LexContext, ColonInsideIndexKeepsItsClauseEnd) {
    EXPECT_EQ(tokens_of("say s[2:end]"), "SAY SYMBOL(s) [ STRING(2) : ; SYMBOL(end) ] ;");
    EXPECT_EQ(tokens_of("foo: say 1"), "SYMBOL(foo) : ; SAY STRING(1) ;");
}

TEST(LexOption, WordsTakeEffectWhileLexing) {
    ProgramOptions options;
    EXPECT_EQ(tokens_of("abc = 1; option lower setenv; option upper load; Def = 2", &options),
              "SYMBOL(abc) = STRING(1) ; OPTION LOWER SETENV ; OPTION UPPER LOAD ; SYMBOL(Def) = "
              "STRING(2) ;");
    EXPECT_EQ(options.case_mode, CaseMode::Lower);
    EXPECT_EQ(options.env_mode, EnvMode::SetEnv);
    EXPECT_EQ(options.load_mode, LoadMode::Load);
    EXPECT_EQ(options.globalv_mode, GlobalvMode::NotSet);
    EXPECT_EQ(tokens_of("upper = 1; load = 2"),
              "SYMBOL(upper) = STRING(1) ; SYMBOL(load) = STRING(2) ;");
}

TEST(LexOption, CaseModeFoldsSymbolsLexedAfterIt) {
    auto program = compile("Abc = 1; option mixed nOglobalv; Abc = 2; option lower; Abc = 3");
    const Clause* first = program->clauses.first;
    const Clause* third = first->next->next;
    const Clause* fifth = third->next->next;
    EXPECT_STREQ(first->name->sym->name, "ABC");
    EXPECT_STREQ(third->name->sym->name, "Abc");
    EXPECT_STREQ(fifth->name->sym->name, "Abc"); // the first OPTION with a case word won
    EXPECT_EQ(program->options.case_mode, CaseMode::Mixed);
    EXPECT_EQ(program->options.globalv_mode, GlobalvMode::NoGlobalv);
}

TEST(LexSymbols, Analysis) {
    auto program = compile("a = b.; c.d.e = 1; f..g = .h; option lower; I.J = 2");
    const Clause* c = program->clauses.first;
    EXPECT_EQ(c->name->sym->cls, SymbolClass::Simple);
    EXPECT_EQ(c->expr->token->sym->cls, SymbolClass::Stem);
    EXPECT_EQ(c->expr->token->sym->stem_length, 1u);
    c = c->next;
    const SymbolInfo* cde = c->name->sym;
    EXPECT_EQ(cde->cls, SymbolClass::Compound);
    EXPECT_EQ(cde->stem_length, 1u);
    ASSERT_EQ(cde->tail_count, 2u);
    EXPECT_EQ(std::string(cde->name + cde->tail_start[0], 1), "D");
    EXPECT_EQ(std::string(cde->name + cde->tail_start[1]), "E");
    c = c->next;
    const SymbolInfo* fg = c->name->sym;
    EXPECT_EQ(fg->cls, SymbolClass::Compound);
    ASSERT_EQ(fg->tail_count, 2u);
    EXPECT_EQ(fg->tail_start[0], 2u); // the empty part between the dots
    EXPECT_EQ(fg->tail_start[1], 3u);
    EXPECT_EQ(c->expr->token->sym->cls, SymbolClass::DotStart);
    c = c->next->next;
    EXPECT_STREQ(c->name->sym->name, "i.j");
    EXPECT_EQ(c->name->pool_ref, nullptr);
}

TEST(LexPositions, LinesAndColumnsAreZeroBasedFromFirstLine) {
    Arena arena;
    ProgramOptions options;
    LexOptions lex_options;
    lex_options.first_line = 10;
    auto tokens = lex("say 1\n  x = 'a'", lex_options, options, arena);
    ASSERT_GE(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].line, 10);
    EXPECT_EQ(tokens[0].column, 0);
    EXPECT_EQ(tokens[3].kind, SYMBOL);
    EXPECT_EQ(tokens[3].line, 11);
    EXPECT_EQ(tokens[3].column, 2);
    EXPECT_EQ(tokens[5].column, 6);
    CompileOptions compile_options;
    compile_options.first_line = 4;
    Failure f = failure_of("say 1\nsay )", compile_options);
    EXPECT_EQ(f.line, 6);
}

TEST(LexPrecompiled, MarkerLineIsError76) {
    EXPECT_FAILS("#!/usr/local/bin/tolma\n@kpwm\n\x00\x00\x00\x02", 76, 2, 1);
    EXPECT_EQ(tokens_of("#!/usr/bin/rexx\n@kpwm"), "SYMBOL(@kpwm) ;");
    CompileOptions options;
    options.forbid_precompiled = true;
    EXPECT_EQ(failure_of("#!/bin/tolma\n@kpwm", options).code, 0);
}

TEST(LexRaw, ContinuationBlankStandsWhereTheCommaWas) {
    Arena arena;
    auto raw = lex_raw("say 1, /* a\nb */\n2", {}, arena);
    ASSERT_EQ(dump_tokens(raw), "SAY _ STRING(1) _ STRING(2) ;");
    EXPECT_EQ(raw[3].line, 0);
    EXPECT_EQ(raw[3].column, 5);
    EXPECT_EQ(raw[4].line, 2);
    EXPECT_EQ(raw[4].column, 0);
}

TEST(LexRaw, RawPassKeepsBlanksAndKeywordsAsRead) {
    Arena arena;
    auto raw = lex_raw("do = a  b ;x:", {}, arena);
    EXPECT_EQ(dump_tokens(raw), "DO _ = SYMBOL(a) _ SYMBOL(b) _ ; SYMBOL(x) : ;");
}

} // namespace
} // namespace tolma::test
