// The screen commands: operands, refusals, reports.
#include "screen_test_support.h"

#include "editor/screen/colours.h"

#include <gtest/gtest.h>

namespace voren {
namespace {

std::vector<ScreenRect> rects_of(const Editor& ed) {
    std::vector<ScreenRect> out;
    for (const ScreenLayout& layout : ed.display.layouts)
        out.push_back(layout.rect);
    return out;
}

TEST(ScreenCommand, RefusalsLeaveTheScreensAsTheyWere) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    ASSERT_EQ(f.run("screen 2"), 0);
    auto before = rects_of(f.ed);
    struct Case {
        const char* command;
        const char* message;
    } cases[] = {
        {"screen size 3 10", "..... Screen 1: should have at least 6 lines"},
        {"screen size 10 10 3", "..... Screen 3: should have at least 6 lines"},
        {"screen define 10 40 1 1 10 40 5 20", "..... Screen 1 overlaps screen 2"},
        {"screen define 10 40 1 1 10 40 11 41 10 40 5 30", "..... Screen 1 overlaps screen 3"},
        {"screen define 10 40 20 1", "..... Screen 1 out of bounds"},
        {"screen define 10 40 1 50", "..... Screen 1 out of bounds"},
        {"screen define 10 40 0 1", "..... Screen 1 out of bounds"},
        {"screen width 30 50", "..... Screen 1: should have at least 38 columns"},
        {"screen 3 vertical", "..... Screen 1: should have at least 38 columns"},
        {"screen 4", "..... Screen 1: should have at least 6 lines"},
        {"screen define 10 40 1", "..... Invalid parameters"},
        {"screen define", "..... Invalid parameters"},
        {"screen size", "..... Invalid parameters"},
        {"screen size 10 x", "..... Invalid parameters"},
        {"screen 2 diagonal", "..... Invalid parameters"},
        {"screen fancy 2", "..... Invalid parameters"},
        {"screen", "..... Invalid parameters"},
        {"screen 0", "..... Screen would be too small"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(f.run(c.command), 1);
        EXPECT_EQ(f.message(), c.message);
        EXPECT_EQ(rects_of(f.ed), before);
        EXPECT_EQ(f.ed.screens.size(), 2u);
    }
}

TEST(ScreenCommand, CrossingScreensWithoutACornerInsideAreRefused) {
    ScreenFixture f(30, 100);
    // A wide flat screen and a tall narrow one crossing it: no corner of either
    // lies inside the other, yet they share cells.
    EXPECT_EQ(f.run("screen define 8 90 10 1 25 40 2 20"), 1);
    EXPECT_EQ(f.message(), "..... Screen 1 overlaps screen 2");
}

TEST(ScreenCommand, EvenAndSizedSplits) {
    EXPECT_EQ(even_split(24, 80, 1, 3, false),
              (std::vector<ScreenRect>{{7, 80, 1, 1}, {7, 80, 8, 1}, {9, 80, 15, 1}}));
    EXPECT_EQ(even_split(24, 81, 1, 2, true),
              (std::vector<ScreenRect>{{23, 41, 1, 41}, {23, 40, 1, 1}}));
    EXPECT_EQ(even_split(24, 120, 1, 3, true),
              (std::vector<ScreenRect>{{23, 40, 1, 81}, {23, 40, 1, 41}, {23, 40, 1, 1}}));
    EXPECT_EQ(sized_split(24, 80, 1, {8, 6}, false),
              (std::vector<ScreenRect>{{8, 80, 1, 1}, {15, 80, 9, 1}}));
    EXPECT_EQ(sized_split(24, 100, 1, {40, 5}, true),
              (std::vector<ScreenRect>{{23, 40, 1, 1}, {23, 60, 1, 41}}));
}

TEST(ScreenCommand, FewerScreensKeepTheFirstOnes) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    ASSERT_EQ(f.run("screen 3"), 0);
    f.ed.screen_index = 2;
    ASSERT_EQ(f.run("screen 1"), 0);
    EXPECT_EQ(f.ed.screens.size(), 1u);
    EXPECT_EQ(f.ed.screen_index, 0);
    EXPECT_EQ(f.ed.display.layouts[0].rect, (ScreenRect{23, 80, 1, 1}));
    ASSERT_EQ(f.run("screen define 10 40 1 1 10 40 1 41 12 80 11 1"), 0);
    EXPECT_EQ(f.ed.screens.size(), 3u);
    EXPECT_FALSE(f.ed.display.kept_split.has_value());
}

TEST(ScreenCommand, RowExpressions) {
    EXPECT_EQ(parse_row_spec("m"), (RowSpec{RowSpec::Middle, 0}));
    EXPECT_EQ(parse_row_spec("M+3"), (RowSpec{RowSpec::Middle, 3}));
    EXPECT_EQ(parse_row_spec("m - 2"), (RowSpec{RowSpec::Middle, -2}));
    EXPECT_EQ(parse_row_spec("7"), (RowSpec{RowSpec::FromTop, 7}));
    EXPECT_EQ(parse_row_spec("+ 7"), (RowSpec{RowSpec::FromTop, 7}));
    EXPECT_EQ(parse_row_spec("-3"), (RowSpec{RowSpec::FromBottom, 3}));
    for (const char* bad : {"", "x", "m+", "3+", "m*2", "--3", "m+2+1", "-", "3 4"})
        EXPECT_FALSE(parse_row_spec(bad).has_value()) << bad;
    EXPECT_EQ(resolve_row(RowSpec{RowSpec::Middle, 0}, 23), 11);
    EXPECT_EQ(resolve_row(RowSpec{RowSpec::Middle, -2}, 23), 9);
    EXPECT_EQ(resolve_row(RowSpec{RowSpec::FromBottom, 3}, 23), 22);
}

TEST(ScreenCommand, CurlineBoundsAndConflicts) {
    ScreenFixture f(24, 80);
    f.add_lines(50);
    EXPECT_EQ(f.run("curline x"), 1);
    EXPECT_EQ(f.message(), "..... Invalid parameters");
    EXPECT_EQ(f.run("curline m-2"), 0);
    f.run("curline");
    EXPECT_EQ(f.message(), " ..... Is ON 9");
    EXPECT_EQ(f.run("curline 99"), 0); // clamped to the last row
    f.run("curline");
    EXPECT_EQ(f.message(), " ..... Is ON 23");
    ASSERT_EQ(f.run("scale on 10"), 0);
    EXPECT_EQ(f.run("curline 10"), 1);
    EXPECT_EQ(f.message(), "..... Already used position");
    f.run("curline");
    EXPECT_EQ(f.message(), " ..... Is ON 23");
    EXPECT_EQ(f.run("tabline on 10"), 1);
    EXPECT_EQ(f.message(), "..... Already used position");
    EXPECT_EQ(f.run("scale on 23"), 1);
    EXPECT_EQ(f.message(), "..... Already used position");
    EXPECT_EQ(f.run("tabline on 2"), 1); // outside the file area
    EXPECT_EQ(f.message(), "..... Invalid parameters");
    EXPECT_EQ(f.run("tabline on 12"), 0);
    f.run("tabline");
    EXPECT_EQ(f.message(), "..... Is ON 12");
    f.run("scale off");
    f.run("scale");
    EXPECT_EQ(f.message(), "..... Is OFF 10");
}

TEST(ScreenCommand, CmdlineReportsAndMovesRowsOutOfItsWay) {
    ScreenFixture f(24, 80);
    f.add_lines(50);
    f.run("cmdline");
    EXPECT_EQ(f.message(), "..... Is ON TOP");
    f.run("curline 23");
    EXPECT_EQ(f.run("cmdline bottom"), 0);
    f.run("cmdline");
    EXPECT_EQ(f.message(), "..... Is ON BOT");
    f.run("curline");
    EXPECT_EQ(f.message(), " ..... Is ON 22");
    f.run("curline 3");
    f.run("scale on 4");
    f.run("cmdline off");
    f.run("cmdline");
    EXPECT_EQ(f.message(), "..... Is OFF BOT");
    EXPECT_EQ(f.run("cmdline on t"), 0);
    f.run("cmdline");
    EXPECT_EQ(f.message(), "..... Is ON TOP");
    f.run("curline");
    EXPECT_EQ(f.message(), " ..... Is ON 4");
    f.run("scale");
    EXPECT_EQ(f.message(), "..... Is ON 5");
    f.run("cmdline of");
    f.run("cmdline");
    EXPECT_EQ(f.message(), "..... Is OFF TOP");
    EXPECT_EQ(f.run("cmdline o"), 1);
    EXPECT_EQ(f.run("cmdline top bottom"), 1);
    EXPECT_EQ(f.run("cmdline on off"), 1);
    EXPECT_EQ(f.run("query cmdline"), 0);
    EXPECT_EQ(f.message(), "..... Is OFF TOP");
}

TEST(ScreenCommand, PlainFormsNeedAFileScreenFormsDoNot) {
    ScreenFixture f(24, 80);
    for (const char* command :
         {"number on", "prefix off", "scale on 5", "tabline on 5", "shadow off"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(f.run(command), 1);
        EXPECT_EQ(f.message(), "..... No current file");
    }
    EXPECT_EQ(f.run("number_screen on"), 0);
    EXPECT_EQ(f.run("prefix_screen on right"), 0);
    EXPECT_EQ(f.run("scale_screen on 6"), 0);
    f.add_lines(10);
    f.run("number");
    EXPECT_EQ(f.message(), "..... Is ON");
    f.run("prefix");
    EXPECT_EQ(f.message(), "..... Is ON RIGHT");
    // The file's own setting does not change the screen's.
    f.run("number zero");
    f.run("number");
    EXPECT_EQ(f.message(), "..... Is ZERO");
    f.run("number_screen");
    EXPECT_EQ(f.message(), "..... Is ON");
    File& other = f.add_lines(3);
    (void)other;
    f.run("number");
    EXPECT_EQ(f.message(), "..... Is ON");
    EXPECT_EQ(f.run("number maybe"), 1);
    EXPECT_EQ(f.run("prefix on middle"), 1);
    EXPECT_EQ(f.run("prefix off left"), 1);
    EXPECT_EQ(f.run("shadow"), 0);
    EXPECT_EQ(f.message(), "..... Is ON");
}

TEST(ScreenCommand, Colours) {
    ScreenFixture f(24, 80);
    ScreenState& st = f.ed.display;
    EXPECT_EQ(st.area_colours[kAreaFilearea], 7);
    EXPECT_EQ(st.area_colours[kAreaPrefix], 13);
    EXPECT_EQ(st.area_colours[35], 9);
    f.run("color");
    EXPECT_EQ(f.message(), "..... Is ON");
    EXPECT_EQ(f.run("color off"), 0);
    f.run("color");
    EXPECT_EQ(f.message(), "..... Is OFF");
    f.run("color on");
    EXPECT_EQ(f.run("color fl_msg maroon2"), 0);
    EXPECT_EQ(st.area_colours[22], 13);
    EXPECT_EQ(f.run("color tr_hid purple"), 0);
    EXPECT_EQ(st.area_colours[35], 63);
    EXPECT_EQ(f.run("color * green"), 0);
    for (auto c : st.area_colours)
        EXPECT_EQ(c, 4);
    EXPECT_EQ(f.run("color pink 1 2 3"), 0);
    EXPECT_EQ(st.palette[14], (platform::Rgb{1, 2, 3}));
    EXPECT_EQ(f.window->palette[14], (platform::Rgb{1, 2, 3}));
    EXPECT_EQ(f.run("color black 1 2 3"), 0);
    EXPECT_EQ(st.palette[7], (platform::Rgb{0, 0, 0}));
    EXPECT_EQ(f.run("color white 1 2 3"), 0);
    EXPECT_EQ(st.palette[62], (platform::Rgb{255, 255, 255}));
    EXPECT_EQ(f.run("color background 10 20 30"), 0);
    EXPECT_TRUE(f.window->background_set);
    for (const char* bad :
         {"color pink 1 2 256", "color pink 1 2", "color pink -1 2 3", "color nosuch 1 2 3",
          "color curline nosuch", "color nosuch red", "color a b c d e f", "color background 1 2 x",
          "color magenta2x 1 2 3"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(f.run(bad), 1);
        EXPECT_EQ(f.message(), "..... Invalid color");
    }
}

TEST(ScreenCommand, ColourNamesAndAreasByAbbreviation) {
    EXPECT_EQ(find_colour("blu"), 1);
    EXPECT_EQ(find_colour("bl"), std::nullopt); // BLUe and BLAck need three letters
    EXPECT_EQ(find_colour("r"), 2);
    EXPECT_EQ(find_colour("magenta2"), 11);
    EXPECT_EQ(find_colour("mag"), 9);
    EXPECT_EQ(find_colour("maroon2"), 13);
    EXPECT_EQ(find_colour("lightgoldenrody"), 38);
    EXPECT_EQ(find_colour("lightg"), 37);
    EXPECT_EQ(find_colour("pu"), 63);
    EXPECT_EQ(find_colour("background"), std::nullopt);
    EXPECT_EQ(find_colour_area("curl"), 1);
    EXPECT_EQ(find_colour_area("cur"), 4);
    EXPECT_EQ(find_colour_area("curs"), 30);
    EXPECT_EQ(find_colour_area("fl_i"), 21);
    EXPECT_EQ(find_colour_area("fl_"), std::nullopt);
    int named = 0;
    for (int i = 0; i < 64; ++i)
        named += colour_name_table()[i].name[0] != '\0';
    EXPECT_EQ(named, 62); // 63 numbers less the unused 8 (0 is the background)
}

TEST(ScreenCommand, SetpSplitsAtBackslashN) {
    ScreenFixture f(24, 80);
    ASSERT_EQ(f.run("setp \"a \\n b\\n\" trailing"), 0);
    EXPECT_EQ(f.ed.display.pf_lines, (std::vector<std::string>{"a ", " b", ""}));
    ASSERT_EQ(f.run("setp \"\""), 0);
    EXPECT_TRUE(f.ed.display.pf_lines.empty());
    ASSERT_EQ(f.run("setp \"x\""), 0);
    EXPECT_EQ(f.ed.display.layouts[0].rect.lines, 23);
}

} // namespace
} // namespace voren
