#include <gtest/gtest.h>

#include "test_support.h"

namespace voren {
namespace {

using test::BatchEditor;

TEST(History, RecallStepsBackAndWraps) {
    Editor ed;
    record_history(ed, "one");
    record_history(ed, "two");
    record_history(ed, "three");
    EXPECT_EQ(xfcom2(ed, "?"), 0);
    EXPECT_EQ(ed.cmd.command_line, "three");
    xfcom2(ed, "?");
    EXPECT_EQ(ed.cmd.command_line, "two");
    xfcom2(ed, "?");
    EXPECT_EQ(ed.cmd.command_line, "one");
    xfcom2(ed, "?");
    EXPECT_EQ(ed.cmd.command_line, "three");
    xfcom2(ed, "?i");
    EXPECT_EQ(ed.cmd.command_line, "one");
    xfcom2(ed, "?I");
    EXPECT_EQ(ed.cmd.command_line, "two");
    EXPECT_TRUE(ed.cmd.command_line_stays);
}

TEST(History, EmptyHistory) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "?"), 0);
    EXPECT_EQ(ed.cmd.command_line, "");
    EXPECT_EQ(xfcom2(ed, "="), 0);
    EXPECT_EQ(ed.cmd.last_message, "");
}

TEST(History, BlankEqualAndRecallAreNotRecorded) {
    Editor ed;
    record_history(ed, "   ");
    record_history(ed, "= top");
    record_history(ed, "?");
    EXPECT_TRUE(ed.cmd.history.empty());
}

TEST(History, SizeLimit) {
    Editor ed;
    ed.cmd.history_size = 3;
    for (const char* t : {"a", "b", "c", "d"})
        record_history(ed, t);
    ASSERT_EQ(ed.cmd.history.size(), 3u);
    EXPECT_EQ(ed.cmd.history.front(), "b");
}

TEST(History, EqualRepeatsTheLastCommand) {
    BatchEditor b;
    record_history(b.ed, "msg again");
    EXPECT_EQ(xfcom2(b.ed, "="), 0);
    EXPECT_EQ(xfcom2(b.ed, "= msg first"), 0);
    EXPECT_EQ(xfcom2(b.ed, "=msg glued"), 0);
    EXPECT_EQ(b.output(), "voren: again\nvoren: first\nvoren: again\nvoren: glued\nvoren: again\n");
}

TEST(History, EqualReportsAFailure) {
    Editor ed;
    record_history(ed, "xyz");
    EXPECT_EQ(xfcom2(ed, "="), -1);
    EXPECT_EQ(ed.cmd.last_message, "..... Invalid command \"xyz\"");
}

} // namespace
} // namespace voren
