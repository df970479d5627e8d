// Editing input fields with scripted keys, as the terminal user would.
#include "platform/headless.h"

#include <gtest/gtest.h>

namespace voren::platform {
namespace {

Key key(KeyKind kind, int number = 0, std::uint8_t mods = 0) {
    Key k;
    k.kind = kind;
    k.number = number;
    k.modifiers = mods;
    return k;
}

const Key enter = key(KeyKind::Enter);
const Key up = key(KeyKind::R, 8), down = key(KeyKind::R, 14);
const Key left = key(KeyKind::R, 10), right = key(KeyKind::R, 12);
const Key tab = key(KeyKind::Tab), backtab = key(KeyKind::Tab, 0, ModShift);
const Key backspace = key(KeyKind::Backspace), del = key(KeyKind::Delete);
const Key insert = key(KeyKind::Insert);

// A little screen: a protected prompt and a command line on row 0, and three
// lines of "file area" with a prefix field and a text field each.
struct Editing : ::testing::Test {
    FieldWindow w;
    void SetUp() override {
        open_headless_window(w, 5, 20);
        add(1, 0, 0, 5, false);
        set_field_text(w, 1, "====>");
        add(2, 0, 6, 14, true, AttrHome);
        for (int i = 0; i < 3; ++i) {
            add(100 + i, 1 + i, 0, 5, true);
            set_field_text(w, 100 + i, "=====");
            add(200 + i, 1 + i, 6, 14, true);
        }
        set_field_text(w, 200, "alpha");
        set_field_text(w, 201, "beta");
        set_field_text(w, 202, "gamma");
        place_cursor(w, 2, 0);
    }
    void add(int id, int row, int col, int width, bool in, unsigned attrs = 0) {
        FieldSpec s;
        s.id = id;
        s.row = row;
        s.col = col;
        s.width = width;
        s.input = in;
        s.attrs = attrs;
        ASSERT_TRUE(create_field(w, s));
    }
    std::string text(int id) { return find_field(w, id)->text; }
    InputTurn run() { return read_input(w); }
};

TEST_F(Editing, TypingOvertypesAndEnterEndsTheTurn) {
    script_text(w, "locate x");
    script_key(w, enter);
    InputTurn t = run();
    EXPECT_EQ(t.key, enter);
    EXPECT_EQ(t.cursor.field_id, 2);
    EXPECT_EQ(t.cursor.offset, 8);
    EXPECT_TRUE(t.cursor_moved);
    auto m = modified_fields(w);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].id, 2);
    EXPECT_EQ(m[0].text, "locate x");
    EXPECT_EQ(dump_row(w, 0), "====> locate x      ");
}

TEST_F(Editing, OvertypeReplacesInsertShifts) {
    place_cursor(w, 200, 1);
    script_text(w, "XY");
    script_key(w, insert);
    script_text(w, "12");
    script_key(w, enter);
    run();
    EXPECT_EQ(text(200), "aXY12ha");
    EXPECT_TRUE(w.insert_mode);
}

TEST_F(Editing, TypingBeyondTheTextPadsWithBlanks) {
    place_cursor(w, 201, 7);
    script_text(w, "x");
    script_key(w, enter);
    run();
    EXPECT_EQ(text(201), "beta   x");
}

TEST_F(Editing, InsertNeverPushesTextOffTheField) {
    place_cursor(w, 200, 0);
    set_field_text(w, 200, "abcdefghijklmn"); // full: 14 of 14
    script_key(w, insert);
    script_text(w, "Z");
    script_key(w, enter);
    run();
    EXPECT_EQ(text(200), "abcdefghijklmn");
    EXPECT_EQ(headless_state(w)->bells, 1);
    EXPECT_TRUE(modified_fields(w).empty());
    // A trailing blank may fall off.
    set_field_text(w, 200, "abcdefghijklm ");
    place_cursor(w, 200, 0);
    script_text(w, "Z");
    script_key(w, enter);
    run();
    EXPECT_EQ(text(200), "Zabcdefghijklm");
}

TEST_F(Editing, BackspaceAndDelete) {
    place_cursor(w, 202, 3); // gam|ma
    script_key(w, backspace);
    script_key(w, del);
    script_key(w, enter);
    InputTurn t = run();
    EXPECT_EQ(text(202), "gaa");
    EXPECT_EQ(t.cursor.offset, 2);
    // Backspace at the start of a field does nothing.
    place_cursor(w, 201, 0);
    script_key(w, backspace);
    script_key(w, enter);
    run();
    EXPECT_EQ(text(201), "beta");
}

TEST_F(Editing, KeysThatChangeNothingLeaveTheFieldUnmodified) {
    place_cursor(w, 201, 10); // beyond the end of "beta"
    script_key(w, del);
    script_key(w, backspace);
    script_cursor(w, 1, 6); // alpha
    script_text(w, "a");    // the same letter again
    script_key(w, enter);
    run();
    EXPECT_TRUE(modified_fields(w).empty());
    // Typing and taking it back again is no change either.
    place_cursor(w, 202, 5);
    script_key(w, insert);
    script_text(w, "s");
    script_key(w, backspace);
    script_key(w, enter);
    run();
    EXPECT_EQ(text(202), "gamma");
    EXPECT_TRUE(modified_fields(w).empty());
}

TEST_F(Editing, TypingOnAProtectedCellRingsTheBell) {
    place_cursor_at(w, 0, 2);
    script_text(w, "x");
    script_key(w, enter);
    run();
    EXPECT_EQ(dump_row(w, 0).substr(0, 5), "====>");
    EXPECT_EQ(headless_state(w)->bells, 1);
    EXPECT_TRUE(modified_fields(w).empty());
}

TEST_F(Editing, TabAndShiftTabWalkTheInputFields) {
    std::vector<int> visited;
    for (int i = 0; i < 8; ++i) {
        apply_edit_key(w, tab);
        visited.push_back(cursor_position(w).field_id);
        EXPECT_EQ(cursor_position(w).offset, 0);
    }
    EXPECT_EQ(visited, (std::vector<int>{100, 200, 101, 201, 102, 202, 2, 100}));
    apply_edit_key(w, backtab);
    EXPECT_EQ(cursor_position(w).field_id, 2);
    apply_edit_key(w, backtab); // wraps to the last field
    EXPECT_EQ(cursor_position(w).field_id, 202);
    // Inside a field, Shift-Tab goes to its own start first.
    place_cursor(w, 201, 3);
    apply_edit_key(w, backtab);
    EXPECT_EQ(cursor_position(w).field_id, 201);
    EXPECT_EQ(cursor_position(w).offset, 0);
}

TEST_F(Editing, TabGoesToTheFirstVisibleCellOfACoveredField) {
    FieldWindow v;
    open_headless_window(v, 2, 10);
    FieldSpec a;
    a.id = 1;
    a.col = 0;
    a.width = 6;
    a.input = true;
    create_field(v, a);
    FieldSpec b;
    b.id = 2;
    b.col = 0;
    b.width = 2; // a protected field over the start of field 1
    create_field(v, b);
    place_cursor_at(v, 1, 9);
    apply_edit_key(v, tab);
    EXPECT_EQ(cursor_position(v).field_id, 1);
    EXPECT_EQ(cursor_position(v).offset, 2);
    apply_edit_key(v, tab); // the only input field: stays
    EXPECT_EQ(cursor_position(v).offset, 2);
    // Home without a home field does nothing.
    InputPolicy p;
    p.field_function = [](const Key&) { return FieldFunction::Home; };
    apply_edit_key(v, tab, p);
    EXPECT_EQ(cursor_position(v).offset, 2);
}

TEST_F(Editing, ArrowsMoveAcrossFieldsAndWrap) {
    place_cursor(w, 2, 0); // row 0, col 6
    apply_edit_key(w, down);
    EXPECT_EQ(cursor_position(w).field_id, 200);
    apply_edit_key(w, left);
    EXPECT_EQ(cursor_position(w).field_id, -1); // the blank column between fields
    apply_edit_key(w, left);
    EXPECT_EQ(cursor_position(w).field_id, 100);
    EXPECT_EQ(cursor_position(w).offset, 4);
    place_cursor_at(w, 0, 0);
    apply_edit_key(w, up); // wraps to the bottom row
    EXPECT_EQ(cursor_position(w).row, 4);
    apply_edit_key(w, left); // and left of column 0 is the end of the previous row
    EXPECT_EQ(cursor_position(w).row, 3);
    EXPECT_EQ(cursor_position(w).col, 19);
    apply_edit_key(w, right);
    EXPECT_EQ(cursor_position(w).row, 4);
    EXPECT_EQ(cursor_position(w).col, 0);
    // Modified arrows are not editing keys.
    EXPECT_FALSE(apply_edit_key(w, key(KeyKind::R, 8, ModControl)));
}

TEST_F(Editing, TypingIntoAFullFieldSkipsToTheNextInputField) {
    place_cursor(w, 100, 3);
    script_text(w, "d3x");
    script_key(w, enter);
    run();
    EXPECT_EQ(text(100), "===d3");
    EXPECT_EQ(text(200), "xlpha");
}

TEST_F(Editing, TwoRowFieldEditsAcrossItsRows) {
    FieldWindow v;
    open_headless_window(v, 3, 10);
    FieldSpec s;
    s.id = 9;
    s.row = 0;
    s.col = 2;
    s.width = 4;
    s.height = 2;
    s.input = true;
    create_field(v, s);
    set_field_text(v, 9, "abcdefg");
    place_cursor(v, 9, 3);
    apply_edit_key(v, key(KeyKind::Char));
    Key ins = insert;
    apply_edit_key(v, ins);
    Key x;
    x.kind = KeyKind::Char;
    x.code = 'X';
    apply_edit_key(v, x); // inserted at offset 4: the start of the second row
    EXPECT_EQ(find_field(v, 9)->text, std::string("abc\0Xefg", 8));
    EXPECT_EQ(cursor_position(v).row, 1);
    EXPECT_EQ(cursor_position(v).col, 3);
    apply_edit_key(v, backspace);
    apply_edit_key(v, backspace);
    EXPECT_EQ(find_field(v, 9)->text, "abcefg");
    EXPECT_EQ(dump_row(v, 0), "  abce    ");
    EXPECT_EQ(dump_row(v, 1), "  fg      ");
}

TEST_F(Editing, FunctionKeysEndTheTurnByDefaultOtherKeysDoNot) {
    Key alt_x;
    alt_x.kind = KeyKind::Alt;
    alt_x.code = 'x';
    script_key(w, alt_x);
    script_key(w, key(KeyKind::R, 7)); // Home: left to the key definitions
    script_key(w, key(KeyKind::F, 3, ModShift));
    InputTurn t = run();
    EXPECT_EQ(key_name(t.key), "S-F3");
    EXPECT_EQ(t.cursor.field_id, 2);
    EXPECT_EQ(t.cursor.offset, 0);
}

TEST_F(Editing, DefinedKeysEndTheTurn) {
    InputPolicy p;
    p.ends_turn = [](const Key& k) { return k.kind == KeyKind::Alt && k.code == 'x'; };
    Key alt_x;
    alt_x.kind = KeyKind::Alt;
    alt_x.code = 'x';
    script_key(w, key(KeyKind::F, 1)); // not defined under this policy: ignored
    script_text(w, "q");
    script_key(w, alt_x);
    InputTurn t = read_input(w, p);
    EXPECT_EQ(t.key, alt_x);
    EXPECT_EQ(text(2), "q");
}

TEST_F(Editing, ADefinedArrowEndsTheTurnInsteadOfMoving) {
    InputPolicy p;
    p.ends_turn = [](const Key& k) { return k.kind == KeyKind::R && k.number == 14; };
    script_key(w, down);
    InputTurn t = read_input(w, p);
    EXPECT_EQ(key_name(t.key), "R14");
    EXPECT_EQ(t.cursor.row, 0); // did not move
    EXPECT_FALSE(t.cursor_moved);
}

TEST_F(Editing, FieldFunctionsBoundToKeys) {
    InputPolicy p;
    p.field_function = [](const Key& k) {
        if (k.kind != KeyKind::Control) return FieldFunction::None;
        switch (k.code) {
        case 'h': return FieldFunction::Home;
        case 'e': return FieldFunction::EraseEof;
        case 'd': return FieldFunction::DownField;
        case 'u': return FieldFunction::UpField;
        case 'k': return FieldFunction::Caps;
        default: return FieldFunction::None;
        }
    };
    auto ctrl = [](char c) {
        Key k;
        k.kind = KeyKind::Control;
        k.code = static_cast<unsigned char>(c);
        return k;
    };
    place_cursor(w, 201, 2);
    apply_edit_key(w, ctrl('e'), p);
    EXPECT_EQ(text(201), "be");
    apply_edit_key(w, ctrl('h'), p); // to the command line
    EXPECT_EQ(cursor_position(w).field_id, 2);
    apply_edit_key(w, ctrl('h'), p); // and back
    EXPECT_EQ(cursor_position(w).field_id, 201);
    EXPECT_EQ(cursor_position(w).offset, 2);
    apply_edit_key(w, ctrl('d'), p);
    EXPECT_EQ(cursor_position(w).field_id, 202);
    EXPECT_EQ(cursor_position(w).offset, 2);
    apply_edit_key(w, ctrl('u'), p);
    apply_edit_key(w, ctrl('u'), p);
    EXPECT_EQ(cursor_position(w).field_id, 200);
    apply_edit_key(w, ctrl('u'), p);
    EXPECT_EQ(cursor_position(w).field_id, 2);
    EXPECT_EQ(cursor_position(w).offset, 2); // same column on the command row
    apply_edit_key(w, ctrl('k'), p);
    Key a;
    a.kind = KeyKind::Char;
    a.code = 'a';
    apply_edit_key(w, a, p);
    EXPECT_EQ(text(2), "  A");
    // From a column with no input field above, the nearest input cell of that row.
    place_cursor_at(w, 2, 5);
    apply_edit_key(w, ctrl('u'), p);
    EXPECT_EQ(cursor_position(w).field_id, 100);
    EXPECT_EQ(cursor_position(w).offset, 4);
    // With a policy that binds nothing to Insert, Insert does nothing.
    EXPECT_FALSE(apply_edit_key(w, insert, p));
    EXPECT_FALSE(w.insert_mode);
}

TEST_F(Editing, ScriptedFieldEditsAndCursorMoves) {
    script_field_edit(w, 201, "changed");
    script_cursor(w, 3, 8);
    script_key(w, key(KeyKind::F, 12));
    InputTurn t = run();
    EXPECT_EQ(t.cursor.field_id, 202);
    EXPECT_EQ(t.cursor.offset, 2);
    auto m = modified_fields(w);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].id, 201);
    EXPECT_EQ(m[0].text, "changed");
}

TEST_F(Editing, ResizeEndsTheTurnAndKeepsTypedText) {
    script_text(w, "abc");
    script_resize(w, 10, 40);
    InputTurn t = run();
    EXPECT_EQ(t.key.kind, KeyKind::Resize);
    EXPECT_EQ(window_size(w).rows, 10);
    EXPECT_EQ(window_size(w).cols, 40);
    EXPECT_EQ(text(2), "abc");
    EXPECT_EQ(run().key.kind, KeyKind::ScriptEnd);
}

TEST_F(Editing, WaitKeyEditsNothing) {
    script_text(w, "y");
    Key k = wait_key(w);
    EXPECT_EQ(k.kind, KeyKind::Char);
    EXPECT_EQ(k.code, 'y');
    EXPECT_TRUE(modified_fields(w).empty());
    EXPECT_EQ(wait_key(w).kind, KeyKind::ScriptEnd);
}

TEST(QuestionBox, ScriptedAnswersAndSafeDefault) {
    FieldWindow w;
    open_headless_window(w, 24, 80);
    std::vector<std::string> lines = {"   The file", "a.txt", "has been modified.", "extra"};
    script_answer(w, Answer::Save);
    script_answer(w, Answer::Continue);
    EXPECT_EQ(ask_question(w, "Do you want to save it?", lines), Answer::Save);
    EXPECT_EQ(ask_question(w, "t", lines), Answer::Continue);
    EXPECT_EQ(ask_question(w, "t", lines), Answer::Cancel); // nothing scripted
    const auto& asked = headless_state(w)->questions;
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].title, "Do you want to save it?");
    EXPECT_EQ(asked[0].lines,
              (std::vector<std::string>{"   The file", "a.txt", "has been modified."}));
    EXPECT_EQ(asked[2].answer, Answer::Cancel);
}

} // namespace
} // namespace voren::platform
