#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/commands/executor_internal.h"
#include "test_support.h"

namespace voren {
namespace {

using test::BatchEditor;

std::vector<std::string> g_set_texts;
bool record_set(Editor& ed, std::string_view text) {
    g_set_texts.emplace_back(text);
    ed.return_code = 0;
    return true;
}

struct LinendEditor : BatchEditor {
    LinendEditor() {
        ed.cmd.linend_on = true;
        ed.cmd.linend = '#';
        ed.cmd.set_macro_variable = &record_set;
        g_set_texts.clear();
    }
};

TEST(Linend, SplitsIntoCommands) {
    LinendEditor b;
    EXPECT_EQ(execute_string(b.ed, "msg a#msg b#  msg c"), 0);
    EXPECT_EQ(b.output(), "voren: a\nvoren: b\nvoren: c\n");
}

TEST(Linend, OffRunsOneCommand) {
    LinendEditor b;
    b.ed.cmd.linend_on = false;
    execute_string(b.ed, "msg a#msg b");
    EXPECT_EQ(b.output(), "voren: a#msg b\n");
}

TEST(Linend, SetTakesTheWholeRest) {
    LinendEditor b;
    execute_string(b.ed, "set foo off#x");
    execute_string(b.ed, "SE foo a#b");
    EXPECT_EQ(g_set_texts, (std::vector<std::string>{"foo off#x", "foo a#b"}));
    EXPECT_EQ(b.output(), "");
}

TEST(Linend, MixedCaseSetIsSplit) {
    LinendEditor b;
    execute_string(b.ed, "Set foo a#msg split");
    EXPECT_EQ(g_set_texts, std::vector<std::string>{"foo a"});
    EXPECT_EQ(b.output(), "voren: split\n");
}

TEST(Linend, ButtonAndDelayTakeTheWholeRest) {
    LinendEditor b;
    execute_string(b.ed, "bu 1 msg a#msg b");
    execute_string(b.ed, "DELAY 1#msg c");
    // Both are not built yet: one message each, nothing split off.
    EXPECT_EQ(b.output(), "voren: ..... Not implemented\nvoren: ..... Not implemented\n");
}

TEST(Linend, ShortFormsAreSplit) {
    LinendEditor b;
    execute_string(b.ed, "dela#msg x"); // DELAY must be written in full
    execute_string(b.ed, "s#msg y");    // SET needs at least "se"
    std::string out = b.output();
    EXPECT_NE(out.find("voren: x\n"), std::string::npos);
    EXPECT_NE(out.find("voren: y\n"), std::string::npos);
}

TEST(Linend, CommentsAndStarLinesAreWhole) {
    LinendEditor b;
    EXPECT_EQ(execute_string(b.ed, "# note#msg no"), 0);
    EXPECT_EQ(execute_string(b.ed, "* note#msg no"), 0);
    EXPECT_EQ(b.output(), "");
}

TEST(Linend, LoneLinendAndEmptyPieces) {
    LinendEditor b;
    b.ed.cmd.linend = ';';
    EXPECT_EQ(execute_string(b.ed, ";"), 0);
    EXPECT_EQ(execute_string(b.ed, ";;  ;"), 0);
    EXPECT_EQ(execute_string(b.ed, ""), 0);
    EXPECT_EQ(execute_string(b.ed, "   "), 0);
    EXPECT_EQ(b.output(), "");
}

TEST(Linend, ReturnsTheLastCommandsCode) {
    LinendEditor b;
    b.ed.cmd.linend = ';';
    EXPECT_EQ(execute_string(b.ed, "msg a;xyz"), -1);
    EXPECT_EQ(execute_string(b.ed, "xyz;msg a"), 0);
    EXPECT_EQ(execute_string(b.ed, "xyz;"), -1); // a trailing LINEND adds no command
}

TEST(Linend, EveryPieceRunsEvenAfterAFailure) {
    LinendEditor b;
    b.ed.cmd.linend = ';';
    execute_string(b.ed, "xyz;msg after");
    EXPECT_EQ(b.output(), "voren: ..... Invalid command \"xyz\"\nvoren: after\n");
}

} // namespace
} // namespace voren
