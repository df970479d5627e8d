// A whole screen built from fields, compared as text, and edited through a turn.
#include "platform/headless.h"

#include <gtest/gtest.h>

namespace voren::platform {
namespace {

void field(FieldWindow& w, int id, int row, int col, int width, bool input, std::string_view text,
           int height = 1) {
    FieldSpec s;
    s.id = id;
    s.row = row;
    s.col = col;
    s.width = width;
    s.height = height;
    s.input = input;
    ASSERT_TRUE(create_field(w, s));
    ASSERT_TRUE(set_field_text(w, id, text));
}

TEST(ScreenDump, EditorLikeScreen) {
    FieldWindow w;
    open_headless_window(w, 7, 40);
    field(w, 1, 0, 0, 22, false, "notes.txt");
    field(w, 2, 0, 22, 4, false, "Len:");
    field(w, 3, 0, 26, 6, false, "     3");
    field(w, 4, 0, 32, 5, false, "mod: ");
    field(w, 5, 0, 37, 3, false, "  0");
    field(w, 6, 1, 0, 5, false, "====>");
    field(w, 7, 1, 6, 34, true, "");
    field(w, 8, 2, 0, 40, false, "..... Wrapped");
    const char* lines[] = {"* * * Top of File * * *", "first line", "second", "third"};
    for (int i = 0; i < 4; ++i) {
        field(w, 100 + i, 3 + i, 0, 5, true, i == 0 ? "=====" : "0000" + std::to_string(i));
        field(w, 200 + i, 3 + i, 6, 34, true, lines[i]);
    }
    EXPECT_EQ(dump_text(w, true), "notes.txt             Len:     3mod:   0\n"
                                  "====>\n"
                                  "..... Wrapped\n"
                                  "===== * * * Top of File * * *\n"
                                  "00001 first line\n"
                                  "00002 second\n"
                                  "00003 third");

    // The user deletes line 2 with a prefix command and types a command.
    script_cursor(w, 5, 0);
    script_text(w, "d");
    script_key(w, Key{KeyKind::R, 8}); // up to the first line, same column
    script_key(w, Key{KeyKind::Tab});
    script_text(w, "FIRST");
    script_cursor(w, 1, 6);
    script_text(w, "top");
    script_key(w, Key{KeyKind::Enter});
    InputTurn t = read_input(w);
    EXPECT_EQ(t.key.kind, KeyKind::Enter);
    EXPECT_EQ(t.cursor.field_id, 7);
    auto m = modified_fields(w);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].id, 7);
    EXPECT_EQ(m[0].text, "top");
    EXPECT_EQ(m[1].id, 201); // in creation order
    EXPECT_EQ(m[1].text, "FIRST line");
    EXPECT_EQ(m[2].id, 102);
    EXPECT_EQ(m[2].text, "d0002");
    EXPECT_EQ(dump_row(w, 4), "00001 FIRST line                        ");
}

} // namespace
} // namespace voren::platform
