// The data queue and its buffer commands.
#include <gtest/gtest.h>

#include "rexx/core/interp.h"
#include "rexx/lib/stack.h"

namespace tolma::test {

namespace {

std::string pull(DataQueue& q) {
    std::string l;
    EXPECT_TRUE(stack_pull(q, l));
    return l;
}

int command(DataQueue& q, std::string_view c) {
    int rc = -99;
    EXPECT_TRUE(buffer_command(q, c, rc)) << c;
    return rc;
}

} // namespace

TEST(DataQueue, PushQueuePullOrder) {
    DataQueue q;
    stack_queue(q, "a");
    stack_queue(q, "b");
    stack_push(q, "c");
    EXPECT_EQ(stack_count(q), 3u);
    EXPECT_EQ(pull(q), "c");
    EXPECT_EQ(pull(q), "a");
    EXPECT_EQ(pull(q), "b");
    std::string l = "untouched";
    EXPECT_FALSE(stack_pull(q, l));
}

TEST(DataQueue, BuffersSaveAndRestore) {
    DataQueue q;
    stack_queue(q, "first");
    EXPECT_EQ(command(q, "MAKEBUF"), 1);
    EXPECT_EQ(stack_count(q), 0u);
    stack_queue(q, "second");
    EXPECT_EQ(command(q, "makebuf"), 2);
    stack_queue(q, "third");
    EXPECT_EQ(command(q, "SENTRIES"), 1);
    EXPECT_EQ(command(q, "DROPBUF"), 0);
    EXPECT_EQ(stack_count(q), 1u);
    EXPECT_EQ(q.lines.front(), "second");
    EXPECT_EQ(command(q, "MAKEBUF"), 2);
    stack_queue(q, "again");
    // DROPBUF 1 drops buffers 2 and 1: the lines before the first MAKEBUF.
    EXPECT_EQ(command(q, "DROPBUF 1"), 0);
    EXPECT_EQ(q.buffer_number(), 0);
    EXPECT_EQ(pull(q), "first");
}

TEST(DataQueue, DropbufBadNumbers) {
    DataQueue q;
    makebuf(q);
    makebuf(q);
    stack_queue(q, "x");
    EXPECT_EQ(command(q, "DROPBUF 5"), 2);
    EXPECT_EQ(command(q, "DROPBUF 0"), 2);
    EXPECT_EQ(command(q, "DROPBUF -1"), 2);
    EXPECT_EQ(command(q, "DROPBUF x"), 1);
    EXPECT_EQ(command(q, "dropbuf 1.5"), 1);
    EXPECT_EQ(q.buffer_number(), 2);
    EXPECT_EQ(stack_count(q), 1u);
    EXPECT_EQ(command(q, "DROPBUF 2"), 0);
    EXPECT_EQ(q.buffer_number(), 1);
    DataQueue empty;
    EXPECT_EQ(command(empty, "DROPBUF"), 2);
}

TEST(DataQueue, DesbufAndRecognition) {
    DataQueue q;
    stack_queue(q, "a");
    makebuf(q);
    stack_queue(q, "b");
    stack_queue(q, "c");
    EXPECT_EQ(command(q, " desbuf "), 0);
    EXPECT_EQ(stack_count(q), 0u);
    EXPECT_EQ(q.buffer_number(), 1);
    int rc = 0;
    EXPECT_FALSE(buffer_command(q, "DESBUF now", rc));
    EXPECT_FALSE(buffer_command(q, "MAKEBUFS", rc));
    EXPECT_FALSE(buffer_command(q, "ls -l", rc));
    EXPECT_FALSE(buffer_command(q, "", rc));
}

TEST(DataQueue, PullReadsTheConsoleWhenEmpty) {
    Interp in;
    std::vector<std::string> typed = {"typed\r\n"};
    in.read_line = [&](std::string& l) {
        if (typed.empty()) return false;
        l = typed.front();
        typed.erase(typed.begin());
        return true;
    };
    stack_queue(in.queue, "queued");
    std::string l;
    EXPECT_TRUE(pull_line(in, l));
    EXPECT_EQ(l, "queued");
    EXPECT_TRUE(pull_line(in, l));
    EXPECT_EQ(l, "typed");
    EXPECT_FALSE(pull_line(in, l));
    EXPECT_EQ(l, "");
    // Saved buffers are not read by PULL.
    stack_queue(in.queue, "older");
    makebuf(in.queue);
    EXPECT_FALSE(pull_line(in, l));
    EXPECT_EQ(in.queue.saved[0].size(), 1u);
}

} // namespace tolma::test
