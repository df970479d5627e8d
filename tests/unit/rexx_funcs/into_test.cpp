// Functions that make their result in the caller's value: the same result as
// the plain handler whatever the value held before, and a wrong call leaves
// the value as it was.
#include <map>

#include "harness.h"

namespace tolma::test {

namespace {

const std::string kLong = "The quick brown fox jumps over the lazy dog, twice over";

// Argument lists for each function with an in-place handler: results at the
// edges (empty strings, 39 and 40 bytes, tabs, pads) and wrong calls.
const std::map<std::string, std::vector<std::vector<Arg>>>& cases() {
    static const std::map<std::string, std::vector<std::vector<Arg>>> m = {
        {"substr",
         {{kLong, "5", "11"},
          {kLong, "2", "39"},
          {kLong, "2", "40"},
          {kLong, "50", "10", "."},
          {kLong, "1"},
          {"", "1", "0"},
          {"abc", "7"},
          {kLong, "0"},
          {kLong, "1", "-1"},
          {kLong, "1", "2", "ab"},
          {kLong},
          {kLong, omitted}}},
        {"left", {{kLong, "45", "*"}, {"ab", "39"}, {"ab", "40"}, {"", "0"}, {"ab", "x"}}},
        {"right", {{"abc", "6", "-"}, {kLong, "3"}, {"ab", "40", "."}, {"ab", "2", ""}}},
        {"strip",
         {{"  ab  "},
          {"ab"},
          {"\tab\t"},
          {"xxabxx", "T", "x"},
          {"xxabxx", "l", "x"},
          {" " + kLong + " "},
          {"    "},
          {""},
          {"abc", "X"},
          {"abc", "B", "xy"}}},
        {"length", {{kLong}, {""}, {kLong, "1"}}},
        {"copies",
         {{"ab", "20"},
          {"ab", "4"},
          {"ab", "3"},
          {"ab", "1"},
          {"abcd", "10"},
          {"abcd", "1"},
          {"abcdefgh", "5"},
          {"abcdefgh", "32"},
          {"abcdefgh", "33"},
          {"abc", "13"},
          {"abc", "14"},
          {"ab", "0"},
          {"", "7"},
          {"-", "41"},
          {"ab", "-1"},
          {"ab", "1.5"},
          {"ab", "x"}}},
        {"pos",
         {{"lazy", kLong},
          {"cat", kLong},
          {"o", kLong, "20"},
          {"o", kLong, "99"},
          {"LAZY", kLong, "1", "1"},
          {"", kLong},
          {"a", "b", "0"}}},
        {"index", {{"lazy", kLong}, {"a", "b", "x"}}},
        {"translate",
         {{kLong, "abc", "xyz"},
          {"mixed Case"},
          {kLong, "", "aeiou", "*"},
          {kLong, "XY"},
          {kLong, "a", "b", "cd"}}},
        {"word",
         {{kLong, "5"},
          {kLong, "99"},
          {"a\tb", "2"},
          {"", "1"},
          {kLong + " " + kLong, "20"},
          {kLong, "0"},
          {kLong, "five"}}},
        {"center", {{"abc", "8", "*"}, {kLong, "10"}, {kLong, "60"}, {"", "0"}, {"a", "-2"}}},
        {"centre", {{"ab", "41", "."}, {"abc", "x"}}},
        {"reverse", {{kLong}, {""}, {"abcdefghi"}, {"a", "b"}}},
        {"upper", {{kLong}, {""}, {"mixed\tCase 123"}, {}}},
        {"lower", {{kLong}, {""}, {"MIXED\tcASE 123"}, {"a", "b"}}},
        {"c2x", {{"abc"}, {""}, {kLong}, {}}},
        {"d2x",
         {{"123456"}, {"0"}, {"255", "4"}, {"-1", "4"}, {"-1"}, {"1.5"}, {"x"}, {"12", "-1"}}},
        {"d2c", {{"65"}, {"16706", "1"}, {"-1", "2"}, {"-1"}, {"1.5"}}},
        {"words", {{kLong}, {""}, {" \t "}, {"a\tb  c"}, {kLong, "2"}}},
        {"space",
         {{"  a   b  c  "},
          {" a  b ", "3", "+"},
          {"\ta\tb\t", "0"},
          {"   "},
          {kLong + "   " + kLong + "   " + kLong},
          {kLong, "2"},
          {"a b", "1", "xy"},
          {"a b", "-1"}}},
    };
    return m;
}

// Values a variable may hold before the call.
std::vector<RexxValue> old_values() {
    std::vector<RexxValue> v;
    v.emplace_back();
    v.emplace_back("short");
    v.emplace_back(kLong);
    v.emplace_back(std::string(300, 'z'));
    v.push_back(RexxValue::number(12345, 0));
    v.push_back(RexxValue::number(4.5, 1));
    return v;
}

struct Outcome {
    bool ok = false;
    std::string text;
    RexxValue::Kind kind = RexxValue::String;
    int code = 0;
    std::string detail;
    int column = 0;
};

Outcome run(Lib& f, const Builtin& row, const std::vector<Arg>& args, RexxValue* into) {
    ArgValues v(args);
    Args a;
    a.slot = v.slots.data();
    a.n = static_cast<int>(args.size());
    a.pos = v.pos.data();
    std::string upper = row.name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    a.name = upper;
    a.lib = &f.lib;
    Outcome o;
    try {
        if (into) {
            row.into(f.in, a, *into);
            o.text = std::string(into->text(f.in.numeric));
            o.kind = into->kind();
        } else {
            RexxValue r = row.handler(f.in, a);
            o.text = std::string(r.text(f.in.numeric));
            o.kind = r.kind();
        }
        o.ok = true;
    } catch (const RexxError& e) {
        o.code = e.code;
        o.detail = e.detail;
        o.column = e.column;
    }
    return o;
}

std::string show(const std::vector<Arg>& args) {
    std::string s;
    for (const Arg& a : args)
        s += (a ? "'" + *a + "'" : std::string("<omitted>")) + ",";
    return s;
}

} // namespace

TEST(ResultsInPlace, EveryCaseHasARowAndEveryRowACase) {
    size_t n = 0;
    const Builtin* rows = builtin_rows(n);
    size_t with_into = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!rows[i].into) continue;
        ++with_into;
        EXPECT_TRUE(cases().count(rows[i].name)) << rows[i].name << " has no cases";
    }
    EXPECT_EQ(with_into, cases().size());
}

TEST(ResultsInPlace, SameResultsAndErrorsWhateverTheValueHeld) {
    size_t n = 0;
    const Builtin* rows = builtin_rows(n);
    for (size_t i = 0; i < n; ++i) {
        if (!rows[i].into) continue;
        auto found = cases().find(rows[i].name);
        if (found == cases().end()) continue;
        for (const std::vector<Arg>& args : found->second) {
            Lib plain_lib;
            Outcome plain = run(plain_lib, rows[i], args, nullptr);
            for (const RexxValue& old : old_values()) {
                Lib f;
                RexxValue out = old;
                std::string before(old.text(f.in.numeric));
                Outcome got = run(f, rows[i], args, &out);
                SCOPED_TRACE(std::string(rows[i].name) + "(" + show(args) + ") over '" + before +
                             "'");
                ASSERT_EQ(got.ok, plain.ok);
                if (plain.ok) {
                    EXPECT_EQ(got.text, plain.text);
                    EXPECT_EQ(got.kind, plain.kind);
                } else {
                    EXPECT_EQ(got.code, plain.code);
                    EXPECT_EQ(got.detail, plain.detail);
                    EXPECT_EQ(got.column, plain.column);
                    // The wrong call left the value as it was.
                    EXPECT_EQ(std::string(out.text(f.in.numeric)), before);
                    EXPECT_EQ(out.kind(), old.kind());
                }
            }
        }
    }
}

TEST(ResultsInPlace, NumberResultsStayNumbers) {
    // LENGTH, POS and WORDS give numbers, as their plain handlers do, even
    // over a value that held a long string.
    size_t n = 0;
    const Builtin* rows = builtin_rows(n);
    for (size_t i = 0; i < n; ++i) {
        std::string name = rows[i].name;
        if (name != "length" && name != "pos" && name != "words") continue;
        ASSERT_NE(rows[i].into, nullptr) << name;
        Lib f;
        RexxValue out(std::string(300, 'z'));
        std::vector<Arg> args =
            name == "pos" ? std::vector<Arg>{"o", kLong} : std::vector<Arg>{kLong};
        Outcome got = run(f, rows[i], args, &out);
        ASSERT_TRUE(got.ok) << name;
        EXPECT_TRUE(out.is_number_form()) << name;
        EXPECT_TRUE(out.known_number()) << name;
    }
}

TEST(ResultsInPlace, AShortResultLeavesTheLongBufferAsTheSpare) {
    size_t n = 0;
    const Builtin* row = nullptr;
    const Builtin* rows = builtin_rows(n);
    for (size_t i = 0; i < n; ++i)
        if (std::string(rows[i].name) == "substr") row = &rows[i];
    ASSERT_NE(row, nullptr);
    Lib f;
    RexxValue out(std::string(300, 'z'));
    ASSERT_EQ(f.in.spare.data, nullptr);
    Outcome got = run(f, *row, {kLong, "5", "11"}, &out);
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.text, "quick brown");
    EXPECT_NE(f.in.spare.data, nullptr);
    EXPECT_GE(f.in.spare.cap, 300u);
    // A long result takes it back.
    got = run(f, *row, {std::string(200, 'q'), "1", "150"}, &out);
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.text, std::string(150, 'q'));
    EXPECT_EQ(f.in.spare.data, nullptr);
}

} // namespace tolma::test
