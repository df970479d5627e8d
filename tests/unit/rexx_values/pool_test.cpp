// The variable pool: symbols, stems and compounds, exposure, DROP, the
// NOVALUE condition, "Show" and labels.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "harness.h"
#include "rexx/core/pool.h"

using namespace tolma;
using tolma_test::Captured;
using tolma_test::catch_error;

namespace {

struct PoolTest : ::testing::Test {
    Captured c;
    Interp& in = c.in;

    SymbolRef sym(const char* text) { return analyse_symbol(text, in.case_mode); }
    void set(const char* name, const char* value) { set_value(in, sym(name), RexxValue(value)); }
    std::string get(const char* name) {
        return std::string(get_value(in, sym(name)).text(in.numeric));
    }
    bool has(const char* name) { return find_value(in, sym(name)) != nullptr; }
};

TEST(SymbolAnalysis, KindsNamesAndTails) {
    SymbolRef s = analyse_symbol("abc", NameCase::NotSet);
    EXPECT_EQ(s.kind, SymbolKind::Simple);
    EXPECT_EQ(s.base.name, "ABC");
    EXPECT_EQ(s.base.hash, name_hash("ABC"));

    s = analyse_symbol("a.", NameCase::Upper);
    EXPECT_EQ(s.kind, SymbolKind::Stem);
    EXPECT_EQ(s.base.name, "A.");

    s = analyse_symbol("a.i.3..j", NameCase::Lower);
    EXPECT_EQ(s.kind, SymbolKind::Compound);
    EXPECT_EQ(s.text, "a.i.3..j");
    EXPECT_EQ(s.base.name, "a.");
    ASSERT_EQ(s.tails.size(), 4u);
    EXPECT_EQ(s.tails[0].var.name, "i");
    EXPECT_FALSE(s.tails[0].constant);
    EXPECT_EQ(s.tails[1].var.name, "3");
    EXPECT_TRUE(s.tails[1].constant);
    EXPECT_EQ(s.tails[2].var.name, "");
    EXPECT_TRUE(s.tails[2].constant);
    EXPECT_EQ(s.tails[3].var.name, "j");

    EXPECT_EQ(analyse_symbol(".abc", NameCase::NotSet).kind, SymbolKind::Invalid);
    EXPECT_EQ(analyse_symbol("3x", NameCase::NotSet).kind, SymbolKind::Invalid);
    EXPECT_EQ(analyse_symbol("MiXed", NameCase::Mixed).base.name, "MiXed");
}

TEST(ShowHash, IsTheBucketHash) {
    EXPECT_EQ(show_hash("A"), 2015u);
    EXPECT_EQ(show_hash("A+"), 39222u);
    EXPECT_EQ(show_hash("A.1"), 40636u);
    EXPECT_EQ(show_hash("LONGNAME"), 36313u);
    EXPECT_LT(show_hash(std::string(300, '\xff')), 40960u);
}

// Plain digits hash by value, below kTextHash; every other name at or above.
TEST(NameHash, DigitsAndTextApart) {
    EXPECT_EQ(name_hash("0"), digits_hash(0));
    EXPECT_EQ(name_hash("5"), digits_hash(5));
    EXPECT_EQ(name_hash("123456789012345678"), digits_hash(123456789012345678ULL));
    EXPECT_LT(name_hash("123456789012345678"), kTextHash);
    for (const char* text :
         {"", "007", "00", "1234567890123456789", "1E3", "-5", "5 ", " 5", "5.0", "X", "ABC", "a"})
        EXPECT_GE(name_hash(text), kTextHash) << text;
    EXPECT_NE(name_hash("A"), name_hash("a"));
}

// Names one byte apart, of every length around the word-sized reads, and
// names that differ only in trailing zero bytes hash apart.
TEST(NameHash, NearNamesDiffer) {
    std::set<uint64_t> seen;
    size_t made = 0;
    for (size_t n = 0; n <= 40; ++n) {
        std::string base(n, 'a');
        seen.insert(name_hash(base));
        ++made;
        for (size_t i = 0; i < n; ++i) {
            std::string t = base;
            t[i] = 'b';
            seen.insert(name_hash(t));
            t[i] = '\t';
            seen.insert(name_hash(t));
            made += 2;
        }
        std::string zeros(n, '\0');
        seen.insert(name_hash(zeros));
        ++made;
    }
    EXPECT_EQ(seen.size(), made - 1); // "" is both the empty run of 'a' and of zeros
}

// A record named "0" has hash 0, the hash of an empty slot.
TEST(VarTableTest, WholeAndTextNames) {
    VarTable t;
    std::vector<std::unique_ptr<Variable>> recs;
    auto add = [&](const std::string& name) {
        recs.push_back(std::make_unique<Variable>());
        recs.back()->name.assign(name);
        t.insert(recs.back().get(), name_hash(name));
        return recs.back().get();
    };
    EXPECT_EQ(t.find("0", name_hash("0")), nullptr);
    EXPECT_EQ(t.find_whole(digits_hash(0)), nullptr);
    Variable* x = add("X");
    EXPECT_EQ(t.find_whole(digits_hash(0)), nullptr);
    Variable* zero = add("0");
    EXPECT_EQ(t.find_whole(digits_hash(0)), zero);
    EXPECT_EQ(t.find("0", name_hash("0")), zero);
    EXPECT_EQ(t.find("X", name_hash("X")), x);
    EXPECT_EQ(t.find("00", name_hash("00")), nullptr);
    // Enough to grow both tables several times.
    for (int i = 1; i < 2000; ++i) {
        add(std::to_string(i));
        add("K" + std::to_string(i));
    }
    EXPECT_EQ(t.size(), 4000u);
    for (int i = 1; i < 2000; ++i) {
        std::string d = std::to_string(i), k = "K" + d;
        ASSERT_NE(t.find_whole(digits_hash(i)), nullptr);
        EXPECT_EQ(t.find_whole(digits_hash(i))->name.str(), d);
        ASSERT_NE(t.find(k, name_hash(k)), nullptr);
        EXPECT_EQ(t.find(k, name_hash(k))->name.str(), k);
    }
    EXPECT_EQ(t.find_whole(digits_hash(2000)), nullptr);
    EXPECT_EQ(t.find("K2000", name_hash("K2000")), nullptr);
    size_t seen = 0;
    t.each([&](Variable*) { ++seen; });
    EXPECT_EQ(seen, 4000u);
}

// One symbol used again and again keeps what it found; a tail variable
// that had no record must still be seen once it gets one, in any way.
TEST_F(PoolTest, TailVariableThatAppearsLater) {
    SymbolRef cx = sym("c.x");
    auto text = [&](const SymbolRef& s) { return std::string(get_value(in, s).text(in.numeric)); };
    set_value(in, cx, RexxValue("by name"));
    EXPECT_EQ(text(cx), "by name");
    EXPECT_EQ(text(cx), "by name");
    set_var(in, "X", "7");
    EXPECT_EQ(text(cx), "C.7");
    set_value(in, cx, RexxValue("seven"));
    EXPECT_EQ(get("c.7"), "seven");
    drop_symbol(in, sym("x"));
    EXPECT_EQ(text(cx), "by name");
    // Inside a procedure the caller's variable is not the tail...
    new_generation(in);
    EXPECT_EQ(text(cx), "C.X");
    set_value(in, cx, RexxValue("local"));
    EXPECT_EQ(text(cx), "local");
    // ...until it is exposed.
    set_var(in, "Y", "unrelated");
    EXPECT_EQ(text(cx), "local");
    release_generation(in);
    set_var(in, "X", "7");
    new_generation(in);
    expose(in, sym("x"));
    EXPECT_EQ(text(cx), "C.7");
    release_generation(in);
}

TEST_F(PoolTest, SimpleVariables) {
    EXPECT_FALSE(has("x"));
    EXPECT_EQ(get("x"), "X"); // no value: the name itself, folded
    set("x", "hello");
    EXPECT_EQ(get("X"), "hello");
    set("x", std::string(200, 'w').c_str());
    EXPECT_EQ(get("x"), std::string(200, 'w'));
    drop_symbol(in, sym("x"));
    EXPECT_FALSE(has("x"));
    set("x", "again"); // a dropped record takes a value again
    EXPECT_EQ(get("x"), "again");
}

TEST_F(PoolTest, CaseModes) {
    set("abc", "1");
    EXPECT_EQ(get("ABC"), "1"); // one variable in the default mode
    in.case_mode = NameCase::Mixed;
    set("abc", "lower");
    set("ABC", "upper");
    EXPECT_EQ(get("abc"), "lower");
    EXPECT_EQ(get("ABC"), "upper");
    EXPECT_EQ(get("Abc"), "Abc");
    in.case_mode = NameCase::Lower;
    EXPECT_EQ(get("ABC"), "lower");
}

TEST_F(PoolTest, StemDefaultAndDrop) {
    set("a.", "0");
    EXPECT_EQ(get("a.7"), "0");
    EXPECT_EQ(get("a.x"), "0"); // X unset: the tail is "X"
    set("a.7", "seven");
    EXPECT_EQ(get("a.7"), "seven");
    set("a.", "new"); // every compound now yields the new default
    EXPECT_EQ(get("a.7"), "new");
    drop_symbol(in, sym("a."));
    EXPECT_EQ(get("a.7"), "A.7");
    EXPECT_EQ(get("a."), "A.");
}

TEST_F(PoolTest, TailsAreSubstituted) {
    set("i", "3");
    set("a.i", "x");
    EXPECT_EQ(get("a.3"), "x");
    set("j", "K");
    set("b.i.j", "deep");
    EXPECT_EQ(get("b.3.k"), "deep");
    EXPECT_EQ(get("b.i.j"), "deep");
    EXPECT_EQ(get("b.i.q"), "B.3.Q"); // the derived name, Q unset
    set("c..i", "empty part");
    EXPECT_EQ(get("c..3"), "empty part");
    // A tail value holding a "." is used as written.
    set("p", "1.2");
    set("d.p", "dotted");
    EXPECT_EQ(get("d.1.2"), "dotted");
    // A number's tail is its text.
    set_value(in, sym("n"), eval_arith(in, ArithOp::Add, RexxValue("1"), RexxValue("2")));
    set("e.n", "three");
    EXPECT_EQ(get("e.3"), "three");
    set_value(in, sym("m"), eval_arith(in, ArithOp::Mul, RexxValue("1.50"), RexxValue("2")));
    set("e.m", "3.00 tail");
    EXPECT_EQ(get("e.3"), "three");
    EXPECT_EQ(derived_name(in, sym("e.m")), "E.3.00");
}

TEST_F(PoolTest, DropOfOneCompoundFallsBackToTheDefault) {
    set("a.", "def");
    set("a.1", "one");
    drop_symbol(in, sym("a.1"));
    EXPECT_EQ(get("a.1"), "def");
    drop_symbol(in, sym("a."));
    EXPECT_EQ(get("a.1"), "A.1");
}

TEST_F(PoolTest, StemAndSimpleVariableOfTheSameNameAreApart) {
    set("a", "simple");
    set("a.", "stem");
    EXPECT_EQ(get("a"), "simple");
    EXPECT_EQ(get("a.b"), "stem");
}

TEST_F(PoolTest, InvalidNamesAreErrorThirtyOne) {
    EXPECT_EQ(catch_error([&] { get(".abc"); }).code, 31);
    EXPECT_EQ(catch_error([&] { set(".abc", "1"); }).code, 31);
    EXPECT_EQ(catch_error([&] { drop_symbol(in, sym("1abc")); }).code, 31);
    EXPECT_EQ(std::string(error_message(31)), "Name starts with number or dot.");
}

TEST_F(PoolTest, ProcedureExposeSharesOnlyTheNamedVariables) {
    set("x", "caller x");
    set("y", "caller y");
    new_generation(in);
    expose(in, sym("x"));
    EXPECT_EQ(get("x"), "caller x");
    EXPECT_EQ(get("y"), "Y");
    set("x", "changed");
    set("y", "local y");
    release_generation(in);
    EXPECT_EQ(get("x"), "changed");
    EXPECT_EQ(get("y"), "caller y");
}

TEST_F(PoolTest, ExposeOfAVariableTheCallerNeverSet) {
    new_generation(in);
    expose(in, sym("fresh"));
    set("fresh", "made in routine");
    release_generation(in);
    EXPECT_EQ(get("fresh"), "made in routine");
}

TEST_F(PoolTest, DropOfAnExposedVariableDropsTheCallers) {
    set("x", "1");
    new_generation(in);
    expose(in, sym("x"));
    drop_symbol(in, sym("x"));
    EXPECT_FALSE(has("x"));
    set("x", "2"); // still exposed: the caller's variable takes the value
    drop_symbol(in, sym("x"));
    release_generation(in);
    EXPECT_FALSE(has("x"));
}

TEST_F(PoolTest, ExposureThroughTwoLevels) {
    set("z", "top");
    new_generation(in);
    expose(in, sym("z"));
    new_generation(in);
    expose(in, sym("z"));
    EXPECT_EQ(get("z"), "top");
    set("z", "bottom");
    release_generation(in);
    release_generation(in);
    EXPECT_EQ(get("z"), "bottom");
}

TEST_F(PoolTest, ExposedStemSharesEveryCompound) {
    set("a.1", "one");
    new_generation(in);
    expose(in, sym("a."));
    EXPECT_EQ(get("a.1"), "one");
    set("a.2", "two");
    set("i", "1");
    set("a.i", "ONE"); // I is local to the routine
    release_generation(in);
    EXPECT_EQ(get("a.2"), "two");
    EXPECT_EQ(get("a.1"), "ONE");
    EXPECT_FALSE(has("i"));
    new_generation(in);
    expose(in, sym("a."));
    set("a.", "reset"); // the caller's stem: default set, compounds dropped
    release_generation(in);
    EXPECT_EQ(get("a.1"), "reset");
    EXPECT_EQ(get("a.99"), "reset");
}

TEST_F(PoolTest, ExposedCompoundAlone) {
    set("a.1", "one");
    set("a.2", "two");
    new_generation(in);
    expose(in, sym("a.1"));
    EXPECT_EQ(get("a.1"), "one");
    EXPECT_EQ(get("a.2"), "A.2");
    set("a.1", "uno");
    set("a.2", "local");
    release_generation(in);
    EXPECT_EQ(get("a.1"), "uno");
    EXPECT_EQ(get("a.2"), "two");
}

TEST_F(PoolTest, DropList) {
    set("a", "1");
    set("b", "2");
    set("c.1", "3");
    drop_list(in, " a\tc.1  b ");
    EXPECT_FALSE(has("a"));
    EXPECT_FALSE(has("b"));
    EXPECT_FALSE(has("c.1"));
    EXPECT_EQ(catch_error([&] { drop_list(in, "ok .bad"); }).code, 31);
}

TEST_F(PoolTest, ExposeList) {
    set("p", "1");
    set("q", "2");
    new_generation(in);
    expose_list(in, "p q");
    set("p", "10");
    set("q", "20");
    release_generation(in);
    EXPECT_EQ(get("p"), "10");
    EXPECT_EQ(get("q"), "20");
}

TEST_F(PoolTest, ByNameForms) {
    set_var(in, "RC", "0");
    EXPECT_EQ(get("rc"), "0");
    set_var(in, "X.1", RexxValue::number(5, 0));
    EXPECT_EQ(get("x.1"), "5");
    ASSERT_NE(get_var(in, "X.1"), nullptr);
    EXPECT_EQ(get_var(in, "x.1"), nullptr); // spelt as given, no folding
    set("k", "1");
    EXPECT_EQ(get_var(in, "X.K")->text(in.numeric), "5"); // tails are substituted
    drop_var(in, "X.1");
    EXPECT_EQ(get_var(in, "X.1"), nullptr);
}

TEST_F(PoolTest, CachedRecordsSurviveGenerationReuse) {
    SymbolRef v = sym("v");
    set_value(in, v, RexxValue("outer"));
    for (int round = 0; round < 5; ++round) {
        new_generation(in);
        EXPECT_EQ(find_value(in, v), nullptr) << round; // a fresh generation
        set_value(in, v, RexxValue("inner"));
        EXPECT_EQ(get_value(in, v).str(), "inner");
        release_generation(in);
        EXPECT_EQ(get_value(in, v).str(), "outer");
    }
}

TEST_F(PoolTest, ManyVariables) {
    for (int i = 0; i < 20000; ++i) {
        std::string n = "V" + std::to_string(i);
        set_var(in, n, RexxValue::number(i, 0));
        set_var(in, "S." + std::to_string(i), RexxValue::number(-i, 0));
    }
    for (int i = 0; i < 20000; i += 997) {
        EXPECT_EQ(get_var(in, "V" + std::to_string(i))->num(), i);
        EXPECT_EQ(get_var(in, "S." + std::to_string(i))->num(), -i);
    }
}

TEST_F(PoolTest, NovalueWithSignalOnTransfers) {
    set_trap(in, Condition::Novalue, TrapMode::Signal);
    in.pool.labels.add("novalue", false, in.case_mode, nullptr, 9, false);
    in.pos.line = 4;
    try {
        get("missing");
        FAIL() << "no transfer";
    } catch (const SignalTransfer& t) {
        EXPECT_EQ(t.label, "NOVALUE");
    }
    EXPECT_EQ(c.out, "\ntolma: variable \"MISSING\" (line 4) is uninitialized.\n\n");
    EXPECT_EQ(in.traps[Condition::Novalue].mode, TrapMode::Off); // fires once
    EXPECT_EQ(in.condition.code, static_cast<int>(Condition::Novalue));
    EXPECT_EQ(in.condition.description, "MISSING");
    EXPECT_EQ(get("sigl"), "4");
    EXPECT_EQ(get("missing"), "MISSING"); // trap is off now
}

TEST_F(PoolTest, NovalueWithoutItsLabelIsErrorSeventyOne) {
    set_trap(in, Condition::Novalue, TrapMode::Signal, "handler");
    in.pos.line = 2;
    RexxError e = catch_error([&] { get("a.b"); });
    EXPECT_EQ(e.code, 71);
    EXPECT_EQ(e.detail, "\ntolma: variable \"A.B\" (line 2) is uninitialized.\n\n");
}

TEST_F(PoolTest, NovalueWithCallOnRunsTheHandlerOnce) {
    set_trap(in, Condition::Novalue, TrapMode::Call);
    in.condition.code = static_cast<int>(Condition::Error);
    in.condition.description = "earlier";
    std::vector<std::string> calls;
    in.call_handler = [&](Interp& i, const std::string& label) {
        calls.push_back(label + ":" + i.condition.description);
        EXPECT_TRUE(i.traps[Condition::Novalue].busy);
        // A novalue inside the handler does not fire again.
        EXPECT_EQ(get("inner"), "INNER");
    };
    EXPECT_EQ(get("outer"), "OUTER");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "NOVALUE:OUTER");
    EXPECT_FALSE(in.traps[Condition::Novalue].busy);
    EXPECT_EQ(in.traps[Condition::Novalue].mode, TrapMode::Call); // CALL ON stays on
    EXPECT_EQ(in.condition.description, "earlier");               // restored
    EXPECT_EQ(get("x"), "X");
    EXPECT_EQ(calls.size(), 2u);
    // Names made only of digits never raise it.
    EXPECT_EQ(get("a.1"), "A.1");
    EXPECT_EQ(calls.size(), 3u); // "A.1" has letters: it does
    novalue_condition(in, "123");
    EXPECT_EQ(calls.size(), 3u);
}

TEST_F(PoolTest, ShowDumpsInBucketOrder) {
    set("b", "2");
    set("a", "1");
    set("c", "3");
    drop_symbol(in, sym("c"));
    set("a.", "def");
    set("a.1", "one");
    show_pool(in);
    EXPECT_EQ(c.out, "\n.......... show: level 0\n\n"
                     "\"A\" = \"1\"\n"
                     "\"B\" = \"2\"\n"
                     "\"C\" is DROPPED\n"
                     "\"A+\" = \"def\"\n"
                     "\"A.1\" = \"one\"\n");
    c.out.clear();
    new_generation(in);
    expose(in, sym("b"));
    set("x", "local");
    show_pool(in);
    EXPECT_EQ(c.out, "\n.......... show: level 1\n\n"
                     "\"B\" is EXPOSED\n"
                     "\"X\" = \"local\"\n");
}

TEST(Labels, FoldingAndFirstDefinition) {
    LabelTable t;
    int first = 1, second = 2;
    t.add("Start", false, NameCase::NotSet, &first, 3, false);
    t.add("START", false, NameCase::NotSet, &second, 8, true);
    t.add("quoted", true, NameCase::NotSet, &second, 9, false);
    ASSERT_NE(t.find("START"), nullptr);
    EXPECT_EQ(t.find("START")->clause, &first);
    EXPECT_EQ(t.find("START")->line, 3);
    EXPECT_FALSE(t.find("START")->nested);
    EXPECT_EQ(t.find("Start"), nullptr);
    EXPECT_NE(t.find("quoted"), nullptr);
    EXPECT_EQ(t.find("QUOTED"), nullptr);
    t.add("inner", false, NameCase::Lower, &first, 4, true);
    EXPECT_TRUE(t.find("inner")->nested);
}

} // namespace

namespace {

TEST(PoolNames, UnsetStemAndLowerCaseSpelling) {
    Captured c;
    EXPECT_EQ(get_value(c.in, analyse_symbol("a.", c.in.case_mode)).str(), "A.");
    c.in.case_mode = NameCase::Lower;
    EXPECT_EQ(get_value(c.in, analyse_symbol("Abc.Def", c.in.case_mode)).str(), "abc.def");
    c.in.case_mode = NameCase::Mixed;
    EXPECT_EQ(get_value(c.in, analyse_symbol("Abc.Def", c.in.case_mode)).str(), "Abc.Def");
}

} // namespace

namespace {

// A whole-number tail is looked up by value; it must meet the same records
// as its written digits.
TEST_F(PoolTest, NumberTailsMeetTheirDigits) {
    auto num = [&](const char* a, ArithOp op, const char* b) {
        return eval_arith(in, op, RexxValue(a), RexxValue(b));
    };
    set_value(in, sym("i"), num("2", ArithOp::Add, "3")); // the number 5
    set("a.i", "by value");
    EXPECT_EQ(get("a.5"), "by value");
    set("j", "5");
    EXPECT_EQ(get("a.j"), "by value");
    set("j", "05");
    EXPECT_EQ(get("a.j"), "A.05"); // a string keeps its spelling
    set("a.7", "by text");
    set_value(in, sym("i"), num("3", ArithOp::Add, "4"));
    EXPECT_EQ(get("a.i"), "by text");
    set_value(in, sym("i"), num("2.50", ArithOp::Mul, "2")); // written 5.00
    EXPECT_EQ(get("a.i"), "A.5.00");
    set_value(in, sym("i"), num("0", ArithOp::Sub, "0"));
    set("a.0", "zero");
    EXPECT_EQ(get("a.i"), "zero");
    set_value(in, sym("i"), num("0", ArithOp::Sub, "7")); // negative: "-7"
    set("a.i", "minus");
    EXPECT_EQ(get("a.-7"), "minus");
    // At DIGITS 5 the number 123456 is written 1.2346E+5, and so is its tail.
    in.numeric.digits = 5;
    set_value(in, sym("i"), num("123456", ArithOp::Add, "0"));
    set("b.i", "big");
    EXPECT_EQ(derived_name(in, sym("b.i")), "B.1.2346E+5");
    in.numeric.digits = 9;
    set_value(in, sym("k"), num("123456", ArithOp::Add, "0"));
    EXPECT_EQ(get("b.k"), "B.123456");
    // Drop through the value path.
    set_value(in, sym("i"), num("2", ArithOp::Add, "3"));
    drop_symbol(in, sym("a.i"));
    EXPECT_EQ(get("a.5"), "A.5");
    for (int n = 0; n < 3000; ++n) {
        set_value(in, sym("i"), RexxValue::number(n, 0));
        set_value(in, sym("c.i"), RexxValue::number(n * 2, 0));
    }
    EXPECT_EQ(get("c.2999"), "5998");
    EXPECT_EQ(get("c.1024"), "2048");
}

} // namespace

// ---------------------------------------------------------------- generation reuse

TEST_F(PoolTest, AReusedGenerationStartsEmpty) {
    set("keep", "caller");
    SymbolRef local = sym("local");
    for (int round = 0; round < 3; ++round) {
        new_generation(in);
        // Nothing of an earlier procedure shows through, not even through
        // a symbol that remembers the record it found there.
        EXPECT_FALSE(find_value(in, local)) << round;
        EXPECT_FALSE(has("keep")) << round;
        EXPECT_FALSE(has("s.1")) << round;
        set_value(in, local, RexxValue("round " + std::to_string(round)));
        set("s.1", "stem element");
        set("s.name", "named element");
        // Enough names for the table to outgrow the room a reused one keeps.
        int count = round == 1 ? 200 : 5;
        for (int i = 0; i < count; ++i)
            set(("v" + std::to_string(i)).c_str(), "x");
        EXPECT_EQ(get("v4"), "x");
        EXPECT_EQ(get_value(in, local).text(in.numeric), "round " + std::to_string(round));
        release_generation(in);
        EXPECT_EQ(get("keep"), "caller");
        EXPECT_FALSE(has("local"));
        EXPECT_FALSE(has("v4"));
    }
}

TEST_F(PoolTest, ExposureInAReusedGeneration) {
    set("shared", "1");
    for (int round = 0; round < 3; ++round) {
        new_generation(in);
        if (round != 1) expose(in, sym("shared"));
        set("shared", std::to_string(round + 10).c_str());
        release_generation(in);
    }
    // Rounds 0 and 2 wrote through to the caller; round 1 had its own.
    EXPECT_EQ(get("shared"), "12");
}

TEST(VarTableReuse, ClearedTablesFindNothingAndFillAgain) {
    for (size_t keep : {size_t{0}, size_t{64}}) {
        VarTable t;
        std::vector<std::unique_ptr<Variable>> records;
        auto add = [&](const std::string& name) {
            records.push_back(std::make_unique<Variable>());
            Variable* v = records.back().get();
            v->name.assign(name);
            t.insert(v, name_hash(name));
            return v;
        };
        for (int i = 0; i < 10; ++i)
            add("N" + std::to_string(i));
        add("7");
        EXPECT_EQ(t.size(), 11u);
        t.clear(keep);
        EXPECT_EQ(t.size(), 0u);
        EXPECT_EQ(t.find("N3", name_hash("N3")), nullptr);
        EXPECT_EQ(t.find("7", name_hash("7")), nullptr);
        Variable* again = add("N3");
        EXPECT_EQ(t.find("N3", name_hash("N3")), again);
        EXPECT_EQ(t.find("N4", name_hash("N4")), nullptr);
        for (int i = 0; i < 40; ++i)
            add("M" + std::to_string(i));
        EXPECT_EQ(t.size(), 41u);
        EXPECT_NE(t.find("M39", name_hash("M39")), nullptr);
    }
}
