// Word functions: results (checked against Regina REXX) and wrong calls.
#include "harness.h"

namespace tolma::test {

TEST(WordFunctions, ResultsAgreeWithStandardRexx) {
    Lib f;
    EXPECT_EQ(f("WORDS", {""}), "0");
    EXPECT_EQ(f("WORDS", {"  a b   c "}), "3");
    EXPECT_EQ(f("WORD", {"a b c", "2"}), "b");
    EXPECT_EQ(f("WORD", {"a b c", "4"}), "");
    EXPECT_EQ(f("WORDINDEX", {"  ab  cd", "2"}), "7");
    EXPECT_EQ(f("WORDINDEX", {"ab", "3"}), "0");
    EXPECT_EQ(f("WORDLENGTH", {"ab cde", "2"}), "3");
    EXPECT_EQ(f("WORDLENGTH", {"ab", "2"}), "0");
    EXPECT_EQ(f("SUBWORD", {" a b  c d ", "2"}), "b  c d");
    EXPECT_EQ(f("SUBWORD", {" a b  c d ", "2", "2"}), "b  c");
    EXPECT_EQ(f("SUBWORD", {"a b", "3"}), "");
    EXPECT_EQ(f("SUBWORD", {"a b c", "2", "0"}), "");
    EXPECT_EQ(f("SUBWORD", {"a b c", "1", "10"}), "a b c");
    EXPECT_EQ(f("DELWORD", {"a b c d", "2", "2"}), "a d");
    EXPECT_EQ(f("DELWORD", {"a b c d", "2"}), "a ");
    EXPECT_EQ(f("DELWORD", {"a b c d", "5"}), "a b c d");
    EXPECT_EQ(f("DELWORD", {"  a b  c", "1", "1"}), "  b  c");
    EXPECT_EQ(f("DELWORD", {"a b c", "3", "1"}), "a b ");
    EXPECT_EQ(f("DELWORD", {"a b c", "1", "0"}), "a b c");
    EXPECT_EQ(f("SPACE", {"  a   b  c "}), "a b c");
    EXPECT_EQ(f("SPACE", {"a b", "2", "-"}), "a--b");
    EXPECT_EQ(f("SPACE", {"a  b", "0"}), "ab");
    EXPECT_EQ(f("SPACE", {"   "}), "");
    EXPECT_EQ(f("SPACE", {"abc", "3"}), "abc");
    EXPECT_EQ(f("WORDPOS", {"b c", "a b  c d"}), "2");
    EXPECT_EQ(f("WORDPOS", {"x", "a b"}), "0");
    EXPECT_EQ(f("WORDPOS", {"b", "a b c b", "3"}), "4");
    EXPECT_EQ(f("WORDPOS", {"", "a"}), "0");
    EXPECT_EQ(f("WORDPOS", {"a b", "a b", "2"}), "0");
    EXPECT_EQ(f("FIND", {"a b c", "b c"}), "2");
    EXPECT_EQ(f("FIND", {"a b c", "x"}), "0");
    EXPECT_EQ(f("JUSTIFY", {"a b  c", "10"}), "a    b   c");
    EXPECT_EQ(f("JUSTIFY", {"a b c d", "8", "-"}), "a-b--c-d");
    EXPECT_EQ(f("JUSTIFY", {"abc  def", "3"}), "abc");
    EXPECT_EQ(f("JUSTIFY", {"abc", "5"}), "abc  ");
    EXPECT_EQ(f("JUSTIFY", {"a b", "2"}), "a ");
    EXPECT_EQ(f("JUSTIFY", {"  a  b  ", "7"}), "a     b");
    EXPECT_EQ(f("JUSTIFY", {"a b c", "11"}), "a    b    c");
    EXPECT_EQ(f("JUSTIFY", {"", "4"}), "    ");
}

TEST(WordFunctions, TabsSeparateWords) {
    Lib f;
    EXPECT_EQ(f("WORDS", {"a\tb c"}), "3");
    EXPECT_EQ(f("WORD", {"a\tb c", "2"}), "b");
    EXPECT_EQ(f("SPACE", {"a\t\tb"}), "a b");
}

TEST(WordFunctions, WrongCalls) {
    Lib f;
    EXPECT_EQ(f.msg("WORD", {"a"}), "WORD(): must receive 2 arguments.");
    EXPECT_EQ(f.msg("WORD", {"a", "x"}), "WORD(): argument 2 must be a whole number.");
    EXPECT_EQ(f.msg("WORD", {"a", "0"}), "WORD(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("WORDINDEX", {"a", "0"}),
              "WORDINDEX(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("WORDLENGTH", {"a"}), "WORDLENGTH(): must receive 2 arguments.");
    EXPECT_EQ(f.msg("WORDS", {}), "WORDS(): must receive 1 argument.");
    EXPECT_EQ(f.msg("SUBWORD", {"a"}), "SUBWORD(): must receive 2 to 3 arguments.");
    EXPECT_EQ(f.msg("SUBWORD", {"a", "0"}),
              "SUBWORD(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("SUBWORD", {"a", "1", "-1"}),
              "SUBWORD(): argument 3 must be a positive integer.");
    EXPECT_EQ(f.msg("DELWORD", {"a"}), "DELWORD(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("DELWORD", {"a", "x"}), "DELWORD(): argument 2 must be an integer.");
    EXPECT_EQ(f.msg("DELWORD", {"a", "0"}),
              "DELWORD(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("DELWORD", {"a", "1", "-2"}),
              "DELWORD(): argument 3 must be a positive integer.");
    EXPECT_EQ(f.msg("SPACE", {}), "SPACE(): must receive 1 to 3 arguments.");
    EXPECT_EQ(f.msg("SPACE", {"a", "-1"}), "SPACE(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("SPACE", {"a", "1", "--"}),
              "SPACE(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("WORDPOS", {"a"}), "WORDPOS(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("WORDPOS", {"a", "b", "0"}),
              "WORDPOS(): argument 3 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("FIND", {"a"}), "FIND(): must receive 2 arguments.");
    EXPECT_EQ(f.msg("JUSTIFY", {"a"}), "JUSTIFY(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("JUSTIFY", {"a", "-1"}), "JUSTIFY(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("JUSTIFY", {"a", "1", "ab"}),
              "JUSTIFY(): the padding expression must be one character wide.");
}

} // namespace tolma::test

namespace tolma::test {

// WORDS reads eight bytes at a time: compare it with a plain count on many
// strings of blanks, tabs, letters and other bytes.
TEST(WordFunctions, WordsMatchesAPlainCount) {
    Lib f;
    const char alphabet[] = {' ', '\t', 'a', 'b', '\0', '\x80', '\xff', '\n'};
    unsigned seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        seed = seed * 1103515245 + 12345;
        size_t len = (seed >> 8) % 41;
        std::string s;
        for (size_t i = 0; i < len; ++i) {
            seed = seed * 1103515245 + 12345;
            s += alphabet[(seed >> 16) % sizeof alphabet];
        }
        long expected = 0;
        bool in_word = false;
        for (char c : s) {
            bool blank = c == ' ' || c == '\t';
            if (!blank && !in_word) ++expected;
            in_word = !blank;
        }
        ASSERT_EQ(f("WORDS", {s}), std::to_string(expected)) << '"' << s << '"';
    }
}

// SPACE with gaps 0, 1 and 2 against a plain join of the words, over strings
// of every length to 70 (the short road reads sixteen bytes at a time and
// the last sixteen from a copy), words at either end and across groups.
TEST(WordFunctions, SpaceMatchesAPlainJoin) {
    Lib f;
    const char alphabet[] = {' ', '\t', 'a', 'b', 'c', '\0', '\xff', ' ', ' '};
    unsigned seed = 777;
    for (int round = 0; round < 4000; ++round) {
        seed = seed * 1103515245 + 12345;
        size_t len = (seed >> 8) % 71;
        std::string s;
        for (size_t i = 0; i < len; ++i) {
            seed = seed * 1103515245 + 12345;
            s += alphabet[(seed >> 16) % sizeof alphabet];
        }
        std::vector<std::string> words;
        bool in_word = false;
        for (char c : s) {
            bool blank = c == ' ' || c == '\t';
            if (!blank && !in_word) words.emplace_back();
            if (!blank) words.back() += c;
            in_word = !blank;
        }
        for (int gap = 0; gap <= 2; ++gap) {
            std::string expected;
            for (size_t w = 0; w < words.size(); ++w)
                expected += (w ? std::string(static_cast<size_t>(gap), '+') : "") + words[w];
            ASSERT_EQ(f("SPACE", {s, std::to_string(gap), "+"}), expected)
                << gap << " \"" << s << '"';
        }
    }
}

} // namespace tolma::test
