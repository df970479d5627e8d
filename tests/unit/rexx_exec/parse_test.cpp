// PARSE: the sources and the template algorithm (words, placeholders,
// literal and variable patterns, absolute and relative positions).
#include <gtest/gtest.h>

#include "exec_support.h"

using exec_test::out_of;
using exec_test::run;

namespace {

struct Row {
    const char* source;
    const char* tmpl;
    const char* expected; // the targets a b c d as [a][b][c][d]
};

TEST(ParseTemplate, Table) {
    const Row rows[] = {
        {"a b c", "a . c", "[a][B][c][D]"},
        {"a   b  c ", "a b", "[a][  b  c ][C][D]"},
        {"  a   b  c ", "a b c d", "[a][b][c][]"},
        {"abcdef", "1 a 1 b", "[abcdef][abcdef][C][D]"},
        {"abcdef", "a +0 b", "[abcdef][abcdef][C][D]"},
        {"abcdef", "3 a +2 b -3 c", "[cd][ef][bcdef][D]"},
        {"a,b,c", "a ',' b ',' c", "[a][b][c][D]"},
        {"a,b", "a 'q' b", "[a,b][][C][D]"},
        {"hello world", "'o' a 'o' b", "[ w][rld][C][D]"},
        {"abcdef", "4 a 2 b", "[def][bcdef][C][D]"},
        {"abcdefgh", "a =3 b +3 c", "[ab][cde][fgh][D]"},
        {"x", "a b c", "[x][][][D]"},
        {"", "a", "[][B][C][D]"},
        {"a\tb c", "a b", "[a][b c][C][D]"},
        {"abc", "a 10 b", "[abc][][C][D]"},
        {"one two", "a", "[one two][B][C][D]"},
        {"k=v;rest", "a '=' b ';' c", "[k][v][rest][D]"},
    };
    for (const Row& r : rows) {
        std::string prog = std::string("parse value '") + r.source + "' with " + r.tmpl +
                           "\nsay '[' || a || '][' || b || '][' || c || '][' || d || ']'";
        EXPECT_EQ(out_of(prog), std::string(r.expected) + "\n") << r.source << " | " << r.tmpl;
    }
}

TEST(ParseTemplate, VariablePatternsAndPositions) {
    EXPECT_EQ(out_of("sep = '-'; parse value '1-2-3' with a (sep) b (sep) c; say a b c"),
              "1 2 3\n");
    EXPECT_EQ(out_of("n = 2; parse value 'abcdef' with a +(n) b =(n) c; say a b c"),
              "ab cdef bcdef\n");
    auto o = run("parse value 'a' with a +'x' b");
    EXPECT_EQ(o.result.error_code, 38);
}

TEST(ParseSources, ArgVarValueUpperLower) {
    EXPECT_EQ(out_of("call r 'a b', 'c'; exit; r: parse arg x y, z; say x '|' y '|' z"),
              "a | b | c\n");
    EXPECT_EQ(out_of("call r 'mixed'; exit; r: arg x; say x"), "MIXED\n");
    EXPECT_EQ(out_of("s = 'p q'; parse var s a b; say b a"), "q p\n");
    EXPECT_EQ(out_of("parse upper value 'aBc' with x; say x"), "ABC\n");
    EXPECT_EQ(out_of("parse lower value 'aBc' with x; say x"), "abc\n");
    EXPECT_EQ(out_of("parse value with x; say '[' || x || ']'"), "[]\n");
    auto o = run("parse value 'a,b' with x , y");
    EXPECT_EQ(o.result.error_code, 38);
    EXPECT_NE(o.err.find("A comma may be used only within a PARSE ARG instructin"),
              std::string::npos);
}

TEST(ParseSources, ProgramArguments) {
    tolma::RunOptions opt;
    opt.args.emplace_back("first second");
    opt.args.emplace_back();
    opt.args.emplace_back("third");
    EXPECT_EQ(out_of("parse arg a b, c, d; say a '|' b '|' c '|' d; say arg() arg(2, 'E')", opt),
              "first | second |  | third\n3 0\n");
}

TEST(ParseSources, SourceVersionNumeric) {
    tolma::RunOptions opt;
    opt.file_name = "/home/u/prog.tar.rexx";
    opt.executable_name = "/usr/local/bin/tolma";
    EXPECT_EQ(out_of("parse source s; say s", opt), "VOREN MACRO prog .tar.rexx /home/u/ tolma\n");
    EXPECT_EQ(out_of("parse version v; say v"), std::string(tolma::kLanguageVersion) + "\n");
    EXPECT_EQ(tolma::parse_source_text("/a/b", ""), "VOREN MACRO b \"\" /a/ \"\"");
}

TEST(ParseTrace, PlaceholderAndTargetsTraced) {
    EXPECT_EQ(out_of("trace r; parse value 'a b' with x ."),
              "\n  1 *-* parse value 'a b' with x .\n>>> \"a\"\n>.> . <-- \"b\"\n");
}

TEST(ParseTrace, CompoundAndArgumentTargetsTraced) {
    EXPECT_EQ(out_of("trace r; s.1 = 'x'; parse value 'a b c' with s.1 . t"),
              "\n  1 *-* s.1 = 'x'\n>>> \"x\"\n\n  1 *-* parse value 'a b c' with s.1 . t\n"
              ">>> \"a\"\n>.> . <-- \"b\"\n>>> \"c\"\n");
    EXPECT_EQ(out_of("call r 7 8; exit; r: trace r; parse arg n m; return"),
              "\n  1 *-* parse arg n m\n>>> \"7\"\n>>> \"8\"\n\n  1 *-* return\n");
}

// One clause run again and again keeps seeing the current values: the
// variable pattern, the source and a source that is also a target.
TEST(ParseTemplate, RepeatedClauseSeesCurrentValues) {
    EXPECT_EQ(out_of("do i = 1 to 3; sep = substr('-+', i, 1); line = i'-'i'+'i;"
                     " parse var line a (sep) b; say a '|' b; end"),
              "1 | 1+1\n2-2 | 2\n3-3+3 | \n");
    EXPECT_EQ(out_of("do i = 1 to 2; a = 'w' i; parse var a a b; say a b; end"), "w 1\nw 2\n");
    EXPECT_EQ(out_of("s = 'one two'; parse var s t s; parse var s u; say t '|' s '|' u"),
              "one | two | two\n");
}

TEST(ParseTemplate, ErrorOnlyWhenTheBadPatternIsReached) {
    auto o = run("parse value 'abc' with a 2 b +x c");
    EXPECT_EQ(o.result.error_code, 38);
    EXPECT_EQ(out_of("signal on syntax; parse value 'abc' with a 2 b +x c; exit;"
                     " syntax: say symbol('A') a symbol('B')"),
              "VAR a LIT\n");
    EXPECT_EQ(out_of("call r 'p'; exit; r: if arg() > 1 then parse arg a, b +x; say 'ok'"), "ok\n");
}

} // namespace
