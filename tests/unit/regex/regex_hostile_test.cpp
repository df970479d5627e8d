// Hostile patterns and subjects: every search must finish with a result, run
// out of its step budget cleanly, or be refused at compile time. None of these
// tests measures time; they would hang or crash if the engine could.
#include "common/regex/regex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

vre::Regex compiled(std::string_view pattern, unsigned flags = 0) {
    vre::CompileResult result = vre::compile(pattern, flags);
    EXPECT_TRUE(result.ok()) << pattern << ": " << result.error;
    return result.regex;
}

const vre::Engine kEngines[] = {vre::Engine::Automatic, vre::Engine::Backtrack, vre::Engine::Pike};

TEST(Hostile, NestedRepetitionIsRefused) {
    // The classic exponential pattern cannot even be written: repetition
    // applies to one character, ., or a bracket list only.
    EXPECT_FALSE(vre::compile("\\(a*\\)*b").ok());
    EXPECT_FALSE(vre::compile("\\(a\\+\\)\\+b").ok());
    EXPECT_FALSE(vre::compile("\\(\\(a*\\)*\\)*").ok());
}

TEST(Hostile, ManyStarsOnALongLineStayLinear) {
    // Backtracking without memory would take about n^8 steps here.
    vre::Regex re = compiled("a*a*a*a*a*a*a*a*b");
    std::string subject(100000, 'a');
    for (vre::Engine engine : kEngines) {
        vre::MatchOptions options;
        options.engine = engine;
        vre::Scratch scratch;
        vre::Match m;
        EXPECT_EQ(vre::search(re, subject, 0, m, options, &scratch), vre::Status::NotFound);
    }
    subject += 'b';
    vre::Match m;
    vre::Scratch scratch;
    ASSERT_EQ(vre::search(re, subject, 0, m, {}, &scratch), vre::Status::Found);
    EXPECT_EQ(m.begin, 0u);
    EXPECT_EQ(m.end, subject.size());
}

TEST(Hostile, DotStarRunsOnAVeryLongLine) {
    std::string subject(1'000'000, 'x');
    subject[999'000] = 'y';
    for (vre::Engine engine : kEngines) {
        vre::MatchOptions options;
        options.engine = engine;
        vre::Scratch scratch;
        vre::Match m;
        vre::Regex re = compiled("x.*y\\(x*\\)$");
        ASSERT_EQ(vre::search(re, subject, 0, m, options, &scratch), vre::Status::Found);
        EXPECT_EQ(m.begin, 0u);
        EXPECT_EQ(m.groups[1].begin, 999'001u);
        EXPECT_EQ(m.groups[1].end, subject.size());
    }
}

TEST(Hostile, BackReferencesRunOutOfBudgetCleanly) {
    vre::Regex re = compiled("\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)\\(a*\\)c\\1\\2");
    std::string subject(20000, 'a');
    vre::Match m;
    EXPECT_EQ(vre::search(re, subject, 0, m), vre::Status::TooComplex);
    vre::MatchOptions small;
    small.step_budget = 1000;
    EXPECT_EQ(vre::search(re, subject, 0, m, small), vre::Status::TooComplex);
    // The same pattern on a line where it matches quickly.
    EXPECT_EQ(vre::search(re, "aacaa", 0, m), vre::Status::Found);
}

TEST(Hostile, PikeMachineHasABudgetToo) {
    // A program of about 500 instructions on a long line: each byte keeps
    // hundreds of threads alive, which the budget cuts short.
    vre::Regex re = compiled("a\\{0,255\\}a\\{0,255\\}b");
    std::string subject(300000, 'a');
    vre::MatchOptions options;
    options.engine = vre::Engine::Pike;
    options.step_budget = 5'000'000;
    vre::Match m;
    EXPECT_EQ(vre::search(re, subject, 0, m, options), vre::Status::TooComplex);
}

TEST(Hostile, LongPatternsCompileWithoutRecursion) {
    std::string pattern;
    for (int i = 0; i < 3000; ++i)
        pattern += "[a-z]*";
    // Ten lists at most: the eleventh is refused before the program grows.
    EXPECT_EQ(vre::compile(pattern).error, "Too many []s");
    pattern.clear();
    for (int i = 0; i < 5000; ++i)
        pattern += "a*";
    EXPECT_TRUE(vre::compile(pattern).ok());
    pattern.resize(1000);
    vre::Regex re = compiled(pattern);
    vre::Match m;
    vre::Scratch scratch;
    EXPECT_EQ(vre::search(re, std::string(2000, 'a') + "b", 0, m, {}, &scratch),
              vre::Status::Found);
    EXPECT_EQ(m.end, 2000u);
}

TEST(Hostile, LongOptionalChainsDoNotRecurse) {
    // 255 nested optionals: the closure over them is followed with an explicit stack.
    vre::Regex re = compiled("x.\\{0,255\\}.\\{0,255\\}.\\{0,255\\}y");
    std::string subject = "x" + std::string(700, '-') + "y";
    for (vre::Engine engine : kEngines) {
        vre::MatchOptions options;
        options.engine = engine;
        vre::Match m;
        ASSERT_EQ(vre::search(re, subject, 0, m, options), vre::Status::Found);
        EXPECT_EQ(m.end, subject.size());
    }
}

TEST(Hostile, EveryByteValueInPatternAndSubject) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    for (int c = 0; c < 256; ++c) {
        char ch = static_cast<char>(c);
        std::string pattern = "\\";
        pattern += ch;
        vre::CompileResult result = vre::compile(pattern);
        if (!result.ok()) {
            // Back references to no group, and the operators that need an operand.
            EXPECT_TRUE((ch >= '1' && ch <= '9') ||
                        std::string("{()+?").find(ch) != std::string::npos)
                << c;
            continue;
        }
        vre::Match m;
        EXPECT_NE(vre::search(result.regex, all, 0, m), vre::Status::TooComplex);
    }
    vre::Regex any = compiled("[^a]*");
    vre::Match m;
    ASSERT_EQ(vre::search(any, all, 0, m), vre::Status::Found);
    EXPECT_EQ(m.end, static_cast<std::size_t>('a'));
}

TEST(Hostile, AutomatonGivesUpOnTooManyStatesAndStaysCorrect) {
    // "an a 12 bytes before the end" needs 2^12 automaton states.
    vre::Regex re = compiled("a............$");
    std::string subject;
    std::mt19937 rng(99);
    for (int i = 0; i < 5000; ++i)
        subject += rng() % 2 ? 'a' : 'b';
    vre::Scratch scratch;
    vre::Match m;
    vre::MatchOptions pike;
    pike.engine = vre::Engine::Pike;
    vre::Match expected;
    vre::Status want = vre::search(re, subject, 0, expected, pike);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(vre::search(re, subject, 0, m, {}, &scratch), want);
        EXPECT_EQ(m.begin, expected.begin);
    }
    EXPECT_TRUE(scratch.dfa.gave_up);
    subject.back() = 'a';
    subject[subject.size() - 13] = 'b';
    want = vre::search(re, subject, 0, expected, pike);
    EXPECT_EQ(vre::search(re, subject, 0, m, {}, &scratch), want);
}

} // namespace
