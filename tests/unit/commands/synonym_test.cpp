#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace voren {
namespace {

using test::BatchEditor;

TEST(Synonym, TextAfterTheTypedWordIsAppended) {
    BatchEditor b;
    ASSERT_EQ(xfcom2(b.ed, "SYNONYM MM 1 MSG"), 0);
    EXPECT_EQ(xfcom2(b.ed, "MM hello"), 0);
    EXPECT_EQ(xfcom2(b.ed, "M5"), 0); // like LL5 after SYNONYM LL 2 LOCATE
    EXPECT_EQ(xfcom2(b.ed, "MM-x"), 0);
    EXPECT_EQ(b.output(), "voren: hello\nvoren: 5\nvoren: -x\n");
}

TEST(Synonym, MatchingRule) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM LLOC 2 MSG hit"), 0);
    EXPECT_EQ(xfcom2(ed, "LL"), 0);
    EXPECT_EQ(ed.cmd.last_message, "hit");
    EXPECT_EQ(xfcom2(ed, "LLOC"), 0);
    EXPECT_EQ(xfcom2(ed, "L"), 1);      // shorter than the minimum: LOCATE, not built
    EXPECT_EQ(xfcom2(ed, "ll"), -1);    // names are compared case-sensitively
    EXPECT_EQ(xfcom2(ed, "LLOCX"), -1); // longer than the name
    EXPECT_EQ(xfcom2(ed, "LL/x"), -1);  // "/" after the word: no synonym
    EXPECT_EQ(ed.cmd.last_message, "..... Invalid command \"LL/x\"");
}

TEST(Synonym, LinendFormRunsEachCommand) {
    BatchEditor b;
    ASSERT_EQ(xfcom2(b.ed, "SYNONYM LINEND ; TWO msg one;msg two"), 0);
    EXPECT_EQ(xfcom2(b.ed, "TWO x"), 0);
    EXPECT_EQ(b.output(), "voren: one\nvoren: two x\n");
}

TEST(Synonym, StopsAtTheFirstFailure) {
    BatchEditor b;
    ASSERT_EQ(xfcom2(b.ed, "synonym linend ! BAD xyzzy!msg after"), 0);
    EXPECT_EQ(xfcom2(b.ed, "BAD"), -1);
    EXPECT_EQ(b.output(), "voren: ..... Invalid command \"xyzzy\"\n");
    // The typed text stays on the command line, not the synonym's command.
    EXPECT_EQ(b.ed.cmd.command_line, "BAD");
}

TEST(Synonym, SelfReferenceDoesNotLoop) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM LOOP LOOP"), 0);
    EXPECT_EQ(xfcom2(ed, "LOOP"), -1);
    EXPECT_EQ(ed.cmd.last_message, "..... Invalid command \"LOOP\"");
    ASSERT_EQ(xfcom2(ed, "SYNONYM msg msg wrapped"), 0);
    EXPECT_EQ(xfcom2(ed, "msg x"), 0);
    EXPECT_EQ(ed.cmd.last_message, "wrapped x");
    EXPECT_EQ(ed.cmd.depth, 0);
    EXPECT_FALSE(ed.cmd.expanding_synonym);
}

TEST(Synonym, MutualReferenceDoesNotLoop) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM AAA BBB"), 0);
    ASSERT_EQ(xfcom2(ed, "SYNONYM BBB AAA"), 0);
    EXPECT_EQ(xfcom2(ed, "AAA"), -1);
    EXPECT_EQ(ed.cmd.last_message, "..... Invalid command \"BBB\"");
}

TEST(Synonym, RedefinitionReplaces) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM ZZ msg first"), 0);
    ASSERT_EQ(xfcom2(ed, "SYNONYM ZZ msg second"), 0);
    EXPECT_EQ(ed.cmd.synonyms.size(), 1u);
    xfcom2(ed, "ZZ");
    EXPECT_EQ(ed.cmd.last_message, "second");
}

TEST(Synonym, ClearNeedsCapitals) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM ZZ msg z"), 0);
    ASSERT_EQ(xfcom2(ed, "SYNONYM clear msg c"), 0); // defines "clear"
    EXPECT_EQ(ed.cmd.synonyms.size(), 2u);
    EXPECT_EQ(xfcom2(ed, "SYNONYM CLEAR ZZ"), 0);
    ASSERT_EQ(ed.cmd.synonyms.size(), 1u);
    EXPECT_EQ(ed.cmd.synonyms[0].name, "clear");
    EXPECT_EQ(xfcom2(ed, "ZZ"), -1);
    EXPECT_EQ(xfcom2(ed, "SYNONYM CLEAR ZZ"), 1);
    EXPECT_EQ(ed.cmd.last_message, "..... Not found");
}

TEST(Synonym, InvalidParameters) {
    Editor ed;
    for (const char* bad :
         {"SYNONYM", "SYNONYM X", "SYNONYM X 2 msg", "SYNONYM XY 0 msg", "SYNONYM LINEND ab X msg",
          "SYNONYM LINEND ; X", "SYNONYM CLEAR", "SYNONYM XY 2"}) {
        ed.cmd.last_message.clear();
        EXPECT_EQ(xfcom2(ed, bad), 1) << bad;
        EXPECT_EQ(ed.cmd.last_message, "..... Invalid parameters") << bad;
    }
    EXPECT_TRUE(ed.cmd.synonyms.empty());
}

TEST(Synonym, OnAndOff) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM ZZ msg z"), 0);
    EXPECT_EQ(xfcom2(ed, "synonym off"), 0);
    EXPECT_FALSE(ed.cmd.synonyms_on);
    EXPECT_EQ(xfcom2(ed, "ZZ"), -1);
    EXPECT_EQ(xfcom2(ed, "SYNONYM On"), 0);
    EXPECT_EQ(xfcom2(ed, "ZZ"), 0);
}

TEST(Synonym, CommandBypassesSynonyms) {
    Editor ed;
    ASSERT_EQ(xfcom2(ed, "SYNONYM MSG msg via synonym"), 0);
    xfcom2(ed, "COMMAND MSG direct");
    EXPECT_EQ(ed.cmd.last_message, "direct");
    xfcom2(ed, "MSG x");
    EXPECT_EQ(ed.cmd.last_message, "via synonym x");
}

TEST(Synonym, QueryShowsDefinitions) {
    BatchEditor b;
    xfcom2(b.ed, "SYNONYM LL 2 LOCATE");
    xfcom2(b.ed, "SYNONYM LINEND ; TB top;bottom");
    EXPECT_EQ(xfcom2(b.ed, "query synonym"), 0);
    EXPECT_EQ(b.output(), "voren: ..... Is ON\n"
                          "voren: SYNONYM LL 2 LOCATE\n"
                          "voren: SYNONYM LINEND ; TB 2 top;bottom\n");
}

} // namespace
} // namespace voren
