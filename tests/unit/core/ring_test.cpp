#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "tests/unit/core/core_test_support.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>

namespace voren {
namespace {

std::string name_of(const Editor& ed, int index) {
    return ed.ring.files[size_t(index)]->path;
}

File& named(Editor& ed, const std::string& name) {
    File& file = add_file(ed);
    file.path = name;
    return file;
}

// Names in ring order starting at the current file.
std::vector<std::string> ring_order(Editor& ed) {
    std::vector<std::string> names;
    int start = ed.ring.current;
    int i = start;
    do {
        names.push_back(name_of(ed, i));
        i = next_in_ring(ed);
        make_current(ed, i);
    } while (i != start);
    return names;
}

TEST(Ring, ANewFileFollowsTheCurrentFile) {
    Editor ed;
    named(ed, "a");
    named(ed, "b");
    make_current(ed, 0);
    named(ed, "c"); // after a, before b
    EXPECT_EQ(ed.ring.current, 2);
    make_current(ed, 0);
    EXPECT_EQ(ring_order(ed), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(ed.ring.files[0]->ring_key, 1);
    EXPECT_EQ(ed.ring.files[2]->ring_key, 2);
    EXPECT_EQ(ed.ring.files[1]->ring_key, 3);
}

TEST(Ring, PreviousFollowsRingOrderAndWraps) {
    Editor ed;
    named(ed, "a");
    named(ed, "b");
    named(ed, "c");
    make_current(ed, 0);
    EXPECT_EQ(previous_in_ring(ed), 2);
    make_current(ed, 2);
    EXPECT_EQ(next_in_ring(ed), 0);
}

TEST(Ring, FileNumbersCountUpAndWrap) {
    Editor ed;
    named(ed, "a");
    named(ed, "b");
    EXPECT_EQ(ed.ring.files[0]->file_number, 1);
    EXPECT_EQ(ed.ring.files[1]->file_number, 2);
    ed.ring.last_file_number = INT_MAX;
    named(ed, "c");
    EXPECT_EQ(ed.ring.files[2]->file_number, 0);
}

TEST(Ring, RemovingAFileMakesThePreviousOneCurrent) {
    Editor ed;
    named(ed, "a");
    named(ed, "b");
    named(ed, "c");
    make_current(ed, 1);
    EXPECT_EQ(remove_current_file(ed), 0);
    EXPECT_EQ(name_of(ed, ed.ring.current), "a");
    EXPECT_EQ(ed.ring.files.size(), 2u);
    EXPECT_EQ(ed.screens[0].views.size(), 2u);
}

TEST(Ring, RemovingTheFirstFileMakesTheLastCurrent) {
    Editor ed;
    named(ed, "a");
    named(ed, "b");
    named(ed, "c");
    make_current(ed, 0);
    int chosen = remove_current_file(ed);
    EXPECT_EQ(name_of(ed, chosen), "c");
    EXPECT_EQ(chosen, 1); // lowered by one: it came after the removed file
    make_current(ed, 0);
    EXPECT_EQ(ring_order(ed), (std::vector<std::string>{"b", "c"}));
}

TEST(Ring, RemovingTheLastFileEmptiesTheRing) {
    Editor ed;
    named(ed, "a");
    EXPECT_EQ(remove_current_file(ed), -1);
    EXPECT_EQ(ed.ring.current, -1);
    EXPECT_EQ(current_file(ed), nullptr);
    EXPECT_EQ(remove_current_file(ed), -1);
}

TEST(Ring, ScreensKeepTheirOwnCurrentLinesPerFile) {
    Editor ed;
    add_file_with(ed, {"1", "2", "3"});
    add_file_with(ed, {"x", "y"});
    int second = add_screen(ed);
    screen_current_line(ed, 0, 0) = 2;
    screen_current_line(ed, second, 0) = 0;
    screen_current_line(ed, 0, 1) = 1;
    make_current(ed, 0);
    remove_current_file(ed);
    // The views of the remaining file moved down with it.
    EXPECT_EQ(ed.screens[0].views.size(), 1u);
    EXPECT_EQ(screen_current_line(ed, 0, 0), 1);
}

TEST(Ring, FindsFilesByPath) {
    Editor ed;
    named(ed, "/x/a");
    named(ed, "/x/b");
    EXPECT_EQ(find_file_by_path(ed, "/x/b"), 1);
    EXPECT_EQ(find_file_by_path(ed, "/x/c"), -1);
}

TEST(Scope, PseudoLinesAreInScopeAndLevelsDecideTheRest) {
    Editor ed;
    File& file = add_file_with(ed, {"a", "b", "c"});
    file.lines[1].selection = 5;
    Screen& screen = current_screen(ed);
    EXPECT_TRUE(in_scope(ed, -1));
    EXPECT_TRUE(in_scope(ed, 3));
    EXPECT_TRUE(in_scope(ed, 0));
    EXPECT_FALSE(in_scope(ed, 1));
    screen.scope = ScopeMode::All;
    EXPECT_TRUE(in_scope(ed, 1));
    screen.scope = ScopeMode::Excluded;
    EXPECT_TRUE(in_scope(ed, 1));
    EXPECT_FALSE(in_scope(ed, 0));
    EXPECT_FALSE(in_scope(ed, -1));
    EXPECT_FALSE(in_scope(ed, 3));
    screen.scope = ScopeMode::Display;
    screen.display_high = 5;
    EXPECT_TRUE(in_scope(ed, 1));
}


} // namespace
} // namespace voren
