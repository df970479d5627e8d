// The syntax, case by case. Each row gives a pattern, a subject and the
// subject with its first match replaced by <&|\1|\2...> (one \k per group), or
// "-" when nothing matches. Every row of kSameAsSed gives the same output as
// GNU sed -n 's/PATTERN/<&|\1...>/p' (checked by hand with sed 4.9, LC_ALL=C);
// the rows of kOwnRules are where this syntax deliberately differs.
#include "common/regex/regex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
    const char* pattern;
    const char* subject;
    const char* expected;
};

std::string replacement_for(const vre::Regex& re) {
    std::string text = "<&";
    for (int g = 1; g <= re.groups; ++g)
        text += "|\\" + std::to_string(g);
    return text + ">";
}

// The subject with its first match marked, "-" for no match, or the error.
std::string first_match(const char* pattern, const char* subject, unsigned flags,
                        vre::Engine engine) {
    vre::CompileResult compiled = vre::compile(pattern, flags);
    if (!compiled.ok()) return "error: " + compiled.error;
    vre::SubstituteOptions options;
    options.count = 1;
    options.match.engine = engine;
    vre::Scratch scratch;
    vre::SubstituteResult result = vre::substitute(
        compiled.regex, subject, replacement_for(compiled.regex), {}, options, &scratch);
    if (result.status == vre::Status::TooComplex) return "too complex";
    return result.changes ? result.text : "-";
}

const Row kSameAsSed[] = {
    // Ordinary characters and .
    {R"~(abc)~", R"~(xabcx)~", R"~(x<abc>x)~"},
    {R"~(abc)~", R"~(abxabc)~", R"~(abx<abc>)~"},
    {R"~(abd)~", R"~(abcabc)~", R"~(-)~"},
    {R"~(a.c)~", R"~(xa-cx)~", R"~(x<a-c>x)~"},
    {R"~(a.c)~", R"~(ac)~", R"~(-)~"},
    {R"~(...)~", R"~(ab)~", R"~(-)~"},
    // * \+ \?
    {R"~(ab*c)~", R"~(ac)~", R"~(<ac>)~"},
    {R"~(ab*c)~", R"~(xabbbcx)~", R"~(x<abbbc>x)~"},
    {R"~(ab\+c)~", R"~(ac abc)~", R"~(ac <abc>)~"},
    {R"~(colou\?r)~", R"~(color)~", R"~(<color>)~"},
    {R"~(colou\?r)~", R"~(colour)~", R"~(<colour>)~"},
    {R"~(colou\?r)~", R"~(colouur)~", R"~(-)~"},
    {R"~(a*)~", R"~(baaa)~", R"~(<>baaa)~"},
    {R"~(a\+)~", R"~(baaa)~", R"~(b<aaa>)~"},
    {R"~(a.*b)~", R"~(xaXbYbz)~", R"~(x<aXbYb>z)~"},
    {R"~(x*y*z)~", R"~(xxyyyzz)~", R"~(<xxyyyz>z)~"},
    {R"~(.*)~", R"~(anything)~", R"~(<anything>)~"},
    // Bracket lists
    {R"~([abc])~", R"~(xxbxx)~", R"~(xx<b>xx)~"},
    {R"~([^abc])~", R"~(abcabd)~", R"~(abcab<d>)~"},
    {R"~([a-z]\+)~", R"~(12abc34)~", R"~(12<abc>34)~"},
    {R"~([0-9][0-9]*)~", R"~(ab 2024 cd)~", R"~(ab <2024> cd)~"},
    {R"~([]a]*)~", R"~(]a]b)~", R"~(<]a]>b)~"},
    {R"~([^]a]\+)~", R"~(]]xyz]a)~", R"~(]]<xyz>]a)~"},
    {R"~([a-])~", R"~(x-y)~", R"~(x<->y)~"},
    {R"~([-a])~", R"~(x-y)~", R"~(x<->y)~"},
    {R"~([.*]\+)~", R"~(a.*.b)~", R"~(a<.*.>b)~"},
    {R"~([\]\+)~", R"~(a\\b)~", R"~(a<\\>b)~"},
    {R"~([[:digit:]]\+)~", R"~(abc123def)~", R"~(abc<123>def)~"},
    {R"~([[:upper:]][[:lower:]]*)~", R"~(abc Word)~", R"~(abc <Word>)~"},
    {R"~([[:alpha:]_][[:alnum:]_]*)~", R"~(12 _x9 y)~", R"~(12 <_x9> y)~"},
    {R"~([[:space:]]\+)~", R"~(a 	 b)~", R"~(a< 	 >b)~"},
    {R"~([^[:alnum:]])~", R"~(ab3;x)~", R"~(ab3<;>x)~"},
    {R"~([[:xdigit:]]*)~", R"~(beefy)~", R"~(<beef>y)~"},
    {R"~([[:punct:]])~", R"~(ab,c)~", R"~(ab<,>c)~"},
    // Anchors
    {R"~(^ab)~", R"~(abab)~", R"~(<ab>ab)~"},
    {R"~(^ab)~", R"~(xab)~", R"~(-)~"},
    {R"~(ab$)~", R"~(abab)~", R"~(ab<ab>)~"},
    {R"~(ab$)~", R"~(abx)~", R"~(-)~"},
    {R"~(^abc$)~", R"~(abc)~", R"~(<abc>)~"},
    {R"~(^abc$)~", R"~(abcd)~", R"~(-)~"},
    {R"~(^)~", R"~(abc)~", R"~(<>abc)~"},
    {R"~($)~", R"~(abc)~", R"~(abc<>)~"},
    {R"~(^.*$)~", R"~(whole line)~", R"~(<whole line>)~"},
    {R"~(a^b)~", R"~(xa^b)~", R"~(x<a^b>)~"},
    {R"~(a$b)~", R"~(xa$b)~", R"~(x<a$b>)~"},
    {R"~(x$*)~", R"~(ax$$)~", R"~(a<x$$>)~"},
    // Backslash before an ordinary character
    {R"~(a\.c)~", R"~(abc a.c)~", R"~(abc <a.c>)~"},
    {R"~(a\*)~", R"~(aa*)~", R"~(a<a*>)~"},
    {R"~(\[x\])~", R"~(a[x])~", R"~(a<[x]>)~"},
    {R"~(\\)~", R"~(a\b)~", R"~(a<\>b)~"},
    {R"~(\^a)~", R"~(b^a)~", R"~(b<^a>)~"},
    {R"~(a\$)~", R"~(a$b)~", R"~(<a$>b)~"},
    {R"~(\/)~", R"~(a/b)~", R"~(a</>b)~"},
    {R"~(x\.*y)~", R"~(ax..y)~", R"~(a<x..y>)~"},
    {R"~(\[\+)~", R"~(a[[b)~", R"~(a<[[>b)~"},
    {R"~(a\{2\}b*\(c\))~", R"~(aaabbc)~", R"~(a<aabbc|c>)~"},
    // Groups
    {R"~(\(ab\)c)~", R"~(xabcx)~", R"~(x<abc|ab>x)~"},
    {R"~(\(a\(b\)\)c)~", R"~(abc)~", R"~(<abc|ab|b>)~"},
    {R"~(x\(\)y)~", R"~(axyb)~", R"~(a<xy|>b)~"},
    {R"~(\(a*\)\(a*\))~", R"~(aaa)~", R"~(<aaa|aaa|>)~"},
    {R"~(\([0-9]*\)-\([0-9]*\))~", R"~(tel 555-1234)~", R"~(tel <555-1234|555|1234>)~"},
    {R"~(\(.*\):\(.*\))~", R"~(a:b:c)~", R"~(<a:b:c|a:b|c>)~"},
    {R"~(\(\(\(\(\(\(\(\(\(a\)\)\)\)\)\)\)\)\))~", R"~(a)~", R"~(<a|a|a|a|a|a|a|a|a|a>)~"},
    // Back references
    {R"~(\(a\)\1)~", R"~(xaax)~", R"~(x<aa|a>x)~"},
    {R"~(\(.\)\1)~", R"~(abccd)~", R"~(ab<cc|c>d)~"},
    {R"~(\<\([a-z]*\) \1\>)~", R"~(say hello hello)~", R"~(say <hello hello|hello>)~"},
    {R"~(\(ab*\)x\1)~", R"~(abbxab abbxabb)~", R"~(abbxab <abbxabb|abb>)~"},
    {R"~(^\(.*\)\1$)~", R"~(abcabc)~", R"~(<abcabc|abc>)~"},
    {R"~(^\(.*\)\1$)~", R"~(abcab)~", R"~(-)~"},
    {R"~(\(a\)\(b\)\2\1)~", R"~(xabbax)~", R"~(x<abba|a|b>x)~"},
    // Intervals
    {R"~(a\{2\})~", R"~(aaaa)~", R"~(<aa>aa)~"},
    {R"~(a\{2,\})~", R"~(baaaab)~", R"~(b<aaaa>b)~"},
    {R"~(a\{1,3\})~", R"~(aaaaa)~", R"~(<aaa>aa)~"},
    {R"~(ba\{,2\})~", R"~(baaa)~", R"~(<baa>a)~"},
    {R"~([0-9]\{3\})~", R"~(12 3456)~", R"~(12 <345>6)~"},
    {R"~(x.\{0\}y)~", R"~(xzy xy)~", R"~(xzy <xy>)~"},
    {R"~(^a\{3\}$)~", R"~(aaaa)~", R"~(-)~"},
    // Word boundaries
    {R"~(\<is\>)~", R"~(this is it)~", R"~(this <is> it)~"},
    {R"~(\<t)~", R"~(at to)~", R"~(at <t>o)~"},
    {R"~(s\>)~", R"~(sis as)~", R"~(si<s> as)~"},
    {R"~(\<[a-z]\+\>)~", R"~(12 ab3 cd!)~", R"~(12 ab3 <cd>!)~"},
    {R"~(\<)~", R"~(  ab)~", R"~(  <>ab)~"},
    {R"~(\>)~", R"~(ab  )~", R"~(ab<>  )~"},
    {R"~(\<_x\>)~", R"~(a_x _x)~", R"~(a_x <_x>)~"},
};

// Where this syntax differs from GNU sed: ^ and $ are anchors only at the very
// start and end of the pattern, a misplaced repetition is an error, and \| \n
// \t are ordinary characters.
const Row kOwnRules[] = {
    {R"~(\(^a\))~", R"~(b^a)~", R"~(b<^a|^a>)~"},
    {R"~(\(a$\))~", R"~(a$b)~", R"~(<a$|a$>b)~"},
    {R"~(a\|b)~", R"~(xa|b)~", R"~(x<a|b>)~"},
    {R"~(a\nb)~", R"~(anb)~", R"~(<anb>)~"},
    {R"~(a\tb)~", R"~(atb)~", R"~(<atb>)~"},
    {R"~(a\0)~", R"~(a0)~", R"~(<a0>)~"},
    {R"~(ab\)~", R"~(xab\)~", R"~(x<ab\>)~"},
    {R"~([[:nosuch:]]\+)~", R"~(x[:n]]]y)~", R"~(x[:<n]]]>y)~"},
    {R"~(*a)~", R"~(*a)~", R"~(error: * or \+ or \? follows nothing)~"},
    {R"~(^*a)~", R"~(*a)~", R"~(error: * or \+ or \? follows nothing)~"},
    {R"~(\(*a\))~", R"~(*a)~", R"~(error: * or \+ or \? follows nothing)~"},
    {R"~(\(ab\)*)~", R"~(abab)~",
     R"~(error: * or \+ or \? can only follow a normal character or . or [])~"},
    {R"~(\(a*\)*b)~", R"~(aaab)~",
     R"~(error: * or \+ or \? can only follow a normal character or . or [])~"},
};

class SameAsSed : public testing::TestWithParam<vre::Engine> {};

TEST_P(SameAsSed, EveryRow) {
    for (const Row& row : kSameAsSed) {
        EXPECT_EQ(first_match(row.pattern, row.subject, 0, GetParam()), row.expected)
            << "pattern " << row.pattern << " on " << row.subject;
    }
}

TEST_P(SameAsSed, OwnRules) {
    for (const Row& row : kOwnRules) {
        EXPECT_EQ(first_match(row.pattern, row.subject, 0, GetParam()), row.expected)
            << "pattern " << row.pattern << " on " << row.subject;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SameAsSed,
                         testing::Values(vre::Engine::Automatic, vre::Engine::Backtrack,
                                         vre::Engine::Pike));

// Case folding, as sed's I flag does it for ASCII letters.
const Row kIgnoreCase[] = {
    {R"~(abc)~", R"~(xABcx)~", R"~(x<ABc>x)~"},
    {R"~(ABC)~", R"~(xabcx)~", R"~(x<abc>x)~"},
    {R"~([a-c]\+)~", R"~(xxCaBxx)~", R"~(xx<CaB>xx)~"},
    {R"~([^a-c]\+)~", R"~(ABCdefABC)~", R"~(ABC<def>ABC)~"},
    {R"~([[:upper:]]\+)~", R"~(12abC3)~", R"~(12<abC>3)~"},
    {R"~(\(a\)\1)~", R"~(xaAx)~", R"~(x<aA|a>x)~"},
    {R"~(\<word\>)~", R"~(swords WORD)~", R"~(swords <WORD>)~"},
    {R"~(^hello)~", R"~(HeLLo world)~", R"~(<HeLLo> world)~"},
    {R"~(é)~", R"~(É)~", R"~(-)~"},
};

TEST(IgnoreCase, FoldsAsciiLetters) {
    for (vre::Engine engine : {vre::Engine::Automatic, vre::Engine::Backtrack, vre::Engine::Pike}) {
        for (const Row& row : kIgnoreCase) {
            EXPECT_EQ(first_match(row.pattern, row.subject, vre::kIgnoreCase, engine), row.expected)
                << "pattern " << row.pattern << " on " << row.subject;
        }
    }
}

TEST(IgnoreCase, RespectedWithoutTheFlag) {
    EXPECT_EQ(first_match("abc", "ABC", 0, vre::Engine::Automatic), "-");
    EXPECT_EQ(first_match("[a-c]", "ABC", 0, vre::Engine::Automatic), "-");
    EXPECT_EQ(first_match("\\(a\\)\\1", "aA", 0, vre::Engine::Automatic), "-");
}

} // namespace
