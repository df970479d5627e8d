// How far a target extends, and what the parser makes of it.
#include <gtest/gtest.h>

#include "editor/commands/targets.h"

namespace voren {
namespace {

struct Extent {
    const char* text;
    size_t length;
};

class TargetLength : public ::testing::TestWithParam<Extent> {};

TEST_P(TargetLength, Extent) {
    const Extent& e = GetParam();
    EXPECT_EQ(target_length(e.text), e.length) << '"' << e.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TargetLength,
    ::testing::Values(
        // digits: their run
        Extent{"12", 2}, Extent{"12 c/a/b/", 2}, Extent{"7x", 1},
        // ":": blanks skipped, then the digits; otherwise a string delimited by ":"
        Extent{":5", 2}, Extent{":  42 top", 5}, Extent{":abc:", 5}, Extent{":abc: top", 5},
        Extent{":", 1}, Extent{":  ", 3},
        // "*": one character
        Extent{"*", 1}, Extent{"* top", 1}, Extent{"**", 1},
        // names end at a blank or one of * + ~ - / : .
        Extent{".abc", 4}, Extent{".abc top", 4}, Extent{".a*b", 2}, Extent{".a+1", 2},
        Extent{".a~", 2}, Extent{".a-", 2}, Extent{".a/", 2}, Extent{".a:", 2}, Extent{".a.b", 2},
        // signs: blanks, then digits, "*", "~" or a string
        Extent{"+3", 2}, Extent{"-  3 top", 4}, Extent{"+*", 2}, Extent{"- * x", 3},
        Extent{"-~/a/ top", 5}, Extent{"-/abc/ top", 6}, Extent{"+", 1}, Extent{"-  ", 3},
        // strings: up to the last delimiter
        Extent{"/abc/", 5}, Extent{"/abc/ top", 5}, Extent{"/abc", 4}, Extent{"/a/b/", 5},
        Extent{"/a/ & /b/ top", 9}, Extent{"/a/ | ~/b/", 10}, Extent{"~/a/ next", 4},
        Extent{"!x! top", 3},
        // only one delimiter, or a component opened after & or |: the whole text
        Extent{"/abc top", 8}, Extent{"/a/ &/b", 7}, Extent{"/a/ |/", 6},
        // a command after a string target must not hold the delimiter
        Extent{"/a/ c/x/y/", 10}));

TEST(ParseTarget, Numbers) {
    ParsedTarget t;
    std::string error;
    ASSERT_TRUE(parse_target("123456789", t, error));
    EXPECT_EQ(t.form, TargetForm::Relative);
    EXPECT_EQ(t.number, 123456789);
    EXPECT_FALSE(t.backward);
    EXPECT_FALSE(parse_target("1234567890", t, error));
    EXPECT_EQ(error, "..... Invalid target");
    ASSERT_TRUE(parse_target("-  4", t, error));
    EXPECT_TRUE(t.backward);
    EXPECT_EQ(t.number, 4);
    EXPECT_FALSE(parse_target("+", t, error));
    EXPECT_EQ(error, "..... Invalid target");
    EXPECT_FALSE(parse_target("-", t, error));
}

TEST(ParseTarget, LineNumbersAndEnds) {
    ParsedTarget t;
    std::string error;
    ASSERT_TRUE(parse_target(": 12", t, error));
    EXPECT_EQ(t.form, TargetForm::LineNumber);
    EXPECT_EQ(t.number, 12);
    EXPECT_FALSE(parse_target(":", t, error));
    EXPECT_EQ(error, "..... Invalid line number");
    EXPECT_FALSE(parse_target(":1234567890", t, error));
    EXPECT_EQ(error, "..... Invalid line number");
    ASSERT_TRUE(parse_target(":ab:", t, error));
    EXPECT_EQ(t.form, TargetForm::Strings);
    EXPECT_EQ(t.components.at(0).text, "ab");
    ASSERT_TRUE(parse_target("*", t, error));
    EXPECT_EQ(t.form, TargetForm::EndOfFile);
    ASSERT_TRUE(parse_target("+*", t, error));
    EXPECT_EQ(t.form, TargetForm::EndOfFile);
    ASSERT_TRUE(parse_target("-*", t, error));
    EXPECT_EQ(t.form, TargetForm::Lowest);
    ASSERT_TRUE(parse_target(".here", t, error));
    EXPECT_EQ(t.form, TargetForm::Named);
    EXPECT_EQ(t.name, ".here");
}

TEST(ParseTarget, SingleStringKeepsInnerDelimiters) {
    ParsedTarget t;
    std::string error;
    ASSERT_TRUE(parse_target("/a/b/", t, error));
    ASSERT_EQ(t.components.size(), 1u);
    EXPECT_TRUE(t.single_string);
    EXPECT_EQ(t.components[0].text, "a/b");
    ASSERT_TRUE(parse_target("/abc  ", t, error));
    EXPECT_EQ(t.components[0].text, "abc");
    ASSERT_TRUE(parse_target("/ab /", t, error));
    EXPECT_EQ(t.components[0].text, "ab ");
    ASSERT_TRUE(parse_target("-~/x/", t, error));
    EXPECT_TRUE(t.backward);
    EXPECT_TRUE(t.components[0].negated);
    EXPECT_EQ(t.components[0].text, "x");
}

TEST(ParseTarget, Combinations) {
    ParsedTarget t;
    std::string error;
    ASSERT_TRUE(parse_target("/a/ & ~!b! | /c", t, error));
    ASSERT_EQ(t.components.size(), 3u);
    EXPECT_FALSE(t.single_string);
    EXPECT_EQ(t.components[0].text, "a");
    EXPECT_EQ(t.components[0].op, '&');
    EXPECT_TRUE(t.components[1].negated);
    EXPECT_EQ(t.components[1].text, "b");
    EXPECT_EQ(t.components[1].op, '|');
    EXPECT_EQ(t.components[2].text, "c");
    EXPECT_EQ(t.components[2].op, 0);
}

TEST(ParseTarget, CombinationErrors) {
    ParsedTarget t;
    std::string error;
    EXPECT_FALSE(parse_target("/a/ &", t, error));
    EXPECT_EQ(error, "..... Invalid target");
    EXPECT_FALSE(parse_target("/a/ & ~", t, error));
    EXPECT_EQ(error, "..... Invalid target");
    EXPECT_FALSE(parse_target("/a/ & //", t, error));
    EXPECT_EQ(error, "..... Invalid subtarget \"//\"");
    EXPECT_FALSE(parse_target("/a/ & /b/  x  /c/", t, error));
    EXPECT_EQ(error, "..... Invalid target \"/a/ & /b/ x /c/\"");
}

} // namespace
} // namespace voren
