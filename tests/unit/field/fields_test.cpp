// Fields on the headless window: creating, filling, clipping, overlapping, the
// grid dump and the modified-field report.
#include "platform/headless.h"

#include <gtest/gtest.h>

namespace voren::platform {
namespace {

FieldSpec output(int id, int row, int col, int width, int colour = 7) {
    FieldSpec s;
    s.id = id;
    s.row = row;
    s.col = col;
    s.width = width;
    s.colour = colour;
    return s;
}

FieldSpec input(int id, int row, int col, int width, int height = 1) {
    FieldSpec s = output(id, row, col, width);
    s.input = true;
    s.height = height;
    return s;
}

struct Fields : ::testing::Test {
    FieldWindow w;
    void SetUp() override { open_headless_window(w, 4, 12); }
};

TEST_F(Fields, NewWindowIsBlankOfItsSize) {
    EXPECT_EQ(window_size(w).rows, 4);
    EXPECT_EQ(window_size(w).cols, 12);
    EXPECT_EQ(dump_text(w), std::string(12, ' ') + "\n" + std::string(12, ' ') + "\n" +
                                std::string(12, ' ') + "\n" + std::string(12, ' '));
    EXPECT_EQ(dump_text(w, true), "\n\n\n");
}

TEST_F(Fields, OutputTextIsCutAndPadded) {
    ASSERT_TRUE(create_field(w, output(1, 0, 2, 5)));
    ASSERT_TRUE(set_field_text(w, 1, "abcdefgh"));
    EXPECT_EQ(dump_row(w, 0), "  abcde     ");
    ASSERT_TRUE(set_field_text(w, 1, "xy"));
    EXPECT_EQ(dump_row(w, 0), "  xy        ");
    EXPECT_EQ(find_field(w, 1)->text, "xy");
}

TEST_F(Fields, CreatedWithItsText) {
    ASSERT_TRUE(create_field(w, output(1, 1, 1, 4), "abcdef"));
    EXPECT_EQ(dump_row(w, 1), " abcd       ");
    ASSERT_TRUE(create_field(w, input(2, 2, 0, 3), "xyz"));
    EXPECT_TRUE(modified_fields(w).empty()); // filled by the program, not the user
    EXPECT_TRUE(user_edit_field(w, 2, "xyz"));
    EXPECT_TRUE(modified_fields(w).empty()); // same text again
}

TEST_F(Fields, CellsCarryColourAndAttributes) {
    FieldSpec s = output(1, 1, 0, 3, 12);
    s.attrs = AttrHighlight;
    create_field(w, s);
    const Cell& c = w.cells[1 * 12 + 1];
    EXPECT_EQ(c.colour, 12);
    EXPECT_EQ(c.attrs, AttrHighlight);
    EXPECT_EQ(w.cells[0].colour, 0); // outside every field
    ASSERT_TRUE(set_field_colour(w, 1, 2, 0));
    EXPECT_EQ(w.cells[1 * 12 + 1].colour, 2);
    EXPECT_FALSE(set_field_colour(w, 1, 64, 0));
}

TEST_F(Fields, FieldsAreClippedToTheWindow) {
    ASSERT_TRUE(create_field(w, output(1, 3, 8, 10)));
    set_field_text(w, 1, "0123456789");
    EXPECT_EQ(dump_row(w, 3), "        0123");
    EXPECT_FALSE(create_field(w, output(2, 4, 0, 3)));  // below the window
    EXPECT_FALSE(create_field(w, output(3, 0, 12, 3))); // right of it
    EXPECT_FALSE(create_field(w, output(4, 0, 0, 0)));  // no width
    EXPECT_EQ(find_field(w, 2), nullptr);
}

TEST_F(Fields, ByteValuesShowOneCellEach) {
    create_field(w, output(1, 0, 0, 12));
    set_field_text(w, 1, std::string("a\x01\xe9\x7f\x85z", 6));
    EXPECT_EQ(dump_row(w, 0), std::string("a.\xe9..z      ", 12));
    EXPECT_EQ(w.cells[2].ch, 0xe9);
    EXPECT_EQ(w.cells[1].ch, 0x01);
}

TEST(CellGlyphs, LatinOneAndControlSubstitutes) {
    EXPECT_EQ(cell_glyph('A').ch, U'A');
    EXPECT_FALSE(cell_glyph('A').control);
    EXPECT_EQ(cell_glyph(0xe9).ch, U'\u00e9');
    EXPECT_FALSE(cell_glyph(0xa0).control);
    EXPECT_EQ(cell_glyph(0x01).ch, U'A');
    EXPECT_TRUE(cell_glyph(0x01).control);
    EXPECT_EQ(cell_glyph(0x00).ch, U'@');
    EXPECT_TRUE(cell_glyph(0x7f).control);
    EXPECT_TRUE(cell_glyph(0x85).control);
    EXPECT_TRUE(cell_glyph(0x9f).control);
}

TEST(TerminalTitle, NoEscapesReachTheTerminal) {
    EXPECT_EQ(title_for_terminal("VOREN @ (me)", true), "VOREN @ (me)");
    EXPECT_EQ(title_for_terminal("a\x1b]2;x\x07"
                                 "b",
                                 true),
              "a?]2;x?b");
    EXPECT_EQ(title_for_terminal("\x9b"
                                 "31m",
                                 true),
              "?31m");
    EXPECT_EQ(title_for_terminal("caf\xe9", true), "caf\xc3\xa9");
    EXPECT_EQ(title_for_terminal("caf\xe9", false), "caf\xe9");
}

TEST_F(Fields, LaterFieldsCoverEarlierOnes) {
    create_field(w, output(1, 0, 0, 10));
    set_field_text(w, 1, "aaaaaaaaaa");
    create_field(w, output(2, 0, 3, 2));
    set_field_text(w, 2, "BB");
    EXPECT_EQ(dump_row(w, 0), "aaaBBaaaaa  ");
    // Refilling the covered field does not overwrite the covering one.
    set_field_text(w, 1, "cccccccccc");
    EXPECT_EQ(dump_row(w, 0), "cccBBccccc  ");
}

TEST_F(Fields, RecreatingAFieldMovesIt) {
    create_field(w, output(1, 0, 0, 4));
    set_field_text(w, 1, "abcd");
    ASSERT_TRUE(create_field(w, output(1, 2, 4, 4)));
    set_field_text(w, 1, "wxyz");
    EXPECT_EQ(dump_text(w, true), "\n\n    wxyz\n");
    EXPECT_EQ(w.fields.size(), 1u);
}

TEST_F(Fields, RecreatedFieldGoesOnTopAndUncoversWhatItLeft) {
    create_field(w, output(1, 0, 0, 10));
    set_field_text(w, 1, "aaaaaaaaaa");
    create_field(w, output(2, 0, 2, 3));
    set_field_text(w, 2, "BBB");
    create_field(w, output(3, 0, 6, 3));
    set_field_text(w, 3, "CCC");
    create_field(w, output(2, 0, 7, 3)); // moves onto field 3
    set_field_text(w, 2, "ddd");
    EXPECT_EQ(dump_row(w, 0), "aaaaaaCddd  ");
    EXPECT_EQ(w.fields.back().desc.id, 2);
}

TEST_F(Fields, AbsurdSizesAreRefused) {
    EXPECT_FALSE(create_field(w, output(1, 0, 0, 2000000000)));
    FieldSpec s = output(1, 0, 0, 5);
    s.height = 2000000000;
    EXPECT_FALSE(create_field(w, s));
    EXPECT_FALSE(create_field(w, output(1, -2000000000, 0, 5)));
    EXPECT_TRUE(w.fields.empty());
}

TEST_F(Fields, ClearRemovesEverything) {
    create_field(w, input(1, 0, 0, 4));
    user_edit_field(w, 1, "abc");
    clear_fields(w);
    EXPECT_EQ(dump_text(w, true), "\n\n\n");
    EXPECT_TRUE(modified_fields(w).empty());
    EXPECT_EQ(find_field(w, 1), nullptr);
    EXPECT_FALSE(set_field_text(w, 1, "x"));
}

TEST_F(Fields, TwoRowInputContinuesOnTheNextRow) {
    create_field(w, input(1, 1, 2, 5, 2));
    set_field_text(w, 1, "abcdefghijkl");
    EXPECT_EQ(dump_row(w, 1), "  abcde     ");
    EXPECT_EQ(dump_row(w, 2), "  fghij     ");
    EXPECT_EQ(find_field(w, 1)->text, "abcdefghij");
}

TEST_F(Fields, OnlyFieldsTheUserChangedAreReported) {
    create_field(w, input(1, 0, 0, 6));
    create_field(w, input(2, 1, 0, 6));
    create_field(w, output(3, 2, 0, 6));
    set_field_text(w, 1, "one");
    set_field_text(w, 2, "two");
    EXPECT_TRUE(modified_fields(w).empty());
    EXPECT_TRUE(user_edit_field(w, 2, "TWO"));
    EXPECT_FALSE(user_edit_field(w, 3, "protected"));
    auto m = modified_fields(w);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].id, 2);
    EXPECT_EQ(m[0].text, "TWO");
    // Filling the field again makes it unmodified.
    set_field_text(w, 2, "two");
    EXPECT_TRUE(modified_fields(w).empty());
}

TEST_F(Fields, CursorIsPlacedInAField) {
    create_field(w, input(1, 1, 2, 5, 2));
    ASSERT_TRUE(place_cursor(w, 1, 7));
    CursorPos c = cursor_position(w);
    EXPECT_EQ(c.row, 2);
    EXPECT_EQ(c.col, 4);
    EXPECT_EQ(c.field_id, 1);
    EXPECT_EQ(c.offset, 7);
    place_cursor(w, 1, 99); // clamped to the last cell
    EXPECT_EQ(cursor_position(w).offset, 9);
    EXPECT_FALSE(place_cursor(w, 5, 0));
    place_cursor_at(w, 0, 0);
    EXPECT_EQ(cursor_position(w).field_id, -1);
    place_cursor_at(w, 50, 50); // clamped to the window
    EXPECT_EQ(cursor_position(w).row, 3);
    EXPECT_EQ(cursor_position(w).col, 11);
}

TEST_F(Fields, TitleReachesTheWindowOnlyWhenChanged) {
    set_title(w, "VOREN @ (me)");
    set_title(w, "VOREN @ (me)");
    EXPECT_EQ(headless_state(w)->titles_set, 1);
    set_title(w, "other");
    EXPECT_EQ(headless_state(w)->titles_set, 2);
    EXPECT_EQ(w.title, "other");
}

TEST_F(Fields, BellAndFlashAreRecorded) {
    create_field(w, output(7, 0, 0, 3));
    ring_bell(w);
    EXPECT_TRUE(flash_field(w, 7));
    EXPECT_FALSE(flash_field(w, 8));
    EXPECT_EQ(headless_state(w)->bells, 1);
    EXPECT_EQ(headless_state(w)->flashed, std::vector<int>{7});
}

TEST_F(Fields, ResizeKeepsFieldsAndWhatWasTyped) {
    create_field(w, input(1, 0, 0, 10));
    create_field(w, input(2, 3, 0, 10));
    user_edit_field(w, 2, "typed");
    resize_grid(w, 2, 6);
    EXPECT_EQ(dump_text(w, true), "\n");
    auto m = modified_fields(w);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].text, "typed");
    resize_grid(w, 5, 12);
    EXPECT_EQ(dump_row(w, 3), "typed       ");
}

TEST(HeadlessScriptless, WindowOfNoSizeIsHarmless) {
    FieldWindow w;
    open_headless_window(w, 0, 0);
    EXPECT_FALSE(create_field(w, FieldSpec{1, 0, 0, 1, 3}));
    place_cursor_at(w, 1, 1);
    EXPECT_EQ(dump_text(w), "");
    EXPECT_EQ(read_input(w).key.kind, KeyKind::ScriptEnd);
}

} // namespace
} // namespace voren::platform
