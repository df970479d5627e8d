// The line index after every kind of change equals the index of a fresh
// scan, and the file equals a model kept in memory.
#include <random>

#include "harness.h"

namespace tolma::test {

namespace {

std::vector<int64_t> starts_of(const std::string& text) {
    std::vector<int64_t> v;
    for (size_t i = 0; i < text.size(); ++i)
        if (i == 0 || text[i - 1] == '\n') v.push_back(static_cast<int64_t>(i));
    return v;
}

std::string random_text(std::mt19937& rng, int max_len) {
    static const char alphabet[] = "ab\ncd\n\n xyz";
    std::uniform_int_distribution<int> len(0, max_len), ch(0, sizeof alphabet - 2);
    std::string s(static_cast<size_t>(len(rng)), ' ');
    for (char& c : s)
        c = alphabet[ch(rng)];
    return s;
}

} // namespace

TEST(LineIndex, FollowsRandomChanges) {
    Io t;
    std::mt19937 rng(12345);
    std::string model = "first\nsecond\nthird\n";
    t.scratch.write("m.txt", model);
    std::string msg;
    Stream* s = open_stream(t.in, t.path("m.txt"), "TEST", true, msg);
    ASSERT_NE(s, nullptr) << msg;
    StreamTable& table = stream_table(t.in);
    for (int step = 0; step < 400; ++step) {
        int op = std::uniform_int_distribution<int>(0, 4)(rng);
        int64_t lines = s->line_count();
        int64_t line = std::uniform_int_distribution<int64_t>(0, lines)(rng);
        if (op == 0) { // write a line (replace or append)
            std::string text = random_text(rng, 8);
            for (char& c : text)
                if (c == '\n') c = '-';
            s->line = line;
            ASSERT_TRUE(write_stream_line(table, *s, text, "TEST", msg)) << msg;
        } else if (op == 1) { // insert lines
            std::vector<std::string> add(std::uniform_int_distribution<int>(0, 3)(rng), "ins");
            s->line = line;
            ASSERT_TRUE(insert_stream_lines(table, *s, add, "TEST", msg)) << msg;
        } else if (op == 2) { // delete lines
            ASSERT_TRUE(delete_stream_lines(*s, line, 2, "TEST", msg)) << msg;
        } else { // replace any bytes
            int64_t from = std::uniform_int_distribution<int64_t>(0, s->size)(rng);
            int64_t to = std::uniform_int_distribution<int64_t>(from, s->size)(rng);
            ASSERT_TRUE(replace_stream_bytes(*s, from, to, random_text(rng, 12), "TEST", msg))
                << msg;
        }
        std::string content = t.read("m.txt");
        ASSERT_EQ(s->size, static_cast<int64_t>(content.size())) << "step " << step;
        ASSERT_EQ(s->starts, starts_of(content)) << "step " << step;
        ASSERT_EQ(s->ends_with_newline, content.empty() || content.back() == '\n');
        model = content;
    }
}

TEST(LineIndex, WrittenLineReadsBack) {
    Io t;
    t.scratch.write("m.txt", "a\nbb\nccc\n");
    std::string msg, text;
    Stream* s = open_stream(t.in, t.path("m.txt"), "TEST", false, msg);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->line, 0);
    StreamTable& table = stream_table(t.in);
    s->line = 1;
    ASSERT_TRUE(write_stream_line(table, *s, "replaced", "TEST", msg)) << msg;
    EXPECT_EQ(s->line, 2);
    ASSERT_TRUE(read_stream_line(table, *s, 1, text, "TEST", msg));
    EXPECT_EQ(text, "replaced");
    ASSERT_TRUE(read_stream_line(table, *s, 2, text, "TEST", msg));
    EXPECT_EQ(text, "ccc");
    EXPECT_EQ(s->line, 3);
}

} // namespace tolma::test
