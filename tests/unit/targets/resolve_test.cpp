// Resolving targets against a file: numbers, ends, names, scope.
#include <gtest/gtest.h>

#include "editor/commands/targets.h"
#include "editor/core/line_ops.h"
#include "targets_test_support.h"

namespace voren {
namespace {

using test::Messages;
using test::TargetEditor;

std::vector<std::string> numbered(int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

TEST(Relative, ThreeFromTheTopIsLineThree) {
    TargetEditor t(numbered(5));
    EXPECT_EQ(t.line(), -1);
    EXPECT_EQ(t.run("L 3"), 0);
    EXPECT_EQ(t.line(), 2);
    EXPECT_EQ(t.run("+1"), 0);
    EXPECT_EQ(t.line(), 3);
    EXPECT_EQ(t.run("1"), 0); // a number alone goes to that line
    EXPECT_EQ(t.line(), 0);
}

TEST(Relative, BackwardStopsAtTheTopWithCodeOne) {
    TargetEditor t(numbered(5));
    t.go(1);
    EXPECT_EQ(t.run("L -3"), 1);
    EXPECT_EQ(t.line(), -1);
    t.go(1);
    EXPECT_EQ(t.run("-1"), 0);
    EXPECT_EQ(t.line(), 0);
    EXPECT_EQ(t.run("-1"), 1); // reaches the top-of-file line
    EXPECT_EQ(t.line(), -1);
}

TEST(Relative, ForwardPastTheLastLineMovesThereWithCodeOne) {
    TargetEditor t(numbered(5));
    t.go(2);
    EXPECT_EQ(t.run("L 10"), 1);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(t.run("L 1"), 1);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(resolve_target(t.ed, "+2", 2, false), 5); // the end-of-file line
}

TEST(Relative, LowestCurrentLineClamps) {
    TargetEditor t(numbered(5));
    t.ed.settings.lowest_current_line = 0;
    t.go(3);
    EXPECT_EQ(resolve_target(t.ed, "-9", 2, false), 0);
    EXPECT_EQ(t.run("-*"), 0);
    EXPECT_EQ(t.line(), 0);
}

TEST(Relative, ScopeDisplaySkipsExcludedLines) {
    TargetEditor t(numbered(8));
    // Lines 2, 3 and 5 (1-based) are excluded.
    for (int i : {1, 2, 4})
        t.file().lines[size_t(i)].selection = 1;
    t.go(0);
    EXPECT_EQ(t.run("+2"), 0);
    EXPECT_EQ(t.line(), 5);
    EXPECT_EQ(t.run("-1"), 0);
    EXPECT_EQ(t.line(), 3);
    t.run("SCOPE ALL");
    t.go(0);
    EXPECT_EQ(t.run("+2"), 0);
    EXPECT_EQ(t.line(), 2);
}

TEST(Relative, HugeCountsStopAtTheEnds) {
    TargetEditor t(numbered(5));
    EXPECT_EQ(t.run("L 999999999"), 1);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(t.run("L -999999999"), 1);
    EXPECT_EQ(t.line(), -1);
    t.run("SCOPE ALL");
    EXPECT_EQ(resolve_target(t.ed, "999999999", 9, false), 5);
    EXPECT_EQ(resolve_target(t.ed, "-999999999", 10, false), -1);
}

TEST(Resolve, WithoutMoveTheCurrentLineStays) {
    TargetEditor t(numbered(5));
    t.go(1);
    EXPECT_EQ(resolve_target(t.ed, "2 msg x", 1, false), 3);
    EXPECT_EQ(resolve_target(t.ed, "/line 5/ something", 9, false), 4);
    EXPECT_EQ(resolve_target(t.ed, ":3", 2, false), 2);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(resolve_target(t.ed, "/line 5/", 8, true), 4);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(resolve_target(t.ed, "/nowhere/", 9, true), target_not_found);
    EXPECT_EQ(resolve_target(t.ed, "+", 1, true), target_invalid);
    EXPECT_EQ(t.line(), 4);
}

TEST(Resolve, EmptyRingIsInvalid) {
    Editor ed;
    EXPECT_EQ(resolve_target(ed, "1", 1, false), target_invalid);
}

TEST(Ends, StarAndMinusStar) {
    TargetEditor t(numbered(5));
    EXPECT_EQ(resolve_target(t.ed, "*", 1, false), 5);
    EXPECT_EQ(t.run("*"), 0);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(t.run("L -*"), 0);
    EXPECT_EQ(t.line(), -1);
    EXPECT_EQ(t.run("L +*"), 0);
    EXPECT_EQ(t.line(), 4);
}

TEST(LineNumbers, ColonZeroIsTheTop) {
    TargetEditor t(numbered(5));
    t.go(3);
    EXPECT_EQ(t.run(":0"), 0);
    EXPECT_EQ(t.line(), -1);
    EXPECT_EQ(t.run("L :4"), 0);
    EXPECT_EQ(t.line(), 3);
    EXPECT_EQ(t.run(":  2"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(LineNumbers, BeyondTheFileDependsOnScope) {
    TargetEditor t(numbered(5));
    t.go(1);
    t.messages();
    EXPECT_EQ(t.run(":9999"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Line not in scope"});
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(resolve_target(t.ed, ":9999", 5, false), target_not_found);
    t.run("SCOPE ALL");
    EXPECT_EQ(t.run(":9999"), 0);
    EXPECT_EQ(t.line(), 4);
}

TEST(LineNumbers, ExcludedLineIsNotInScope) {
    TargetEditor t(numbered(5));
    t.file().lines[2].selection = 3;
    t.messages();
    EXPECT_EQ(t.run(":3"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Line not in scope"});
    EXPECT_EQ(t.line(), -1);
}

TEST(LineNumbers, AplObjectsCountFromZero) {
    TargetEditor t(numbered(5));
    t.file().kind = file_kind_apl_function;
    EXPECT_EQ(t.run(":2"), 0);
    EXPECT_EQ(t.line(), 2);
}

TEST(LineNumbers, NumberZeroCountsFromZero) {
    TargetEditor t(numbered(5));
    EXPECT_EQ(t.run("NUMBER ZERO"), 0);
    EXPECT_EQ(t.run(":2"), 0);
    EXPECT_EQ(t.line(), 2);
    EXPECT_EQ(t.run("NUMBER ON"), 0);
    EXPECT_EQ(t.run(":2"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(LineNumbers, InvalidNumber) {
    TargetEditor t(numbered(5));
    t.messages();
    EXPECT_EQ(t.run("L :"), 5);
    EXPECT_EQ(t.messages(), Messages{"..... Invalid line number"});
    EXPECT_EQ(t.run("L 1234567890"), 5);
    EXPECT_EQ(t.messages(), Messages{"..... Invalid target"});
    EXPECT_EQ(t.run("L +"), 5);
    EXPECT_EQ(t.line(), -1);
}

TEST(LineNumbers, NumberTypedAloneFollowsModeNumber) {
    TargetEditor t(numbered(9));
    t.go(2);
    EXPECT_EQ(t.run("5"), 0);
    EXPECT_EQ(t.line(), 4);
    t.ed.cmd.number_goto = false;
    EXPECT_EQ(t.run("2"), 0);
    EXPECT_EQ(t.line(), 6);
}

TEST(Names, PointSetsAndRemovesNames) {
    TargetEditor t(numbered(5));
    t.go(3);
    EXPECT_EQ(t.run("POINT .here"), 0);
    t.go(0);
    EXPECT_EQ(t.run(".here"), 0);
    EXPECT_EQ(t.line(), 3);
    EXPECT_EQ(t.run("POINT .here OFF"), 0);
    t.messages();
    t.go(0);
    EXPECT_EQ(t.run("L .here"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Target Not found"});
    EXPECT_EQ(t.line(), 0);
    EXPECT_EQ(t.run("POINT .here OFF"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Target Not found"});
}

TEST(Names, ComparedExactly) {
    TargetEditor t(numbered(5));
    t.go(1);
    t.run("SET POINT .Abc");
    t.go(4);
    EXPECT_EQ(t.run(".abc"), 1);
    EXPECT_EQ(t.run(".Ab"), 1);
    EXPECT_EQ(t.line(), 4);
    EXPECT_EQ(t.run(".Abc"), 0);
    EXPECT_EQ(t.line(), 1);
}

TEST(Names, FollowTheirLineThroughChanges) {
    TargetEditor t(numbered(5));
    t.go(2);
    t.run("POINT .x");
    insert_line(t.ed, -1, "new first", XF_TAG);
    t.go(-1);
    EXPECT_EQ(t.run(".x"), 0);
    EXPECT_EQ(t.line(), 3);
}

TEST(Names, PointRefusesBadOperands) {
    TargetEditor t(numbered(2));
    t.messages();
    EXPECT_EQ(t.run("POINT"), 1);
    EXPECT_EQ(t.run("POINT name"), 1);
    EXPECT_EQ(t.run("POINT .a b"), 1);
    EXPECT_EQ(t.run("POINT .a"), 1); // the top-of-file line cannot be named
    EXPECT_EQ(t.messages(), (Messages{"..... Missing Operand", "..... Invalid parameters",
                                      "..... Invalid parameters", "..... Invalid current line"}));
}

TEST(Locate, EmptyRingDoesNothing) {
    Editor ed;
    ed.batch_mode = true;
    EXPECT_EQ(locate(ed, "3"), 1);
    EXPECT_EQ(xfcom2(ed, "L 3"), 1);
}

TEST(Locate, FollowedByACommand) {
    TargetEditor t(numbered(5));
    t.messages();
    EXPECT_EQ(t.run("L 2 msg hello"), 0);
    EXPECT_EQ(t.line(), 1);
    EXPECT_EQ(t.messages(), Messages{"hello"});
    // The command does not run when the target fails.
    EXPECT_EQ(t.run("L :99 msg again"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Line not in scope"});
}

TEST(Locate, AloneRepeatsTheLastTarget) {
    TargetEditor t(numbered(9));
    t.messages();
    EXPECT_EQ(t.run("LOCATE"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... No memorised string for an empty locate request"});
    EXPECT_EQ(t.run("L 2 msg x"), 0);
    EXPECT_EQ(t.run("L"), 0);
    EXPECT_EQ(t.line(), 3);
    EXPECT_EQ(t.ed.cmd.last_locate_target, "2");
    EXPECT_EQ(t.run("+2"), 0); // a target typed alone is a LOCATE too
    EXPECT_EQ(t.run("L"), 0);
    EXPECT_EQ(t.line(), 7);
}

TEST(Locate, BackwardFailureGoesToTheLowestCurrentLine) {
    TargetEditor t(numbered(5));
    t.ed.settings.lowest_current_line = 0;
    t.run("WRAP OFF");
    t.go(3);
    EXPECT_EQ(t.run("-/nowhere/"), 1);
    EXPECT_EQ(t.line(), 0);
}

TEST(Locate, InvalidTargetDoesNotMove) {
    TargetEditor t(numbered(5));
    t.go(2);
    t.messages();
    EXPECT_EQ(t.run("L /a/ & /"), 5);
    EXPECT_EQ(t.messages(), Messages{"..... Invalid subtarget \"/\""});
    EXPECT_EQ(t.run("L /a/ & /b/ ? /c/"), 5);
    EXPECT_EQ(t.line(), 2);
}

} // namespace
} // namespace voren
