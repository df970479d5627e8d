// Compile errors: every text byte for byte, and the pattern that gives it.
#include "common/regex/regex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string error_of(std::string_view pattern, unsigned flags = 0) {
    vre::CompileResult compiled = vre::compile(pattern, flags);
    return compiled.ok() ? "(compiled)" : compiled.error;
}

// The texts are written out here rather than taken from the header, so a typo
// in the header shows up.
TEST(CompileErrors, NoPreviousRe) {
    EXPECT_EQ(error_of(""), "No previous RE");
}

TEST(CompileErrors, RepeatFollowsNothing) {
    const std::string text = "* or \\+ or \\? follows nothing";
    EXPECT_EQ(text.size(), 29u);
    for (const char* pattern :
         {"*", "*a", "\\+", "\\?b", "^*", "^\\+", "\\(*a\\)", "a\\(\\?\\)", "\\{2\\}", "^\\{1,\\}"})
        EXPECT_EQ(error_of(pattern), text) << pattern;
}

TEST(CompileErrors, RepeatAfterSomethingElse) {
    const std::string text = "* or \\+ or \\? can only follow a normal character or . or []";
    for (const char* pattern : {"\\(a\\)*", "\\(a\\)\\+", "\\(a\\)\\?", "\\<*", "a\\>\\+",
                                "\\(a\\)\\1*", "a$\\(b\\)\\{2\\}", "\\(a*\\)*b"})
        EXPECT_EQ(error_of(pattern), text) << pattern;
}

TEST(CompileErrors, RepeatDoubledUp) {
    const std::string text = "* or \\+ or \\? doubled up";
    for (const char* pattern :
         {"a**", "a*\\+", "a\\+\\?", ".\\?*", "[ab]**", "a\\{2\\}*", "a*\\{2\\}"})
        EXPECT_EQ(error_of(pattern), text) << pattern;
}

TEST(CompileErrors, Groups) {
    EXPECT_EQ(error_of("a\\(b"), "Not enough \\)s");
    EXPECT_EQ(error_of("\\(\\(a\\)"), "Not enough \\)s");
    EXPECT_EQ(error_of("a\\)"), "Mismatched \\)");
    EXPECT_EQ(error_of("\\(a\\)\\)"), "Mismatched \\)");
    // Nine groups are allowed, the tenth is not.
    std::string nine;
    for (int i = 0; i < 9; ++i)
        nine += "\\(x\\)";
    EXPECT_EQ(error_of(nine), "(compiled)");
    EXPECT_EQ(error_of(nine + "\\(x\\)"), "Too many \\(s");
    EXPECT_EQ(error_of("\\(\\(\\(\\(\\(\\(\\(\\(\\(\\(a"), "Too many \\(s");
}

TEST(CompileErrors, Brackets) {
    EXPECT_EQ(error_of("[abc"), "] missing");
    EXPECT_EQ(error_of("[]"), "] missing");
    EXPECT_EQ(error_of("[^]"), "] missing");
    EXPECT_EQ(error_of("a[[:digit:]"), "] missing");
    EXPECT_EQ(error_of("[z-a]"), "Backwards span in []");
    EXPECT_EQ(error_of("[a-a]"), "(compiled)");
    // Ten lists are allowed, the eleventh is not.
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += "[ab]";
    EXPECT_EQ(error_of(ten), "(compiled)");
    EXPECT_EQ(error_of(ten + "[c]"), "Too many []s");
}

TEST(CompileErrors, NotEnoughMemory) {
    EXPECT_EQ(error_of(std::string(20000, 'a')), "Not enough memory for this RE");
    EXPECT_EQ(error_of(std::string(10000, 'a')), "(compiled)");
    EXPECT_EQ(error_of("a\\{0,255\\}b"), "(compiled)");
}

TEST(CompileErrors, IntervalsExpandWithinTheLimit) {
    std::string pattern;
    for (int i = 0; i < 40; ++i)
        pattern += ".\\{0,255\\}";
    EXPECT_EQ(error_of(pattern), "Not enough memory for this RE");
}

TEST(CompileErrors, BackReferences) {
    EXPECT_EQ(error_of("\\1"), "Invalid back reference");
    EXPECT_EQ(error_of("\\(a\\1\\)"), "Invalid back reference");
    EXPECT_EQ(error_of("\\(a\\)\\2"), "Invalid back reference");
    EXPECT_EQ(error_of("\\(a\\)\\1"), "(compiled)");
}

TEST(CompileErrors, Intervals) {
    const std::string text = "Invalid content of \\{\\}";
    for (const char* pattern : {"a\\{\\}", "a\\{x\\}", "a\\{2", "a\\{2,1\\}", "a\\{256\\}",
                                "a\\{1,256\\}", "a\\{1,2", "a\\{1,2}", "a\\{-1\\}"})
        EXPECT_EQ(error_of(pattern), text) << pattern;
    for (const char* pattern : {"a\\{0\\}", "a\\{255\\}", "a\\{,3\\}", "a\\{3,\\}"})
        EXPECT_EQ(error_of(pattern), "(compiled)") << pattern;
}

TEST(CompileErrors, FirstErrorFromTheLeftWins) {
    EXPECT_EQ(error_of("**\\("), "* or \\+ or \\? follows nothing");
    EXPECT_EQ(error_of("[z-a]\\)"), "Backwards span in []");
    EXPECT_EQ(error_of("a\\)[z-a]"), "Mismatched \\)");
}

TEST(CompileErrors, HeaderConstantsMatchTheTexts) {
    EXPECT_EQ(vre::kNoPreviousRe, "No previous RE");
    EXPECT_EQ(vre::kNoMemory, "Not enough memory for this RE");
    EXPECT_EQ(vre::kRepeatFollowsNothing, "* or \\+ or \\? follows nothing");
    EXPECT_EQ(vre::kRepeatBadOperand,
              "* or \\+ or \\? can only follow a normal character or . or []");
    EXPECT_EQ(vre::kRepeatDoubled, "* or \\+ or \\? doubled up");
    EXPECT_EQ(vre::kNotEnoughClose, "Not enough \\)s");
    EXPECT_EQ(vre::kTooManyOpen, "Too many \\(s");
    EXPECT_EQ(vre::kMismatchedClose, "Mismatched \\)");
    EXPECT_EQ(vre::kTooManyClasses, "Too many []s");
    EXPECT_EQ(vre::kBackwardsSpan, "Backwards span in []");
    EXPECT_EQ(vre::kBracketMissing, "] missing");
}

TEST(CompileErrors, FailedCompileLeavesNoProgram) {
    vre::CompileResult compiled = vre::compile("a\\(b");
    EXPECT_FALSE(compiled.ok());
    EXPECT_TRUE(compiled.regex.code.empty());
    vre::Match match;
    EXPECT_EQ(vre::search(compiled.regex, "ab", 0, match), vre::Status::NotFound);
}

TEST(LastRegex, EmptyPatternReusesThePreviousOne) {
    vre::LastRegex last;
    EXPECT_EQ(vre::compile_with_last("", 0, last).error, "No previous RE");
    EXPECT_FALSE(last.set);

    vre::CompileResult first = vre::compile_with_last("b\\+", 0, last);
    ASSERT_TRUE(first.ok());
    EXPECT_TRUE(last.set);

    vre::CompileResult again = vre::compile_with_last("", vre::kIgnoreCase, last);
    ASSERT_TRUE(again.ok());
    vre::Match match;
    ASSERT_EQ(vre::search(again.regex, "aBBc", 0, match), vre::Status::Found);
    EXPECT_EQ(match.begin, 1u);
    EXPECT_EQ(match.end, 3u);
}

TEST(LastRegex, AFailedCompileKeepsThePreviousOne) {
    vre::LastRegex last;
    ASSERT_TRUE(vre::compile_with_last("abc", 0, last).ok());
    EXPECT_EQ(vre::compile_with_last("a\\(", 0, last).error, "Not enough \\)s");
    EXPECT_EQ(last.source, "abc");
}

} // namespace
