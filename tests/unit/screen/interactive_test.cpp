// The turn hooks on a headless window: Enter runs the command line, edits of
// the file area reach the file, the title, the window close.
#include "screen_test_support.h"

#include "platform/environment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace voren {
namespace {

platform::Key key(platform::KeyKind kind, int number = 0, std::uint8_t modifiers = 0) {
    platform::Key k;
    k.kind = kind;
    k.number = number;
    k.modifiers = modifiers;
    return k;
}

void turn(ScreenFixture& f) {
    redisplay_screens(f.ed);
    wait_for_user_input(f.ed);
    run_input_key(f.ed);
}

TEST(Interactive, EnterRunsTheCommandLine) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    f.draw();
    platform::script_field_edit(*f.window, field_id(0, kFieldCmdline), "screen 2 vertical");
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(f.ed.screens.size(), 2u);
    EXPECT_EQ(f.ed.cmd.command_line, "");
    EXPECT_EQ(f.rows()[1].substr(0, 5), "====>");
}

TEST(Interactive, AFailedCommandStaysOnTheCommandLine) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    f.draw();
    platform::script_field_edit(*f.window, field_id(0, kFieldCmdline), "screen 0");
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    auto rows = f.rows();
    EXPECT_EQ(rows[1], "====> screen 0");
    EXPECT_EQ(rows[2], "..... Screen would be too small");
    // The next command clears the message.
    platform::script_field_edit(*f.window, field_id(0, kFieldCmdline), "cmdline bottom");
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    rows = f.rows();
    EXPECT_EQ(rows[1], "");
    EXPECT_EQ(rows[22], "====>");
}

TEST(Interactive, APfKeyRunsItsDefinitionNotTheCommandLine) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    f.draw();
    platform::script_field_edit(*f.window, field_id(0, kFieldCmdline), "typed");
    platform::script_key(*f.window, key(platform::KeyKind::F, 1));
    current_file(f.ed)->modification_count = 1; // so that QUIT refuses instead of leaving
    turn(f);
    // F1 runs QUIT, not the typed text.
    EXPECT_EQ(f.message(), "..... File has been changed; type QQUIT to quit anyway");
    EXPECT_EQ(f.ed.cmd.history.size(), 0u);
}

TEST(Interactive, TypingOverAFileLineReplacesItKeepingTheHiddenTail) {
    ScreenFixture f(12, 40);
    File& file = f.add_texts({"short", std::string(40, 'x') + "TAIL"});
    set_current_line(f.ed, 0);
    f.draw();
    // Current line on row 5, text field 34 wide after the prefix.
    platform::script_field_edit(*f.window, field_id(0, kFieldText, 5), "changed");
    platform::script_field_edit(*f.window, field_id(0, kFieldText, 6), std::string(34, 'y'));
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(file.lines[0].text.view(), "changed");
    EXPECT_EQ(file.lines[1].text.view(), std::string(34, 'y') + "xxxxxxTAIL");
    EXPECT_EQ(f.rows()[4], "===== changed");
}

TEST(Interactive, ResizeLaysOutAgainBeforeTheTurnEnds) {
    ScreenFixture f(24, 80);
    f.add_lines(5);
    f.draw();
    platform::script_resize(*f.window, 30, 100);
    platform::script_key(*f.window, key(platform::KeyKind::Enter));
    turn(f);
    EXPECT_EQ(f.ed.display.layouts[0].rect, (ScreenRect{29, 100, 1, 1}));
}

TEST(Interactive, WindowTitleRules) {
    ScreenFixture f(24, 80);
    std::string dir = platform::current_directory().value_or("");
    f.draw();
    EXPECT_EQ(f.window->title, "VOREN @ (tester) - (NONE), dir:" + dir);
    File& file = f.add_lines(2, "/some/where/f.txt");
    f.draw();
    EXPECT_EQ(f.window->title, "f.txt  - VOREN @ (tester), dir:" + dir);
    file.lf_only = false;
    f.draw();
    EXPECT_EQ(f.window->title, "f.txt [W] - VOREN @ (tester), dir:" + dir);
    file.modification_count = 1;
    f.draw();
    EXPECT_EQ(f.window->title, "f.txt [W](edited) - VOREN @ (tester), dir:" + dir);
    f.ed.settings.new_file_crlf = true;
    file.lf_only = true;
    f.draw();
    EXPECT_EQ(f.window->title, "f.txt [U](edited) - VOREN @ (tester), dir:" + dir);
    f.ed.display.user_name.clear();
    EXPECT_EQ(window_title(f.ed).find("VOREN @ (\?\?)"), 20u);
}

TEST(Interactive, TitleIsSetOnlyWhenItChanged) {
    ScreenFixture f(24, 80);
    f.add_lines(2);
    f.draw();
    int before = platform::headless_state(*f.window)->titles_set;
    f.draw();
    f.draw();
    EXPECT_EQ(platform::headless_state(*f.window)->titles_set, before);
    f.ed.ring.files[0]->modification_count = 3;
    f.draw();
    EXPECT_EQ(platform::headless_state(*f.window)->titles_set, before + 1);
}

TEST(Interactive, RedisplaySoundsPendingBeeps) {
    ScreenFixture f(24, 80);
    show_text(f.ed, "alarm", MessageMode::StayBeep);
    f.draw();
    EXPECT_EQ(platform::headless_state(*f.window)->bells, 4);
    f.draw();
    EXPECT_EQ(platform::headless_state(*f.window)->bells, 4);
}

TEST(Interactive, YesNoQuestionsOnTheMessageLine) {
    ScreenFixture f(24, 80);
    f.add_lines(2);
    show_text(f.ed, "kept");
    platform::script_text(*f.window, "xy");
    EXPECT_TRUE(f.ed.ask_user(f.ed, "Reload?\nReally?"));
    EXPECT_EQ(f.row(2), std::string("Reload? Really? (y/n)") + std::string(59, ' '));
    platform::script_text(*f.window, "N");
    EXPECT_FALSE(f.ed.ask_user(f.ed, "Again?"));
    platform::script_key(*f.window, key(platform::KeyKind::Escape));
    EXPECT_FALSE(f.ed.ask_user(f.ed, "Again?"));
    EXPECT_FALSE(f.ed.ask_user(f.ed, "Nothing left to read"));
    EXPECT_EQ(f.rows()[2], "kept");
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(InteractiveDeathTest, WindowCloseSavesModifiedFilesAsCheckCopies) {
    char pattern[] = "/tmp/voren_screen_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string dir = pattern;
    std::string changed = dir + "/changed.txt", untouched = dir + "/untouched.txt";
    EXPECT_EXIT(
        {
            ScreenFixture f(24, 80);
            File& a = f.add_texts({"one", "two"}, changed);
            a.modification_count = 1;
            f.add_texts({"same"}, untouched);
            f.draw();
            // The first wait routes the window close to the editor; the signal
            // arrives while the editor waits for the user.
            platform::script_key(*f.window, key(platform::KeyKind::Enter));
            wait_for_user_input(f.ed);
            std::raise(SIGTERM);
            wait_for_user_input(f.ed);
            std::exit(0);
        },
        testing::ExitedWithCode(128 + SIGTERM), "");
    EXPECT_EQ(read_file(changed + ".check"), "one\ntwo\n");
    EXPECT_FALSE(std::ifstream(untouched + ".check").good());
    std::remove((changed + ".check").c_str());
    rmdir(dir.c_str());
}

} // namespace
} // namespace voren
