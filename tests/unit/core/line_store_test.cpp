#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "tests/unit/core/core_test_support.h"

#include <gtest/gtest.h>

namespace voren {
namespace {

using Texts = std::vector<std::string>;

struct LineStoreTest : ::testing::Test {
    Editor ed;
    File* file = nullptr;
    void SetUp() override {
        test_log().clear();
        file = &add_file_with(ed, {"one", "two", "three", "four", "five"});
    }
    std::vector<LineText> texts(const Texts& list) {
        std::vector<LineText> out;
        for (const auto& t : list)
            out.emplace_back(t);
        return out;
    }
};

TEST_F(LineStoreTest, InsertAfterTopOfFilePutsTheLineFirst) {
    ASSERT_EQ(insert_line(ed, -1, "zero", XF_TAG), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"zero", "one", "two", "three", "four", "five"}));
}

TEST_F(LineStoreTest, InsertAfterTheLastLineAppends) {
    ASSERT_EQ(insert_line(ed, 4, "six", XF_TAG), 0);
    EXPECT_EQ(line_texts(ed).back(), "six");
    EXPECT_EQ(file->line_count(), 6);
}

TEST_F(LineStoreTest, InsertSeveralReplaceAndDelete) {
    ASSERT_EQ(xf_do(ed, 'I', {}, 1, 2, record_user, texts({"a", "b"}), XF_TAG), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two", "a", "b", "three", "four", "five"}));
    ASSERT_EQ(replace_line(ed, 0, "ONE", XF_TAG), 0);
    ASSERT_EQ(xf_do(ed, 'd', {}, 1, 1, record_user, {}, XF_TAG), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"ONE", "a", "b", "three", "four", "five"}));
    ASSERT_EQ(xf_do(ed, 'D', {}, 1, 3, record_user, {}, XF_TAG), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"ONE", "four", "five"}));
}

TEST_F(LineStoreTest, SetFlagsKeepsText) {
    ASSERT_EQ(
        xf_do(ed, 's', {}, 2, int32_t(line_flag_stop | line_flag_trace), record_user, {}, XF_TAG),
        0);
    EXPECT_EQ(file->lines[2].flags, line_flag_stop | line_flag_trace);
    EXPECT_EQ(line_texts(ed)[2], "three");
}

TEST_F(LineStoreTest, LinesMayHoldNulBytes) {
    std::string binary("a\0b\0", 4);
    ASSERT_EQ(replace_line(ed, 0, binary, XF_TAG), 0);
    EXPECT_EQ(file->lines[0].text.length, 4);
    EXPECT_EQ(std::string(file->lines[0].text.view()), binary);
}

TEST_F(LineStoreTest, WrongOperationChangesNothing) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(xf_do(ed, 'x', LineText("new"), 0, 1, record_user, {}, XF_TAG), -1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "voren: xf_do: internal error, wrong argument: cd = x\n");
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two", "three", "four", "five"}));
    EXPECT_TRUE(file->undo_log.empty());
}

TEST_F(LineStoreTest, LinesOutsideTheFileAreRefused) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(replace_line(ed, 5, "x", XF_TAG), -1);
    EXPECT_EQ(xf_do(ed, 'D', {}, 3, 3, record_user, {}, XF_TAG), -1);
    EXPECT_EQ(insert_line(ed, -2, "x", XF_TAG), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(file->line_count(), 5);
    EXPECT_TRUE(file->undo_log.empty());
}

TEST_F(LineStoreTest, ZeroCountInsertAndDeleteDoNothingAtAll) {
    EXPECT_EQ(xf_do(ed, 'D', {}, 0, 0, record_user, {}, XF_TAG), 0);
    EXPECT_EQ(xf_do(ed, 'I', {}, 0, 0, record_user, {}, XF_TAG), 0);
    EXPECT_TRUE(file->undo_log.empty());
    EXPECT_EQ(file->modification_count, 0);
}

TEST_F(LineStoreTest, UpperCaseFileStoresUserTextInCapitals) {
    file->case_mode = CaseMode::UpperIgnore;
    replace_line(ed, 0, "abc1z", XF_TAG);
    EXPECT_EQ(line_texts(ed)[0], "ABC1Z");
    xf_do(ed, 'r', LineText("abc"), 1, 1, record_replay, {}, XF_TAG);
    EXPECT_EQ(line_texts(ed)[1], "abc");
    xf_do(ed, 'r', LineText("abc"), 2, 1, record_none, {}, XF_TAG);
    EXPECT_EQ(line_texts(ed)[2], "abc");
}

TEST_F(LineStoreTest, LreclAndTruncCutStoredLinesSmallerWins) {
    file->lrecl = 6;
    file->trunc = 4;
    replace_line(ed, 0, "abcdefghij", XF_TAG);
    EXPECT_EQ(line_texts(ed)[0], "abcd");
    file->trunc = 0;
    insert_line(ed, 0, "abcdefghij", XF_TAG);
    EXPECT_EQ(line_texts(ed)[1], "abcdef");
}

TEST_F(LineStoreTest, NewLinesGetTheLowerBoundOfTheDisplayRange) {
    current_screen(ed).display_low = 3;
    current_screen(ed).display_high = 5;
    insert_line(ed, 0, "new", XF_TAG);
    EXPECT_EQ(file->lines[1].selection, 3);
}

TEST_F(LineStoreTest, NamedLinesFollowTheirLines) {
    set_line_name(*file, ".a", 1);
    set_line_name(*file, ".b", 3);
    set_line_name(*file, ".c", 4);
    insert_line(ed, 0, "new", XF_TAG); // after line 0: names on 1.. move down
    EXPECT_EQ(find_line_name(*file, ".a"), 2);
    EXPECT_EQ(find_line_name(*file, ".b"), 4);
    delete_lines(ed, 2, 1, XF_TAG); // the line named .a
    EXPECT_EQ(find_line_name(*file, ".a"), -2);
    EXPECT_EQ(find_line_name(*file, ".b"), 3);
    EXPECT_EQ(find_line_name(*file, ".c"), 4);
    delete_lines(ed, 1, 3, XF_TAG); // removes .b, moves .c up by 3
    EXPECT_EQ(find_line_name(*file, ".b"), -2);
    EXPECT_EQ(find_line_name(*file, ".c"), 1);
    EXPECT_EQ(file->names.size(), 1u);
}

TEST_F(LineStoreTest, CurrentLinesOfEveryScreenAreClampedAfterDeletes) {
    int second = add_screen(ed);
    set_current_line(ed, 4);
    screen_current_line(ed, second, 0) = 3;
    delete_lines(ed, 2, 3, XF_TAG);
    EXPECT_EQ(current_line(ed), 1);
    EXPECT_EQ(screen_current_line(ed, second, 0), 1);
    delete_lines(ed, 0, 2, XF_TAG);
    EXPECT_EQ(current_line(ed), -1);
    ed.settings.lowest_current_line = 0;
    insert_line(ed, -1, "x", XF_TAG);
    set_current_line(ed, -1);
    EXPECT_EQ(current_line(ed), 0);
}

TEST_F(LineStoreTest, EveryLineOperationRecordsItsCallerTag) {
    replace_line(ed, 0, "x", XF_TAG);
    ASSERT_EQ(ed.cmd.trace_count, 1);
    EXPECT_EQ(ed.cmd.trace_ring[0].rfind("line_store_test.cpp:", 0), 0u);
}

// Undo and redo -------------------------------------------------------------

TEST_F(LineStoreTest, AStepOfManyChangesIsUndoneAtOnce) {
    start_undo_step(ed);
    for (int i = 0; i < 5; ++i)
        replace_line(ed, i, "changed", XF_TAG);
    EXPECT_EQ(file->modification_count, 1);
    EXPECT_EQ(undo_steps(ed, 1), 1);
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two", "three", "four", "five"}));
    EXPECT_EQ(file->modification_count, 0);
}

TEST_F(LineStoreTest, UndoAllRestoresEveryOperationKind) {
    Texts original = line_texts(ed);
    start_undo_step(ed);
    replace_line(ed, 0, "r", XF_TAG);
    start_undo_step(ed);
    insert_line(ed, 2, "i", XF_TAG);
    xf_do(ed, 'I', {}, -1, 2, record_user, texts({"I1", "I2"}), XF_TAG);
    start_undo_step(ed);
    delete_lines(ed, 4, 1, XF_TAG);
    delete_lines(ed, 0, 3, XF_TAG);
    xf_do(ed, 's', {}, 0, 3, record_user, {}, XF_TAG);
    EXPECT_EQ(file->modification_count, 3);
    EXPECT_EQ(undo_steps(ed, -1), 3);
    EXPECT_EQ(line_texts(ed), original);
    EXPECT_EQ(file->lines[0].flags, 0u);
    EXPECT_EQ(file->modification_count, 0);
    EXPECT_EQ(file->change_count, 0);
}

TEST_F(LineStoreTest, UndoLeavesModifiedCountAtLeastOneWhileStepsRemain) {
    start_undo_step(ed);
    replace_line(ed, 0, "a", XF_TAG);
    start_undo_step(ed);
    replace_line(ed, 1, "b", XF_TAG);
    EXPECT_EQ(file->modification_count, 2);
    undo_steps(ed, 1);
    EXPECT_EQ(file->modification_count, 1);
    EXPECT_EQ(line_texts(ed)[0], "a");
    EXPECT_EQ(line_texts(ed)[1], "two");
}

TEST_F(LineStoreTest, RedoReplaysTheUndoneStepInOrder) {
    start_undo_step(ed);
    replace_line(ed, 0, "x", XF_TAG);
    insert_line(ed, 0, "y", XF_TAG);
    delete_lines(ed, 3, 2, XF_TAG);
    xf_do(ed, 's', {}, 0, 1, record_user, {}, XF_TAG);
    Texts changed = line_texts(ed);
    undo_steps(ed, 1);
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two", "three", "four", "five"}));
    EXPECT_EQ(file->lines[0].flags, 0u);
    ASSERT_TRUE(redo_step(ed));
    EXPECT_EQ(line_texts(ed), changed);
    EXPECT_EQ(file->lines[0].flags, 1u);
    EXPECT_EQ(file->modification_count, 1);
    EXPECT_FALSE(redo_step(ed));
    // And the replayed step can be undone again.
    EXPECT_EQ(undo_steps(ed, 1), 1);
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two", "three", "four", "five"}));
}

TEST_F(LineStoreTest, RedoOfSeveralStepsGoesOneStepAtATime) {
    start_undo_step(ed);
    replace_line(ed, 0, "a", XF_TAG);
    start_undo_step(ed);
    replace_line(ed, 1, "b", XF_TAG);
    undo_steps(ed, 2);
    ASSERT_TRUE(redo_step(ed));
    EXPECT_EQ(line_texts(ed)[0], "a");
    EXPECT_EQ(line_texts(ed)[1], "two");
    ASSERT_TRUE(redo_step(ed));
    EXPECT_EQ(line_texts(ed)[1], "b");
}

TEST_F(LineStoreTest, ACommandAfterUndoDiscardsTheRedoLog) {
    start_undo_step(ed);
    replace_line(ed, 0, "a", XF_TAG);
    undo_steps(ed, 1);
    start_undo_step(ed);
    replace_line(ed, 1, "b", XF_TAG);
    EXPECT_FALSE(redo_step(ed));
    EXPECT_EQ(line_texts(ed)[0], "one");
}

TEST_F(LineStoreTest, UndoAndRedoOnEmptyLogsDoNothing) {
    EXPECT_EQ(undo_steps(ed, 1), 0);
    EXPECT_FALSE(redo_step(ed));
    Editor empty;
    EXPECT_EQ(undo_steps(empty, -1), 0);
    EXPECT_FALSE(redo_step(empty));
}

TEST_F(LineStoreTest, UnrecordedChangesAreNotUndone) {
    xf_do(ed, 'r', LineText("quiet"), 0, 1, record_none, {}, XF_TAG);
    EXPECT_TRUE(file->undo_log.empty());
    EXPECT_EQ(undo_steps(ed, 1), 0);
    EXPECT_EQ(line_texts(ed)[0], "quiet");
}

} // namespace
} // namespace voren
