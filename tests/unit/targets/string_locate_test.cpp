// String targets: combinations, wrap and stay, continuation, case, zones,
// the arbitrary character and hexadecimal strings.
#include <gtest/gtest.h>

#include "editor/commands/search.h"
#include "editor/commands/targets.h"
#include "targets_test_support.h"

namespace voren {
namespace {

using test::Messages;
using test::TargetEditor;

const std::vector<std::string> kText = {
    "alpha one",   // 0
    "beta two",    // 1
    "alpha beta",  // 2
    "gamma",       // 3
    "delta alpha", // 4
    "epsilon",     // 5
};

TEST(Combinations, AndOrNot) {
    TargetEditor t(kText);
    EXPECT_EQ(t.run("/alpha/ & /beta/"), 0);
    EXPECT_EQ(t.line(), 2);
    t.go(-1);
    EXPECT_EQ(t.run("/gamma/ | /beta/"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.run("/gamma/ | /beta/"), 0);
    EXPECT_EQ(t.line(), 2);
    EXPECT_EQ(t.run("~/a/"), 0);
    EXPECT_EQ(t.line(), 5);
    t.go(-1);
    EXPECT_EQ(t.run("/alpha/ & ~/one/"), 0);
    EXPECT_EQ(t.line(), 2);
}

TEST(Combinations, LeftToRightWithoutPrecedence) {
    TargetEditor t({"c only", "b or c"});
    // A failure before "&" fails the line, whatever follows.
    EXPECT_EQ(t.run("/a/ & /b/ | /c/"), 2);
    EXPECT_EQ(t.line(), -1);
    // /a/ | /b/ & /c/: a fails, b and c decide.
    EXPECT_EQ(t.run("/a/ | /b/ & /c/"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(NotFound, MessagesNameTheStringOrTheTarget) {
    TargetEditor t(kText);
    t.messages();
    EXPECT_EQ(t.run("/zeta/"), 2);
    EXPECT_EQ(t.run("/zeta/ |   /iota/"), 2);
    EXPECT_EQ(t.messages(), (Messages{"..... String \"zeta\" not found.",
                                      "..... Target \"/zeta/ | /iota/\" not found."}));
    // A negated string that every line holds.
    TargetEditor u({"ab", "cb"});
    u.messages();
    EXPECT_EQ(u.run("~/b/"), 2);
    EXPECT_EQ(u.messages(), Messages{"..... Target \"~/b/\" not found."});
}

TEST(NotFound, WrapOffMovesToTheLastLineUnlessStay) {
    TargetEditor t(kText);
    t.run("WRAP OFF");
    t.go(1);
    EXPECT_EQ(t.run("L /zeta/"), 1);
    EXPECT_EQ(t.line(), 5);
    t.go(1);
    t.run("STAY ON");
    EXPECT_EQ(t.run("L /zeta/"), 1);
    EXPECT_EQ(t.line(), 1);
    t.run("STAY OFF");
    t.go(3);
    EXPECT_EQ(t.run("-/zeta/"), 1); // backward: to the lowest allowed current line
    EXPECT_EQ(t.line(), -1);
    // Not wrapping: a match above the current line is not seen.
    t.go(3);
    EXPECT_EQ(t.run("/beta/"), 1);
    EXPECT_EQ(t.line(), 5);
}

TEST(Wrap, OnByDefaultAndReported) {
    TargetEditor t(kText);
    t.go(3);
    t.messages();
    EXPECT_EQ(t.run("/beta two/"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Wrapped"});
    EXPECT_EQ(t.run("/zeta/"), 2);
    EXPECT_EQ(t.line(), 1);
    t.go(1);
    EXPECT_EQ(t.run("-/epsilon/"), 0);
    EXPECT_EQ(t.line(), 5);
    EXPECT_EQ(t.messages(), (Messages{"..... String \"zeta\" not found.", "..... Wrapped"}));
}

TEST(Backward, SearchesUpward) {
    TargetEditor t(kText);
    t.go(5);
    EXPECT_EQ(t.run("-/alpha/"), 0);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(t.run("- /alpha/"), 0);
    EXPECT_EQ(t.line(), 2);
    EXPECT_EQ(t.run("-~/a/"), 0); // every line above holds an "a": wraps to the last
    EXPECT_EQ(t.line(), 5);
    t.run("WRAP OFF");
    t.go(2);
    EXPECT_EQ(t.run("-~/a/"), 1);
}

TEST(Continuation, GoesOnAfterThePreviousMatchOnTheSameLine) {
    TargetEditor t({"xx ab ab ab", "ab"});
    EXPECT_EQ(t.run("/ab/"), 0);
    EXPECT_EQ(t.line(), 0);
    EXPECT_EQ(t.file().cursor.column, 3);
    EXPECT_EQ(t.run("/ab/"), 0);
    EXPECT_EQ(t.line(), 0);
    EXPECT_EQ(t.file().cursor.column, 6);
    EXPECT_EQ(t.run("/ab/"), 0);
    EXPECT_EQ(t.file().cursor.column, 9);
    EXPECT_EQ(t.run("/ab/"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.file().cursor.column, 0);
    // Resolving without moving (as other commands do) starts on the next line.
    t.go(-1);
    t.run("/ab/");
    EXPECT_EQ(resolve_target(t.ed, "/ab/", 4, false), 1);
    EXPECT_EQ(t.line(), 0);
    // Another move forgets the match: the next search starts on the next line.
    t.go(-1);
    t.run("/ab/");
    t.run("L 1");
    t.run("L -1");
    EXPECT_EQ(t.run("/ab/"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(Cursor, GoesToTheMatchUnlessModeLocateStay) {
    TargetEditor t(kText);
    EXPECT_EQ(t.run("/two/"), 0);
    EXPECT_EQ(t.file().cursor.line, 1);
    EXPECT_EQ(t.file().cursor.column, 5);
    EXPECT_FALSE(t.ed.cmd.cursor_on_command_line);
    t.ed.cmd.locate_stay = true;
    EXPECT_EQ(t.run("/gamma/"), 0);
    EXPECT_EQ(t.line(), 3);
    EXPECT_EQ(t.file().cursor.line, 1);
    // Only negated components matched: the cursor goes to the command line.
    EXPECT_EQ(t.run("~/a/"), 0);
    EXPECT_TRUE(t.ed.cmd.cursor_on_command_line);
}

TEST(Scope, ExcludedLinesAreNotSearched) {
    TargetEditor t(kText);
    t.file().lines[2].selection = 5;
    EXPECT_EQ(t.run("/alpha/ & /beta/"), 2);
    EXPECT_EQ(t.run("~/alpha/"), 0);
    EXPECT_EQ(t.line(), 1);
    t.run("SCOPE ALL");
    EXPECT_EQ(t.run("/alpha/ & /beta/"), 0);
    EXPECT_EQ(t.line(), 2);
}

TEST(Case, FollowsTheFileCaseMode) {
    TargetEditor t({"Alpha", "ALPHA"});
    EXPECT_EQ(t.run("/ALPHA/"), 0);
    EXPECT_EQ(t.line(), 1);
    t.go(-1);
    t.file().case_mode = CaseMode::MixedIgnore;
    EXPECT_EQ(t.run("/aLpHa/"), 0);
    EXPECT_EQ(t.line(), 0);
    t.file().case_mode = CaseMode::UpperIgnore;
    EXPECT_EQ(t.run("/alpha/"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(Zones, MatchMustLieWithinThem) {
    TargetEditor t({"abcdef", "xxabcx", "xabc"});
    t.run("ZONE 2 5");
    EXPECT_EQ(t.run("/abc/"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.run("/abc/"), 0);
    EXPECT_EQ(t.line(), 2);
    t.go(-1);
    t.run("ZONE 3 *");
    EXPECT_EQ(t.run("/abc/"), 0);
    EXPECT_EQ(t.line(), 1);
    t.messages();
    EXPECT_EQ(t.run("ZONE 5 2"), 1);
    EXPECT_EQ(t.run("ZONE 0 *"), 1);
    EXPECT_EQ(t.run("ZONE"), 1);
    EXPECT_EQ(t.messages(), (Messages{"..... Invalid parameters", "..... Invalid parameters",
                                      "..... Missing Operand"}));
}

TEST(Arbchar, StandsForAnyRun) {
    TargetEditor t({"xyz", "a big c", "abbc"});
    t.ed.cmd.arbchar_on = true;
    t.ed.cmd.arbchar = '%';
    EXPECT_EQ(t.run("/a%c/"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.run("/b%%c/"), 0);
    EXPECT_EQ(t.line(), 2);
    t.messages();
    EXPECT_EQ(t.run("/%%/"), 5);
    EXPECT_EQ(t.messages(), Messages{"..... Invalid arbitrary string"});
    // With ARBCHAR off the character is an ordinary one.
    t.ed.cmd.arbchar_on = false;
    EXPECT_EQ(t.run("/a%c/"), 2);
    EXPECT_EQ(t.run("/%%/"), 2);
}

TEST(Arbchar, DollarTakesTheTextBeforeExpansion) {
    TargetEditor t({"one", "a fn b"});
    t.ed.cmd.arbchar_on = true;
    t.ed.cmd.macro_frames.push_back({"m", {"m", "x"}, "x"});
    // $1 would become "x" if the command were expanded.
    EXPECT_EQ(t.run("L /a$1/"), 2);
    EXPECT_EQ(t.run("L /a$b/"), 0);
    EXPECT_EQ(t.line(), 1);
    t.go(-1);
    EXPECT_EQ(t.run("/a$b/"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(Hex, StringsInHexadecimal) {
    TargetEditor t({"xyz", "AB", "x'41'"});
    EXPECT_EQ(t.run("/x'41'/"), 0); // HEX OFF: an ordinary string
    EXPECT_EQ(t.line(), 2);
    t.run("HEX ON");
    t.go(-1);
    EXPECT_EQ(t.run("/x'4142'/"), 0);
    EXPECT_EQ(t.line(), 1);
    t.messages();
    EXPECT_EQ(t.run("L /x'414'/"), 5);
    EXPECT_EQ(t.run("L /X\"4G\"/"), 5);
    EXPECT_EQ(t.run("L /x'41/"), 5);
    EXPECT_EQ(t.messages(),
              (Messages{"..... Invalid hexadecimal string", "..... Invalid hexadecimal string",
                        "..... Invalid hexadecimal string"}));
    EXPECT_EQ(t.line(), 1);
}

TEST(EmptyString, ReusesTheLastString) {
    TargetEditor t(kText);
    t.messages();
    EXPECT_EQ(t.run("L //"), 5);
    EXPECT_EQ(t.messages(), Messages{"..... No memorised string for an empty locate request"});
    EXPECT_EQ(t.run("/beta/"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.run("//"), 0);
    EXPECT_EQ(t.line(), 2);
    EXPECT_EQ(t.ed.cmd.last_locate_string, "beta");
}

TEST(LocateThenCommand, RunsAfterAFoundString) {
    TargetEditor t(kText);
    t.messages();
    EXPECT_EQ(t.run("L !gamma! msg found it"), 0);
    EXPECT_EQ(t.line(), 3);
    EXPECT_EQ(t.messages(), Messages{"found it"});
}

TEST(FindInLine, ZonesFromAndCase) {
    SearchString s;
    s.text = "ab";
    StringMatch m;
    EXPECT_TRUE(find_in_line(s, "xabab", {}, 0, m));
    EXPECT_EQ(m.start, 1);
    EXPECT_EQ(m.end, 3);
    EXPECT_TRUE(find_in_line(s, "xabab", {}, 2, m));
    EXPECT_EQ(m.start, 3);
    EXPECT_FALSE(find_in_line(s, "xabab", {1, 4}, 2, m)); // would end in column 5
    EXPECT_FALSE(find_in_line(s, "xAbab", {1, 3}, 0, m));
    s.text = "AB";
    s.ignore_case = true;
    EXPECT_TRUE(find_in_line(s, "xaBab", {1, 3}, 0, m));
    EXPECT_EQ(m.start, 1);
    EXPECT_TRUE(find_last_in_line(s, "ab ab ab", {}, 6, m));
    EXPECT_EQ(m.start, 3);
}

TEST(FindInLine, ArbitrarySpans) {
    Editor ed;
    ed.cmd.arbchar_on = true;
    SearchString s;
    ASSERT_EQ(prepare_search_string(ed, CaseMode::MixedRespect, "a$c$", s), 0);
    EXPECT_EQ(s.arbitrary_count, 2);
    StringMatch m;
    std::vector<StringMatch> spans;
    ASSERT_TRUE(find_in_line(s, "xabbcdd", {}, 0, m, &spans));
    EXPECT_EQ(m.start, 1);
    EXPECT_EQ(m.end, 7);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].start, 2);
    EXPECT_EQ(spans[0].end, 4);
    EXPECT_EQ(spans[1].start, 5);
    EXPECT_EQ(spans[1].end, 7);
    EXPECT_EQ(prepare_search_string(ed, CaseMode::MixedRespect, "$$$", s), 146);
    ed.cmd.arbchar_on = false;
    EXPECT_EQ(prepare_search_string(ed, CaseMode::MixedRespect, "$$$", s), 0);
    EXPECT_FALSE(s.arbitrary);
}

TEST(FindInLine, NulBytesAreOrdinary) {
    SearchString s;
    s.text = std::string("b\0c", 3);
    StringMatch m;
    EXPECT_TRUE(find_in_line(s, std::string_view("ab\0cd", 5), {}, 0, m));
    EXPECT_EQ(m.start, 1);
    // Ignoring case, a NUL is not taken for the string's first character.
    s.text = "#B";
    s.ignore_case = true;
    EXPECT_FALSE(find_in_line(s, std::string_view("x\0b", 3), {}, 0, m));
    EXPECT_TRUE(find_in_line(s, std::string_view("x\0#b", 4), {}, 0, m));
    EXPECT_EQ(m.start, 2);
}

} // namespace
} // namespace voren
