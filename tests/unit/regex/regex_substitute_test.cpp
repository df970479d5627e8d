// Replacement texts and the substitution loop. The substitute() results with
// the default syntax are those of sed 's/RE/REPL/g' (checked with GNU sed).
#include "common/regex/regex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

vre::Regex compiled(std::string_view pattern, unsigned flags = 0) {
    vre::CompileResult result = vre::compile(pattern, flags);
    EXPECT_TRUE(result.ok()) << pattern << ": " << result.error;
    return result.regex;
}

std::string all(std::string_view pattern, std::string_view subject, std::string_view replacement,
                const vre::ReplaceSyntax& syntax = {}) {
    vre::SubstituteResult result =
        vre::substitute(compiled(pattern), subject, replacement, syntax, {});
    return result.text;
}

std::string expanded(std::string_view pattern, std::string_view subject,
                     std::string_view replacement, const vre::ReplaceSyntax& syntax) {
    vre::Regex re = compiled(pattern);
    vre::Match m;
    EXPECT_EQ(vre::search(re, subject, 0, m), vre::Status::Found);
    std::string out;
    vre::expand_replacement(replacement, subject, m, syntax, out);
    return out;
}

TEST(Expand, GroupsAmpersandAndEscapes) {
    vre::ReplaceSyntax sed;
    EXPECT_EQ(expanded("\\(a*\\)\\(b*\\)", "aabbb", "\\2\\1", sed), "bbbaa");
    EXPECT_EQ(expanded("b\\+", "abbc", "[&]", sed), "[bb]");
    EXPECT_EQ(expanded("b\\+", "abbc", "[\\0]", sed), "[bb]");
    EXPECT_EQ(expanded("b\\+", "abbc", "\\&\\\\x\\y", sed), "&\\xy");
    EXPECT_EQ(expanded("b\\+", "abbc", "end\\", sed), "end\\");
    // Groups that do not exist or took no part stand for nothing.
    EXPECT_EQ(expanded("b", "abc", "<\\1\\9>", sed), "<>");
}

TEST(Expand, SyntaxCanBeNarrowed) {
    vre::ReplaceSyntax literal;
    literal.backslash_groups = false;
    literal.ampersand = false;
    EXPECT_EQ(expanded("b", "abc", "\\1&\\", literal), "\\1&\\");

    // The editor's change: only the arbitrary character stands for the match.
    vre::ReplaceSyntax arbitrary = literal;
    arbitrary.arbchar = '$';
    EXPECT_EQ(expanded("b\\+", "abbc", "<$&$>", arbitrary), "<bb&bb>");
}

TEST(Substitute, ReplacesEveryOccurrenceLikeSedG) {
    EXPECT_EQ(all("a", "banana", "o"), "bonono");
    EXPECT_EQ(all("an", "banana", "[&]"), "b[an][an]a");
    EXPECT_EQ(all("\\([0-9]\\+\\)", "a1b22c333", "<\\1>"), "a<1>b<22>c<333>");
    EXPECT_EQ(all("x", "banana", "o"), "banana");
    EXPECT_EQ(all("a", "", "o"), "");
    EXPECT_EQ(all("^a", "aaa", "b"), "baa");
    EXPECT_EQ(all("a$", "aaa", "b"), "aab");
    EXPECT_EQ(all("\\<", "ab cd", "|"), "|ab |cd");
    EXPECT_EQ(all("\\(.\\)\\1", "aabbcd", "\\1"), "abcd");
}

TEST(Substitute, EmptyMatchesAsSedHandlesThem) {
    EXPECT_EQ(all("x*", "abc", "-"), "-a-b-c-");
    EXPECT_EQ(all("b*", "abc", "x"), "xaxcx");
    EXPECT_EQ(all("a*", "baaac", "x"), "xbxcx");
    EXPECT_EQ(all("$", "abc", "."), "abc.");
    EXPECT_EQ(all("^", "abc", "> "), "> abc");
    EXPECT_EQ(all("^", "", "x"), "x");
}

TEST(Substitute, FirstOccurrenceAndCount) {
    vre::Regex re = compiled("a");
    vre::SubstituteOptions options;
    options.first = 2;
    options.count = 1;
    vre::SubstituteResult result = vre::substitute(re, "aaa", "b", {}, options);
    EXPECT_EQ(result.text, "aba");
    EXPECT_EQ(result.changes, 1u);
    EXPECT_EQ(result.status, vre::Status::Found);

    options.first = 1;
    options.count = 2;
    EXPECT_EQ(vre::substitute(re, "aaaa", "b", {}, options).text, "bbaa");

    options.first = 4;
    options.count = vre::npos;
    result = vre::substitute(re, "aaa", "b", {}, options);
    EXPECT_EQ(result.text, "aaa");
    EXPECT_EQ(result.changes, 0u);
    EXPECT_EQ(result.status, vre::Status::NotFound);

    options.first = 1;
    options.count = 0;
    EXPECT_EQ(vre::substitute(re, "aaa", "b", {}, options).changes, 0u);
}

TEST(Substitute, StartsAtTheGivenOffset) {
    vre::SubstituteOptions options;
    options.start = 2;
    EXPECT_EQ(vre::substitute(compiled("a"), "aaaa", "b", {}, options).text, "aabb");
    // ^ cannot match when the scan starts beyond column 1.
    vre::SubstituteResult result = vre::substitute(compiled("^a"), "aaaa", "b", {}, options);
    EXPECT_EQ(result.text, "aaaa");
    EXPECT_EQ(result.changes, 0u);
    options.start = 4;
    EXPECT_EQ(vre::substitute(compiled("$"), "aaaa", "!", {}, options).text, "aaaa!");
    options.start = 9;
    EXPECT_EQ(vre::substitute(compiled("a*"), "aaaa", "!", {}, options).text, "aaaa");
}

TEST(Substitute, KeepsNulBytes) {
    const std::string subject = "a\0b\0c"s;
    vre::SubstituteResult result = vre::substitute(compiled("[^a-z]"), subject, "\0\0"s, {}, {});
    EXPECT_EQ(result.text, "a\0\0b\0\0c"s);
    EXPECT_EQ(result.changes, 2u);
}

TEST(Substitute, IgnoringCase) {
    vre::Regex re = compiled("abc", vre::kIgnoreCase);
    EXPECT_EQ(vre::substitute(re, "ABC abc aBc", "x", {}, {}).text, "x x x");
}

TEST(Substitute, TooComplexLeavesTheSubjectUnchanged) {
    vre::Regex re = compiled("\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)c\\1");
    std::string subject(3000, 'a');
    vre::SubstituteOptions options;
    options.match.step_budget = 100000;
    vre::SubstituteResult result = vre::substitute(re, subject, "x", {}, options);
    EXPECT_EQ(result.status, vre::Status::TooComplex);
    EXPECT_EQ(result.text, subject);
    EXPECT_EQ(result.changes, 0u);
}

} // namespace
