// The key tables in a running editor: SET on keys, the input turn choosing by
// the tables, the movement and cursor commands the default keys run.
#include "screen_test_support.h"

#include "editor/core/line_ops.h"

#include <gtest/gtest.h>

namespace voren {
namespace {

platform::Key key(platform::KeyKind kind, int number = 0, std::uint8_t modifiers = 0) {
    platform::Key k;
    k.kind = kind;
    k.number = number;
    k.modifiers = modifiers;
    return k;
}

platform::Key control(char c) {
    platform::Key k;
    k.kind = platform::KeyKind::Control;
    k.code = static_cast<unsigned char>(c);
    return k;
}

void turn(ScreenFixture& f) {
    redisplay_screens(f.ed);
    wait_for_user_input(f.ed);
    start_undo_step(f.ed);
    run_input_key(f.ed);
}

void command_turn(ScreenFixture& f, const std::string& text) {
    platform::script_field_edit(*f.window, field_id(0, kFieldCmdline), text);
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
}

TEST(KeySet, SetStoresTheDefinitionWithItsDefaultMode) {
    ScreenFixture f;
    EXPECT_EQ(f.run("set f5 locate /x/"), 0);
    EXPECT_EQ(f.ed.keys.f_keys[4], (KeyEntry{"locate /x/", KeyMode::Before}));
    EXPECT_EQ(f.run("set f5 ?"), 0);
    EXPECT_EQ(f.ed.keys.f_keys[4].mode, KeyMode::Only);
    EXPECT_EQ(f.run("set pf13 command top"), 0);
    EXPECT_EQ(f.ed.keys.f_keys[12].definition, "command top");
    EXPECT_EQ(f.run("set s-f1 ignore command bot"), 0);
    EXPECT_EQ(f.ed.keys.f_keys[12], (KeyEntry{"command bot", KeyMode::Ignore}));
}

TEST(KeySet, BadKeyNamesAndNumbersLeaveTheTablesAsTheyWere) {
    ScreenFixture f;
    const KeyTables before = f.ed.keys;
    for (const char* bad : {"set f13 top", "set s-pf3 top", "set s-^a top", "set r16 top",
                            "set f0 top", "set s+x-f1 top", "set backspace ^x"}) {
        f.ed.cmd.last_message.clear();
        EXPECT_EQ(f.run(bad), 1) << bad;
        EXPECT_EQ(f.message(), "..... Invalid parameters") << bad;
        EXPECT_EQ(f.ed.keys, before) << bad;
    }
    for (const char* bad : {"set nbkeys 16 24 15", "set nbkeys 0 12 15", "set nbkeys 10 25 15",
                            "set nbkeys 10 12 16"}) {
        f.ed.cmd.last_message.clear();
        EXPECT_EQ(f.run(bad), 1) << bad;
        EXPECT_EQ(f.message(), "..... Invalid key numbers: must be within 15 24 15") << bad;
        EXPECT_EQ(f.ed.keys, before) << bad;
    }
}

TEST(KeySet, NbkeysKeepsDefinitionsAtTheirKeys) {
    ScreenFixture f;
    ASSERT_EQ(f.run("set s-f3 command hello"), 0);
    ASSERT_EQ(f.run("set nbkeys 15 24 15"), 0);
    EXPECT_EQ(f.ed.keys.nf, 24);
    EXPECT_EQ(f.ed.keys.f_keys[size_t(3 + 24 - 1)].definition, "command hello");
    EXPECT_EQ(f.run("set f24 command far"), 0);
    EXPECT_EQ(f.run("set backspace ^h"), 0);
    EXPECT_EQ(f.ed.keys.backspace, 8);
}

TEST(KeySet, SetAloneShowsTheListingAsARingFile) {
    ScreenFixture f;
    f.ed.start_directory = "/tmp/listing";
    ASSERT_EQ(f.run("set"), 0);
    const File* file = current_file(f.ed);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path, "/tmp/listing/setkeys.voren");
    std::vector<std::string> expected = key_file_lines(f.ed.keys);
    ASSERT_EQ(file->lines.size(), expected.size());
    EXPECT_EQ(file->lines[1].text.view(), "SET F1          ONLY quit");
    // Asking again refreshes the same file instead of adding one.
    f.run("set f2 command top");
    ASSERT_EQ(f.run("set ?"), 0);
    EXPECT_EQ(f.ed.ring.files.size(), 1u);
    EXPECT_EQ(current_file(f.ed)->lines[2].text.view(), "SET F2          BEFORE command top");
}

TEST(KeyTurn, ARedefinedKeyRunsItsNewDefinition) {
    ScreenFixture f(24, 80);
    f.add_lines(50);
    set_current_line(f.ed, 10);
    command_turn(f, "set f5 command bottom");
    EXPECT_EQ(f.ed.cmd.command_line, "");
    platform::script_key(*f.window, key(platform::KeyKind::F, 5));
    turn(f);
    EXPECT_EQ(current_line(f.ed), 49);
}

TEST(KeyTurn, TerminalF13IsTheShiftedF1Entry) {
    KeyTables keys;
    std::optional<KeyId> id = table_key(keys, key(platform::KeyKind::F, 13));
    ASSERT_TRUE(id);
    EXPECT_EQ(id->number, 1);
    EXPECT_TRUE(id->shift);
    EXPECT_FALSE(id->control);
    id = table_key(keys, key(platform::KeyKind::F, 20));
    ASSERT_TRUE(id);
    EXPECT_EQ(id->number, 8);
    EXPECT_EQ(lookup_key(keys, *id)->definition, "command pgdown");
    id = table_key(keys, key(platform::KeyKind::F, 26));
    ASSERT_TRUE(id);
    EXPECT_TRUE(id->control);
    EXPECT_EQ(id->number, 2);
    // A modifier on a key beyond the count has no entry.
    EXPECT_FALSE(table_key(keys, key(platform::KeyKind::F, 13, platform::ModShift)));
}

TEST(KeyTurn, OnlyDefinedKeysEndTheTurn) {
    KeyTables keys;
    platform::InputPolicy policy = input_policy(keys);
    EXPECT_TRUE(policy.ends_turn(key(platform::KeyKind::Enter)));
    EXPECT_TRUE(policy.ends_turn(key(platform::KeyKind::F, 8)));
    EXPECT_FALSE(policy.ends_turn(key(platform::KeyKind::F, 4, platform::ModShift)));
    EXPECT_FALSE(policy.ends_turn(key(platform::KeyKind::R, 8)));
    EXPECT_TRUE(policy.ends_turn(key(platform::KeyKind::R, 8, platform::ModControl)));
    EXPECT_TRUE(policy.ends_turn(control('a')));
    EXPECT_FALSE(policy.ends_turn(control('b')));
    ASSERT_EQ(set_key(keys, "r8 command up"), 0);
    EXPECT_TRUE(policy.ends_turn(key(platform::KeyKind::R, 8)));
}

TEST(KeyTurn, FieldFunctionsComeFromTheBindings) {
    KeyTables keys;
    EXPECT_EQ(bound_function(keys, key(platform::KeyKind::F, 4, platform::ModShift)),
              platform::FieldFunction::None);
    ASSERT_EQ(set_key(keys, "home s-f4"), 0);
    ASSERT_EQ(set_key(keys, "eof ^k"), 0);
    EXPECT_EQ(bound_function(keys, key(platform::KeyKind::F, 4, platform::ModShift)),
              platform::FieldFunction::Home);
    EXPECT_EQ(bound_function(keys, control('k')), platform::FieldFunction::EraseEof);
    EXPECT_EQ(bound_function(keys, key(platform::KeyKind::F, 4)), platform::FieldFunction::None);
}

TEST(KeyTurn, AnAmpersandCommandStaysOnTheCommandLine) {
    ScreenFixture f(24, 80);
    f.add_lines(20);
    set_current_line(f.ed, 0);
    command_turn(f, "&down 2");
    EXPECT_EQ(current_line(f.ed), 2);
    EXPECT_EQ(f.ed.cmd.command_line, "&down 2");
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(current_line(f.ed), 4);
}

TEST(KeyTurn, AFailedCommandStaysAndASuccessfulKeyClearsIt) {
    ScreenFixture f(24, 80);
    f.add_lines(20);
    command_turn(f, "down x");
    EXPECT_EQ(f.message(), "..... Invalid parameters");
    EXPECT_EQ(f.ed.cmd.command_line, "down x");
    // F8 runs its own definition; the typed text is dropped with the turn.
    platform::script_key(*f.window, key(platform::KeyKind::F, 8));
    turn(f);
    EXPECT_EQ(f.ed.cmd.command_line, "");
}

TEST(KeyTurn, LinesTypedOverInOneTurnAreOneUndoStep) {
    ScreenFixture f(12, 40);
    File& file = f.add_texts({"one", "two", "three"});
    set_current_line(f.ed, 0);
    f.draw();
    platform::script_field_edit(*f.window, field_id(0, kFieldText, 5), "ONE");
    platform::script_field_edit(*f.window, field_id(0, kFieldText, 6), "TWO");
    platform::script_key(*f.window, key(platform::KeyKind::F, 8));
    turn(f);
    EXPECT_EQ(file.lines[1].text.view(), "TWO");
    EXPECT_EQ(undo_steps(f.ed, 1), 1);
    EXPECT_EQ(file.lines[0].text.view(), "one");
    EXPECT_EQ(file.lines[1].text.view(), "two");
}

TEST(KeyTurn, EnterOnAFileLineMakesItCurrent) {
    ScreenFixture f(12, 40);
    f.add_lines(10);
    set_current_line(f.ed, 0);
    f.draw();
    platform::script_cursor(*f.window, 6, 8); // screen row 7: line 3
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(current_line(f.ed), 2);
}

TEST(KeyTurn, TheScreenUnderTheCursorBecomesCurrent) {
    ScreenFixture f(24, 80);
    f.add_lines(30);
    ASSERT_EQ(f.run("screen 2"), 0);
    f.ed.screens[1].current_file = 0;
    f.draw();
    const int second_cmdline = field_id(1, kFieldCmdline);
    ASSERT_NE(platform::find_field(*f.window, second_cmdline), nullptr);
    platform::script_field_edit(*f.window, second_cmdline, "down 7");
    const platform::Field* field = platform::find_field(*f.window, second_cmdline);
    platform::script_cursor(*f.window, field->desc.row, field->desc.col + 2);
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(f.ed.screen_index, 1);
    // Screen 2 starts at the top of the file; screen 1 keeps its place.
    EXPECT_EQ(screen_current_line(f.ed, 1, 0), 6);
    EXPECT_EQ(screen_current_line(f.ed, 0, 0), -1);
}

TEST(Movement, CountsAndEdges) {
    ScreenFixture f(24, 80);
    f.add_lines(100);
    set_current_line(f.ed, 0);
    EXPECT_EQ(f.run("down 5"), 0);
    EXPECT_EQ(current_line(f.ed), 5);
    EXPECT_EQ(f.run("next"), 0);
    EXPECT_EQ(current_line(f.ed), 6);
    EXPECT_EQ(f.run("up 3"), 0);
    EXPECT_EQ(current_line(f.ed), 3);
    EXPECT_EQ(f.run("up 10"), 1);
    EXPECT_EQ(current_line(f.ed), -1);
    EXPECT_EQ(f.run("bottom"), 0);
    EXPECT_EQ(current_line(f.ed), 99);
    EXPECT_EQ(f.run("down *"), 1);
    EXPECT_EQ(current_line(f.ed), 99);
    EXPECT_EQ(f.run("up 2"), 0);
    EXPECT_EQ(f.run("down 5"), 1);
    EXPECT_EQ(current_line(f.ed), 99);
    EXPECT_EQ(f.run("top"), 0);
    EXPECT_EQ(current_line(f.ed), -1);
    for (const char* bad : {"down -1", "up x", "top 3", "forward 1x", "pgup 2"}) {
        EXPECT_EQ(f.run(bad), 1) << bad;
        EXPECT_EQ(f.message(), "..... Invalid parameters") << bad;
    }
    EXPECT_EQ(current_line(f.ed), -1);
}

TEST(Movement, PagesFollowTheFileArea) {
    ScreenFixture f(24, 80);
    f.add_lines(200);
    set_current_line(f.ed, 0);
    ScreenPlan plan = plan_screen(f.ed, 0);
    int page = plan.area_last - plan.area_first + 1 - 2;
    EXPECT_EQ(f.run("forward"), 0);
    EXPECT_EQ(current_line(f.ed), page);
    EXPECT_EQ(f.run("forward 2"), 0);
    EXPECT_EQ(current_line(f.ed), 3 * page);
    EXPECT_EQ(f.run("pgup"), 0);
    EXPECT_EQ(current_line(f.ed), 2 * page);
    EXPECT_EQ(f.run("pgdown"), 0);
    EXPECT_EQ(current_line(f.ed), 3 * page);
    EXPECT_EQ(f.run("backward *"), 1);
    EXPECT_EQ(current_line(f.ed), -1);
}

TEST(Movement, EmptyRingAnswersNoCurrentFile) {
    ScreenFixture f;
    EXPECT_EQ(f.run("down"), 1);
    EXPECT_EQ(f.message(), "..... No current file");
}

TEST(Movement, LeftAndRightShiftTheViewAndEditsKeepHiddenColumns) {
    ScreenFixture f(12, 40);
    File& file = f.add_texts({"abcdefghijklmnop"});
    set_current_line(f.ed, 0);
    EXPECT_EQ(f.run("right 4"), 0);
    EXPECT_EQ(f.rows()[4], "===== efghijklmnop");
    platform::script_field_edit(*f.window, field_id(0, kFieldText, 5), "XY");
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(file.lines[0].text.view(), "abcdXY");
    EXPECT_EQ(f.run("left 10"), 0);
    EXPECT_EQ(f.ed.display.layouts[0].left_column, 0);
    f.run("right 40");
    EXPECT_EQ(f.run("left0"), 0);
    EXPECT_EQ(f.ed.display.layouts[0].left_column, 0);
}

TEST(Cursor, LineCommandsActOnTheCursorLine) {
    ScreenFixture f(12, 40);
    File& file = f.add_texts({"one", "two", "three"});
    set_current_line(f.ed, 0);
    f.draw();
    // ^= duplicates, ^a adds, ^d deletes the line under the cursor.
    platform::script_cursor(*f.window, 5, 8); // row 6: "two"
    platform::script_key(*f.window, control('='));
    turn(f);
    ASSERT_EQ(file.line_count(), 4);
    EXPECT_EQ(file.lines[2].text.view(), "two");
    platform::script_cursor(*f.window, 4, 8); // row 5: "one"
    platform::script_key(*f.window, control('a'));
    turn(f);
    ASSERT_EQ(file.line_count(), 5);
    EXPECT_EQ(file.lines[1].text.view(), "");
    redisplay_screens(f.ed);
    EXPECT_EQ(f.window->cursor.row, 5);
    platform::script_cursor(*f.window, 4, 8);
    platform::script_key(*f.window, control('d'));
    turn(f);
    ASSERT_EQ(file.line_count(), 4);
    EXPECT_EQ(file.lines[0].text.view(), "");
}

TEST(Cursor, HomeEndAndStart) {
    ScreenFixture f(12, 40);
    f.add_texts({"hello world"});
    set_current_line(f.ed, 0);
    f.draw();
    platform::script_key(*f.window, key(platform::KeyKind::F, 10));
    turn(f);
    redisplay_screens(f.ed);
    EXPECT_EQ(f.window->cursor.field_id, field_id(0, kFieldText, 5));
    f.ed.display.last_input.cursor = f.window->cursor;
    EXPECT_EQ(f.run("c_endline"), 0);
    redisplay_screens(f.ed);
    EXPECT_EQ(f.window->cursor.offset, 11);
    EXPECT_EQ(f.run("c_startline"), 0);
    redisplay_screens(f.ed);
    EXPECT_EQ(f.window->cursor.offset, 0);
    // From the file area HOME goes back to the command line.
    platform::script_key(*f.window, key(platform::KeyKind::F, 10));
    turn(f);
    redisplay_screens(f.ed);
    EXPECT_EQ(f.window->cursor.field_id, field_id(0, kFieldCmdline));
    EXPECT_EQ(f.run("cursor file 1 3"), 0);
    redisplay_screens(f.ed);
    EXPECT_EQ(f.window->cursor.offset, 2);
    EXPECT_EQ(f.run("cursor file 9"), 1);
    EXPECT_EQ(f.run("cursor sideways"), 1);
    EXPECT_EQ(f.message(), "..... Invalid parameters");
}

TEST(Cursor, APromptReadsOneKey) {
    ScreenFixture f(12, 40);
    platform::Key y;
    y.kind = platform::KeyKind::Char;
    y.code = 'y';
    platform::script_key(*f.window, y);
    EXPECT_EQ(wait_for_key(f.ed), y);
    EXPECT_EQ(wait_for_key(f.ed).kind, platform::KeyKind::ScriptEnd);
}

} // namespace
} // namespace voren
