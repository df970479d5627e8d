// Screens drawn into a headless window, compared as text.
#include "screen_test_support.h"

#include "editor/screen/colours.h"

#include <gtest/gtest.h>

namespace voren {
namespace {

std::string joined(const std::vector<std::string>& rows) {
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i)
        out += (i ? "\n" : "") + rows[i];
    return out;
}

TEST(Compose, OneScreenWithPrefixAndTopCommandLine) {
    ScreenFixture f(12, 40);
    f.add_lines(20);
    set_current_line(f.ed, 3);
    EXPECT_EQ(f.draw(), joined({
                            "/tmp/t/f.txt         Len:20    mod: 0",
                            "====>",
                            "",
                            "===== line 3",
                            "===== line 4",
                            "===== line 5",
                            "===== line 6",
                            "===== line 7",
                            "===== line 8",
                            "===== line 9",
                            "===== line 10",
                            "1:Q  2:E  3:Save  4:Sp  5:x  6:cu  7:U",
                        }));
}

TEST(Compose, TopAndEndOfFileLines) {
    ScreenFixture f(12, 40);
    f.add_lines(3);
    set_current_line(f.ed, -1);
    auto rows = f.rows();
    EXPECT_EQ(rows[3], "");
    EXPECT_EQ(rows[4], "===== * * * Top of File * * *");
    EXPECT_EQ(rows[5], "===== line 1");
    EXPECT_EQ(rows[7], "===== line 3");
    EXPECT_EQ(rows[8], "===== * * * End of File * * *");
    EXPECT_EQ(rows[9], "");
    EXPECT_EQ(rows[10], "");
}

TEST(Compose, IdentificationLineColumnsFollowTheLineCount) {
    // d = 6 below 99,999 lines: "Len:" at W-18, size at W-14, "mod: " at W-8.
    ScreenFixture f(10, 50);
    f.add_lines(12).modification_count = 37;
    std::string id = f.rows()[0];
    EXPECT_EQ(id.substr(31, 4), "Len:");
    EXPECT_EQ(id.substr(35, 2), "12");
    EXPECT_EQ(id.substr(41, 5), "mod: ");
    EXPECT_EQ(id.substr(46), "37");
    // d = 7 from 99,999 lines on.
    f.add_lines(99999);
    id = f.rows()[0];
    EXPECT_EQ(id.substr(30, 4), "Len:");
    EXPECT_EQ(id.substr(34, 5), "99999");
    // d = 9 from 999,999 on: the size field is wide enough for the count.
    f.add_lines(1000000);
    id = f.rows()[0];
    EXPECT_EQ(id.substr(28, 4), "Len:");
    EXPECT_EQ(id.substr(32, 7), "1000000");
}

TEST(Compose, CommandLineTakesTwoRowsFromIndexWMinus7) {
    ScreenFixture f(12, 40);
    f.add_lines(20);
    set_current_line(f.ed, 5);
    // Last non-blank at index W-8 = 32: one row.
    f.ed.cmd.command_line = std::string(32, 'a') + "b";
    auto rows = f.rows();
    EXPECT_EQ(rows[1], "====> " + std::string(32, 'a') + "b");
    EXPECT_EQ(rows[2], ""); // the message line
    EXPECT_EQ(rows[3].substr(0, 5), "=====");
    EXPECT_EQ(f.window->field_index.count(field_id(0, kFieldCmdline)), 1u);
    EXPECT_EQ(platform::find_field(*f.window, field_id(0, kFieldCmdline))->desc.height, 1);
    // One more character: two rows, an input field of 2W-12 characters.
    f.ed.cmd.command_line = std::string(33, 'a') + "b";
    rows = f.rows();
    EXPECT_EQ(rows[1], "====> " + std::string(33, 'a') + "b");
    const platform::Field* field = platform::find_field(*f.window, field_id(0, kFieldCmdline));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->desc.height * field->desc.width, 2 * 40 - 12);
    EXPECT_EQ(rows[2], "");
    EXPECT_EQ(rows[3], ""); // message line after the two command rows
    EXPECT_EQ(rows[4].substr(0, 5), "=====");
}

TEST(Compose, PrefixWidensAt99940Lines) {
    ScreenFixture f(12, 40);
    f.add_lines(99939);
    f.run("number on");
    set_current_line(f.ed, 0);
    EXPECT_EQ(f.rows()[4], "00001 line 1");
    f.add_lines(99940);
    f.run("number on");
    set_current_line(f.ed, 0);
    EXPECT_EQ(f.rows()[4], "000001 line 1");
    EXPECT_EQ(prefix_width_for(999939), 6);
    EXPECT_EQ(prefix_width_for(999940), 7);
    EXPECT_EQ(prefix_width_for(9999940), 8);
    EXPECT_EQ(prefix_width_for(99999940), 9);
    EXPECT_EQ(prefix_width_for(2000000000), 9);
}

TEST(Compose, OneHiddenLineShowsTheShadowText) {
    ScreenFixture f(12, 40);
    File& file = f.add_lines(10);
    file.lines[2].selection = 1; // outside DISPLAY 0 0
    set_current_line(f.ed, 0);
    auto rows = f.rows();
    EXPECT_EQ(rows[4], "===== line 1");
    EXPECT_EQ(rows[5], "===== line 2");
    // Text area 34 wide: p = 6, five dashes, a blank, the text, dashes to 34.
    EXPECT_EQ(rows[6], "===== ----- 1 line  not displayed ------");
    EXPECT_EQ(rows[7], "===== line 4");
    f.run("shadow off");
    rows = f.rows();
    EXPECT_EQ(rows[6], "===== line 4");
}

TEST(Compose, ShadowRowsAboveTheCurrentLineCountTheRun) {
    ScreenFixture f(12, 40);
    File& file = f.add_lines(20);
    for (int i = 2; i < 14; ++i)
        file.lines[size_t(i)].selection = 3;
    set_current_line(f.ed, 14);
    auto rows = f.rows();
    EXPECT_EQ(rows[3], "===== ----- 12 lines not displayed -----");
    EXPECT_EQ(rows[4], "===== line 15");
    set_current_line(f.ed, 0);
    rows = f.rows();
    EXPECT_EQ(rows[5], "===== line 2");
    EXPECT_EQ(rows[6], "===== ----- 12 lines not displayed -----");
    EXPECT_EQ(rows[7], "===== line 15");
}

TEST(Compose, CurlineTwoWithCommandLineAtTopIsRowFour) {
    ScreenFixture f(12, 40);
    f.add_lines(20);
    set_current_line(f.ed, 9);
    EXPECT_EQ(f.run("curline 2"), 0);
    auto rows = f.rows();
    EXPECT_EQ(rows[3], "===== line 10");
    f.run("curline");
    EXPECT_EQ(f.message(), " ..... Is ON 4");
    // At the bottom the lowest row is 3.
    f.run("cmdline bottom");
    rows = f.rows();
    EXPECT_EQ(rows[2], "===== line 10");
    EXPECT_EQ(rows[10], "====>");
}

TEST(Compose, PrefixRightNumberZeroNullsAndLabels) {
    ScreenFixture f(12, 40);
    File& file = f.add_lines(20);
    file.names.push_back(NamedLine{".here", "", 5});
    set_current_line(f.ed, 4);
    f.run("number zero");
    auto rows = f.rows();
    EXPECT_EQ(rows[4], "00004 line 5");
    EXPECT_EQ(rows[5], ".here line 6");
    f.run("prefix on right");
    rows = f.rows();
    EXPECT_EQ(rows[4], "line 5                             00004");
    f.run("number off");
    f.run("prefix nulls left");
    rows = f.rows();
    EXPECT_EQ(rows[4], "      line 5");
    f.run("prefix off");
    rows = f.rows();
    EXPECT_EQ(rows[4], "line 5");
}

TEST(Compose, ScaleAndTablineRows) {
    ScreenFixture f(14, 40);
    File& file = f.add_lines(20);
    file.tabs = {1, 10};
    set_current_line(f.ed, 5);
    EXPECT_EQ(f.run("scale on m+1"), 0);
    EXPECT_EQ(f.run("tabline on -3"), 0);
    auto rows = f.rows();
    EXPECT_EQ(rows[5], "===== line 6");                             // current, row 13/2
    EXPECT_EQ(rows[6], "      ....+....1....+....2....+....3...."); // scale, m+1
    EXPECT_EQ(rows[7], "===== line 7");
    EXPECT_EQ(rows[11], "      T        T"); // tab line, 13 - 3 + 2
    EXPECT_EQ(rows[12], "===== line 11");
}

TEST(Compose, OffCommandLineShowsOnlyWithText) {
    ScreenFixture f(12, 40);
    f.add_lines(20);
    f.run("cmdline off");
    auto rows = f.rows();
    EXPECT_EQ(rows[1], ""); // message line right after the id line
    EXPECT_EQ(rows[2], "");
    f.ed.cmd.command_line = "x";
    rows = f.rows();
    EXPECT_EQ(rows[1], "====> x");
}

TEST(Compose, EmptyRingShowsTheCommandLine) {
    ScreenFixture f(10, 40);
    f.run("cmdline off");
    auto rows = f.rows();
    EXPECT_EQ(rows[0], "                     Len:      mod: 0");
    EXPECT_EQ(rows[1], "====>");
}

TEST(Compose, TooSmallWindowShowsNothingAndLaysOutWhenEnlarged) {
    ScreenFixture f(5, 80);
    f.add_lines(3);
    EXPECT_EQ(f.draw(), "\n\n\n\n");
    platform::resize_grid(*f.window, 24, 37);
    EXPECT_EQ(f.draw().find_first_not_of('\n'), std::string::npos);
    platform::resize_grid(*f.window, 6, 38);
    auto rows = f.rows();
    EXPECT_EQ(rows[1], "====>");
    EXPECT_EQ(rows[5], "1:Q  2:E  3:Save  4:Sp  5:x  6:cu  7:U");
    platform::resize_grid(*f.window, 24, 80);
    EXPECT_EQ(f.rows()[23].substr(0, 8), "1:Q  2:E");
    EXPECT_EQ(f.ed.display.layouts[0].rect, (ScreenRect{23, 80, 1, 1}));
}

TEST(Compose, APfAreaThatLeavesTooLittleRoomHidesTheScreen) {
    ScreenFixture f(6, 38);
    f.add_lines(3);
    EXPECT_EQ(f.rows()[1], "====>");
    ASSERT_EQ(f.run("setp \"a\\nb\""), 0);
    EXPECT_EQ(f.draw(), "\n\n\n\n\n");
    platform::resize_grid(*f.window, 7, 38);
    auto rows = f.rows();
    EXPECT_EQ(rows[1], "====>");
    EXPECT_EQ(rows[5], "a");
    EXPECT_EQ(rows[6], "b");
}

TEST(Compose, TwoScreensSideBySideOn81Columns) {
    ScreenFixture f(12, 81);
    f.add_lines(5);
    ASSERT_EQ(f.run("screen 2 vertical"), 0);
    ASSERT_EQ(f.ed.screens.size(), 2u);
    EXPECT_EQ(f.ed.display.layouts[1].rect, (ScreenRect{11, 40, 1, 1}));
    EXPECT_EQ(f.ed.display.layouts[0].rect, (ScreenRect{11, 41, 1, 41}));
    auto rows = f.rows();
    EXPECT_EQ(rows[0], "/tmp/t/f.txt         Len:5     mod: 0   "
                       "/tmp/t/f.txt          Len:5     mod: 0");
    EXPECT_EQ(rows[1], "====>                                   ====>");
    EXPECT_EQ(rows[4], "===== * * * Top of File * * *           "
                       "===== * * * Top of File * * *");
}

TEST(Compose, ResizeSplitsAnEvenSplitAgain) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    ASSERT_EQ(f.run("screen 2"), 0);
    EXPECT_EQ(f.ed.display.layouts[0].rect, (ScreenRect{11, 80, 1, 1}));
    EXPECT_EQ(f.ed.display.layouts[1].rect, (ScreenRect{12, 80, 12, 1}));
    platform::resize_grid(*f.window, 30, 80);
    f.draw();
    EXPECT_EQ(f.ed.display.layouts[0].rect, (ScreenRect{14, 80, 1, 1}));
    EXPECT_EQ(f.ed.display.layouts[1].rect, (ScreenRect{15, 80, 15, 1}));
    // A fixed geometry stays as given.
    ASSERT_EQ(f.run("screen size 8 10"), 0);
    platform::resize_grid(*f.window, 40, 80);
    f.draw();
    EXPECT_EQ(f.ed.display.layouts[1].rect, (ScreenRect{21, 80, 9, 1}));
}

TEST(Compose, PfAreaFromSetp) {
    ScreenFixture f(12, 40);
    f.add_lines(5);
    ASSERT_EQ(f.run("setp \"one\\ntwo\""), 0);
    auto rows = f.rows();
    EXPECT_EQ(rows[10], "one");
    EXPECT_EQ(rows[11], "two");
    EXPECT_EQ(f.ed.display.layouts[0].rect.lines, 10);
    ASSERT_EQ(f.run("setp"), 0);
    EXPECT_TRUE(f.ed.display.pf_lines.empty());
    EXPECT_EQ(f.ed.display.layouts[0].rect.lines, 12);
}

TEST(Compose, ColoursOfTheAreas) {
    ScreenFixture f(12, 40);
    f.add_lines(5);
    set_current_line(f.ed, 1);
    f.draw();
    auto colour_at = [&](int row, int col) {
        return int(f.window->cells[size_t(row * 40 + col)].colour);
    };
    EXPECT_EQ(colour_at(4, 6), 2);   // current line: Red
    EXPECT_EQ(colour_at(5, 6), 7);   // file area: BLAck
    EXPECT_EQ(colour_at(5, 0), 13);  // prefix: MAROON2
    EXPECT_EQ(colour_at(1, 0), 14);  // arrow: PInk
    EXPECT_EQ(colour_at(11, 0), 12); // PF line: MARoon
    ASSERT_EQ(f.run("color curl blue"), 0);
    f.draw();
    EXPECT_EQ(colour_at(4, 6), 1);
    ASSERT_EQ(f.run("color off"), 0);
    f.draw();
    EXPECT_EQ(colour_at(4, 6), 0);
}

TEST(Compose, MessageLineShowsTheLastMessageCutToTheWidth) {
    ScreenFixture f(12, 40);
    f.add_lines(5);
    f.run("screen 0");
    EXPECT_EQ(f.rows()[2], "..... Screen would be too small");
    show_text(f.ed, std::string(50, 'x'));
    EXPECT_EQ(f.rows()[2], std::string(40, 'x'));
}

} // namespace
} // namespace voren
