#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "test_support.h"

namespace voren {
namespace {

TEST(Messages, TextsByteForByte) {
    EXPECT_EQ(message_text(0), "..... File error");
    EXPECT_EQ(message_text(16), "..... Invalid parameters");
    EXPECT_EQ(message_text(17), "..... 1 occurrence changed");
    EXPECT_EQ(message_text(24), "..... Invalid command");
    EXPECT_EQ(message_text(118), "..... Read only file; use the \"RW ON\" command before");
    EXPECT_EQ(message_text(120), "..... Invalid key numbers: must be within 15 24 15");
    EXPECT_EQ(message_text(164), "..... Not implemented");
    EXPECT_EQ(message_text(174), "..... File has been changed; type QQUIT to quit anyway");
    EXPECT_EQ(message_text(207), "..... Is OPENLOOK WHEEL");
    EXPECT_EQ(message_text(70), "..... Invalid \\n character within a command");
    EXPECT_EQ(message_text(141),
              "..... Warning: reloaded file; previous file saved in backup format.");
}

TEST(Messages, UnusedNumbersAreEmptyAndCountIsRight) {
    int defined = 0;
    for (int i = 0; i < kMessageCount; ++i) {
        std::string_view t = message_text(i);
        if (t.empty()) continue;
        ++defined;
        EXPECT_EQ(t.substr(0, 6), "..... ") << i;
    }
    EXPECT_EQ(defined, 196);
    for (int unused : {36, 95, 96, 110, 112, 113, 132, 133, 134, 135, 137, 138})
        EXPECT_EQ(message_text(unused), "") << unused;
}

TEST(Messages, OutOfRangeIsUnknownError) {
    EXPECT_EQ(message_text(208), "....... Unknown error");
    EXPECT_EQ(message_text(-1), "....... Unknown error");
}

TEST(Messages, BatchModeWritesToTraceOutput) {
    test::BatchEditor b;
    show_message(b.ed, 164);
    show_text(b.ed, "hello");
    show_message(b.ed, 999);
    EXPECT_EQ(b.output(),
              "voren: ..... Not implemented\nvoren: hello\nvoren: ....... Unknown error\n");
    EXPECT_EQ(b.ed.cmd.last_message, "....... Unknown error");
}

TEST(Messages, ScreenModeFillsTheMessageLine) {
    Editor ed;
    ed.cmd.message_width = 10;
    show_text(ed, "abc");
    EXPECT_EQ(ed.cmd.message_line, "abc       ");
    EXPECT_EQ(ed.cmd.last_message, "abc");
    show_text(ed, "0123456789abcdef", MessageMode::StayBeep);
    EXPECT_EQ(ed.cmd.message_line, "0123456789");
    EXPECT_EQ(ed.cmd.last_message, "0123456789abcdef");
    EXPECT_EQ(ed.cmd.message_mode, 3);
    EXPECT_EQ(ed.cmd.pending_beeps, 4);
}

TEST(Trace, RingKeepsTheLast500) {
    Editor ed;
    for (int i = 0; i < 600; ++i)
        trace_tag(ed, "t" + std::to_string(i));
    EXPECT_EQ(ed.cmd.trace_count, 500);
    EXPECT_EQ(test::last_trace(ed), "t599");
    char path[] = "/tmp/voren_trace_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(write_trace_file(ed, path));
    std::FILE* f = std::fopen(path, "r");
    ASSERT_NE(f, nullptr);
    char line[64];
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "t100\n");
    int lines = 1;
    while (std::fgets(line, sizeof line, f) != nullptr)
        ++lines;
    EXPECT_STREQ(line, "t599\n");
    EXPECT_EQ(lines, 500);
    std::fclose(f);
    std::remove(path);
}

TEST(Trace, FewerTagsThanTheRing) {
    Editor ed;
    trace_tag(ed, "a");
    trace_tag(ed, "b");
    char path[] = "/tmp/voren_trace_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(write_trace_file(ed, path));
    std::FILE* f = std::fopen(path, "r");
    char buf[32] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    std::remove(path);
    EXPECT_EQ(std::string(buf, n), "a\nb\n");
}

TEST(Trace, UnwritableFileIsReported) {
    test::BatchEditor b;
    trace_tag(b.ed, "x");
    EXPECT_FALSE(write_trace_file(b.ed, "/nonexistent-dir/xed.trace"));
    EXPECT_EQ(b.output(), "..... Unable to create \"/nonexistent-dir/xed.trace\"\n");
}

} // namespace
} // namespace voren
