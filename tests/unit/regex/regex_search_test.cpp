// The search interface: spans, start offsets, anchors away from column 1,
// word characters, NUL bytes, and agreement between the matchers.
#include "common/regex/regex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace std::string_literals;

vre::Regex compiled(std::string_view pattern, unsigned flags = 0) {
    vre::CompileResult result = vre::compile(pattern, flags);
    EXPECT_TRUE(result.ok()) << pattern << ": " << result.error;
    return result.regex;
}

const vre::Engine kEngines[] = {vre::Engine::Automatic, vre::Engine::Backtrack, vre::Engine::Pike};

TEST(Search, ReportsTheSpanAndGroups) {
    vre::Regex re = compiled("\\([a-z]*\\)=\\([0-9]*\\)");
    for (vre::Engine engine : kEngines) {
        vre::Match m;
        vre::MatchOptions options;
        options.engine = engine;
        vre::Scratch scratch;
        ASSERT_EQ(vre::search(re, "set width=80;", 0, m, options, &scratch), vre::Status::Found);
        EXPECT_EQ(m.begin, 4u);
        EXPECT_EQ(m.end, 12u);
        EXPECT_EQ(m.groups[0].begin, 4u);
        EXPECT_EQ(m.groups[1].begin, 4u);
        EXPECT_EQ(m.groups[1].end, 9u);
        EXPECT_EQ(m.groups[2].begin, 10u);
        EXPECT_EQ(m.groups[2].length(), 2u);
        EXPECT_FALSE(m.groups[3].matched());
    }
}

TEST(Search, StartsAtTheGivenOffset) {
    vre::Regex re = compiled("ab");
    vre::Match m;
    ASSERT_EQ(vre::search(re, "abxab", 1, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 3u);
    EXPECT_EQ(vre::search(re, "abxab", 4, m), vre::Status::NotFound);
    EXPECT_EQ(vre::search(re, "abxab", 5, m), vre::Status::NotFound);
    EXPECT_EQ(vre::search(re, "abxab", 99, m), vre::Status::NotFound);
}

TEST(Search, CaretDoesNotMatchWhenTheSearchStartsLater) {
    for (vre::Engine engine : kEngines) {
        vre::MatchOptions options;
        options.engine = engine;
        vre::Match m;
        vre::Regex re = compiled("^a");
        EXPECT_EQ(vre::search(re, "aaa", 0, m, options), vre::Status::Found);
        EXPECT_EQ(vre::search(re, "aaa", 1, m, options), vre::Status::NotFound);
        vre::Regex pattern = compiled("^a*b");
        EXPECT_EQ(vre::search(pattern, "xab", 1, m, options), vre::Status::NotFound);
        options.not_bol = true;
        EXPECT_EQ(vre::search(re, "aaa", 0, m, options), vre::Status::NotFound);
    }
}

TEST(Search, DollarMatchesOnlyAtTheEnd) {
    vre::Regex re = compiled("a*$");
    vre::Match m;
    ASSERT_EQ(vre::search(re, "baab", 0, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 4u);
    EXPECT_EQ(m.end, 4u);
    ASSERT_EQ(vre::search(re, "bbaa", 0, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 2u);
}

TEST(Search, WordBoundariesLookBeforeTheStart) {
    vre::Regex re = compiled("\\<b");
    vre::Match m;
    // The b at offset 1 follows a word character even though the search starts there.
    EXPECT_EQ(vre::search(re, "ab b", 1, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 3u);
    vre::Regex end = compiled("a\\>");
    EXPECT_EQ(vre::search(end, "aab", 0, m), vre::Status::NotFound);
}

TEST(Search, WordCharactersCanBeChosen) {
    vre::Regex re = compiled("\\<x\\>");
    vre::ByteSet word{};
    for (unsigned char c : std::string("x-"))
        word[c >> 6] |= std::uint64_t{1} << (c & 63);
    vre::MatchOptions options;
    options.word_chars = &word;
    vre::Match m;
    EXPECT_EQ(vre::search(re, "-x a", 0, m), vre::Status::Found);
    EXPECT_EQ(vre::search(re, "-x a", 0, m, options), vre::Status::NotFound);
    ASSERT_EQ(vre::search(re, "ax x", 0, m, options), vre::Status::Found);
    EXPECT_EQ(m.begin, 1u); // 'a' is not a word character here
    EXPECT_EQ(vre::search(re, "ax x", 0, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 3u);
}

TEST(Search, SubjectMayHoldNulBytes) {
    const std::string subject = "a\0b\0\0c"s;
    ASSERT_EQ(subject.size(), 6u);
    for (vre::Engine engine : kEngines) {
        vre::MatchOptions options;
        options.engine = engine;
        vre::Scratch scratch;
        vre::Match m;
        vre::Regex any = compiled("b..c");
        ASSERT_EQ(vre::search(any, subject, 0, m, options, &scratch), vre::Status::Found);
        EXPECT_EQ(m.begin, 2u);
        EXPECT_EQ(m.end, 6u);
        vre::Regex end = compiled("c$");
        EXPECT_EQ(vre::search(end, subject, 0, m, options, &scratch), vre::Status::Found);
        vre::Regex negated = compiled("[^a-z]\\+");
        ASSERT_EQ(vre::search(negated, subject, 3, m, options, &scratch), vre::Status::Found);
        EXPECT_EQ(m.begin, 3u);
        EXPECT_EQ(m.end, 5u);
    }
    // A NUL in the pattern is an ordinary character, not its end.
    vre::Regex nul = compiled("\0\0c"s);
    vre::Match m;
    ASSERT_EQ(vre::search(nul, subject, 0, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 3u);
    vre::Regex nul_class = compiled("b[\0]"s);
    ASSERT_EQ(vre::search(nul_class, subject, 0, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 2u);
}

TEST(Search, HighBytesAreOrdinary) {
    vre::Regex re = compiled("\xe9[\xe0-\xff]\\+");
    vre::Match m;
    ASSERT_EQ(vre::search(re, "caf\xe9\xe9\xf0!", 0, m), vre::Status::Found);
    EXPECT_EQ(m.begin, 3u);
    EXPECT_EQ(m.end, 6u);
    vre::Regex folded = compiled("\xe9", vre::kIgnoreCase);
    EXPECT_EQ(vre::search(folded, "\xc9", 0, m), vre::Status::NotFound);
}

TEST(MatchAt, MatchesOnlyAtThePosition) {
    vre::Regex re = compiled("b\\+");
    for (vre::Engine engine : kEngines) {
        vre::MatchOptions options;
        options.engine = engine;
        vre::Match m;
        EXPECT_EQ(vre::match_at(re, "abbc", 0, m, options), vre::Status::NotFound);
        ASSERT_EQ(vre::match_at(re, "abbc", 1, m, options), vre::Status::Found);
        EXPECT_EQ(m.end, 3u);
        ASSERT_EQ(vre::match_at(re, "abbc", 2, m, options), vre::Status::Found);
        EXPECT_EQ(m.begin, 2u);
    }
    vre::Regex literal = compiled("bc");
    vre::Match m;
    EXPECT_EQ(vre::match_at(literal, "abc", 0, m), vre::Status::NotFound);
    EXPECT_EQ(vre::match_at(literal, "abc", 1, m), vre::Status::Found);
    EXPECT_EQ(vre::match_at(literal, "abc", 2, m), vre::Status::NotFound);
}

TEST(Search, ScratchCanServeDifferentExpressions) {
    vre::Scratch scratch;
    vre::Match m;
    vre::Regex first = compiled("a[0-9]\\+");
    vre::Regex second = compiled("[xy]\\+z");
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(vre::search(first, "xa12", 0, m, {}, &scratch), vre::Status::Found);
        EXPECT_EQ(m.begin, 1u);
        EXPECT_EQ(vre::search(second, "xa12", 0, m, {}, &scratch), vre::Status::NotFound);
        EXPECT_EQ(vre::search(second, "axyz", 0, m, {}, &scratch), vre::Status::Found);
        EXPECT_EQ(m.begin, 1u);
    }
}

// Random patterns over a small alphabet on random subjects: the three
// matchers must agree on every result and every group.
const char* const kAtoms[] = {"a", "b", "c", ".", "[ab]", "[^a]", "[a-c]", "[ _]"};
const char* const kRepeats[] = {"", "", "", "*", "\\+", "\\?", "\\{2\\}", "\\{1,2\\}", "\\{2,\\}"};

std::string random_pattern(std::mt19937& rng, bool backrefs) {
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    std::string pattern;
    int groups = 0;
    int closed = 0;
    auto sequence = [&](auto& self, int depth) -> void {
        int items = 1 + pick(4);
        for (int i = 0; i < items; ++i) {
            int kind = pick(10);
            if (kind == 0 && depth < 2 && groups < 9) {
                ++groups;
                pattern += "\\(";
                self(self, depth + 1);
                pattern += "\\)";
                ++closed;
            } else if (kind == 1 && backrefs && closed > 0) {
                pattern += "\\" + std::to_string(1 + pick(closed));
            } else if (kind == 2) {
                pattern += pick(2) ? "\\<" : "\\>";
            } else {
                pattern += kAtoms[pick(8)];
                pattern += kRepeats[pick(9)];
            }
        }
    };
    sequence(sequence, 0);
    if (pick(6) == 0) pattern = "^" + pattern;
    if (pick(6) == 0) pattern += "$";
    return pattern;
}

std::string describe(vre::Status status, const vre::Match& m) {
    if (status != vre::Status::Found) return status == vre::Status::NotFound ? "none" : "complex";
    std::string text;
    for (const vre::Span& span : m.groups)
        text += span.matched() ? std::to_string(span.begin) + "-" + std::to_string(span.end) + " "
                               : "_ ";
    return text;
}

TEST(Engines, AgreeOnRandomPatterns) {
    std::mt19937 rng(20240611);
    const std::string alphabet = "abc _";
    for (int round = 0; round < 600; ++round) {
        bool backrefs = round % 3 == 0;
        vre::CompileResult c = vre::compile(random_pattern(rng, backrefs));
        ASSERT_TRUE(c.ok()) << c.regex.source << ": " << c.error;
        vre::Scratch scratch;
        for (int s = 0; s < 12; ++s) {
            std::string subject;
            for (int n = static_cast<int>(rng() % 14); n > 0; --n)
                subject += alphabet[rng() % alphabet.size()];
            std::size_t start = subject.empty() ? 0 : rng() % (subject.size() + 1);
            std::string results[3];
            for (int e = 0; e < 3; ++e) {
                vre::MatchOptions options;
                options.engine = kEngines[e];
                vre::Match m;
                results[e] =
                    describe(vre::search(c.regex, subject, start, m, options, &scratch), m);
            }
            EXPECT_EQ(results[0], results[1]) << c.regex.source << " on '" << subject << "'";
            EXPECT_EQ(results[0], results[2]) << c.regex.source << " on '" << subject << "'";
        }
    }
}

TEST(Engines, AgreeOnLongSubjects) {
    // Long enough that the automatic choice leaves the backtracker's bitmap.
    std::string subject;
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i)
        subject += "ab c_"[rng() % 5];
    subject += "needle=42;";
    for (const char* pattern :
         {"needle=\\([0-9]*\\);", "\\<n[a-z]*=", "[0-9]\\{2\\};$", "a*b*c*_*needle", "x"}) {
        vre::Regex re = compiled(pattern);
        std::string results[3];
        for (int e = 0; e < 3; ++e) {
            vre::MatchOptions options;
            options.engine = kEngines[e];
            vre::Scratch scratch;
            vre::Match m;
            results[e] = describe(vre::search(re, subject, 0, m, options, &scratch), m);
        }
        EXPECT_EQ(results[0], results[1]) << pattern;
        EXPECT_EQ(results[0], results[2]) << pattern;
    }
}

} // namespace

// Rule lines of the compile rules file are expressions matched anywhere in a
// compiler message; the line number is the first run of digits from the start
// of the match, so the start matters.
TEST(CompileRules, TypicalRulesFindTheirMessages) {
    struct Case {
        const char* rule;
        const char* message;
        std::size_t begin; // npos: no match
    };
    const Case cases[] = {
        {"^[^ :]*:[0-9][0-9]*:", "prog.c:12:5: error: expected ';'", 0},
        {"^[^ :]*:[0-9][0-9]*:", "In file included from prog.c:3:", vre::npos},
        {"error [0-9]* at line", "fatal: error 104 at line 33", 7},
        {"\\.java:[0-9]\\+: error", "src/A.java:7: error: missing", 5},
        {"([0-9]*) : error", "C:\\src\\prog.c(17) : error C2065", 13},
        {"\\<line [0-9]", "deadline 9; line 4", 12},
    };
    for (const Case& c : cases) {
        vre::Regex re = compiled(c.rule);
        vre::Match m;
        vre::Status status = vre::search(re, c.message, 0, m);
        if (c.begin == vre::npos) {
            EXPECT_EQ(status, vre::Status::NotFound) << c.rule;
        } else {
            ASSERT_EQ(status, vre::Status::Found) << c.rule;
            EXPECT_EQ(m.begin, c.begin) << c.rule;
        }
    }
}
