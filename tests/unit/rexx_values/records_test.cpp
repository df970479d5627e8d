// Variable records and their memory: record names, the chunks records live
// in, the slot tables, and the large zeroed blocks they come from.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "platform/memory.h"
#include "rexx/core/pool.h"

using namespace tolma;
using tolma_test::Captured;

namespace {

TEST(VarNameTest, InlineHeapAndWhole) {
    VarName n;
    EXPECT_EQ(n.text(), "");
    EXPECT_FALSE(n.is_whole());
    for (size_t len : {1u, 7u, 14u, 15u, 16u, 17u, 40u, 300u}) {
        std::string text(len, 'x');
        text[0] = 'A';
        text[len - 1] = 'Z';
        n.assign(text);
        EXPECT_EQ(n.text(), text) << len;
        EXPECT_EQ(n.str(), text) << len;
    }
    // Back from the heap to inline, and to a number: nothing of the long
    // name shows through.
    n.assign("ABC.");
    EXPECT_EQ(n.str(), "ABC.");
    n.assign(std::string(20, 'q'));
    n.set_whole(0);
    EXPECT_TRUE(n.is_whole());
    EXPECT_EQ(n.str(), "0");
    n.set_whole(999999999999999999ULL);
    EXPECT_EQ(n.str(), "999999999999999999");
    n.set_whole(1000);
    std::string out = "A.";
    n.append_to(out);
    EXPECT_EQ(out, "A.1000");
    n.assign("");
    EXPECT_FALSE(n.is_whole());
    EXPECT_EQ(n.text(), "");
    // Bytes that are not letters are kept as they are, zeros too.
    std::string odd("a\0b\xff", 4);
    n.assign(odd);
    EXPECT_EQ(n.text(), odd);
}

TEST(VariableTest, RecordIsSmall) {
    // A compound's record: header, link, name and value.
    EXPECT_LE(sizeof(Variable), 32 + sizeof(RexxValue));
}

TEST(ZeroedBlocks, ZeroedWritableAndAligned) {
    const size_t small = 3 * 4096 + 5;
    auto* a = static_cast<unsigned char*>(voren::platform::map_zeroed_block(small));
    ASSERT_NE(a, nullptr);
    for (size_t i = 0; i < small; ++i)
        ASSERT_EQ(a[i], 0) << i;
    a[0] = 1;
    a[small - 1] = 2;
    voren::platform::unmap_block(a, small);

    const size_t huge = 2 * voren::platform::kHugePageSize;
    auto* b = static_cast<unsigned char*>(voren::platform::map_zeroed_block(huge));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % voren::platform::kHugePageSize, 0u);
    for (size_t i = 0; i < huge; i += 4093)
        ASSERT_EQ(b[i], 0) << i;
    b[0] = 1;
    b[huge - 1] = 2;
    EXPECT_EQ(b[huge - 1], 2);
    voren::platform::unmap_block(b, huge);
}

struct NumberedTable {
    VarTable t;
    std::vector<std::unique_ptr<Variable>> recs;
    Variable* add(uint64_t n) {
        recs.push_back(std::make_unique<Variable>());
        recs.back()->name.set_whole(n);
        t.insert(recs.back().get(), digits_hash(n));
        return recs.back().get();
    }
    bool all_found() {
        for (const auto& r : recs) {
            uint64_t n = std::stoull(r->name.str());
            if (t.find_whole(digits_hash(n)) != r.get()) return false;
        }
        return true;
    }
};

// A run of numbers stays in a run of slots.
TEST(NumberedNames, OneRunKeepsThePlainPlacing) {
    NumberedTable nt;
    for (uint64_t n = 1; n <= 30000; ++n)
        nt.add(n);
    for (uint64_t n = 40000; n < 45000; n += 7)
        nt.add(n);
    EXPECT_FALSE(nt.t.scrambled());
    EXPECT_TRUE(nt.all_found());
    EXPECT_EQ(nt.t.find_whole(digits_hash(30001)), nullptr);
}

// A second run whose plain placing falls on the first: its first insertion
// that walks far scrambles the table, and every name is still found.
TEST(NumberedNames, RunsThatMeetAreScrambled) {
    NumberedTable nt;
    for (uint64_t n = 1; n <= 30000; ++n)
        nt.add(n);
    const uint64_t far = uint64_t{1} << 20;
    for (uint64_t n = far; n < far + 30000; ++n)
        nt.add(n);
    EXPECT_TRUE(nt.t.scrambled());
    EXPECT_EQ(nt.t.size(), 60000u);
    EXPECT_TRUE(nt.all_found());
    EXPECT_EQ(nt.t.find_whole(digits_hash(far + 30000)), nullptr);
    EXPECT_EQ(nt.t.find_whole(digits_hash(30001)), nullptr);
    nt.t.clear();
    EXPECT_FALSE(nt.t.scrambled());
    EXPECT_EQ(nt.t.find_whole(digits_hash(1)), nullptr);
}

// A lookup alone (of a name that is not there) scrambles too.
TEST(NumberedNames, FarLookupScrambles) {
    NumberedTable nt;
    for (uint64_t n = 1; n <= 30000; ++n)
        nt.add(n);
    EXPECT_FALSE(nt.t.scrambled());
    EXPECT_EQ(nt.t.find_whole(digits_hash((uint64_t{1} << 20) + 100)), nullptr);
    EXPECT_TRUE(nt.t.scrambled());
    EXPECT_TRUE(nt.all_found());
    nt.add(30001);
    EXPECT_TRUE(nt.all_found());
}

struct RecordsTest : ::testing::Test {
    Captured c;
    Interp& in = c.in;
    SymbolRef sym(const std::string& text) { return analyse_symbol(text, in.case_mode); }
    std::string get(const std::string& name) {
        return std::string(get_value(in, sym(name)).text(in.numeric));
    }
};

// Enough records to fill the heap chunks and several system blocks, and a
// table big enough for its slots to come from the system: every record
// stays where it was made, with its value.
TEST_F(RecordsTest, ManyCompoundsAcrossChunks) {
    const int n = 150000;
    SymbolRef element = sym("a.i"), index = sym("i");
    std::vector<const RexxValue*> where;
    for (int i = 1; i <= n; ++i) {
        set_value(in, index, RexxValue::number(i, 0));
        set_value(in, element, RexxValue::number(i * 3, 0));
        where.push_back(find_value(in, element));
    }
    set_value(in, sym("k"), RexxValue("X1"));
    set_value(in, sym("a.k"), RexxValue("text"));
    for (int i = 1; i <= n; i += 1237) {
        set_value(in, index, RexxValue::number(i, 0));
        const RexxValue* v = find_value(in, element);
        ASSERT_EQ(v, where[i - 1]) << i;
        EXPECT_EQ(v->num(), i * 3.0);
    }
    EXPECT_EQ(get("a.150000"), "450000");
    EXPECT_EQ(get("a.x1"), "text");
    EXPECT_EQ(get("a.150001"), "A.150001");
}

// The same in a routine's generation, released and made again: the records
// of the first call are gone, the second starts empty.
TEST_F(RecordsTest, BigGenerationReleasedAndReused) {
    for (int round = 0; round < 2; ++round) {
        new_generation(in);
        EXPECT_EQ(find_value(in, sym("b.7")), nullptr);
        SymbolRef element = sym("b.j"), index = sym("j");
        for (int j = 0; j < 40000; ++j) {
            set_value(in, index, RexxValue::number(j, 0));
            set_value(in, element, RexxValue(std::string(50, char('a' + round))));
        }
        EXPECT_EQ(get("b.39999"), std::string(50, char('a' + round)));
        release_generation(in);
    }
    EXPECT_EQ(find_value(in, sym("b.7")), nullptr);
}

// A stem keeps its table of compounds when it is dropped or assigned.
TEST_F(RecordsTest, StemKeepsItsTableWhenDropped) {
    set_value(in, sym("s.1"), RexxValue("one"));
    drop_symbol(in, sym("s."));
    EXPECT_EQ(get("s.1"), "S.1");
    set_value(in, sym("s.2"), RexxValue("two"));
    EXPECT_EQ(get("s.2"), "two");
    set_value(in, sym("s."), RexxValue("d"));
    EXPECT_EQ(get("s.2"), "d");
    set_value(in, sym("s.3"), RexxValue("three"));
    EXPECT_EQ(get("s.3"), "three");
    EXPECT_EQ(get("s.1"), "d");
}

// A routine's stem that had compounds of its own before being exposed
// stands for the caller's stem from then on.
TEST_F(RecordsTest, ExposeAfterLocalCompounds) {
    set_value(in, sym("t.1"), RexxValue("caller"));
    new_generation(in);
    set_value(in, sym("t.1"), RexxValue("local"));
    set_value(in, sym("t.2"), RexxValue("local2"));
    expose(in, sym("t."));
    EXPECT_EQ(get("t.1"), "caller");
    EXPECT_EQ(get("t.2"), "T.2");
    set_value(in, sym("t.2"), RexxValue("shared"));
    show_pool(in);
    EXPECT_EQ(c.out, "\n.......... show: level 1\n\n\"T+\" is EXPOSED\n");
    release_generation(in);
    EXPECT_EQ(get("t.2"), "shared");
}

// Names kept as numbers are shown with their digits, long names whole.
TEST_F(RecordsTest, ShowWritesEveryKindOfName) {
    set_value(in, sym("i"), RexxValue::number(12, 0));
    set_value(in, sym("a.i"), RexxValue("n"));
    set_value(in, sym("a.abcdefghijklmnopqrstuvwxyz"), RexxValue("long"));
    set_value(in, sym("a.0"), RexxValue("zero"));
    show_pool(in);
    EXPECT_NE(c.out.find("\"A.12\" = \"n\"\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find("\"A.ABCDEFGHIJKLMNOPQRSTUVWXYZ\" = \"long\"\n"), std::string::npos)
        << c.out;
    EXPECT_NE(c.out.find("\"A.0\" = \"zero\"\n"), std::string::npos) << c.out;
}

} // namespace

namespace {

// A tail variable whose value is not a whole number finds its compound by
// the value's text, whatever kind of value it is.
TEST_F(RecordsTest, TextTailsOfEveryKind) {
    SymbolRef element = sym("a.i"), index = sym("i");
    set_value(in, index, RexxValue("007"));
    set_value(in, element, RexxValue("padded"));
    EXPECT_EQ(get("a.007"), "padded");
    EXPECT_EQ(get("a.7"), "A.7");
    set_value(in, index, RexxValue::number(1.5, 1));
    set_value(in, element, RexxValue("half"));
    EXPECT_EQ(get("a.1.5"), "half");
    set_value(in, index, RexxValue::number(2.5, 2));
    set_value(in, element, RexxValue("places"));
    EXPECT_EQ(get("a.2.50"), "places");
    set_value(in, index, RexxValue::number(-3, 0));
    set_value(in, element, RexxValue("negative"));
    EXPECT_EQ(get("a.-3"), "negative");
    set_value(in, index, RexxValue("fox7"));
    EXPECT_EQ(find_value(in, element), nullptr);
    set_value(in, element, RexxValue("text"));
    EXPECT_EQ(get_value(in, element).str(), "text");
    set_value(in, index, RexxValue("FOX7"));
    EXPECT_EQ(find_value(in, element), nullptr); // tails are not folded
    set_value(in, index, RexxValue::number(7, 0));
    EXPECT_EQ(get_value(in, element).str(), "A.7");
    drop_symbol(in, index);
    set_value(in, element, RexxValue("by name"));
    EXPECT_EQ(get("a.I"), "by name");
    // Through an exposed tail variable.
    set_value(in, index, RexxValue("fox7"));
    new_generation(in);
    expose(in, sym("i"));
    expose(in, sym("a."));
    EXPECT_EQ(get_value(in, element).str(), "text");
    release_generation(in);
}

} // namespace
