// The executor's quick roads must give what the general ones give: trapped
// errors handed back by return, cached variable records, compound tails,
// comparisons of numbers and PARSE templates.
#include <gtest/gtest.h>

#include "exec_support.h"

using exec_test::out_of;
using exec_test::run;

namespace {

TEST(TrappedError, AssignmentIsNotMade) {
    EXPECT_EQ(out_of("x = 5; signal on syntax\nx = 3 / 0\nsyntax: say rc sigl x"), "51 2 5\n");
}

TEST(TrappedError, EveryKindOfClause) {
    EXPECT_EQ(out_of("signal on syntax\nif 1 + (2 * 'a') then say 'no'\nsay 'no'\n"
                     "syntax: say rc sigl"),
              "\ntolma: String \"a\" is invalid.\n41 2\n");
    EXPECT_EQ(out_of("signal on syntax\nselect; when -'b' then nop; otherwise nop; end\n"
                     "syntax: say rc sigl"),
              "\ntolma: String \"b\" is invalid.\n41 2\n");
    EXPECT_EQ(out_of("signal on syntax\nsay 1 'x' 2**'z'\nsyntax: say rc sigl"),
              "\ntolma: String \"z\" is invalid.\n41 2\n");
    EXPECT_EQ(out_of("signal on syntax\ndo i = 1 to 3 while i / (2 - i) < 100; say i; end\n"
                     "syntax: say rc sigl i"),
              "1\n51 2 2\n");
    EXPECT_EQ(out_of("signal on syntax\nsay f(2)\nexit\nf: return arg(1) / 0\n"
                     "syntax: say rc sigl; exit"),
              "51 4\n");
    EXPECT_EQ(out_of("signal on syntax\ninterpret 'y = 1; y = y // 0'\nsyntax: say rc sigl y"),
              "51 2 1\n");
}

TEST(TrappedError, OperandDetailNamesTheVariable) {
    EXPECT_EQ(out_of("v = 'q'; signal on syntax\nw = 1 + v\nsyntax: say rc"),
              "\ntolma: Variable \"V\" = \"q\" is invalid.\n41\n");
}

TEST(TrappedError, WithoutATrapTheReportIsTheSame) {
    auto o = run("x = 1\nsay 'a'\nz = 10 % 0\nsay 'no'");
    EXPECT_EQ(o.out, "a\n");
    EXPECT_EQ(o.result.error_code, 51);
    EXPECT_NE(o.err.find("z = 10 % 0"), std::string::npos);
    EXPECT_NE(o.err.find("Error 51 on line 3"), std::string::npos);
    // The caret points at the operator.
    EXPECT_NE(o.err.find("\n                 ^\n"), std::string::npos) << o.err;
}

TEST(TrappedError, TrapIsOffAfterwards) {
    auto o = run("signal on syntax\nx = 1/0\nsyntax: say rc; y = 2 * 'u'");
    EXPECT_EQ(o.out, "51\n");
    EXPECT_EQ(o.result.error_code, 41);
}

TEST(TrappedError, ManyInALoopCountExactly) {
    EXPECT_EQ(out_of("n = 0; i = 0\nagain: signal on syntax\ndo while i < 1000; i = i + 1;"
                     " if i // 2 = 0 then x = i / 0; end\nsay n i; exit\n"
                     "syntax: n = n + 1; signal again"),
              "500 1000\n");
}

TEST(ConstantTail, FollowsStemAssignmentAndDrop) {
    EXPECT_EQ(out_of("c.0 = 1; c.0 = c.0 + 1; say c.0\nc. = 'd'; say c.0\n"
                     "c.0 = 5; drop c.0; say c.0\ndrop c.; say c.0"),
              "2\nd\nd\nC.0\n");
}

TEST(ConstantTail, EachGenerationHasItsOwn) {
    // The same clause runs at two levels; each must see its own C.1.
    EXPECT_EQ(out_of("c.1 = 'top'; call r 2; say c.1; exit\n"
                     "r: procedure; arg n; if n > 0 then do; c.1 = 'lvl' n; call r n - 1; end\n"
                     "say n c.1; return"),
              "0 C.1\n1 lvl 1\n2 lvl 2\ntop\n");
}

TEST(ConstantTail, ExposedStemIsTheCallers) {
    EXPECT_EQ(out_of("c.1 = 'a'; call r; say c.1 c.2; exit\n"
                     "r: procedure expose c.; say c.1; c.1 = 'b'; c.2 = 'z'; return"),
              "a\nb z\n");
    // An indirect list read before the exposure: the element read through it
    // must not stand for the exposed one afterwards.
    EXPECT_EQ(out_of("c.0 = 'c.'; c.1 = 'caller'; call r; say c.1; exit\n"
                     "r: procedure expose (c.0) c.1; say c.1; c.1 = 'set'; return"),
              "caller\nset\n");
}

TEST(ConstantTail, ExposedElementOnly) {
    EXPECT_EQ(out_of("c.1 = 'a'; c.2 = 'b'; call r; say c.1 c.2; exit\n"
                     "r: procedure expose c.1; c.1 = 'x'; c.2 = 'y'; say c.1 c.2; return"),
              "x y\nx b\n");
}

TEST(ParseShortcut, SourceVariableIsAlsoATarget) {
    EXPECT_EQ(out_of("line = 'a b c'; parse var line w line; say w '|' line"), "a | b c\n");
    EXPECT_EQ(out_of("line = 'x=1;y=2'; parse var line line '=' v ';' rest; say line v rest"),
              "x 1 y=2\n");
}

TEST(ParseShortcut, ParseInsideANovalueHandlerDuringAParse) {
    // The handler's PARSE runs while the outer one is still matching.
    EXPECT_EQ(out_of("call on novalue name h\ns = 'one two three'\n"
                     "parse var s a (sep) b\nsay a '/' b\nexit\n"
                     "h: t = 'p q'; parse var t u v; say 'h' u v; return"),
              "\ntolma: variable \"SEP\" (line 3) is uninitialized.\n\nh p q\n"
              "one two three / \n");
}

TEST(ParseShortcut, ArgSegmentsAndValueForms) {
    EXPECT_EQ(out_of("call r 'a b', 'c d'; exit; r: parse arg x y, z; say x '|' y '|' z; return"),
              "a | b | c d\n");
    EXPECT_EQ(out_of("parse value with a; say '<'a'>'; parse value 3 + 4 'x' with n rest;"
                     " say n rest"),
              "<>\n7 x\n");
    EXPECT_EQ(out_of("parse upper value 'abc def' with a b; say a b"), "ABC DEF\n");
}

TEST(NumberText, PlainDigits) {
    EXPECT_EQ(out_of("x = '007'; say x + 1 x"), "8 007\n");
    EXPECT_EQ(out_of("say '0' + 0 '123456789' * 1 '999999999999999' + 0"), "0 123456789 1E+15\n");
    EXPECT_EQ(out_of("numeric digits 15; say '999999999999999' + 0 '1234567890123456' + 0"),
              "999999999999999 1.23456789012346E+15\n");
    EXPECT_EQ(out_of("say datatype('12a') datatype('') datatype(' 12 ') ' 12 ' + 1"),
              "CHAR CHAR NUM 13\n");
}

TEST(LeafOperand, ExposedDroppedAndTraced) {
    EXPECT_EQ(out_of("a = 2; call r; say a; exit; r: procedure expose a; a = a * 3 + a; return"),
              "8\n");
    EXPECT_EQ(out_of("a = 2; drop a; b = a || 1; say b"), "A1\n");
    std::string traced = out_of("a = 2\ntrace i\nb = a + 1");
    EXPECT_NE(traced.find(">V>"), std::string::npos) << traced;
    EXPECT_NE(traced.find(">O> \"2\" + \"1\""), std::string::npos) << traced;
}

TEST(Sigl, SetByCallsAndSignalsAtEveryLevel) {
    EXPECT_EQ(out_of("call r\nsay sigl\nexit\nr: procedure\ncall s\nsay 'r' sigl\nreturn\n"
                     "s: say 's' sigl; return"),
              "s 5\nr 5\n1\n");
    EXPECT_EQ(out_of("sigl = 'x'; drop sigl\nsignal l\nl: say sigl"), "2\n");
    EXPECT_EQ(out_of("call r\nexit\nr: procedure expose sigl\nsignal l\nl: say sigl; return"),
              "4\n");
}

TEST(TextTail, AlternatingAndRepeatedKeys) {
    EXPECT_EQ(out_of("c. = 0; do i = 1 to 6; k = word('X Y X Z Y X', i); c.k = c.k + 1; end;"
                     " say c.x c.y c.z c.w"),
              "3 2 1 0\n");
    EXPECT_EQ(out_of("k = 'ab'; c.k = 1; drop c.k; say c.k; c.k = 2; say c.k; c. = 'd'; say c.k;"
                     " k = 5; c.5 = 'five'; k = '5'; say c.k"),
              "C.ab\n2\nd\nfive\n");
}

TEST(WholeTail, NumbersAndTheirDigitsNameTheSameElement) {
    EXPECT_EQ(out_of("k = 5; a.k = 'num'; k = '5'; say a.k; k = '05'; say a.k; a.k = 'zero5';"
                     " k = 4 + 1; say a.k; k = '05'; say a.k"),
              "num\nA.05\nnum\nzero5\n");
    EXPECT_EQ(out_of("numeric digits 15; k = 100000000000000; a.k = 'big'; k = k + 1; a.k = 'next';"
                     " k = '100000000000000'; say a.k; k = k + 1; say a.k"),
              "big\nnext\n");
    // Tails that hash alike but are no numbers stay apart.
    EXPECT_EQ(out_of("do i = 1 to 2000; a.i = i; end; k = 'x1'; a.k = 'text'; i = 1; say a.i a.k"),
              "1 text\n");
}

TEST(LongResults, ReusedBuffersKeepEachValueIntact) {
    // Long results assigned over and over to the same variables, with the
    // old value still in use by the expression that replaces it.
    EXPECT_EQ(out_of("do i = 1 to 3; x = copies(i, 30); y = x; end; say x; say y"),
              std::string(30, '3') + "\n" + std::string(30, '3') + "\n");
    EXPECT_EQ(
        out_of("x = copies('ab', 20); do 2; x = copies(x, 2); end; say length(x) right(x, 4)"),
        "160 abab\n");
    EXPECT_EQ(out_of("s = '  a  b  c  d  e  f  g  h  i  j  k  l  m  '\n"
                     "do 3; x = space(s); w = x; x = space(copies(s, 2)); end; say w; say x"),
              "a b c d e f g h i j k l m\na b c d e f g h i j k l m a b c d e f g h i j k l m\n");
    EXPECT_EQ(out_of("x = copies('q', 50); x = 7; z = copies('r', 40); say x z"),
              "7 " + std::string(40, 'r') + "\n");
}

} // namespace
