// The built-in table, its name lookup by case mode, and the argument routines.
#include "harness.h"

namespace tolma::test {

TEST(BuiltinTable, HashEntersFirstByteTwice) {
    EXPECT_EQ(builtin_hash(""), 0u);
    // h = 'a'; then h = (h*31 + 'a') & 0x7FF.
    EXPECT_EQ(builtin_hash("a"), (97u * 31 + 97) & 0x7FF);
    EXPECT_EQ(builtin_hash("ab"), ((((97u * 31 + 97) & 0x7FF) * 31) + 98) & 0x7FF);
}

TEST(BuiltinTable, LookupFollowsNameCase) {
    std::string_view msg;
    EXPECT_NE(find_builtin("LENGTH", NameCase::NotSet, &msg), nullptr);
    EXPECT_EQ(msg, "LENGTH");
    EXPECT_NE(find_builtin("LENGTH", NameCase::Upper), nullptr);
    EXPECT_EQ(find_builtin("length", NameCase::Upper), nullptr);
    EXPECT_NE(find_builtin("length", NameCase::Lower), nullptr);
    EXPECT_EQ(find_builtin("LENGTH", NameCase::Lower), nullptr);
    // MIXED: names as spelt, standard functions in lower case.
    EXPECT_NE(find_builtin("length", NameCase::Mixed), nullptr);
    EXPECT_EQ(find_builtin("LENGTH", NameCase::Mixed), nullptr);
    EXPECT_EQ(find_builtin("Length", NameCase::Mixed), nullptr);
    EXPECT_EQ(find_builtin("LENGT", NameCase::Upper), nullptr);
    EXPECT_EQ(find_builtin("LENGTHS", NameCase::Upper), nullptr);
    EXPECT_EQ(find_builtin("", NameCase::Upper), nullptr);
}

TEST(BuiltinTable, EveryRowIsFoundUnderItsOwnName) {
    size_t n = 0;
    const Builtin* rows = builtin_rows(n);
    ASSERT_GT(n, 70u);
    for (size_t i = 0; i < n; ++i) {
        std::string upper = rows[i].name;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const Builtin* b = find_builtin(upper, NameCase::Upper);
        ASSERT_NE(b, nullptr) << rows[i].name;
        EXPECT_EQ(b->handler, rows[i].handler) << rows[i].name;
        EXPECT_EQ(find_builtin(rows[i].name, NameCase::Mixed)->handler, rows[i].handler);
    }
}

TEST(BuiltinTable, NamesAreUnique) {
    size_t n = 0;
    const Builtin* rows = builtin_rows(n);
    for (size_t i = 0; i < n; ++i)
        for (size_t k = i + 1; k < n; ++k)
            EXPECT_STRNE(rows[i].name, rows[k].name);
}

TEST(BuiltinTable, AliasesShareHandlers) {
    EXPECT_EQ(find_builtin("CENTER", NameCase::Upper)->handler,
              find_builtin("CENTRE", NameCase::Upper)->handler);
}

TEST(BuiltinTable, MissingFunctionsAreNotFound) {
    Lib f;
    // Functions that need the executor are not in the table yet.
    for (const char* name : {"ARG", "ADDRESS", "NOSUCH"})
        EXPECT_EQ(find_builtin(name, NameCase::Upper), nullptr) << name;
    EXPECT_EQ(f.call("NOSUCH", {}).error.code, 43);
}

TEST(ArgumentRoutines, OmittedDiffersFromEmpty) {
    Lib f;
    // SUBSTR('abc',,2): the omitted start counts as an argument and is missing.
    EXPECT_EQ(f.msg("SUBSTR", {"abc", omitted, "2"}), "SUBSTR(): argument 2 missing.");
    EXPECT_EQ(f.msg("SUBSTR", {"abc", "", "2"}), "SUBSTR(): argument 2 must be a whole number.");
    // An omitted pad is the default; an empty one is wrong.
    EXPECT_EQ(f("LEFT", {"ab", "4", omitted}), "ab  ");
    EXPECT_EQ(f.msg("LEFT", {"ab", "4", ""}),
              "LEFT(): the padding expression must be one character wide.");
}

// Omitted optional arguments take their defaults (results as Regina gives
// them).
TEST(ArgumentRoutines, OmittedArgumentsTakeDefaults) {
    Lib f;
    EXPECT_EQ(f("SUBSTR", {"abcdef", "2", omitted, "x"}), "bcdef");
    EXPECT_EQ(f("SUBSTR", {"abc", "2", omitted}), "bc");
    EXPECT_EQ(f("LEFT", {"abc", "2", omitted}), "ab");
    EXPECT_EQ(f("POS", {"b", "abc", omitted}), "2");
    EXPECT_EQ(f("OVERLAY", {"x", "abc", omitted, omitted, "-"}), "xbc");
    EXPECT_EQ(f("INSERT", {"x", "abc", omitted, "3"}), "x  abc");
    EXPECT_EQ(f("STRIP", {"  a  ", omitted, omitted}), "a");
    EXPECT_EQ(f("STRIP", {"xax", omitted, "x"}), "a");
    EXPECT_EQ(f("DELSTR", {"abcdef", "2", omitted}), "a");
    EXPECT_EQ(f("WORDPOS", {"a", "b a", omitted}), "2");
    EXPECT_EQ(f("SPACE", {" a  b ", omitted, "-"}), "a-b");
    EXPECT_EQ(f("COMPARE", {"a", "b", omitted}), "1");
    EXPECT_EQ(f("CENTER", {"a", "3", omitted}), " a ");
    EXPECT_EQ(f("JUSTIFY", {"a b", "5", omitted}), "a   b");
    EXPECT_EQ(f("BITAND", {"ab", omitted, " "}), "  ");
    EXPECT_EQ(f("BITOR", {"ab", omitted}), "ab");
    EXPECT_EQ(f("SUBWORD", {"a b c", "2", omitted}), "b c");
    EXPECT_EQ(f("DELWORD", {"a b c", "2", omitted}), "a ");
    EXPECT_EQ(f("COPIES", {"ab", "2"}), "abab");
    EXPECT_EQ(f("X2D", {"ff", omitted}), "255");
    EXPECT_EQ(f("C2D", {"a", omitted}), "97");
    EXPECT_EQ(f("D2X", {"10", omitted}), "A");
    EXPECT_EQ(f("FORMAT", {"1.5", omitted, omitted}), "1.5");
    EXPECT_EQ(f("TRUNC", {"1.5", omitted}), "1");
    EXPECT_EQ(f("MAX", {"1", "2"}), "2");
    EXPECT_EQ(f("ABBREV", {"abc", "a", omitted}), "1");
    EXPECT_EQ(f("LASTPOS", {"a", "aba", omitted}), "3");
    EXPECT_EQ(f("RIGHT", {"abc", "5", omitted}), "  abc");
    EXPECT_EQ(f("DATATYPE", {"12", omitted}), "NUM");
    EXPECT_EQ(f("CHANGESTR", {"a", "", "b"}), "");
    EXPECT_EQ(f("COUNTSTR", {"", ""}), "0");
    EXPECT_EQ(f("WORDINDEX", {"a b", "1"}), "1");
    EXPECT_EQ(f("TRANSLATE", {"abc", omitted, "abc"}), "   ");
    EXPECT_EQ(f("TRANSLATE", {"abc", "x", omitted}), "   ");
    // Regina crashes on these; the standard meaning is option N.
    EXPECT_EQ(f("VERIFY", {"abc", "a", omitted, omitted}), "2");
    EXPECT_EQ(f("VERIFY", {"abc", "a", omitted, "2"}), "2");
}

TEST(ArgumentRoutines, WholeNumberRoundsToNineDigits) {
    Lib f;
    EXPECT_EQ(f("LEFT", {"abc", "2.0000000001"}), "ab");
    EXPECT_EQ(f("LEFT", {"abc", " 2 "}), "ab");
    EXPECT_EQ(f("LEFT", {"abc", "2E0"}), "ab");
    EXPECT_EQ(f.msg("LEFT", {"abc", "2.5"}), "LEFT(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("LEFT", {"abc", "-1"}), "LEFT(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("LEFT", {"abc", "x"}), "LEFT(): argument 2 must be a whole number.");
    long long v = 0;
    EXPECT_EQ(whole_number(RexxValue("1.9999999999"), v), WholeTest::Ok);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(whole_number(RexxValue("1.99999"), v), WholeTest::NotWhole);
    EXPECT_EQ(whole_number(RexxValue("abc"), v), WholeTest::NotNumber);
    EXPECT_EQ(whole_number(RexxValue::number(-7, 0), v), WholeTest::Ok);
    EXPECT_EQ(v, -7);
}

TEST(ArgumentRoutines, WrongCallMovesTheErrorPosition) {
    Lib f;
    CallResult r = f.call("LEFT", {"abc", "-1"});
    EXPECT_EQ(r.error.code, 40);
    EXPECT_EQ(r.error.line, 7);
    EXPECT_EQ(r.error.column, 11);
    // A count error points at the first argument.
    EXPECT_EQ(f.blamed("LEFT", {"abc"}), 0);
    EXPECT_EQ(f.blamed("LEFT", {"abc", "1", " ", "4"}), 0);
    EXPECT_EQ(f.blamed("LEFT", {"abc", "1", "xx"}), 2);
    // Without argument positions the caller's position stays.
    f.in.pos.line = 3;
    f.in.pos.column = 5;
    RexxValue v("abc");
    const RexxValue* slots[] = {&v};
    RexxValue out;
    try {
        call_builtin(f.in, f.lib, "LEFT", slots, 1, nullptr, out);
        FAIL();
    } catch (const RexxError& e) {
        EXPECT_EQ(e.line, 3);
        EXPECT_EQ(e.column, 5);
        EXPECT_EQ(e.detail, "LEFT(): must receive 2 or 3 arguments.");
    }
}

TEST(ArgumentRoutines, NumbersAreFormattedAsText) {
    Lib f;
    RexxValue n = RexxValue::number(1.5, 2);
    const RexxValue* slots[] = {&n};
    RexxValue out;
    ASSERT_TRUE(call_builtin(f.in, f.lib, "LENGTH", slots, 1, nullptr, out));
    EXPECT_EQ(out.text(f.in.numeric), "4"); // "1.50"
}

TEST(ArgumentRoutines, SymbolTest) {
    EXPECT_TRUE(is_rexx_symbol("abc.def"));
    EXPECT_TRUE(is_rexx_symbol("A_1!?#$@"));
    EXPECT_FALSE(is_rexx_symbol(""));
    EXPECT_FALSE(is_rexx_symbol("a b"));
    EXPECT_FALSE(is_rexx_symbol("a-b"));
}

} // namespace tolma::test

namespace tolma::test {

// The executor's road: the row resolved once, then called many times.
TEST(BuiltinTable, InvokeAResolvedRow) {
    Lib f;
    std::string_view msg;
    const Builtin* row = find_builtin("substr", NameCase::Lower, &msg);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(msg, "SUBSTR");
    RexxValue s("hello"), start = RexxValue::number(2, 0), bad("x");
    const RexxValue* slots[] = {&s, &start};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(invoke_builtin(f.in, f.lib, *row, msg, slots, 2, nullptr).text(f.in.numeric),
                  "ello");
    const RexxValue* wrong[] = {&s, &bad};
    ArgPos pos[] = {{4, 8}, {4, 12}};
    try {
        invoke_builtin(f.in, f.lib, *row, msg, wrong, 2, pos);
        FAIL();
    } catch (const RexxError& e) {
        EXPECT_EQ(e.code, 40);
        EXPECT_EQ(e.detail, "SUBSTR(): argument 2 must be a whole number.");
        EXPECT_EQ(e.line, 4);
        EXPECT_EQ(e.column, 12);
    }
}

} // namespace tolma::test
